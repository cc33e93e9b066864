#pragma once
// The stock-taking grid's rows: goods rows of 货品目录 (流水号, 编号, 名称, 规格, 仓位, 单位, 库存,
// 实盘数量, 进货价) where only 实盘数量, the count, can be edited. An edited count goes to the
// count store the window installs (it checks and writes it); the cell shows it once stored.
#include "goods/listmodel.h"
#include "stock/ledgerfilter.h"

#include <QHash>
#include <functional>

namespace orv {

class Connection;

class StockTakeModel : public DataSetModel {
    Q_OBJECT
public:
    // Returns whether the count was stored.
    using CountStore = std::function<bool(qint64 rowNo, const QString &count)>;

    explicit StockTakeModel(QObject *parent = nullptr);
    void setCountStore(CountStore store) { m_store = std::move(store); }

    // The goods rows of a condition (empty: every row); throws DbError.
    void load(Connection &c, const SqlCondition &where);

    static const QStringList &exportColumns(); // 编号 … 进货价, as the export writes them
    int countColumn() const;
    qint64 rowNo(int row) const;
    QString count(int row) const;

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    CountStore m_store;
    QHash<int, QString> m_stored; // counts stored since the load, by row
};

} // namespace orv
