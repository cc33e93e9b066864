#pragma once
// No exception leaves an event handler of the engine's windows. A window keeps one
// guard and runs its handlers' work through it: an error is shown to the operator
// under the engine's error caption and the handler returns normally, so the window
// stays usable. Handlers that come again at once (painting, resizing, hovering,
// dragging) defer the message until the handler has returned and show each text
// once per window, instead of one message for every repaint or move.
//
//     m_guard.Run([&] { DragMove(pointer); }, true);
#include <QMouseEvent>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>

#include <exception>

class TfrHandlerGuard {
public:
    explicit TfrHandlerGuard(QWidget *window) : m_window(window) {}

    // Runs work; false when it raised (its error is shown, or will be once deferred).
    template <typename F> bool Run(F &&work, bool defer = false)
    {
        try {
            work();
            return true;
        } catch (const std::exception &e) {
            Show(QString::fromUtf8(e.what()), defer);
        } catch (...) {
            Show(QStringLiteral("未知错误"), defer);
        }
        return false;
    }
    void Show(const QString &text, bool defer = false);

private:
    QPointer<QWidget> m_window;
    QSet<QString> m_shown;
};

// The mouse handlers of a window dragged by its left button: press, move and release run
// behind the guard; when one fails, `letGo` ends the drag so the pointer is not kept.
template <typename Press, typename Move, typename Release, typename LetGo>
void GuardedDrag(TfrHandlerGuard &guard, QMouseEvent *event, Press press, Move move, Release release, LetGo letGo)
{
    const QPoint pointer = event->globalPosition().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    const bool ok = guard.Run([&] {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (left)
                press(pointer);
            break;
        case QEvent::MouseMove:
            move(pointer);
            break;
        case QEvent::MouseButtonRelease:
            if (left)
                release();
            break;
        default:
            break;
        }
    }, true);
    if (!ok)
        letGo();
}
