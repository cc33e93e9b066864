#include "admin/sheetreader.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

#include <cmath>
#include <freexl.h>
#include <zip.h>

namespace orv {

namespace {

const char *kCannotOpen = "无法打开所选的Excel文件，请确认它是.xls或.xlsx格式的工作簿";
// A part larger than this is not a workbook anyone fills by hand.
constexpr zip_uint64_t kMaxPartBytes = 512ull * 1024 * 1024;

QString numberText(double v)
{
    if (v == 0)
        return QStringLiteral("0"); // no "-0"
    return QString::number(v, 'g', 15);
}

QString dateText(double serial, bool date1904, bool withDate, bool withTime)
{
    const QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    const double days = std::floor(serial);
    qint64 seconds = qint64(std::llround((serial - days) * 86400.0));
    QDate d = base.addDays(qint64(days));
    if (seconds >= 86400) {
        d = d.addDays(1);
        seconds -= 86400;
    }
    const QTime t = QTime(0, 0).addSecs(int(seconds));
    QStringList parts;
    if (withDate)
        parts << d.toString("yyyy-MM-dd");
    if (withTime)
        parts << t.toString("hh:mm:ss");
    return parts.join(' ');
}

// ---- .xlsx

class XlsxReader final : public SheetReader {
public:
    explicit XlsxReader(const QString &path)
    {
        int err = 0;
        m_archive.reset(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err));
        m_zip = m_archive.get();
        if (!m_zip)
            throw WorkbookError(kCannotOpen);
        readWorkbook();
        readSharedStrings();
        readStyles();
    }

    QStringList sheetNames() const override { return m_names; }

    void selectSheet(int index) override
    {
        if (index < 0 || index >= m_parts.size())
            throw WorkbookError("所选的数据表不存在");
        m_cells.clear();
        readSheet(part(m_parts[index]));
    }

    QString cell(int row, int column) const override { return m_cells.value(key(row, column)); }

private:
    static quint64 key(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }

    QByteArray part(const QString &name) const
    {
        zip_stat_t st;
        const QByteArray n = name.toUtf8();
        if (zip_stat(m_zip, n.constData(), 0, &st) != 0)
            return {};
        if (!(st.valid & ZIP_STAT_SIZE) || st.size > kMaxPartBytes)
            throw WorkbookError("所选的Excel文件过大或已损坏");
        zip_file_t *f = zip_fopen(m_zip, n.constData(), 0);
        if (!f)
            throw WorkbookError(kCannotOpen);
        QByteArray out(qsizetype(st.size), Qt::Uninitialized);
        const zip_int64_t got = zip_fread(f, out.data(), st.size);
        zip_fclose(f);
        if (got != zip_int64_t(st.size))
            throw WorkbookError("所选的Excel文件已损坏");
        return out;
    }

