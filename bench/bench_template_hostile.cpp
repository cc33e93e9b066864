// Templates built to stall the reader or the text layout: each case prints how
// long the engine takes, and each must grow linearly with its size (the second
// size is ten times the first).
//   bench_template_hostile
#include "report/engine/frband.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frmemo.h"
#include "report/engine/frparser.h"
#include "report/engine/frprinter.h"
#include "report/engine/frreport.h"
#include "report/engine/frstream.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

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

QByteArray dictionaryBlock(int entries)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    WriteStreamWord(b, -2);
    WriteStreamInt(b, entries);
    for (int i = 0; i < entries; ++i) {
        WriteStreamString(b, QStringLiteral("变量%1").arg(i));
        WriteStreamString(b, QStringLiteral("%1+1").arg(i));
    }
    WriteStreamInt(b, 0);
    WriteStreamInt(b, 0);
    return b.data();
}

// A version-22 template of one page holding `objects` text objects, which
// streams of that version store without names.
QByteArray unnamedObjects(int objects)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    WriteStreamByte(b, 22);
    WriteStreamWord(b, 0);
    WriteStreamWord(b, 0);
    WriteStreamBytes(b, QByteArray("\x01\x00", 2)); // printer name, old form
    WriteStreamByte(b, 255);
    for (int v : {9, 0, 0, 54, 72, 54, 54})
        WriteStreamInt(b, v);
    WriteStreamByte(b, 0);
    WriteStreamBytes(b, QByteArray(6, '\0'));
    WriteStreamWord(b, 0);
    WriteStreamWord(b, -1);
    WriteStreamInt(b, 1);
    WriteStreamInt(b, 0);
    for (int i = 0; i < objects; ++i) {
        WriteStreamByte(b, 0);     // text object
        WriteStreamByte(b, 0);     // on page 1
        for (int v : {10, 20 + i % 900, 100, 18})
            WriteStreamInt(b, v);
        WriteStreamWord(b, 3);
        WriteStreamWord(b, 0);
        WriteStreamInt(b, 1);
        WriteStreamInt(b, 0);
        WriteStreamWord(b, 0);
        WriteStreamInt(b, 0x1FFFFFFF);
        WriteStreamInt(b, 0);
        WriteStreamBytes(b, QByteArray("\0", 1));         // format text
        WriteStreamBytes(b, QByteArray("x\r\0", 3));      // memo
        WriteStreamBytes(b, QByteArray("Arial\0", 6));    // font
        WriteStreamInt(b, 10);
        WriteStreamWord(b, 0);
        WriteStreamInt(b, 0);
        WriteStreamInt(b, 0);
        WriteStreamWord(b, 1);
        WriteStreamBytes(b, QByteArray(10, '\0'));        // highlight
        WriteStreamBytes(b, QByteArray("\0", 1));         // highlight condition
    }
    WriteStreamByte(b, 254);
    WriteStreamWord(b, -2);
    for (int k = 0; k < 3; ++k)
        WriteStreamInt(b, 0);
    WriteStreamByte(b, 252);
    return b.data();
}

double loadTemplate(const QByteArray &bytes, int expectedObjects)
{
    TfrReport r;
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    TfrLoadResult res = TfrLoadResult::Malformed;
    const double ms = millis([&] { res = r.ReadFromStream(b); });
    if (res != TfrLoadResult::Ok || int(r.Pages()[0]->Objects.size()) != expectedObjects)
        std::fprintf(stderr, "template not read as expected\n");
    return ms;
}

double wrapOneLine(int characters)
{
    TfrMemoView m;
    m.SetBounds(0, 0, 300, 18);
    m.Memo = {QString(characters, QLatin1Char('a'))};
    int h = 0;
    const double ms = millis([&] { h = m.CalcHeight(); });
    if (h <= 18)
        std::fprintf(stderr, "the line did not wrap\n");
    return ms;
}

double drawOneLine(int characters)
{
    EngineMode = 1;
    QImage page(800, 1100, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    TfrMemoView m;
    m.SetBounds(0, 0, 300, 1000000);
    m.Memo = {QString(characters, QChar(0x6C49))};
    return millis([&] { m.Draw(&p); });
}

double drawBandColumns(int columns)
{
    EngineMode = 0;
    QImage page(800, 200, QImage::Format_RGB32);
    QPainter p(&page);
    TfrBandView band;
    band.SetBandType(btMasterData);
    band.Columns = columns;
    band.ColumnWidth = 0;
    band.ColumnGap = 0;
    band.SetBounds(0, 20, 700, 40);
    band.PrintableWidth = 700;
    return millis([&] { band.Draw(&p); });
}

double expandBrackets(int brackets)
{
    QString text;
    for (int i = 0; i < brackets; ++i)
        text += QStringLiteral("x[A]");
    QString out;
    const double ms = millis([&] { out = frExpandBrackets(text, [](const QString &) { return QStringLiteral("12"); }); });
    if (out.size() != 3 * brackets)
        std::fprintf(stderr, "brackets not expanded\n");
    return ms;
}

void row(const char *what, int small, double a, int large, double b)
{
    std::printf("%-44s %8d: %9.1f ms   %8d: %9.1f ms   ratio %.1f\n", what, small, a, large, b, a > 0 ? b / a : 0.0);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitReportPrinter(std::make_unique<TfrNoPrinters>());

    {
        const double a = millis([] {
            TfrDataDictionary d;
            QByteArray bytes = dictionaryBlock(4000);
            QBuffer b(&bytes);
            b.open(QIODevice::ReadOnly);
            d.LoadFromStream(b);
        });
        const double b = millis([] {
            TfrDataDictionary d;
            QByteArray bytes = dictionaryBlock(40000);
            QBuffer buf(&bytes);
            buf.open(QIODevice::ReadOnly);
            d.LoadFromStream(buf);
        });
        row("dictionary entries (block written and read)", 4000, a, 40000, b);
    }
    row("unnamed objects of a version-22 template", 2000, loadTemplate(unnamedObjects(2000), 2000), 20000,
        loadTemplate(unnamedObjects(20000), 20000));
    wrapOneLine(1000); // fonts and caches ready
    row("characters of one wrapped line (measure)", 3200, wrapOneLine(3200), 32000, wrapOneLine(32000));
    row("characters of one wrapped line (draw)", 3200, drawOneLine(3200), 32000, drawOneLine(32000));
    row("insertions in one text (expanded)", 3200, expandBrackets(3200), 32000, expandBrackets(32000));
    row("columns of one band (designer drawing)", 100, drawBandColumns(100), 1000, drawBandColumns(1000));
    return 0;
}
