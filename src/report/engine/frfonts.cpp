#include "report/engine/frfonts.h"

#include "report/engine/frview.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {
const QString kSans = QStringLiteral("Liberation Sans");
const QString kCjk = QStringLiteral("Noto Sans CJK SC");

// The one table from stored face names to installed families. The Chinese
// system faces have half-width Latin letters, which the monospaced CJK
// families reproduce, so wrapped lines break where they did when designed.
const QHash<QString, QString> &fontTable()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> t;
        auto add = [&t](std::initializer_list<const char *> names, const QString &family) {
            for (const char *n : names)
                t.insert(QString::fromUtf8(n).toLower(), family);
        };
        add({"Arial", "Helvetica", "MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "Verdana",
             "Segoe UI", "System", "Small Fonts", "MS Shell Dlg", "MS Shell Dlg 2", "Liberation Sans"},
            kSans);
        add({"Arial Narrow", "Liberation Sans Narrow"}, QStringLiteral("Liberation Sans Narrow"));
        add({"Times New Roman", "Times", "MS Serif", "Georgia", "Liberation Serif"},
            QStringLiteral("Liberation Serif"));
        add({"Courier New", "Courier", "Consolas", "Lucida Console", "Fixedsys", "Terminal",
             "Liberation Mono"},
            QStringLiteral("Liberation Mono"));
        // 黑体 too: the monospaced WenQuanYi face has Latin letters of 0.6 em, which
        // breaks lines elsewhere than the half-width ones the templates were laid out with.
        add({"宋体", "SimSun", "新宋体", "NSimSun", "仿宋", "仿宋_GB2312", "FangSong", "FangSong_GB2312",
             "楷体", "楷体_GB2312", "KaiTi", "KaiTi_GB2312", "隶书", "LiSu", "幼圆", "YouYuan", "黑体",
             "SimHei"},
            QStringLiteral("Noto Sans Mono CJK SC"));
        add({"WenQuanYi Micro Hei Mono", "文泉驿等宽微米黑"}, QStringLiteral("WenQuanYi Micro Hei Mono"));
        add({"微软雅黑", "Microsoft YaHei", "Noto Sans CJK SC"}, kCjk);
        add({"WenQuanYi Micro Hei", "文泉驿微米黑"}, QStringLiteral("WenQuanYi Micro Hei"));
        add({"DejaVu Sans", "Wingdings"}, QStringLiteral("DejaVu Sans"));
        add({"DejaVu Serif"}, QStringLiteral("DejaVu Serif"));
        add({"DejaVu Sans Mono"}, QStringLiteral("DejaVu Sans Mono"));
        return t;
    }();
    return table;
}
} // namespace

QString MapFontFamily(const QString &storedName)
{
    return fontTable().value(storedName.trimmed().toLower(), kSans);
}

int FontPixelHeight(double points, double zoom)
{
    const double px = points * 96.0 / 72.0 * zoom;
    if (zoom == 1.0 || std::isnan(px))
        return frRound(px);
    // Truncated, saturated at the int range.
    return int(std::clamp(std::trunc(px), double(std::numeric_limits<int>::min()),
                          double(std::numeric_limits<int>::max())));
}

QFont MakeQFont(const TfrFont &f, int pixelHeight)
{
    QFont q;
    const QString family = MapFontFamily(f.Name);
    q.setFamilies(family == kCjk ? QStringList{family} : QStringList{family, kCjk});
    q.setPixelSize(qBound(1, pixelHeight, 4096)); // hostile sizes stay drawable
    q.setBold(f.Style.bold);
    q.setItalic(f.Style.italic);
    q.setUnderline(f.Style.underline);
    q.setStrikeOut(f.Style.strikeOut);
    q.setKerning(false);
    q.setHintingPreference(QFont::PreferNoHinting);
    q.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::PreferMatch));
    return q;
}

QFont MakeQFont(const QString &storedName, double points, const TfrFontStyles &style)
{
    TfrFont f;
    f.Name = storedName;
    f.Size = int(points);
    f.Style = style;
    return MakeQFont(f, FontPixelHeight(points));
}

