#include "report/designer/frdesignmodel.h"

#include "report/engine/frband.h"
#include "report/engine/frline.h"
#include "report/engine/frlocale.h"
#include "report/engine/frmemo.h"
#include "report/engine/frpage.h"
#include "report/engine/frreport.h"
#include "report/engine/frstrings.h"
#include "report/engine/frutils.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr qint32 clNone = 0x1FFFFFFF;

bool isBand(const TfrView *v) { return v->TypeCode == 2; }
bool isText(const TfrView *v) { return dynamic_cast<const TfrMemoView *>(v) != nullptr; }
bool isLine(const TfrView *v) { return v->TypeCode == 4; }
int right(const TfrView *v) { return v->Left + v->Width; }
int bottom(const TfrView *v) { return v->Top + v->Height; }

// Remainder with the sign of the value, as a drag's delta is cut to whole steps.
int cutToSteps(int d, int step) { return step > 0 ? d - d % step : d; }

// Numbers sorted ascending; on a tie the later object in list order goes first.
void sortByKey(std::vector<std::pair<TfrView *, int>> &items, const std::function<int(TfrView *)> &key)
{
    for (size_t i = 0; i < items.size(); ++i)
        items[i].second = int(i);
    std::sort(items.begin(), items.end(), [&](const auto &a, const auto &b) {
        const int ka = key(a.first), kb = key(b.first);
        return ka != kb ? ka < kb : a.second > b.second;
    });
}
} // namespace

// ---------------------------------------------------------------------------
// Free helpers

TfrSurfacePlacement PlaceSurface(QSize page, int clientWidth, int pagePosition, bool unlimitedHeight,
                                 int scrollBarWidth)
{
    const int w = page.width(), h = page.height();
    int left;
    if (clientWidth - 11 < w || pagePosition == 3)
        left = 10;
    else if (pagePosition == 5)
        left = (clientWidth - w) / 2;
    else
        left = clientWidth - w - 11;
    TfrSurfacePlacement p;
    p.Bounds = QRect(left, 10, w, unlimitedHeight ? 3 * h : h);
    p.VerticalRange = p.Bounds.top() + p.Bounds.height() + 10;
    p.HorizontalRange = p.Bounds.left() + p.Bounds.width() - scrollBarWidth + 10;
    return p;
}

QSize DefaultObjectSize(int gridSize, int lastFontSize)
{
    QSize s(gridSize == 18 ? 108 : 96, gridSize == 18 ? 18 : 20);
    if (lastFontSize == 12 || lastFontSize == 13)
        s.setHeight(20);
    else if (lastFontSize >= 14 && lastFontSize <= 16)
        s.setHeight(24);
    return s;
}

double PixelsToUnits(double v, int units)
{
    switch (units) {
    case 1: return v * 5 / 18;
    case 2: return v * 5 / 18 / 25.4;
    default: return v;
    }
}

double UnitsToPixels(double v, int units)
{
    switch (units) {
    case 1: return v / 5 * 18;
    case 2: return v * 25.4 / 5 * 18;
    default: return v;
    }
}

QString UnitsCaption(int units)
{
    return GetLocalizedString(units == 1 ? 55331 : units == 2 ? 55332 : 55330);
}

QString UnitsPairText(double x, double y, int units)
{
    if (units == 0)
        return QString::number(frRoundEven(x)) + QLatin1Char(';') + QString::number(frRoundEven(y));
    return QString::number(PixelsToUnits(x, units), 'f', 2) + QStringLiteral("; ")
           + QString::number(PixelsToUnits(y, units), 'f', 2);
}

int frRoundEven(double v) { return frRound(v); }

std::unique_ptr<TfrView> CopyView(TfrView &source)
{
    std::unique_ptr<TfrView> copy = CreateView(source.TypeCode, source.ClassName());
    if (!copy)
        return nullptr;
    copy->Assign(source);
    copy->ObjectID = source.ObjectID;
    return copy;
}

QString BracketExpression(const QString &text)
{
    if (text.isEmpty())
        return text;
    if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']'))
        && text.indexOf(QLatin1Char('['), 1) < 0)
        return text;
    return QLatin1Char('[') + text + QLatin1Char(']');
}

// ---------------------------------------------------------------------------

TfrDesignModel::TfrDesignModel() = default;
TfrDesignModel::~TfrDesignModel() = default;

void TfrDesignModel::SetPage(TfrPage *page, int pageIndex)
{
    m_page = page;
    m_pageIndex = pageIndex;
    ReferenceObject = nullptr;
    RecountSelection();
    ComputeSelectionFrame();
}

void TfrDesignModel::Reset()
{
    m_undo.clear();
    m_redo.clear();
    ReferenceObject = nullptr;
    SelectedCount = 0;
    AnchorIndex = -1;
    SelectionFrameValid = false;
    m_page = nullptr;
    UndoStateChange();
}

void TfrDesignModel::MarkChanged()
{
    if (Changed)
        Changed();
}

void TfrDesignModel::UndoStateChange()
{
    if (UndoStateChanged)
        UndoStateChanged();
}

bool TfrDesignModel::MayMove(const TfrView &v) const
{
    return !(DesignerRestrictions & frdrDontMoveObj) && !(v.Restrictions & frrfDontMove);
}

bool TfrDesignModel::MaySize(const TfrView &v) const
{
    return !(DesignerRestrictions & frdrDontSizeObj) && !(v.Restrictions & frrfDontSize);
}

// ---------------------------------------------------------------------------
// Selection

std::vector<TfrView *> TfrDesignModel::SelectedObjects() const
{
    std::vector<TfrView *> out;
    if (m_page)
        for (TfrView *v : m_page->Objects)
            if (v->Selected)
                out.push_back(v);
    return out;
}

