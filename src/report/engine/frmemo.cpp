#include "report/engine/frmemo.h"

#include "common/prompt.h"

#include <QDialogButtonBox>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QHash>
#include <QMenu>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {
constexpr int kEngineCharset = 1;

bool isBreak(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }
bool isDelimiter(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('.');
}

QStringList splitText(const QString &t)
{
    static const QRegularExpression re(QStringLiteral("\r\n|\n|\r"));
    QString s = t;
    if (s.endsWith(QLatin1String("\r\n")))
        s.chop(2);
    else if (s.endsWith(QLatin1Char('\n')) || s.endsWith(QLatin1Char('\r')))
        s.chop(1);
    return s.split(re);
}

int countBlanks(const QString &s)
{
    int n = 0;
    for (QChar c : s)
        if (c == QLatin1Char(' ') || c.unicode() == 0xA0)
            ++n;
    return n;
}

// Draws a justified line: the spare width (negative when the zoomed font is
// wider than the measured one) is spread over its blanks, the first ones getting
// the remainder, so the line ends exactly at its edge.
void drawJustified(QPainter *p, int x, int baseline, const QString &line, int spare, int blanks, const QFont &font,
                   int extra)
{
    const int share = spare / blanks, rest = spare % blanks;
    qint64 cx = x;
    int blank = 0;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c != QLatin1Char(' ') && c.unicode() != 0xA0)
            continue;
        cx = DrawTextAt(p, int(cx), baseline, QStringView(line).mid(runStart, i + 1 - runStart), font, extra);
        cx += share + (blank < qAbs(rest) ? (rest > 0 ? 1 : -1) : 0);
        ++blank;
        runStart = i + 1;
    }
    if (runStart < line.size())
        DrawTextAt(p, int(cx), baseline, QStringView(line).mid(runStart), font, extra);
}
} // namespace

TfrMemoView::TfrMemoView()
{
    TypeCode = 0;
    BaseName = QStringLiteral("Memo");
    Flags = 1 | flWordWrap;
    Font.Charset = kEngineCharset;
}

// ---------------------------------------------------------------------------
// Property interface

void TfrMemoView::DefinePropList()
{
    TfrView::DefinePropList();
    AddProperty(QStringLiteral("Font.Name"), 0);
    AddProperty(QStringLiteral("Font.Size"), 0);
    AddProperty(QStringLiteral("Font.Style"), 0);
    AddProperty(QStringLiteral("Font.Color"), 0);
    AddProperty(QStringLiteral("Font"), 0x40, [this] {
        if (EditorHooks.Font)
            EditorHooks.Font(this);
    });
    AddProperty(QStringLiteral("Alignment"), 0);
    AddProperty(QStringLiteral("DisplayFormat"), 0x40, [this] { EditFormat(); });
    AddProperty(QStringLiteral("Highlight"), 0x40, [this] {
        if (EditorHooks.Highlight)
            EditorHooks.Highlight(this);
    });
    for (const char *n : {"LineSpacing", "CharSpacing", "GapX", "GapY"})
        AddProperty(QString::fromLatin1(n), 2);
    for (const char *n : {"Stretched", "WordWrap", "WordBreak", "AutoWidth", "TextOnly", "Suppress", "HideZeros"})
        AddProperty(QString::fromLatin1(n), 8);
    AddProperty(QStringLiteral("Lines.Count"), 0);
    AddProperty(QStringLiteral("Underlines"), 8);
    AddProperty(QStringLiteral("RTLReading"), 8);
}

namespace {
const QList<QPair<QLatin1String, quint16>> &memoFlagNames()
{
    static const QList<QPair<QLatin1String, quint16>> names = {
        {QLatin1String("WORDWRAP"), flWordWrap},   {QLatin1String("WORDBREAK"), flWordBreak},
        {QLatin1String("AUTOWIDTH"), flAutoWidth}, {QLatin1String("TEXTONLY"), flTextOnly},
        {QLatin1String("SUPPRESS"), flSuppress},   {QLatin1String("HIDEZEROS"), flHideZeros},
        {QLatin1String("UNDERLINES"), flUnderlines}, {QLatin1String("RTLREADING"), flRTLReading}};
    return names;
}
} // namespace

void TfrMemoView::SetPropValue(const QString &name, const QVariant &value)
{
    TfrView::SetPropValue(name, value);
    const QString n = name.toUpper();
    SetFontProperty(Font, n, value);
    if (n == QLatin1String("ALIGNMENT")) Alignment = value.toInt();
    else if (n == QLatin1String("LINESPACING")) LineSpacing = value.toInt();
    else if (n == QLatin1String("CHARSPACING")) CharSpacing = value.toInt();
    for (const auto &f : memoFlagNames())
        if (n == f.first)
            SetFlag(f.second, value.toBool());
}

