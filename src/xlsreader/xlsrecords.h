#pragma once
// What the legacy-workbook reader (orv-xlsreader, a process of its own) and the program say to
// each other, one record a line: fields separated by tabs, with tab, line end and backslash
// escaped. The reader starts by listing the sheets, then waits for the program's lines:
//
//   program          reader
//                    N <name>                a sheet name, for each sheet
//                    READY                   waiting for a line
//   sheet <index>    D <rows> <columns>      the sheet (from 0) selected, and its size
//                    R <row> <cell 1> ...    a row that holds something, trailing empty cells
//                                            left out; a cell is "" (empty), "t" and its text, or
//                                            "n" and its number in full precision
//                    MORE                    a batch ends: waiting for a line
//   next                                     the following batch
//                    END                     the sheet is told: waiting for a line
//   (end of input)                           the reader ends
//                    ERR <what>              open | sheet | toolarge, and the reader ends
#include <string>
#include <string_view>
#include <vector>

namespace orv::xls {

// The most a row may hold, in bytes of text, on either side.
constexpr std::size_t kMaxRowBytes = 16 * 1024 * 1024;
// A batch ends after this many rows or bytes, whichever comes first.
constexpr int kBatchRows = 512;
constexpr std::size_t kBatchBytes = 1024 * 1024;

inline void appendField(std::string &line, std::string_view field)
{
    line += '\t';
    for (const char c : field) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += c;
        }
    }
}

// The fields of a line (without its line end), escapes undone.
inline std::vector<std::string> fields(std::string_view line)
{
    std::vector<std::string> out(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            out.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char e = line[++i];
            out.back() += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
        } else {
            out.back() += c;
        }
    }
    return out;
}

} // namespace orv::xls
