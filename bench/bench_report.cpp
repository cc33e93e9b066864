// A document of 10,000 lines printed into tongyong.frf through the windows' print
// routine: pages per second for building the prepared pages and for printing all of
// them to a PDF file the way the preview's print command does (the virtual printer's
// PDF target under the progress window), the bytes the prepared pages keep, and the
// process's peak memory.
//
//     build/bench/bench_report [lines] [template]
#include "report/engine/frdocprint.h"
#include "report/engine/frglobals.h"
#include "report/engine/frprepared.h"
#include "report/engine/frprint.h"
#include "report/engine/frprinter.h"
#include "report/engine/frreport.h"

#include "common/prompt.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

#include <sys/resource.h>

namespace {
long peakKiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// The program's windows run as they do; a message goes to stderr instead of
// waiting for a click nobody makes.
class BenchPrompt : public orv::Prompt {
public:
    Button message(QWidget *, const QString &caption, const QString &text, Icon, Buttons, Button) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return QMessageBox::Ok;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    int runModal(QDialog *dialog) override { return dialog->exec(); }
    bool openExternal(const QString &) override { return false; }
};
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? QString(argv[1]).toInt() : 10000;
    const QString file = argc > 2 ? QString(argv[2]) : QStringLiteral(ORV_REPORTS_SOURCE_DIR "/tongyong.frf");
    BenchPrompt prompt;
    orv::Prompt::install(&prompt);
    // No printer installed: the virtual printer prints to a PDF file, as on a desk without one.
    InitReportPrinter(std::make_unique<TfrNoPrinters>());
    frInitEngine();
    QTextStream out(stdout);
    const long before = peakKiB();

    TfrReport report;
    TfrDocumentPrint print(report);
    if (!print.Load(file)) {
        out << "cannot load " << file << '\n';
        return 1;
    }
    print.SetSlot("Memo1", "某某商贸有限公司采购订单");
    print.SetSlot("Memo2", "供应商单位:");
    print.SetSlot("Memo3", "华东五金");
    print.SetSlot("Memo26", QString::number(lines));
    QElapsedTimer t;
    t.start();
    const bool ok = print.Prepare([lines](TfrDocumentPage &page) {
        page.ShowBand("报表标题1");
        page.ShowBand("主项头1");
        page.ShowBand("主项头3");
        for (int i = 1; i <= lines; ++i) {
            page.SetSlot("Memo18", QStringLiteral("货品名称%1").arg(i));
            page.SetSlot("Memo19", QStringLiteral("M%1×20").arg(i % 12 + 3));
            page.SetSlot("Memo20", QStringLiteral("0"));
            page.SetSlot("Memo21", QString::number(i % 50 + 1));
            page.SetSlot("Memo22", QStringLiteral("个"));
            page.SetSlot("Memo23", QStringLiteral("12.5"));
            page.SetSlot("Memo24", QString::number((i % 50 + 1) * 12.5));
            page.ShowBand("主项数据1");
        }
        page.ShowBand("主项脚1");
        page.ShowBand("页脚1");
    });
    const qint64 buildMs = t.elapsed();
    TfrEMFPages &pages = report.EMFPages();
    if (!ok || pages.Count() == 0) {
        out << "the build failed\n";
        return 1;
    }
    qint64 bytes = 0;
    for (int i = 0; i < pages.Count(); ++i)
        bytes += pages[i]->Stream.size();
    const long afterBuild = peakKiB();

    QTemporaryDir dir;
    const QString pdf = dir.filePath("bench.pdf");
    t.restart();
    bool printed = false;
    {
        std::unique_ptr<TfrPrintTarget> target = frCreatePrintTarget(pdf);
        printed = target && PrintPreparedReport(report, TfrPrintRequest{}, *target);
    }
    const qint64 pdfMs = t.elapsed();
    if (!printed) {
        out << "printing to PDF failed\n";
        return 1;
    }

    out << "lines " << lines << ", pages " << pages.Count() << '\n';
    out << "prepare: " << buildMs << " ms, " << QString::number(pages.Count() * 1000.0 / qMax<qint64>(1, buildMs), 'f', 1)
        << " pages/s\n";
    out << "print to PDF: " << pdfMs << " ms, "
        << QString::number(pages.Count() * 1000.0 / qMax<qint64>(1, pdfMs), 'f', 1) << " pages/s, "
        << QFileInfo(pdf).size() / 1024 << " KiB\n";
    out << "prepared pages keep " << bytes / 1024 << " KiB\n";
    out << "peak memory: " << before / 1024 << " MiB at start, " << afterBuild / 1024 << " MiB after building, "
        << peakKiB() / 1024 << " MiB after printing\n";
    return 0;
}
