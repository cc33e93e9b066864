#include "report/engine/frfonts.h"

#include "report/engine/frview.h"

#include <QHash>

#include <cmath>

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
        add({"宋体", "SimSun", "新宋体", "NSimSun", "仿宋", "仿宋_GB2312", "FangSong", "FangSong_GB2312",
             "楷体", "楷体_GB2312", "KaiTi", "KaiTi_GB2312", "隶书", "LiSu", "幼圆", "YouYuan"},
            QStringLiteral("Noto Sans Mono CJK SC"));
        add({"黑体", "SimHei"}, QStringLiteral("WenQuanYi Micro Hei Mono"));
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
    return zoom == 1.0 ? frRound(px) : int(px);
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
