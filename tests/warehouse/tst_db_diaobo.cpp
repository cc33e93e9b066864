// The internal document entry window: the layout and keyboard order of each kind, the goods
// lines (picked, typed, imported, edited, deleted), saving with its messages, prints and reset,
// a shortage refused with nothing written, clearing, and the menu entries.
#include "documentfixture.h"
#include "scriptedprompt.h"

#include "app/windowing.h"
#include "app/frmtime.h"
#include "documents/frmselectpuch.h"
#include "goods/frmmdf.h"
#include "goods/frmselectfit.h"
#include "goods/goodslineview.h"
#include "goods/listmodel.h"
#include "partners/frmduty.h"
#include "partners/frmyuangongmulu.h"
#include "partners/staffcombo.h"
#include "purchasing/receiptposting.h"
#include "warehouse/frmdiaobo.h"
#include "warehouse/frmdiaobolist.h"
#include "warehouse/internalkinds.h"
#include "warehouse/internalposting.h"
#include "warehouse/warehousemenu.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QTableView>
#include <QLabel>
#include <QToolButton>

using namespace orv;
using namespace orv::test;
using namespace documenttest;

namespace {
int closeEditor(QDialog *) { return int(QDialog::Rejected); }

QLineEdit *edit(QWidget *w, const char *name)
{
    auto *e = w->findChild<QLineEdit *>(QString::fromUtf8(name));
    if (!e)
        qFatal("no field %s", name);
    return e;
}
StaffCombo *staff(QWidget *w, const char *name) { return w->findChild<StaffCombo *>(QString::fromUtf8(name)); }
QCheckBox *box(QWidget *w, const char *name) { return w->findChild<QCheckBox *>(QString::fromUtf8(name)); }
QString comboText(QWidget *w, const char *name)
{
    return w->findChild<QComboBox *>(QString::fromUtf8(name))->currentText();
}

// The window as the menu entry opens it.
struct Entry {
    TfrmDiaobo w;
    explicit Entry(int kind) : w(kind)
    {
        G.gDocKind = kind;
        w.show();
    }
};

void pick(TfrmDiaobo &w, ScriptedPrompt &p, const Line &l)
{
    stage(l);
    p.expectModal(closeEditor);
    QVERIFY(SendMessage(&w, WM_FIT_CHOSEN));
}

void fillHeader(TfrmDiaobo &w)
{
    for (const char *s : {"ComboBox2", "ComboBox4", "ComboBox6", "ComboBox7", "ComboBox8", "ComboBox9", "ComboBox10",
                          "ComboBox11"})
        staff(&w, s)->setText(QString(s).replace("ComboBox", "00") + ".员工");
    QVERIFY(w.setField(FieldRole::Department, "相关部门", "BM01.一车间"));
    QVERIFY(w.setField(FieldRole::Department, "部门经理", "周经理"));
    QVERIFY(w.setField(FieldRole::Department, "部门编号", "BM01"));
    edit(&w, "Edit5")->setText("三月");
}

// The goods the tests save, kept at 一号库.
void addLines(TestDb &t, double stockA = 10, double stockB = 10)
{
    addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"库存", stockA}, {"辅助库存", 5}, {"进货价", 3},
                 {"换算比率", 2}, {"条码", "690A"}, {"助记码", "J"}});
    addGoods(t, {{"编号", "B"}, {"名称", "乙"}, {"仓位", "一号库"}, {"库存", stockB}, {"辅助库存", 5}, {"进货价", 2.5},
                 {"换算比率", 0}, {"条码", "690B"}, {"助记码", "Y"}});
}

// The header fields as shown: "control=label" for a shown field, "-control=label" for a label
// shown without its field, in the window's field order.
QStringList shownFields(TfrmDiaobo &w)
{
    const QList<QPair<const char *, const char *>> fields = {
        {"ComboBox2", "Label14"}, {"ComboBox6", "Label22"},  {"ComboBox7", "Label23"}, {"ComboBox8", "Label24"},
        {"ComboBox5", "Label20"}, {"Edit4", "Label21"},      {"Edit8", "Label29"},     {"ComboBox9", "Label25"},
        {"ComboBox10", "Label30"}, {"ComboBox4", "Label31"}, {"ComboBox11", "Label32"}, {"Edit1Date", "Label15"},
        {"Edit5", "Label26"}};
    QStringList out;
    for (const auto &[control, label] : fields) {
        QWidget *c = w.findChild<QWidget *>(control);
        QLabel *l = w.findChild<QLabel *>(label);
        if (c->isVisible())
            out << QString("%1=%2").arg(control, l->text().trimmed());
        else if (l->isVisible())
            out << QString("-%1=%2").arg(control, l->text().trimmed());
    }
    return out;
}
} // namespace

