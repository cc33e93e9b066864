// Customers: KH codes, the two dialogs' checks in their order, discounts, trimming, the
// customer list's searches, delete and export, and the customer picker.
#include "fieldreceiver.h"
#include "scriptedprompt.h"
#include "testdb.h"

#include "app/windowing.h"
#include "common/clock.h"
#include "goods/goodsschema.h"
#include "goods/goodsstore.h"
#include "goods/lookups.h"
#include "goods/mastercode.h"
#include "goods/lookupschema.h"
#include "partners/customers.h"
#include "partners/departments.h"
#include "partners/frmchoosecustom.h"
#include "partners/frmcustom.h"
#include "partners/frmmdfcustomer.h"
#include "partners/frmnewcustomer.h"
#include "partners/partnersmenu.h"
#include "partners/partnersschema.h"
#include "partners/staff.h"
#include "goods/suppliers.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSqlRecord>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace orv;
using namespace orv::test;

namespace {
const QDateTime kNow(QDate(2024, 3, 5), QTime(9, 30), Qt::UTC);
const QString kDay = "KH240305";

using Fields = QMap<QString, QString>; // object name -> text

QLineEdit *edit(QWidget *w, const QString &name) { return w->findChild<QLineEdit *>(name); }
QPlainTextEdit *memo(QWidget *w) { return w->findChild<QPlainTextEdit *>("Memo1"); }
QTableWidget *grid(QWidget *w, const char *name = "DBGrid1") { return w->findChild<QTableWidget *>(name); }

void fill(QWidget *w, const Fields &fields)
{
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        if (it.key() == "Memo1")
            memo(w)->setPlainText(it.value());
        else if (it.key() == "ComboBox2")
            w->findChild<QComboBox *>("ComboBox2")->setEditText(it.value());
        else
            edit(w, it.key())->setText(it.value());
    }
}

Customer customer(const QString &code, const QString &name, const QString &phone = QString())
{
    Customer c;
    c.code = code;
    c.name = name;
    c.phone = phone;
    c.discount = "1";
    return c;
}

qint64 add(Connection &conn, Customer c)
{
    const Refusal r = CustomerStore(conn).saveNew(c);
    if (r)
        qWarning("refused: %s", qPrintable(r.message));
    return c.key;
}

QStringList names(const QList<Customer> &rows)
{
    QStringList out;
    for (const Customer &c : rows)
        out << c.name;
    return out;
}

QString currentName(QTableWidget *g) { return g->currentRow() < 0 ? QString() : g->item(g->currentRow(), 0)->text(); }

// The sixteen length checks: field, column text over its limit, message.
struct Limit {
    const char *field;
    int bytes;
    const char *message;
};
const Limit kLimits[] = {{"Edit1", 200, "客户名称不得大于200"},  {"Edit16", 200, "助记码不得大于200"},
                         {"Edit15", 100, "客户编号不得超过100"}, {"Edit4", 200, "联系电话不得超过200"},
                         {"Edit5", 200, "传真不得超过200"},       {"Edit2", 200, "会员编号不得超过200"},
                         {"Edit7", 50, "手机号码不得超过50"},     {"Edit9", 100, "邮编不得超过100"},
                         {"Edit3", 200, "联系人不得超过200"},     {"Edit8", 200, "电子邮箱不得超过200"},
                         {"Edit13", 100, "税号不得超过100"},      {"Edit6", 100, "备用电话不得超过100"},
                         {"Edit10", 100, "地址不得超过100"},      {"Edit11", 250, "乘车路线不得超过250"},
                         {"Edit12", 100, "帐号不得超过100"},      {"Memo1", 3000, "备注不得超过3000"}};
// A text of `bytes` bytes in code page 936, Chinese characters where the count allows.
QString ofBytes(int bytes) { return QString(bytes / 2, QChar(0x5ba2)) + QString(bytes % 2, QChar('x')); }

class ThrowingReceiver : public QWidget, public MessageReceiver {
public:
    void onWindowMessage(int) override { throw DbError("销售单无法接收客户"); }
};
} // namespace

