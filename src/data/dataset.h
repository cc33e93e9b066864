#pragma once
// A named dataset over the shared connection with the cursor operations windows use.
// Opening reads every row (a client-side cursor), so record counts, moving back and
// locating work the same on both databases. Values are always bound, never joined in.
#include <QSqlRecord>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <QHash>

namespace orv {

class Connection;

// One value of the current row as the windows read it.
class Field {
public:
    Field() = default;
    Field(const QVariant *v, bool flag) : m_v(v), m_flag(flag) {}
    bool isNull() const { return !m_v || m_v->isNull(); }
    // Flags read as "True"/"False"; numbers in their shortest form; NULL as "".
    QString asString() const;
    int asInteger() const;
    double asFloat() const;
    bool asBoolean() const;
    QVariant value() const { return m_v ? *m_v : QVariant(); }

private:
    const QVariant *m_v = nullptr;
    bool m_flag = false;
};

class DataSet {
public:
    explicit DataSet(Connection *conn = nullptr, const QString &name = QString());
    ~DataSet();
    DataSet(const DataSet &) = default;
    DataSet(DataSet &&) = default;
    DataSet &operator=(const DataSet &) = default;
    DataSet &operator=(DataSet &&) = default;
    void setConnection(Connection *c) { m_conn = c; }
    const QString &name() const { return m_name; }

    // SQL text: cleared, added to (several pieces join with a blank), opened or executed.
    void clear();
    void add(const QString &sqlPiece);
    void setSql(const QString &sql);
    QString sql() const { return m_sql; }
    // Values for '?' placeholders in order, or ':name' placeholders by name.
    void addBindValue(const QVariant &v);
    void bindValue(const QString &placeholder, const QVariant &v);

    void open();   // throws DbError
    int execSQL(); // rows affected; throws DbError
    void close();
    bool active() const { return m_active; }

    void first();
    void last();
    void next();
    void prior();
    bool eof() const;
    bool bof() const { return m_bof; }
    bool isEmpty() const { return m_count == 0; }
    int recordCount() const { return m_count; }
    int recNo() const { return m_pos + 1; } // 1-based, 0 when empty
    void setRecNo(int recNo);
    bool locate(const QString &field, const QVariant &value, bool caseInsensitive = false);

    int fieldCount() const { return int(m_names.size()); }
    QStringList fieldNames() const { return m_names; }
    bool fieldExists(const QString &name) const { return indexOf(name) >= 0; }
    Field fieldByName(const QString &name) const; // throws DbError for an unknown field
    Field fields(int index) const;
    // The row at a given index, for models over the dataset.
    const QVariant &value(int row, int column) const
    {
        return m_blocks[row >> kBlockShift][qsizetype(row & (kBlockRows - 1)) * m_names.size() + column];
    }
    bool isFlagColumn(int index) const { return m_flags.value(index); }
    QMetaType fieldType(int index) const { return m_types.value(index); }

private:
    int indexOf(const QString &name) const;
    QSqlDatabase database() const; // throws DbError
    void run(QSqlQuery &q) const;  // throws DbError
    static QVector<QVariant> takeBlock(qsizetype values);
    void releaseBlocks();

    Connection *m_conn = nullptr;
    QString m_name;
    QString m_sql;
    QVector<QVariant> m_positional;
    QVector<QPair<QString, QVariant>> m_named;
    bool m_active = false;
    QStringList m_names;
    QHash<QString, int> m_index;
    QVector<bool> m_flags;
    QVector<QMetaType> m_types;
    // Rows in blocks of kBlockRows, so reading a large result never moves what was read.
    static constexpr int kBlockShift = 10;
    static constexpr int kBlockRows = 1 << kBlockShift;
    QVector<QVector<QVariant>> m_blocks;
    int m_count = 0;
    int m_pos = -1;
    bool m_bof = true;
    bool m_eof = true;
};

// A stored flag as the program reads it: boolean true, 1 or '1' is true, anything else false.
bool flagValue(const QVariant &v);
// "True"/"False" as every flag reader compares.
inline QString flagText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

} // namespace orv
