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

DataSet::DataSet(Connection *conn, const QString &name) : m_conn(conn), m_name(name) {}

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

void DataSet::prepare(QSqlQuery &q) const
{
    if (!m_conn || !m_conn->isOpen())
        throw DbError("数据库未连接");
    if (!q.prepare(m_sql))
        m_conn->fail(q.lastError(), m_sql);
    for (const auto &v : m_positional)
        q.addBindValue(v);
    for (const auto &p : m_named)
        q.bindValue(p.first, p.second);
}

void DataSet::open()
{
    close();
    QSqlQuery q(m_conn ? m_conn->db() : QSqlDatabase());
    q.setForwardOnly(true);
    prepare(q);
    m_conn->run(q, m_sql);
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
        if ((m_count & (kBlockRows - 1)) == 0) {
            m_blocks.append(QVector<QVariant>());
            m_blocks.last().reserve(qsizetype(kBlockRows) * n);
        }
        QVector<QVariant> &block = m_blocks.last();
        for (int i = 0; i < n; ++i)
            block.append(q.value(i));
        ++m_count;
    }
    m_active = true;
    first();
}

int DataSet::execSQL()
{
    close();
    QSqlQuery q(m_conn ? m_conn->db() : QSqlDatabase());
    prepare(q);
    m_conn->run(q, m_sql);
    return q.numRowsAffected();
}

void DataSet::close()
{
    m_active = false;
    m_names.clear();
    m_index.clear();
    m_flags.clear();
    m_types.clear();
    m_blocks.clear();
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
