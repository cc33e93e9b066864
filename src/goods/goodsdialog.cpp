#include "goods/goodsdialog.h"

#include <QFontMetrics>

namespace orv {

namespace {
// Window icon, the close/minimise buttons and the frame around the caption text.
constexpr int kTitleBarExtra = 140;
} // namespace

int captionWidth(const QWidget *window)
{
    return QFontMetrics(window->font()).horizontalAdvance(window->windowTitle()) + kTitleBarExtra;
}

QSize GoodsDialog::sizeHint() const
{
    QSize s = TFormDialog::sizeHint().expandedTo(m_typical);
    s.setWidth(qMax(s.width(), captionWidth(this)));
    return s;
}

} // namespace orv
