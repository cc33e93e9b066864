#include "purchasing/purchasingschema.h"
#include "data/schema.h"
#include "ledger/documenttables.h"

namespace orv {

// Column order is what "select *" readers and the list windows see; keep it.
// Text widths hold what the pickers write: a staff member is 工号 + "." + 姓名 (up to 251),
// a supplier 往来单位.ID + "." + 单位名称 (up to 1201). Remarks are unbounded: the red-ink
// reversal overwrites them with its own remark, which is not limited either.
void registerPurchasingSchema()
{
    const NumberRule orders = purchaseOrderNumbers();
    const NumberRule bills = purchaseBillNumbers();
    const NumberRule receipts = receiptNumbers();
    const NumberRule returns = purchaseReturnNumbers();

    Schema::addTables(
        "purchasing", 1,
        {{"采购订单",
          "create table 采购订单 (流水号 {ID}, 单据编号 VARCHAR(50), 日期 {DATE}, 负责人 VARCHAR(300), "
          "供应商 VARCHAR(1300), 金额合计 {MONEY}, ID VARCHAR(50), 备注 TEXT, 当前状态 VARCHAR(50), "
          "开票员 VARCHAR(300), 申请人 VARCHAR(300), 原始编号 VARCHAR(200), 审核人 VARCHAR(300), "
          "审核日期 {DATE})",
          documentHeaderIndexes(orders)},
         {"采购订单明细",
          "create table 采购订单明细 (流水号 {ID}, 编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), "
          "单位 VARCHAR(200), 辅助单位 VARCHAR(200), 辅助数量 {MONEY}, 数量 {MONEY}, 单价 {MONEY}, "
          "金额 {MONEY}, ID VARCHAR(50), 条码 VARCHAR(200), 仓位 VARCHAR(200), 供应商 VARCHAR(1300), "
          "类别 VARCHAR(200), 换算比率 DOUBLE PRECISION)",
          {recordIdIndex("采购订单明细")}},
         {"采购单",
          "create table 采购单 (流水号 {ID}, 单据编号 VARCHAR(50), 日期 {DATE}, 负责人 VARCHAR(300), "
          "供应商 VARCHAR(1300), 金额合计 {MONEY}, ID VARCHAR(50), 备注 TEXT, 当前状态 VARCHAR(50), "
          "开票员 VARCHAR(300), 申请人 VARCHAR(300))",
          documentHeaderIndexes(bills)},
         {"采购明细",
          "create table 采购明细 (流水号 {ID}, 编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), "
          "单位 VARCHAR(200), 辅助单位 VARCHAR(200), 辅助数量 {MONEY}, 数量 {MONEY}, 单价 {MONEY}, "
          "金额 {MONEY}, ID VARCHAR(50), 条码 VARCHAR(200), 仓位 VARCHAR(200), 供应商 VARCHAR(1300), "
          "类别 VARCHAR(200), 换算比率 DOUBLE PRECISION)",
          {recordIdIndex("采购明细")}},
         {"采购入库单",
          "create table 采购入库单 (流水号 {ID}, 单据编号 VARCHAR(50), 开单日期 {DATE}, 开单人 VARCHAR(300), "
          "ID VARCHAR(50), 当前状态 VARCHAR(50), 备注 TEXT, 供应商 VARCHAR(1300), 合计应付 {MONEY}, "
          "供应商编号 VARCHAR(200), 送货员 VARCHAR(300), 验收员 VARCHAR(300), 收货员 VARCHAR(300), "
          "复核员 VARCHAR(300), 原始编号 VARCHAR(200), 实际付款 {MONEY}, 挂账金额 {MONEY}, "
          "时间 VARCHAR(20), 是否红冲 {BOOL} NOT NULL DEFAULT FALSE, 红冲操作员 VARCHAR(300))",
          documentHeaderIndexes(receipts)},
         {"采购入库明细",
          "create table 采购入库明细 (流水号 {ID}, 编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), "
          "单位 VARCHAR(200), 辅助单位 VARCHAR(200), 辅助数量 {MONEY}, 数量 {MONEY}, 单价 {MONEY}, "
          "金额 {MONEY}, ID VARCHAR(50), 条码 VARCHAR(200), 仓位 VARCHAR(200), 供应商 VARCHAR(1300), "
          "类别 VARCHAR(200), 结存 {MONEY}, 原有库存数量 {MONEY}, 换算比率 DOUBLE PRECISION, "
          "辅助库存结存 {MONEY}, 原有辅助数量 {MONEY}, 拼音码 VARCHAR(200))",
          {recordIdIndex("采购入库明细")}},
         // 开票员 and 负责人 are shown by the return audit and written by no window.
         {"采购退货单",
          "create table 采购退货单 (流水号 {ID}, 单据编号 VARCHAR(50), 日期 {DATE}, 经办人 VARCHAR(300), "
          "供应商 VARCHAR(1300), 合计应收 {MONEY}, ID VARCHAR(50), 备注 TEXT, 当前状态 VARCHAR(50), "
          "单据类别 VARCHAR(50), 供应商编号 VARCHAR(200), 发货员 VARCHAR(300), 复核员 VARCHAR(300), "
          "送货员 VARCHAR(300), 实际收款 {MONEY}, 挂账金额 {MONEY}, 时间 VARCHAR(20), "
          "审核人 VARCHAR(300), 审核日期 {DATE}, 是否红冲 {BOOL} NOT NULL DEFAULT FALSE, "
          "红冲操作员 VARCHAR(300), 开票员 VARCHAR(300), 负责人 VARCHAR(300))",
          documentHeaderIndexes(returns)},
         {"采购退货明细",
          "create table 采购退货明细 (流水号 {ID}, 编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), "
          "单位 VARCHAR(200), 辅助单位 VARCHAR(200), 辅助数量 {MONEY}, 数量 {MONEY}, 单价 {MONEY}, "
          "金额 {MONEY}, ID VARCHAR(50), 条码 VARCHAR(200), 仓位 VARCHAR(200), 供应商 VARCHAR(1300), "
          "类别 VARCHAR(200), 换算比率 DOUBLE PRECISION, 结存 {MONEY}, 原有库存数量 {MONEY}, "
          "辅助库存结存 {MONEY}, 原有辅助数量 {MONEY}, 拼音码 VARCHAR(200))",
          {recordIdIndex("采购退货明细")}},
         // The parts list of the batch picker; nothing of the program fills it.
         {"配件目录",
          "create table 配件目录 (流水号 {ID}, 编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), "
          "单位 VARCHAR(200), 所属车型 VARCHAR(200), 进货价 {MONEY}, 助记码 VARCHAR(200), "
          "仓位 VARCHAR(200), 维修价 {MONEY}, 销售价 {MONEY}, 供应价 {MONEY}, 库存 {MONEY}, "
          "警戒库存 {MONEY})"}});
}

} // namespace orv
