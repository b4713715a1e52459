#include "tools/tarvolin-scan/CsvReader.h"

bool CsvReader::Read(std::string_view text, std::vector<CsvRecord>& records, std::string& reason)
{
    records.clear();
    int line = 1;
    const auto fail = [&](const std::string& what) {
        reason = "line " + std::to_string(line) + ": " + what;
        return false;
    };
    std::size_t at = 0;
    while (at < text.size()) {
        CsvRecord& record = records.emplace_back();
        record.line = line;
        for (bool recordEnded = false; !recordEnded;) {
            std::string& cell = record.cells.emplace_back();
            if (at < text.size() && text[at] == '"') {
                for (++at;; ++at) {
                    if (at >= text.size())
                        return fail("the file ends inside a quoted cell (cut short?)");
                    if (text[at] == '"') {
                        if (at + 1 < text.size() && text[at + 1] == '"') {
                            cell.push_back('"');
                            ++at;
                            continue;
                        }
                        ++at;
                        break;
                    }
                    if (text[at] == '\n')
                        ++line;
                    cell.push_back(text[at]);
                }
            } else {
                while (at < text.size() && text[at] != ',' && text[at] != '\r' && text[at] != '\n') {
                    if (text[at] == '"')
                        return fail("a quote inside a cell that is not in quotes");
                    cell.push_back(text[at++]);
                }
            }
            if (at >= text.size())
                return fail("the last line has no line end (cut short?)");
            if (text[at] == ',') {
                ++at;
            } else if (text.substr(at, 2) == "\r\n" || text[at] == '\n') {
                at += text[at] == '\r' ? 2 : 1;
                ++line;
                recordEnded = true;
            } else {
                return fail(text[at] == '\r' ? "a carriage return without a line feed"
                                             : "text after the closing quote of a cell");
            }
        }
    }
    return true;
}
