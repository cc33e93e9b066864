#pragma once
// The main window: start-up, the gated menu, the status bar and its clock, the child-window workspace.
#include "app/appglobals.h"
#include "app/windowing.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;

namespace orv {

class TfrmMain : public QMainWindow, public ChildHost {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    enum class StartOutcome { Running, Ended };
    // The start-up sequence of the first show; tests call it directly.
    StartOutcome startUp();

    // Status bar panel 0..7.
    QLabel *panel(int i) const { return m_panels.value(i); }
    QAction *menuItem(const QString &name) const { return m_items.value(name); }
    QMdiArea *workspace() const { return m_workspace; }
    void applyPrivileges();
    void connectMenuHandlers();

    // Shared operations other windows call.
    static QString getDbIDField();
    static QString getTaskNo();
    static QString sanhao();
    // Prepare the voucher header on ADOQuery14 and the voucher line on ADOQuery12;
    // the caller binds the rest and executes them inside its transaction.
    static void insert();
    static void insertintoming();

    // ChildHost
    QWidget *showChild(const char *className, const std::function<QWidget *()> &create) override;
    void closeOtherChildren(const char *keepClassName) override;

    QTimer *clockTimer;

public slots:
    void Timer1Timer();
    void FileExitItemClick();
    void FileSaveAsItemClick();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void buildMenu();
    void buildStatusBar();
    void loadCompanyRecord();

    QMdiArea *m_workspace;
    QHash<QString, QAction *> m_items;
    QList<QLabel *> m_panels;
    bool m_started = false;
    bool m_closing = false;
};

inline QPointer<TfrmMain> frmMain;

} // namespace orv
