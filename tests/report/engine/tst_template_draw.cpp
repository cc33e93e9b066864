// A template built in code, saved as a file, loaded into a fresh report and drawn
// onto a page image. Set ORV_DRAW_PNG to a folder to keep the page for a look.
#include "templatebuilder.h"

#include "report/engine/frdictionary.h"
#include "report/engine/frprinter.h"

#include <QtTest>
#include <QTemporaryDir>

using namespace orv::test;

namespace {
bool near(QRgb c, QColor want, int tolerance = 40)
{
    return qAbs(qRed(c) - want.red()) <= tolerance && qAbs(qGreen(c) - want.green()) <= tolerance &&
           qAbs(qBlue(c) - want.blue()) <= tolerance;
}

int darkPixels(const QImage &img, const QRect &r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(img.pixel(x, y)) < 100 ? 1 : 0;
    return n;
}
} // namespace

class TstTemplateDraw : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitReportPrinter(std::make_unique<TfrNoPrinters>()); }

    // A file may hold numbers up to the load limits: such a template reads, and
    // its pages draw, as the designer and zoomed in the preview.
    void drawsAtTheLoadLimits()
    {
        TfrReport src;
        fillAtLimits(src);
        TfrReport r;
        QCOMPARE(readTemplate(r, templateBytes(src)), TfrLoadResult::Ok);
        QCOMPARE(r.Pages()[0]->Objects.size(), src.Pages()[0]->Objects.size());
        drawPages(r);
    }

    void fileToPageImage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("盘点单.frf");
        {
            TfrReport r;
            TemplateBuilder b(r);
            b.page();
            b.page();
            b.band(0, btReportTitle, "报表标题1", 20, 60);
            b.band(0, btMasterData, "主项数据1", 90, 24);
            TfrMemoView *title = b.memo(0, "Memo1", {20, 24, 300, 24}, {"仓库盘点单"});
            title->Font.Name = "宋体";
            title->Font.Size = 14;
            title->FrameTyp = 15;
            QImage img(40, 30, QImage::Format_RGB32);
            img.fill(Qt::red);
            b.picture(0, "Picture1", {400, 20, 40, 30}, img);
            b.line(0, "Line1", {20, 60, 600, 0});
            b.subReport(0, "SubReport1", {20, 120, 300, 40}, 1);
            b.shape(0, "Shape1", {460, 20, 50, 50}, skEllipse)->FillColor = 0xFF0000; // blue
            b.checkBox(0, "Check1", {530, 20, 20, 20}, "1");
            b.memo(1, "Memo2", {10, 10, 100, 18}, {"A5"});
            b.variables("单据", {{"编号", "'PD-001'"}});
            QVERIFY(r.SaveToFile(path));
        }

        TfrReport back;
        QVERIFY(back.LoadFromFile(path));
        QCOMPARE(back.Pages().List().size(), 2);
        QCOMPARE(back.Dictionary().Variables.GetValue("编号").toString(), QString("'PD-001'"));

        EngineMode = 1; // drawn as on a prepared page
        QImage page(640, 200, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        int drawn = 0;
        for (TfrView *v : back.Pages().List().first()->Objects) {
            if (v->TypeCode == 2 || v->TypeCode == 3)
                continue; // bands and sub-reports only show in the designer
            v->Draw(&p);
            ++drawn;
        }
        p.end();
        if (const QString keep = qEnvironmentVariable("ORV_DRAW_PNG"); !keep.isEmpty())
            page.save(keep + "/template-page.png");

        QCOMPARE(drawn, 5);
        QVERIFY(darkPixels(page, QRect(22, 26, 296, 20)) > 30);   // title text
        QVERIFY(darkPixels(page, QRect(20, 24, 300, 1)) > 250);    // its frame
        QVERIFY(near(page.pixel(420, 35), Qt::red));               // picture
        QVERIFY(darkPixels(page, QRect(100, 59, 400, 3)) > 300);   // line
        QVERIFY(near(page.pixel(485, 45), Qt::blue));              // shape filled
        QVERIFY(darkPixels(page, QRect(532, 22, 16, 16)) > 10);    // check mark
        QVERIFY(near(page.pixel(600, 150), Qt::white, 2));         // nothing else
    }
};

QTEST_MAIN(TstTemplateDraw)
#include "tst_template_draw.moc"
