#include "ledger/documentlines.h"

#include <cmath>

namespace orv {

namespace {
const char *const kGoodsColumns = "编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别";
constexpr int kGoodsValues = 14;
constexpr int kChunk = DocumentLineWriter::kRowsPerStatement;
} // namespace

QStringList DocumentLineWriter::stockColumns()
{
    return {"结存", "原有库存数量", "换算比率", "辅助库存结存", "原有辅助数量", "拼音码"};
}

DocumentLineWriter::DocumentLineWriter(Connection &c, const QString &table, const QStringList &tail)
    : m_conn(c), m_table(table), m_tail(tail)
{
    static const QHash<QString, Tail> known = {{"结存", Tail::StockAfter},     {"原有库存数量", Tail::StockBefore},
                                               {"换算比率", Tail::Ratio},      {"辅助库存结存", Tail::AuxAfter},
                                               {"原有辅助数量", Tail::AuxBefore}, {"拼音码", Tail::Mnemonic}};
    for (const QString &column : tail) {
        const Tail kind = known.value(column, Tail::Extra);
        m_kinds << kind;
        if (kind == Tail::Extra)
            ++m_extras;
    }
}

DocumentLineWriter::~DocumentLineWriter() = default;

QVariantList DocumentLineWriter::row(const QString &docID, const GoodsLine &g, const StockMove &m,
                                     const QVariantList &extras) const
{
    if (extras.size() != m_extras)
        throw DbError(QStringLiteral("%1的明细应有%2个附加值，给出%3个").arg(m_table).arg(m_extras).arg(extras.size()));
    QVariantList out{g.goodsNo, g.name,  g.spec,  g.unit,    g.auxUnit, g.auxQty, g.qty,
                     g.price,   g.amount, docID,  g.barcode, g.place,   g.supplier, g.category};
    int extra = 0;
    for (Tail kind : m_kinds) {
        switch (kind) {
        case Tail::StockAfter:
            out << m.stockAfter;
            break;
        case Tail::StockBefore:
            out << m.stockBefore;
            break;
        case Tail::Ratio:
            if (m.status == MoveStatus::Created)
                out << m.ratio;
            else if (std::isfinite(g.ratio))
                out << g.ratio;
            else
                out << QVariant(QMetaType::fromType<double>());
            break;
        case Tail::AuxAfter:
            out << m.auxAfter;
            break;
        case Tail::AuxBefore:
            out << m.auxBefore;
            break;
        case Tail::Mnemonic:
            out << (m.mnemonic.isNull() ? QStringLiteral("") : m.mnemonic);
            break;
        case Tail::Extra:
            out << extras[extra++];
            break;
        }
    }
    return out;
}

QString DocumentLineWriter::insertSql(int rows) const
{
    const QString one = "(" + QString("?,").repeated(kGoodsValues + int(m_tail.size()) - 1) + "?)";
    QStringList all;
    for (int i = 0; i < rows; ++i)
        all << one;
    QString columns = QString::fromUtf8(kGoodsColumns);
    if (!m_tail.isEmpty())
        columns += ',' + m_tail.join(',');
    return "insert into " + m_table + " (" + columns + ") values " + all.join(',');
}

void DocumentLineWriter::insert(const QVector<QVariantList> &rows)
{
    m_conn.requireTransaction("明细写入");
    const int values = kGoodsValues + int(m_tail.size());
    for (qsizetype at = 0; at < rows.size(); at += kChunk) {
        const int n = int(qMin<qsizetype>(kChunk, rows.size() - at));
        auto &stmt = m_byRows[n];
        if (!stmt)
            stmt = std::make_shared<Statement>(m_conn, insertSql(n));
        QVariantList binds;
        binds.reserve(n * values);
        for (int i = 0; i < n; ++i)
            binds << rows[at + i];
        stmt->exec(binds).finish();
    }
}

} // namespace orv
