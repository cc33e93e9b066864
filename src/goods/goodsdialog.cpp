#include "goods/goodsdialog.h"

#include <QFontMetrics>
#include <QScreen>

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

void GoodsDialog::showEvent(QShowEvent *e)
{
    if (!m_sized) {
        m_sized = true;
        QSize want = sizeHint();
        if (const QScreen *s = screen())
            want = want.boundedTo(s->availableGeometry().size());
        if (want.width() > width() || want.height() > height()) {
            const QPoint centre = geometry().center();
            resize(size().expandedTo(want));
            move(centre - QPoint(width() / 2, height() / 2));
        }
    }
    TFormDialog::showEvent(e);
}

} // namespace orv
