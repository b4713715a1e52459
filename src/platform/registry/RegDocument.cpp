#include "platform/registry/RegDocument.h"

#include "platform/Text.h"
#include "platform/registry/Registry.h"

#include <cstdio>

namespace platform {

namespace {

// Simple case folding: ASCII, Latin-1, Greek and Cyrillic letters. That covers
// every name the program and regedit's own exports use.
char16_t FoldCase(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0x430 && c <= 0x44F)
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<char16_t>(c - 0x50);
    return c;
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

// Parses 1 to maxDigits hex digits making up all of `s`.
std::optional<DWORD> ParseHexNumber(std::string_view s, std::size_t maxDigits)
{
    if (s.empty() || s.size() > maxDigits)
        return std::nullopt;
    DWORD v = 0;
    for (char c : s) {
        int d = platform::HexDigit(c);
        if (d < 0)
            return std::nullopt;
        v = (v << 4) | static_cast<DWORD>(d);
    }
    return v;
}

// Reads a quoted text starting at s[0] == '"'. Only \\ and \" are escapes.
// On success `s` is left just after the closing quote.
std::optional<std::string> ParseQuoted(std::string_view& s)
{
    if (s.empty() || s.front() != '"')
        return std::nullopt;
    std::string out;
    std::size_t i = 1;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"'))
                return std::nullopt;
            out.push_back(s[++i]);
        } else {
            out.push_back(c);
        }
    }
    return std::nullopt;
}

std::string Quote(std::u16string_view text)
{
    std::string utf8 = Utf16ToUtf8(text);
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '\\' || c == '"')
            out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

