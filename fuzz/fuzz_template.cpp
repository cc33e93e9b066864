// Feeds bytes to the template reader. A stream it accepts must be written back
// into a stream it accepts again, and writing that one changes nothing more.
//
// With ORV_FUZZ_WRITE_SEEDS=<folder> the start-up writes a few templates made
// by our own code into that folder, as the seed corpus.
#include "templatebuilder.h"
#include "templatebytes.h"

#include "common/clock.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

using namespace orv::test;

namespace {

void writeSeed(const QString &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(QDir(dir).filePath(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

void writeSeeds(const QString &dir)
{
    QDir().mkpath(dir);
    {
        TfrReport r;
        writeSeed(dir, QStringLiteral("empty.frf"), templateBytes(r));
    }
    {
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        b.page(11, poLandscape);
        b.dialogPage(QStringLiteral("选择")).Script = QStringList{QStringLiteral("begin"), QStringLiteral("end")};
        b.band(0, btReportTitle, QStringLiteral("报表标题1"), 20, 40);
        b.band(0, btMasterData, QStringLiteral("主项数据1"), 80, 20);
        b.memo(0, QStringLiteral("Memo1"), {20, 24, 300, 18}, {QStringLiteral("盘点单"), QStringLiteral("[PAGE#]")});
        QImage img(3, 2, QImage::Format_RGB32);
        img.fill(Qt::red);
        b.picture(0, QStringLiteral("Picture1"), {400, 20, 40, 30}, img);
        b.line(0, QStringLiteral("Line1"), {20, 60, 700, 0});
        b.subReport(0, QStringLiteral("SubReport1"), {20, 120, 300, 40}, 1);
        b.shape(1, QStringLiteral("Shape1"), {10, 10, 50, 50}, skEllipse);
        b.checkBox(1, QStringLiteral("Check1"), {70, 10, 16, 16}, QStringLiteral("1"));
        b.variables(QStringLiteral("单据"), {{QStringLiteral("编号"), QStringLiteral("'PD-001'")}});
        r.Attributes.Author = QStringLiteral("Orvane");
        r.Attributes.Password = QStringLiteral("pw");
        writeSeed(dir, QStringLiteral("everything.frf"), templateBytes(r));
    }
    for (int version = 21; version <= 24; ++version)
        writeSeed(dir, QStringLiteral("v%1.frf").arg(version), olderVersionStream(version));
}

QByteArray save(TfrReport &r)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    r.SaveToStream(b);
    return b.data();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_template";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    InitReportPrinter(std::make_unique<TfrNoPrinters>());
    orv::Clock::pin(QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
    const QByteArray seeds = qgetenv("ORV_FUZZ_WRITE_SEEDS");
    if (!seeds.isEmpty())
        writeSeeds(QString::fromLocal8Bit(seeds));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TfrReport r;
    const TfrLoadResult res = readTemplate(r, bytes);
    if (res != TfrLoadResult::Ok && res != TfrLoadResult::MissingClasses)
        return 0;
    QByteArray first;
    try {
        first = save(r);
    } catch (const EfrStreamError &) {
        return 0; // texts too long for their length fields are refused, not cut
    }
    TfrReport again;
    if (readTemplate(again, first) != TfrLoadResult::Ok) {
        std::fprintf(stderr, "a written template does not read back\n");
        std::abort();
    }
    if (save(again) != first) {
        std::fprintf(stderr, "a template read back writes other bytes\n");
        std::abort();
    }
    return 0;
}