    void readWorkbook()
    {
        // Relationship ids to parts.
        QHash<QString, QString> targets;
        QXmlStreamReader rels(part("xl/_rels/workbook.xml.rels"));
        while (!rels.atEnd()) {
            rels.readNext();
            if (rels.isStartElement() && rels.name() == QLatin1String("Relationship")) {
                QString target = rels.attributes().value("Target").toString();
                target = target.startsWith('/') ? target.mid(1) : "xl/" + target;
                targets.insert(rels.attributes().value("Id").toString(), target);
            }
        }
        const QByteArray wb = part("xl/workbook.xml");
        if (wb.isEmpty())
            throw WorkbookError(kCannotOpen);
        QXmlStreamReader x(wb);
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement())
                continue;
            if (x.name() == QLatin1String("workbookPr")) {
                const QString v = x.attributes().value("date1904").toString();
                m_date1904 = v == "1" || v.compare("true", Qt::CaseInsensitive) == 0;
            } else if (x.name() == QLatin1String("sheet")) {
                QString rid;
                for (const QXmlStreamAttribute &a : x.attributes())
                    if (a.name() == QLatin1String("id"))
                        rid = a.value().toString();
                const QString target = targets.value(rid);
                if (target.isEmpty())
                    continue; // a chart sheet or a broken reference: not a sheet of cells
                m_names << x.attributes().value("name").toString();
                m_parts << target;
            }
        }
        if (x.hasError() || m_names.isEmpty())
            throw WorkbookError(kCannotOpen);
    }

    void readSharedStrings()
    {
        QXmlStreamReader x(part("xl/sharedStrings.xml"));
        QString current;
        bool inItem = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                if (x.name() == QLatin1String("si")) {
                    inItem = true;
                    current.clear();
                } else if (x.name() == QLatin1String("rPh")) {
                    x.skipCurrentElement(); // phonetic guide, not part of the text
                } else if (inItem && x.name() == QLatin1String("t")) {
                    current += x.readElementText();
                }
            } else if (x.isEndElement() && x.name() == QLatin1String("si")) {
                m_strings << current;
                inItem = false;
            }
        }
    }

    static bool builtinDate(int id) { return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58); }

    // Which parts of a date and time a number format shows (none: a plain number).
    static std::pair<bool, bool> formatParts(const QString &code)
    {
        QString s;
        bool quoted = false;
        int bracket = 0;
        for (int i = 0; i < code.size(); ++i) {
            const QChar c = code[i];
            if (c == '"') {
                quoted = !quoted;
            } else if (quoted) {
            } else if (c == '\\' || c == '_' || c == '*') {
                ++i; // the next character is shown as it is
            } else if (c == '[') {
                ++bracket;
            } else if (c == ']') {
                bracket = qMax(0, bracket - 1);
            } else if (!bracket) {
                s += c.toLower();
            }
        }
        if (s == QLatin1String("general"))
            return {false, false};
        const bool time = s.contains('h') || s.contains('s');
        const bool date = s.contains('y') || s.contains('d') || (s.contains('m') && !time);
        return {date, time};
    }

    void readStyles()
    {
        QHash<int, QString> custom;
        QXmlStreamReader x(part("xl/styles.xml"));
        bool inXfs = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                if (x.name() == QLatin1String("numFmt")) {
                    custom.insert(x.attributes().value("numFmtId").toInt(), x.attributes().value("formatCode").toString());
                } else if (x.name() == QLatin1String("cellXfs")) {
                    inXfs = true;
                } else if (inXfs && x.name() == QLatin1String("xf")) {
                    const int id = x.attributes().value("numFmtId").toInt();
                    std::pair<bool, bool> p{false, false};
                    if (custom.contains(id))
                        p = formatParts(custom.value(id));
                    else if (builtinDate(id))
                        p = {!(id >= 18 && id <= 21) && !(id >= 45 && id <= 47), id == 22 || (id >= 18 && id <= 21) || (id >= 45 && id <= 47)};
                    m_styles << p;
                }
            } else if (x.isEndElement() && x.name() == QLatin1String("cellXfs")) {
                inXfs = false;
            }
        }
    }

    static bool parseRef(QStringView ref, int *row, int *column)
    {
        int c = 0, i = 0;
        for (; i < ref.size() && ref[i].isLetter(); ++i)
            c = c * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        bool ok = false;
        const int r = ref.mid(i).toInt(&ok);
        if (!ok || c <= 0 || r <= 0)
            return false;
        *row = r;
        *column = c;
        return true;
    }

    void readSheet(const QByteArray &xml)
    {
        if (xml.isEmpty())
            throw WorkbookError("所选的数据表无法读取");
        QXmlStreamReader x(xml);
        int row = 0, nextColumn = 1;
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement())
                continue;
            if (x.name() == QLatin1String("row")) {
                const int r = x.attributes().value("r").toInt();
                row = r > 0 ? r : row + 1;
                nextColumn = 1;
            } else if (x.name() == QLatin1String("c")) {
                int r = row, c = nextColumn;
                const QStringView ref = x.attributes().value("r");
                if (!ref.isEmpty())
                    parseRef(ref, &r, &c);
                nextColumn = c + 1;
                const QString type = x.attributes().value("t").toString();
                const int style = x.attributes().value("s").toInt();
                QString value, inline_;
                while (x.readNextStartElement()) {
                    if (x.name() == QLatin1String("v")) {
                        value = x.readElementText();
                    } else if (x.name() == QLatin1String("is")) {
                        while (x.readNextStartElement()) {
                            if (x.name() == QLatin1String("t"))
                                inline_ += x.readElementText();
                            else if (x.name() == QLatin1String("r")) {
                                while (x.readNextStartElement())
                                    if (x.name() == QLatin1String("t"))
                                        inline_ += x.readElementText();
                                    else
                                        x.skipCurrentElement();
                            } else
                                x.skipCurrentElement();
                        }
                    } else {
                        x.skipCurrentElement();
                    }
                }
                const QString text = cellText(type, value, inline_, style);
                if (!text.isEmpty() && r > 0 && c > 0)
                    m_cells.insert(key(r, c), text);
            }
        }
        if (x.hasError())
            throw WorkbookError("所选的数据表已损坏");
    }

    QString cellText(const QString &type, const QString &value, const QString &inlineText, int style) const
    {
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int i = value.toInt(&ok);
            return ok && i >= 0 && i < m_strings.size() ? m_strings[i] : QString();
        }
        if (type == QLatin1String("inlineStr"))
            return inlineText;
        if (type == QLatin1String("str") || type == QLatin1String("e"))
            return value;
        if (type == QLatin1String("b"))
            return value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        if (type == QLatin1String("d"))
            return value.left(10);
        if (value.isEmpty())
            return QString();
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok)
            return value;
        const auto parts = style >= 0 && style < m_styles.size() ? m_styles[style] : std::pair<bool, bool>{false, false};
        if (parts.first || parts.second)
            return dateText(v, m_date1904, parts.first, parts.second);
        return numberText(v);
    }

    // Closed whenever the reader goes, a constructor that throws included.
    std::unique_ptr<zip_t, decltype(&zip_discard)> m_archive{nullptr, &zip_discard};
    zip_t *m_zip = nullptr;
    QStringList m_names, m_parts, m_strings;
    QList<std::pair<bool, bool>> m_styles; // per cell style: shows a date, shows a time
    bool m_date1904 = false;
    QHash<quint64, QString> m_cells;
};

