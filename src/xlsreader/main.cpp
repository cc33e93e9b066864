// orv-xlsreader <file>: reads a legacy .xls workbook (BIFF, through FreeXL) for the program. It
// runs as a process of its own: a damaged workbook that brings the library down ends this
// process, never the program, which reads what is printed here (xlsrecords.h) and names a crash
// as a damaged file.
#include "xlsreader/xlsrecords.h"

#include <freexl.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define ORV_XLS_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_XLS_ASAN 1
#endif
#endif

using namespace orv;

namespace {

void limitResources()
{
#ifndef ORV_XLS_ASAN
    // A workbook that sends the library astray stops here, not in the machine's memory (the
    // address sanitizer reserves more than this for itself).
    const rlimit memory{rlim_t(2048) << 20, rlim_t(2048) << 20};
    setrlimit(RLIMIT_AS, &memory);
#endif
    const rlimit cpu{120, 120};
    setrlimit(RLIMIT_CPU, &cpu);
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
}

void put(const std::string &line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

int fail(const char *what)
{
    std::string line("ERR");
    xls::appendField(line, what);
    put(line);
    std::fflush(stdout);
    return 2;
}

std::string cell(const void *book, unsigned int row, unsigned short column)
{
    FreeXL_CellValue v;
    if (freexl_get_cell_value(book, row, column, &v) != FREEXL_OK)
        return {};
    char number[64];
    switch (v.type) {
    case FREEXL_CELL_INT:
        std::snprintf(number, sizeof number, "n%d", v.value.int_value);
        return number;
    case FREEXL_CELL_DOUBLE:
        std::snprintf(number, sizeof number, "n%.17g", v.value.double_value);
        return number;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        if (!v.value.text_value || !*v.value.text_value)
            return {};
        return std::string("t") + v.value.text_value;
    default:
        return {};
    }
}

struct Book {
    const void *handle = nullptr;
    ~Book()
    {
        if (handle)
            freexl_close(handle);
    }
};

// The program's next line, without its end; false when there is none.
bool request(std::string &line)
{
    char buffer[64];
    if (!std::fgets(buffer, sizeof buffer, stdin))
        return false;
    line = buffer;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return true;
}

// Prints the rows of a sheet, a batch at a time; returns with the line that is no "next" (empty
// at the end of input), or with a failure.
int printRows(const void *book, unsigned int count, const std::string &sheetArg, std::string &line)
{
    char *end = nullptr;
    const long sheet = std::strtol(sheetArg.c_str(), &end, 10);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (sheetArg.empty() || *end || sheet < 0 || sheet >= long(count) || sheet > 0xffff
        || freexl_select_active_worksheet(book, (unsigned short)sheet) != FREEXL_OK
        || freexl_worksheet_dimensions(book, &rows, &columns) != FREEXL_OK)
        return fail("sheet");
    std::string size("D");
    xls::appendField(size, std::to_string(rows));
    xls::appendField(size, std::to_string(columns));
    put(size);
    unsigned int row = 0;
    std::vector<std::string> cells(columns);
    for (;;) {
        std::size_t batchBytes = 0;
        for (int batch = 0; row < rows && batch < xls::kBatchRows && batchBytes < xls::kBatchBytes; ++batch, ++row) {
            unsigned short used = 0;
            std::size_t bytes = 0;
            for (unsigned short c = 0; c < columns; ++c) {
                cells[c] = cell(book, row, c);
                bytes += cells[c].size();
                if (!cells[c].empty())
                    used = c + 1;
            }
            if (bytes > xls::kMaxRowBytes)
                return fail("toolarge");
            if (!used)
                continue;
            std::string record("R");
            xls::appendField(record, std::to_string(row + 1));
            for (unsigned short c = 0; c < used; ++c)
                xls::appendField(record, cells[c]);
            put(record);
            batchBytes += record.size();
        }
        put(row >= rows ? "END" : "MORE");
        std::fflush(stdout);
        if (!request(line))
            line.clear();
        if (row >= rows || line != "next")
            return 0;
    }
}

int serve(const void *book, unsigned int count)
{
    for (unsigned int i = 0; i < count && i < 0xffff; ++i) {
        const char *name = nullptr;
        freexl_get_worksheet_name(book, (unsigned short)i, &name);
        std::string record("N");
        xls::appendField(record, name ? name : "");
        put(record);
    }
    put("READY");
    std::fflush(stdout);
    std::string line;
    if (!request(line))
        return 0;
    for (;;) {
        if (line.rfind("sheet ", 0) != 0)
            return fail("sheet");
        if (const int status = printRows(book, count, line.substr(6), line))
            return status;
        // After a sheet's end the program may still ask for another.
        if (line.empty() && !request(line))
            return 0;
    }
}

} // namespace

int main(int argc, char **argv)
{
    limitResources();
    if (argc != 2) {
        std::fputs("usage: orv-xlsreader <file>\n", stderr);
        return 64;
    }
    Book book;
    const int rc = freexl_open(argv[1], &book.handle);
    unsigned int count = 0;
    if (rc != FREEXL_OK || freexl_get_info(book.handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
        return fail("open");
    const int status = serve(book.handle, count);
    std::fflush(stdout);
    return status;
}
