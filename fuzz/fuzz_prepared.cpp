// Feeds bytes to the prepared-report reader (.frp). A file it accepts is drawn page by
// page, its texts are read as find reads them, and it is written back: that file must
// read back and write the same bytes again.
//
// With ORV_FUZZ_WRITE_SEEDS=<folder> the start-up writes prepared reports built by our
// own code into that folder, as the seed corpus.
#include "templatebuilder.h"

#include "report/engine/frglobals.h"
#include "report/engine/frprepared.h"

#include "common/clock.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>

using namespace orv::test;

namespace {

QByteArray save(TfrEMFPages &pages)
{
    QBuffer b;
    b.open(QIODevice::ReadWrite);
    pages.SaveToStream(b);
    return b.data();
}

bool load(TfrEMFPages &pages, const QByteArray &bytes)
{
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    try {
        pages.LoadFromStream(b);
    } catch (const std::exception &) {
        return false;
    }
    return true;
}

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
        f.write(save(r.EMFPages()));
    TfrReport none;
    QFile e(QDir(dir).filePath(QStringLiteral("empty.frp")));
    if (e.open(QIODevice::WriteOnly))
        e.write(save(none.EMFPages()));
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
    TfrReport r;
    TfrEMFPages &pages = r.EMFPages();
    if (!load(pages, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))))
        return 0;
    for (int i = 0; i < pages.Count() && i < 64; ++i) {
        try {
            pages.ObjectsToPage(i);
        } catch (const std::exception &) {
            continue; // a damaged page stream is refused when it is needed
        }
        QImage image(190, 268, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        pages.SetVisible(i, true);
        pages.Draw(i, &p, image.rect());
        p.end();
        pages.PageTexts(i);
        QString link;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        pages.ObjectAtPoint(i, QPoint(60, 90), link, cursor, false);
        pages.SetVisible(i, false);
        pages.Draw(i, nullptr, QRect());
    }
    QByteArray first;
    try {
        first = save(pages);
    } catch (const EfrStreamError &) {
        return 0;
    }
    TfrReport again;
    if (!load(again.EMFPages(), first)) {
        std::fprintf(stderr, "a written prepared report does not read back\n");
        std::abort();
    }
    if (save(again.EMFPages()) != first) {
        std::fprintf(stderr, "a prepared report read back writes other bytes\n");
        std::abort();
    }
    return 0;
}
