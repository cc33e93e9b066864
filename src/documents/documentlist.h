#pragma once
// The list of a document family, without widgets: the documents of one state listed newest first
// with a totals row last, searched by a date range and one text field, the current document's
// lines below, the delete of a document, its reversal check and both exports. A list is declared
// once as a DocumentListConfig; DocumentListWindow shows it, and one window may switch to another
// configuration while it is open.
//
//   DocumentListConfig c;
//   c.caption = "采购入库单";
//   c.table = "采购入库单";  c.state = "已入库";  c.dateColumn = "开单日期";
//   c.columns = {hidden("ID"), hidden("流水号"), shown("单据编号"), ..., hidden("是否红冲")};
//   c.searches = {{"按单据编号查询", "单据编号"}, {"按照供应商查询", "供应商"}};
//   c.totalsLabel = "合计:";  c.summed = {"合计应付", "实际付款", "挂账金额"};
//   c.lineTable = "采购入库明细";  c.linesTab = "入库明细";  c.lineColumns = {...};
//   c.print = [](Connection &conn, const QString &docID) { DocumentPrint p; ...; return p; };
//   c.redFlag = "是否红冲";  c.reversalKind = 1;  c.reversedText = "此项采购单据已经红字反冲操作被取消";
#include "data/dataset.h"
#include "documents/documentprint.h"
#include "goods/excelexport.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

namespace orv {

class Connection;

// A column of a grid: the title it is shown and exported under, the column of the table it
// shows (an expression such as 领用部门 shown as 相关单位; empty: a column left empty), hidden
// or shown, and its width in pixels (0: the grid's own).
struct ListColumn {
    QString title;
    QString field;
    bool hidden = false;
    int width = 0;
};
inline ListColumn shown(const QString &title, int width = 0) { return {title, title, false, width}; }
inline ListColumn hidden(const QString &title) { return {title, title, true, 0}; }
// A column shown under another name than the table's: `field` as `title`.
inline ListColumn shownAs(const QString &field, const QString &title, int width = 0)
{
    return {title, field, false, width};
}

// An item of the search drop-down after "显示全部". The typed text is searched as a part of the
// header's `field` (any letter case; % and _ in it stay wildcards). A list whose item searches
// elsewhere gives `condition` instead: a condition on the header with one '?' for the pattern,
// "{like}" standing for the case-insensitive match ("ID in (select ID from 盘点明细 where 编号
// {like} ?)"); `lineCondition`, written alike, then also narrows the current document's lines.
// An item that lists a document once per matching line gives `rows` in place of `condition`:
// a select of header rows, written alike, read in place of the header table.
struct ListSearch {
    QString caption;
    QString field;
    QString condition = {};
    QString lineCondition = {};
    QString rows = {};
};

// The delete of a document (shown with privilege flag 51): after `question` (caption
// "系统提示"), the header row goes, with its lines when `withLines`, in one transaction; then
// `doneMessage` when there is one.
struct ListDelete {
    bool enabled = true;
    QString question = QStringLiteral("您确实要删除吗?");
    bool withLines = false;
    QString doneMessage = {};
};

// The object names of the window's controls: the lists do not name their buttons alike.
struct ListControlNames {
    QString from = QStringLiteral("DateTimePicker1"), to = QStringLiteral("DateTimePicker2");
    QString searchItems = QStringLiteral("ComboBox1"), searchText = QStringLiteral("EditContent");
    QString query = QStringLiteral("SpeedButton4"), print = QStringLiteral("SpeedButton3");
    QString lineExport = QStringLiteral("SpeedButton2"), listExport = QStringLiteral("SpeedButton6");
    QString remove = QStringLiteral("SpeedButton1"), reversal = QStringLiteral("SpeedButton5");
    QString documents = QStringLiteral("DBGrid1"), lines = QStringLiteral("DBGrid2");
};

// Prints a document, by its record ID: what goes into the template (the window prints it).
using ListPrint = std::function<DocumentPrint(Connection &, const QString &docID)>;

struct DocumentListConfig {
    QString caption;                                  // the window's title
    QString table;                                    // the header table
    QString state;                                    // 当前状态 listed; empty: every document
    QString dateColumn;                               // searched by the range, newest first; empty: no range
    QString dateLabel = QStringLiteral("开单日期：");  // before the range
    QString orderBy;                                  // empty: dateColumn desc (then 流水号 desc)
    QList<ListColumn> columns;                        // the documents' grid; ID and 流水号 among them
    QList<ListSearch> searches;                       // the items after "显示全部"

    QString totalsLabel;                              // "合计:", "合计：", "合计"; empty: no totals row
    QString totalsColumn = QStringLiteral("单据编号"); // where the label stands
    QStringList summed;                               // the columns the totals row sums

    QString lineTable;                                // lines found by the document's ID
    QString linesTab;                                 // the tab over them
    QList<ListColumn> lineColumns;