class TestDiaobo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerTables();
        startEngine();
    }
    void init()
    {
        resetProgramState();
        if (qstrcmp(QTest::currentTestFunction(), "keyOrder") != 0)
            m_sharedDb.reset();
    }
    void cleanup()
    {
        delete frmMdf.data();
        delete frmSelectPuch.data();
        delete frmSelectFit.data();
        delete frmTime.data();
        delete frmYuanGongMuLu.data();
        delete frmDuty.data();
        Clock::pin(QDateTime());
    }
    void cleanupTestCase() { m_sharedDb.reset(); }

    void layout_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("fields");
        const QString date = "Edit1Date=制单日期：", remark = "Edit5=备注：";
        QTest::newRow("车间领用") << 1
                              << QStringList{"ComboBox2=经办人：", "ComboBox6=领用员：", "ComboBox7=发货员：",
                                             "ComboBox5=领用单位:", "Edit4=部门经理：", "Edit8=部门编号：",
                                             "ComboBox10=复核员：", date, remark};
        QTest::newRow("成品入库") << 2
                              << QStringList{"ComboBox2=开单员：", "ComboBox8=送货员：", "ComboBox5=相关单位:",
                                             "Edit4=部门经理：", "Edit8=部门编号：", "ComboBox10=复核员：", date, remark};
        QTest::newRow("次品返工") << 3
                              << QStringList{"ComboBox2=开单员：", "ComboBox8=送货员：", "ComboBox5=部门信息:",
                                             "Edit4=部门经理：", "Edit8=部门编号：", "ComboBox10=复核员：", date, remark};
        QTest::newRow("货品报损") << 4
                              << QStringList{"ComboBox2=开单员：", "ComboBox5=相关单位:", "Edit4=部门经理：",
                                             "Edit8=部门编号：", "ComboBox9=财务：", "-ComboBox10=复核员：", date, remark};
        QTest::newRow("货品借出") << 5
                              << QStringList{"ComboBox2=开单员：", "ComboBox7=发货员：", "ComboBox5=借出单位：",
                                             "Edit8=单位编号：", "ComboBox10=复核员：", "ComboBox4=借出员：",
                                             "ComboBox11=开票员：", date, remark};
        QTest::newRow("货品归还") << 6
                              << QStringList{"ComboBox2=开单员：", "ComboBox7=发货员：", "ComboBox5=归还单位：",
                                             "Edit8=单位编号：", "ComboBox10=复核员：", "ComboBox4=归还员：",
                                             "ComboBox11=开票员：", date, remark};
        QTest::newRow("公司赠送") << 7
                              << QStringList{"ComboBox2=开单员：", "ComboBox7=发货员：", "ComboBox8=送货员：",
                                             "ComboBox5=赠送单位：", "Edit8=单位编号：", "ComboBox10=复核员：",
                                             "ComboBox11=开票员：", date, remark};
    }
    void layout()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, fields);
        TestDb t;
        t.exec("insert into 成品入库单(单据编号, ID, 当前状态) values('CPRK-260307-004', 'x', '已审核')");
        Entry e(kind);
        TfrmDiaobo &w = e.w;
        const QString caption = QString::fromUtf8(internalKind(kind).caption);
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(w.findChild<QLabel *>("Label12")->text(), caption);
        QCOMPARE(shownFields(w), fields);
        // A field's picker button goes with it.
        const QList<QPair<const char *, const char *>> buttons = {
            {"SpeedButton10", "ComboBox2"}, {"SpeedButton11", "ComboBox6"}, {"SpeedButton15", "ComboBox7"},
            {"SpeedButton16", "ComboBox8"}, {"SpeedButton9", "ComboBox5"},  {"SpeedButton17", "ComboBox9"},
            {"SpeedButton6", "ComboBox10"}, {"SpeedButton7", "ComboBox4"},  {"SpeedButton8", "ComboBox11"},
            {"SpeedButton5", "Edit1Date"}};
        for (const auto &[button, field] : buttons)
            QCOMPARE(w.findChild<QToolButton *>(button)->isVisible(), w.findChild<QWidget *>(field)->isVisible());
        QVERIFY(!box(&w, "CheckBox3")->isVisible());
        QCOMPARE(box(&w, "CheckBox3")->isChecked(), kind == 4);
        for (const char *import : {"SpeedButton19", "SpeedButton20"})
            QCOMPARE(w.findChild<QToolButton *>(import)->isVisible(), kind == 1);
        QCOMPARE(edit(&w, "EditStoreNo")->text(),
                 QString::fromUtf8(internalKind(kind).prefix) + (kind == 2 ? "260307-005" : "260307-001"));
        QCOMPARE(edit(&w, "Edit1Date")->text(), QDate(2026, 3, 7).toString("yyyy-MM-dd"));
        QCOMPARE(focusName(&w), QString("ComboBox2"));
        // Every caption and field fits.
        for (QLabel *l : w.findChildren<QLabel *>())
            if (l->isVisible())
                QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->objectName()));
    }

    // Enter from the number to the grid: each picker field opens its picker (closed unchosen)
    // before the focus moves on, the grid the goods picker; Up walks back without pickers.
    void keyOrder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("walk"); // after each Enter: pickers opened, ">", the focus
        const QString staff = "TfrmYuanGongMuLu ";
        QTest::newRow("车间领用") << 1
                              << QStringList{">ComboBox2", staff + "15>ComboBox6", staff + "16>ComboBox7",
                                             staff + "17>ComboBox10", staff + "20>ComboBox5", "TfrmDuty 2>Edit4",
                                             ">Edit8", ">Edit5", ">Edit1Date", "TfrmTime,TfrmSelectFit 7>StringGrid1"};
        const QStringList received{">ComboBox2", staff + "15>ComboBox8", staff + "18>ComboBox10",
                                   staff + "20>Edit1Date", "TfrmTime>ComboBox5", "TfrmDuty 2>Edit4", ">Edit8",
                                   ">Edit5", "TfrmSelectFit 7>StringGrid1"};
        QTest::newRow("成品入库") << 2 << received;
        QTest::newRow("次品返工") << 3 << received;
        QTest::newRow("货品报损") << 4
                              << QStringList{">ComboBox2", staff + "15>ComboBox9", staff + "19>Edit1Date",
                                             "TfrmTime>ComboBox5", "TfrmDuty 2>Edit4", ">Edit8", ">Edit5",
                                             "TfrmSelectFit 7>StringGrid1"};
        const QStringList lent{">ComboBox2", staff + "15>ComboBox7", staff + "17>ComboBox4", staff + "21>ComboBox5",
                               "TfrmDuty 2>Edit8", ">ComboBox10", staff + "20>ComboBox11", staff + "22>Edit1Date",
                               "TfrmTime>Edit5", "TfrmSelectFit 7>StringGrid1"};
        QTest::newRow("货品借出") << 5 << lent;
        QTest::newRow("货品归还") << 6 << lent;
        QTest::newRow("公司赠送") << 7
                              << QStringList{">ComboBox2", staff + "15>ComboBox7", staff + "17>ComboBox8",
                                             staff + "18>ComboBox5", "TfrmDuty 2>Edit8", ">ComboBox10",
                                             staff + "20>ComboBox11", staff + "22>Edit1Date", "TfrmTime>Edit5",
                                             "TfrmSelectFit 7>StringGrid1"};
    }
    void keyOrder()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, walk);
        // The keys write nothing: one database serves every row.
        if (!m_sharedDb)
            m_sharedDb = std::make_unique<TestDb>();
        ScriptedPrompt p;
        Entry e(kind);
        TfrmDiaobo &w = e.w;
        edit(&w, "EditStoreNo")->setFocus();
        QStringList got, back{"EditStoreNo"};
        for (const QString &step : walk) {
            QStringList opened;
            for (const QString &picker : step.section('>', 0, 0).split(',', Qt::SkipEmptyParts)) {
                Q_UNUSED(picker);
                p.expectModal([&](QDialog *d) {
                    opened << pickerOpened(d);
                    return int(QDialog::Rejected);
                });
            }
            QTest::keyClick(w.focusWidget(), Qt::Key_Return);
            got << opened.join(',') + '>' + focusName(&w);
            back.prepend(focusName(&w));
        }
        QVERIFY(p.verifyDone());
        QCOMPARE(got, walk);
        // Back again with Up and Left, no picker opened, the number the first field.
        back.removeFirst();
        QStringList gotBack;
        for (int i = 0; i < back.size(); ++i) {
            QTest::keyClick(w.focusWidget(), i % 2 ? Qt::Key_Left : Qt::Key_Up);
            gotBack << focusName(&w);
        }
        QCOMPARE(gotBack, back);
        QTest::keyClick(w.focusWidget(), Qt::Key_Up);
        QCOMPARE(focusName(&w), QString("EditStoreNo"));
        // Nothing is typed into a staff or party box, and typing moves nothing.
        for (const char *box : {"ComboBox2", "ComboBox5"}) {
            QWidget *b = w.findChild<QWidget *>(box);
            b->setFocus();
            QTest::keyClicks(w.focusWidget(), "ab1");
            QCOMPARE(comboText(&w, box), QString());
            QCOMPARE(focusName(&w), QString(box));
        }
        QVERIFY(p.verifyDone());
    }

    // Picked lines: the same goods at the same place opens the editor on its line and adds
    // none; at another place it is a line of its own. Typed codes and barcodes as picked ones.
    void pickedAndTypedLines()
    {
        TestDb t;
        addLines(t);
        ScriptedPrompt p;
        Entry e(1);
        TfrmDiaobo &w = e.w;
        GoodsLineGrid &g = *w.goodsLines();
        pick(w, p, kA);
        pick(w, p, kB);
        stage(kA);
        p.expectModal([&](QDialog *) {
            MCOMPARE(w.currentGoodsLine(), 1);
            return int(QDialog::Rejected);
        });
        QVERIFY(SendMessage(&w, WM_FIT_CHOSEN));
        QCOMPARE(g.gridRowCount(), 4);
        QCOMPARE(G.gRepFit.TargetRow, 2);
        pick(w, p, {"A", "甲", "二号库", "1", "3"});
        QCOMPARE(g.gridRowCount(), 5);
        QCOMPARE(edit(&w, "Edit1")->text(), QString("19"));
        QCOMPARE(w.findChild<QLabel *>("Label9")->text(), QString("7"));
        QCOMPARE(w.findChild<QLabel *>("Label10")->text(), QString("3"));

        // A blank entry does nothing at all (it would match any goods without a barcode).
        QLineEdit *entry = edit(&w, "Edit6");
        t.exec("insert into 货品目录(编号, 名称, 仓位, 条码) values('C', '丙', '一号库', '')");
        entry->setText("  ");
        entry->setFocus();
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(g.gridRowCount(), 5);
        QCOMPARE(G.gRepFit.TargetRow, 3);
        // An unknown code: the message, the entry emptied.
        entry->setText("ZZ");
        p.expectMessage("没有此货品");
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(entry->text(), QString());
        QCOMPARE(G.gRepFit.TargetRow, 3);
        // B's ratio is 0: one piece is one auxiliary unit.
        entry->setText("690B");
        p.expectModal(closeEditor);
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(g.gridRowCount(), 5);
        QCOMPARE(G.gRepFit.TargetRow, 3);
        QCOMPARE(entry->text(), QString("690B"));
        t.exec("update 货品目录 set 换算比率 = null where 编号 = 'B'");
        t.exec("insert into 货品目录(编号, 名称, 仓位, 条码, 进货价) values('D', '丁', '一号库', '690D', 4)");
        entry->setText("690D");
        p.expectModal(closeEditor);
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(g.gridRowCount(), 6);
        QCOMPARE(entry->text(), QString());
        QCOMPARE(g.cell(4, 1) + "|" + g.cell(4, 6) + "|" + g.cell(4, 7) + "|" + g.cell(4, 9), QString("D|1|1|4"));
        QCOMPARE(G.gRepFit.TargetRow, 4);
        QVERIFY(p.verifyDone());
    }

    // 删除 blanks the line after asking; its number stays, the totals follow, the next line
    // goes below the last; 修改 on the blank row does nothing.
    void deleteLine()
    {
        TestDb t;
        ScriptedPrompt p;
        Entry e(3);
        TfrmDiaobo &w = e.w;
        GoodsLineGrid &g = *w.goodsLines();
        pick(w, p, kA);
        pick(w, p, kB);
        pick(w, p, {"C", "丙", "一号库", "1", "5"});
        w.grid()->setCurrentGridRow(2);
        p.expectMessage("您确实要删除吗?", QMessageBox::No, "系统提示");
        w.SpeedButton13Click();
        QCOMPARE(g.cell(2, 1), QString("B"));
        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton13Click();
        QCOMPARE(g.cell(2, 1), QString());
        QCOMPARE(g.cell(2, 0), QString("2"));
        QCOMPARE(edit(&w, "Edit1")->text(), QString("11"));
        QCOMPARE(w.findChild<QLabel *>("Label9")->text(), QString("3"));
        QCOMPARE(focusName(&w), QString("EditStoreNo"));
        w.SpeedButton14Click();
        w.SpeedButton13Click();
        pick(w, p, {"D", "丁", "一号库", "1", "1"});
        QCOMPARE(g.cell(4, 1) + g.cell(4, 0), QString("D4"));
        QVERIFY(p.verifyDone());
    }

    // The requisition imports every line of a receipt or a finished-goods receipt, after the
    // lines there, without the editor; twice gives every line twice.
    void imports()
    {
        TestDb t;
        addLines(t);
        // A receipt into store and a finished-goods receipt.
        GoodsLineGrid lines;
        fill(lines, {kA, kB});
        ReceiptHeader rh;
        rh.number = "CGJH-260307-001";
        rh.date = "2026-03-07";
        const QString receipt = ReceiptPosting(t.conn()).post(rh, {}, savedLines(lines)).receiptID;
        InternalHeader fh;
        fh.number = "CPRK-260307-001";
        fh.date = "2026-03-07";
        const QString finished =
            InternalPosting(t.conn()).save(internalKind(2), fh, {savedLines(lines).first()}).id;
        G.gRepFit.TargetRow = 0;

        ScriptedPrompt p;
        Entry e(1);
        TfrmDiaobo &w = e.w;
        GoodsLineGrid &g = *w.goodsLines();
        pick(w, p, {"C", "丙", "一号库", "1", "5"});
        auto import = [&](int mode, const QString &id, const QString &caption, const QString &hint) {
            p.expectModal([=](QDialog *d) {
                auto *picker = qobject_cast<TfrmSelectPuch *>(d);
                MVERIFY(picker);
                MCOMPARE(picker->mode(), mode);
                MCOMPARE(picker->windowTitle(), caption);
                MCOMPARE(picker->findChild<QLabel *>("Label1")->text(), hint);
                picker->DBGrid1CellClick(picker->billModel()->findRow("ID", id));
                picker->DBGrid1DblClick();
                return picker->result();
            });
        };
        import(2, receipt, "选择采购入库单", "双击选择采购入库单");
        w.SpeedButton19Click();
        import(3, finished, "选择成品入库单", "双击选择成品入库单");
        w.SpeedButton20Click();
        import(2, receipt, "选择采购入库单", "双击选择采购入库单");
        w.SpeedButton19Click();
        QVERIFY(p.verifyDone());
        QStringList codes;
        for (int row = 1; row < g.gridRowCount() - 1; ++row)
            codes << g.cell(row, 1) + ":" + g.cell(row, 0);
        QCOMPARE(codes, (QStringList{"C:1", "A:2", "B:3", "A:4", "A:5", "B:6"}));
        QCOMPARE(w.currentGoodsLine(), 7);
        QCOMPARE(edit(&w, "Edit1")->text(), QString("43"));
    }

    // 确定 on a requisition: saved, the message, the print of the stored lines (the unit in
    // Memo22, the number given), then the window reset for the next one.
    void saveAndPrint()
    {
        TestDb t;
        addLines(t);
        // Another client takes the number the window shows.
        ScriptedPrompt p;
        Entry e(1);
        TfrmDiaobo &w = e.w;
        t.exec("insert into 车间领用(单据编号, ID, 当前状态) values('NBLY-260307-001', 'x', '已审核')");
        fillHeader(w);
        pick(w, p, kA);
        pick(w, p, kB);
        box(&w, "CheckBox1")->setChecked(true);
        p.expectMessage("仓库内部管理成功");
        w.SaveDocument();
        QVERIFY(p.verifyDone());
        const QString id = w.docID();
        QCOMPARE(t.scalar("select 单据编号 from 车间领用 where ID = ?", {id}).toString(), QString("NBLY-260307-002"));
        QCOMPARE(t.scalar("select 经办人 from 车间领用 where ID = ?", {id}).toString(), QString("002.员工"));
        QCOMPARE(t.scalar("select 部门经理 from 车间领用 where ID = ?", {id}).toString(), QString("周经理"));
        QCOMPARE(t.scalar("select 领用员 from 车间领用 where ID = ?", {id}).toString(), QString("006.员工"));
        QCOMPARE(t.scalar("select 联系人 from 出入库单").toString(), QString("周经理"));
        QCOMPARE(t.scalar("select sum(库存) from 货品目录").toDouble(), 14.0);

        const PrintRun &run = w.lastPrint();
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头3", "主项数据1", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands[0], (QStringList{"甲", "规格", "1", "2", "个", "3", "6"}));
        TfrReport &rep = w.report();
        QCOMPARE(printed(rep, "Memo1"), QStringList{"我的公司内部领用单"});
        QCOMPARE(printed(rep, "Memo9"), QStringList{"NBLY-260307-002"});
        QCOMPARE(printed(rep, "Memo3"), QStringList{"BM01.一车间"});
        QCOMPARE(printed(rep, "Memo5"), QStringList{"2026-03-07"});
        QCOMPARE(printed(rep, "Memo7"), QStringList{"三月"});
        QCOMPARE(printed(rep, "Memo27"), QStringList{"16"});
        QCOMPARE(printed(rep, "Memo26"), QStringList{"6"});
        QCOMPARE(printed(rep, "Memo25"), QStringList{"3"});
        QCOMPARE(printed(rep, "Memo28"), QStringList{"部门经理:周经理"});
        QCOMPARE(printed(rep, "Memo29"), QStringList{"领用员:006.员工"});
        QCOMPARE(printed(rep, "Memo4"), QStringList{"本单据由系统打印"});

        // The reset: lines, totals and most fields emptied; the clerk, 销售员, 开票员 and the
        // date stay; the next number.
        QCOMPARE(w.goodsLines()->gridRowCount(), 2);
        QCOMPARE(edit(&w, "Edit1")->text(), QString("0"));
        QCOMPARE(w.findChild<QLabel *>("Label9")->text(), QString("0"));
        QCOMPARE(staff(&w, "ComboBox2")->text(), QString("002.员工"));
        QCOMPARE(staff(&w, "ComboBox4")->text(), QString("004.员工"));
        QCOMPARE(staff(&w, "ComboBox11")->text(), QString("0011.员工"));
        for (const char *emptied : {"ComboBox6", "ComboBox7", "ComboBox8", "ComboBox9", "ComboBox10"})
            QCOMPARE(staff(&w, emptied)->text(), QString());
        QCOMPARE(comboText(&w, "ComboBox5"), QString());
        for (const char *emptied : {"Edit4", "Edit5", "Edit6", "Edit8"})
            QCOMPARE(edit(&w, emptied)->text(), QString());
        QCOMPARE(edit(&w, "Edit1Date")->text(), QString("2026-03-07"));
        QCOMPARE(edit(&w, "EditStoreNo")->text(), QString("NBLY-260307-003"));
        QVERIFY(!box(&w, "CheckBox1")->isChecked());
        QCOMPARE(G.gRepFit.TargetRow, 0);

        // A loss report of the same lines: pending, no print unless asked.
        Entry loss(4);
        fillHeader(loss.w);
        pick(loss.w, p, kA);
        p.expectMessage("仓库内部管理成功");
        loss.w.SaveDocument();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select 当前状态 from 货品报损单").toString(), QString("待审核"));
        QVERIFY(loss.w.lastPrint().bands.isEmpty());
        QVERIFY(box(&loss.w, "CheckBox3")->isChecked());
    }

    // A shortage: the message, nothing written, the window as it was.
    void shortageRefused_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("货品借出") << 5;
        QTest::newRow("货品报损") << 4;
    }
    void shortageRefused()
    {
        QFETCH(int, kind);
        TestDb t;
        addLines(t, 10, 3);
        ScriptedPrompt p;
        Entry e(kind);
        TfrmDiaobo &w = e.w;
        fillHeader(w);
        pick(w, p, kA);
        pick(w, p, kB);
        box(&w, "CheckBox1")->setChecked(true);
        p.expectMessage("第2行库存不足操作被取消");
        w.SaveDocument();
        QVERIFY(p.verifyDone());
        const InternalKind &k = internalKind(kind);
        for (const char *table : {k.header, k.lines, "出入库单"})
            QCOMPARE(t.scalar(QString("select count(*) from %1").arg(table)).toInt(), 0);
        QCOMPARE(t.scalar("select sum(库存) from 货品目录").toDouble(), 13.0);
        QCOMPARE(w.goodsLines()->gridRowCount(), 4);
        QVERIFY(box(&w, "CheckBox1")->isChecked());
        QCOMPARE(comboText(&w, "ComboBox5"), QString("BM01.一车间"));
        // An empty grid says so.
        w.BitBtn4Click();
        p.expectMessage("请输入货品");
        w.SaveDocument();
        QVERIFY(p.verifyDone());
    }

    // 单据打印(&P): the grid as shown (the auxiliary unit in Memo22), captions alone in
    // signature mode; nothing written. 清空 keeps the clerk, 销售员, 开票员, date and number.
    void printGridAndClear()
    {
        TestDb t;
        ScriptedPrompt p;
        Entry e(6);
        TfrmDiaobo &w = e.w;
        fillHeader(w);
        edit(&w, "Edit1Date")->setText("2026-03-01");
        pick(w, p, kA);
        pick(w, p, kB);
        w.goodsLines()->blankLine(1);
        w.SpeedButton18Click();
        QCOMPARE(w.lastPrint().dataBands, (QList<QStringList>{{"乙", "规格", "2", "4", "箱", "2.5", "10"}}));
        QCOMPARE(printed(w.report(), "Memo1"), QStringList{"我的公司归还单"});
        QCOMPARE(printed(w.report(), "Memo2"), QStringList{"还回单位:"});
        QCOMPARE(printed(w.report(), "Memo28"), QStringList{"还回人:004.员工"});
        QCOMPARE(printed(w.report(), "Memo9"), QStringList{"HPGH-260307-001"});
        G.gPrintSignature = 1;
        w.SpeedButton18Click();
        QCOMPARE(printed(w.report(), "Memo28"), QStringList{"还回人:"});
        QCOMPARE(printed(w.report(), "Memo31"), QStringList{"复核员:"});
        QCOMPARE(t.scalar("select count(*) from 归还单").toInt(), 0);

        box(&w, "CheckBox1")->setChecked(true);
        w.BitBtn4Click();
        QCOMPARE(w.goodsLines()->gridRowCount(), 2);
        QCOMPARE(edit(&w, "Edit1")->text(), QString("0"));
        QCOMPARE(staff(&w, "ComboBox2")->text(), QString("002.员工"));
        QCOMPARE(staff(&w, "ComboBox4")->text(), QString("004.员工"));
        QCOMPARE(staff(&w, "ComboBox11")->text(), QString("0011.员工"));
        QCOMPARE(staff(&w, "ComboBox7")->text(), QString());
        QCOMPARE(comboText(&w, "ComboBox5"), QString());
        QCOMPARE(edit(&w, "Edit4")->text(), QString());
        QCOMPARE(edit(&w, "Edit1Date")->text(), QString("2026-03-01"));
        QCOMPARE(edit(&w, "EditStoreNo")->text(), QString("HPGH-260307-001"));
        QVERIFY(!box(&w, "CheckBox1")->isChecked());
        QCOMPARE(G.gRepFit.TargetRow, 0);
        // A print right after shows no lines and totals of 0.
        w.SpeedButton18Click();
        QVERIFY(w.lastPrint().dataBands.isEmpty());
        QCOMPARE(printed(w.report(), "Memo27"), QStringList{"0"});
        // The date picker's choice, without a trailing blank.
        G.gDateAndTime.Date = "2026-03-05";
        QVERIFY(SendMessage(&w, WM_DATE_CHOSEN));
        QCOMPARE(edit(&w, "Edit1Date")->text(), QString("2026-03-05"));
        QVERIFY(p.verifyDone());
    }

    // Each entry of the menu opens the window laid out for its kind.
    // The list of each kind, opened by its entry: captions, the kind's columns under the shared
    // titles (a column the kind does not keep empty), the totals row last, the search by party,
    // delete behind flag 51 (the header only), the reversal's refusal, the export columns and the
    // print of the stored document; an entry window opened meanwhile leaves the list its kind.
    void list_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("printCaption");
        QTest::addColumn<QStringList>("texts"); // 开单员, 相关单位, 单位编号, 部门经理, 领用员, 借出员, 送货员
        QTest::addColumn<QString>("memo31");
        QTest::newRow("车间领用") << 1 << "车间领用单" << "车间领用单"
                              << QStringList{"经办人", "领用部门", "部门编号", "部门经理", "领用员", "", ""} << "复核员:复核员";
        QTest::newRow("成品入库") << 2 << "成品入库单" << "成品入库单"
                              << QStringList{"开单员", "相关单位", "单位编号", "部门经理", "", "", "送货员"} << "复核员:复核员";
        QTest::newRow("次品返工") << 3 << "次品返工单" << "次品返工单"
                              << QStringList{"开单员", "相关单位", "单位编号", "部门经理", "", "", "送货员"} << "复核员:复核员";
        QTest::newRow("货品报损") << 4 << "货品报损单" << "货品报损单"
                              << QStringList{"开单员", "报损部门", "部门编号", "部门经理", "", "", ""} << "负责人:开单员";
        QTest::newRow("货品借出") << 5 << "借出单" << "货品借出单"
                              << QStringList{"开单员", "借出单位", "单位编号", "", "", "借出员", ""} << "复核员:复核员";
        QTest::newRow("货品归还") << 6 << "归还单" << "货品归还单"
                              << QStringList{"开单员", "归还单位", "单位编号", "", "", "", ""} << "复核员:复核员";
        QTest::newRow("公司赠送") << 7 << "赠送单" << "公司赠送单"
                              << QStringList{"开单员", "赠送单位", "单位编号", "", "", "", "送货员"} << "送货员:送货员";
    }
    void list()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(QString, printCaption);
        QFETCH(QStringList, texts);
        QFETCH(QString, memo31);
        const InternalKind &k = internalKind(kind);
        const QString header = QString::fromUtf8(k.header), lines = QString::fromUtf8(k.lines);
        registerWarehouseWindows();
        TestDb t;
        // Two approved documents and a pending one; every text column holds its own name.
        QStringList cols = {"单据编号", "日期", "金额合计", "摘要", "ID", "当前状态", "是否红冲"};
        QStringList named;
        for (const QString &c : texts + QStringList{"复核员", "发货员", "开票员", "财务", "归还员"})
            if (!c.isEmpty() && !named.contains(c)) {
                DataSet probe(&t.conn());
                probe.setSql("select * from " + header + " where 1 = 0");
                probe.open();
                if (probe.fieldExists(c))
                    named << c;
            }
        auto addDoc = [&](const QString &no, const QString &date, double amount, const QString &state) {
            QVariantList values{no, date, amount, "摘要" + no, "ID-" + no, state, false};
            for (const QString &c : named)
                values << (c == QString::fromUtf8(k.partyColumn) ? c + no : c);
            QStringList marks;
            for (int i = 0; i < cols.size() + named.size(); ++i)
                marks << "?";
            t.exec("insert into " + header + "(" + (cols + named).join(',') + ") values(" + marks.join(',') + ")", values);
        };
        addDoc("D1", "2026-03-02", 5, "已审核");
        addDoc("D2", "2026-03-05", 7.5, "已审核");
        addDoc("D3", "2026-03-06", 9, "待审核");
        for (const auto &[name, qty] : {std::pair{"甲", 2}, {"乙", 3}})
            t.exec("insert into " + lines + "(ID, 编号, 名称, 规格, 单位, 数量, 单价, 金额, 辅助数量) values(?,?,?,?,?,?,?,?,?)",
                   {"ID-D2", QString(name), QString(name), "规格", "个", qty, 2, qty * 2, 1});

        ScriptedPrompt p;
        G.gPrivileges[50] = "True";
        menuHandler(QString::fromUtf8(k.listItem))();
        QVERIFY(frmDiaoBoList);
        std::unique_ptr<TfrmDiaoBoList> w(frmDiaoBoList.data());
        w->show();
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->findChild<QToolButton *>("SpeedButton3")->text(), printCaption);
        DocumentListModel *m = w->documentModel();
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(m->text(2, "单据编号"), QString("合计"));
        QCOMPARE(m->text(2, "金额合计"), QString("12.5"));
        QCOMPARE(m->text(0, "单据编号"), QString("D2"));
        QStringList got;
        for (const char *c : {"开单员", "相关单位", "单位编号", "部门经理", "领用员", "借出员", "送货员"})
            got << m->text(0, QString::fromUtf8(c));
        QStringList want = texts;
        want[1] += "D2";
        QCOMPARE(got, want);
        QCOMPARE(m->text(0, "收货员"), QString());
        QCOMPARE(w->lineModel()->rowCount(), 2);
        QCOMPARE(w->list().listSheet().headers,
                 (QStringList{"单据编号", "日期", "开单员", "相关单位", "单位编号", "金额合计", "摘要"}));

        // An entry window of another kind opened meanwhile changes nothing of the list.
        G.gDocKind = kind % 7 + 1;

        w->printCurrent();
        const PrintRun &run = w->lastPrint();
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头3", "主项数据1", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands.value(0).value(0), QString("甲"));
        QCOMPARE(printed(w->report(), "Memo1"), QStringList{"我的公司" + QString::fromUtf8(k.printTitle)});
        QCOMPARE(printed(w->report(), "Memo3"), QStringList{texts[1] + "D2"});
        QCOMPARE(printed(w->report(), "Memo9"), QStringList{"D2"});
        QCOMPARE(printed(w->report(), "Memo26"), QStringList{"5"});
        QCOMPARE(printed(w->report(), "Memo31"), QStringList{memo31});
        QCOMPARE(w->currentID(), QString("ID-D2"));

        // Search by party.
        w->findChild<QDateEdit *>("DateTimePicker1")->setDate(QDate(2026, 3, 1));
        w->findChild<QDateEdit *>("DateTimePicker2")->setDate(QDate(2026, 3, 31));
        w->findChild<QComboBox *>("ComboBox1")->setCurrentIndex(2);
        w->findChild<QLineEdit *>("EditContent")->setText("D1");
        w->search();
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(w->currentID(), QString("ID-D1"));

        t.exec("update " + header + " set 是否红冲 = ? where ID = ?", {true, "ID-D1"});
        p.expectMessage("此项单据已经红字反冲操作被取消");
        w->reverseCurrent();

        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w->deleteCurrent();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select count(*) from " + header).toInt(), 2);
        QCOMPARE(m->text(0, "单据编号"), QString("D2"));
        QCOMPARE(t.scalar("select count(*) from " + lines).toInt(), 2);
    }

    // Without flag 51 there is no delete; a second list entry switches the open window.
    void listWithoutDelete()
    {
        registerWarehouseWindows();
        TestDb t;
        menuHandler("N25")();
        std::unique_ptr<TfrmDiaoBoList> w(frmDiaoBoList.data());
        w->show();
        QVERIFY(!w->findChild<QToolButton *>("SpeedButton1")->isVisible());
        menuHandler("N47")();
        QCOMPARE(frmDiaoBoList.data(), w.get());
        QCOMPARE(w->kind(), 6);
        QCOMPARE(w->windowTitle(), QString("归还单"));
        QVERIFY(!w->findChild<QToolButton *>("SpeedButton1")->isVisible());
    }

    void menuEntries_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::newRow("车间领用") << "N18" << 1 << "车间领用";
        QTest::newRow("成品入库") << "N19" << 2 << "成品入库";
        QTest::newRow("次品返工") << "N21" << 3 << "次品返工";
        QTest::newRow("货品报损") << "N22" << 4 << "货品报损";
        QTest::newRow("货品借出") << "N43" << 5 << "货品借出";
        QTest::newRow("货品归还") << "N44" << 6 << "货品归还";
        QTest::newRow("货品赠送") << "N36" << 7 << "公司赠送";
    }
    void menuEntries()
    {
        QFETCH(QString, item);
        QFETCH(int, kind);
        QFETCH(QString, caption);
        registerWarehouseWindows();
        TestDb t;
        ScriptedPrompt p;
        p.expectModal([&](QDialog *d) {
            auto *w = qobject_cast<TfrmDiaobo *>(d);
            MVERIFY(w);
            MVERIFY(w == frmDiaobo.data());
            MCOMPARE(w->kind().kind, kind);
            MCOMPARE(w->windowTitle(), caption);
            return int(QDialog::Rejected);
        });
        const MenuHandler open = menuHandler(item);
        QVERIFY(open);
        open();
        QVERIFY(p.verifyDone());
        QCOMPARE(G.gDocKind, kind);
        QVERIFY(!frmDiaobo);
    }

private:
    std::unique_ptr<TestDb> m_sharedDb;
};

ORV_DB_TEST_MAIN(TestDiaobo)
#include "tst_db_diaobo.moc"
