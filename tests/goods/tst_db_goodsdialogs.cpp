// The new goods and goods edit dialogs: codes, checks in order with their messages, byte limits,
// pictures, the pickers and the saved state.
#include "goodsfixture.h"
#include "receiver.h"
#include "scriptedprompt.h"

#include "common/clock.h"
#include "goods/frmcangku.h"
#include "goods/frmchoosegys.h"
#include "goods/frmchooseleibie.h"
#include "goods/frmmdfcang.h"
#include "goods/frmnewcang.h"
#include "goods/goodsform.h"
#include "goods/goodspicture.h"
#include "goods/goodsschema.h"
#include "goods/lookupforms.h"
#include "goods/lookupschema.h"
#include "goods/mastercode.h"
#include "goods/supplierbrowser.h"

#include <QBuffer>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

using namespace orv;
using namespace orv::test;
using goodstest::addGoods;

// Fields of a dialog by objectName and the text put into each, in order.
using Fill = QList<std::pair<QString, QString>>;
Q_DECLARE_METATYPE(Fill)

namespace {
const QDateTime kNow(QDate(2026, 3, 7), QTime(10, 0), Qt::UTC);

// A complete entry; a test changes what it needs.
void fillValid(GoodsForm *f, const QString &code = QString())
{
    if (!code.isNull())
        f->codeEdit->setText(code);
    f->nameEdit->setText("钢管");
    f->categoryEdit->setText("五金");
    f->specEdit->setText("Φ20");
    f->purchasePriceEdit->setText("10");
    f->auxUnitCombo->setEditText("箱");
    f->unitCombo->setEditText("根");
    f->ratioEdit->setText("4");
    f->auxStockEdit->setText("2.5");
    f->stockEdit->setText("10");
    f->warningStockEdit->setText("5");
    f->warrantyCombo->setEditText("一年");
    f->placeCombo->setEditText("一号库");
    f->supplierCombo->setEditText("DW1.甲");
    f->barcodeEdit->setText("6900001");
    f->salePriceEdit->setText("12.5");
    f->remarkMemo->setPlainText("备注");
}

QByteArray png()
{
    QImage img(12, 8, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return out;
}

QString rowText(TestDb &t, qint64 rowNo, const QString &column)
{
    return t.scalar("select " + column + " from 货品目录 where 流水号 = ?", {rowNo}).toString();
}

// Puts a text into a field of a goods dialog, whatever kind of box it is.
void setField(QWidget *d, const QString &name, const QString &text)
{
    if (auto *e = d->findChild<QLineEdit *>(name))
        e->setText(text);
    else if (auto *c = d->findChild<QComboBox *>(name))
        c->setEditText(text);
    else
        d->findChild<QPlainTextEdit *>(name)->setPlainText(text);
}

bool hasFocus(QWidget *d, const QString &name)
{
    const QWidget *f = d->focusWidget();
    return f && (f->objectName() == name || (f->parentWidget() && f->parentWidget()->objectName() == name));
}

// The column of 货品目录 each text field of the edit dialog writes.
const QMap<QString, QString> kEditColumns{
    {"EditNo", "编号"},   {"EditName", "名称"},  {"Edit1", "助记码"},     {"EditType", "类别"},
    {"EditSpic", "规格"}, {"ComboBox6", "辅助单位"}, {"ComboBox2", "单位"}, {"ComboBox1", "保修期"},
    {"ComboBox4", "仓位"}, {"ComboBox3", "供应商"}, {"EditMa", "条码"},   {"Memo1", "备注"}};
} // namespace

class TestGoodsDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerGoodsSchema();
        registerGoodsLookupSchema();
    }
    void init()
    {
        G = AppGlobals{};
        Clock::pin(kNow);
        // The rows of one table of cases may share a database (sharedDb), never two functions.
        if (QTest::currentTestFunction() != m_sharedFor) {
            m_shared.reset();
            m_sharedFor.clear();
        }
    }
    void cleanupTestCase() { m_shared.reset(); }
    void cleanup()
    {
        Clock::pin(QDateTime());
        for (QDialog *d : std::initializer_list<QDialog *>{frmNewCang, frmMdfCang, frmChooseGYS, frmChooseLeiBie,
                                                           frmSelectDan, frmCamgWei})
            delete d;
    }

    void codes_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved"); // empty: "编号不能相同！", the field emptied
        QTest::newRow("first of the day") << QStringList{} << "HP260307001" << "" << "HP260307001";
        QTest::newRow("next serial") << QStringList{"HP260307009"} << "HP260307010" << "" << "HP260307010";
        QTest::newRow("taken, bumped once") << QStringList{"HP260307003", "HP260307001"} << "HP260307002"
                                            << "HP260307003" << "HP260307004";
        QTest::newRow("taken twice, refused") << QStringList{"HP260307003", "HP260307004"} << "HP260307005"
                                              << "HP260307003" << "";
        QTest::newRow("blanks around are dropped") << QStringList{} << "HP260307001" << "  X1 " << "X1";
        QTest::newRow("taken at another place") << QStringList{"X1"} << "HP260307001" << "X1" << "";
    }

    void codes()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, proposed);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        TestDb t;
        for (const QString &c : stored)
            addGoods(t, {{"编号", c}, {"名称", "旧"}, {"仓位", "二号库"}});
        ScriptedPrompt p;
        TfrmNewCang d;
        d.show();
        QCOMPARE(d.form()->codeEdit->text(), proposed);
        fillValid(d.form(), typed.isEmpty() ? proposed : typed);
        if (saved.isEmpty())
            p.expectMessage("编号不能相同！");
        d.BitBtn1Click();
        QVERIFY(p.verifyDone());
        if (saved.isEmpty()) {
            QVERIFY(d.form()->codeEdit->text().isEmpty());
            QCOMPARE(d.state(), TfrmNewCang::State::Entering);
            QCOMPARE(t.scalar("select count(*) from 货品目录").toInt(), stored.size());
        } else {
            QCOMPARE(d.form()->codeEdit->text(), saved);
            QCOMPARE(rowText(t, d.savedRowNo(), "编号"), saved);
        }
    }

    // Both dialogs showed the same proposed code; the save that waits for the other moves it on.
    void twoClientsTakeTwoCodes()
    {
        TestDb t;
        GoodsRecord r;
        r.code = proposeMasterCode(t.conn(), goodsCodeRule());
        r.name = r.category = r.auxUnit = r.unit = "x";
        r.purchasePrice = r.ratio = r.auxStock = r.stock = r.warningStock = r.salePrice = "1";
        QStringList codes(2);
        const QString failure = runClients(t, 2, HoldOpen{}, [&](int n, Connection &c) {
            const auto s = GoodsStore(c).saveNew(r, {});
            codes[n] = s.ok ? s.code : s.refusal.messages.join('|');
            return s.ok;
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        codes.sort();
        QCOMPARE(codes, (QStringList{"HP260307001", "HP260307002"}));
        QCOMPARE(t.scalar("select count(distinct 编号) from 货品目录").toInt(), 2);
    }

    void newChecks_data()
    {
        QTest::addColumn<QString>("field"); // objectName of the field changed
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("focus");
        const QString zh(100, QChar(0x4e2d));
        QTest::newRow("no name") << "EditName" << "" << QStringList{"请输入货品名称"} << "EditName";
        QTest::newRow("no category") << "EditType" << "" << QStringList{"请输入货品类别"} << "EditType";
        QTest::newRow("no purchase price") << "EditJin" << "" << QStringList{"请输入进货价"} << "EditJin";
        QTest::newRow("no ratio") << "Edit6" << "" << QStringList{"请输入换算比率"} << "Edit6";
        QTest::newRow("no aux unit") << "ComboBox6" << "" << QStringList{"请输入货品辅助单位"} << "ComboBox6";
        QTest::newRow("no unit") << "ComboBox2" << "" << QStringList{"请输入货品单位"} << "ComboBox2";
        QTest::newRow("no aux stock") << "Edit4" << "" << QStringList{"请输入辅助库存"} << "Edit4";
        QTest::newRow("no stock") << "Edit3" << "" << QStringList{"请输入库存"} << "Edit3";
        QTest::newRow("no warning stock") << "EditJing" << "" << QStringList{"请输入警戒库存"} << "EditJing";
        QTest::newRow("no sale price") << "Edit5" << "" << QStringList{"请输入出货价"} << "Edit5";
        QTest::newRow("blank is content") << "EditName" << " " << QStringList{} << "";
        QTest::newRow("name 200 bytes") << "EditName" << zh << QStringList{} << "";
        QTest::newRow("name 201 bytes") << "EditName" << zh + "x" << QStringList{"货品名称不得超过200"} << "EditName";
        QTest::newRow("spec 201 bytes") << "EditSpic" << zh + "x" << QStringList{"货品规格不得超过200"} << "EditSpic";
        QTest::newRow("supplier 1300") << "ComboBox3" << QString(650, QChar(0x4e2d)) << QStringList{} << "";
        QTest::newRow("supplier 1301") << "ComboBox3" << QString(1301, 'x') << QStringList{"货品供应商不得超过1300"}
                                       << "ComboBox3";
        QTest::newRow("remark 3001") << "Memo1" << QString(3001, 'x') << QStringList{"备注不得超过3000"} << "Memo1";
        QTest::newRow("a lone point") << "EditJin" << "." << QStringList{"进货价必须是数字"} << "EditJin";
        QTest::newRow("barcode taken") << "EditMa" << "OLD-BC" << QStringList{"条码不能相同！"} << "EditMa";
    }

    void newChecks()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QStringList, messages);
        QFETCH(QString, focus);
        TestDb t;
        addGoods(t, {{"编号", "OLD"}, {"名称", "旧"}, {"条码", "OLD-BC"}});
        ScriptedPrompt p;
        TfrmNewCang d;
        d.show();
        fillValid(d.form());
        if (auto *e = d.findChild<QLineEdit *>(field))
            e->setText(text);
        else if (auto *c = d.findChild<QComboBox *>(field))
            c->setEditText(text);
        else
            d.findChild<QPlainTextEdit *>(field)->setPlainText(text);
        for (const QString &m : messages)
            p.expectMessage(m);
        d.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select count(*) from 货品目录").toInt(), messages.isEmpty() ? 2 : 1);
        if (!messages.isEmpty())
            QCOMPARE(d.focusWidget()->objectName() == focus || d.focusWidget()->parent()->objectName() == focus, true);
    }

    void checkOrderAcrossSteps()
    {
        TestDb t;
        addGoods(t, {{"编号", "HP260307001"}, {"名称", "旧"}, {"条码", "OLD-BC"}});
        addGoods(t, {{"编号", "HP260307002"}, {"名称", "旧"}});
        ScriptedPrompt p;
        TfrmNewCang d;
        d.show();
        // Code and barcode taken, a required field empty and a field too long: both taken messages
        // first, both fields emptied, nothing else said.
        fillValid(d.form(), "HP260307001");
        d.form()->barcodeEdit->setText("OLD-BC");
        d.form()->stockEdit->clear();
        d.form()->nameEdit->setText(QString(201, 'x'));
        p.expectMessage("编号不能相同！").expectMessage("条码不能相同！");
        d.BitBtn1Click();
        QVERIFY(d.form()->codeEdit->text().isEmpty());
        QVERIFY(d.form()->barcodeEdit->text().isEmpty());
        QCOMPARE(d.focusWidget(), d.form()->codeEdit);
        // Then the required fields, before the lengths.
        d.form()->codeEdit->setText("NEW");
        p.expectMessage("请输入库存");
        d.BitBtn1Click();
        d.form()->stockEdit->setText("1");
        p.expectMessage("货品名称不得超过200");
        d.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select count(*) from 货品目录").toInt(), 2);
    }

    void savedStateAndNew()
    {
        TestDb t;
        ScriptedPrompt p;
        TfrmCangKu list;
        list.show();
        frmCangKu = &list;
        TfrmNewCang d;
        d.show();
        GoodsForm *f = d.form();
        QCOMPARE(f->auxUnitCombo->currentText(), QString("箱"));
        QCOMPARE(f->unitCombo->currentText(), QString("件"));
        QVERIFY(f->categoryEdit->isReadOnly());
        QCOMPARE(f->saveButton->text(), QString("保存(&S)"));
        fillValid(f);
        f->nameEdit->setText("O'Neil钢管");
        f->mnemonicEdit->setText("typed");
        f->showPicture(png());
        // Leaving a ratio of 0 advises; the value stays and is saved.
        f->ratioEdit->setText("0");
        p.expectMessage("换算比率大于0的整数");
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(f->ratioEdit, &out);
        d.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(d.state(), TfrmNewCang::State::Saved);
        const qint64 row = d.savedRowNo();
        QCOMPARE(rowText(t, row, "名称"), QString("O'Neil钢管"));
        QCOMPARE(rowText(t, row, "助记码"), QString("O'NeilGG"));
        QCOMPARE(rowText(t, row, "换算比率").toDouble(), 0.0);
        QCOMPARE(rowText(t, row, "ID").size(), 24);
        QCOMPARE(loadGoodsPicture(t.conn(), row), png());
        QCOMPARE(f->mnemonicEdit->text(), QString("O'NeilGG"));
        QCOMPARE(f->saveButton->text(), QString("新建"));
        QVERIFY(f->nameEdit->isReadOnly());
        QVERIFY(f->importPictureButton->isEnabled());
        // The goods list heard of it.
        QCOMPARE(list.listModel()->goodsRowCount(), 1);
        QCOMPARE(list.listModel()->query().totalsLabel, QString("合计:"));

        // 新建 whose code cannot be read (the table unreadable, as when the connection is lost
        // while it runs): the saved item stays shown and locked, and 新建 can be pressed again.
        t.conn().exec("alter table 货品目录 rename to 货品目录_gone");
        p.expectMessage(kDbFailed);
        d.BitBtn1Click();
        t.conn().exec("alter table 货品目录_gone rename to 货品目录");
        QVERIFY(p.verifyDone());
        QCOMPARE(d.state(), TfrmNewCang::State::Saved);
        QCOMPARE(f->saveButton->text(), QString("新建"));
        QCOMPARE(f->nameEdit->text(), QString("O'Neil钢管"));
        QVERIFY(f->nameEdit->isReadOnly());
        QCOMPARE(f->picture(), png());

        // 新建: empty fields, ratio 1, the next code, no picture and its buttons off until saved.
        d.BitBtn1Click();
        QCOMPARE(d.state(), TfrmNewCang::State::Entering);
        QCOMPARE(f->saveButton->text(), QString("保存"));
        QVERIFY(f->nameEdit->text().isEmpty());
        QVERIFY(!f->nameEdit->isReadOnly());
        QCOMPARE(f->ratioEdit->text(), QString("1"));
        QCOMPARE(f->codeEdit->text(), QString("HP260307002"));
        QVERIFY(f->picture().isEmpty());
        QCOMPARE(f->pictureBox->text(), QString("无图片"));
        QVERIFY(!f->importPictureButton->isEnabled());
        fillValid(f);
        f->barcodeEdit->clear();
        f->saveButton->setText("Save"); // a changed caption changes nothing
        d.BitBtn1Click();
        QCOMPARE(d.state(), TfrmNewCang::State::Saved);
        QVERIFY(t.scalar("select 图片 from 货品目录 where 流水号 = ?", {d.savedRowNo()}).isNull());
        QCOMPARE(list.listModel()->goodsRowCount(), 2);
        frmCangKu = nullptr;
    }

    void enterWalksToTheSaveButton()
    {
        TestDb t;
        TfrmNewCang d;
        d.show();
        GoodsForm *f = d.form();
        fillValid(f);
        QTest::keyClick(f->codeEdit, Qt::Key_Return);
        QCOMPARE(d.focusWidget(), f->nameEdit);
        QTest::keyClick(f->nameEdit, Qt::Key_Right);
        QCOMPARE(d.focusWidget(), f->mnemonicEdit);
        QTest::keyClick(f->mnemonicEdit, Qt::Key_Left);
        QCOMPARE(d.focusWidget(), f->nameEdit);
        // From 备注 the next stop is the save button, and Enter there saves.
        QTest::keyClick(f->remarkMemo, Qt::Key_Return);
        QCOMPARE(d.focusWidget(), f->saveButton);
        QTest::keyClick(f->saveButton, Qt::Key_Return);
        QCOMPARE(d.state(), TfrmNewCang::State::Saved);
        QCOMPARE(t.scalar("select count(*) from 货品目录").toInt(), 1);
    }

    void pictureFiles()
    {
        TestDb t;
        QTemporaryDir dir;
        QFile good(dir.filePath("a.png")), bad(dir.filePath("b.jpg"));
        QVERIFY(good.open(QIODevice::WriteOnly) && bad.open(QIODevice::WriteOnly));
        good.write(png());
        bad.write("\xFF\xD8\xFF not really");
        good.close();
        bad.close();
        ScriptedPrompt p;
        TfrmNewCang d;
        d.show();
        p.expectOpenFile(good.fileName());
        d.form()->importPictureButton->click();
        QCOMPARE(d.form()->picture(), png());
        // A damaged file is refused with a message; the box keeps its picture.
        p.expectOpenFile(bad.fileName()).expectMessage("图片已损坏，无法显示");
        d.form()->importPictureButton->click();
        QCOMPARE(d.form()->picture(), png());
        d.form()->clearPictureButton->click();
        QVERIFY(d.form()->picture().isEmpty());
        QVERIFY(p.verifyDone());
    }

    void pickersFillTheirFields()
    {
        TestDb t;
        t.exec("insert into 单位(单位名称) values('打')");
        t.exec("insert into 仓位目录(仓位) values('三号库')");
        t.exec("insert into 类别目录(流水号,类别,父项,级别) values('0001','工具','全部','1')");
        t.exec("insert into 往来单位(单位名称,ID,助记码) values('甲公司','DW1','JGS')");
        ScriptedPrompt p;
        TfrmNewCang d;
        d.show();
        GoodsForm *f = d.form();
        auto pickFirstRow = [](QDialog *w) {
            auto *grid = w->findChild<QTableWidget *>("DBGrid1");
            grid->setCurrentCell(0, 1);
            QTest::keyClick(grid, Qt::Key_Return);
            return int(QDialog::Accepted);
        };
        // The auxiliary-unit button fills only the auxiliary unit, the unit button only the unit.
        p.expectModal([&](QDialog *w) {
            MCOMPARE(G.gDirMode, 2);
            return pickFirstRow(w);
        });
        f->auxUnitButton->click();
        QCOMPARE(f->auxUnitCombo->currentText(), QString("打"));
        QCOMPARE(f->unitCombo->currentText(), QString("件"));
        f->auxUnitCombo->setEditText("箱");
        p.expectModal([&](QDialog *w) {
            MCOMPARE(G.gDirMode, 3);
            return pickFirstRow(w);
        });
        f->unitButton->click();
        QCOMPARE(f->unitCombo->currentText(), QString("打"));
        QCOMPARE(f->auxUnitCombo->currentText(), QString("箱"));
        p.expectModal([&](QDialog *w) {
            MCOMPARE(G.gDirMode, 4);
            return pickFirstRow(w);
        });
        f->placeButton->click();
        QCOMPARE(f->placeCombo->currentText(), QString("三号库"));
        p.expectModal([&](QDialog *w) {
            MCOMPARE(G.gLeiBieMode, 12);
            auto *tree = w->findChild<QTreeWidget *>("TreeView1");
            tree->setCurrentItem(tree->topLevelItem(0)->child(0));
            QTest::keyClick(tree, Qt::Key_Return);
            return int(QDialog::Accepted);
        });
        f->categoryButton->click();
        QCOMPARE(f->categoryEdit->text(), QString("工具"));
        // Enter in the supplier box opens its picker, and the pick lands in the box.
        p.expectModal([&](QDialog *w) {
            MCOMPARE(G.gGysMode, 5);
            auto *picker = qobject_cast<TfrmChooseGYS *>(w);
            MVERIFY(picker);
            picker->DBGrid1DblClick();
            return int(QDialog::Accepted);
        });
        QTest::keyClick(f->supplierCombo, Qt::Key_Return);
        QCOMPARE(f->supplierCombo->currentText(), QString("DW1.甲公司"));
        QCOMPARE(d.focusWidget(), f->barcodeEdit);
        QVERIFY(p.verifyDone());
    }

    void listsRefilledOnFocus()
    {
        TestDb t;
        TfrmNewCang d;
        d.show();
        t.exec("insert into 往来单位(单位名称,ID,采购供应商) values('买','DW1',?)", {true});
        t.exec("insert into 往来单位(单位名称,ID,采购供应商) values('不买','DW2',?)", {false});
        t.exec("insert into 单位(单位名称) values('桶')");
        QFocusEvent in(QEvent::FocusIn);
        QApplication::sendEvent(d.form()->supplierCombo, &in);
        QCOMPARE(d.form()->supplierCombo->count(), 1);
        QCOMPARE(d.form()->supplierCombo->itemText(0), QString("DW1.买"));
        QVERIFY(d.form()->supplierCombo->currentText().isEmpty());
        QApplication::sendEvent(d.form()->unitCombo, &in);
        QCOMPARE(d.form()->unitCombo->itemText(0), QString("桶"));
        QCOMPARE(d.form()->unitCombo->currentText(), QString("件"));
        // Typing into a list field does nothing.
        QTest::keyClicks(d.form()->unitCombo, "abc");
        QCOMPARE(d.form()->unitCombo->currentText(), QString("件"));
        QTest::keyClicks(d.form()->purchasePriceEdit, "1.2.3x");
        QCOMPARE(d.form()->purchasePriceEdit->text(), QString("1.23"));
    }

    void editChangedFieldsOnly()
    {
        TestDb t;
        ScriptedPrompt p;
        // One item at two places shares its code; another item has code B and barcode BC-B.
        const qint64 a1 = addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"条码", "BC-A"},
                                        {"类别", "五金"}, {"进货价", 10}, {"出货价", 12}, {"换算比率", 4},
                                        {"库存", 3}, {"辅助库存", 0.75}, {"警戒库存", 1}, {"单位", "根"},
                                        {"辅助单位", "箱"}, {"助记码", "J"}});
        const qint64 a2 = addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "二号库"}, {"条码", "BC-A"}});
        addGoods(t, {{"编号", "B"}, {"名称", "乙"}, {"条码", "BC-B"}});
        TfrmCangKu list;
        list.show();
        frmCangKu = &list;
        list.setCurrentRow(2);

        openGoodsEdit(a1, false);
        GoodsForm *f = frmMdfCang->form();
        QCOMPARE(frmMdfCang->windowTitle(), QString("修改货品"));
        QCOMPARE(f->codeEdit->text(), QString("A"));
        QCOMPARE(f->mnemonicEdit->text(), QString("J")); // as stored, not made from the name
        QCOMPARE(f->purchasePriceEdit->text(), QString("10"));
        QCOMPARE(f->auxStockEdit->text(), QString("0.75"));
        // Nothing changed: no check finds the code the other place shares; the list keeps the row.
        p.expectMessage("货品修改成功");
        frmMdfCang->BitBtn1Click();
        QVERIFY(!frmMdfCang->isVisible());
        QCOMPARE(list.listModel()->rowNo(list.currentRow()), a1);

        // Only the barcode changed, to a free one: accepted.
        openGoodsEdit(a1, false);
        f = frmMdfCang->form();
        f->barcodeEdit->setText("BC-NEW");
        p.expectMessage("货品修改成功");
        frmMdfCang->BitBtn1Click();
        QCOMPARE(rowText(t, a1, "条码"), QString("BC-NEW"));
        QCOMPARE(rowText(t, a2, "编号"), QString("A"));

        // A code or barcode another row carries: refused, the field emptied, nothing written.
        openGoodsEdit(a1, false);
        f = frmMdfCang->form();
        f->codeEdit->setText("B");
        f->barcodeEdit->setText("BC-B");
        f->nameEdit->setText("钢管");
        QCOMPARE(f->mnemonicEdit->text(), QString("GG"));
        p.expectMessage("编号不能相同！").expectMessage("条码不能相同！");
        frmMdfCang->BitBtn1Click();
        QVERIFY(f->codeEdit->text().isEmpty());
        QVERIFY(f->barcodeEdit->text().isEmpty());
        QCOMPARE(rowText(t, a1, "名称"), QString("甲"));
        // Then the required fields, in order.
        f->codeEdit->setText("A");
        f->salePriceEdit->clear();
        p.expectMessage("请输入出货价");
        frmMdfCang->BitBtn1Click();
        QCOMPARE(frmMdfCang->focusWidget(), f->salePriceEdit);
        f->salePriceEdit->setText("15");
        f->showPicture(png());
        p.expectMessage("货品修改成功");
        frmMdfCang->BitBtn1Click();
        QCOMPARE(rowText(t, a1, "名称"), QString("钢管"));
        QCOMPARE(rowText(t, a1, "助记码"), QString("GG"));
        QCOMPARE(rowText(t, a1, "出货价").toDouble(), 15.0);
        QCOMPARE(loadGoodsPicture(t.conn(), a1), png());
        QVERIFY(loadGoodsPicture(t.conn(), a2).isEmpty());

        // The picture of the item is shown at its other place too; an emptied box clears it.
        openGoodsEdit(a2, false);
        QCOMPARE(frmMdfCang->form()->picture(), png());
        openGoodsEdit(a1, false);
        frmMdfCang->form()->clearPicture();
        p.expectMessage("货品修改成功");
        frmMdfCang->BitBtn1Click();
        QVERIFY(t.scalar("select 图片 from 货品目录 where 流水号 = ?", {a1}).isNull());

        // Deleted meanwhile by another client: said so, not "货品修改成功".
        openGoodsEdit(a2, false);
        t.secondClient()->exec("delete from 货品目录 where 流水号 = ?", {a2});
        frmMdfCang->form()->nameEdit->setText("改");
        frmMdfCang->form()->categoryEdit->setText("x");
        for (QLineEdit *e : {frmMdfCang->form()->purchasePriceEdit, frmMdfCang->form()->ratioEdit,
                             frmMdfCang->form()->auxStockEdit, frmMdfCang->form()->stockEdit,
                             frmMdfCang->form()->warningStockEdit, frmMdfCang->form()->salePriceEdit})
            e->setText("1");
        frmMdfCang->form()->auxUnitCombo->setEditText("箱");
        frmMdfCang->form()->unitCombo->setEditText("根");
        p.expectMessage("该货品已被其他用户删除，修改未保存");
        frmMdfCang->BitBtn1Click();
        QVERIFY(p.verifyDone());
        frmCangKu = nullptr;
    }

    // The edit dialog's save: lengths (code page 936 bytes), then the uniqueness of a changed code
    // or barcode, then the required fields and numbers; the first refusal stops it, nothing written.
    void editChecks_data()
    {
        QTest::addColumn<Fill>("fill");
        QTest::addColumn<QStringList>("messages"); // empty: saved
        QTest::addColumn<QString>("focus");        // empty: not checked
        QTest::addColumn<QStringList>("emptied");
        const QString zh100(100, QChar(0x4e2d)); // 200 bytes
        const QString over = zh100 + "x";
        struct Limit {
            const char *field;
            const char *row;
            const char *message;
            int bytes;
        };
        const Limit limits[] = {
            {"EditNo", "code", "货品编号不得超过200", 200},        {"EditName", "name", "货品名称不得超过200", 200},
            {"Edit1", "mnemonic", "拼音码不得超过200", 200},      {"EditType", "category", "货品类别不得超过200", 200},
            {"EditSpic", "model", "货品规格不得超过200", 200},      {"ComboBox6", "aux unit", "货品辅助单位不得超过200", 200},
            {"ComboBox2", "unit", "货品单位不得超过200", 200},     {"ComboBox1", "warranty", "货品保修期不得超过200", 200},
            {"ComboBox4", "place", "货品仓位不得超过200", 200},    {"ComboBox3", "supplier", "货品供应商不得超过1300", 1300},
            {"EditMa", "barcode", "货品条码不得超过200", 200},     {"Memo1", "remark", "备注不得超过3000", 3000}};
        for (const Limit &l : limits) {
            const QString at(l.bytes / 2, QChar(0x4e2d));
            QTest::addRow("%s %d bytes", l.row, l.bytes) << Fill{{l.field, at}} << QStringList{} << "" << QStringList{};
            QTest::addRow("%s %d bytes", l.row, l.bytes + 1)
                << Fill{{l.field, at + "x"}} << QStringList{QString::fromUtf8(l.message)} << QString(l.field)
                << QStringList{};
        }
        QTest::newRow("lengths in order") << Fill{{"Memo1", QString(3001, 'x')}, {"EditName", over}}
                                          << QStringList{"货品名称不得超过200"} << "EditName" << QStringList{};
        QTest::newRow("barcode before remark") << Fill{{"Memo1", QString(3001, 'x')}, {"EditMa", over}}
                                               << QStringList{"货品条码不得超过200"} << "EditMa" << QStringList{};
        QTest::newRow("length before taken code") << Fill{{"EditNo", "B"}, {"Memo1", QString(3001, 'x')}}
                                                  << QStringList{"备注不得超过3000"} << "Memo1" << QStringList{};
        QTest::newRow("code taken") << Fill{{"EditNo", "B"}} << QStringList{"编号不能相同！"} << "EditNo"
                                    << QStringList{"EditNo"};
        QTest::newRow("code taken, case differs") << Fill{{"EditNo", "b"}} << QStringList{} << "" << QStringList{};
        QTest::newRow("barcode taken") << Fill{{"EditMa", "BC-B"}} << QStringList{"条码不能相同！"} << "EditMa"
                                       << QStringList{"EditMa"};
        QTest::newRow("both taken") << Fill{{"EditNo", "B"}, {"EditMa", "BC-B"}}
                                    << QStringList{"编号不能相同！", "条码不能相同！"} << ""
                                    << QStringList{"EditNo", "EditMa"};
        QTest::newRow("taken before required") << Fill{{"EditNo", "B"}, {"EditName", ""}}
                                               << QStringList{"编号不能相同！"} << "EditNo" << QStringList{"EditNo"};
        QTest::newRow("barcode emptied") << Fill{{"EditMa", ""}} << QStringList{} << "" << QStringList{};
        QTest::newRow("no code") << Fill{{"EditNo", ""}} << QStringList{"货品编号不能为空"} << "" << QStringList{};
        const std::pair<const char *, const char *> required[] = {
            {"EditName", "请输入货品名称"}, {"EditType", "请输入货品类别"},  {"EditJin", "请输入进货价"},
            {"Edit6", "请输入换算比率"},     {"ComboBox6", "请输入货品辅助单位"}, {"ComboBox2", "请输入货品单位"},
            {"Edit4", "请输入辅助库存"},     {"Edit3", "请输入库存"},        {"EditJing", "请输入警戒库存"},
            {"Edit5", "请输入出货价"}};
        for (const auto &[field, message] : required)
            QTest::addRow("no %s", field) << Fill{{field, ""}} << QStringList{QString::fromUtf8(message)}
                                          << QString(field) << QStringList{};
        QTest::newRow("required in order") << Fill{{"Edit5", ""}, {"EditType", ""}} << QStringList{"请输入货品类别"}
                                           << "EditType" << QStringList{};
        QTest::newRow("required before numbers") << Fill{{"EditJin", "."}, {"Edit5", ""}}
                                                 << QStringList{"请输入出货价"} << "Edit5" << QStringList{};
        QTest::newRow("a lone point") << Fill{{"EditJin", "."}} << QStringList{"进货价必须是数字"} << "EditJin"
                                      << QStringList{};
        QTest::newRow("a blank is content") << Fill{{"EditName", " "}} << QStringList{} << "" << QStringList{};
        QTest::newRow("quotes verbatim") << Fill{{"EditName", "O'Neil \"管\""}, {"Memo1", "it's"}} << QStringList{}
                                         << "" << QStringList{};
    }

    void editChecks()
    {
        QFETCH(Fill, fill);
        QFETCH(QStringList, messages);
        QFETCH(QString, focus);
        QFETCH(QStringList, emptied);
        // Each row starts from the same two goods, in a database the rows share: one made afresh
        // per row costs about a minute on PostgreSQL.
        TestDb &t = sharedDb();
        t.exec("delete from 货品目录");
        const qint64 row = addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"助记码", "J"}, {"类别", "五金"},
                                         {"规格", "Φ20"}, {"进货价", 10}, {"辅助单位", "箱"}, {"单位", "根"},
                                         {"换算比率", 4}, {"辅助库存", 0.75}, {"库存", 3}, {"警戒库存", 1},
                                         {"保修期", "一年"}, {"仓位", "一号库"}, {"供应商", "DW1.甲"},
                                         {"条码", "BC-A"}, {"出货价", 12}, {"备注", "旧"}});
        addGoods(t, {{"编号", "B"}, {"名称", "乙"}, {"条码", "BC-B"}});
        const auto stored = [&] {
            QStringList out;
            for (const QString &c : kEditColumns)
                out << rowText(t, row, c);
            return out;
        };
        const QStringList before = stored();
        ScriptedPrompt p;
        openGoodsEdit(row, false);
        TfrmMdfCang *d = frmMdfCang;
        for (const auto &[field, text] : fill)
            setField(d, field, text);
        for (const QString &m : messages.isEmpty() ? QStringList{"货品修改成功"} : messages)
            p.expectMessage(m);
        d->BitBtn1Click();
        QVERIFY(p.verifyDone());
        if (messages.isEmpty()) {
            QVERIFY(!d->isVisible());
            for (const auto &[field, text] : fill)
                if (kEditColumns.contains(field))
                    QCOMPARE(rowText(t, row, kEditColumns[field]), text);
            return;
        }
        QVERIFY(d->isVisible());
        QCOMPARE(stored(), before);
        if (!focus.isEmpty())
            QVERIFY2(hasFocus(d, focus), qPrintable(d->focusWidget() ? d->focusWidget()->objectName() : "none"));
        // What was typed stays, but for a field emptied by its clash.
        for (const auto &[field, text] : fill)
            if (const auto *e = d->findChild<QLineEdit *>(field))
                QCOMPARE(e->text(), emptied.contains(field) ? QString() : text);
    }

    // A stored picture the window cannot show (a metafile, a damaged JPEG) is said so, and kept:
    // a save without 导入 or 删除 writes the same bytes back; 删除 then clears it, 导入 replaces it.
    void unshowableStoredPictureKept_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("message");
        QTest::newRow("damaged jpeg") << QByteArray("\xFF\xD8\xFF broken") << "图片已损坏，无法显示";
        QTest::newRow("metafile") << QByteArray::fromHex("d7cdc69a0000") + QByteArray(60, 'w')
                                  << "不支持的图片格式，无法显示";
    }
    void unshowableStoredPictureKept()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, message);
        TestDb t;
        const qint64 row = addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"图片", stored}});
        QTemporaryDir dir;
        QFile file(dir.filePath("new.png"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(png());
        file.close();
        ScriptedPrompt p;
        p.expectMessage(message);
        openGoodsEdit(row, false);
        GoodsForm *f = frmMdfCang->form();
        QCOMPARE(f->codeEdit->text(), QString("A"));
        QCOMPARE(f->pictureBox->text(), message);
        QCOMPARE(f->picture(), stored);
        fillValid(f, "A");
        p.expectMessage("货品修改成功");
        frmMdfCang->BitBtn1Click();
        QCOMPARE(loadGoodsPicture(t.conn(), row), stored);

        p.expectMessage(message);
        openGoodsEdit(row, false);
        p.expectOpenFile(file.fileName()).expectMessage("货品修改成功");
        frmMdfCang->form()->importPictureButton->click();
        QCOMPARE(frmMdfCang->form()->pictureBox->text(), QString());
        fillValid(frmMdfCang->form(), "A");
        frmMdfCang->BitBtn1Click();
        QCOMPARE(loadGoodsPicture(t.conn(), row), png());

        t.exec("update 货品目录 set 图片 = ? where 流水号 = ?", {stored, row});
        p.expectMessage(message);
        openGoodsEdit(row, false);
        frmMdfCang->form()->clearPictureButton->click();
        QCOMPARE(frmMdfCang->form()->pictureBox->text(), QString("无图片"));
        fillValid(frmMdfCang->form(), "A");
        p.expectMessage("货品修改成功");
        frmMdfCang->BitBtn1Click();
        QVERIFY(t.scalar("select 图片 from 货品目录 where 流水号 = ?", {row}).isNull());
        QVERIFY(p.verifyDone());
    }

private:
    TestDb &sharedDb()
    {
        if (!m_shared) {
            m_shared = std::make_unique<TestDb>();
            m_sharedFor = QTest::currentTestFunction();
        }
        return *m_shared;
    }
    std::unique_ptr<TestDb> m_shared;
    QByteArray m_sharedFor;
};

ORV_DB_TEST_MAIN(TestGoodsDialogs)
#include "tst_db_goodsdialogs.moc"
