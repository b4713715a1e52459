// The registry API against real files in a private configuration folder.
#include "tests/support/TempConfigHome.h"

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPath.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <ctime>
#include <optional>
#include <ostream>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

constexpr const WCHAR* kKey = u"Software\\Tarvolin";

Bytes Utf16Bytes(std::u16string_view text, bool terminate = true)
{
    Bytes b;
    for (char16_t c : text) {
        b.push_back(static_cast<BYTE>(c));
        b.push_back(static_cast<BYTE>(c >> 8));
    }
    if (terminate) {
        b.push_back(0);
        b.push_back(0);
    }
    return b;
}

LONG WriteValue(const WCHAR* key, const WCHAR* name, DWORD type, const Bytes& data)
{
    HKEY h = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RegSetValueExW(h, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    LONG closed = RegCloseKey(h);
    return rc != ERROR_SUCCESS ? rc : closed;
}

struct Stored {
    DWORD type;
    Bytes data;
};

std::optional<Stored> ReadValue(const WCHAR* key, const WCHAR* name)
{
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
        return std::nullopt;
    Stored s{};
    DWORD size = 0;
    std::optional<Stored> result;
    if (RegQueryValueExW(h, name, nullptr, &s.type, nullptr, &size) == ERROR_SUCCESS) {
        s.data.resize(size);
        if (RegQueryValueExW(h, name, nullptr, &s.type, s.data.data(), &size) == ERROR_SUCCESS)
            result = s;
    }
    RegCloseKey(h);
    return result;
}

// Test names from each case's description: "text with quotes" -> text_with_quotes.
struct CaseName {
    template <typename Info> std::string operator()(const Info& info) const
    {
        std::string name;
        for (const char* p = info.param.what; *p; ++p)
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    }
};

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";

// ---------------------------------------------------------------------------
// Every type round-trips byte for byte, and is written in the expected form.

struct RoundTripCase {
    const char* what;
    DWORD type;
    Bytes data;
    std::string line;  // how the value stands in the file
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.what;
}

class RegistryRoundTrip : public ::testing::TestWithParam<RoundTripCase> {
protected:
    TempConfigHome home;
};

TEST_P(RegistryRoundTrip, ValueReadsBackAsWrittenAndStandsInTheFileAsExpected)
{
    const RoundTripCase& c = GetParam();
    ASSERT_EQ(WriteValue(kKey, u"V", c.type, c.data), ERROR_SUCCESS);

    EXPECT_EQ(home.ReadFile(), kHeader + "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\n" + c.line + "\n\n");
    auto stored = ReadValue(kKey, u"V");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, c.type);
    EXPECT_EQ(stored->data, c.data);
}