QVariant TfrMemoView::GetPropValue(const QString &name)
{
    QVariant v = TfrView::GetPropValue(name);
    if (!v.isNull())
        return v;
    const QString n = name.toUpper();
    v = GetFontProperty(Font, n);
    if (!v.isNull())
        return v;
    if (n == QLatin1String("ALIGNMENT")) return Alignment;
    if (n == QLatin1String("LINESPACING")) return LineSpacing;
    if (n == QLatin1String("CHARSPACING")) return CharSpacing;
    if (n == QLatin1String("LINES.COUNT")) return int(Memo.size());
    for (const auto &f : memoFlagNames())
        if (n == f.first)
            return bool(Flags & f.second);
    return {};
}

void TfrMemoView::DoMethod(const QString &methodName, const QVariant &par1, const QVariant &par2,
                           const QVariant &par3, QVariant &val)
{
    TfrStretcheable::DoMethod(methodName, par1, par2, par3, val);
    if (val.isNull())
        DoStringsMethod(Memo, methodName, QStringLiteral("LINES"), par1, par2, par3, val);
}

// ---------------------------------------------------------------------------
// Record

void TfrMemoView::SaveToStream(QIODevice &s)
{
    TfrView::SaveToStream(s);
    WriteStreamString(s, Font.Name);
    WriteStreamInt(s, Font.Size);
    WriteStreamWord(s, qint16(FontStylesToInt(Font.Style)));
    WriteStreamInt(s, Font.Color);
    WriteStreamInt(s, Alignment);
    WriteStreamWord(s, qint16(Font.Charset & 0xFF));
    if (RecordMode == 0) {
        WriteStreamWord(s, qint16(HighlightFontStyle));
        WriteStreamInt(s, HighlightFontColor);
        WriteStreamInt(s, HighlightFillColor);
        WriteStreamString(s, HighlightCondition);
    }
    WriteStreamInt(s, LineSpacing);
    WriteStreamInt(s, CharSpacing);
}

void TfrMemoView::LoadFromStream(QIODevice &s)
{
    TfrView::LoadFromStream(s);
    Font.Name = ReadVersionedString(s);
    Font.Size = ReadStreamInt(s);
    Font.Style = IntToFontStyles(ReadStreamWord(s));
    Font.Color = ReadStreamInt(s);
    Alignment = ReadStreamInt(s);
    const int charset = quint16(ReadStreamWord(s)) & 0xFF;
    Font.Charset = StreamVersion < 23 ? kEngineCharset : charset;
    if (RecordMode == 0) {
        HighlightFontStyle = quint16(ReadStreamWord(s));
        HighlightFontColor = ReadStreamInt(s);
        HighlightFillColor = ReadStreamInt(s);
        HighlightCondition = ReadVersionedString(s);
    }
    if (StreamVersion >= 24) {
        LineSpacing = ReadStreamInt(s);
        CharSpacing = ReadStreamInt(s);
    }
    if (StreamVersion == 21)
        Flags |= flWordWrap;
}

void TfrMemoView::GetBlob(const QVariant &fieldValue)
{
    PrintText = fieldValue.isNull() ? QStringList() : splitText(fieldValue.toString());
}

// ---------------------------------------------------------------------------
// Expansion and fonts

void TfrMemoView::ExpandMemo()
{
    PrintText.clear();
    for (const QString &line : Memo) {
        QString s = line;
        if (!s.isEmpty() && !(Flags & flTextOnly))
            ExpandVariables(s);
        if (!s.isEmpty())
            PrintText << splitText(s);
        else
            PrintText << QString();
    }
}

QFont TfrMemoView::AssignFont(QPainter *canvas)
{
    int px;
    if (ToPrinter && canvas && canvas->device()) {
        px = frRound(Font.Size * (canvas->device()->logicalDpiY() / 72.0));
    } else {
        px = FontPixelHeight(Font.Size, ZoomY);
    }
    m_canvasFont = MakeQFont(Font, px);
    m_fontHeight = -qBound(1, px, 4096);
    if (canvas) {
        canvas->setBackgroundMode(Qt::TransparentMode);
        canvas->setFont(m_canvasFont);
        canvas->setPen(FrColor(Font.Color));
    }
    return m_canvasFont;
}

int TfrMemoView::CanvasFontHeight() const { return m_fontHeight; }

void TfrMemoView::EnsureMeasureFont() const
{
    if (m_measureReady && m_measureFor == Font)
        return;
    auto *self = const_cast<TfrMemoView *>(this);
    self->m_measureFont = MakeQFont(Font, FontPixelHeight(Font.Size));
    self->m_measureFor = Font;
    self->m_measureReady = true;
}

int TfrMemoView::MeasureWidth(const QString &text) const
{
    EnsureMeasureFont();
    return TextWidth(m_measureFont, text, CharSpacing);
}

// ---------------------------------------------------------------------------
// Wrapping

void TfrMemoView::OutLine(const QString &line)
{
    WrapBuffer << line;
    m_position += LineStep;
}

