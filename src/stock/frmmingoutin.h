#pragma once
// 出入库明细帐: every line of the period's vouchers in posting order under a totals row; lines of
// reversed vouchers are drawn red and left out of the totals. The goods text narrows it,
// "高级统计分析" composes conditions, "导出" writes it to a workbook.
#include "stock/detailledger.h"

#include <QPointer>
#include <QWidget>

class QTableView;

namespace orv {

class LedgerStrip;

class TfrmMingOutIn : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMingOutIn(QWidget *parent = nullptr);

    void FormShow();
    void LoadDetailLedger();      // the period, unfiltered
    void SpeedButton1Click();     // 查询, Enter, typing paused in Edit1
    void ComboBox1Change(int item);
    void SpeedButton2Click();     // 导出
    void SpeedButton3Click();     // 高级统计分析
    // The filter's search: the period with the composed condition. False when it failed.
    bool loadWith(const SqlCondition &condition);

    LedgerStrip *strip() const { return m_strip; }
    DetailLedgerModel *ledgerModel() const { return m_model; }
    QTableView *ledgerGrid() const { return ledgerView; }

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool run(const DetailQuery &q);

    bool m_shown = false;
    LedgerStrip *m_strip;
    DetailLedgerModel *m_model;
    QTableView *ledgerView; // DBGrid1
};

inline QPointer<TfrmMingOutIn> frmMingOutIn;

} // namespace orv
