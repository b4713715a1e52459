// Fields of the files tarvolin-scan writes, read back exactly as written:
// numbers without blanks, signs they do not need or anything after them,
// and BSSIDs in the outputs' one form.
#pragma once

#include <charconv>
#include <string_view>
#include <vector>

// Reads all of text as a number (an integer type, or double); false when
// text is empty, holds anything else or the number does not fit.
template <typename Number> bool ParseWhole(std::string_view text, Number& value)
{
    const char* end = text.data() + text.size();
    const auto [last, failed] = std::from_chars(text.data(), end, value);
    return !text.empty() && failed == std::errc() && last == end;
}

// Whether text is a BSSID as the outputs write it: aa:bb:cc:dd:ee:ff, in
// lower case.
inline bool IsBssid(std::string_view text)
{
    if (text.size() != 17)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i % 3 == 2 ? c != ':' : !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

// The parts of text between separators: "a,b," is "a", "b" and "".
inline std::vector<std::string_view> SplitAt(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find(separator, at);
        parts.push_back(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos)
            return parts;
        at = end + 1;
    }
}
