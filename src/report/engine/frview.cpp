#include "report/engine/frview.h"
#include "report/engine/frstatescope.h"

#include "report/engine/frcontrol.h"
#include "report/engine/frfonts.h"
#include "report/engine/frglobals.h"
#include "report/engine/frparser.h"

#include <QBuffer>
#include <QMenu>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

TfrEditorHooks EditorHooks;

void ApplyToSelection(TfrView *self, quint16 restriction, const std::function<void(TfrView *)> &change)
{
    if (EditorHooks.BeforeChange)
        EditorHooks.BeforeChange();
    std::vector<TfrView *> targets;
    if (EditorHooks.SelectedObjects)
        targets = EditorHooks.SelectedObjects();
    else
        targets = {self};
    for (TfrView *v : targets)
        if (v && !(v->Restrictions & restriction))
            change(v);
    if (EditorHooks.AfterChange)
        EditorHooks.AfterChange();
}

int frRound(double v)
{
    // Default rounding mode: halves to even. Stored geometry may be absurd: saturate.
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v);
    if (r <= -2147483648.0)
        return std::numeric_limits<int>::min();
    if (r >= 2147483647.0)
        return std::numeric_limits<int>::max();
    return int(r);
}

int frDrawCoord(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v);
    return int(std::clamp(r, double(-frDrawLimit), double(frDrawLimit)));
}

int frClampToInt(qint64 v)
{
    return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

namespace {
QStringList splitLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QString t = text;
    if (t.endsWith(QLatin1String("\r\n")))
        t.chop(2);
    else if (t.endsWith(QLatin1Char('\n')) || t.endsWith(QLatin1Char('\r')))
        t.chop(1);
    static const QRegularExpression re(QStringLiteral("\r\n|\n|\r"));
    return t.split(re);
}

TfrPropEditor editorOf(std::function<void(TfrView *)> TfrEditorHooks::*hook, TfrView *v)
{
    return [hook, v] {
        if (EditorHooks.*hook)
            (EditorHooks.*hook)(v);
    };
}
} // namespace

TfrView::TfrView()
{
    // Two decimals and the locale's separator preset for a later number format.
    DisplayFormat = 2 * 256 + '.';
}

TfrView::~TfrView()
{
    TfrEngineStateScope::Forget(this);
    if (CurrentView == this)
        CurrentView = nullptr;
}

// ---------------------------------------------------------------------------
// Property interface

void TfrView::DefinePropList()
{
    ClearPropList();
    AddProperty(QStringLiteral("Name"), 0x101);
    AddProperty(QStringLiteral("Left"), 0x80);
    AddProperty(QStringLiteral("Top"), 0x80);
    AddProperty(QStringLiteral("Width"), 0x80);
    AddProperty(QStringLiteral("Height"), 0x80);
    AddProperty(QStringLiteral("Flags"), 0);
    const QString cls = ClassName();
    if (cls != QLatin1String("TfrBandView") && cls != QLatin1String("TfrSubReportView")) {
        AddProperty(QStringLiteral("FrameTyp"), 2);
        AddProperty(QStringLiteral("FrameWidth"), 0x84);
        AddProperty(QStringLiteral("FrameColor"), 0x10);
        AddEnumProperty(QStringLiteral("FrameStyle"),
                        QStringLiteral("psSolid;psDash;psDot;psDashDot;psDashDotDot;psDouble"),
                        {0, 1, 2, 3, 4, 5});
        AddProperty(QStringLiteral("FillColor"), 0x10);
        AddProperty(QStringLiteral("Tag"), 0x140, editorOf(&TfrEditorHooks::Tag, this));
        AddEnumProperty(QStringLiteral("BandAlign"),
                        QStringLiteral("baNone;baLeft;baRight;baCenter;baWidth;baBottom;baTop;baRest"),
                        {0, 1, 2, 3, 4, 5, 6, 7});
    }
    AddProperty(QStringLiteral("Visible"), 8);
    AddProperty(QStringLiteral("Memo"), 0x140, editorOf(&TfrEditorHooks::Memo, this));
    AddProperty(QStringLiteral("Memo.Count"), 0);
    AddProperty(QStringLiteral("Restrictions"), 0x40, editorOf(&TfrEditorHooks::Restrictions, this));
}

