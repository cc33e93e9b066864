#include "data/dataset.h"
#include "data/dbconnection.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <cmath>

namespace orv {

bool flagValue(const QVariant &v)
{
    // Only what the data layer writes for true counts: SQLite keeps whatever text a column was
    // given, and 'no', 'off' or ' True' must not open a menu entry.
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return v.toLongLong() == 1;
    case QMetaType::Double:
        return v.toDouble() == 1.0;
    case QMetaType::QString:
        return v.toString() == QLatin1String("1");
    case QMetaType::QByteArray:
        return v.toByteArray() == "1";
    default:
        return false;
    }
}

QString Field::asString() const
{
    if (isNull())
        return QString();
    if (m_flag)
        return flagText(flagValue(*m_v));
    switch (m_v->typeId()) {
    case QMetaType::Double: {
        const double d = m_v->toDouble();
        return QString::number(d, 'g', 15);
    }
    case QMetaType::Bool:
        return flagText(flagValue(*m_v));
    default:
        return m_v->toString();
    }
}

int Field::asInteger() const { return isNull() ? 0 : m_v->toInt(); }
double Field::asFloat() const { return isNull() ? 0.0 : m_v->toDouble(); }
bool Field::asBoolean() const { return !isNull() && (m_flag ? flagValue(*m_v) : m_v->toBool()); }

namespace {
// Row blocks of closed datasets, emptied and kept for the next open. Memory that was handed
// back to the system costs a page fault per page when the next result is read into it, and
// the program reads and drops results all day.
struct BlockPool {
    QVector<QVector<QVariant>> blocks;
    qsizetype values = 0;
    ~BlockPool();
};
thread_local BlockPool t_pool;
// A dataset destroyed after its thread's pool (a static one at exit) frees its blocks itself.
thread_local bool t_poolGone = false;
BlockPool::~BlockPool() { t_poolGone = true; }
constexpr qsizetype kPoolValues = qsizetype(1) << 20; // 32 MB of values
} // namespace

QVector<QVariant> DataSet::takeBlock(qsizetype values)
{
    // A block of about the size wanted: a few rows of a narrow query keep no wide block alive.
    if (!t_poolGone) {
        for (qsizetype i = t_pool.blocks.size() - 1; i >= 0; --i) {
            const qsizetype capacity = t_pool.blocks[i].capacity();
            if (capacity >= values && capacity <= 4 * values) {
                t_pool.values -= capacity;
                return t_pool.blocks.takeAt(i);
            }
        }
    }
    QVector<QVariant> block;
    block.reserve(values);
    return block;
}

void DataSet::releaseBlocks()
{
    // A copy of the dataset still reads these rows: leave them to it.
    if (!t_poolGone && m_blocks.isDetached()) {
        for (QVector<QVariant> &block : m_blocks) {
            if (!block.isDetached() || t_pool.values + block.capacity() > kPoolValues)
                continue;
            block.clear(); // keeps the capacity
            t_pool.values += block.capacity();
            t_pool.blocks.append(std::move(block));
        }
    }
    m_blocks.clear();
}

DataSet::DataSet(Connection *conn, const QString &name) : m_conn(conn), m_name(name) {}

DataSet::~DataSet() { releaseBlocks(); }

void DataSet::clear()
{
    close();
    m_sql.clear();
    m_positional.clear();
    m_named.clear();
}

void DataSet::add(const QString &piece)
{
    if (!m_sql.isEmpty())
        m_sql += '\n';
    m_sql += piece;
}

void DataSet::setSql(const QString &sql)
{
    clear();
    m_sql = sql;
}

void DataSet::addBindValue(const QVariant &v) { m_positional.append(v); }

void DataSet::bindValue(const QString &placeholder, const QVariant &v)
{
    const QString key = placeholder.startsWith(':') ? placeholder : ':' + placeholder;
    for (auto &p : m_named)
        if (p.first == key) {
            p.second = v;
            return;
        }
    m_named.append({key, v});
}

QSqlDatabase DataSet::database() const
{
    if (!m_conn)
        throw DbError("数据库未连接");
    m_conn->requireOpen();
    return m_conn->db();
}

