#pragma once
// Reads back the first sheet of an exported .xlsx: cells by reference ("A1"), column widths
// and which styles are the text format.
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <zip.h>

namespace xlsxtest {

inline QByteArray zipEntry(const QString &path, const char *name)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!z)
        return {};
    QByteArray out;
    zip_stat_t st;
    if (zip_stat(z, name, 0, &st) == 0) {
        if (zip_file_t *f = zip_fopen(z, name, 0)) {
            out.resize(qsizetype(st.size));
            zip_fread(f, out.data(), st.size);
            zip_fclose(f);
        }
    }
    zip_close(z);
    return out;
}

struct Cell {
    QString value;
    bool isText = false;
    int style = 0;
};

// The first sheet of an .xlsx: cells by reference ("A1"), column widths and text-format styles.
struct Sheet {
    QHash<QString, Cell> cells;
    QHash<int, double> widths;    // column (from 1) -> width
    QHash<int, int> columnStyles; // column (from 1) -> style index
    QList<int> textStyles;        // style indexes whose number format is "@"

    explicit Sheet(const QString &path)
    {
        QStringList shared;
        QXmlStreamReader ss(zipEntry(path, "xl/sharedStrings.xml"));
        while (!ss.atEnd()) {
            ss.readNext();
            if (ss.isStartElement() && ss.name() == QLatin1String("si"))
                shared << QString();
            else if (ss.isStartElement() && ss.name() == QLatin1String("t") && !shared.isEmpty())
                shared.last() += ss.readElementText();
        }
        QXmlStreamReader st(zipEntry(path, "xl/styles.xml"));
        bool inXfs = false;
        int xf = 0;
        QStringList textFormats{"49"}; // the built-in "@", and any custom one
        while (!st.atEnd()) {
            st.readNext();
            if (st.isStartElement() && st.name() == QLatin1String("numFmt")
                && st.attributes().value("formatCode") == QLatin1String("@"))
                textFormats << st.attributes().value("numFmtId").toString();
            else if (st.isStartElement() && st.name() == QLatin1String("cellXfs"))
                inXfs = true;
            else if (st.isEndElement() && st.name() == QLatin1String("cellXfs"))
                inXfs = false;
            else if (inXfs && st.isStartElement() && st.name() == QLatin1String("xf")) {
                if (textFormats.contains(st.attributes().value("numFmtId").toString()))
                    textStyles << xf;
                ++xf;
            }
        }
        QXmlStreamReader x(zipEntry(path, "xl/worksheets/sheet1.xml"));
        QString ref;
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement())
                continue;
            const auto a = x.attributes();
            if (x.name() == QLatin1String("col")) {
                for (int c = a.value("min").toInt(); c <= a.value("max").toInt(); ++c) {
                    widths[c] = a.value("width").toDouble();
                    columnStyles[c] = a.value("style").toInt();
                }
            } else if (x.name() == QLatin1String("c")) {
                ref = a.value("r").toString();
                Cell cell;
                cell.isText = a.value("t") == QLatin1String("s");
                cell.style = a.value("s").toInt();
                cells[ref] = cell;
            } else if (x.name() == QLatin1String("v")) {
                Cell &cell = cells[ref];
                const QString v = x.readElementText();
                cell.value = cell.isText ? shared.value(v.toInt()) : v;
            }
        }
    }
    bool textFormatted(const QString &ref) const { return textStyles.contains(cells.value(ref).style); }
};


} // namespace xlsxtest

using xlsxtest::Sheet;
