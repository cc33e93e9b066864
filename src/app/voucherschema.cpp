#include "app/docnumbers.h"
#include "app/schema.h"

namespace orv {

void registerVoucherSchema()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // 是否红冲 is never written by the insert: its default is what the ledgers read.
    Schema::addTable({"出入库单",
                      "create table 出入库单 (流水号 {ID}, ID VARCHAR(50), 引用单号 VARCHAR(100), 引用ID VARCHAR(50), "
                      "引用类别 VARCHAR(50), 单据编号 VARCHAR(50), 制单日期 {DATE}, 制单人 VARCHAR(200), "
                      "当前状态 VARCHAR(50), 原因 VARCHAR(50), 单据类别 VARCHAR(50), 单据备注 TEXT, 审核人 VARCHAR(200), "
                      "审核日期 {DATE}, 相关单位 VARCHAR(1300), 单位编号 VARCHAR(200), 联系人 VARCHAR(200), "
                      "联系电话 VARCHAR(200), 时间 VARCHAR(20), 相关部门 VARCHAR(400), 是否红冲 {BOOL} DEFAULT FALSE, "
                      "红冲操作员 VARCHAR(200))",
                      {// Two clients can never store one number twice.
                       "create unique index ux_出入库单_单据编号 on 出入库单 (单据编号)",
                       documentNoIndex(voucherNumberRule(VoucherIn)),
                       "create index ix_出入库单_ID on 出入库单 (ID)",
                       "create index ix_出入库单_引用ID on 出入库单 (引用ID)",
                       "create index ix_出入库单_制单日期 on 出入库单 (制单日期)"}});
    Schema::addTable({"出入库明细",
                      "create table 出入库明细 (流水号 {ID}, 编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), "
                      "单位 VARCHAR(200), 单价 DOUBLE PRECISION, 数量 {MONEY}, 金额 {MONEY}, ID VARCHAR(50), "
                      "仓位 VARCHAR(200), 辅助数量 DOUBLE PRECISION, 辅助单位 VARCHAR(200), 类别 VARCHAR(200), "
                      "供应商 VARCHAR(1300), 条码 VARCHAR(200), 结存 DOUBLE PRECISION, 原有库存数量 DOUBLE PRECISION, "
                      "类型 VARCHAR(20), 换算比率 DOUBLE PRECISION, 辅助库存结存 DOUBLE PRECISION, "
                      "原有辅助数量 DOUBLE PRECISION, 拼音码 VARCHAR(200))",
                      {"create index ix_出入库明细_ID on 出入库明细 (ID)"}});
}

} // namespace orv
