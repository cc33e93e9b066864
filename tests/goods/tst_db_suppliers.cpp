// Suppliers: codes under the number lock, the dialog's checks in order, the list and the picker.
#include "goodsfixture.h"
#include "receiver.h"
#include "scriptedprompt.h"
#include "xlsxsheet.h"

#include "common/clock.h"
#include "goods/excelexport.h"
#include "goods/frmchoosegys.h"
#include "goods/frmdanweixinxi.h"
#include "goods/frmwanglaidanwei.h"
#include "goods/goodsschema.h"
#include "goods/listmodel.h"
#include "goods/mastercode.h"
#include "goods/supplierbrowser.h"
#include "goods/suppliers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

using namespace orv;
using namespace orv::test;

Q_DECLARE_METATYPE(orv::SupplierField)
using Fill = QList<std::pair<orv::SupplierField, QString>>;
Q_DECLARE_METATYPE(Fill)

namespace {
const QDateTime kNow(QDate(2026, 3, 7), QTime(10, 0), Qt::UTC);

qint64 addSupplier(TestDb &t, const QString &name, const QString &code, const QMap<QString, QVariant> &more = {})
{
    QStringList cols{"单位名称", "ID"};
    QVariantList vals{name, code};
    for (auto it = more.cbegin(); it != more.cend(); ++it) {
        cols << it.key();
        vals << it.value();
    }
    QStringList marks(cols.size(), "?");
    t.exec("insert into 往来单位(" + cols.join(',') + ") values(" + marks.join(',') + ")", vals);
    return t.scalar("select max(流水号) from 往来单位").toLongLong();
}

QStringList storedCodes(TestDb &t)
{
    QStringList out;
    for (const Supplier &s : SupplierStore(t.conn()).all())
        out << s.code;
    return out;
}

QLineEdit *edit(QWidget *w, const char *name) { return w->findChild<QLineEdit *>(name); }
QToolButton *tool(QWidget *w, const char *name) { return w->findChild<QToolButton *>(name); }
} // namespace

