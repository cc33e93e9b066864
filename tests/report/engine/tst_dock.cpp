// Docks and toolbars: the row algebra, moves along and across rows, tearing off,
// floating and docking again, and the stored toolbar state.
#include "report/engine/frdock.h"
#include "report/engine/frdocklayout.h"
#include "report/engine/frfloatwindow.h"
#include "report/engine/frhandlerguard.h"
#include "report/engine/frtbitems.h"
#include "report/engine/frtoolbar.h"

#include "common/settings.h"
#include "scriptedprompt.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QRubberBand>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(QList<QRect>)

namespace {

QList<frdock::DockItem> dockItems(const QList<QRect> &rects)
{
    QList<frdock::DockItem> out;
    for (const QRect &r : rects)
        out << frdock::DockItem{r, true};
    return out;
}

QList<QRect> rectsOf(const QList<frdock::DockItem> &items)
{
    QList<QRect> out;
    for (const frdock::DockItem &it : items)
        out << it.rect;
    return out;
}

// A window with four docks along its edges (placed by hand, as no layout is needed
// to see what the docks do).
struct Form {
    QWidget form;
    TfrDock *top, *bottom, *left, *right;
    Form()
    {
        form.setObjectName(QStringLiteral("DesignerForm"));
        form.setGeometry(100, 100, 600, 400);
        top = new TfrDock(frdock::alTop, &form);
        top->setObjectName(QStringLiteral("TopDock"));
        top->setGeometry(0, 0, 600, 1);
        bottom = new TfrDock(frdock::alBottom, &form);
        bottom->setObjectName(QStringLiteral("BottomDock"));
        bottom->setGeometry(0, 399, 600, 1);
        left = new TfrDock(frdock::alLeft, &form);
        left->setObjectName(QStringLiteral("LeftDock"));
        left->setGeometry(0, 30, 1, 340);
        right = new TfrDock(frdock::alRight, &form);
        right->setObjectName(QStringLiteral("RightDock"));
        right->setGeometry(599, 30, 1, 340);
        form.show();
    }
    // A toolbar of three 23-pixel items, docked in a new row of `dock`.
    TfrToolBar *toolbar(const QString &name, TfrDock *dock)
    {
        auto *bar = new TfrToolBar(dock);
        bar->setObjectName(name);
        bar->SetCaption(name);
        for (int i = 0; i < 3; ++i) {
            auto *item = new QWidget(bar);
            item->setObjectName(name + QString::number(i + 1));
            item->resize(24, 24);
        }
        QCoreApplication::processEvents();
        bar->AddToDock(dock);
        bar->AdjustBounds();
        return bar;
    }
};

void mouse(QWidget *w, QEvent::Type type, const QPoint &global)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(w->mapFromGlobal(global)), QPointF(global), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

QStringList itemNames(TfrToolBar *bar)
{
    QStringList out;
    for (QWidget *w : bar->Items())
        out << w->objectName();
    return out;
}

} // namespace

class TestDock : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void relay_data();
    void relay();
    void moves_data();
    void moves();
    void itemsTurnWithTheDock();
    void addToDockOpensRows();
    void dragAlongAndAcrossRows();
    void tearOffPast20Pixels_data();
    void tearOffPast20Pixels();
    void loneToolbarDraggedOutOfItsDockFloats();
    void floatingToolbarDocksOverALeftDock();
    void horizontalOnlyToolbarStaysFloating();
    void toolbarItemsFollowTheDock();
    void stateRoundTrip();
    void stateNamingSomethingElseIsIgnored();
    void restoredPositionStaysReachable_data();
    void restoredPositionStaysReachable();
    void handlerErrorsAreShownOnce();

private:
    QTemporaryDir m_dir;
};

void TestDock::initTestCase()
{
    QVERIFY(m_dir.isValid());
    orv::setUserSettingsPath(m_dir.filePath(QStringLiteral("user.ini")));
}

