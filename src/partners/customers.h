#pragma once
// 客户目录: the customers, their KH codes and discounts, the checks of the two customer
// dialogs, and the searches of the customer list and the customer picker. A customer is
// referred to elsewhere by 客户编号 + "." + 客户名称.
#include "partners/partnerrules.h"
#include "common/clock.h"
#include "goods/excelexport.h"
#include "ledger/docnumbers.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace orv {

class Connection;

struct Customer {
    qint64 key = 0; // 流水号
    QString code;   // 客户编号
    QString name, contact, phone, fax, email, address, postcode;
    QString registered; // 登记时间, yyyy-MM-dd
    QString taxNo, account, remark, route, mobile, birthday;
    QString mnemonic; // 助记码 (the dialogs' 拼音码)
    QString phone2, region, memberNo;
    QString discount; // 客户折扣, a factor: 1 no discount, 0.8 twenty per cent off

    QString text() const { return code + '.' + name; }
};

// 客户编号: "KH" + yyMMdd + a three-digit serial.
NumberRule customerCodeRule();

// The customer list's search kinds, in the order of its selector.
enum class CustomerSearch { All, Name, Contact, Phone, Address, Fax, Remark };
const QStringList &customerSearchTexts();

class CustomerStore {
public:
    explicit CustomerStore(Connection &c) : m_conn(c) {}

    // The customer list: every row when the text is empty, whatever the kind; otherwise the
    // rows whose column of that kind holds the text anywhere (its wildcards kept).
    QList<Customer> list(CustomerSearch kind = CustomerSearch::All, const QString &text = QString()) const;
    // The picker's search: the text anywhere in 客户编号, 客户名称, 助记码, 地址, 联系人 or 联系电话.
    // A row whose six columns are all empty (NULL) never matches.
    QList<Customer> pickerSearch(const QString &text) const;
    std::optional<Customer> byKey(qint64 key) const;

    // The new-customer dialog's save, its checks in order: name, discount, a code at all, code
    // clash (a code of more than 10 characters has its serial raised once), code uniqueness, byte
    // limits, a discount of "0". The code is decided and the row inserted in one transaction under the
    // table's code lock. c.code holds the code decided (also when refused later); c.key the row.
    // Names, contacts, addresses and the other texts are stored trimmed.
    Refusal saveNew(Customer &c, const QDate &today = Clock::localNow().date());
    // The edit dialog's save: name, discount, code, a discount of "0", byte limits, then the
    // code's uniqueness when it differs from the stored one. Values are stored as typed;
    // 登记时间 and 生日 keep theirs.
    Refusal saveEdit(qint64 key, const Customer &c);
    bool remove(qint64 key);

    static Refusal checkLengths(const Customer &c);

private:
    QList<Customer> read(const QString &where, const QVariantList &binds) const;
    bool codeTaken(const QString &code) const;
    Connection &m_conn;
};

// The customer list's export: twelve columns (the hidden 流水号 among them) and the count line.
ExportSheet customerExportSheet(const QList<Customer> &rows);

} // namespace orv
