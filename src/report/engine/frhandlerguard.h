#pragma once
// No exception leaves an event handler of the engine's windows. A window keeps one
// guard and runs its handlers' work through it: an error is shown to the operator
// under the engine's error caption and the handler returns normally, so the window
// stays usable. Handlers that come again at once (painting, resizing, hovering,
// dragging) defer the message until the handler has returned and show each text
// once per window, instead of one message for every repaint or move.
//
//     m_guard.Run([&] { DragMove(pointer); }, true);
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
