// tarvolin-trigger as the kernel and a caller meet it: what it links
// against, which arguments it refuses before use, what it says, and that the
// caller's environment changes nothing. (Starting a real scan needs a
// wireless interface: the kernel test in the virtual machine does that.)
#include "ChildProcess.h"
#include "platform/devices/nl80211/TriggerContract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

using trigger_test::ChildResult;
using trigger_test::RunChild;

ChildResult Trigger(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {})
{
    return RunChild(TARVOLIN_TRIGGER, arguments, environment);
}

// The file names of the shared libraries the dynamic loader maps, from ldd.
std::set<std::string> SharedLibraries(const std::string& program)
{
    std::set<std::string> names;
    const std::unique_ptr<FILE, int (*)(FILE*)> ldd(popen(("ldd '" + program + "'").c_str(), "r"), pclose);
    if (!ldd)
        return names;
    char line[1024];
    const std::regex library(R"(^\s*(\S+?)(\s+=>.*|\s+\(0x[0-9a-f]+\))\s*$)");
    while (std::fgets(line, sizeof line, ldd.get())) {
        std::cmatch match;
        std::string text(line);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        if (std::regex_match(text.c_str(), match, library))
            names.insert(std::string(match[1]).substr(std::string(match[1]).rfind('/') + 1));
    }
    return names;
}

TEST(TriggerTool, LinksOnlyAgainstLibcAndLibnl)
{
    std::set<std::string> allowed = {"linux-vdso.so.1", "ld-linux-x86-64.so.2", "libc.so.6", "libnl-3.so.200",
                                     "libnl-genl-3.so.200"};
    if (TARVOLIN_SANITIZED)
        allowed.insert({"libasan.so.8", "libubsan.so.1", "libstdc++.so.6", "libm.so.6", "libgcc_s.so.1"});
    const std::set<std::string> linked = SharedLibraries(TARVOLIN_TRIGGER);
    ASSERT_TRUE(linked.count("libnl-genl-3.so.200")) << "ldd output was not understood";
    for (const std::string& name : linked)
        EXPECT_TRUE(allowed.count(name)) << name << " is linked into the privileged helper";
    if (!TARVOLIN_SANITIZED) {
        EXPECT_FALSE(linked.count("libstdc++.so.6")) << "the helper is C";
    }
}

// An argument list and how the helper answers it: its exit status and the
// one line it writes on stderr (and nothing on stdout, no terminal escape).
struct Case {
    const char* what;
    std::vector<std::string> arguments;
    int status;
    const char* says;
};

void ExpectAnswer(const Case& c)
{
    SCOPED_TRACE(c.what);
    const ChildResult result = Trigger(c.arguments);
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(c.status, result.status);
    EXPECT_EQ("", result.output);
    EXPECT_NE(std::string::npos, result.errors.find(c.says)) << result.errors;
    EXPECT_EQ(1, std::count(result.errors.begin(), result.errors.end(), '\n')) << result.errors;
    EXPECT_EQ(std::string::npos, result.errors.find('\x1b'));
}

// Every argument list but one interface name is refused with its own status,
// and nothing the caller wrote is echoed unless it passed the name check.
TEST(TriggerTool, RefusesAnythingButOneInterfaceName)
{
    const Case kCases[] = {
        {"no argument", {}, TRIGGER_USAGE, "usage: tarvolin-trigger INTERFACE [FREQUENCY]"},
        {"three arguments", {"wlan0", "2412", "2437"}, TRIGGER_USAGE, "usage:"},
        {"empty", {""}, TRIGGER_BAD_NAME, "not an interface name"},
        {"an option", {"--help"}, TRIGGER_BAD_NAME, "not an interface name"},
        {"leading dash", {"-wlan0"}, TRIGGER_BAD_NAME, "not an interface name"},
        {"16 characters", {"abcdefghijklmnop"}, TRIGGER_BAD_NAME, "not an interface name"},
        {"slash", {"wl/an0"}, TRIGGER_BAD_NAME, "not an interface name"},
        {"space", {"wl an0"}, TRIGGER_BAD_NAME, "not an interface name"},
        {"colon (an alias)", {"wlan0:1"}, TRIGGER_BAD_NAME, "not an interface name"},
        {"dot", {"."}, TRIGGER_BAD_NAME, "not an interface name"},
        {"dot dot", {".."}, TRIGGER_BAD_NAME, "not an interface name"},
        {"terminal escape", {"wl\x1b[2Jan0"}, TRIGGER_BAD_NAME, "not an interface name"},
        {"non-ASCII", {"wl\xc3\xa4n0"}, TRIGGER_BAD_NAME, "not an interface name"},
        {"15 characters, no such interface",
         {"abcdefghijklmno"},
         TRIGGER_NO_INTERFACE,
         "abcdefghijklmno: no such interface"},
        {"no such interface", {"nosuchif0"}, TRIGGER_NO_INTERFACE, "nosuchif0: no such interface"},
        {"loopback", {"lo"}, TRIGGER_NOT_WIRELESS, "lo: "},
    };
    for (const Case& c : kCases)
        ExpectAnswer(c);
}

