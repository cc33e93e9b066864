// The page list of the print dialog, the order pages go to the printer, and the print dialog.
#include "scriptedprompt.h"

#include "report/engine/frpagelist.h"
#include "report/engine/frprinter.h"
#include "report/engine/frprintform.h"
#include "report/engine/frspeedbutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using orv::test::ScriptedPrompt;

namespace {
// Two printers whose settings can be read, so one can be chosen and undone.
class TwoPrinters : public TfrPrinterPlatform {
public:
    int selected = 0;
    QStringList Printers() const override { return {QStringLiteral("Office"), QStringLiteral("Label")}; }
    int CurrentPrinter() const override { return selected; }
    void SelectPrinter(int index) override { selected = index; }
    bool ReadDevice(DeviceMode &dm, Capabilities &caps) override
    {
        dm = DeviceMode();
        caps.DpiX = caps.DpiY = 300;
        caps.PhysicalWidth = 2480;
        caps.PhysicalHeight = 3508;
        caps.PageWidth = 2380;
        caps.PageHeight = 3408;
        caps.PhysicalOffsetX = caps.PhysicalOffsetY = 50;
        caps.PaperCodes = {9};
        caps.PaperNames = {QStringLiteral("A4")};
        return true;
    }
    bool WriteDevice(const DeviceMode &) override { return true; }
    bool Printing() const override { return false; }
    bool PropertiesDialog() override { return false; }
};

QString numbers(const QList<int> &indices)
{
    QStringList out;
    for (int i : indices)
        out << QString::number(i + 1);
    return out.join(QLatin1Char(','));
}

const QString kHint = QStringLiteral("输入页号或页范围,逗号分隔.例如: 1,3,5-12");
} // namespace

class TstPrintDialog : public QObject {
    Q_OBJECT
private slots:
    void init() { InitReportPrinter(std::make_unique<TfrNoPrinters>()); }

