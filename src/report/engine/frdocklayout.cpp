#include "report/engine/frdocklayout.h"

#include <algorithm>
#include <limits>

namespace frdock {

namespace {

// A rectangle seen along a dock's rows ("along") and across them ("across").
struct Axis {
    bool horizontal;
    int along(const QRect &r) const { return horizontal ? r.x() : r.y(); }
    int across(const QRect &r) const { return horizontal ? r.y() : r.x(); }
    int length(const QRect &r) const { return horizontal ? r.width() : r.height(); }
    int thickness(const QRect &r) const { return horizontal ? r.height() : r.width(); }
    int length(const QSize &s) const { return horizontal ? s.width() : s.height(); }
    int thickness(const QSize &s) const { return horizontal ? s.height() : s.width(); }
    void shiftAcross(QRect &r, int d) const { horizontal ? r.translate(0, d) : r.translate(d, 0); }
    QPoint point(int along, int across) const { return horizontal ? QPoint(along, across) : QPoint(across, along); }
};

} // namespace

int relayDock(int align, int thickness, int rowSize, QList<DockItem> &items)
{
    if (items.isEmpty())
        return 1;
    if (rowSize < 1)
        rowSize = 1;
    const Axis ax{isHorizontalSide(align)};
    const bool far = isFarSide(align);
    auto nearEdge = [&](const QRect &r) { return ax.across(r); };
    auto farEdge = [&](const QRect &r) { return ax.across(r) + ax.thickness(r); };

    int n = thickness / rowSize;
    int c = n * rowSize + 1;

    // Empty rows go; the toolbars beyond them close the gap.
    auto occupied = [&](int b) {
        for (const DockItem &it : items) {
            if (!it.visible)
                continue;
            const int edge = far ? farEdge(it.rect) : nearEdge(it.rect);
            if (edge == b || (nearEdge(it.rect) < b && b < farEdge(it.rect)))
                return true;
        }
        return false;
    };
    if (!far) {
        int k = 0;
        while (k < n) {
            const int b = k * rowSize;
            if (occupied(b)) {
                ++k;
                continue;
            }
            for (DockItem &it : items)
                if (it.visible && nearEdge(it.rect) > b)
                    ax.shiftAcross(it.rect, -rowSize);
            --n;
            c -= rowSize;
        }
    } else {
        const int lines = n;
        for (int k = 0; k < lines; ++k) {
            const int b = thickness - k * rowSize;
            if (occupied(b))
                continue;
            for (DockItem &it : items)
                if (it.visible && farEdge(it.rect) > b)
                    ax.shiftAcross(it.rect, -rowSize);
            --n;
            c -= rowSize;
        }
    }

    // The first toolbar that needs room gets it.
    for (const DockItem &it : items) {
        if (!it.visible)
            continue;
        if (!far) {
            if (farEdge(it.rect) > c) {
                c = farEdge(it.rect) + 1;
                break;
            }
        } else if (nearEdge(it.rect) < 0) {
            const int grow = 1 - nearEdge(it.rect);
            for (DockItem &other : items)
                if (other.visible)
                    ax.shiftAcross(other.rect, grow);
            c += grow;
            break;
        }
    }
    if (far) {
        for (const DockItem &it : items)
            if (it.visible)
                c = std::max(c, farEdge(it.rect));
    }
    return c;
}

MoveResult moveInDock(int dockAlign, QSize dockSize, QSize barSize, const QList<QRect> &others, QPoint wanted,
                      bool canFloat)
{
    const Axis ax{isHorizontalSide(dockAlign)};
    const int len = ax.length(barSize), thick = ax.thickness(barSize);
    const int room = ax.length(dockSize);
    int x = ax.horizontal ? wanted.x() : wanted.y();
    const int y = ax.horizontal ? wanted.y() : wanted.x();

    MoveResult r;
    bool changed[4] = {false, false, false, false};
    for (int pass = 0; pass < 4; ++pass) {
        // A pass has changed the position when anything in it moved the toolbar, even
        // if a later neighbour moved it back.
        bool moved = false;
        auto set = [&](int v) {
            if (v != x) {
                x = v;
                moved = true;
            }
        };
        if (x < -20)
            r.floating = true;
        if (x > room - len)
            set(room - len);
        if (x < 0)
            set(0);
        if (!r.floating) {
            for (const QRect &o : others) {
                const int top = ax.across(o), bottom = top + ax.thickness(o);
                if (!(top < y + thick && y < bottom))
                    continue;
                const int left = ax.along(o), right = left + ax.length(o);
                if (x >= left && x < right)
                    set(right);
                else if (x < left && x + len > left)
                    set(left - len);
            }
        }
        changed[pass] = moved;
        if (!moved || r.floating)
            break;
    }
    if (!canFloat)
        r.floating = false;
    if (!r.floating && changed[0] && changed[1])
        r.refused = true;
    r.pos = ax.point(x, y);
    return r;
}

QPoint restorePosition(int dockAlign, QSize dockSize, QSize barSize, int rowSize, int maxRows, QPoint stored)
{
    const Axis ax{isHorizontalSide(dockAlign)};
    const int len = std::max(barSize.width(), barSize.height());
    const int thick = std::min(barSize.width(), barSize.height());
    const int along = std::clamp(ax.horizontal ? stored.x() : stored.y(), 0, std::max(0, ax.length(dockSize) - len));
    // A far dock is one pixel thicker than its rows reach (its toolbars lie inside that edge).
    const qint64 reach = qint64(std::max(1, maxRows)) * std::max(1, rowSize) + (isFarSide(dockAlign) ? 1 : 0);
    const int acrossMax = int(std::clamp<qint64>(reach - thick, 0, std::numeric_limits<int>::max()));
    const int across = std::clamp(ax.horizontal ? stored.y() : stored.x(), 0, acrossMax);
    return ax.point(along, across);
}

void arrangeItems(int orientation, QSize &barSize, QList<BarItem> &items)
{
    const bool vertical = orientation == orVertical;
    // Sort the items that take part by position; the others keep their places.
    QList<int> places;
    for (int i = 0; i < items.size(); ++i) {
        const BarItem &it = items[i];
        if (!it.visible || it.grip)
            continue;
        if (vertical && it.align != alTop && it.align != alBottom)
            continue;
        places << i;
    }
    QList<BarItem> sorted;
    for (int i : std::as_const(places))
        sorted << items[i];
    std::stable_sort(sorted.begin(), sorted.end(), [&](const BarItem &a, const BarItem &b) {
        return vertical ? a.rect.y() < b.rect.y() : a.rect.x() < b.rect.x();
    });
    for (int k = 0; k < places.size(); ++k)
        items[places[k]] = sorted[k];

    if (!vertical) {
        if (barSize.height() > barSize.width())
            barSize.transpose();
        for (BarItem &it : items) {
            if (!it.visible || it.align == alLeft || it.align == alRight)
                continue;
            if (it.align == alBottom) {
                it.align = alRight;
            } else {
                it.rect.moveLeft(it.rect.y());
                it.align = alLeft;
            }
        }
    } else {
        if (barSize.width() > barSize.height())
            barSize.transpose();
        for (BarItem &it : items) {
            if (!it.visible || it.align == alTop || it.align == alBottom)
                continue;
            if (it.align == alRight) {
                it.align = alBottom;
            } else {
                it.rect.moveTop(it.rect.x());
                it.align = alTop;
            }
        }
    }
}

void alignItems(const QRect &client, QList<BarItem> &items)
{
    QRect rest = client;
    for (int align : {alTop, alBottom, alLeft, alRight}) {
        QList<int> group;
        for (int i = 0; i < items.size(); ++i)
            if (items[i].visible && items[i].align == align)
                group << i;
        std::stable_sort(group.begin(), group.end(), [&](int a, int b) {
            const BarItem &p = items[a], &q = items[b];
            if (p.grip != q.grip)
                return p.grip;
            switch (align) {
            case alTop: return p.rect.y() < q.rect.y();
            case alBottom: return p.rect.y() + p.rect.height() > q.rect.y() + q.rect.height();
            case alLeft: return p.rect.x() < q.rect.x();
            default: return p.rect.x() + p.rect.width() > q.rect.x() + q.rect.width();
            }
        });
        for (int i : std::as_const(group)) {
            QRect &r = items[i].rect;
            switch (align) {
            case alTop:
                r = QRect(rest.x(), rest.y(), rest.width(), r.height());
                rest.setTop(rest.y() + r.height());
                break;
            case alBottom:
                r = QRect(rest.x(), rest.y() + rest.height() - r.height(), rest.width(), r.height());
                rest.setHeight(rest.height() - r.height());
                break;
            case alLeft:
                r = QRect(rest.x(), rest.y(), r.width(), rest.height());
                rest.setLeft(rest.x() + r.width());
                break;
            default:
                r = QRect(rest.x() + rest.width() - r.width(), rest.y(), r.width(), rest.height());
                rest.setWidth(rest.width() - r.width());
                break;
            }
        }
    }
}

int barLength(int orientation, const QList<BarItem> &items)
{
    int sum = 0;
    for (const BarItem &it : items)
        if (it.visible)
            sum += orientation == orVertical ? it.rect.height() : it.rect.width();
    return sum + 4;
}

} // namespace frdock
