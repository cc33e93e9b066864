#pragma once
// 出入库明细帐: every line of the period's vouchers in posting order under a totals row; lines of
// reversed vouchers are drawn red and left out of the totals. The goods text narrows it,
// "高级统计分析" composes conditions, "导出" writes it to a workbook.
#include "stock/detailledger.h"
#include "stock/ledgerwindow.h"

#include <QPointer>

namespace orv {

class TfrmMingOutIn : public LedgerWindow {
    Q_OBJECT
public:
    explicit TfrmMingOutIn(QWidget *parent = nullptr);

    void LoadDetailLedger(); // the period, unfiltered
    void SpeedButton1Click() override;
    void ComboBox1Change(int item) override;
    void SpeedButton2Click() override;
    void SpeedButton3Click() override;
    // The filter's search: the period with the composed condition. False when it failed.
    bool loadWith(const SqlCondition &condition);

    DetailLedgerModel *ledgerModel() const { return m_model; }

protected:
    void showUnfiltered() override { LoadDetailLedger(); }

private:
    bool run(const DetailQuery &q);

    DetailLedgerModel *m_model;
};

inline QPointer<TfrmMingOutIn> frmMingOutIn;

} // namespace orv
