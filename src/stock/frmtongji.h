#pragma once
// 出入库汇总帐: per goods item the stock before the period, the receipts and issues in it and the
// stock at its end, with a totals row; the goods text narrows it, "高级统计分析" composes
// conditions (the filter recomputes this window's grid), "导出" writes it to a workbook.
#include "stock/summaryledger.h"

#include <QPointer>
#include <QWidget>

class QTableView;
class QTableWidget;

namespace orv {

class LedgerStrip;

class Tfrmtongji : public QWidget {
    Q_OBJECT
public:
    explicit Tfrmtongji(QWidget *parent = nullptr);

    void FormShow();
    void SpeedButton1Click();          // 查询, Enter, typing paused in Edit1
    void ComboBox1Change(int item);
    void SpeedButton2Click();          // 导出
    void SpeedButton3Click();          // 高级统计分析
    // The filter's search: the period with the composed condition, the goods text left aside.
    // False when it failed (the operator was told).
    bool computeWith(const SqlCondition &condition);

    LedgerStrip *strip() const { return m_strip; }
    SummaryLedgerModel *ledgerModel() const { return m_model; }
    QTableView *ledgerGrid() const { return ledgerView; }
    QTableWidget *captionGrid() const { return captionStrip; }

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool run(const SummaryQuery &q);
    void alignCaptions();

    bool m_shown = false;
    LedgerStrip *m_strip;
    SummaryLedgerModel *m_model;
    QTableWidget *captionStrip; // StringGrid2
    QTableView *ledgerView;     // StringGrid1
};

inline QPointer<Tfrmtongji> frmtongji;

} // namespace orv
