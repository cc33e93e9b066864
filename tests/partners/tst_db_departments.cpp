// Departments: the window's checks in their order, its states, delete, and the picks into
// the document windows.
#include "fieldreceiver.h"
#include "scriptedprompt.h"
#include "testdb.h"

#include "app/windowing.h"
#include "partners/departments.h"
#include "partners/frmduty.h"
#include "partners/partnersmenu.h"
#include "partners/partnersschema.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using namespace orv;
using namespace orv::test;

namespace {
QLineEdit *edit(QWidget *w, const char *name) { return w->findChild<QLineEdit *>(name); }
QPlainTextEdit *memo(QWidget *w) { return w->findChild<QPlainTextEdit *>("Memo1"); }
QToolButton *button(QWidget *w, const char *name) { return w->findChild<QToolButton *>(name); }
QTableWidget *grid(QWidget *w) { return w->findChild<QTableWidget *>("DBGrid17"); }

Department dept(const QString &code, const QString &name, const QString &manager = QString())
{
    Department d;
    d.code = code;
    d.name = name;
    d.manager = manager;
    return d;
}

void add(TestDb &t, const Department &d)
{
    Department copy = d;
    QVERIFY(!DepartmentStore(t.conn()).saveNew(copy));
}

QStringList codes(TestDb &t)
{
    QStringList out;
    for (const Department &d : DepartmentStore(t.conn()).rows())
        out << d.code;
    return out;
}

// The six fields of the window by object name, in the order of the table rows below.
const char *const kFieldNames[] = {"Edit15", "Edit20", "Edit21", "Edit22", "Edit1", "Memo1"};

void fillFields(QWidget *w, const QStringList &values)
{
    for (int i = 0; i < 5; ++i)
        edit(w, kFieldNames[i])->setText(values.value(i));
    memo(w)->setPlainText(values.value(5));
}
} // namespace

