#include "report/engine/frhandlerguard.h"
#include "report/engine/frlocale.h"

#include "common/prompt.h"

#include <QTimer>

void TfrHandlerGuard::Show(const QString &text, bool defer)
{
    const QPointer<QWidget> window = m_window;
    auto show = [window, text] {
        orv::prompt().message(window, GetLocalizedString(55206), text, QMessageBox::Critical);
    };
    if (!defer || !window) {
        show();
        return;
    }
    if (m_shown.contains(text))
        return;
    m_shown.insert(text);
    QTimer::singleShot(0, window, show);
}
