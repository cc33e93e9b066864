#pragma once
// The shared parts of an audit window: the list of pending documents with the current one (kept
// by record ID when the list is opened again) and its lines below; header fields saved when the
// focus leaves them; the line actions through the goods picker and the line editor in audit
// mode, and the refresh that follows them (WM_AUD_FIT_NEW, WM_AUD_FIT_UPDATE, WM_AUD_FIT_MDF):
// the document's total recomputed, the lists opened again with the fields as typed.
//
//   m_audit = std::make_unique<AuditDocuments>(this, ordersGrid, m_orderModel, linesGrid, m_lineModel);
//   m_audit->auditKind = 1;                                           G.gAuditKind of the picker and editor
//   m_audit->openDocuments = [this](DataSet &ds) { m_orders.openPending(ds, how, text); };
//   m_audit->openLines = [this](DataSet &ds, const QString &id) { m_orders.openLines(ds, id); };
//   m_audit->showDocument = [this](int row) { ... header fields from m_orderModel's row ... };
//   m_audit->recomputeTotal = [this](const QString &id) { m_orders.recomputeTotal(id); };
//   m_audit->removeLine = [this](const QString &id, qint64 rowNo) { m_orders.deleteLine(id, rowNo); };
//   m_audit->saveOnLeave(memoEdit, [this](const QString &id) { m_orders.saveField(id, Memo, ...); });
//   onWindowMessage: if (m_audit->lineMessage(message)) return;
//
// Hold it as a member (it has no parent), so it is gone before the window's fields are: a
// field losing the focus while the window is destroyed saves nothing.
#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>
#include <functional>

class QGridLayout;
class QLayout;
class QTabWidget;
class QTableView;
class QWidget;

namespace orv {

class Connection;
class DataSet;
class DataSetModel;

class AuditDocuments : public QObject {
    Q_OBJECT
public:
    AuditDocuments(QWidget *window, QTableView *documentGrid, DataSetModel *documentModel, QTableView *lineGrid,
                   DataSetModel *lineModel);
    ~AuditDocuments() override;

    // What the window supplies. Each may throw: the error is shown and the window stays usable.
    std::function<void(DataSet &)> openDocuments;                   // the pending documents, searched
    std::function<void(DataSet &, const QString &docID)> openLines; // a document's lines
    std::function<void(int row)> showDocument;                      // header fields from a list row
    // G.gAuditKind of the line actions (1 purchase order, 2 sales order, 3 purchase return, 4 loss
    // report); the picker reads the document's ID from G.gPuchDocID for kind 1, G.gDocID otherwise.
    int auditKind = 0;
    std::function<void(const QString &docID)> recomputeTotal;                 // after a line changed
    std::function<void(const QString &docID, qint64 lineRowNo)> removeLine;   // the line and the total

    // The list. reload(): the documents opened again; the document `keepID` stays current when
    // it is still listed, else the first one (none listed: no current document, fields kept).
    void reload(const QString &keepID = QString());
    void makeCurrent(int row);
    void clearCurrent();
    // The current document's lines; the line of 流水号 `positionRowNo` becomes current.
    void loadLines(const QString &positionRowNo = QString());
    // The next (1) or previous (-1) document becomes current (the Up and Down keys, the wheel).
    void moveCurrent(int delta);
    const QString &currentID() const { return m_currentID; }
    qint64 currentRowNo() const { return m_currentRowNo; }

    // A header field saved when the focus leaves it (not when the window loses the operator's
    // attention or a drop-down opens): `save` writes it into the current document, then the list
    // is opened again with every kept field as typed. Nothing without a current document.
    void saveOnLeave(QWidget *field, std::function<void(const QString &docID)> save);
    // A field whose typed text survives the list being opened again (the saved ones do already).
    void keepWhileReloading(QWidget *field);
    // What leaving `field` does (also for a window's own paths and tests).
    void leave(QWidget *field);
    // Opens the list again on document `id` with the kept fields as typed.
    void reloadKeepingFields(const QString &id);

    // The line actions: a line clicked (G.gRepFit.RowNo), 新建 (the picker adds a line, then the
    // editor opens on it), 修改 (the editor on the current line), 删除 (after
    // "删除后将不能恢复你确定要继续吗?"; then WM_AUD_FIT_UPDATE to the window).
    void lineClicked(int row);
    void newLine();
    void editLine();
    void deleteLine();
    // The refresh after WM_AUD_FIT_NEW, WM_AUD_FIT_UPDATE or WM_AUD_FIT_MDF: the total
    // recomputed, the lists opened again, the edited line current again after an edit. False
    // for any other message.
    bool lineMessage(int message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct SavedField {
        QWidget *field;
        std::function<void(const QString &)> save;
    };
    QString &documentIdGlobal() const;
    void selectLine(int row);

    QPointer<QWidget> m_window;
    QTableView *m_documentGrid;
    DataSetModel *m_documentModel;
    QTableView *m_lineGrid;
    DataSetModel *m_lineModel;
    QString m_currentID;
    qint64 m_currentRowNo = 0;
    int m_lastLineMessage = 0;
    bool m_saving = false;
    QVector<SavedField> m_saved;
    QVector<QWidget *> m_kept;
};

// The tab below an audit window's document list: the line buttons over the line grid.
QTabWidget *auditLineTab(QWidget *window, const QString &caption, QTableView *lineGrid,
                         const QList<QWidget *> &buttons);

// The panel of fields on the right of an audit window: per row a caption, the field and perhaps
// a button beside it.
struct AuditFieldPanel {
    explicit AuditFieldPanel(QWidget *window);
    void add(const QString &caption, QWidget *field, QWidget *button = nullptr);
    QWidget *window;
    QGridLayout *layout;
    int row = 0;
};

// The window laid out: the search bar on top, the document list over the line tab on the left,
// the field panel closed by the pass and cancel buttons on the right.
void layOutAuditWindow(QWidget *window, QLayout *bar, QTableView *documentGrid, QTabWidget *lineTab,
                       AuditFieldPanel &panel, QWidget *passButton, QWidget *cancelButton);

} // namespace orv
