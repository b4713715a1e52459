// The settings store against real registry files in a private folder.
#include "tests/support/TempConfigHome.h"

#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";
const std::string kKeyLine = "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\n";

std::string DefaultValueLines(const std::string& adapterLine = "\"Adapter\"=\"\"\n")
{
    return "\"FontSize\"=dword:0000000c\n"
           "\"ScanSpeed\"=dword:00000002\n"
           "\"HideWEP\"=dword:00000000\n"
           "\"HidePeer\"=dword:00000000\n"
           "\"SoundOff\"=dword:00000001\n"
           "\"Language\"=dword:00000000\n" +
           adapterLine;
}

struct Values {
    LONG numbers[CSettings::kNumberCount];
    CString adapter;
};

Values Read(const CSettings& settings)
{
    Values v{};
    for (int i = 0; i < CSettings::kNumberCount; ++i)
        EXPECT_TRUE(settings.GetValue(i, v.numbers[i]));
    EXPECT_TRUE(settings.GetString(SettingAdapter, v.adapter));
    return v;
}

void ExpectDefaults(const CSettings& settings)
{
    Values v = Read(settings);
    const LONG defaults[] = {12, 2, 0, 0, 1, 0};
    for (int i = 0; i < CSettings::kNumberCount; ++i)
        EXPECT_EQ(v.numbers[i], defaults[i]) << "index " << i;
    EXPECT_EQ(v.adapter, u"");
}

class SettingsStore : public ::testing::Test {
protected:
    TempConfigHome home;
    CSettings settings;
};

TEST_F(SettingsStore, BeforeLoadEverythingIsZeroAndEmpty)
{
    Values v = Read(settings);
    for (LONG n : v.numbers)
        EXPECT_EQ(n, 0);
    EXPECT_EQ(v.adapter, u"");
}

TEST_F(SettingsStore, FirstStartTakesDefaultsAndSaveWritesAllSeven)
{
    EXPECT_TRUE(settings.Load());
    ExpectDefaults(settings);
    EXPECT_FALSE(std::filesystem::exists(home.File())) << "loading alone writes nothing";

    EXPECT_TRUE(settings.Save());
    EXPECT_EQ(home.ReadFile(), kHeader + kKeyLine + DefaultValueLines() + "\n");
    // Written atomically: nothing but the file itself is left in the folder.
    EXPECT_EQ(home.FolderEntries(), std::set<std::string>{"registry.reg"});
}

// ---------------------------------------------------------------------------
// How stored values are read: any data of at most four bytes is a number,
// the adapter name is at most 63 characters.

struct StoredCase {
    const char* what;
    std::string line;  // the value as it stands in the file
    int index;         // numeric setting, or -1 for the adapter
    LONG number;
    CString text;
};

void PrintTo(const StoredCase& c, std::ostream* os)
{
    *os << c.what;
}

class SettingsStoredValue : public SettingsStore, public ::testing::WithParamInterface<StoredCase> { };

TEST_P(SettingsStoredValue, LoadsAsExpected)
{
    const StoredCase& c = GetParam();
    home.WriteFile(kHeader + kKeyLine + c.line + "\n");
    EXPECT_TRUE(settings.Load());
    Values v = Read(settings);
    if (c.index >= 0)
        EXPECT_EQ(v.numbers[c.index], c.number);
    else
        EXPECT_EQ(v.adapter, c.text);
}

