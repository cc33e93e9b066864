#include "report/engine/frpdftext.h"

#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr char32_t kFirstIdeograph = 0x4E00, kLastIdeograph = 0x9FFF;

// Blocks below the unified ideographs whose code points a CJK font may draw with the
// glyph of a unified ideograph.
bool mayShareIdeographGlyph(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x2FDF)     // radicals supplement, Kangxi radicals
           || (c >= 0x31C0 && c <= 0x31EF)  // strokes
           || (c >= 0x3400 && c <= 0x4DBF); // extension A
}

// The installed font a PDF names. Qt writes the PostScript name ("NotoSansMonoCJKsc-Regular"),
// which is the family without blanks and the style.
QRawFont installedFont(const QByteArray &baseFont)
{
    const QByteArray name = baseFont.mid(baseFont.indexOf('+') + 1); // a subset tag "ABCDEF+" goes
    const qsizetype dash = name.lastIndexOf('-');
    QString family = QString::fromLatin1(dash > 0 ? name.left(dash) : name);
    family.remove(QLatin1Char('_'));
    const QString style = dash > 0 ? QString::fromLatin1(name.mid(dash + 1)) : QString();
    for (const QString &candidate : QFontDatabase::families()) {
        QString compact = candidate;
        compact.remove(QLatin1Char(' '));
        if (compact.compare(family, Qt::CaseInsensitive) != 0)
            continue;
        QFont font(candidate);
        font.setPixelSize(16);
        font.setBold(style.contains(QLatin1String("Bold"), Qt::CaseInsensitive));
        font.setStyleStrategy(QFont::NoFontMerging);
        const QRawFont raw = QRawFont::fromFont(font);
        if (raw.isValid())
            return raw;
    }
    return {};
}

// For each code point, the first unified ideograph the font draws with the same glyph.
QHash<char32_t, char32_t> ideographsOf(const QRawFont &font, const QSet<char32_t> &codes)
{
    QHash<quint32, char32_t> byGlyph;
    for (const char32_t c : codes) {
        const QList<quint32> g = font.glyphIndexesForString(QString(QChar(char16_t(c))));
        if (g.size() == 1 && g[0] != 0)
            byGlyph.insert(g[0], c);
    }
    QHash<char32_t, char32_t> out;
    if (byGlyph.isEmpty())
        return out;
    QString all;
    all.reserve(kLastIdeograph - kFirstIdeograph + 1);
    for (char32_t u = kFirstIdeograph; u <= kLastIdeograph; ++u)
        all.append(QChar(char16_t(u)));
    const QList<quint32> glyphs = font.glyphIndexesForString(all);
    for (qsizetype i = 0; i < glyphs.size() && !byGlyph.isEmpty(); ++i) {
        const auto it = byGlyph.constFind(glyphs[i]);
        if (it == byGlyph.cend())
            continue;
        out.insert(*it, kFirstIdeograph + char32_t(i));
        byGlyph.erase(it);
    }
    return out;
}

// One entry of a ToUnicode map: a source code (or range) and its character(s), each a
// single UTF-16 unit here; longer destinations are left as written.
struct MapEntry {
    qsizetype from = 0, to = 0;   // the entry's text
    quint32 lo = 0, hi = 0;       // source codes
    int digits = 4;               // hexadecimal digits of a source code
    bool single = false;          // a bfchar entry "<code> <character>"
    QList<std::optional<char32_t>> dst; // per source code; empty optional: not a single unit
    QStringList written;          // the characters as written (not for "<lo> <hi> <first>")
};

std::optional<char32_t> unit(const QString &hex)
{
    bool ok = false;
    const uint v = hex.toUInt(&ok, 16);
    return ok && hex.size() == 4 ? std::optional<char32_t>(v) : std::nullopt;
}

