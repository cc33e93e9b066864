// The designer's editing layer without a window: formatting by Tag, the alignment
// palette, the neighbour step, snapping, placement, group and single resizing,
// undo and redo, the clipboard and paste placement.
#include "../engine/templatebuilder.h"

#include "report/designer/frdesignmodel.h"
#include "report/designer/frdesignersession.h"
#include "report/engine/frglobals.h"
#include "report/engine/frprinter.h"
#include "report/engine/frstream.h"
#include "report/engine/frutils.h"

#include "common/settings.h"

#include <QtTest>

using orv::test::TemplateBuilder;

namespace {
// A report with one A4 page, designed by a model.
struct Fixture {
    TfrReport report;
    TemplateBuilder b{report};
    TfrDesignModel m;
    int changes = 0;
    Fixture()
    {
        b.page();
        CurrentReport = &report;
        m.Changed = [this] { ++changes; };
        m.SetPage(report.Pages()[0], 0);
    }
    ~Fixture()
    {
        m.Reset();
        if (CurrentReport == &report)
            CurrentReport = nullptr;
    }
    TfrPage &page() { return *report.Pages()[0]; }
    QStringList names() const
    {
        QStringList n;
        for (TfrView *v : report.Pages()[0]->Objects)
            n << v->Name;
        return n;
    }
    void select(std::initializer_list<TfrView *> views)
    {
        m.UnselectAll();
        for (TfrView *v : views)
            m.Select(v, true);
        m.ComputeSelectionFrame();
    }
};
} // namespace

class TstDesignModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        frEnsureGlobals();
        frInstallEngineHooks();
    }

    void init() { frDesignerSession() = DesignerSession(); }

    // Each formatting Tag over a band, a text and a line: bands are never touched, text
    // commands leave the line alone, and the attribute new objects take follows.
    void doClickTags_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("memoAfter");   // property=value of the text object
        QTest::addColumn<QString>("lineAfter");
        QTest::addColumn<QString>("lastAfter");   // the last-used attribute
        QTest::newRow("top frame on") << 1 << true << "" << "FrameTyp=8" << "FrameTyp=12" << "";
        QTest::newRow("all frames") << 20 << false << "" << "FrameTyp=15" << "FrameTyp=15" << "FrameTyp=15";
        QTest::newRow("width 2,5") << 6 << false << "2,5" << "FrameWidth=2.5" << "FrameWidth=2.5" << "LineWidth=2.5";
        QTest::newRow("dash-dot") << 28 << false << "" << "FrameStyle=3" << "FrameStyle=3" << "";
        QTest::newRow("font name") << 7 << false << "Courier New" << "Font=Courier New" << "" << "FontName=Courier New";
        QTest::newRow("font size") << 8 << false << "14" << "Size=14" << "" << "FontSize=14";
        QTest::newRow("bold") << 9 << true << "" << "Style=2" << "" << "FontStyle=2";
        QTest::newRow("centre") << 13 << false << "" << "Alignment=2" << "" << "Adjust=2";
        QTest::newRow("justify") << 22 << false << "" << "Alignment=3" << "" << "Adjust=3";
        QTest::newRow("rotated") << 14 << true << "" << "Alignment=4" << "" << "Adjust=4";
    }
    void doClickTags()
    {
        QFETCH(int, tag);
        QFETCH(bool, down);
        QFETCH(QString, text);
        QFETCH(QString, memoAfter);
        QFETCH(QString, lineAfter);
        QFETCH(QString, lastAfter);
        Fixture f;
        TfrBandView *band = f.b.band(0, btMasterData, "主项数据1", 100, 40);
        TfrMemoView *memo = f.b.memo(0, "Memo1", {20, 110, 100, 20}, {"甲"});
        TfrLineView *line = f.b.line(0, "Line1", {20, 200, 100, 0});
        const quint16 bandType = band->FrameTyp;
        f.select({band, memo, line});
        TfrCommandInput in;
        in.Down = down;
        in.Text = text;
        f.m.DoClick(tag, in);
        QCOMPARE(band->FrameTyp, bandType);
        QCOMPARE(band->FrameWidth, 1.0);
        auto describe = [](TfrView *v, const QString &what) -> QString {
            if (what.isEmpty())
                return QString();
            const QString key = what.section('=', 0, 0);
            auto *m = dynamic_cast<TfrMemoView *>(v);
            QString value;
            if (key == "FrameTyp") value = QString::number(v->FrameTyp);
            else if (key == "FrameWidth") value = QString::number(v->FrameWidth);
            else if (key == "FrameStyle") value = QString::number(v->FrameStyle);
            else if (key == "Font") value = m->Font.Name;
            else if (key == "Size") value = QString::number(m->Font.Size);
            else if (key == "Style") value = QString::number(FontStylesToInt(m->Font.Style));
            else if (key == "Alignment") value = QString::number(m->Alignment);
            return key + '=' + value;
        };
        QCOMPARE(describe(memo, memoAfter), memoAfter);
        QCOMPARE(describe(line, lineAfter), lineAfter);
        if (lineAfter.isEmpty())
            QCOMPARE(line->FrameWidth, 1.0);
        const TfrLastAttributes &last = frDesignerSession().Last;
        const QString key = lastAfter.section('=', 0, 0);
        QString value;
        if (key == "FrameTyp") value = QString::number(last.FrameTyp);
        else if (key == "LineWidth") value = QString::number(last.LineWidth);
        else if (key == "FontName") value = last.FontName;
        else if (key == "FontSize") value = QString::number(last.FontSize);
        else if (key == "FontStyle") value = QString::number(last.FontStyle);
        else if (key == "Adjust") value = QString::number(last.Adjust);
        if (!key.isEmpty())
            QCOMPARE(key + '=' + value, lastAfter);
        QCOMPARE(f.m.UndoCount(), 1);
    }

    // A value the field cannot read changes nothing and records no step.
    void doClickUnreadable()
    {
        Fixture f;
        TfrMemoView *memo = f.b.memo(0, "Memo1", {20, 110, 100, 20});
        f.select({memo});
        TfrCommandInput in;
        in.Text = "十";
        QVERIFY_THROWS_EXCEPTION(EfrConversionError, f.m.DoClick(8, in));
        in.Text = "宽";
        QVERIFY_THROWS_EXCEPTION(EfrConversionError, f.m.DoClick(6, in));
        QCOMPARE(memo->Font.Size, 10);
        QCOMPARE(memo->FrameWidth, 1.0);
        QCOMPARE(f.m.UndoCount(), 0);
    }

    void alignmentPalette_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QList<int>>("lefts");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("spread three") << 4 << QList<int>{0, 10, 100} << QList<int>{0, 50, 100};
        QTest::newRow("spread two does nothing") << 4 << QList<int>{0, 10} << QList<int>{0, 10};
        QTest::newRow("spread negative") << 4 << QList<int>{-100, -10, 20} << QList<int>{-100, -40, 20};
        QTest::newRow("spread out of order") << 4 << QList<int>{100, 0, 10} << QList<int>{100, 0, 50};
        // On equal keys the later object comes first, so the earlier one is the inner one.
        QTest::newRow("spread with a tie") << 4 << QList<int>{0, 0, 90} << QList<int>{45, 0, 90};
        QTest::newRow("spread past 9999") << 4 << QList<int>{20000, 9000, 100} << QList<int>{20000, 10050, 100};
        // The reference is the last selected object.
        QTest::newRow("left edges") << 1 << QList<int>{30, 60, 90} << QList<int>{90, 90, 90};
        QTest::newRow("right edges") << 5 << QList<int>{30, 60, 70} << QList<int>{70, 70, 70};
    }
    void alignmentPalette()
    {
        QFETCH(int, command);
        QFETCH(QList<int>, lefts);
        QFETCH(QList<int>, expected);
        Fixture f;
        std::vector<TfrView *> views;
        for (int i = 0; i < lefts.size(); ++i) {
            TfrView *v = f.b.memo(0, QString("Memo%1").arg(i + 1), {lefts[i], 10 + 30 * i, 20, 20});
            views.push_back(v);
            f.m.Select(v, true);
        }
        f.m.ComputeSelectionFrame();
        f.m.Align(command, QSize(758, 1071));
        QList<int> after;
        for (TfrView *v : views)
            after << v->Left;
        QCOMPARE(after, expected);
        QCOMPARE(f.m.UndoCount(), lefts.size() >= (command == 4 ? 3 : 2) ? 1 : 0);
    }

    // With a band selected, the objects inside it are laid side by side from the margin.
    void alignBandBranch()
    {
        Fixture f;
        TfrBandView *band = f.b.band(0, btMasterData, "主项数据1", 100, 40);
        TfrMemoView *a = f.b.memo(0, "A", {300, 110, 50, 20});
        TfrMemoView *b = f.b.memo(0, "B", {100, 105, 40, 20});
        TfrMemoView *outside = f.b.memo(0, "C", {10, 300, 40, 20});
        f.select({band, a});
        QVERIFY(f.m.Align(1, QSize(758, 1071)));
        const int margin = f.page().LeftMargin();
        QCOMPARE(b->Left, margin);
        QCOMPARE(a->Left, margin + 40);
        QCOMPARE(outside->Left, 10);
        QCOMPARE(a->Top, 100);   // the top of the leftmost selected object (the band)
    }

    void neighbourStep()
    {
        Fixture f;
        TfrMemoView *s = f.b.memo(0, "S", {100, 100, 50, 20});
        TfrMemoView *r = f.b.memo(0, "R", {200, 100, 50, 20});
        TfrMemoView *far = f.b.memo(0, "Far", {400, 100, 50, 20});
        TfrMemoView *below = f.b.memo(0, "Below", {100, 200, 50, 20});
        f.select({s});
        QCOMPARE(f.m.FindNeighbour(1), f.page().Objects.indexOf(r));
        QCOMPARE(f.m.FindNeighbour(3), f.page().Objects.indexOf(below));
        QCOMPARE(f.m.FindNeighbour(0), -1);
        QVERIFY(f.m.NeighbourStep(1, false));
        QVERIFY(r->Selected && !s->Selected);
        QCOMPARE(f.m.SelectedCount, 1);
        // Alt pushes the selection against its neighbour, as an undoable step.
        f.select({s});
        QVERIFY(f.m.NeighbourStep(1, true));
        QCOMPARE(s->Left, 150);
        QCOMPARE(f.m.UndoCount(), 1);
        QVERIFY(f.changes > 0);
        QVERIFY(f.m.Undo());
        QCOMPARE(s->Left, 100);
        Q_UNUSED(far);
    }

    void snapping_data()
    {
        QTest::addColumn<int>("grid");
        QTest::addColumn<bool>("align");
        QTest::addColumn<bool>("alt");
        QTest::addColumn<int>("dx");
        QTest::addColumn<bool>("acted");
        QTest::addColumn<int>("result");
        QTest::newRow("5 stays") << 8 << true << false << 5 << false << 5;
        QTest::newRow("13 moves 8") << 8 << true << false << 13 << true << 8;
        QTest::newRow("-13 moves -8") << 8 << true << false << -13 << true << -8;
        QTest::newRow("alt frees") << 8 << true << true << 5 << true << 5;
        QTest::newRow("alt aligns") << 8 << false << true << 13 << true << 8;
        QTest::newRow("grid 18") << 18 << true << false << 40 << true << 36;
    }
    void snapping()
    {
        QFETCH(int, grid);
        QFETCH(bool, align);
        QFETCH(bool, alt);
        QFETCH(int, dx);
        QFETCH(bool, acted);
        QFETCH(int, result);
        TfrDesignModel m;
        m.Options.GridSize = grid;
        m.Options.GridAlign = align;
        int x = dx, y = 0;
        QCOMPARE(m.SnapDelta(x, y, alt), acted);
        QCOMPARE(x, result);
    }

    void snapToCorner()
    {
        Fixture f;
        f.m.Options.GridSize = 8;
        f.b.memo(0, "M", {100, 100, 50, 20});
        int x = 103, y = 104;   // 5 pixels from the top-left corner
        QVERIFY(f.m.SnapToCorner(x, y));
        QCOMPARE(QPoint(x, y), QPoint(100, 100));
        x = 109;
        y = 100;                // 9 pixels
        QVERIFY(!f.m.SnapToCorner(x, y));
        QCOMPARE(QPoint(x, y), QPoint(109, 100));
    }

    void sizesAndPlacement()
    {
        QCOMPARE(DefaultObjectSize(4, 10), QSize(96, 20));
        QCOMPARE(DefaultObjectSize(8, 10), QSize(96, 20));
        QCOMPARE(DefaultObjectSize(18, 10), QSize(108, 18));
        QCOMPARE(DefaultObjectSize(4, 14), QSize(96, 24));
        QCOMPARE(DefaultObjectSize(18, 12), QSize(108, 20));
        const QSize a4(758, 1071);
        QCOMPARE(PlaceSurface(a4, 1000, 5, false, 16).Bounds, QRect(121, 10, 758, 1071));
        QCOMPARE(PlaceSurface(a4, 1000, 3, false, 16).Bounds.left(), 10);
        QCOMPARE(PlaceSurface(a4, 1000, 4, false, 16).Bounds.left(), 1000 - 758 - 11);
        QCOMPARE(PlaceSurface(a4, 700, 5, false, 16).Bounds.left(), 10);
        const TfrSurfacePlacement tall = PlaceSurface(a4, 1000, 5, true, 16);
        QCOMPARE(tall.Bounds.height(), 3 * 1071);
        QCOMPARE(tall.VerticalRange, 10 + 3 * 1071 + 10);
        QCOMPARE(tall.HorizontalRange, 121 + 758 - 16 + 10);
    }

    void units()
    {
        QCOMPARE(PixelsToUnits(36, 1), 10.0);
        QCOMPARE(UnitsToPixels(10, 1), 36.0);
        QCOMPARE(UnitsToPixels(1, 2), 25.4 / 5 * 18);
        QCOMPARE(PixelsToUnits(36, 0), 36.0);
        QCOMPARE(UnitsPairText(36, 72, 0), QString("36;72"));
        QCOMPARE(UnitsPairText(36, 72, 1), QString("10.00; 20.00"));
        QCOMPARE(UnitsCaption(0), QString("象素"));
        QCOMPARE(UnitsCaption(1), QString("MM"));
        QCOMPARE(UnitsCaption(2), QString("英寸"));
    }

    void bracketRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("one name") << "[数量]" << "[数量]";
        QTest::newRow("bare") << "数量" << "[数量]";
        QTest::newRow("two names") << "[a] + [b]" << "[[a] + [b]]";
    }
    void bracketRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QCOMPARE(BracketExpression(text), result);
    }

    // Doubling a group of two objects side by side keeps the shared edge shared; an axis
    // that started with no extent keeps its scale.
    void groupResize()
    {
        Fixture f;
        TfrMemoView *a = f.b.memo(0, "A", {100, 100, 33, 20});
        TfrMemoView *b = f.b.memo(0, "B", {133, 100, 37, 20});
        f.select({a, b});
        QVERIFY(f.m.SelectionFrameValid);
        QCOMPARE(f.m.AnchorIndex, 1);
        f.m.ResizeGroup(70, 20);
        QCOMPARE(a->Left, 100);
        QCOMPARE(a->Left + a->Width, b->Left);
        QCOMPARE(b->Left + b->Width, 240);
        QCOMPARE(a->Height, 40);

        TfrLineView *l1 = f.b.line(0, "L1", {300, 100, 0, 50});
        TfrLineView *l2 = f.b.line(0, "L2", {300, 200, 0, 50});
        f.select({l1, l2});
        f.m.ResizeGroup(10, 15);
        QCOMPARE(l1->Left, 300);
        QCOMPARE(l1->Width, 0);
        QVERIFY(l2->Top > 200);
    }

    // Dragging the bottom-right corner past the top-left flips the object and the drag
    // goes on with the top-left corner.
    void resizeFlips()
    {
        Fixture f;
        TfrMemoView *m = f.b.memo(0, "M", {100, 100, 40, 20});
        f.select({m});
        int edge = 0;
        f.m.ResizeSingle(scNWSE, -60, -30, QPoint(140, 120), edge);
        QCOMPARE(QRect(m->Left, m->Top, m->Width, m->Height), QRect(80, 90, 20, 10));
        QCOMPARE(edge, 1);
        f.m.ResizeSingle(scNWSE, -10, -10, QPoint(80, 90), edge);
        QCOMPARE(QRect(m->Left, m->Top, m->Width, m->Height), QRect(70, 80, 30, 20));
        QCOMPARE(edge, 1);
    }

    void sortBands()
    {
        Fixture f;
        f.b.memo(0, "M", {0, 0, 10, 10});
        f.b.band(0, btCrossData, "Cross", 0, 20);
        f.b.band(0, btMasterData, "Data", 0, 20);
        f.b.band(0, btOverlay, "Overlay", 0, 20);
        f.b.band(0, btPageHeader, "Header", 0, 20);
        f.m.SortBands();
        QCOMPARE(f.names(), QStringList({"Overlay", "Data", "Header", "Cross", "M"}));
        QVERIFY(f.m.PageHasBand(btPageHeader));
        QCOMPARE(f.m.FirstFreeBandType(), 0);
    }

    // ---- undo and redo

    void moveUndoRedo()
    {
        Fixture f;
        TfrMemoView *m = f.b.memo(0, "M", {100, 100, 40, 20});
        f.select({m});
        f.m.NudgeSelection(8, 0, false);
        QCOMPARE(m->Left, 108);
        QVERIFY(f.m.Undo());
        m = static_cast<TfrMemoView *>(f.page().Objects[0]);
        QCOMPARE(m->Left, 100);
        QCOMPARE(f.m.RedoCount(), 1);
        QVERIFY(f.m.Redo());
        QCOMPARE(m->Left, 108);
        QVERIFY(f.m.Undo());
        f.select({m});
        f.m.NudgeSelection(0, 4, false);
        QCOMPARE(f.m.RedoCount(), 0);
        QCOMPARE(f.m.UndoCount(), 1);
    }

    void deleteKeepsOrder()
    {
        Fixture f;
        TfrMemoView *a = f.b.memo(0, "A", {0, 0, 10, 10});
        f.b.memo(0, "B", {0, 20, 10, 10});
        TfrMemoView *c = f.b.memo(0, "C", {0, 40, 10, 10});
        f.b.memo(0, "D", {0, 60, 10, 10});
        f.select({a, c});
        f.m.DeleteSelection();
        QCOMPARE(f.names(), QStringList({"B", "D"}));
        QVERIFY(f.m.Undo());
        QCOMPARE(f.names(), QStringList({"A", "B", "C", "D"}));
        QVERIFY(f.m.Redo());
        QCOMPARE(f.names(), QStringList({"B", "D"}));
    }

    // Cut and one undo bring the objects back once; a second undo has nothing to do.
    void cutTwoUndos()
    {
        Fixture f;
        TfrMemoView *a = f.b.memo(0, "A", {0, 0, 10, 10});
        f.select({a});
        f.m.CutSelection();
        QCOMPARE(f.page().Objects.size(), 0);
        QVERIFY(TfrDesignModel::ClipboardHasObject());
        QVERIFY(f.m.Undo());
        QCOMPARE(f.names(), QStringList{"A"});
        QVERIFY(!f.m.Undo());
        QCOMPARE(f.names(), QStringList{"A"});
    }

    void hundredSteps()
    {
        Fixture f;
        TfrMemoView *m = f.b.memo(0, "M", {0, 0, 10, 10});
        f.select({m});
        for (int i = 0; i < 101; ++i)
            f.m.NudgeSelection(1, 0, false);
        QCOMPARE(f.m.UndoCount(), 100);
        while (f.m.Undo())
            ;
        QCOMPARE(f.page().Objects[0]->Left, 1);
    }

    void stepOfAnotherPage()
    {
        Fixture f;
        f.b.page();
        TfrMemoView *m = f.b.memo(0, "M", {0, 0, 10, 10});
        f.select({m});
        f.m.NudgeSelection(5, 0, false);
        f.m.SetPage(f.report.Pages()[1], 1);
        QVERIFY(!f.m.Undo());
        QCOMPARE(f.m.UndoCount(), 1);
        f.m.SetPage(f.report.Pages()[0], 0);
        QVERIFY(f.m.Undo());
        QCOMPARE(f.page().Objects[0]->Left, 0);
    }

    // Objects flagged 0x4000 stay out of steps; with undo disabled the report still changes.
    void flagsAndDisabledUndo()
    {
        Fixture f;
        TfrMemoView *a = f.b.memo(0, "A", {0, 0, 10, 10});
        TfrMemoView *b = f.b.memo(0, "B", {0, 20, 10, 10});
        b->Flags |= 0x4000;
        f.select({a, b});
        f.m.NudgeSelection(5, 0, false);
        QVERIFY(f.m.Undo());
        QCOMPARE(f.page().Objects[0]->Left, 0);
        QCOMPARE(f.page().Objects[1]->Left, 5);
        f.m.Options.DisableUndo = true;
        f.changes = 0;
        f.select({f.page().Objects[0]});
        f.m.NudgeSelection(5, 0, false);
        QCOMPARE(f.m.UndoCount(), 0);
        QCOMPARE(f.changes, 1);
    }

    // An object that may not be deleted stays, and undoing the delete makes no second copy.
    void protectedObjectDelete()
    {
        Fixture f;
        TfrMemoView *a = f.b.memo(0, "A", {0, 0, 10, 10});
        TfrMemoView *keep = f.b.memo(0, "Keep", {0, 20, 10, 10});
        keep->Restrictions = frrfDontDelete;
        f.select({a, keep});
        f.m.DeleteSelection();
        QCOMPARE(f.names(), QStringList{"Keep"});
        QVERIFY(f.m.Undo());
        QCOMPARE(f.names(), QStringList({"A", "Keep"}));
        // Steps whose objects went away are passed over.
        f.select({f.page().Objects[0]});
        f.m.BringToFront();
        f.page().Clear();
        QVERIFY(f.m.Undo());
        QCOMPARE(f.page().Objects.size(), 0);
    }

    // A frame width above 10 survives an undo step and a copy through the clipboard.
    void wideFrameThroughCopies()
    {
        Fixture f;
        TfrMemoView *m = f.b.memo(0, "M", {0, 0, 40, 20});
        m->FrameWidth = 20;
        f.select({m});
        f.m.NudgeSelection(1, 0, false);
        QVERIFY(f.m.Undo());
        QCOMPARE(f.page().Objects[0]->FrameWidth, 20.0);
        f.select({f.page().Objects[0]});
        f.m.CopySelection();
        f.m.Paste(QPoint(10, 10));
        QCOMPARE(f.page().Objects.size(), 2);
        QCOMPARE(f.page().Objects[1]->FrameWidth, 20.0);
    }

    // ---- paste placement

    void pastePlacement_data()
    {
        QTest::addColumn<QPoint>("origin");
        QTest::addColumn<bool>("onBand");
        QTest::addColumn<QPoint>("expected");   // the pasted group's top-left
        QTest::newRow("unscrolled") << QPoint(10, 10) << false << QPoint(0, 0);
        QTest::newRow("scrolled") << QPoint(-205, -99) << false << QPoint(204, 96);
        QTest::newRow("onto a band") << QPoint(10, 10) << true << QPoint(0, 300);
    }
    void pastePlacement()
    {
        QFETCH(QPoint, origin);
        QFETCH(bool, onBand);
        QFETCH(QPoint, expected);
        Fixture f;
        TfrBandView *band = f.b.band(0, btMasterData, "主项数据1", 300, 40);
        TfrMemoView *a = f.b.memo(0, "A", {120, 50, 40, 20});
        TfrMemoView *b = f.b.memo(0, "B", {160, 80, 40, 20});
        f.select({a, b});
        f.m.CopySelection();
        f.select({});
        if (onBand)
            f.select({band});
        f.m.Paste(origin);
        QCOMPARE(f.page().Objects.size(), 5);
        TfrView *pa = f.page().Objects[3], *pb = f.page().Objects[4];
        QCOMPARE(QPoint(pa->Left, pa->Top), expected);
        QCOMPARE(pb->Left - pa->Left, 40);
        QCOMPARE(pb->Top, onBand ? 300 : expected.y() + 30);
        QVERIFY(pa->Name != "A" && pb->Name != "B");
        QCOMPARE(f.m.SelectedCount, 2);
        QVERIFY(!band->Selected);
        // One step removes both again.
        QVERIFY(f.m.Undo());
        QCOMPARE(f.page().Objects.size(), 3);
    }

    // Kinds that exist once per page are not pasted twice; repeatable bands are.
    void pasteOncePerPage()
    {
        Fixture f;
        TfrBandView *header = f.b.band(0, btPageHeader, "页头1", 0, 40);
        TfrBandView *data = f.b.band(0, btMasterData, "主项数据1", 100, 40);
        TfrBandView *child = f.b.band(0, btChild, "子项1", 200, 40);
        TfrView *shape = f.b.add(0, 10, "TfrShapeView", "Shape1", {0, 300, 20, 20});
        f.select({header, data, child, shape});
        f.m.CopySelection();
        shape->Flags |= 0x2000;
        f.select({});
        f.m.Paste(QPoint(0, 0));
        int headers = 0, datas = 0, children = 0, shapes = 0;
        for (TfrView *v : f.page().Objects) {
            if (auto *bv = dynamic_cast<TfrBandView *>(v)) {
                headers += bv->GetBandType() == btPageHeader;
                datas += bv->GetBandType() == btMasterData;
                children += bv->GetBandType() == btChild;
            }
            shapes += v->ClassName() == "TfrShapeView";
        }
        QCOMPARE(headers, 1);
        QCOMPARE(datas, 2);
        QCOMPARE(children, 2);
        QCOMPARE(shapes, 1);
    }

    void insertion()
    {
        Fixture f;
        frDesignerSession().Last.FontSize = 14;
        frDesignerSession().Last.FrameWidth = 3;
        TfrView *v = f.m.InsertObject(0, QRect(40, 48, 0, 0), 758);
        QVERIFY(v);
        QCOMPARE(QRect(v->Left, v->Top, v->Width, v->Height), QRect(40, 48, 96, 24));
        QCOMPARE(v->FrameWidth, 3.0);
        QCOMPARE(static_cast<TfrMemoView *>(v)->Font.Size, 14);
        QCOMPARE(f.m.SelectedCount, 1);
        QCOMPARE(f.m.UndoCount(), 1);
        // A line drawn from right to left, mostly horizontally.
        TfrView *line = f.m.InsertLine(QRect(QPoint(200, 100), QPoint(120, 104)));
        QCOMPARE(QRect(line->Left, line->Top, line->Width, line->Height), QRect(120, 100, 80, 4));
        QCOMPARE(line->FrameWidth, 2.0);
        // A once-per-page add-in is refused with the message.
        int shapeTag = -1;
        for (int i = 0; i < AddInObjectCount(); ++i)
            if (AddInObject(i).ClassName == "TfrShapeView")
                shapeTag = 10 + i;
        QVERIFY(shapeTag >= 10);
        TfrView *s = f.m.InsertObject(shapeTag, QRect(0, 0, 20, 20), 758);
        s->Flags |= 0x2000;
        QString error;
        QVERIFY(!f.m.InsertObject(shapeTag, QRect(0, 0, 20, 20), 758, &error));
        QCOMPARE(error, QString("You can't place two or more TfrShapeView objects on one page."));
    }

    void zOrder()
    {
        Fixture f;
        TfrMemoView *a = f.b.memo(0, "A", {0, 0, 10, 10});
        f.b.memo(0, "B", {0, 0, 10, 10});
        TfrMemoView *c = f.b.memo(0, "C", {0, 0, 10, 10});
        f.b.memo(0, "D", {0, 0, 10, 10});
        f.select({a, c});
        f.m.BringToFront();
        QCOMPARE(f.names(), QStringList({"B", "D", "A", "C"}));
        f.m.SendToBack();
        QCOMPARE(f.names(), QStringList({"A", "C", "B", "D"}));
        QVERIFY(f.m.Undo());
        QCOMPARE(f.names(), QStringList({"B", "D", "A", "C"}));
        QVERIFY(f.m.Undo());
        QCOMPARE(f.names(), QStringList({"A", "B", "C", "D"}));
    }

    void settingsClamped_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("read");
        QTest::newRow("grid 0") << "GridSize" << QVariant(0) << "GridSize=4";
        QTest::newRow("grid 5") << "GridSize" << QVariant(5) << "GridSize=4";
        QTest::newRow("grid 18") << "GridSize" << QVariant(18) << "GridSize=18";
        QTest::newRow("units 7") << "Units" << QVariant(7) << "Units=0";
        QTest::newRow("units 2") << "Units" << QVariant(2) << "Units=2";
        QTest::newRow("position 9") << "PagePosition" << QVariant(9) << "PagePosition=5";
        QTest::newRow("position 3") << "PagePosition" << QVariant(3) << "PagePosition=3";
        QTest::newRow("selection 4") << "Selection" << QVariant(4) << "Selection=1";
        QTest::newRow("selection 0") << "Selection" << QVariant(0) << "Selection=0";
    }
    void settingsClamped()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(QString, read);
        QTemporaryDir dir;
        orv::setUserSettingsPath(dir.filePath("user.ini"));
        {
            auto s = orv::userSettings();
            s->setValue(TfrDesignerOptions::Group() + '/' + key, stored);
        }
        TfrDesignerOptions o;
        o.Load();
        const int value = key == "GridSize" ? o.GridSize : key == "Units" ? o.Units
                          : key == "PagePosition" ? o.PagePosition : o.Selection;
        QCOMPARE(key + '=' + QString::number(value), read);
        orv::setUserSettingsPath(QString());
    }

    void settingsDefaults()
    {
        QTemporaryDir dir;
        orv::setUserSettingsPath(dir.filePath("user.ini"));
        TfrDesignerOptions o;
        o.GridSize = 18;
        o.DisableUndo = true;
        o.Load();
        QVERIFY(o.GridShow && o.GridAlign && o.EditAfterInsert && o.BandTitles && o.SyntaxHighlight);
        QCOMPARE(o.GridSize, 4);
        QCOMPARE(o.Units, 0);
        QCOMPARE(o.Selection, 1);
        QCOMPARE(o.PagePosition, 5);
        QVERIFY(!o.GrayButtons && !o.LocalizedPropNames && !o.UnlimitedHeight && !o.DisableUndo);
        o.GridSize = 8;
        o.Units = 1;
        o.Save();
        TfrDesignerOptions back;
        back.Load();
        QCOMPARE(back.GridSize, 8);
        QCOMPARE(back.Units, 1);
        orv::setUserSettingsPath(QString());
    }
};

QTEST_MAIN(TstDesignModel)
#include "tst_designmodel.moc"
