// The script interpreter: compiling long scripts (plain, without blanks, full of
// comments; each at two sizes, the second ten times the first, and each must grow
// linearly) and running a loop.
//   bench_script [compile]
#include "report/engine/frglobals.h"
#include "report/engine/frinterp.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

namespace {

double millis(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

// An interpreter that keeps its variables to itself.
class Counter : public TfrInterpretator {
public:
    QVariant n = 0;
    void GetValue(const QString &, QVariant &value) override { value = n; }
    void SetValue(const QString &, const QVariant &value) override { n = value; }
};

QString plain(int statements)
{
    QString s = QStringLiteral("begin\n");
    for (int i = 0; i < statements; ++i)
        s += QStringLiteral("  if n < %1 then n := n + 1 else n := n - 1;\n").arg(i);
    return s + QStringLiteral("end");
}

QString noBlanks(int statements)
{
    QString s = QStringLiteral("begin ");
    for (int i = 0; i < statements; ++i)
        s += QStringLiteral("n:=n+%1;").arg(i);
    return s + QStringLiteral(" end");
}

QString comments(int statements)
{
    QString s = QStringLiteral("begin\n");
    for (int i = 0; i < statements; ++i)
        s += QStringLiteral("  { step %1 } n := n + 1; // and a note\n").arg(i);
    return s + QStringLiteral("end");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    frEnsureGlobals();
    Counter ip;
    const struct { const char *name; QString (*make)(int); } cases[] = {
        {"plain if/else statements", plain},
        {"statements without blanks", noBlanks},
        {"statements between comments", comments},
    };
    for (const auto &c : cases) {
        for (int size : {1500, 15000}) {
            const QStringList source = c.make(size).split(QLatin1Char('\n'));
            QStringList compiled, errors;
            const double ms = millis([&] { ip.CompileScript(source, compiled, errors); });
            std::printf("compile %-28s %6d statements: %8.1f ms, %d lines%s\n", c.name, size, ms,
                        int(compiled.size()), errors.isEmpty() ? "" : " (errors)");
        }
    }
    if (argc > 1 && QByteArray(argv[1]) == "compile")
        return 0;
    QStringList loop, errors;
    ip.CompileScript(QStringList{QStringLiteral("while n < 1000000 do n := n + 1")}, loop, errors);
    const double ms = millis([&] { ip.RunScript(loop); });
    std::printf("run a loop of 1000000 passes (3000000 lines): %.1f ms, %.2f million lines per second\n", ms,
                3.0 / (ms / 1000.0));
    return 0;
}
