#include "goods/categories.h"
#include "data/dataset.h"
#include "data/dbconnection.h"

#include <QHash>
#include <functional>
#include <algorithm>

namespace orv {

namespace {
constexpr int kLastCode = 9999;

struct Row {
    QString code, name, parent;
    int level = 0;
};

QList<Row> allRows(Connection &c)
{
    DataSet q(&c);
    q.setSql("select 流水号, 类别, 父项, 级别 from 类别目录 order by 流水号");
    q.open();
    QList<Row> out;
    for (q.first(); !q.eof(); q.next())
        out.append({q.fields(0).asString(), q.fields(1).asString(), q.fields(2).asString(),
                    q.fields(3).asString().trimmed().toInt()});
    return out;
}

QString childKey(const QString &parent, int level) { return QString::number(level) + '\x1f' + parent; }

int highestCode(Connection &c)
{
    DataSet q(&c);
    q.setSql("select 流水号 from 类别目录");
    q.open();
    int highest = 0;
    for (q.first(); !q.eof(); q.next()) {
        bool ok = false;
        const int n = q.fields(0).asString().trimmed().toInt(&ok);
        if (ok)
            highest = std::max(highest, n);
    }
    return highest;
}

QString formatCode(int n) { return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')); }

bool rowExists(Connection &c, const QString &name, const QString &parent, const QString &exceptCode)
{
    DataSet q(&c);
    q.setSql("select count(*) from 类别目录 where 类别 = ? and 父项 = ?" +
             QString(exceptCode.isEmpty() ? "" : " and 流水号 <> ?"));
    q.addBindValue(name);
    q.addBindValue(parent);
    if (!exceptCode.isEmpty())
        q.addBindValue(exceptCode);
    q.open();
    return q.fields(0).asInteger() > 0;
}

int countNamed(Connection &c, const QString &name, int level)
{
    DataSet q(&c);
    q.setSql("select count(*) from 类别目录 where 类别 = ? and 级别 = ?");
    q.addBindValue(name);
    q.addBindValue(QString::number(level));
    q.open();
    return q.fields(0).asInteger();
}

// Deletes one row and, unless another category of the same name on the same level
// still holds them, the rows below it.
int removeRecursive(Connection &c, const Row &row)
{
    DataSet q(&c);
    q.setSql("delete from 类别目录 where 流水号 = ?");
    q.addBindValue(row.code);
    int n = q.execSQL();
    if (countNamed(c, row.name, row.level) > 0)
        return n;
    q.setSql("select 流水号, 类别, 父项, 级别 from 类别目录 where 父项 = ? and 级别 = ? order by 流水号");
    q.addBindValue(row.name);
    q.addBindValue(QString::number(row.level + 1));
    q.open();
    QList<Row> children;
    for (q.first(); !q.eof(); q.next())
        children.append({q.fields(0).asString(), q.fields(1).asString(), q.fields(2).asString(), row.level + 1});
    for (const auto &child : children)
        n += removeRecursive(c, child);
    return n;
}

Row readRow(Connection &c, const QString &code)
{
    DataSet q(&c);
    q.setSql("select 流水号, 类别, 父项, 级别 from 类别目录 where 流水号 = ?");
    q.addBindValue(code);
    q.open();
    if (q.isEmpty())
        return {};
    return {q.fields(0).asString(), q.fields(1).asString(), q.fields(2).asString(),
            q.fields(3).asString().trimmed().toInt()};
}
} // namespace

QString categoryNodeText(const QString &code, const QString &name) { return code + '\\' + name; }

QString categoryNameOf(const QString &nodeText)
{
    const int i = nodeText.indexOf('\\');
    return i < 0 ? nodeText : nodeText.mid(i + 1);
}

QString categoryCodeOf(const QString &nodeText)
{
    const int i = nodeText.indexOf('\\');
    return i < 0 ? QString() : nodeText.left(i);
}

QString CategoryStore::duplicateText() { return QStringLiteral("存在这样的类别操作被取消！"); }
QString CategoryStore::emptyText() { return QStringLiteral("不能为空"); }
QString CategoryStore::exhaustedText() { return QStringLiteral("类别编号已用完(9999)，不能再新建类别"); }

CategoryNode CategoryStore::tree() const
{
    QHash<QString, QList<Row>> byParent;
    for (const auto &r : allRows(m_conn))
        byParent[childKey(r.parent, r.level)].append(r);

    CategoryNode root{kCategoryRootCode, kCategoryRootName, 0, {}};
    // Levels only grow downwards, so the walk ends.
    std::function<void(CategoryNode &)> fill = [&](CategoryNode &node) {
        for (const auto &r : byParent.value(childKey(node.name, node.level + 1))) {
            CategoryNode child{r.code, r.name, r.level, {}};
            fill(child);
            node.children.append(child);
        }
    };
    fill(root);
    return root;
}

QString CategoryStore::nextCode() const
{
    const int next = highestCode(m_conn) + 1;
    if (next > kLastCode)
        throw CategoryError(exhaustedText());
    return formatCode(next);
}

bool CategoryStore::exists(const QString &name, const QString &parentName) const
{
    return rowExists(m_conn, name, parentName, QString());
}

QString CategoryStore::add(const QString &name, const QString &parentName, int parentLevel)
{
    Transaction tx(m_conn);
    m_conn.lockSequence(QStringLiteral("类别目录.流水号"));
    if (rowExists(m_conn, name, parentName, QString()))
        throw CategoryError(duplicateText());
    if (name.trimmed().isEmpty())
        throw CategoryError(emptyText());
    const QString code = nextCode();
    DataSet q(&m_conn);
    q.setSql("insert into 类别目录(流水号, 类别, 父项, 级别) values (?, ?, ?, ?)");
    q.addBindValue(code);
    q.addBindValue(name);
    q.addBindValue(parentName);
    q.addBindValue(QString::number(parentLevel + 1));
    q.execSQL();
    tx.commit();
    return code;
}

void CategoryStore::rename(const QString &code, const QString &newName)
{
    if (newName.trimmed().isEmpty())
        throw CategoryError(emptyText());
    Transaction tx(m_conn);
    const Row row = readRow(m_conn, code);
    if (row.code.isEmpty()) {
        tx.commit();
        return;
    }
    if (rowExists(m_conn, newName, row.parent, code))
        throw CategoryError(duplicateText());
    DataSet q(&m_conn);
    q.setSql("update 类别目录 set 类别 = ? where 流水号 = ?");
    q.addBindValue(newName);
    q.addBindValue(code);
    q.execSQL();
    // Children shared with another category of the old name stay with that one.
    if (newName != row.name && countNamed(m_conn, row.name, row.level) == 0) {
        q.setSql("update 类别目录 set 父项 = ? where 父项 = ? and 级别 = ?");
        q.addBindValue(newName);
        q.addBindValue(row.name);
        q.addBindValue(QString::number(row.level + 1));
        q.execSQL();
    }
    tx.commit();
}

int CategoryStore::removeSubtree(const QString &code)
{
    Transaction tx(m_conn);
    int n = 0;
    if (code == kCategoryRootCode) {
        DataSet q(&m_conn);
        q.setSql("delete from 类别目录");
        n = q.execSQL();
    } else {
        const Row row = readRow(m_conn, code);
        if (!row.code.isEmpty())
            n = removeRecursive(m_conn, row);
    }
    tx.commit();
    return n;
}

} // namespace orv