Bytes Sequence(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<BYTE>(i);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, RegistryRoundTrip,
    ::testing::Values(
        RoundTripCase{"text", REG_SZ, Utf16Bytes(u"wlan0"), "\"V\"=\"wlan0\""},
        RoundTripCase{"text with quotes and backslashes", REG_SZ, Utf16Bytes(u"a\\\"b\\\\c\""),
                      "\"V\"=\"a\\\\\\\"b\\\\\\\\c\\\"\""},
        RoundTripCase{"non-ASCII text", REG_SZ, Utf16Bytes(u"Pусский ő"), "\"V\"=\"Pусский ő\""},
        RoundTripCase{"empty text", REG_SZ, Utf16Bytes(u""), "\"V\"=\"\""},
        RoundTripCase{"text without terminator", REG_SZ, Utf16Bytes(u"ab", false), "\"V\"=hex(1):61,00,62,00"},
        RoundTripCase{"text with odd size", REG_SZ, Bytes{0x61, 0x00, 0x62}, "\"V\"=hex(1):61,00,62"},
        RoundTripCase{"text with a NUL inside", REG_SZ, Bytes{0x61, 0, 0, 0, 0x62, 0, 0, 0},
                      "\"V\"=hex(1):61,00,00,00,62,00,00,00"},
        RoundTripCase{"text with an unpaired surrogate", REG_SZ, Bytes{0x00, 0xD8, 0, 0}, "\"V\"=hex(1):00,d8,00,00"},
        RoundTripCase{"text with a line break", REG_SZ, Utf16Bytes(u"a\nb"), "\"V\"=hex(1):61,00,0a,00,62,00,00,00"},
        RoundTripCase{"no data at all as text", REG_SZ, Bytes{}, "\"V\"=hex(1):"},
        RoundTripCase{"dword", REG_DWORD, Bytes{0x0c, 0, 0, 0}, "\"V\"=dword:0000000c"},
        RoundTripCase{"negative dword", REG_DWORD, Bytes{0xff, 0xff, 0xff, 0xff}, "\"V\"=dword:ffffffff"},
        RoundTripCase{"short dword", REG_DWORD, Bytes{1, 2}, "\"V\"=hex(4):01,02"},
        RoundTripCase{"binary", REG_BINARY, Bytes{0xde, 0xad, 0xbe, 0xef}, "\"V\"=hex:de,ad,be,ef"},
        RoundTripCase{"empty binary", REG_BINARY, Bytes{}, "\"V\"=hex:"},
        RoundTripCase{"none", REG_NONE, Bytes{1}, "\"V\"=hex(0):01"},
        RoundTripCase{"qword", REG_QWORD, Bytes{1, 2, 3, 4, 5, 6, 7, 8}, "\"V\"=hex(b):01,02,03,04,05,06,07,08"},
        RoundTripCase{"multi text", REG_MULTI_SZ, Bytes{0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0},
                      "\"V\"=hex(7):61,00,00,00,62,00,00,00,00,00"},
        RoundTripCase{"expandable text", REG_EXPAND_SZ, Utf16Bytes(u"%H"), "\"V\"=hex(2):25,00,48,00,00,00"},
        RoundTripCase{"type without a name", 0x12345, Bytes{7}, "\"V\"=hex(12345):07"},
        RoundTripCase{"long binary wraps at 80 columns", REG_BINARY, Sequence(30),
                      "\"V\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
                      "  17,18,19,1a,1b,1c,1d"}),
    CaseName{});

// ---------------------------------------------------------------------------
// Query: what fits is copied, what does not fit reports the size needed.

struct QueryCase {
    const char* what;
    bool passData;
    DWORD bufferSize;
    LONG expectedResult;
    DWORD expectedSize;
    bool copied;
};

void PrintTo(const QueryCase& c, std::ostream* os)
{
    *os << c.what;
}

class RegistryQuery : public ::testing::TestWithParam<QueryCase> {
protected:
    TempConfigHome home;
};

TEST_P(RegistryQuery, CopiesWhatFitsAndReportsTheSize)
{
    const QueryCase& c = GetParam();
    ASSERT_EQ(WriteValue(kKey, u"Six", REG_BINARY, Bytes{1, 2, 3, 4, 5, 6}), ERROR_SUCCESS);

    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &h), ERROR_SUCCESS);
    Bytes buffer(16, 0xAA);
    DWORD size = c.bufferSize;
    DWORD type = 99;
    LONG rc = RegQueryValueExW(h, u"six", nullptr, &type, c.passData ? buffer.data() : nullptr, &size);
    RegCloseKey(h);

    EXPECT_EQ(rc, c.expectedResult);
    EXPECT_EQ(size, c.expectedSize);
    EXPECT_EQ(type, REG_BINARY);
    Bytes expected(16, 0xAA);
    if (c.copied)
        std::copy_n(Bytes{1, 2, 3, 4, 5, 6}.begin(), 6, expected.begin());
    EXPECT_EQ(buffer, expected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RegistryQuery,
                         ::testing::Values(QueryCase{"exact", true, 6, ERROR_SUCCESS, 6, true},
                                           QueryCase{"larger", true, 16, ERROR_SUCCESS, 6, true},
                                           QueryCase{"smaller", true, 4, ERROR_MORE_DATA, 6, false},
                                           QueryCase{"zero", true, 0, ERROR_MORE_DATA, 6, false},
                                           QueryCase{"size only", false, 0, ERROR_SUCCESS, 6, false}),
                         CaseName{});