// ---- .xls

class XlsReader final : public SheetReader {
public:
    explicit XlsReader(const QString &path)
    {
        const void *handle = nullptr;
        const int rc = freexl_open(QFile::encodeName(path).constData(), &handle);
        m_book.reset(handle);
        m_handle = handle;
        if (rc != FREEXL_OK)
            throw WorkbookError(kCannotOpen);
        unsigned int count = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
            throw WorkbookError(kCannotOpen);
        for (unsigned int i = 0; i < count && i < 0xffff; ++i) {
            const char *name = nullptr;
            freexl_get_worksheet_name(m_handle, (unsigned short)i, &name);
            m_names << QString::fromUtf8(name ? name : "");
        }
    }

    QStringList sheetNames() const override { return m_names; }

    void selectSheet(int index) override
    {
        if (index < 0 || index >= m_names.size() || freexl_select_active_worksheet(m_handle, (unsigned short)index) != FREEXL_OK
            || freexl_worksheet_dimensions(m_handle, &m_rows, &m_columns) != FREEXL_OK)
            throw WorkbookError("所选的数据表不存在");
        m_selected = true;
    }

    QString cell(int row, int column) const override
    {
        if (!m_selected || row < 1 || column < 1 || unsigned(row) > m_rows || unsigned(column) > m_columns)
            return QString();
        FreeXL_CellValue v;
        if (freexl_get_cell_value(m_handle, unsigned(row - 1), (unsigned short)(column - 1), &v) != FREEXL_OK)
            return QString();
        switch (v.type) {
        case FREEXL_CELL_INT:
            return QString::number(v.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return numberText(v.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return QString::fromUtf8(v.value.text_value ? v.value.text_value : "");
        default:
            return QString();
        }
    }

private:
    struct Close {
        void operator()(const void *h) const { freexl_close(h); }
    };
    std::unique_ptr<const void, Close> m_book; // closed also when the constructor throws
    const void *m_handle = nullptr;
    QStringList m_names;
    unsigned int m_rows = 0;
    unsigned short m_columns = 0;
    bool m_selected = false;
};

} // namespace

std::unique_ptr<SheetReader> SheetReader::open(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw WorkbookError("无法读取所选的文件");
    const QByteArray magic = f.read(8);
    f.close();
    if (magic.startsWith("PK\x03\x04"))
        return std::make_unique<XlsxReader>(path);
    if (magic == QByteArray::fromHex("D0CF11E0A1B11AE1"))
        return std::make_unique<XlsReader>(path);
    throw WorkbookError(kCannotOpen);
}

} // namespace orv