    ListPrint print;                                  // empty: no print button
    QString printCaption;                             // empty: a glyph
    bool reloadAfterPrint = true;                     // the list opened again on the printed document
    ListDelete remove;
    bool listExport = true, lineExport = true;
    QString lineExportCaption;                        // empty: a glyph
    QStringList listExportColumns, lineExportColumns; // titles; empty: every shown column
    QMap<int, double> listExportWidths = {{1, 15}, {2, 15}, {4, 15}}; // sheet column (from 1) -> width
    QMap<int, double> lineExportWidths;

    QString redFlag;                                  // a flag column: its rows reading "True" are red
    int reversalKind = 0;                             // G.gReverseKind of 红字反冲; 0: no such button
    QString reversedText;                             // said when the document is reversed already
    QString remarkColumn = QStringLiteral("备注");    // handed to the reversal

    // Told each time another document becomes current (empty: none), e.g. to keep G.gDocID.
    std::function<void(const QString &docID)> currentChanged;
    ListControlNames names;
};

// The rows of a grid: the columns of a configuration, read from a dataset in that order, and,
// when a totals label is given, one totals row after them (the label in its column, the sums
// of the summed columns over the listed rows, empty when nothing is listed, nothing else).
class DocumentListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DocumentListModel(QObject *parent = nullptr);

    void setColumns(const QList<ListColumn> &columns, const QString &redFlag = QString());
    struct Totals {
        QString label, column;
        QStringList summed;
    };
    // Shows the rows of an opened dataset whose fields are the columns with a field, in order.
    void load(DataSet rows, const Totals &totals = {});
    void clearRows();

    const QList<ListColumn> &columns() const { return m_columns; }
    int columnOf(const QString &title) const;
    int documentRowCount() const { return m_rows.recordCount(); }
    bool hasTotalsRow() const { return !m_totals.label.isEmpty(); }
    bool isTotalsRow(int row) const { return hasTotalsRow() && row == documentRowCount(); }
    QString text(int row, int column) const;
    QString text(int row, const QString &title) const;
    // First document row whose column holds `value`; -1 when none.
    int findRow(const QString &title, const QString &value) const;
    bool isRed(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void sumUp();
    QList<ListColumn> m_columns;
    QVector<int> m_source; // column -> dataset field, -1 for an empty column
    QString m_redFlag;
    DataSet m_rows;
    Totals m_totals;
    QMap<int, QString> m_sums; // column -> the totals row's text
};

// The current search of a list: the range, the item (0 "显示全部") and the text.
struct ListFilter {
    QDate from, to;
    int item = 0;
    QString text;
};

class DocumentList {
public:
    explicit DocumentList(Connection &c);

    // Another list in the same models; nothing is read until the next open.
    void setConfig(const DocumentListConfig &config);
    const DocumentListConfig &config() const { return m_config; }
    DocumentListModel &documents() { return m_documents; }
    DocumentListModel &lines() { return m_lines; }

    // The statements (for the benchmark and the tests): every document of the state; the
    // documents of a range, narrowed by an item's text when one is searched.
    QString documentsSql(const ListFilter *filter) const;
    QString linesSql() const; // of the current search

    // Opening: every document of the state, whatever the range; the document `keepID` stays
    // current when it is listed, else the first row becomes current. Searching: the range,
    // narrowed by the item's text when the text is not empty and the item is not "显示全部"; the
    // first row becomes current. A totals row made current leaves no document current. Both
    // return the row made current; they throw DbError (the lists empty, no document current).
    int openAll(const QString &keepID = QString());
    int search(const ListFilter &filter);

    // The current document: the ID of a row made current and its lines. select() takes any
    // row, the totals row too (no document current then, no lines); follow() takes only a row
    // of a document and is false, changing nothing, for the totals row.
    const QString &currentID() const { return m_currentID; }
    void select(int row);
    bool follow(int row);
    void loadLines(); // throws DbError (the lines empty)
    void clearCurrent();

    bool isDocument(int row) const { return !m_documents.text(row, QStringLiteral("ID")).isEmpty(); }
    QString rowNo(int row) const { return m_documents.text(row, QStringLiteral("流水号")); }

    // The reversal flag of a row's document as stored now; nullopt when it is gone.
    std::optional<bool> storedReversed(int row) const;
    // Deletes a row's document (its header, and its lines when the configuration says so) in one
    // transaction; false when it was gone already. Throws DbError (nothing deleted).
    bool remove(int row);

    ExportSheet listSheet() const;
    ExportSheet lineSheet() const;

private:
    int open(const ListFilter *filter, const QString &keepID);
    QString selectColumns(const QList<ListColumn> &columns) const;
    const ListSearch *searched(const ListFilter &f) const;
    QString withLike(QString condition) const;

    Connection &m_conn;
    DocumentListConfig m_config;
    DocumentListModel m_documents, m_lines;
    QString m_currentID;
    // The search the lines follow, when its item narrows them too.
    struct LineNarrowing {
        QString condition, pattern;
    };
    std::optional<LineNarrowing> m_lineNarrowing;
};

} // namespace orv
