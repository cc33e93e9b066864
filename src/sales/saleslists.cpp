#include "sales/saleslists.h"
#include "app/appglobals.h"
#include "data/dataset.h"

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

// The header of a stored document by record ID, its columns read as text.
struct StoredHeader {
    StoredHeader(Connection &c, const QString &table, const QString &id) : h(&c)
    {
        h.setSql("select * from " + table + " where ID = ? order by 流水号");
        h.addBindValue(id);
        h.open();
    }
    QString operator()(const char *column) const
    {
        return h.isEmpty() ? QString() : h.fieldByName(QString::fromUtf8(column)).asString();
    }
    DataSet h;
};

QString companyLine()
{
    return QStringLiteral("地址：") + G.gCompanyAddress + QStringLiteral("电话：") + G.gCompanyPhone + QStringLiteral(" ") +
           QStringLiteral("传真:") + G.gCompanyFax;
}

// An order and a bill print alike, from their own tables.
DocumentPrint discountedPrint(Connection &c, const QString &header, const QString &lines, const QString &title,
                              const QString &id)
{
    const StoredHeader f(c, header, id);
    DocumentPrint p;
    p.templateName = QStringLiteral("tongyong1.frf");
    p.headBands = documentHeadBands(true);
    p.lineSlots = discountLineSlots();
    p.set("Memo1", G.gCompanyName + title);
    p.set("Memo2", QStringLiteral("销售单位:"));
    p.set("Memo3", f("销售单位"));
    p.set("Memo5", f("日期"));
    p.set("Memo6", companyLine());
    p.set("Memo7", f("备注"));
    p.set("Memo8", G.gCompanyBusiness);
    p.set("Memo9", f("单据编号"));
    p.set("Memo10", QStringLiteral("购买单位:"));
    p.set("Memo12", QStringLiteral("实收款:"));
    p.set("Memo13", f("实收款"));
    p.set("Memo15", f("挂账金额"));
    p.set("Memo33", f("购买单位"));
    p.set("Memo28", signature(QStringLiteral("开票员:"), f("开票员")));
    p.set("Memo29", signature(QStringLiteral("送货员:"), f("送货员")));
    p.set("Memo30", signature(QStringLiteral("发货员:"), f("发货员")));
    p.set("Memo31", signature(QStringLiteral("复核员:"), f("复核员")));
    const LineSums sums = storedLineSums(c, lines, id, QStringLiteral("折后金额"));
    p.set("Memo25", sums.auxQty);
    p.set("Memo26", sums.qty);
    p.set("Memo27", sums.amount);
    p.lines = storedPrintLines(c, lines, id, p.lineSlots);
    return p;
}

// The columns of an order as the sales order windows show them.
const QStringList kOrderColumns = {"ID",     "单据编号", "日期",   "购买单位", "经办人",     "联系电话",
                                   "应收款", "实收款",   "挂账金额", "单位编号", "联系人",     "地址",
                                   "客户折扣", "开票员", "送货员", "发货员",   "复核员",     "销售单位",
                                   "传真",   "销售单位编号", "备注", "流水号"};
} // namespace

DocumentPrint salesOrderPrint(Connection &c, const QString &orderID)
{
    return discountedPrint(c, QStringLiteral("销售订单"), QStringLiteral("销售订单明细"), QStringLiteral("货品销售订单"),
                           orderID);
}

DocumentPrint salesBillPrint(Connection &c, const QString &billID)
{
    return discountedPrint(c, QStringLiteral("销售单"), QStringLiteral("销售明细"), QStringLiteral("货品销售单"), billID);
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
    DocumentListConfig c;
    c.caption = QStringLiteral("销售订单");
    c.table = QStringLiteral("销售订单");
    c.state = kApproved;
    c.dateColumn = QStringLiteral("日期");
    c.columns = columnsOf(kOrderColumns, {"ID", "传真", "流水号"});
    c.searches = {{"按照单据编号查询", "单据编号"},
                  {"按照购买单位查询", "购买单位"},
                  {"按照联系人查询", "联系人"},
                  {"按照联系电话查询", "联系电话"},
                  {"按照经办人查询", "经办人"}};
    c.totalsLabel = kTotals;
    c.summed = {"应收款", "实收款", "挂账金额"};
    c.lineTable = QStringLiteral("销售订单明细");
    c.linesTab = QStringLiteral("销售订单明细");
    c.lineColumns = columnsOf({"ID", "流水号", "编号", "名称", "规格", "单位", "数量", "单价", "金额", "折扣", "折后金额",
                               "仓位", "供应商", "类别", "辅助数量", "辅助单位", "换算比率"},
                              {"ID", "流水号"});
    c.print = salesOrderPrint;
    c.printCaption = QStringLiteral("销售订单");
    c.remove = {true, QStringLiteral("删除后将不能恢复你确定要继续吗?"), true, QStringLiteral("删除成功！")};
    c.lineExportCaption = QStringLiteral("导出明细");
    c.listExportColumns = kOrderColumns.mid(1, 20);
    c.listExportWidths.insert(6, 20);
    c.names.searchText = QStringLiteral("Edit1");
    c.names.query = QStringLiteral("SpeedButton1");
    c.names.print = QStringLiteral("SpeedButton4");
    c.names.lineExport = QStringLiteral("SpeedButton9");
    c.names.listExport = QStringLiteral("SpeedButton10");
    c.names.remove = QStringLiteral("SpeedButton2");
    c.names.reversal.clear();
    c.names.documents = QStringLiteral("DBGridsalequote");
    c.names.lines = QStringLiteral("DBGridSaleFit");
    return c;
}

