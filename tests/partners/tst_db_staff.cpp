// Staff: the checks in their order, 工号 uniqueness for new rows only, money fields, the role
// flags, the drop-down rule of the document windows, export, and the picker's mode table.
#include "fieldreceiver.h"
#include "scriptedprompt.h"
#include "testdb.h"

#include "app/windowing.h"
#include "goods/excelexport.h"
#include "partners/departments.h"
#include "partners/frmyuangongmulu.h"
#include "partners/partnersmenu.h"
#include "partners/partnersschema.h"
#include "partners/staff.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using namespace orv;
using namespace orv::test;

namespace {
QLineEdit *edit(QWidget *w, const QString &name) { return w->findChild<QLineEdit *>(name); }
QCheckBox *box(QWidget *w, const char *name) { return w->findChild<QCheckBox *>(name); }
QToolButton *button(QWidget *w, const char *name) { return w->findChild<QToolButton *>(name); }
QTableWidget *grid(QWidget *w) { return w->findChild<QTableWidget *>("DBGrid1"); }

StaffMember member(const QString &no, const QString &name, std::initializer_list<StaffRole> roles = {})
{
    StaffMember m;
    m.no = no;
    m.name = name;
    for (StaffRole r : roles)
        m.setRole(r, true);
    return m;
}

qint64 add(TestDb &t, StaffMember m)
{
    const Refusal r = StaffStore(t.conn()).saveNew(m);
    if (r)
        qWarning("refused: %s", qPrintable(r.message));
    return m.key;
}

using Fields = QMap<QString, QString>; // object name -> text

void fill(QWidget *w, const Fields &fields)
{
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        if (it.key() == "ComboBox1")
            w->findChild<QComboBox *>("ComboBox1")->setEditText(it.value());
        else
            edit(w, it.key())->setText(it.value());
    }
}
} // namespace

