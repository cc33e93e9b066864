#pragma once
// A child window over one document family in two modes, switched in place by the menu: mode 1
// audits the pending documents (a search bar, the documents over their lines, a field panel closed
// by 通过 and 取消, through AuditDocuments); mode 2 is the family's list of settled documents
// (DocumentListWindow). Switching keeps the current document until the operator selects another.
//
//   class TfrmTuiAud : public AuditListWindow {
//       TfrmTuiAud() : AuditListWindow(setup(), parent) {
//           ... panel fields ...; layOut(auditLineTab(...), panel, passButton, cancelButton);
//           m_audit->openDocuments = [this](DataSet &ds) { m_returns.openPending(ds, pendingSearch()); };
//       }
//   };
#include "documents/documentlist.h"
#include "documents/pendingdocuments.h"

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
    void layOut(QTabWidget *lineTab, AuditFieldPanel &panel, QWidget *passButton, QWidget *cancelButton);
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

private:
    void afterReload();
    Setup m_setup;
    int m_mode = 1;
    bool m_shown = false;
    bool m_listOpened = false;
    QStackedLayout *pages;
    DocumentListWindow *m_listPage;
    QList<QWidget *> m_enterChain;
};

} // namespace orv
