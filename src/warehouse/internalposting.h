#pragma once
// Saving an internal document, without widgets. The lines are checked against the stock first
// (firstShortRow: per goods row, every line's demand added up, without writing or holding
// anything); then one transaction writes all of it or nothing: a posted kind moves the stock of
// every line (out lines lowered, in lines raised, a missing row created), writes its lines with
// the stock before and after and one voucher; a pending kind (the loss report) writes its lines
// only. The header is numbered last: a number another client took meanwhile gives way to the
// next free one, and the voucher names the number finally given.
//
//   InternalPosting posting(conn);                       keep it for the window's life
//   if (auto f = checkInternalLines(grid, date)) ...     "请输入货品", "第n行..."
//   if (int row = posting.firstShortRow(kind, lines)) -> "第n行库存不足操作被取消"
//   auto r = posting.save(kind, header, lines);
//   if (!r.ok()) -> "第n行库存不足不能进行" + kind.shortage + "操作", nothing written
//
// The workshop transfer and the loss report's approval post through the same pieces
// (ledgerLines, lineWriter, insertHeader, voucherHeader).
#include "documents/documentchecks.h"
#include "ledger/documentlines.h"
#include "ledger/ledger.h"
#include "warehouse/internalkinds.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <map>
#include <memory>

namespace orv {

// The header as the entry window holds it (texts as shown; the date "yyyy-MM-dd").
struct InternalHeader {
    QString number;    // the number shown (EditStoreNo)
    QString date;      // 日期, 制单日期 and 审核日期 of the voucher
    QString clerk;     // the operator column (ComboBox2); 制单人 of the voucher
    QString party;     // ComboBox5
    QString partyCode; // Edit8
    QString manager;   // Edit4: 联系人 of the voucher, also where the window hides it
    QString remark;    // Edit5
    QHash<QString, QString> staff; // the kind's staff columns, by column
};

// The entry window's checks before anything is written: "请输入货品", the five empty-cell
// checks ("第n行货品编号不能为空" ...; the transfers say "第n行货品不能为空" for the code), every
// number of every saved line, then the date (named by `dateCaption`).
std::optional<CheckFailure> checkInternalLines(const GoodsLineGrid &grid, const QString &date,
                                               const char *emptyCodeText = "货品编号不能为空",
                                               const char *dateCaption = "制单日期");

class InternalPosting {
public:
    explicit InternalPosting(Connection &c);
    ~InternalPosting();

    // The grid row of the first line whose goods row cannot give what the lines before it and
    // itself ask of that row (or that has no goods row at its place); 0 when every line can.
    // Kinds that raise stock pass whatever it is; the loss report is checked though it moves
    // nothing yet.
    int firstShortRow(const InternalKind &kind, const QVector<SavedLine> &lines);

    struct Result {
        QString number, id; // the number given and the document's record ID
        int shortRow = 0;   // the grid row of a line short of stock at posting: nothing written
        bool ok() const { return shortRow == 0; }
    };
    // Throws DbError when the database refuses (nothing written).
    Result save(const InternalKind &kind, const InternalHeader &header, const QVector<SavedLine> &lines);

    // The pieces of a save, each inside the caller's transaction.
    // The ledger lines of a kind's posting (lowered, or raised with a new row's options).
    static QVector<Ledger::Line> ledgerLines(const InternalKind &kind, const QVector<SavedLine> &lines);
    // The voucher header of a posted document of the kind (引用ID = the document's record ID).
    static VoucherHeader voucherHeader(const InternalKind &kind, const InternalHeader &h, const QString &docID);
    // The kind's line table: the posted form (with the stock columns) or the pending one.
    DocumentLineWriter &lineWriter(const InternalKind &kind, bool pending);
    // The header row, numbered last; returns the number given.
    QString insertHeader(const InternalKind &kind, const InternalHeader &h, const QString &docID, double total,
                         const QString &state);

    Ledger &ledger() { return m_ledger; }

private:
    Connection &m_conn;
    Ledger m_ledger;
    std::map<std::pair<int, bool>, std::unique_ptr<DocumentLineWriter>> m_writers;
};

} // namespace orv
