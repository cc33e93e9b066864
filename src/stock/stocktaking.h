#pragma once
// Stock taking without widgets. A count typed for a goods row is kept in 货品目录.盘点库存 (the
// empty text: not counted) until a posting turns it into stock or an initialisation clears it.
//
// The scope is the category chosen in the window's tree: every goods row for the root, else the
// rows whose 类别 contains the category's name (listing, initialisation and posting alike).
//
// A posting is one transaction: the counted rows of the scope are read once, locked in the fixed
// (编号, 仓位, 名称) order, and checked (whole counts only) before anything is written; then, in
// 流水号 order, each row's stock becomes its count (库存 := C, 辅助库存 := C / 换算比率, count
// cleared), with a line of the bill 盘点明细 and a line of the "PD-" voucher; then the bill
// 盘点单 and the voucher header, each numbered as it is written. The voucher names the bill by
// the number the bill was given.
#include "ledger/ledger.h"
#include "stock/ledgerfilter.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace orv {

struct TakeScope {
    QString category; // empty: every goods row
};
// "类别 like ?" (the name's % and _ taken literally); empty for every row.
SqlCondition takeScopeCondition(const TakeScope &scope, bool postgres);

// The window's search items, in order, and the condition of a search (empty: every row).
const QStringList &takeSearchItems();
SqlCondition takeSearchCondition(int item, const QString &text, bool postgres);
// The goods rows a listing shows, in the grid's column order: 流水号, 编号, 名称, 规格, 仓位, 单位,
// 库存, 实盘数量 (the count), 进货价.
QString takeListSql(const SqlCondition &where);

// A count the posting accepts: a whole number (digits only).
bool wholeCount(const QString &count);

struct TakeCheck {
    int counted = 0;    // counted rows of the scope
    QString badGoodsNo; // 编号 of the first (by 流水号) whose count is not whole
    bool bad = false;
};

struct TakeResult {
    enum Status { Posted, NothingCounted, BadCount } status = NothingCounted;
    QString badGoodsNo;
    QString billNo, billID, voucherNo, voucherID;
    double qty = 0, amount = 0; // 盈亏数量, 盈亏金额
    int rows = 0;
};

class StockTaking {
public:
    explicit StockTaking(Connection &c);
    ~StockTaking();

    // A count typed into the grid ('' clears it); throws DbError.
    void storeCount(qint64 rowNo, const QString &count);
    // 盘点初始化: the counts of the scope cleared; returns the rows touched.
    int clearCounts(const TakeScope &scope);
    TakeCheck check(const TakeScope &scope);
    // Throws DbError (nothing written).
    TakeResult post(const TakeScope &scope, const QString &clerk);

    static QString badCountText(const QString &goodsNo);
    static QString doneText(double qty, double amount);

private:
    struct BillLines;
    Connection &m_conn;
    Ledger m_ledger;
    std::unique_ptr<BillLines> m_billLines;
    Statement m_storeCount;
};

inline const QString kNothingCounted = QStringLiteral("请输入实际盘点数量");
inline const QString kTakeQuestion = QStringLiteral("将根据盘点库存调整为当前库存,确实要继续吗?");
inline const QString kCountWithPoint = QStringLiteral("货品实盘数量有问题");

} // namespace orv
