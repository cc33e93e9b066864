#pragma once
// Shared pieces of the document tests: the tables, goods rows and suppliers made by hand, grid
// lines handed over as the goods picker hands them, the report engine without printers, and
// what a print put on its prepared pages.
#include "testdb.h"

#include "app/appglobals.h"
#include "common/clock.h"
#include "goods/goodslines.h"
#include "goods/goodsschema.h"
#include "partners/partnersschema.h"
#include "documents/documentprint.h"
#include "purchasing/purchaseorders.h"
#include "purchasing/purchasingschema.h"
#include "report/engine/frglobals.h"
#include "report/engine/frmemo.h"
#include "report/engine/frprepared.h"
#include "report/engine/frprinter.h"
#include "report/engine/frreport.h"
#include "report/engine/frview.h"
#include "warehouse/warehouseschema.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMap>
#include <QtTest>

// Checks inside a modal driver, which returns the dialog's result.
#define MCOMPARE(a, b)                                                                                  \
    if (!QTest::qCompare(a, b, #a, #b, __FILE__, __LINE__))                                             \
        return int(QDialog::Rejected);
#define MVERIFY(c)                                                                                      \
    if (!QTest::qVerify(static_cast<bool>(c), #c, "", __FILE__, __LINE__))                             \
        return int(QDialog::Rejected);

namespace documenttest {

// The tables the document windows read and write.
inline void registerTables()
{
    orv::registerGoodsSchema();
    orv::registerPartnersSchema();
    orv::registerPurchasingSchema();
    orv::registerWarehouseSchema();
}

// The engine as a test needs it: no printer, the global objects made; no preview is installed,
// so a print builds its pages and shows nothing.
inline void startEngine()
{
    InitReportPrinter(std::make_unique<TfrNoPrinters>());
    frEnsureGlobals();
}

// A goods row with the given columns (column name -> value); returns its 流水号.
inline qint64 addGoods(orv::test::TestDb &t, const QMap<QString, QVariant> &columns)
{
    QStringList names, marks;
    QVariantList values;
    for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
        names << it.key();
        marks << "?";
        values << it.value();
    }
    t.exec("insert into 货品目录(" + names.join(',') + ") values(" + marks.join(',') + ")", values);
    return t.scalar("select max(流水号) from 货品目录").toLongLong();
}

inline void addSupplier(orv::test::TestDb &t, const QString &id, const QString &name)
{
    t.exec("insert into 往来单位(ID, 单位名称, 采购供应商) values(?, ?, ?)", {id, name, true});
}

// A line as the goods picker hands it over: gRepFit filled, TargetRow raised.
struct Line {
    QString no, name, place, qty, price, auxQty = QStringLiteral("0"), ratio = QStringLiteral("1");
    QString unit = QStringLiteral("个"), auxUnit = QStringLiteral("箱"), spec = QStringLiteral("规格");
};
// The lines most tests use.
inline const Line kA{"A", "甲", "一号库", "2", "3", "1"};
inline const Line kB{"B", "乙", "一号库", "4", "2.5", "2"};

// The moment the tests run at (2026-03-07 10:00 in China).
inline const QDateTime kAt(QDate(2026, 3, 7), QTime(2, 0), Qt::UTC);

// Each test starts from fresh program state at kAt.
inline void resetProgramState()
{
    orv::G = orv::AppGlobals{};
    orv::G.gFooterBanner = "本单据由系统打印";
    orv::Clock::pin(kAt);
}

inline void stage(const Line &l)
{
    orv::repairFit &f = orv::G.gRepFit;
    f.GoodsNo = l.no;
    f.GoodsName = l.name;
    f.Place = l.place;
    f.Spec = l.spec;
    f.Unit = l.unit;
    f.AuxUnit = l.auxUnit;
    f.AuxQty = l.auxQty;
    f.Qty = l.qty;
    f.Price = l.price;
    const auto q = orv::parseNumber(l.qty), p = orv::parseNumber(l.price);
    f.Amount = q && p ? orv::generalNumber(*q * *p) : QString();
    f.Ratio = l.ratio;
    f.GoodsID = "GID-" + l.no;
    f.Barcode = "690" + l.no;
    f.Supplier = QStringLiteral("DW9.货品的供应商");
    f.Category = QStringLiteral("五金");
    f.TargetRow += 1;
}
// Puts lines straight into a grid, as a window's WM_FIT_CHOSEN would.
inline void fill(orv::GoodsLineGrid &grid, const QList<Line> &lines)
{
    for (const Line &l : lines) {
        stage(l);
        grid.take(orv::G.gRepFit);
    }
}

// An approved purchase bill as the audit writes it.
inline QString addBill(orv::test::TestDb &t, const QString &supplier, const QList<Line> &lines)
{
    orv::GoodsLineGrid grid;
    orv::G.gRepFit.TargetRow = 0;
    fill(grid, lines);
    orv::PurchaseOrders orders(t.conn());
    orv::OrderHeader h;
    h.date = "2026-03-01";
    h.supplier = supplier;
    h.manager = "张三";
    const auto saved = orders.save(h, orv::savedLines(grid));
    orders.pass(saved.id, {QString(), "审核", "张三", supplier, "", "2026-03-02"});
    orv::G.gRepFit.TargetRow = 0;
    return saved.id;
}

// The control that has a window's focus, by name; an editable drop-down's own line edit counts as
// the drop-down.
inline QString focusName(QWidget *window)
{
    QWidget *f = window->focusWidget();
    if (qobject_cast<QLineEdit *>(f) && qobject_cast<QComboBox *>(f->parentWidget()))
        f = f->parentWidget();
    return f ? f->objectName() : QString();
}

// A picker as a key opened it: its class and the mode the opener set ("TfrmYuanGongMuLu 4").
inline QString pickerOpened(QDialog *d)
{
    const QString cls = QString::fromLatin1(d->metaObject()->className()).section("::", -1);
    const QMap<QString, int> modes{{"TfrmYuanGongMuLu", orv::G.gStaffMode},
                                   {"TfrmChooseGYS", orv::G.gGysMode},
                                   {"TfrmDuty", orv::G.gDutyMode},
                                   {"TfrmSelectFit", orv::G.gFitCaller}};
    return modes.contains(cls) ? cls + ' ' + QString::number(modes[cls]) : cls;
}

// The texts of the named objects on a report's prepared pages, pages in order.
inline QStringList printed(TfrReport &r, const QString &name)
{
    QStringList out;
    for (int p = 0; p < r.EMFPages().Count(); ++p) {
        r.EMFPages().ObjectsToPage(p);
        for (TfrView *v : r.EMFPages()[p]->Page->Objects) {
            if (v->Name == name)
                out << v->Memo.join("\n").remove(frParagraphMark);
        }
    }
    return out;
}

} // namespace documenttest

Q_DECLARE_METATYPE(documenttest::Line)
