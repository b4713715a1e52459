// Splits RFC 4180 text into records of cells, for reading back the table a
// watch keeps: cells separated by commas, a cell in double quotes when it
// holds a comma, a quote (doubled) or a line break, each record ended by
// CR LF (a lone LF, as an editor may leave, is taken too). Anything else is
// refused with its line: a quote inside a bare cell, text after a quoted
// one, a lone CR, and a last record without its line end, which is what a
// file cut short looks like.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CsvRecord {
    int line = 0;  // where the record starts, from 1
    std::vector<std::string> cells;
};

class CsvReader {
public:
    // Reads all of text; empty text is no record. On failure reason says
    // what and on which line.
    static bool Read(std::string_view text, std::vector<CsvRecord>& records, std::string& reason);
};
