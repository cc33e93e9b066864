#include "ledger/vouchers.h"
#include "data/dbconnection.h"
#include "data/schema.h"

namespace orv {

namespace {
// Quantities, prices and amounts that were floating point in databases of earlier builds.
const char *const kExactColumns[][2] = {
    {"货品目录", "警戒库存"}, {"货品目录", "进货价"}, {"货品目录", "库存"}, {"货品目录", "辅助库存"},
    {"货品目录", "出货价"},   {"出入库明细", "单价"}, {"出入库明细", "辅助数量"}, {"出入库明细", "结存"},
    {"出入库明细", "原有库存数量"}, {"出入库明细", "辅助库存结存"}, {"出入库明细", "原有辅助数量"}};

void exactQuantities(Connection &c)
{
    if (c.isSqlite())
        return; // SQLite stores by value; the arithmetic rounds to four decimals
    for (const auto &col : kExactColumns)
        c.exec(QString("alter table %1 alter column %2 type NUMERIC(19,4) using round(%2::numeric, 4)")
                   .arg(QString::fromUtf8(col[0]), QString::fromUtf8(col[1])));
    // Staff entries are 工号.姓名 (up to 251 characters), departments up to 401.
    for (const char *col : {"制单人", "审核人", "红冲操作员"})
        c.exec(QString("alter table 出入库单 alter column %1 type VARCHAR(300)").arg(QString::fromUtf8(col)));
    c.exec("alter table 出入库单 alter column 相关部门 type VARCHAR(500)");
}

// The ledgers read a period's lines through their voucher's ID: this index holds what the
// summary reads of them (no table row is visited) and gives each voucher's lines in 流水号
// order (the detail ledger's order). It takes the place of the index on ID alone.
void ledgerIndex(Connection &c)
{
    c.exec("create index if not exists ix_出入库明细_ledger on 出入库明细 (ID, 流水号, 编号, 名称, 仓位, 规格, 单位, 类型, 数量, 金额)");
    c.exec("drop index if exists ix_出入库明细_ID");
}
// PostgreSQL: whether a number is stored, as of the call. A volatile function reads each of its
// queries with a snapshot of its own, so a save claiming a number sees one that another save
// committed after the claiming statement began (and passes it) instead of failing its insert.
void numberLookup(Connection &c)
{
    if (c.isSqlite())
        return;
    c.exec("create or replace function orv_number_stored(tbl text, col text, num text) returns boolean "
           "language plpgsql volatile as $$ declare stored boolean; begin "
           "execute format('select exists (select 1 from %I where %I = $1)', tbl, col) into stored using num; "
           "return stored; end $$");
}
} // namespace

void registerLedgerSchema()
{
    // 是否红冲 is never written by the insert: its default is what the ledgers read.
    // 货品目录's column order matters: the Excel import labels its mapping grid from it
    // (编号 … 盘点库存 in import order, then ID and 图片).
    Schema::addTables(
        "ledger", 1,
        {{"出入库单",
          "create table 出入库单 (流水号 {ID}, ID VARCHAR(50), 引用单号 VARCHAR(100), 引用ID VARCHAR(50), "
          "引用类别 VARCHAR(50), 单据编号 VARCHAR(50), 制单日期 {DATE}, 制单人 VARCHAR(300), "
          "当前状态 VARCHAR(50), 原因 VARCHAR(50), 单据类别 VARCHAR(50), 单据备注 TEXT, 审核人 VARCHAR(300), "
          "审核日期 {DATE}, 相关单位 VARCHAR(1300), 单位编号 VARCHAR(200), 联系人 VARCHAR(200), "
          "联系电话 VARCHAR(200), 时间 VARCHAR(20), 相关部门 VARCHAR(500), 是否红冲 {BOOL} DEFAULT FALSE, "
          "红冲操作员 VARCHAR(300))",
          {// Two clients can never store one number twice.
           documentNoUniqueIndex(voucherNumberRule(VoucherIn)), documentNoIndex(voucherNumberRule(VoucherIn)),
           "create index ix_出入库单_ID on 出入库单 (ID)", "create index ix_出入库单_引用ID on 出入库单 (引用ID)",
           "create index ix_出入库单_制单日期 on 出入库单 (制单日期)"}},
         {"出入库明细",
          "create table 出入库明细 (流水号 {ID}, 编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), "
          "单位 VARCHAR(200), 单价 {MONEY}, 数量 {MONEY}, 金额 {MONEY}, ID VARCHAR(50), "
          "仓位 VARCHAR(200), 辅助数量 {MONEY}, 辅助单位 VARCHAR(200), 类别 VARCHAR(200), "
          "供应商 VARCHAR(1300), 条码 VARCHAR(200), 结存 {MONEY}, 原有库存数量 {MONEY}, "
          "类型 VARCHAR(20), 换算比率 DOUBLE PRECISION, 辅助库存结存 {MONEY}, "
          "原有辅助数量 {MONEY}, 拼音码 VARCHAR(200))",
          {"create index ix_出入库明细_ID on 出入库明细 (ID)"}},
         {"货品目录",
          "create table 货品目录 (流水号 {ID}, 编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), "
          "类别 VARCHAR(200), 单位 VARCHAR(200), 警戒库存 {MONEY} DEFAULT 0, "
          "进货价 {MONEY} DEFAULT 0, 仓位 VARCHAR(200), 保修期 VARCHAR(200), 助记码 VARCHAR(200), "
          "条码 VARCHAR(200), 库存 {MONEY} DEFAULT 0, 供应商 VARCHAR(1300), 备注 VARCHAR(3000), "
          "辅助单位 VARCHAR(200), 辅助库存 {MONEY} DEFAULT 0, 出货价 {MONEY} DEFAULT 0, "
          "换算比率 DOUBLE PRECISION DEFAULT 1, 盘点库存 VARCHAR(50), ID VARCHAR(50), 图片 {BLOB})",
          {"create index ix_货品目录_goods on 货品目录 (编号, 名称, 仓位, 流水号)",
           "create index ix_货品目录_条码 on 货品目录 (条码)"}}});
    Schema::addStep("ledger", 2, exactQuantities);
    Schema::addStep("ledger", 3, ledgerIndex);
    Schema::addStep("ledger", 4, numberLookup);
}

} // namespace orv