std::string Repeat(char c, int n)
{
    return std::string(static_cast<std::size_t>(n), c);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SettingsStoredValue,
    ::testing::Values(
        StoredCase{"FontSize16", "\"FontSize\"=dword:00000010", SettingFontSize, 16, {}},
        StoredCase{"NameWithOtherCase", "\"fontsize\"=dword:0000000e", SettingFontSize, 14, {}},
        StoredCase{"ScanSpeedOutOfRangeKept", "\"ScanSpeed\"=dword:00000009", SettingScanSpeed, 9, {}},
        StoredCase{"ScanSpeedOneCharacterText", "\"ScanSpeed\"=\"3\"", SettingScanSpeed, 51, {}},
        StoredCase{"ScanSpeedTwoCharacterTextIsTooBig", "\"ScanSpeed\"=\"33\"", SettingScanSpeed, 2, {}},
        StoredCase{"ScanSpeedOneByteFillsLowByte", "\"ScanSpeed\"=hex:05", SettingScanSpeed, 5, {}},
        StoredCase{"ScanSpeedNoDataKeepsZero", "\"ScanSpeed\"=hex:", SettingScanSpeed, 0, {}},
        StoredCase{"ScanSpeedQwordIsTooBig", "\"ScanSpeed\"=hex(b):01,00,00,00,00,00,00,00", SettingScanSpeed, 2, {}},
        StoredCase{"LanguageNegative", "\"Language\"=dword:ffffffff", SettingLanguage, -1, {}},
        StoredCase{"SoundOffZero", "\"SoundOff\"=dword:00000000", SettingSoundOff, 0, {}},
        StoredCase{"Adapter", "\"Adapter\"=\"wlan0\"", -1, 0, u"wlan0"},
        StoredCase{"Adapter63Characters", "\"Adapter\"=\"" + Repeat('a', 63) + "\"", -1, 0, CString(63, u'a')},
        StoredCase{"Adapter64CharactersIsTooBig", "\"Adapter\"=\"" + Repeat('a', 64) + "\"", -1, 0, u""},
        StoredCase{"Adapter64WithoutTerminatorFits",
                   "\"Adapter\"=hex(1):" +
                       [] {
                           std::string s;
                           for (int i = 0; i < 64; ++i)
                               s += i ? ",62,00" : "62,00";
                           return s;
                       }(),
                   -1, 0, CString(64, u'b')},
        StoredCase{"AdapterWithoutTerminator", "\"Adapter\"=hex(1):77,00,6c,00", -1, 0, u"wl"},
        StoredCase{"AdapterStopsAtFirstNul", "\"Adapter\"=hex(1):77,00,00,00,6c,00,00,00", -1, 0, u"w"},
        StoredCase{"AdapterOddSize", "\"Adapter\"=hex(1):77,00,6c", -1, 0, u"wl"},
        StoredCase{"AdapterStoredAsNumber", "\"Adapter\"=dword:00420041", -1, 0, u"AB"},
        StoredCase{"AdapterNonAscii", "\"Adapter\"=\"Wi-Fi ő \\\"x\\\\\"", -1, 0, u"Wi-Fi ő \"x\\"}),
    [](const auto& info) { return std::string(info.param.what); });

// ---------------------------------------------------------------------------
// What Save writes back.

struct WriteBackCase {
    LONG language;
    const char* line;
};

void PrintTo(const WriteBackCase& c, std::ostream* os)
{
    *os << c.language;
}

class SettingsLanguageWriteBack : public SettingsStore, public ::testing::WithParamInterface<WriteBackCase> { };

// The language number is stored as it is, in range or not; only start-up
// falls back to English for one it does not know.
TEST_P(SettingsLanguageWriteBack, IsSavedUnchanged)
{
    const WriteBackCase& c = GetParam();
    home.WriteFile(kHeader + kKeyLine + c.line + "\n\n");
    settings.Load();
    LONG language = 0;
    settings.GetValue(SettingLanguage, language);
    EXPECT_EQ(language, c.language);
    EXPECT_TRUE(settings.Save());
    EXPECT_NE(home.ReadFile().find(std::string("\n") + c.line + "\n"), std::string::npos) << home.ReadFile();
}

INSTANTIATE_TEST_SUITE_P(Languages, SettingsLanguageWriteBack,
                         ::testing::Values(WriteBackCase{7, "\"Language\"=dword:00000007"},
                                           WriteBackCase{-1, "\"Language\"=dword:ffffffff"},
                                           WriteBackCase{6, "\"Language\"=dword:00000006"}));

TEST_F(SettingsStore, AdapterWithQuotesAndBackslashesRoundTrips)
{
    const CString name = u"a\"b\\c\\\\\"";
    settings.Load();
    settings.SetString(SettingAdapter, name);
    ASSERT_TRUE(settings.Save());
    EXPECT_NE(home.ReadFile().find("\n\"Adapter\"=\"a\\\"b\\\\c\\\\\\\\\\\"\"\n"), std::string::npos)
        << home.ReadFile();

    CSettings again;
    again.Load();
    CString read;
    again.GetString(SettingAdapter, read);
    EXPECT_EQ(read, name);
}

