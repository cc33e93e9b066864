// Drawing report objects headless onto an image, checked at a few pixels.
// Set ORV_DRAW_PNG to a folder to keep the rendered pages for a look.
#include "report/engine/frband.h"
#include "report/engine/frcheckbox.h"
#include "common/jpeg.h"
#include "report/engine/frline.h"
#include "report/engine/frmemo.h"
#include "report/engine/frpicture.h"
#include "report/engine/frshape.h"

#include <QFontMetricsF>
#include <cmath>
#include <limits>
#include <memory>

#include <QtTest>

namespace {
bool isDark(const QImage &img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 100;
}

bool near(QRgb c, QColor want, int tolerance = 40)
{
    return qAbs(qRed(c) - want.red()) <= tolerance && qAbs(qGreen(c) - want.green()) <= tolerance
           && qAbs(qBlue(c) - want.blue()) <= tolerance;
}

int darkPixels(const QImage &img, const QRect &r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += isDark(img, x, y) ? 1 : 0;
    return n;
}

int colourPixels(const QImage &img, const QRect &r, QColor c)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += near(img.pixel(x, y), c) ? 1 : 0;
    return n;
}

QByteArray redJpeg(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::red);
    return orv::encodeJpeg(img, 95);
}

void keep(const QImage &img, const QString &name)
{
    const QString dir = qEnvironmentVariable("ORV_DRAW_PNG");
    if (!dir.isEmpty())
        img.save(dir + QLatin1Char('/') + name);
}
} // namespace