void TfrView::SetPropValue(const QString &name, const QVariant &value)
{
    const QString n = name.toUpper();
    if (n == QLatin1String("NAME")) Name = value.toString();
    else if (n == QLatin1String("LEFT")) Left = value.toInt();
    else if (n == QLatin1String("TOP")) Top = value.toInt();
    else if (n == QLatin1String("WIDTH")) Width = value.toInt();
    else if (n == QLatin1String("HEIGHT")) Height = value.toInt();
    else if (n == QLatin1String("FLAGS")) Flags = quint16(value.toInt());
    else if (n == QLatin1String("FRAMETYP")) FrameTyp = quint16(value.toInt());
    else if (n == QLatin1String("FRAMEWIDTH")) FrameWidth = value.toDouble();
    else if (n == QLatin1String("FRAMECOLOR")) FrameColor = value.toInt();
    else if (n == QLatin1String("FRAMESTYLE")) FrameStyle = quint16(value.toInt());
    else if (n == QLatin1String("FILLCOLOR")) FillColor = value.toInt();
    else if (n == QLatin1String("VISIBLE")) Visible = value.toBool();
    else if (n == QLatin1String("MEMO") || n == QLatin1String("DATAFIELD")) Memo = splitLines(value.toString());
    else if (n == QLatin1String("GAPX")) GapX = value.toInt();
    else if (n == QLatin1String("GAPY")) GapY = value.toInt();
    else if (n == QLatin1String("STRETCHED")) SetFlag(1, value.toBool());
    else if (n == QLatin1String("BANDALIGN")) BandAlign = quint8(value.toInt());
    else if (n == QLatin1String("TAG")) Tag = value.toString();
    else if (n == QLatin1String("RESTRICTIONS")) Restrictions = quint16(value.toInt());
}

QVariant TfrView::GetPropValue(const QString &name)
{
    const QString n = name.toUpper();
    if (n == QLatin1String("NAME")) return Name;
    if (n == QLatin1String("LEFT")) return Left;
    if (n == QLatin1String("TOP")) return Top;
    if (n == QLatin1String("WIDTH")) return Width;
    if (n == QLatin1String("HEIGHT")) return Height;
    if (n == QLatin1String("FLAGS")) return int(Flags);
    if (n == QLatin1String("FRAMETYP")) return int(FrameTyp);
    if (n == QLatin1String("FRAMEWIDTH")) return FrameWidth;
    if (n == QLatin1String("FRAMECOLOR")) return FrameColor;
    if (n == QLatin1String("FRAMESTYLE")) return int(FrameStyle);
    if (n == QLatin1String("FILLCOLOR")) return FillColor;
    if (n == QLatin1String("VISIBLE")) return Visible;
    if (n == QLatin1String("MEMO")) return Memo.join(QLatin1String("\r\n"));
    if (n == QLatin1String("GAPX")) return GapX;
    if (n == QLatin1String("GAPY")) return GapY;
    if (n == QLatin1String("STRETCHED")) return bool(Flags & 1);
    if (n == QLatin1String("BANDALIGN")) return int(BandAlign);
    if (n == QLatin1String("DATAFIELD")) return Memo.isEmpty() ? QString() : Memo.first();
    if (n == QLatin1String("TAG")) return Tag;
    if (n == QLatin1String("MEMO.COUNT")) return int(Memo.size());
    if (n == QLatin1String("RESTRICTIONS")) return int(Restrictions);
    return TfrObject::GetPropValue(name);
}

void TfrView::DoMethod(const QString &methodName, const QVariant &par1, const QVariant &par2,
                       const QVariant &par3, QVariant &val)
{
    TfrObject::DoMethod(methodName, par1, par2, par3, val);
    if (val.isNull())
        DoStringsMethod(Memo, methodName, QStringLiteral("MEMO"), par1, par2, par3, val);
    if (methodName == QLatin1String("HIDE"))
        SetPropValue(QStringLiteral("Visible"), false);
    else if (methodName == QLatin1String("SHOW"))
        SetPropValue(QStringLiteral("Visible"), true);
}

