#include "partners/customers.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "goods/mastercode.h"

#include <QVariant>

namespace orv {

namespace {
const QString kCodeTaken = QStringLiteral("客户编号不能相同");
const QString kNoCode = QStringLiteral("客户编号不能为空，请输入");
const QString kZeroDiscount = QStringLiteral("请输入客户折扣，此折扣不能为0");
const QString kNoNumber = QStringLiteral("客户折扣必须是数字");
const QString kGone = QStringLiteral("该客户已被其他用户删除，修改未保存");

const QString kColumns = QStringLiteral(
    "流水号,客户编号,客户名称,联系人,联系电话,传真,Email,地址,邮编,登记时间,税号,帐号,备注,乘车路线,手机号码,"
    "生日,助记码,备用电话,地域,会员编号,客户折扣");

// Raises the serial of a taken code once: the first 8 characters and characters 9 to 11 plus 1.
std::optional<QString> bumped(const QString &code)
{
    const QString serial = code.mid(8, 3);
    if (serial.size() != 3)
        return std::nullopt;
    for (const QChar ch : serial)
        if (ch < '0' || ch > '9')
            return std::nullopt;
    return code.left(8) + QString("%1").arg(serial.toInt() + 1, 3, 10, QChar('0'));
}
} // namespace

NumberRule customerCodeRule() { return {"客户目录", "客户编号", "KH", false}; }

const QStringList &customerSearchTexts()
{
    static const QStringList texts = {"显示全部",     "按照客户名称查询", "按照联系人查询", "按照联系电话查询",
                                      "按照地址查询", "按照传真查询",     "按照备注查询"};
    return texts;
}

QList<Customer> CustomerStore::read(const QString &where, const QVariantList &binds) const
{
    DataSet q(&m_conn);
    q.setSql("select " + kColumns + " from 客户目录" + (where.isEmpty() ? QString() : " where " + where) +
             " order by 流水号");
    for (const QVariant &b : binds)
        q.addBindValue(b);
    q.open();
    QList<Customer> out;
    for (q.first(); !q.eof(); q.next()) {
        Customer c;
        c.key = q.fields(0).value().toLongLong();
        QString *texts[] = {&c.code,     &c.name,    &c.contact,  &c.phone,  &c.fax,      &c.email,  &c.address,
                            &c.postcode, &c.registered, &c.taxNo, &c.account, &c.remark,  &c.route,  &c.mobile,
                            &c.birthday, &c.mnemonic, &c.phone2,  &c.region, &c.memberNo, &c.discount};
        int col = 1;
        for (QString *t : texts)
            *t = q.fields(col++).asString();
        out << c;
    }
    return out;
}

QList<Customer> CustomerStore::list(CustomerSearch kind, const QString &text) const
{
    static const char *const columns[] = {nullptr, "客户名称", "联系人", "联系电话", "地址", "传真", "备注"};
    if (text.isEmpty() || kind == CustomerSearch::All)
        return read(QString(), {});
    return read(containsCondition(m_conn, QString::fromUtf8(columns[int(kind)])), {containsPattern(text)});
}

QList<Customer> CustomerStore::pickerSearch(const QString &text) const
{
    QStringList any;
    QVariantList binds;
    for (const char *col : {"客户编号", "客户名称", "助记码", "地址", "联系人", "联系电话"}) {
        any << containsCondition(m_conn, QString::fromUtf8(col));
        binds << containsPattern(text);
    }
    return read('(' + any.join(" or ") + ')', binds);
}

std::optional<Customer> CustomerStore::byKey(qint64 key) const
{
    const QList<Customer> rows = read("流水号 = ?", {key});
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

bool CustomerStore::codeTaken(const QString &code) const
{
    DataSet q(&m_conn);
    q.setSql("select 1 from 客户目录 where 客户编号 = ?");
    q.addBindValue(code);
    q.open();
    return !q.isEmpty();
}

Refusal CustomerStore::checkLengths(const Customer &c)
{
    return firstOverLimit({{"客户名称", c.name, 200, "客户名称不得大于200"},
                           {"助记码", c.mnemonic, 200, "助记码不得大于200"},
                           {"客户编号", c.code, 100, "客户编号不得超过100"},
                           {"联系电话", c.phone, 200, "联系电话不得超过200"},
                           {"传真", c.fax, 200, "传真不得超过200"},
                           {"会员编号", c.memberNo, 200, "会员编号不得超过200"},
                           {"手机号码", c.mobile, 50, "手机号码不得超过50"},
                           {"邮编", c.postcode, 100, "邮编不得超过100"},
                           {"联系人", c.contact, 200, "联系人不得超过200"},
                           {"Email", c.email, 200, "电子邮箱不得超过200"},
                           {"税号", c.taxNo, 100, "税号不得超过100"},
                           {"备用电话", c.phone2, 100, "备用电话不得超过100"},
                           {"地址", c.address, 100, "地址不得超过100"},
                           {"乘车路线", c.route, 250, "乘车路线不得超过250"},
                           {"帐号", c.account, 100, "帐号不得超过100"},
                           {"备注", c.remark, 3000, "备注不得超过3000"}});
}

Refusal CustomerStore::saveNew(Customer &c, const QDate &today)
{
    if (c.name.isEmpty())
        return {QString(), "客户名称不能为空，请输入"};
    if (c.discount.isEmpty())
        return {QString(), "客户折扣不能为空"};
    if (codeMissing(c.code))
        return {"客户编号", kNoCode};
    Transaction tx(m_conn);
    // The lock DocNumbers takes for this table's codes: the import numbers under it too.
    m_conn.lockSequence("docno:" + customerCodeRule().table);
    if (codeTaken(c.code)) {
        // A code is raised once only; one that cannot be raised is as taken as one whose raise is.
        if (c.code.size() > 10) {
            if (const auto next = bumped(c.code))
                c.code = *next;
        }
        if (codeTaken(c.code))
            return {"客户编号", kCodeTaken};
    }
    if (Refusal r = checkLengths(c))
        return r;
    if (c.discount == QLatin1String("0"))
        return {QString(), kZeroDiscount};
    double discount = 0;
    if (!parseDecimal(c.discount, &discount))
        return {"客户折扣", kNoNumber};

    DataSet q(&m_conn);
    q.setSql("insert into 客户目录(客户编号,客户折扣,客户名称,联系人,联系电话,地址,登记时间,助记码,会员编号,地域,传真,"
             "备用电话,手机号码,Email,邮编,乘车路线,帐号,税号,备注) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?) "
             "returning 流水号");
    q.addBindValue(c.code);
    q.addBindValue(discount);
    for (const QString &v : {c.name, c.contact, c.phone, c.address})
        q.addBindValue(v.trimmed());
    q.addBindValue(today.toString("yyyy-MM-dd"));
    q.addBindValue(c.mnemonic);
    for (const QString &v : {c.memberNo, c.region, c.fax, c.phone2, c.mobile, c.email, c.postcode, c.route,
                             c.account, c.taxNo, c.remark})
        q.addBindValue(v.trimmed());
    q.open();
    c.key = q.fields(0).value().toLongLong();
    tx.commit();
    return {};
}

Refusal CustomerStore::saveEdit(qint64 key, const Customer &c)
{
    if (c.name.isEmpty())
        return {"客户名称", "客户名称不能为空，请输入"};
    if (c.discount.isEmpty())
        return {"客户折扣", "客户折扣不能为空，请输入"};
    if (codeMissing(c.code))
        return {"客户编号", kNoCode};
    if (c.discount == QLatin1String("0"))
        return {QString(), kZeroDiscount};
    if (Refusal r = checkLengths(c))
        return r;
    double discount = 0;
    if (!parseDecimal(c.discount, &discount))
        return {"客户折扣", kNoNumber};

    Transaction tx(m_conn);
    m_conn.lockSequence("docno:" + customerCodeRule().table);
    DataSet stored(&m_conn);
    stored.setSql("select 客户编号 from 客户目录 where 流水号 = ?");
    stored.addBindValue(key);
    stored.open();
    if (stored.isEmpty())
        return {QString(), kGone};
    if (stored.fields(0).asString() != c.code && codeTaken(c.code))
        return {"客户编号", kCodeTaken};
    DataSet q(&m_conn);
    q.setSql("update 客户目录 set 客户名称 = ?, 会员编号 = ?, 客户折扣 = ?, 地域 = ?, 联系人 = ?, 联系电话 = ?, "
             "传真 = ?, 备用电话 = ?, 手机号码 = ?, Email = ?, 邮编 = ?, 地址 = ?, 乘车路线 = ?, 帐号 = ?, 税号 = ?, "
             "备注 = ?, 助记码 = ?, 客户编号 = ? where 流水号 = ?");
    q.addBindValue(c.name);
    q.addBindValue(c.memberNo);
    q.addBindValue(discount);
    for (const QString &v : {c.region, c.contact, c.phone, c.fax, c.phone2, c.mobile, c.email, c.postcode,
                             c.address, c.route, c.account, c.taxNo, c.remark, c.mnemonic, c.code})
        q.addBindValue(v);
    q.addBindValue(key);
    q.execSQL();
    tx.commit();
    return {};
}

bool CustomerStore::remove(qint64 key)
{
    Transaction tx(m_conn);
    DataSet q(&m_conn);
    q.setSql("delete from 客户目录 where 流水号 = ?");
    q.addBindValue(key);
    const int n = q.execSQL();
    tx.commit();
    return n > 0;
}

ExportSheet customerExportSheet(const QList<Customer> &rows)
{
    ExportSheet s;
    s.headers = QStringList{"客户名称", "联系人", "联系电话", "地址", "传真", "邮编",
                            "Email",    "会员编号", "客户折扣", "客户编号", "流水号", "备注"};
    for (const Customer &c : rows)
        s.rows << QStringList{c.name,     c.contact,  c.phone, c.address, c.fax,
                              c.postcode, c.email,    c.memberNo, c.discount, c.code,
                              QString::number(c.key), c.remark};
    s.summary = QStringLiteral("满足条件记录的总数为：%1条").arg(rows.size());
    return s;
}

} // namespace orv
