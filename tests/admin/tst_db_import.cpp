// Excel import: goods, customers and suppliers from .xlsx and .xls sheets; the mapping and its
// defaults, generated codes, a bad number cell (nothing written), the stop at an empty first cell;
// empty cells stored as the windows store them; progress and cancel; a damaged sheet found
// halfway writes nothing.
#include "adminfixture.h"
#include "scriptedprompt.h"
#include "workbooks.h"

#include "admin/excelimport.h"
#include "admin/frmexcelinto.h"
#include "app/appglobals.h"
#include "common/clock.h"
#include "program.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;
using namespace orv::test;

namespace {
QVariantList goodsRow(const QVariant &code, const QVariant &name, const QVariant &alarm, const QVariant &ratio,
                      const QVariant &barcode = QVariant())
{
    // 序号, then 编号 名称 规格 类别 单位 警戒库存 进货价 仓位 保修期 助记码 条码 库存 供应商 备注 辅助单位 辅助库存
    // 出货价 换算比率 盘点库存
    static int serial = 0;
    return {double(++serial), code, name, QString("Φ20"), QString("钢材"), QString("根"), alarm, 3.5, QString("一号仓"), QString("一年"),
            QVariant(), barcode, 10.0, QString("DW1.供应商"), QString(" 备注 "), QString("捆"), QVariant(), 8.0,
            ratio, QVariant()};
}

// A running number first, then the goods columns under their own names.
QVariantList goodsTitles()
{
    QVariantList t{QString("序号")};
    for (const QString &c : importColumns(ImportKind::Goods))
        t << c;
    return t;
}

QList<QVariantList> rows(TestDb &t, const QString &sql)
{
    QSqlQuery q(t.conn().db());
    q.exec(sql);
    QList<QVariantList> out;
    while (q.next()) {
        QVariantList r;
        for (int i = 0; i < q.record().count(); ++i)
            r << q.value(i);
        out << r;
    }
    return out;
}

QString text(const QVariant &v) { return v.toString(); }

// Row 1 of a hand-written sheet: a kind's columns under their own names.
QByteArray titleRow(ImportKind kind)
{
    QByteArray row = "<row>";
    for (const QString &c : importColumns(kind))
        row += inlineCell(c.toUtf8());
    return row + "</row>";
}
double number(const QVariant &v) { return v.toDouble(); }

struct Window {
    TfrmExcelInto w;
    explicit Window(const QString &file, const char *radio)
    {
        w.show();
        edit(&w, "Edit1")->setText(file);
        w.listSheets();
        if (radio)
            control<QRadioButton>(&w, radio)->setChecked(true);
    }
    QTableWidget *grid() { return control<QTableWidget>(&w, "StringGrid1"); }
    // Chooses a title for target column R through the drop-down over the cell.
    void choose(int r, const QString &title)
    {
        grid()->setCurrentCell(r - 1, 0);
        QComboBox *list = control<QComboBox>(&w, "ComboBox2");
        QVERIFY(list->isVisible());
        const int at = list->findText(title);
        QVERIFY2(at >= 0, qPrintable(title));
        emit list->activated(at);
        QVERIFY(!list->isVisible());
    }
    // Every target column from the sheet column titled with its name.
    void chooseByName(ImportKind kind)
    {
        w.SpeedButton2Click();
        const QStringList names = importColumns(kind);
        for (int r = 1; r <= names.size(); ++r)
            choose(r, names[r - 1]);
    }
};
} // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerSubsystems(); }
    void init()
    {
        G = AppGlobals{};
        Clock::pin(QDateTime(QDate(2024, 3, 5), QTime(2, 0), Qt::UTC));
    }
    void cleanup() { Clock::pin(QDateTime()); }

    void startChecks()
    {
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("a.xlsx");
        QVERIFY(writeXlsxBook(file, {{"货品", {goodsTitles()}}, {"其他", {}}}));
        ScriptedPrompt p;
        TfrmExcelInto w;
        w.show();
        QCOMPARE(w.windowTitle(), QString("数据导入"));
        QVERIFY(control<QCheckBox>(&w, "CheckBox1")->isChecked());
        p.expectMessage("请选择要导入的类别");
        w.BitBtn1Click();
        control<QRadioButton>(&w, "RadioButton6")->setChecked(true);
        p.expectMessage("请选择数据表sheet");
        w.BitBtn1Click();
        p.expectMessage("请选择您要导入的Excel 表格");
        w.listSheets();
        edit(&w, "Edit1")->setText(file);
        w.listSheets();
        QCOMPARE(control<QComboBox>(&w, "ComboBox1")->count(), 2);
        edit(&w, "Edit1")->clear();
        w.BitBtn1Click(); // an empty file box stops without a word
        // A file that is no workbook is named plainly.
        edit(&w, "Edit1")->setText(dir.filePath("missing.xls"));
        p.expectMessage("无法读取所选的文件");
        w.listSheets();
        QVERIFY(p.verifyDone());
    }

    void goodsWithDefaults()
    {
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("goods.xlsx");
        QVERIFY(writeXlsxBook(file, {{"货品", {goodsTitles(),
                                               goodsRow(QString(" G-1 "), QString(" 钢管 "), 5.0, 2.0, QString(" 690 ")),
                                               goodsRow(QVariant(), QString("参数表"), QVariant(), QVariant()),
                                               goodsRow(QString("G-3"), QString("螺丝"), QString("  "), QString(" 4 ")),
                                               {QVariant(), QString("G-4"), QString("不导入：第一格空")},
                                               goodsRow(QString("G-9"), QString("也不导入"), 1.0, 1.0)}}}));
        ScriptedPrompt p;
        Window win(file, "RadioButton3");
        win.chooseByName(ImportKind::Goods);
        p.expectMessage("货品目录数据导入完成!", QMessageBox::Ok, "提示");
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        const auto got = rows(t, "select 编号,名称,警戒库存,换算比率,助记码,条码,备注,库存,进货价,ID,类别 from 货品目录 order by 流水号");
        QCOMPARE(got.size(), 3);
        // Trimmed where the list says so, as read elsewhere.
        QCOMPARE(text(got[0][0]), QString("G-1"));
        QCOMPARE(text(got[0][1]), QString("钢管"));
        QCOMPARE(number(got[0][2]), 5.0);
        QCOMPARE(number(got[0][3]), 2.0);
        QCOMPARE(text(got[0][4]), QString("GG"));
        QCOMPARE(text(got[0][5]), QString(" 690 "));
        QCOMPARE(text(got[0][6]), QString(" 备注 "));
        QCOMPARE(number(got[0][7]), 10.0);
        QCOMPARE(number(got[0][8]), 3.5);
        QCOMPARE(text(got[0][9]).size(), 24);
        QCOMPARE(text(got[0][10]), QString("钢材"));
        // An empty code takes the next goods code; empty numbers their defaults.
        QCOMPARE(text(got[1][0]), QString("HP240305001"));
        QCOMPARE(text(got[1][4]), QString("SSB"));
        QCOMPARE(number(got[1][2]), 0.0);
        QCOMPARE(number(got[1][3]), 1.0);
        // Blanks alone in a number cell take the default too; numbers are trimmed.
        QCOMPARE(number(got[2][2]), 0.0);
        QCOMPARE(number(got[2][3]), 4.0);
    }

    // Without the mapping step every target column takes the sheet column at its position.
    void defaultMappingWithoutTheGrid()
    {
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("plain.xlsx");
        QVERIFY(writeXlsxBook(file, {{"货品", {{QString("编号"), QString("名称")}, {QString("P-1"), QString("扳手")}}}}));
        ScriptedPrompt p;
        Window win(file, "RadioButton3");
        p.expectMessage("货品目录数据导入完成!", QMessageBox::Ok, "提示");
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        const auto got = rows(t, "select 编号,名称,换算比率,库存 from 货品目录");
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0], (QVariantList{"P-1", "扳手", 1.0, 0.0}));
    }

    // A bad number anywhere writes nothing and names its row and column.
    void badNumberWritesNothing_data()
    {
        QTest::addColumn<QVariant>("ratio");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("letters") << QVariant("abc") << QStringList{"导入数据的时候第3行第18列数据格式不正确"};
        QTest::newRow("two points") << QVariant("1.2.3") << QStringList{"导入数据的时候第3行第18列数据格式不正确"};
        QTest::newRow("minus") << QVariant("-1") << QStringList{"导入数据的时候第3行第18列数据格式不正确"};
        QTest::newRow("thousands") << QVariant("1,000") << QStringList{"导入数据的时候第3行第18列数据格式不正确"};
        QTest::newRow("two columns") << QVariant("x")
                                     << QStringList{"导入数据的时候第3行第6列数据格式不正确",
                                                    "导入数据的时候第3行第18列数据格式不正确"};
    }

    void badNumberWritesNothing()
    {
        QFETCH(QVariant, ratio);
        QFETCH(QStringList, messages);
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("bad.xlsx");
        const QVariant alarm = messages.size() == 2 ? QVariant("五") : QVariant(1.0);
        QVERIFY(writeXlsxBook(file, {{"货品", {goodsTitles(), goodsRow(QString("G-1"), QString("甲"), 1.0, QString(".5")),
                                               goodsRow(QString("G-2"), QString("乙"), alarm, ratio)}}}));
        ScriptedPrompt p;
        Window win(file, "RadioButton3");
        win.chooseByName(ImportKind::Goods);
        for (const QString &m : messages)
            p.expectMessage(m);
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(count(t, "货品目录"), 0);
    }

    void mappingChoosesColumns()
    {
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("suppliers.xlsx");
        // Titles in another order, one title twice; the leftmost of two equal titles is used.
        QVERIFY(writeXlsxBook(file, {{"Sheet1", {{QString("名称"), QString("电话"), QString("名称"), QString("地址")},
                                                 {QString("甲公司"), QString("010-1"), QString("乙"), QString("北京")},
                                                 {QString("丙公司"), QString("020-2"), QString("丁"), QString("广州")}}}}));
        ScriptedPrompt p;
        Window win(file, "RadioButton6");
        win.w.SpeedButton2Click();
        QCOMPARE(win.grid()->rowCount(), 14);
        QCOMPARE(column(win.grid(), 2).first(), QString("单位名称"));
        QCOMPARE(column(win.grid(), 2).last(), QString("助记码"));
        QCOMPARE(column(win.grid(), 1).first(), QString("导入到"));
        // The default: target column R takes the title of sheet column R.
        QCOMPARE(column(win.grid(), 0).mid(0, 5), (QStringList{"名称", "电话", "名称", "地址", ""}));
        QCOMPARE(control<QComboBox>(&win.w, "ComboBox2")->count(), 5); // four titles and the empty one
        win.choose(2, "");     // 联系人: nothing
        win.choose(3, "电话"); // 联系电话
        win.choose(4, "");     // 传真: nothing
        win.choose(5, "地址"); // 地址
        p.expectMessage("往来单位数据导入完成!", QMessageBox::Ok, "提示");
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        const auto got = rows(t, "select 单位名称,联系人,联系电话,传真,地址,助记码,ID,采购供应商 from 往来单位 order by 流水号");
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[0].mid(0, 6), (QVariantList{"甲公司", "", "010-1", "", "北京", "JGS"}));
        QCOMPARE(got[1].mid(0, 6), (QVariantList{"丙公司", "", "020-2", "", "广州", "BGS"}));
        // Every supplier gets its own code of the day; the role flags keep their defaults.
        QCOMPARE(text(got[0][6]), QString("DW240305001"));
        QCOMPARE(text(got[1][6]), QString("DW240305002"));
        QVERIFY(flagValue(got[0][7]));

        // Another kind chosen after the mapping: the grid is no longer this kind's.
        control<QRadioButton>(&win.w, "RadioButton4")->setChecked(true);
        QCOMPARE(win.grid()->rowCount(), 0);
    }

    void customersFromXls()
    {
        TestDb t;
        t.exec("insert into 客户目录(客户编号,客户名称) values('KH240305001','已有')");
        QTemporaryDir dir;
        const QString file = dir.filePath("customers.xls");
        QVariantList titles{QString("序号")};
        for (const QString &c : importColumns(ImportKind::Customers))
            titles << c;
        auto row = [](const QVariant &code, const QString &name, const QVariant &date, const QVariant &discount) {
            QVariantList r{QString("#"), code, name, QString(" 联系人 "), QString("电话"), QString(), QString(), QString("地址"),
                           QString(), date, QString(" 税号 ")};
            while (r.size() < 20)
                r << QVariant();
            r << discount;
            return r;
        };
        const QString why = writeXlsBook(
            file, {{"客户", {titles, row(QVariant(), "甲", QDate(2023, 1, 2), 0.9), row(QString("C-7"), "乙", QString("2023/2/3"), QVariant()),
                             row(QVariant(), "丙", QString("不是日期"), QString(" ")), row(QVariant(), "丁", QVariant(), 1.0)}}});
        QVERIFY2(why.isEmpty(), qPrintable(why));
        ScriptedPrompt p;
        Window win(file, "RadioButton4");
        win.chooseByName(ImportKind::Customers);
        QCOMPARE(win.grid()->rowCount(), 20);
        QCOMPARE(column(win.grid(), 2).last(), QString("客户折扣"));
        p.expectMessage("客户目录数据导入完成!", QMessageBox::Ok, "提示");
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        const auto got = rows(t, "select 客户编号,客户名称,联系人,登记时间,税号,客户折扣,助记码 from 客户目录 where 客户名称<>'已有' order by 流水号");
        QCOMPARE(got.size(), 4);
        // Rows without a code take the day's next KH codes in turn.
        QCOMPARE(text(got[0][0]), QString("KH240305002"));
        QCOMPARE(text(got[1][0]), QString("C-7"));
        QCOMPARE(text(got[2][0]), QString("KH240305003"));
        QCOMPARE(text(got[0][2]), QString("联系人"));
        QCOMPARE(text(got[0][4]), QString(" 税号 "));
        // Dates in ISO form; not a date, or none: today.
        QCOMPARE(text(got[0][3]), QString("2023-01-02"));
        QCOMPARE(text(got[1][3]), QString("2023-02-03"));
        QCOMPARE(text(got[2][3]), QString("2024-03-05"));
        QCOMPARE(text(got[3][3]), QString("2024-03-05"));
        // An empty or blank discount is 1.
        QCOMPARE(number(got[0][5]), 0.9);
        QCOMPARE(number(got[1][5]), 1.0);
        QCOMPARE(number(got[2][5]), 1.0);
        QCOMPARE(text(got[3][6]), QString("D"));
    }

    // A text longer than its column takes is refused before anything is written, on both databases.
    void overlongTextWritesNothing()
    {
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("long.xlsx");
        QVariantList titles;
        for (const QString &c : importColumns(ImportKind::Suppliers))
            titles << c;
        QVariantList ok{QString("甲")}, tooLong{QString("乙")};
        for (int c = 2; c <= 11; ++c)
            ok << QVariant(), tooLong << QVariant();
        ok << QString(20, QChar(0x4e00));
        tooLong << QString(21, QChar('9'));
        QVERIFY(writeXlsxBook(file, {{"往来单位", {titles, ok, tooLong}}}));
        ScriptedPrompt p;
        Window win(file, "RadioButton6");
        p.expectMessage("导入数据的时候第3行第12列数据太长");
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(count(t, "往来单位"), 0);
    }

    // Unticked, row 1 is data: its titles fail the number test there.
    void firstRowAsData()
    {
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("c.xlsx");
        QVariantList titles;
        for (const QString &c : importColumns(ImportKind::Customers))
            titles << c;
        QVERIFY(writeXlsxBook(file, {{"客户", {titles, {QString("KH1"), QString("甲")}}}}));
        ScriptedPrompt p;
        Window win(file, "RadioButton4");
        control<QCheckBox>(&win.w, "CheckBox1")->setChecked(false);
        p.expectMessage("导入数据的时候第1行第20列数据格式不正确");
        win.w.BitBtn1Click();
        control<QCheckBox>(&win.w, "CheckBox1")->setChecked(true);
        p.expectMessage("客户目录数据导入完成!", QMessageBox::Ok, "提示");
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(count(t, "客户目录"), 1);
    }

    // An empty cell is stored as the windows store the column: an empty text (so that a filter
    // "does not contain" keeps the row), and nothing where no window writes the column.
    void emptyCellsAsTheWindowsStore()
    {
        TestDb t;
        QTemporaryDir dir;
        auto titlesOf = [](ImportKind kind) {
            QVariantList v;
            for (const QString &c : importColumns(kind))
                v << c;
            return v;
        };
        const QString goods = dir.filePath("g.xlsx"), customers = dir.filePath("c.xls"), suppliers = dir.filePath("s.xlsx");
        QVERIFY(writeXlsxBook(goods, {{"货品", {titlesOf(ImportKind::Goods), {QString("G-1"), QString("甲")},
                                                {QString("G-2"), QString("乙"), QString("x")}}}}));
        const QString why = writeXlsBook(customers, {{"客户", {titlesOf(ImportKind::Customers), {QString("KH1"), QString("甲")}}}});
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QVERIFY(writeXlsxBook(suppliers, {{"单位", {titlesOf(ImportKind::Suppliers), {QString("甲公司")}}}}));
        ScriptedPrompt p;
        for (const auto &[file, radio, kind] : {std::tuple{goods, "RadioButton3", ImportKind::Goods},
                                                 std::tuple{customers, "RadioButton4", ImportKind::Customers},
                                                 std::tuple{suppliers, "RadioButton6", ImportKind::Suppliers}}) {
            Window win(file, radio);
            p.expectMessage(importDoneText(kind), QMessageBox::Ok, "提示");
            win.w.BitBtn1Click();
        }
        QVERIFY(p.verifyDone());
        QCOMPARE(count(t, "货品目录", "规格 not like ?", {"%x%"}), 1);
        const QHash<QString, QStringList> texts{
            {"货品目录", {"规格", "类别", "单位", "仓位", "保修期", "条码", "供应商", "备注", "辅助单位"}},
            {"客户目录", {"联系人", "联系电话", "传真", "Email", "地址", "邮编", "税号", "帐号", "备注", "乘车路线", "手机号码",
                          "备用电话", "地域", "会员编号"}},
            {"往来单位", {"联系人", "联系电话", "传真", "地址", "邮编", "Email", "网址", "税号", "帐号", "备注", "QQ", "经营范围"}}};
        for (auto it = texts.cbegin(); it != texts.cend(); ++it)
            for (const QString &column : it.value())
                QVERIFY2(count(t, it.key(), column + " is null") == 0, qPrintable(it.key() + "." + column));
        // Columns no window writes stay without a value.
        QCOMPARE(count(t, "货品目录", "盘点库存 is null"), 2);
        QCOMPARE(count(t, "客户目录", "生日 is null"), 1);
    }

    // Progress is shown while the sheet is read and written; a cancel, whenever it comes, leaves
    // nothing written.
    void progressAndCancel_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("cancelAt");
        QTest::newRow("xlsx, cancelled") << "xlsx" << 3;
        QTest::newRow("xls, cancelled") << "xls" << 2;
        QTest::newRow("xlsx, to the end") << "xlsx" << 0;
    }

    void progressAndCancel()
    {
        QFETCH(QString, suffix);
        QFETCH(int, cancelAt);
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("many." + suffix);
        SheetRows rows{{QString("编号"), QString("名称")}};
        for (int i = 1; i <= 1500; ++i)
            rows << QVariantList{QString("P-%1").arg(i), QString("货品%1").arg(i)};
        if (suffix == "xlsx") {
            QVERIFY(writeXlsxBook(file, {{"货品", rows}}));
        } else {
            const QString why = writeXlsBook(file, {{"货品", rows}});
            QVERIFY2(why.isEmpty(), qPrintable(why));
        }
        ScriptedPrompt p;
        Window win(file, "RadioButton3");
        p.expectProgress("正在导入数据……", cancelAt);
        p.expectMessage(cancelAt ? QString("导入已取消，没有导入任何数据") : QString("货品目录数据导入完成!"));
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(count(t, "货品目录"), cancelAt ? 0 : 1500);
        QVERIFY(p.progressAdvances() >= qMax(cancelAt, 2));
        // Heard after every row written, however slowly the database takes them.
        if (!cancelAt)
            QVERIFY(p.progressAdvances() >= 1500 && p.lastProgress() > 0.9);
        // The window stays usable: the same sheet goes in afterwards.
        if (cancelAt) {
            p.expectMessage("货品目录数据导入完成!");
            win.w.BitBtn1Click();
            QVERIFY(p.verifyDone());
            QCOMPARE(count(t, "货品目录"), 1500);
        }
    }

    // What turns out wrong halfway through the sheet stops the import with its row and column,
    // and the rows before it are not written either.
    void faultHalfwayWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QString>("message");
        QTest::newRow("text that is not there") << QByteArray("<c t=\"s\"><v>7</v></c>")
                                                << QString("所选的数据表已损坏：第3行第7列引用的文本不存在");
        QTest::newRow("a price that is no number") << QByteArray("<c><v>nan</v></c>")
                                                   << QString("导入数据的时候第3行第7列数据格式不正确");
        QTest::newRow("a date-formatted price past 9999") << QByteArray("<c s=\"1\"><v>1e300</v></c>")
                                                          << QString("导入数据的时候第3行第7列数据格式不正确");
    }

    void faultHalfwayWritesNothing()
    {
        QFETCH(QByteArray, cell);
        QFETCH(QString, message);
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("bad.xlsx");
        // 编号 名称 规格 类别 单位 警戒库存, then 进货价 in column 7.
        const QByteArray lead = "<c t=\"s\"><v>1</v></c><c t=\"s\"><v>2</v></c><c/><c/><c/><c/>";
        const QByteArray rows = titleRow(ImportKind::Goods) + "<row>" + lead + "<c><v>3.5</v></c></row><row>" + lead + cell + "</row>";
        QVERIFY(writeZip(file, sheetParts({{}, rows}, "<si><t>编号</t></si><si><t>G-1</t></si><si><t>钢管</t></si>", true)));
        ScriptedPrompt p;
        Window win(file, "RadioButton3");
        p.expectMessage(message);
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(count(t, "货品目录"), 0);
    }

    // A damaged title row ends the mapping and the import in the message; the window stays as it was.
    void damagedTitles()
    {
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("titles.xlsx");
        QVERIFY(writeZip(file, sheetParts({{}, "<row><c t=\"s\"><v>0</v></c><c t=\"s\"><v>5</v></c></row>"},
                                          "<si><t>编号</t></si>")));
        const QString message = "所选的数据表已损坏：第1行第2列引用的文本不存在";
        ScriptedPrompt p;
        Window win(file, "RadioButton3");
        p.expectMessage(message).expectMessage(message);
        win.w.SpeedButton2Click();
        QCOMPARE(win.grid()->rowCount(), 0);
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(count(t, "货品目录"), 0);
    }

    // Much before the title row: reading it already shows progress, and a cancel there stops it
    // before the rest is read, in the mapping and in the import.
    void cancelWhileReadingTitles()
    {
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("late.xlsx");
        const QByteArray passedOver = QByteArray("<x/>").repeated(256 * 1024); // elements the reader skips
        QVERIFY(writeZip(file, sheetParts({{}, {}, passedOver, 40, "<row r=\"1\">" + inlineCell("编号") + "</row>"})));
        ScriptedPrompt p;
        Window win(file, "RadioButton3");
        p.expectProgress("正在读取表格……", 1);
        win.w.SpeedButton2Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(win.grid()->rowCount(), 0);
        QVERIFY(p.lastProgress() < 0.5);
        p.expectProgress("正在导入数据……", 1).expectMessage("导入已取消，没有导入任何数据");
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QVERIFY(p.lastProgress() < 0.5);
        QCOMPARE(count(t, "货品目录"), 0);
    }

    // Customers: a registration day that is no day ("nan" in a date cell) is today.
    void noDayIsToday()
    {
        TestDb t;
        QTemporaryDir dir;
        const QString file = dir.filePath("days.xlsx");
        const QByteArray rows = titleRow(ImportKind::Customers) + "<row>" + inlineCell("KH1") + inlineCell("甲")
                                + "<c/><c/><c/><c/><c/><c/><c s=\"1\"><v>nan</v></c></row>";
        QVERIFY(writeZip(file, sheetParts({{}, rows}, {}, true)));
        ScriptedPrompt p;
        Window win(file, "RadioButton4");
        p.expectMessage("客户目录数据导入完成!");
        win.w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select 登记时间 from 客户目录").toString().left(10), QString("2024-03-05"));
    }
};

ORV_DB_TEST_MAIN(TestImport)
#include "tst_db_import.moc"