TEST_F(SettingsStore, LoadedAdapterIsSavedBackAsTheSameText)
{
    const std::string line = "\"Adapter\"=\"" + Repeat('x', 63) + "\"\n";
    home.WriteFile(kHeader + kKeyLine + line + "\n");
    settings.Load();
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(home.ReadFile(), kHeader + kKeyLine + line + DefaultValueLines("") + "\n");
}

TEST_F(SettingsStore, ChangedValuesAreSavedAndLoadedAgain)
{
    settings.Load();
    const LONG changed[] = {20, 5, 1, 1, 0, 3};
    for (int i = 0; i < CSettings::kNumberCount; ++i)
        EXPECT_TRUE(settings.SetValue(i, changed[i]));
    EXPECT_TRUE(settings.SetString(SettingAdapter, u"wlp2s0"));
    ASSERT_TRUE(settings.Save());

    CSettings again;
    again.Load();
    Values v = Read(again);
    for (int i = 0; i < CSettings::kNumberCount; ++i)
        EXPECT_EQ(v.numbers[i], changed[i]) << "index " << i;
    EXPECT_EQ(v.adapter, u"wlp2s0");
}

// Keys and values the program does not know, and the form of every value it
// does not write, stay exactly as they were.
TEST_F(SettingsStore, UnknownKeysAndValuesSurviveASave)
{
    const std::string other = "[HKEY_LOCAL_MACHINE\\Software\\Other]\n"
                              "\"Multi\"=hex(7):61,00,00,00,00,00\n"
                              "\"Quad\"=hex(b):ff,ff,ff,ff,ff,ff,ff,7f\n"
                              "\"Blob\"=hex:00,01\n"
                              "\n";
    home.WriteFile(kHeader + other + kKeyLine + "\"Window\"=hex(b):01,00,00,00,00,00,00,00\n\"Note\"=\"kept\"\n\n");
    settings.Load();
    ExpectDefaults(settings);
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(home.ReadFile(), kHeader + other + kKeyLine +
                                   "\"Window\"=hex(b):01,00,00,00,00,00,00,00\n\"Note\"=\"kept\"\n" +
                                   DefaultValueLines() + "\n");
}

TEST_F(SettingsStore, MalformedFileGivesDefaultsAndIsKeptAside)
{
    const std::string bad = kHeader + kKeyLine + "\"FontSize\"=dword:0000001\n\"ScanSpeed\"=dword:zz\n";
    home.WriteFile(bad);
    settings.Load();
    ExpectDefaults(settings);

    ASSERT_TRUE(settings.Save());
    std::set<std::string> entries = home.FolderEntries();
    ASSERT_EQ(entries.size(), 2u);
    std::string aside = *std::next(entries.begin());
    EXPECT_TRUE(aside.starts_with("registry.reg.broken-")) << aside;
    EXPECT_EQ(TempConfigHome::ReadPath(home.Folder() / aside), bad);
    EXPECT_EQ(home.ReadFile(), kHeader + kKeyLine + DefaultValueLines() + "\n");
}

TEST_F(SettingsStore, SaveReportsAFileThatCannotBeWritten)
{
    std::ofstream(home.Root() / "tarvolin") << "in the way";
    settings.Load();
    EXPECT_FALSE(settings.Save());
}

TEST_F(SettingsStore, UnknownIndicesAreRefusedAndLeaveOutputsAlone)
{
    settings.Load();
    for (int index : {-1, 6, 100}) {
        LONG value = 777;
        EXPECT_FALSE(settings.GetValue(index, value));
        EXPECT_EQ(value, 777);
        EXPECT_FALSE(settings.SetValue(index, 5));
    }
    for (int index : {-1, 1}) {
        CString text = u"untouched";
        EXPECT_FALSE(settings.GetString(index, text));
        EXPECT_EQ(text, u"untouched");
        EXPECT_FALSE(settings.SetString(index, u"x"));
    }
    ExpectDefaults(settings);
}

}  // namespace