class TestStaff : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerPartnersSchema(); }
    void init()
    {
        G = AppGlobals{};
        // The mode table's rows share one database; any other test gets its own.
        if (QByteArray(QTest::currentTestFunction()) != "pickModes")
            m_pickDb.reset();
    }
    void cleanupTestCase() { m_pickDb.reset(); }

    void checks_data()
    {
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const auto zh = [](int chars) { return QString(chars, QChar(0x738b)); }; // 2 bytes each
        const auto a = [](int n) { return QString(n, QChar('a')); };
        QTest::newRow("1 empty 工号") << Fields{{"Edit2", "张三"}} << "工号不能为空！" << "Edit1";
        QTest::newRow("2 工号 51 bytes") << Fields{{"Edit1", a(51)}} << "工号长度不得超过50请重新输入" << "Edit1";
        QTest::newRow("3 部门 201 bytes") << Fields{{"Edit1", "9"}, {"ComboBox1", zh(100) + "x"}}
                                          << "所在部门不得超过200" << "ComboBox1";
        QTest::newRow("4 姓名 201 bytes") << Fields{{"Edit1", "9"}, {"Edit2", zh(100) + "x"}}
                                          << "员工姓名不得超过200" << "Edit2";
        QTest::newRow("5 性别 three characters") << Fields{{"Edit1", "9"}, {"Edit3", "男男男"}}
                                                 << "请输入男或者女" << "Edit3";
        QTest::newRow("6 出生年月 51 bytes") << Fields{{"Edit1", "9"}, {"Edit4", a(51)}}
                                             << "出生年月日不得超过50 请重新输入" << "Edit4";
        QTest::newRow("7 籍贯 51 bytes") << Fields{{"Edit1", "9"}, {"Edit5", zh(25) + "x"}}
                                         << "籍贯不得超过50 请重新输入" << "Edit5";
        QTest::newRow("8 身份证号 51 bytes") << Fields{{"Edit1", "9"}, {"Edit6", a(51)}}
                                             << "身份证号不得超过50 请重新输入" << "Edit6";
        QTest::newRow("9 电话 51 bytes") << Fields{{"Edit1", "9"}, {"Edit7", a(51)}}
                                         << "电话不得超过50 请重新输入" << "Edit7";
        QTest::newRow("10 手机 51 bytes") << Fields{{"Edit1", "9"}, {"Edit8", a(51)}}
                                          << "手机不得超过50 请重新输入" << "Edit8";
        QTest::newRow("11 住址 101 bytes") << Fields{{"Edit1", "9"}, {"Edit11", zh(50) + "x"}}
                                           << "住址不得超过100 请重新输入" << "Edit11";
        QTest::newRow("12 工号 taken") << Fields{{"Edit1", "A01"}} << "工号不能相同！" << "Edit1";
        QTest::newRow("empty 性别, taken 工号 in another case and with a blank")
            << Fields{{"Edit1", "a01"}} << QString() << QString();
        QTest::newRow("工号 with a trailing blank") << Fields{{"Edit1", "A01 "}} << QString() << QString();
        QTest::newRow("every field at its limit")
            << Fields{{"Edit1", a(50)},  {"ComboBox1", zh(100)}, {"Edit2", zh(100)}, {"Edit3", "男女"},
                      {"Edit4", a(50)},  {"Edit5", zh(25)},      {"Edit6", a(50)},   {"Edit7", a(50)},
                      {"Edit8", a(50)},  {"Edit11", zh(50)}}
            << QString() << QString();
        QTest::newRow("a lone point is no pay") << Fields{{"Edit1", "9"}, {"Edit9", "."}} << "底薪必须是数字"
                                                << "Edit9";
    }

    void checks()
    {
        QFETCH(Fields, fields);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TestDb t;
        add(t, member("A01", "李四"));
        ScriptedPrompt p;
        TfrmYuanGongMuLu w;
        w.show();
        w.SpeedButton1Click();
        fill(&w, fields);
        if (!message.isEmpty())
            p.expectMessage(message);
        w.SpeedButton1Click();
        QVERIFY(p.verifyDone());
        const int stored = StaffStore(t.conn()).rows().size();
        if (message.isEmpty()) {
            QCOMPARE(stored, 2);
            QCOMPARE(button(&w, "SpeedButton1")->text(), QString("新建"));
            // Texts as typed, empty pay as 0.
            const StaffMember m = StaffStore(t.conn()).rows().last();
            QCOMPARE(m.no, fields.value("Edit1"));
            QCOMPARE(m.sex, fields.value("Edit3"));
            QCOMPARE(m.basePay, QString("0"));
            QCOMPARE(m.allowance, QString("0"));
            return;
        }
        QCOMPARE(stored, 1);
        QCOMPARE(button(&w, "SpeedButton1")->text(), QString("保存"));
        QCOMPARE(w.focusWidget()->objectName(), focus);
    }

    // Two clients save one new 工号 at once, the first holding its save open: one row, and the
    // other is told the 工号 is taken.
    void twoClientsSavingOneStaffNo()
    {
        TestDb t;
        QStringList refusals(2);
        const QString failure = runClients(t, 2, HoldOpen{}, [&](int n, Connection &c) {
            StaffMember m = member("A01", n ? "李四" : "张三");
            refusals[n] = StaffStore(c).saveNew(m).message;
            return refusals[n].isEmpty();
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        refusals.sort();
        QCOMPARE(refusals, (QStringList{QString(), "工号不能相同！"}));
        QCOMPARE(t.scalar("select count(*) from 员工目录").toInt(), 1);
    }

    // Quotes and a second line are stored as typed, by a new save and by an edit.
    void quotesStoreVerbatim()
    {
        TestDb t;
        ScriptedPrompt p;
        TfrmYuanGongMuLu w;
        w.show();
        w.SpeedButton1Click();
        fill(&w, {{"Edit1", "O'1"}, {"Edit2", "O'Brien"}, {"ComboBox1", "'销售部"}});
        w.findChild<QPlainTextEdit *>("Memo1")->setPlainText("it's \"ok\"\n第二行'");
        w.SpeedButton1Click();
        const auto stored = [&](const char *column) {
            return t.scalar(QString("select %1 from 员工目录 where 工号 = ?").arg(column), {"O'1"}).toString();
        };
        QCOMPARE(stored("姓名"), QString("O'Brien"));
        QCOMPARE(stored("部门"), QString("'销售部"));
        QCOMPARE(stored("备注"), QString("it's \"ok\"\n第二行'"));
        w.SpeedButton2Click();
        edit(&w, "Edit2")->setText("D'Arcy '');--");
        w.findChild<QPlainTextEdit *>("Memo1")->setPlainText("'");
        w.SpeedButton2Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(stored("姓名"), QString("D'Arcy '');--"));
        QCOMPARE(stored("备注"), QString("'"));
        QCOMPARE(t.scalar("select count(*) from 员工目录").toInt(), 1);
    }

    void editKeepsHiddenFlagsAndMayRepeatAStaffNo()
    {
        TestDb t;
        add(t, member("A01", "李四", {StaffRole::Visitor, StaffRole::Quoter, StaffRole::Deliverer}));
        add(t, member("A02", "王五", {StaffRole::Seller}));
        ScriptedPrompt p;
        TfrmYuanGongMuLu w;
        w.show();
        QVERIFY(edit(&w, "Edit1")->isReadOnly());
        QVERIFY(!box(&w, "CheckBox12")->isEnabled());
        QVERIFY(box(&w, "CheckBox12")->isChecked());
        QVERIFY(!box(&w, "CheckBox15")->isChecked());

        w.SpeedButton2Click();
        QCOMPARE(button(&w, "SpeedButton2")->text(), QString("保存"));
        QVERIFY(!button(&w, "SpeedButton1")->isEnabled());
        QVERIFY(!button(&w, "SpeedButton3")->isEnabled());
        QVERIFY(box(&w, "CheckBox12")->isEnabled());
        edit(&w, "Edit1")->setText("A02"); // another row's 工号: no check on a change
        edit(&w, "Edit9")->setText("3500.5");
        box(&w, "CheckBox12")->setChecked(false);
        box(&w, "CheckBox9")->setChecked(true);
        w.SpeedButton2Click();
        QVERIFY(p.verifyDone());
        const StaffMember m = StaffStore(t.conn()).rows().first();
        QCOMPARE(m.no, QString("A02"));
        QCOMPARE(m.basePay, QString("3500.5"));
        QVERIFY(m.hasRole(StaffRole::Visitor));
        QVERIFY(m.hasRole(StaffRole::Quoter));
        QVERIFY(!m.hasRole(StaffRole::Deliverer));
        QVERIFY(m.hasRole(StaffRole::Invoicer));
        QCOMPARE(w.shown().key, m.key);
        QCOMPARE(button(&w, "SpeedButton2")->text(), QString("修改"));
    }

    void rowMovesLoadDetailsAndBoxes()
    {
        TestDb t;
        for (int i = 1; i <= 30; ++i)
            add(t, member(QString("E%1").arg(i, 2, 10, QChar('0')), QString("员工%1").arg(i),
                          i == 1 ? std::initializer_list<StaffRole>{StaffRole::Seller}
                                 : std::initializer_list<StaffRole>{}));
        TfrmYuanGongMuLu w;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTableWidget *g = grid(&w);
        g->setFocus();
        QVERIFY(box(&w, "CheckBox15")->isChecked());
        QTest::keyClick(g, Qt::Key_PageDown);
        QVERIFY(w.shown().no != "E01");
        QCOMPARE(edit(&w, "Edit1")->text(), w.shown().no);
        QVERIFY(!box(&w, "CheckBox15")->isChecked());
        QTest::keyClick(g, Qt::Key_Home);
        QCOMPARE(w.shown().no, QString("E01"));
        const QPointF at(5, 5);
        QWheelEvent down(at, g->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(g->viewport(), &down);
        QCOMPARE(w.shown().no, QString("E02"));
        QCOMPARE(edit(&w, "Edit2")->text(), QString("员工2"));

        // 删除 acts on the row moved to.
        ScriptedPrompt p;
        p.expectMessage("确认要删除?", QMessageBox::Yes, "系统提示");
        w.SpeedButton3Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(StaffStore(t.conn()).rows().size(), 29);
        QCOMPARE(StaffStore(t.conn()).rows().at(1).no, QString("E03"));
        QCOMPARE(w.shown().no, QString("E01"));
    }

    void moneyFieldsTakeOnePoint()
    {
        TestDb t;
        TfrmYuanGongMuLu w;
        w.show();
        w.SpeedButton1Click();
        QTest::keyClicks(edit(&w, "Edit9"), "12.5.3x");
        QCOMPARE(edit(&w, "Edit9")->text(), QString("12.53"));
    }

    void departmentListIsRefilledOnFocus()
    {
        TestDb t;
        Department d;
        d.code = "D1";
        d.name = "一车间";
        QVERIFY(!DepartmentStore(t.conn()).saveNew(d));
        TfrmYuanGongMuLu w;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *dept = w.findChild<QComboBox *>("ComboBox1");
        QCOMPARE(dept->count(), 0);
        dept->setFocus();
        QCOMPARE(dept->count(), 1);
        QCOMPARE(dept->itemText(0), QString("一车间"));
        QVERIFY(dept->lineEdit()->isReadOnly());
    }

    void dropDownRule()
    {
        TestDb t;
        add(t, member("01", "甲", {StaffRole::Deliverer, StaffRole::Cashier}));
        add(t, member("02", "乙"));
        add(t, member("03", "丙", {StaffRole::Deliverer}));
        t.exec("insert into 员工目录(工号, 姓名, 送货员, \"结算/出纳\") values ('04', '丁', NULL, NULL)");
        QCOMPARE(staffChoices(t.conn()), (QStringList{"01.甲", "02.乙", "03.丙", "04.丁"}));
        QCOMPARE(staffChoices(t.conn(), StaffRole::Deliverer), (QStringList{"01.甲", "03.丙"}));
        QCOMPARE(staffChoices(t.conn(), StaffRole::Cashier), QStringList{"01.甲"});
        QCOMPARE(staffChoices(t.conn(), StaffRole::StoreKeeper, StaffText::NameOnly), QStringList{});
        QCOMPARE(staffChoices(t.conn(), std::nullopt, StaffText::NameOnly), (QStringList{"甲", "乙", "丙", "丁"}));
    }

    void export_()
    {
        TestDb t;
        QTemporaryDir out;
        ExcelExport::setOutputFolder(out.path());
        ScriptedPrompt p;
        {
            TfrmYuanGongMuLu w;
            w.show();
            w.SpeedButton6Click(); // empty list: nothing
        }
        StaffMember m = member("01", "甲", {StaffRole::Seller});
        m.department = "一车间";
        m.basePay = "3000";
        add(t, m);
        add(t, member("02", "乙"));
        const ExportSheet s = staffExportSheet(StaffStore(t.conn()).rows());
        QCOMPARE(s.headers, (QStringList{"部门", "工号", "姓名", "籍贯", "性别", "出生年月", "身份证号", "电话",
                                         "手机", "住址", "底薪", "津贴"}));
        QCOMPARE(s.rows.size(), 2);
        QCOMPARE(s.rows[0], (QStringList{"一车间", "01", "甲", "", "", "", "", "", "", "", "3000", "0"}));
        QVERIFY(s.summary.isEmpty());

        TfrmYuanGongMuLu w;
        w.show();
        p.expectMessage("确认导出excel表吗？", QMessageBox::Ok, "提示");
        p.expectMessage("数据导出完成!", QMessageBox::Ok, "提示");
        p.expectExternal();
        w.SpeedButton6Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(QDir(out.path()).entryList({"*.xlsx"}).size(), 1);
        ExcelExport::setOutputFolder(QString());
    }

    void pickModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("field"); // empty: nothing is written
        const QList<std::tuple<int, const char *, const char *>> table = {
            {1, "frmPuch", "负责人"},         {2, "frmPuch", "申请人"},         {3, "frmPuch", "开票员"},
            {4, "frmPuStore", "经办人"},      {5, "frmPuStore", "送货员"},      {6, "frmPuStore", "验收员"},
            {7, "frmPuStore", "收货员"},      {8, "frmPuStore", "复核员"},      {9, "frmCaiGouTui", "经办人"},
            {10, "frmCaiGouTui", "送货员"},   {11, "frmCaiGouTui", "发货员"},   {12, "frmCaiGouTui", "复核员"},
            {13, "frmPuStore", "领用员"},     {14, "frmPuStore", "发货员"},     {15, "frmDiaobo", "开单员"},
            {16, "frmDiaobo", "领用员"},      {17, "frmDiaobo", "发货员"},      {18, "frmDiaobo", "送货员"},
            {19, "frmDiaobo", "财务"},        {20, "frmDiaobo", "复核员"},      {21, "frmDiaobo", "销售员"},
            {22, "frmDiaobo", "开票员"},      {23, "frmHuoDiao", "负责人"},     {24, "frmHuoDiao", "发货员"},
            {25, "frmHuoDiao", "收货员"},     {26, "frmHuoDiao", "复核员"},     {27, "frmSaleBilling", "经办人"},
            {28, "frmSaleBilling", "送货员"}, {29, "frmSaleBilling", "发货员"}, {30, "frmSaleBilling", "复核员"},
            {31, "frmSaleBilling", "开票员"}, {32, "frmJinTuiAud", "审核人"},   {33, "frmBaoSunAud", "审核人"},
            {34, "frmHongFan", "红字反冲操作员"}, {37, "frmHuoPinDiao", "负责人"}};
        for (const auto &[mode, window, field] : table)
            QTest::addRow("%d %s %s", mode, window, field) << mode << QString(window) << QString(field);
        for (int mode : {0, 35, 38})
            QTest::addRow("%d no opener sets it", mode) << mode << "frmPuch" << QString();
    }

    void pickModes()
    {
        QFETCH(int, mode);
        QFETCH(QString, window);
        QFETCH(QString, field);
        if (!m_pickDb) {
            m_pickDb = std::make_unique<TestDb>();
            add(*m_pickDb, member("001", "张三", {StaffRole::Deliverer}));
            add(*m_pickDb, member("002", "李四")); // no role: the picker lists every row all the same
        }
        // The staff fields each document window has.
        const QHash<QString, QStringList> fields = {
            {"frmPuch", {"负责人", "申请人", "开票员"}},
            {"frmPuStore", {"经办人", "送货员", "验收员", "收货员", "复核员", "领用员", "发货员"}},
            {"frmCaiGouTui", {"经办人", "送货员", "发货员", "复核员"}},
            {"frmDiaobo", {"开单员", "领用员", "发货员", "送货员", "财务", "复核员", "销售员", "开票员"}},
            {"frmHuoDiao", {"负责人", "发货员", "收货员", "复核员"}},
            {"frmSaleBilling", {"经办人", "送货员", "发货员", "复核员", "开票员"}},
            {"frmJinTuiAud", {"审核人"}},
            {"frmBaoSunAud", {"审核人"}},
            {"frmHongFan", {"红字反冲操作员"}},
            {"frmHuoPinDiao", {"负责人"}}};
        FieldReceiver opener(window, fields.value(window));
        G.gStaffMode = mode;
        TfrmYuanGongMuLu w(&opener);
        w.show();
        QTest::keyClick(grid(&w), Qt::Key_Down);
        QTest::keyClick(grid(&w), Qt::Key_Return);
        const QList<FieldSet> expected =
            field.isEmpty() ? QList<FieldSet>{} : QList<FieldSet>{{FieldRole::Staff, field, "002.李四"}};
        QCOMPARE(opener.got, expected);
        QVERIFY(!w.isVisible());
        QVERIFY(opener.messages.isEmpty());
    }

    void menuListAndEmptyListPicks()
    {
        TestDb t;
        FieldReceiver opener("frmPuch", {"负责人"});
        G.gStaffMode = 1;
        {
            TfrmYuanGongMuLu w(&opener);
            w.show();
            w.DBGrid1DblClick(); // empty list: closes, writes nothing
            QVERIFY(!w.isVisible());
        }
        add(t, member("001", "张三"));
        G.gStaffMode = 36;
        TfrmYuanGongMuLu w(&opener);
        w.show();
        w.DBGrid1DblClick(); // the menu's list: nothing happens
        QVERIFY(w.isVisible());
        QVERIFY(opener.got.isEmpty());

        // The menu entry sets 36 whatever a document window left.
        registerPartnersWindows();
        ScriptedPrompt p;
        G.gStaffMode = 3;
        p.expectModal([](QDialog *d) { return qobject_cast<TfrmYuanGongMuLu *>(d) ? 1 : -1; });
        menuHandler("PasteItem")();
        QCOMPARE(G.gStaffMode, 36);
        QVERIFY(frmYuanGongMuLu);
        QCOMPARE(frmYuanGongMuLu->windowTitle(), QString("员工目录"));
        QVERIFY(p.verifyDone());
    }

    void editOfADeletedRowIsRefused()
    {
        TestDb t;
        add(t, member("001", "张三"));
        ScriptedPrompt p;
        TfrmYuanGongMuLu w;
        w.show();
        w.SpeedButton2Click();
        t.exec("delete from 员工目录");
        p.expectMessage("该员工已被其他用户删除，修改未保存");
        w.SpeedButton2Click();
        QVERIFY(p.verifyDone());
    }

private:
    std::unique_ptr<TestDb> m_pickDb;
};

ORV_DB_TEST_MAIN(TestStaff)
#include "tst_db_staff.moc"
