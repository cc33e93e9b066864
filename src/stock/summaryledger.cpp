#include "stock/summaryledger.h"
#include "data/dbconnection.h"
#include "goods/goodslines.h"

#include <QSqlQuery>

namespace orv {

namespace {
// l: the lines of the period's unreversed vouchers, with what each counts as and whether the
// condition holds for it; k: per goods row as listed; s: per goods item. The first and last
// line of an item are found by their 流水号 and read once.
const char *const kSummary =
    "with l as (select 出入库明细.流水号 as lid, 出入库明细.编号 as 编号, 出入库明细.名称 as 名称, "
    "出入库明细.仓位 as 仓位, 出入库明细.规格 as 规格, 出入库明细.单位 as 单位, 出入库明细.数量 as 数量, "
    "出入库明细.金额 as 金额, "
    "case when 出入库明细.类型 in ('入库', '相同') and 出入库单.单据类别 in ('入库', '盘点') then 1 else 0 end as rin, "
    "case when 出入库明细.类型 in ('出库', '相同') and 出入库单.单据类别 in ('出库', '盘点') then 1 else 0 end as rout, "
    "%1 as w "
    "from 出入库明细 join 出入库单 on 出入库单.ID = 出入库明细.ID "
    "where %2 and 出入库单.是否红冲 = false), "
    "k as (select 编号, 名称, 仓位, 规格, 单位, max(w) as listed, min(lid) as f, max(lid) as t, "
    "sum(case when w = 1 and rin = 1 then 数量 end) as qin, sum(case when w = 1 and rin = 1 then 金额 end) as ain, "
    "sum(case when w = 1 and rout = 1 then 数量 end) as qout, sum(case when w = 1 and rout = 1 then 金额 end) as aout "
    "from l group by 编号, 名称, 仓位, 规格, 单位), "
    "s as (select 编号, 名称, 仓位, min(f) as f, max(t) as t, sum(qin) as qin, sum(ain) as ain, "
    "sum(qout) as qout, sum(aout) as aout from k group by 编号, 名称, 仓位) "
    "select k.编号, k.名称, k.规格, k.单位, k.仓位, fl.原有库存数量, s.qin, s.ain, s.qout, s.aout, tl.结存 "
    "from k left join s on s.编号 = k.编号 and s.名称 = k.名称 and s.仓位 = k.仓位 "
    "left join 出入库明细 fl on fl.流水号 = s.f left join 出入库明细 tl on tl.流水号 = s.t "
    "where k.listed = 1%3 order by k.编号, k.名称, k.仓位, k.规格, k.单位";

QString figure(const QVariant &v)
{
    return v.isNull() ? QStringLiteral("0") : generalNumber(v.toDouble());
}
} // namespace

SqlCondition summaryStatement(const SummaryQuery &q, bool postgres)
{
    SqlCondition st;
    const SqlCondition period = periodCondition(q.from, q.to);
    QString w = QStringLiteral("1");
    if (!q.condition.isEmpty()) {
        w = "case when " + q.condition.sql + " then 1 else 0 end";
        st.binds += q.condition.binds;
    }
    st.binds += period.binds;
    QString goods;
    const SqlCondition goodsText = ledgerGoodsCondition(q.goods.item, q.goods.text, postgres, QStringLiteral("k"));
    if (!goodsText.isEmpty()) {
        goods = " and " + goodsText.sql;
        st.binds += goodsText.binds;
    }
    st.sql = QString::fromUtf8(kSummary).arg(w, period.sql, goods);
    return st;
}

SummaryLedgerModel::SummaryLedgerModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_totals = QStringList(ColumnCount, QString());
    m_totals[No] = totalsLabel();
    for (int c = Before; c <= After; ++c)
        m_totals[c] = QStringLiteral("0");
}

const QStringList &SummaryLedgerModel::columnTitles()
{
    static const QStringList titles{"编号", "名称", "规格", "单位", "仓位", "数量",
                                    "数量", "金额", "数量", "金额", "数量"};
    return titles;
}

const QStringList &SummaryLedgerModel::exportHeaders()
{
    static const QStringList headers{"编号",     "名称",     "规格",     "单位",     "仓位",    "上期结存",
                                     "入库数量", "入库金额", "出库数量", "出库金额", "期末结存"};
    return headers;
}

const QString &SummaryLedgerModel::totalsLabel()
{
    static const QString label = QString(7, QLatin1Char(' ')) + QStringLiteral("合计:") + QString(9, QLatin1Char(' '));
    return label;
}

void SummaryLedgerModel::compute(Connection &c, const SummaryQuery &q)
{
    const SqlCondition st = summaryStatement(q, !c.isSqlite());
    QSqlQuery query(c.db());
    query.setForwardOnly(true);
    query.prepare(st.sql);
    for (const QVariant &b : st.binds)
        query.addBindValue(b);
    c.run(query, QStringLiteral("出入库汇总帐"));

    QVector<QStringList> rows;
    double totals[ColumnCount] = {};
    while (query.next()) {
        QStringList r;
        r.reserve(ColumnCount);
        for (int col = No; col <= Place; ++col)
            r << query.value(col).toString();
        for (int col = Before; col <= After; ++col) {
            const QVariant v = query.value(col);
            r << figure(v);
            totals[col] += v.toDouble();
        }
        rows << r;
    }
    beginResetModel();
    m_rows = std::move(rows);
    for (int col = Before; col <= After; ++col)
        m_totals[col] = generalNumber(totals[col]);
    endResetModel();
}

QString SummaryLedgerModel::text(int row, int column) const
{
    if (column < 0 || column >= ColumnCount)
        return QString();
    if (row >= 0 && row < m_rows.size())
        return m_rows[row][column];
    return row == m_rows.size() ? m_totals[column] : QString();
}

QStringList SummaryLedgerModel::rowTexts(int row) const
{
    if (row >= 0 && row < m_rows.size())
        return m_rows[row];
    return row == m_rows.size() ? m_totals : QStringList();
}

int SummaryLedgerModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size()) + 1;
}

int SummaryLedgerModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant SummaryLedgerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    // The totals label's blanks centre it in a sheet; the grid centres it itself.
    const bool label = index.row() == goodsRowCount() && index.column() == No;
    switch (role) {
    case Qt::DisplayRole:
        return label ? text(index.row(), No).trimmed() : text(index.row(), index.column());
    case Qt::ToolTipRole: {
        const QString t = text(index.row(), index.column()).trimmed();
        return t.isEmpty() ? QVariant() : QVariant(t);
    }
    case Qt::TextAlignmentRole:
        return label ? QVariant(Qt::AlignCenter) : QVariant();
    default:
        return {};
    }
}

QVariant SummaryLedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return columnTitles().value(section);
    return section + 1;
}

} // namespace orv