    void printPlan_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<int>("oddEven");
        QTest::addColumn<bool>("deviceCopies");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<int>("deviceCopyCount");
        QTest::newRow("all") << "" << 3 << 1 << true << 0 << true << "1,2,3" << 1;
        QTest::newRow("numbers and a range") << "1,3,5-12" << 14 << 1 << true << 0 << true
                                             << "1,3,5,6,7,8,9,10,11,12" << 1;
        QTest::newRow("blanks anywhere") << " 1 , 3 - 4 " << 5 << 1 << true << 0 << true << "1,3,4" << 1;
        QTest::newRow("trailing dash runs to the end") << "3-" << 6 << 1 << true << 0 << true << "3,4,5,6" << 1;
        QTest::newRow("backwards range prints nothing") << "5-3" << 6 << 1 << true << 0 << true << "" << 1;
        QTest::newRow("pages past the end") << "2,9" << 3 << 1 << true << 0 << true << "2" << 1;
        QTest::newRow("a huge number") << "2-99999999999999" << 3 << 1 << true << 0 << true << "2,3" << 1;
        QTest::newRow("an empty item") << "1,,3," << 3 << 1 << true << 0 << true << "1,3" << 1;
        QTest::newRow("collated copies") << "1-3" << 5 << 2 << true << 0 << true << "1,2,3,1,2,3" << 1;
        QTest::newRow("device copies") << "1-3" << 5 << 2 << false << 0 << true << "1,2,3" << 2;
        QTest::newRow("copies the device cannot make") << "1-3" << 5 << 2 << false << 0 << false
                                                       << "1,1,2,2,3,3" << 1;
        QTest::newRow("odd pages of a range") << "2-5" << 6 << 1 << true << 1 << true << "3,5" << 1;
        QTest::newRow("even pages") << "" << 5 << 1 << true << 2 << true << "2,4" << 1;
        QTest::newRow("no copies is one copy") << "" << 2 << 0 << true << 0 << true << "1,2" << 1;
        QTest::newRow("negative copies uncollated") << "" << 2 << -3 << false << 0 << false << "1,2" << 1;
    }
    void printPlan()
    {
        QFETCH(QString, list);
        QFETCH(int, pageCount);
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(int, oddEven);
        QFETCH(bool, deviceCopies);
        QFETCH(QString, printed);
        QFETCH(int, deviceCopyCount);
        QVERIFY(TfrPageList::Check(list));
        const TfrPrintPlan plan = frPrintPlan({list, copies, collate, quint8(oddEven)}, pageCount, deviceCopies);
        QCOMPARE(numbers(plan.Pages), printed);
        QCOMPARE(plan.DeviceCopies, deviceCopyCount);
    }

    void refusedPageLists_data()
    {
        QTest::addColumn<QString>("list");
        QTest::newRow("other characters") << "1;3";
        QTest::newRow("letters") << "a-b";
        QTest::newRow("a decimal point") << "1.5";
        QTest::newRow("range without a start") << "-5";
        QTest::newRow("range without a start later") << "2,-5";
        QTest::newRow("range without an end") << "5-,7";
        QTest::newRow("two dashes") << "5--7";
        QTest::newRow("a range into another") << "5-7-9";
    }
    void refusedPageLists()
    {
        QFETCH(QString, list);
        QString message;
        QVERIFY(!TfrPageList::Check(list, &message));
        QCOMPARE(message, QStringLiteral("页号不正确: ") + list + QLatin1Char('\n') + kHint);
        QVERIFY(frPrintPlan({list, 1, true, 0}, 9, true).Pages.isEmpty());
    }

    void captionsAndVirtualPrinter()
    {
        TfrPrintForm f;
        QCOMPARE(f.windowTitle(), QStringLiteral("打印"));
        QCOMPARE(f.GroupBox1->title(), QStringLiteral("打印机"));
        QCOMPARE(f.GroupBox2->title(), QStringLiteral("页范围"));
        QCOMPARE(f.GroupBox3->title(), QStringLiteral("打印份数"));
        QCOMPARE(f.RB3->text(), QStringLiteral("页(&P):"));
        QCOMPARE(f.Label2->text(), kHint);
        QCOMPARE(f.Label3->text(), QStringLiteral("对齐(&l)"));
        QCOMPARE(f.CB2->count(), 3);
        QCOMPARE(f.CB2->itemText(1), QStringLiteral("奇数页"));
        QCOMPARE(f.CB2->currentIndex(), 0);
        // Without printers the only target is the virtual printer, a PDF file.
        QCOMPARE(f.CB1->count(), 1);
        QCOMPARE(f.CB1->itemText(0), QStringLiteral("虚拟打印机 (PDF)"));
        QVERIFY(f.ToFile());
        QVERIFY(!f.PropButton->isEnabled());
        QVERIFY(f.RB1->isChecked());
        QVERIFY(f.CollateCB->isChecked());
        QCOMPARE(f.E1->text(), QStringLiteral("1"));
    }

    void copiesStayWholeAndAboveZero()
    {
        TfrPrintForm f;
        f.frSpeedButton2Click();
        QCOMPARE(f.E1->text(), QStringLiteral("1"));
        f.frSpeedButton1Click();
        f.frSpeedButton1Click();
        QCOMPARE(f.E1->text(), QStringLiteral("3"));
        f.frSpeedButton2Click();
        QCOMPARE(f.Copies(), 2);
        // Typed letters do not get in.
        f.E1->clear();
        QTest::keyClicks(f.E1, QStringLiteral("a-b"));
        QVERIFY(f.E1->text().isEmpty());
        QCOMPARE(f.Copies(), 1);
        QTest::keyClicks(f.E1, QStringLiteral("4x"));
        QCOMPARE(f.E1->text(), QStringLiteral("4"));
        // A zero or an emptied field prints one copy, and says so.
        f.E1->setText(QStringLiteral("0"));
        QCOMPARE(f.Copies(), 1);
        f.done(QDialog::Accepted);
        QCOMPARE(f.E1->text(), QStringLiteral("1"));
    }

    void pageChoice()
    {
        TfrPrintForm f;
        QCOMPARE(f.PageNumbers(4), QString());
        f.RB2->setChecked(true);
        QCOMPARE(f.PageNumbers(4), QStringLiteral("4"));
        // Entering the page field picks "pages".
        QFocusEvent in(QEvent::FocusIn);
        QCoreApplication::sendEvent(f.E2, &in);
        QVERIFY(f.RB3->isChecked());
        f.E2->setText(QStringLiteral("2-3"));
        QCOMPARE(f.PageNumbers(4), QStringLiteral("2-3"));
        f.CB2->setCurrentIndex(2);
        QCOMPARE(f.PrintPages(), quint8(2));
        f.Label3Click();
        QVERIFY(!f.Collate());
        QTest::mouseClick(f.Label3, Qt::LeftButton);
        QVERIFY(f.Collate());
    }

    void badPageListKeepsTheDialogOpen()
    {
        TfrPrintForm f;
        f.RB3->setChecked(true);
        f.E2->setText(QStringLiteral("-3"));
        ScriptedPrompt p;
        p.expectMessage(QStringLiteral("页号不正确: -3\n") + kHint, QMessageBox::Ok, QStringLiteral("错误"));
        f.done(QDialog::Accepted);
        QVERIFY(p.verifyDone());
        QCOMPARE(f.result(), int(QDialog::Rejected));
        f.E2->setText(QStringLiteral("1-3"));
        f.done(QDialog::Accepted);
        QCOMPARE(f.result(), int(QDialog::Accepted));
    }

    void printerRestoredOnlyOnCancel_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("cancel") << false;
        QTest::newRow("ok") << true;
    }
    void printerRestoredOnlyOnCancel()
    {
        QFETCH(bool, ok);
        InitReportPrinter(std::make_unique<TwoPrinters>());
        TfrPrinter &prn = *ReportPrinter;
        QCOMPARE(prn.PrinterIndex, 0);
        TfrPrintForm f;
        QCOMPARE(f.CB1->count(), 3);
        QCOMPARE(f.CB1->itemText(1), QStringLiteral("Label"));
        QCOMPARE(f.CB1->itemText(2), QStringLiteral("虚拟打印机 (PDF)"));
        f.CB1->setCurrentIndex(1);
        f.CB1Click();
        QCOMPARE(prn.PrinterIndex, 1);
        QVERIFY(f.PropButton->isEnabled());
        // Another window taking the focus does not undo the choice.
        QEvent deactivate(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(&f, &deactivate);
        QCOMPARE(prn.PrinterIndex, 1);
        f.done(ok ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(prn.PrinterIndex, ok ? 1 : 0);
        QCOMPARE(prn.CurrentPrinterName(), ok ? QStringLiteral("Label") : QStringLiteral("Office"));
        QVERIFY(!f.ToFile());
    }
};

QTEST_MAIN(TstPrintDialog)
#include "tst_printdialog.moc"
