#pragma once
// Document numbers, record IDs and the stock-movement voucher (出入库单 / 出入库明细).
//
// Public API (what the main window and the document writers call):
//
//   Record IDs (24 digits: yyyyMMdd, UTC hour + 8 as 08..31 without carrying into the
//   date, mmss, a zero-padded random 0 <= r < 2100000000 from the generator seeded once):
//     QString makeRecordID(utc = Clock::utcNow())
//     QString getDbIDField()                      G.gNewRecordID := a new record ID
//
//   Document numbers: prefix + yyMMdd (UTC) + "-" + NNN, master codes without the dash.
//   Allocate inside the saving transaction: the number is locked, read and probed there,
//   and the caller's insert in the same transaction makes it taken. Serial 999 is the last
//   one of a day; the next request throws NumbersExhausted.
//     DocNumbers(conn, NumberRule{table, column, prefix, dash})
//       .next()               the next free number of today
//       .makeFree(number)     the number itself when free, else the next free one of its day
//       .taken(number)
//     QString documentNoIndex(rule)   index statement keeping next() independent of table size
//
//   Vouchers (kind 1 "RK-", 2 "CK-", 3 "PD-"):
//     QString voucherPrefix(kind)
//     QString getTaskNo()     G.gVoucherNo := next voucher number for G.gVoucherKind
//     QString sanhao()        G.gVoucherNo := itself, or the next free one when taken
//     VoucherWriter w(conn);  keep it for the life of a window: statements stay prepared
//       w.prepareHeader(ds)   TfrmMain.insert: G.gVoucherNo, G.gNewRecordID made, insert into
//                             出入库单 prepared on ds with :jinchudanjubianhao, :zhuangtai and
//                             :shijian set and every other parameter NULL; bind and ds.execSQL()
//       w.prepareLine(ds)     TfrmMain.insertintoming: insert into 出入库明细 prepared on ds,
//                             every parameter NULL until bound; bind and ds.execSQL()
//       w.writeHeader(kind, VoucherHeader)   -> VoucherRef{number, id} (also into G)
//       w.writeLine(voucherID, VoucherLine)
//   Run all of it inside the caller's Transaction: a save is one voucher or none.
//   Take numbers (document and voucher) before moving stock: locks are then always taken in
//   the same order (numbers of a table, then goods rows by code and place).
//
//   Schema: registerVoucherSchema() registers 出入库单 and 出入库明细.
#include "app/dbconnection.h"
#include "common/clock.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

namespace orv {

class DataSet;

void registerVoucherSchema();

// ---- Record IDs

QString makeRecordID(const QDateTime &utc = Clock::utcNow());
QString getDbIDField();

// ---- Document numbers

// The day's serials of one prefix have run out (999 is the last).
class NumbersExhausted : public DbError {
public:
    explicit NumbersExhausted(const QString &head);
};

struct NumberRule {
    QString table;  // e.g. 出入库单
    QString column; // e.g. 单据编号
    QString prefix; // e.g. "RK-", "CGJH-", "HP"
    bool dash = true; // master codes: false
};

// yyMMdd of the UTC clock.
QString numberDate(const QDateTime &utc = Clock::utcNow());

class DocNumbers {
public:
    DocNumbers(Connection &c, NumberRule rule);
    // Next free number of the UTC day: the serial after that of the day's most recently
    // inserted row (by 流水号), moved on past numbers already taken.
    QString next(const QDateTime &utc = Clock::utcNow());
    // The number when no row holds it; otherwise the next free serial of the same day.
    QString makeFree(const QString &number);
    bool taken(const QString &number);
    const NumberRule &rule() const { return m_rule; }

private:
    QString firstFree(const QString &head, int serial);
    void lock();
    Connection &m_conn;
    NumberRule m_rule;
    QSqlQuery m_last;
    QSqlQuery m_exists;
    int m_lastLength = -1;
};

// "create index ... (substr(column, 1, n), 流水号)" for the rule's prefix length: with it the
// day's last number is found without reading the table.
QString documentNoIndex(const NumberRule &rule);

// ---- Stock-movement vouchers

enum VoucherKind { VoucherIn = 1, VoucherOut = 2, VoucherCount = 3 };
QString voucherPrefix(int kind); // throws DbError for an unknown kind
NumberRule voucherNumberRule(int kind);

QString getTaskNo();
QString sanhao();

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
// 数量 and 金额 are stored as currency values (rounded to four decimals).
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
    // setGlobals: also hand number and ID over in G.gVoucherNo / G.gNewRecordID.
    explicit VoucherWriter(Connection &c, bool setGlobals = true);
    VoucherWriter();

    void prepareHeader(DataSet &ds, int kind = -1); // kind -1: G.gVoucherKind
    void prepareLine(DataSet &ds);

    VoucherRef writeHeader(int kind, const VoucherHeader &h);
    void writeLine(const QString &voucherID, const VoucherLine &l);

    // A number parameter: numbers as they are, numeric text converted, blank text NULL.
    static QVariant number(const QVariant &v);
    // A date parameter: ISO "yyyy-MM-dd" (with " hh:mm:ss" when a time is given);
    // blank NULL; text that is no date is kept as it is.
    static QVariant dateText(const QString &text);

    static const char *headerSql();
    static const char *lineSql();

private:
    VoucherRef allocate(int kind);
    Connection &m_conn;
    bool m_setGlobals;
    QSqlQuery m_header;
    QSqlQuery m_line;
    DocNumbers m_numbers[3];
};

} // namespace orv