// A REG_SZ value can be written as a quoted text only if reading that text
// back gives the same bytes: whole code units, one terminating NUL and none
// before it, no unpaired surrogate, and no line break that would split the line.
bool IsCleanText(const std::vector<BYTE>& data, std::u16string& text)
{
    if (data.size() < 2 || data.size() % 2 != 0)
        return false;
    std::size_t units = data.size() / 2;
    text.clear();
    for (std::size_t i = 0; i < units; ++i) {
        char16_t c = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
        bool last = i + 1 == units;
        if ((c == 0) != last)
            return false;
        if (c == u'\r' || c == u'\n')
            return false;
        if (!last)
            text.push_back(c);
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

std::vector<BYTE> TextBytes(std::u16string_view text)
{
    std::vector<BYTE> bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// Brings the file to UTF-8 text, or nothing when its bytes are not a valid
// encoding (a re-encoded copy would then differ from what is on disk) or hold
// a NUL character in either encoding. A NUL has no escaped form in key paths,
// value names or comments, so a file taken with one could only be written
// back with a raw NUL byte that no later start would read.
std::optional<std::string> DecodeFile(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<BYTE>(bytes[0]) == 0xFF && static_cast<BYTE>(bytes[1]) == 0xFE) {
        if (bytes.size() % 2 != 0)
            return std::nullopt;
        std::u16string units;
        for (std::size_t i = 2; i < bytes.size(); i += 2)
            units.push_back(
                static_cast<char16_t>(static_cast<BYTE>(bytes[i]) | (static_cast<BYTE>(bytes[i + 1]) << 8)));
        if (units.find(u'\0') != std::u16string::npos)
            return std::nullopt;
        std::string utf8 = Utf16ToUtf8(units);
        if (Utf8ToUtf16(utf8) != units)
            return std::nullopt;
        return utf8;
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (bytes.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::string text(bytes);
    if (Utf16ToUtf8(Utf8ToUtf16(text)) != text)
        return std::nullopt;
    return text;
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            lines.push_back(text);
            break;
        }
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return lines;
}

// Parses the comma-separated bytes of a hex value, e.g. "01,ff,2a".
std::optional<std::vector<BYTE>> ParseHexBytes(std::string_view list)
{
    std::vector<BYTE> out;
    list = TrimRight(TrimLeft(list));
    if (list.empty())
        return out;
    while (true) {
        std::size_t comma = list.find(',');
        std::string_view item = TrimRight(TrimLeft(list.substr(0, comma)));
        auto v = ParseHexNumber(item, 2);
        if (!v)
            return std::nullopt;
        out.push_back(static_cast<BYTE>(*v));
        if (comma == std::string_view::npos)
            return out;
        list.remove_prefix(comma + 1);
    }
}

// Parses the data after "=": a quoted text, dword:, hex: or hex(N):. A hex list
// may continue on the following lines, each ending in a backslash but the last.
bool ParseData(std::string_view data, const std::vector<std::string_view>& lines, std::size_t& next, RegValue& value)
{
    data = TrimRight(data);
    if (!data.empty() && data.front() == '"') {
        auto text = ParseQuoted(data);
        if (!text || !TrimLeft(data).empty())
            return false;
        value.type = REG_SZ;
        value.data = TextBytes(Utf8ToUtf16(*text));
        return true;
    }
    if (data.starts_with("dword:")) {
        auto v = ParseHexNumber(data.substr(6), 8);
        if (!v)
            return false;
        value.type = REG_DWORD;
        value.data = {static_cast<BYTE>(*v), static_cast<BYTE>(*v >> 8), static_cast<BYTE>(*v >> 16),
                      static_cast<BYTE>(*v >> 24)};
        return true;
    }
    std::string_view rest;
    if (data.starts_with("hex:")) {
        value.type = REG_BINARY;
        rest = data.substr(4);
    } else if (data.starts_with("hex(")) {
        std::size_t close = data.find("):");
        if (close == std::string_view::npos)
            return false;
        auto type = ParseHexNumber(data.substr(4, close - 4), 8);
        if (!type)
            return false;
        value.type = *type;
        rest = data.substr(close + 2);
    } else {
        return false;
    }
    std::string list;
    while (true) {
        rest = TrimRight(rest);
        bool continues = !rest.empty() && rest.back() == '\\';
        if (continues)
            rest.remove_suffix(1);
        list.append(rest);
        if (!continues)
            break;
        if (next >= lines.size())
            return false;
        rest = TrimLeft(lines[next++]);
    }
    auto bytes = ParseHexBytes(list);
    if (!bytes)
        return false;
    value.data = std::move(*bytes);
    return true;
}

void AppendHex(std::string& out, std::string prefix, const std::vector<BYTE>& data)
{
    // Wrapped as regedit wraps: at most 80 columns with the trailing backslash,
    // continuation lines indented by two spaces.
    constexpr std::size_t kWidth = 80;
    std::string line = std::move(prefix);
    bool lineHasBytes = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        char piece[4];
        std::snprintf(piece, sizeof piece, "%02x", data[i]);
        std::string item = piece;
        if (i + 1 < data.size())
            item.push_back(',');
        if (lineHasBytes && line.size() + item.size() + 1 > kWidth) {
            out += line;
            out += "\\\n";
            line = "  ";
        }
        line += item;
        lineHasBytes = true;
    }
    out += line;
    out += '\n';
}

}  // namespace

std::u16string FoldedRegistryName(std::u16string_view name)
{
    std::u16string folded(name);
    for (char16_t& c : folded)
        c = FoldCase(c);
    return folded;
}

bool SameRegistryName(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

std::optional<RegDocument> RegDocument::Parse(std::string_view bytes)
{
    auto text = DecodeFile(bytes);
    if (!text)
        return std::nullopt;
    std::vector<std::string_view> lines = SplitLines(*text);

    RegDocument doc;
    std::size_t next = 0;
    while (next < lines.size() && TrimRight(lines[next]).empty())
        ++next;
    if (next >= lines.size() || TrimRight(lines[next]) != kHeader)
        return std::nullopt;
    ++next;

    std::size_t key = 0;
    bool inKey = false;
    std::vector<std::string> comments;
    while (next < lines.size()) {
        std::string_view line = TrimRight(TrimLeft(lines[next++]));
        if (line.empty())
            continue;
        if (line.front() == ';') {
            comments.emplace_back(line);
            continue;
        }
        if (line.front() == '[') {
            // "[-path]" deletes a key on import: not something a stored state holds.
            if (line.back() != ']' || line.size() < 3 || line[1] == '-')
                return std::nullopt;
            std::u16string path = Utf8ToUtf16(line.substr(1, line.size() - 2));
            // An index, not a pointer: a later new key may move the keys.
            RegKey& listed = doc.EnsureKey(path);
            key = static_cast<std::size_t>(&listed - doc.m_keys.data());
            inKey = true;
            listed.comments.insert(listed.comments.end(), comments.begin(), comments.end());
            comments.clear();
            continue;
        }
        if (!inKey)
            return std::nullopt;
        RegValue value;
        std::string_view rest = line;
        if (rest.front() == '@') {
            rest.remove_prefix(1);
        } else {
            auto name = ParseQuoted(rest);
            if (!name)
                return std::nullopt;
            value.name = Utf8ToUtf16(*name);
        }
        rest = TrimLeft(rest);
        if (rest.empty() || rest.front() != '=')
            return std::nullopt;
        rest = TrimLeft(rest.substr(1));
        if (!ParseData(rest, lines, next, value))
            return std::nullopt;
        value.comments = std::move(comments);
        comments.clear();
        SetValue(doc.m_keys[key], std::move(value));
    }
    doc.m_trailingComments = std::move(comments);
    return doc;
}

std::string RegDocument::Format() const
{
    std::string out(kHeader);
    out += "\n\n";
    for (const RegKey& key : m_keys) {
        for (const std::string& c : key.comments)
            out += c + '\n';
        out += '[' + Utf16ToUtf8(key.path) + "]\n";
        for (const RegValue& value : key.values) {
            for (const std::string& c : value.comments)
                out += c + '\n';
            std::string prefix = value.name.empty() ? std::string("@") : Quote(value.name);
            prefix += '=';
            std::u16string text;
            if (value.type == REG_SZ && IsCleanText(value.data, text)) {
                out += prefix + Quote(text) + '\n';
            } else if (value.type == REG_DWORD && value.data.size() == 4) {
                DWORD v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                          (static_cast<DWORD>(value.data[3]) << 24);
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", v);
                out += prefix + buf + '\n';
            } else if (value.type == REG_BINARY) {
                AppendHex(out, prefix + "hex:", value.data);
            } else {
                char buf[24];
                std::snprintf(buf, sizeof buf, "hex(%x):", value.type);
                AppendHex(out, prefix + buf, value.data);
            }
        }
        out += '\n';
    }
    for (const std::string& c : m_trailingComments)
        out += c + '\n';
    return out;
}

RegKey* RegDocument::FindKey(std::u16string_view path)
{
    const auto it = m_paths.find(FoldedRegistryName(path));
    return it == m_paths.end() || it->second == kNotListed ? nullptr : &m_keys[it->second];
}

const RegKey* RegDocument::FindKey(std::u16string_view path) const
{
    return const_cast<RegDocument*>(this)->FindKey(path);
}

bool RegDocument::HasKey(std::u16string_view path) const
{
    return m_paths.find(FoldedRegistryName(path)) != m_paths.end();
}

const RegValue* RegDocument::FindValue(std::u16string_view path, std::u16string_view name) const
{
    RegKey* key = const_cast<RegDocument*>(this)->FindKey(path);
    return key != nullptr ? FindValue(*key, name) : nullptr;
}

RegKey& RegDocument::EnsureKey(std::u16string_view path)
{
    const std::u16string folded = FoldedRegistryName(path);
    auto it = m_paths.find(folded);
    if (it != m_paths.end() && it->second != kNotListed)
        return m_keys[it->second];
    m_keys.push_back(RegKey{std::u16string(path), {}, {}, {}});
    if (it != m_paths.end()) {
        // Known as the parent of a listed key: every key above it is known.
        it->second = m_keys.size() - 1;
        return m_keys.back();
    }
    m_paths.emplace(folded, m_keys.size() - 1);
    // The keys above it exist now too; from the first one known before,
    // all further up were known as well.
    for (std::u16string_view above = folded;;) {
        const std::size_t slash = above.rfind(u'\\');
        if (slash == std::u16string_view::npos)
            break;
        above = above.substr(0, slash);
        if (!m_paths.emplace(above, kNotListed).second)
            break;
    }
    return m_keys.back();
}

void RegDocument::SetValue(std::u16string_view path, const RegValue& value)
{
    SetValue(EnsureKey(path), value);
}

namespace {

// A key with fewer values is searched value by value: cheaper than an index.
constexpr std::size_t kIndexedFrom = 16;

}  // namespace

RegValue* RegDocument::FindValue(RegKey& key, std::u16string_view name)
{
    if (key.values.size() < kIndexedFrom) {
        for (RegValue& value : key.values)
            if (SameRegistryName(value.name, name))
                return &value;
        return nullptr;
    }
    const auto it = key.valueIndex.find(FoldedRegistryName(name));
    return it == key.valueIndex.end() ? nullptr : &key.values[it->second];
}

void RegDocument::SetValue(RegKey& key, RegValue value)
{
    if (RegValue* old = FindValue(key, value.name)) {
        // The stored name keeps its spelling; comments above it stay.
        old->type = value.type;
        old->data = std::move(value.data);
        old->comments.insert(old->comments.end(), value.comments.begin(), value.comments.end());
        return;
    }
    key.values.push_back(std::move(value));
    if (key.values.size() == kIndexedFrom) {
        for (std::size_t i = 0; i < key.values.size(); ++i)
            key.valueIndex.emplace(FoldedRegistryName(key.values[i].name), i);
    } else if (key.values.size() > kIndexedFrom) {
        key.valueIndex.emplace(FoldedRegistryName(key.values.back().name), key.values.size() - 1);
    }
}

}  // namespace platform
