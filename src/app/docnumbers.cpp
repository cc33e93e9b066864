#include "app/docnumbers.h"
#include "app/appglobals.h"
#include "app/datamodule.h"
#include "app/dataset.h"

#include <QSqlError>
#include <algorithm>
#include <cmath>

namespace orv {

namespace {
const qint64 kRandomLimit = 2100000000; // exclusive
const int kLastSerial = 999;

void run(QSqlQuery &q)
{
    if (!q.exec())
        throw DbError(q.lastError().text().toStdString());
}

void prepare(QSqlQuery &q, const QString &sql)
{
    if (!q.prepare(sql))
        throw DbError(q.lastError().text().toStdString());
}

QString quoted(const QString &ident)
{
    QString s = ident;
    s.replace('"', "\"\"");
    return '"' + s + '"';
}

QString serialText(int serial) { return QString("%1").arg(serial, 3, 10, QChar('0')); }

// The three-digit serial at the end of a number, or -1.
int trailingSerial(const QString &number, const QString &head)
{
    if (!number.startsWith(head) || number.size() != head.size() + 3)
        return -1;
    int v = 0;
    for (int i = head.size(); i < number.size(); ++i) {
        const QChar ch = number.at(i);
        if (ch < '0' || ch > '9')
            return -1;
        v = v * 10 + (ch.unicode() - '0');
    }
    return v;
}
} // namespace

// ---- Record IDs

QString makeRecordID(const QDateTime &utcIn)
{
    const QDateTime utc = utcIn.toUTC();
    const QDate d = utc.date();
    const QTime t = utc.time();
    const QChar z('0');
    // The hour is shifted to UTC+8 but the date is not carried: 08 to 31.
    return QString("%1%2%3%4%5%6%7")
        .arg(d.year(), 4, 10, z)
        .arg(d.month(), 2, 10, z)
        .arg(d.day(), 2, 10, z)
        .arg(t.hour() + 8, 2, 10, z)
        .arg(t.minute(), 2, 10, z)
        .arg(t.second(), 2, 10, z)
        .arg(Random::between(0, kRandomLimit - 1), 10, 10, z);
}

QString getDbIDField()
{
    G.gNewRecordID = makeRecordID();
    return G.gNewRecordID;
}

// ---- Document numbers

NumbersExhausted::NumbersExhausted(const QString &head)
    : DbError(QString("今日单据编号已用完：%1999 已是当天最后一个编号").arg(head).toStdString())
{
}

QString numberDate(const QDateTime &utc) { return utc.toUTC().date().toString("yyMMdd"); }

DocNumbers::DocNumbers(Connection &c, NumberRule rule)
    : m_conn(c), m_rule(std::move(rule)), m_last(c.db()), m_exists(c.db())
{
}

void DocNumbers::lock()
{
    // One lock per table, whatever the prefix: a save that takes an out and an in voucher
    // cannot wait in a circle with one that takes them the other way round.
    m_conn.lockSequence("docno:" + m_rule.table);
}

bool DocNumbers::taken(const QString &number)
{
    if (m_exists.lastQuery().isEmpty()) {
        m_exists = QSqlQuery(m_conn.db());
        prepare(m_exists, "select 1 from " + quoted(m_rule.table) + " where " + quoted(m_rule.column) + " = ?");
    }
    m_exists.addBindValue(number);
    run(m_exists);
    const bool found = m_exists.next();
    m_exists.finish();
    return found;
}

QString DocNumbers::firstFree(const QString &head, int serial)
{
    for (; serial <= kLastSerial; ++serial) {
        const QString candidate = head + serialText(serial);
        if (!taken(candidate))
            return candidate;
    }
    throw NumbersExhausted(head);
}

QString DocNumbers::next(const QDateTime &utc)
{
    const QString day = m_rule.prefix + numberDate(utc);
    const QString head = m_rule.dash ? day + '-' : day;
    lock();
    // Same expression as documentNoIndex(), so the index serves this query.
    if (m_lastLength != day.size()) {
        m_last = QSqlQuery(m_conn.db());
        prepare(m_last, QString("select %1 from %2 where substr(%1, 1, %3) = ? order by 流水号 desc limit 1")
                            .arg(quoted(m_rule.column), quoted(m_rule.table))
                            .arg(day.size()));
        m_lastLength = int(day.size());
    }
    m_last.addBindValue(day);
    run(m_last);
    int serial = 1;
    if (m_last.next()) {
        const int last = trailingSerial(m_last.value(0).toString(), head);
        // A tail that is no serial (hand-made or damaged numbers) restarts the search at 001.
        if (last >= 0)
            serial = last + 1;
    }
    m_last.finish();
    return firstFree(head, serial);
}

QString DocNumbers::makeFree(const QString &number)
{
    if (number.size() < 3)
        throw DbError(QString("单据编号格式不正确：%1").arg(number).toStdString());
    const QString head = number.left(number.size() - 3);
    lock();
    if (!taken(number))
        return number;
    const int serial = trailingSerial(number, head);
    if (serial < 0)
        throw DbError(QString("单据编号已被占用：%1").arg(number).toStdString());
    return firstFree(head, serial + 1);
}

QString documentNoIndex(const NumberRule &rule)
{
    const int n = int((rule.prefix + numberDate(QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC))).size());
    return QString("create index ix_%1_%2_day%3 on %4 (substr(%5, 1, %3), 流水号)")
        .arg(rule.table, rule.column)
        .arg(n)
        .arg(quoted(rule.table), quoted(rule.column));
}

