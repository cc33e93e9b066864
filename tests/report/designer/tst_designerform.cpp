// The designer window and its surface offscreen, driven by hand-built mouse, key and
// drop events; its controls; and the whole road from a document's preview.
#include "../engine/templatebuilder.h"

#include "report/designer/frcolorselector.h"
#include "report/designer/frcombos.h"
#include "report/designer/frdesignerform.h"
#include "report/designer/frdesignerpage.h"
#include "report/designer/frdesignersession.h"
#include "report/designer/frdesignertools.h"
#include "report/engine/frbarcodeview.h"
#include "report/engine/frglobals.h"
#include "report/engine/frprepared.h"
#include "report/engine/frpreviewform.h"
#include "report/engine/frprint.h"
#include "report/engine/frprinter.h"
#include "report/engine/frspeedbutton.h"
#include "report/engine/frstatescope.h"
#include "report/engine/frfloatwindow.h"
#include "report/engine/frtbitems.h"
#include "report/engine/frtoolbar.h"

#include "common/settings.h"
#include "scriptedprompt.h"

#include <QLabel>
#include <QTabBar>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QScrollArea>
#include <QtTest>

using orv::test::ScriptedPrompt;
using orv::test::TemplateBuilder;

namespace {

void mouse(QWidget *w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}
void hover(QWidget *w, QPoint p, Qt::KeyboardModifiers m = {}) { mouse(w, QEvent::MouseMove, p, Qt::NoButton, {}, m); }
void press(QWidget *w, QPoint p, Qt::KeyboardModifiers m = {})
{
    mouse(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, m);
}
void drag(QWidget *w, QPoint p, Qt::KeyboardModifiers m = {})
{
    mouse(w, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, m);
}
void release(QWidget *w, QPoint p, Qt::KeyboardModifiers m = {})
{
    mouse(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, {}, m);
}
// Hover, press, move in steps, release: a drag as the operator makes it.
void dragFromTo(QWidget *w, QPoint from, QPoint to, Qt::KeyboardModifiers m = {})
{
    hover(w, from, m);
    press(w, from, m);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        drag(w, from + (to - from) * i / steps, m);
    release(w, to, m);
}
QRect geometryOf(const TfrView *v) { return QRect(v->Left, v->Top, v->Width, v->Height); }

// A designer window on a report made in code, with settings of its own.
struct Harness {
    QTemporaryDir dir;
    TfrReport report;
    TemplateBuilder b{report};
    std::unique_ptr<TfrDesignerForm> form;
    TfrDesignerPage *surface = nullptr;
    Harness()
    {
        orv::setUserSettingsPath(dir.filePath("user.ini"));
        b.page();
    }
    ~Harness()
    {
        form.reset();
        orv::setUserSettingsPath(QString());
        if (CurrentReport == &report)
            CurrentReport = nullptr;
    }
    TfrPage &page() { return *report.Pages()[0]; }
    void open(bool mainSession = false)
    {
        CurrentReport = &report;
        form = std::make_unique<TfrDesignerForm>(mainSession);
        form->DesignerPage = report.Pages()[0];
        form->resize(1100, 800);
        form->show();
        surface = form->DesignSurface;
        QCoreApplication::processEvents();
    }
    TfrMemoView *memo(const QString &name, const QRect &r) { return b.memo(0, name, r, {name}); }
};

// A document of 60 lines built into `r` from its template, as the document windows print.
QList<QByteArray> buildSixtyLines(TfrReport &r)
{
    r.ShowProgress = false;
    r.OnManualBuild = [&r](TfrPage *page) {
        for (const char *band : {"报表标题1", "主项头1", "主项头3"})
            page->ShowBandByName(QString::fromUtf8(band));
        for (int i = 1; i <= 60; ++i) {
            if (TfrView *v = r.FindObject(QStringLiteral("Memo18")))
                v->Memo = QStringList{QStringLiteral("货品%1").arg(i)};
            page->ShowBandByName(QStringLiteral("主项数据1"));
        }
        page->ShowBandByName(QStringLiteral("主项脚1"));
        page->ShowBandByName(QStringLiteral("页脚1"));
    };
    QList<QByteArray> streams;
    if (!r.PrepareReport())
        return streams;
    for (int i = 0; i < r.EMFPages().Count(); ++i)
        streams << r.EMFPages()[i]->Stream;
    return streams;
}

// The objects of a prepared page stream as "left,top,width,height:text" lines.
QStringList preparedObjects(TfrReport &r, int index)
{
    TfrEMFPages &pages = r.EMFPages();
    pages.FreePageObjects(index);
    pages.ObjectsToPage(index);
    QStringList out;
    for (TfrView *v : pages[index]->Page->Objects)
        out << QStringLiteral("%1,%2,%3,%4:%5").arg(v->Left).arg(v->Top).arg(v->Width).arg(v->Height).arg(v->Memo.join('|'));
    pages.FreePageObjects(index);
    return out;
}

// Words of a PDF page with their left edges (pdftotext -bbox).
QHash<QString, double> pdfWordLefts(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QHash<QString, double> words;
    static const QRegularExpression re(QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto it = re.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        words.insert(m.captured(2), m.captured(1).toDouble());
    }
    return words;
}
} // namespace

class TstDesignerForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        frInitEngine();
        frRegisterDesigner();
    }

    void init() { frDesignerSession() = DesignerSession(); }

    void registration()
    {
        QVERIFY(DesignerClassRef);
        QVERIFY(RegistryRootKey.startsWith("Software\\OrvReport\\"));
        QVERIFY(RegistryRootKey.size() > int(qstrlen("Software\\OrvReport\\")));
    }

    // Opened from the preview: caption, the commands this system leaves off, Save after a change.
    void openedForAPreparedPage()
    {
        Harness h;
        TfrMemoView *m = h.memo("Memo1", {100, 100, 80, 20});
        h.open();
        TfrDesignerForm &f = *h.form;
        QCOMPARE(f.windowTitle(), QString("设计器 - Untitled"));
        for (const char *off : {"N23", "N19", "N39", "N29", "N15", "N30", "N25", "N42", "N8", "N20"})
            QVERIFY2(!f.Action(off)->isEnabled(), off);
        QVERIFY(f.Action("N17")->isEnabled());
        QVERIFY(!f.Button("OB3")->isEnabled() && !f.Button("OB5")->isEnabled());
        QCOMPARE(f.Panel2->Caption(), QString("标准"));
        // The top dock's toolbars lie in rows of their own.
        QVERIFY(f.Panel2->isVisible() && f.Panel3->isVisible() && f.Panel1->isVisible());
        QVERIFY(!f.Panel2->geometry().intersects(f.Panel3->geometry()));
        QVERIFY(!f.Panel3->geometry().intersects(f.Panel1->geometry()));
        QCOMPARE(f.Panel5->Caption(), QString("对齐方式"));
        QCOMPARE(f.Button("ZB1")->toolTip(), QString("放在最前面"));
        QCOMPARE(f.Action("N46")->text(), QString("取消(&Undo)"));
        QVERIFY(!f.Action("N46")->isEnabled() && !f.Button("UndoB")->isEnabled());
        // The shape, check box and barcode tools follow the fixed ones.
        QStringList addIns;
        for (int i = 0; i < AddInObjectCount(); ++i)
            addIns << f.Button(QString("AddIn%1").arg(i))->toolTip();
        QVERIFY(addIns.contains("插入 Barcode 对象"));
        QCOMPARE(f.Button("AddIn0")->property("Tag").toInt(), 10);

        dragFromTo(h.surface, {120, 110}, {140, 122});
        QCOMPARE(geometryOf(m).topLeft(), QPoint(120, 112));
        QVERIFY(f.Action("N20")->isEnabled());
        QVERIFY(f.Action("N46")->isEnabled() && f.Button("UndoB")->isEnabled());
        QVERIFY(f.EditedSinceOpened);
        f.Action("N46")->trigger();
        QCOMPARE(geometryOf(h.page().Objects[0]).topLeft(), QPoint(100, 100));
        QVERIFY(f.Button("RedoB")->isEnabled());

        // Hooks belong to the window: they go with it.
        QVERIFY(EditorHooks.SelectedObjects && EditorHooks.BeforeChange);
        h.form.reset();
        QVERIFY(!EditorHooks.SelectedObjects && !EditorHooks.BeforeChange && !EditorHooks.AfterChange);
    }

    void textToolClick_data()
    {
        QTest::addColumn<int>("grid");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("grid 4") << 4 << 10 << QRect(40, 48, 96, 20);
        QTest::newRow("grid 18") << 18 << 10 << QRect(36, 36, 108, 18);
        QTest::newRow("font 14") << 4 << 14 << QRect(40, 48, 96, 24);
    }
    void textToolClick()
    {
        QFETCH(int, grid);
        QFETCH(int, fontSize);
        QFETCH(QRect, expected);
        Harness h;
        h.open();
        h.form->SetGridSize(grid);
        frDesignerSession().Last.FontSize = fontSize;
        h.form->PressObjectTool(0, false);
        QCOMPARE(h.form->CurrentObjectTool(), 0);
        hover(h.surface, {43, 50});
        QCOMPARE(h.surface->CursorKind(), ccCross);
        press(h.surface, {43, 50});
        release(h.surface, {43, 50});
        QCOMPARE(h.page().Objects.size(), 1);
        TfrView *v = h.page().Objects[0];
        QCOMPARE(geometryOf(v), expected);
        QVERIFY(v->Selected);
        QCOMPARE(v->Name, QString("Memo1"));
        QCOMPARE(h.form->CurrentObjectTool(), -1);   // back to the select tool
        QCOMPARE(h.form->Model.UndoCount(), 1);
    }

    void rubberBand()
    {
        Harness h;
        TfrBandView *band = h.b.band(0, btMasterData, "主项数据1", 200, 60);
        TfrMemoView *m = h.memo("Memo1", {300, 220, 80, 20});
        h.open();
        dragFromTo(h.surface, {250, 150}, {320, 230});
        QVERIFY(m->Selected && !band->Selected);
        QCOMPARE(h.form->Model.SelectedCount, 1);
        dragFromTo(h.surface, {20, 150}, {40, 210});
        QVERIFY(band->Selected && !m->Selected);
        QCOMPARE(h.form->Model.SelectedCount, 1);
    }

    // The bottom-right handle dragged past the top-left corner flips the object.
    void handleFlip()
    {
        Harness h;
        TfrMemoView *m = h.memo("Memo1", {200, 200, 40, 20});
        h.open();
        hover(h.surface, {210, 210});
        press(h.surface, {210, 210});
        release(h.surface, {210, 210});
        QVERIFY(m->Selected);
        hover(h.surface, {240, 220});
        QCOMPARE(h.surface->CursorKind(), ccSizeNWSE);
        press(h.surface, {240, 220});
        drag(h.surface, {220, 212});
        drag(h.surface, {180, 192});
        release(h.surface, {180, 192});
        QCOMPARE(geometryOf(m), QRect(180, 192, 20, 8));
    }

    // Two objects side by side doubled keep touching; their shared edge splits.
    void groupResizeAndSplit()
    {
        Harness h;
        TfrMemoView *a = h.memo("A", {100, 300, 40, 20});
        TfrMemoView *b = h.memo("B", {140, 300, 40, 20});
        h.open();
        hover(h.surface, {110, 310});
        press(h.surface, {110, 310});
        release(h.surface, {110, 310});
        hover(h.surface, {150, 310});
        press(h.surface, {150, 310}, Qt::ShiftModifier);
        release(h.surface, {150, 310}, Qt::ShiftModifier);
        QCOMPARE(h.form->Model.SelectedCount, 2);
        // Split: the shared edge at x 140.
        hover(h.surface, {141, 310});
        QCOMPARE(h.surface->CursorKind(), ccSplit);
        press(h.surface, {141, 310});
        drag(h.surface, {149, 310});
        release(h.surface, {149, 310});
        QCOMPARE(geometryOf(a), QRect(100, 300, 48, 20));
        QCOMPARE(geometryOf(b), QRect(148, 300, 32, 20));
        // Group resize from the anchor's corner to double width.
        hover(h.surface, {180, 320});
        QCOMPARE(h.surface->CursorKind(), ccSizeNWSE);
        press(h.surface, {180, 320});
        drag(h.surface, {220, 320});
        drag(h.surface, {260, 320});
        release(h.surface, {260, 320});
        QCOMPARE(a->Left, 100);
        QCOMPARE(a->Left + a->Width, b->Left);
        QCOMPARE(b->Left + b->Width, 260);
        QCOMPARE(h.form->Model.UndoCount(), 2);
    }

    void lineRightToLeft()
    {
        Harness h;
        h.open();
        h.form->PressObjectTool(4, false);
        hover(h.surface, {200, 100});
        QCOMPARE(h.surface->CursorKind(), ccPencil);
        press(h.surface, {200, 100});
        drag(h.surface, {160, 102});
        drag(h.surface, {120, 104});
        release(h.surface, {120, 104});
        QCOMPARE(h.page().Objects.size(), 1);
        TfrView *line = h.page().Objects[0];
        QCOMPARE(line->TypeCode, quint8(4));
        // Drawing lays a mostly horizontal line flat.
        QCOMPARE(geometryOf(line), QRect(120, 100, 80, 0));
        QCOMPARE(h.form->CurrentObjectTool(), 4);   // the line tool stays
    }

    void bandDragAlong()
    {
        Harness h;
        TfrBandView *band = h.b.band(0, btMasterData, "主项数据1", 200, 60);
        TfrMemoView *inside = h.memo("In", {300, 210, 80, 20});
        TfrMemoView *outside = h.memo("Out", {300, 400, 80, 20});
        h.open();
        dragFromTo(h.surface, {20, 210}, {20, 226});
        QCOMPARE(band->Top, 216);
        QCOMPARE(inside->Top, 226);
        QCOMPARE(outside->Top, 400);
        // One undo step takes both back.
        h.form->Undo();
        QCOMPARE(h.page().Objects[0]->Top, 200);
        QCOMPARE(h.page().FindObject("In")->Top, 210);
        // With Alt the band moves alone (and Alt frees the grid).
        h.form->Model.UnselectAll();
        dragFromTo(h.surface, {20, 210}, {20, 215}, Qt::AltModifier);
        QCOMPARE(h.page().Objects[0]->Top, 205);
        QCOMPARE(h.page().FindObject("In")->Top, 210);
    }

    // A double click opens the object's editor; the release that follows starts nothing
    // and the next click selects as usual.
    void doubleClickThenClick()
    {
        Harness h;
        auto *bar = h.b.add<TfrBarCodeView>(0, 10, "TfrBarCodeView", "Bar1", {100, 100, 120, 60});
        TfrMemoView *other = h.memo("Memo1", {400, 100, 80, 20});
        h.open();
        ScriptedPrompt prompt;
        prompt.expectModal([](QDialog *) { return int(QDialog::Rejected); });
        hover(h.surface, {150, 130});
        press(h.surface, {150, 130});
        release(h.surface, {150, 130});
        mouse(h.surface, QEvent::MouseButtonDblClick, {150, 130}, Qt::LeftButton, Qt::LeftButton);
        drag(h.surface, {190, 170});
        release(h.surface, {190, 170});
        QVERIFY(prompt.verifyDone());
        QCOMPARE(geometryOf(bar).topLeft(), QPoint(100, 100));
        hover(h.surface, {420, 110});
        press(h.surface, {420, 110});
        release(h.surface, {420, 110});
        QVERIFY(other->Selected && !bar->Selected);
    }

    void fieldDrop()
    {
        Harness h;
        h.open();
        QMimeData data;
        data.setData(frFieldMimeType, QString("商品名称").toUtf8());
        QDragEnterEvent enter(QPoint(60, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h.surface, &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(QPoint(82, 90), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h.surface, &move);
        QDropEvent drop(QPointF(82, 90), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h.surface, &drop);
        QCOMPARE(h.page().Objects.size(), 1);
        TfrView *v = h.page().Objects[0];
        QCOMPARE(v->Memo, QStringList{"[商品名称]"});
        QCOMPARE(QPoint(v->Left, v->Top), QPoint(76, 84));
    }

    // Keys typed into the frame-width field stay there; Enter applies it.
    void keysInWidthField()
    {
        Harness h;
        TfrMemoView *m = h.memo("Memo1", {100, 100, 80, 20});
        h.open();
        h.form->activateWindow();
        dragFromTo(h.surface, {110, 110}, {110, 110});
        QVERIFY(m->Selected);
        QLineEdit *edit = h.form->C4->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(h.page().Objects.size(), 1);
        QTest::keyClicks(edit, "3");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(m->FrameWidth, 3.0);
        // Away from the field, Del deletes and Ctrl+5 sets the width.
        h.surface->setFocus();
        QTest::keyClick(h.surface, Qt::Key_5, Qt::ControlModifier);
        QCOMPARE(m->FrameWidth, 5.0);
        QCOMPARE(frDesignerSession().Last.FrameWidth, 5.0);
        QTest::keyClick(h.surface, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(m->Left, 101);
        QTest::keyClick(h.surface, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(m->Width, 81);
        QTest::keyClick(h.surface, Qt::Key_Delete);
        QCOMPARE(h.page().Objects.size(), 0);
        QTest::keyClick(h.surface, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.page().Objects.size(), 1);
    }

    // The surface as drawn: grid dots, the handles of a selection and its anchor.
    void drawnSurface()
    {
        Harness h;
        TfrMemoView *a = h.memo("A", {400, 400, 40, 20});
        TfrMemoView *b = h.memo("B", {500, 400, 40, 20});
        h.open();
        const QImage plain = h.surface->grab(QRect(200, 200, 41, 41)).toImage();
        int black = 0, dots = 0;
        for (int y = 0; y <= 40; ++y)
            for (int x = 0; x <= 40; ++x) {
                const bool isBlack = qGray(plain.pixel(x, y)) < 64;
                black += isBlack;
                dots += isBlack && x % 4 == 0 && y % 4 == 0;
            }
        QCOMPARE(dots, 11 * 11);
        QCOMPARE(black, dots);
        h.form->SetGridSize(18);
        const QImage wide = h.surface->grab(QRect(198, 198, 40, 40)).toImage();
        int wideBlack = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                wideBlack += qGray(wide.pixel(x, y)) < 64;
        QCOMPARE(wideBlack, 9);   // 198, 216 and 234 both ways
        h.form->SetGridShow(false);
        const QImage unmarked = h.surface->grab().toImage();
        // Marks are XOR drawings: what they change of each pixel.
        auto xorAt = [&unmarked](const QImage &img, QPoint p) { return (img.pixel(p) ^ unmarked.pixel(p)) & 0xFFFFFF; };
        // Two selected: four corner dots each, the anchor's corner in its own colour.
        h.form->Model.Select(a, true);
        h.form->Model.Select(b, true);
        h.form->Model.ComputeSelectionFrame();
        const QImage marks = h.surface->grab().toImage();
        for (const QPoint p : {QPoint(400, 400), QPoint(440, 400), QPoint(400, 420), QPoint(440, 420),
                               QPoint(500, 400), QPoint(540, 400), QPoint(500, 420)})
            QVERIFY2(xorAt(marks, p) == 0xFFFFFF, qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
        QCOMPARE(xorAt(marks, {540, 420}), 0x008080u);
        QCOMPARE(xorAt(marks, {538, 422}), 0x008080u);
        QCOMPARE(xorAt(marks, {420, 400}), 0u);   // no middle dots on a group
        QCOMPARE(xorAt(marks, {403, 400}), 0u);   // dots are 5 pixels wide
        h.form->Model.SelectOnly(a);
        h.form->Model.ComputeSelectionFrame();
        const QImage single = h.surface->grab().toImage();
        QCOMPARE(xorAt(single, {420, 400}), 0xFFFFFFu);
        QCOMPARE(xorAt(single, {440, 410}), 0xFFFFFFu);
        QCOMPARE(xorAt(single, {500, 400}), 0u);
    }

    // Names that are not objects: "Page" and a page number switches; anything else is ignored.
    void selectObjectByName()
    {
        Harness h;
        TfrMemoView *m = h.memo("Memo1", {100, 100, 80, 20});
        h.b.page();
        h.open(true);
        h.form->SelectObject("Memo1");
        QVERIFY(m->Selected);
        QCOMPARE(h.form->Model.SelectedCount, 1);
        for (const char *ignored : {"Page", "Pagex", "Page0", "Page3", "Nothing"}) {
            h.form->SelectObject(ignored);
            QCOMPARE(h.form->CurPageIndex, 0);
        }
        h.form->SelectObject("Page2");
        QCOMPARE(h.form->CurPageIndex, 1);
        QCOMPARE(h.form->Model.Page(), h.report.Pages()[1]);
        QCOMPARE(h.form->Tab1->count(), 2);
        QCOMPARE(h.form->Tab1->tabText(1), QString("页2"));
    }

    // Options and toolbar places survive closing and reopening.
    void optionsSurviveReopening()
    {
        Harness h;
        h.open();
        h.form->SetGridSize(8);
        h.form->SetUnits(1);
        h.form->SetGridAlign(false);
        h.form->Panel5->SetVisible(false);
        h.form.reset();
        h.open();
        QCOMPARE(h.form->Model.Options.GridSize, 8);
        QCOMPARE(h.form->Model.Options.Units, 1);
        QCOMPARE(h.form->StatusUnits->text(), QString("MM"));
        QVERIFY(!h.form->Model.Options.GridAlign);
        QVERIFY(!h.form->Button("GB2")->Down() && h.form->Button("GB1")->Down());
        QVERIFY(!h.form->Panel5->IsVisible());
    }

    // A size that is not a number is told once and changes nothing.
    void unreadableFontSize()
    {
        Harness h;
        TfrMemoView *m = h.memo("Memo1", {100, 100, 80, 20});
        h.open();
        dragFromTo(h.surface, {110, 110}, {110, 110});
        ScriptedPrompt prompt;
        prompt.expectMessage("'十二' is not a valid integer value", QMessageBox::Ok, "错误");
        h.form->C3->setEditText("十二");
        h.form->C3->lineEdit()->setFocus();
        QTest::keyClick(h.form->C3->lineEdit(), Qt::Key_Return);
        QCoreApplication::processEvents();
        QVERIFY(prompt.verifyDone());
        QCOMPARE(m->Font.Size, 10);
        QCOMPARE(h.form->Model.UndoCount(), 0);
        h.form->C3->setEditText("12");
        QTest::keyClick(h.form->C3->lineEdit(), Qt::Key_Return);
        QCOMPARE(m->Font.Size, 12);
        QCOMPARE(frDesignerSession().Last.FontSize, 12);
    }

    void unitsPanelCycles()
    {
        Harness h;
        h.open();
        QStringList seen;
        for (int i = 0; i < 3; ++i) {
            seen << h.form->StatusUnits->text();
            mouse(h.form->StatusUnits, QEvent::MouseButtonDblClick, {5, 5}, Qt::LeftButton, Qt::LeftButton);
        }
        QCOMPARE(seen, QStringList({"象素", "MM", "英寸"}));
        QCOMPARE(h.form->StatusUnits->text(), QString("象素"));
    }

    // Toolbars follow the selection without running commands.
    void toolbarsFollowSelection()
    {
        Harness h;
        TfrMemoView *m = h.memo("Memo1", {100, 100, 80, 20});
        m->Font.Style.bold = true;
        m->FrameTyp = 8 | 1;
        m->Alignment = 2 | 8;
        h.open();
        dragFromTo(h.surface, {110, 110}, {110, 110});
        TfrDesignerForm &f = *h.form;
        QVERIFY(f.Button("FnB1")->Down() && !f.Button("FnB2")->Down());
        QVERIFY(f.Button("FrB1")->Down() && f.Button("FrB4")->Down() && !f.Button("FrB2")->Down());
        QVERIFY(f.Button("AlB3")->Down() && f.Button("AlB5")->Down());
        QCOMPARE(f.C3->currentText(), QString("10"));
        QCOMPARE(f.Model.UndoCount(), 0);
        QCOMPARE(f.StatusObject->text(), QString("Memo1: Memo1"));
        // Italic from its button (and menu action).
        QTest::mouseClick(f.Button("FnB2"), Qt::LeftButton);
        QVERIFY(m->Font.Style.italic && m->Font.Style.bold);
        QCOMPARE(f.Model.UndoCount(), 1);
        // Colour through the picker: the fill.
        QTest::mouseClick(f.Button("ClB1"), Qt::LeftButton);
        QVERIFY(f.ColorPicker->isVisible());
        f.ColorPicker->Choose(10);
        QCOMPARE(m->FillColor, 0x0000FF);
        QVERIFY(!f.ColorPicker->isVisible());
    }

    void colorSelector()
    {
        TColorSelector s;
        QList<qint32> chosen;
        s.OnColorSelected = [&](TColorSelector *sel) { chosen << sel->Color(); };
        s.show();
        s.Choose(16);
        QCOMPARE(chosen, QList<qint32>{clTransparent});
        QVERIFY(!s.isVisible());
        ScriptedPrompt prompt;
        prompt.expectColor(QColor());
        s.show();
        s.Choose(17);
        QCOMPARE(chosen.size(), 1);
        QVERIFY(!s.isVisible());
        prompt.expectColor(QColor(1, 2, 3));
        s.Choose(17);
        QCOMPARE(chosen.last(), 0x030201);
        QVERIFY(prompt.verifyDone());
        s.SetColor(TColorSelector::Colors()[3]);
        QVERIFY(s.Button(3)->Down());
        s.SetColor(0x123456);
        QVERIFY(s.Button(3)->Down());
        QVERIFY(!s.Button(17)->Glyph().isNull());
        QCOMPARE(s.Button(16)->Caption(), QString("透明"));
        QCOMPARE(s.Button(17)->Caption(), QString("其它..."));
    }

    void recentFonts()
    {
        QTemporaryDir dir;
        orv::setUserSettingsPath(dir.filePath("user.ini"));
        const QStringList installed{"Alpha", "Beta", "Gamma", "Delta", "Eps", "Zeta", "Eta"};
        TfrFontComboBox c;
        c.PopulateList(installed);
        QCOMPARE(c.MRUCount(), -1);
        QCOMPARE(c.count(), 7);
        // The entry of a font in the full list (below the recent ones).
        auto inFullList = [&c](const QString &name) {
            for (int i = c.MRUCount() + 1; i < c.count(); ++i)
                if (c.itemText(i) == name)
                    return i;
            return -1;
        };
        // The top entry chosen changes nothing.
        c.FontChosen(0);
        QCOMPARE(c.MRUCount(), -1);
        for (const char *f : {"Beta", "Gamma", "Delta", "Eps", "Zeta"})
            c.FontChosen(inFullList(f));
        QCOMPARE(c.MRUCount(), 4);
        QCOMPARE(c.itemText(0), QString("Zeta"));
        // A sixth font goes on top and the oldest goes.
        c.FontChosen(inFullList("Eta"));
        QStringList recent;
        for (int i = 0; i <= c.MRUCount(); ++i)
            recent << c.itemText(i);
        QCOMPARE(recent, QStringList({"Eta", "Zeta", "Eps", "Delta", "Gamma"}));
        // Choosing a recent font moves it up without a second entry.
        c.FontChosen(3);
        recent.clear();
        for (int i = 0; i <= c.MRUCount(); ++i)
            recent << c.itemText(i);
        QCOMPARE(recent, QStringList({"Delta", "Eta", "Zeta", "Eps", "Gamma"}));
        QCOMPARE(c.count(), 12);
        // A recent font no longer installed disappears and its slot is cleared.
        TfrFontComboBox again;
        again.PopulateList({"Alpha", "Beta", "Delta", "Eps", "Eta"});
        QCOMPARE(again.MRUCount(), 2);
        QCOMPARE(again.itemText(0), QString("Delta"));
        QCOMPARE(again.itemText(2), QString("Eps"));
        auto s = orv::userSettings();
        QCOMPARE(s->value("Software/OrvReport/MRUFont/Font4").toString(), QString());
        QCOMPARE(s->value("Software/OrvReport/MRUFont/Font2").toString(), QString());
        QCOMPARE(s->value("Software/OrvReport/MRUFont/Font0").toString(), QString("Delta"));
        orv::setUserSettingsPath(QString());
    }

    // A designer inside a call that rebuilds the report forgets every object it knew.
    void nestedEditLeavesNothingBehind()
    {
        Harness h;
        TfrMemoView *m = h.memo("Memo1", {100, 100, 80, 20});
        h.b.band(0, btMasterData, "主项数据1", 0, 40);
        h.report.ShowProgress = false;
        h.open(true);
        dragFromTo(h.surface, {110, 110}, {130, 110});
        QCOMPARE(h.form->Model.UndoCount(), 1);
        Q_UNUSED(m);
        ScriptedPrompt prompt;
        prompt.expectModal([](QDialog *d) {
            auto *inner = qobject_cast<TfrDesignerForm *>(d);
            if (inner)
                dragFromTo(inner->DesignSurface, {30, 30}, {30, 30});
            return int(QDialog::Accepted);
        });
        h.form->RunReportCall([&] {
            QVERIFY(h.report.PrepareReport());
            h.report.EditPreparedPage(0);
        });
        QVERIFY(prompt.verifyDone());
        QCOMPARE(h.form->Model.UndoCount(), 0);
        QVERIFY(!h.form->Model.ReferenceObject);
        h.form->Undo();
        QCOMPARE(h.form->Model.RedoCount(), 0);
        QCOMPARE(h.form->DesignerPage, h.report.Pages()[0]);
        QVERIFY(EditorHooks.SelectedObjects);   // the outer window's own again
        QCOMPARE(h.form->Model.Page(), h.report.Pages()[0]);
    }

    // A template loaded, one object moved in a designer, saved and loaded again builds the
    // same pages with that object moved; loaded and saved unchanged, identical ones.
    void templateRoundTrip()
    {
        const QString source = QStringLiteral(ORV_REPORTS_SOURCE_DIR "/tongyong.frf");
        QTemporaryDir dir;
        TfrReport original;
        QVERIFY(original.LoadFromFile(source));
        const QList<QByteArray> before = buildSixtyLines(original);
        QVERIFY(before.size() >= 2);

        TfrReport same;
        QVERIFY(same.LoadFromFile(source));
        QVERIFY(same.SaveToFile(dir.filePath("same.frf")));
        TfrReport sameBack;
        QVERIFY(sameBack.LoadFromFile(dir.filePath("same.frf")));
        QCOMPARE(buildSixtyLines(sameBack), before);

        Harness h;
        QVERIFY(h.report.LoadFromFile(source));
        h.open(true);
        TfrView *title = h.report.FindObject("Memo1");
        QVERIFY(title);
        const QRect was = geometryOf(title);
        const QString text = title->Memo.join('|');
        const QPoint at = was.topLeft() + QPoint(6, qMin(6, was.height() / 2));
        dragFromTo(h.surface, at, at + QPoint(16, 0));
        QCOMPARE(h.report.FindObject("Memo1")->Left, was.left() + 16);
        h.form.reset();
        QVERIFY(h.report.SaveToFile(dir.filePath("moved.frf")));
        TfrReport moved;
        QVERIFY(moved.LoadFromFile(dir.filePath("moved.frf")));
        const QList<QByteArray> after = buildSixtyLines(moved);
        QCOMPARE(after.size(), before.size());
        int movedCopies = 0;
        for (int i = 0; i < before.size(); ++i) {
            const QStringList a = preparedObjects(original, i), b = preparedObjects(moved, i);
            QCOMPARE(b.size(), a.size());
            for (int j = 0; j < a.size(); ++j) {
                if (a[j] == b[j])
                    continue;
                // Only the moved text differs, by the distance it was moved.
                QVERIFY2(a[j].endsWith(':' + text), qPrintable(a[j] + " / " + b[j]));
                QCOMPARE(b[j].section(',', 0, 0).toInt() - a[j].section(',', 0, 0).toInt(), 16);
                QCOMPARE(b[j].section(',', 1), a[j].section(',', 1));
                ++movedCopies;
            }
        }
        QVERIFY(movedCopies >= 1);
    }

    // The road of an operator: a document previewed, a page edited and kept, or not.
    void wholeRoad_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void wholeRoad()
    {
        QFETCH(bool, keep);
        QTemporaryDir dir;
        orv::setUserSettingsPath(dir.filePath("user.ini"));
        // The designer's grey-buttons option reaches the preview.
        TfrDesignerOptions o;
        o.GrayButtons = true;
        o.Save();
        TfrReport r;
        r.ShowProgress = false;
        TemplateBuilder b(r);
        b.page();
        b.band(0, btMasterData, "主项数据1", 100, 40)->FormatText = "1";
        b.memo(0, "Memo1", {54, 110, 200, 20}, {"ABCDEF"});
        QVERIFY(r.PrepareReport());
        TfrPreviewForm preview;
        preview.Attach(r);
        preview.resize(900, 700);
        preview.show();
        QVERIFY(preview.findChildren<TfrTBButton *>().first()->GrayedInactive());

        ScriptedPrompt prompt;
        prompt.expectModal([&](QDialog *d) {
            auto *designer = qobject_cast<TfrDesignerForm *>(d);
            if (!designer)
                return int(QDialog::Rejected);
            [&] {
                QCOMPARE(designer->windowTitle(), QString("设计器 - Untitled"));
                TfrPage *page = designer->DesignerPage;
                QVERIFY(page && page->Objects.size() == 1);
                TfrView *v = page->Objects[0];
                QCOMPARE(v->Left, 54);
                const QPoint at(v->Left + 6, v->Top + 6);
                dragFromTo(designer->DesignSurface, at, at + QPoint(100, 0));
                QCOMPARE(v->Left, 154);
                if (!qEnvironmentVariableIsEmpty("ORV_DESIGNER_SNAPSHOT"))
                    designer->grab().save(qEnvironmentVariable("ORV_DESIGNER_SNAPSHOT"));
                page->MarginLeft = 90;
                designer->Action("N10")->trigger();
            }();
            return designer->result();
        });
        prompt.expectMessage("保存变动?", keep ? QMessageBox::Yes : QMessageBox::No, "确认");
        EngineMode = 1;
        QVERIFY(preview.FormKeyDown(Qt::Key_E, Qt::ControlModifier));
        QVERIFY(prompt.verifyDone());
        QVERIFY(!EditorHooks.BeforeChange);
        QCOMPARE(EngineMode, quint8(1));

        TfrEMFPages *pages = preview.Pages();
        QVERIFY(pages);
        QCOMPARE(pages->GetPage(0)->MarginLeft, keep ? 90 : 54);
        pages->FreePageObjects(0);
        pages->ObjectsToPage(0);
        QCOMPARE(pages->GetPage(0)->Page->Objects[0]->Left, keep ? 154 : 54);
        // What a print draws: the text moved by 100 units (about 78 points) or not at all.
        const QString pdf = dir.filePath("page.pdf");
        {
            preview.ReturnPages();
            TfrPdfTarget target(pdf);
            QVERIFY(PrintPreparedReport(r, {}, target));
        }
        QCOMPARE(r.EMFPages().Count(), 1);
        const QHash<QString, double> words = pdfWordLefts(pdf);
        QVERIFY2(words.contains("ABCDEF"), qPrintable(QStringList(words.keys()).join(',')));
        const double x = words.value("ABCDEF");
        const double unmoved = (54 + 2) * 72.0 / 93 * 1.015;   // left plus the text gap, in points
        if (keep)
            QVERIFY2(x > unmoved + 60, qPrintable(QString::number(x)));
        else
            QVERIFY2(qAbs(x - unmoved) < 10, qPrintable(QString::number(x)));
        orv::setUserSettingsPath(QString());
    }
};

QTEST_MAIN(TstDesignerForm)
#include "tst_designerform.moc"
