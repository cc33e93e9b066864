// The four purchase lists (采购入库单, 采购订货单, 采购单, 采购退货单): opening with the totals row
// last, the keystroke search over the date range, which rows make a document current, the delete
// behind flag 51, the reversal's refusal and its hand-over, both exports and the prints.
#include "purchasefixture.h"
#include "scriptedprompt.h"
#include "xlsxsheet.h"

#include "app/windowing.h"
#include "documents/documentlistwindow.h"
#include "goods/excelexport.h"
#include "purchasing/frmalpuch.h"
#include "purchasing/frmalpuchlist.h"
#include "purchasing/frmpuchlist.h"
#include "purchasing/frmtuilist.h"
#include "purchasing/purchasingmenu.h"

#include <QBrush>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QWheelEvent>

using namespace orv;
using namespace orv::test;
using namespace purchasetest;

namespace {

enum List { Receipts, Orders, Bills, Returns };

// How each list's header is stored.
struct Kind {
    const char *table, *lineTable, *dateColumn, *clerk, *total, *paid, *state;
};
const Kind kKinds[] = {
    {"采购入库单", "采购入库明细", "开单日期", "开单人", "合计应付", "实际付款", "已入库"},
    {"采购订单", "采购订单明细", "日期", "负责人", "金额合计", nullptr, "已审核"},
    {"采购单", "采购明细", "日期", "负责人", "金额合计", nullptr, "已审核"},
    {"采购退货单", "采购退货明细", "日期", "经办人", "合计应收", "实际收款", "已审核"},
};

DocumentListWindow *openList(List list)
{
    switch (list) {
    case Receipts:
        return new TfrmPuchList;
    case Orders:
        return new TfrmAlPuchList;
    case Bills:
        return new TfrmALPuch;
    case Returns:
        break;
    }
    return new TfrmTuiList;
}

struct Doc {
    QString id;
    qint64 rowNo = 0;
};

// A document of a list with its lines; `state` empty: the state the list shows.
Doc addDoc(TestDb &t, List list, const QString &no, const QString &date, double total, const QList<Line> &lines = {},
           const QString &state = QString())
{
    static int serial = 0;
    const Kind &k = kKinds[list];
    const QString id = QString("ID%1-%2").arg(no).arg(++serial);
    QMap<QString, QVariant> v{{"单据编号", no},     {k.dateColumn, date},         {k.clerk, "张三"},
                              {"供应商", "DW1.甲厂"}, {k.total, total},            {"ID", id},
                              {"备注", "备注" + no},  {"当前状态", state.isEmpty() ? QString(k.state) : state}};
    if (k.paid) {
        v.insert(k.paid, total - 1);
        v.insert("挂账金额", 1);
        v.insert("复核员", "复核甲");
        v.insert("送货员", "送货乙");
    }
    if (list == Receipts) {
        v.insert("验收员", "验收丙");
        v.insert("收货员", "收货丁");
    } else if (list == Returns) {
        v.insert("发货员", "发货戊");
    } else {
        v.insert("开票员", "003.王五");
        v.insert("申请人", "002.李四");
    }
    QStringList names, marks;
    QVariantList values;
    for (auto it = v.cbegin(); it != v.cend(); ++it) {
        names << it.key();
        marks << "?";
        values << it.value();
    }
    t.exec(QString("insert into %1(%2) values(%3)").arg(k.table, names.join(','), marks.join(',')), values);
    for (const Line &l : lines)
        t.exec(QString("insert into %1(编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,仓位,换算比率) "
                       "values(?,?,?,?,?,?,?,?,?,?,?,?)")
                   .arg(k.lineTable),
               {l.no, l.name, l.spec, l.unit, l.auxUnit, l.auxQty.toDouble(), l.qty.toDouble(), l.price.toDouble(),
                l.qty.toDouble() * l.price.toDouble(), id, l.place, l.ratio.toDouble()});
    return {id, t.scalar(QString("select 流水号 from %1 where ID = ?").arg(k.table), {id}).toLongLong()};
}

// Three documents of the list (one before this month, one on the last day of the range with a
// time of day) and one of another state.
struct Three {
    Doc feb, march, today;
};
Three addThree(TestDb &t, List list)
{
    Three d;
    d.feb = addDoc(t, list, "X-001", "2026-02-20", 10, {kA});
    d.march = addDoc(t, list, "X-002", "2026-03-03", 20.5, {kA, kB});
    d.today = addDoc(t, list, "X-003", "2026-03-07 18:30:00", 30.25, {kB});
    addDoc(t, list, "X-004", "2026-03-05", 99, {kA}, "待审核");
    return d;
}

QStringList column(const DocumentListModel *m, const QString &title)
{
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->text(r, title);
    return out;
}

template <typename T> T *child(QWidget *w, const QString &name)
{
    T *c = w->findChild<T *>(name);
    if (!c)
        qWarning("no control %s", qPrintable(name));
    return c;
}

// One notch of the wheel: down (1) or up (-1).
void wheel(QTableView *grid, int down)
{
    QWheelEvent e(QPointF(5, 5), grid->viewport()->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120 * down),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(grid->viewport(), &e);
}

// A click on a row of the documents: the grid's cursor goes there, then the list follows.
void click(DocumentListWindow &w, int row)
{
    w.documentGrid()->setCurrentIndex(w.documentModel()->index(row, 2));
    w.documentClicked(row);
}

void addListRows()
{
    QTest::addColumn<int>("list");
    QTest::newRow("采购入库单") << int(Receipts);
    QTest::newRow("采购订货单") << int(Orders);
    QTest::newRow("采购单") << int(Bills);
    QTest::newRow("采购退货单") << int(Returns);
}

} // namespace

