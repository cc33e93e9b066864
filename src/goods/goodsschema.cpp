#include "goods/goodsschema.h"
#include "app/schema.h"

namespace orv {

void registerGoodsSchema()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // Column order matters: the Excel import labels its mapping grid from it
    // (编号 … 盘点库存 in import order, then ID and 图片).
    // Quantities and prices are floating point: stock arithmetic and the moving
    // average price are kept at full precision.
    Schema::addTable({"货品目录",
                      "create table 货品目录 (流水号 {ID}, 编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), "
                      "类别 VARCHAR(200), 单位 VARCHAR(200), 警戒库存 DOUBLE PRECISION DEFAULT 0, "
                      "进货价 DOUBLE PRECISION DEFAULT 0, 仓位 VARCHAR(200), 保修期 VARCHAR(200), 助记码 VARCHAR(200), "
                      "条码 VARCHAR(200), 库存 DOUBLE PRECISION DEFAULT 0, 供应商 VARCHAR(1300), 备注 VARCHAR(3000), "
                      "辅助单位 VARCHAR(200), 辅助库存 DOUBLE PRECISION DEFAULT 0, 出货价 DOUBLE PRECISION DEFAULT 0, "
                      "换算比率 DOUBLE PRECISION DEFAULT 1, 盘点库存 VARCHAR(50), ID VARCHAR(50), 图片 {BLOB})",
                      {"create index ix_货品目录_goods on 货品目录 (编号, 名称, 仓位, 流水号)",
                       "create index ix_货品目录_条码 on 货品目录 (条码)"}});
    Schema::addTable({"图片", "create table 图片 (编号 VARCHAR(200), 图片 {BLOB})"});
    Schema::addTable({"货品仓库", "create table 货品仓库 (流水号 {ID}, ID VARCHAR(50), 仓位 VARCHAR(200), "
                                  "库存 DOUBLE PRECISION DEFAULT 0, 货品编号 VARCHAR(200), 货品名称 VARCHAR(200))"});
}

} // namespace orv
