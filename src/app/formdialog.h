#pragma once
// A dialog whose FormShow runs once, when it is first shown, as every entry,
// picker and editor dialog of the program expects.
#include <QDialog>

namespace orv {

class TFormDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

public slots:
    virtual void FormShow() {}

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool m_shown = false;
};

} // namespace orv