// ---- Vouchers

QString voucherPrefix(int kind)
{
    switch (kind) {
    case VoucherIn:
        return "RK-";
    case VoucherOut:
        return "CK-";
    case VoucherCount:
        return "PD-";
    default:
        throw DbError(QString("未知的出入库单类别：%1").arg(kind).toStdString());
    }
}

NumberRule voucherNumberRule(int kind) { return {"出入库单", "单据编号", voucherPrefix(kind), true}; }

QString getTaskNo()
{
    DocNumbers n(db(), voucherNumberRule(G.gVoucherKind));
    G.gVoucherNo = n.next();
    return G.gVoucherNo;
}

QString sanhao()
{
    DocNumbers n(db(), voucherNumberRule(G.gVoucherKind));
    G.gVoucherNo = n.makeFree(G.gVoucherNo);
    return G.gVoucherNo;
}

const char *VoucherWriter::headerSql()
{
    return "insert into 出入库单(ID,引用单号,引用ID,引用类别,单据编号,制单日期,制单人,当前状态,原因,单据类别,单据备注,"
           "审核人,审核日期,相关单位,单位编号,联系人,联系电话,时间,相关部门) values (:jinchuID,:jinchuyinyongdanhao,"
           ":jinchuyinyongID,:jinchuyinyongleibie,:jinchudanjubianhao,:jinchuruqi,:jinchuzhidanren,:zhuangtai,:yuanyin,"
           ":danjuleibie,:beizhu,:shenheren,:shenheriqi,:danwei,:danweibianhao,:lianxiren,:lianxidianhua,:shijian,:bumen)";
}

const char *VoucherWriter::lineSql()
{
    return "insert into 出入库明细 (编号,名称,规格,单位,单价,数量,金额,ID,仓位,辅助数量,辅助单位,类别,供应商,条码,结存,"
           "原有库存数量,类型,换算比率,辅助库存结存,原有辅助数量,拼音码) values (:pjNo,:pjName,:pjGg,:pjUnit,:pjPrice,"
           ":pjAmount,:pjMoney,:onlyID,:cangwei,:fuzhushuliang,:fuzhudanwei,:leibie,:gongyingshang,:tiaoma,:jiecun,"
           ":yuanyoukucun,:leixing,:huansuanbilv,:fuzhukucunjiecun,:yuanyoufuzhushuliang,:pinyinma)";
}

namespace {
const char *const kHeaderParams[] = {"jinchuID", "jinchuyinyongdanhao", "jinchuyinyongID", "jinchuyinyongleibie",
                                     "jinchudanjubianhao", "jinchuruqi", "jinchuzhidanren", "zhuangtai", "yuanyin",
                                     "danjuleibie", "beizhu", "shenheren", "shenheriqi", "danwei", "danweibianhao",
                                     "lianxiren", "lianxidianhua", "shijian", "bumen"};
const char *const kLineParams[] = {"pjNo", "pjName", "pjGg", "pjUnit", "pjPrice", "pjAmount", "pjMoney",
                                   "onlyID", "cangwei", "fuzhushuliang", "fuzhudanwei", "leibie", "gongyingshang",
                                   "tiaoma", "jiecun", "yuanyoukucun", "leixing", "huansuanbilv",
                                   "fuzhukucunjiecun", "yuanyoufuzhushuliang", "pinyinma"};
const QString kAudited = QStringLiteral("已审核");

QString localTime() { return Clock::localNow().toString("hh:mm:ss"); }

// Positional form of a named statement, for the prepared statements the writer keeps.
QString positional(QString sql, const char *const *names, int count)
{
    // Longest names first so ":jinchuyinyongID" is not cut by a shorter one.
    QList<QString> sorted;
    for (int i = 0; i < count; ++i)
        sorted << QString(":") + names[i];
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const auto &n : sorted)
        sql.replace(n, "?");
    return sql;
}
} // namespace

VoucherWriter::VoucherWriter(Connection &c, bool setGlobals)
    : m_conn(c), m_setGlobals(setGlobals), m_header(c.db()), m_line(c.db()),
      m_numbers{DocNumbers(c, voucherNumberRule(1)), DocNumbers(c, voucherNumberRule(2)),
                DocNumbers(c, voucherNumberRule(3))}
{
}

VoucherWriter::VoucherWriter() : VoucherWriter(db(), true) {}