void TfrStretcheable::DoMethod(const QString &methodName, const QVariant &par1, const QVariant &par2,
                               const QVariant &par3, QVariant &val)
{
    TfrView::DoMethod(methodName, par1, par2, par3, val);
    if (methodName == QLatin1String("CALCHEIGHT"))
        val = CalcHeight();
}

// ---------------------------------------------------------------------------
// Simple operations

void TfrView::GetBlob(const QVariant &) {}
void TfrView::OnHook(TfrView *) {}
void TfrView::Loaded() {}
void TfrView::Resized() {}
void TfrView::ShowEditor() {}

void TfrView::SetBounds(int left, int top, int width, int height)
{
    Left = left;
    Top = top;
    Width = width;
    Height = height;
}

namespace {
TfrNameScope *g_nameScope = nullptr;
constexpr int kMaxNameNumber = 10000;
} // namespace

TfrNameScope::TfrNameScope() : m_outer(g_nameScope) { g_nameScope = this; }
TfrNameScope::~TfrNameScope() { g_nameScope = m_outer; }
TfrNameScope *TfrNameScope::Active() { return g_nameScope; }

void TfrNameScope::Add(const QString &name)
{
    if (!name.isEmpty())
        m_names.insert(name.toCaseFolded());
}

bool TfrNameScope::Contains(const QString &name) const { return m_names.contains(name.toCaseFolded()); }

QString TfrNameScope::Unique(const QString &baseName)
{
    // Names are only added while a scope lives, so the first free number never goes down.
    int &i = m_firstCandidate[baseName.toCaseFolded()];
    if (i < 1)
        i = 1;
    for (; i <= kMaxNameNumber; ++i) {
        const QString candidate = baseName + QString::number(i);
        if (!Contains(candidate))
            return candidate;
    }
    return QString();
}

void TfrView::CreateUniqueName()
{
    Name.clear();
    if (TfrNameScope *scope = TfrNameScope::Active()) {
        const QString n = scope->Unique(BaseName);
        if (!n.isEmpty()) {
            SetPropValue(QStringLiteral("Name"), n);
            scope->Add(n);
        }
        return;
    }
    // A control's name must also be free among the controls of the dialog form.
    QWidget *dialogForm = dynamic_cast<TfrControl *>(this) ? frDialogForm() : nullptr;
    for (int i = 1; i <= kMaxNameNumber; ++i) {
        const QString candidate = BaseName + QString::number(i);
        if (EngineHooks.FindObject && EngineHooks.FindObject(candidate))
            continue;
        if (dialogForm && dialogForm->findChild<QObject *>(candidate, Qt::FindDirectChildrenOnly))
            continue;
        SetPropValue(QStringLiteral("Name"), candidate);
        return;
    }
}

void TfrView::Assign(TfrView &source)
{
    Name = source.Name;
    TypeCode = source.TypeCode;
    Selected = source.Selected;
    StreamVersion = 25;
    source.RecordMode = 0;
    RecordMode = 0;
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    const TfrLongTexts longTexts(buf);
    source.SaveToStream(buf);
    buf.seek(0);
    LoadFromStream(buf);
}

void TfrView::ExpandVariables(QString &s)
{
    // The parser's scanner: a "]" inside a quoted literal does not close the
    // bracket, and an unclosed "[" takes the rest of the text as its expression.
    if (!EngineHooks.ExpandBracket || !s.contains(QLatin1Char('[')))
        return;
    s = frExpandBrackets(s, EngineHooks.ExpandBracket);
}

// ---------------------------------------------------------------------------
// Record head

qint32 TfrView::EncodeFrameWidth(double w)
{
    if (w == std::floor(w) && w >= 0 && w <= 10)
        return qint32(w);
    // Fractions, and whole widths above 10, as thousandths: both read back unchanged.
    return qint32(std::llround(w * 1000));
}

double TfrView::DecodeFrameWidth(qint32 stored)
{
    // A frame has no negative width; reading one as such would grow with every save.
    if (stored < 0)
        return 0.0;
    qint64 v = stored;
    if (v <= 10)
        v *= 1000;
    return double(v) / 1000.0;
}

