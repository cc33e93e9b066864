#pragma once
// A child window over one document family in two modes, switched in place by the menu: mode 1
// audits the pending documents (a search bar, the documents over their lines, a field panel closed
// by 通过 and 取消, through AuditDocuments); mode 2 is the family's list of settled documents
// (DocumentListWindow). Switching keeps the current document until the operator selects another.
// A family without a list (Setup::list empty) has the audit alone.
//
//   class TfrmTuiAud : public AuditListWindow {
//       TfrmTuiAud() : AuditListWindow(setup(), parent) {
//           ... panel fields ...; layOut(auditLineTab(...), panel, passButton, cancelButton);
//           m_audit->openDocuments = [this](DataSet &ds) { m_returns.openPending(ds, pendingSearch()); };
//       }
//   };
#include "app/appglobals.h"
#include "documents/documentapproval.h"
#include "documents/documentlist.h"
#include "documents/documentprint.h"
#include "documents/pendingdocuments.h"

#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QStackedLayout;
class QTabWidget;
class QTableView;
class QToolButton;
class TfrReport;

namespace orv {

class AuditDocuments;
class DataSetModel;
class DocumentListWindow;
struct AuditFieldPanel;

class AuditListWindow : public QWidget {
    Q_OBJECT
public:
    struct Setup {
        QString auditCaption;                         // mode 1's title
        std::function<DocumentListConfig()> list;     // mode 2
        QStringList searchItems;                      // the audit's items after "显示全部"
        QStringList searchColumns;                    // the column each of them searches
        QString fromName, toName;                     // the audit's range fields
        QString printCaption;                         // the audit's print button
        QStringList hiddenColumns;                    // of the audit's list, besides ID and 流水号
        QSize size{1100, 680};
        bool enterSearchesEmpty = false; // Enter in an empty search text searches the range too
        bool forgetsNoneListed = false;  // G.gDocID cleared when no document is listed

        // The audit alone, without a list: the range in DateTimePicker1 and 2, 1000 x 640, Enter
        // searches an empty text too, G.gDocID cleared when nothing is listed.
        static Setup auditOnly(const QString &caption, const QStringList &searchItems,
                               const QStringList &searchColumns, const QString &printCaption);
    };
    AuditListWindow(const Setup &setup, QWidget *parent);
    ~AuditListWindow() override;

    // The window in mode 1 (pending) or 2 (settled): caption, page and list follow.
    void showMode(int mode);
    int mode() const { return m_mode; }
    // The current document of the mode shown.
    const QString &currentID() const;

    // Mode 1: 查询, Enter in the search text, every change of it, "显示全部".
    void search();

    // The line buttons 新建, 修改 and 删除 (addLineButtons).
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    // 通过, 取消 and the print button.
    virtual void SpeedButton5Click() = 0;
    virtual void SpeedButton3Click() = 0;
    virtual void SpeedButton4Click() = 0;
    void DBGridsalequoteCellClick(int row); // a document becomes current
    void DBGridSaleFitCellClick(int row);   // a line is clicked

    TfrReport &report() { return *m_report; }
    const PrintRun &lastPrint() const { return m_lastPrint; }

    QWidget *auditPage() const { return m_auditPage; }
    DocumentListWindow *listPage() const { return m_listPage; }
    DataSetModel *documentModel() const { return m_documentModel; }
    DataSetModel *lineModel() const { return m_lineModel; }

protected:
    // Once, when first shown: the range this month, the mode's documents listed.
    virtual void formShow();
    // Mode 1's list: every pending document, the one `keepID` current when still listed.
    void listPending(const QString &keepID = QString());
    PendingSearch pendingSearch() const;
    // Enter in each field moves the focus to the next one.
    void chainOnEnter(const QList<QWidget *> &fields);
    // The page laid out, closed by 通过 and 取消 (made here, after the panel's fields).
    void layOut(QTabWidget *lineTab, AuditFieldPanel &panel);
    // 新建, 修改 and 删除 (SpeedButton6, 7, 8) for the line tab, each through m_audit.
    QList<QWidget *> addLineButtons();
    // 审核人 (Edit2, filled by the staff picker of `staffMode` behind SpeedButton2, which answers
    // through takeAuditor) and 审核日期 (DateTimePicker3, today when first shown) in the panel.
    void addAuditorRows(AuditFieldPanel &panel, int staffMode);
    bool takeAuditor(FieldRole role, const QString &which, const QString &value);
    // A line message (WM_AUD_FIT_NEW, WM_AUD_FIT_UPDATE, WM_AUD_FIT_MDF): every pending document
    // listed again, the current one kept. False for any other message.
    bool lineMessage(int message);
    // What an approval did: not pending any more (settled by another client first): `notPending`
    // said, if any, and the list follows; short of stock: the message, the lines again;
    // approved: `approved` said and the list follows.
    void settle(const DocumentApproval::Result &r, const QString &approved, const QString &notPending = QString());
    // 取消 of the current document after "您确定要取消吗?": `cancel` (false: settled meanwhile,
    // then `notCancelled` said, if any), the list follows.
    void cancelCurrent(const std::function<bool(qint64 rowNo)> &cancel, const QString &notCancelled = QString());
    // The current document printed, then every pending one listed again on it (the kept fields as
    // typed with `keepFields`).
    void printCurrent(const std::function<DocumentPrint(const QString &id)> &build, bool keepFields = false);
    // After each listing (the fields of a window with nothing listed).
    virtual void afterList() {}
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    QWidget *m_auditPage;
    QDateEdit *fromDate, *toDate;
    QComboBox *queryCombo;         // ComboBox1
    QLineEdit *searchEdit;         // Edit1
    QToolButton *queryButton;      // SpeedButton1
    QToolButton *printButton;      // SpeedButton4
    QTableView *documentsGrid;     // DBGridsalequote
    QTableView *linesGrid;         // DBGridSaleFit
    DataSetModel *m_documentModel;
    DataSetModel *m_lineModel;
    std::unique_ptr<AuditDocuments> m_audit;
    bool m_searched = false; // mode 1's list is a search's, not every pending document
    QToolButton *newLineButton = nullptr, *editLineButton = nullptr, *deleteLineButton = nullptr;
    QLineEdit *auditorEdit = nullptr;     // Edit2 审核人 (addAuditorRows)
    QToolButton *auditorButton = nullptr; // SpeedButton2
    QDateEdit *auditDate = nullptr;       // DateTimePicker3
    QToolButton *passButton = nullptr;    // SpeedButton5
    QToolButton *cancelButton = nullptr;  // SpeedButton3
    std::unique_ptr<TfrReport> m_report;
    PrintRun m_lastPrint;

private:
    void afterReload();
    Setup m_setup;
    int m_mode = 1;
    bool m_shown = false;
    bool m_listOpened = false;
    QStackedLayout *pages;
    DocumentListWindow *m_listPage = nullptr;
    QList<QWidget *> m_enterChain;
};

} // namespace orv