QList<int> TfrMemoView::BreakWord(const QString &word)
{
    // The rule is written for upper-case Cyrillic in its single-byte code page;
    // other scripts are never hyphenated.
    QList<int> out;
    const QString w = word.toUpper();
    if (w.size() < 4)
        return out;
    std::vector<int> code;
    for (QChar c : w) {
        const ushort u = c.unicode();
        if (u >= 0x0410 && u <= 0x042F)
            code.push_back(192 + (u - 0x0410));
        else if (u == 0x0401)
            code.push_back(168);
        else if (isDelimiter(c))
            code.push_back(u);
        else
            return {};
    }
    auto vowel = [](int b) {
        return b == 168 || b == 192 || b == 197 || b == 200 || b == 206 || b == 211 || b == 219
               || b == 221 || b == 222 || b == 223;
    };
    auto sign = [](int b) { return b == 218 || b == 220; };
    auto delim = [](int b) { return b == ' ' || b == ',' || b == '-' || b == '.'; };
    const int n = int(code.size());
    auto at = [&](int k) { return code[size_t(k - 1)]; }; // 1-based
    for (int k = 2; k <= n - 2; ++k) {
        bool brk;
        if (vowel(at(k)))
            brk = vowel(at(k + 1)) || vowel(at(k + 2));
        else if (sign(at(k)))
            brk = !delim(at(k + 2));
        else
            brk = !vowel(at(k + 1)) && !sign(at(k + 1)) && vowel(at(k + 2));
        if (brk)
            out << k;
    }
    return out;
}

void TfrMemoView::WrapLine(const QString &s, int available)
{
    const int len = int(s.size());
    // Positions are 1-based as the rule is written; cp() cuts like a byte copy.
    auto cp = [&s, len](int p, int n) -> QString {
        if (n <= 0 || p > len || p < 1)
            return QString();
        return s.mid(p - 1, n);
    };
    auto ch = [&s](int i) { return s[i - 1]; };
    // Widths are sums of per-character advances, so every width the rule asks
    // for comes from prefix sums: the wrap is linear in the length of the line.
    EnsureMeasureFont();
    const QList<int> advances = TextAdvances(m_measureFont, s, CharSpacing);
    std::vector<qint64> prefix(size_t(len) + 1, 0);
    for (int k = 0; k < len; ++k)
        prefix[size_t(k) + 1] = prefix[size_t(k)] + advances[k];
    // Width of cp(p, n).
    auto span = [&prefix, len](int p, int n) -> qint64 {
        if (n <= 0 || p > len || p < 1)
            return 0;
        const int q = std::min<qint64>(qint64(p) + n - 1, len);
        return prefix[size_t(q)] - prefix[size_t(p) - 1];
    };
    const qint64 hyphenWidth = MeasureWidth(QStringLiteral("-"));
    // Position of the first word delimiter at or after each position (len + 1 when none).
    std::vector<int> nextDelimiter(size_t(len) + 2, len + 1);
    for (int k = len; k >= 1; --k)
        nextDelimiter[size_t(k)] = isDelimiter(ch(k)) ? k : nextDelimiter[size_t(k) + 1];
    const bool hasBreak = s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
    if (!hasBreak && (len <= 1 || prefix[size_t(len)] <= available)) {
        OutLine(s + frParagraphMark);
        return;
    }
    const bool wordBreak = Flags & flWordBreak;
    int beg = 1, last = 1, prev = 0, i = 1;
    // Each pass advances i or returns, but hyphenation moves i back: bound the work anyway.
    long guard = 16L * (len + 4);
    while (i <= len) {
        if (--guard < 0)
            break;
        if (isBreak(ch(i))) {
            OutLine(cp(beg, i - beg) + frParagraphMark);
            while (i < len && isBreak(ch(i)))
                ++i;
            beg = last = i;
            if (isBreak(ch(i)))
                return;
            continue;
        }
        if (ch(i) != QLatin1Char(' ') && span(beg, i - beg + 1) > available) {
            bool hyphen = false;
            if (wordBreak) {
                const int j = nextDelimiter[size_t(std::max(i, 1))];
                const QList<int> parts = BreakWord(cp(last + 1, j - last - 1));
                if (!parts.isEmpty()) {
                    i = last;
                    for (int pk : parts) {
                        if (span(beg, pk + last - beg + 1) + hyphenWidth > available)
                            break;
                        hyphen = true;
                        i = pk + last;
                    }
                    last = i;
                }
            } else if (last == beg) {
                last = i;
            }
            if (hyphen) {
                OutLine(cp(beg, last - beg + 1) + QLatin1Char('-'));
            } else if (last >= 1 && last <= len && ch(last) == QLatin1Char(' ')) {
                OutLine(cp(beg, last - beg));
            } else {
                if (last == beg)
                    last = i;
                OutLine(cp(beg, last - beg));
                last = last - 1;
            }
            if (wordBreak && !hyphen && i - 1 == last) {
                if (i == prev) {
                    beg = i + 1;
                    i = len;
                    break;
                }
                prev = i;
            }
            beg = last + 1;
            last = beg;
        } else if (ch(i) == QLatin1Char(' ')) {
            last = i;
        }
        // A surrogate pair is one character and is never split.
        i += (ch(i).isHighSurrogate() && i < len) ? 2 : 1;
    }
    if (guard < 0) {
        if (beg <= len)
            OutLine(cp(beg, len - beg + 1) + frParagraphMark);
        return;
    }
    if (i != beg)
        OutLine(cp(beg, i - beg + 1) + frParagraphMark);
}