void TfrDesignModel::Select(TfrView *view, bool selected)
{
    if (!view || view->Selected == selected)
        return;
    view->Selected = selected;
    SelectedCount += selected ? 1 : -1;
}

void TfrDesignModel::SelectOnly(TfrView *view)
{
    UnselectAll();
    Select(view, true);
}

void TfrDesignModel::UnselectAll()
{
    if (m_page)
        for (TfrView *v : m_page->Objects)
            v->Selected = false;
    SelectedCount = 0;
}

void TfrDesignModel::SelectAll()
{
    if (!m_page)
        return;
    for (TfrView *v : m_page->Objects)
        v->Selected = true;
    SelectedCount = int(m_page->Objects.size());
    ComputeSelectionFrame();
}

void TfrDesignModel::RecountSelection()
{
    SelectedCount = 0;
    if (m_page)
        for (TfrView *v : m_page->Objects)
            SelectedCount += v->Selected ? 1 : 0;
}

int TfrDesignModel::LastSelectedIndex() const
{
    if (!m_page)
        return -1;
    for (int i = int(m_page->Objects.size()) - 1; i >= 0; --i)
        if (m_page->Objects[i]->Selected)
            return i;
    return int(m_page->Objects.size()) - 1;
}

TfrView *TfrDesignModel::LastSelected() const
{
    const int i = LastSelectedIndex();
    return i >= 0 ? m_page->Objects[i] : nullptr;
}

TfrView *TfrDesignModel::FirstSelectedBand() const
{
    if (m_page)
        for (TfrView *v : m_page->Objects)
            if (v->Selected && isBand(v))
                return v;
    return nullptr;
}

int TfrDesignModel::SelectionKind(bool clipboardHasObject) const
{
    int kind = clipboardHasObject ? skClipboard : 0;
    if (SelectedCount > 1) {
        kind |= skMany;
    } else if (SelectedCount == 1) {
        const TfrView *v = LastSelected();
        kind |= isBand(v) ? skBand : isText(v) ? skText : skOther;
    }
    return kind;
}

void TfrDesignModel::ComputeSelectionFrame()
{
    SelectionTopLeft = QPoint(10000, 10000);
    AnchorIndex = -1;
    SelectionFrameValid = false;
    if (SelectedCount < 2 || !m_page)
        return;
    for (int i = 0; i < m_page->Objects.size(); ++i) {
        TfrView *v = m_page->Objects[i];
        if (!v->Selected)
            continue;
        v->DesignRect = QRect(v->Left, v->Top, v->Width, v->Height);
        SelectionTopLeft.setX(std::min(SelectionTopLeft.x(), v->Left));
        SelectionTopLeft.setY(std::min(SelectionTopLeft.y(), v->Top));
        if (AnchorIndex < 0) {
            AnchorIndex = i;
            continue;
        }
        const TfrView *a = m_page->Objects[AnchorIndex];
        if (right(v) > right(a) || (right(v) == right(a) && bottom(v) > bottom(a)))
            AnchorIndex = i;
    }
    if (AnchorIndex < 0)
        return;
    const TfrView *a = m_page->Objects[AnchorIndex];
    DragRect = DragRectStart = QRect(QPoint(SelectionTopLeft.x(), SelectionTopLeft.y()), QPoint(right(a), bottom(a)));
    SelectionFrameValid = true;
}

QRect TfrDesignModel::SelectionArea() const
{
    QRegion r;
    for (TfrView *v : SelectedObjects())
        r += v->GetClipRgn(true);
    return r.boundingRect();
}

// ---------------------------------------------------------------------------
// Hit tests and snapping

int TfrDesignModel::HitTest(QPoint p) const
{
    if (!m_page)
        return -1;
    for (int i = int(m_page->Objects.size()) - 1; i >= 0; --i) {
        TfrView *v = m_page->Objects[i];
        if (v->Width < 3 || v->Height < 3) {
            QRect r(QPoint(std::min(v->Left, right(v)), std::min(v->Top, bottom(v))),
                    QPoint(std::max(v->Left, right(v)), std::max(v->Top, bottom(v))));
            if (r.adjusted(-3, -3, 3, 3).contains(p))
                return i;
        } else if (v->GetClipRgn(false).contains(p)) {
            return i;
        }
    }
    return -1;
}

bool TfrDesignModel::NearPoint(QPoint p, QPoint h, int t)
{
    return h.x() - t <= p.x() && p.x() <= h.x() + t + 1 && h.y() - t <= p.y() && p.y() <= h.y() + t + 1;
}

TfrHandle TfrDesignModel::HandleAt(const TfrView &v, QPoint p, int t) const
{
    const int l = v.Left, tp = v.Top, r = v.Left + v.Width, b = v.Top + v.Height;
    if (NearPoint(p, {l, tp}, t))
        return hTopLeft;
    if (NearPoint(p, {r, b}, t))
        return hBottomRight;
    if (NearPoint(p, {r, tp}, t))
        return hTopRight;
    if (NearPoint(p, {l, b}, t))
        return hBottomLeft;
    if (NearPoint(p, {l + v.Width / 2, tp}, t))
        return hTop;
    if (NearPoint(p, {l + v.Width / 2, b}, t))
        return hBottom;
    if (NearPoint(p, {l, tp + v.Height / 2}, t))
        return hLeft;
    if (NearPoint(p, {r, tp + v.Height / 2}, t))
        return hRight;
    return hNone;
}

void TfrDesignModel::SnapToGrid(int &x, int &y) const
{
    if (!Options.GridAlign)
        return;
    x = GridStepX() * (x / GridStepX());
    y = GridStepY() * (y / GridStepY());
}

bool TfrDesignModel::SnapDelta(int &dx, int &dy, bool altHeld) const
{
    const bool align = Options.GridAlign != altHeld;
    if (!align)
        return true;
    if (std::abs(dx) < GridStepX() && std::abs(dy) < GridStepY())
        return false;
    dx = cutToSteps(dx, GridStepX());
    dy = cutToSteps(dy, GridStepY());
    return true;
}