void TestDock::relay_data()
{
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("thickness");
    QTest::addColumn<QList<QRect>>("items");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QList<QRect>>("after");

    QTest::newRow("no toolbars") << frdock::alTop << 53 << QList<QRect>{} << 1 << QList<QRect>{};
    QTest::newRow("top: second row empties")
        << frdock::alTop << 53 << QList<QRect>{{0, 0, 84, 26}} << 27 << QList<QRect>{{0, 0, 84, 26}};
    QTest::newRow("top: middle row empty")
        << frdock::alTop << 79 << QList<QRect>{{0, 0, 84, 26}, {0, 52, 84, 26}} << 53
        << QList<QRect>{{0, 0, 84, 26}, {0, 26, 84, 26}};
    QTest::newRow("top: first row empty")
        << frdock::alTop << 53 << QList<QRect>{{0, 26, 84, 26}} << 27 << QList<QRect>{{0, 0, 84, 26}};
    QTest::newRow("top: a toolbar below the last row opens one")
        << frdock::alTop << 27 << QList<QRect>{{0, 0, 84, 26}, {100, 26, 84, 26}} << 53
        << QList<QRect>{{0, 0, 84, 26}, {100, 26, 84, 26}};
    QTest::newRow("right: middle row empty")
        << frdock::alRight << 79 << QList<QRect>{{53, 0, 26, 84}, {1, 0, 26, 84}} << 53
        << QList<QRect>{{27, 0, 26, 84}, {1, 0, 26, 84}};
    QTest::newRow("right: two empty rows")
        << frdock::alRight << 105 << QList<QRect>{{79, 0, 26, 84}, {1, 0, 26, 84}} << 53
        << QList<QRect>{{27, 0, 26, 84}, {1, 0, 26, 84}};
    QTest::newRow("bottom: a toolbar before the origin opens an inner row")
        << frdock::alBottom << 27 << QList<QRect>{{0, 1, 84, 26}, {0, -25, 84, 26}} << 53
        << QList<QRect>{{0, 27, 84, 26}, {0, 1, 84, 26}};
    QTest::newRow("bottom: first toolbar") << frdock::alBottom << 1 << QList<QRect>{{0, -25, 84, 26}} << 27
                                           << QList<QRect>{{0, 1, 84, 26}};
    QTest::newRow("left: a new column") << frdock::alLeft << 27 << QList<QRect>{{0, 0, 26, 84}, {26, 0, 26, 84}} << 53
                                        << QList<QRect>{{0, 0, 26, 84}, {26, 0, 26, 84}};
}

void TestDock::relay()
{
    QFETCH(int, align);
    QFETCH(int, thickness);
    QFETCH(QList<QRect>, items);
    QFETCH(int, expected);
    QFETCH(QList<QRect>, after);
    QList<frdock::DockItem> list = dockItems(items);
    QCOMPARE(frdock::relayDock(align, thickness, 26, list), expected);
    QCOMPARE(rectsOf(list), after);

    // Hidden toolbars take no room.
    if (!items.isEmpty()) {
        QList<frdock::DockItem> withHidden = dockItems(items);
        withHidden << frdock::DockItem{QRect(300, align == frdock::alTop ? 130 : 0, 84, 26), false};
        QCOMPARE(frdock::relayDock(align, thickness, 26, withHidden), expected);
    }
}

