#pragma once
// Workshop transfers and warehouse transfers, without widgets: their checks before anything is
// written, their saves (each one transaction, all of it or nothing) and their prints.
//
// A workshop transfer is three documents under one record ID: the transfer (调拨单, HPDB-), a
// finished-goods receipt from the giving workshop (成品入库单, CPRK-) and a requisition by the
// receiving one (车间领用, NBLY-). Every line's goods are put into its goods row (an "RK-"
// voucher '成品入库') and taken out again (a "CK-" voucher '车间领用'), so the stock ends where it
// began; the lines are refused when a row holds less than they ask of it, although the net change
// is nil, and 调拨明细 keeps the stock after the move in both its stock columns.
//
// A warehouse transfer (货品调拨单, CKDB-) takes every line's goods out of the source place's row
// of its code and name (a "CK-" voucher whose lines name the source place; 货品调拨明细 keeps the
// line's own place) and puts them into the target place's row, a missing one created (an "RK-"
// voucher). Both vouchers are '货品调拨' of "公司内部货品调拨".
//
//   Transfers transfers(conn);                          keep it for the window's life
//   if (auto f = checkWorkshopTransfer(h, grid)) ...    the window's messages, in its order
//   auto r = transfers.saveWorkshop(h, savedLines(grid));
//   if (r.shortRow) -> "第n行库存不足操作被取消", nothing written
#include "documents/documentchecks.h"
#include "documents/documentprint.h"
#include "warehouse/internalposting.h"

#include <QString>
#include <QVector>

namespace orv {

struct WorkshopTransferHeader {
    QString number, receiptNo, requisitionNo; // EditStoreNo, EditStoreNo1 (CPRK-), EditStoreNo2 (NBLY-)
    QString date;                             // Edit1Date ("yyyy-MM-dd" once checked)
    QString manager;                          // ComboBox2 负责人
    QString shipper, receiver, checker;       // ComboBox1 发货员, ComboBox4 收货员, ComboBox3 复核员
    QString fromShop, fromCode;               // ComboBox5 调出单位, Edit3
    QString toShop, toCode;                   // ComboBoxRen 调入单位, Edit4
    QString remark;                           // Edit5
};

struct WarehouseTransferHeader {
    QString number;       // EditStoreNo (CKDB-)
    QString date;         // Edit1Date
    QString manager;      // ComboBox2 负责人
    QString source, target; // ComboBox5 调出库, ComboBoxRen 调入库
    QString remark;       // Edit5
};

// The checks before anything is written, in the windows' order; the date is read last.
std::optional<CheckFailure> checkWorkshopTransfer(const WorkshopTransferHeader &h, const GoodsLineGrid &grid);
std::optional<CheckFailure> checkWarehouseTransfer(const WarehouseTransferHeader &h, const GoodsLineGrid &grid);

class Transfers {
public:
    explicit Transfers(Connection &c);
    ~Transfers();

    struct Result {
        QString id;                               // the record ID of the three documents or the transfer
        QString number, receiptNo, requisitionNo; // the numbers given (a taken one moves on)
        int shortRow = 0; // the grid row of the first line its goods row cannot serve: nothing written
        bool ok() const { return shortRow == 0; }
    };
    // Throws DbError when the database refuses (nothing written).
    Result saveWorkshop(const WorkshopTransferHeader &h, const QVector<SavedLine> &lines);
    Result saveWarehouse(const WarehouseTransferHeader &h, const QVector<SavedLine> &lines);

    Ledger &ledger() { return m_posting.ledger(); }

private:
    Connection &m_conn;
    InternalPosting m_posting;
    DocumentLineWriter m_workshopLines, m_warehouseLines;
};

// The values a transfer print shows besides its lines.
struct TransferPrintValues {
    QString number, date, source, target, remark; // Memo9, Memo5, Memo3, Memo33, Memo7
    QString qty, auxQty, amount;                  // Memo26, Memo25, Memo27
    QString manager;                              // 负责人 (Memo28)
    QString shipper, receiver, checker;           // the workshop transfer's Memo29 .. Memo31
};

// The workshop transfer (车间调拨单) and the warehouse transfer (仓库调拨单) through tongyong1.frf;
// `lines` in the order of `lineSlots` (gridLineSlots() for the grid, documentLineSlots() for
// stored lines).
DocumentPrint workshopTransferPrint(Connection &c, const TransferPrintValues &v, const LineSlots &lineSlots,
                                    const QList<QStringList> &lines);
// `fromList`: the list's print, "负责人：" with its full-width colon in signature mode.
DocumentPrint warehouseTransferPrint(Connection &c, const TransferPrintValues &v, const LineSlots &lineSlots,
                                     const QList<QStringList> &lines, bool fromList = false);
// The warehouse transfer list's print of a stored transfer, by its record ID: the header and the
// two quantity sums read from the database (an unknown ID prints empty texts and sums of 0).
DocumentPrint storedWarehouseTransferPrint(Connection &c, const QString &transferID);

} // namespace orv