DocumentListConfig salesBillListConfig()
{
    DocumentListConfig c;
    c.caption = QStringLiteral("销售单");
    c.table = QStringLiteral("销售单");
    c.dateColumn = QStringLiteral("日期");
    c.dateLabel = QStringLiteral("日期：");
    c.columns = columnsOf({"ID", "单据编号", "日期", "经办人", "客户折扣", "购买单位", "单位编号", "销售单位", "销售单位编号",
                           "联系电话", "联系人", "应收款", "实收款", "挂账金额", "发票号码", "开票日期", "开票金额", "送货员",
                           "开票员", "发货员", "复核员", "备注", "流水号", "是否红冲"},
                          {"ID", "流水号", "是否红冲"});
    c.searches = {{"按照单据编号查询", "单据编号"},   {"按照购买单位查询", "购买单位"}, {"按照联系电话查询", "联系电话"},
                  {"按照红冲操作员查询", "红冲操作员"}, {"按照经办人查询", "经办人"},     {"按照部门查询", "销售单位"}};
    c.totalsLabel = kTotals;
    c.summed = {"应收款", "实收款", "挂账金额"};
    c.lineTable = QStringLiteral("销售明细");
    c.linesTab = QStringLiteral("销售明细");
    c.lineColumns = columnsOf({"编号", "名称", "规格", "单位", "辅助单位", "数量", "辅助数量", "单价", "金额", "折扣",
                               "折后金额", "结存", "原有库存数量", "条码", "仓位", "供应商", "类别", "换算比率", "ID",
                               "流水号"},
                              {"ID", "流水号"});
    c.print = salesBillPrint;
    c.printCaption = QStringLiteral("销售单");
    c.lineExportCaption = QStringLiteral("导出明细");
    c.listExportWidths.insert(6, 20);
    c.listExportWidths.insert(21, 20);
    c.redFlag = QStringLiteral("是否红冲");
    c.reversalKind = 4;
    c.reversedText = QStringLiteral("此项销售单据已经红字反冲操作被取消");
    return c;
}

DocumentListConfig salesReturnListConfig()
{
    DocumentListConfig c;
    c.caption = QStringLiteral("销售退货单");
    c.table = QStringLiteral("销售退货单");
    c.state = kApproved;
    c.dateColumn = QStringLiteral("日期");
    const QStringList columns = {"ID",     "单据编号", "日期",     "退回单位", "负责人", "联系电话", "应退款", "实退款",
                                 "挂账金额", "单位编号", "联系人",   "地址",     "客户折扣", "送货员", "发货员", "复核员",
                                 "销售单位", "传真",   "销售单位编号", "备注",   "流水号", "是否红冲"};
    c.columns = columnsOf(columns, {"ID", "销售单位", "流水号", "是否红冲"});
    c.searches = {{"按照单据编号查询", "单据编号"}, {"按照退回单位查询", "退回单位"}, {"按照联系人查询", "联系人"},
                  {"按照联系电话查询", "联系电话"}, {"按照负责人查询", "负责人"},     {"按照红冲操作员查询", "红冲操作员"}};
    c.totalsLabel = kTotals;
    c.summed = {"应退款", "实退款", "挂账金额"};
    c.lineTable = QStringLiteral("销售退货明细");
    c.linesTab = QStringLiteral("销售退货明细");
    c.lineColumns = columnsOf({"ID", "流水号", "编号", "名称", "规格", "单位", "数量", "单价", "金额", "折扣", "折后金额",
                               "仓位", "供应商", "类别", "辅助数量", "辅助单位", "结存", "原有库存数量", "换算比率"},
                              {"ID", "流水号"});
    c.print = salesReturnPrint;
    c.printCaption = QStringLiteral("销售退货单");
    c.remove = {true, QStringLiteral("删除后将不能恢复你确定要继续吗?"), false, QStringLiteral("删除成功！")};
    c.lineExportCaption = QStringLiteral("导出明细");
    c.listExportColumns = columns.mid(1, 19);
    c.listExportWidths.insert(6, 22);
    c.listExportWidths.insert(19, 20);
    c.redFlag = QStringLiteral("是否红冲");
    c.reversalKind = 5;
    c.reversedText = QStringLiteral("此项销售退货单据已经红字反冲操作被取消");
    c.names.from = QStringLiteral("DateTimePicker2");
    c.names.to = QStringLiteral("DateTimePicker3");
    c.names.searchText = QStringLiteral("Edit1");
    c.names.query = QStringLiteral("SpeedButton1");
    c.names.print = QStringLiteral("SpeedButton4");
    c.names.lineExport = QStringLiteral("SpeedButton9");
    c.names.listExport = QStringLiteral("SpeedButton8");
    c.names.remove = QStringLiteral("SpeedButton6");
    c.names.reversal = QStringLiteral("SpeedButton7");
    c.names.documents = QStringLiteral("DBGridsalequote");
    c.names.lines = QStringLiteral("DBGridSaleFit");
    return c;
}

} // namespace orv