namespace {
// Ascent over em of the Windows faces templates name (their ascender in font
// units over units per em); the line layout of a template was made with these.
const QHash<QString, double> &faceAscents()
{
    static const QHash<QString, double> table = [] {
        QHash<QString, double> t;
        auto add = [&t](std::initializer_list<const char *> names, double ascent) {
            for (const char *n : names)
                t.insert(QString::fromUtf8(n).toLower(), ascent);
        };
        add({"宋体", "SimSun", "新宋体", "NSimSun", "仿宋", "仿宋_GB2312", "FangSong", "FangSong_GB2312", "楷体",
             "楷体_GB2312", "KaiTi", "KaiTi_GB2312", "隶书", "LiSu", "幼圆", "YouYuan", "黑体", "SimHei"},
            220.0 / 256.0);
        add({"微软雅黑", "Microsoft YaHei"}, 2167.0 / 2048.0);
        add({"Arial", "Arial Narrow", "Helvetica", "MS Sans Serif", "Microsoft Sans Serif", "System",
             "Small Fonts", "MS Shell Dlg", "MS Shell Dlg 2"},
            1854.0 / 2048.0);
        add({"Times New Roman", "Times", "MS Serif"}, 1825.0 / 2048.0);
        add({"Courier New", "Courier", "Fixedsys", "Terminal"}, 1705.0 / 2048.0);
        add({"Tahoma"}, 2049.0 / 2048.0);
        add({"Verdana"}, 2059.0 / 2048.0);
        add({"Georgia"}, 1878.0 / 2048.0);
        add({"Segoe UI"}, 2210.0 / 2048.0);
        add({"Consolas"}, 1884.0 / 2048.0);
        add({"Lucida Console"}, 1616.0 / 2048.0);
        return t;
    }();
    return table;
}

double installedAscent(const QString &storedName)
{
    static QHash<QString, double> known;
    const QString key = storedName.trimmed().toLower();
    auto it = known.constFind(key);
    if (it != known.constEnd())
        return *it;
    TfrFont f;
    f.Name = storedName;
    const QFontMetricsF fm(MakeQFont(f, 1000));
    const double a = fm.ascent() / 1000.0;
    if (known.size() < 1024)
        known.insert(key, a);
    return a;
}

// A character's advance as the layout draws it and rounded as it is measured.
struct Advance {
    int rounded = 0;
    double exact = 0;
};

// Advances per character, kept per font.
QHash<uint, Advance> &advanceCache(const QFont &font)
{
    static QHash<QString, QHash<uint, Advance>> cache;
    if (cache.size() > 256)
        cache.clear(); // many sizes (zooming): start again rather than grow without end
    return cache[font.key()];
}

// Per UTF-16 unit: the advance of the character starting there (none for the low
// half of a surrogate pair).
QList<Advance> characterAdvances(const QFont &font, QStringView text)
{
    QList<Advance> out(text.size());
    QHash<uint, Advance> &cache = advanceCache(font);
    std::optional<QFontMetricsF> fm;
    for (qsizetype i = 0; i < text.size(); ++i) {
        uint cp = text[i].unicode();
        qsizetype n = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
            n = 2;
        }
        auto it = cache.constFind(cp);
        if (it == cache.constEnd()) {
            if (!fm)
                fm.emplace(font);
            const double exact = fm->horizontalAdvance(text.mid(i, n).toString());
            // Device advances round halves up, which the templates' line breaks were laid out with.
            it = cache.insert(cp, Advance{qRound(exact), exact});
        }
        out[i] = *it;
        i += n - 1;
    }
    return out;
}
} // namespace

int FaceAscent(const QString &storedName, int pixelSize)
{
    const auto &t = faceAscents();
    const auto it = t.constFind(storedName.trimmed().toLower());
    const double ratio = it != t.constEnd() ? *it : installedAscent(storedName);
    return frRound(ratio * pixelSize);
}

QList<int> TextAdvances(const QFont &font, QStringView text, int charExtra)
{
    const QList<Advance> adv = characterAdvances(font, text);
    QList<int> out(text.size(), 0);
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            out[i] = frClampToInt(qint64(adv[i].rounded) + charExtra);
    return out;
}

int TextWidth(const QFont &font, QStringView text, int charExtra)
{
    qint64 w = 0;
    for (const int a : TextAdvances(font, text, charExtra))
        w += a;
    return frClampToInt(w);
}

