#include "ledger/docnumbers.h"

#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace orv {

namespace {
const qint64 kRandomLimit = 2100000000; // exclusive
const int kLastSerial = 999;
// Tries before giving up on a number clash; each try moves at least one serial on.
const int kMaxClashes = 1000;

QString quoted(const QString &ident)
{
    QString s = ident;
    s.replace('"', "\"\"");
    return '"' + s + '"';
}

// A name as an SQL text literal (table and column names of the program, never an operator's text).
QString literal(const QString &name)
{
    QString s = name;
    s.replace('\'', "''");
    return '\'' + s + '\'';
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

QString headOf(const QString &number) { return number.left(number.size() - 3); }
} // namespace

// ---- Record IDs

namespace {
// yyyyMMdd, the hour shifted to UTC+8 without carrying into the date (08 to 31), mmss.
QString recordStamp(const QDateTime &utcIn)
{
    const QDateTime utc = utcIn.toUTC();
    const QDate d = utc.date();
    const QTime t = utc.time();
    const QChar z('0');
    return QString("%1%2%3%4%5%6")
        .arg(d.year(), 4, 10, z)
        .arg(d.month(), 2, 10, z)
        .arg(d.day(), 2, 10, z)
        .arg(t.hour() + 8, 2, 10, z)
        .arg(t.minute(), 2, 10, z)
        .arg(t.second(), 2, 10, z);
}
const int kShortRandomLimit = 2100; // exclusive
// Draws of a short ID before giving up; the chance that this many all hit used IDs is nil
// unless the second's 2,100 values are nearly all taken.
const int kShortDraws = 200;
} // namespace

QString makeRecordID(const QDateTime &utc)
{
    return recordStamp(utc) + QString("%1").arg(Random::between(0, kRandomLimit - 1), 10, 10, QChar('0'));
}

QString makeShortRecordID(const QDateTime &utc)
{
    return recordStamp(utc) + QString("%1").arg(Random::between(0, kShortRandomLimit - 1), 4, 10, QChar('0'));
}

QString makeShortRecordID(Connection &c, const QStringList &usedIn, const QDateTime &utc)
{
    c.requireTransaction("记录编号");
    QStringList probes;
    for (const QString &t : usedIn)
        probes << "select 1 from " + quoted(t) + " where ID = ?";
    std::unique_ptr<Statement> used;
    if (!probes.isEmpty())
        used = std::make_unique<Statement>(c, probes.join(" union all "));
    for (int draw = 0; draw < kShortDraws; ++draw) {
        const QString id = makeShortRecordID(utc);
        if (!used)
            return id;
        QVariantList binds;
        for (int i = 0; i < usedIn.size(); ++i)
            binds << id;
        StatementResult &q = used->exec(binds);
        const bool taken = q.next();
        q.finish();
        if (!taken)
            return id;
    }
    throw DbError(QStringLiteral("本秒的记录编号已用完，请稍后再保存"));
}

// ---- Document numbers

NumbersExhausted::NumbersExhausted(const QString &head)
    : DbError(QString("今日单据编号已用完：%1 已是当天最后一个编号").arg(head + serialText(kLastSerial)))
{
}

QString numberDate(const QDateTime &utc) { return utc.toUTC().date().toString("yyMMdd"); }

DocNumbers::DocNumbers(Connection &c, NumberRule rule) : m_conn(c), m_rule(std::move(rule)) {}
DocNumbers::~DocNumbers() = default;
DocNumbers::DocNumbers(DocNumbers &&) noexcept = default;

void DocNumbers::lock()
{
    // One lock per table, whatever the prefix: a save that takes an out and an in voucher
    // cannot wait in a circle with one that takes them the other way round.
    m_conn.lockSequence("docno:" + m_rule.table);
}

bool DocNumbers::taken(const QString &number)
{
    if (!m_exists)
        m_exists = std::make_unique<Statement>(
            m_conn, "select 1 from " + quoted(m_rule.table) + " where " + quoted(m_rule.column) + " = ?");
    StatementResult &q = m_exists->exec({number});
    const bool found = q.next();
    q.finish();
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

int DocNumbers::serialAfterLast(const QString &day, const QString &head)
{
    // Same expression as documentNoIndex(), so the index serves this query.
    if (!m_last || m_lastLength != day.size()) {
        m_last = std::make_unique<Statement>(
            m_conn, QString("select %1 from %2 where substr(%1, 1, %3) = ? order by 流水号 desc limit 1")
                        .arg(quoted(m_rule.column), quoted(m_rule.table))
                        .arg(day.size()));
        m_lastLength = int(day.size());
    }
    StatementResult &q = m_last->exec({day});
    int serial = 1;
    if (q.next()) {
        const int last = trailingSerial(q.value(0).toString(), head);
        // A tail that is no serial (hand-made or damaged numbers) restarts the search at 001.
        if (last >= 0)
            serial = last + 1;
    }
    q.finish();
    return serial;
}

QString DocNumbers::nextUnlocked(const QDateTime &utc)
{
    const QString day = m_rule.prefix + numberDate(utc);
    const QString head = m_rule.dash ? day + '-' : day;
    return firstFree(head, serialAfterLast(day, head));
}

QString DocNumbers::firstTry(const QString &wanted, const QDateTime &utc)
{
    if (!wanted.isEmpty() && trailingSerial(wanted, headOf(wanted)) >= 0 && !taken(wanted))
        return wanted;
    // Not asked whether it is free: the insert finds out from the unique index, and the
    // usual save spends no statement on it.
    const QString day = m_rule.prefix + numberDate(utc);
    const QString head = m_rule.dash ? day + '-' : day;
    const int serial = serialAfterLast(day, head);
    if (serial > kLastSerial)
        throw NumbersExhausted(head);
    return head + serialText(serial);
}

QString DocNumbers::afterClash(const QString &number, int attempt)
{
    // A clash on some other unique column is the caller's error, not a taken number: empty.
    if (!taken(number))
        return QString();
    // Another client stored this number after we read it: take the next free one.
    if (attempt >= kMaxClashes)
        throw DbError(QString("单据编号分配失败，请重试：%1").arg(number));
    const QString head = headOf(number);
    return firstFree(head, trailingSerial(number, head) + 1);
}

QString DocNumbers::propose(const QDateTime &utc)
{
    if (m_conn.isSqlite())
        return nextUnlocked(utc);
    // One round trip: the first serial after the day's last that no row holds.
    if (!m_propose)
        m_propose = std::make_unique<Statement>(
            m_conn, "select w.no from (select cast(? as text) as head, cast(? as text) as day) p cross join lateral (" +
                        serialsAfterLastSql() + ") w where not exists (select 1 from " + quoted(m_rule.table) +
                        " t where t." + quoted(m_rule.column) + " = w.no) limit 1");
    const QString day = m_rule.prefix + numberDate(utc);
    const QString head = m_rule.dash ? day + '-' : day;
    StatementResult &q = m_propose->exec({head, day});
    const QString number = q.next() ? q.value(0).toString() : QString();
    q.finish();
    if (number.isEmpty())
        throw NumbersExhausted(head);
    return number;
}

QString DocNumbers::next(const QDateTime &utc)
{
    m_conn.requireTransaction("单据编号分配");
    lock();
    return nextUnlocked(utc);
}

QString DocNumbers::makeFree(const QString &number)
{
    m_conn.requireTransaction("单据编号分配");
    if (number.size() < 3)
        throw DbError(QString("单据编号格式不正确：%1").arg(number));
    const QString head = headOf(number);
    lock();
    if (!taken(number))
        return number;
    const int serial = trailingSerial(number, head);
    if (serial < 0)
        throw DbError(QString("单据编号已被占用：%1").arg(number));
    return firstFree(head, serial + 1);
}

QString DocNumbers::insertNumbered(const std::function<void(const QString &)> &insert, const QString &wanted,
                                   const QDateTime &utc)
{
    m_conn.requireTransaction("单据编号分配");
    QString number = firstTry(wanted, utc);
    const QString savepoint = QStringLiteral("orv_number");
    for (int attempt = 0;; ++attempt) {
        m_conn.savepoint(savepoint);
        try {
            insert(number);
            m_conn.release(savepoint);
            return number;
        } catch (const ConnectionLost &) {
            throw; // the transaction and its savepoint went with the server
        } catch (const UniqueViolation &) {
            m_conn.rollbackTo(savepoint);
            m_conn.release(savepoint);
            number = afterClash(number, attempt);
            if (number.isEmpty())
                throw;
        } catch (...) {
            m_conn.rollbackTo(savepoint);
            m_conn.release(savepoint);
            throw;
        }
    }
}

QString DocNumbers::claimCondition() const
{
    // The two-key form keeps these locks apart from the one-key locks of codes and goods rows.
    return m_conn.isSqlite() ? QString() : QStringLiteral("pg_try_advisory_xact_lock(hashtext(?), hashtext(?))");
}

QVariantList DocNumbers::claimBinds(const QString &number) const
{
    if (m_conn.isSqlite())
        return {};
    return {QString("docno:" + m_rule.table + '\x1f' + m_rule.column), number};
}

QString DocNumbers::insertNumberedQuiet(const std::function<bool(const QString &)> &tryInsert, const QString &wanted,
                                        const QDateTime &utc)
{
    m_conn.requireTransaction("单据编号分配");
    QString number = firstTry(wanted, utc);
    const QString head = headOf(number);
    // Nothing inserted means the number is taken or claimed by a save under way (the conflict
    // names the number column only): the next serial is tried at once. Clients saving together
    // all read the same last number; each extra question here would cost every one of them.
    for (int serial = trailingSerial(number, head);; ++serial) {
        if (tryInsert(number))
            return number;
        if (serial + 1 > kLastSerial)
            throw NumbersExhausted(head);
        number = head + serialText(serial + 1);
    }
}

QString DocNumbers::serialsAfterLastSql() const
{
    const QString col = "t." + quoted(m_rule.column);
    const int dayLength = int((m_rule.prefix + numberDate(QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC))).size());
    // As serialAfterLast() reads the day's last number (same index), one number a row from there to
    // the last serial. The series stands in the select list, so its numbers come one by one as
    // asked for, never laid out whole.
    return QString("select p.head || lpad(f.s::text, 3, '0') as no from (select generate_series(coalesce((select "
                   "case when length(%1) = length(p.head) + 3 and left(%1, length(p.head)) = p.head and "
                   "substr(%1, length(p.head) + 1) ~ '^[0-9]{3}$' then cast(substr(%1, length(p.head) + 1) as "
                   "integer) + 1 end from %2 t where substr(%1, 1, %3) = p.day order by t.流水号 desc limit 1), 1), "
                   "%4) as s) f")
        .arg(col, quoted(m_rule.table))
        .arg(dayLength)
        .arg(kLastSerial);
}

QString DocNumbers::firstClaimableSql() const
{
    if (m_conn.isSqlite())
        return QString();
    // The wanted number, then the serials after the day's last stored number: the first that no
    // other save has claimed, claimed by the lock it takes, and that is not stored as of now
    // (orv_number_stored: numbers another save committed after this statement began, or stored
    // out of serial order, are passed here, not found by a failed insert). A claim is released
    // only after its save is visible, so the claimed number is looked up after the other save's
    // rows show. The candidates come one by one and are not sorted, so only the chosen one
    // stays locked.
    return QString("(select w.no from (select cast(? as text) as head, cast(? as text) as day, "
                   "cast(? as text) as lockkey, cast(? as text) as wanted) p "
                   "cross join lateral (select p.wanted as no where p.wanted is not null union all %1) w "
                   "where pg_try_advisory_xact_lock(hashtext(p.lockkey), hashtext(w.no)) "
                   "and not orv_number_stored(%2, %3, w.no) limit 1) c")
        .arg(serialsAfterLastSql(), literal(m_rule.table), literal(m_rule.column));
}

QVariantList DocNumbers::firstClaimableBinds(const QDateTime &utc) const { return firstClaimableBinds(QString(), utc); }

QVariantList DocNumbers::firstClaimableBinds(const QString &wanted, const QDateTime &utc) const
{
    const QString day = m_rule.prefix + numberDate(utc);
    const QString head = m_rule.dash ? day + '-' : day;
    // A shown number without a serial at its end is not wanted (as firstTry() passes it over).
    const bool usable = !wanted.isEmpty() && trailingSerial(wanted, headOf(wanted)) >= 0;
    return {head, day, claimBinds(QString()).value(0), usable ? QVariant(wanted) : QVariant(QMetaType::fromType<QString>())};
}

// ---- Numbered headers

namespace {
std::atomic<quint64> g_retries{0};
} // namespace

quint64 NumberedInsert::retries() { return g_retries.load(); }
void NumberedInsert::noteRetry() { ++g_retries; }

NumberedInsert::NumberedInsert(Connection &c, NumberRule rule, QStringList columns)
    : m_conn(c), m_numbers(c, rule), m_columns(std::move(columns)), m_numberAt(int(m_columns.indexOf(rule.column)))
{
    if (m_numberAt < 0)
        throw DbError(QString("内部错误：%1的插入没有编号列").arg(rule.table));
}

NumberedInsert::~NumberedInsert() = default;

QString NumberedInsert::claimingSql(const QHash<int, QString> &expressions) const
{
    QStringList values;
    for (int i = 0; i < m_columns.size(); ++i)
        values << (i == m_numberAt ? QStringLiteral("c.no") : expressions.value(i, QStringLiteral("?")));
    const NumberRule &r = m_numbers.rule();
    return "insert into " + quoted(r.table) + " (" + m_columns.join(',') + ") select " + values.join(',') + " from " +
           m_numbers.firstClaimableSql() + " on conflict (" + quoted(r.column) + ") do nothing returning " +
           quoted(r.column);
}

QVariantList NumberedInsert::claimingBinds(const QVariantList &values, const QString &wanted) const
{
    QVariantList binds = values;
    binds.removeAt(m_numberAt);
    return binds + m_numbers.firstClaimableBinds(wanted);
}

QString NumberedInsert::insert(const QVariantList &values, const QString &wanted)
{
    m_conn.requireTransaction("单据编号分配");
    if (!m_conn.isSqlite()) {
        if (!m_claiming)
            m_claiming = std::make_unique<Statement>(m_conn, claimingSql());
        const QVariantList binds = claimingBinds(values, wanted);
        // No row mostly means a save stored the number after the statement began: the next
        // statement sees it.
        for (int attempt = 0; attempt < 2; ++attempt) {
            StatementResult &q = m_claiming->exec(binds);
            const QString number = q.next() ? q.value(0).toString() : QString();
            q.finish();
            if (!number.isEmpty())
                return number;
            noteRetry();
        }
    }
    // A number another client stored or is storing inserts nothing (and fails nothing): the
    // next is tried.
    const NumberRule &r = m_numbers.rule();
    if (!m_quiet) {
        const QString claim = m_numbers.claimCondition();
        QString sql = "insert into " + quoted(r.table) + " (" + m_columns.join(',') + ") ";
        const QString marks = "?" + QString(",?").repeated(m_columns.size() - 1);
        sql += claim.isEmpty() ? "values (" + marks + ")" : "select " + marks + " where " + claim;
        m_quiet = std::make_unique<Statement>(m_conn, sql + " on conflict (" + quoted(r.column) + ") do nothing");
    }
    QVariantList binds = values;
    return m_numbers.insertNumberedQuiet(
        [&](const QString &number) {
            binds[m_numberAt] = number;
            binds.resize(m_columns.size());
            binds += m_numbers.claimBinds(number);
            StatementResult &q = m_quiet->exec(binds);
            const bool inserted = q.numRowsAffected() > 0;
            q.finish();
            return inserted;
        },
        wanted);
}

QString documentNoIndex(const NumberRule &rule)
{
    const int n = int((rule.prefix + numberDate(QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC))).size());
    return QString("create index ix_%1_%2_day%3 on %4 (substr(%5, 1, %3), 流水号)")
        .arg(rule.table, rule.column)
        .arg(n)
        .arg(quoted(rule.table), quoted(rule.column));
}

QString documentNoUniqueIndex(const NumberRule &rule)
{
    return QString("create unique index ux_%1_%2 on %3 (%4)")
        .arg(rule.table, rule.column, quoted(rule.table), quoted(rule.column));
}

} // namespace orv
