#include "stock/takelist.h"
#include "data/dataset.h"
#include "stock/takebillprint.h"

namespace orv {

DocumentListConfig takeListConfig()
{
    DocumentListConfig c;
    c.caption = QStringLiteral("盘点单");
    c.table = QStringLiteral("盘点单");
    // As the postings wrote them.
    c.orderBy = QStringLiteral("流水号");
    c.columns = {hidden("ID"),        hidden("流水号"),      shown("单据编号", 120), shown("日期", 120),
                 shown("负责人", 100), shown("盈亏金额", 100), shown("盈亏数量", 100)};
    // The goods-code item has no caption; it lists a bill once per matching line and shows only
    // those lines.
    c.searches = {{QStringLiteral("按照单据编号查询"), QStringLiteral("单据编号")},
                  {QStringLiteral("按照经办人查询"), QStringLiteral("负责人")},
                  {QString(), QString(), QString(), QStringLiteral("编号 {like} ?"),
                   QStringLiteral("select 盘点单.* from 盘点单 join 盘点明细 on 盘点明细.ID = 盘点单.ID "
                                  "where 盘点明细.编号 {like} ?")}};
    c.lineTable = QStringLiteral("盘点明细");
    c.linesTab = QStringLiteral("盘点明细");
    c.lineColumns = {hidden("ID"),        hidden("流水号"),      shown("编号", 100),     shown("名称", 150),
                     shown("类别", 50),    shown("规格", 40),      shown("仓位", 40),      shown("数量", 40),
                     shown("金额", 50),    shown("实盘数量", 60),  shown("单价", 60),      shown("盘盈盘亏", 70),
                     shown("盘盈亏金额", 70)};
    c.print = [](Connection &conn, const QString &id) {
        DataSet bill(&conn);
        bill.setSql(QStringLiteral("select 负责人 from 盘点单 where ID = ?"));
        bill.addBindValue(id);
        bill.open();
        return takeBillPrint(conn, id, bill.isEmpty() ? QString() : bill.fields(0).asString());
    };
    c.printCaption = QStringLiteral("盘点单");
    c.reloadAfterPrint = false;
    c.listExport = false;
    c.names.searchText = QStringLiteral("Edit1");
    c.names.query = QStringLiteral("SpeedButton3");
    c.names.print = QStringLiteral("SpeedButton4");
    c.names.remove = QStringLiteral("SpeedButton1");
    c.names.lineExport = QStringLiteral("SpeedButton2");
    return c;
}

} // namespace orv
