#pragma once
// The parts list 配件目录 as the batch picker reads it, without widgets. Nothing here writes it:
// the picker keeps its pick list in memory.
#include <QString>

namespace orv {

class Connection;
class DataSet;
struct repairFit;

// The parts (编号, 名称, 规格, 所属车型, 仓位, 维修价, 销售价, 供应价, 库存, 单位, 助记码, 进货价, 警戒库存)
// whose 编号, 名称, 助记码 or 规格 holds `text` (bound; % and _ stay wildcards), in stored order;
// an empty text lists them all.
void openParts(Connection &c, DataSet &ds, const QString &text);

// A part of the pick list.
struct PickedPart {
    QString goodsNo, name, spec, unit, model, purchasePrice;
};

// The k-th picked part (1 = the first) into `fit`: one of it, at its 进货价.
void handOverPart(const PickedPart &part, int k, repairFit &fit);

} // namespace orv
