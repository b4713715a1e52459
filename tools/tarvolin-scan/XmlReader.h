// Reads an XML document into a tree of elements, for reading back the KML
// map a walk left: UTF-8, elements with attributes, character data with the
// five named entities and character references, CDATA sections, comments
// and processing instructions. A document type declaration is refused (a
// map has none, and entity definitions are a way to blow a reader up), and
// so is anything that is not well-formed: a cut file never reads as a
// shorter one. Nesting deeper than kMaxDepth is refused rather than read,
// so that no file can exhaust the stack.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct XmlElement {
    std::string name;  // as written, with any prefix
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;  // the character data directly inside, entities replaced, line ends as \n
    std::vector<XmlElement> children;
    int line = 0;  // where its start tag is, from 1

    // The attribute's value; null when the element has none of that name.
    const std::string* Attribute(std::string_view name) const;
};

class XmlReader {
public:
    static constexpr int kMaxDepth = 64;

    // Reads text as one document into root. On failure reason says what
    // and on which line, and root is unspecified.
    static bool Read(std::string_view text, XmlElement& root, std::string& reason);

private:
    explicit XmlReader(std::string_view text) : m_text(text) { }

    bool Document(XmlElement& root);
    bool Element(XmlElement& element, int depth);
    bool Content(XmlElement& element, int depth);
    bool Misc();  // comments, processing instructions and blanks between elements
    bool Name(std::string& name);
    bool AttributeValue(std::string& value);
    bool Reference(std::string& text);  // after '&'
    bool Fail(const std::string& what);
    bool Skip(std::string_view word);
    bool SkipPast(std::string_view end, const char* what);
    void SkipBlanks();
    bool AtEnd() const { return m_at >= m_text.size(); }
    int Line(std::size_t at);

    std::string_view m_text;
    std::size_t m_at = 0;
    std::string m_reason;
    std::size_t m_lineAt = 0;  // where m_line was counted to
    int m_line = 1;
};
