#include "documents/documentlist.h"
#include "data/dbconnection.h"
#include "goods/goodslines.h"
#include "ledger/vouchers.h"
#include "partners/partnerrules.h"

#include <QBrush>
#include <QTimer>
#include <memory>

namespace orv {

namespace {
const QString kID = QStringLiteral("ID");
const QString kRowNo = QStringLiteral("流水号");
} // namespace

DocumentListModel::DocumentListModel(QObject *parent) : QAbstractTableModel(parent) {}

void DocumentListModel::setColumns(const QList<ListColumn> &columns, const QString &redFlag)
{
    beginResetModel();
    m_columns = columns;
    m_redFlag = redFlag;
    m_source.clear();
    int field = 0;
    for (const ListColumn &c : columns)
        m_source << (c.field.isEmpty() ? -1 : field++);
    m_rows = DataSet();
    m_totals = {};
    m_sums.clear();
    endResetModel();
}

void DocumentListModel::load(DataSet rows, const Totals &totals)
{
    beginResetModel();
    // A long list shown before is let go once the new one is on screen.
    auto previous = std::make_shared<DataSet>(std::move(m_rows));
    QTimer::singleShot(0, this, [previous] {});
    m_rows = std::move(rows);
    m_totals = totals;
    sumUp();
    endResetModel();
}

void DocumentListModel::clearRows() { load(DataSet(), m_totals); }

void DocumentListModel::sumUp()
{
    m_sums.clear();
    if (!hasTotalsRow())
        return;
    m_sums.insert(columnOf(m_totals.column), m_totals.label);
    for (const QString &title : std::as_const(m_totals.summed)) {
        const int column = columnOf(title);
        const int field = m_source.value(column, -1);
        if (field < 0)
            continue;
        // Exact at four decimals, as the stored amounts are; empty when nothing is summed.
        double sum = 0;
        bool any = false;
        for (int r = 0; r < m_rows.recordCount(); ++r) {
            const QVariant &v = m_rows.value(r, field);
            if (v.isNull())
                continue;
            sum = round4(sum + v.toDouble());
            any = true;
        }
        m_sums.insert(column, any ? generalNumber(sum) : QString());
    }
}

int DocumentListModel::columnOf(const QString &title) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].title == title)
            return i;
    return -1;
}

QString DocumentListModel::text(int row, int column) const
{
    if (column < 0 || column >= m_columns.size())
        return QString();
    if (isTotalsRow(row))
        return m_sums.value(column);
    const int field = m_source[column];
    if (row < 0 || row >= m_rows.recordCount() || field < 0 || field >= m_rows.fieldCount())
        return QString();
    return Field(&m_rows.value(row, field), m_rows.isFlagColumn(field)).asString();
}

QString DocumentListModel::text(int row, const QString &title) const { return text(row, columnOf(title)); }

int DocumentListModel::findRow(const QString &title, const QString &value) const
{
    const int column = columnOf(title);
    if (column < 0)
        return -1;
    for (int r = 0; r < documentRowCount(); ++r)
        if (text(r, column).compare(value, Qt::CaseInsensitive) == 0)
            return r;
    return -1;
}

bool DocumentListModel::isRed(int row) const
{
    return !m_redFlag.isEmpty() && row < documentRowCount() && text(row, m_redFlag) == QLatin1String("True");
}

int DocumentListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : documentRowCount() + (hasTotalsRow() ? 1 : 0);
}

int DocumentListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QVariant DocumentListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(index.row(), index.column());
    case Qt::ToolTipRole: {
        const QString t = text(index.row(), index.column());
        return t.isEmpty() ? QVariant() : QVariant(t);
    }
    case Qt::BackgroundRole:
        return isRed(index.row()) ? QVariant(QBrush(Qt::red)) : QVariant();
    default:
        return {};
    }
}

QVariant DocumentListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_columns.value(section).title;
    return section + 1;
}

DocumentList::DocumentList(Connection &c) : m_conn(c) {}

