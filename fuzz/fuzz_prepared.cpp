// Feeds bytes to the prepared-report reader (.frp) through fuzzPreparedInput
// (fuzzentries.h), the entry tst_fuzzregress replays the findings through.
//
// With ORV_FUZZ_WRITE_SEEDS=<folder> the start-up writes prepared reports built by our
// own code into that folder, as the seed corpus.
#include "fuzzentries.h"

#include "report/engine/frglobals.h"
#include "report/engine/frprepared.h"

#include "common/clock.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>

using namespace orv::test;

namespace {

void writeSeeds(const QString &dir)
{
    QDir().mkpath(dir);
    TfrReport r;
    TemplateBuilder b(r);
    b.page();
    b.page(11, poLandscape);
    b.band(0, btMasterData, QStringLiteral("主项数据1"), 0, 20)->FormatText = QStringLiteral("3");
    b.memo(0, QStringLiteral("Memo1"), {54, 0, 300, 20}, {QStringLiteral("第[LINE#]行 [PAGE#]")})->FrameTyp = 15;
    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(Qt::red);
    b.picture(0, QStringLiteral("Picture1"), {400, 0, 40, 18}, img);
    b.line(0, QStringLiteral("Line1"), {54, 19, 600, 0});
    b.band(1, btReportTitle, QStringLiteral("报表标题1"), 0, 40);
    b.memo(1, QStringLiteral("URL1"), {30, 5, 200, 20}, {QStringLiteral("链接")})->Tag = QStringLiteral("@1");
    b.shape(1, QStringLiteral("Shape1"), {240, 5, 30, 30}, skEllipse);
    b.checkBox(1, QStringLiteral("Check1"), {280, 5, 16, 16}, QStringLiteral("1"));
    if (!r.PrepareReport())
        return;
    QFile f(QDir(dir).filePath(QStringLiteral("report.frp")));
    if (f.open(QIODevice::WriteOnly))
        f.write(fuzzdetail::preparedBytes(r.EMFPages()));
    TfrReport none;
    QFile e(QDir(dir).filePath(QStringLiteral("empty.frp")));
    if (e.open(QIODevice::WriteOnly))
        e.write(fuzzdetail::preparedBytes(none.EMFPages()));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_prepared";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    InitReportPrinter(std::make_unique<TfrNoPrinters>());
    frEnsureGlobals();
    orv::Clock::pin(QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
    const QByteArray seeds = qgetenv("ORV_FUZZ_WRITE_SEEDS");
    if (!seeds.isEmpty())
        writeSeeds(QString::fromLocal8Bit(seeds));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString failed = fuzzPreparedInput(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!failed.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failed));
        std::abort();
    }
    return 0;
}
