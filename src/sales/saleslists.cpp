#include "sales/saleslists.h"
#include "app/appglobals.h"

namespace orv {

namespace {
const QString kApproved = QStringLiteral("已审核");
const QString kTotals = QStringLiteral("合计：");

QList<ListColumn> columnsOf(const QStringList &titles, const QStringList &hiddenTitles)
{
    QList<ListColumn> out;
    for (const QString &t : titles)
        out << (hiddenTitles.contains(t) ? hidden(t) : shown(t));
    return out;
}

// A print of an order or a bill: tongyong1 with 主项头2, the company's address and business, the
// buyer and what was received, the lines at their discount and 折后金额 summed.
StoredPrint discountedPrint(const QString &header, const QString &lines, const QString &title)
{
    return {.templateName = QStringLiteral("tongyong1.frf"),
            .title = title,
            .header = header,
            .lines = lines,
            .partnerCaption = QStringLiteral("销售单位:"),
            .partnerColumn = QStringLiteral("销售单位"),
            .signatures = {{"Memo28", "开票员:", "开票员"},
                           {"Memo29", "送货员:", "送货员"},
                           {"Memo30", "发货员:", "发货员"},
                           {"Memo31", "复核员:", "复核员"}},
            .secondHeader = true,
            .lineSlots = discountLineSlots(),
            .amountColumn = QStringLiteral("折后金额"),
            .texts = {{"Memo6", QStringLiteral("地址：") + G.gCompanyAddress + QStringLiteral("电话：") + G.gCompanyPhone +
                                    QStringLiteral(" 传真:") + G.gCompanyFax},
                      {"Memo8", G.gCompanyBusiness},
                      {"Memo10", QStringLiteral("购买单位:")},
                      {"Memo12", QStringLiteral("实收款:")}},
            .fields = {{"Memo13", QStringLiteral("实收款")},
                       {"Memo15", QStringLiteral("挂账金额")},
                       {"Memo33", QStringLiteral("购买单位")}}};
}

// What every sales list shares: the caption, the header table and the print caption one name,
// the lines' table and tab another, dated by 日期, the totals of what was due, what was paid and
// 挂账金额, the line export captioned.
DocumentListConfig salesList(const QString &table, const QString &lineTable, const QString &due, const QString &paid,
                             ListPrint print)
{
    DocumentListConfig c;
    c.caption = c.table = c.printCaption = table;
    c.dateColumn = QStringLiteral("日期");
    c.totalsLabel = kTotals;
    c.summed = {due, paid, QStringLiteral("挂账金额")};
    c.lineTable = c.linesTab = lineTable;
    c.print = std::move(print);
    c.lineExportCaption = QStringLiteral("导出明细");
    return c;
}

// The order and return lists: approved documents, deletable, in the sales quote window's controls.
void approvedInQuoteWindow(DocumentListConfig &c, bool removeLines)
{
    c.state = kApproved;
    c.remove = {true, QStringLiteral("删除后将不能恢复你确定要继续吗?"), removeLines, QStringLiteral("删除成功！")};
    c.names.searchText = QStringLiteral("Edit1");
    c.names.query = QStringLiteral("SpeedButton1");
    c.names.print = QStringLiteral("SpeedButton4");
    c.names.lineExport = QStringLiteral("SpeedButton9");
    c.names.documents = QStringLiteral("DBGridsalequote");
    c.names.lines = QStringLiteral("DBGridSaleFit");
}

// The bill and return lists: reversed documents shown red, the reversal of the given kind.
void reversible(DocumentListConfig &c, int kind, const QString &reversedText)
{
    c.redFlag = QStringLiteral("是否红冲");
    c.reversalKind = kind;
    c.reversedText = reversedText;
}

// The lines of an order and of a return, up to 辅助单位.
const QStringList kDiscountedLines = {"ID",   "流水号", "编号",     "名称",   "规格",   "单位",     "数量",    "单价",
                                      "金额", "折扣",   "折后金额", "仓位",   "供应商", "类别",     "辅助数量", "辅助单位"};
const QStringList kLineHidden = {"ID", "流水号"};

// The columns of an order as the sales order windows show them.
const QStringList kOrderColumns = {"ID",     "单据编号", "日期",   "购买单位", "经办人",     "联系电话",
                                   "应收款", "实收款",   "挂账金额", "单位编号", "联系人",     "地址",
                                   "客户折扣", "开票员", "送货员", "发货员",   "复核员",     "销售单位",
                                   "传真",   "销售单位编号", "备注", "流水号"};
} // namespace

DocumentPrint salesOrderPrint(Connection &c, const QString &orderID)
{
    return storedPrint(
        c, discountedPrint(QStringLiteral("销售订单"), QStringLiteral("销售订单明细"), QStringLiteral("货品销售订单")),
        orderID);
}

DocumentPrint salesBillPrint(Connection &c, const QString &billID)
{
    return storedPrint(
        c, discountedPrint(QStringLiteral("销售单"), QStringLiteral("销售明细"), QStringLiteral("货品销售单")), billID);
}

DocumentPrint salesReturnPrint(Connection &c, const QString &returnID)
{
    return storedPrint(c,
                       {.templateName = QStringLiteral("tongyong2.frf"),
                        .title = QStringLiteral("销售退货单"),
                        .header = QStringLiteral("销售退货单"),
                        .lines = QStringLiteral("销售退货明细"),
                        .partnerCaption = QStringLiteral("退回单位:"),
                        .partnerColumn = QStringLiteral("退回单位"),
                        .paidCaption = QStringLiteral("实退款:"),
                        .paidColumn = QStringLiteral("实退款"),
                        .signatures = {{"Memo28", "负责人:", "负责人"},
                                       {"Memo29", "发货员:", "发货员"},
                                       {"Memo30", "复核员:", "复核员"},
                                       {"Memo31", "送货员:", "送货员"}}},
                       returnID);
}

DocumentListConfig salesOrderListConfig()
{
    DocumentListConfig c = salesList(QStringLiteral("销售订单"), QStringLiteral("销售订单明细"), QStringLiteral("应收款"),
                                     QStringLiteral("实收款"), salesOrderPrint);
    approvedInQuoteWindow(c, true);
    c.columns = columnsOf(kOrderColumns, {"ID", "传真", "流水号"});
    c.searches = {{"按照单据编号查询", "单据编号"},
                  {"按照购买单位查询", "购买单位"},
                  {"按照联系人查询", "联系人"},
                  {"按照联系电话查询", "联系电话"},
                  {"按照经办人查询", "经办人"}};
    c.lineColumns = columnsOf(kDiscountedLines + QStringList{"换算比率"}, kLineHidden);
    c.listExportColumns = kOrderColumns.mid(1, 20);
    c.listExportWidths.insert(6, 20);
    c.names.listExport = QStringLiteral("SpeedButton10");
    c.names.remove = QStringLiteral("SpeedButton2");
    c.names.reversal.clear();
    return c;
}

DocumentListConfig salesBillListConfig()
{
    DocumentListConfig c = salesList(QStringLiteral("销售单"), QStringLiteral("销售明细"), QStringLiteral("应收款"),
                                     QStringLiteral("实收款"), salesBillPrint);
    reversible(c, 4, QStringLiteral("此项销售单据已经红字反冲操作被取消"));
    c.dateLabel = QStringLiteral("日期：");
    c.columns = columnsOf({"ID", "单据编号", "日期", "经办人", "客户折扣", "购买单位", "单位编号", "销售单位", "销售单位编号",
                           "联系电话", "联系人", "应收款", "实收款", "挂账金额", "发票号码", "开票日期", "开票金额", "送货员",
                           "开票员", "发货员", "复核员", "备注", "流水号", "是否红冲"},
                          {"ID", "流水号", "是否红冲"});
    c.searches = {{"按照单据编号查询", "单据编号"},   {"按照购买单位查询", "购买单位"}, {"按照联系电话查询", "联系电话"},
                  {"按照红冲操作员查询", "红冲操作员"}, {"按照经办人查询", "经办人"},     {"按照部门查询", "销售单位"}};
    c.lineColumns = columnsOf({"编号", "名称", "规格", "单位", "辅助单位", "数量", "辅助数量", "单价", "金额", "折扣",
                               "折后金额", "结存", "原有库存数量", "条码", "仓位", "供应商", "类别", "换算比率", "ID",
                               "流水号"},
                              kLineHidden);
    c.listExportWidths.insert(6, 20);
    c.listExportWidths.insert(21, 20);
    return c;
}

DocumentListConfig salesReturnListConfig()
{
    DocumentListConfig c = salesList(QStringLiteral("销售退货单"), QStringLiteral("销售退货明细"), QStringLiteral("应退款"),
                                     QStringLiteral("实退款"), salesReturnPrint);
    approvedInQuoteWindow(c, false);
    reversible(c, 5, QStringLiteral("此项销售退货单据已经红字反冲操作被取消"));
    const QStringList columns = {"ID",     "单据编号", "日期",     "退回单位", "负责人", "联系电话", "应退款", "实退款",
                                 "挂账金额", "单位编号", "联系人",   "地址",     "客户折扣", "送货员", "发货员", "复核员",
                                 "销售单位", "传真",   "销售单位编号", "备注",   "流水号", "是否红冲"};
    c.columns = columnsOf(columns, {"ID", "销售单位", "流水号", "是否红冲"});
    c.searches = {{"按照单据编号查询", "单据编号"}, {"按照退回单位查询", "退回单位"}, {"按照联系人查询", "联系人"},
                  {"按照联系电话查询", "联系电话"}, {"按照负责人查询", "负责人"},     {"按照红冲操作员查询", "红冲操作员"}};
    c.lineColumns = columnsOf(kDiscountedLines + QStringList{"结存", "原有库存数量", "换算比率"}, kLineHidden);
    c.listExportColumns = columns.mid(1, 19);
    c.listExportWidths.insert(6, 22);
    c.listExportWidths.insert(19, 20);
    c.names.from = QStringLiteral("DateTimePicker2");
    c.names.to = QStringLiteral("DateTimePicker3");
    c.names.listExport = QStringLiteral("SpeedButton8");
    c.names.remove = QStringLiteral("SpeedButton6");
    c.names.reversal = QStringLiteral("SpeedButton7");
    return c;
}

} // namespace orv
