#include "platform/registry/RegistryPath.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace platform {

namespace {

std::string& FileName()
{
    static std::string name = "registry.reg";
    return name;
}

}  // namespace

void SetRegistryFileName(std::string name)
{
    FileName() = std::move(name);
}

std::string RegistryFilePath()
{
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const passwd* pw = getpwuid(getuid());
            home = pw ? pw->pw_dir : nullptr;
        }
        if (!home || home[0] != '/')
            return {};
        base = std::string(home) + "/.config";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/tarvolin/" + FileName();
}

std::string RegistryFolder(const std::string& filePath)
{
    std::size_t slash = filePath.rfind('/');
    return slash == std::string::npos ? std::string(".") : filePath.substr(0, slash);
}

std::string BrokenFileName(const std::string& filePath, std::time_t when, int counter)
{
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string name = filePath + ".broken-" + stamp;
    if (counter > 0)
        name += "-" + std::to_string(counter);
    return name;
}

}  // namespace platform
