// Flat buttons: glyph images, groups, clicks at the edge, the greyed look; the combo edit.
#include "report/engine/frcomboedit.h"
#include "report/engine/frspeedbutton.h"
#include "report/engine/frtbitems.h"

#include <QComboBox>
#include <QDialog>
#include <QEnterEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
// A glyph of n images of h x h: red squares on the olive transparent colour.
QImage redGlyph(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(qRgb(128, 128, 0));
    for (int y = 2; y < height - 2; ++y)
        for (int x = 2; x < qMin(width, height) - 2; ++x)
            img.setPixel(x, y, qRgb(255, 0, 0));
    return img;
}

void click(QWidget *w, QPoint at = QPoint(5, 5))
{
    QTest::mousePress(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

void enter(QWidget *w)
{
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(w, &e);
}
} // namespace

class TstSpeedButton : public QObject {
    Q_OBJECT
private slots:
    void numGlyphsFromWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("numGlyphs");
        QTest::newRow("four images") << 64 << 16 << 4;
        QTest::newRow("not a multiple keeps the count") << 40 << 16 << 2;
        QTest::newRow("five images count as one") << 80 << 16 << 1;
        QTest::newRow("no height keeps the count") << 16 << 0 << 2;
    }
    void numGlyphsFromWidth()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, numGlyphs);
        TfrSpeedButton b;
        b.SetNumGlyphs(2);
        b.SetGlyph(QImage(width, height, QImage::Format_RGB32));
        QCOMPARE(b.NumGlyphs(), numGlyphs);
        b.SetNumGlyphs(9);
        QCOMPARE(b.NumGlyphs(), 4);
    }

    void groupOfThree()
    {
        QWidget parent;
        TfrSpeedButton a(&parent), b(&parent), c(&parent);
        for (TfrSpeedButton *x : {&a, &b, &c})
            x->SetGroupIndex(1);
        QSignalSpy clicks(&b, &TfrSpeedButton::clicked);
        click(&a);
        QVERIFY(a.Down());
        click(&b);
        QVERIFY(b.Down());
        QVERIFY(!a.Down());
        QCOMPARE(a.State(), bsUp);
        // The down button stays down while the group may not be all up.
        click(&b);
        QVERIFY(b.Down());
        QCOMPARE(b.State(), bsExclusive);
        QCOMPARE(clicks.count(), 2);
        // Allowing all up on one button allows it for the group.
        c.SetAllowAllUp(true);
        QVERIFY(b.AllowAllUp());
        click(&b);
        QVERIFY(!b.Down());
        // A button outside any group never stays down.
        TfrSpeedButton plain(&parent);
        plain.SetDown(true);
        QVERIFY(!plain.Down());
    }

    void releaseOnTheBottomRowIsInside()
    {
        TfrSpeedButton b;
        b.resize(22, 22);
        QSignalSpy clicks(&b, &TfrSpeedButton::clicked);
        click(&b, QPoint(5, 22));
        QCOMPARE(clicks.count(), 1);
        click(&b, QPoint(22, 5));
        QCOMPARE(clicks.count(), 1);
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(b.State(), bsDown);
        QTest::mouseMove(&b, QPoint(5, 40));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 40));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(b.State(), bsUp);
        b.setEnabled(false);
        click(&b);
        QCOMPARE(clicks.count(), 1);
    }

    void flatButtonGreyUntilPointedAt()
    {
        TfrSpeedButton b;
        b.resize(22, 22);
        b.SetFlat(true);
        b.SetGlyph(redGlyph(16, 16));
        QPoint gp;
        QRect tr;
        b.CalcLayout(gp, tr);
        QCOMPARE(gp, QPoint(3, 3));
        const QPoint probe = gp + QPoint(8, 8);
        QCOMPARE(b.PaintState(), bsGrayed);
        QImage shot = b.grab().toImage();
        QColor c = shot.pixelColor(probe);
        QCOMPARE(c.red(), c.green());          // grey
        QCOMPARE(c.red(), (77 * 255) / 256);
        enter(&b);
        QVERIFY(b.MouseInControl());
        QCOMPARE(b.PaintState(), bsUp);
        shot = b.grab().toImage();
        QCOMPARE(shot.pixelColor(probe), QColor(255, 0, 0));
        // The raised frame: highlight on the top edge, shadow on the bottom edge.
        QCOMPARE(shot.pixelColor(5, 0).rgb(), b.palette().color(QPalette::Light).rgb());
        QCOMPARE(shot.pixelColor(5, 21).rgb(), b.palette().color(QPalette::Dark).rgb());
        // Disabled: the embossed look, no red.
        b.setEnabled(false);
        shot = b.grab().toImage();
        QVERIFY(shot.pixelColor(probe) != QColor(255, 0, 0));
        QCOMPARE(b.PaintState(), bsDisabled);
    }

    void captionAndGlyphLayout_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("margin");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<int>("glyphX");
        QTest::addColumn<int>("glyphY");
        // A 64 x 40 button with its border has a 60 x 36 content area from (2, 2).
        QTest::newRow("centred, no caption") << int(blGlyphLeft) << -1 << 4 << 24 << 12;
        QTest::newRow("left with margin") << int(blGlyphLeft) << 3 << 4 << 5 << 12;
        QTest::newRow("right with margin") << int(blGlyphRight) << 3 << 4 << 43 << 12;
        QTest::newRow("top with margin") << int(blGlyphTop) << 3 << 4 << 24 << 5;
        QTest::newRow("bottom with margin") << int(blGlyphBottom) << 0 << 4 << 24 << 22;
    }
    void captionAndGlyphLayout()
    {
        QFETCH(int, layout);
        QFETCH(int, margin);
        QFETCH(int, spacing);
        QFETCH(int, glyphX);
        QFETCH(int, glyphY);
        TfrSpeedButton b;
        b.resize(64, 40);
        b.SetGlyph(redGlyph(16, 16));
        b.SetLayout(TfrButtonLayout(layout));
        b.SetMargin(margin);
        b.SetSpacing(spacing);
        QPoint gp;
        QRect tr;
        b.CalcLayout(gp, tr);
        QCOMPARE(gp, QPoint(glyphX, glyphY));
    }

    void imagesAreShared()
    {
        const QImage glyph = redGlyph(32, 16);
        const int before = TButtonGlyph::SharedImageCount();
        {
            TfrSpeedButton a, b;
            a.SetFlat(true);
            b.SetFlat(true);
            a.SetGlyph(glyph);
            b.SetGlyph(glyph);
            a.grab();
            b.grab();
            QCOMPARE(TButtonGlyph::SharedImageCount(), before + 1);   // one greyed image for both
        }
        QCOMPARE(TButtonGlyph::SharedImageCount(), before);
    }

    void toolbarItems()
    {
        TfrTBButton b;
        QVERIFY(b.Flat());
        QCOMPARE(b.Align, alLeft);
        TfrTBSeparator s;
        QCOMPARE(s.size(), QSize(8, 8));
        QVERIFY(s.DrawBevel);
        s.resize(8, 22);
        QImage shot = s.grab().toImage();
        // A vertical shadow line and a highlight line beside it across the middle.
        QCOMPARE(shot.pixelColor(3, 10).rgb(), s.palette().color(QPalette::Dark).rgb());
        QCOMPARE(shot.pixelColor(4, 10).rgb(), s.palette().color(QPalette::Light).rgb());
        QCOMPARE(shot.pixelColor(3, 0).rgb(), s.palette().color(QPalette::Button).rgb());
        s.Align = alTop;
        s.resize(22, 8);
        shot = s.grab().toImage();
        QCOMPARE(shot.pixelColor(10, 3).rgb(), s.palette().color(QPalette::Dark).rgb());
        QCOMPARE(shot.pixelColor(10, 4).rgb(), s.palette().color(QPalette::Light).rgb());
        // Not on a toolbar, an item keeps its alignment.
        QWidget plain;
        QCOMPARE(frToolbarItemAlign(&plain, alRight), alRight);
    }

    void comboEdit()
    {
        QDialog dialog;
        auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        TfrComboEdit edit(&dialog);
        QCOMPARE(edit.Button()->parentWidget()->geometry(), QRect(126, 2, 17, 17));
        QCOMPARE(edit.Edit()->width(), 145 - 21 - 4);
        QSignalSpy clicked(&edit, &TfrComboEdit::buttonClicked);
        dialog.show();
        emit edit.Button()->clicked();
        QCOMPARE(clicked.count(), 1);
        edit.SetButtonEnabled(false);
        QVERIFY(!edit.Button()->isEnabled());
        edit.setEnabled(false);
        edit.setEnabled(true);
        QVERIFY(!edit.Button()->isEnabled());
        edit.SetButtonEnabled(true);
        QVERIFY(edit.Button()->isEnabled());
        // Enter in the field presses the dialog's default button.
        edit.SetText(QStringLiteral("[Price]"));
        QTest::keyClick(edit.Edit()->lineEdit(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(edit.Text(), QStringLiteral("[Price]"));
    }
};

QTEST_MAIN(TstSpeedButton)
#include "tst_speedbutton.moc"