void TfrView::SaveToStream(QIODevice &s)
{
    WriteStreamString(s, Name);
    WriteStreamByte(s, 2);
    WriteStreamByte(s, RecordMinor);
    WriteStreamInt(s, Left);
    WriteStreamInt(s, Top);
    WriteStreamInt(s, Width);
    WriteStreamInt(s, Height);
    WriteStreamWord(s, qint16(Flags));
    WriteStreamWord(s, qint16(FrameTyp));
    WriteStreamInt(s, EncodeFrameWidth(FrameWidth));
    WriteStreamInt(s, FrameColor);
    WriteStreamWord(s, qint16(FrameStyle));
    WriteStreamInt(s, FillColor);
    if (RecordMode == 0) {
        WriteStreamInt(s, DisplayFormat);
        WriteStreamString(s, FormatText);
        WriteStreamStrings(s, Memo);
        WriteStreamStrings(s, Script);
        WriteStreamWord(s, Visible ? qint16(-1) : qint16(0));
    } else {
        WriteStreamStrings(s, PrintText);
    }
    WriteStreamWord(s, qint16(Restrictions));
    WriteStreamString(s, Tag);
    WriteStreamInt(s, GapX);
    WriteStreamInt(s, GapY);
    WriteStreamByte(s, BandAlign);
}

void TfrView::LoadFromStream(QIODevice &s)
{
    if (StreamVersion >= 24 || (StreamVersion == 23 && RecordMode == 0))
        Name = ReadVersionedString(s);
    else
        CreateUniqueName();
    if (StreamVersion >= 24) {
        RecordMajor = ReadStreamByte(s);
        RecordMinor = ReadStreamByte(s);
    } else {
        // Older records carry no record version and none of its later fields.
        RecordMajor = 0;
        RecordMinor = 0;
    }
    Left = ReadStreamInt(s);
    Top = ReadStreamInt(s);
    Width = ReadStreamInt(s);
    Height = ReadStreamInt(s);
    Flags = quint16(ReadStreamWord(s));
    FrameTyp = quint16(ReadStreamWord(s));
    FrameWidth = DecodeFrameWidth(ReadStreamInt(s));
    FrameColor = ReadStreamInt(s);
    FrameStyle = quint16(ReadStreamWord(s));
    FillColor = ReadStreamInt(s);
    if (RecordMode == 0) {
        DisplayFormat = ReadStreamInt(s);
        FormatText = ReadVersionedString(s);
    }
    Memo = ReadVersionedStrings(s);
    if (StreamVersion >= 23 && RecordMode == 0) {
        Script = ReadVersionedStrings(s);
        Visible = ReadStreamWord(s) != 0;
    }
    if (StreamVersion >= 24) {
        Restrictions = quint16(ReadStreamWord(s));
        Tag = ReadStreamString(s);
        GapX = ReadStreamInt(s);
        GapY = ReadStreamInt(s);
    }
    if (RecordMajor > 1)
        BandAlign = ReadStreamByte(s);
}

// ---------------------------------------------------------------------------
// Drawing coordinates

void TfrView::BeginDraw()
{
    SavedX = Left;
    SavedY = Top;
    SavedDX = Width;
    SavedDY = Height;
    SavedFrameWidth = FrameWidth;
    SavedGapX = GapX;
    SavedGapY = GapY;
    if (EngineMode == 0) {
        ZoomX = ZoomY = 1;
        OffsetX = OffsetY = 0;
    }
    // Every step in doubles, saturated at the drawing limit (see frDrawLimit).
    Left = frDrawCoord(std::nearbyint(Left * ZoomX) + OffsetX);
    Top = frDrawCoord(std::nearbyint(Top * ZoomY) + OffsetY);
    Width = frDrawCoord(ZoomX * Width);
    Height = frDrawCoord(ZoomY * Height);
    const double w = SavedFrameWidth;
    const int ex = frDrawCoord((w * ZoomX - 1) / 2), bx = frDrawCoord(w * ZoomX / 2);
    const int ey = frDrawCoord((w * ZoomY - 1) / 2), by = frDrawCoord(w * ZoomY / 2);
    FrameWidth = w * ZoomX;
    GapX = frDrawCoord(std::nearbyint(GapX * ZoomX) + bx);
    GapY = frDrawCoord(std::nearbyint(GapY * ZoomY) + by / 2);
    int x2 = RightEdge();
    int y2 = BottomEdge();
    if (FrameTyp & frftRight)
        x2 -= bx;
    if (FrameTyp & frftBottom)
        y2 -= by;
    const int l = Left + ((FrameTyp & frftLeft) ? ex : 0);
    const int t = Top + ((FrameTyp & frftTop) ? ey : 0);
    DrawRect = QRect(QPoint(l, t), QPoint(x2, y2)); // exclusive edges x2 + 1, y2 + 1
}

