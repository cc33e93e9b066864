#include "warehouse/internallist.h"
#include "warehouse/internalprint.h"

#include <QMap>

namespace orv {

namespace {

// The kind's list columns ("部门编号 as 单位编号, 领用员, ...") as grid title -> table column.
QMap<QString, QString> kindColumns(const InternalKind &k)
{
    QMap<QString, QString> out;
    for (const QString &entry : QString::fromUtf8(k.listColumns).split(',')) {
        const QStringList parts = entry.split(QStringLiteral(" as "));
        out.insert(parts.last().trimmed(), parts.first().trimmed());
    }
    return out;
}

} // namespace

DocumentListConfig internalListConfig(int kind)
{
    const InternalKind &k = internalKind(kind);
    const QString operatorColumn = QString::fromUtf8(k.operatorColumn);
    const QString partyColumn = QString::fromUtf8(k.partyColumn);
    const QMap<QString, QString> own = kindColumns(k);
    auto ownColumn = [&own](const QString &title, int width) { return ListColumn{title, own.value(title), false, width}; };

    DocumentListConfig c;
    c.caption = QString::fromUtf8(k.listCaption);
    c.table = QString::fromUtf8(k.header);
    c.state = QStringLiteral("已审核");
    c.dateColumn = QStringLiteral("日期");
    c.columns = {hidden("ID"), hidden("流水号"), shown("单据编号", 122), shown("日期", 112),
                 shownAs(operatorColumn, "开单员", 80), shownAs(partyColumn, "相关单位", 120), ownColumn("单位编号", 60),
                 shown("金额合计", 75), shown("摘要", 231)};
    for (const auto &[title, width] : {std::pair{"送货员", 70}, {"收货员", 70}, {"复核员", 70}, {"部门经理", 70},
                                       {"领用员", 60}, {"财务", 60}, {"借出员", 50}, {"归还员", 50}})
        c.columns << ownColumn(QString::fromUtf8(title), width);
    c.columns << hidden("是否红冲");
    c.searches = {{"按单据编号查询", "单据编号"},
                  {"按照相关单位查询", partyColumn},
                  {"按照开单人查询", operatorColumn},
                  {"按照红冲操作员查询", "红冲操作员"}};
    c.totalsLabel = QStringLiteral("合计");
    c.summed = {"金额合计"};
    c.lineTable = QString::fromUtf8(k.lines);
    c.linesTab = QStringLiteral("明细");
    c.lineColumns = {hidden("流水号"), hidden("ID")};
    for (const auto &[title, width] :
         {std::pair{"编号", 90}, {"名称", 90}, {"规格", 83}, {"单位", 55}, {"数量", 46}, {"单价", 75}, {"金额", 62},
          {"辅助数量", 70}, {"辅助单位", 70}, {"供应商", 70}, {"条码", 70}, {"仓位", 80}, {"类别", 50}, {"结存", 70},
          {"原有库存数量", 60}, {"换算比率", 70}})
        c.lineColumns << shown(QString::fromUtf8(title), width);
    c.print = [&k](Connection &conn, const QString &id) { return internalStoredPrint(conn, k, id); };
    c.printCaption = QString::fromUtf8(k.printButtonCaption);
    c.listExportColumns = {"单据编号", "日期", "开单员", "相关单位", "单位编号", "金额合计", "摘要"};
    c.listExportWidths.insert(6, 20);
    c.redFlag = QStringLiteral("是否红冲");
    c.reversalKind = 3;
    c.reversedText = QStringLiteral("此项单据已经红字反冲操作被取消");
    c.remarkColumn = QStringLiteral("摘要");
    return c;
}

} // namespace orv
