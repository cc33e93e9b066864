#pragma once
// The preview window: a report's prepared pages on screen at a chosen zoom,
// scrolled and paged through with keys, mouse and wheel, with find (F3),
// links, printing, page setup, open and save of prepared reports (".frp")
// and, with a designer registered, editing, adding and removing pages.
//
// While the window is open it owns the report's prepared pages and the
// report holds an empty list; every command that needs the report to own
// them (print, save, edit page) lends them back for its duration through
// a guard, so an error on the way never leaves the window without pages.
// No exception leaves a paint, mouse or key handler: the error is shown once
// and the window goes on working.
#include "report/engine/frhandlerguard.h"

#include <QDialog>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class TfrEMFPages;
class TfrPreviewForm;
class TfrReport;
class TfrSpeedButton;
class TfrTBButton;
class TfrTBSeparator;

// The page area: paints the pages and takes the mouse.
class TfrPBox : public QWidget {
    Q_OBJECT
public:
    explicit TfrPBox(TfrPreviewForm *preview);

    bool Dragging() const { return m_down; }
    int LastClickedPage() const { return m_lastClickedPage; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    TfrPreviewForm *m_preview;
    bool m_down = false;          // dragging the pages
    QPoint m_last;
    int m_lastClickedPage = 0;    // 1-based, 0 none
};

class TfrPreviewForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrPreviewForm(QWidget *parent = nullptr);
    ~TfrPreviewForm() override;

    // --- controls (object names as the fields)
    QWidget *Panel1;                 // the toolbar
    TfrTBButton *ZoomBtn, *LoadBtn, *SaveBtn, *PrintBtn, *PageSetupBtn, *FindBtn, *HelpBtn, *ExitBtn;
    TfrTBSeparator *Separator1, *Separator2, *Separator3;
    QWidget *ScrollBox1;             // holds the page box
    TfrPBox *PBox;
    QScrollBar *VScrollBar, *HScrollBar;
    TfrSpeedButton *PgUp, *PgDown;
    QLabel *Label1, *Label2;
    QMenu *ProcMenu;
    QAction *EditPageItem, *AddPageItem, *RemovePageItem, *PageItemsSeparator;

    // --- showing a report
    // Takes the pages, applies the report's options, resets the view and shows the
    // window: modally (through the prompt layer) when the report's ModalPreview is set.
    void ShowForReport(TfrReport &report);
    // The same without showing (the window is shown by the caller).
    void Attach(TfrReport &report);
    void TakePages();
    void ReturnPages();
    void ApplyReportOptions();
    void ApplyGrayedButtons(bool flag);
    void ResetView(bool toFirstPage);
    void UpdatePageLabel();
    void ScrollToCurrentPage();
    void ApplyCaptions();
    // The layout of the pages in the page area (also run on every resize).
    void FormResize();

    // --- commands (the toolbar's, the menu's and the keys')
    void ZoomBtnClick();
    void N3Click(int tag);           // a zoom item: 200 ... 10 percent, 1 page width, 2 whole page, 3 two pages
    void LoadBtnClick();
    void SaveBtnClick();
    void PrintBtnClick();
    void PageSetupBtnClick();
    void FindBtnClick();
    void HelpBtnClick();
    void ExitBtnClick();
    void EditBtnClick();
    void NewPageBtnClick();
    void DelPageBtnClick();
    void PgUpClick();
    void PgDownClick();
    void VScrollBarChange(int value);
    void HScrollBarChange(int value);
    // True when the key was handled (and is consumed).
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // Finds the next hit of the search text from the last found page on.
    void SearchNext();
    bool LoadPreparedFile(const QString &fileName);
    bool SavePreparedFile(const QString &fileName);

    // --- state
    TfrReport *Report() const { return m_report; }
    TfrEMFPages *Pages() const { return m_pages.get(); }
    int PageCount() const;
    int CurrentPage() const { return m_curPage; }
    double Zoom() const { return m_zoom; }
    int ZoomMode() const { return m_zoomMode; }
    int OffsetX() const { return m_ofsX; }
    int OffsetY() const { return m_ofsY; }
    QString SearchText() const { return m_findText; }
    int LastFoundPage() const { return m_lastFoundPage; }
    // The hit shown highlighted: page index (-1 none) and its rectangle in page-area pixels.
    int FoundPage() const { return m_found ? m_foundPage : -1; }
    QRect FoundRect() const;
    // Where page i (0-based) lies in the page area now (scrolled).
    QRect PageRect(int index) const;
    // Where page i's objects are drawn: the page, or its printable area less the margins.
    QRect PageDrawRect(int index) const;
    bool HelpMode() const { return m_helpMode; }
    // The help text shown for a help context number (200 ... 207).
    static QString HelpTopic(int context);
    // Goes to a page (1-based, kept within the pages): label and scroll follow.
    void SetCurrentPage(int pageNo);
    // The zoom item of the pop-up menu with that Tag.
    QAction *ZoomItem(int tag) const;

    // The process-wide last zoom, taken by every preview when its view is reset.
    static double LastScale;
    static int LastScaleMode;

    // --- handlers of the page box, reachable from tests through it
    void PaintPages(QPainter &p, const QRegion &region);
    void BoxMousePress(Qt::MouseButton button, const QPoint &pos, int &lastClickedPage, bool &startDrag);
    void BoxMouseMove(const QPoint &pos);
    void BoxDoubleClick(int lastClickedPage);
    void WheelScroll(int notches);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    bool focusNextPrevChild(bool next) override;

public slots:
    void done(int r) override;

private:
    friend class TfrPBox;
    // Runs a handler; an error is shown once (later when deferred, e.g. from painting).
    template <typename F> void Guarded(F &&f, bool defer = false);
    void TickZoomItem();
    void UpdateButtons();
    void FormClose();
    void EndHelpMode(const QPoint &globalPos);
    int PageAt(const QPoint &areaPos) const;

    QPointer<TfrReport> m_report;
    std::unique_ptr<TfrEMFPages> m_pages;
    double m_zoom = 1.0;
    int m_zoomMode = 0;
    int m_curPage = 1;
    int m_ofsX = 0, m_ofsY = 0;
    int m_hOld = 0, m_vOld = 0;
    bool m_paintAllowed = true;
    int m_wheelStep = 1;
    // find
    QString m_findText;
    bool m_caseSensitive = false;
    int m_lastFoundPage = 0;
    int m_resumeRecord = 0;
    bool m_found = false;
    int m_foundPage = -1;
    QRectF m_foundText;          // engine units of the page
    // help and closing
    bool m_helpMode = false;
    bool m_shown = false;
    bool m_stateSaved = false;
    TfrHandlerGuard m_guard{this};
};

// Installs the preview window, the progress window and the password query
// into the report engine (TfrReport::ShowPreparedReport opens this preview).
void frRegisterPreview();