class TestPurchaseLists : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerTables();
        registerPurchasingWindows();
        startEngine();
    }
    void init()
    {
        resetProgramState();
        G.gCompanyName = "我的公司";
    }
    void cleanup()
    {
        setReversalHandler({});
        Clock::pin(QDateTime());
    }

    // Every document of the state, newest first, whatever the range; the totals row last.
    void opening_data() { addListRows(); }
    void opening()
    {
        QFETCH(int, list);
        TestDb t;
        const Three d = addThree(t, List(list));
        ScriptedPrompt p;
        std::unique_ptr<DocumentListWindow> w(openList(List(list)));
        w->show();
        const DocumentListModel *m = w->documentModel();
        const QString label = list == Returns ? "合计：" : "合计:";
        QCOMPARE(column(m, "单据编号"), (QStringList{"X-003", "X-002", "X-001", label}));
        QCOMPARE(m->text(3, kKinds[list].total), QString("60.75"));
        QCOMPARE(m->text(3, "ID"), QString());
        QVERIFY(m->isTotalsRow(3));
        QCOMPARE(w->currentID(), d.today.id);
        QCOMPARE(w->lineModel()->rowCount(), 1);
        QCOMPARE(w->lineModel()->text(0, "名称"), QString("乙"));
        QCOMPARE(w->documentGrid()->currentIndex().row(), 0);
        for (const char *key : {"ID", "流水号"}) {
            QVERIFY(w->documentGrid()->isColumnHidden(m->columnOf(key)));
            QVERIFY(w->lineGrid()->isColumnHidden(w->lineModel()->columnOf(key)));
        }
        // The range shows this month; it is not applied until a search.
        QCOMPARE(child<QDateEdit>(w.get(), "DateTimePicker1")->date(), QDate(2026, 3, 1));
        QCOMPARE(child<QDateEdit>(w.get(), "DateTimePicker2")->date(), QDate(2026, 3, 7));
        const bool reversible = list == Receipts || list == Returns;
        QCOMPARE(child<QToolButton>(w.get(), "SpeedButton5")->isVisible(), true);
        QCOMPARE(child<QToolButton>(w.get(), "SpeedButton5")->text(), QString(reversible ? "红字反冲" : "导出主表"));
        if (reversible) {
            QVERIFY(w->documentGrid()->isColumnHidden(m->columnOf("是否红冲")));
            QCOMPARE(child<QToolButton>(w.get(), "SpeedButton6")->text(), QString("导出主表"));
        }
        const QStringList prints{"入库单", "", "采购单", "采购退货单"};
        QCOMPARE(child<QToolButton>(w.get(), "SpeedButton3")->text(), prints[list]);
        QCOMPARE(child<QToolButton>(w.get(), "SpeedButton2")->text(), QString(reversible ? "" : "导出明细"));
        QVERIFY(!child<QToolButton>(w.get(), "SpeedButton1")->isVisible());
        QVERIFY(p.verifyDone());
    }

    // The list follows typing: the range (its last day whole), narrowed by the item's text; the
    // totals row sums what is listed. Texts are bound: quotes are text, % and _ wildcards.
    void search_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("sum");
        QTest::newRow("empty text: the range") << 1 << "" << QStringList{"X-003", "X-002"} << "50.75";
        QTest::newRow("by number") << 1 << "-003" << QStringList{"X-003"} << "30.25";
        QTest::newRow("show all ignores the text") << 0 << "nothing" << QStringList{"X-003", "X-002"} << "50.75";
        QTest::newRow("by supplier, any letter case") << 2 << "dw1" << QStringList{"X-003", "X-002"} << "50.75";
        QTest::newRow("by clerk") << 3 << "张" << QStringList{"X-003", "X-002"} << "50.75";
        QTest::newRow("_ is a wildcard") << 1 << "X_00" << QStringList{"X-003", "X-002"} << "50.75";
        QTest::newRow("% is a wildcard") << 1 << "X%2" << QStringList{"X-002"} << "20.5";
        QTest::newRow("a quote is text") << 1 << "'; delete from 采购入库单; --" << QStringList{} << "";
    }
    void search()
    {
        QFETCH(int, item);
        QFETCH(QString, text);
        QFETCH(QStringList, numbers);
        QFETCH(QString, sum);
        TestDb t;
        const Three d = addThree(t, Receipts);
        TfrmPuchList w;
        w.show();
        child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(item);
        child<QLineEdit>(&w, "EditContent")->setText(text);
        QTRY_VERIFY(!w.searchPending());
        if (text.isEmpty()) // no keystroke: 查询
            child<QToolButton>(&w, "SpeedButton4")->click();
        QCOMPARE(column(w.documentModel(), "单据编号"), numbers + QStringList{"合计:"});
        QCOMPARE(w.documentModel()->text(numbers.size(), "合计应付"), sum);
        QCOMPARE(w.currentID().isEmpty(), numbers.isEmpty());
        QCOMPARE(w.lineModel()->rowCount() == 0, numbers.isEmpty());
        QCOMPARE(t.scalar("select count(*) from 采购入库单").toInt(), 4);
    }

    // Choosing an item other than 显示全部 runs nothing; 显示全部 runs the range at once; 查询 and
    // Enter run the search.
    void searchItems()
    {
        TestDb t;
        addThree(t, Orders);
        TfrmAlPuchList w;
        w.show();
        auto *items = child<QComboBox>(&w, "ComboBox1");
        QCOMPARE(items->count(), 4);
        QCOMPARE(items->itemText(3), QString("按照负责人查询"));
        items->setCurrentIndex(1);
        QCOMPARE(w.documentModel()->documentRowCount(), 3);
        items->setCurrentIndex(0);
        QCOMPARE(w.documentModel()->documentRowCount(), 2);
        addDoc(t, Orders, "X-005", "2026-03-06", 1);
        child<QToolButton>(&w, "SpeedButton4")->click();
        QCOMPARE(w.documentModel()->documentRowCount(), 3);
        child<QDateEdit>(&w, "DateTimePicker1")->setDate(QDate(2026, 3, 6));
        QTest::keyClick(child<QLineEdit>(&w, "EditContent"), Qt::Key_Return);
        QCOMPARE(column(w.documentModel(), "单据编号"), (QStringList{"X-003", "X-005", "合计:"}));
    }

    // A click, Up or Down onto the totals row keeps the document; the wheel there leaves none.
    void selection()
    {
        TestDb t;
        const Three d = addThree(t, Returns);
        TfrmTuiList w;
        w.show();
        QTableView *grid = w.documentGrid();
        click(w, 1);
        QCOMPARE(w.currentID(), d.march.id);
        QCOMPARE(w.lineModel()->rowCount(), 2);
        click(w, 3);
        QCOMPARE(w.currentID(), d.march.id);
        click(w, 1);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->currentIndex().row(), 2);
        QCOMPARE(w.currentID(), d.feb.id);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->currentIndex().row(), 3);
        QCOMPARE(w.currentID(), d.feb.id);
        QCOMPARE(w.lineModel()->rowCount(), 1);
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(w.currentID(), d.feb.id);
        wheel(grid, 1);
        QCOMPARE(grid->currentIndex().row(), 3);
        QCOMPARE(w.currentID(), QString());
        QCOMPARE(w.lineModel()->rowCount(), 0);
        wheel(grid, -1);
        QCOMPARE(w.currentID(), d.feb.id);
        wheel(grid, -1);
        QCOMPARE(w.currentID(), d.march.id);
        // The wheel over the lines moves the current line only.
        wheel(w.lineGrid(), 1);
        QCOMPARE(w.lineGrid()->currentIndex().row(), 0);
        wheel(w.lineGrid(), 1);
        QCOMPARE(w.lineGrid()->currentIndex().row(), 1);
        QCOMPARE(w.currentID(), d.march.id);
        // Page keys move the cursor, not the document.
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(w.currentID(), d.march.id);
    }

    // Delete needs flag 51 and a document row; only the header goes; the list then shows every
    // document again with the first current.
    void deleteDocument_data() { addListRows(); }
    void deleteDocument()
    {
        QFETCH(int, list);
        const Kind &k = kKinds[list];
        TestDb t;
        const Three d = addThree(t, List(list));
        ScriptedPrompt p;
        {
            std::unique_ptr<DocumentListWindow> w(openList(List(list)));
            w->show();
            w->deleteCurrent();
            QCOMPARE(t.scalar(QString("select count(*) from %1").arg(k.table)).toInt(), 4);
        }
        G.gPrivileges[50] = "True";
        std::unique_ptr<DocumentListWindow> w(openList(List(list)));
        w->show();
        QVERIFY(child<QToolButton>(w.get(), "SpeedButton1")->isVisible());
        child<QComboBox>(w.get(), "ComboBox1")->setCurrentIndex(1);
        child<QLineEdit>(w.get(), "EditContent")->setText("X-002");
        w->search();
        QCOMPARE(w->documentModel()->documentRowCount(), 1);
        QCOMPARE(w->currentID(), d.march.id);
        w->documentKey(1); // the totals row: nothing to delete
        w->deleteCurrent();
        w->documentKey(-1);
        p.expectMessage("您确实要删除吗?", QMessageBox::No, "系统提示");
        w->deleteCurrent();
        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w->deleteCurrent();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar(QString("select count(*) from %1 where ID = ?").arg(k.table), {d.march.id}).toInt(), 0);
        QCOMPARE(t.scalar(QString("select count(*) from %1 where ID = ?").arg(k.lineTable), {d.march.id}).toInt(), 2);
        QCOMPARE(column(w->documentModel(), "单据编号").mid(0, 2), (QStringList{"X-003", "X-001"}));
        QCOMPARE(w->currentID(), d.today.id);
        QCOMPARE(w->documentGrid()->currentIndex().row(), 0);
    }

    // 红字反冲 reads the flag as stored when pressed; a reversed document is refused with the
    // list's text; else the reversal gets the document, or, without one, the operator is told.
    void reversal_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("kind");
        QTest::newRow("采购入库单") << int(Receipts) << "此项采购单据已经红字反冲操作被取消" << 1;
        QTest::newRow("采购退货单") << int(Returns) << "此项退货单据已经红字反冲操作被取消" << 2;
    }
    void reversal()
    {
        QFETCH(int, list);
        QFETCH(QString, refusal);
        QFETCH(int, kind);
        const Kind &k = kKinds[list];
        TestDb t;
        const Three d = addThree(t, List(list));
        t.exec(QString("update %1 set 是否红冲 = ? where ID = ?").arg(k.table), {true, d.feb.id});
        ScriptedPrompt p;
        std::unique_ptr<DocumentListWindow> w(openList(List(list)));
        w->show();
        QVERIFY(w->documentModel()->isRed(2));
        QVERIFY(!w->documentModel()->isRed(0));
        QCOMPARE(w->documentModel()->data(w->documentModel()->index(2, 3), Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(Qt::red));
        p.expectMessage("红字反冲功能尚未提供");
        w->reverseCurrent();
        // Reversed by another client since the list was read.
        t.exec(QString("update %1 set 是否红冲 = ? where ID = ?").arg(k.table), {true, d.today.id});
        p.expectMessage(refusal);
        w->reverseCurrent();
        click(*w, 1);
        QList<ReversalRequest> asked;
        setReversalHandler([&](QWidget *, const ReversalRequest &r) { asked << r; });
        w->reverseCurrent();
        QVERIFY(p.verifyDone());
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].kind, kind);
        QCOMPARE(asked[0].docID, d.march.id);
        QCOMPARE(asked[0].rowNo, d.march.rowNo);
        QCOMPARE(asked[0].remark, QString("备注X-002"));
        QCOMPARE(G.gReverseKind, kind);
        QCOMPARE(G.gDocID, d.march.id);
        QCOMPARE(G.gRepFit.RowNo, QString::number(d.march.rowNo));
        QCOMPARE(G.gReverseRemark, QString("备注X-002"));
        // The list is read again: the other client's reversal shows.
        QVERIFY(w->documentModel()->isRed(0));
        QCOMPARE(w->currentID(), d.march.id);
        // Nothing on the totals row.
        w->documentKey(2);
        w->reverseCurrent();
        QCOMPARE(asked.size(), 1);
    }

    void noReversalForOrdersAndBills()
    {
        TestDb t;
        addThree(t, Bills);
        ScriptedPrompt p;
        TfrmALPuch w;
        w.show();
        setReversalHandler([](QWidget *, const ReversalRequest &) { QFAIL("no reversal"); });
        w.reverseCurrent();
        QVERIFY(!w.documentModel()->isRed(0));
        QVERIFY(p.verifyDone());
    }

    // Both exports: the shown columns, column 1 as text, the widths; the list's totals row last
    // (and the grid's cursor on it, so a second export does nothing); the lines' count row.
    void exports_data() { addListRows(); }
    void exports()
    {
        QFETCH(int, list);
        TestDb t;
        addThree(t, List(list));
        QTemporaryDir dir;
        ExcelExport::setOutputFolder(dir.path());
        ScriptedPrompt p;
        std::unique_ptr<DocumentListWindow> w(openList(List(list)));
        w->show();
        click(*w, 1);
        // The workbook each export writes, read back (and set aside, so the next is told apart).
        auto exported = [&](auto press) {
            p.expectMessage("确认导出excel表吗？", QMessageBox::Ok, "提示");
            p.expectMessage("数据导出完成!", QMessageBox::Ok, "提示");
            p.expectExternal();
            press();
            const QStringList files = QDir(dir.path()).entryList({"*.xlsx"}, QDir::Files);
            if (files.size() != 1)
                qWarning("%lld workbooks", qlonglong(files.size()));
            const QString path = dir.filePath(files.value(0));
            QFile::rename(path, path + ".read");
            return Sheet(path + ".read");
        };
        const Sheet sheet = exported([&] { w->exportList(); });
        const QStringList headers[] = {
            {"单据编号", "开单日期", "开单人", "供应商", "合计应付", "实际付款", "挂账金额", "备注", "送货员", "验收员",
             "收货员", "复核员", "原始编号"},
            {"单据编号", "日期", "负责人", "供应商", "金额合计", "备注"},
            {"单据编号", "日期", "负责人", "供应商", "金额合计", "备注"},
            {"单据编号", "日期", "经办人", "供应商", "合计应收", "实际收款", "挂账金额", "备注", "发货员", "复核员",
             "送货员"}};
        for (int c = 0; c < headers[list].size(); ++c)
            QCOMPARE(sheet.cells.value(QString(QChar('A' + c)) + "1").value, headers[list][c]);
        QVERIFY(!sheet.cells.contains(QString(QChar(char16_t('A' + headers[list].size()))) + "1"));
        QCOMPARE(sheet.cells.value("A2").value, QString("X-003"));
        QVERIFY(sheet.textFormatted("A2"));
        QCOMPARE(sheet.cells.value("A5").value, QString(list == Returns ? "合计：" : "合计:"));
        QCOMPARE(sheet.cells.value("E5").value.toDouble(), 60.75);
        QVERIFY(!sheet.cells.contains("A6"));
        const int wide = list == Orders || list == Bills ? 6 : 8;
        // The workbook stores a width with the spreadsheet's cell padding added.
        for (int c : {1, 2, 4})
            QVERIFY(qAbs(sheet.widths.value(c) - 15.0) < 1);
        QVERIFY(qAbs(sheet.widths.value(wide) - 20.0) < 1);
        QVERIFY(!sheet.widths.contains(3));
        // The cursor went to the totals row; the document and its lines stayed.
        QCOMPARE(w->documentGrid()->currentIndex().row(), 3);
        QCOMPARE(w->lineModel()->rowCount(), 2);
        w->exportList();

        const Sheet lines = exported([&] { w->exportLines(); });
        QCOMPARE(lines.cells.value("A1").value, QString("编号"));
        QCOMPARE(lines.cells.value("B3").value, QString("乙"));
        QCOMPARE(lines.cells.value("A4").value, QString("满足条件记录的总数为：2条"));
        QVERIFY(!lines.cells.contains("A5"));
        QCOMPARE(w->lineGrid()->currentIndex().row(), 1);
        QVERIFY(p.verifyDone());
        ExcelExport::setOutputFolder(QString());
    }

    // The print: the template, the bands before the lines, the header, amount and signature
    // slots, one data band per stored line; then the whole list again with the document current.
    void print_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<QString>("templ");
        QTest::addColumn<QStringList>("slotTexts"); // Memo1, Memo2, Memo5, Memo27, Memo28, Memo30
        QTest::addColumn<QStringList>("paid");  // Memo6, Memo8, Memo11
        QTest::addColumn<QStringList>("signedTexts"); // Memo28, Memo30 in signature mode
        QTest::newRow("采购入库单") << int(Receipts) << "tongyong2.frf"
                               << QStringList{"我的公司采购入库单", "供应商单位:", "2026-03-03", "20.5",
                                              "送货员:送货乙", "收货员:收货丁"}
                               << QStringList{"实付款:", "19.5", "1"} << QStringList{"送货员:", "收货员:"};
        QTest::newRow("采购订货单") << int(Orders) << "tongyong.frf"
                               << QStringList{"我的公司采购订单", "供应商单位:", "2026-03-03", "20.5",
                                              "开票员:003.王五", "申请人:002.李四"}
                               << QStringList{} << QStringList{"开票员", "申请人"};
        QTest::newRow("采购单") << int(Bills) << "tongyong.frf"
                             << QStringList{"我的公司采购单", "供应商单位:", "2026-03-03", "20.5", "开票员:003.王五",
                                            "申请人:002.李四"}
                             << QStringList{} << QStringList{"开票员:", "申请人:"};
        QTest::newRow("采购退货单") << int(Returns) << "tongyong2.frf"
                               << QStringList{"我的公司进货退货单", "退回单位:", "2026-03-03", "20.5", "负责人:张三",
                                              "复核员:复核甲"}
                               << QStringList{"实收款:", "19.5", "1"} << QStringList{"负责人:", "复核员:"};
    }
    void print()
    {
        QFETCH(int, list);
        QFETCH(QString, templ);
        QFETCH(QStringList, slotTexts);
        QFETCH(QStringList, paid);
        QFETCH(QStringList, signedTexts);
        TestDb t;
        const Three d = addThree(t, List(list));
        ScriptedPrompt p;
        std::unique_ptr<DocumentListWindow> w(openList(List(list)));
        w->show();
        child<QComboBox>(w.get(), "ComboBox1")->setCurrentIndex(1);
        child<QLineEdit>(w.get(), "EditContent")->setText("X-002");
        w->search();
        QCOMPARE(w->currentID(), d.march.id);
        w->printCurrent();
        const PrintRun &run = w->lastPrint();
        QVERIFY(run.printed);
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头3", "主项数据1", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands.value(0), (QStringList{"甲", "规格", "1", "2", "个", "3", "6"}));
        QCOMPARE(run.dataBands.value(1), (QStringList{"乙", "规格", "2", "4", "个", "2.5", "10"}));
        TfrReport &r = w->report();
        QCOMPARE(r.FileName.section('/', -1), templ);
        const char *named[] = {"Memo1", "Memo2", "Memo5", "Memo27", "Memo28", "Memo30"};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(printed(r, named[i]), QStringList{slotTexts[i]});
        QCOMPARE(printed(r, "Memo9"), QStringList{"X-002"});
        QCOMPARE(printed(r, "Memo3"), QStringList{"DW1.甲厂"});
        QCOMPARE(printed(r, "Memo7"), QStringList{"备注X-002"});
        QCOMPARE(printed(r, "Memo26"), QStringList{"6"});
        QCOMPARE(printed(r, "Memo25"), QStringList{"3"});
        if (!paid.isEmpty()) {
            QCOMPARE(printed(r, "Memo6"), QStringList{paid[0]});
            QCOMPARE(printed(r, "Memo8"), QStringList{paid[1]});
            QCOMPARE(printed(r, "Memo11"), QStringList{paid[2]});
        }
        QCOMPARE(printed(r, "Memo4"), QStringList{"本单据由系统打印"});
        // Every document listed again, the printed one current.
        QCOMPARE(w->documentModel()->documentRowCount(), 3);
        QCOMPARE(w->currentID(), d.march.id);
        QCOMPARE(w->documentGrid()->currentIndex().row(), 1);
        QCOMPARE(w->lineModel()->rowCount(), 2);

        G.gPrintSignature = 1;
        w->printCurrent();
        QCOMPARE(printed(w->report(), "Memo28"), QStringList{signedTexts[0]});
        QCOMPARE(printed(w->report(), "Memo30"), QStringList{signedTexts[1]});
        // Nothing on the totals row.
        w->documentKey(2);
        G.gPrintSignature = 0;
        w->printCurrent();
        QCOMPARE(printed(w->report(), "Memo28"), QStringList{signedTexts[0]});
        QVERIFY(p.verifyDone());
    }

    // The menu entries open the lists.
    void menuEntries()
    {
        TestDb t;
        const QList<QPair<QString, QString>> entries{
            {"WindowArrangeItem", "采购订货单"}, {"N15", "采购单"}, {"N16", "采购入库单"}, {"N17", "采购退货单"}};
        for (const auto &[item, caption] : entries) {
            const MenuHandler open = menuHandler(item);
            QVERIFY(open);
            open();
        }
        QCOMPARE(frmAlPuchList->windowTitle(), QString("采购订货单"));
        QCOMPARE(frmALPuch->windowTitle(), QString("采购单"));
        QCOMPARE(frmPuchList->windowTitle(), QString("采购入库单"));
        QCOMPARE(frmTuiList->windowTitle(), QString("采购退货单"));
        delete frmAlPuchList.data();
        delete frmALPuch.data();
        delete frmPuchList.data();
        delete frmTuiList.data();
    }
};

ORV_DB_TEST_MAIN(TestPurchaseLists)
#include "tst_db_purchaselists.moc"