void TestDock::moves_data()
{
    QTest::addColumn<int>("align");
    QTest::addColumn<QList<QRect>>("others");
    QTest::addColumn<QPoint>("wanted");
    QTest::addColumn<bool>("canFloat");
    QTest::addColumn<QString>("result");   // "refused", "float" or the position

    const QList<QRect> none;
    QTest::newRow("21 past the start tears off") << frdock::alTop << none << QPoint(-21, 0) << true << "float";
    QTest::newRow("20 past the start stays") << frdock::alTop << none << QPoint(-20, 0) << true << "0,0";
    QTest::newRow("without CanFloat it stays at the start") << frdock::alTop << none << QPoint(-60, 0) << false << "0,0";
    QTest::newRow("not beyond the end") << frdock::alTop << none << QPoint(500, 0) << true << "316,0";
    QTest::newRow("onto another: behind it") << frdock::alTop << QList<QRect>{{100, 0, 84, 26}} << QPoint(120, 0) << true
                                             << "184,0";
    QTest::newRow("against another from the left") << frdock::alTop << QList<QRect>{{100, 0, 84, 26}} << QPoint(60, 0)
                                                   << true << "16,0";
    QTest::newRow("another row does not matter") << frdock::alTop << QList<QRect>{{100, 26, 84, 26}} << QPoint(120, 0)
                                                 << true << "120,0";
    QTest::newRow("no room: refused") << frdock::alTop << QList<QRect>{{0, 0, 250, 26}, {300, 0, 100, 26}}
                                      << QPoint(260, 0) << true << "refused";
    QTest::newRow("vertical dock: past the top") << frdock::alLeft << none << QPoint(0, -21) << true << "float";
    QTest::newRow("vertical dock: along y") << frdock::alRight << QList<QRect>{{1, 0, 26, 84}} << QPoint(1, 50) << true
                                            << "1,84";
}

void TestDock::moves()
{
    QFETCH(int, align);
    QFETCH(QList<QRect>, others);
    QFETCH(QPoint, wanted);
    QFETCH(bool, canFloat);
    QFETCH(QString, result);
    const bool horizontal = frdock::isHorizontalSide(align);
    const QSize dock = horizontal ? QSize(400, 27) : QSize(27, 400);
    const QSize bar = horizontal ? QSize(84, 26) : QSize(26, 84);
    const frdock::MoveResult r = frdock::moveInDock(align, dock, bar, others, wanted, canFloat);
    const QString got = r.refused ? QStringLiteral("refused")
                                  : r.floating ? QStringLiteral("float")
                                               : QStringLiteral("%1,%2").arg(r.pos.x()).arg(r.pos.y());
    QCOMPARE(got, result);
}

void TestDock::itemsTurnWithTheDock()
{
    // A horizontal toolbar: grip and three items side by side.
    QList<frdock::BarItem> items{{QRect(1, 1, 11, 11), frdock::alLeft, true, true, -1},
                         {QRect(35, 1, 23, 24), frdock::alLeft, true, false, 1},
                         {QRect(12, 1, 23, 24), frdock::alLeft, true, false, 0},
                         {QRect(58, 1, 23, 24), frdock::alLeft, true, false, 2}};
    QSize size(84, 26);
    frdock::arrangeItems(frdock::orHorizontal, size, items);
    QCOMPARE(size, QSize(84, 26));
    QCOMPARE(items[1].tag, 0);   // sorted by position
    QCOMPARE(items[2].tag, 1);
    QCOMPARE(frdock::barLength(frdock::orHorizontal, items), 11 + 23 * 3 + 4);

    // Upright: width and height change places, the items go to the top in the same order.
    frdock::arrangeItems(frdock::orVertical, size, items);
    QCOMPARE(size, QSize(26, 84));
    frdock::alignItems(QRect(1, 1, 24, 82), items);
    QCOMPARE(items[0].rect, QRect(1, 1, 24, 11));   // the grip comes first
    QList<int> tops;
    for (int i = 1; i < items.size(); ++i) {
        QCOMPARE(items[i].align, frdock::alTop);
        QCOMPARE(items[i].tag, i - 1);
        tops << items[i].rect.y();
    }
    QCOMPARE(tops, (QList<int>{12, 36, 60}));

    // Back to horizontal: left again, still in order.
    frdock::arrangeItems(frdock::orHorizontal, size, items);
    QCOMPARE(size, QSize(84, 26));
    for (int i = 1; i < items.size(); ++i) {
        QCOMPARE(items[i].align, frdock::alLeft);
        QCOMPARE(items[i].tag, i - 1);
    }
    // Bottom-aligned items become right-aligned and keep their place at the end.
    QList<frdock::BarItem> mixed{{QRect(0, 0, 20, 20), frdock::alBottom, true, false, 7}};
    QSize s(26, 84);
    frdock::arrangeItems(frdock::orNone, s, mixed);
    QCOMPARE(mixed[0].align, frdock::alRight);
}