// The optional second argument, a frequency in MHz: checked before the
// interface is looked up, so a bad one is refused whatever the interface.
// A good one gets as far as the interface (loopback is no radio to scan; on
// a kernel without wireless support the helper says so instead).
TEST(TriggerTool, FrequencyArgument)
{
    const char* kBadFrequency = "the frequency must be a number of MHz from 2400 to 7125";
    const Case kCases[] = {
        {"none", {"lo"}, TRIGGER_NOT_WIRELESS, "lo: "},
        {"2.4 GHz channel 1", {"lo", "2412"}, TRIGGER_NOT_WIRELESS, "lo: "},
        {"lowest", {"lo", "2400"}, TRIGGER_NOT_WIRELESS, "lo: "},
        {"highest (6 GHz)", {"lo", "7125"}, TRIGGER_NOT_WIRELESS, "lo: "},
        {"valid, no such interface", {"nosuchif0", "5180"}, TRIGGER_NO_INTERFACE, "nosuchif0: no such interface"},
        {"just below", {"lo", "2399"}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"just above", {"lo", "7126"}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"60 GHz", {"lo", "58320"}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"zero", {"lo", "0"}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"not a number", {"lo", "abcd"}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"empty", {"lo", ""}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"with a unit", {"lo", "2412MHz"}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"signed", {"lo", "+2412"}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"negative", {"lo", "-2412"}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"leading blank", {"lo", " 2412"}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"in GHz", {"lo", "2.412"}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"hexadecimal", {"lo", "0x96c"}, TRIGGER_BAD_FREQUENCY, kBadFrequency},
        {"a bad name goes first", {"wl/an0", "abcd"}, TRIGGER_BAD_NAME, "not an interface name"},
        {"two of them", {"lo", "2412", "2437"}, TRIGGER_USAGE, "usage: tarvolin-trigger INTERFACE [FREQUENCY]"},
    };
    for (const Case& c : kCases)
        ExpectAnswer(c);
}

// libnl reads NLDBG when it is loaded, before the helper runs, and would then
// trace every netlink message. The helper switches the traces off first
// thing, so the caller's environment changes nothing but the lines libnl
// prints while it loads.
std::string WithoutLoadTimeTraces(const std::string& text)
{
    std::string kept;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.find("nl_cache_mngt_register") == std::string::npos)
            kept += line + "\n";
    return kept;
}

TEST(TriggerTool, CallersEnvironmentChangesNothing)
{
    const ChildResult plain = Trigger({"lo"});
    const ChildResult steered =
        Trigger({"lo"}, {"NLDBG=7", "LANG=de_DE.UTF-8", "LC_ALL=ru_RU.UTF-8", "LIBNL_DEBUG=1", "PATH=/nonexistent"});
    ASSERT_TRUE(plain.exited);
    ASSERT_TRUE(steered.exited);
    EXPECT_EQ(plain.status, steered.status);
    EXPECT_EQ(plain.errors, WithoutLoadTimeTraces(steered.errors));
    EXPECT_EQ(plain.output, steered.output);
}

}  // namespace
