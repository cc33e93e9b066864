#include "app/lifecycle.h"

#include <QCoreApplication>
#include <QTimer>

namespace orv {
namespace {
bool g_terminated = false;
}
void terminateProgram()
{
    g_terminated = true;
    if (auto *app = QCoreApplication::instance())
        QTimer::singleShot(0, app, [] { QCoreApplication::exit(0); });
}
bool programTerminated() { return g_terminated; }
void resetProgramTerminated() { g_terminated = false; }
} // namespace orv
