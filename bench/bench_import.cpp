// The import of a sheet of the largest size a workbook has (1,048,576 rows, the goods columns
// filled): the time and the peak memory of reading the sheet alone, then of importing it.
// With "strings", "sheet" or "cancel": hostile workbooks of about 1 MB that unpack to 500 MB,
// one case a run (peak memory is the process's): shared texts of 500 MB (refused at once); a
// sheet of 500 MB, 1,048,576 goods rows (titles, then the whole import); the same sheet
// cancelled halfway.
// Usage: bench_import [pg] [rows | strings | sheet | cancel]
#include "benchdb.h"
#include "workbooks.h"
#include "admin/excelimport.h"
#include "admin/sheetreader.h"
#include "program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <sys/resource.h>
#include <xlsxwriter.h>

using namespace orv;

namespace {
long peakMegabytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

bool writeSheet(const QString &path, int rows)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to the file as they are written
    lxw_workbook *wb = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!wb)
        return false;
    lxw_worksheet *ws = workbook_add_worksheet(wb, "货品");
    const QStringList titles = importColumns(ImportKind::Goods);
    for (int c = 0; c < titles.size(); ++c)
        worksheet_write_string(ws, 0, lxw_col_t(c), titles[c].toUtf8().constData(), nullptr);
    for (int r = 1; r < rows; ++r) {
        const QByteArray code = QString("HP%1").arg(r, 9, 10, QChar('0')).toUtf8();
        const QByteArray name = QString("货品名称%1").arg(r).toUtf8();
        worksheet_write_string(ws, lxw_row_t(r), 0, code.constData(), nullptr);
        worksheet_write_string(ws, lxw_row_t(r), 1, name.constData(), nullptr);
        worksheet_write_string(ws, lxw_row_t(r), 2, "Φ20", nullptr);
        worksheet_write_string(ws, lxw_row_t(r), 3, "钢材", nullptr);
        worksheet_write_string(ws, lxw_row_t(r), 4, "根", nullptr);
        worksheet_write_number(ws, lxw_row_t(r), 5, r % 50, nullptr);
        worksheet_write_number(ws, lxw_row_t(r), 6, 2.5 + r % 13, nullptr);
        worksheet_write_string(ws, lxw_row_t(r), 7, "一号仓", nullptr);
        worksheet_write_number(ws, lxw_row_t(r), 11, r % 97, nullptr);
        worksheet_write_number(ws, lxw_row_t(r), 16, 3.75 + r % 13, nullptr);
    }
    return workbook_close(wb) == LXW_NO_ERROR;
}

using test::inlineCell;

// About 500 bytes a row: the goods columns 编号 to 仓位, the same in every row.
QByteArray goodsRows(int count)
{
    QByteArray row = "<row>";
    for (const char *text : {"HP000000001", "不锈钢六角头螺栓（全螺纹）", "M12×80 A2-70 GB/T5783", "紧固件", "盒"})
        row += inlineCell(text);
    row += "<c><v>25</v></c><c><v>118.5</v></c>" + inlineCell("一号仓库 A区 03排 12层");
    return (row + "</row>").repeated(count);
}

int hostile(bench::BenchDb &b, const QString &which)
{
    using namespace test;
    const QString path = b.dir.filePath("hostile.xlsx");
    QByteArray titles = "<row>";
    for (const QString &c : importColumns(ImportKind::Goods))
        titles += inlineCell(c.toUtf8());
    titles += "</row>";
    QList<ZipPart> parts;
    if (which == "strings") {
        parts = sheetParts({{}, titles});
        QByteArray strings;
        while (strings.size() < 1024 * 1024)
            strings += "<si><t>" + QByteArray(200, 'S') + "</t></si>";
        parts << ZipPart{"xl/sharedStrings.xml", "<?xml version=\"1.0\"?><sst>", strings, 500, "</sst>"};
    } else {
        // 128 rows a copy; the titles and 1,048,575 rows fill the sheet to its last row.
        const int copies = (SheetReader::kMaxRows - 1) / 128;
        parts = sheetParts({{}, titles, goodsRows(128), copies, goodsRows(SheetReader::kMaxRows - 1 - copies * 128)});
    }
    if (!writeZip(path, parts))
        return 2;
    std::printf("%s: %.2f MB file, %s: ", b.pgName.isEmpty() ? "SQLite" : "PostgreSQL", QFile(path).size() / 1048576.0,
                qPrintable(which));
    QElapsedTimer t;
    t.start();
    try {
        auto sheet = SheetReader::open(path);
        sheet->selectSheet(0);
        const QStringList names = sheetTitles(*sheet);
        const QStringList mapping = defaultMapping(ImportKind::Goods, *sheet);
        std::printf("titles in %.2f s (peak %ld MB); ", t.elapsed() / 1000.0, peakMegabytes());
        t.restart();
        const ImportOutcome out = ExcelImport(b.conn(), ImportKind::Goods)
                                      .run(*sheet, names, mapping, true, QDate::currentDate(), [&](double done) {
                                          return which != "cancel" || done < 0.5;
                                      });
        std::printf("import %s in %.1f s, %d rows written, peak memory %ld MB\n",
                    out.cancelled ? "cancelled" : out.ok ? "done" : "refused", t.elapsed() / 1000.0, out.rows,
                    peakMegabytes());
    } catch (const std::exception &e) {
        std::printf("refused in %.2f s (\"%s\"), peak memory %ld MB\n", t.elapsed() / 1000.0, e.what(), peakMegabytes());
    }
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool pg = argc > 1 && QString(argv[1]) == "pg";
    const QString arg = argc > (pg ? 2 : 1) ? QString(argv[pg ? 2 : 1]) : QString();
    const int rows = arg.isEmpty() ? SheetReader::kMaxRows : arg.toInt();
    registerSubsystems();
    bench::BenchDb b(pg);
    if (arg == "strings" || arg == "sheet" || arg == "cancel")
        return hostile(b, arg);
    const QString path = b.dir.filePath("goods.xlsx");
    QElapsedTimer t;
    t.start();
    if (!writeSheet(path, rows)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 2;
    }
    std::printf("%s, sheet of %d rows: %.1f MB written in %.1f s\n", pg ? "PostgreSQL" : "SQLite", rows,
                QFile(path).size() / 1048576.0, t.elapsed() / 1000.0);
    try {
        const long before = peakMegabytes();
        t.restart();
        {
            auto sheet = SheetReader::open(path);
            sheet->selectSheet(0);
            qint64 cells = 0;
            for (int r = 1; r <= rows; ++r)
                cells += sheet->row(r).size();
            std::printf("  read alone: %.1f s, %lld cells, peak memory %ld MB (%ld MB before)\n", t.elapsed() / 1000.0,
                        (long long)cells, peakMegabytes(), before);
        }
        t.restart();
        auto sheet = SheetReader::open(path);
        sheet->selectSheet(0);
        int calls = 0;
        const QStringList titles = sheetTitles(*sheet);
        const ImportOutcome out = ExcelImport(b.conn(), ImportKind::Goods)
                                      .run(*sheet, titles, defaultMapping(ImportKind::Goods, *sheet), true,
                                           QDate::currentDate(), [&calls](double) { return ++calls > 0; });
        std::printf("  import: %.1f s, %d rows written (%s), %d progress calls, peak memory %ld MB\n",
                    t.elapsed() / 1000.0, out.rows, out.ok ? "ok" : "refused", calls, peakMegabytes());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    return 0;
}
