#pragma once
// What the two in/out ledgers share: their top strip over one read-only grid, the first show
// (status bar, this month, the unfiltered computation) and the handlers behind the strip.
#include "stock/ledgerstrip.h"

#include <QWidget>
#include <functional>

class QAbstractItemModel;
class QTableView;
class QVBoxLayout;

namespace orv {

class LedgerWindow : public QWidget {
    Q_OBJECT
public:
    void FormShow();
    virtual void SpeedButton1Click() = 0;       // 查询, Enter, typing paused in Edit1
    virtual void ComboBox1Change(int item) = 0; // another goods field chosen
    virtual void SpeedButton2Click() = 0;       // 导出
    virtual void SpeedButton3Click() = 0;       // 高级统计分析

    LedgerStrip *strip() const { return m_strip; }
    QTableView *ledgerGrid() const { return ledgerView; }

protected:
    LedgerWindow(const char *objectName, const QString &caption, const char *gridName, QWidget *parent);
    // The period's unfiltered computation.
    virtual void showUnfiltered() = 0;
    // Runs a computation; a failure is shown and false returned (the rows shown stay).
    bool attempt(const std::function<void()> &compute);
    void showEvent(QShowEvent *e) override;

    LedgerStrip *m_strip;
    QVBoxLayout *m_layout; // the strip, then what a ledger puts above its grid, then the grid
    QTableView *ledgerView;

private:
    bool m_shown = false;
};

} // namespace orv