void TfrMemoView::WrapMemo()
{
    const int px = FontPixelHeight(Font.Size);
    EnsureMeasureFont();
    const int fontHeight = -qBound(1, px, 4096);
    WrapBuffer.clear();
    // Positions in 64 bits; what the object keeps saturates (spacing may be absurd).
    LineStep = frClampToInt(qint64(LineSpacing) - fontHeight);
    if (!(Alignment & frtaVertical)) {
        m_position = qint64(Top) + GapY;
        const int available = frClampToInt(qint64(Width) - 2 * qint64(GapX));
        if (EngineMode == 0 && PrintText.size() == 1 && MeasureWidth(PrintText[0]) > available
            && PrintText[0].startsWith(QLatin1Char('['))) {
            OutLine(PrintText[0]);
        } else {
            for (const QString &line : PrintText) {
                if (Prewrapped)
                    OutLine(line);
                else if (Flags & flWordWrap)
                    WrapLine(line, available);
                else
                    OutLine(line + frParagraphMark);
            }
        }
        TextHeight = frClampToInt(m_position + GapY - Top);
    } else {
        m_position = qint64(Left) + GapX;
        const int available = frClampToInt(qint64(Height) - 2 * qint64(GapY));
        for (const QString &line : PrintText) {
            if (Prewrapped || !(Flags & flWordWrap))
                OutLine(line);
            else
                WrapLine(line, available);
        }
        TextHeight = frClampToInt(m_position + GapX - Left);
    }
}

// ---------------------------------------------------------------------------
// Drawing

void TfrMemoView::Draw(QPainter *canvas)
{
    Canvas = canvas;
    if ((Flags & flAutoWidth) && !Memo.isEmpty() && EngineMode == 1) {
        const int w = CalcWidth(Memo);
        if (Alignment & frtaVertical) {
            Height = w;
        } else {
            if (Alignment & 1)
                Left = frClampToInt(qint64(Left) + Width - w);
            Width = w;
        }
    }
    AttachCanvas(canvas);
    Streaming = false;
    PrintText = Memo;
    if (!PrintText.isEmpty()) {
        Prewrapped = PrintText.join(QLatin1Char('\r')).contains(frParagraphMark);
        if (PrintText.last() == QString(frParagraphMark))
            PrintText.removeLast();
        const double zx = ZoomX, zy = ZoomY;
        ZoomX = ZoomY = 1;
        BeginDraw();
        if ((Flags & flAutoWidth) && EngineMode == 1)
            Width += 100;
        WrapMemo();
        ZoomX = zx;
        ZoomY = zy;
        EndDraw();
        PrintText = WrapBuffer;
    }
    BeginDraw();
    if (!Exporting) {
        ShowBackground();
        ShowFrame();
        ShowUnderlines();
    }
    if (!PrintText.isEmpty())
        ShowMemo();
    EndDraw();
}

void TfrMemoView::ShowMemo()
{
    AssignFont(Canvas);
    const QRect R(QPoint(DrawRect.x() + 1, DrawRect.y()), QPoint(DrawRight() - 3, DrawBottom() - 2));
    TextHeight = frDrawCoord(TextHeight * ZoomY);
    const bool rotated = Alignment & frtaVertical;
    if (Alignment & (frtaMiddle | frtaDown)) {
        const int savedLeft = Left, savedTop = Top;
        const qint32 savedAlign = Alignment;
        const int v = Alignment & (frtaMiddle | frtaDown);
        Alignment &= 7;
        if (rotated) {
            if (v == frtaMiddle)
                Left += (DrawRect.width() - TextHeight) / 2;
            else if (v == frtaDown)
                Left = DrawRight() - TextHeight;
            DrawRotatedLines(R);
        } else {
            if (!Streaming) {
                if (v == frtaMiddle)
                    Top += (DrawRect.height() - TextHeight) / 2;
                else if (v == frtaDown)
                    Top = DrawBottom() - TextHeight - 1;
            }
            DrawNormalLines(R);
        }
        Left = savedLeft;
        Top = savedTop;
        Alignment = savedAlign;
    } else if (rotated) {
        DrawRotatedLines(R);
    } else {
        DrawNormalLines(R);
    }
}

namespace {
int exportFrame(int frameTyp, int index, int count)
{
    if (count == 1)
        return frameTyp;
    if (index == 0)
        return frameTyp & ~frftBottom;
    if (index == count - 1)
        return frameTyp & ~frftTop;
    return frameTyp & ~(frftTop | frftBottom);
}
} // namespace

