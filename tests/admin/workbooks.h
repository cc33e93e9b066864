#pragma once
// Workbooks for the import tests, made at test time: .xlsx by libxlsxwriter, .xls by python3-xlwt,
// and .xlsx written part by part (hostile ones included) by a small zip writer of our own.
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
#include <zlib.h>

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

// A part of a zip written by hand: head + body × repeat + tail, deflated. A body repeated many
// times costs its compressed size once, so a part that unpacks to hundreds of MB is a small
// file made in a moment. `declaredSize` >= 0 states a size that is not the part's.
struct ZipPart {
    ZipPart(QString name = {}, QByteArray head = {}, QByteArray body = {}, qint64 repeat = 0, QByteArray tail = {},
            qint64 declaredSize = -1)
        : name(std::move(name)), head(std::move(head)), body(std::move(body)), repeat(repeat), tail(std::move(tail)),
          declaredSize(declaredSize)
    {
    }
    QString name;
    QByteArray head;
    QByteArray body;
    qint64 repeat;
    QByteArray tail;
    qint64 declaredSize;
};

namespace detail {
inline void put16(QByteArray &b, quint32 v) { b += char(v & 0xff), b += char((v >> 8) & 0xff); }
inline void put32(QByteArray &b, quint32 v) { put16(b, v & 0xffff), put16(b, v >> 16); }

inline QByteArray deflateChunk(z_stream &z, const QByteArray &in, int flush)
{
    QByteArray out;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
    z.avail_in = uInt(in.size());
    char buf[65536];
    do {
        z.next_out = reinterpret_cast<Bytef *>(buf);
        z.avail_out = sizeof buf;
        deflate(&z, flush);
        out.append(buf, qsizetype(sizeof buf - z.avail_out));
    } while (z.avail_out == 0);
    return out;
}
} // namespace detail

inline bool writeZip(const QString &path, const QList<ZipPart> &parts)
{
    using namespace detail;
    QByteArray file, directory;
    for (const ZipPart &p : parts) {
        // Once the body fills deflate's 32 KB window, every further copy compresses to the same
        // bytes: the window it refers to is the copy before, whichever that is.
        Q_ASSERT(p.repeat < 2 || p.body.size() >= 32768);
        z_stream z{};
        deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
        QByteArray data = deflateChunk(z, p.head, Z_SYNC_FLUSH);
        if (p.repeat > 0)
            data += deflateChunk(z, p.body, Z_SYNC_FLUSH);
        if (p.repeat > 1)
            data += deflateChunk(z, p.body, Z_SYNC_FLUSH).repeated(p.repeat - 1);
        data += deflateChunk(z, p.tail, Z_FINISH);
        deflateEnd(&z);
        const qint64 size = p.head.size() + p.body.size() * p.repeat + p.tail.size();
        uLong crc = crc32(0, reinterpret_cast<const Bytef *>(p.head.constData()), uInt(p.head.size()));
        const uLong bodyCrc = crc32(0, reinterpret_cast<const Bytef *>(p.body.constData()), uInt(p.body.size()));
        for (qint64 i = 0; i < p.repeat; ++i)
            crc = crc32_combine(crc, bodyCrc, p.body.size());
        crc = crc32(crc, reinterpret_cast<const Bytef *>(p.tail.constData()), uInt(p.tail.size()));
        const QByteArray name = p.name.toUtf8();
        const quint32 stated = quint32(p.declaredSize >= 0 ? p.declaredSize : size);
        auto header = [&](QByteArray &b, bool central) {
            put32(b, central ? 0x02014b50 : 0x04034b50);
            if (central)
                put16(b, 20);
            put16(b, 20), put16(b, 0), put16(b, 8), put16(b, 0), put16(b, 0x21);
            put32(b, quint32(crc)), put32(b, quint32(data.size())), put32(b, stated);
            put16(b, quint32(name.size())), put16(b, 0);
            if (central) {
                put16(b, 0), put16(b, 0), put16(b, 0), put32(b, 0);
                put32(b, quint32(file.size()));
            }
            b += name;
        };
        header(directory, true);
        header(file, false);
        file += data;
    }
    const quint32 at = quint32(file.size());
    file += directory;
    put32(file, 0x06054b50), put16(file, 0), put16(file, 0);
    put16(file, quint32(parts.size())), put16(file, quint32(parts.size()));
    put32(file, quint32(directory.size())), put32(file, at), put16(file, 0);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(file) == file.size();
}

// A cell holding its own text, in the sheet's XML.
inline QByteArray inlineCell(const QByteArray &text, const QByteArray &ref = {})
{
    return "<c" + (ref.isEmpty() ? QByteArray() : " r=\"" + ref + "\"") + " t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

// The parts of a workbook of one sheet "数据": `rows` is what goes inside <sheetData>; the shared
// texts and the styles are optional (a style 1 that shows dates comes with `dateStyle`).
inline QList<ZipPart> sheetParts(const ZipPart &rows, const QByteArray &sharedStrings = {}, bool dateStyle = false)
{
    QList<ZipPart> parts{
        {"xl/workbook.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                            "<sheets><sheet name=\"数据\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
         "Target=\"worksheets/sheet1.xml\"/></Relationships>"}};
    ZipPart sheet = rows;
    sheet.name = "xl/worksheets/sheet1.xml";
    sheet.head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
                 + rows.head;
    sheet.tail = rows.tail + "</sheetData></worksheet>";
    parts << sheet;
    if (!sharedStrings.isEmpty())
        parts << ZipPart{"xl/sharedStrings.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                                 "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                                                     + sharedStrings + "</sst>"};
    if (dateStyle)
        parts << ZipPart{"xl/styles.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                          "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                                          "<cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>"};
    return parts;
}

} // namespace orv::test
