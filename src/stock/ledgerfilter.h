#pragma once
// What narrows the in/out ledgers: the period of voucher dates, the goods text of their top
// strip, and the conditions composed in the filter dialog. Each becomes an SQL condition with
// placeholders and the values to bind in order; no typed text is ever joined into a statement.
#include "goods/goodslist.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace orv {

// A condition with its bound values; empty: no condition.
using SqlCondition = GoodsCondition;

// 出入库单.制单日期 from `from` to `to`, both days whole: dates are stored "yyyy-MM-dd" (some with
// a time after them), so the end is bound as the day after `to`, exclusive.
SqlCondition periodCondition(const QDate &from, const QDate &to);

// "column like '%text%'" as containsCondition() makes it, with % and _ in the text taken as plain
// characters.
SqlCondition containsLiteral(const QString &column, const QString &text, bool postgres);

// The goods field of the ledgers' top strip, in order.
const QStringList &ledgerGoodsItems(); // 货品编号, 货品名称, 货品仓位, 显示全部
constexpr int kLedgerShowAll = 3;
// The goods field chosen and the text typed.
struct LedgerGoods {
    int item = kLedgerShowAll;
    QString text;
};

// The goods text's condition on 出入库明细 (column prefix `table`, "出入库明细" or an alias); empty
// for 显示全部 or an empty text.
SqlCondition ledgerGoodsCondition(int item, const QString &text, bool postgres,
                                  const QString &table = QStringLiteral("出入库明细"));

// The filter dialog: conditions joined, each to the one before it, by 并且 (and), 或者 (or) or
// 排除 (and not). The first is always positive whatever connective it was given.
enum class Connective { And, Or, Exclude };
enum class ConditionOp { Equals, Contains };

struct LedgerCondition {
    Connective connective = Connective::And;
    int field = 0; // index into conditionFields()
    ConditionOp op = ConditionOp::Equals;
    QString value; // as typed; empty allowed
};

// Connectives and operators are the goods filter's (GoodsFilter::connectors(), operators()).
const QStringList &conditionFields(); // 单据编号 … 相关部门 (11)
// The column a field tests (出入库单.引用单号, …, 出入库明细.编号, …).
QString conditionColumn(int field);

class ConditionList {
public:
    void add(const LedgerCondition &c);
    void clear() { m_items.clear(); }
    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.isEmpty(); }
    const QList<LedgerCondition> &items() const { return m_items; }
    // The text the dialog lists for condition i.
    QString entryText(int i) const;
    // "(c1 and c2 or c3 and not-c4)": the conditions flat, in the order listed, so the
    // database's precedence (and before or) decides as it always did. Empty when none.
    SqlCondition sql(bool postgres) const;

private:
    QList<LedgerCondition> m_items;
};

// Conditions joined by " and " (empty parts skipped).
SqlCondition allOf(const QList<SqlCondition> &parts);

} // namespace orv
