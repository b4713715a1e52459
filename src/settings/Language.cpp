#include "settings/Language.h"

#include "platform/Resources.h"

#include <cstdint>
#include <iterator>

namespace {

// String resources of language L start at the English block plus L strides.
constexpr std::int64_t kFirstString = IDS_BLOCK_ENGLISH;
constexpr std::int64_t kLanguageStride = IDS_BLOCK_STRIDE;
constexpr const WCHAR* kNotFound = u"<Not found>";

// Identifiers are computed wide so a language number far out of range never
// wraps around onto another language's texts.
bool LoadText(std::int64_t id, CString& text)
{
    if (id < 0 || id > static_cast<std::int64_t>(UINT(~0u)))
        return false;
    // The longest text is far below this; a longer one would be cut, not overrun.
    WCHAR buffer[256];
    int length = LoadStringW(nullptr, static_cast<UINT>(id), buffer, static_cast<int>(std::size(buffer)));
    if (length <= 0)
        return false;
    text.assign(buffer, static_cast<std::size_t>(length));
    return true;
}

}  // namespace

CLanguage::CLanguage() : m_language(0)
{
}

CLanguage::~CLanguage() = default;

BOOL CLanguage::SelectLanguage(int language)
{
    m_language = language;
    const std::int64_t first = kFirstString + kLanguageStride * language;
    for (int n = 0; n < kTextCount; ++n) {
        CString& slot = m_texts[n];
        if (!LoadText(first + n, slot) && !LoadText(kFirstString + n, slot))
            slot = kNotFound;
    }
    m_texts[kNotFoundSlot] = kNotFound;
    return TRUE;
}

const CString& CLanguage::GetText(int number) const
{
    // Negative numbers are outside the contract; they get the fallback slot
    // rather than reading before the table.
    if (number < 0 || number > kNotFoundSlot)
        return m_texts[kNotFoundSlot];
    return m_texts[number];
}
