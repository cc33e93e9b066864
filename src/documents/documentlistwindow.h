#pragma once
// The list window of a document family, a child window of the main window: a date range, a search
// item and its text, the buttons, the documents with their totals row, and the current document's
// lines on a tab below. What it lists and which buttons it offers come from a DocumentListConfig
// (documents/documentlist.h); the window only wires its controls to DocumentList.
//
//   class TfrmPuchList : public DocumentListWindow {
//       Q_OBJECT                                   the class closes the other child windows
//   public:
//       explicit TfrmPuchList(QWidget *parent = nullptr) : DocumentListWindow(receiptListConfig(), parent)
//       {
//           setObjectName("frmPuchList");
//       }
//   };
//   inline QPointer<TfrmPuchList> frmPuchList;     menu: ShowChildForm(frmPuchList)
//
// A window serving several lists switches in place: setConfiguration(other) retitles it, keeps
// the range, the search item and text, and lists the other documents unfiltered.
//
// Selection: a click, Up or Down make a document current only on a document's row (on the totals
// row the previous one stays); the wheel moves one row and makes that row current, the totals row
// too (no document then, no lines). The other ways of moving change nothing.
#include "documents/documentlist.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTableView;
class QTimer;
class QToolButton;
class TfrReport;

namespace orv {

// What 红字反冲 hands over for a document that is not reversed yet.
struct ReversalRequest {
    int kind = 0;     // 1 receipt, 2 purchase return, 3 internal document, 4 sales bill, 5 sales return
    QString docID;    // the document's record ID
    qint64 rowNo = 0; // its 流水号
    QString remark;   // its remark, offered as the reversal's
};
// The reversal, once it exists, registers itself here for every list; the list sets G.gReverseKind,
// G.gDocID, G.gRepFit.RowNo and G.gReverseRemark before calling it, and opens the list again on
// the document afterwards. Without one, 红字反冲 says "红字反冲功能尚未提供".
using ReversalHandler = std::function<void(QWidget *list, const ReversalRequest &)>;
void setReversalHandler(ReversalHandler handler);
const ReversalHandler &reversalHandler();

class DocumentListWindow : public QWidget {
    Q_OBJECT
public:
    explicit DocumentListWindow(const DocumentListConfig &config, QWidget *parent = nullptr);
    ~DocumentListWindow() override;

    // Another list in this window: caption, buttons, search items and columns follow; the range,
    // the search item (when the new list has it) and the text stay; every document of the new
    // list is shown with the first one current. The status bar follows.
    void setConfiguration(const DocumentListConfig &config);
    const DocumentListConfig &configuration() const { return m_list.config(); }

    // Opening (once, when first shown): delete shown with privilege flag 51, the range this
    // month, every document listed, the first current, the focus in the search text.
    void formShow();

    // 查询, Enter in the search text, and (shortly after typing stops) each change of the text:
    // the range, narrowed by the item's text unless the item is "显示全部".
    void search();
    bool searchPending() const; // typed, not searched yet
    // The search item chosen: "显示全部" searches at once, another item waits for the text.
    void searchItemChosen(int item);

    // The documents' grid: a click, the Up and Down keys, the wheel (see above).
    void documentClicked(int row);
    void documentKey(int delta);
    void documentWheel(int delta);
    // The lines' grid: the wheel moves its current line and loads nothing.
    void lineWheel(int delta);

    // The buttons. Each does nothing while the grid's current row is the totals row.
    void printCurrent();  // through the list's print, then the list opened again on it
    void deleteCurrent(); // after the question; then every document listed again
    void reverseCurrent(); // the reversal check, then the reversal (or that it is not available)
    void exportList();    // 导出主表: the grid's rows, the totals row last; the totals row current after
    void exportLines();   // 导出明细: the lines and their count

    const QString &currentID() const { return m_list.currentID(); }
    DocumentList &list() { return m_list; }
    DocumentListModel *documentModel() { return &m_list.documents(); }
    DocumentListModel *lineModel() { return &m_list.lines(); }
    QTableView *documentGrid() const { return documentsGrid; }
    QTableView *lineGrid() const { return linesGrid; }
    TfrReport &report() { return *frReport1; }
    const PrintRun &lastPrint() const { return m_lastPrint; }

protected:
    // Room for what a window adds to the list: its own buttons in the bar, a panel beside the grids.
    QHBoxLayout *toolBar() const { return bar; }
    void setSidePanel(QWidget *panel);
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyConfiguration();
    void runSafely(const std::function<void()> &step);
    void reopenOn(const QString &id);
    void afterOpen();
    int currentRow() const;
    void setCurrentRow(QTableView *grid, int row);

    DocumentList m_list;
    std::unique_ptr<TfrReport> frReport1;
    PrintRun m_lastPrint;
    bool m_shown = false;
    bool m_mayDelete = false;

    QHBoxLayout *bar;
    QLabel *dateLabel;
    QDateEdit *fromDate, *toDate;
    QComboBox *searchItems;
    QLineEdit *searchText;
    QTimer *searchTimer;
    QToolButton *queryButton, *printButton, *lineExportButton, *listExportButton, *deleteButton, *reversalButton;
    QTableView *documentsGrid;
    QTabWidget *tabs;
    QTableView *linesGrid;
    QHBoxLayout *body;
    QPointer<QWidget> sidePanel;
};

} // namespace orv
