#include "platform/media/SoundPlayer.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>
#include <map>

namespace {

std::function<void(int)>& SoundHook()
{
    static std::function<void(int)> hook;
    return hook;
}

QUrl SoundUrl(int id)
{
    return QUrl(QStringLiteral("qrc:/sounds/%1.wav").arg(id));
}

} // namespace

void SetSoundPlayer(std::function<void(int id)> player)
{
    SoundHook() = std::move(player);
}

void PlayProgramSound(int id)
{
    if (SoundHook()) {
        SoundHook()(id);
        return;
    }
    if (QMediaDevices::audioOutputs().isEmpty()) {
        return;
    }
    // One effect per sound, owned by the application so playback is not cut off and
    // the effect goes away with the application rather than after it.
    static std::map<int, QPointer<QSoundEffect>> effects;
    QPointer<QSoundEffect>& effect = effects[id];
    if (!effect) {
        effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(SoundUrl(id));
    }
    effect->play();
}
