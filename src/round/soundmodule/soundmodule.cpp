// The game's sound output: one sound effect, played without waiting. Its four functions are
// looked up by name by the round's sound player (round/sounds.cpp), which keeps the same
// signatures.
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QString>
#include <QUrl>

extern "C" {

Q_DECL_EXPORT bool kvrn_sound_has_output()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

Q_DECL_EXPORT void* kvrn_sound_create()
{
    return new QSoundEffect();
}

// One sound at a time: the new one replaces what is still playing.
Q_DECL_EXPORT void kvrn_sound_play(void* effect, const QString* file)
{
    auto* e = static_cast<QSoundEffect*>(effect);
    if (!e || !file) return;
    e->stop();
    e->setSource(QUrl::fromLocalFile(*file));
    e->play();
}

Q_DECL_EXPORT void kvrn_sound_destroy(void* effect)
{
    delete static_cast<QSoundEffect*>(effect);
}

}  // extern "C"
