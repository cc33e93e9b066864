#include "admin/sheetreader.h"
#include "xlsreader/xlsrecords.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QLoggingCategory>
#include <QProcess>
#include <QXmlStreamReader>

#include <cmath>
#include <limits>
#include <optional>
#include <zip.h>

namespace orv {

Q_LOGGING_CATEGORY(lcSheet, "orv.sheetreader")

namespace {

const char *kCannotOpen = "无法打开所选的Excel文件，请确认它是.xls或.xlsx格式的工作簿";
const char *kDamaged = "所选的Excel文件已损坏";
const char *kTooLarge = "所选的Excel文件中的数据超出了导入所能读取的范围，请把数据分到几个较小的工作簿中再导入";
const char *kSheetDamaged = "所选的数据表已损坏";

// The shared texts of a workbook are kept whole while its sheet is read: a part larger than
// this is refused before it is unpacked. What is kept of it is bounded as well.
constexpr zip_uint64_t kMaxSharedStringsPart = 128ull * 1024 * 1024;
constexpr qsizetype kMaxSharedStringsKept = 256ll * 1024 * 1024;
// The workbook's list of sheets, its relations and its styles are read whole.
constexpr zip_uint64_t kMaxSmallPart = 16ull * 1024 * 1024;
// No single piece of a part's XML (a cell with its value, a tag, a text) is longer than this.
constexpr qint64 kMaxPiece = 4ll * 1024 * 1024;
// Nor does a row, or a shared text, hold more characters than this.
constexpr qsizetype kMaxRowChars = 4 * 1024 * 1024;

QString numberText(double v)
{
    if (v == 0)
        return QStringLiteral("0"); // no "-0"
    return QString::number(v, 'g', 15);
}

// Excel's dates run from its day 0 to 9999-12-31.
constexpr double kLastDateSerial = 2958466.0;

std::optional<QString> dateText(double serial, bool date1904, bool withDate, bool withTime)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= kLastDateSerial)
        return std::nullopt;
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

QString rowTooLarge(int row) { return QString("所选的数据表第%1行的数据过多，超出了导入所能读取的范围").arg(row); }

QString badRowNumber(int previous)
{
    return previous > 0 ? QString("所选的数据表已损坏：第%1行之后的行号不正确").arg(previous)
                        : QString("所选的数据表已损坏：第一行的行号不正确");
}

QString badCellPosition(int row) { return QString("所选的数据表已损坏：第%1行的单元格位置不正确").arg(row); }

// The next token of a part. A workbook's parts have no document type: one that declares its own
// entities could make a few bytes unfold into gigabytes of text.
void readToken(QXmlStreamReader &x, const char *damaged)
{
    x.readNext();
    if (x.tokenType() == QXmlStreamReader::DTD)
        throw WorkbookError(damaged);
}

// ---- .xlsx

// A part of the zip, read as it is unpacked. It gives out (a read error, which ends the XML
// reader) when the part yields more than it declared, or when one piece of XML runs longer
// than kMaxPiece since the last mark.
class PartStream final : public QIODevice {
public:
    enum Fault { None, Damaged, PieceTooLong };

