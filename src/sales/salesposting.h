#pragma once
// Saving a sales bill, without widgets. One transaction writes all of it or nothing:
//   sales order   its lines into 销售订单明细, the header 销售订单 '待审核'; no stock moves
//   direct sale   every line's stock checked first (the lines of one goods row added up), the
//                 "CK-" voucher ('货品销售', 金额 = 折后金额), stock down, 销售明细 with the stock
//                 before and after, the header 销售单 '已审核'
//   sales return  the "RK-" voucher ('销售退货', 金额 = 金额), stock up or a goods row created
//                 (18-character ID, both prices the line's), 销售退货明细, the header 销售退货单
//                 '已审核'
// The bill takes an 18-character record ID, drawn inside the transaction; numbers are taken
// last, a number another client took meanwhile giving way to the next free one.
//
//   SalesPosting posting(conn);                 keep it for the window's life
//   auto r = posting.save(SaleMode::Direct, header, saleLines(grid));
//   if (r.shortRow) -> "第n行库存不足操作被取消", nothing written
#include "ledger/ledger.h"
#include "sales/salesbill.h"

#include <QString>
#include <QVector>
#include <memory>

namespace orv {

struct SaleHeader {
    QString number;          // the number shown; taken when still free
    QString date;            // 日期, "yyyy-MM-dd"
    QString clerk;           // 经办人 (负责人 of a return)
    QString deliverer, shipper, checker, invoicer; // 送货员, 发货员, 复核员, 开票员
    QString customerCode;    // 单位编号
    QString customer;        // 购买单位 / 退回单位: 客户编号.客户名称
    QString contact, phone, address, memo;
    QString department, departmentCode; // 销售单位 (部门编号.部门名称), 销售单位编号
    double due = 0, received = 0, onAccount = 0; // 应收款 / 应退款, 实收款 / 实退款, 挂账金额
    double customerDiscount = 1;
    double invoiceAmount = 0; // 开票金额
    QString invoiceNo;        // 发票号码
    QString invoiceDate;      // 开票日期, "yyyy-MM-dd"; empty stores NULL
};

// The number series and tables of each mode.
NumberRule saleNumbers(SaleMode mode);
QString saleHeaderTable(SaleMode mode);
QString saleLineTable(SaleMode mode);
// The tables whose IDs a sales bill's record ID must not repeat.
QStringList saleIdTables();

class SalesPosting {
public:
    explicit SalesPosting(Connection &c);
    ~SalesPosting();

    struct Result {
        QString number, id;
        int shortRow = 0; // the grid row of the first line of a goods row whose stock is short
        bool ok() const { return shortRow == 0; }
    };
    // Throws DbError when the database refuses (nothing written).
    Result save(SaleMode mode, const SaleHeader &header, const QVector<SaleLine> &lines);

    Ledger &ledger() { return m_ledger; }

private:
    struct Writers;
    QString insertHeader(SaleMode mode, const SaleHeader &h, const QString &id);
    Connection &m_conn;
    Ledger m_ledger;
    std::unique_ptr<Writers> m_writers;
};

} // namespace orv