TEST(RegistryErrors, MissingKeysValuesAndBadHandlesAreReported)
{
    TempConfigHome home;
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(home.Folder())) << "opening for reading must not create anything";

    ASSERT_EQ(WriteValue(kKey, u"A", REG_DWORD, Bytes{1, 0, 0, 0}), ERROR_SUCCESS);
    // A parent of a listed key exists too, as on Windows.
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE", 0, KEY_READ, &h), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Soft", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\\\Tarvolin", 0, KEY_READ, &h), ERROR_INVALID_PARAMETER);

    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &h), ERROR_SUCCESS);
    DWORD size = 4;
    BYTE data[4];
    EXPECT_EQ(RegQueryValueExW(h, u"Missing", nullptr, nullptr, data, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(h, u"A", nullptr, nullptr, data, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(h, u"A", 0, REG_DWORD, data, 4), ERROR_ACCESS_DENIED) << "opened for reading only";
    EXPECT_EQ(RegSetValueExW(HKEY_LOCAL_MACHINE, u"A", 0, REG_DWORD, data, 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);

    // A closed handle is stale: every call refuses it rather than following it.
    EXPECT_EQ(RegQueryValueExW(h, u"A", nullptr, nullptr, data, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExW(h, u"A", 0, REG_DWORD, data, 4), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
    HKEY sub = nullptr;
    EXPECT_EQ(RegOpenKeyExW(h, u"X", 0, KEY_READ, &sub), ERROR_INVALID_HANDLE);
}

TEST(RegistryNames, KeysAndValuesCompareWithoutCase)
{
    TempConfigHome home;
    ASSERT_EQ(WriteValue(u"Software\\Tarvolin", u"FontSize", REG_DWORD, Bytes{12, 0, 0, 0}), ERROR_SUCCESS);
    ASSERT_EQ(WriteValue(u"SOFTWARE\\tarvolin", u"FONTSIZE", REG_DWORD, Bytes{14, 0, 0, 0}), ERROR_SUCCESS);
    ASSERT_EQ(WriteValue(u"software\\TARVOLIN", u"Ключ", REG_DWORD, Bytes{1, 0, 0, 0}), ERROR_SUCCESS);

    auto v = ReadValue(u"sOfTwArE\\TaRvOlIn", u"fontsize");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->data, (Bytes{14, 0, 0, 0}));
    EXPECT_TRUE(ReadValue(kKey, u"КЛЮЧ"));
    // One key, one value: the first spelling stays.
    EXPECT_EQ(home.ReadFile(), kHeader + "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\n\"FontSize\"=dword:0000000e\n"
                                         "\"Ключ\"=dword:00000001\n\n");
}

// A key with many values (found through its index) and many keys behave as a
// small file does: names without case, the first spelling and the order kept,
// a key above a listed one exists, a mere prefix of a name does not.
TEST(RegistryNames, LargeKeysAndManyKeysKeepTheirOrderAndCompareWithoutCase)
{
    TempConfigHome home;
    std::string values;
    for (int i = 0; i < 40; ++i)
        values += "\"Value" + std::to_string(i) + "\"=dword:" + std::to_string(i % 10) + "\n";
    // The same name again, in other letters: one value, the later data.
    values += "\"VALUE7\"=dword:00000063\n";
    std::string keys;
    for (int i = 0; i < 40; ++i)
        keys += "[HKEY_LOCAL_MACHINE\\Software\\Vendor\\Key" + std::to_string(i) + "]\n\"A\"=dword:00000001\n\n";
    home.WriteFile(kHeader + "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\n" + values + "\n" + keys);

    auto seventh = ReadValue(kKey, u"value7");
    ASSERT_TRUE(seventh);
    EXPECT_EQ(seventh->data, (Bytes{0x63, 0, 0, 0}));
    EXPECT_TRUE(ReadValue(kKey, u"VALUE39"));
    EXPECT_FALSE(ReadValue(kKey, u"Value40"));
    EXPECT_FALSE(ReadValue(kKey, u"Value"));
    EXPECT_TRUE(ReadValue(u"SOFTWARE\\vendor\\key39", u"a"));
    for (const WCHAR* path : {u"Software", u"software\\VENDOR", u"Software\\Vendor\\Key3"}) {
        HKEY h = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &h), ERROR_SUCCESS);
        RegCloseKey(h);
    }
    for (const WCHAR* path : {u"Soft", u"Software\\Vend", u"Software\\Vendor\\Key40"}) {
        HKEY h = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    }

    ASSERT_EQ(WriteValue(kKey, u"VALUE20", REG_DWORD, Bytes{1, 0, 0, 0}), ERROR_SUCCESS);
    ASSERT_EQ(WriteValue(kKey, u"New", REG_DWORD, Bytes{2, 0, 0, 0}), ERROR_SUCCESS);
    std::string expected = kHeader + "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\n";
    for (int i = 0; i < 40; ++i) {
        char line[40];
        std::snprintf(line, sizeof line, "\"Value%d\"=dword:%08x\n", i, i == 7 ? 0x63 : i == 20 ? 1 : i % 10);
        expected += line;
    }
    expected += "\"New\"=dword:00000002\n\n" + keys;
    EXPECT_EQ(home.ReadFile(), expected);
}

// ---------------------------------------------------------------------------
// Files written by hand or by other tools.

TEST(RegistryFileForms, ReadsRegeditForms)
{
    TempConfigHome home;
    // Windows line ends, a byte order mark, the default value, a continued
    // hex list with spaces, and a key the program does not use.
    home.WriteFile("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
                   "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n"
                   "@=\"default\"\r\n"
                   "\"List\"=hex(7):61,00,00,\\\r\n"
                   "    00,00 ,00\r\n"
                   "\"Small\"=dword:1f\r\n");
    auto def = ReadValue(u"Software\\Other", nullptr);
    ASSERT_TRUE(def);
    EXPECT_EQ(def->type, REG_SZ);
    EXPECT_EQ(def->data, Utf16Bytes(u"default"));
    auto list = ReadValue(u"Software\\Other", u"List");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->type, REG_MULTI_SZ);
    EXPECT_EQ(list->data, (Bytes{0x61, 0, 0, 0, 0, 0}));
    auto small = ReadValue(u"Software\\Other", u"Small");
    ASSERT_TRUE(small);
    EXPECT_EQ(small->data, (Bytes{0x1f, 0, 0, 0}));
}

