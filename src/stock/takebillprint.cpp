#include "stock/takebillprint.h"
#include "common/clock.h"
#include "data/dataset.h"
#include "goods/goodslines.h"

namespace orv {

LineSlots takeBillLineSlots()
{
    return {{"Memo33", "编号"}, {"Memo18", "名称"},   {"Memo19", "规格"},     {"Memo20", "仓位"},
            {"Memo21", "数量"}, {"Memo22", "单位"},   {"Memo23", "单价"},     {"Memo24", "金额"},
            {"Memo5", "实盘数量"}, {"Memo6", "盘盈盘亏"}, {"Memo7", "盘盈亏金额"}};
}

DocumentPrint takeBillPrint(Connection &c, const QString &billID, const QString &clerk)
{
    DocumentPrint p;
    p.templateName = QStringLiteral("pandian.frf");
    p.headBands = {QStringLiteral("报表标题1"), QStringLiteral("主项头3")};
    p.footerSlot = QStringLiteral("Memo25");
    p.lineSlots = takeBillLineSlots();
    p.lines = storedPrintLines(c, QStringLiteral("盘点明细"), billID, p.lineSlots);

    DataSet sums(&c);
    sums.setSql("select sum(数量), sum(金额), sum(盘盈盘亏), sum(盘盈亏金额) from 盘点明细 where ID = ?");
    sums.addBindValue(billID);
    sums.open();
    p.set(QStringLiteral("Memo1"), companyName(c) + QStringLiteral("货品盘点单"));
    const char *const totals[] = {"Memo26", "Memo27", "Memo8", "Memo9"};
    for (int i = 0; i < 4; ++i)
        p.set(QString::fromUtf8(totals[i]), generalNumber(sums.fields(i).asFloat()));
    p.set(QStringLiteral("Memo28"), signature(QStringLiteral("负责人:"), clerk));
    p.set(QStringLiteral("Memo29"),
          QStringLiteral("时间：") + Clock::localNow().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    return p;
}

} // namespace orv
