// Designer benchmark: a page of 500 (and 2,000) text objects, all selected and
// dragged by 200 hand-built mouse moves. Prints the median and 95th percentile of
// the time per move (handler and repaint) for Selection 1 and 0, their ratio to one
// full repaint, the time of undoing the drag, and the time from opening a 1 MB
// template to the designer's first paint. Figures only; nothing is asserted.
#include "report/designer/frdesignerform.h"
#include "report/designer/frdesignerpage.h"
#include "report/designer/frdesignersession.h"
#include "report/engine/frglobals.h"
#include "report/engine/frmemo.h"
#include "report/engine/frprinter.h"
#include "report/engine/frreport.h"

#include "common/settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void send(QWidget *w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void fillPage(TfrReport &report, int count)
{
    report.Clear();
    TfrPage *page = report.Pages()[report.Pages().Add()];
    for (int i = 0; i < count; ++i) {
        auto *m = new TfrMemoView;
        m->Name = QStringLiteral("Memo%1").arg(i + 1);
        m->SetBounds(40 + (i % 20) * 34, 40 + (i / 20) * 9, 30, 8);
        m->Memo = QStringList{QStringLiteral("行%1").arg(i + 1)};
        m->FrameTyp = 15;
        page->Add(m);
    }
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[size_t(std::min<double>(v.size() - 1, p * (v.size() - 1) + 0.5))];
}

void dragRun(int count, int selection)
{
    TfrReport report;
    fillPage(report, count);
    CurrentReport = &report;
    TfrDesignerForm form(false);
    form.resize(1200, 900);
    form.show();
    QCoreApplication::processEvents();
    form.Model.Options.Selection = selection;
    form.Model.Options.GridAlign = false;
    TfrDesignerPage *surface = form.DesignSurface;

    QElapsedTimer t;
    std::vector<double> full;
    for (int i = 0; i < 20; ++i) {
        t.start();
        surface->PaintPageObjects();
        surface->repaint();
        full.push_back(t.nsecsElapsed() / 1e6);
    }
    form.SelectAll();
    QCoreApplication::processEvents();
    const QPoint start(45, 44);   // inside the first object
    send(surface, QEvent::MouseMove, start, Qt::NoButton, {});
    send(surface, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    std::vector<double> moves;
    for (int i = 1; i <= 200; ++i) {
        const QPoint p = start + QPoint(i % 40, i / 40);
        t.start();
        send(surface, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
        surface->repaint();
        moves.push_back(t.nsecsElapsed() / 1e6);
    }
    send(surface, QEvent::MouseButtonRelease, start + QPoint(200 % 40, 5), Qt::LeftButton, {});
    QCoreApplication::processEvents();
    t.start();
    form.Undo();
    surface->repaint();
    const double undo = t.nsecsElapsed() / 1e6;
    const double fullMedian = percentile(full, 0.5);
    std::printf("%5d objects, Selection %d: move median %7.2f ms, p95 %7.2f ms; full repaint %7.2f ms "
                "(median move / full %.2f); undo of the drag %7.2f ms\n",
                count, selection, percentile(moves, 0.5), percentile(moves, 0.95), fullMedian,
                fullMedian > 0 ? percentile(moves, 0.5) / fullMedian : 0.0, undo);
    form.hide();
    CurrentReport = nullptr;
}

void openRun(const QString &dir)
{
    TfrReport big;
    int count = 2000;
    QString file = dir + QStringLiteral("/big.frf");
    for (;;) {
        fillPage(big, count);
        big.SaveToFile(file);
        if (QFileInfo(file).size() >= 1024 * 1024)
            break;
        count = count * 3 / 2;
    }
    QElapsedTimer t;
    t.start();
    TfrReport report;
    report.LoadFromFile(file);
    CurrentReport = &report;
    TfrDesignerForm form(false);
    form.resize(1200, 900);
    form.show();
    form.DesignSurface->repaint();
    QCoreApplication::processEvents();
    std::printf("open a %lld-byte template (%d objects) up to the first paint: %.1f ms\n",
                QFileInfo(file).size(), count, t.nsecsElapsed() / 1e6);
    CurrentReport = nullptr;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    orv::setUserSettingsPath(dir.filePath(QStringLiteral("user.ini")));
    InitReportPrinter(std::make_unique<TfrNoPrinters>());
    frInitEngine();
    frRegisterDesigner();
    for (int count : {500, 2000})
        for (int selection : {1, 0})
            dragRun(count, selection);
    openRun(dir.path());
    return 0;
}
