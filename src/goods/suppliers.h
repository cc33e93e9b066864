#pragma once
// Suppliers (往来单位): the table, its searches and the saves of the supplier dialog.
//
//   SupplierStore s(conn);
//     s.search(field, text)   the list windows' search (LIKE '%text%', wildcards kept, bound)
//     s.saveNew(supplier)     checks in their order, then the code under the number lock inside
//                             the saving transaction: a taken code is bumped once, a code still
//                             taken is refused
//     s.saveEdit(supplier)    the same checks; the code is checked only when it was changed
// A supplier is named elsewhere by its supplier text: ID + "." + 单位名称.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace orv {

class Connection;

struct Supplier {
    qint64 rowNo = 0; // 流水号
    QString name;     // 单位名称
    QString mnemonic; // 助记码 (the dialog's 拼音码)
    QString code;     // ID (the dialog's 单位编号)
    QString contact, phone, fax, postcode, email, qq, account, taxNo, scope, web, address, remark;
    bool purchasing = true; // 采购供应商
    bool warranty = false;  // 三包厂商
    bool insurance = false; // 保险单位
    bool vehicle = false;   // 车管单位

    QString supplierText() const { return code + '.' + name; }
};

// The dialog's fields in their keyboard order (the order the byte limits are checked in).
enum class SupplierField { Name, Mnemonic, Code, Contact, Phone, Fax, Postcode, Email, QQ, Account, TaxNo, Scope, Web,
                           Address, Remark };

struct SupplierRefusal {
    QString message;
    SupplierField field = SupplierField::Name;
};

// Registers 往来单位 (call before connecting).
void registerSupplierSchema();

class SupplierStore {
public:
    explicit SupplierStore(Connection &c) : m_conn(c) {}

    // The columns of 往来单位 in table order, as the list windows show them.
    static const QStringList &columnNames();
    // Search selector items: the list's seven, the picker's eight (with "按照助记码查询").
    static QStringList searchItems(bool withMnemonic);
    // The column an item searches; empty for "显示全部".
    static QString searchColumn(const QString &item);
    // "select <columns> from 往来单位" with the search's condition and its bound pattern.
    // An empty text or "显示全部" lists every supplier.
    static QString searchSql(const QString &item, const QString &text, bool postgres, QString *pattern);

    std::optional<Supplier> byRowNo(qint64 rowNo) const;
    QList<Supplier> all() const;

    // The checks that need no database: empty name, then the byte limits in field order.
    static std::optional<SupplierRefusal> checkFields(const Supplier &s);

    struct Saved {
        bool ok = false;
        QString code;   // the code as the field should now show it (bumped or not)
        qint64 rowNo = 0;
        SupplierRefusal refusal;
    };
    // New supplier: 采购供应商 as given (the dialog passes true), the other flags as given.
    Saved saveNew(const Supplier &s);
    // Edit of the supplier s.rowNo; the stored role flags are written back as s carries them.
    Saved saveEdit(const Supplier &s);
    // False when no row has that 流水号.
    bool remove(qint64 rowNo);

    static QString duplicateCodeText();
    static QString vanishedText();

private:
    bool codeTaken(const QString &code) const;
    Connection &m_conn;
};


} // namespace orv
