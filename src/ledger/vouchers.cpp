#include "ledger/vouchers.h"
#include "data/dataset.h"
#include "data/schema.h"

#include <QSqlError>
#include <algorithm>
#include <cmath>

namespace orv {

double round4(double v)
{
    if (!std::isfinite(v))
        return v;
    return std::round(v * 10000.0) / 10000.0;
}

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

VoucherWriter::VoucherWriter(Connection &c)
    : m_conn(c), m_refNo(c, "update 出入库单 set 引用单号 = ? where ID = ?"), m_numbers{DocNumbers(c, voucherNumberRule(1)), DocNumbers(c, voucherNumberRule(2)),
                           DocNumbers(c, voucherNumberRule(3))}
{
}

VoucherWriter::~VoucherWriter() = default;

void VoucherWriter::followRefNo(const QString &voucherID, const QString &shownNo, const QString &givenNo)
{
    if (givenNo == shownNo)
        return;
    m_conn.requireTransaction("单据编号");
    m_refNo.exec({givenNo, voucherID}).finish();
}

VoucherRef VoucherWriter::prepareHeader(DataSet &ds, int kind)
{
    voucherPrefix(kind); // refuses unknown kinds
    const VoucherRef ref{m_numbers[kind - 1].next(), makeRecordID()};
    ds.setSql(headerSql());
    for (const char *p : kHeaderParams)
        ds.bindValue(p, QVariant(QMetaType::fromType<QString>()));
    ds.bindValue("jinchudanjubianhao", ref.number);
    ds.bindValue("zhuangtai", kAudited);
    ds.bindValue("shijian", localTime());
    return ref;
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

QVariantList VoucherWriter::headerValues(const VoucherHeader &h, const QString &id)
{
    return {id,
            textOrNull(h.refNo),
            textOrNull(h.refID),
            textOrNull(h.reason),
            QVariant(), // 单据编号
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
}

NumberedInsert &VoucherWriter::headerInsert(int kind)
{
    voucherPrefix(kind); // refuses unknown kinds
    auto &slot = m_headers[kind - 1];
    if (!slot) {
        const QString sql = QString::fromUtf8(headerSql());
        const qsizetype open = sql.indexOf('(') + 1;
        slot = std::make_unique<NumberedInsert>(m_conn, voucherNumberRule(kind),
                                                sql.mid(open, sql.indexOf(')') - open).split(','));
    }
    return *slot;
}

QString VoucherWriter::claimingHeaderSql(int kind) { return headerInsert(kind).claimingSql(); }

QVariantList VoucherWriter::claimingHeaderBinds(int kind, const VoucherHeader &h, const QString &id)
{
    return headerInsert(kind).claimingBinds(headerValues(h, id), QString());
}

VoucherRef VoucherWriter::writeHeader(int kind, const VoucherHeader &h, const QString &id)
{
    m_conn.requireTransaction("出入库单");
    VoucherRef ref;
    ref.id = id.isEmpty() ? makeRecordID() : id;
    ref.number = headerInsert(kind).insert(headerValues(h, ref.id));
    return ref;
}

QVariant VoucherWriter::quantity(const QVariant &v)
{
    const QVariant n = number(v);
    if (n.isNull())
        return n;
    return round4(n.toDouble());
}

QString VoucherWriter::linesSql(int rows)
{
    const QString sql = positional(lineSql(), kLineParams, 21);
    const QString values = sql.mid(sql.indexOf(" values ") + 8);
    QString all = sql;
    for (int r = 1; r < rows; ++r)
        all += "," + values;
    return all;
}

void VoucherWriter::appendLineBinds(QVariantList &binds, const QString &voucherID, const VoucherLine &l)
{
    binds << textOrNull(l.goodsNo) << textOrNull(l.name) << textOrNull(l.spec) << textOrNull(l.unit)
          << quantity(l.price) << quantity(l.qty) << quantity(l.amount) << voucherID << textOrNull(l.place)
          << quantity(l.auxQty) << textOrNull(l.auxUnit) << textOrNull(l.category) << textOrNull(l.supplier)
          << textOrNull(l.barcode) << quantity(l.stockAfter) << quantity(l.stockBefore) << textOrNull(l.kind)
          << number(l.ratio) << quantity(l.auxAfter) << quantity(l.auxBefore) << textOrNull(l.mnemonic);
}

void VoucherWriter::writeLines(const QString &voucherID, const QVector<VoucherLine> &lines)
{
    m_conn.requireTransaction("出入库明细");
    // Rows go in chunks of one statement each: a round trip per chunk, not per line.
    for (qsizetype start = 0; start < lines.size(); start += kLinesPerStatement) {
        const int rows = int(qMin<qsizetype>(kLinesPerStatement, lines.size() - start));
        auto &stmt = m_lines[rows];
        if (!stmt)
            stmt = std::make_shared<Statement>(m_conn, linesSql(rows));
        QVariantList binds;
        binds.reserve(rows * 21);
        for (int r = 0; r < rows; ++r)
            appendLineBinds(binds, voucherID, lines[start + r]);
        stmt->exec(binds);
    }
}

} // namespace orv