void DataSet::run(QSqlQuery &q) const
{
    // With nothing to bind PostgreSQL gets the text as it is: the driver's EXECUTE of a
    // prepared statement makes the server store the whole result before sending any of it
    // (and costs a PREPARE and a DEALLOCATE round trip), a plain query streams. SQLite
    // prepares either way and keeps refusing a placeholder left unbound.
    if (!m_conn->isSqlite() && m_positional.isEmpty() && m_named.isEmpty()) {
        if (!q.exec(m_sql))
            m_conn->fail(q.lastError(), m_sql);
        return;
    }
    if (!q.prepare(m_sql))
        m_conn->fail(q.lastError(), m_sql);
    for (const auto &v : m_positional)
        q.addBindValue(v);
    for (const auto &p : m_named)
        q.bindValue(p.first, p.second);
    m_conn->run(q, m_sql);
}

void DataSet::open()
{
    close();
    QSqlQuery q(database());
    const Connection::Busy busy(*m_conn);
    q.setForwardOnly(true);
    run(q);
    const QSqlRecord rec = q.record();
    const int n = rec.count();
    m_names.reserve(n);
    m_flags.resize(n);
    m_types.resize(n);
    for (int i = 0; i < n; ++i) {
        m_types[i] = rec.field(i).metaType();
        m_names << rec.fieldName(i);
        m_index.insert(rec.fieldName(i).toLower(), i);
        m_flags[i] = rec.field(i).metaType().id() == QMetaType::Bool;
    }
    while (q.next()) {
        if ((m_count & (kBlockRows - 1)) == 0)
            m_blocks.append(takeBlock(qsizetype(kBlockRows) * n));
        QVector<QVariant> &block = m_blocks.last();
        for (int i = 0; i < n; ++i)
            block.append(q.value(i));
        ++m_count;
    }
    // PostgreSQL streams the rows: a connection lost halfway ends the loop like the last row.
    if (q.lastError().isValid()) {
        const QSqlError error = q.lastError();
        q = QSqlQuery();
        close();
        m_conn->fail(error, m_sql);
    }
    m_active = true;
    first();
}

int DataSet::execSQL()
{
    close();
    QSqlQuery q(database());
    const Connection::Busy busy(*m_conn);
    run(q);
    return q.numRowsAffected();
}

void DataSet::close()
{
    m_active = false;
    m_names.clear();
    m_index.clear();
    m_flags.clear();
    m_types.clear();
    releaseBlocks();
    m_count = 0;
    m_pos = -1;
    m_bof = m_eof = true;
}

void DataSet::first()
{
    m_pos = (m_count == 0) ? -1 : 0;
    m_bof = true;
    m_eof = (m_count == 0);
}

void DataSet::last()
{
    m_pos = int(m_count) - 1;
    m_eof = (m_count == 0);
    m_bof = (m_count == 0);
}

void DataSet::next()
{
    m_bof = false;
    if (m_pos + 1 < m_count)
        ++m_pos;
    else
        m_eof = true;
}

void DataSet::prior()
{
    m_eof = false;
    if (m_pos > 0)
        --m_pos;
    else
        m_bof = true;
}

bool DataSet::eof() const { return m_eof; }

void DataSet::setRecNo(int recNo)
{
    if (recNo >= 1 && recNo <= m_count) {
        m_pos = recNo - 1;
        m_bof = m_eof = false;
    }
}

bool DataSet::locate(const QString &field, const QVariant &value, bool caseInsensitive)
{
    const int idx = indexOf(field);
    if (idx < 0)
        throw DbError(("Field '" + field + "' not found").toStdString());
    const QString want = value.toString();
    for (int i = 0; i < m_count; ++i) {
        const Field f(&this->value(i, idx), m_flags[idx]);
        if (f.asString().compare(want, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0) {
            m_pos = i;
            m_bof = m_eof = false;
            return true;
        }
    }
    return false;
}

int DataSet::indexOf(const QString &name) const { return m_index.value(name.toLower(), -1); }

Field DataSet::fieldByName(const QString &name) const
{
    const int idx = indexOf(name);
    if (idx < 0)
        throw DbError(("Field '" + name + "' not found").toStdString());
    return fields(idx);
}

Field DataSet::fields(int index) const
{
    if (index < 0 || index >= m_names.size())
        throw DbError("Field index out of range");
    if (m_pos < 0 || m_pos >= m_count)
        return Field(nullptr, m_flags[index]);
    return Field(&value(m_pos, index), m_flags[index]);
}

} // namespace orv
