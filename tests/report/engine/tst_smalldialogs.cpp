// The password query of a protected report, the progress window and the find dialog.
#include "scriptedprompt.h"

#include "report/engine/frpasswform.h"
#include "report/engine/frpreviewsearchform.h"
#include "report/engine/frprinter.h"
#include "report/engine/frprogressform.h"
#include "report/engine/frreport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using orv::test::ScriptedPrompt;

class TstSmallDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitReportPrinter(std::make_unique<TfrNoPrinters>()); }

    void protectedReportAsksForItsPassword_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("opens");
        QTest::newRow("right password") << QStringLiteral("密码1") << true << true;
        QTest::newRow("wrong password") << QStringLiteral("x") << true << false;
        QTest::newRow("cancelled") << QStringLiteral("密码1") << false << false;
    }
    void protectedReportAsksForItsPassword()
    {
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(bool, opens);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.frf"));
        {
            TfrReport src;
            src.Pages().Add();
            src.Pages().Add();
            src.Attributes.Password = QStringLiteral("密码1");
            src.Attributes.Protected = 1;
            QVERIFY(src.SaveToFile(path));
        }
        TfrReport::PasswordQuery = frAskReportPassword;
        ScriptedPrompt p;
        p.expectModal([&](QDialog *d) {
            auto *f = qobject_cast<TfrPasswForm *>(d);
            if (!f)
                return int(QDialog::Rejected);
            if (f->windowTitle() != QStringLiteral("Password") || f->L1->text() != QStringLiteral("Enter password for opening report")
                || !f->L2->isHidden() || f->E1->echoMode() != QLineEdit::Password)
                return int(QDialog::Rejected);
            f->E1->setText(typed);
            (ok ? f->Button1 : f->Button2)->click();
            return f->result();
        });
        TfrReport r;
        QVERIFY(r.LoadFromFile(path) == opens);
        QVERIFY(p.verifyDone());
        QCOMPARE(r.Pages().Count(), opens ? 2 : 1);
        TfrReport::PasswordQuery = nullptr;
    }

    void progressRunsTheWorkInsideItsRun()
    {
        TfrReport report;
        TfrProgressForm f;
        f.StepCaption = QStringLiteral("正在打印页:");
        int pages = 0;
        f.OnStartWork = [&](TfrProgressForm *form) {
            QCOMPARE(TfrProgressForm::Active(), form);
            for (pages = 1; pages <= 3; ++pages)
                form->ShowProgress(pages, 10);
            form->Finish();
        };
        ScriptedPrompt p;
        p.expectModal([](QDialog *d) {
            QCoreApplication::processEvents();   // the posted start
            return d->result();
        });
        QCOMPARE(f.RunModal(&report), int(QDialog::Accepted));
        QVERIFY(p.verifyDone());
        QCOMPARE(pages, 4);
        QCOMPARE(f.Label1->text(), QStringLiteral("正在打印页:  3 从 10"));
        QCOMPARE(f.Button1->text(), QStringLiteral("取消"));
        QVERIFY(!report.StopRequested);
        QVERIFY(!TfrProgressForm::Active());
    }

    void progressCancelStopsTheReport()
    {
        TfrReport report;
        TfrProgressForm f;
        bool stoppedSeen = false;
        f.OnStartWork = [&](TfrProgressForm *form) {
            form->Button1->click();              // the operator presses Cancel during the work
            stoppedSeen = report.StopRequested;
        };
        ScriptedPrompt p;
        p.expectModal([](QDialog *d) {
            QCoreApplication::processEvents();
            return d->result();
        });
        QCOMPARE(f.RunModal(&report), int(QDialog::Rejected));
        QVERIFY(stoppedSeen);
    }

    void progressWorkErrorReachesTheCaller()
    {
        TfrReport report;
        TfrProgressForm f;
        f.OnStartWork = [](TfrProgressForm *) { throw std::runtime_error("disk full"); };
        ScriptedPrompt p;
        p.expectModal([](QDialog *d) {
            QCoreApplication::processEvents();
            return d->result();
        });
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, f.RunModal(&report));
        QVERIFY(!TfrProgressForm::Active());
    }

    void findDialogTexts()
    {
        TfrPreviewSearchForm f;
        QCOMPARE(f.windowTitle(), QStringLiteral("查找文本"));
        QCOMPARE(f.Label1->text(), QStringLiteral("待查文本(&F)"));
        QCOMPARE(f.GroupBox1->title(), QStringLiteral("选项"));
        QCOMPARE(f.CB1->text(), QStringLiteral("大小写敏感(&C)"));
        QCOMPARE(f.GroupBox2->title(), QStringLiteral("起点"));
        QCOMPARE(f.RB1->text(), QStringLiteral("首页(&1)"));
        QCOMPARE(f.RB2->text(), QStringLiteral("当前页(&P)"));
        QVERIFY(f.RB1->isChecked());
        f.Edit1->setText(QStringLiteral("合计"));
        f.show();
        QCOMPARE(f.Edit1->selectedText(), QStringLiteral("合计"));
    }
};

QTEST_MAIN(TstSmallDialogs)
#include "tst_smalldialogs.moc"