TEST(RegistryFileForms, ReadsUtf16FilesAsRegeditSavesThem)
{
    TempConfigHome home;
    std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\r\n"
                          u"\"Adapter\"=\"wlan0\"\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    home.WriteFile(bytes);
    auto v = ReadValue(kKey, u"Adapter");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->data, Utf16Bytes(u"wlan0"));
}

// Keys, values and comments the program does not know survive a write to the
// program's own key, letter for letter.
TEST(RegistryFileForms, UnknownContentSurvivesAWriteUnchanged)
{
    TempConfigHome home;
    const std::string others = "; written by hand\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\Other]\n"
                               "@=\"default\"\n"
                               "\"Multi\"=hex(7):61,00,62,00,00,00,63,00,00,00,00,00\n"
                               "\"Quad\"=hex(b):01,02,03,04,05,06,07,08\n"
                               "; about the next value\n"
                               "\"Path\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,5c,00,61,00,00,00\n"
                               "\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
                               "  16,17,18,19,1a,1b,1c,1d\n"
                               "\n"
                               "[HKEY_CURRENT_USER\\Software\\Tarvolin]\n"
                               "\"FontSize\"=dword:00000010\n"
                               "\n";
    const std::string ours = "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\n"
                             "\"Unknown\"=\"keep me\"\n"
                             "\"FontSize\"=dword:0000000c\n"
                             "\n";
    home.WriteFile(kHeader + others + ours + "; trailing remark\n");

    ASSERT_EQ(WriteValue(kKey, u"FontSize", REG_DWORD, Bytes{20, 0, 0, 0}), ERROR_SUCCESS);
    ASSERT_EQ(WriteValue(kKey, u"Adapter", REG_SZ, Utf16Bytes(u"wlan0")), ERROR_SUCCESS);

    EXPECT_EQ(home.ReadFile(), kHeader + others +
                                   "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\n"
                                   "\"Unknown\"=\"keep me\"\n"
                                   "\"FontSize\"=dword:00000014\n"
                                   "\"Adapter\"=\"wlan0\"\n"
                                   "\n; trailing remark\n");
    auto quad = ReadValue(u"Software\\Other", u"Quad");
    ASSERT_TRUE(quad);
    EXPECT_EQ(quad->type, REG_QWORD);
    EXPECT_EQ(quad->data, (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
}

// A change another program makes to the file while a key is open is kept:
// the close merges the handle's values into what is on disk then.
TEST(RegistryFileForms, ChangesMadeMeanwhileByOthersAreKept)
{
    TempConfigHome home;
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr), ERROR_SUCCESS);
    const BYTE one[4] = {1, 0, 0, 0};
    ASSERT_EQ(RegSetValueExW(h, u"Mine", 0, REG_DWORD, one, 4), ERROR_SUCCESS);
    home.WriteFile(kHeader + "[HKEY_LOCAL_MACHINE\\Software\\Theirs]\n\"T\"=dword:00000002\n\n");
    ASSERT_EQ(RegCloseKey(h), ERROR_SUCCESS);

    EXPECT_TRUE(ReadValue(u"Software\\Theirs", u"T"));
    EXPECT_TRUE(ReadValue(kKey, u"Mine"));
}

