#include "round/sounds.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include "platform/draw/respath.h"
#include "settings/usersetstate.h"

QString GameSoundFile(int n)
{
    static const char* const kFiles[] = {"Start.wav",  "Liang.wav",   "OutPai.wav", "Pass.wav",       "Hong10.wav",
                                         "ZhaDan.wav", "Warning.wav", "End.wav",    "PangGuanIn.wav", "PangGuanOut.wav"};
    if (n < 0 || n >= int(std::size(kFiles))) return QString();
    return QString::fromLatin1(kFiles[n]);
}

WavPlayer::WavPlayer() : HasAudioOutput([] { return !QMediaDevices::audioOutputs().isEmpty(); }) {}

WavPlayer::~WavPlayer() = default;

bool WavPlayer::PlayWav(const QString& path)
{
    const QString file = ResolvePath(path);
    if (file.isEmpty() || !ResFileExists(file)) return false;
    if (!HasAudioOutput || !HasAudioOutput()) return false;
    lastPlayed_ = file;
    // One sound at a time: the new one replaces what is still playing.
    if (!effect_) effect_ = std::make_unique<QSoundEffect>();
    effect_->stop();
    effect_->setSource(QUrl::fromLocalFile(file));
    effect_->play();
    return true;
}

bool PlayGameSound(WavPlayer& player, const UserSetState& settings, bool windowShown, const QString& strAppPath,
                   int n)
{
    const QString file = GameSoundFile(n);
    if (file.isEmpty() || settings.bytSoundOn == 0 || !windowShown) return false;
    return player.PlayWav(strAppPath + QStringLiteral("Res\\Sound\\") + file);
}
