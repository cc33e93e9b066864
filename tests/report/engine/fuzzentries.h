#pragma once
// What the fuzzers do with one input, shared with the test that replays the inputs
// they found (tests/report/engine/data/fuzz/<target>/), so a finding stays a test.
// Each returns what did not hold, or an empty text; a crash or undefined behaviour
// is for the sanitizers to catch.
#include "templatebuilder.h"

#include "report/engine/frprepared.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

namespace orv::test {

// The template reader: a stream it refuses leaves the report as it was; a stream it
// accepts is written back into one it accepts again, which writes the same bytes;
// then its pages are drawn.
inline QString fuzzTemplateInput(const QByteArray &input)
{
    TfrReport r;
    TemplateBuilder(r).page().Name = QStringLiteral("Keep");
    const QByteArray kept = templateBytes(r);
    const TfrLoadResult res = readTemplate(r, input);
    if (res != TfrLoadResult::Ok && res != TfrLoadResult::MissingClasses)
        return templateBytes(r) == kept ? QString() : QStringLiteral("a refused template changed the report");
    QByteArray first;
    try {
        first = templateBytes(r);
    } catch (const EfrStreamError &) {
        return {}; // texts too long for their length fields are refused, not cut
    }
    TfrReport again;
    if (readTemplate(again, first) != TfrLoadResult::Ok)
        return QStringLiteral("a written template does not read back");
    if (templateBytes(again) != first)
        return QStringLiteral("a template read back writes other bytes");
    drawPages(r);
    return {};
}

namespace fuzzdetail {
inline QByteArray preparedBytes(TfrEMFPages &pages)
{
    QBuffer b;
    b.open(QIODevice::ReadWrite);
    pages.SaveToStream(b);
    return b.data();
}

inline bool readPrepared(TfrEMFPages &pages, const QByteArray &bytes)
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
} // namespace fuzzdetail

// The prepared-report reader (.frp): a file it accepts is drawn page by page, its
// texts are read as find reads them, an object is looked for under a point, and it is
// written back: that file must read back and write the same bytes again.
inline QString fuzzPreparedInput(const QByteArray &input)
{
    using namespace fuzzdetail;
    TfrReport r;
    TfrEMFPages &pages = r.EMFPages();
    if (!readPrepared(pages, input))
        return {};
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
        first = preparedBytes(pages);
    } catch (const EfrStreamError &) {
        return {};
    }
    TfrReport again;
    if (!readPrepared(again.EMFPages(), first))
        return QStringLiteral("a written prepared report does not read back");
    if (preparedBytes(again.EMFPages()) != first)
        return QStringLiteral("a prepared report read back writes other bytes");
    return {};
}

} // namespace orv::test