int TfrView::RightEdge() const { return frDrawCoord((double(SavedX) + SavedDX) * ZoomX + OffsetX); }
int TfrView::BottomEdge() const { return frDrawCoord((double(SavedY) + SavedDY) * ZoomY + OffsetY); }

void TfrView::EndDraw()
{
    Left = SavedX;
    Top = SavedY;
    Width = SavedDX;
    Height = SavedDY;
    FrameWidth = SavedFrameWidth;
    GapX = SavedGapX;
    GapY = SavedGapY;
}

void TfrView::ShowBackground()
{
    if (DrawingDisabled || !Canvas)
        return;
    if (EngineMode == 1 && FillColor == clTransparent)
        return;
    const QColor c = FillColor == clTransparent ? QColor(Qt::white) : FrColor(FillColor);
    if (EngineMode == 0)
        Canvas->fillRect(DrawRect, c);
    else
        Canvas->fillRect(QRect(Left, Top, RightEdge() - Left, BottomEdge() - Top), c);
}

namespace {
// A one-pixel stroke from a start point to an end point that is not painted.
void stroke(QPainter *p, int x1, int y1, int x2, int y2)
{
    const int dx = (x2 > x1) - (x2 < x1), dy = (y2 > y1) - (y2 < y1);
    if (dx == 0 && dy == 0)
        return;
    p->drawLine(x1, y1, x2 - dx, y2 - dy);
}

QList<qreal> dashPattern(int style)
{
    // Dash lengths of a one-pixel pen, fixed so stored templates print their dashes alike everywhere.
    switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}
} // namespace

void TfrView::DrawFrameLine(int x1, int y1, int x2, int y2, bool vertical)
{
    QPainter *p = Canvas;
    const int w = std::clamp(frRound(FrameWidth), 0, frDrawLimit);
    const QColor frame = FrColor(FrameColor);
    if (FrameStyle >= psDash && FrameStyle <= psDashDotDot) {
        QPen pen(frame);
        pen.setWidth(1);
        pen.setDashPattern(dashPattern(FrameStyle));
        pen.setCapStyle(Qt::FlatCap);
        p->save();
        p->setPen(pen);
        if (FillColor != clTransparent) {
            p->setBackgroundMode(Qt::OpaqueMode);
            p->setBackground(FrColor(FillColor));
        } else {
            p->setBackgroundMode(Qt::TransparentMode);
        }
        const int n = qMax(1, w);
        // Only the parallel lines that can reach the device are drawn: a frame
        // thousands of pixels wide costs no more than the device is wide.
        int from = 0, to = n;
        if (p->device()) {
            bool invertible = false;
            const QTransform back = p->worldTransform().inverted(&invertible);
            if (invertible) {
                const QRectF seen = back.mapRect(QRectF(0, 0, p->device()->width(), p->device()->height()));
                const double lo = vertical ? seen.left() : seen.top();
                const double hi = vertical ? seen.right() : seen.bottom();
                const double pos = vertical ? x1 : y1;
                from = int(std::clamp(std::floor(lo - pos) + n / 2 - 1, 0.0, double(n)));
                to = int(std::clamp(std::ceil(hi - pos) + n / 2 + 1, double(from), double(n)));
            }
        }
        for (int i = from; i < to; ++i) {
            const int d = i - n / 2;
            if (vertical)
                stroke(p, x1 + d, y1, x2 + d, y2);
            else
                stroke(p, x1, y1 + d, x2, y2 + d);
        }
        p->restore();
        return;
    }
    auto plain = [&](int ax, int ay, int bx, int by, const QColor &c) {
        if (w <= 1) {
            p->setPen(QPen(c, 1));
            stroke(p, ax, ay, bx, by);
            return;
        }
        // A wide line centred on its position, covering start to end (end excluded).
        const int lo = -(w / 2), hi = lo + w;
        if (vertical)
            p->fillRect(QRect(QPoint(ax + lo, qMin(ay, by)), QPoint(ax + hi - 1, qMax(ay, by) - 1)), c);
        else
            p->fillRect(QRect(QPoint(qMin(ax, bx), ay + lo), QPoint(qMax(ax, bx) - 1, ay + hi - 1)), c);
    };
    if (FrameStyle == psDouble) {
        const int d = w;
        if (vertical) {
            plain(x1 - d, y1, x2 - d, y2, frame);
            plain(x1 + d, y1, x2 + d, y2, frame);
        } else {
            plain(x1, y1 - d, x2, y2 - d, frame);
            plain(x1, y1 + d, x2, y2 + d, frame);
        }
        if (FillColor != clTransparent)
            plain(x1, y1, x2, y2, FrColor(FillColor));
        return;
    }
    plain(x1, y1, x2, y2, frame);
}

