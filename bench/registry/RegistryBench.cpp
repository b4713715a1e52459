// Cost of the registry file as it grows: opening a key (which reads and
// parses the whole file), looking up every value by name, and the program's
// save (seven values set, the file read again, written and renamed into
// place). Each is measured on files of 1k to 200k values, all of them in the
// program's key; loading and saving also with one value in each of as many
// keys, the program's key last.
#include "platform/registry/Registry.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const WCHAR* kProgramKey = u"Software\\Tarvolin";

// A private XDG_CONFIG_HOME holding a registry file of `count` values.
class RegistryFolder {
public:
    RegistryFolder(std::int64_t count, bool oneKey)
    {
        std::string pattern = (fs::temp_directory_path() / "tarvolin-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        m_root = pattern;
        setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
        fs::create_directories(m_root / "tarvolin");
        std::ofstream out(m_root / "tarvolin" / "registry.reg", std::ios::binary);
        out << "Windows Registry Editor Version 5.00\r\n\r\n";
        if (oneKey)
            out << "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\r\n";
        for (std::int64_t i = 0; i < count; ++i) {
            if (!oneKey)
                out << "\r\n[HKEY_LOCAL_MACHINE\\Software\\Vendor\\Key" << i << "]\r\n";
            if (i % 2 == 0)
                out << "\"" << ValueName(i) << "\"=dword:" << std::hex << i << std::dec << "\r\n";
            else
                out << "\"" << ValueName(i) << "\"=\"text number " << i << "\"\r\n";
        }
        if (!oneKey)
            out << "\r\n[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\r\n\"FontSize\"=dword:0000000c\r\n";
    }
    ~RegistryFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    RegistryFolder(const RegistryFolder&) = delete;
    RegistryFolder& operator=(const RegistryFolder&) = delete;

    static std::string ValueName(std::int64_t i) { return "Value" + std::to_string(i); }

private:
    fs::path m_root;
};

std::u16string Wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

void Load(benchmark::State& state, bool oneKey)
{
    RegistryFolder folder(state.range(0), oneKey);
    for (auto _ : state) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, oneKey ? kProgramKey : u"Software\\Vendor\\Key0", 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            state.SkipWithError("the key did not open");
        RegCloseKey(key);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Every value of the program's key by name, spelt in another case than the
// file's.
void Lookup(benchmark::State& state)
{
    const std::int64_t count = state.range(0);
    RegistryFolder folder(count, true);
    std::vector<std::u16string> names;
    for (std::int64_t i = 0; i < count; ++i)
        names.push_back(u"VALUE" + Wide(std::to_string(i)));
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProgramKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        state.SkipWithError("the key did not open");
        return;
    }
    for (auto _ : state) {
        for (const std::u16string& name : names) {
            BYTE data[64];
            DWORD size = sizeof data;
            DWORD type = 0;
            if (RegQueryValueExW(key, name.c_str(), nullptr, &type, data, &size) != ERROR_SUCCESS)
                state.SkipWithError("a value was not found");
            benchmark::DoNotOptimize(data);
        }
    }
    RegCloseKey(key);
    state.SetItemsProcessed(state.iterations() * count);
}

// What the program does at exit: its seven values set in its key, then the
// file written.
void Save(benchmark::State& state, bool oneKey)
{
    RegistryFolder folder(state.range(0), oneKey);
    const char16_t* numbers[] = {u"FontSize", u"ScanSpeed", u"HideWEP", u"HidePeer", u"SoundOff", u"Language"};
    for (auto _ : state) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProgramKey, 0, nullptr, 0, 0, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            state.SkipWithError("the key could not be created");
            break;
        }
        const DWORD value = 12;
        for (const char16_t* name : numbers)
            RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        const char16_t adapter[] = u"wlan0";
        RegSetValueExW(key, u"Adapter", 0, REG_SZ, reinterpret_cast<const BYTE*>(adapter), sizeof adapter);
        if (RegCloseKey(key) != ERROR_SUCCESS)
            state.SkipWithError("the file was not written");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Sizes(benchmark::internal::Benchmark* bench)
{
    for (std::int64_t count : {1000, 10000, 100000, 200000})
        bench->Arg(count);
    bench->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK_CAPTURE(Load, OneKey, true)->Apply(Sizes);
BENCHMARK_CAPTURE(Load, KeyPerValue, false)->Apply(Sizes);
BENCHMARK(Lookup)->Apply(Sizes);
BENCHMARK_CAPTURE(Save, OneKey, true)->Apply(Sizes);
BENCHMARK_CAPTURE(Save, KeyPerValue, false)->Apply(Sizes);

BENCHMARK_MAIN();