    // Throws when the part is not there, or declares more than `maxSize`.
    PartStream(zip_t *zip, const QString &name, zip_uint64_t maxSize)
    {
        const QByteArray n = name.toUtf8();
        zip_stat_t st;
        if (zip_stat(zip, n.constData(), 0, &st) != 0)
            throw Missing();
        if (!(st.valid & ZIP_STAT_SIZE))
            throw WorkbookError(kDamaged);
        if (st.size > maxSize) {
            qCWarning(lcSheet) << "part refused:" << name << st.size << "bytes";
            throw WorkbookError(kTooLarge);
        }
        m_declared = st.size;
        m_file = zip_fopen(zip, n.constData(), 0);
        if (!m_file)
            throw WorkbookError(kDamaged);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~PartStream() override
    {
        if (m_file)
            zip_fclose(m_file);
    }

    struct Missing {};

    bool isSequential() const override { return true; }
    zip_uint64_t declared() const { return m_declared; }
    zip_uint64_t consumed() const { return m_read; }
    // A new piece of XML starts here.
    void mark() { m_mark = m_read; }
    // What an XML reader's error over this part means for the operator.
    QString problem(const char *otherwise) const
    {
        if (m_fault == PieceTooLong)
            return QString::fromUtf8(kTooLarge);
        if (m_fault == Damaged)
            return QString::fromUtf8(kDamaged);
        return QString::fromUtf8(otherwise);
    }

    QByteArray readWhole()
    {
        QByteArray out(qsizetype(m_declared), Qt::Uninitialized);
        qsizetype got = 0;
        while (got < out.size()) {
            mark();
            const qint64 n = read(out.data() + got, out.size() - got);
            if (n <= 0)
                throw WorkbookError(kDamaged);
            got += n;
        }
        char extra;
        if (read(&extra, 1) != 0 || m_fault != None)
            throw WorkbookError(kDamaged);
        return out;
    }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        if (m_fault != None)
            return -1;
        if (qint64(m_read - m_mark) > kMaxPiece) {
            m_fault = PieceTooLong;
            return -1;
        }
        const zip_int64_t n = zip_fread(m_file, data, zip_uint64_t(max));
        if (n < 0) {
            m_fault = Damaged;
            return -1;
        }
        m_read += zip_uint64_t(n);
        if (m_read > m_declared || (n == 0 && m_read < m_declared)) {
            m_fault = Damaged;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    zip_file_t *m_file = nullptr;
    zip_uint64_t m_declared = 0, m_read = 0, m_mark = 0;
    Fault m_fault = None;
};

bool isLetter(QChar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "B12": column 2 of row 12; false unless letters then a row number, within a sheet's bounds.
bool parseRef(QStringView ref, int *row, int *column)
{
    int c = 0, i = 0;
    for (; i < ref.size() && isLetter(ref[i]); ++i) {
        if (i == 3)
            return false; // XFD is the last column
        c = c * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
    }
    bool ok = false;
    const int r = ref.mid(i).toInt(&ok);
    if (!ok || c < 1 || c > SheetReader::kMaxColumns || r < 1 || r > SheetReader::kMaxRows)
        return false;
    *row = r;
    *column = c;
    return true;
}

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
    }

    QStringList sheetNames() const override { return m_names; }

    double progress() const override
    {
        if (!m_stream || m_stream->declared() == 0)
            return 0;
        return qMin(1.0, double(m_stream->consumed()) / double(m_stream->declared()));
    }

protected:
    void startSheet(int index) override
    {
        if (index < 0 || index >= m_parts.size())
            throw WorkbookError("所选的数据表不存在");
        if (!m_sharedRead) {
            // Only a sheet needs them; listing the sheets does not.
            readStyles();
            readSharedStrings();
            m_sharedRead = true;
        }
        m_xml.reset();
        m_stream.reset();
        try {
            m_stream = std::make_unique<PartStream>(m_zip, m_parts[index], std::numeric_limits<zip_uint64_t>::max());
        } catch (const PartStream::Missing &) {
            throw WorkbookError("所选的数据表无法读取");
        }
        if (m_stream->declared() == 0)
            throw WorkbookError("所选的数据表无法读取");
        m_xml = std::make_unique<QXmlStreamReader>(m_stream.get());
        m_lastRow = 0;
        m_watched = 0;
    }

    bool readRow(Row &out) override
    {
        QXmlStreamReader &x = *m_xml;
        for (;;) {
            next(x);
            if (x.tokenType() == QXmlStreamReader::EndDocument)
                return false;
            if (!x.isStartElement() || x.name() != QLatin1String("row"))
                continue;
            int number = m_lastRow + 1;
            const QStringView r = x.attributes().value("r");
            if (!r.isEmpty()) {
                bool ok = false;
                number = r.toInt(&ok);
                if (!ok)
                    number = 0;
            }
            if (number <= m_lastRow || number > kMaxRows)
                throw WorkbookError(badRowNumber(m_lastRow));
            m_lastRow = number;
            out.number = number;
            out.cells.clear();
            readCells(x, out);
            if (!out.cells.isEmpty())
                return true;
        }
    }

private:
    // The next token, the XML reader's failure named for the operator.
    void next(QXmlStreamReader &x)
    {
        m_stream->mark();
        readToken(x, kSheetDamaged);
        if (x.hasError())
            throw WorkbookError(m_stream->problem(kSheetDamaged));
        // Now and then: about every 16 KB of the sheet.
        if (m_stream->consumed() - m_watched >= 16 * 1024) {
            m_watched = m_stream->consumed();
            watch();
        }
    }

    void readCells(QXmlStreamReader &x, Row &out)
    {
        int nextColumn = 1;
        qsizetype chars = 0;
        for (;;) {
            next(x);
            if (x.isEndElement() && x.name() == QLatin1String("row"))
                return;
            if (x.tokenType() == QXmlStreamReader::EndDocument)
                throw WorkbookError(kSheetDamaged);
            if (!x.isStartElement())
                continue;
            if (x.name() != QLatin1String("c")) {
                x.skipCurrentElement();
                continue;
            }
            const QXmlStreamAttributes a = x.attributes();
            int column = nextColumn;
            if (const QStringView ref = a.value("r"); !ref.isEmpty()) {
                int refRow = 0;
                if (!parseRef(ref, &refRow, &column) || refRow != out.number)
                    throw WorkbookError(badCellPosition(out.number));
            } else if (column > kMaxColumns) {
                throw WorkbookError(badCellPosition(out.number));
            }
            nextColumn = column + 1;
            QString value, inlineText;
            readCellContent(x, &value, &inlineText);
            if (x.hasError())
                throw WorkbookError(m_stream->problem(kSheetDamaged));
            const QString text = cellText(a.value("t"), value, inlineText, a.value("s").toInt(), out.number, column);
            if (text.isEmpty())
                continue;
            chars += text.size();
            if (chars > kMaxRowChars)
                throw WorkbookError(rowTooLarge(out.number));
            if (out.cells.size() < column)
                out.cells.resize(column);
            out.cells[column - 1] = text;
        }
    }

    // Inside a cell: its value, or its inline text (plain or in runs); anything else is skipped.
    static void readCellContent(QXmlStreamReader &x, QString *value, QString *inlineText)
    {
        while (x.readNextStartElement()) {
            if (x.name() == QLatin1String("v")) {
                *value = x.readElementText(QXmlStreamReader::SkipChildElements);
            } else if (x.name() == QLatin1String("is")) {
                while (x.readNextStartElement()) {
                    if (x.name() == QLatin1String("t")) {
                        *inlineText += x.readElementText(QXmlStreamReader::SkipChildElements);
                    } else if (x.name() == QLatin1String("r")) {
                        while (x.readNextStartElement()) {
                            if (x.name() == QLatin1String("t"))
                                *inlineText += x.readElementText(QXmlStreamReader::SkipChildElements);
                            else
                                x.skipCurrentElement();
                        }
                    } else {
                        x.skipCurrentElement();
                    }
                }
            } else {
                x.skipCurrentElement();
            }
        }
    }

    QString cellText(QStringView type, const QString &value, const QString &inlineText, int style, int row,
                     int column) const
    {
        if (type == QLatin1String("s")) {
            if (value.isEmpty())
                return QString();
            bool ok = false;
            const qlonglong i = value.toLongLong(&ok);
            if (!ok || i < 0 || i >= m_stringEnds.size())
                throw WorkbookError(QString("所选的数据表已损坏：第%1行第%2列引用的文本不存在").arg(row).arg(column));
            const qsizetype start = i == 0 ? 0 : m_stringEnds[i - 1];
            return m_strings.mid(start, m_stringEnds[i] - start);
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
        // A value that is no day ("nan", a serial past 9999) reads as written.
        if (parts.first || parts.second)
            return dateText(v, m_date1904, parts.first, parts.second).value_or(value);
        return numberText(v);
    }

    // A part read whole; empty when the workbook has none of that name.
    QByteArray smallPart(const QString &name) const
    {
        try {
            PartStream s(m_zip, name, kMaxSmallPart);
            return s.readWhole();
        } catch (const PartStream::Missing &) {
            return {};
        }
    }

    void readWorkbook()
    {
        // Relationship ids to parts.
        QHash<QString, QString> targets;
        QXmlStreamReader rels(smallPart("xl/_rels/workbook.xml.rels"));
        while (!rels.atEnd()) {
            readToken(rels, kCannotOpen);
            if (rels.isStartElement() && rels.name() == QLatin1String("Relationship")) {
                QString target = rels.attributes().value("Target").toString();
                target = target.startsWith('/') ? target.mid(1) : "xl/" + target;
                targets.insert(rels.attributes().value("Id").toString(), target);
            }
        }
        const QByteArray wb = smallPart("xl/workbook.xml");
        if (wb.isEmpty())
            throw WorkbookError(kCannotOpen);
        QXmlStreamReader x(wb);
        while (!x.atEnd()) {
            readToken(x, kCannotOpen);
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

    void keepString(const QString &text)
    {
        m_strings += text;
        m_stringEnds << m_strings.size();
        if (m_strings.size() * qsizetype(sizeof(QChar)) + m_stringEnds.size() * qsizetype(sizeof(qsizetype))
            > kMaxSharedStringsKept)
            throw WorkbookError(kTooLarge);
    }

    void readSharedStrings()
    {
        std::unique_ptr<PartStream> s;
        try {
            s = std::make_unique<PartStream>(m_zip, "xl/sharedStrings.xml", kMaxSharedStringsPart);
        } catch (const PartStream::Missing &) {
            return;
        }
        QXmlStreamReader x(s.get());
        QString current;
        bool inItem = false;
        while (!x.atEnd() && !x.hasError()) {
            s->mark();
            readToken(x, kDamaged);
            if (x.isStartElement()) {
                if (x.name() == QLatin1String("si")) {
                    inItem = true;
                    current.clear();
                } else if (x.name() == QLatin1String("rPh")) {
                    x.skipCurrentElement(); // phonetic guide, not part of the text
                } else if (inItem && x.name() == QLatin1String("t")) {
                    current += x.readElementText(QXmlStreamReader::SkipChildElements);
                    if (current.size() > kMaxRowChars)
                        throw WorkbookError(kTooLarge);
                }
            } else if (x.isEndElement() && x.name() == QLatin1String("si")) {
                keepString(current);
                inItem = false;
            }
        }
        if (x.hasError())
            throw WorkbookError(s->problem(kDamaged));
        m_strings.squeeze();
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
        QXmlStreamReader x(smallPart("xl/styles.xml"));
        bool inXfs = false;
        while (!x.atEnd()) {
            readToken(x, kDamaged);
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

    // Closed whenever the reader goes, a constructor that throws included.
    std::unique_ptr<zip_t, decltype(&zip_discard)> m_archive{nullptr, &zip_discard};
    zip_t *m_zip = nullptr;
    QStringList m_names, m_parts;
    // The shared texts end to end, and where each ends.
    QString m_strings;
    QList<qsizetype> m_stringEnds;
    QList<std::pair<bool, bool>> m_styles; // per cell style: shows a date, shows a time
    bool m_date1904 = false;
    bool m_sharedRead = false;
    // The sheet being read (the XML reader goes before the part it reads).
    std::unique_ptr<PartStream> m_stream;
    std::unique_ptr<QXmlStreamReader> m_xml;
    int m_lastRow = 0;
    zip_uint64_t m_watched = 0; // where the watch was last called
};

// ---- .xls

// Where orv-xlsreader is: beside the program (the build tree, a portable install), in the
// install's libexec folder, or where this build made it (tests run from their own folders).
QString xlsReaderProgram()
{
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QString dir = QCoreApplication::applicationDirPath();
        candidates << dir + "/orv-xlsreader" << QDir(dir).filePath(ORV_LIBEXEC_FROM_BIN "/orv-xlsreader");
    }
    candidates << QStringLiteral(ORV_XLS_READER_BUILT);
    for (const QString &c : std::as_const(candidates)) {
        const QFileInfo fi(c);
        if (fi.isFile() && fi.isExecutable())
            return fi.absoluteFilePath();
    }
    return QString();
}

// orv-xlsreader at work on one workbook, read record by record (xlsrecords.h).
class ReaderProcess {
public:
    explicit ReaderProcess(const QString &file)
    {
        const QString program = xlsReaderProgram();
        if (program.isEmpty()) {
            qCWarning(lcSheet) << "orv-xlsreader not found beside" << QCoreApplication::applicationDirPath();
            throw WorkbookError("未找到读取.xls文件的组件orv-xlsreader，请重新安装本程序");
        }
        // What the library says when it fails is no help to the operator.
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(program, {file});
        if (!m_process.waitForStarted(10000)) {
            qCWarning(lcSheet) << "orv-xlsreader did not start:" << m_process.errorString();
            throw WorkbookError("无法启动读取.xls文件的组件orv-xlsreader");
        }
    }
    ~ReaderProcess()
    {
        if (m_process.state() == QProcess::NotRunning)
            return; // ended, and said so, where it failed
        m_process.closeWriteChannel(); // the end of its input: it ends
        if (!m_process.waitForFinished(2000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
        if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0)
            qCWarning(lcSheet) << "orv-xlsreader ended badly:" << m_process.exitStatus() << m_process.exitCode();
    }

    // The fields of the next record; throws when the reader failed or has nothing sound to say.
    std::vector<std::string> next()
    {
        while (!m_process.canReadLine()) {
            if (m_process.bytesAvailable() > kMaxLine)
                stop(kTooLarge);
            if (m_process.state() == QProcess::NotRunning)
                failed();
            if (!m_process.waitForReadyRead(kQuietMs) && m_process.state() != QProcess::NotRunning) {
                qCWarning(lcSheet) << "orv-xlsreader silent for" << kQuietMs << "ms";
                stop("读取所选的Excel文件超时，该文件可能已损坏");
            }
        }
        QByteArray line = m_process.readLine();
        line.chop(1);
        std::vector<std::string> f = xls::fields(std::string_view(line.constData(), size_t(line.size())));
        if (f[0] == "ERR") {
            const std::string what = f.size() > 1 ? f[1] : std::string();
            stop(what == "toolarge" ? kTooLarge : what == "sheet" ? "所选的数据表不存在" : kCannotOpen);
        }
        return f;
    }
    void say(const QByteArray &line) { m_process.write(line + '\n'); }

private:
    static constexpr qint64 kMaxLine = 2 * qint64(xls::kMaxRowBytes) + 1024 * 1024;
    static constexpr int kQuietMs = 30000;

    [[noreturn]] void stop(const char *message)
    {
        m_process.kill();
        m_process.waitForFinished(2000);
        throw WorkbookError(message);
    }
    [[noreturn]] void failed()
    {
        qCWarning(lcSheet) << "orv-xlsreader ended:" << (m_process.exitStatus() == QProcess::CrashExit ? "crashed" : "exit")
                           << m_process.exitCode();
        stop("所选的Excel文件已损坏，无法读取");
    }

    QProcess m_process;
};

// One orv-xlsreader serves the workbook for as long as it is open: its sheets, then the rows of
// any sheet selected.
class XlsReader final : public SheetReader {
    // "t" and a text, "n" and a number, or nothing.
    static QString cellText(const std::string &cell)
    {
        if (cell.empty())
            return QString();
        const QByteArray value = QByteArray::fromStdString(cell).mid(1);
        if (cell[0] == 'n') {
            bool ok = false;
            const double v = value.toDouble(&ok);
            if (ok)
                return numberText(v);
        }
        return QString::fromUtf8(value);
    }

public:
    explicit XlsReader(const QString &path) : m_reader(path)
    {
        for (;;) {
            const std::vector<std::string> f = m_reader.next();
            if (f[0] == "N" && f.size() == 2)
                m_names << QString::fromStdString(f[1]);
            else if (f[0] == "READY")
                break;
            else
                throw WorkbookError(kDamaged);
        }
    }

    QStringList sheetNames() const override { return m_names; }
    double progress() const override { return m_rows ? qMin(1.0, double(m_lastRow) / m_rows) : 0; }

protected:
    void startSheet(int index) override
    {
        if (index < 0 || index >= m_names.size())
            throw WorkbookError("所选的数据表不存在");
        m_lastRow = 0;
        m_rows = 0;
        m_reading = false;
        // The reader takes this as its next line, whether it waits after a sheet's end or after a
        // batch of one read before; what is still on its way of that sheet is passed over.
        m_reader.say("sheet " + QByteArray::number(index));
        for (;;) {
            const std::vector<std::string> f = m_reader.next();
            if (f[0] != "D")
                continue;
            if (f.size() != 3)
                throw WorkbookError(kDamaged);
            m_rows = QByteArray::fromStdString(f[1]).toInt();
            m_reading = true;
            return;
        }
    }

    bool readRow(Row &out) override
    {
        while (m_reading) {
            const std::vector<std::string> f = m_reader.next();
            if (f[0] == "MORE") {
                watch();
                m_reader.say("next");
                continue;
            }
            if (f[0] == "END") {
                m_reading = false;
                break;
            }
            bool ok = false;
            const int number = f.size() > 1 ? QByteArray::fromStdString(f[1]).toInt(&ok) : 0;
            if (f[0] != "R" || f.size() < 3 || !ok || number <= m_lastRow || number > kMaxRows
                || f.size() - 2 > size_t(kMaxColumns))
                throw WorkbookError(kDamaged);
            m_lastRow = number;
            out.number = number;
            out.cells.clear();
            for (size_t i = 2; i < f.size(); ++i)
                out.cells << cellText(f[i]);
            return true;
        }
        return false;
    }

private:
    ReaderProcess m_reader;
    QStringList m_names;
    int m_rows = 0;
    int m_lastRow = 0;
    bool m_reading = false;
};

} // namespace

void SheetReader::selectSheet(int index)
{
    m_selected = false;
    m_asked = 0;
    m_haveAhead = false;
    m_atEnd = false;
    m_ahead = Row();
    startSheet(index);
    m_selected = true;
}

QStringList SheetReader::row(int number)
{
    if (!m_selected || number < 1)
        return {};
    if (number < m_asked)
        throw std::logic_error("sheet rows are read forwards");
    m_asked = number;
    for (;;) {
        if (!m_haveAhead) {
            if (m_atEnd || !readRow(m_ahead)) {
                m_atEnd = true;
                return {};
            }
            m_haveAhead = true;
        }
        if (m_ahead.number == number)
            return m_ahead.cells;
        if (m_ahead.number > number)
            return {};
        m_haveAhead = false;
    }
}

QString SheetReader::cell(int r, int column) { return column < 1 ? QString() : row(r).value(column - 1); }

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
