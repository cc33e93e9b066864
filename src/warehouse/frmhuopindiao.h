#pragma once
// 仓库调拨: the entry of a warehouse transfer from one storage place to another: the two places
// from the place picker, the person in charge, the date, a remark and the goods lines; 确定
// stores and posts the transfer with its two vouchers, and the window waits for the next one.
#include "warehouse/transferwindow.h"

#include <QPointer>

namespace orv {

class StaffCombo;

class TfrmHuoPinDiao : public TransferWindow {
    Q_OBJECT
public:
    explicit TfrmHuoPinDiao(QWidget *parent = nullptr);
    ~TfrmHuoPinDiao() override;

    void MakeTransferNo(); // the next number into EditStoreNo
    void BitBtn1Click() override;
    void SpeedButton4Click(); // the source place
    void SpeedButton7Click(); // the target place

protected:
    void makeNumbers() override { MakeTransferNo(); }
    void clearHeader() override;
    DocumentPrint transferPrint(const TransferPrintValues &values, const LineSlots &lineSlots,
                                const QList<QStringList> &lines) override;
    TransferPrintValues printValues() const override;
    QString lineTable() const override { return QStringLiteral("货品调拨明细"); }

private:
    QComboBox *sourceCombo;   // ComboBox5 调出库
    QComboBox *targetCombo;   // ComboBoxRen 调入库
};

inline QPointer<TfrmHuoPinDiao> frmHuoPinDiao;

} // namespace orv
