// Units, storage places and customer regions: their windows' add/change/delete and picks.
#include "receiver.h"
#include "scriptedprompt.h"
#include "testdb.h"

#include "app/windowing.h"
#include "goods/goodsmenu.h"
#include "goods/lookupforms.h"
#include "goods/lookups.h"
#include "goods/lookupschema.h"

#include <QApplication>
#include <QLineEdit>
#include <QWheelEvent>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using namespace orv;
using namespace orv::test;

Q_DECLARE_METATYPE(orv::LookupKind)

namespace {
std::unique_ptr<TLookupListForm> makeForm(LookupKind kind, QWidget *opener = nullptr)
{
    switch (kind) {
    case LookupKind::Units:
        return std::make_unique<TfrmSelectDan>(opener);
    case LookupKind::Places:
        return std::make_unique<TfrmCamgWei>(opener);
    case LookupKind::Regions:
        break;
    }
    return std::make_unique<TfrmKeHu>(opener);
}

QStringList stored(TestDb &t, LookupKind kind)
{
    QStringList out;
    for (const auto &r : LookupStore(t.conn(), kind).rows())
        out << r.name;
    return out;
}

QLineEdit *edit(QWidget *w) { return w->findChild<QLineEdit *>("Edit1"); }
QToolButton *button(QWidget *w, int n) { return w->findChild<QToolButton *>(QString("SpeedButton%1").arg(n)); }
QTableWidget *grid(QWidget *w) { return w->findChild<QTableWidget *>("DBGrid1"); }
} // namespace

