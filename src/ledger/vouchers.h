#pragma once
// The stock-movement voucher: one row of 出入库单 per posted document, its lines in 出入库明细.
//
//   VoucherWriter w(conn);  keep it for the life of a window: statements stay prepared
//     w.writeHeader(kind, VoucherHeader) -> VoucherRef{number, id}; numbered as the save's last
//                                           step (insertNumberedQuiet, the number claimed), so
//                                           write the lines first
//     w.writeLines(voucherID, lines)     all lines in one statement
//     w.followRefNo(id, shown, given)    引用单号 := the number the document was finally given
//     w.prepareHeader(ds, kind)          the data module's way (TfrmMain.insert): number and ID
//                                        made under the number lock, insert into 出入库单 prepared
//                                        on ds with :jinchudanjubianhao, :zhuangtai and :shijian set
//                                        and every other parameter NULL; bind and ds.execSQL()
//     w.prepareLine(ds)                  TfrmMain.insertintoming: insert into 出入库明细 prepared
//                                        on ds, every parameter NULL until bound
//   Everything needs the caller's open transaction and refuses to run outside one.
#include "ledger/docnumbers.h"

#include <QHash>
#include <QVariant>
#include <QVector>
#include <memory>

namespace orv {

class DataSet;

void registerLedgerSchema();

enum VoucherKind { VoucherIn = 1, VoucherOut = 2, VoucherCount = 3 };
QString voucherPrefix(int kind); // throws DbError for an unknown kind
NumberRule voucherNumberRule(int kind);

struct VoucherHeader {
    QString refNo;       // 引用单号: number of the causing document
    QString refID;       // 引用ID: record ID of the causing document
    QString reason;      // 引用类别 and 原因, e.g. "采购进货"
    QString date;        // 制单日期, stored as "yyyy-MM-dd" ("yyyy/M/d" and the like are normalised)
    QString maker;       // 制单人
    QString category;    // 单据类别: "入库", "出库" or "盘点"
    QString remark;      // 单据备注
    QString auditor;     // 审核人
    QString auditDate;   // 审核日期, as 制单日期
    QString partner;     // 相关单位
    QString partnerCode; // 单位编号
    QString contact;     // 联系人
    QString phone;       // 联系电话
    QVariant department; // 相关部门: sales windows only; NULL otherwise
};

// Numbers may be given as numbers or as numeric text; empty text stores NULL.
// Quantities, prices and amounts are stored at four decimals.
struct VoucherLine {
    QString goodsNo, name, spec, unit; // 编号, 名称, 规格, 单位
    QVariant price, qty, amount;       // 单价, 数量, 金额
    QString place;                     // 仓位
    QVariant auxQty;                   // 辅助数量
    QString auxUnit, category, supplier, barcode; // 辅助单位, 类别, 供应商, 条码
    QVariant stockAfter, stockBefore;  // 结存, 原有库存数量
    QString kind;                      // 类型: "入库", "出库" or "相同"
    QVariant ratio;                    // 换算比率
    QVariant auxAfter, auxBefore;      // 辅助库存结存, 原有辅助数量
    QString mnemonic;                  // 拼音码
};

struct VoucherRef {
    QString number;
    QString id;
};

class VoucherWriter {
public:
    explicit VoucherWriter(Connection &c);
    ~VoucherWriter();

    VoucherRef prepareHeader(DataSet &ds, int kind);
    void prepareLine(DataSet &ds);

    // id: the record ID the lines were written under; empty: a new one.
    VoucherRef writeHeader(int kind, const VoucherHeader &h, const QString &id = QString());
    void writeLine(const QString &voucherID, const VoucherLine &l) { writeLines(voucherID, {l}); }
    void writeLines(const QString &voucherID, const QVector<VoucherLine> &lines);
    // A voucher written before its document was numbered names the document by the number it
    // was finally given: 引用单号 := givenNo, when that differs from the one written (shownNo).
    void followRefNo(const QString &voucherID, const QString &shownNo, const QString &givenNo);

    // A number parameter: numbers as they are, numeric text converted, blank text NULL.
    static QVariant number(const QVariant &v);
    // A quantity, price or amount: as number(), rounded to four decimals.
    static QVariant quantity(const QVariant &v);
    // A date parameter: ISO "yyyy-MM-dd" (with " hh:mm:ss" when a time is given);
    // blank NULL; text that is no date is kept as it is.
    static QVariant dateText(const QString &text);

    static const char *headerSql();
    static const char *lineSql();

    // Lines one statement takes at most.
    static constexpr int kLinesPerStatement = 32;
    // The insert of `rows` lines, and the binds one line adds to it.
    static QString linesSql(int rows);
    static void appendLineBinds(QVariantList &binds, const QString &voucherID, const VoucherLine &l);
    // PostgreSQL: the insert of a header that reads and claims its own number ("... on conflict
    // do nothing returning 单据编号": no row when the number went to another save), and its binds.
    QString claimingHeaderSql(int kind);
    QVariantList claimingHeaderBinds(int kind, const VoucherHeader &h, const QString &id);
    // The numbered insert of a kind's headers, and the values of a header in its column order.
    NumberedInsert &headerInsert(int kind);
    static QVariantList headerValues(const VoucherHeader &h, const QString &id);
    static constexpr int kRefNoColumn = 1; // 引用单号 in headerValues()

private:
    Connection &m_conn;
    Statement m_refNo;
    std::unique_ptr<NumberedInsert> m_headers[3]; // by kind: each numbers from its own series
    QHash<int, std::shared_ptr<Statement>> m_lines; // by rows per statement
    DocNumbers m_numbers[3];
};

// Four decimals, the scale of every stored quantity, price and amount.
double round4(double v);

} // namespace orv
