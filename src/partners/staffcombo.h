#pragma once
// A staff drop-down of the document windows: nothing can be typed into it; its value comes
// from its list, refilled from 员工目录 each time it takes the focus (the text it shows stays),
// or from the staff picker, which may set any text.
#include "partners/staff.h"

#include <QComboBox>
#include <optional>

namespace orv {

class StaffCombo : public QComboBox {
    Q_OBJECT
public:
    StaffCombo(const QString &objectName, std::optional<StaffRole> role, StaffText text = StaffText::NoDotName,
               QWidget *parent = nullptr);

    QString text() const { return currentText(); }
    void setText(const QString &text);
    // The list as it stands in 员工目录 now; a failure to read it is shown and the list kept.
    void refill();

protected:
    void focusInEvent(QFocusEvent *e) override;

private:
    std::optional<StaffRole> m_role;
    StaffText m_text;
};

} // namespace orv