void DocumentList::setConfig(const DocumentListConfig &config)
{
    m_config = config;
    m_documents.setColumns(config.columns, config.redFlag);
    m_lines.setColumns(config.lineColumns);
    m_currentID.clear();
    m_lineNarrowing.reset();
}

QString DocumentList::selectColumns(const QList<ListColumn> &columns) const
{
    QStringList out;
    for (const ListColumn &c : columns) {
        if (c.field.isEmpty())
            continue;
        out << (c.field == c.title ? c.field : c.field + " as " + c.title);
    }
    return out.join(',');
}

QString DocumentList::withLike(QString condition) const
{
    // The same case-insensitive match as a field's search.
    return condition.replace(QStringLiteral("{like}"), m_conn.isSqlite() ? QStringLiteral("like") : QStringLiteral("ilike"));
}

const ListSearch *DocumentList::searched(const ListFilter &f) const
{
    if (f.text.isEmpty() || f.item <= 0 || f.item > m_config.searches.size())
        return nullptr;
    return &m_config.searches[f.item - 1];
}

QString DocumentList::documentsSql(const ListFilter *filter) const
{
    QStringList where;
    if (!m_config.state.isEmpty())
        where << "当前状态 = ?";
    if (filter && !m_config.dateColumn.isEmpty())
        where << m_config.dateColumn + " >= ? and " + m_config.dateColumn + " < ?";
    QString from = m_config.table;
    if (const ListSearch *s = filter ? searched(*filter) : nullptr) {
        if (!s->rows.isEmpty())
            from = "(" + withLike(s->rows) + ") " + m_config.table;
        else
            where << (s->condition.isEmpty() ? containsCondition(m_conn, s->field) : "(" + withLike(s->condition) + ")");
    }
    QString sql = "select " + selectColumns(m_config.columns) + " from " + from;
    if (!where.isEmpty())
        sql += " where " + where.join(" and ");
    QString order = m_config.orderBy;
    if (order.isEmpty())
        order = m_config.dateColumn.isEmpty() ? QStringLiteral("流水号 desc") : m_config.dateColumn + " desc, 流水号 desc";
    return sql + " order by " + order;
}

QString DocumentList::linesSql() const
{
    QString sql = "select " + selectColumns(m_config.lineColumns) + " from " + m_config.lineTable + " where ID = ?";
    if (m_lineNarrowing)
        sql += " and (" + withLike(m_lineNarrowing->condition) + ")";
    return sql + " order by 流水号";
}

int DocumentList::openAll(const QString &keepID) { return open(nullptr, keepID); }

int DocumentList::search(const ListFilter &filter) { return open(&filter, QString()); }

int DocumentList::open(const ListFilter *filter, const QString &keepID)
{
    m_lineNarrowing.reset();
    DataSet ds(&m_conn);
    ds.setSql(documentsSql(filter));
    const ListSearch *s = filter ? searched(*filter) : nullptr;
    // A search's rows stand first in the statement, its condition last.
    const bool searchesRows = s && !s->rows.isEmpty();
    if (searchesRows)
        ds.addBindValue(containsPattern(filter->text));
    if (!m_config.state.isEmpty())
        ds.addBindValue(m_config.state);
    if (filter && !m_config.dateColumn.isEmpty()) {
        // Dates are stored as ISO text, some with a time: the last day counts whole.
        ds.addBindValue(filter->from.toString(Qt::ISODate));
        ds.addBindValue(filter->to.addDays(1).toString(Qt::ISODate));
    }
    if (s && !searchesRows)
        ds.addBindValue(containsPattern(filter->text));
    try {
        ds.open();
    } catch (...) {
        m_documents.load(DataSet(), {m_config.totalsLabel, m_config.totalsColumn, m_config.summed});
        clearCurrent();
        throw;
    }
    m_documents.load(std::move(ds), {m_config.totalsLabel, m_config.totalsColumn, m_config.summed});
    if (s && !s->lineCondition.isEmpty())
        m_lineNarrowing = LineNarrowing{s->lineCondition, containsPattern(filter->text)};
    const int kept = keepID.isEmpty() ? -1 : m_documents.findRow(kID, keepID);
    const int row = kept >= 0 ? kept : 0;
    select(row);
    return row;
}

