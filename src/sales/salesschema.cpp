#include "sales/salesschema.h"
#include "data/schema.h"
#include "ledger/documenttables.h"

namespace orv {

namespace {
// The 26 columns that the sales bill window writes into 销售订单 and 销售单, in its order.
// 购买单位 holds 客户编号 + "." + 客户名称, 销售单位 the selling department as 部门编号 + "." +
// 部门名称, the staff columns 工号 + "." + 姓名.
const char *const kBillColumns =
    "单据编号 VARCHAR(50), 日期 {DATE}, 应收款 {MONEY}, 实收款 {MONEY}, 挂账金额 {MONEY}, "
    "购买单位 VARCHAR(1300), 联系电话 VARCHAR(200), 联系人 VARCHAR(200), 地址 VARCHAR(1000), 备注 TEXT, "
    "经办人 VARCHAR(300), 客户折扣 {MONEY}, ID VARCHAR(50), 单位编号 VARCHAR(200), 当前状态 VARCHAR(50), "
    "单据类别 VARCHAR(50), 销售单位 VARCHAR(400), 销售单位编号 VARCHAR(200), 送货员 VARCHAR(300), "
    "发货员 VARCHAR(300), 复核员 VARCHAR(300), 开票员 VARCHAR(300), 发票号码 VARCHAR(100), "
    "开票金额 {MONEY}, 开票日期 {DATE}, 时间 VARCHAR(20)";

// Goods columns every sales line starts with.
const char *const kLineGoods =
    "编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), 单位 VARCHAR(200), 辅助单位 VARCHAR(200), "
    "辅助数量 {MONEY}, 数量 {MONEY}, 单价 {MONEY}, 金额 {MONEY}, ID VARCHAR(50), 条码 VARCHAR(200), "
    "仓位 VARCHAR(200), 供应商 VARCHAR(1300), 类别 VARCHAR(200), 折扣 {MONEY}, 折后金额 {MONEY}";
} // namespace

// Column order is what "select *" readers and the list windows see; keep it.
void registerSalesSchema()
{
    const QString bill = QString::fromUtf8(kBillColumns);
    const QString goods = QString::fromUtf8(kLineGoods);
    Schema::addTables(
        "sales", 1,
        {// 传真 and 货款合计 are read by the order audit and written by no window.
         {"销售订单", "create table 销售订单 (流水号 {ID}, " + bill + ", 传真 VARCHAR(200), 货款合计 {MONEY})",
          documentHeaderIndexes(salesOrderNumbers())},
         {"销售订单明细",
          "create table 销售订单明细 (流水号 {ID}, " + goods + ", 成本价 {MONEY}, 换算比率 DOUBLE PRECISION)",
          {recordIdIndex("销售订单明细")}},
         {"销售单",
          "create table 销售单 (流水号 {ID}, " + bill +
              ", 是否红冲 {BOOL} NOT NULL DEFAULT FALSE, 红冲操作员 VARCHAR(300))",
          documentHeaderIndexes(salesBillNumbers())},
         {"销售明细",
          "create table 销售明细 (流水号 {ID}, " + goods +
              ", 成本价 {MONEY}, 结存 {MONEY}, 原有库存数量 {MONEY}, 换算比率 DOUBLE PRECISION, "
              "辅助库存结存 {MONEY}, 原有辅助数量 {MONEY}, 拼音码 VARCHAR(200))",
          {recordIdIndex("销售明细")}},
         {"销售退货单",
          "create table 销售退货单 (流水号 {ID}, 单据编号 VARCHAR(50), 日期 {DATE}, 应退款 {MONEY}, "
          "实退款 {MONEY}, 挂账金额 {MONEY}, 退回单位 VARCHAR(1300), 联系电话 VARCHAR(200), "
          "联系人 VARCHAR(200), 地址 VARCHAR(1000), 备注 TEXT, 负责人 VARCHAR(300), 客户折扣 {MONEY}, "
          "ID VARCHAR(50), 单位编号 VARCHAR(200), 当前状态 VARCHAR(50), 单据类别 VARCHAR(50), "
          "销售单位 VARCHAR(400), 销售单位编号 VARCHAR(200), 送货员 VARCHAR(300), 发货员 VARCHAR(300), "
          "复核员 VARCHAR(300), 时间 VARCHAR(20), 审核人 VARCHAR(300), 审核日期 {DATE}, 传真 VARCHAR(200), "
          "是否红冲 {BOOL} NOT NULL DEFAULT FALSE, 红冲操作员 VARCHAR(300))",
          documentHeaderIndexes(salesReturnNumbers())},
         // 结存 comes before 成本价 here, unlike 销售明细: the return's own insert order.
         {"销售退货明细",
          "create table 销售退货明细 (流水号 {ID}, " + goods +
              ", 结存 {MONEY}, 原有库存数量 {MONEY}, 成本价 {MONEY}, 换算比率 DOUBLE PRECISION, "
              "辅助库存结存 {MONEY}, 原有辅助数量 {MONEY}, 拼音码 VARCHAR(200))",
          {recordIdIndex("销售退货明细")}},
         // Quotations: the quotation picker reads them; nothing of the program writes them, so
         // their numbers follow no series of ours and carry no unique index.
         {"报价单",
          "create table 报价单 (流水号 {ID}, ID VARCHAR(50), 单据编号 VARCHAR(50), 报价日期 {DATE}, "
          "货款合计 {MONEY}, 折扣 {MONEY}, 报价金额 {MONEY}, 客户类别 VARCHAR(200), 客户名称 VARCHAR(1300), "
          "联系人 VARCHAR(200), 联系电话 VARCHAR(200), 传真 VARCHAR(200), 地址 VARCHAR(1000), "
          "经办人 VARCHAR(300), 备注 TEXT, 客户编号 VARCHAR(200), 当前状态 VARCHAR(50))",
          {recordIdIndex("报价单")}},
         {"报价明细",
          "create table 报价明细 (流水号 {ID}, 配件编号 VARCHAR(200), 配件名称 VARCHAR(200), "
          "规格 VARCHAR(200), 单位 VARCHAR(200), 所属车型 VARCHAR(200), 数量 {MONEY}, 单价 {MONEY}, "
          "金额 {MONEY}, 仓位 VARCHAR(200), ID VARCHAR(50))",
          {recordIdIndex("报价明细")}}});
}

} // namespace orv
