// Registry files from tests/platform/registry/corpus: every file named
// load-* must be taken, and what is written from it must load again to the
// same keys, values and comments; every file named reject-* must be refused
// whole, so that it is set aside and never rewritten into a file the next
// start cannot read. The same files seed the registry fuzzer.
#include "tests/support/TempConfigHome.h"

#include "platform/registry/RegDocument.h"
#include "platform/registry/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::filesystem::path> CorpusFiles(const std::string& prefix)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(TARVOLIN_REGISTRY_CORPUS)) {
        if (entry.path().filename().string().starts_with(prefix))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string CaseName(const ::testing::TestParamInfo<std::filesystem::path>& info)
{
    std::string name = info.param.stem().string();
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

class RegistryCorpusLoads : public ::testing::TestWithParam<std::filesystem::path> {
protected:
    TempConfigHome home;
    const std::string bytes = TempConfigHome::ReadPath(GetParam());
};

TEST_P(RegistryCorpusLoads, WritesOutAsAFileThatLoadsToTheSameContent)
{
    const auto loaded = platform::RegDocument::Parse(bytes);
    ASSERT_TRUE(loaded.has_value());
    const std::string written = loaded->Format();
    const auto again = platform::RegDocument::Parse(written);
    ASSERT_TRUE(again.has_value()) << written;
    EXPECT_TRUE(*again == *loaded) << written;
    EXPECT_EQ(again->Format(), written);
}

// Through the registry itself, as the program meets the file: a change is
// saved beside everything the file held, and nothing is set aside as broken
// then or when the saved file is read again.
TEST_P(RegistryCorpusLoads, AChangeSavedOverItKeepsEverythingElse)
{
    home.WriteFile(bytes);
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Tarvolin\\Saved", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &h, nullptr),
              ERROR_SUCCESS);
    const BYTE one[] = {1, 0, 0, 0};
    ASSERT_EQ(RegSetValueExW(h, u"Marker", 0, REG_DWORD, one, sizeof one), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    EXPECT_EQ(home.FolderEntries(), std::set<std::string>{"registry.reg"});

    auto expected = platform::RegDocument::Parse(bytes);
    ASSERT_TRUE(expected.has_value());
    expected->SetValue(u"HKEY_LOCAL_MACHINE\\Software\\Tarvolin\\Saved",
                       platform::RegValue{u"Marker", REG_DWORD, {1, 0, 0, 0}, {}});
    const auto saved = platform::RegDocument::Parse(home.ReadFile());
    ASSERT_TRUE(saved.has_value()) << home.ReadFile();
    EXPECT_TRUE(*saved == *expected) << home.ReadFile();

    DWORD type = 0;
    BYTE value[4] = {};
    DWORD size = sizeof value;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Tarvolin\\Saved", 0, KEY_READ, &h), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExW(h, u"Marker", nullptr, &type, value, &size), ERROR_SUCCESS);
    EXPECT_EQ(value[0], 1);
    RegCloseKey(h);
    EXPECT_EQ(home.FolderEntries(), std::set<std::string>{"registry.reg"});
}

INSTANTIATE_TEST_SUITE_P(Files, RegistryCorpusLoads, ::testing::ValuesIn(CorpusFiles("load-")), CaseName);

// A refused file is seen as empty and is moved aside whole before the first
// change writes a new one.
class RegistryCorpusRejects : public RegistryCorpusLoads { };

TEST_P(RegistryCorpusRejects, IsSetAsideWholeAndNeverRewritten)
{
    EXPECT_FALSE(platform::RegDocument::Parse(bytes).has_value());
    home.WriteFile(bytes);
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Tarvolin", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Tarvolin", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    const std::set<std::string> entries = home.FolderEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(TempConfigHome::ReadPath(home.Folder() / *std::next(entries.begin())), bytes);
    EXPECT_TRUE(platform::RegDocument::Parse(home.ReadFile()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Files, RegistryCorpusRejects, ::testing::ValuesIn(CorpusFiles("reject-")), CaseName);

}  // namespace
