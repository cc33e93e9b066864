// The preview window headless at a fixed size: layout, zoom, keys, links, find,
// a rendered page, open and save, and errors inside its handlers.
#include "previewfixture.h"
#include "scriptedprompt.h"

#include "common/settings.h"
#include "report/engine/frglobals.h"
#include "report/engine/frpreviewform.h"
#include "report/engine/frpreviewsearchform.h"
#include "report/engine/frprintform.h"
#include "report/engine/frprinter.h"
#include "report/engine/frtbitems.h"

#include <QScreen>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace orv::test;

namespace {

const QStringList kLines{QStringLiteral("alpha 一"), QStringLiteral("beta"), QStringLiteral("Alpha 二"),
                         QStringLiteral("gamma"), QStringLiteral("delta"), QStringLiteral("ALPHA 三"),
                         QStringLiteral("omega")};

// A preview of the 3-page report in a normal window of a fixed size.
struct Preview {
    TfrReport report;
    TfrPreviewForm form;
    explicit Preview(const QStringList &lines = kLines, const QSize &size = QSize(1000, 700))
    {
        buildLines(report, lines);
        report.PrepareReport();
        form.Attach(report);
        form.setWindowState(Qt::WindowNoState);
        form.show();
        form.resize(size);
        QCoreApplication::processEvents();
        form.FormResize();
    }
    int areaWidth() const { return form.PBox->width(); }
    int areaHeight() const { return form.PBox->height(); }
    // A point of the page area over an object at (x, y) engine units of page i.
    QPoint at(int page, int x, int y) const
    {
        const QRect r = form.PageRect(page);
        return r.topLeft() + QPoint(frRound(x * form.Zoom()) + 1, frRound(y * form.Zoom()) + 1);
    }
};

// A text's box starts near its line's top (the font's ascent decides the last pixels).
bool nearTop(int actual, int lineTop)
{
    return qAbs(actual - lineTop) <= 4;
}

class FakeDesigner : public TfrReportDesigner {
public:
    FakeDesigner() : TfrReportDesigner(false) {}
    bool GetModified() override { return false; }
    void SetModified(bool) override {}
    void BeforeChange() override {}
    void AfterChange() override {}
    void RedrawPage() override {}
    void SelectObject(const QString &) override {}
    QString InsertDBField() override { return {}; }
    QString InsertExpression() override { return {}; }
};

void resetZoom()
{
    TfrPreviewForm::LastScale = 1.0;
    TfrPreviewForm::LastScaleMode = 0;
}

} // namespace

