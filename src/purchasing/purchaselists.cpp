#include "purchasing/purchaselists.h"
#include "app/appglobals.h"
#include "data/dataset.h"

namespace orv {

namespace {
const QString kApproved = QStringLiteral("已审核");

// A list's print of its stored documents.
ListPrint printOf(const StoredPrint &s)
{
    return [s](Connection &c, const QString &id) { return storedPrint(c, s, id); };
}

QList<ListColumn> shownColumns(const QStringList &titles)
{
    QList<ListColumn> out;
    for (const QString &t : titles)
        out << shown(t);
    return out;
}

// ID and 流水号 first, hidden; then the shown columns.
QList<ListColumn> headerColumns(const QStringList &titles)
{
    return QList<ListColumn>{hidden("ID"), hidden("流水号")} + shownColumns(titles);
}

QList<ListColumn> lineColumns(const QStringList &titles)
{
    return QList<ListColumn>{hidden("流水号"), hidden("ID")} + shownColumns(titles);
}

const QStringList kGoodsColumns = {"编号", "名称", "规格", "单位", "数量", "单价", "金额"};

// The order list and the bill list are one list over two tables.
DocumentListConfig orderLike(const QString &header, const QString &lines)
{
    DocumentListConfig c;
    c.table = header;
    c.state = kApproved;
    c.dateColumn = QStringLiteral("日期");
    c.columns = headerColumns({"单据编号", "日期", "负责人", "供应商", "金额合计", "备注"});
    c.searches = {{"按单据编号查询", "单据编号"}, {"按照供应商查询", "供应商"}, {"按照负责人查询", "负责人"}};
    c.totalsLabel = QStringLiteral("合计:");
    c.summed = {"金额合计"};
    c.lineTable = lines;
    c.lineExportCaption = QStringLiteral("导出明细");
    c.listExportWidths.insert(6, 20);
    c.names.listExport = QStringLiteral("SpeedButton5");
    c.names.reversal.clear();
    return c;
}
} // namespace

DocumentListConfig receiptListConfig()
{
    DocumentListConfig c;
    c.caption = QStringLiteral("采购入库单");
    c.table = QStringLiteral("采购入库单");
    c.state = QStringLiteral("已入库");
    c.dateColumn = QStringLiteral("开单日期");
    c.columns = headerColumns({"单据编号", "开单日期", "开单人", "供应商", "合计应付", "实际付款", "挂账金额", "备注",
                               "送货员", "验收员", "收货员", "复核员", "原始编号"})
                << hidden("是否红冲");
    c.searches = {{"按单据编号查询", "单据编号"},
                  {"按照供应商查询", "供应商"},
                  {"按照开单人查询", "开单人"},
                  {"按照红冲操作员查询", "红冲操作员"}};
    c.totalsLabel = QStringLiteral("合计:");
    c.summed = {"合计应付", "实际付款", "挂账金额"};
    c.lineTable = QStringLiteral("采购入库明细");
    c.linesTab = QStringLiteral("入库明细");
    c.lineColumns = lineColumns(kGoodsColumns + QStringList{"辅助数量", "辅助单位", "供应商", "条码", "仓位", "类别",
                                                            "结存", "原有库存数量", "换算比率"});
    c.printCaption = QStringLiteral("入库单");
    c.print = printOf({.templateName = QStringLiteral("tongyong2.frf"),
                      .title = QStringLiteral("采购入库单"),
                      .header = QStringLiteral("采购入库单"),
                      .lines = QStringLiteral("采购入库明细"),
                      .partnerCaption = QStringLiteral("供应商单位:"),
                      .dateColumn = QStringLiteral("开单日期"),
                      .totalColumn = QStringLiteral("合计应付"),
                      .paidCaption = QStringLiteral("实付款:"),
                      .paidColumn = QStringLiteral("实际付款"),
                      .signatures = {{"Memo28", "送货员:", "送货员"},
                        {"Memo29", "验收员:", "验收员"},
                        {"Memo30", "收货员:", "收货员"},
                        {"Memo31", "复核员:", "复核员"}}});
    c.listExportWidths.insert(8, 20);
    c.redFlag = QStringLiteral("是否红冲");
    c.reversalKind = 1;
    c.reversedText = QStringLiteral("此项采购单据已经红字反冲操作被取消");
    return c;
}

DocumentListConfig purchaseOrderListConfig()
{
    DocumentListConfig c = orderLike(QStringLiteral("采购订单"), QStringLiteral("采购订单明细"));
    c.caption = QStringLiteral("采购订货单");
    c.linesTab = QStringLiteral("采购订单明细");
    c.lineColumns = lineColumns(kGoodsColumns +
                                QStringList{"辅助数量", "辅助单位", "供应商", "条码", "仓位", "类别", "换算比率"});
    // The order prints its title and header bands as the order's other prints do: the templates
    // hold the number, date and supplier there.
    c.print = printOf({.templateName = QStringLiteral("tongyong.frf"),
                      .title = QStringLiteral("采购订单"),
                      .header = QStringLiteral("采购订单"),
                      .lines = QStringLiteral("采购订单明细"),
                      .partnerCaption = QStringLiteral("供应商单位:"),
                      .totalColumn = QStringLiteral("金额合计"),
                      .signatures = {{"Memo28", "开票员:", "开票员", "开票员"},
                        {"Memo30", "申请人:", "申请人", "申请人"},
                        {"Memo31", "负责人:", "负责人", "负责人"}}});
    return c;
}

DocumentListConfig purchaseBillListConfig()
{
    DocumentListConfig c = orderLike(QStringLiteral("采购单"), QStringLiteral("采购明细"));
    c.caption = QStringLiteral("采购单");
    c.linesTab = QStringLiteral("采购明细");
    c.lineColumns = lineColumns(kGoodsColumns + QStringList{"辅助数量", "辅助单位", "供应商", "条码", "仓位", "类别"});
    c.printCaption = QStringLiteral("采购单");
    c.print = printOf({.templateName = QStringLiteral("tongyong.frf"),
                      .title = QStringLiteral("采购单"),
                      .header = QStringLiteral("采购单"),
                      .lines = QStringLiteral("采购明细"),
                      .partnerCaption = QStringLiteral("供应商单位:"),
                      .totalColumn = QStringLiteral("金额合计"),
                      .signatures = {{"Memo28", "开票员:", "开票员"}, {"Memo30", "申请人:", "申请人"}, {"Memo31", "负责人:", "负责人"}}});
    return c;
}

DocumentListConfig purchaseReturnListConfig()
{
    DocumentListConfig c;
    c.caption = QStringLiteral("采购退货单");
    c.table = QStringLiteral("采购退货单");
    c.state = kApproved;
    c.dateColumn = QStringLiteral("日期");
    c.columns = headerColumns({"单据编号", "日期", "经办人", "供应商", "合计应收", "实际收款", "挂账金额", "备注",
                               "发货员", "复核员", "送货员"})
                << hidden("是否红冲");
    c.searches = {{"按单据编号查询", "单据编号"},
                  {"按照供应商查询", "供应商"},
                  {"按照经办人查询", "经办人"},
                  {"按照红冲操作员查询", "红冲操作员"}};
    c.totalsLabel = QStringLiteral("合计：");
    c.summed = {"合计应收", "实际收款", "挂账金额"};
    c.lineTable = QStringLiteral("采购退货明细");
    c.linesTab = QStringLiteral("退货明细");
    c.lineColumns = lineColumns(kGoodsColumns + QStringList{"结存", "原有库存数量", "辅助数量", "辅助单位", "仓位",
                                                            "供应商", "条码", "换算比率"});
    c.printCaption = QStringLiteral("采购退货单");
    c.print = printOf({.templateName = QStringLiteral("tongyong2.frf"),
                      .title = QStringLiteral("进货退货单"),
                      .header = QStringLiteral("采购退货单"),
                      .lines = QStringLiteral("采购退货明细"),
                      .partnerCaption = QStringLiteral("退回单位:"),
                      .totalColumn = QStringLiteral("合计应收"),
                      .paidCaption = QStringLiteral("实收款:"),
                      .paidColumn = QStringLiteral("实际收款"),
                      .signatures = {{"Memo28", "负责人:", "经办人"},
                        {"Memo29", "发货员:", "发货员"},
                        {"Memo30", "复核员:", "复核员"},
                        {"Memo31", "送货员:", "送货员"}}});
    c.listExportWidths.insert(8, 20);
    c.redFlag = QStringLiteral("是否红冲");
    c.reversalKind = 2;
    c.reversedText = QStringLiteral("此项退货单据已经红字反冲操作被取消");
    return c;
}

} // namespace orv