void TfrMemoView::DrawNormalLines(const QRect &R)
{
    const int extra = frRound(CharSpacing * ZoomX);
    auto width = [&](const QString &t) { return TextWidth(m_canvasFont, t, extra); };
    // Positions in 64 bits: absurd spacings or many lines must not overflow.
    qint64 y = qint64(Top) + GapY;
    const qint64 step = qint64(frRound(LineSpacing * ZoomY)) - CanvasFontHeight();
    const int ascent = FaceAscent(Font.Name, -CanvasFontHeight());
    LinesDone = 0;
    int align = Alignment & 3;
    if (EngineMode == 0 && PrintText.size() == 1 && !PrintText[0].isEmpty()
        && PrintText[0].startsWith(QLatin1Char('[')) && width(PrintText[0]) > R.width())
        align = frtaRight;
    const bool rtl = Flags & flRTLReading;
    if (Canvas) {
        Canvas->save();
        Canvas->setClipRect(R, Qt::IntersectClip);
        Canvas->setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    }
    const qint64 boxWidth = DrawRect.width();
    // Rows that can be seen: the clip rectangle within the device.
    double seenTop = R.top(), seenBottom = R.bottom();
    if (Canvas && Canvas->device()) {
        bool invertible = false;
        const QTransform back = Canvas->worldTransform().inverted(&invertible);
        if (invertible) {
            const QRectF device = back.mapRect(QRectF(0, 0, Canvas->device()->width(), Canvas->device()->height()));
            seenTop = std::max(seenTop, device.top());
            seenBottom = std::min(seenBottom, device.bottom());
        }
    }
    const int count = int(PrintText.size());
    for (int idx = 0; idx < count; ++idx) {
        QString line = PrintText[idx];
        if (Streaming && y + step > qint64(R.y()) + R.height())
            break;
        const bool paraEnd = line.isEmpty() || line.endsWith(frParagraphMark);
        if (line.endsWith(frParagraphMark))
            line.chop(1);
        const int lw = width(line);
        qint64 x;
        if (align == frtaRight)
            x = Left + boxWidth - GapX - lw - 1;
        else if (align == frtaCenter)
            x = Left + GapX + (boxWidth - 2 * qint64(GapX) - lw) / 2;
        else
            x = qint64(Left) + GapX;
        // Lines outside the drawing limits are counted, never drawn; lines outside
        // the clip are not drawn either.
        const bool drawable = frWithinDrawLimit(x) && frWithinDrawLimit(y);
        const qint64 cell = -qint64(CanvasFontHeight());
        const bool seen = double(y + 2 * cell) >= seenTop && double(y - cell) <= seenBottom;
        if (Exporting) {
            if (EngineHooks.ExportText && drawable)
                EngineHooks.ExportText(line, DrawRect, int(x), int(y), exportFrame(FrameTyp, idx, count));
        } else if (Canvas && drawable && seen) {
            const int n = countBlanks(line);
            const int baseline = int(y) + ascent;
            if (align == frtaJustify && n > 0 && !paraEnd)
                drawJustified(Canvas, int(x), baseline, line, frClampToInt(boxWidth - 2 * qint64(GapX) - lw), n,
                              m_canvasFont, extra);
            else if (rtl)
                Canvas->drawText(int(x), baseline, line); // the layout orders right-to-left text itself
            else
                DrawTextAt(Canvas, int(x), baseline, line, m_canvasFont, extra);
        }
        ++LinesDone;
        y += step;
    }
    if (Canvas)
        Canvas->restore();
}

void TfrMemoView::DrawRotatedLines(const QRect &R)
{
    const int extra = frRound(CharSpacing * ZoomX);
    auto width = [&](const QString &t) { return TextWidth(m_canvasFont, t, extra); };
    qint64 x = qint64(Left) + GapX;
    const qint64 step = qint64(frRound(LineSpacing * ZoomX)) - CanvasFontHeight();
    const int ascent = FaceAscent(Font.Name, -CanvasFontHeight());
    LinesDone = 0;
    const int align = Alignment & 3;
    if (Canvas) {
        Canvas->save();
        Canvas->setClipRect(R, Qt::IntersectClip);
    }
    const qint64 boxHeight = DrawRect.height();
    for (QString line : std::as_const(PrintText)) {
        const bool paraEnd = line.isEmpty() || line.endsWith(frParagraphMark);
        if (line.endsWith(frParagraphMark))
            line.chop(1);
        const int lw = width(line);
        qint64 y;
        qint64 spare = 0;
        const int n = countBlanks(line);
        if (align == frtaLeft) {
            y = qint64(DrawBottom()) - GapY;
        } else if (align == frtaRight) {
            y = qint64(Top) + GapY + lw;
        } else if (align == frtaCenter) {
            y = DrawBottom() - GapY - (boxHeight - 2 * qint64(GapY) - lw) / 2 - 1;
        } else {
            y = Top + boxHeight - GapY;
            if (n > 0 && !paraEnd)
                spare = boxHeight - 2 * qint64(GapY) - lw;
        }
        const bool drawable = frWithinDrawLimit(x) && frWithinDrawLimit(y);
        if (Exporting) {
            if (EngineHooks.ExportText && drawable)
                EngineHooks.ExportText(line, DrawRect, int(x), align == frtaJustify ? 0 : int(y), 0);
        } else if (Canvas && drawable) {
            Canvas->save();
            Canvas->translate(double(x), double(y));
            Canvas->rotate(-90);
            if (spare > 0)
                drawJustified(Canvas, 0, ascent, line, frClampToInt(spare), n, m_canvasFont, extra);
            else
                DrawTextAt(Canvas, 0, ascent, line, m_canvasFont, extra);
            Canvas->restore();
        }
        ++LinesDone;
        x += step;
    }
    if (Canvas)
        Canvas->restore();
}

