#pragma once
// The designer window. The engine opens it on one page of a report
// (TfrReport::EditPreparedPage), modally; it edits the engine's objects in place
// through its editing layer (TfrDesignModel) and its surface (TfrDesignerPage).
//
// Every command is one QAction (menu item and shortcut); each toolbar button is
// bound to its action (enabled, checked, triggered). The window's own state
// (selection, drag, toolbar syncing, the undo lists) lives and dies with it; what
// outlives it is in the DesignerSession.
#include "report/designer/frdesignmodel.h"
#include "report/engine/frhandlerguard.h"
#include "report/engine/frreport.h"

#include <QHash>
#include <QPointer>

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QMenuBar;
class QScrollArea;
class QStatusBar;
class QTabBar;
class TColorSelector;
class TfrComboBox;
class TfrDesignerPage;
class TfrDock;
class TfrFontComboBox;
class TfrSpeedButton;
class TfrTBButton;
class TfrToolBar;

// The coordinates panel laid over the status bar.
class TfrCoordinatesPanel : public QWidget {
    Q_OBJECT
public:
    explicit TfrCoordinatesPanel(QWidget *parent = nullptr);
    QString PositionText, SizeText, ScaleText;
    bool SizeIcon = false;
protected:
    void paintEvent(QPaintEvent *e) override;
};

class TfrDesignerForm : public TfrReportDesigner {
    Q_OBJECT
public:
    explicit TfrDesignerForm(bool isMainSession);
    ~TfrDesignerForm() override;

    // --- engine interface
    bool GetModified() override;
    void SetModified(bool value) override;
    void BeforeChange() override;
    void AfterChange() override;
    void RedrawPage() override;
    void SelectObject(const QString &name) override;
    QString InsertDBField() override;
    QString InsertExpression() override;

    // --- parts
    TfrDesignModel Model;
    TfrDesignerPage *DesignSurface = nullptr;
    QMenuBar *MainMenu1 = nullptr;
    QMenu *Popup1 = nullptr, *Popup2 = nullptr;
    TfrDock *frDock1 = nullptr, *frDock2 = nullptr, *frDock3 = nullptr, *frDock4 = nullptr;
    TfrToolBar *Panel1 = nullptr, *Panel2 = nullptr, *Panel3 = nullptr, *Panel4 = nullptr, *Panel5 = nullptr,
               *Panel6 = nullptr;
    QTabBar *Tab1 = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusUnits = nullptr, *StatusObject = nullptr;
    TfrCoordinatesPanel *PBox1 = nullptr;
    TfrFontComboBox *C2 = nullptr;
    TfrComboBox *C3 = nullptr, *C4 = nullptr;
    TColorSelector *ColorPicker = nullptr;
    QWidget *LinePanel = nullptr;
    // The action of a command by its menu item's name ("N46") and a button by its name ("UndoB").
    QAction *Action(const QString &name) const { return m_actions.value(name); }
    TfrTBButton *Button(const QString &name) const { return m_buttons.value(name); }

    // --- state of the window
    int CurPageIndex = 0;
    int CurPageType = 0;
    QString DocumentName;
    QString BaseCaption;
    bool SyncingToolbars = false;
    bool InspectorLocked = false;
    bool LastCommandDone = false;
    bool KeepInsertTool = false;
    TfrSpeedButton *ColorTargetButton = nullptr;

    // --- operations other parts call
    void SetDocumentName(const QString &name);
    void SetGridSize(int n);
    void SetGridShow(bool value);
    void SetGridAlign(bool value);
    void SetUnits(int units);
    void SetGrayButtons(bool value);
    void LoadDesignerOptions();
    void SaveDesignerOptions();
    void ConnectEditorHooks();
    void SwitchDesignerPage(int index);
    // Runs a call that builds or reloads the report (its preview, a nested page edit):
    // every object is new afterwards, so both undo lists and the reference object go
    // and the current page is taken again from the report.
    void RunReportCall(const std::function<void()> &call);
    void UpdatePageTabs();
    void PlaceSurface();

    // --- commands
    void DoClick(int tag);
    void UpdateCommandStates();
    void SyncToolbarsWithSelection();
    void UpdateCoordinates();
    QString StatusObjectText() const;
    void SetColorButtonGlyph(qint32 color, TfrSpeedButton *button, int slice);
    void ColorButtonClick(TfrSpeedButton *button);
    void ColorChosen();
    void StB1Click();
    // True when the key was consumed (the key preview of the window).
    bool FormKeyDown(int key, Qt::KeyboardModifiers mods);
    void AlignClick(int n);
    void Undo();
    void Redo();
    void Cut();
    void Copy();
    void Paste();
    void Delete();
    void SelectAll();
    void BringToFront();
    void SendToBack();
    void FitToGrid();
    // The object tool pressed on Panel4: -1 select, 0 text, 1 picture, 2 band,
    // 3 sub-report, 4 line, 10 + n an add-in.
    int CurrentObjectTool() const;
    void PressSelectTool();
    void PressObjectTool(int tag, bool shift);
    void ShowSurfacePopup(const QPoint &globalPos);
    void BuildSurfacePopup();
    void ResetSelection();
    void StatusBarDoubleClick(QPoint p);

    // --- slots the later designer work fills (editors, inspector, page options, dialogs)
    void ShowObjectEditor();
    void ShowMemoEditor(TfrView *view);
    void PgB3Click();
    int ChooseBandType();
    TfrView *InsertSubReport(const QRect &frame);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolbars();
    void CreateBody();
    QAction *AddAction(const QString &name, const QString &text, std::function<void()> handler,
                       const QKeySequence &shortcut = QKeySequence(), bool checkable = false);
    TfrTBButton *AddButton(TfrToolBar *bar, const QString &name, const QString &hint, int tag, QAction *action,
                           int group = 0, bool allowAllUp = false);
    void Bind(TfrTBButton *button, QAction *action);
    void SetToggle(const QString &button, bool down);
    void AddSeparator(TfrToolBar *bar);
    void FormShow();
    void FormDestroy();
    void AfterCommand(const QRect &before);
    template <typename F> void Guarded(F &&f);
    bool InEditField() const;

    QHash<QString, QAction *> m_actions;
    QHash<QString, TfrTBButton *> m_buttons;
    QImage m_colorBar;
    bool m_shown = false;
    bool m_destroyed = false;
    const QKeyEvent *m_lastKey = nullptr;
    int m_lastKeyCode = 0;
    QPointer<QWidget> m_lastKeyReceiver;
    TfrHandlerGuard m_guard{this};
};