class TestDraw : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        EngineHooks = TfrEngineHooks();
        DrawingDisabled = false;
    }

    void previewPage()
    {
        EngineMode = 1;
        QImage page(400, 300, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);

        TfrMemoView memo;
        memo.SetBounds(10, 10, 150, 40);
        memo.FrameTyp = 15;
        memo.FillColor = 0x00FFFF; // yellow
        memo.Font.Size = 12;
        memo.Alignment = frtaRight;
        memo.Memo = {QStringLiteral("右对齐 Right")};
        memo.Draw(&p);

        TfrLineView line;
        line.SetBounds(10, 70, 200, 5);
        line.FrameWidth = 3;
        line.Draw(&p);

        TfrShapeView ellipse;
        ellipse.SetBounds(220, 10, 100, 60);
        ellipse.Shape = skEllipse;
        ellipse.FillColor = 0x0000FF; // red
        ellipse.Draw(&p);

        TfrCheckBoxView check;
        check.SetBounds(340, 10, 30, 30);
        check.Memo = {QStringLiteral("1")};
        check.CheckColor = 0xFF0000; // blue
        check.CheckStyle = csCheck;
        check.Draw(&p);

        TfrCheckBoxView unchecked;
        unchecked.SetBounds(340, 50, 30, 30);
        unchecked.Memo = {QStringLiteral("0")};
        unchecked.Draw(&p);

        TfrPictureView pic;
        pic.SetBounds(10, 90, 100, 100);
        pic.Flags = 1 | flPictRatio | flPictCenter;
        pic.Picture.Set(gkJpeg, redJpeg(200, 100));
        pic.Draw(&p);

        TfrMemoView vertical;
        vertical.SetBounds(130, 90, 40, 120);
        vertical.FrameTyp = 15;
        vertical.Alignment = frtaVertical;
        vertical.Memo = {QStringLiteral("竖排文字")};
        vertical.Draw(&p);

        TfrLineView dbl;
        dbl.SetBounds(300, 90, 0, 110);
        dbl.FrameWidth = 3;
        dbl.FrameStyle = psDouble;
        dbl.Draw(&p);

        TfrShapeView round;
        round.SetBounds(200, 220, 80, 40);
        round.Shape = skRoundRectangle;
        round.Draw(&p);

        TfrMemoView centred;
        centred.SetBounds(10, 220, 150, 60);
        centred.FrameTyp = 15;
        centred.FrameStyle = psDash;
        centred.Alignment = frtaCenter | frtaMiddle;
        centred.Memo = {QStringLiteral("居中")};
        centred.Draw(&p);
        p.end();
        keep(page, QStringLiteral("preview.png"));

        // Text object: fill, frame on all four edges, text at the right only.
        QVERIFY(near(page.pixel(14, 46), QColor(255, 255, 0)));
        QVERIFY(isDark(page, 10, 30));
        QVERIFY(isDark(page, 160, 30));
        QVERIFY(isDark(page, 80, 10));
        QVERIFY(isDark(page, 80, 50));
        QVERIFY(darkPixels(page, QRect(100, 12, 58, 20)) > 20);
        QCOMPARE(darkPixels(page, QRect(12, 12, 40, 30)), 0);
        // A 200 × 5 line is horizontal, three pixels thick.
        QVERIFY(isDark(page, 100, 69) && isDark(page, 100, 70) && isDark(page, 100, 71));
        QVERIFY(!isDark(page, 100, 67) && !isDark(page, 100, 73));
        // The ellipse is filled inside its outline only.
        QVERIFY(near(page.pixel(270, 40), Qt::red));
        QVERIFY(near(page.pixel(222, 12), Qt::white, 5));
        // Check mark in its colour; the unchecked box has only its frame.
        QVERIFY(colourPixels(page, QRect(343, 13, 25, 25), Qt::blue) > 20);
        QCOMPARE(darkPixels(page, QRect(344, 54, 22, 22)), 0);
        QVERIFY(isDark(page, 340, 65));
        // 200 × 100 image, kept aspect in 100 × 100, centred: 50 high, 25 down.
        QVERIFY(near(page.pixel(60, 100), Qt::white, 5));
        QVERIFY(near(page.pixel(60, 140), Qt::red));
        QVERIFY(near(page.pixel(12, 117), Qt::red));
        QVERIFY(near(page.pixel(60, 180), Qt::white, 5));
        // Rotated text inside its box.
        QVERIFY(darkPixels(page, QRect(132, 92, 36, 116)) > 20);
        // Double line: two 3-pixel lines 3 pixels each side of the position.
        QVERIFY(isDark(page, 297, 150) && isDark(page, 303, 150));
        QVERIFY(!isDark(page, 300, 150));
        // Centred text sits in the middle of its box.
        QVERIFY(darkPixels(page, QRect(60, 238, 50, 24)) > 10);
        QCOMPARE(darkPixels(page, QRect(14, 224, 30, 12)), 0);
    }

    void designerPage()
    {
        EngineMode = 0;
        QImage page(300, 200, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        TfrBandView band;
        band.SetBandType(btMasterData);
        band.SetBounds(0, 30, 0, 40);
        band.PrintableWidth = 280;
        band.Draw(&p);
        TfrPictureView empty;
        empty.SetBounds(20, 100, 80, 40);
        empty.Draw(&p);
        TfrMemoView memo;
        memo.SetBounds(150, 100, 100, 40);
        memo.Memo = {QStringLiteral("[Goods.Name]")};
        memo.Draw(&p);
        p.end();
        keep(page, QStringLiteral("designer.png"));
        // Band: caption tab above its top, pattern inside.
        QVERIFY(darkPixels(page, QRect(2, 12, 90, 17)) > 10);
        QVERIFY(near(page.pixel(11, 50), QColor(192, 192, 192), 5) || near(page.pixel(12, 50), QColor(192, 192, 192), 5));
        // Empty picture: placeholder text; memo: corner marks.
        QVERIFY(darkPixels(page, QRect(40, 102, 55, 14)) > 10);
        QVERIFY(isDark(page, 150, 100) && isDark(page, 153, 100) && !isDark(page, 154, 100));
        QVERIFY(isDark(page, 250, 140) && isDark(page, 250, 137));
    }

    void emptyPictureInPreviewDrawsNothing()
    {
        EngineMode = 1;
        QImage page(100, 100, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        TfrPictureView empty;
        empty.SetBounds(10, 10, 80, 40);
        empty.Draw(&p);
        p.end();
        QCOMPARE(darkPixels(page, page.rect()), 0);
    }

    void keepAspectAtTop()
    {
        EngineMode = 1;
        QImage page(120, 120, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        TfrPictureView pic;
        pic.SetBounds(0, 0, 100, 100);
        pic.Picture.Set(gkJpeg, redJpeg(200, 100));
        pic.Draw(&p);
        p.end();
        QVERIFY(near(page.pixel(2, 2), Qt::red));
        QVERIFY(near(page.pixel(98, 48), Qt::red));
        QVERIFY(near(page.pixel(50, 53), Qt::white, 5));
    }

    void zoomedFrameWidthRestored()
    {
        EngineMode = 1;
        TfrShapeView s;
        s.SetBounds(10, 10, 50, 20);
        s.ZoomX = s.ZoomY = 2;
        s.FrameTyp = 15;
        s.BeginDraw();
        QCOMPARE(s.FrameWidth, 2.0);
        QCOMPARE(s.Left, 20);
        QCOMPARE(s.Width, 100);
        s.EndDraw();
        QCOMPARE(s.FrameWidth, 1.0);
        QCOMPARE(s.Left, 10);
        QCOMPARE(s.Width, 50);
    }

    void drawRectFollowsFrame_data()
    {
        QTest::addColumn<int>("frameTyp");
        QTest::addColumn<double>("width");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("no frame") << 0 << 1.0 << QRect(QPoint(10, 20), QPoint(110, 70));
        QTest::newRow("all, width 1") << 15 << 1.0 << QRect(QPoint(10, 20), QPoint(110, 70));
        QTest::newRow("all, width 3") << 15 << 3.0 << QRect(QPoint(11, 21), QPoint(108, 68));
        QTest::newRow("left and top, width 4") << 12 << 4.0 << QRect(QPoint(12, 22), QPoint(110, 70));
    }
    void drawRectFollowsFrame()
    {
        QFETCH(int, frameTyp);
        QFETCH(double, width);
        QFETCH(QRect, rect);
        EngineMode = 1;
        TfrShapeView s;
        s.SetBounds(10, 20, 100, 50);
        s.FrameTyp = quint16(frameTyp);
        s.FrameWidth = width;
        s.BeginDraw();
        QCOMPARE(s.DrawRect, rect);
        s.EndDraw();
    }

    // Absurd geometry (scripts may set any number; files are bounded on load)
    // saturates at the drawing limit instead of overflowing, and every object
    // kind draws it, at zoom and offset, without undefined behaviour.
    void hostileGeometry()
    {
        EngineMode = 1;
        TfrMemoView m;
        m.SetBounds(1500000, -2000000000, 2147483647, 2000000000);
        m.ZoomX = m.ZoomY = 3;
        m.OffsetX = 2000000000;
        m.OffsetY = -2000000000;
        m.FrameTyp = 15;
        m.FrameWidth = 1e9;
        m.GapX = m.GapY = 2147483647;
        m.BeginDraw();
        QCOMPARE(m.Left, frDrawLimit);
        QCOMPARE(m.Top, -frDrawLimit);
        QCOMPARE(m.Width, frDrawLimit);
        QCOMPARE(m.Height, frDrawLimit);
        QCOMPARE(m.GapX, frDrawLimit);
        QCOMPARE(m.RightEdge(), frDrawLimit);
        QCOMPARE(m.BottomEdge(), -frDrawLimit);
        QCOMPARE(m.DrawRect.left(), frDrawLimit + frDrawLimit);   // left edge moved in by the frame
        m.EndDraw();
        QCOMPARE(m.Left, 1500000);
        QCOMPARE(m.Width, 2147483647);
        QCOMPARE(m.GapX, 2147483647);
        // Whole-number helpers saturate too.
        QCOMPARE(frRound(1e300), std::numeric_limits<int>::max());
        QCOMPARE(frRound(-1e300), std::numeric_limits<int>::min());
        QCOMPARE(frRound(std::nan("")), 0);
        QCOMPARE(FontPixelHeight(1e12, 2.5), std::numeric_limits<int>::max());
        QCOMPARE(frDrawCoord(-1e300), -frDrawLimit);

        QImage page(60, 60, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        std::vector<std::unique_ptr<TfrView>> views;
        views.push_back(std::make_unique<TfrMemoView>());
        views.push_back(std::make_unique<TfrLineView>());
        views.push_back(std::make_unique<TfrShapeView>());
        views.push_back(std::make_unique<TfrCheckBoxView>());
        views.push_back(std::make_unique<TfrPictureView>());
        views.push_back(std::make_unique<TfrSubReportView>());
        auto picture = std::make_unique<TfrPictureView>();
        picture->Picture.Set(gkJpeg, redJpeg(4, 3));
        picture->Flags = 1 | flPictRatio | flPictCenter;
        views.push_back(std::move(picture));
        auto unstretched = std::make_unique<TfrPictureView>();
        unstretched->Picture.Set(gkJpeg, redJpeg(5, 2));
        unstretched->Flags = flPictCenter;
        views.push_back(std::move(unstretched));
        const struct { int l, t, w, h; } boxes[] = {
            {-5, 0, 2000000000, 2000000000},
            {2147483647, 2147483647, 2147483647, 2147483647},
            {-2147483647 - 1, -2147483647 - 1, -2147483647 - 1, 2147483647},
            {1500000, 5, 2147483647, 10},
        };
        for (int mode : {0, 1}) {
            for (const auto &b : boxes) {
                for (double zoom : {0.5, 3.0}) {
                    for (int style = psSolid; style <= psDouble; ++style) {
                        for (auto &v : views) {
                            EngineMode = quint8(mode);
                            v->SetBounds(b.l, b.t, b.w, b.h);
                            v->ZoomX = v->ZoomY = zoom;
                            v->OffsetX = 2000000000;
                            v->OffsetY = -5;
                            v->FrameTyp = 15;
                            v->FrameStyle = quint16(style);
                            v->FrameWidth = style == psDash ? 1e6 : 2e6;
                            v->FillColor = 0xFF;
                            v->GapX = v->GapY = 2147483647;
                            v->Memo = {QStringLiteral("x y z 汉字"), QStringLiteral("1")};
                            if (auto *mm = dynamic_cast<TfrMemoView *>(v.get())) {
                                mm->Flags |= flUnderlines | flAutoWidth;
                                mm->Font.Size = 1000000000;
                                mm->LineSpacing = -2147483647;
                                mm->CharSpacing = 2147483647;
                                mm->Alignment = style % 2 ? frtaJustify | frtaMiddle : frtaCenter | frtaVertical | frtaDown;
                            }
                            if (auto *s = dynamic_cast<TfrShapeView *>(v.get()))
                                s->Shape = quint8(style % 6);
                            v->Draw(&p);
                            v->GetClipRgn(true);
                        }
                    }
                }
            }
        }
        EngineMode = 0;
        TfrBandView band;
        band.SetBandType(btMasterData);
        band.Columns = 1000;
        band.ColumnWidth = 2147483647;
        band.ColumnGap = 2147483647;
        band.SetBounds(0, 20, 0, 2147483647);
        band.PrintableWidth = 50;
        band.Draw(&p);
        p.end();
    }

    // A text of a Chinese face sits in its cell by the face's own proportions:
    // a 10-point line fits an 18-unit cell with Latin descenders whole, above a
    // bottom frame and above the ruled underline.
    void lineFitsItsCell_data()
    {
        QTest::addColumn<QString>("face");
        QTest::newRow("宋体") << "宋体";
        QTest::newRow("黑体") << "黑体";
        QTest::newRow("楷体") << "楷体_GB2312";
        QTest::newRow("Arial") << "Arial";
    }
    void lineFitsItsCell()
    {
        QFETCH(QString, face);
        EngineMode = 1;
        auto render = [&](int height, quint16 flags, quint16 frame) {
            QImage page(240, 100, QImage::Format_RGB32);
            page.fill(Qt::white);
            QPainter p(&page);
            TfrMemoView m;
            m.SetBounds(10, 10, 220, height);
            m.Font.Name = face;
            m.Font.Size = 10;
            m.Flags |= flags;
            m.FrameTyp = frame;
            m.Memo = {QStringLiteral("货品名称 gjpqy 汉字")};
            m.Draw(&p);
            p.end();
            return page;
        };
        const QImage cell = render(18, 0, 0);
        const QImage tall = render(60, 0, 0);
        keep(cell, QStringLiteral("cell-%1.png").arg(face));
        QRect ink;
        for (int y = 0; y < tall.height(); ++y)
            for (int x = 0; x < tall.width(); ++x)
                if (isDark(tall, x, y))
                    ink |= QRect(x, y, 1, 1);
        QVERIFY(!ink.isEmpty());
        // Nothing of the line is cut by the 18-unit cell.
        QVERIFY2(ink.top() >= 10 && ink.bottom() <= 26, qPrintable(QStringLiteral("ink rows %1..%2").arg(ink.top()).arg(ink.bottom())));
        QCOMPARE(darkPixels(cell, QRect(0, 0, 240, 40)), darkPixels(tall, QRect(0, 0, 240, 40)));
        // The ruled underline of the first line lies below all of its ink.
        const QImage ruled = render(18, flUnderlines, 0);
        int rule = -1;
        for (int y = 10; y < 40 && rule < 0; ++y)
            if (darkPixels(ruled, QRect(12, y, 200, 1)) > 190)
                rule = y;
        QVERIFY(rule > ink.bottom());
        // A bottom frame line stays clear of the text.
        const QImage framed = render(18, 0, frftBottom);
        QCOMPARE(darkPixels(framed, QRect(0, 0, 240, 27)), darkPixels(tall, QRect(0, 0, 240, 27)));
    }

    // Right-aligned and justified text meet their edge: what the layout measured
    // is what is drawn, at every zoom.
    void textMeetsItsEdge_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("align");
        for (const char *face : {"宋体", "Arial", "Times New Roman"})
            for (double zoom : {1.0, 1.5, 2.0})
                for (int align : {int(frtaRight), int(frtaJustify)})
                    QTest::addRow("%s zoom %.1f %s", face, zoom, align == frtaRight ? "right" : "justified")
                        << QString::fromUtf8(face) << zoom << align;
    }
    void textMeetsItsEdge()
    {
        QFETCH(QString, face);
        QFETCH(double, zoom);
        QFETCH(int, align);
        EngineMode = 1;
        QImage page(800, 200, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        TfrMemoView m;
        m.SetBounds(10, 10, 300, 80);
        m.ZoomX = m.ZoomY = zoom;
        m.Font.Name = face;
        m.Alignment = align;
        // A first line of Latin letters ending in a letter with a plain right stem.
        m.Memo = {align == frtaRight ? QStringLiteral("Quantity Received ABCDEFGHIJKLMN")
                                     : QStringLiteral("Received goods of the week listed by number and name HHHH")};
        m.Draw(&p);
        p.end();
        keep(page, QStringLiteral("edge-%1-%2-%3.png").arg(face).arg(zoom).arg(align));
        // The first line's rows, and the x where its last character's advance ends.
        const int px = FontPixelHeight(m.Font.Size, zoom);
        const QFont font = MakeQFont(m.Font, px);
        m.BeginDraw();
        const int top = m.Top + m.GapY;
        const int edge = align == frtaRight ? m.Left + m.DrawRect.width() - m.GapX - 1
                                            : m.Left + m.DrawRect.width() - m.GapX;
        m.EndDraw();
        // The first wrapped line, without its paragraph mark or the blank it broke at.
        QString first = m.PrintText.value(0);
        first.remove(frParagraphMark);
        while (first.endsWith(QLatin1Char(' ')))
            first.chop(1);
        QVERIFY(m.PrintText.size() >= (align == frtaJustify ? 2 : 1));
        const QChar last = first.back();
        const int advance = TextWidth(font, QString(last));
        const double inkRight = edge - advance + QFontMetricsF(font).boundingRect(last).right();
        int right = -1;
        for (int y = top; y < top + px; ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 200)
                    right = qMax(right, x);
        QVERIFY2(qAbs(right + 0.5 - inkRight) <= 1.5,
                 qPrintable(QStringLiteral("ink ends at %1, expected %2").arg(right).arg(inkRight)));
    }

    // A pen under half a pixel still draws the one-pixel outline of a shape.
    void thinShapeFrameDrawsOutline_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<double>("width");
        QTest::newRow("rectangle 0.3") << int(skRectangle) << 0.3;
        QTest::newRow("ellipse 0.1") << int(skEllipse) << 0.1;
        QTest::newRow("rectangle 0") << int(skRectangle) << 0.0;
    }
    void thinShapeFrameDrawsOutline()
    {
        QFETCH(int, shape);
        QFETCH(double, width);
        EngineMode = 1;
        QImage page(80, 60, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        TfrShapeView s;
        s.SetBounds(10, 10, 60, 40);
        s.Shape = quint8(shape);
        s.FrameWidth = width;
        s.Draw(&p);
        p.end();
        // The outline crosses the middle row at the left and right edges.
        QVERIFY(darkPixels(page, QRect(8, 30, 5, 1)) >= 1);
        QVERIFY(darkPixels(page, QRect(68, 30, 5, 1)) >= 1);
        QCOMPARE(darkPixels(page, QRect(20, 20, 40, 20)), 0);
    }

    // A justified line reaches the right edge; a paragraph's last line does not.
    void justified()
    {
        EngineMode = 1;
        QImage page(220, 60, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        TfrMemoView m;
        m.Font.Name = QStringLiteral("Courier New");
        m.SetBounds(0, 0, 200, 50);
        m.Alignment = frtaJustify;
        m.Memo = {QStringLiteral("aa bb cc dd ee ff gg hh ii jj kk ll mm")};
        m.Draw(&p);
        p.end();
        keep(page, QStringLiteral("justified.png"));
        auto rightmost = [&](int top, int bottom) {
            int r = -1;
            for (int y = top; y <= bottom; ++y)
                for (int x = 0; x < page.width(); ++x)
                    if (isDark(page, x, y))
                        r = qMax(r, x);
            return r;
        };
        QVERIFY(rightmost(2, 14) >= 190);          // first line spread to the edge
        QVERIFY(rightmost(17, 29) < 150);          // last line as it is
    }

    void verticalPosition_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("bottom");
        QTest::newRow("top") << 0 << 1 << 20;
        QTest::newRow("middle") << int(frtaMiddle) << 38 << 62;
        QTest::newRow("bottom") << int(frtaDown) << 78 << 99;
    }
    void verticalPosition()
    {
        QFETCH(int, align);
        QFETCH(int, top);
        QFETCH(int, bottom);
        EngineMode = 1;
        QImage page(120, 102, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        TfrMemoView m;
        m.SetBounds(0, 0, 100, 100);
        m.Alignment = align;
        m.Memo = {QStringLiteral("Mg")};
        m.Draw(&p);
        p.end();
        int first = -1, last = -1;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < 100; ++x)
                if (isDark(page, x, y)) {
                    if (first < 0)
                        first = y;
                    last = y;
                }
        QVERIFY2(first >= top && last <= bottom, qPrintable(QStringLiteral("%1..%2").arg(first).arg(last)));
    }

    void lineBecomesVertical()
    {
        TfrLineView l;
        l.SetBounds(0, 0, 100, 100);
        QImage page(10, 10, QImage::Format_RGB32);
        QPainter p(&page);
        l.Draw(&p);
        QCOMPARE(l.Width, 0);
        QCOMPARE(l.FrameTyp, quint16(frftLeft));
    }

    void clipRegions()
    {
        TfrShapeView s;
        s.SetBounds(10, 10, 20, 20);
        s.FrameTyp = 15;
        s.FrameWidth = 3;
        QCOMPARE(s.GetClipRgn(false).boundingRect(), QRect(QPoint(8, 8), QPoint(31, 31)));
        QCOMPARE(s.GetClipRgn(true).boundingRect(), QRect(QPoint(-2, -2), QPoint(41, 41)));
        TfrLineView l;
        l.SetBounds(10, 10, 0, 50);
        l.FrameWidth = 3;
        QCOMPARE(l.GetClipRgn(false).boundingRect(), QRect(QPoint(9, 10), QPoint(11, 60)));
    }
};

QTEST_MAIN(TestDraw)
#include "tst_draw.moc"
