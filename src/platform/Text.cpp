#include "platform/Text.h"

#include <cstring>

namespace platform {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
// Unpaired surrogates U+DC80 to U+DCFF stand for the bytes 0x80 to 0xFF that
// are not part of valid UTF-8; ASCII bytes are always valid.
constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;

void AppendCodePoint(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// Decodes UTF-8; a byte that cannot be decoded becomes U+FFFD, or with
// escapeBytes the surrogate standing for it.
std::u16string Decode(std::string_view bytes, bool stopAtNul, bool escapeBytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        if (b0 == 0 && stopAtNul)
            break;
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            extra = 1;
            cp = b0 & 0x1F;
            minimum = 0x80;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            extra = 2;
            cp = b0 & 0x0F;
            minimum = 0x800;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            extra = 3;
            cp = b0 & 0x07;
            minimum = 0x10000;
        } else {
            out.push_back(escapeBytes ? static_cast<char16_t>(kEscapeBase + b0) : kReplacement);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= bytes.size()) {
                ok = false;
                break;
            }
            const auto b = static_cast<unsigned char>(bytes[j]);
            if ((b & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!ok || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            // A broken sequence costs one replacement for its lead byte; the
            // following bytes are looked at again on their own.
            out.push_back(escapeBytes ? static_cast<char16_t>(kEscapeBase + b0) : kReplacement);
            ++i;
            continue;
        }
        AppendCodePoint(out, cp);
        i = j;
    }
    return out;
}

// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD, or with
// unescapeBytes the byte it stands for when it stands for one.
std::string Encode(std::u16string_view text, bool unescapeBytes)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (unescapeBytes && cp >= kFirstEscape && cp <= kLastEscape) {
            out.push_back(static_cast<char>(cp - kEscapeBase));
            continue;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes, bool stopAtNul)
{
    return Decode(bytes, stopAtNul, false);
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    return Encode(text, false);
}

std::u16string BytesToUtf16(std::string_view bytes)
{
    return Decode(bytes, false, true);
}

std::string Utf16ToBytes(std::u16string_view text)
{
    return Encode(text, true);
}

}  // namespace platform

int MultiByteToWideChar(UINT /*codePage*/, DWORD /*flags*/, const char* multiByte, int cbMultiByte, WCHAR* wide,
                        int cchWideChar)
{
    if (multiByte == nullptr || cbMultiByte == 0 || cchWideChar < 0)
        return 0;
    const std::size_t length = cbMultiByte < 0 ? std::strlen(multiByte) : static_cast<std::size_t>(cbMultiByte);
    const std::u16string text = platform::Utf8ToUtf16(std::string_view(multiByte, length), true);
    // With -1 the terminating zero counts as part of the text.
    const std::size_t needed = text.size() + (cbMultiByte < 0 ? 1 : 0);
    if (cchWideChar == 0)
        return static_cast<int>(needed);
    if (needed > static_cast<std::size_t>(cchWideChar))
        return 0;
    std::memcpy(wide, text.data(), text.size() * sizeof(WCHAR));
    if (cbMultiByte < 0)
        wide[text.size()] = 0;
    return static_cast<int>(needed);
}
