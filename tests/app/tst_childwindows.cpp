// Child windows inside the main window, window messages, and the server finder hand-over.
#include "scriptedprompt.h"

#include "app/appglobals.h"
#include "app/frmfindserver.h"
#include "app/frmmain.h"
#include "app/frmserver.h"
#include "app/windowing.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace orv;

class TListA : public QWidget, public MessageReceiver {
    Q_OBJECT
public:
    QList<int> got;
    QStringList fields;
    bool fail = false;
    void onWindowMessage(int m) override
    {
        if (fail)
            throw std::runtime_error("接收失败");
        got << m;
    }
    bool setField(FieldRole role, const QString &which, const QString &value) override
    {
        if (fail)
            throw std::runtime_error("接收失败");
        if (role != FieldRole::Staff)
            return false;
        fields << which + "=" + value;
        return true;
    }
};
class TListB : public QWidget {
    Q_OBJECT
};
namespace {
QPointer<TListA> listA;
QPointer<TListB> listB;
} // namespace

class TestChildWindows : public QObject {
    Q_OBJECT
private slots:
    void oneChildAtATime()
    {
        test::ScriptedPrompt p; // nothing may prompt
        TfrmMain m;
        TListA *a = ShowChildForm(listA);
        QVERIFY(a);
        QCOMPARE(m.workspace()->subWindowList().size(), 1);
        // Chosen again: the same window, no second one.
        QCOMPARE(ShowChildForm(listA), a);
        QCOMPARE(m.workspace()->subWindowList().size(), 1);

        // A minimised one comes back in its normal size, in front.
        QMdiSubWindow *sub = m.workspace()->subWindowList().first();
        sub->showMinimized();
        QCOMPARE(ShowChildForm(listA), a);
        QVERIFY(!sub->isMinimized());
        QCOMPARE(m.workspace()->activeSubWindow(), sub);

        // Another class closes it.
        TListB *b = ShowChildForm(listB);
        QVERIFY(b);
        QTRY_VERIFY(listA.isNull()); // freed once closed
        QCOMPARE(m.workspace()->subWindowList().size(), 1);
    }

    void messagesAreSynchronousAndDroppedForClosedWindows()
    {
        QPointer<TListA> none;
        QVERIFY(!SendMessage(none, WM_DATE_CHOSEN)); // nothing happens
        auto *a = new TListA;
        QPointer<TListA> p(a);
        QVERIFY(SendMessage(p, WM_DATE_CHOSEN));
        QCOMPARE(a->got, QList<int>{WM_DATE_CHOSEN});
        delete a;
        QVERIFY(!SendMessage(p, WM_DATE_CHOSEN));
        QVERIFY(p.isNull());
    }

    // A receiver that fails reports once and tells the sender; nothing crosses the event loop.
    void receiverFailureIsReportedOnce()
    {
        TListA a;
        QVERIFY(setCallerField(&a, FieldRole::Staff, "经办人", "001.张三"));
        QVERIFY(!setCallerField(&a, FieldRole::Customer, "", "x")); // no such field
        QCOMPARE(a.fields, QStringList{"经办人=001.张三"});
        a.fail = true;
        test::ScriptedPrompt p;
        p.expectMessage("接收失败");
        QVERIFY(!SendMessage(&a, WM_FIT_CHOSEN));
        p.expectMessage("接收失败");
        QVERIFY(!setCallerField(&a, FieldRole::Staff, "经办人", "002.李四"));
        QVERIFY(p.verifyDone());
        QCOMPARE(int(p.recorded().first().icon), int(QMessageBox::Critical));
        QVERIFY(a.got.isEmpty());
    }

    void statusPanelsOfAnOpenedWindow()
    {
        G.gAppTitle = "Orvane仓库管理软件-标准版";
        TfrmMain m;
        writeWindowStatus("类别目录");
        QCOMPARE(m.panel(0)->text(), QString("登陆时间"));
        QCOMPARE(m.panel(5)->text(), QString("Orvane仓库管理软件-标准版-[类别目录]"));
    }

    void enterMovesToTheNextField()
    {
        QDialog d;
        auto *a = new QLineEdit(&d);
        auto *b = new QComboBox(&d);
        b->setEditable(true);
        auto *ok = new QPushButton("确定", &d);
        auto *lay = new QVBoxLayout(&d);
        for (QWidget *w : {static_cast<QWidget *>(a), static_cast<QWidget *>(b), static_cast<QWidget *>(ok)})
            lay->addWidget(w);
        enterMovesToNextField(&d);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        a->setFocus();
        QTest::keyClick(a, Qt::Key_Return);
        QVERIFY(b->hasFocus());
        QTest::keyClick(b, Qt::Key_Enter);
        QVERIFY(ok->hasFocus());
        QVERIFY(d.isVisible());
    }

    // Centring keeps the size a window chose (grown to what its layout needs) and gives the
    // others their size hint.
    void centringKeepsAChosenSize()
    {
        QDialog chosen, hinted;
        for (QDialog *d : {&chosen, &hinted}) {
            auto *lay = new QVBoxLayout(d);
            lay->addWidget(new QLineEdit(d));
            lay->addWidget(new QPushButton(QStringLiteral("确定"), d));
        }
        chosen.resize(860, 560);
        centreOnDesktop(&chosen);
        QCOMPARE(chosen.size(), QSize(860, 560));
        chosen.resize(10, 10);
        centreOnDesktop(&chosen);
        QVERIFY(chosen.width() >= chosen.minimumSizeHint().width() && chosen.height() >= chosen.minimumSizeHint().height());
        centreOnDesktop(&hinted);
        QCOMPARE(hinted.height(), hinted.sizeHint().height());
        QVERIFY(hinted.width() < 640); // not the size a window takes when nobody chose one
    }

    void serverFinderHandsOverToTheStartupWindow()
    {
        TfrmServer s;
        frmServer = &s;
        TfrmFindServer f;
        f.FormShow();
        QCOMPARE(f.serverCombo->itemText(0), QString("(local)"));
        f.serverCombo->setEditText("db.example");
        f.BitBtn1Click();
        QCOMPARE(G.gFoundServer, QString("db.example"));
        QCOMPARE(s.serverEdit->text(), QString("db.example"));
        frmServer = nullptr;
    }
};

QTEST_MAIN(TestChildWindows)
#include "tst_childwindows.moc"
