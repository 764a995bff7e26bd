#include "round/sounds.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QStringList>

#include "platform/draw/respath.h"
#include "settings/usersetstate.h"

QString GameSoundFile(int n)
{
    static const char* const kFiles[] = {"Start.wav",  "Liang.wav",   "OutPai.wav", "Pass.wav",       "Hong10.wav",
                                         "ZhaDan.wav", "Warning.wav", "End.wav",    "PangGuanIn.wav", "PangGuanOut.wav"};
    if (n < 0 || n >= int(std::size(kFiles))) return QString();
    return QString::fromLatin1(kFiles[n]);
}

namespace {

// The sound output module's functions (round/soundmodule/soundmodule.cpp).
struct SoundModule {
    bool (*hasOutput)() = nullptr;
    void* (*create)() = nullptr;
    void (*play)(void*, const QString*) = nullptr;
    void (*destroy)(void*) = nullptr;
    bool loaded() const { return hasOutput && create && play && destroy; }
};

// Loaded once, when the first sound is to play; without it the game is silent.
const SoundModule& Module()
{
    static const SoundModule m = [] {
        SoundModule s;
        QLibrary lib;
        const QStringList dirs = {QCoreApplication::applicationDirPath(), QStringLiteral(KVRN_SOUND_MODULE_DIR)};
        for (const QString& dir : dirs) {
            lib.setFileName(dir + QStringLiteral("/kvrn-sound"));
            if (lib.load()) break;
        }
        if (!lib.isLoaded()) return s;
        s.hasOutput = reinterpret_cast<bool (*)()>(lib.resolve("kvrn_sound_has_output"));
        s.create = reinterpret_cast<void* (*)()>(lib.resolve("kvrn_sound_create"));
        s.play = reinterpret_cast<void (*)(void*, const QString*)>(lib.resolve("kvrn_sound_play"));
        s.destroy = reinterpret_cast<void (*)(void*)>(lib.resolve("kvrn_sound_destroy"));
        return s.loaded() ? s : SoundModule{};
    }();
    return m;
}

}  // namespace

WavPlayer::WavPlayer() : HasAudioOutput([] { return Module().loaded() && Module().hasOutput(); }) {}

WavPlayer::~WavPlayer()
{
    if (effect_ && Module().loaded()) Module().destroy(effect_);
}

bool WavPlayer::PlayWav(const QString& path)
{
    const QString file = ResolvePath(path);
    if (file.isEmpty() || !ResFileExists(file)) return false;
    if (!HasAudioOutput || !HasAudioOutput()) return false;
    lastPlayed_ = file;
    // One sound at a time: the new one replaces what is still playing (tests that stand in for
    // the output may have no module to play through).
    if (!Module().loaded()) return true;
    if (!effect_) effect_ = Module().create();
    Module().play(effect_, &file);
    return true;
}

bool PlayGameSound(WavPlayer& player, const UserSetState& settings, bool windowShown, const QString& strAppPath,
                   int n)
{
    const QString file = GameSoundFile(n);
    if (file.isEmpty() || settings.bytSoundOn == 0 || !windowShown) return false;
    return player.PlayWav(strAppPath + QStringLiteral("Res\\Sound\\") + file);
}