void TfrView::ShowFrame()
{
    if (DrawingDisabled || !Canvas)
        return;
    if (EngineMode == 1 && (FrameTyp & 0xF) == 0)
        return;
    QPainter *p = Canvas;
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    if (EngineMode == 0 && Width > 0 && Height > 0) {
        p->setPen(QPen(Qt::black, 1));
        const int x = Left, y = Top, w = Width, h = Height;
        stroke(p, x, y + 3, x, y);
        stroke(p, x, y, x + 4, y);
        stroke(p, x, y + h - 3, x, y + h);
        stroke(p, x, y + h, x + 4, y + h);
        stroke(p, x + w - 3, y, x + w, y);
        stroke(p, x + w, y, x + w, y + 4);
        stroke(p, x + w - 3, y + h, x + w, y + h);
        stroke(p, x + w, y + h, x + w, y + h - 4);
    }
    const int x2 = RightEdge();
    const int y2 = BottomEdge();
    if (FrameTyp & frftRight)
        DrawFrameLine(x2, Top, x2, y2, true);
    if (FrameTyp & frftLeft)
        DrawFrameLine(Left, Top, Left, y2, true);
    if (FrameTyp & frftBottom)
        DrawFrameLine(Left, y2, x2, y2, false);
    if (FrameTyp & frftTop)
        DrawFrameLine(Left, Top, x2, Top, false);
    p->restore();
}

QRegion TfrView::GetClipRgn(bool extended)
{
    const double w = FrameWidth;
    int outer, inner;
    if (FrameStyle == psDouble) {
        outer = frDrawCoord(1.5 * w);
        inner = frDrawCoord(w + (w - 1) / 2);
    } else {
        outer = frDrawCoord(w / 2);
        inner = frDrawCoord((w - 1) / 2);
    }
    const qint64 l = qint64(Left) - ((FrameTyp & frftLeft) ? outer : 0);
    const qint64 t = qint64(Top) - ((FrameTyp & frftTop) ? outer : 0);
    const qint64 r = qint64(Left) + Width + 1 + ((FrameTyp & frftRight) ? inner : 0);
    const qint64 b = qint64(Top) + Height + 1 + ((FrameTyp & frftBottom) ? inner : 0);
    auto sat = [](qint64 v) { return int(std::clamp<qint64>(v, -frDrawLimit, frDrawLimit)); };
    QRect rc(QPoint(sat(l), sat(t)), QPoint(sat(r - 1), sat(b - 1)));
    if (extended)
        rc.adjust(-10, -10, 10, 10);
    return QRegion(rc);
}

// ---------------------------------------------------------------------------
// Band alignment and printing

void TfrView::AttachCanvas(QPainter *canvas)
{
    Canvas = canvas;
    CurrentView = this;
    if (BandAlign != baNone)
        ApplyBandAlign();
}

