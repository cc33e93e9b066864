#pragma once
// 出入库汇总帐: per goods item the stock before the period, the receipts and issues in it and the
// stock at its end, with a totals row; the goods text narrows it, "高级统计分析" composes
// conditions (the filter recomputes this window's grid), "导出" writes it to a workbook.
#include "stock/ledgerwindow.h"
#include "stock/summaryledger.h"

#include <QPointer>

class QTableWidget;

namespace orv {

class Tfrmtongji : public LedgerWindow {
    Q_OBJECT
public:
    explicit Tfrmtongji(QWidget *parent = nullptr);

    void SpeedButton1Click() override;
    void ComboBox1Change(int item) override;
    void SpeedButton2Click() override;
    void SpeedButton3Click() override;
    // The filter's search: the period with the composed condition, the goods text left aside.
    // False when it failed (the operator was told).
    bool computeWith(const SqlCondition &condition);

    SummaryLedgerModel *ledgerModel() const { return m_model; }
    QTableWidget *captionGrid() const { return captionStrip; }

protected:
    void showUnfiltered() override;

private:
    bool run(const SummaryQuery &q);
    void alignCaptions();

    SummaryLedgerModel *m_model;
    QTableWidget *captionStrip; // StringGrid2
};

inline QPointer<Tfrmtongji> frmtongji;

} // namespace orv