class TstPreview : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        frEnsureGlobals();
        orv::setUserSettingsPath(m_dir.filePath(QStringLiteral("user.ini")));
    }
    void init() { resetZoom(); }

    void onePagePerRowCentred()
    {
        Preview p;
        QCOMPARE(p.form.PageCount(), 3);
        QCOMPARE(p.form.Label1->text(), QStringLiteral("页 1/3"));
        QCOMPARE(p.form.ZoomBtn->Caption(), QStringLiteral("100%"));
        // A4 is 758 x 1071 units: one to a row in a window narrower than two.
        const int left = (p.areaWidth() - 758) / 2;
        QCOMPARE(p.form.PageRect(0), QRect(left, 10, 758, 1071));
        QCOMPARE(p.form.PageRect(1), QRect(left, 10 + 1071 + 10, 758, 1071));
        QVERIFY(!p.form.HScrollBar->isEnabled());
        QCOMPARE(p.form.VScrollBar->maximum(), (10 + 3 * 1071 + 2 * 10) - p.areaHeight() + 10);
        QVERIFY(p.form.ZoomItem(100)->isChecked());
    }

    void zoomModes_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("perRow");
        QTest::newRow("page width") << 1 << 1;
        QTest::newRow("whole page") << 2 << 1;
        QTest::newRow("two pages") << 3 << 2;
        QTest::newRow("50 percent, two fit in a row") << 50 << 2;
    }
    void zoomModes()
    {
        QFETCH(int, tag);
        QFETCH(int, perRow);
        Preview p;
        p.form.N3Click(tag);
        const int w = p.areaWidth(), h = p.areaHeight();
        double zoom = tag / 100.0;
        if (tag == 1)
            zoom = (w - 20) / 758.0;
        else if (tag == 2)
            zoom = (h - 20) / 1071.0;
        else if (tag == 3)
            zoom = (w - 30) / (2 * 758.0);
        QCOMPARE(p.form.Zoom(), zoom);
        QCOMPARE(p.form.ZoomBtn->Caption(), QString::number(frRound(zoom * 100)) + QLatin1Char('%'));
        const int pw = frRound(758 * zoom), ph = frRound(1071 * zoom);
        QCOMPARE(p.form.PageRect(0).size(), QSize(pw, ph));
        if (perRow == 2) {
            QCOMPARE(p.form.PageRect(0).topLeft(), QPoint(10, 10));
            QCOMPARE(p.form.PageRect(1).topLeft(), QPoint(10 + pw + 10, 10));
            QCOMPARE(p.form.PageRect(2).topLeft(), QPoint(10, 10 + ph + 10));
        } else {
            QCOMPARE(p.form.PageRect(1).top(), 10 + ph + 10);
            QCOMPARE(p.form.PageRect(0).left(), pw < w ? (w - pw) / 2 : 10);
        }
        // The zoom chosen is the next preview's.
        QCOMPARE(TfrPreviewForm::LastScaleMode, tag <= 3 ? tag : 0);
        Preview next;
        QCOMPARE(next.form.ZoomMode(), tag <= 3 ? tag : 0);
        QCOMPARE(next.form.Zoom(), zoom);
    }

    void initialZoomOfTheReport()
    {
        TfrPreviewForm::LastScaleMode = 2;
        TfrReport r;
        buildLines(r, kLines);
        r.InitialZoom = pzPageWidth;
        r.PrepareReport();
        TfrPreviewForm f;
        f.Attach(r);
        QCOMPARE(f.ZoomMode(), 1);
    }

    // Without a window manager to maximise it, the window still opens large enough to read a page.
    void opensLargeWithoutAWindowManager()
    {
        TfrPreviewForm f;
        const QRect area = f.screen()->availableGeometry();
        QVERIFY2(f.width() >= area.width() * 8 / 10 && f.height() >= area.height() * 8 / 10,
                 qPrintable(QString("%1x%2 on %3x%4").arg(f.width()).arg(f.height()).arg(area.width()).arg(area.height())));
    }

    void keysAndPaging()
    {
        Preview p;
        QVERIFY(!p.form.FormKeyDown(Qt::Key_End, {}));
        QVERIFY(!p.form.FormKeyDown(Qt::Key_Home, {}));
        QCOMPARE(p.form.CurrentPage(), 1);
        QTest::keyClick(p.form.PBox, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(p.form.CurrentPage(), 3);
        QCOMPARE(p.form.Label1->text(), QStringLiteral("页 3/3"));
        QCOMPARE(p.form.VScrollBar->value(), qMin(p.form.VScrollBar->maximum(), 2 * 1081));
        QTest::keyClick(p.form.PBox, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(p.form.CurrentPage(), 2);
        QTest::keyClick(p.form.PBox, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(p.form.VScrollBar->value(), 0);
        QCOMPARE(p.form.CurrentPage(), 1);
        // The line 11 pixels below the top edge decides the page shown in the label:
        // page 2 starts at 1091.
        p.form.VScrollBar->setValue(1080);
        QCOMPARE(p.form.CurrentPage(), 1);
        p.form.VScrollBar->setValue(1081);
        QCOMPARE(p.form.CurrentPage(), 2);
        QTest::keyClick(p.form.PBox, Qt::Key_Down);
        QCOMPARE(p.form.VScrollBar->value(), 1091);
        QTest::keyClick(p.form.PBox, Qt::Key_PageDown);
        QCOMPARE(p.form.VScrollBar->value(), 1291);
        p.form.PgDownClick();
        p.form.PgDownClick();
        QCOMPARE(p.form.CurrentPage(), 3);
        // Wheel: up moves back by a small step.
        const int before = p.form.VScrollBar->value();
        p.form.WheelScroll(1);
        QCOMPARE(p.form.VScrollBar->value(), before - 10);
    }

    void links()
    {
        Preview p;
        ScriptedPrompt prompt;
        // "@3" goes to page 3.
        QTest::mouseClick(p.form.PBox, Qt::LeftButton, {}, p.at(0, 60, kLinkTop + 6));
        QCOMPARE(p.form.CurrentPage(), 3);
        // A web address opens through the desktop.
        prompt.expectExternal(true);
        QTest::mouseClick(p.form.PBox, Qt::LeftButton, {}, p.at(0, 210, kLinkTop + 6));
        QCOMPARE(prompt.recorded().last().text, QStringLiteral("https://example.com/a"));
        // A program path and a page past the end do nothing.
        p.form.SetCurrentPage(1);
        QTest::mouseClick(p.form.PBox, Qt::LeftButton, {}, p.at(0, 360, kLinkTop + 6));
        QTest::mouseClick(p.form.PBox, Qt::LeftButton, {}, p.at(0, 510, kLinkTop + 6));
        QCOMPARE(p.form.CurrentPage(), 1);
        QVERIFY(prompt.verifyDone());
        // Hovering shows the link; a page link reads as a page.
        QTest::mouseMove(p.form.PBox, p.at(0, 60, kLinkTop + 6));
        QCOMPARE(p.form.Label2->text(), QStringLiteral("页 3"));
        QCOMPARE(p.form.PBox->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseMove(p.form.PBox, p.at(0, 210, kLinkTop + 6));
        QCOMPARE(p.form.Label2->text(), QStringLiteral("https://example.com/a"));
        QTest::mouseMove(p.form.PBox, p.at(0, 600, 600));
        QCOMPARE(p.form.Label2->text(), QString());
        QCOMPARE(p.form.PBox->cursor().shape(), Qt::ArrowCursor);
    }

    void dragMovesThePages()
    {
        Preview p;
        const QPoint start = p.at(0, 600, 600);
        QTest::mousePress(p.form.PBox, Qt::LeftButton, {}, start);
        QVERIFY(p.form.PBox->Dragging());
        QTest::mouseMove(p.form.PBox, start - QPoint(0, 50));
        QCOMPARE(p.form.VScrollBar->value(), 50);
        QTest::mouseRelease(p.form.PBox, Qt::LeftButton, {}, start - QPoint(0, 50));
        QVERIFY(!p.form.PBox->Dragging());
    }

    void findWithF3Resuming()
    {
        Preview p;
        ScriptedPrompt prompt;
        prompt.expectModal([](QDialog *d) {
            auto *f = qobject_cast<TfrPreviewSearchForm *>(d);
            f->Edit1->setText(QStringLiteral("alpha"));
            return int(QDialog::Accepted);
        });
        p.form.FindBtnClick();
        QVERIFY(prompt.verifyDone());
        QCOMPARE(p.form.SearchText(), QStringLiteral("ALPHA"));
        QCOMPARE(p.form.FoundPage(), 0);
        const QRect first = p.form.FoundRect();
        QVERIFY(first.width() > 0);
        QVERIFY(nearTop(first.top(), p.form.PageRect(0).top() + kFirstLineTop));
        // F3 goes on on the same page, then on the next pages.
        QTest::keyClick(p.form.PBox, Qt::Key_F3);
        QCOMPARE(p.form.FoundPage(), 0);
        QVERIFY(nearTop(p.form.FoundRect().top(), p.form.PageRect(0).top() + kFirstLineTop + 2 * kLineHeight));
        QTest::keyClick(p.form.PBox, Qt::Key_F3);
        QCOMPARE(p.form.FoundPage(), 1);
        QCOMPARE(p.form.CurrentPage(), 2);
        QCOMPARE(p.form.Label1->text(), QStringLiteral("页 2/3"));
        // The hit lies low on its page: the view scrolls until it shows at the bottom.
        const QRect hit = p.form.FoundRect();
        QVERIFY(hit.width() > 0);
        QVERIFY(p.form.VScrollBar->value() > 1081);
        QVERIFY(QRect(0, 0, p.areaWidth(), p.areaHeight()).contains(hit));
        QVERIFY(hit.bottom() > p.areaHeight() - 20);
        // The highlight inverts its pixels.
        QImage shot = p.form.PBox->grab().toImage();
        QVERIFY(shot.pixelColor(hit.left() + 1, hit.top() + 1) != QColor(Qt::white));
        // No more hits: nothing moves.
        QTest::keyClick(p.form.PBox, Qt::Key_F3);
        QCOMPARE(p.form.CurrentPage(), 2);
        // After moving to another page F3 restarts on that page.
        p.form.SetCurrentPage(1);
        QTest::keyClick(p.form.PBox, Qt::Key_F3);
        QCOMPARE(p.form.FoundPage(), 0);
        QVERIFY(nearTop(p.form.FoundRect().top(), p.form.PageRect(0).top() + kFirstLineTop));
    }

    void caseSensitiveFind()
    {
        Preview p;
        ScriptedPrompt prompt;
        prompt.expectModal([](QDialog *d) {
            auto *f = qobject_cast<TfrPreviewSearchForm *>(d);
            f->Edit1->setText(QStringLiteral("ALPHA"));
            f->CB1->setChecked(true);
            return int(QDialog::Accepted);
        });
        p.form.FindBtnClick();
        QCOMPARE(p.form.FoundPage(), 1);
        QVERIFY(nearTop(p.form.FoundRect().top(), p.form.PageRect(1).top() + 72 + 2 * kLineHeight));
    }

    void renderedPage()
    {
        Preview p;
        const QImage shot = p.form.PBox->grab().toImage();
        const QRect page = p.form.PageRect(0);
        QCOMPARE(shot.pixelColor(2, 2).rgb(), qRgb(128, 128, 128));            // the grey area
        QCOMPARE(shot.pixelColor(page.topLeft()).rgb(), qRgb(0, 0, 0));         // the frame
        QCOMPARE(shot.pixelColor(page.left() + 5, page.top() + 5).rgb(), qRgb(255, 255, 255));
        // The red box of the first line, at 100 %.
        const QPoint red = page.topLeft() + QPoint(kRedLeft + 50, kFirstLineTop + kRedOffset + 20);
        QCOMPARE(shot.pixelColor(red).rgb(), qRgb(255, 0, 0));
        // The shadow along the bottom edge, outside the frame.
        QCOMPARE(shot.pixelColor(page.left() + 20, page.top() + page.height()).rgb(), qRgb(0, 0, 0));
        QCOMPARE(shot.pixelColor(page.left() - 3, page.top() + 20).rgb(), qRgb(128, 128, 128));
    }

    void tallWindowDrawsEveryPageInView()
    {
        // Page 3 starts 2172 pixels down: in a page area that tall it is drawn, red box and all.
        // The area itself is made tall; a window manager may keep the window smaller.
        Preview p;
        const int tall = 2172 + 1071 + 20;
        p.form.PBox->resize(p.areaWidth(), tall);
        QCoreApplication::processEvents();
        QCOMPARE(p.areaHeight(), tall);
        QCOMPARE(p.form.PageRect(2).top(), 2172);
        const QImage shot = p.form.PBox->grab().toImage();
        QCOMPARE(shot.height(), tall);
        const QPoint red = p.form.PageRect(2).topLeft() + QPoint(kRedLeft + 50, 72 + kRedOffset + 20);
        QCOMPARE(shot.pixelColor(red).rgb(), qRgb(255, 0, 0));
    }

    void editPageWithADesigner()
    {
        Preview p;
        int opened = 0;
        DesignerClassRef = [&](bool) {
            ++opened;
            return new FakeDesigner;
        };
        ScriptedPrompt prompt;
        // The zoom button's menu hides the page items: a double-click then edits nothing.
        p.form.ZoomBtnClick();
        p.form.ProcMenu->hide();
        QTest::mouseDClick(p.form.PBox, Qt::LeftButton, {}, p.at(1, 600, 600));
        QCOMPARE(opened, 0);
        // A right click shows them again; the double-click opens the page in the designer.
        QTest::mouseClick(p.form.PBox, Qt::RightButton, {}, p.at(1, 600, 600));
        p.form.ProcMenu->hide();
        QVERIFY(p.form.EditPageItem->isVisible());
        prompt.expectModal([&](QDialog *d) {
            auto *designer = qobject_cast<TfrReportDesigner *>(d);
            // The report owns its pages while the designer runs.
            return int(designer && p.report.EMFPages().Count() == 3 ? QDialog::Accepted : QDialog::Rejected);
        });
        QTest::mousePress(p.form.PBox, Qt::LeftButton, {}, p.at(1, 600, 600));
        QTest::mouseRelease(p.form.PBox, Qt::LeftButton, {}, p.at(1, 600, 600));
        QTest::mouseDClick(p.form.PBox, Qt::LeftButton, {}, p.at(1, 600, 600));
        QVERIFY(prompt.verifyDone());
        QCOMPARE(opened, 1);
        QCOMPARE(p.form.CurrentPage(), 2);
        QCOMPARE(p.form.PageCount(), 3);
        QCOMPARE(p.report.EMFPages().Count(), 0);
        DesignerClassRef = nullptr;
        // End the double-click gesture so that later moves are plain moves.
        QTest::mouseClick(p.form.PBox, Qt::LeftButton, {}, p.at(1, 600, 600));
    }

    void saveAndOpenPreparedReport()
    {
        Preview p;
        ScriptedPrompt prompt;
        const QString asked = m_dir.filePath(QStringLiteral("bill.pdf"));
        const QString written = m_dir.filePath(QStringLiteral("bill.frp"));
        prompt.expectSaveFile(asked);
        p.form.SaveBtnClick();
        QVERIFY(QFile::exists(written));
        QVERIFY(!QFile::exists(asked));
        QCOMPARE(p.form.PageCount(), 3);
        QCOMPARE(p.report.EMFPages().Count(), 0);
        QVERIFY(p.form.PageSetupBtn->isEnabled());

        // A cut file is refused and the pages shown stay.
        QFile full(written);
        QVERIFY(full.open(QIODevice::ReadOnly));
        const QByteArray bytes = full.readAll();
        const QString cut = m_dir.filePath(QStringLiteral("cut.frp"));
        QFile c(cut);
        QVERIFY(c.open(QIODevice::WriteOnly));
        c.write(bytes.left(bytes.size() / 2));
        c.close();
        QString why;
        {
            TfrReport scratch;
            QVERIFY(!scratch.LoadPreparedReport(cut, &why));
        }
        p.form.N3Click(50);
        p.form.SetCurrentPage(2);
        prompt.expectOpenFile(cut);
        prompt.expectMessage(QStringLiteral("不能读取报表文件 ") + cut + QLatin1Char('\n') + why, QMessageBox::Ok,
                             QStringLiteral("错误"));
        p.form.LoadBtnClick();
        QCOMPARE(p.form.PageCount(), 3);
        QCOMPARE(p.form.CurrentPage(), 2);

        // The whole file opens on page 1; page setup has no template to rebuild from.
        TfrPreviewForm other;
        TfrReport r2;
        buildLines(r2, {QStringLiteral("x")});
        r2.PrepareReport();
        other.Attach(r2);
        QCOMPARE(other.PageCount(), 1);
        prompt.expectOpenFile(written);
        other.LoadBtnClick();
        QVERIFY(prompt.verifyDone());
        QCOMPARE(other.PageCount(), 3);
        QCOMPARE(other.CurrentPage(), 1);
        QCOMPARE(other.Label1->text(), QStringLiteral("页 1/3"));
        QVERIFY(!r2.Rebuildable);
        QVERIFY(!other.PageSetupBtn->isEnabled());
        other.PageSetupBtnClick();   // nothing, no dialog
        QCOMPARE(other.PageCount(), 3);
    }

    void removeAndAddPages()
    {
        Preview p;
        ScriptedPrompt prompt;
        p.form.SetCurrentPage(2);
        prompt.expectMessage(QStringLiteral("删除该页吗?"), QMessageBox::No, QStringLiteral("确认"));
        p.form.DelPageBtnClick();
        QCOMPARE(p.form.PageCount(), 3);
        prompt.expectMessage(QStringLiteral("删除该页吗?"), QMessageBox::Yes, QStringLiteral("确认"));
        p.form.DelPageBtnClick();
        QCOMPARE(p.form.PageCount(), 2);
        QCOMPARE(p.form.CurrentPage(), 1);
        p.form.SetCurrentPage(2);
        p.form.NewPageBtnClick();
        QCOMPARE(p.form.PageCount(), 3);
        // The blank page went before the current page.
        p.form.Pages()->ObjectsToPage(1);
        QVERIFY(p.form.Pages()->GetPage(1)->Page->Objects.isEmpty());
        QVERIFY(prompt.verifyDone());
        // Without a designer the page items stay hidden, also after a right click.
        QTest::mouseClick(p.form.PBox, Qt::RightButton, {}, p.at(0, 600, 600));
        QVERIFY(!p.form.EditPageItem->isVisible());
        p.form.ProcMenu->hide();
    }

    void errorsInHandlersAreShownOnce()
    {
        Preview p;
        int calls = 0;
        p.report.OnMouseOverObject = [&](TfrView *, Qt::CursorShape &) {
            ++calls;
            throw std::runtime_error("hover failed");
        };
        ScriptedPrompt prompt;
        prompt.expectMessage(QStringLiteral("hover failed"), QMessageBox::Ok, QStringLiteral("错误"));
        QTest::mouseMove(p.form.PBox, p.at(0, 60, kLinkTop + 6));
        QTest::mouseMove(p.form.PBox, p.at(0, 62, kLinkTop + 7));
        QCoreApplication::processEvents();
        QCOMPARE(calls, 2);
        QVERIFY(prompt.verifyDone());
        // The window goes on working.
        QTest::keyClick(p.form.PBox, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(p.form.CurrentPage(), 3);
    }

    void pagesComeBackWhenPrintingFails()
    {
        Preview p;
        p.report.OnPrintReport = [] { throw std::runtime_error("spooler gone"); };
        ScriptedPrompt prompt;
        prompt.expectModal([](QDialog *d) {
            return int(qobject_cast<TfrPrintForm *>(d) ? QDialog::Accepted : QDialog::Rejected);
        });
        prompt.expectSaveFile(m_dir.filePath(QStringLiteral("fail.pdf")));
        prompt.expectMessage(QStringLiteral("spooler gone"), QMessageBox::Ok, QStringLiteral("错误"));
        emit p.form.PrintBtn->clicked();
        QVERIFY(prompt.verifyDone());
        QCOMPARE(p.form.PageCount(), 3);
        QCOMPARE(p.report.EMFPages().Count(), 0);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("fail.pdf"))));
    }

    void printWithoutTheDialog()
    {
        Preview p;
        p.report.ShowPrintDialog = false;
        p.report.DefaultCopies = 2;
        p.report.DefaultCollate = false;
        ScriptedPrompt prompt;
        const QString file = m_dir.filePath(QStringLiteral("direct"));
        prompt.expectSaveFile(file);
        emit p.form.PrintBtn->clicked();
        QVERIFY(prompt.verifyDone());
        // All pages, each twice in a row: a PDF file makes no copies of its own.
        QFile pdf(file + QStringLiteral(".pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(pdf.readAll());
        QCOMPARE(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 6);
        QCOMPARE(p.form.PageCount(), 3);
    }

    void helpForTheControlClicked()
    {
        Preview p;
        emit p.form.HelpBtn->clicked();
        QVERIFY(p.form.HelpMode());
        ScriptedPrompt prompt;
        prompt.expectMessage(TfrPreviewForm::HelpTopic(206), QMessageBox::Ok, QStringLiteral("显示帮助"));
        QTest::mouseClick(p.form.Label1, Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(prompt.verifyDone());
        QVERIFY(!p.form.HelpMode());
        QCOMPARE(TfrPreviewForm::HelpTopic(206), QStringLiteral("状态栏：当前页号和总页数；鼠标指向链接时显示链接。"));
    }

    void exitEndsAModalPreview()
    {
        Preview p;
        QCOMPARE(p.form.windowTitle(), QString());
        QTest::keyClick(p.form.PBox, Qt::Key_Escape);
        QCOMPARE(p.form.result(), int(QDialog::Accepted));
        QVERIFY(!p.form.isVisible());
        // Its place is kept for the next preview.
        auto s = orv::userSettings();
        QVERIFY(s->contains(QStringLiteral("Software/OrvReport/Form/TfrPreviewForm/Width")));
    }

    void previewHookShowsThePages()
    {
        frRegisterPreview();
        TfrReport r;
        buildLines(r, kLines);
        r.Title = QStringLiteral("销售单");
        ScriptedPrompt prompt;
        int shown = 0;
        prompt.expectModal([&](QDialog *d) {
            auto *f = qobject_cast<TfrPreviewForm *>(d);
            if (!f)
                return int(QDialog::Rejected);
            shown = f->PageCount();
            if (f->windowTitle() != QStringLiteral("预览 - 销售单") || !f->ZoomBtn->isVisibleTo(f)
                || f->PageSetupBtn->isVisibleTo(f) || !f->HelpBtn->isVisibleTo(f))
                shown = -1;
            f->ExitBtnClick();
            return f->result();
        });
        r.ShowReport();
        QVERIFY(prompt.verifyDone());
        QCOMPARE(shown, 3);
        TfrReport::PreviewHook = nullptr;
        frSetProgressHost(nullptr);
    }
};

QTEST_MAIN(TstPreview)
#include "tst_preview.moc"