void TfrView::ApplyBandAlign()
{
    TfrAlignContext ctx;
    if (!EngineHooks.AlignContext || !EngineHooks.AlignContext(ctx))
        return;
    const int L = ctx.LeftMargin, R = ctx.RightMargin;
    TfrBandGeometry band;
    const bool haveBand = EngineMode == 1 && EngineHooks.CurrentBandGeometry
                          && EngineHooks.CurrentBandGeometry(band);

    auto sameRow = [&](TfrView *o) {
        int myTop = Top;
        if (haveBand && !(ctx.OutsideBands && ctx.OutsideBands(o)))
            myTop -= band.Top;
        if (o->Top == myTop)
            return true;
        return haveBand && (band.Flags & 1) && o->Top == Top;
    };
    TfrView *leftN = nullptr, *rightN = nullptr;
    for (TfrView *o : ctx.Objects) {
        if (o == this || o->TypeCode == 2 || !sameRow(o))
            continue;
        if (o->BandAlign == baLeft && o->Left < Left && (!leftN || o->Left > leftN->Left))
            leftN = o;
        if (o->BandAlign == baRight && o->Left > Left && (!rightN || o->Left <= rightN->Left))
            rightN = o;
    }
    // The band under this object, for the designer-only alignments.
    auto bandUnder = [&]() -> TfrView * {
        TfrView *found = nullptr;
        for (TfrView *o : ctx.Objects)
            if (o->TypeCode == 2 && Left >= o->Left && Left <= o->Left + o->Width && Top >= o->Top
                && Top <= o->Top + o->Height)
                found = o;
        return found;
    };
    switch (BandAlign) {
    case baLeft:
        Left = leftN ? leftN->Left + leftN->Width : L;
        break;
    case baRight:
        Left = rightN ? rightN->Left - Width - 1 : R - Width;
        break;
    case baRest:
        Left = leftN ? leftN->Left + leftN->Width : L;
        Width = rightN ? rightN->Left - Left : R - Left;
        break;
    case baCenter:
        Left = L + (R - L - Width) / 2;
        break;
    case baWidth:
        if (EngineMode == 0) {
            TfrView *b = bandUnder();
            if (b && b->FrameTyp >= 18 && b->FrameTyp <= 20) {
                Left = b->Left;
                Width = b->Width;
            } else {
                Left = L;
                Width = R - L;
            }
        } else if (!haveBand) {
            Left = L;
            Width = R - L - 1;
        }
        break;
    case baBottom:
        if (EngineMode == 0)
            if (TfrView *b = bandUnder())
                Top = b->Top + b->Height - Height;
        break;
    case baTop:
        if (EngineMode == 0)
            if (TfrView *b = bandUnder())
                Top = b->Top;
        break;
    default: break;
    }
}

void TfrView::WritePreparedRecord(QIODevice &stream)
{
    WriteStreamByte(stream, TypeCode);
    if (TypeCode == 10)
        WriteStreamString(stream, ClassName());
    SaveToStream(stream);
}

bool TfrView::BeginPrint()
{
    AttachCanvas(Canvas);
    PrintText = Memo;
    if (EngineHooks.BeforePrintObject)
        EngineHooks.BeforePrintObject(PrintText, this);
    if (EngineHooks.RunScript)
        EngineHooks.RunScript(this);
    return Visible;
}

void TfrView::Print(QIODevice &stream)
{
    if (!BeginPrint())
        return;
    const QString keptTag = Tag;
    if (Tag.contains(QLatin1Char('[')))
        ExpandVariables(Tag);
    TfrBandGeometry band;
    if (EngineHooks.CurrentBandGeometry && EngineHooks.CurrentBandGeometry(band)) {
        if (BandAlign == baBottom)
            Top = band.Top + band.Height - Height;
        else if (BandAlign == baTop)
            Top = band.Top;
        else if (BandAlign == baWidth && band.Type >= 18 && band.Type <= 20)
            Width = band.Width;
    }
    WritePreparedRecord(stream);
    Tag = keptTag;
}

void TfrView::ExportData()
{
    if (EngineHooks.ExportObject)
        EngineHooks.ExportObject(this, Left, Top);
}

void TfrView::DefinePopupMenu(QMenu *menu)
{
    if (!menu)
        return;
    menu->addSeparator();
    QAction *a = menu->addAction(QStringLiteral("伸展"));
    a->setCheckable(true);
    a->setChecked(Flags & 1);
    QObject::connect(a, &QAction::triggered, [this](bool on) {
        ApplyToSelection(this, 8, [on](TfrView *v) { v->Flags = on ? (v->Flags | 1) : (v->Flags & ~1); });
    });
}