void TestDock::addToDockOpensRows()
{
    Form f;
    TfrToolBar *a = f.toolbar(QStringLiteral("A"), f.top);
    QCOMPARE(f.top->height(), 27);
    QCOMPARE(a->geometry(), QRect(0, 0, 11 + 3 * 24 + 4, 26));
    QVERIFY(a->DragBox()->isVisibleTo(a));
    QCOMPARE(a->DragBox()->geometry(), QRect(1, 1, 11, 24));
    QCOMPARE(itemNames(a), (QStringList{QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A3")}));
    QCOMPARE(a->Items()[0]->geometry(), QRect(12, 1, 24, 24));
    QCOMPARE(a->Items()[2]->geometry(), QRect(60, 1, 24, 24));

    TfrToolBar *b = f.toolbar(QStringLiteral("B"), f.top);
    QCOMPARE(f.top->height(), 53);
    QCOMPARE(b->pos(), QPoint(0, 26));

    // A right dock grows inwards and keeps its outer edge.
    TfrToolBar *c = f.toolbar(QStringLiteral("C"), f.right);
    QCOMPARE(f.right->geometry(), QRect(573, 30, 27, 340));
    QCOMPARE(c->size(), QSize(26, 87));
    QCOMPARE(c->pos(), QPoint(1, 0));
    QCOMPARE(c->Items()[1]->property("Align").toInt(), frdock::alTop);
    TfrToolBar *d = f.toolbar(QStringLiteral("D"), f.right);
    QCOMPARE(f.right->geometry(), QRect(547, 30, 53, 340));
    QCOMPARE(c->pos(), QPoint(27, 0));
    QCOMPARE(d->pos(), QPoint(1, 0));

    // The middle of three rows empties: the dock closes the gap.
    TfrToolBar *e = f.toolbar(QStringLiteral("E"), f.top);
    QCOMPARE(f.top->height(), 79);
    b->hide();
    f.top->AdjustBounds();
    QCOMPARE(f.top->height(), 53);
    QCOMPARE(e->pos(), QPoint(0, 26));
}

void TestDock::dragAlongAndAcrossRows()
{
    Form f;
    TfrToolBar *a = f.toolbar(QStringLiteral("A"), f.top);
    TfrToolBar *b = f.toolbar(QStringLiteral("B"), f.top);
    b->DockTo(f.top, 200, 0);
    QCOMPARE(f.top->height(), 27);

    // Along the row in pixels, stopping behind the neighbour.
    QWidget *grip = b->DragBox();
    const QPoint start = grip->mapToGlobal(QPoint(5, 5));
    mouse(grip, QEvent::MouseButtonPress, start);
    mouse(grip, QEvent::MouseMove, start + QPoint(-150, 0));
    QCOMPARE(b->pos(), QPoint(a->width(), 0));
    // Across the rows a whole row at a time: 20 pixels down is not a row yet.
    mouse(grip, QEvent::MouseMove, start + QPoint(-150, 20));
    QCOMPARE(b->pos().y(), 0);
    mouse(grip, QEvent::MouseMove, start + QPoint(-150, 30));
    QCOMPARE(b->pos().y(), 26);
    QCOMPARE(f.top->height(), 53);
    mouse(grip, QEvent::MouseButtonRelease, start + QPoint(-150, 30));
    QVERIFY(!b->Dragging());
    QVERIFY(!b->IsFloating());
}

void TestDock::tearOffPast20Pixels_data()
{
    QTest::addColumn<bool>("canFloat");
    QTest::addColumn<int>("dx");
    QTest::addColumn<bool>("floats");
    QTest::newRow("21 pixels") << true << -21 << true;
    QTest::newRow("20 pixels") << true << -20 << false;
    QTest::newRow("CanFloat false") << false << -60 << false;
}

void TestDock::tearOffPast20Pixels()
{
    QFETCH(bool, canFloat);
    QFETCH(int, dx);
    QFETCH(bool, floats);
    Form f;
    TfrToolBar *a = f.toolbar(QStringLiteral("A"), f.top);
    a->CanFloat = canFloat;
    QWidget *grip = a->DragBox();
    const QPoint start = grip->mapToGlobal(QPoint(5, 5));
    mouse(grip, QEvent::MouseButtonPress, start);
    mouse(grip, QEvent::MouseMove, start + QPoint(dx, 0));
    QCOMPARE(a->IsFloating(), floats);
    if (!floats) {
        QCOMPARE(a->pos(), QPoint(0, 0));
        QCOMPARE(a->Dock(), f.top);
        return;
    }
    TfrFloatWindow *w = a->GetFloatWindow();
    QVERIFY(w);
    QCOMPARE(a->parentWidget(), static_cast<QWidget *>(w));
    QVERIFY(w->isWindow());
    QCOMPARE(w->windowTitle(), QStringLiteral("A"));
    QCOMPARE(w->ClientSize(), QSize(a->width() - TfrToolBar::GripSize, 26));
    QCOMPARE(a->pos(), w->ClientOrigin());
    QVERIFY(a->DragBox()->isHidden());
    QCOMPARE(a->Items()[0]->geometry().x(), 1);
    QCOMPARE(f.top->height(), 1);
    // The same press goes on moving the window, with its drop outline.
    QVERIFY(w->Dragging());
    QVERIFY(w->DragFrame() && w->DragFrame()->isVisible());
    const QPoint at = start + QPoint(dx, 0);
    w->DragMove(at + QPoint(40, 200));
    QCOMPARE(w->DragRect().topLeft(), w->pos() + QPoint(40, 200));
    w->DragRelease();
    QVERIFY(!w->DragFrame()->isVisible());
    QCOMPARE(w->pos(), at + QPoint(40, 200));
    // Also the toolbar's own drag has ended.
    mouse(grip, QEvent::MouseMove, start + QPoint(dx - 5, 0));
    QVERIFY(!a->Dragging());
}

void TestDock::loneToolbarDraggedOutOfItsDockFloats()
{
    Form f;
    TfrToolBar *a = f.toolbar(QStringLiteral("A"), f.top);
    const QPoint start = a->DragBox()->mapToGlobal(QPoint(5, 5));
    // Up and out of the dock's only row: it floats instead of vanishing above the dock.
    mouse(a->DragBox(), QEvent::MouseButtonPress, start);
    mouse(a->DragBox(), QEvent::MouseMove, start + QPoint(0, -30));
    QVERIFY(a->IsFloating());
    QCOMPARE(f.top->height(), 1);

    // Without CanFloat it stays in its row: refused above a top dock ...
    TfrToolBar *b = f.toolbar(QStringLiteral("B"), f.top);
    b->CanFloat = false;
    QVERIFY(!b->MoveInDock(0, -26));
    QCOMPARE(b->pos(), QPoint(0, 0));
    QCOMPARE(f.top->height(), 27);
    // ... and back in the outer row below a bottom dock.
    TfrToolBar *c = f.toolbar(QStringLiteral("C"), f.bottom);
    c->CanFloat = false;
    QVERIFY(c->MoveInDock(0, 27));
    QCOMPARE(c->pos(), QPoint(0, 1));
    QCOMPARE(f.bottom->height(), 27);
    QVERIFY(!b->IsFloating() && !c->IsFloating());
}

void TestDock::floatingToolbarDocksOverALeftDock()
{
    Form f;
    TfrToolBar *a = f.toolbar(QStringLiteral("A"), f.top);
    a->FloatAt(400, 300);
    TfrFloatWindow *w = a->GetFloatWindow();
    QVERIFY(w);
    const QPoint press = w->mapToGlobal(QPoint(5, 5));
    mouse(w, QEvent::MouseButtonPress, press);
    QVERIFY(w->Dragging());
    // Over the left dock (1 pixel wide; its edges count).
    const QPoint over = f.form.mapToGlobal(QPoint(1, 100));
    mouse(w, QEvent::MouseMove, over);
    QVERIFY(!a->IsFloating());
    QCOMPARE(a->Dock(), f.left);
    QVERIFY(!a->GetFloatWindow());
    QCOMPARE(a->size(), QSize(26, 11 + 3 * 24 + 4));
    QCOMPARE(f.left->width(), 27);
    QCOMPARE(a->pos(), QPoint(0, 70));
    // Upright: the items align to the top, in their former order.
    QCOMPARE(itemNames(a), (QStringList{QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A3")}));
    int lastY = 0;
    for (QWidget *item : a->Items()) {
        QCOMPARE(item->property("Align").toInt(), frdock::alTop);
        QVERIFY(item->y() > lastY);
        lastY = item->y();
    }
    QCOMPARE(a->DragBox()->geometry().topLeft(), QPoint(1, 1));
    // The same drag goes on inside the dock.
    QVERIFY(a->Dragging());
    mouse(a, QEvent::MouseMove, over + QPoint(0, 40));
    QCOMPARE(a->pos(), QPoint(0, 110));
    mouse(a, QEvent::MouseButtonRelease, over + QPoint(0, 40));
    QVERIFY(!a->Dragging());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestDock::horizontalOnlyToolbarStaysFloating()
{
    Form f;
    TfrToolBar *a = f.toolbar(QStringLiteral("A"), f.top);
    a->Orientation = frdock::toHorzOnly;
    a->FloatAt(400, 300);
    TfrFloatWindow *w = a->GetFloatWindow();
    w->BeginDrag(w->mapToGlobal(QPoint(5, 5)));
    w->DragMove(f.form.mapToGlobal(QPoint(1, 100)));
    QVERIFY(a->IsFloating());
    QCOMPARE(a->GetFloatWindow(), w);
    QCOMPARE(f.left->width(), 1);
    // Over the top dock it may dock.
    w->DragMove(f.form.mapToGlobal(QPoint(50, 0)));
    QCOMPARE(a->Dock(), f.top);
    QCOMPARE(a->pos(), QPoint(50, 0));
    a->DragRelease();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestDock::toolbarItemsFollowTheDock()
{
    Form f;
    auto *bar = new TfrToolBar(f.top);
    auto *open = new TfrTBButton(bar);
    auto *sep = new TfrTBSeparator(bar);
    auto *save = new TfrTBButton(bar);
    QCOMPARE(open->Align, alLeft);
    QCoreApplication::processEvents();
    bar->AddToDock(f.top);
    bar->AdjustBounds();
    QCOMPARE(bar->width(), 11 + 22 + 8 + 22 + 4);
    QCOMPARE(sep->geometry(), QRect(34, 1, 8, 24));

    bar->DockTo(f.left, 0, 0);
    bar->AdjustBounds();
    for (QWidget *w : {static_cast<QWidget *>(open), static_cast<QWidget *>(sep), static_cast<QWidget *>(save)})
        QCOMPARE(w->property("Align").toInt(), int(alTop));
    QCOMPARE(sep->Align, alTop);
    QVERIFY(open->y() < sep->y() && sep->y() < save->y());
    QCOMPARE(sep->width(), 24);
    // An item added to an upright toolbar takes its direction and goes behind the others.
    auto *extra = new TfrTBButton(bar);
    QCOMPARE(extra->Align, alTop);
    QCoreApplication::processEvents();
    QVERIFY(extra->y() > save->y());
}

void TestDock::stateRoundTrip()
{
    {
        Form f;
        TfrToolBar *docked = f.toolbar(QStringLiteral("StandardBar"), f.top);
        docked->DockTo(f.left, 0, 40);
        TfrToolBar *floating = f.toolbar(QStringLiteral("TextBar"), f.top);
        floating->FloatAt(300, 200);
        TfrToolBar *hidden = f.toolbar(QStringLiteral("AlignBar"), f.bottom);
        hidden->SetVisible(false);
        SaveToolbarState(docked);
        SaveToolbarState(floating);
        SaveToolbarState(hidden);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    auto s = orv::userSettings();
    s->beginGroup(QStringLiteral("Software/OrvReport/ToolBar/StandardBar"));
    QCOMPARE(s->value(QStringLiteral("isFloat")).toBool(), false);
    QCOMPARE(s->value(QStringLiteral("isVisible")).toBool(), true);
    QCOMPARE(s->value(QStringLiteral("XPosition")).toInt(), 0);
    QCOMPARE(s->value(QStringLiteral("YPosition")).toInt(), 40);
    QCOMPARE(s->value(QStringLiteral("Width")).toInt(), 26);
    QCOMPARE(s->value(QStringLiteral("Height")).toInt(), 87);
    QCOMPARE(s->value(QStringLiteral("DockName")).toString(), QStringLiteral("LeftDock"));
    s->endGroup();
    QVERIFY(!s->contains(QStringLiteral("Software/OrvReport/ToolBar/TextBar/DockName")));

    Form f;
    TfrToolBar *docked = f.toolbar(QStringLiteral("StandardBar"), f.top);
    TfrToolBar *floating = f.toolbar(QStringLiteral("TextBar"), f.top);
    TfrToolBar *hidden = f.toolbar(QStringLiteral("AlignBar"), f.top);
    TfrToolBar *fresh = f.toolbar(QStringLiteral("NeverSaved"), f.top);
    RestoreToolbarState(docked);
    RestoreToolbarState(floating);
    RestoreToolbarState(hidden);
    RestoreToolbarState(fresh);

    QCOMPARE(docked->Dock(), f.left);
    QCOMPARE(docked->geometry(), QRect(0, 40, 26, 87));
    QCOMPARE(f.left->width(), 27);
    QVERIFY(floating->IsFloating());
    QCOMPARE(floating->GetFloatWindow()->pos(), QPoint(300, 200));
    QVERIFY(floating->IsVisible());
    QCOMPARE(hidden->Dock(), f.bottom);
    QVERIFY(!hidden->IsVisible());
    // Nothing stored: it stays where it is, visible.
    QCOMPARE(fresh->Dock(), f.top);
    QVERIFY(fresh->IsVisible());
    QCOMPARE(f.top->height(), 27);
    QCOMPARE(fresh->pos(), QPoint(0, 0));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestDock::stateNamingSomethingElseIsIgnored()
{
    auto s = orv::userSettings();
    s->beginGroup(QStringLiteral("Software/OrvReport/ToolBar/OddBar"));
    s->setValue(QStringLiteral("isFloat"), false);
    s->setValue(QStringLiteral("XPosition"), 30);
    s->setValue(QStringLiteral("YPosition"), 0);
    s->setValue(QStringLiteral("DockName"), QStringLiteral("OkButton"));   // a button, not a dock
    s->endGroup();
    s->beginGroup(QStringLiteral("Software/OrvReport/ToolBar/FarBar"));
    s->setValue(QStringLiteral("isFloat"), true);
    s->setValue(QStringLiteral("XPosition"), 50000);   // a screen that is gone
    s->setValue(QStringLiteral("YPosition"), -50000);
    s->endGroup();
    s->sync();

    Form f;
    (new QPushButton(&f.form))->setObjectName(QStringLiteral("OkButton"));
    TfrToolBar *odd = f.toolbar(QStringLiteral("OddBar"), f.top);
    RestoreToolbarState(odd);
    QCOMPARE(odd->Dock(), f.top);
    QCOMPARE(odd->pos(), QPoint(30, 0));

    TfrToolBar *far = f.toolbar(QStringLiteral("FarBar"), f.top);
    RestoreToolbarState(far);
    QVERIFY(far->IsFloating());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(screen.contains(far->GetFloatWindow()->geometry()),
             qPrintable(QStringLiteral("%1,%2").arg(far->GetFloatWindow()->x()).arg(far->GetFloatWindow()->y())));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A stored position of a docked toolbar out of its dock's reach (a damaged state, or
// one saved with a larger window) brings the toolbar back into the dock: along the
// rows within the dock's length, across them no further than one row per toolbar of
// the form, so the dock never grows to meet it.
void TestDock::restoredPositionStaysReachable_data()
{
    QTest::addColumn<QString>("dockName");
    QTest::addColumn<bool>("secondBar");   // another toolbar holds the top dock's first row
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<QPoint>("restored");
    QTest::addColumn<int>("thickness");

    // The toolbar is 87 x 26; the top and bottom docks are 600 long, the side docks 340.
    QTest::newRow("top: inside") << "TopDock" << false << QPoint(40, 0) << QPoint(40, 0) << 27;
    QTest::newRow("top: past the end") << "TopDock" << false << QPoint(5000, 0) << QPoint(513, 0) << 27;
    QTest::newRow("top: before the start") << "TopDock" << false << QPoint(-7, -9) << QPoint(0, 0) << 27;
    QTest::newRow("top: far below") << "TopDock" << false << QPoint(40, 1000000) << QPoint(40, 0) << 27;
    QTest::newRow("top: second row kept") << "TopDock" << true << QPoint(10, 26) << QPoint(10, 26) << 53;
    QTest::newRow("top: far below a row") << "TopDock" << true << QPoint(10, 1000000) << QPoint(10, 26) << 53;
    QTest::newRow("left: both huge") << "LeftDock" << false << QPoint(100000, 3000) << QPoint(0, 253) << 27;
    QTest::newRow("bottom: both huge") << "BottomDock" << false << QPoint(100000, 100000) << QPoint(513, 1) << 27;
    QTest::newRow("right: out both ways") << "RightDock" << false << QPoint(-100000, INT_MAX) << QPoint(0, 253)
                                          << 26;
}

void TestDock::restoredPositionStaysReachable()
{
    QFETCH(QString, dockName);
    QFETCH(bool, secondBar);
    QFETCH(QPoint, stored);
    QFETCH(QPoint, restored);
    QFETCH(int, thickness);
    auto s = orv::userSettings();
    s->remove(QStringLiteral("Software/OrvReport/ToolBar/RestoredBar"));
    s->beginGroup(QStringLiteral("Software/OrvReport/ToolBar/RestoredBar"));
    s->setValue(QStringLiteral("isFloat"), false);
    s->setValue(QStringLiteral("XPosition"), stored.x());
    s->setValue(QStringLiteral("YPosition"), stored.y());
    s->setValue(QStringLiteral("DockName"), dockName);
    s->endGroup();
    s->sync();

    Form f;
    if (secondBar)
        f.toolbar(QStringLiteral("OtherBar"), f.top);
    TfrToolBar *bar = f.toolbar(QStringLiteral("RestoredBar"), f.top);
    RestoreToolbarState(bar);
    TfrDock *dock = f.form.findChild<TfrDock *>(dockName);
    QCOMPARE(bar->Dock(), dock);
    QCOMPARE(bar->pos(), restored);
    QCOMPARE(frdock::isHorizontalSide(dock->Align()) ? dock->height() : dock->width(), thickness);
    QVERIFY(bar->IsVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The windows' error guard, behind the drag handlers of toolbars and floating windows:
// an error of a handler that comes again at once (a drag step) is shown once, after
// the handler has returned; a handler that does not come again shows it at once.
void TestDock::handlerErrorsAreShownOnce()
{
    orv::test::ScriptedPrompt prompt;
    QWidget window;
    TfrHandlerGuard guard(&window);
    int steps = 0;
    auto failingStep = [&] {
        ++steps;
        throw std::runtime_error("拖动失败");
    };
    QVERIFY(!guard.Run(failingStep, true));
    QVERIFY(!guard.Run(failingStep, true));
    QCOMPARE(steps, 2);
    prompt.expectMessage(QStringLiteral("拖动失败"), QMessageBox::Ok, QStringLiteral("错误"));
    QCoreApplication::processEvents();
    QVERIFY(prompt.verifyDone());
    prompt.expectMessage(QStringLiteral("未知错误"), QMessageBox::Ok, QStringLiteral("错误"));
    QVERIFY(!guard.Run([] { throw 42; }));
    QVERIFY(prompt.verifyDone());
    QVERIFY(guard.Run([] {}));
}

QTEST_MAIN(TestDock)
#include "tst_dock.moc"
