#include "tools/tarvolin-scan/XmlReader.h"

#include "tools/tarvolin-scan/NetworkView.h"

#include <algorithm>
#include <charconv>

namespace {

bool Blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool NameByte(char c, bool first)
{
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte == '_' || byte == ':' || byte >= 0x80)
        return true;
    return !first && ((byte >= '0' && byte <= '9') || byte == '-' || byte == '.');
}

// XML's Char: what a document may hold, raw or as a reference.
bool XmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void AppendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        text.push_back(static_cast<char>(0xC0 | c >> 6));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        text.push_back(static_cast<char>(0xE0 | c >> 12));
        text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        text.push_back(static_cast<char>(0xF0 | c >> 18));
        text.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Where the text holds a byte that XML does not allow raw: a C0 control
// other than tab and line ends, or U+FFFE or U+FFFF. npos when none; the
// text is valid UTF-8 already.
std::size_t ForbiddenByte(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 && !Blank(text[i]))
            return i;
        if (byte == 0xEF && text.compare(i + 1, 1, "\xBF") == 0 && i + 2 < text.size() &&
            (text[i + 2] == '\xBE' || text[i + 2] == '\xBF'))
            return i;
    }
    return std::string_view::npos;
}

// Appends character data with its line ends as \n, whatever the file used
// (CR LF, or CR alone).
void AppendText(std::string& text, std::string_view run)
{
    for (std::size_t i = 0; i < run.size(); ++i) {
        if (run[i] != '\r')
            text.push_back(run[i]);
        else if (i + 1 == run.size() || run[i + 1] != '\n')
            text.push_back('\n');
    }
}

}  // namespace

const std::string* XmlElement::Attribute(std::string_view name) const
{
    const auto found =
        std::find_if(attributes.begin(), attributes.end(), [&](const auto& pair) { return pair.first == name; });
    return found == attributes.end() ? nullptr : &found->second;
}

bool XmlReader::Read(std::string_view text, XmlElement& root, std::string& reason)
{
    XmlReader reader(text);
    const bool read = reader.Document(root);
    reason = reader.m_reason;
    return read;
}

int XmlReader::Line(std::size_t at)
{
    // Counted on from the last place asked, as the reader only moves on.
    at = std::min(at, m_text.size());
    if (at < m_lineAt) {
        m_lineAt = 0;
        m_line = 1;
    }
    m_line += static_cast<int>(
        std::count(m_text.begin() + static_cast<long>(m_lineAt), m_text.begin() + static_cast<long>(at), '\n'));
    m_lineAt = at;
    return m_line;
}

bool XmlReader::Fail(const std::string& what)
{
    m_reason = "line " + std::to_string(Line(m_at)) + ": " + what;
    return false;
}

bool XmlReader::Skip(std::string_view word)
{
    if (m_text.substr(m_at, word.size()) != word)
        return false;
    m_at += word.size();
    return true;
}

bool XmlReader::SkipPast(std::string_view end, const char* what)
{
    const std::size_t found = m_text.find(end, m_at);
    if (found == std::string_view::npos)
        return Fail(std::string("the document ends inside ") + what);
    m_at = found + end.size();
    return true;
}

void XmlReader::SkipBlanks()
{
    while (!AtEnd() && Blank(m_text[m_at]))
        ++m_at;
}

bool XmlReader::Misc()
{
    for (;;) {
        SkipBlanks();
        if (Skip("<!--")) {
            if (!SkipPast("-->", "a comment"))
                return false;
        } else if (Skip("<?")) {
            if (!SkipPast("?>", "a processing instruction"))
                return false;
        } else {
            return true;
        }
    }
}

bool XmlReader::Document(XmlElement& root)
{
    if (const std::size_t bad = Utf8Error(m_text); bad != std::string_view::npos) {
        m_at = bad;
        return Fail("a byte that is not UTF-8");
    }
    if (const std::size_t bad = ForbiddenByte(m_text); bad != std::string_view::npos) {
        m_at = bad;
        return Fail("a character XML does not allow");
    }
    Skip("\xEF\xBB\xBF");
    if (!Misc())
        return false;
    if (m_text.substr(m_at, 2) == "<!")
        return Fail("a document type declaration, which is not read");
    if (AtEnd() || m_text[m_at] != '<')
        return Fail(AtEnd() ? "there is no element" : "text before the first element");
    if (!Element(root, 1) || !Misc())
        return false;
    return AtEnd() || Fail("more after the end of <" + root.name + ">");
}