int DrawTextAt(QPainter *p, int x, int baseline, QStringView text, const QFont &font, int charExtra)
{
    const QList<Advance> adv = characterAdvances(font, text);
    QFont glyphs = font;
    glyphs.setUnderline(false);
    glyphs.setStrikeOut(false);
    // The extra space after each character is the layout's too, so a run keeps it.
    glyphs.setLetterSpacing(QFont::AbsoluteSpacing, charExtra);
    glyphs.setStyleStrategy(QFont::StyleStrategy(glyphs.styleStrategy() | QFont::PreferNoShaping));
    p->save();
    p->setFont(glyphs);
    // Characters wholly outside the clip are stepped over, not drawn.
    double clipLeft = -1e300, clipRight = 1e300;
    if (p->hasClipping()) {
        const QRectF clip = p->clipBoundingRect();
        clipLeft = clip.left();
        clipRight = clip.right();
    }
    const int em = font.pixelSize() > 0 ? font.pixelSize() : 64;
    // Characters go out in runs: a run is drawn as one text while the layout's
    // own positions stay within a fifth of a pixel of the measured ones; the next
    // run starts again at its measured position. (Blanks are drawn too: a device
    // that records texts, for find, keeps them.)
    constexpr double kDrift = 0.2;
    qint64 cx = x, runX = x;
    qsizetype runStart = -1;
    double drift = 0;
    auto flush = [&](qsizetype end) {
        if (runStart >= 0 && end > runStart)
            p->drawText(QPointF(double(runX), double(baseline)), text.mid(runStart, end - runStart).toString());
        runStart = -1;
    };
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        const qsizetype n = c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const qint64 step = qint64(adv[i].rounded) + charExtra;
        const bool seen = double(cx) <= clipRight + em && double(cx) + std::max<qint64>(step, 0) + em >= clipLeft;
        if (!seen || c.unicode() < 32) {
            flush(i);
        } else {
            const double after = drift + (adv[i].exact - adv[i].rounded);
            if (runStart < 0 || std::abs(after) > kDrift) {
                flush(i);
                runStart = i;
                runX = cx;
                drift = adv[i].exact - adv[i].rounded;
                if (std::abs(drift) > kDrift) {
                    // A character that alone strays is drawn alone.
                    flush(i + n);
                }
            } else {
                drift = after;
            }
        }
        cx += step;
        i += n;
    }
    flush(text.size());
    if (font.underline() || font.strikeOut()) {
        // Lines across the measured width, not glyph by glyph.
        const QFontMetricsF fm(font);
        const double lw = std::max(1.0, fm.lineWidth());
        if (font.underline())
            p->fillRect(QRectF(double(x), baseline + fm.underlinePos(), double(cx - x), lw), p->pen().color());
        if (font.strikeOut())
            p->fillRect(QRectF(double(x), baseline - fm.strikeOutPos(), double(cx - x), lw), p->pen().color());
    }
    p->restore();
    return frClampToInt(cx);
}

QColor FrColor(qint32 bgr)
{
    const quint32 v = quint32(bgr);
    if ((v & 0xFF000000u) == 0xFF000000u) {
        static const quint32 system[] = {
            0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
            0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x3399FF, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D,
            0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xFFFFE1};
        const quint32 i = v & 0xFF;
        return i < std::size(system) ? QColor::fromRgb(system[i]) : QColor(Qt::black);
    }
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

bool SetFontProperty(TfrFont &font, const QString &n, const QVariant &value)
{
    if (n == QLatin1String("FONT.NAME")) font.Name = value.toString();
    else if (n == QLatin1String("FONT.SIZE")) font.Size = value.toInt();
    else if (n == QLatin1String("FONT.STYLE")) font.Style = IntToFontStyles(value.toInt());
    else if (n == QLatin1String("FONT.COLOR")) font.Color = value.toInt();
    else return false;
    return true;
}

QVariant GetFontProperty(const TfrFont &font, const QString &n)
{
    if (n == QLatin1String("FONT.NAME")) return font.Name;
    if (n == QLatin1String("FONT.SIZE")) return font.Size;
    if (n == QLatin1String("FONT.STYLE")) return FontStylesToInt(font.Style);
    if (n == QLatin1String("FONT.COLOR")) return font.Color;
    return {};
}