void TfrMemoView::ShowUnderlines()
{
    if (!(Flags & flUnderlines) || !Canvas)
        return;
    AssignFont(Canvas);
    const qint64 step = qint64(frRound(LineSpacing * ZoomY)) - CanvasFontHeight();
    if (step <= 0)
        return;
    Canvas->save();
    Canvas->setPen(QPen(FrColor(FrameColor), std::clamp(frRound(FrameWidth), 1, frDrawLimit), Qt::SolidLine,
                        Qt::FlatCap));
    // Lines below the device are not drawn (a stored height may be absurd).
    const int limit = Canvas->device() ? Canvas->device()->height() : 0;
    const qint64 first = qint64(Top) + GapY + frRound(2 * ZoomY) - CanvasFontHeight();
    for (qint64 i = 0; i < Height / step; ++i) {
        const qint64 y = first + i * step;
        if ((y > limit && limit > 0) || y > frDrawLimit)
            break;
        if (y < -frDrawLimit)
            continue;
        Canvas->drawLine(Left, int(y), Left + Width - 2, int(y));
    }
    Canvas->restore();
}

int TfrMemoView::CalcWidth(const QStringList &lines)
{
    QString text = lines.join(QLatin1String("\r\n"));
    text.remove(frParagraphMark);
    AssignFont(Canvas);
    const int extra = frRound(CharSpacing * ZoomX);
    int w = 0;
    for (const QString &l : splitText(text))
        w = qMax(w, TextWidth(m_canvasFont, l, extra));
    return frRound(w / ZoomX + FrameWidth + 2.0 * GapX + 1);
}

// ---------------------------------------------------------------------------
// Printing, measuring and splitting

void TfrMemoView::Print(QIODevice &stream)
{
    AttachCanvas(nullptr);
    Streaming = true;
    if (PrintPhase == 0) {
        if (EngineHooks.RunScript)
            EngineHooks.RunScript(this);
        if (EngineHooks.HasBeforePrintHandler && EngineHooks.HasBeforePrintHandler()) {
            PrintText = Memo;
            if (EngineHooks.BeforePrintObject)
                EngineHooks.BeforePrintObject(PrintText, this);
            if (PrintText == Memo)
                ExpandMemo();
        } else {
            ExpandMemo();
        }
    }
    const TfrFont savedFont = Font;
    const qint32 savedFill = FillColor;
    const QString savedTag = Tag;
    const quint8 savedAlign = BandAlign;
    if (Visible) {
        if (!HighlightCondition.isEmpty() && EngineHooks.Evaluate) {
            try {
                const QVariant v = EngineHooks.Evaluate(HighlightCondition);
                if (v.toDouble() != 0) {
                    Font.Style = IntToFontStyles(HighlightFontStyle);
                    Font.Color = HighlightFontColor;
                    FillColor = HighlightFillColor;
                }
            } catch (...) {
                // A faulty condition prints the object without highlight.
            }
        }
        if (PrintPhase == 2) {
            BeginDraw();
            ShowMemo();
            WrapBuffer = PrintText;
            PrintText = PrintText.mid(0, LinesDone);
            if (!PrintText.join(QString()).contains(frParagraphMark))
                PrintText << QString(frParagraphMark);
            EndDraw();
        }
        const qint32 savedFormat = DisplayFormat;
        DisplayFormat = 0;
        if (Tag.contains(QLatin1Char('[')))
            ExpandVariables(Tag);
        DisplayFormat = savedFormat;
        TfrBandGeometry band;
        if (EngineHooks.CurrentBandGeometry && EngineHooks.CurrentBandGeometry(band)) {
            if (BandAlign == baBottom) {
                Top = band.Top + band.Height - Height;
                BandAlign = baNone;
            } else if (BandAlign == baTop) {
                Top = band.Top;
            } else if (BandAlign == baWidth && band.Type >= 18 && band.Type <= 20) {
                Width = band.Width;
                BandAlign = baNone;
            }
        }
        const QString text = PrintText.join(QLatin1String("\r\n"));
        if (!((Flags & flSuppress) && text == LastValue)) {
            WritePreparedRecord(stream);
            if (Flags & flSuppress)
                LastValue = text;
        }
        if (PrintPhase == 2)
            PrintText = WrapBuffer.mid(LinesDone);
        Font = savedFont;
        FillColor = savedFill;
        Tag = savedTag;
        BandAlign = savedAlign;
    }
    PrintPhase = 0;
}