bool TfrDesignModel::SnapToCorner(int &x, int &y) const
{
    double best = GridStepX();
    QPoint bestPoint;
    bool found = false;
    if (m_page)
        for (TfrView *v : m_page->Objects)
            for (const QPoint c : {QPoint(v->Left, v->Top), QPoint(right(v), v->Top), QPoint(right(v), bottom(v)),
                                   QPoint(v->Left, bottom(v))}) {
                const double d = std::hypot(double(c.x() - x), double(c.y() - y));
                if (d < best) {
                    best = d;
                    bestPoint = c;
                    found = true;
                }
            }
    if (found) {
        x = bestPoint.x();
        y = bestPoint.y();
    }
    return found;
}

bool TfrDesignModel::FindColumnSplit(QPoint p, QRect &line, int &edgeX, TfrView *&leftObject,
                                     TfrView *&rightObject) const
{
    const std::vector<TfrView *> sel = SelectedObjects();
    for (TfrView *a : sel) {
        if (isBand(a) || isLine(a))
            continue;
        if (!(a->Left <= p.x() && p.x() <= right(a) && a->Top <= p.y() && p.y() <= bottom(a)))
            continue;
        for (TfrView *b : sel) {
            if (b == a || isBand(b))
                continue;
            if (right(b) == a->Left && a->Left <= p.x() && p.x() <= a->Left + 2) {
                edgeX = a->Left;
                leftObject = b;
                rightObject = a;
            } else if (b->Left == right(a) && b->Left - 2 <= p.x() && p.x() <= b->Left) {
                edgeX = b->Left;
                leftObject = a;
                rightObject = b;
            } else {
                continue;
            }
            line = QRect(QPoint(edgeX, a->Top), QPoint(edgeX, bottom(a)));
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Band order

void TfrDesignModel::SortBands()
{
    if (!m_page)
        return;
    QList<TfrView *> bands, others;
    for (TfrView *v : m_page->Objects)
        (isBand(v) ? bands : others).append(v);
    auto bandType = [](TfrView *v) { return static_cast<TfrBandView *>(v)->GetBandType(); };
    for (int i = 0; i < bands.size(); ++i)
        if (bandType(bands[i]) == btOverlay) {
            bands.move(i, 0);
            break;
        }
    QList<TfrView *> cross;
    for (int i = 0; i < bands.size();)
        if (static_cast<TfrBandView *>(bands[i])->IsCrossBand())
            cross.append(bands.takeAt(i));
        else
            ++i;
    m_page->Objects = bands + cross + others;
}

bool TfrDesignModel::PageHasBand(int bandType) const
{
    if (m_page)
        for (TfrView *v : m_page->Objects)
            if (isBand(v) && static_cast<TfrBandView *>(v)->GetBandType() == bandType)
                return true;
    return false;
}

int TfrDesignModel::FirstFreeBandType() const
{
    for (int t = 0; t <= 21; ++t)
        if (!PageHasBand(t))
            return t;
    return 5;
}

void TfrDesignModel::NormalizeView(TfrView &v)
{
    if (v.Width < 0) {
        v.Width = -v.Width;
        v.Left -= v.Width;
    }
    if (v.Height < 0) {
        v.Height = -v.Height;
        v.Top -= v.Height;
    }
}

// ---------------------------------------------------------------------------
// Formatting

void TfrDesignModel::DoClick(int tag, const TfrCommandInput &in)
{
    // Read what the control holds before anything changes: a value that cannot be read
    // is reported and leaves the objects and the undo list as they were.
    double frameWidth = 0;
    int fontSize = 0;
    if (tag == 6)
        frameWidth = ParseFloatText(in.Text);
    if (tag == 8) {
        bool ok = false;
        fontSize = in.Text.trimmed().toInt(&ok);
        if (!ok)
            throw EfrConversionError(QStringLiteral("'%1' is not a valid integer value").arg(in.Text));
    }
    RecordUndoStep(acEdit);
    TfrLastAttributes &last = frDesignerSession().Last;
    if (!(DesignerRestrictions & frdrDontModifyObj))
        for (TfrView *v : SelectedObjects()) {
            if (isBand(v) || (v->Restrictions & frrfDontModify))
                continue;
            auto *m = dynamic_cast<TfrMemoView *>(v);
            switch (tag) {
            case 1: case 2: case 3: case 4: {
                const quint16 bit = quint16(8 >> (tag - 1));
                v->FrameTyp = in.Down ? (v->FrameTyp | bit) : (v->FrameTyp & ~bit);
                break;
            }
            case 20: v->FrameTyp |= 15; last.FrameTyp = 15; break;
            case 21: v->FrameTyp &= 0xFFF0; last.FrameTyp = 0; break;
            case 5: v->FillColor = in.Color; last.FillColor = in.Color; break;
            case 19: v->FrameColor = in.Color; last.FrameColor = in.Color; break;
            case 6:
                v->FrameWidth = frameWidth;
                (isLine(v) ? last.LineWidth : last.FrameWidth) = frameWidth;
                break;
            case 25: case 26: case 27: case 28: case 29: case 30: v->FrameStyle = quint16(tag - 25); break;
            default:
                if (!m)
                    break;
                switch (tag) {
                case 7: m->Font.Name = in.Text; last.FontName = in.Text; break;
                case 8: m->Font.Size = fontSize; last.FontSize = m->Font.Size; break;
                case 9: case 10: case 18: {
                    int style = FontStylesToInt(m->Font.Style);
                    const int bit = tag == 9 ? 2 : tag == 10 ? 1 : 4;
                    style = in.Down ? (style | bit) : (style & ~bit);
                    last.FontStyle = style;
                    m->Font.Style = IntToFontStyles(style);
                    break;
                }
                case 17: m->Font.Color = in.Color; last.FontColor = in.Color; break;
                case 11: case 12: case 13: m->Alignment = (m->Alignment & ~3) | (tag - 11); last.Adjust = m->Alignment; break;
                case 22: m->Alignment = (m->Alignment & ~3) | 3; last.Adjust = m->Alignment; break;
                case 14: m->Alignment = in.Down ? (m->Alignment | 4) : (m->Alignment & ~4); last.Adjust = m->Alignment; break;
                case 15:
                    m->Alignment = (m->Alignment & ~0x18) | (in.Middle ? 8 : 0) | (in.Bottom ? 16 : 0);
                    last.Adjust = m->Alignment;
                    break;
                default: break;
                }
            }
        }
}

void TfrDesignModel::NudgeSelection(int dx, int dy, bool resize)
{
    RecordUndoStep(acEdit);
    for (TfrView *v : SelectedObjects()) {
        if (!resize || !MaySize(*v)) {
            if (MayMove(*v)) {
                v->Left += dx;
                v->Top += dy;
            }
        } else {
            v->Width += dx;
            v->Height += dy;
        }
    }
    ComputeSelectionFrame();
}

int TfrDesignModel::FindNeighbour(int dir) const
{
    const TfrView *S = LastSelected();
    if (!S || SelectedCount != 1 || !m_page)
        return -1;
    const int e = S->Left, o = e + S->Width, f = S->Top, t = f + S->Height;
    int best = -1, bestU = 10000;
    for (int i = 0; i < m_page->Objects.size(); ++i) {
        const TfrView *s = m_page->Objects[i];
        if (s->Selected || isBand(s))
            continue;
        int u;
        if (dir == 0 || dir == 1) {
            int v;
            if (s->Top + s->Height < f)
                v = f - s->Top - s->Height;
            else if (t < s->Top)
                v = s->Top - t;
            else
                v = (s->Top <= f && s->Top + s->Height >= t) ? 0 : s->Top - f;
            // An object on the other side is no neighbour (its sum could still fall below the bound).
            if ((dir == 1 && e >= s->Left) || (dir == 0 && s->Left + s->Width >= o))
                continue;
            if (dir == 1)
                u = s->Left < o ? v + s->Left - e : v + s->Left - o;
            else
                u = (e < s->Left + s->Width ? o + v : e + v) - s->Width - s->Left;
        } else {
            int u0;
            if (s->Left + s->Width < e)
                u0 = e - s->Left - s->Width;
            else if (o < s->Left)
                u0 = s->Left - o;
            else if (e < s->Left)
                u0 = s->Left - e;
            else
                u0 = s->Left + s->Width < o ? s->Left - e : 0;
            if ((dir == 3 && f >= s->Top) || (dir == 2 && s->Top + s->Height >= t))
                continue;
            if (dir == 3)
                u = s->Top < t ? u0 + s->Top - f : u0 + s->Top - t;
            else
                u = u0 + (f < s->Top + s->Height ? t : f) - s->Height - s->Top;
        }
        if (u < bestU) {
            bestU = u;
            best = i;
        }
    }
    return best;
}

bool TfrDesignModel::NeighbourStep(int dir, bool alt)
{
    const int n = FindNeighbour(dir);
    if (n < 0)
        return false;
    TfrView *nb = m_page->Objects[n];
    TfrView *S = LastSelected();
    if (!alt) {
        SelectOnly(nb);
        ReferenceObject = nb;
        return true;
    }
    if (!MayMove(*S))
        return true;
    // The push is a change like any other: it can be undone and marks the report changed.
    RecordUndoStep(acEdit);
    if (dir == 1 && nb->Left >= right(S))
        S->Left = nb->Left - S->Width;
    else if (dir == 3 && bottom(S) < nb->Top)
        S->Top = nb->Top - S->Height;
    else if (dir == 0 && S->Left >= right(nb))
        S->Left = right(nb);
    else if (dir == 2 && S->Top >= bottom(nb))
        S->Top = bottom(nb);
    return true;
}

bool TfrDesignModel::Align(int n, QSize surface)
{
    if ((DesignerRestrictions & frdrDontMoveObj) || !m_page)
        return false;
    const std::vector<TfrView *> sel = SelectedObjects();
    const int count = int(sel.size());
    TfrView *band = FirstSelectedBand();
    const bool bandBranch = (n == 1 || n == 5) && band;
    const int need = bandBranch ? 1 : (n == 3 || n == 8) ? 1 : (n == 4 || n == 9) ? 3 : 2;
    if (count < need)
        return false;
    RecordUndoStep(acEdit);
    TfrView *ref = ReferenceObject && ReferenceObject->Selected ? ReferenceObject : LastSelected();
    auto extreme = [&](const std::function<int(TfrView *)> &key, bool smallest) {
        TfrView *best = LastSelected();
        for (TfrView *v : sel)
            if (smallest ? key(v) < key(best) : key(v) > key(best))
                best = v;
        return best;
    };
    auto move = [&](TfrView *v, int left, int top) {
        if (MayMove(*v)) {
            v->Left = left;
            v->Top = top;
        }
    };
    if (bandBranch) {
        std::vector<std::pair<TfrView *, int>> inside;
        for (TfrView *v : m_page->Objects)
            if (!isBand(v) && band->Top <= v->Top && bottom(v) <= bottom(band))
                inside.push_back({v, 0});
        sortByKey(inside, [](TfrView *v) { return v->Left; });
        if (n == 1) {
            const int top = extreme([](TfrView *v) { return v->Left; }, true)->Top;
            int x = m_page->LeftMargin();
            for (auto &it : inside) {
                move(it.first, x, top);
                x += it.first->Width;
            }
        } else {
            const int top = extreme([](TfrView *v) { return right(v); }, false)->Top;
            int x = m_page->RightMargin();
            for (auto it = inside.rbegin(); it != inside.rend(); ++it) {
                move(it->first, x - it->first->Width, top);
                x -= it->first->Width;
            }
        }
    } else if (n == 4 || n == 9) {
        std::vector<std::pair<TfrView *, int>> items;
        for (TfrView *v : sel)
            items.push_back({v, 0});
        const bool horizontal = n == 4;
        sortByKey(items, [horizontal](TfrView *v) { return horizontal ? v->Left : v->Top; });
        const int first = horizontal ? items.front().first->Left : items.front().first->Top;
        const int lastKey = horizontal ? items.back().first->Left : items.back().first->Top;
        const int step = (lastKey - first) / (count - 1);
        for (int i = 1; i + 1 < count; ++i) {
            TfrView *v = items[i].first, *before = items[i - 1].first;
            if (!MayMove(*v))
                continue;
            if (horizontal)
                v->Left = before->Left + step;
            else
                v->Top = before->Top + step;
        }
    } else if (n == 3 || n == 8) {
        if (n == 3) {
            const int l = extreme([](TfrView *v) { return v->Left; }, true)->Left;
            const int r = right(extreme([](TfrView *v) { return right(v); }, false));
            const int shift = l + (r - l - surface.width()) / 2;
            for (TfrView *v : sel)
                move(v, v->Left - shift, v->Top);
        } else {
            const int t = extreme([](TfrView *v) { return v->Top; }, true)->Top;
            const int b = bottom(extreme([](TfrView *v) { return bottom(v); }, false));
            const int shift = t + (b - t - surface.height()) / 2;
            for (TfrView *v : sel)
                move(v, v->Left, v->Top - shift);
        }
    } else {
        for (TfrView *v : sel) {
            switch (n) {
            case 1: move(v, ref->Left, v->Top); break;
            case 5: move(v, right(ref) - v->Width, v->Top); break;
            case 2: move(v, ref->Left + ref->Width / 2 - v->Width / 2, v->Top); break;
            case 6: move(v, v->Left, ref->Top); break;
            case 7: move(v, v->Left, ref->Top + ref->Height / 2 - v->Height / 2); break;
            case 10: move(v, v->Left, ref->Top + ref->Height - v->Height); break;
            default: break;
            }
        }
    }
    ComputeSelectionFrame();
    return true;
}

void TfrDesignModel::FitToGrid()
{
    RecordUndoStep(acEdit);
    auto snap = [](int v, int step) {
        const int r = step * frRound(double(v) / step);
        return r;
    };
    for (TfrView *v : SelectedObjects()) {
        v->Left = snap(v->Left, GridStepX());
        v->Top = snap(v->Top, GridStepY());
        v->Width = snap(v->Width, GridStepX());
        v->Height = snap(v->Height, GridStepY());
        if (v->Width == 0)
            v->Width = GridStepX();
        if (v->Height == 0)
            v->Height = GridStepY();
    }
    ComputeSelectionFrame();
}

// ---------------------------------------------------------------------------
// Gestures

void TfrDesignModel::MoveSelection(int dx, int dy)
{
    for (TfrView *v : SelectedObjects())
        if (MayMove(*v)) {
            v->Left += dx;
            v->Top += dy;
        }
}

bool TfrDesignModel::TakeObjectsInsideBand()
{
    if (SelectedCount != 1)
        return false;
    TfrView *band = LastSelected();
    if (!band || !isBand(band) || (band->Restrictions & frrfDontMove))
        return false;
    for (TfrView *v : m_page->Objects)
        if (!isBand(v) && v->Left >= band->Left && right(v) <= right(band) && v->Top >= band->Top
            && bottom(v) <= bottom(band))
            Select(v, true);
    ComputeSelectionFrame();
    return true;
}

void TfrDesignModel::ResizeSingle(TfrSizeCursor cursor, int dx, int dy, QPoint lastPoint, int &edge)
{
    TfrView *v = LastSelected();
    if (!v || !MaySize(*v))
        return;
    auto normalise = [v] {
        const bool flipped = v->Width < 0 || v->Height < 0;
        NormalizeView(*v);
        return flipped;
    };
    const int l = v->Left, t = v->Top, r = v->Left + v->Width;
    switch (cursor) {
    case scNWSE:
        if (edge == 2 || (edge != 1 && !NearPoint(lastPoint, {l, t}, 3))) {
            v->Width += dx;
            v->Height += dy;
            edge = normalise() ? 1 : 2;
        } else {
            v->Left += dx; v->Width -= dx; v->Top += dy; v->Height -= dy;
            edge = normalise() ? 2 : 1;
        }
        break;
    case scNESW:
        if (edge == 4 || (edge != 3 && !NearPoint(lastPoint, {r, t}, 3))) {
            v->Left += dx; v->Width -= dx; v->Height += dy;
            edge = normalise() ? 3 : 4;
        } else {
            v->Top += dy; v->Width += dx; v->Height -= dy;
            edge = normalise() ? 4 : 3;
        }
        break;
    case scWE:
        if (edge == 6 || (edge != 5 && !NearPoint(lastPoint, {l, t + v->Height / 2}, 3))) {
            v->Width += dx;
            edge = normalise() ? 5 : 6;
        } else {
            v->Left += dx; v->Width -= dx;
            edge = normalise() ? 6 : 5;
        }
        break;
    case scNS:
        if (edge == 8 || (edge != 7 && !NearPoint(lastPoint, {l + v->Width / 2, t}, 3))) {
            v->Height += dy;
            edge = normalise() ? 7 : 8;
        } else {
            v->Top += dy; v->Height -= dy;
            edge = normalise() ? 8 : 7;
        }
        break;
    case scNone:
        break;
    }
}

void TfrDesignModel::ResizeGroup(int dx, int dy)
{
    QRect &f = DragRect;
    // Right and bottom grow unless either would pass the left or top edge.
    if (f.right() + dx >= f.left() && f.bottom() + dy >= f.top()) {
        f.setRight(f.right() + dx);
        f.setBottom(f.bottom() + dy);
    }
    const int w0 = DragRectStart.right() - DragRectStart.left(), h0 = DragRectStart.bottom() - DragRectStart.top();
    // An axis that started with no extent keeps its scale.
    const double kx = w0 != 0 ? double(f.right() - f.left()) / w0 : 1.0;
    const double ky = h0 != 0 ? double(f.bottom() - f.top()) / h0 : 1.0;
    for (TfrView *v : SelectedObjects()) {
        if (!MaySize(*v))
            continue;
        const double bx = (v->DesignRect.left() - SelectionTopLeft.x()) * kx;
        const double ax = v->DesignRect.width() * kx;
        v->Left = frRound(bx) + SelectionTopLeft.x();
        v->Width = frRound(ax) + (frRound(bx + ax) - frRound(bx) - frRound(ax));
        const double by = (v->DesignRect.top() - SelectionTopLeft.y()) * ky;
        const double ay = v->DesignRect.height() * ky;
        v->Top = frRound(by) + SelectionTopLeft.y();
        v->Height = frRound(ay) + (frRound(by + ay) - frRound(by) - frRound(ay));
    }
}

void TfrDesignModel::SplitColumns(TfrView *l, TfrView *r, int d)
{
    if ((DesignerRestrictions & (frdrDontSizeObj | frdrDontMoveObj)) || !l || !r)
        return;
    if ((l->Restrictions & frrfDontSize) || (r->Restrictions & (frrfDontSize | frrfDontMove)))
        return;
    if (l->Width + d > 0 && r->Width - d > 0) {
        l->Width += d;
        r->Left += d;
        r->Width -= d;
    }
}

void TfrDesignModel::SelectInRect(QRect rect)
{
    const QRect r = rect.normalized();
    auto touches = [&](TfrView *v) {
        return v->Left <= r.right() && right(v) >= r.left() && v->Top <= r.bottom() && bottom(v) >= r.top();
    };
    UnselectAll();
    if (!m_page)
        return;
    for (TfrView *v : m_page->Objects)
        if (!isBand(v) && touches(v))
            Select(v, true);
    if (SelectedCount == 0)
        for (TfrView *v : m_page->Objects)
            if (touches(v))
                Select(v, true);
    ComputeSelectionFrame();
}

// ---------------------------------------------------------------------------
// Insertion

void TfrDesignModel::PrepareNewObject(TfrView &v, bool addIn)
{
    const TfrLastAttributes &last = frDesignerSession().Last;
    if (!addIn)
        v.FrameWidth = last.FrameWidth;
    v.FrameColor = last.FrameColor;
    v.FillColor = last.FillColor;
    if (auto *m = dynamic_cast<TfrMemoView *>(&v)) {
        m->FrameTyp = last.FrameTyp;
        if (!last.FontName.isEmpty())
            m->Font.Name = last.FontName;
        m->Font.Size = last.FontSize;
        m->Font.Color = last.FontColor;
        m->Font.Style = IntToFontStyles(last.FontStyle);
        m->Font.Charset = last.Charset;
        m->Alignment = last.Adjust;
    }
}

void TfrDesignModel::AddObject(TfrView *v)
{
    UnselectAll();
    m_page->Add(v);
    Select(v, true);
    ReferenceObject = v;
    ComputeSelectionFrame();
}

TfrView *TfrDesignModel::InsertObject(int tag, QRect rect, int surfaceWidth, QString *error)
{
    if (!m_page || (DesignerRestrictions & frdrDontCreateObj))
        return nullptr;
    std::unique_ptr<TfrView> v;
    bool addIn = false;
    if (tag >= 10) {
        const int n = tag - 10;
        if (n >= AddInObjectCount())
            return nullptr;
        const QString cls = AddInObject(n).ClassName;
        for (TfrView *o : m_page->Objects)
            if (o->TypeCode == 10 && o->ClassName() == cls && (o->Flags & 0x2000)) {
                if (error)
                    *error = GetLocalizedString(55442).replace(QStringLiteral("%s"), cls);
                return nullptr;
            }
        v = CreateView(10, cls);
        addIn = true;
    } else {
        v = CreateView(tag);
    }
    if (!v)
        return nullptr;
    Q_UNUSED(surfaceWidth);
    v->CreateUniqueName();
    QRect r = rect.normalized();
    if (r.width() == 0 || r.height() == 0) {
        const QSize s = tag == 0 ? DefaultObjectSize(Options.GridSize, frDesignerSession().Last.FontSize)
                                 : QSize(36, 36);
        r.setSize(s);
    }
    v->Left = r.left();
    v->Top = r.top();
    if (v->Width == 0 && v->Height == 0) {
        v->Width = r.width();
        v->Height = r.height();
    }
    PrepareNewObject(*v, addIn);
    TfrView *raw = v.release();
    AddObject(raw);
    RecordUndoStep(acInsert);
    return raw;
}

TfrView *TfrDesignModel::InsertBand(int bandType, QRect rect, int surfaceWidth)
{
    if (!m_page || (DesignerRestrictions & frdrDontCreateObj))
        return nullptr;
    auto band = std::make_unique<TfrBandView>();
    band->SetBandType(bandType);
    QString base = BandTypeCaption(bandType);
    const int blank = base.indexOf(QLatin1Char(' '));
    if (blank >= 0) {
        base.remove(blank, 1);
        if (blank < base.size())
            base[blank] = base[blank].toUpper();
    }
    band->BaseName = base;
    band->CreateUniqueName();
    QRect r = rect.normalized();
    if (r.width() == 0 || r.height() == 0)
        r.setSize(QSize(36, 36));
    band->Left = r.left();
    band->Top = r.top();
    band->Width = r.width();
    band->Height = r.height();
    if (band->IsCrossBand() && band->Width > surfaceWidth - 10)
        band->Width = 40;
    PrepareNewObject(*band, false);
    TfrView *raw = band.release();
    AddObject(raw);
    SortBands();
    RecordUndoStep(acInsert);
    return raw;
}

TfrView *TfrDesignModel::InsertLine(QRect rect)
{
    if (!m_page || (DesignerRestrictions & frdrDontCreateObj))
        return nullptr;
    // rect holds the two ends as (left, top) and (right, bottom), unnormalised.
    const int x1 = rect.left(), y1 = rect.top(), x2 = rect.right(), y2 = rect.bottom();
    if (x1 == x2 && y1 == y2)
        return nullptr;
    std::unique_ptr<TfrView> v = CreateView(4);
    v->CreateUniqueName();
    v->Left = x1;
    v->Top = y1;
    v->Width = x2 - x1;
    v->Height = y2 - y1;
    if (v->Width < 0) {
        v->Width = -v->Width;
        if (std::abs(v->Height) < v->Width)
            v->Left = x2;
    }
    if (v->Height < 0) {
        v->Height = -v->Height;
        if (std::abs(v->Width) < v->Height)
            v->Top = y2;
    }
    const TfrLastAttributes &last = frDesignerSession().Last;
    v->FrameWidth = last.LineWidth;
    v->FrameColor = last.FrameColor;
    TfrView *raw = v.release();
    AddObject(raw);
    RecordUndoStep(acInsert);
    return raw;
}

// ---------------------------------------------------------------------------
// Undo and redo

void TfrDesignModel::RecordUndoStep(int action)
{
    if (Options.DisableUndo || !m_page) {
        MarkChanged();
        return;
    }
    m_redo.clear();
    std::vector<Pair> pairs;
    for (int i = 0; i < m_page->Objects.size(); ++i) {
        TfrView *v = m_page->Objects[i];
        if ((action == acZOrder || v->Selected) && !(v->Flags & 0x4000))
            pairs.push_back({v, i});
    }
    if (!pairs.empty())
        PushStep(m_undo, action, pairs);
    MarkChanged();
    UndoStateChange();
}

void TfrDesignModel::PushStep(std::deque<Step> &list, int action, const std::vector<Pair> &pairs)
{
    if (int(list.size()) >= MaxSteps)
        list.pop_front();
    Step step;
    step.Action = action;
    step.Page = m_pageIndex;
    for (const Pair &p : pairs) {
        Entry e;
        e.ObjectID = p.first->ObjectID;
        e.Position = p.second;
        if (action == acDelete || action == acEdit)
            e.Copy = CopyView(*p.first);
        step.Entries.push_back(std::move(e));
    }
    list.push_back(std::move(step));
    MarkChanged();
}

bool TfrDesignModel::ApplyStep(std::deque<Step> &from, std::deque<Step> &to)
{
    if (from.empty() || !m_page || from.back().Page != m_pageIndex)
        return false;
    Step step = std::move(from.back());
    from.pop_back();
    const int count = int(m_page->Objects.size());
    // What can still be applied: an object gone, one still there, or a position out of
    // range is passed over.
    std::vector<Pair> inverse;
    std::vector<Entry *> apply;
    for (Entry &e : step.Entries) {
        const int at = m_page->FindObjectByID(e.ObjectID);
        switch (step.Action) {
        case acInsert:
            if (at < 0)
                continue;
            inverse.push_back({m_page->Objects[at], at});
            break;
        case acDelete:
            if (at >= 0 || !e.Copy)
                continue;
            inverse.push_back({e.Copy.get(), e.Position});
            break;
        case acEdit:
            if (e.Position < 0 || e.Position >= count || !e.Copy)
                continue;
            inverse.push_back({m_page->Objects[e.Position], e.Position});
            break;
        case acZOrder:
            if (at < 0)
                continue;
            inverse.push_back({m_page->Objects[at], at});
            break;
        default:
            continue;
        }
        apply.push_back(&e);
    }
    static const int inverseOf[] = {acDelete, acInsert, acEdit, acZOrder};
    PushStep(to, inverseOf[step.Action], inverse);
    for (Entry *e : apply) {
        switch (step.Action) {
        case acInsert:
            m_page->Delete(m_page->FindObjectByID(e->ObjectID));
            break;
        case acDelete: {
            TfrView *v = e->Copy.release();
            v->Selected = false;
            v->ParentPage = m_page;
            m_page->Objects.insert(std::clamp(e->Position, 0, int(m_page->Objects.size())), v);
            break;
        }
        case acEdit:
            m_page->Objects[e->Position]->Assign(*e->Copy);
            break;
        case acZOrder: {
            const int at = m_page->FindObjectByID(e->ObjectID);
            if (at >= 0)
                m_page->Objects.move(at, std::clamp(e->Position, 0, int(m_page->Objects.size()) - 1));
            break;
        }
        default:
            break;
        }
    }
    UnselectAll();
    ReferenceObject = nullptr;
    ComputeSelectionFrame();
    UndoStateChange();
    return true;
}

bool TfrDesignModel::Undo() { return ApplyStep(m_undo, m_redo); }
bool TfrDesignModel::Redo() { return ApplyStep(m_redo, m_undo); }

void TfrDesignModel::ClearUndo()
{
    m_undo.clear();
    UndoStateChange();
}

void TfrDesignModel::ClearRedo()
{
    m_redo.clear();
    UndoStateChange();
}

// ---------------------------------------------------------------------------
// Clipboard, delete, z-order

bool TfrDesignModel::ClipboardHasObject() { return !frDesignerSession().ClipboardStreams.isEmpty(); }

void TfrDesignModel::CopySelection()
{
    QList<QByteArray> streams;
    const int keptVersion = StreamVersion;
    StreamVersion = frCurrentVersion;
    for (TfrView *v : SelectedObjects()) {
        QBuffer b;
        b.open(QIODevice::WriteOnly);
        WriteStreamByte(b, v->TypeCode);
        WriteStreamString(b, v->ClassName());
        v->RecordMode = 0;
        v->SaveToStream(b);
        streams.append(b.data());
    }
    StreamVersion = keptVersion;
    frDesignerSession().ClipboardStreams = streams;
}

void TfrDesignModel::CutSelection()
{
    CopySelection();
    DeleteSelection();
    ReferenceObject = nullptr;
}

void TfrDesignModel::DeleteSelection()
{
    if (!m_page)
        return;
    // Objects that may not be deleted stay selected out of the step: undoing it then
    // brings back only what was really removed.
    const bool allowed = !(DesignerRestrictions & frdrDontDeleteObj);
    std::vector<TfrView *> protectedOnes;
    for (TfrView *v : SelectedObjects())
        if (!allowed || (v->Restrictions & frrfDontDelete)) {
            protectedOnes.push_back(v);
            v->Selected = false;
        }
    RecordUndoStep(acDelete);
    for (TfrView *v : protectedOnes)
        v->Selected = true;
    for (int i = int(m_page->Objects.size()) - 1; i >= 0; --i) {
        TfrView *v = m_page->Objects[i];
        if (!v->Selected || !allowed || (v->Restrictions & frrfDontDelete))
            continue;
        if (isBand(v) && static_cast<TfrBandView *>(v)->GetBandType() == btChild)
            RenameBandReferences(m_page, v->Name, QString());
        if (ReferenceObject == v)
            ReferenceObject = nullptr;
        m_page->Delete(i);
    }
    UnselectAll();
    ReferenceObject = nullptr;
    ComputeSelectionFrame();
}

void TfrDesignModel::PasteOne(QIODevice &s, int pass, QPoint &smallest, QPoint origin, TfrView *targetBand)
{
    const quint8 type = ReadStreamByte(s);
    const QString cls = ReadStreamString(s);
    for (TfrView *o : m_page->Objects)
        if (o->TypeCode == type && o->ClassName() == cls && (o->Flags & 0x2000))
            return;
    std::unique_ptr<TfrView> v = CreateView(type, cls);
    if (!v)
        return;
    StreamVersion = frCurrentVersion;
    v->RecordMode = 0;
    v->LoadFromStream(s);
    if (pass == 0) {
        smallest.setX(std::min(smallest.x(), v->Left));
        smallest.setY(std::min(smallest.y(), v->Top));
        return;
    }
    if (CurrentReport && CurrentReport->FindObject(v->Name))
        v->CreateUniqueName();
    v->SetPropValue(QStringLiteral("Name"), v->Name);
    if (isBand(v.get())) {
        const int t = static_cast<TfrBandView *>(v.get())->GetBandType();
        const bool repeatable = (t >= 4 && t <= 12) || t == 16 || t == 17 || t == btChild;
        if (!repeatable && PageHasBand(t))
            return;
    }
    const int gx = GridStepX(), gy = GridStepY();
    v->Left = v->Left - smallest.x() + (origin.x() < 0 ? gx * ((-origin.x()) / gx) : 0);
    v->Top = v->Top - smallest.y() + (origin.y() < 0 ? gy * ((-origin.y()) / gy) : 0);
    if (targetBand)
        v->Top = targetBand->Top;
    v->Selected = true;
    ++SelectedCount;
    m_page->Add(v.release());
}

void TfrDesignModel::Paste(QPoint surfaceOrigin)
{
    if (!m_page || (DesignerRestrictions & frdrDontCreateObj))
        return;
    // The first selected band is the target; everything else is deselected too, so that
    // the count stays in step and the insert step covers only what is pasted.
    TfrView *target = FirstSelectedBand();
    UnselectAll();
    const int keptVersion = StreamVersion;
    QPoint smallest(32767, 32767);
    const QList<QByteArray> streams = frDesignerSession().ClipboardStreams;
    try {
        for (int pass = 0; pass < 2; ++pass)
            for (const QByteArray &data : streams) {
                QBuffer b;
                b.setData(data);
                b.open(QIODevice::ReadOnly);
                PasteOne(b, pass, smallest, surfaceOrigin, target);
            }
    } catch (...) {
        StreamVersion = keptVersion;
        RecountSelection();
        throw;
    }
    StreamVersion = keptVersion;
    RecountSelection();
    SortBands();
    ComputeSelectionFrame();
    RecordUndoStep(acInsert);
}

void TfrDesignModel::BringToFront()
{
    if (!m_page || SelectedCount == 0)
        return;
    RecordUndoStep(acZOrder);
    QList<TfrView *> &objs = m_page->Objects;
    const int n = int(objs.size());
    for (int k = 0, i = 0; k < n; ++k) {
        TfrView *v = objs[i];
        if (v->Selected && MayMove(*v))
            objs.append(objs.takeAt(i));
        else
            ++i;
    }
    SortBands();
}

void TfrDesignModel::SendToBack()
{
    if (!m_page || SelectedCount == 0)
        return;
    RecordUndoStep(acZOrder);
    QList<TfrView *> &objs = m_page->Objects;
    const int n = int(objs.size());
    for (int k = 0, i = n - 1; k < n; ++k) {
        TfrView *v = objs[i];
        if (v->Selected && MayMove(*v))
            objs.prepend(objs.takeAt(i));
        else
            --i;
    }
    SortBands();
}
