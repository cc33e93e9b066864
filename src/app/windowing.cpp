#include "app/windowing.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>

namespace orv {

BusyCursor::BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
BusyCursor::~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }

namespace {
QHash<QString, MenuHandler> &handlers()
{
    static QHash<QString, MenuHandler> h;
    return h;
}
ChildHost *g_host = nullptr;
std::function<void(const QString &)> g_status;
} // namespace

void setMenuHandler(const QString &itemName, MenuHandler handler) { handlers().insert(itemName, std::move(handler)); }
MenuHandler menuHandler(const QString &itemName) { return handlers().value(itemName); }
QStringList menuHandlerNames() { return handlers().keys(); }

ChildHost *childHost() { return g_host; }
void setChildHost(ChildHost *host) { g_host = host; }

namespace {
class EnterAsTab : public QObject {
public:
    explicit EnterAsTab(QWidget *window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->window() != m_window)
            return false;
        if (!qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w) && !qobject_cast<QAbstractSpinBox *>(w))
            return false;
        // Handled as a Tab, so the focus follows the window's tab order.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &tab);
        return true;
    }

private:
    QWidget *m_window;
};
} // namespace

void enterMovesToNextField(QWidget *window)
{
    auto *filter = new EnterAsTab(window);
    for (QWidget *w : window->findChildren<QWidget *>())
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w))
            w->installEventFilter(filter);
}

void centreOnDesktop(QWidget *w)
{
    if (QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        // A window that chose its size keeps it (grown to what its layout needs); others take their hint.
        if (w->testAttribute(Qt::WA_Resized))
            w->resize(w->size().expandedTo(w->minimumSizeHint()));
        else
            w->adjustSize();
        w->move(r.center() - QPoint(w->width() / 2, w->height() / 2));
    }
}

} // namespace orv