class TestSuppliers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerGoodsSchema(); }
    void init()
    {
        G = AppGlobals{};
        Clock::pin(kNow);
    }
    void cleanup()
    {
        Clock::pin(QDateTime());
        delete frmDanWeiXinXi.data();
        delete frmChooseGYS.data();
    }

    void tableColumnsInOrder()
    {
        TestDb t;
        DataSet q(&t.conn());
        q.setSql("select * from 往来单位");
        q.open();
        QStringList names = q.fieldNames(), want = SupplierStore::columnNames();
        // PostgreSQL reports Email, QQ and ID folded to lower case.
        for (QString &n : names)
            n = n.toLower();
        for (QString &n : want)
            n = n.toLower();
        QCOMPARE(names, want);
        // A supplier brought in without flags is a purchasing supplier.
        addSupplier(t, "导入", "DW1");
        QCOMPARE(SupplierStore(t.conn()).all().first().purchasing, true);
        QCOMPARE(SupplierStore(t.conn()).all().first().warranty, false);
    }

    void codes_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("typed"); // empty: the proposed one
        QTest::addColumn<QString>("saved");  // empty: refused
        QTest::addColumn<QString>("shown");  // the code field afterwards
        QTest::newRow("first of the day") << QStringList{} << "DW260307001" << "" << "DW260307001" << "DW260307001";
        QTest::newRow("follows the last") << QStringList{"DW260307005"} << "DW260307006" << "" << "DW260307006"
                                          << "DW260307006";
        QTest::newRow("yesterday's do not count") << QStringList{"DW260306009"} << "DW260307001" << ""
                                                  << "DW260307001" << "DW260307001";
        QTest::newRow("taken, bumped once") << QStringList{"DW260307005", "DW260307001"} << "DW260307002"
                                            << "DW260307005" << "DW260307006" << "DW260307006";
        QTest::newRow("taken twice, refused") << QStringList{"DW260307005", "DW260307006"} << "DW260307007"
                                              << "DW260307005" << "" << "DW260307006";
        QTest::newRow("short code taken, refused") << QStringList{"ABC"} << "DW260307001" << "ABC" << ""
                                                   << "ABC";
        QTest::newRow("typed and free") << QStringList{"DW260307001"} << "DW260307002" << "X-1" << "X-1" << "X-1";
    }

    void codes()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, proposed);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QFETCH(QString, shown);
        TestDb t;
        for (const QString &c : stored)
            addSupplier(t, "旧" + c, c);
        SupplierStore s(t.conn());
        QCOMPARE(proposeMasterCode(t.conn(), supplierCodeRule()), proposed);
        Supplier n;
        n.name = "新供应商";
        n.code = typed.isEmpty() ? proposed : typed;
        const SupplierStore::Saved r = s.saveNew(n);
        QCOMPARE(r.ok, !saved.isEmpty());
        QCOMPARE(r.code, saved.isEmpty() ? shown : saved);
        if (saved.isEmpty()) {
            QCOMPARE(r.refusal.message, QString("单位编号不能相同"));
            QCOMPARE(r.refusal.field, SupplierField::Code);
            QCOMPARE(storedCodes(t).size(), stored.size());
        } else {
            QVERIFY(storedCodes(t).contains(saved));
        }
    }

    // Both dialogs showed the same proposed code; the save that waits for the other moves it on.
    void twoClientsTakeTwoCodes()
    {
        TestDb t;
        const QString proposed = proposeMasterCode(t.conn(), supplierCodeRule());
        QStringList codes(2);
        const QString failure = runClients(t, 2, HoldOpen{}, [&](int n, Connection &c) {
            Supplier s;
            s.name = n ? "乙" : "甲";
            s.code = proposed;
            const auto r = SupplierStore(c).saveNew(s);
            codes[n] = r.ok ? r.code : r.refusal.message;
            return r.ok;
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        codes.sort();
        QCOMPARE(codes, (QStringList{"DW260307001", "DW260307002"}));
        QCOMPARE(storedCodes(t), codes);
    }

    void checkOrder_data()
    {
        QTest::addColumn<Fill>("fill");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<SupplierField>("field");
        const QChar zh(0x4e2d);
        auto text = [](int n, QChar c = QChar('x')) { return QString(n, c); };
        using F = SupplierField;
        QTest::newRow("no name") << Fill{{F::Name, ""}} << "单位名称不能为空！" << F::Name;
        QTest::newRow("no code") << Fill{{F::Code, ""}} << "单位编号不能为空！" << F::Code;
        QTest::newRow("code of blanks") << Fill{{F::Code, "  "}} << "单位编号不能为空！" << F::Code;
        QTest::newRow("name before code") << Fill{{F::Name, ""}, {F::Code, ""}} << "单位名称不能为空！" << F::Name;
        QTest::newRow("name 1000 bytes") << Fill{{F::Name, text(500, zh)}} << "" << F::Name;
        QTest::newRow("name 1001 bytes") << Fill{{F::Name, text(500, zh) + "x"}} << "供应商单位名称不得超过1000"
                                         << F::Name;
        QTest::newRow("qq 20") << Fill{{F::QQ, text(20)}} << "" << F::Name;
        QTest::newRow("qq 21") << Fill{{F::QQ, text(21)}} << "qq不得超过20" << F::QQ;
        QTest::newRow("email 501") << Fill{{F::Email, text(501)}} << "邮箱不得超过500" << F::Email;
        QTest::newRow("mnemonic 3001") << Fill{{F::Mnemonic, text(3001)}} << "助记码不得超过3000" << F::Mnemonic;
        QTest::newRow("code 201") << Fill{{F::Code, text(201)}} << "单位编号不得超过200" << F::Code;
        QTest::newRow("account 101") << Fill{{F::Account, text(101)}} << "帐号不得超过100" << F::Account;
        QTest::newRow("remark 2002 bytes") << Fill{{F::Remark, text(1001, zh)}} << "备注不得超过2000" << F::Remark;
        QTest::newRow("scope before address") << Fill{{F::Address, text(3001)}, {F::Scope, text(3001)}}
                                              << "经营范围不得超过3000" << F::Scope;
        QTest::newRow("address 3001") << Fill{{F::Address, text(3001)}} << "地址不得超过3000" << F::Address;
        QTest::newRow("empty name first") << Fill{{F::Name, ""}, {F::QQ, text(21)}} << "单位名称不能为空！" << F::Name;
        QTest::newRow("name before qq") << Fill{{F::Name, text(1001)}, {F::QQ, text(21)}}
                                        << "供应商单位名称不得超过1000" << F::Name;
    }

    void checkOrder()
    {
        QFETCH(Fill, fill);
        QFETCH(QString, message);
        QFETCH(SupplierField, field);
        Supplier s;
        s.name = "名";
        s.code = "DW1";
        for (const auto &[f, text] : fill) {
            QString *target[] = {&s.name, &s.mnemonic, &s.code, &s.contact, &s.phone, &s.fax, &s.postcode, &s.email,
                                 &s.qq, &s.account, &s.taxNo, &s.scope, &s.web, &s.address, &s.remark};
            *target[int(f)] = text;
        }
        const auto r = SupplierStore::checkFields(s);
        QCOMPARE(r.has_value(), !message.isEmpty());
        if (r) {
            QCOMPARE(r->message, message);
            QCOMPARE(r->field, field);
        }
    }

    void dialogNewTwiceAndRefusals()
    {
        TestDb t;
        ScriptedPrompt p;
        Receiver list, picker;
        // The dialog tells the list and the picker; stand-ins receive for them here.
        TfrmWangLaiDanWei realList;
        frmWangLaiDanWei = &realList;
        G.gGysEditMode = 1;
        TfrmDanWeiXinXi d;
        d.getTaskNo();
        d.show();
        QCOMPARE(d.windowTitle(), QString("供应商信息"));
        QCOMPARE(edit(&d, "Edit13")->text(), QString("DW260307001"));
        QVERIFY(tool(&d, "SpeedButton1")->isVisibleTo(&d));
        QVERIFY(!tool(&d, "SpeedButton3")->isVisibleTo(&d));

        p.expectMessage("单位名称不能为空！");
        d.SpeedButton1Click();
        QCOMPARE(d.state(), TfrmDanWeiXinXi::State::NewEntering);
        QCOMPARE(d.focusWidget(), edit(&d, "Edit1"));

        // The name makes the mnemonic; a quote is stored as typed.
        edit(&d, "Edit1")->setText("O'Brien钢管");
        QCOMPARE(edit(&d, "Edit14")->text(), QString("O'BrienGG"));
        edit(&d, "Edit8")->setText("12345");
        d.SpeedButton1Click();
        QCOMPARE(d.state(), TfrmDanWeiXinXi::State::NewSaved);
        QCOMPARE(tool(&d, "SpeedButton1")->text(), QString("新建"));
        QVERIFY(edit(&d, "Edit1")->isReadOnly());
        QCOMPARE(realList.browser()->rowCount(), 1); // the list reloaded on WM_GYS_NEW

        // 新建, then a second supplier with the next code.
        d.SpeedButton1Click();
        QCOMPARE(tool(&d, "SpeedButton1")->text(), QString("保存"));
        QVERIFY(edit(&d, "Edit1")->text().isEmpty());
        QVERIFY(!edit(&d, "Edit1")->isReadOnly());
        QCOMPARE(edit(&d, "Edit13")->text(), QString("DW260307002"));
        edit(&d, "Edit1")->setText("第二家");
        // The state decides, not the caption a translation might change.
        tool(&d, "SpeedButton1")->setText("Save");
        d.SpeedButton1Click();
        QCOMPARE(d.state(), TfrmDanWeiXinXi::State::NewSaved);
        QCOMPARE(storedCodes(t), (QStringList{"DW260307001", "DW260307002"}));
        const auto all = SupplierStore(t.conn()).all();
        QCOMPARE(all[0].name, QString("O'Brien钢管"));
        QCOMPARE(all[0].qq, QString("12345"));
        QCOMPARE(all[0].purchasing, true);
        QCOMPARE(all[0].vehicle, false);
        QCOMPARE(realList.browser()->rowCount(), 2);
        frmWangLaiDanWei = nullptr;
        QVERIFY(p.verifyDone());
    }

    // A code that cannot be proposed (the table unreadable, as when the connection is lost while
    // 新建 runs) leaves the dialog as it was: the saved supplier stays, locked, and 新建 can be
    // pressed again. A dialog opened without a code refuses to save until one is typed.
    void noProposedCodeNoSupplier()
    {
        TestDb t;
        ScriptedPrompt p;
        G.gGysEditMode = 1;
        TfrmDanWeiXinXi d;
        QVERIFY(d.getTaskNo());
        d.show();
        edit(&d, "Edit1")->setText("甲");
        d.SpeedButton1Click();
        QCOMPARE(d.state(), TfrmDanWeiXinXi::State::NewSaved);
        const auto unreadable = [&t](bool on) {
            t.conn().exec(on ? "alter table 往来单位 rename to 往来单位_gone" : "alter table 往来单位_gone rename to 往来单位");
        };
        unreadable(true);
        p.expectMessage(kDbFailed);
        d.SpeedButton1Click();
        unreadable(false);
        QCOMPARE(d.state(), TfrmDanWeiXinXi::State::NewSaved);
        QCOMPARE(tool(&d, "SpeedButton1")->text(), QString("新建"));
        QCOMPARE(edit(&d, "Edit1")->text(), QString("甲"));
        QCOMPARE(edit(&d, "Edit13")->text(), QString("DW260307001"));
        QVERIFY(edit(&d, "Edit1")->isReadOnly());
        d.SpeedButton1Click();
        QCOMPARE(d.state(), TfrmDanWeiXinXi::State::NewEntering);
        QCOMPARE(edit(&d, "Edit13")->text(), QString("DW260307002"));

        TfrmDanWeiXinXi opened;
        unreadable(true);
        p.expectMessage(kDbFailed);
        QVERIFY(!opened.getTaskNo());
        unreadable(false);
        opened.show();
        QCOMPARE(opened.state(), TfrmDanWeiXinXi::State::NewEntering);
        QVERIFY(edit(&opened, "Edit13")->text().isEmpty());
        edit(&opened, "Edit1")->setText("乙");
        for (const QString code : {"", "   "}) {
            edit(&opened, "Edit13")->setText(code);
            p.expectMessage("单位编号不能为空！");
            opened.SpeedButton1Click();
            QCOMPARE(opened.state(), TfrmDanWeiXinXi::State::NewEntering);
            QCOMPARE(opened.focusWidget(), edit(&opened, "Edit13"));
        }
        QCOMPARE(storedCodes(t), QStringList{"DW260307001"});
        QVERIFY(p.verifyDone());
    }

    void dialogEdit()
    {
        TestDb t;
        ScriptedPrompt p;
        const qint64 a = addSupplier(t, "甲", "DW260307001", {{"三包厂商", true}, {"助记码", "J"}});
        addSupplier(t, "乙", "DW260307002");
        Receiver picker;
        TfrmChooseGYS realPicker(&picker);
        frmChooseGYS = &realPicker;
        G.gGysEditMode = 2;
        TfrmDanWeiXinXi d;
        d.fillFrom(*SupplierStore(t.conn()).byRowNo(a));
        d.show();
        QCOMPARE(edit(&d, "Edit14")->text(), QString("J")); // the stored mnemonic
        QVERIFY(tool(&d, "SpeedButton3")->isVisibleTo(&d));
        // A changed code another supplier carries is refused.
        edit(&d, "Edit13")->setText("DW260307002");
        p.expectMessage("单位编号不能相同");
        d.SpeedButton3Click();
        QCOMPARE(d.focusWidget(), edit(&d, "Edit13"));
        QCOMPARE(d.state(), TfrmDanWeiXinXi::State::EditEntering);
        // Its own code is no clash; the stored flags are kept.
        edit(&d, "Edit13")->setText("DW260307001");
        edit(&d, "Edit3")->setText("010-1234");
        G.gRepFit.PartnerRowNo = QString::number(a);
        d.SpeedButton3Click();
        QCOMPARE(d.state(), TfrmDanWeiXinXi::State::EditSaved);
        QCOMPARE(tool(&d, "SpeedButton3")->text(), QString("编辑"));
        const Supplier s = *SupplierStore(t.conn()).byRowNo(a);
        QCOMPARE(s.phone, QString("010-1234"));
        QCOMPARE(s.warranty, true);
        QCOMPARE(s.purchasing, true);
        QCOMPARE(s.vehicle, false);
        // The picker re-read its list and kept the edited supplier current.
        QCOMPARE(realPicker.browser()->currentRowNo(), a);
        d.SpeedButton3Click();
        QCOMPARE(d.state(), TfrmDanWeiXinXi::State::EditEntering);

        // Deleted meanwhile by another client: the edit says so instead of reporting success.
        t.secondClient()->exec("delete from 往来单位 where 流水号 = ?", {a});
        p.expectMessage(SupplierStore::vanishedText());
        d.SpeedButton3Click();
        QCOMPARE(d.state(), TfrmDanWeiXinXi::State::EditEntering);
        frmChooseGYS = nullptr;
        QVERIFY(p.verifyDone());
    }

    void enterWalksTheFieldsAndSavesFromTheRemark()
    {
        TestDb t;
        G.gGysEditMode = 1;
        TfrmDanWeiXinXi d;
        d.getTaskNo();
        d.show();
        QApplication::setActiveWindow(&d);
        edit(&d, "Edit1")->setFocus();
        edit(&d, "Edit1")->setText("丙");
        QTest::keyClick(edit(&d, "Edit1"), Qt::Key_Return);
        QCOMPARE(d.focusWidget(), edit(&d, "Edit14"));
        QTest::keyClick(edit(&d, "Edit14"), Qt::Key_Down);
        QCOMPARE(d.focusWidget(), edit(&d, "Edit13"));
        QTest::keyClick(edit(&d, "Edit13"), Qt::Key_Up);
        QCOMPARE(d.focusWidget(), edit(&d, "Edit14"));
        auto *memo = d.findChild<QPlainTextEdit *>("Memo1");
        memo->setFocus();
        QTest::keyClick(memo, Qt::Key_Left);
        QCOMPARE(d.focusWidget(), edit(&d, "Edit6"));
        memo->setFocus();
        QTest::keyClick(memo, Qt::Key_Return);
        QCOMPARE(d.state(), TfrmDanWeiXinXi::State::NewSaved);
        QCOMPARE(storedCodes(t), QStringList{"DW260307001"});
    }

    void listSearchDeleteNotices()
    {
        TestDb t;
        ScriptedPrompt p;
        addSupplier(t, "百分之百_公司", "DW1", {{"联系人", "张三"}, {"Email", "a@b.cn"}, {"备注", "老客户"}});
        addSupplier(t, "普通公司", "DW2", {{"联系人", "李四"}, {"QQ", "8888"}});
        addSupplier(t, "第三家", "DW3", {{"联系人", "王五"}});
        TfrmWangLaiDanWei w;
        w.show();
        SupplierBrowser *b = w.browser();
        QCOMPARE(b->rowCount(), 3);
        QCOMPARE(b->remarkMemo->toPlainText(), QString("老客户"));
        // 显示全部 with text lists everything; "_" and "%" stay wildcards.
        b->searchEdit->setText("公司");
        QCOMPARE(b->rowCount(), 3);
        b->searchField->setCurrentText("按照名称查询");
        w.SpeedButton9Click();
        QCOMPARE(b->rowCount(), 2);
        b->searchEdit->setText("_");
        QCOMPARE(b->rowCount(), 3);
        b->searchEdit->setText("%_公司");
        QCOMPARE(b->rowCount(), 2);
        b->searchEdit->setText("'");
        QCOMPARE(b->rowCount(), 0);
        b->searchField->setCurrentText("按照联系人查询");
        b->searchEdit->setText("李");
        QCOMPARE(b->rowCount(), 1);
        QVERIFY(b->remarkMemo->toPlainText().isEmpty());

        // 邮件 and QQ.
        p.expectMessage("该单位没有电子邮件地址信息！");
        w.SpeedButton4Click();
        p.expectMessage("QQ号码：8888");
        w.SpeedButton3Click();
        b->searchEdit->clear();
        p.expectMessage("电子邮件地址：a@b.cn");
        w.SpeedButton4Click();
        p.expectMessage("该单位没有QQ信息！");
        w.SpeedButton3Click();

        // Down to the third row, then 删除: that row goes.
        b->moveCurrent(2);
        p.expectMessage("确认要删除?", QMessageBox::No, "系统提示");
        w.SpeedButton5Click();
        QCOMPARE(storedCodes(t).size(), 3);
        p.expectMessage("确认要删除?", QMessageBox::Yes, "系统提示");
        w.SpeedButton5Click();
        QCOMPARE(storedCodes(t), (QStringList{"DW1", "DW2"}));
        QCOMPARE(b->supplierGrid->currentIndex().row(), 0);
        QVERIFY(p.verifyDone());
    }

    void emptyListCommandsIdle()
    {
        TestDb t;
        ScriptedPrompt p; // any prompt would fail the test
        TfrmWangLaiDanWei w;
        w.show();
        w.SpeedButton2Click();
        w.SpeedButton5Click();
        w.SpeedButton4Click();
        w.SpeedButton3Click();
        w.SpeedButton6Click();
        w.DBGrid1DblClick();
        QVERIFY(w.browser()->remarkMemo->toPlainText().isEmpty());
        QVERIFY(p.verifyDone());
    }

    void exportThirteenColumns()
    {
        TestDb t;
        QTemporaryDir dir;
        ExcelExport::setOutputFolder(dir.path());
        addSupplier(t, "甲", "DW1", {{"邮编", "0123"}, {"备注", "隐藏的备注"}});
        addSupplier(t, "乙", "DW2");
        TfrmWangLaiDanWei w;
        w.show();
        ScriptedPrompt p;
        p.expectMessage("确认导出excel表吗？", QMessageBox::Ok, "提示");
        p.expectMessage("数据导出完成!", QMessageBox::Ok, "提示");
        p.expectExternal();
        w.SpeedButton6Click();
        QVERIFY(p.verifyDone());
        const QStringList files = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        const Sheet sh(dir.filePath(files.first()));
        QCOMPARE(sh.cells.value("A1").value, QString("单位名称"));
        QCOMPARE(sh.cells.value("M1").value, QString("备注"));
        QVERIFY(!sh.cells.contains("N1"));
        QCOMPARE(sh.cells.value("A2").value, QString("甲"));
        QCOMPARE(sh.cells.value("M2").value, QString("隐藏的备注"));
        QCOMPARE(sh.cells.value("A3").value, QString("乙"));
        QVERIFY(!sh.cells.contains("A4")); // no summary line
        ExcelExport::setOutputFolder(QString());
    }

    void pickerModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("written");
        for (int m : {0, 1, 2, 5, 6, 9})
            QTest::newRow(qPrintable(QString("mode %1").arg(m))) << m << true;
        QTest::newRow("other mode") << 3 << false;
    }

    void pickerModes()
    {
        QFETCH(int, mode);
        QFETCH(bool, written);
        TestDb t;
        addSupplier(t, "甲", "DW260307001", {{"助记码", "J"}, {"采购供应商", false}});
        addSupplier(t, "乙公司", "DW260307002", {{"助记码", "YGS"}});
        Receiver opener;
        G.gGysMode = mode;
        TfrmChooseGYS w(&opener);
        w.show();
        QCOMPARE(w.browser()->searchField->currentText(), QString("按照助记码查询"));
        // Pinyin initials find the supplier; a non-purchasing supplier is listed and picked alike.
        w.browser()->searchEdit->setText("ygs");
        QCOMPARE(w.browser()->rowCount(), 1);
        QTest::keyClick(w.browser()->searchEdit, Qt::Key_Return);
        QCOMPARE(G.gCustom.UnitNo, QString("DW260307002"));
        QCOMPARE(opener.field(FieldRole::Supplier), written ? QString("DW260307002.乙公司") : QString());
        QVERIFY(!w.isVisible());
    }

    void pickerOnEmptyListWritesNothing()
    {
        TestDb t;
        Receiver opener;
        G.gGysMode = 5;
        G.gCustom.UnitNo = "kept";
        TfrmChooseGYS w(&opener);
        w.show();
        w.DBGrid1DblClick();
        QVERIFY(opener.fields.isEmpty());
        QCOMPARE(G.gCustom.UnitNo, QString("kept"));
    }

    void pickerKeys()
    {
        TestDb t;
        for (int i = 1; i <= 3; ++i)
            addSupplier(t, QString("供%1").arg(i), QString("DW%1").arg(i), {{"备注", QString("备%1").arg(i)}});
        Receiver opener;
        G.gGysMode = 0;
        TfrmChooseGYS w(&opener);
        w.show();
        SupplierBrowser *b = w.browser();
        QTest::keyClick(b->searchEdit, Qt::Key_Down);
        QTest::keyClick(b->searchEdit, Qt::Key_Down);
        QCOMPARE(b->currentRowNo(), t.scalar("select 流水号 from 往来单位 where ID='DW3'").toLongLong());
        QCOMPARE(b->remarkMemo->toPlainText(), QString("备3"));
        QTest::keyClick(b->searchEdit, Qt::Key_Up);
        QCOMPARE(b->remarkMemo->toPlainText(), QString("备2"));
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(b->supplierGrid->viewport(), &wheel);
        QCOMPARE(b->remarkMemo->toPlainText(), QString("备3"));
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QVERIFY(opener.fields.isEmpty());
    }
};

ORV_DB_TEST_MAIN(TestSuppliers)
#include "tst_db_suppliers.moc"