// ---------------------------------------------------------------------------
// Files that cannot be read: nothing is seen in them, and they are moved
// aside, never overwritten, before a new file is written.

struct BrokenCase {
    const char* what;
    std::string bytes;
};

void PrintTo(const BrokenCase& c, std::ostream* os)
{
    *os << c.what;
}

class RegistryBrokenFile : public ::testing::TestWithParam<BrokenCase> {
protected:
    TempConfigHome home;
};

TEST_P(RegistryBrokenFile, ReadsAsEmptyAndIsKeptAsideOnWrite)
{
    const BrokenCase& c = GetParam();
    home.WriteFile(c.bytes);

    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(home.ReadFile(), c.bytes) << "reading alone must leave the file as it is";

    std::time_t before = std::time(nullptr);
    ASSERT_EQ(WriteValue(kKey, u"FontSize", REG_DWORD, Bytes{12, 0, 0, 0}), ERROR_SUCCESS);
    std::time_t after = std::time(nullptr);

    std::set<std::string> entries = home.FolderEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries.count("registry.reg"));
    std::string aside = *std::next(entries.begin());
    bool named = false;
    for (std::time_t t = before; t <= after; ++t)
        named |= (home.Folder() / aside).string() == platform::BrokenFileName(home.File().string(), t, 0);
    EXPECT_TRUE(named) << aside;
    EXPECT_EQ(TempConfigHome::ReadPath(home.Folder() / aside), c.bytes);
    EXPECT_EQ(home.ReadFile(), kHeader + "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\n\"FontSize\"=dword:0000000c\n\n");
}

const std::string kKeyLine = "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\n";