int TfrMemoView::CalcHeight()
{
    PrintPhase = 1;
    AttachCanvas(nullptr);
    if (EngineHooks.RunScript)
        EngineHooks.RunScript(this);
    int result = 0;
    if (!Visible)
        return result;
    PrintText = Memo;
    if (EngineHooks.BeforePrintObject)
        EngineHooks.BeforePrintObject(PrintText, this);
    if (PrintText == Memo)
        ExpandMemo();
    const TfrFont savedFont = Font;
    const qint32 savedFill = FillColor;
    if (!HighlightCondition.isEmpty() && EngineHooks.Evaluate) {
        try {
            if (EngineHooks.Evaluate(HighlightCondition).toDouble() != 0) {
                Font.Style = IntToFontStyles(HighlightFontStyle);
                Font.Color = HighlightFontColor;
                FillColor = HighlightFillColor;
            }
        } catch (...) {
        }
    }
    BeginDraw();
    if (!PrintText.isEmpty()) {
        WrapMemo();
        PrintText = WrapBuffer;
        result = TextHeight;
        const QString text = PrintText.join(QLatin1String("\r\n"));
        if ((Flags & flSuppress) && text == LastValue)
            result = 0;
        if ((Flags & flSuppress) && EngineHooks.FirstPassOfTwo && EngineHooks.FirstPassOfTwo())
            LastValue = text;
    }
    EndDraw();
    Font = savedFont;
    FillColor = savedFill;
    return result;
}

int TfrMemoView::MinHeight()
{
    LineStep = frClampToInt(qint64(LineSpacing) + qBound(1, FontPixelHeight(Font.Size), 4096));
    return frClampToInt(qint64(frRound(2 * FrameWidth)) + 2 * qint64(GapY) + LineStep);
}

int TfrMemoView::RemainHeight()
{
    LineStep = frClampToInt(qint64(LineSpacing) + qBound(1, FontPixelHeight(Font.Size), 4096));
    const qint64 fw = frRound(2 * FrameWidth);
    if (LineStep <= 0)
        return frClampToInt(2 * qint64(GapY) + fw);
    return frClampToInt(((Height - fw - 2 * qint64(GapY)) % LineStep) + 2 * qint64(GapY) + fw);
}

void TfrMemoView::ExportData()
{
    TfrView::ExportData();
    Exporting = true;
    Draw(nullptr);
    Exporting = false;
}

// ---------------------------------------------------------------------------
// Display format

namespace {
const char *const kCategories[] = {"文本", "数字", "日期", "时间", "布尔"};
const char *const kTypeNames[5][5] = {
    {"[无]", "", "", "", ""},
    {"1234,5", "1234,50", "1 234,5", "1 234,50", "自定义"},
    {"98.11.15", "1998.11.15", "1998年11月15日", "1998年11月15日", "自定义"},
    {"02:43:35", "2:43:35", "02:43", "2:43", "自定义"},
    {"0;1", "否;是", "_;x", "假;真", "自定义"},
};
} // namespace

qint32 MakeFormatCode(int category, int type, const QString &decimals, const QString &separator)
{
    bool ok = false;
    int dec = decimals.trimmed().toInt(&ok);
    if (!ok)
        dec = 0;
    const int sep = separator.isEmpty() ? ',' : separator.at(0).unicode() & 0xFF;
    return qint32((quint32(category & 0xF) << 24) | (quint32(type & 0xFF) << 16) | (quint32(dec & 0xFF) << 8)
                  | quint32(sep));
}

