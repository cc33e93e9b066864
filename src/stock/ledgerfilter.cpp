#include "stock/ledgerfilter.h"
#include "goods/goodsfilter.h"

namespace orv {

SqlCondition periodCondition(const QDate &from, const QDate &to)
{
    return {QStringLiteral("出入库单.制单日期 >= ? and 出入库单.制单日期 < ?"),
            {from.toString(Qt::ISODate), to.addDays(1).toString(Qt::ISODate)}};
}

SqlCondition containsLiteral(const QString &column, const QString &text, bool postgres)
{
    QString plain = text;
    plain.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    plain.replace(QLatin1Char('%'), QLatin1String("\\%"));
    plain.replace(QLatin1Char('_'), QLatin1String("\\_"));
    SqlCondition c = containsCondition(column, plain, postgres);
    c.sql += QLatin1String(" escape '\\'");
    return c;
}

const QStringList &ledgerGoodsItems()
{
    static const QStringList items{"货品编号", "货品名称", "货品仓位", "显示全部"};
    return items;
}

SqlCondition ledgerGoodsCondition(int item, const QString &text, bool postgres, const QString &table)
{
    static const char *const columns[] = {"编号", "名称", "仓位"};
    if (text.isEmpty() || item < 0 || item >= kLedgerShowAll)
        return {};
    return containsCondition(table + QLatin1Char('.') + QString::fromUtf8(columns[item]), text, postgres);
}

namespace {
struct FieldColumn {
    const char *item;
    const char *column;
};
const FieldColumn kFields[] = {
    {"单据编号", "出入库单.引用单号"},   {"制单人", "出入库单.制单人"},       {"原因", "出入库单.原因"},
    {"单据类别", "出入库单.引用类别"},   {"相关单位", "出入库单.相关单位"},   {"单位编号", "出入库单.单位编号"},
    {"货品编号", "出入库明细.编号"},     {"货品名称", "出入库明细.名称"},     {"货品仓位", "出入库明细.仓位"},
    {"货品类别", "出入库明细.类别"},     {"相关部门", "出入库单.相关部门"},
};
} // namespace

const QStringList &conditionFields()
{
    static const QStringList items = [] {
        QStringList l;
        for (const FieldColumn &f : kFields)
            l << QString::fromUtf8(f.item);
        return l;
    }();
    return items;
}

QString conditionColumn(int field)
{
    if (field < 0 || field >= int(std::size(kFields)))
        return QString();
    return QString::fromUtf8(kFields[field].column);
}

void ConditionList::add(const LedgerCondition &c)
{
    LedgerCondition kept = c;
    if (m_items.isEmpty())
        kept.connective = Connective::And;
    m_items << kept;
}

QString ConditionList::entryText(int i) const
{
    const LedgerCondition &c = m_items.at(i);
    return filterLine(i == 0, GoodsFilter::connectors().value(int(c.connective)), conditionFields().value(c.field),
                      GoodsFilter::operators().value(int(c.op)), c.value);
}

SqlCondition ConditionList::sql(bool postgres) const
{
    if (m_items.isEmpty())
        return {};
    SqlCondition w;
    for (int i = 0; i < m_items.size(); ++i) {
        const LedgerCondition &c = m_items.at(i);
        if (i > 0)
            w.sql += c.connective == Connective::Or ? QLatin1String(" or ") : QLatin1String(" and ");
        const SqlCondition term = filterTerm(conditionColumn(c.field), c.op == ConditionOp::Contains,
                                             i > 0 && c.connective == Connective::Exclude, c.value, postgres);
        w.sql += term.sql;
        w.binds += term.binds;
    }
    w.sql = QLatin1Char('(') + w.sql + QLatin1Char(')');
    return w;
}

SqlCondition allOf(const QList<SqlCondition> &parts)
{
    SqlCondition all;
    for (const SqlCondition &p : parts) {
        if (p.isEmpty())
            continue;
        if (!all.sql.isEmpty())
            all.sql += QLatin1String(" and ");
        all.sql += p.sql;
        all.binds += p.binds;
    }
    return all;
}

} // namespace orv
