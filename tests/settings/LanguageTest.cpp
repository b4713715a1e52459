// The language object and the string table behind it.
#include "settings/Language.h"
#include "platform/Resources.h"
#include "res/Resource.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

const CString kNotFound = u"<Not found>";

TEST(Language, EveryTextIsEmptyBeforeALanguageIsSelected)
{
    CLanguage language;
    for (int n = 0; n <= 40; ++n)
        EXPECT_EQ(language.GetText(n), u"") << n;
}

struct TextCase {
    int language;
    int number;
    CString text;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << "language " << c.language << " text " << c.number;
}

class LanguageTexts : public ::testing::TestWithParam<TextCase> { };

TEST_P(LanguageTexts, SelectedLanguageGivesItsText)
{
    const TextCase& c = GetParam();
    CLanguage language;
    EXPECT_TRUE(language.SelectLanguage(c.language));
    EXPECT_EQ(language.GetText(c.number), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    SpotChecks, LanguageTexts,
    ::testing::Values(TextCase{0, IDS_SCANNER_TAB, u"Scanner"}, TextCase{0, IDS_ACTIVE, u"active"},
                      TextCase{0, IDS_SECURITY_OPEN, u"Open"}, TextCase{6, IDS_SCANNER_TAB, u"Scanner"},
                      TextCase{6, IDS_OPTIONS_TAB, u"Optionen"}, TextCase{6, IDS_SECURITY_OPEN, u"Offen"},
                      TextCase{6, IDS_GO_LARGE, u"Vergrößern"}, TextCase{1, IDS_SCANNER_TAB, u"Kereső"},
                      TextCase{1, IDS_SPEED_FASTEST, u"Turbo"}, TextCase{2, IDS_SOUND_ON, u"Wł. Dźwięk"},
                      TextCase{3, IDS_LIST_FONT_SIZE, u"Corp policies"}, TextCase{3, IDS_SECURITY_OPEN, u"-"},
                      TextCase{4, IDS_HINT_TAP_NAME, u"Clique um nome de PA"},
                      TextCase{5, IDS_COLUMN_LAST_SEEN, u"Последнее сканирование"},
                      // Beyond the last text every number gives the fallback.
                      TextCase{0, IDS_TEXT_COUNT, kNotFound}, TextCase{0, IDS_TEXT_COUNT + 1, kNotFound},
                      TextCase{0, 1000, kNotFound}, TextCase{5, IDS_TEXT_COUNT, kNotFound}));

// The Russian texts are kept exactly as the program has always shown them,
// including a Latin letter and misspellings.
TEST(LanguageTexts, OddRussianTextsKeepTheirExactCodePoints)
{
    CLanguage language;
    language.SelectLanguage(5);
    const CString& large = language.GetText(IDS_GO_LARGE);  // "Kрупно"
    ASSERT_EQ(large.size(), 6u);
    EXPECT_EQ(large[0], u'\u004B') << "a Latin K";
    EXPECT_EQ(large.substr(1), u"\u0440\u0443\u043F\u043D\u043E");
    EXPECT_EQ(language.GetText(IDS_RESUME), u"\u041F\u0440\u043E\u0434\u043E\u0436\u0438\u0442\u044C");  // "Продожить"
    EXPECT_EQ(language.GetText(IDS_TYPE_PEER),
              u"\u041F\u043E\u043B\u044C\u0437\u0430\u0432\u0430\u0442\u0435\u043B\u0438");  // "Пользаватели"
    EXPECT_EQ(language.GetText(IDS_SHOW_PEERS),
              u"\u041F\u043E\u043B\u044C\u0437\u043E\u0432\u0430\u0442\u0435\u043B\u0438");  // "Пользователи"
    EXPECT_EQ(language.GetText(IDS_SHOW_SECURED),
              u"\u0417\u0430\u0449\u0438\u0449\u0451\u043D\u044B\u0435");  // "Защищёные"
}

// A language number without texts, in or out of any sensible range, gives
// the English interface.
TEST(LanguageTexts, LanguageWithoutTextsFallsBackToEnglish)
{
    CLanguage english;
    english.SelectLanguage(0);
    for (int number : {7, 9, -1, 536870913, 2147483647, -2147483647 - 1}) {
        CLanguage language;
        EXPECT_TRUE(language.SelectLanguage(number));
        for (int n = 0; n < CLanguage::kTextCount; ++n)
            EXPECT_EQ(language.GetText(n), english.GetText(n)) << "language " << number << " text " << n;
        EXPECT_EQ(language.GetText(CLanguage::kTextCount), kNotFound);
    }
}

// Every language has all its texts, and nothing lies between the blocks
// that a language could pick up by mistake.
TEST(StringTable, EachLanguageHasExactlyItsTexts)
{
    for (UINT language = 0; language < 7; ++language) {
        const UINT first = IDS_BLOCK_ENGLISH + IDS_BLOCK_STRIDE * language;
        for (UINT n = 0; n < CLanguage::kTextCount; ++n) {
            const WCHAR* text = FindStringResource(first + n);
            ASSERT_NE(text, nullptr) << first + n;
            EXPECT_NE(text[0], 0) << first + n;
        }
        EXPECT_EQ(FindStringResource(first + CLanguage::kTextCount), nullptr);
        EXPECT_EQ(FindStringResource(first - 1), nullptr);
    }
    EXPECT_EQ(FindStringResource(IDS_BLOCK_GERMAN + IDS_BLOCK_STRIDE), nullptr);
}

// The texts added for Linux are translated, not English left in place, and
// every language names the programs and the service the user can act on.
TEST(StringTable, LinuxTextsAreTranslatedAndNameWhatToRun)
{
    struct Added {
        UINT number;
        std::vector<std::u16string> names;
    };
    const Added added[] = {{IDS_NO_ADAPTER, {u"tarvolin-demo"}},
                           {IDS_SCAN_REFUSED, {u"tarvolin-trigger", u"NetworkManager", u"Tarvolin"}},
                           {IDS_HELPER_NO_CAPABILITY,
                            {u"tarvolin-trigger", u"sudo setcap cap_net_admin+ep /usr/lib/tarvolin/tarvolin-trigger"}}};
    for (const Added& text : added) {
        const std::u16string english = FindStringResource(IDS_BLOCK_ENGLISH + text.number);
        for (UINT language = 0; language < 7; ++language) {
            const std::u16string translated =
                FindStringResource(IDS_BLOCK_ENGLISH + IDS_BLOCK_STRIDE * language + text.number);
            if (language != 0) {
                EXPECT_NE(translated, english) << "language " << language << " text " << text.number;
            }
            // The language object's buffer takes the whole text.
            EXPECT_LT(translated.size(), 255u) << "language " << language << " text " << text.number;
            for (const std::u16string& name : text.names)
                EXPECT_NE(translated.find(name), std::u16string::npos)
                    << "language " << language << " text " << text.number;
        }
    }
}

TEST(StringTable, LoadStringCopiesCutsAndReports)
{
    WCHAR buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(LoadStringW(nullptr, IDS_BLOCK_ENGLISH + IDS_OPTIONS_TAB, buffer, 16), 7);
    EXPECT_EQ(CString(buffer), u"Options");

    // Cut to the room given, always terminated, never past it.
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(LoadStringW(nullptr, IDS_BLOCK_ENGLISH + IDS_OPTIONS_TAB, buffer, 4), 3);
    EXPECT_EQ(CString(buffer), u"Opt");
    EXPECT_EQ(buffer[4], u'#');

    EXPECT_EQ(LoadStringW(nullptr, IDS_BLOCK_ENGLISH - 1, buffer, 16), 0);
    EXPECT_EQ(LoadStringW(nullptr, IDS_BLOCK_ENGLISH + IDS_OPTIONS_TAB, nullptr, 16), 0);
    EXPECT_EQ(LoadStringW(nullptr, IDS_BLOCK_ENGLISH + IDS_OPTIONS_TAB, buffer, -1), 0);

    // No room at all: a pointer to the text itself, and its full length.
    const WCHAR* direct = nullptr;
    EXPECT_EQ(LoadStringW(nullptr, IDS_BLOCK_RUSSIAN + IDS_COLUMN_LAST_SEEN, reinterpret_cast<WCHAR*>(&direct), 0), 22);
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(CString(direct), u"Последнее сканирование");
}

}  // namespace