INSTANTIATE_TEST_SUITE_P(
    Forms, RegistryBrokenFile,
    ::testing::Values(BrokenCase{"empty", ""}, BrokenCase{"no header", kKeyLine + "\"FontSize\"=dword:0000000c\n"},
                      BrokenCase{"old header", "REGEDIT4\n\n" + kKeyLine},
                      BrokenCase{"value before any key", kHeader + "\"FontSize\"=dword:0000000c\n" + kKeyLine},
                      BrokenCase{"unclosed key", kHeader + "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin\n"},
                      BrokenCase{"deleting key", kHeader + "[-HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\n"},
                      BrokenCase{"deleting value", kHeader + kKeyLine + "\"FontSize\"=-\n"},
                      BrokenCase{"bad dword", kHeader + kKeyLine + "\"FontSize\"=dword:12345678a\n"},
                      BrokenCase{"bad hex", kHeader + kKeyLine + "\"X\"=hex:1,zz\n"},
                      BrokenCase{"three-digit hex byte", kHeader + kKeyLine + "\"X\"=hex:100\n"},
                      BrokenCase{"continuation at end of file", kHeader + kKeyLine + "\"X\"=hex:01,\\\n"},
                      BrokenCase{"unterminated text", kHeader + kKeyLine + "\"Adapter\"=\"wlan0\n"},
                      BrokenCase{"unknown escape", kHeader + kKeyLine + "\"Adapter\"=\"a\\nb\"\n"},
                      BrokenCase{"text after the value", kHeader + kKeyLine + "\"Adapter\"=\"a\" x\n"},
                      BrokenCase{"bare word", kHeader + kKeyLine + "FontSize=12\n"},
                      BrokenCase{"invalid UTF-8", kHeader + kKeyLine + "\"Adapter\"=\"\xC3\x28\"\n"},
                      BrokenCase{"NUL byte", kHeader + kKeyLine + std::string("\"A\"=\"\0\"\n", 9)}),
    CaseName{});

TEST(RegistryBrokenFileNames, ATakenNameGetsACounter)
{
    TempConfigHome home;
    const std::string bad = "not a registry file";
    home.WriteFile(bad);
    // Occupy the plain names of the next few seconds so the move must count.
    std::time_t now = std::time(nullptr);
    for (std::time_t t = now; t < now + 5; ++t)
        std::ofstream(platform::BrokenFileName(home.File().string(), t, 0)) << "older";

    ASSERT_EQ(WriteValue(kKey, u"A", REG_DWORD, Bytes{1, 0, 0, 0}), ERROR_SUCCESS);
    bool found = false;
    for (std::time_t t = now; t < now + 5; ++t) {
        std::filesystem::path counted = platform::BrokenFileName(home.File().string(), t, 1);
        if (std::filesystem::exists(counted)) {
            EXPECT_EQ(TempConfigHome::ReadPath(counted), bad);
            found = true;
        }
        EXPECT_EQ(TempConfigHome::ReadPath(platform::BrokenFileName(home.File().string(), t, 0)), "older");
    }
    EXPECT_TRUE(found);
}

TEST(RegistryBrokenFileNames, NameHasDateTimeAndCounter)
{
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 7;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 3;
    local.tm_isdst = -1;
    std::time_t t = std::mktime(&local);
    EXPECT_EQ(platform::BrokenFileName("/c/registry.reg", t, 0), "/c/registry.reg.broken-20260307-090503");
    EXPECT_EQ(platform::BrokenFileName("/c/registry.reg", t, 2), "/c/registry.reg.broken-20260307-090503-2");
}

// ---------------------------------------------------------------------------
// Writing: atomic, into a folder made on demand, failures reported.