void DocumentList::select(int row)
{
    const QString id = m_documents.text(row, kID);
    const bool changed = id != m_currentID;
    m_currentID = id;
    if (changed && m_config.currentChanged)
        m_config.currentChanged(m_currentID);
    loadLines();
}

bool DocumentList::follow(int row)
{
    if (!isDocument(row))
        return false;
    select(row);
    return true;
}

void DocumentList::clearCurrent()
{
    const bool changed = !m_currentID.isEmpty();
    m_currentID.clear();
    m_lines.clearRows();
    if (changed && m_config.currentChanged)
        m_config.currentChanged(m_currentID);
}

void DocumentList::loadLines()
{
    if (m_currentID.isEmpty() || m_config.lineTable.isEmpty()) {
        m_lines.clearRows();
        return;
    }
    DataSet ds(&m_conn);
    ds.setSql(linesSql());
    ds.addBindValue(m_currentID);
    if (m_lineNarrowing)
        ds.addBindValue(m_lineNarrowing->pattern);
    try {
        ds.open();
    } catch (...) {
        m_lines.clearRows();
        throw;
    }
    m_lines.load(std::move(ds));
}

std::optional<bool> DocumentList::storedReversed(int row) const
{
    const QString no = rowNo(row);
    if (no.isEmpty() || m_config.redFlag.isEmpty())
        return std::nullopt;
    DataSet ds(&m_conn);
    ds.setSql("select " + m_config.redFlag + " from " + m_config.table + " where 流水号 = ?");
    ds.addBindValue(no.toLongLong());
    ds.open();
    if (ds.isEmpty())
        return std::nullopt;
    return ds.fields(0).asBoolean();
}

bool DocumentList::remove(int row)
{
    const QString no = rowNo(row);
    if (no.isEmpty())
        return false;
    const QString id = m_documents.text(row, kID);
    Transaction tx(m_conn);
    QSqlQuery q(m_conn.db());
    q.prepare("delete from " + m_config.table + " where 流水号 = ?");
    q.addBindValue(no.toLongLong());
    m_conn.run(q, q.lastQuery());
    if (q.numRowsAffected() <= 0)
        return false;
    q.finish();
    if (m_config.remove.withLines && !m_config.lineTable.isEmpty())
        m_conn.exec("delete from " + m_config.lineTable + " where ID = ?", {id});
    tx.commit();
    return true;
}

namespace {
ExportSheet sheetOf(const DocumentListModel &model, const QStringList &wanted, const QMap<int, double> &widths)
{
    QList<int> columns;
    if (wanted.isEmpty()) {
        for (int c = 0; c < model.columns().size(); ++c)
            if (!model.columns()[c].hidden)
                columns << c;
    } else {
        for (const QString &title : wanted)
            columns << model.columnOf(title);
    }
    ExportSheet sheet;
    for (int c : std::as_const(columns))
        sheet.headers << model.columns().value(c).title;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList row;
        for (int c : std::as_const(columns))
            row << model.text(r, c);
        sheet.rows << row;
    }
    // Column 1 holds numbers and codes as text.
    sheet.textColumns = {1};
    sheet.widths = widths;
    return sheet;
}
} // namespace

ExportSheet DocumentList::listSheet() const
{
    return sheetOf(m_documents, m_config.listExportColumns, m_config.listExportWidths);
}

ExportSheet DocumentList::lineSheet() const
{
    ExportSheet sheet = sheetOf(m_lines, m_config.lineExportColumns, m_config.lineExportWidths);
    if (!sheet.rows.isEmpty())
        sheet.summary = QStringLiteral("满足条件记录的总数为：%1条").arg(sheet.rows.size());
    return sheet;
}

} // namespace orv
