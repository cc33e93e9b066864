#include "goods/goodsschema.h"
#include "data/dbconnection.h"
#include "data/schema.h"
#include "goods/suppliers.h"
#include "ledger/vouchers.h"

namespace orv {

void registerGoodsSchema()
{
    registerLedgerSchema(); // 货品目录, the stock table, is the ledger's
    Schema::addTables("goods", 1,
                      {{"图片", "create table 图片 (编号 VARCHAR(200), 图片 {BLOB})"},
                       {"货品仓库", "create table 货品仓库 (流水号 {ID}, ID VARCHAR(50), 仓位 VARCHAR(200), "
                                    "库存 {MONEY} DEFAULT 0, 货品编号 VARCHAR(200), 货品名称 VARCHAR(200))"}});
    // Earlier builds kept this stock as floating point, like the goods rows.
    Schema::addStep("goods", 3, [](Connection &c) {
        if (!c.isSqlite())
            c.exec("alter table 货品仓库 alter column 库存 type NUMERIC(19,4) using round(库存::numeric, 4)");
    });
    registerSupplierSchema();
}

} // namespace orv