TEST(RegistryWriting, CreatesMissingFoldersAndLeavesNoTemporaryFile)
{
    TempConfigHome home;
    std::filesystem::path deep = home.Root() / "a" / "b";
    setenv("XDG_CONFIG_HOME", deep.c_str(), 1);
    ASSERT_EQ(WriteValue(kKey, u"A", REG_DWORD, Bytes{1, 0, 0, 0}), ERROR_SUCCESS);
    ASSERT_EQ(WriteValue(kKey, u"B", REG_DWORD, Bytes{2, 0, 0, 0}), ERROR_SUCCESS);

    std::set<std::string> entries;
    for (const auto& e : std::filesystem::directory_iterator(deep / "tarvolin"))
        entries.insert(e.path().filename().string());
    EXPECT_EQ(entries, std::set<std::string>{"registry.reg"});
    EXPECT_TRUE(ReadValue(kKey, u"A"));
    EXPECT_TRUE(ReadValue(kKey, u"B"));
}

TEST(RegistryWriting, ALinkedFileIsUpdatedWhereItLivesWithItsPermissions)
{
    TempConfigHome home;
    std::filesystem::path real = home.Root() / "dotfiles" / "tarvolin.reg";
    std::filesystem::create_directories(real.parent_path());
    std::ofstream(real) << kHeader;
    std::filesystem::permissions(real, std::filesystem::perms(0640));
    std::filesystem::create_directories(home.Folder());
    std::filesystem::create_symlink(real, home.File());

    ASSERT_EQ(WriteValue(kKey, u"A", REG_DWORD, Bytes{1, 0, 0, 0}), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::is_symlink(home.File()));
    EXPECT_EQ(TempConfigHome::ReadPath(real), kHeader + kKeyLine + "\"A\"=dword:00000001\n\n");
    EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0640));
}

TEST(RegistryWriting, CreatingAKeyWithoutValuesWritesTheKey)
{
    TempConfigHome home;
    HKEY h = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &h, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    ASSERT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    EXPECT_EQ(home.ReadFile(), kHeader + kKeyLine + "\n");

    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &h, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    ASSERT_EQ(RegCloseKey(h), ERROR_SUCCESS);
}

TEST(RegistryWriting, AFolderThatCannotBeMadeFailsTheCloseAndKeepsTheOldFile)
{
    TempConfigHome home;
    // A plain file where the folder should be.
    std::ofstream(home.Root() / "tarvolin") << "in the way";
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr), ERROR_SUCCESS);
    const BYTE one[4] = {1, 0, 0, 0};
    ASSERT_EQ(RegSetValueExW(h, u"A", 0, REG_DWORD, one, 4), ERROR_SUCCESS);
    EXPECT_NE(RegCloseKey(h), ERROR_SUCCESS);
    EXPECT_EQ(TempConfigHome::ReadPath(home.Root() / "tarvolin"), "in the way");
}

// ---------------------------------------------------------------------------
// Where the file lives.

struct PathCase {
    const char* what;
    const char* xdg;   // null: unset
    const char* home;  // null: unset
    const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os)
{
    *os << c.what;
}

class RegistryPathChoice : public ::testing::TestWithParam<PathCase> { };

TEST_P(RegistryPathChoice, FollowsXdgConfigHome)
{
    const PathCase& c = GetParam();
    c.xdg ? setenv("XDG_CONFIG_HOME", c.xdg, 1) : unsetenv("XDG_CONFIG_HOME");
    c.home ? setenv("HOME", c.home, 1) : unsetenv("HOME");
    EXPECT_EQ(platform::RegistryFilePath(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environment, RegistryPathChoice,
    ::testing::Values(PathCase{"xdg", "/cfg", "/home/u", "/cfg/tarvolin/registry.reg"},
                      PathCase{"xdgTrailingSlash", "/cfg/", "/home/u", "/cfg/tarvolin/registry.reg"},
                      PathCase{"unset", nullptr, "/home/u", "/home/u/.config/tarvolin/registry.reg"},
                      PathCase{"empty", "", "/home/u", "/home/u/.config/tarvolin/registry.reg"},
                      PathCase{"relative", "cfg", "/home/u", "/home/u/.config/tarvolin/registry.reg"}),
    CaseName{});

}  // namespace