class TestDepartments : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerPartnersSchema(); }
    void init() { G = AppGlobals{}; }

    void newDepartmentChecks_data()
    {
        QTest::addColumn<QStringList>("fields"); // 部门编号, 部门名称, 联系电话, 职能, 部门经理, 备注
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString c200(100, QChar(0x90e8)); // 100 Chinese characters: 200 bytes
        const QString c3000(1500, QChar(0x90e8));
        QTest::newRow("taken code before empty name") << QStringList{"D1", ""} << "部门编号不能相同" << "Edit15";
        QTest::newRow("empty code") << QStringList{"", "仓库"} << "部门编号不能为空" << "Edit15";
        QTest::newRow("empty name") << QStringList{"D2", ""} << "部门名称不能为空" << "Edit20";
        QTest::newRow("code 201 bytes") << QStringList{c200 + "x", "仓库"} << "部门编号不得超过200" << "Edit15";
        QTest::newRow("name 201 bytes") << QStringList{"D2", c200 + "x"} << "部门名称不得超过200" << "Edit20";
        QTest::newRow("phone 201 bytes") << QStringList{"D2", "仓库", c200 + "x"} << "联系电话不得超过200"
                                         << "Edit21";
        QTest::newRow("function 201 bytes") << QStringList{"D2", "仓库", "", c200 + "x"} << "职能不得超过200"
                                            << "Edit22";
        QTest::newRow("manager 201 bytes") << QStringList{"D2", "仓库", "", "", c200 + "x"}
                                           << "部门经理不得超过200" << "Edit1";
        QTest::newRow("remark 3001 bytes") << QStringList{"D2", "仓库", "", "", "", c3000 + "x"}
                                           << "备注不得超过3000" << "Memo1";
        QTest::newRow("every field at its limit")
            << QStringList{c200, c200, c200, c200, c200, c3000} << QString() << QString();
    }

    void newDepartmentChecks()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TestDb t;
        add(t, dept("D1", "一车间"));
        ScriptedPrompt p;
        TfrmDuty w;
        w.show();
        w.SpeedButton49Click();
        fillFields(&w, fields);
        if (!message.isEmpty())
            p.expectMessage(message);
        w.SpeedButton49Click();
        QVERIFY(p.verifyDone());
        if (message.isEmpty()) {
            QCOMPARE(codes(t), (QStringList{"D1", fields[0]}));
            QCOMPARE(button(&w, "SpeedButton49")->text(), QString("新建"));
            return;
        }
        QCOMPARE(codes(t), QStringList{"D1"});
        QCOMPARE(button(&w, "SpeedButton49")->text(), QString("保存"));
        QCOMPARE(w.focusWidget()->objectName(), focus);
    }

    void emptyCodeClashesWithAStoredEmptyCode()
    {
        TestDb t;
        t.exec("insert into 部门资料(部门编号, 部门名称) values ('', '旧部门')");
        ScriptedPrompt p;
        TfrmDuty w;
        w.show();
        w.SpeedButton49Click();
        p.expectMessage("部门编号不能相同");
        w.SpeedButton49Click();
        QVERIFY(p.verifyDone());
    }

    // Two clients save one new code at once, the first holding its save open: one row, and the
    // other is told the code is taken.
    void twoClientsSavingOneCode()
    {
        TestDb t;
        QStringList refusals(2);
        const QString failure = runClients(t, 2, HoldOpen{}, [&](int n, Connection &c) {
            Department d = dept("D1", n ? "销售部" : "采购部");
            refusals[n] = DepartmentStore(c).saveNew(d).message;
            return refusals[n].isEmpty();
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        refusals.sort();
        QCOMPARE(refusals, (QStringList{QString(), "部门编号不能相同"}));
        QCOMPARE(codes(t), QStringList{"D1"});
    }

    void statesEditAndDelete()
    {
        TestDb t;
        ScriptedPrompt p;
        TfrmDuty w;
        w.show();
        // Empty table: fields empty and locked, 修改 and 删除 do nothing, a pick closes.
        QVERIFY(edit(&w, "Edit15")->text().isEmpty());
        QVERIFY(edit(&w, "Edit15")->isReadOnly());
        w.SpeedButton50Click();
        w.SpeedButton51Click();
        QCOMPARE(button(&w, "SpeedButton50")->text(), QString("修改"));

        // New: fields unlocked and emptied, the other buttons disabled; quotes stored as typed.
        w.SpeedButton49Click();
        QVERIFY(!edit(&w, "Edit15")->isReadOnly());
        QVERIFY(!button(&w, "SpeedButton50")->isEnabled());
        QVERIFY(!button(&w, "SpeedButton51")->isEnabled());
        fillFields(&w, {"D'1", "一车间", "010-1", "装配", "老王", "备注'"});
        w.SpeedButton49Click();
        QCOMPARE(codes(t), QStringList{"D'1"});
        QCOMPARE(DepartmentStore(t.conn()).rows().first().mnemonic, QString("YCJ"));
        QCOMPARE(DepartmentStore(t.conn()).rows().first().remark, QString("备注'"));
        QVERIFY(edit(&w, "Edit15")->isReadOnly());
        add(t, dept("D2", "二车间"));
        add(t, dept("D3", "三车间"));

        // Edit the row moved to: renaming keeps the 助记码; an unchanged code needs no check;
        // a code another department carries is refused.
        w.FormShow();
        QTest::keyClick(grid(&w), Qt::Key_Down);
        QCOMPARE(edit(&w, "Edit15")->text(), QString("D2"));
        w.SpeedButton50Click();
        QCOMPARE(button(&w, "SpeedButton50")->text(), QString("保存"));
        QVERIFY(!button(&w, "SpeedButton49")->isEnabled());
        QVERIFY(!edit(&w, "Edit20")->isReadOnly());
        edit(&w, "Edit15")->setText("D3");
        p.expectMessage("部门编号不能相同");
        w.SpeedButton50Click();
        QCOMPARE(w.focusWidget()->objectName(), QString("Edit15"));
        edit(&w, "Edit15")->setText("D2");
        edit(&w, "Edit20")->clear();
        p.expectMessage("部门名称不能为空");
        w.SpeedButton50Click();
        edit(&w, "Edit20")->setText("总装车间");
        w.SpeedButton50Click();
        QCOMPARE(button(&w, "SpeedButton50")->text(), QString("修改"));
        const Department renamed = DepartmentStore(t.conn()).rows().at(1);
        QCOMPARE(renamed.name, QString("总装车间"));
        QCOMPARE(renamed.mnemonic, QString("ECJ"));
        // The edited department stays the selected one.
        QCOMPARE(w.selectedKey(), renamed.key);
        QCOMPARE(edit(&w, "Edit20")->text(), QString("总装车间"));

        // Delete asks; No keeps it, Yes deletes the selected row and the first row is shown.
        p.expectMessage("确认要删除?", QMessageBox::No, "系统提示");
        w.SpeedButton51Click();
        QCOMPARE(codes(t).size(), 3);
        p.expectMessage("确认要删除?", QMessageBox::Yes, "系统提示");
        w.SpeedButton51Click();
        QCOMPARE(codes(t), (QStringList{"D'1", "D3"}));
        QCOMPARE(edit(&w, "Edit15")->text(), QString("D'1"));
        for (int i = 0; i < 2; ++i) {
            p.expectMessage("确认要删除?", QMessageBox::Yes, "系统提示");
            w.SpeedButton51Click();
        }
        QVERIFY(codes(t).isEmpty());
        QVERIFY(edit(&w, "Edit15")->text().isEmpty());
        QCOMPARE(w.selectedKey(), qint64(0));
        QVERIFY(p.verifyDone());
    }

    void editOfADeletedDepartmentIsRefused()
    {
        TestDb t;
        add(t, dept("D1", "一车间"));
        ScriptedPrompt p;
        TfrmDuty w;
        w.show();
        w.SpeedButton50Click();
        t.exec("delete from 部门资料");
        p.expectMessage("该部门已被其他用户删除，修改未保存");
        w.SpeedButton50Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(button(&w, "SpeedButton50")->text(), QString("保存"));
    }

    void picks_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QList<FieldSet>>("expected");
        const auto d = [](const char *which, const char *value) {
            return FieldSet{FieldRole::Department, which, value};
        };
        QTest::newRow("1 receipt") << 1 << "frmPuStore"
                                   << QList<FieldSet>{d("领用单位", "D2.二车间"), d("部门经理", "老李"),
                                                      d("部门编号", "D2")};
        QTest::newRow("2 internal document") << 2 << "frmDiaobo"
                                             << QList<FieldSet>{d("相关部门", "D2.二车间"),
                                                                d("部门经理", "老李"), d("部门编号", "D2")};
        QTest::newRow("3 transfer out") << 3 << "frmHuoDiao"
                                        << QList<FieldSet>{d("调出单位", "D2.二车间"), d("调出单位编号", "D2")};
        QTest::newRow("4 transfer in") << 4 << "frmHuoDiao"
                                       << QList<FieldSet>{d("调入单位", "D2.二车间"), d("调入单位编号", "D2")};
        QTest::newRow("5 sales bill") << 5 << "frmSaleBilling"
                                      << QList<FieldSet>{d("销售单位", "D2.二车间"), d("部门编号", "D2")};
        QTest::newRow("6 menu") << 6 << "frmMain" << QList<FieldSet>{};
    }

    void picks()
    {
        QFETCH(int, mode);
        QFETCH(QString, window);
        QFETCH(QList<FieldSet>, expected);
        TestDb t;
        add(t, dept("D1", "一车间", "老王"));
        add(t, dept("D2", "二车间", "老李"));
        // The fields each document window has for departments.
        const QHash<QString, QStringList> fields = {
            {"frmPuStore", {"领用单位", "部门经理", "部门编号"}},
            {"frmDiaobo", {"相关部门", "部门经理", "部门编号"}},
            {"frmHuoDiao", {"调出单位", "调出单位编号", "调入单位", "调入单位编号"}},
            {"frmSaleBilling", {"销售单位", "部门编号"}},
            {"frmMain", {}}};
        FieldReceiver opener(window, fields.value(window));
        G.gDutyMode = mode;
        TfrmDuty w(&opener);
        w.show();
        QTest::keyClick(grid(&w), Qt::Key_Down);
        QTest::keyClick(grid(&w), Qt::Key_Return);
        QCOMPARE(opener.got, expected);
        QCOMPARE(w.isVisible(), expected.isEmpty());
        // The same by a double-click.
        if (!expected.isEmpty()) {
            opener.got.clear();
            w.show();
            w.DBGrid17DblClick();
            QCOMPARE(opener.got, expected);
        }
    }

    void pickFromAnEmptyListClosesWithoutWriting()
    {
        TestDb t;
        FieldReceiver opener("frmPuStore", {"领用单位", "部门经理", "部门编号"});
        for (int mode : {1, 6}) {
            G.gDutyMode = mode;
            TfrmDuty w(&opener);
            w.show();
            w.DBGrid17DblClick();
            QVERIFY(!w.isVisible());
        }
        QVERIFY(opener.got.isEmpty());
    }

    void menuEntryOpensTheListMode()
    {
        TestDb t;
        registerPartnersWindows();
        add(t, dept("D1", "一车间"));
        ScriptedPrompt p;
        G.gDutyMode = 2;
        p.expectModal([](QDialog *d) {
            auto *w = qobject_cast<TfrmDuty *>(d);
            if (!w || w->windowTitle() != "部门设置")
                return -1;
            w->show();
            w->DBGrid17DblClick(); // a list only: nothing happens, the window stays open
            return w->isVisible() ? int(QDialog::Accepted) : -1;
        });
        menuHandler("CopyItem")();
        QCOMPARE(G.gDutyMode, 6);
        QVERIFY(frmDuty);
        QVERIFY(p.verifyDone());
    }
};

ORV_DB_TEST_MAIN(TestDepartments)
#include "tst_db_departments.moc"
