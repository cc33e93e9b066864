#pragma once
// The three short name lists (units, storage places, customer regions): their
// tables, the checks on a name and the statements behind the list windows.
#include <QList>
#include <QString>

namespace orv {

class Connection;

enum class LookupKind { Units, Places, Regions };

struct LookupText {
    QString table;        // 单位 / 仓位目录 / 客户地域
    QString nameColumn;   // 单位名称 / 仓位 / 地域
    QString caption;      // window caption
    QString label;        // label of the name box
    QString emptyName;    // message for an empty name box
    QString tooLongAdd;   // name over 200 bytes when adding
    QString tooLongEdit;  // name over 200 bytes when changing
};

const LookupText &lookupText(LookupKind kind);

struct LookupRow {
    qint64 key = 0; // 流水号
    QString name;
};

// Longest name in code-page-936 bytes.
constexpr int kLookupNameMaxBytes = 200;

class LookupStore {
public:
    explicit LookupStore(Connection &conn, LookupKind kind) : m_conn(conn), m_kind(kind) {}

    // Every row, oldest first.
    QList<LookupRow> rows() const;
    // Names only, for the combo boxes of other windows.
    QStringList names() const;

    // The message that refuses a name, or an empty text when it may be stored.
    // Only an empty box is refused; blanks and duplicates are names like any other.
    QString check(const QString &name, bool adding) const;

    // Each write is one transaction; they throw DbError.
    qint64 add(const QString &name);
    // False when the row no longer exists (another client deleted it).
    bool update(qint64 key, const QString &name);
    bool remove(qint64 key);

private:
    Connection &m_conn;
    LookupKind m_kind;
};

} // namespace orv