TfrFmtForm::TfrFmtForm(qint32 format, const QString &formatText, QWidget *parent)
    : QDialog(parent), m_format(format), m_formatText(formatText)
{
    setWindowTitle(QStringLiteral("变量格式"));
    auto *grid = new QGridLayout(this);
    CatLB = new QListWidget(this);
    CatLB->setObjectName(QStringLiteral("CatLB"));
    TypeLB = new QListWidget(this);
    TypeLB->setObjectName(QStringLiteral("TypeLB"));
    DecLabel = new QLabel(QStringLiteral("小数位(&D)"), this);
    SplLabel = new QLabel(QStringLiteral("小数位分隔符(&s)"), this);
    FormatLabel = new QLabel(QStringLiteral("自定义格式(&f)"), this);
    DecEdit = new QLineEdit(this);
    DecEdit->setObjectName(QStringLiteral("DecEdit"));
    SplEdit = new QLineEdit(this);
    SplEdit->setObjectName(QStringLiteral("SplEdit"));
    SplEdit->setMaxLength(1);
    FormatEdit = new QLineEdit(this);
    FormatEdit->setObjectName(QStringLiteral("FormatEdit"));
    DecLabel->setBuddy(DecEdit);
    SplLabel->setBuddy(SplEdit);
    FormatLabel->setBuddy(FormatEdit);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确认"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(CatLB, 0, 0);
    grid->addWidget(TypeLB, 0, 1);
    grid->addWidget(DecLabel, 1, 0);
    grid->addWidget(DecEdit, 1, 1);
    grid->addWidget(SplLabel, 2, 0);
    grid->addWidget(SplEdit, 2, 1);
    grid->addWidget(FormatLabel, 3, 0);
    grid->addWidget(FormatEdit, 3, 1);
    grid->addWidget(buttons, 4, 0, 1, 2);

    for (const char *c : kCategories)
        CatLB->addItem(QString::fromUtf8(c));
    const int cat = qBound(0, int((quint32(format) >> 24) & 0xF), 4);
    CatLB->setCurrentRow(cat);
    FillTypes(cat);
    const int type = int((quint32(format) >> 16) & 0xFF);
    if (type < TypeLB->count())
        TypeLB->setCurrentRow(type);
    TypeChanged();
    connect(CatLB, &QListWidget::currentRowChanged, this, [this](int row) {
        FillTypes(row);
        TypeLB->setCurrentRow(0);
        TypeChanged();
    });
    connect(TypeLB, &QListWidget::currentRowChanged, this, [this](int) { TypeChanged(); });
}

void TfrFmtForm::FillTypes(int category)
{
    const QSignalBlocker block(TypeLB);
    TypeLB->clear();
    if (category < 0 || category > 4)
        return;
    for (const char *t : kTypeNames[category])
        if (*t)
            TypeLB->addItem(QString::fromUtf8(t));
    TypeLB->setCurrentRow(0);
}

void TfrFmtForm::TypeChanged()
{
    const bool number = CatLB->currentRow() == 1;
    DecLabel->setEnabled(number);
    DecEdit->setEnabled(number);
    SplLabel->setEnabled(number);
    SplEdit->setEnabled(number);
    if (number) {
        DecEdit->setText(QString::number((quint32(m_format) >> 8) & 0xFF));
        SplEdit->setText(QString(QChar(ushort(m_format & 0xFF))));
    } else {
        DecEdit->clear();
        SplEdit->clear();
    }
    const bool custom = TypeLB->currentRow() == 4;
    FormatLabel->setEnabled(custom);
    FormatEdit->setEnabled(custom);
    FormatEdit->setText(custom ? m_formatText : QString());
}

void TfrFmtForm::accept()
{
    m_format = MakeFormatCode(CatLB->currentRow(), qMax(0, TypeLB->currentRow()),
                              DecEdit->isEnabled() ? DecEdit->text() : QString(), SplEdit->text());
    if (FormatEdit->isEnabled())
        m_formatText = FormatEdit->text();
    QDialog::accept();
}

void TfrMemoView::EditFormat()
{
    TfrFmtForm form(DisplayFormat, FormatText);
    if (orv::prompt().runModal(&form) != QDialog::Accepted)
        return;
    ApplyToSelection(this, 8, [&form](TfrView *v) {
        if (dynamic_cast<TfrMemoView *>(v)) {
            v->DisplayFormat = form.Format();
            v->FormatText = form.FormatText();
        }
    });
}

void TfrMemoView::DefinePopupMenu(QMenu *menu)
{
    if (!menu)
        return;
    QObject::connect(menu->addAction(QStringLiteral("变量格式...")), &QAction::triggered, [this] { EditFormat(); });
    QObject::connect(menu->addAction(QStringLiteral("字体...")), &QAction::triggered, [this] {
        if (EditorHooks.Font)
            EditorHooks.Font(this);
    });
    QObject::connect(menu->addAction(QStringLiteral("清除内容")), &QAction::triggered, [this] {
        ApplyToSelection(this, 4, [](TfrView *v) {
            v->Memo.clear();
            v->Script.clear();
        });
    });
    TfrView::DefinePopupMenu(menu);
    const QList<QPair<const char *, quint16>> items = {
        {"自动折行", flWordWrap}, {"自动大小", flAutoWidth}, {"只能是文本", flTextOnly},
        {"压缩重复值", flSuppress}, {"隐藏零值", flHideZeros}, {"下划线", flUnderlines}};
    for (const auto &it : items) {
        QAction *a = menu->addAction(QString::fromUtf8(it.first));
        a->setCheckable(true);
        a->setChecked(Flags & it.second);
        const quint16 bit = it.second;
        QObject::connect(a, &QAction::triggered, [this, bit](bool on) {
            ApplyToSelection(this, 8, [bit, on](TfrView *v) {
                if (dynamic_cast<TfrMemoView *>(v))
                    v->Flags = on ? (v->Flags | bit) : (v->Flags & ~bit);
            });
        });
    }
}

void TfrMemoView::ShowEditor()
{
    if (EditorHooks.Memo)
        EditorHooks.Memo(this);
}
