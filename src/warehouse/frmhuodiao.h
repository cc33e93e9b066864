#pragma once
// 车间调拨: the entry of a workshop transfer. The giving and the receiving workshop (with their
// codes from the department picker), the people involved, the date, a remark and the goods lines;
// 确定 stores the transfer with its finished-goods receipt and requisition under one record ID
// and both vouchers, and the window waits for the next transfer.
#include "warehouse/transferwindow.h"

#include <QPointer>

namespace orv {

class StaffCombo;

class TfrmHuoDiao : public TransferWindow {
    Q_OBJECT
public:
    explicit TfrmHuoDiao(QWidget *parent = nullptr);
    ~TfrmHuoDiao() override;

    void FormShow() override;
    void MakeNumbers(); // the three next numbers into EditStoreNo, EditStoreNo1 and EditStoreNo2
    void BitBtn1Click() override;

protected:
    void makeNumbers() override { MakeNumbers(); }
    void clearHeader() override;
    DocumentPrint transferPrint(const TransferPrintValues &values, const LineSlots &lineSlots,
                                const QList<QStringList> &lines) override;
    TransferPrintValues printValues() const override;
    QString lineTable() const override { return QStringLiteral("调拨明细"); }

private:
    void fillDepartments();

    StaffCombo *shipperCombo;  // ComboBox1 发货员
    StaffCombo *receiverCombo; // ComboBox4 收货员
    StaffCombo *checkerCombo;  // ComboBox3 复核员
    QComboBox *fromCombo;      // ComboBox5 调出单位
    QComboBox *toCombo;        // ComboBoxRen 调入单位
    QLineEdit *fromCodeEdit;   // Edit3
    QLineEdit *toCodeEdit;     // Edit4
    QLineEdit *receiptNoEdit;  // EditStoreNo1 (hidden)
    QLineEdit *requisitionNoEdit; // EditStoreNo2 (hidden)
};

inline QPointer<TfrmHuoDiao> frmHuoDiao;

} // namespace orv
