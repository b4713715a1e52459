// The texts of the user interface in the language chosen at start-up.
#pragma once

#include "platform/Types.h"
#include "res/Resource.h"

class CLanguage {
public:
    // String numbers 0 to 36 are the handheld program's texts; 37 to 39
    // were added for Linux (what stands in the way of scanning), 40 to 45
    // for the channels page.
    static constexpr int kTextCount = IDS_TEXT_COUNT;
    static constexpr int kNotFoundSlot = kTextCount;  // holds "<Not found>"

    CLanguage();
    ~CLanguage();

    // Loads the texts of language `language` (0 English to 6 German); a
    // text the language lacks falls back to English, then to "<Not found>".
    BOOL SelectLanguage(int language);

    // The text of string number `number`; any number past the last gives the
    // "<Not found>" slot. Empty until SelectLanguage has run.
    const CString& GetText(int number) const;

private:
    int m_language;
    CString m_texts[kTextCount + 1];
};
