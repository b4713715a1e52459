#include "platform/Text.h"

#include <gtest/gtest.h>

namespace {

struct Utf8Case {
    const char* name;
    std::string bytes;
    std::u16string expected;
};

class Utf8Decode : public ::testing::TestWithParam<Utf8Case> { };

TEST_P(Utf8Decode, DecodesOrReplaces)
{
    EXPECT_EQ(platform::Utf8ToUtf16(GetParam().bytes, true), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8Decode,
    ::testing::Values(Utf8Case{"ascii", "Cafe", u"Cafe"}, Utf8Case{"two_byte", "Caf\xC3\xA9", u"Caf\u00E9"},
                      Utf8Case{"cyrillic", "\xD0\xA1\xD0\xB5\xD1\x82\xD1\x8C", u"\u0421\u0435\u0442\u044C"},
                      Utf8Case{"astral", "\xF0\x9F\x93\xB6", u"\U0001F4F6"},
                      Utf8Case{"lone_continuation",
                               "a\x80"
                               "b",
                               u"a\uFFFDb"},
                      Utf8Case{"truncated_at_end", "ab\xE2\x82", u"ab\uFFFD\uFFFD"},
                      Utf8Case{"overlong", "\xC0\xAF", u"\uFFFD\uFFFD"},
                      Utf8Case{"surrogate_encoded", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"stops_at_nul", std::string("ab\0cd", 5), u"ab"},
                      Utf8Case{"latin1_byte", "\xE9t\xE9", u"\uFFFDt\uFFFD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf16Encode, RoundTripsAndReplacesLoneSurrogates)
{
    const std::u16string text = u"Wi\u00DFFi \U0001F4F6";
    EXPECT_EQ(platform::Utf8ToUtf16(platform::Utf16ToUtf8(text)), text);
    EXPECT_EQ(platform::Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

// Interface names: whatever the bytes, UTF-16 and back gives them again,
// while valid UTF-8 reads as the text it is.
TEST(BytesToUtf16, KeepsEveryByteOfAName)
{
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"wlan0", u"wlan0"},
        {"wifi,5g", u"wifi,5g"},
        {"caf\xC3\xA9", u"caf\u00E9"},
        {"ab\xFF\xFE", u"ab\xDCFF\xDCFE"},              // not UTF-8 at all
        {"x\xE2\x82", u"x\xDCE2\xDC82"},                // a sequence cut short
        {"\xED\xB2\x80", u"\xDCED\xDCB2\xDC80"},        // an encoded surrogate
        {"\xF0\x90\x82\x80\x80", u"\U00010080\xDC80"},  // a pair whose low half looks like a byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::BytesToUtf16(c.bytes), c.text) << c.bytes;
        EXPECT_EQ(platform::Utf16ToBytes(platform::BytesToUtf16(c.bytes)), c.bytes) << c.bytes;
    }
    // Every single byte and every pair of bytes comes back.
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            const std::string bytes{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(platform::Utf16ToBytes(platform::BytesToUtf16(bytes)), bytes) << a << " " << b;
        }
}

TEST(MultiByteToWideChar, ReportsSizeAndRefusesShortBuffers)
{
    WCHAR out[4] = {9, 9, 9, 9};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, out, 4), 3);
    EXPECT_EQ(out[2], u'c');
    EXPECT_EQ(out[3], 9);  // no terminator was asked for
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcde", 5, out, 4), 0);
}

}  // namespace
