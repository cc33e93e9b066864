#pragma once
// The goods filter's condition builder: simple terms joined with 并且 (and), 或者 (or) and
// 排除 (and not), evaluated by the database's precedence (AND before OR, no parentheses).
// The condition belongs to the program run: it outlives the dialog and is found again at the
// next opening; each opening counts its own terms, and its first term starts a new condition.
#include "goods/goodslist.h"

#include <QString>
#include <QStringList>

namespace orv {

class GoodsFilter {
public:
    static const QStringList &connectors(); // 并且, 或者, 排除
    static const QStringList &fields();     // 编号, 名称, 仓位, 助记码, 规格, 类别, 供应商
    static const QStringList &operators();  // 等于(=), 包含(like)

    // A new opening: no term counted yet (the condition stays).
    void startOpening() { m_terms = 0; }
    int termCount() const { return m_terms; }

    // Adds a term; returns the line the term list shows. The connector of an opening's first
    // term is ignored: that term replaces the condition.
    QString add(const QString &connector, const QString &field, const QString &op, const QString &value,
                bool postgres);
    // 清空条件 removes a line: the count drops, the condition stays for the next search.
    void removeLine();

    const GoodsCondition &condition() const { return m_condition; }
    bool isEmpty() const { return m_condition.isEmpty(); }
    void reset() { *this = GoodsFilter(); }

private:
    GoodsCondition m_condition;
    int m_terms = 0;
};

// One term of a composed condition on `column`: "= ?" or "<> ?" (negated), or "like ?" or
// "not like ?" with '%value%' bound (case-insensitive on both databases).
GoodsCondition filterTerm(const QString &column, bool like, bool negate, const QString &value, bool postgres);
// The line a term list shows for a term: the first indented, a later one after its connector.
QString filterLine(bool first, const QString &connector, const QString &field, const QString &op,
                   const QString &value);

// The one filter of the program run.
GoodsFilter &goodsFilter();

} // namespace orv
