// The import of a sheet of the largest size a workbook has (1,048,576 rows, the goods columns
// filled): the time and the peak memory of reading the sheet alone, then of importing it.
// Usage: bench_import [pg] [rows]
#include "benchdb.h"
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
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool pg = argc > 1 && QString(argv[1]) == "pg";
    const int rows = argc > (pg ? 2 : 1) ? QString(argv[pg ? 2 : 1]).toInt() : SheetReader::kMaxRows;
    registerSubsystems();
    bench::BenchDb b(pg);
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