class TestCustomers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerPartnersSchema();
        registerGoodsLookupSchema();
        registerGoodsSchema();
    }
    void init()
    {
        G = AppGlobals{};
        Clock::pin(kNow);
        // The rows of one table of cases share a database, emptied before each row.
        if (QTest::currentTestFunction() != m_sharedFor) {
            m_shared.reset();
            m_sharedFor.clear();
        }
    }
    void cleanup() { Clock::pin(QDateTime()); }
    void cleanupTestCase() { m_shared.reset(); }

    void tablesKeepTheirColumnOrder_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        // 客户目录's order is what the Excel import shows and fills by position.
        QTest::newRow("客户目录") << "客户目录"
                              << QStringList{"流水号", "客户编号", "客户名称", "联系人", "联系电话", "传真", "email",
                                             "地址", "邮编", "登记时间", "税号", "帐号", "备注", "乘车路线",
                                             "手机号码", "生日", "助记码", "备用电话", "地域", "会员编号", "客户折扣"};
        QTest::newRow("员工目录") << "员工目录"
                              << QStringList{"流水号", "部门", "工号", "姓名", "性别", "出生年月", "籍贯", "身份证号",
                                             "电话", "手机", "底薪", "津贴", "住址", "备注", "技术员", "仓库管理员",
                                             "业务员", "回访员", "结算/出纳", "领料员", "报价员", "开票员",
                                             "发货员", "复核员", "送货员", "验收员", "收货员", "销售员",
                                             "接车提成公式"};
        QTest::newRow("部门资料") << "部门资料"
                              << QStringList{"流水号", "部门编号", "部门名称", "联系电话", "职能", "备注", "助记码",
                                             "部门经理"};
    }

    void tablesKeepTheirColumnOrder()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        TestDb &t = sharedDb();
        const QSqlRecord rec = t.conn().db().record(table);
        QStringList got;
        for (int i = 0; i < rec.count(); ++i)
            got << rec.fieldName(i).toLower();
        QCOMPARE(got, columns);
    }

    void codes()
    {
        TestDb t;
        const auto propose = [&t] { return proposeMasterCode(t.conn(), customerCodeRule()); };
        QCOMPARE(propose(), kDay + "001");
        add(t.conn(), customer(propose(), "甲"));
        QCOMPARE(propose(), kDay + "002");
        // Another day's or another prefix's codes do not count.
        add(t.conn(), customer("KH240304007", "乙"));
        add(t.conn(), customer("C1", "丙"));
        QCOMPARE(propose(), kDay + "002");
        add(t.conn(), customer(kDay + "999", "丁"));
        QCOMPARE(propose(), kDay);
    }

    // No master row is saved without a code, whatever its table, new or changed: an empty code or
    // one of blanks is refused with the table's message and nothing is written.
    void noRowWithoutCode_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("change"); // false: a new row
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        const QList<std::pair<QString, QString>> kinds{{"goods", "货品编号不能为空"},
                                                       {"supplier", "单位编号不能为空！"},
                                                       {"customer", "客户编号不能为空，请输入"},
                                                       {"department", "部门编号不能为空"},
                                                       {"staff", "工号不能为空！"}};
        for (const auto &[kind, message] : kinds)
            for (bool change : {false, true})
                for (const QString code : {"", "  "})
                    QTest::addRow("%s %s, %s", qPrintable(kind), change ? "changed" : "new",
                                  code.isEmpty() ? "empty" : "blanks")
                        << kind << change << code << message;
    }
    void noRowWithoutCode()
    {
        QFETCH(QString, kind);
        QFETCH(bool, change);
        QFETCH(QString, code);
        QFETCH(QString, message);
        TestDb &t = sharedDb();
        Connection &c = t.conn();
        // Each kind: its table and code column, and a save of a row with the given code (a new
        // row for key 0) that returns the refusal's message.
        struct Kind {
            QString table, column;
            std::function<QString(qint64 key, const QString &code, qint64 *saved)> save;
        };
        const QMap<QString, Kind> kinds{
            {"goods", {"货品目录", "编号", [&](qint64 key, const QString &code, qint64 *saved) {
                           GoodsRecord r;
                           r.code = code;
                           r.name = r.category = r.auxUnit = r.unit = "x";
                           r.purchasePrice = r.ratio = r.auxStock = r.stock = r.warningStock = r.salePrice = "1";
                           const auto out = key ? GoodsStore(c).saveEdit(key, r, {}) : GoodsStore(c).saveNew(r, {});
                           *saved = out.rowNo;
                           return out.refusal.messages.join('|');
                       }}},
            {"supplier", {"往来单位", "ID", [&](qint64 key, const QString &code, qint64 *saved) {
                              Supplier s;
                              s.rowNo = key;
                              s.name = "供应商";
                              s.code = code;
                              const auto out = key ? SupplierStore(c).saveEdit(s) : SupplierStore(c).saveNew(s);
                              *saved = out.rowNo;
                              return out.refusal.message;
                          }}},
            {"customer", {"客户目录", "客户编号", [&](qint64 key, const QString &code, qint64 *saved) {
                              Customer x = customer(code, "客户");
                              const Refusal r = key ? CustomerStore(c).saveEdit(key, x) : CustomerStore(c).saveNew(x);
                              *saved = x.key;
                              return r.message;
                          }}},
            {"department", {"部门资料", "部门编号", [&](qint64 key, const QString &code, qint64 *saved) {
                                Department d;
                                d.code = code;
                                d.name = "部门";
                                const Refusal r = key ? DepartmentStore(c).saveEdit(key, d)
                                                      : DepartmentStore(c).saveNew(d);
                                *saved = d.key;
                                return r.message;
                            }}},
            {"staff", {"员工目录", "工号", [&](qint64 key, const QString &code, qint64 *saved) {
                           StaffMember m;
                           m.no = code;
                           m.name = "员工";
                           const Refusal r = key ? StaffStore(c).saveEdit(key, m) : StaffStore(c).saveNew(m);
                           *saved = m.key;
                           return r.message;
                       }}}};
        const Kind &k = kinds[kind];
        t.exec("delete from " + k.table);
        qint64 key = 0;
        if (change)
            QCOMPARE(k.save(0, "C-1", &key), QString());
        qint64 saved = 0;
        QCOMPARE(k.save(key, code, &saved), message);
        QCOMPARE(t.scalar("select count(*) from " + k.table).toInt(), change ? 1 : 0);
        if (change)
            QCOMPARE(t.scalar("select " + k.column + " from " + k.table).toString(), QString("C-1"));
    }

    // A code that cannot be proposed (the table unreadable, as when the connection is lost while
    // the dialog opens) leaves the field empty; the save is then refused, not stored without one.
    void noProposedCodeNoCustomer()
    {
        TestDb t;
        ScriptedPrompt p;
        t.conn().exec("alter table 客户目录 rename to 客户目录_gone");
        p.expectMessage(kDbFailed);
        QPointer<TfrmNewCustomer> w = new TfrmNewCustomer;
        w->show();
        t.conn().exec("alter table 客户目录_gone rename to 客户目录");
        QVERIFY(p.verifyDone());
        QCOMPARE(edit(w, "Edit15")->text(), QString());
        fill(w, {{"Edit1", "客户"}, {"Edit14", "1"}});
        p.expectMessage("客户编号不能为空，请输入");
        w->SpeedButton1Click();
        QCOMPARE(w->focusWidget()->objectName(), QString("Edit15"));
        QVERIFY(CustomerStore(t.conn()).list().isEmpty());
        // A code typed by the operator is taken.
        edit(w, "Edit15")->setText("KH-7");
        p.expectMessage("客户信息添加成功");
        w->SpeedButton1Click();
        QTRY_VERIFY(w.isNull());
        QCOMPARE(CustomerStore(t.conn()).list().value(0).code, QString("KH-7"));
        QVERIFY(p.verifyDone());
    }

    void takenProposalIsRaisedOnceThenRefused()
    {
        TestDb t;
        auto second = t.secondClient();
        ScriptedPrompt p;
        QPointer<TfrmNewCustomer> a = new TfrmNewCustomer;
        QPointer<TfrmNewCustomer> b = new TfrmNewCustomer;
        QPointer<TfrmNewCustomer> c = new TfrmNewCustomer;
        for (TfrmNewCustomer *w : {a.data(), b.data(), c.data()}) {
            w->show();
            QCOMPARE(edit(w, "Edit15")->text(), kDay + "001");
            fill(w, {{"Edit1", "客户"}, {"Edit14", "1"}});
        }
        // Another client stores the proposed code first: this save takes the next serial silently.
        add(*second, customer(kDay + "001", "别家"));
        p.expectMessage("客户信息添加成功");
        b->SpeedButton1Click();
        QTRY_VERIFY(b.isNull()); // freed once closed
        QCOMPARE(CustomerStore(t.conn()).list().last().code, kDay + "002");
        // Raised once to 002, which is taken too.
        p.expectMessage("客户编号不能相同");
        c->SpeedButton1Click();
        QCOMPARE(edit(c, "Edit15")->text(), kDay + "002");
        QCOMPARE(c->focusWidget()->objectName(), QString("Edit15"));
        QCOMPARE(CustomerStore(t.conn()).list().size(), 2);
        QVERIFY(p.verifyDone());
        delete a.data();
        delete c.data();
    }

    // Two clients save one code at once, the first holding its save open: a proposed code moves
    // on to the next serial for the second; a typed code that cannot move on is refused to it.
    void twoClientsSavingOneCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("outcomes"); // sorted: codes stored, or the refusal
        QTest::newRow("proposed") << kDay + "001" << QStringList{kDay + "001", kDay + "002"};
        QTest::newRow("typed") << "C1" << QStringList{"C1", "客户编号不能相同"};
    }

    void twoClientsSavingOneCode()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, outcomes);
        TestDb t;
        QStringList got(2);
        const QString failure = runClients(t, 2, HoldOpen{}, [&](int n, Connection &c) {
            Customer x = customer(code, n ? "乙" : "甲");
            const Refusal r = CustomerStore(c).saveNew(x, kNow.date());
            got[n] = r ? r.message : x.code;
            return !r;
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        got.sort();
        QCOMPARE(got, outcomes);
        QStringList stored;
        for (const Customer &c : CustomerStore(t.conn()).list())
            stored << c.code;
        stored.sort();
        QCOMPARE(stored, outcomes.filter(QRegularExpression("^[A-Z0-9]+$")));
    }

    void newChecks_data()
    {
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // "Edit4": the cursor stays where it was
        const Fields base{{"Edit1", "客户"}, {"Edit14", "0.9"}};
        auto with = [&base](const Fields &more) {
            Fields f = base;
            for (auto it = more.begin(); it != more.end(); ++it)
                f[it.key()] = it.value();
            return f;
        };
        QTest::newRow("empty name") << with({{"Edit1", ""}, {"Edit14", ""}}) << "客户名称不能为空，请输入" << "Edit4";
        QTest::newRow("empty discount") << with({{"Edit14", ""}}) << "客户折扣不能为空" << "Edit4";
        QTest::newRow("taken short code") << with({{"Edit15", "C1"}, {"Edit1", ofBytes(201)}}) << "客户编号不能相同"
                                          << "Edit15";
        QTest::newRow("long code with no serial to raise")
            << with({{"Edit15", "KH2403XXabc"}}) << "客户编号不能相同" << "Edit15";
        for (const Limit &l : kLimits)
            QTest::addRow("%s over %d bytes", l.field, l.bytes)
                << with(QString(l.field) == "Edit15" ? Fields{{l.field, ofBytes(l.bytes + 1)}}
                                                     : Fields{{l.field, ofBytes(l.bytes + 1)}, {"Edit15", "N1"}})
                << l.message << l.field;
        QTest::newRow("lengths before a zero discount")
            << with({{"Edit4", ofBytes(201)}, {"Edit14", "0"}}) << "联系电话不得超过200" << "Edit4";
        QTest::newRow("zero discount") << with({{"Edit14", "0"}}) << "请输入客户折扣，此折扣不能为0" << "Edit4";
        QTest::newRow("a lone point") << with({{"Edit14", "."}}) << "客户折扣必须是数字" << "Edit14";
        for (const char *d : {"0.0", "00", "1.5", "1"})
            QTest::addRow("discount %s accepted", d) << with({{"Edit14", d}}) << QString() << QString();
        Fields limits = base;
        for (const Limit &l : kLimits)
            limits[l.field] = ofBytes(l.bytes);
        limits["Edit15"] = "N" + ofBytes(99);
        QTest::newRow("every field at its limit") << limits << QString() << QString();
    }

    void newChecks()
    {
        QFETCH(Fields, fields);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TestDb &t = sharedDb();
        add(t.conn(), customer("C1", "老客户"));
        add(t.conn(), customer("KH2403XXabc", "老客户"));
        ScriptedPrompt p;
        QPointer<TfrmNewCustomer> w = new TfrmNewCustomer;
        w->show();
        fill(w, fields);
        edit(w, "Edit4")->setFocus();
        p.expectMessage(message.isEmpty() ? "客户信息添加成功" : message);
        w->SpeedButton1Click();
        QVERIFY(p.verifyDone());
        const int stored = int(CustomerStore(t.conn()).list().size());
        if (message.isEmpty()) {
            QCOMPARE(stored, 3);
            QTRY_VERIFY(w.isNull());
            return;
        }
        QCOMPARE(stored, 2);
        QVERIFY(w->isVisible());
        QCOMPARE(w->focusWidget()->objectName(), focus);
        delete w.data();
    }

    void editChecks_data()
    {
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("empty name") << Fields{{"Edit1", ""}, {"Edit14", ""}} << "客户名称不能为空，请输入" << "Edit1";
        QTest::newRow("empty discount") << Fields{{"Edit14", ""}} << "客户折扣不能为空，请输入" << "Edit14";
        QTest::newRow("empty code") << Fields{{"Edit15", ""}} << "客户编号不能为空，请输入" << "Edit15";
        QTest::newRow("zero discount before lengths") << Fields{{"Edit14", "0"}, {"Edit4", ofBytes(201)}}
                                                      << "请输入客户折扣，此折扣不能为0" << "Edit4";
        QTest::newRow("remark 3001 bytes") << Fields{{"Memo1", ofBytes(3001)}} << "备注不得超过3000" << "Memo1";
        QTest::newRow("code changed to a taken one") << Fields{{"Edit15", "C2"}} << "客户编号不能相同" << "Edit15";
        QTest::newRow("discount 00") << Fields{{"Edit14", "00"}} << QString() << QString();
        QTest::newRow("remark 3000 bytes") << Fields{{"Memo1", ofBytes(3000)}} << QString() << QString();
    }

    void editChecks()
    {
        QFETCH(Fields, fields);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TestDb &t = sharedDb();
        const qint64 key = add(t.conn(), customer("C1", "甲"));
        add(t.conn(), customer("C2", "乙"));
        ScriptedPrompt p;
        G.gRepFit.PartnerRowNo = QString::number(key);
        TfrmMdfCustomer w;
        w.show();
        QCOMPARE(edit(&w, "Edit1")->text(), QString("甲"));
        QVERIFY(edit(&w, "Edit15")->isReadOnly());
        fill(&w, fields);
        edit(&w, "Edit4")->setFocus();
        p.expectMessage(message.isEmpty() ? "客户更新成功" : message);
        w.SpeedButton1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(w.isVisible(), !message.isEmpty());
        if (!message.isEmpty())
            QCOMPARE(w.focusWidget()->objectName(), focus);
    }

    void valuesWrittenByEachDialog()
    {
        TestDb t;
        LookupStore(t.conn(), LookupKind::Regions).add("华东");
        ScriptedPrompt p;
        QPointer<TfrmNewCustomer> n = new TfrmNewCustomer;
        n->show();
        fill(n, {{"Edit1", "  张三公司 "}, {"Edit14", "0.8"}, {"Edit3", " 张三"}, {"Edit10", "路'1号 "},
                 {"Edit8", " a@b.cn "}, {"Memo1", " 备注 "}});
        QCOMPARE(edit(n, "Edit16")->text(), QString("  ZSGS "));
        edit(n, "Edit16")->setText(" zs ");
        n->findChild<QComboBox *>("ComboBox2")->setEditText("华东");
        p.expectMessage("客户信息添加成功");
        n->SpeedButton1Click();
        Customer c = CustomerStore(t.conn()).list().first();
        QCOMPARE(c.code, kDay + "001");
        QCOMPARE(c.name, QString("张三公司"));
        QCOMPARE(c.contact, QString("张三"));
        QCOMPARE(c.address, QString("路'1号"));
        QCOMPARE(c.email, QString("a@b.cn"));
        QCOMPARE(c.remark, QString("备注"));
        QCOMPARE(c.mnemonic, QString(" zs "));
        QCOMPARE(c.region, QString("华东"));
        QCOMPARE(c.discount, QString("0.8"));
        QCOMPARE(c.registered, Clock::localNow().date().toString("yyyy-MM-dd"));

        // The edit dialog shows the stored 拼音码 and writes what is typed, untrimmed.
        G.gRepFit.PartnerRowNo = QString::number(c.key);
        TfrmMdfCustomer m;
        m.show();
        QCOMPARE(edit(&m, "Edit16")->text(), QString(" zs "));
        QCOMPARE(m.findChild<QComboBox *>("ComboBox2")->currentText(), QString("华东"));
        edit(&m, "Edit1")->setText(" 张三公司 ");
        p.expectMessage("客户更新成功");
        m.SpeedButton1Click();
        c = CustomerStore(t.conn()).list().first();
        QCOMPARE(c.name, QString(" 张三公司 "));
        QCOMPARE(c.mnemonic, QString(" ZSGS "));
        QCOMPARE(c.registered, Clock::localNow().date().toString("yyyy-MM-dd"));

        // A name of blanks passes the emptiness check and is stored trimmed, that is empty.
        QPointer<TfrmNewCustomer> blank = new TfrmNewCustomer;
        blank->show();
        fill(blank, {{"Edit1", "   "}, {"Edit14", "1"}});
        p.expectMessage("客户信息添加成功");
        blank->SpeedButton1Click();
        QCOMPARE(CustomerStore(t.conn()).list().last().name, QString());
        QVERIFY(p.verifyDone());
    }

    void unchangedCodeIsNotChecked()
    {
        TestDb t;
        const qint64 key = add(t.conn(), customer("C1", "甲"));
        t.exec("insert into 客户目录(客户编号, 客户名称, 客户折扣) values ('C1', '乙', 1)");
        ScriptedPrompt p;
        G.gRepFit.PartnerRowNo = QString::number(key);
        TfrmMdfCustomer w;
        w.show();
        edit(&w, "Edit4")->setText("123");
        p.expectMessage("客户更新成功");
        w.SpeedButton1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(CustomerStore(t.conn()).byKey(key)->phone, QString("123"));
    }

    void dialogKeyboard()
    {
        TestDb t;
        LookupStore(t.conn(), LookupKind::Regions).add("华南");
        ScriptedPrompt p;
        QPointer<TfrmNewCustomer> w = new TfrmNewCustomer;
        w->show();
        QApplication::setActiveWindow(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QWidget *name = edit(w, "Edit1");
        name->setFocus();
        edit(w, "Edit1")->setText("钢管");
        QCOMPARE(edit(w, "Edit16")->text(), QString("GG"));
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Edit16"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Edit14"));
        QTest::keyClicks(QApplication::focusWidget(), "0.5.5");
        QCOMPARE(edit(w, "Edit14")->text(), QString("0.55"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        auto *region = w->findChild<QComboBox *>("ComboBox2");
        QCOMPARE(QApplication::focusWidget(), region);
        QCOMPARE(region->count(), 1); // refilled as it took the focus
        QTest::keyClick(region, Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Edit14"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Edit16"));
        // Enter in the remark saves.
        memo(w)->setFocus();
        p.expectMessage("客户信息添加成功");
        QTest::keyClick(memo(w), Qt::Key_Return);
        QVERIFY(p.verifyDone());
        QCOMPARE(CustomerStore(t.conn()).list().size(), 1);
    }

    void listSearches()
    {
        TestDb t;
        add(t.conn(), customer("K1", "甲", "13800001111"));
        add(t.conn(), customer("K2", "乙", "13900002222"));
        add(t.conn(), customer("K3", "o'k", "010-1234"));
        ScriptedPrompt p;
        TfrmCustom w;
        w.show();
        QCOMPARE(w.windowTitle(), QString("客户目录"));
        QCOMPARE(names(w.rows()), (QStringList{"甲", "乙", "o'k"}));
        auto *kind = w.findChild<QComboBox *>("ComboBox1");
        QCOMPARE(kind->currentText(), QString("显示全部"));
        kind->setCurrentText("按照联系电话查询");
        QCOMPARE(w.rows().size(), 3); // another kind changes nothing until the text does
        auto *text = edit(&w, "Edit1");
        QTest::keyClicks(text, "13");
        QCOMPARE(names(w.rows()), (QStringList{"甲", "乙"}));
        QTest::keyClicks(text, "8");
        QCOMPARE(names(w.rows()), QStringList{"甲"});
        text->clear();
        QCOMPARE(w.rows().size(), 3);
        // Wildcards are the operator's; a quote is a character like any other.
        text->setText("1_8");
        QCOMPARE(names(w.rows()), QStringList{"甲"});
        kind->setCurrentText("按照客户名称查询");
        text->setText("o'");
        QCOMPARE(names(w.rows()), QStringList{"o'k"});
        kind->setCurrentText("显示全部");
        QCOMPARE(w.rows().size(), 3);

        // With the text empty, Enter and 查询 leave the list as it is.
        text->clear();
        add(t.conn(), customer("K4", "丁"));
        QTest::keyClick(text, Qt::Key_Return);
        w.SpeedButton1Click();
        QCOMPARE(w.rows().size(), 3);
        kind->setCurrentText("按照客户名称查询");
        text->setText("丁");
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(names(w.rows()), QStringList{"丁"});
        QVERIFY(p.verifyDone());
    }

    void listAfterDialogsAndDelete()
    {
        TestDb t;
        add(t.conn(), customer("K1", "甲", "138"));
        add(t.conn(), customer("K2", "乙", "139"));
        add(t.conn(), customer("K3", "丙", "139"));
        ScriptedPrompt p;
        frmCustom = new TfrmCustom;
        TfrmCustom &w = *frmCustom;
        w.show();
        w.findChild<QComboBox *>("ComboBox1")->setCurrentText("按照联系电话查询");
        edit(&w, "Edit1")->setText("139");
        grid(&w)->setCurrentCell(1, 0);
        // 修改: the list keeps its search and the changed customer is the current row.
        p.expectModal([](QDialog *d) {
            auto *m = qobject_cast<TfrmMdfCustomer *>(d);
            d->show();
            edit(m, "Edit1")->setText("丙丙");
            m->SpeedButton1Click();
            return int(d->result());
        });
        p.expectMessage("客户更新成功");
        w.SpeedButton8Click();
        QCOMPARE(names(w.rows()), (QStringList{"乙", "丙丙"}));
        QCOMPARE(currentName(grid(&w)), QString("丙丙"));
        // 新建: the list shows every customer.
        p.expectModal([](QDialog *d) {
            d->show();
            fill(d, {{"Edit1", "丁"}, {"Edit14", "1"}});
            static_cast<TCustomerDialog *>(d)->SpeedButton1Click();
            return int(QDialog::Accepted);
        });
        p.expectMessage("客户信息添加成功");
        w.SpeedButton7Click();
        QCOMPARE(names(w.rows()), (QStringList{"甲", "乙", "丙丙", "丁"}));
        // 删除 asks; Yes deletes the current row and lists every customer.
        grid(&w)->setCurrentCell(1, 0);
        p.expectMessage("您确实要删除吗?", QMessageBox::No, "系统提示");
        w.SpeedButton9Click();
        edit(&w, "Edit1")->setText("13");
        grid(&w)->setCurrentCell(0, 0);
        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton9Click();
        QCOMPARE(names(w.rows()), (QStringList{"乙", "丙丙", "丁"}));
        QCOMPARE(grid(&w)->currentRow(), 0);
        QVERIFY(p.verifyDone());
        delete frmCustom.data();
    }

    void listExport()
    {
        TestDb t;
        QTemporaryDir out;
        ExcelExport::setOutputFolder(out.path());
        ScriptedPrompt p;
        {
            TfrmCustom empty;
            empty.show();
            empty.SpeedButton8Click(); // an empty list: 修改, 删除 and export do nothing
            empty.SpeedButton9Click();
            empty.SpeedButton11Click();
        }
        Customer c = customer("K1", "甲", "138");
        c.discount = "0.85";
        c.email = "a@b.cn";
        add(t.conn(), c);
        add(t.conn(), customer("K2", "乙"));
        add(t.conn(), customer("K3", "丙"));
        const QList<Customer> rows = CustomerStore(t.conn()).list();
        const ExportSheet s = customerExportSheet(rows);
        QCOMPARE(s.headers, (QStringList{"客户名称", "联系人", "联系电话", "地址", "传真", "邮编", "Email",
                                         "会员编号", "客户折扣", "客户编号", "流水号", "备注"}));
        QCOMPARE(s.rows.size(), 3);
        QCOMPARE(s.rows[0], (QStringList{"甲", "", "138", "", "", "", "a@b.cn", "", "0.85", "K1",
                                         QString::number(rows[0].key), ""}));
        QCOMPARE(s.summary, QString("满足条件记录的总数为：3条"));

        TfrmCustom w;
        w.show();
        p.expectMessage("确认导出excel表吗？", QMessageBox::Ok, "提示");
        p.expectMessage("数据导出完成!", QMessageBox::Ok, "提示");
        p.expectExternal();
        w.SpeedButton11Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(QDir(out.path()).entryList({"*.xlsx"}).size(), 1);
        ExcelExport::setOutputFolder(QString());
    }

    void pickerSearch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("code") << "KX" << QStringList{"张三商行"};
        QTest::newRow("name") << "李四" << QStringList{"李四公司"};
        QTest::newRow("mnemonic in lower case") << "zssh" << QStringList{"张三商行"};
        QTest::newRow("address") << "人民路" << QStringList{"李四公司"};
        QTest::newRow("contact") << "小王" << QStringList{"张三商行"};
        QTest::newRow("phone") << "0755" << QStringList{"李四公司"};
        QTest::newRow("fax is not searched") << "8888" << QStringList{};
        QTest::newRow("empty text skips rows without any of the six")
            << "" << QStringList{"张三商行", "李四公司"};
    }

    void pickerSearch()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        TestDb &t = sharedDb();
        Customer a = customer("KX1", "张三商行");
        a.mnemonic = "ZSSH";
        a.contact = "小王";
        a.fax = "8888";
        add(t.conn(), a);
        Customer b = customer("K2", "李四公司", "0755-1");
        b.address = "人民路1号";
        b.mnemonic = "LSGS";
        add(t.conn(), b);
        t.exec("insert into 客户目录(传真, 客户折扣) values ('8888', 1)");
        TfrmChooseCustom w;
        w.show();
        QCOMPARE(w.rows().size(), 3); // shown at first: every row
        // Typed, or typed and rubbed out again: the search runs on every change.
        edit(&w, "Edit1")->setText(text.isEmpty() ? QString("张") : text);
        edit(&w, "Edit1")->setText(text);
        QCOMPARE(names(w.rows()), found);
    }

    void picks()
    {
        TestDb t;
        Customer a = customer("K1", "甲", "138");
        a.contact = "小王";
        a.address = "一路";
        a.discount = "0.9";
        add(t.conn(), a);
        add(t.conn(), customer("K2", "乙"));
        t.exec("update 客户目录 set 客户折扣 = NULL where 客户编号 = 'K2'");
        FieldReceiver bill("frmSaleBilling", {});
        G.gCustom.UnitNo = "D9";

        // Enter in the search box picks the current row; Down moves and keeps the search box.
        {
            TfrmChooseCustom w(&bill);
            w.show();
            QCOMPARE(w.windowTitle(), QString("请选择客户"));
            QTest::keyClick(edit(&w, "Edit1"), Qt::Key_Return);
            QCOMPARE(bill.messages, QList<int>{WM_CUSTOM_CHOSEN});
            QVERIFY(!w.isVisible());
            const Custom c = G.gCustom;
            QCOMPARE(QStringList({c.CustomerNo, c.CustomerName, c.Contact, c.Phone, c.Address, c.Discount, c.UnitNo}),
                     (QStringList{"K1", "甲", "小王", "138", "一路", "0.9", "D9"}));
        }
        // The space bar on the grid picks; an empty discount is picked empty.
        {
            TfrmChooseCustom w(&bill);
            w.show();
            QTest::keyClick(grid(&w, "dbGrid1"), Qt::Key_Down);
            QCOMPARE(w.current().code, QString("K2"));
            QTest::keyClick(grid(&w, "dbGrid1"), Qt::Key_Up);
            QCOMPARE(w.current().code, QString("K1"));
            QTest::keyClick(edit(&w, "Edit1"), Qt::Key_Down);
            QTest::keyClick(grid(&w, "dbGrid1"), Qt::Key_Space);
            QCOMPARE(bill.messages.size(), 2);
            QCOMPARE(G.gCustom.CustomerNo, QString("K2"));
            QCOMPARE(G.gCustom.Discount, QString());
        }
        // A receiver that fails leaves the shared record as it was.
        {
            ScriptedPrompt p;
            ThrowingReceiver failing;
            TfrmChooseCustom w(&failing);
            w.show();
            p.expectMessage("销售单无法接收客户");
            w.dbGrid1DblClick();
            QVERIFY(p.verifyDone());
            QCOMPARE(G.gCustom.CustomerNo, QString("K2"));
        }
    }

    void pickerOnAnEmptyTableAndAfterDialogs()
    {
        TestDb t;
        FieldReceiver bill("frmSaleBilling", {});
        ScriptedPrompt p;
        frmChooseCustom = new TfrmChooseCustom(&bill);
        TfrmChooseCustom &w = *frmChooseCustom;
        w.show();
        QTest::keyClick(edit(&w, "Edit1"), Qt::Key_Return);
        w.dbGrid1DblClick();
        w.SpeedButton8Click();
        QVERIFY(w.isVisible());
        QVERIFY(bill.messages.isEmpty());
        QVERIFY(G.gCustom.CustomerNo.isEmpty());

        add(t.conn(), customer("K1", "甲"));
        edit(&w, "Edit1")->setText("无此客户");
        QVERIFY(w.rows().isEmpty());
        // A new customer saved from the picker: every customer listed, the text kept.
        p.expectModal([](QDialog *d) {
            d->show();
            fill(d, {{"Edit1", "乙"}, {"Edit14", "1"}});
            static_cast<TCustomerDialog *>(d)->SpeedButton1Click();
            return int(QDialog::Accepted);
        });
        p.expectMessage("客户信息添加成功");
        w.SpeedButton7Click();
        QCOMPARE(names(w.rows()), (QStringList{"甲", "乙"}));
        QCOMPARE(w.current().name, QString("甲"));
        QCOMPARE(edit(&w, "Edit1")->text(), QString("无此客户"));
        QVERIFY(p.verifyDone());
        delete frmChooseCustom.data();
    }

    void menuEntryOpensTheList()
    {
        TestDb t;
        registerPartnersWindows();
        menuHandler("N7")();
        QVERIFY(frmCustom);
        QVERIFY(frmCustom->isVisible());
        QCOMPARE(frmCustom->windowTitle(), QString("客户目录"));
        frmCustom->close();
        QTRY_VERIFY(frmCustom.isNull());
    }

private:
    TestDb &sharedDb()
    {
        if (!m_shared) {
            m_shared = std::make_unique<TestDb>();
            m_sharedFor = QTest::currentTestFunction();
        }
        m_shared->exec("delete from 客户目录");
        return *m_shared;
    }
    std::unique_ptr<TestDb> m_shared;
    QByteArray m_sharedFor;
};

ORV_DB_TEST_MAIN(TestCustomers)
#include "tst_db_customers.moc"