std::vector<MapEntry> readMap(const QString &cmap)
{
    std::vector<MapEntry> out;
    static const QRegularExpression section(QStringLiteral("begin(bfrange|bfchar)(.*?)end\\1"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression range(
        QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(?:<([0-9A-Fa-f]+)>|\\[([^\\]]*)\\])"));
    static const QRegularExpression single(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"));
    static const QRegularExpression token(QStringLiteral("<([0-9A-Fa-f]+)>"));
    for (auto s = section.globalMatch(cmap); s.hasNext();) {
        const QRegularExpressionMatch sm = s.next();
        const bool isRange = sm.captured(1) == QLatin1String("bfrange");
        const QRegularExpression &entry = isRange ? range : single;
        for (auto e = entry.globalMatch(cmap, sm.capturedStart(2)); e.hasNext();) {
            const QRegularExpressionMatch m = e.next();
            if (m.capturedEnd() > sm.capturedEnd(2))
                break;
            MapEntry me;
            me.from = m.capturedStart();
            me.to = m.capturedEnd();
            me.lo = m.captured(1).toUInt(nullptr, 16);
            me.digits = int(m.capturedLength(1));
            if (!isRange) {
                me.single = true;
                me.hi = me.lo;
                me.dst.append(unit(m.captured(2)));
                me.written.append(m.captured(2));
            } else if (me.hi = m.captured(2).toUInt(nullptr, 16); me.hi < me.lo || me.hi - me.lo > 0xFFFF) {
                continue;
            } else if (m.capturedLength(3) > 0) {
                // "<lo> <hi> <first>": the characters follow on from first.
                const std::optional<char32_t> first = unit(m.captured(3));
                for (quint32 c = me.lo; c <= me.hi; ++c)
                    me.dst.append(first ? std::optional<char32_t>(*first + (c - me.lo)) : std::nullopt);
            } else {
                for (auto t = token.globalMatch(m.captured(4)); t.hasNext();) {
                    const QString c = t.next().captured(1);
                    me.dst.append(unit(c));
                    me.written.append(c);
                }
            }
            out.push_back(me);
        }
    }
    return out;
}

QString hex(quint32 v, int digits) { return QStringLiteral("%1").arg(v, digits, 16, QLatin1Char('0')).toUpper(); }

// The map with the mended characters, or an empty text when nothing needs mending.
QByteArray mendMap(const QByteArray &data, const QByteArray &baseFont)
{
    const QString cmap = QString::fromLatin1(data);
    const std::vector<MapEntry> entries = readMap(cmap);
    QSet<char32_t> suspects;
    for (const MapEntry &e : entries)
        for (const auto &d : e.dst)
            if (d && mayShareIdeographGlyph(*d))
                suspects.insert(*d);
    if (suspects.isEmpty())
        return {};
    const QRawFont font = installedFont(baseFont);
    if (!font.isValid())
        return {};
    const QHash<char32_t, char32_t> better = ideographsOf(font, suspects);
    if (better.isEmpty())
        return {};
    QString out;
    qsizetype at = 0;
    for (const MapEntry &e : entries) {
        bool changed = false;
        QList<std::optional<char32_t>> dst = e.dst;
        for (auto &d : dst)
            if (d && better.contains(*d)) {
                d = better.value(*d);
                changed = true;
            }
        if (!changed)
            continue;
        QString text = QLatin1Char('<') + hex(e.lo, e.digits) + QStringLiteral("> ");
        if (e.single) {
            text += QLatin1Char('<') + hex(*dst[0], 4) + QLatin1Char('>');
        } else {
            text += QLatin1Char('<') + hex(e.hi, e.digits) + QStringLiteral("> [");
            for (qsizetype i = 0; i < dst.size(); ++i)
                text += QLatin1Char('<') + (dst[i] ? hex(*dst[i], 4) : e.written.value(i)) + QStringLiteral("> ");
            text += QLatin1Char(']');
        }
        out += cmap.mid(at, e.from - at) + text;
        at = e.to;
    }
    if (at == 0)
        return {};
    out += cmap.mid(at);
    return out.toLatin1();
}

// Small readers of PDF syntax on raw bytes.
bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }

qsizetype skipSpace(const QByteArray &b, qsizetype i)
{
    while (i < b.size() && isSpace(b[i]))
        ++i;
    return i;
}

// A non-negative integer at i; its end in *end.
std::optional<qint64> number(const QByteArray &b, qsizetype i, qsizetype *end = nullptr)
{
    qsizetype j = i;
    qint64 v = 0;
    while (j < b.size() && b[j] >= '0' && b[j] <= '9' && j - i < 15)
        v = v * 10 + (b[j++] - '0');
    if (j == i)
        return std::nullopt;
    if (end)
        *end = j;
    return v;
}

struct Splice {
    qsizetype from, to;
    QByteArray with;
};

} // namespace

QByteArray frMendPdfText(const QByteArray &pdf)
{
    // One cross-reference table, as Qt writes it.
    const qsizetype sx = pdf.lastIndexOf("startxref");
    if (sx < 0)
        return pdf;
    qsizetype sxNumEnd = 0;
    const qsizetype sxNum = skipSpace(pdf, sx + 9);
    const std::optional<qint64> xrefAt = number(pdf, sxNum, &sxNumEnd);
    if (!xrefAt || *xrefAt >= pdf.size() || !pdf.mid(*xrefAt, 4).startsWith("xref"))
        return pdf;
    qsizetype p = skipSpace(pdf, *xrefAt + 4), e = 0;
    const std::optional<qint64> first = number(pdf, p, &e);
    const std::optional<qint64> count = first ? number(pdf, skipSpace(pdf, e), &e) : std::nullopt;
    if (!first || *first != 0 || !count || *count <= 0)
        return pdf;
    const qsizetype entries = skipSpace(pdf, e);
    if (entries + *count * 20 > pdf.size() || pdf.indexOf("/Prev", entries + *count * 20) >= 0)
        return pdf;
    std::vector<qint64> offsets(size_t(*count), -1);
    for (qint64 i = 0; i < *count; ++i) {
        const qsizetype at = entries + i * 20;
        if (pdf[at + 17] == 'n')
            offsets[size_t(i)] = number(pdf, at).value_or(-1);
    }

    std::vector<Splice> splices;
    QSet<qint64> done;
    for (qsizetype t = pdf.indexOf("/ToUnicode"); t >= 0; t = pdf.indexOf("/ToUnicode", t + 10)) {
        const std::optional<qint64> obj = number(pdf, skipSpace(pdf, t + 10));
        if (!obj || *obj >= *count || offsets[size_t(*obj)] < 0 || done.contains(*obj))
            continue;
        done.insert(*obj);
        // The font the map belongs to: the dictionary holding the reference.
        const qsizetype bf = pdf.lastIndexOf("/BaseFont", t), dictStart = pdf.lastIndexOf(" obj", t);
        if (bf < 0 || bf < dictStart)
            continue;
        qsizetype nameAt = skipSpace(pdf, bf + 9);
        if (nameAt >= pdf.size() || pdf[nameAt] != '/')
            continue;
        qsizetype nameEnd = ++nameAt;
        while (nameEnd < pdf.size() && !isSpace(pdf[nameEnd]) && !QByteArray("/<>[]()").contains(pdf[nameEnd]))
            ++nameEnd;
        const QByteArray baseFont = pdf.mid(nameAt, nameEnd - nameAt);

        // The map's stream object: an uncompressed stream of a direct length.
        const qsizetype at = offsets[size_t(*obj)];
        const qsizetype kw = pdf.indexOf("stream", at);
        const qsizetype objEnd = pdf.indexOf("endobj", at);
        if (kw < 0 || objEnd < kw)
            continue;
        const QByteArray dict = pdf.mid(at, kw - at);
        const qsizetype len = dict.indexOf("/Length");
        if (len < 0 || dict.contains("/Filter"))
            continue;
        qsizetype lenEnd = 0;
        const qsizetype lenAt = skipSpace(dict, len + 7);
        const std::optional<qint64> length = number(dict, lenAt, &lenEnd);
        if (!length || dict.mid(skipSpace(dict, lenEnd), 1) != ">")
            continue; // an indirect length
        qsizetype data = kw + 6;
        if (pdf.mid(data, 2) == "\r\n")
            data += 2;
        else if (pdf.mid(data, 1) == "\n")
            ++data;
        if (data + *length > objEnd)
            continue;
        const QByteArray mended = mendMap(pdf.mid(data, *length), baseFont);
        if (mended.isEmpty())
            continue;
        splices.push_back({at + lenAt, at + lenEnd, QByteArray::number(mended.size())});
        splices.push_back({data, data + qsizetype(*length), mended});
    }
    if (splices.empty())
        return pdf;

    std::sort(splices.begin(), splices.end(), [](const Splice &a, const Splice &b) { return a.from < b.from; });
    const auto moved = [&splices](qint64 offset) {
        qint64 d = 0;
        for (const Splice &s : splices)
            if (s.to <= offset)
                d += s.with.size() - (s.to - s.from);
        return offset + d;
    };
    const qint64 newXrefAt = moved(*xrefAt);
    QByteArray out;
    out.reserve(pdf.size() + 4096);
    qsizetype from = 0;
    for (const Splice &s : splices) {
        out += pdf.mid(from, s.from - from);
        out += s.with;
        from = s.to;
    }
    out += pdf.mid(from, sxNum - from);
    out += QByteArray::number(newXrefAt);
    out += pdf.mid(sxNumEnd);
    // The table keeps its width: each offset is ten digits.
    const qsizetype newEntries = newXrefAt + (entries - *xrefAt);
    for (qint64 i = 0; i < *count; ++i) {
        if (offsets[size_t(i)] < 0)
            continue;
        const QByteArray digits = QByteArray::number(moved(offsets[size_t(i)])).rightJustified(10, '0');
        if (digits.size() != 10)
            return pdf;
        out.replace(newEntries + i * 20, 10, digits);
    }
    return out;
}
