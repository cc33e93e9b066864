#include "goods/suppliers.h"
#include "common/codec.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "data/schema.h"
#include "goods/mastercode.h"
#include "ledger/docnumbers.h"

namespace orv {

namespace {
// The code column is ID, which PostgreSQL keeps folded to lower case; the rule quotes its column.
const NumberRule kRule = supplierCodeRule();

const QString kColumns = QStringLiteral("流水号, 单位名称, 联系人, 联系电话, 传真, 邮编, 地址, Email, QQ, 帐号, 税号, "
                                        "经营范围, 网址, 备注, 采购供应商, 三包厂商, 保险单位, 车管单位, 助记码, ID");

struct Limit {
    SupplierField field;
    int bytes;
    const char *message;
};
// The dialog's keyboard order.
const Limit kLimits[] = {
    {SupplierField::Name, 1000, "供应商单位名称不得超过1000"}, {SupplierField::Mnemonic, 3000, "助记码不得超过3000"},
    {SupplierField::Code, 200, "单位编号不得超过200"},         {SupplierField::Contact, 500, "联系人不得超过500"},
    {SupplierField::Phone, 500, "联系电话不得超过500"},        {SupplierField::Fax, 500, "传真不得超过500"},
    {SupplierField::Postcode, 500, "邮编不得超过500"},         {SupplierField::Email, 500, "邮箱不得超过500"},
    {SupplierField::QQ, 20, "qq不得超过20"},                   {SupplierField::Account, 100, "帐号不得超过100"},
    {SupplierField::TaxNo, 100, "税号不得超过100"},            {SupplierField::Scope, 3000, "经营范围不得超过3000"},
    {SupplierField::Web, 500, "网址不得超过500"},              {SupplierField::Address, 3000, "地址不得超过3000"},
    {SupplierField::Remark, 2000, "备注不得超过2000"},
};

const QString &fieldText(const Supplier &s, SupplierField f)
{
    switch (f) {
    case SupplierField::Name: return s.name;
    case SupplierField::Mnemonic: return s.mnemonic;
    case SupplierField::Code: return s.code;
    case SupplierField::Contact: return s.contact;
    case SupplierField::Phone: return s.phone;
    case SupplierField::Fax: return s.fax;
    case SupplierField::Postcode: return s.postcode;
    case SupplierField::Email: return s.email;
    case SupplierField::QQ: return s.qq;
    case SupplierField::Account: return s.account;
    case SupplierField::TaxNo: return s.taxNo;
    case SupplierField::Scope: return s.scope;
    case SupplierField::Web: return s.web;
    case SupplierField::Address: return s.address;
    case SupplierField::Remark: break;
    }
    return s.remark;
}

Supplier fromRow(const DataSet &q)
{
    Supplier s;
    s.rowNo = q.fieldByName("流水号").value().toLongLong();
    s.name = q.fieldByName("单位名称").asString();
    s.contact = q.fieldByName("联系人").asString();
    s.phone = q.fieldByName("联系电话").asString();
    s.fax = q.fieldByName("传真").asString();
    s.postcode = q.fieldByName("邮编").asString();
    s.address = q.fieldByName("地址").asString();
    s.email = q.fieldByName("Email").asString();
    s.qq = q.fieldByName("QQ").asString();
    s.account = q.fieldByName("帐号").asString();
    s.taxNo = q.fieldByName("税号").asString();
    s.scope = q.fieldByName("经营范围").asString();
    s.web = q.fieldByName("网址").asString();
    s.remark = q.fieldByName("备注").asString();
    s.purchasing = q.fieldByName("采购供应商").asBoolean();
    s.warranty = q.fieldByName("三包厂商").asBoolean();
    s.insurance = q.fieldByName("保险单位").asBoolean();
    s.vehicle = q.fieldByName("车管单位").asBoolean();
    s.mnemonic = q.fieldByName("助记码").asString();
    s.code = q.fieldByName("ID").asString();
    return s;
}

QVariantList values(const Supplier &s)
{
    auto flag = [](bool b) { return QVariant(b); };
    return {s.name,     s.contact,       s.phone,         s.fax,          s.postcode,  s.address,
            s.email,    s.qq,            s.account,       s.taxNo,        s.scope,     s.web,
            s.remark,   flag(s.purchasing), flag(s.warranty), flag(s.insurance), flag(s.vehicle), s.mnemonic,
            s.code};
}
} // namespace

void registerSupplierSchema()
{
    // A supplier brought in without its role flags (the Excel import) is a purchasing supplier,
    // so it shows in the goods windows' supplier lists.
    Schema::addTables(
        "goods", 2,
        {{"往来单位",
          "create table 往来单位 (流水号 {ID}, 单位名称 VARCHAR(1000), 联系人 VARCHAR(500), 联系电话 VARCHAR(500), "
          "传真 VARCHAR(500), 邮编 VARCHAR(500), 地址 VARCHAR(3000), Email VARCHAR(500), QQ VARCHAR(20), "
          "帐号 VARCHAR(100), 税号 VARCHAR(100), 经营范围 VARCHAR(3000), 网址 VARCHAR(500), 备注 VARCHAR(2000), "
          "采购供应商 {BOOL} DEFAULT TRUE, 三包厂商 {BOOL} DEFAULT FALSE, 保险单位 {BOOL} DEFAULT FALSE, "
          "车管单位 {BOOL} DEFAULT FALSE, 助记码 VARCHAR(3000), ID VARCHAR(200))",
          {"create index ix_往来单位_ID on 往来单位 (ID)", documentNoIndex(kRule)}}});
}

const QStringList &SupplierStore::columnNames()
{
    static const QStringList names = [] {
        QStringList out;
        for (const QString &c : kColumns.split(','))
            out << c.trimmed();
        return out;
    }();
    return names;
}

QStringList SupplierStore::searchItems(bool withMnemonic)
{
    QStringList items{"显示全部",       "按照名称查询", "按照联系人查询", "按照联系电话查询",
                      "按照传真查询", "按照地址查询", "按照备注查询"};
    if (withMnemonic)
        items << "按照助记码查询";
    return items;
}

QString SupplierStore::searchColumn(const QString &item)
{
    static const QHash<QString, QString> columns{{"按照名称查询", "单位名称"}, {"按照联系人查询", "联系人"},
                                                 {"按照联系电话查询", "联系电话"}, {"按照传真查询", "传真"},
                                                 {"按照地址查询", "地址"},       {"按照备注查询", "备注"},
                                                 {"按照助记码查询", "助记码"}};
    return columns.value(item);
}

QString SupplierStore::searchSql(const QString &item, const QString &text, bool postgres, QString *pattern)
{
    const QString select = "select " + kColumns + " from 往来单位";
    const QString column = searchColumn(item);
    if (text.isEmpty() || column.isEmpty()) {
        if (pattern)
            pattern->clear();
        return select + " order by 流水号";
    }
    // The typed text stays a pattern ("_" and "%" match as wildcards) but is bound, never joined in.
    if (pattern)
        *pattern = '%' + text + '%';
    return select + " where " + column + (postgres ? " ilike ?" : " like ?") + " order by 流水号";
}

std::optional<Supplier> SupplierStore::byRowNo(qint64 rowNo) const
{
    DataSet q(&m_conn);
    q.setSql("select " + kColumns + " from 往来单位 where 流水号 = ?");
    q.addBindValue(rowNo);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    return fromRow(q);
}

QList<Supplier> SupplierStore::all() const
{
    DataSet q(&m_conn);
    q.setSql("select " + kColumns + " from 往来单位 order by 流水号");
    q.open();
    QList<Supplier> out;
    for (q.first(); !q.eof(); q.next())
        out << fromRow(q);
    return out;
}

std::optional<SupplierRefusal> SupplierStore::checkFields(const Supplier &s)
{
    if (s.name.isEmpty())
        return SupplierRefusal{QStringLiteral("单位名称不能为空！"), SupplierField::Name};
    if (codeMissing(s.code))
        return SupplierRefusal{QStringLiteral("单位编号不能为空！"), SupplierField::Code};
    for (const Limit &l : kLimits)
        if (gbkLength(fieldText(s, l.field)) > l.bytes)
            return SupplierRefusal{QString::fromUtf8(l.message), l.field};
    return std::nullopt;
}

QString SupplierStore::duplicateCodeText() { return QStringLiteral("单位编号不能相同"); }
QString SupplierStore::vanishedText() { return QStringLiteral("该供应商已被其他用户删除，修改未保存"); }

bool SupplierStore::codeTaken(const QString &code) const
{
    DataSet q(&m_conn);
    q.setSql("select 1 from 往来单位 where ID = ?");
    q.addBindValue(code);
    q.open();
    return !q.isEmpty();
}

SupplierStore::Saved SupplierStore::saveNew(const Supplier &in)
{
    Saved out;
    out.code = in.code;
    if (auto r = checkFields(in)) {
        out.refusal = *r;
        return out;
    }
    Transaction tx(m_conn);
    lockMasterCodes(m_conn, kRule);
    Supplier s = in;
    if (codeTaken(s.code))
        s.code = bumpMasterCode(s.code);
    out.code = s.code;
    if (codeTaken(s.code)) {
        out.refusal = {duplicateCodeText(), SupplierField::Code};
        return out;
    }
    DataSet q(&m_conn);
    q.setSql("insert into 往来单位(单位名称,联系人,联系电话,传真,邮编,地址,Email,QQ,帐号,税号,经营范围,网址,备注,"
             "采购供应商,三包厂商,保险单位,车管单位,助记码,ID) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?) "
             "returning 流水号");
    for (const QVariant &v : values(s))
        q.addBindValue(v);
    q.open();
    out.rowNo = q.fields(0).value().toLongLong();
    tx.commit();
    out.ok = true;
    return out;
}

SupplierStore::Saved SupplierStore::saveEdit(const Supplier &s)
{
    Saved out;
    out.code = s.code;
    out.rowNo = s.rowNo;
    if (auto r = checkFields(s)) {
        out.refusal = *r;
        return out;
    }
    Transaction tx(m_conn);
    lockMasterCodes(m_conn, kRule);
    DataSet stored(&m_conn);
    stored.setSql("select ID from 往来单位 where 流水号 = ?");
    stored.addBindValue(s.rowNo);
    stored.open();
    if (stored.isEmpty()) {
        out.refusal = {vanishedText(), SupplierField::Name};
        return out;
    }
    // Only a changed code is checked: the supplier's own code is no clash.
    if (stored.fields(0).asString() != s.code && codeTaken(s.code)) {
        out.refusal = {duplicateCodeText(), SupplierField::Code};
        return out;
    }
    DataSet q(&m_conn);
    q.setSql("update 往来单位 set 单位名称=?,联系人=?,联系电话=?,传真=?,邮编=?,地址=?,Email=?,QQ=?,帐号=?,税号=?,"
             "经营范围=?,网址=?,备注=?,采购供应商=?,三包厂商=?,保险单位=?,车管单位=?,助记码=?,ID=? where 流水号=?");
    for (const QVariant &v : values(s))
        q.addBindValue(v);
    q.addBindValue(s.rowNo);
    if (q.execSQL() == 0) {
        out.refusal = {vanishedText(), SupplierField::Name};
        return out;
    }
    tx.commit();
    out.ok = true;
    return out;
}

bool SupplierStore::remove(qint64 rowNo)
{
    Transaction tx(m_conn);
    DataSet q(&m_conn);
    q.setSql("delete from 往来单位 where 流水号 = ?");
    q.addBindValue(rowNo);
    const int n = q.execSQL();
    tx.commit();
    return n > 0;
}

} // namespace orv
