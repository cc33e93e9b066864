#pragma once
// The new-customer dialog: proposes the next KH code, saves a new customer, tells the
// customer list and the customer picker, and frees itself when closed.
#include "partners/customerdialog.h"

#include <QPointer>

namespace orv {

class TfrmNewCustomer : public TCustomerDialog {
    Q_OBJECT
public:
    TfrmNewCustomer();
    void FormShow() override;
    void SpeedButton1Click() override;
};

inline QPointer<TfrmNewCustomer> frmNewCustomer;

} // namespace orv