VoucherRef VoucherWriter::allocate(int kind)
{
    voucherPrefix(kind); // refuses unknown kinds
    VoucherRef ref;
    ref.number = m_numbers[kind - 1].next();
    ref.id = makeRecordID();
    if (m_setGlobals) {
        G.gVoucherNo = ref.number;
        G.gNewRecordID = ref.id;
    }
    return ref;
}

void VoucherWriter::prepareHeader(DataSet &ds, int kind)
{
    const VoucherRef ref = allocate(kind < 0 ? G.gVoucherKind : kind);
    ds.setSql(headerSql());
    for (const char *p : kHeaderParams)
        ds.bindValue(p, QVariant(QMetaType::fromType<QString>()));
    ds.bindValue("jinchudanjubianhao", ref.number);
    ds.bindValue("zhuangtai", kAudited);
    ds.bindValue("shijian", localTime());
}

void VoucherWriter::prepareLine(DataSet &ds)
{
    ds.setSql(lineSql());
    for (const char *p : kLineParams)
        ds.bindValue(p, QVariant(QMetaType::fromType<QString>()));
}

namespace {
QVariant textOrNull(const QString &s) { return s.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(s); }
} // namespace

QVariant VoucherWriter::number(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QVariant(QMetaType::fromType<double>());
    if (v.typeId() != QMetaType::QString && v.typeId() != QMetaType::QByteArray)
        return v;
    const QString s = v.toString().trimmed();
    if (s.isEmpty())
        return QVariant(QMetaType::fromType<double>());
    bool ok = false;
    const double d = s.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        throw DbError(QString("“%1”不是有效的数字").arg(s).toStdString());
    return d;
}

QVariant VoucherWriter::dateText(const QString &text)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return QVariant(QMetaType::fromType<QString>());
    const QString datePart = s.section(' ', 0, 0, QString::SectionSkipEmpty);
    const QString timePart = s.section(' ', 1, -1, QString::SectionSkipEmpty).trimmed();
    QDate d;
    for (const char *f : {"yyyy-M-d", "yyyy/M/d", "yyyy.M.d", "yyyyMMdd"}) {
        d = QDate::fromString(datePart, f);
        if (d.isValid())
            break;
    }
    if (!d.isValid())
        return text;
    if (timePart.isEmpty())
        return d.toString("yyyy-MM-dd");
    QTime t = QTime::fromString(timePart, "h:m:s");
    if (!t.isValid())
        t = QTime::fromString(timePart, "h:m");
    if (!t.isValid())
        return text;
    return d.toString("yyyy-MM-dd") + ' ' + t.toString("hh:mm:ss");
}

VoucherRef VoucherWriter::writeHeader(int kind, const VoucherHeader &h)
{
    Transaction tx(m_conn); // joins the caller's save
    const VoucherRef ref = allocate(kind);
    if (m_header.lastQuery().isEmpty()) {
        m_header = QSqlQuery(m_conn.db());
        prepare(m_header, positional(headerSql(), kHeaderParams, 19));
    }
    const QVariantList values = {ref.id,
                                 textOrNull(h.refNo),
                                 textOrNull(h.refID),
                                 textOrNull(h.reason),
                                 ref.number,
                                 dateText(h.date),
                                 textOrNull(h.maker),
                                 kAudited,
                                 textOrNull(h.reason),
                                 textOrNull(h.category),
                                 textOrNull(h.remark),
                                 textOrNull(h.auditor),
                                 dateText(h.auditDate),
                                 textOrNull(h.partner),
                                 textOrNull(h.partnerCode),
                                 textOrNull(h.contact),
                                 textOrNull(h.phone),
                                 localTime(),
                                 h.department.isNull() ? QVariant(QMetaType::fromType<QString>()) : h.department};
    for (const auto &v : values)
        m_header.addBindValue(v);
    run(m_header);
    tx.commit();
    return ref;
}

namespace {
// Quantity and amount are currency values: four decimals.
QVariant currency(const QVariant &v)
{
    const QVariant n = VoucherWriter::number(v);
    if (n.isNull())
        return n;
    return std::round(n.toDouble() * 10000.0) / 10000.0;
}
} // namespace

void VoucherWriter::writeLine(const QString &voucherID, const VoucherLine &l)
{
    if (m_line.lastQuery().isEmpty()) {
        m_line = QSqlQuery(m_conn.db());
        prepare(m_line, positional(lineSql(), kLineParams, 21));
    }
    const QVariantList values = {textOrNull(l.goodsNo), textOrNull(l.name), textOrNull(l.spec), textOrNull(l.unit),
                                 number(l.price), currency(l.qty), currency(l.amount), voucherID,
                                 textOrNull(l.place), number(l.auxQty), textOrNull(l.auxUnit),
                                 textOrNull(l.category), textOrNull(l.supplier), textOrNull(l.barcode),
                                 number(l.stockAfter), number(l.stockBefore), textOrNull(l.kind),
                                 number(l.ratio), number(l.auxAfter), number(l.auxBefore), textOrNull(l.mnemonic)};
    for (const auto &v : values)
        m_line.addBindValue(v);
    run(m_line);
}

} // namespace orv
