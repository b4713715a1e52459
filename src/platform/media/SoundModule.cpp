// The module tarvolin-sound.so: plays the program's wave resources through
// Qt Multimedia. Loaded by the sound player on first use, never unloaded.
#include "platform/media/SoundModule.h"

#include "platform/media/ClickPlayer.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <QtGlobal>

namespace {

// The audio back end reports a missing sound server or device through
// warnings. A desktop without sound is normal, so those are swallowed while
// the devices are looked at.
QtMessageHandler g_previousHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)
        return;
    if (g_previousHandler != nullptr)
        g_previousHandler(type, context, message);
}

bool AskAudioOutput()
{
    g_previousHandler = qInstallMessageHandler(QuietHandler);
    const bool have = !QMediaDevices::audioOutputs().isEmpty();
    qInstallMessageHandler(g_previousHandler);
    g_previousHandler = nullptr;
    return have;
}

// Asked once: whether the machine can play at all.
bool HaveAudioOutput()
{
    static const bool have = AskAudioOutput();
    return have;
}

const QString kEffectPrefix = QStringLiteral("tarvolin-wave-");

// The audio back end releases its output stream with deferred deletes, which
// no longer run once the application is being destroyed. So the effects go
// first, while the application can still deliver those deletes.
QList<QSoundEffect*> OurEffects(QCoreApplication* app)
{
    QList<QSoundEffect*> ours;
    for (QSoundEffect* effect : app->findChildren<QSoundEffect*>(Qt::FindDirectChildrenOnly)) {
        if (effect->objectName().startsWith(kEffectPrefix))
            ours.append(effect);
    }
    return ours;
}

void ReleaseEffects()
{
    if (QCoreApplication* app = QCoreApplication::instance()) {
        qDeleteAll(OurEffects(app));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The effect of one wave resource, made on first use as a child of the
// application object so it lives on the application's thread.
QSoundEffect* EffectFor(QCoreApplication* app, std::uintptr_t id, const char* file)
{
    const QString objectName = kEffectPrefix + QString::number(static_cast<qulonglong>(id));
    if (auto* effect = app->findChild<QSoundEffect*>(objectName, Qt::FindDirectChildrenOnly))
        return effect;
    if (OurEffects(app).isEmpty())
        qAddPostRoutine(ReleaseEffects);  // once for each application object
    auto* effect = new QSoundEffect(app);
    effect->setObjectName(objectName);
    effect->setSource(QUrl(QStringLiteral("qrc:/") + QString::fromLatin1(file)));
    return effect;
}

// The click player of the running application, made at its first rate. It
// goes with the application: its thread must end before Qt's does.
ClickPlayer* g_clicks = nullptr;

void ReleaseClicks()
{
    delete g_clicks;
    g_clicks = nullptr;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int TarvolinSoundSetClickRate(std::uint32_t milliHertz)
{
    if (QCoreApplication::instance() == nullptr || !HaveAudioOutput())
        return 0;
    if (g_clicks == nullptr) {
        if (milliHertz == 0)
            return 1;
        g_clicks = new ClickPlayer(QMediaDevices::defaultAudioOutput());
        qAddPostRoutine(ReleaseClicks);
    }
    g_clicks->SetRate(milliHertz);
    return 1;
}

extern "C" __attribute__((visibility("default"))) int TarvolinSoundPlayWaveFile(std::uintptr_t resource,
                                                                                const char* file)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (file == nullptr || app == nullptr)
        return 0;
    if (!HaveAudioOutput())
        return 0;
    QSoundEffect* effect = EffectFor(app, resource, file);
    // Start again from the beginning when already playing.
    effect->stop();
    effect->play();
    return 1;
}
