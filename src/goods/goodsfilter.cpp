#include "goods/goodsfilter.h"

namespace orv {

const QStringList &GoodsFilter::connectors()
{
    static const QStringList c{"并且", "或者", "排除"};
    return c;
}

const QStringList &GoodsFilter::fields()
{
    static const QStringList f{"编号", "名称", "仓位", "助记码", "规格", "类别", "供应商"};
    return f;
}

const QStringList &GoodsFilter::operators()
{
    static const QStringList o{"等于(=)", "包含(like)"};
    return o;
}

GoodsCondition filterTerm(const QString &column, bool like, bool negate, const QString &value, bool postgres)
{
    if (!like)
        return {column + (negate ? " <> ?" : " = ?"), {value}};
    const QString likeWord = postgres ? "ilike" : "like";
    return {column + (negate ? " not " + likeWord + " ?" : " " + likeWord + " ?"), {'%' + value + '%'}};
}

QString filterLine(bool first, const QString &connector, const QString &field, const QString &op,
                   const QString &value)
{
    return (first ? QString(7, ' ') : connector + "   ") + field + "  " + op + "   " + value;
}

QString GoodsFilter::add(const QString &connector, const QString &field, const QString &op, const QString &value,
                         bool postgres)
{
    // Columns come from the fixed field list, values are bound.
    const QString column = fields().contains(field) ? "货品目录." + field : QStringLiteral("货品目录.名称");
    const bool first = m_terms == 0;
    const GoodsCondition term =
        filterTerm(column, op == operators().at(1), !first && connector == connectors().at(2), value, postgres);
    if (first) {
        m_condition = term;
    } else {
        m_condition.sql += (connector == connectors().at(1) ? " or " : " and ") + term.sql;
        m_condition.binds += term.binds;
    }
    ++m_terms;
    return filterLine(first, connector, field, op, value);
}

void GoodsFilter::removeLine()
{
    if (m_terms > 0)
        --m_terms;
}

GoodsFilter &goodsFilter()
{
    static GoodsFilter f;
    return f;
}

} // namespace orv
