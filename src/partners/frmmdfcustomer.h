#pragma once
// The customer-edit dialog: changes the customer whose 流水号 its opener left in
// gRepFit.PartnerRowNo and tells the customer list and the customer picker.
#include "partners/customerdialog.h"

#include <QPointer>

namespace orv {

class TfrmMdfCustomer : public TCustomerDialog {
    Q_OBJECT
public:
    TfrmMdfCustomer();
    void FormShow() override;
    void SpeedButton1Click() override;

private:
    qint64 m_key = 0;
};

inline QPointer<TfrmMdfCustomer> frmMdfCustomer;

} // namespace orv
