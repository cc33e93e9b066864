#pragma once
// Workbooks for the import tests, made at test time: .xlsx by libxlsxwriter, .xls by python3-xlwt.
// A cell is a QString, a double, a bool or a QDate; an invalid QVariant leaves the cell empty.
#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QVariant>

#include <xlsxwriter.h>

namespace orv::test {

using SheetRows = QList<QVariantList>;
using Sheets = QList<QPair<QString, SheetRows>>;

inline bool writeXlsxBook(const QString &path, const Sheets &sheets)
{
    lxw_workbook *wb = workbook_new(QFile::encodeName(path).constData());
    if (!wb)
        return false;
    lxw_format *date = workbook_add_format(wb);
    format_set_num_format(date, "yyyy-mm-dd");
    for (const auto &[name, rows] : sheets) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, name.toUtf8().constData());
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c) {
                const QVariant &v = rows[r][c];
                switch (v.typeId()) {
                case QMetaType::QString:
                    worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), v.toString().toUtf8().constData(), nullptr);
                    break;
                case QMetaType::Double:
                case QMetaType::Int:
                    worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), v.toDouble(), nullptr);
                    break;
                case QMetaType::Bool:
                    worksheet_write_boolean(ws, lxw_row_t(r), lxw_col_t(c), v.toBool(), nullptr);
                    break;
                case QMetaType::QDate: {
                    const QDate d = v.toDate();
                    lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0};
                    worksheet_write_datetime(ws, lxw_row_t(r), lxw_col_t(c), &dt, date);
                    break;
                }
                default:
                    break;
                }
            }
    }
    return workbook_close(wb) == LXW_NO_ERROR;
}

// Empty when written; otherwise why not (python3-xlwt missing, for one).
inline QString writeXlsBook(const QString &path, const Sheets &sheets)
{
    QJsonArray book;
    for (const auto &[name, rows] : sheets) {
        QJsonArray jrows;
        for (const QVariantList &row : rows) {
            QJsonArray cells;
            for (const QVariant &v : row) {
                if (v.typeId() == QMetaType::QDate)
                    cells.append(QJsonObject{{"date", v.toDate().toString("yyyy-MM-dd")}});
                else if (!v.isValid())
                    cells.append(QJsonValue());
                else
                    cells.append(QJsonValue::fromVariant(v));
            }
            jrows.append(cells);
        }
        book.append(QJsonObject{{"name", name}, {"rows", jrows}});
    }
    const char *script = R"(
import datetime, json, sys
import xlwt
book = json.load(sys.stdin)
wb = xlwt.Workbook(encoding='utf-8')
dates = xlwt.easyxf(num_format_str='YYYY-MM-DD')
for sheet in book:
    ws = wb.add_sheet(sheet['name'])
    for r, row in enumerate(sheet['rows']):
        for c, v in enumerate(row):
            if v is None:
                continue
            if isinstance(v, dict):
                ws.write(r, c, datetime.datetime.strptime(v['date'], '%Y-%m-%d'), dates)
            else:
                ws.write(r, c, v)
wb.save(sys.argv[1])
)";
    QProcess p;
    // Debian's interpreter, which has the packaged xlwt.
    p.start(QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3", {"-c", script, path});
    if (!p.waitForStarted())
        return "python3 is missing";
    p.write(QJsonDocument(book).toJson());
    p.closeWriteChannel();
    p.waitForFinished(60000);
    if (p.exitCode() != 0)
        return QString::fromUtf8(p.readAllStandardError()) + " (scripts/install-deps.sh installs python3-xlwt)";
    return QString();
}

} // namespace orv::test