class TestLookups : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerGoodsLookupSchema(); }
    void init() { G = AppGlobals{}; }

    void kinds_data()
    {
        QTest::addColumn<LookupKind>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("empty");
        QTest::addColumn<QString>("longAdd");
        QTest::addColumn<QString>("longEdit");
        QTest::newRow("units") << LookupKind::Units << "单位目录" << "单位不能为空！" << "单位名称长度不得超过200"
                               << "单位名称长度不得超过200";
        QTest::newRow("places") << LookupKind::Places << "仓位目录" << "仓位不能为空！"
                                << "仓位长度不得超过200 请从新输入" << "仓位长度不得超过200 请从新输入";
        QTest::newRow("regions") << LookupKind::Regions << "客户地域" << "客户地域不能为空！"
                                 << "客户地域长度太长请修改" << "客户地域长度太长请从新输入";
    }

    void kinds()
    {
        QFETCH(LookupKind, kind);
        QFETCH(QString, caption);
        QFETCH(QString, empty);
        QFETCH(QString, longAdd);
        QFETCH(QString, longEdit);
        TestDb t;
        ScriptedPrompt p;
        auto w = makeForm(kind);
        w->show();
        QCOMPARE(w->windowTitle(), caption);
        QVERIFY(edit(w.get())->isReadOnly());
        QCOMPARE(w->currentKey(), qint64(0));

        // Empty table: 修改 and 删除 do nothing (no prompt).
        w->SpeedButton2Click();
        w->SpeedButton3Click();
        QCOMPARE(button(w.get(), 2)->text(), QString("修改"));

        // 新建: an empty box is refused and the entry state stays.
        w->SpeedButton1Click();
        QCOMPARE(button(w.get(), 1)->text(), QString("保存"));
        QVERIFY(!button(w.get(), 2)->isEnabled());
        QVERIFY(!edit(w.get())->isReadOnly());
        p.expectMessage(empty);
        w->SpeedButton1Click();
        QCOMPARE(button(w.get(), 1)->text(), QString("保存"));

        // 201 bytes refused, 200 bytes (100 Chinese characters) accepted.
        const QString exact = QString(100, QChar(0x4e2d));
        edit(w.get())->setText(exact + "x");
        p.expectMessage(longAdd);
        w->SpeedButton1Click();
        QVERIFY(stored(t, kind).isEmpty());
        edit(w.get())->setText(exact);
        w->SpeedButton1Click();
        QCOMPARE(stored(t, kind), QStringList{exact});
        QCOMPARE(button(w.get(), 1)->text(), QString("新建"));
        QVERIFY(edit(w.get())->isReadOnly());
        QVERIFY(button(w.get(), 2)->isEnabled());

        // Blanks only, a quote and a duplicate are stored as typed; the first row stays current.
        for (const QString &name : {QString("  "), QString("o'k"), exact}) {
            w->SpeedButton1Click();
            edit(w.get())->setText(name);
            w->SpeedButton1Click();
        }
        QCOMPARE(stored(t, kind), (QStringList{exact, "  ", "o'k", exact}));
        QCOMPARE(edit(w.get())->text(), exact);

        // 修改 the row moved to with Down: the changed row stays current.
        QTest::keyClick(grid(w.get()), Qt::Key_Down);
        QCOMPARE(edit(w.get())->text(), QString("  "));
        w->SpeedButton2Click();
        QCOMPARE(button(w.get(), 2)->text(), QString("保存"));
        QVERIFY(!button(w.get(), 1)->isEnabled());
        edit(w.get())->setText(exact + "y");
        p.expectMessage(longEdit);
        w->SpeedButton2Click();
        edit(w.get())->clear();
        p.expectMessage(empty);
        w->SpeedButton2Click();
        edit(w.get())->setText("箱");
        w->SpeedButton2Click();
        QCOMPARE(stored(t, kind), (QStringList{exact, "箱", "o'k", exact}));
        QCOMPARE(edit(w.get())->text(), QString("箱"));
        QCOMPARE(grid(w.get())->currentRow(), 1);
        QCOMPARE(button(w.get(), 2)->text(), QString("修改"));

        // 删除 asks; No keeps the row, Yes deletes the current one.
        p.expectMessage("确认要删除?", QMessageBox::No, "系统提示");
        w->SpeedButton3Click();
        QCOMPARE(stored(t, kind).size(), 4);
        p.expectMessage("确认要删除?", QMessageBox::Yes, "系统提示");
        w->SpeedButton3Click();
        QCOMPARE(stored(t, kind), (QStringList{exact, "o'k", exact}));
        QCOMPARE(edit(w.get())->text(), exact);
        QVERIFY(p.verifyDone());
    }

    void picks_data()
    {
        QTest::addColumn<LookupKind>("kind");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("message"); // 0: the pick does nothing and the window stays open
        QTest::newRow("aux unit, new goods") << LookupKind::Units << 2 << int(WM_DAN_CHOSEN);
        QTest::newRow("unit, new goods") << LookupKind::Units << 3 << int(WM_DAN_CHOSEN);
        QTest::newRow("aux unit, edit goods") << LookupKind::Units << 9 << int(WM_DAN_CHOSEN);
        QTest::newRow("unit, edit goods") << LookupKind::Units << 10 << int(WM_DAN_CHOSEN);
        QTest::newRow("units, menu") << LookupKind::Units << 24 << 0;
        QTest::newRow("place, new goods") << LookupKind::Places << 4 << int(WM_WEI_CHOSEN);
        QTest::newRow("place, edit goods") << LookupKind::Places << 11 << int(WM_WEI_CHOSEN);
        QTest::newRow("transfer source") << LookupKind::Places << 24 << int(WM_WEI_CHOSEN);
        QTest::newRow("transfer destination") << LookupKind::Places << 25 << int(WM_WEI1_CHOSEN);
        QTest::newRow("places, menu") << LookupKind::Places << 23 << 0;
    }

    void picks()
    {
        QFETCH(LookupKind, kind);
        QFETCH(int, mode);
        QFETCH(int, message);
        TestDb t;
        LookupStore(t.conn(), kind).add("甲");
        LookupStore(t.conn(), kind).add("乙");
        Receiver opener, bystander;
        G.gDirMode = mode;
        auto w = makeForm(kind, &opener);
        w->show();
        QTest::keyClick(grid(w.get()), Qt::Key_Down);
        QTest::keyClick(grid(w.get()), Qt::Key_Return);
        QCOMPARE(G.gRepFit.Place, QString("乙"));
        QCOMPARE(opener.messages, message ? QList<int>{message} : QList<int>{});
        QVERIFY(bystander.messages.isEmpty());
        QCOMPARE(w->isVisible(), message == 0);
    }

    void wheelMovesCurrentRow()
    {
        TestDb t;
        for (const char *n : {"个", "箱", "件"})
            LookupStore(t.conn(), LookupKind::Units).add(n);
        TfrmSelectDan w;
        w.show();
        QApplication::setActiveWindow(&w);
        QTableWidget *g = grid(&w);
        g->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto turn = [g](int delta) {
            const QPointF at(5, 5);
            QWheelEvent e(at, g->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(g->viewport(), &e);
        };
        turn(-120);
        turn(-120);
        QCOMPARE(w.currentName(), QString("件"));
        turn(120);
        QCOMPARE(w.currentName(), QString("箱"));
    }

    void pickFromEmptyListClosesWithoutPick()
    {
        TestDb t;
        Receiver opener;
        G.gDirMode = 3;
        G.gRepFit.Place = "before";
        TfrmSelectDan w(&opener);
        w.show();
        w.DBGrid1DblClick();
        QVERIFY(!w.isVisible());
        QCOMPARE(G.gRepFit.Place, QString("before"));
        QVERIFY(opener.messages.isEmpty());
    }

    void regionsDoNotPick()
    {
        TestDb t;
        LookupStore(t.conn(), LookupKind::Regions).add("华东");
        TfrmKeHu w;
        w.show();
        w.DBGrid1DblClick();
        QTest::keyClick(grid(&w), Qt::Key_Return);
        QVERIFY(w.isVisible());
        QVERIFY(G.gRepFit.Place.isEmpty());
    }

    void menuEntriesSetModesAndOpenDialogs()
    {
        TestDb t;
        registerGoodsWindows();
        ScriptedPrompt p;
        QString seen;
        auto drive = [&seen](QDialog *d) {
            seen = QString(d->metaObject()->className()) + "/" + d->windowTitle();
            return int(QDialog::Rejected);
        };
        G.gDirMode = 3;
        p.expectModal(drive);
        menuHandler("N58")();
        QCOMPARE(seen, QString("orv::TfrmSelectDan/单位目录"));
        QCOMPARE(G.gDirMode, 24);
        p.expectModal(drive);
        menuHandler("N57")();
        QCOMPARE(seen, QString("orv::TfrmCamgWei/仓位目录"));
        QCOMPARE(G.gDirMode, 23);
        p.expectModal(drive);
        menuHandler("N56")();
        QCOMPARE(seen, QString("orv::TfrmKeHu/客户地域"));
        G.gLeiBieMode = 12;
        p.expectModal(drive);
        menuHandler("N9")();
        QCOMPARE(seen, QString("orv::TfrmChooseLeiBie/货品的类别"));
        QCOMPARE(G.gLeiBieMode, 0);
        QVERIFY(p.verifyDone());
    }

    void statesNotCaptions()
    {
        // 新建 and 修改 follow the window's state; a changed caption changes nothing.
        TestDb t;
        TfrmSelectDan w;
        w.show();
        button(&w, 1)->setText("Add");
        w.SpeedButton1Click();
        QCOMPARE(w.state(), TLookupListForm::State::Adding);
        edit(&w)->setText("箱");
        button(&w, 1)->setText("Add");
        w.SpeedButton1Click();
        QCOMPARE(w.state(), TLookupListForm::State::Browsing);
        QCOMPARE(stored(t, LookupKind::Units), QStringList{"箱"});
        button(&w, 2)->setText("Change");
        w.SpeedButton2Click();
        QCOMPARE(w.state(), TLookupListForm::State::Changing);
        // While one entry is open the other buttons do nothing.
        w.SpeedButton1Click();
        w.SpeedButton3Click();
        QCOMPARE(w.state(), TLookupListForm::State::Changing);
        edit(&w)->setText("件");
        w.SpeedButton2Click();
        QCOMPARE(w.state(), TLookupListForm::State::Browsing);
        QCOMPARE(stored(t, LookupKind::Units), QStringList{"件"});
    }
};

ORV_DB_TEST_MAIN(TestLookups)
#include "tst_db_lookups.moc"
