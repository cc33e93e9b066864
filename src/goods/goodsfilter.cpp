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

QString GoodsFilter::add(const QString &connector, const QString &field, const QString &op, const QString &value,
                         bool postgres)
{
    // Columns come from the fixed field list, values are bound.
    const QString column = fields().contains(field) ? "货品目录." + field : QStringLiteral("货品目录.名称");
    const bool like = op == operators().at(1);
    const bool negate = m_terms > 0 && connector == connectors().at(2);
    const QString likeWord = postgres ? "ilike" : "like";
    QString term;
    if (like)
        term = column + (negate ? " not " + likeWord + " ?" : " " + likeWord + " ?");
    else
        term = column + (negate ? " <> ?" : " = ?");
    const QVariant bound = like ? QVariant('%' + value + '%') : QVariant(value);
    QString line;
    if (m_terms == 0) {
        m_condition = {term, {bound}};
        line = QString(7, ' ') + field + "  " + op + "   " + value;
    } else {
        m_condition.sql += (connector == connectors().at(1) ? " or " : " and ") + term;
        m_condition.binds << bound;
        line = connector + "   " + field + "  " + op + "   " + value;
    }
    ++m_terms;
    return line;
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
