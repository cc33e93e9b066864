// Feeds bytes to the template reader through fuzzTemplateInput (fuzzentries.h), the
// entry tst_fuzzregress replays the findings through.
//
// With ORV_FUZZ_WRITE_SEEDS=<folder> the start-up writes a few templates made
// by our own code into that folder, as the seed corpus.
#include "fuzzentries.h"
#include "templatebytes.h"

#include "common/clock.h"

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
    {
        // Texts in every layout the drawing knows, for the fuzzer to bend.
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        TfrBandView *band = b.band(0, btMasterData, QStringLiteral("主项数据1"), 40, 60);
        band->Columns = 3;
        band->ColumnWidth = 150;
        int top = 40;
        for (int align : {int(frtaLeft), int(frtaRight), int(frtaCenter), int(frtaJustify),
                          frtaVertical | frtaDown, frtaJustify | frtaVertical, frtaCenter | frtaMiddle}) {
            TfrMemoView *m = b.memo(0, QStringLiteral("Memo%1").arg(top), {10, top, 200, 36},
                                    {QStringLiteral("货品 名称 Mixed text [PAGE#] gjpq"), QStringLiteral("第二行 line")});
            m->Alignment = align;
            m->Font.Name = align % 2 ? QStringLiteral("宋体") : QStringLiteral("黑体");
            m->Flags |= flUnderlines | flWordBreak;
            m->FrameTyp = 15;
            m->FrameStyle = quint16(top % 6);
            m->FrameWidth = 1.5;
            m->CharSpacing = 1;
            top += 40;
        }
        b.shape(0, QStringLiteral("Shape1"), {300, 40, 60, 30}, skRoundRectangle)->FrameWidth = 0.3;
        b.checkBox(0, QStringLiteral("Check1"), {300, 80, 16, 16}, QStringLiteral("1"));
        writeSeed(dir, QStringLiteral("drawing.frf"), templateBytes(r));
    }
    {
        TfrReport r;
        fillAtLimits(r);
        writeSeed(dir, QStringLiteral("limits.frf"), templateBytes(r));
    }
    {
        // A large template: many objects, a long text, a large dictionary.
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        for (int i = 0; i < 3000; ++i)
            b.memo(0, QStringLiteral("Memo%1").arg(i + 1), {10 + i % 700, 10 + i % 1000, 60, 18},
                   {QStringLiteral("第%1行 line %1").arg(i)});
        b.memo(0, QStringLiteral("Long"), {10, 10, 300, 1000}, {QString(60000, QLatin1Char('w'))});
        QList<QPair<QString, QString>> vars;
        for (int i = 0; i < 10000; ++i)
            vars.append({QStringLiteral("变量%1").arg(i), QStringLiteral("%1*2").arg(i)});
        b.variables(QStringLiteral("大"), vars);
        writeSeed(dir, QStringLiteral("large.frf"), templateBytes(r));
    }
    for (int version = 21; version <= 24; ++version)
        writeSeed(dir, QStringLiteral("v%1.frf").arg(version), olderVersionStream(version));
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
    const QString failed = fuzzTemplateInput(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!failed.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failed));
        std::abort();
    }
    return 0;
}
