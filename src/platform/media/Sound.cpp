#include "platform/media/Sound.h"

#include "platform/Resources.h"
#include "platform/Testing.h"
#include "platform/media/SoundModule.h"

#include <QCoreApplication>
#include <QThread>

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

SoundObserver g_observer = nullptr;
void* g_observerContext = nullptr;
ClickObserver g_clickObserver = nullptr;
void* g_clickObserverContext = nullptr;

// Where the module is for this program: beside the installed program
// (../lib/tarvolin/modules/tarvolin-sound.so from its folder), or, for a program
// inside the build tree, the build tree's copy. Empty when neither is there.
std::string LocateModule()
{
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    const fs::path installed = self.parent_path() / ".." / "lib" / "tarvolin" / "modules" / "tarvolin-sound.so";
    if (fs::is_regular_file(installed, error))
        return installed.lexically_normal().string();
#if defined(TARVOLIN_BUILD_DIR) && defined(TARVOLIN_BUILD_SOUND_MODULE)
    // The build tree's copy serves only programs that run from the build
    // tree: an installed program never loads code from a build folder.
    if (self.string().starts_with(std::string(TARVOLIN_BUILD_DIR) + "/") &&
        fs::is_regular_file(TARVOLIN_BUILD_SOUND_MODULE, error))
        return TARVOLIN_BUILD_SOUND_MODULE;
#endif
    return {};
}

// The module, loaded on first use; null when it is missing or broken, and
// the program is then silent.
void* LoadModule()
{
    static void* const module = [] {
        const std::string path = LocateModule();
        return path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    }();
    return module;
}

template <typename Function> Function LoadFunction(const char* name)
{
    void* module = LoadModule();
    return module != nullptr ? reinterpret_cast<Function>(dlsym(module, name)) : nullptr;
}

// Sound plays only on the application's thread, where its objects live.
bool OnApplicationThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
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
        (flags & SND_ASYNC) == 0)
        return FALSE;
    // The program's resources say which waves there are and where each is.
    const WaveResource* wave = FindWaveResource(static_cast<UINT>(id));
    if (wave == nullptr)
        return FALSE;

    if (!OnApplicationThread())
        return FALSE;

    static const auto play = LoadFunction<SoundPlayFunction>(TARVOLIN_SOUND_PLAY_SYMBOL);
    return play != nullptr && play(id, wave->file) != 0 ? TRUE : FALSE;
}

void SetClickObserver(ClickObserver observer, void* context)
{
    g_clickObserver = observer;
    g_clickObserverContext = context;
}

BOOL SetClickRate(DWORD milliHertz)
{
    if (g_clickObserver != nullptr)
        g_clickObserver(milliHertz, g_clickObserverContext);
    if (!OnApplicationThread())
        return FALSE;
    static const auto clicks = LoadFunction<SoundClicksFunction>(TARVOLIN_SOUND_CLICKS_SYMBOL);
    return clicks != nullptr && clicks(milliHertz) != 0 ? TRUE : FALSE;
}
