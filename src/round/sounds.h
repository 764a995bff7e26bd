#pragma once
// The game's sounds: short wave files under the program folder, one at a time, played without
// waiting; silent when sounds are switched off, the window cannot be seen, the file is missing or
// there is no audio output.
#include <QString>
#include <functional>

struct UserSetState;

// The file of sound n (0..9), "" for any other number.
QString GameSoundFile(int n);

class WavPlayer {
public:
    WavPlayer();
    ~WavPlayer();

    // Plays the file asynchronously, cutting off a sound still playing. False when nothing plays:
    // no such file, or no audio output.
    bool PlayWav(const QString& path);

    // Whether an audio output exists (replaceable for tests). The sound output is loaded the
    // first time this is asked, that is when the first sound is to play.
    std::function<bool()> HasAudioOutput;
    // The file of the last sound started ("" before the first).
    QString lastPlayed() const { return lastPlayed_; }

private:
    void* effect_ = nullptr;   // the sound output's effect, made at the first sound
    QString lastPlayed_;
};

// Plays sound n when the sounds are on and the window is shown (visible and not minimised).
// False when nothing plays.
bool PlayGameSound(WavPlayer& player, const UserSetState& settings, bool windowShown, const QString& strAppPath,
                   int n);
