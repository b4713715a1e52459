#include "platform/media/Sound.h"

#include "platform/Resources.h"
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

// The module's player, loaded on first use; null when the module is missing
// or broken, and the program is then silent.
SoundPlayFunction LoadPlayer()
{
    const std::string path = LocateModule();
    if (path.empty())
        return nullptr;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<SoundPlayFunction>(dlsym(module, TARVOLIN_SOUND_PLAY_SYMBOL));
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

    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread())
        return FALSE;

    static const SoundPlayFunction play = LoadPlayer();
    return play != nullptr && play(id, wave->file) != 0 ? TRUE : FALSE;
}