bool XmlReader::Name(std::string& name)
{
    const std::size_t start = m_at;
    while (!AtEnd() && NameByte(m_text[m_at], m_at == start))
        ++m_at;
    if (m_at == start)
        return Fail(AtEnd() ? "the document ends where a name was expected" : "a name was expected");
    name = m_text.substr(start, m_at - start);
    return true;
}

bool XmlReader::Reference(std::string& text)
{
    const std::size_t end = m_text.find(';', m_at);
    if (end == std::string_view::npos || end - m_at > 12)
        return Fail("an & that starts no reference");
    const std::string_view name = m_text.substr(m_at, end - m_at);
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [entity, c] : kNamed) {
        if (name == entity) {
            text.push_back(c);
            m_at = end + 1;
            return true;
        }
    }
    const bool hex = name.starts_with("#x");
    if (!name.starts_with('#') || name.size() == (hex ? 2u : 1u))
        return Fail("an unknown entity &" + std::string(name) + ";");
    std::uint32_t value = 0;
    const char* first = name.data() + (hex ? 2 : 1);
    const auto [last, failed] = std::from_chars(first, name.data() + name.size(), value, hex ? 16 : 10);
    if (failed != std::errc() || last != name.data() + name.size() || !XmlChar(value))
        return Fail("&" + std::string(name) + "; is no character XML allows");
    AppendUtf8(text, value);
    m_at = end + 1;
    return true;
}

bool XmlReader::AttributeValue(std::string& value)
{
    if (AtEnd() || (m_text[m_at] != '"' && m_text[m_at] != '\''))
        return Fail("an attribute's value is not in quotes");
    const char quote = m_text[m_at++];
    for (;;) {
        if (AtEnd())
            return Fail("the document ends inside an attribute's value");
        const char c = m_text[m_at++];
        if (c == quote)
            return true;
        if (c == '<')
            return Fail("a < in an attribute's value");
        if (c == '&') {
            if (!Reference(value))
                return false;
        } else {
            value.push_back(Blank(c) ? ' ' : c);
        }
    }
}

bool XmlReader::Element(XmlElement& element, int depth)
{
    if (depth > kMaxDepth)
        return Fail("elements nested more than " + std::to_string(kMaxDepth) + " deep");
    element.line = Line(m_at);
    ++m_at;  // '<'
    if (!Name(element.name))
        return false;
    for (;;) {
        SkipBlanks();
        if (Skip("/>"))
            return true;
        if (Skip(">"))
            return Content(element, depth);
        if (AtEnd())
            return Fail("the document ends inside <" + element.name + ">");
        std::string name;
        std::string value;
        if (!Name(name))
            return false;
        SkipBlanks();
        if (!Skip("="))
            return Fail("the attribute " + name + " has no value");
        SkipBlanks();
        if (!AttributeValue(value))
            return false;
        if (element.Attribute(name))
            return Fail("the attribute " + name + " twice");
        element.attributes.emplace_back(std::move(name), std::move(value));
    }
}

bool XmlReader::Content(XmlElement& element, int depth)
{
    for (;;) {
        if (AtEnd())
            return Fail("the document ends inside <" + element.name + "> (cut short?)");
        const char c = m_text[m_at];
        if (Skip("</")) {
            std::string name;
            if (!Name(name))
                return false;
            SkipBlanks();
            if (!Skip(">"))
                return Fail("the end tag </" + name + " is not closed");
            return name == element.name || Fail("</" + name + "> ends <" + element.name + ">");
        }
        if (Skip("<!--")) {
            if (!SkipPast("-->", "a comment"))
                return false;
        } else if (Skip("<![CDATA[")) {
            const std::size_t end = m_text.find("]]>", m_at);
            if (end == std::string_view::npos)
                return Fail("the document ends inside a CDATA section");
            AppendText(element.text, m_text.substr(m_at, end - m_at));
            m_at = end + 3;
        } else if (Skip("<?")) {
            if (!SkipPast("?>", "a processing instruction"))
                return false;
        } else if (m_text.substr(m_at, 2) == "<!") {
            return Fail("a declaration inside <" + element.name + ">");
        } else if (c == '<') {
            if (!Element(element.children.emplace_back(), depth + 1))
                return false;
        } else if (c == '&') {
            ++m_at;
            if (!Reference(element.text))
                return false;
        } else {
            const std::size_t end = std::min(m_text.find_first_of("<&", m_at), m_text.size());
            AppendText(element.text, m_text.substr(m_at, end - m_at));
            m_at = end;
        }
    }
}
