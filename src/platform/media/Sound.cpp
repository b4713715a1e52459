#include "platform/media/Sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <QtGlobal>

namespace {

SoundObserver g_observer = nullptr;
void* g_observerContext = nullptr;

// The wave resources the module holds, by number; embedded with
// qt_add_resources under ":/wave/".
const char* WaveResourcePath(std::uintptr_t id)
{
    switch (id) {
    case 157:
        return "qrc:/wave/157.wav";
    default:
        return nullptr;
    }
}

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

bool HaveAudioOutput()
{
    g_previousHandler = qInstallMessageHandler(QuietHandler);
    const bool have = !QMediaDevices::audioOutputs().isEmpty();
    qInstallMessageHandler(g_previousHandler);
    g_previousHandler = nullptr;
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
QSoundEffect* EffectFor(QCoreApplication* app, std::uintptr_t id)
{
    const QString objectName = kEffectPrefix + QString::number(static_cast<qulonglong>(id));
    if (auto* effect = app->findChild<QSoundEffect*>(objectName, Qt::FindDirectChildrenOnly))
        return effect;
    if (OurEffects(app).isEmpty())
        qAddPostRoutine(ReleaseEffects);  // once for each application object
    auto* effect = new QSoundEffect(app);
    effect->setObjectName(objectName);
    effect->setSource(QUrl(QString::fromLatin1(WaveResourcePath(id))));
    return effect;
}

}  // namespace

void SetSoundObserver(SoundObserver observer, void* context)
{
    g_observer = observer;
    g_observerContext = context;
}

BOOL PlaySoundW(const WCHAR* name, HINSTANCE module, DWORD flags)
{
    const std::uintptr_t id = IS_INTRESOURCE(name) ? reinterpret_cast<std::uintptr_t>(name) : 0;
    if (g_observer != nullptr)
        g_observer(SoundRequest{id, module, flags}, g_observerContext);

    if ((flags & ~(SND_RESOURCE | SND_ASYNC | SND_NODEFAULT)) != 0 || (flags & SND_RESOURCE) != SND_RESOURCE ||
        (flags & SND_ASYNC) == 0 || WaveResourcePath(id) == nullptr)
        return FALSE;

    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread())
        return FALSE;

    // Asked once: whether the machine can play at all.
    static const bool canPlay = HaveAudioOutput();
    if (!canPlay)
        return FALSE;

    QSoundEffect* effect = EffectFor(app, id);
    // Start again from the beginning when already playing.
    effect->stop();
    effect->play();
    return TRUE;
}
