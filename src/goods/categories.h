#pragma once
// The category tree kept in 类别目录: a child names its parent by name (父项) and
// sits one level (级别) below it; codes (流水号) are four-digit texts from one sequence.
#include <QList>
#include <QString>
#include <stdexcept>

namespace orv {

class Connection;

// A refused change, with the text the operator is shown.
class CategoryError : public std::runtime_error {
public:
    explicit CategoryError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

struct CategoryNode {
    QString code;  // "0000" for the root
    QString name;  // "全部" for the root
    int level = 0; // 0 for the root
    QList<CategoryNode> children;
};

inline const QString kCategoryRootCode = QStringLiteral("0000");
inline const QString kCategoryRootName = QStringLiteral("全部");

// Node texts of the tree view: code, a backslash and the name.
QString categoryNodeText(const QString &code, const QString &name);
QString categoryNameOf(const QString &nodeText);
QString categoryCodeOf(const QString &nodeText);

class CategoryStore {
public:
    explicit CategoryStore(Connection &conn) : m_conn(conn) {}

    // The root with every category reachable from it, siblings by code.
    CategoryNode tree() const;
    // The code the next new category would get ("0001" on an empty table).
    QString nextCode() const;
    // A row with exactly this name and parent name, on any level.
    bool exists(const QString &name, const QString &parentName) const;

    // Adds a category below the parent; the code is allocated inside the saving
    // transaction so two clients never take the same one. Returns the code.
    // Refusals: CategoryError; database failures: DbError.
    QString add(const QString &name, const QString &parentName, int parentLevel);
    // Renames one category and carries the new name into its children's 父项.
    void rename(const QString &code, const QString &newName);
    // Deletes a category with everything below it; the root's code deletes every row.
    // Returns the number of rows deleted.
    int removeSubtree(const QString &code);

    static QString duplicateText();
    static QString emptyText();
    static QString exhaustedText();

private:
    Connection &m_conn;
};

} // namespace orv
