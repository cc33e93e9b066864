#include "stock/stockschema.h"
#include "data/schema.h"
#include "ledger/documenttables.h"

namespace orv {

// Column order is what "select *" readers and the bill list see; keep it.
void registerStockSchema()
{
    Schema::addTables(
        "stock", 1,
        {{"盘点单",
          "create table 盘点单 (流水号 {ID}, 单据编号 VARCHAR(50), 日期 {DATE}, 负责人 VARCHAR(300), "
          "盈亏金额 {MONEY}, 盈亏数量 {MONEY}, ID VARCHAR(50), 时间 VARCHAR(20))",
          documentHeaderIndexes(stockTakeNumbers())},
         // 数量 is the stock before the count, 实盘数量 the count; 类别 stays empty.
         {"盘点明细",
          "create table 盘点明细 (流水号 {ID}, 编号 VARCHAR(200), 名称 VARCHAR(200), 数量 {MONEY}, "
          "单价 {MONEY}, 实盘数量 {MONEY}, ID VARCHAR(50), 盘盈盘亏 {MONEY}, 金额 {MONEY}, "
          "盘盈亏金额 {MONEY}, 规格 VARCHAR(200), 仓位 VARCHAR(200), 单位 VARCHAR(200), 辅助数量 {MONEY}, "
          "类别 VARCHAR(200))",
          {recordIdIndex("盘点明细")}}});
}

} // namespace orv
