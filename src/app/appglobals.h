#pragma once
// The one shared program state through which windows hand choices to one another.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>

namespace orv {

struct repairFit {
    QString GoodsNo, GoodsName, Spec, Place, Unit, PrintPrice, Qty, PurchasePrice, Amount, PrintAmount;
    QString AuxUnit, AuxQty, Barcode, PartnerRowNo, RowNo;
    int TargetRow = 0;
    QString Category, GoodsRowNo, Price, Supplier, Discount, GoodsID, RawRatio, Ratio, Stock;
    QString Model; // 所属车型 of a part (the batch picker)
};

struct Custom {
    QString UnitNo, CustomerNo, CustomerName, Contact, Phone, Address, Discount;
    QString GoodsTotal; // 货款合计 of a chosen quotation
};

struct DateAndTime {
    QString Date, Time;
};

struct AppGlobals {
    // Application and operator
    QString gAppTitle, gFooterBanner, gCurrentUser;
    std::array<QString, 55> gPrivileges{}; // flags 1..55 at index 0..54
    // Company record
    QString gCompanyName, gCompanyAddress, gCompanyPhone, gCompanyFax, gCompanyBusiness;
    int gPrintSignature = 0;
    // Database server
    QString gServerName, gDbUserID, gFoundServer;
    // Row keys of the administration windows
    QString gCompanyRowID, gPrivGroupID, gUserRowID;
    // Current document
    QString gDocID, gPuchDocID, gDiaoBoListID, gReverseRemark;
    // Stock-movement voucher
    int gVoucherKind = 0;
    QString gVoucherNo, gNewRecordID;
    // Mode variables
    int gFitCaller = 0, gFitView = 0, gFitAction = 0, gFitFilter = 0, gFitPrice = 0, gMdfMode = 0, gAuditKind = 0;
    int gStaffMode = 0, gDutyMode = 0, gGysMode = 0, gGysEditMode = 0, gDirMode = 0, gLeiBieMode = 0;
    int gSelectPuchMode = 0, gReverseKind = 0, gDocKind = 0, gSaleBillMode = 0, gSaleListMode = 0;
    int gPuStoreMode = 0, gLedgerFilterMode = 0, gDatePickTarget = 0, gSmsHandle = 0;
    // Shared records
    repairFit gRepFit;
    Custom gCustom;
    DateAndTime gDateAndTime;

    // Flag n (1..55) as read at login.
    const QString &privilege(int n) const { return gPrivileges[size_t(n - 1)]; }
    bool privilegeOn(int n) const { return privilege(n) == QLatin1String("True"); }
};

// The one instance.
inline AppGlobals G;

// Window messages: fixed numbers, so a message logged or scripted keeps its meaning.
enum WindowMessage : int {
    WM_FIT_CHOSEN = 1275,
    WM_FIT_MDF = 1824,
    WM_AUD_FIT_NEW = 1217,
    WM_AUD_FIT_UPDATE = 1218,
    WM_AUD_FIT_MDF = 9357,
    WM_PUCH_FIT = 1224,
    WM_FIT_BATCH = 1244,
    WM_DATE_CHOSEN = 1325,
    WM_CANGKU_NEW = 1324,
    WM_CANGKU_MDF = 1912,
    WM_PRICE_ADJUSTED = 1345,
    WM_GYS_NEW = 1357,
    WM_GYS_MDF = 4367,
    WM_CUSTOM_NEW = 1547,
    WM_CUSTOM_MDF = 1548,
    WM_CUSTOM_CHOSEN = 1169,
    WM_QUOTE_CHOSEN = 1179,
    WM_DAN_CHOSEN = 1725,
    WM_WEI_CHOSEN = 2258,
    WM_WEI1_CHOSEN = 2248,
    WM_SERVER_FOUND = 1424,
};

// What a picker may fill in its opener, by the part the field plays.
enum class FieldRole {
    Supplier,   // 供货单位 / 往来单位 name (its code travels in G.gCustom.UnitNo)
    Customer,   // 客户 (the rest of the customer in G.gCustom)
    Staff,      // a staff drop-down; `which` names the role ("经办人", "审核人", "仓管员", ...)
    Department, // 部门
    Place,      // 仓位
    Unit,       // 单位 / 辅助单位 (`which` tells which)
    Category,   // 类别
    Region,     // 地域
    Date,       // a date field; `which` names it where a window has several
};

// The receiving side of every picker: a window that opens pickers implements it, and pickers
// hand their choice over through SendMessage / setCallerField, never through the opener's
// controls. Goods lines, customers and dates travel in the shared records of G (gRepFit,
// gCustom, gDateAndTime) with a numbered message; single fields are set by role.
class MessageReceiver {
public:
    virtual ~MessageReceiver() = default;
    virtual void onWindowMessage(int message) = 0;
    // Sets the field that plays `role` (`which` names it where the window has several).
    // False when the window has no such field.
    virtual bool setField(FieldRole role, const QString &which, const QString &value);
};

// Delivered synchronously; dropped when the window is not open. False when it was dropped or
// the receiver failed: the failure has been shown to the operator once, and the sender stops
// at that choice (a picker drops the line it staged).
bool SendMessage(QWidget *receiver, int message);
template <typename T> bool SendMessage(const QPointer<T> &receiver, int message)
{
    return SendMessage(static_cast<QWidget *>(receiver.data()), message);
}

// Sets a field of the opener by role, with the same delivery rules as SendMessage.
bool setCallerField(QWidget *receiver, FieldRole role, const QString &which, const QString &value);

} // namespace orv
