// Interface names Linux allows and the adapter list cannot carry (a comma,
// bytes that are not UTF-8), made for real in a network namespace of the
// test's own: the "NDS0:" reply on the kernel's interfaces names only
// interfaces that exist, and tarvolin-scan still reaches each by its name.
//
// The namespace work runs in a child: it makes the interfaces with `ip`,
// then gives up every capability before anything else runs, and reports
// what it found to the test through a pipe.
#include "platform/Text.h"
#include "platform/devices/Devices.h"
#include "platform/devices/Ndis.h"
#include "platform/devices/WirelessProvider.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/capability.h>
#include <linux/securebits.h>
#include <net/if.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#ifndef TARVOLIN_SCAN_TOOL
#error "TARVOLIN_SCAN_TOOL must name tarvolin-scan"
#endif

namespace {

const std::string kCommaName = "wifi,5g";
const std::string kBytesName = "ab\xFF\xFE";
const std::string kUtf8Name = "caf\xC3\xA9";

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path);
    file << text;
    file.flush();
    return static_cast<bool>(file);
}

// A network namespace of this process's own: in a user namespace where the
// system allows one, otherwise (as root) directly.
bool EnterOwnNetworkNamespace()
{
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNET) == 0)
        return WriteFile("/proc/self/setgroups", "deny") &&
               WriteFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
               WriteFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    return unshare(CLONE_NEWNET) == 0;
}

// Runs a program; its exit status and what it wrote on standard error.
int Run(const std::vector<std::string>& argv, std::string* errors = nullptr)
{
    int err[2];
    if (pipe2(err, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(err[1], STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        // `ip` lives in /usr/sbin, which a test's PATH may lack.
        execv(("/usr/sbin/" + argv[0]).c_str(), args.data());
        _exit(127);
    }
    close(err[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(err[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (errors != nullptr)
        *errors = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A link of a kind this kernel has; none of them is wireless.
bool AddLink(const std::string& name)
{
    for (const char* kind : {"dummy", "bridge"})
        if (Run({"ip", "link", "add", name, "type", kind}) == 0)
            return true;
    return false;
}

// No capability from here on, also not through executing a program as root.
bool DropEveryCapability()
{
    // Both need CAP_SETPCAP, so they come before the capabilities go.
    if (prctl(PR_SET_SECUREBITS,
              SECBIT_NOROOT | SECBIT_NOROOT_LOCKED | SECBIT_NO_SETUID_FIXUP | SECBIT_NO_SETUID_FIXUP_LOCKED) != 0)
        return false;
    for (int cap = 0; cap <= CAP_LAST_CAP; ++cap)
        prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capset, &header, data) != 0)
        return false;
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0;
}

// The names of the "NDS0:" reply on the running kernel.
std::vector<std::string> AdapterNames()
{
    std::vector<std::string> names;
    platform::SetWirelessProvider(platform::MakeNl80211Provider());
    HANDLE nds = CreateFileW(u"NDS0:", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<WCHAR> reply(1024, 0);
    DWORD returned = 0;
    if (DeviceIoControl(nds, IOCTL_NDIS_GET_ADAPTER_NAMES, nullptr, 0, reply.data(), 2048, &returned, nullptr)) {
        for (const WCHAR* name = reply.data(); *name != 0; name += std::char_traits<char16_t>::length(name) + 1)
            names.push_back(platform::Utf16ToBytes(name));
    }
    CloseHandle(nds);
    platform::SetWirelessProvider(nullptr);
    return names;
}

// What the child finds, one line per fault; "skip" when the machine allows
// no namespace.
std::string Examine()
{
    if (!EnterOwnNetworkNamespace())
        return "skip: no network namespace can be made here\n";
    for (const std::string& name : {kCommaName, kBytesName, kUtf8Name})
        if (!AddLink(name))
            return "skip: no link can be added here (no dummy or bridge links?)\n";
    if (!DropEveryCapability())
        return "capabilities could not be given up\n";

    std::string faults;
    const std::vector<std::string> names = AdapterNames();
    bool sawUtf8 = false;
    for (const std::string& name : names) {
        if (name.find(',') != std::string::npos || if_nametoindex(name.c_str()) == 0)
            faults += "the list names \"" + name + "\", which is no interface it can carry\n";
        sawUtf8 = sawUtf8 || name == kUtf8Name;
    }
    if (!sawUtf8)
        faults += "the list lacks " + kUtf8Name + "\n";

    // Each made name is reached by its bytes: the tool finds it and tells
    // it is not wireless, where a mangled name would be "no such adapter".
    for (const std::string& name : {kCommaName, kBytesName, kUtf8Name}) {
        std::string errors;
        const int status = Run({TARVOLIN_SCAN_TOOL, name}, &errors);
        if (status != 1 || errors.find(name + " is not a wireless adapter") == std::string::npos)
            faults += "tarvolin-scan " + name + ": status " + std::to_string(status) + ", " + errors;
    }
    std::string errors;
    if (Run({TARVOLIN_SCAN_TOOL, "wifi"}, &errors) != 1 || errors.find("no such adapter: wifi") == std::string::npos)
        faults += "tarvolin-scan wifi: " + errors;
    return faults;
}

TEST(RealInterfaceNames, OnlyNamesTheListCanCarryAreOfferedAndEveryNameCanBeScanned)
{
    int report[2];
    ASSERT_EQ(pipe2(report, O_CLOEXEC), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(report[0]);
        const std::string text = Examine();
        [[maybe_unused]] const auto written = write(report[1], text.data(), text.size());
        _exit(0);
    }
    close(report[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = read(report[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(report[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (text.rfind("skip: ", 0) == 0)
        GTEST_SKIP() << text.substr(6);
    EXPECT_EQ(text, "");
}

}  // namespace
