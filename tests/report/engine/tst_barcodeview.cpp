// The barcode object: its record, drawing and fitting, printing with
// expressions, errors while drawing, and the editor dialog.
#include "report/engine/frbarcodeform.h"
#include "report/engine/frbarcodeview.h"
#include "report/engine/frlocale.h"
#include "report/engine/frreport.h"

#include "scriptedprompt.h"
#include "templatebuilder.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using orv::test::ScriptedPrompt;

namespace {

std::unique_ptr<TfrBarCodeView> makeBar()
{
    auto v = CreateView(10, QStringLiteral("TfrBarCodeView"));
    return std::unique_ptr<TfrBarCodeView>(static_cast<TfrBarCodeView *>(v.release()));
}

QByteArray save(TfrView &v)
{
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    v.SaveToStream(buf);
    return buf.data();
}

void load(TfrView &v, const QByteArray &data, int recordMode)
{
    v.RecordMode = quint8(recordMode);
    QBuffer buf;
    buf.setData(data);
    buf.open(QIODevice::ReadOnly);
    v.LoadFromStream(buf);
    QVERIFY(buf.atEnd());
}

QImage draw(TfrView &v, const QSize &size = QSize(400, 400))
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::gray);
    QPainter p(&img);
    v.Draw(&p);
    return img;
}

int countColour(const QImage &img, QColor c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += QColor(img.pixel(x, y)) == c;
    return n;
}

// The prepared record the object prints, read into a fresh object.
std::unique_ptr<TfrBarCodeView> printed(TfrBarCodeView &bar, QByteArray *raw = nullptr)
{
    bar.RecordMode = 1;
    QBuffer page;
    page.open(QIODevice::ReadWrite);
    bar.Print(page);
    if (raw)
        *raw = page.data();
    if (page.size() == 0)
        return nullptr;
    page.seek(0);
    if (ReadStreamByte(page) != 10 || ReadStreamString(page) != QLatin1String("TfrBarCodeView"))
        return nullptr;
    auto shown = makeBar();
    shown->RecordMode = 1;
    shown->LoadFromStream(page);
    return shown;
}

// The box around the dark pixels of an image area (antialiased edges included).
QRect darkBox(const QImage &img, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < 100)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestBarCodeView : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        StreamVersion = 25;
        EngineMode = 0;
        EngineHooks = TfrEngineHooks();
        EditorHooks = TfrEditorHooks();
    }

    void newObjectFitsItsBars()
    {
        auto bar = makeBar();
        QCOMPARE(bar->TypeCode, quint8(10));
        QCOMPARE(bar->BaseName, QStringLiteral("Bar"));
        QCOMPARE(bar->Memo, QStringList{QStringLiteral("12345678")});
        QCOMPARE(bar->BarType, quint8(bcCode39));
        QVERIFY(bar->CalcCheckSum && bar->ShowText);
        bar->SetBounds(10, 10, 50, 60);
        draw(*bar);
        // Start, stop and nine characters (the check character "-" included) of
        // 12 modules, with a gap after the start and after each character.
        QCOMPARE(bar->Width, 142);
        QCOMPARE(bar->Height, 60);
        QCOMPARE(bar->Barcode.Text(), QStringLiteral("12345678"));
        QCOMPARE(bar->DrawError(), QString());
    }

    void zoomAndRotationFitTheLength_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<double>("rotation");
        QTest::addColumn<QSize>("size");
        QTest::newRow("zoom 2") << 2.0 << 0.0 << QSize(284, 60);
        QTest::newRow("zoom 2 at 90") << 2.0 << 90.0 << QSize(50, 284);
        QTest::newRow("270") << 1.0 << 270.0 << QSize(50, 142);
        QTest::newRow("zoom 0.75 rounds half to even") << 0.75 << 180.0 << QSize(106, 60);
    }
    void zoomAndRotationFitTheLength()
    {
        QFETCH(double, zoom);
        QFETCH(double, rotation);
        QFETCH(QSize, size);
        auto bar = makeBar();
        bar->SetBounds(10, 10, 50, 60);
        bar->Zoom = zoom;
        bar->Rotation = rotation;
        draw(*bar);
        QCOMPARE(QSize(bar->Width, bar->Height), size);
    }

    void designerShowsExpressionsAsSample()
    {
        auto bar = makeBar();
        bar->SetBounds(0, 0, 50, 60);
        bar->Memo = QStringList{QStringLiteral("[Goods.\"Code\"]")};
        draw(*bar);
        QCOMPARE(bar->Barcode.Text(), QStringLiteral("12345678"));
        // A code a numeric symbology cannot read as a number shows the sample too.
        bar->BarType = bcCodeEAN13;
        bar->Memo = QStringList{QStringLiteral("ABC")};
        draw(*bar);
        QCOMPARE(bar->Barcode.Text(), QStringLiteral("0000123456784"));
    }

    void eanShowsItsCheckDigit()
    {
        auto bar = makeBar();
        bar->SetBounds(0, 0, 50, 60);
        bar->BarType = bcCodeEAN13;
        bar->Memo = QStringList{QStringLiteral("590123412345")};
        draw(*bar);
        QCOMPARE(bar->Barcode.Text(), QStringLiteral("5901234123457"));
        QCOMPARE(bar->Width, 95);
    }

    // The readable text lies under the bars in the object's turned frame: along the
    // bottom edge upright, along the right edge at 90 degrees (read upwards), and so on,
    // centred along the bars; the bars keep clear of it.
    void textUnderTheBars_data()
    {
        QTest::addColumn<double>("rotation");
        QTest::newRow("upright") << 0.0;
        QTest::newRow("90") << 90.0;
        QTest::newRow("180") << 180.0;
        QTest::newRow("270") << 270.0;
    }
    void textUnderTheBars()
    {
        QFETCH(double, rotation);
        EngineMode = 1;   // as printed: no corner marks of the designer
        auto bar = makeBar();
        bar->SetBounds(20, 20, 60, 60);
        bar->Rotation = rotation;
        QImage img(300, 300, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            bar->Draw(&p);
        }
        const bool vertical = rotation == 90 || rotation == 270;
        const QRect object(20, 20, bar->Width, bar->Height);
        QCOMPARE(vertical ? object.height() : object.width(), 142);
        // The 13 units along the bars' bottom edge, and the bars (turned bars may reach
        // one unit past the object, as the generator draws edges inclusive).
        const QRect area = object.adjusted(-1, -1, 1, 1);
        QRect strip = area, bars = area;
        if (rotation == 0) {
            strip.setTop(object.top() + object.height() - 13);
            bars.setBottom(strip.top() - 1);
        } else if (rotation == 90) {
            strip.setLeft(object.left() + object.width() - 13);
            bars.setRight(strip.left() - 1);
        } else if (rotation == 180) {
            strip.setBottom(object.top() + 12);
            bars.setTop(strip.bottom() + 1);
        } else {
            strip.setRight(object.left() + 12);
            bars.setLeft(strip.right() + 1);
        }
        const QRect text = darkBox(img, strip);
        const QRect drawn = darkBox(img, bars);
        QVERIFY(!text.isEmpty());
        // "12345678" in a 12-pixel font, turned with the bars: shorter than them, centred on them.
        const int textLength = vertical ? text.height() : text.width();
        QVERIFY2(textLength > 30 && textLength < 100, qPrintable(QString::number(textLength)));
        QVERIFY((vertical ? text.width() : text.height()) <= 12);
        const QPoint offCentre = object.center() - text.center();
        QVERIFY2(qAbs(vertical ? offCentre.y() : offCentre.x()) <= 2, qPrintable(QString::number(offCentre.x())));
        // The bars run the whole length and stop just short of the text.
        QVERIFY(qAbs((vertical ? drawn.height() : drawn.width()) - 142) <= 1);
        QVERIFY((vertical ? drawn.width() : drawn.height()) >= 45);
        int gap = 0;
        if (rotation == 0)
            gap = text.top() - drawn.bottom();
        else if (rotation == 90)
            gap = text.left() - drawn.right();
        else if (rotation == 180)
            gap = drawn.top() - text.bottom();
        else
            gap = drawn.left() - text.right();
        QVERIFY2(gap >= 1 && gap <= 5, qPrintable(QString::number(gap)));
        // Nothing else is drawn.
        QCOMPARE(darkBox(img, img.rect()), text | drawn);
    }

    void codeZeroDrawsNothing()
    {
        auto bar = makeBar();
        bar->SetBounds(10, 10, 50, 60);
        bar->Zoom = 2;
        bar->Memo = QStringList{QStringLiteral("0")};
        const QImage img = draw(*bar);
        QCOMPARE(countColour(img, Qt::gray), img.width() * img.height());
        QCOMPARE(bar->Width, 51);   // the length of the bars, without the zoom
        // Also in a symbology that pads its text.
        bar->BarType = bcCodeEAN13;
        const QImage img2 = draw(*bar);
        QCOMPARE(countColour(img2, Qt::gray), img2.width() * img2.height());
    }

    void nothingForEmptyLineOrNegativeSize()
    {
        auto bar = makeBar();
        bar->SetBounds(10, 10, 50, 60);
        bar->Memo = QStringList{QString()};
        QImage img = draw(*bar);
        QCOMPARE(countColour(img, Qt::gray), img.width() * img.height());
        QCOMPARE(bar->Width, 50);
        bar->Memo = QStringList{QStringLiteral("1")};
        bar->Height = -5;
        img = draw(*bar);
        QCOMPARE(countColour(img, Qt::gray), img.width() * img.height());
    }

    void generatorErrorDrawsPlaceholderReportedOnce_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("error");
        // "12.5" reads as a number, so it reaches the generator, which wants digits.
        QTest::newRow("decimal point") << int(bcCodeEAN13) << "12.5" << "Barcode must be numeric";
        QTest::newRow("unknown type") << 30 << "1" << "TfrBarcode: wrong BarcodeType";
        QTest::newRow("Code 93 lower case") << int(bcCode93) << "abc" << "TfrBarcode:Code93 bad Data <abc>";
    }
    void generatorErrorDrawsPlaceholderReportedOnce()
    {
        QFETCH(int, type);
        QFETCH(QString, code);
        QFETCH(QString, error);
        QStringList reported;
        const auto keep = TfrBarCodeView::ErrorReporter;
        TfrBarCodeView::ErrorReporter = [&](TfrBarCodeView *, const QString &e) { reported << e; };
        auto bar = makeBar();
        bar->SetBounds(10, 10, 120, 60);
        bar->BarType = quint8(type);
        bar->Memo = QStringList{code};
        QImage img;
        for (int i = 0; i < 3; ++i)
            img = draw(*bar);
        TfrBarCodeView::ErrorReporter = keep;
        QCOMPARE(bar->DrawError(), error);
        QCOMPARE(reported, QStringList{error});
        QCOMPARE(QSize(bar->Width, bar->Height), QSize(120, 60));
        QVERIFY(countColour(img, Qt::red) > 100);   // the placeholder's frame
        QCOMPARE(QColor(img.pixel(60, 10)), QColor(Qt::red));   // its top edge, between the corner marks
    }

    // Values a damaged or hostile file may hold are drawn without harm.
    void storedNonsenseIsHarmless_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<double>("rotation");
        QTest::addColumn<int>("type");
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("zoom infinite") << inf << 0.0 << int(bcCode39);
        QTest::newRow("zoom huge negative") << -1e300 << 90.0 << int(bcCode39);
        QTest::newRow("zoom nan") << nan << 0.0 << int(bcCodeEAN13);
        QTest::newRow("rotation nan") << 1.0 << nan << int(bcCode128B);
        QTest::newRow("rotation huge") << 1.0 << 1e300 << int(bcCodePostNet);
        QTest::newRow("rotation 45") << 1.0 << 45.0 << int(bcCode39);
        QTest::newRow("type 255") << 1.0 << 0.0 << 255;
    }
    void storedNonsenseIsHarmless()
    {
        QFETCH(double, zoom);
        QFETCH(double, rotation);
        QFETCH(int, type);
        auto bar = makeBar();
        bar->SetBounds(10, 10, 80, 60);
        bar->Zoom = zoom;
        bar->Rotation = rotation;
        bar->BarType = quint8(type);
        const auto keep = TfrBarCodeView::ErrorReporter;
        TfrBarCodeView::ErrorReporter = {};
        for (int mode : {0, 1}) {
            EngineMode = quint8(mode);
            bar->ZoomX = bar->ZoomY = 2;
            draw(*bar, QSize(300, 300));
            draw(*bar, QSize(300, 300));   // drawing again from the size the first draw left
        }
        TfrBarCodeView::ErrorReporter = keep;
        QVERIFY(std::abs(qint64(bar->Width)) <= (1 << 24) && std::abs(qint64(bar->Height)) <= (1 << 24));
    }

    void recordRoundTrip_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("template") << 0;
        QTest::newRow("prepared page") << 1;
    }
    void recordRoundTrip()
    {
        QFETCH(int, mode);
        auto a = makeBar();
        a->Name = QStringLiteral("条码1");
        a->SetBounds(5, 6, 70, 80);
        a->CalcCheckSum = false;
        a->ShowText = false;
        a->BarType = bcCodeUPC_E1;
        a->Zoom = 2.5;
        a->Rotation = 270;
        a->Memo = QStringList{QStringLiteral("[Code]")};
        a->RecordMode = quint8(mode);
        a->PrintText = a->Memo;
        const QByteArray bytes = save(*a);
        const QByteArray tail = bytes.right(24);
        QCOMPARE(tail.left(8), QByteArray::fromHex("0000001102000000"));
        auto b = makeBar();
        load(*b, bytes, mode);
        QCOMPARE(b->CalcCheckSum, false);
        QCOMPARE(b->ShowText, false);
        QCOMPARE(b->BarType, quint8(bcCodeUPC_E1));
        QCOMPARE(b->Zoom, 2.5);
        QCOMPARE(b->Rotation, 270.0);
        QCOMPARE(b->Memo, a->Memo);
        b->PrintText = b->Memo;
        QCOMPARE(save(*b), bytes);
    }

    void firstFormatHoldsDoubleZoom()
    {
        auto a = makeBar();
        a->Zoom = 4;
        QByteArray bytes = save(*a);
        bytes[bytes.size() - 20] = 1;   // the format mark
        auto b = makeBar();
        load(*b, bytes, 0);
        QCOMPARE(b->Zoom, 2.0);
        QCOMPARE(b->BarRecordFormat, 2);
        QCOMPARE(save(*b).mid(bytes.size() - 20, 4), QByteArray::fromHex("02000000"));
    }

    void printEvaluatesTheCode()
    {
        auto bar = makeBar();
        bar->SetBounds(0, 0, 50, 60);
        bar->Memo = QStringList{QStringLiteral("[Goods.\"Code\"]"), QStringLiteral("second")};
        bar->Tag = QStringLiteral("t[1]");
        EngineMode = 1;
        EngineHooks.Evaluate = [](const QString &e) -> QVariant {
            if (e == QLatin1String("[Goods.\"Code\"]"))
                return 6901234;
            throw EfrParserError(QStringLiteral("bad"));
        };
        EngineHooks.ExpandBracket = [](const QString &inner) { return inner + QLatin1Char('!'); };
        auto shown = printed(*bar);
        QVERIFY(shown);
        QCOMPARE(shown->Memo, QStringList({QStringLiteral("6901234"), QStringLiteral("second")}));
        QCOMPARE(shown->Tag, QStringLiteral("t1!"));
        QCOMPARE(bar->Tag, QStringLiteral("t[1]"));
        // A literal code is printed as it stands.
        bar->Memo = QStringList{QStringLiteral("ABC")};
        QCOMPARE(printed(*bar)->Memo, QStringList{QStringLiteral("ABC")});
    }

    void failedExpressionPrintsNothing()
    {
        auto bar = makeBar();
        bar->SetBounds(0, 0, 50, 60);
        bar->Memo = QStringList{QStringLiteral("[1/]")};
        EngineMode = 1;
        EngineHooks.Evaluate = [](const QString &) -> QVariant { throw EfrParserError(QStringLiteral("bad")); };
        auto shown = printed(*bar);
        QCOMPARE(shown->Memo, QStringList{QStringLiteral("0")});
        const QImage img = draw(*shown);
        QCOMPARE(countColour(img, Qt::gray), img.width() * img.height());

        bar->Visible = false;
        QByteArray raw;
        QVERIFY(!printed(*bar, &raw));
        QVERIFY(raw.isEmpty());
    }

    // A template holding every symbology is read back and prints and draws each one.
    void templateWithEverySymbology()
    {
        QByteArray frf;
        {
            TfrReport report;
            orv::test::TemplateBuilder b(report);
            b.page();
            for (int t = 0; t < frBarcodeTypeCount; ++t) {
                auto *bar = b.add<TfrBarCodeView>(0, 10, QStringLiteral("TfrBarCodeView"),
                                                  QStringLiteral("Bar%1").arg(t), QRect(10, 10 + 70 * t, 100, 60));
                bar->BarType = quint8(t);
                bar->Memo = QStringList{BarcodeTypes[t].Numeric ? QStringLiteral("1234567") : QStringLiteral("AB-12")};
            }
            frf = b.bytes();
        }
        TfrReport report;
        QCOMPARE(orv::test::readTemplate(report, frf), TfrLoadResult::Ok);
        EngineMode = 1;
        int drawn = 0;
        for (TfrView *v : report.Pages()[0]->Objects) {
            auto *bar = dynamic_cast<TfrBarCodeView *>(v);
            QVERIFY(bar);
            auto shown = printed(*bar);
            QVERIFY(shown);
            const QImage img = draw(*shown, QSize(400, 1700));
            QVERIFY2(shown->DrawError().isEmpty(), qPrintable(bar->Name + ": " + shown->DrawError()));
            QVERIFY2(countColour(img, Qt::black) > 200, qPrintable(bar->Name));
            ++drawn;
        }
        QCOMPARE(drawn, frBarcodeTypeCount);
    }

    void registeredAsAddIn()
    {
        int found = -1;
        for (int i = 0; i < AddInObjectCount(); ++i)
            if (AddInObject(i).ClassName == QLatin1String("TfrBarCodeView"))
                found = i;
        QVERIFY(found >= 0);
        QCOMPARE(GetLocalizedString(AddInObject(found).ButtonHint.toInt()), QStringLiteral("插入 Barcode 对象"));
        QVERIFY(!AddInObject(found).ButtonBmp.isNull());
        auto bar = makeBar();
        EnsurePropList(bar.get());
        QCOMPARE(bar->FindPropRec(QStringLiteral("Barcode"))->PropFlags, quint16(0x140));
        QCOMPARE(bar->FindPropRec(QStringLiteral("DataField"))->PropFlags, quint16(0x141));
    }

    // --- editor

    void editorShowsAndAppliesValues()
    {
        auto bar = makeBar();
        bar->Memo = QStringList{QStringLiteral("ABC")};
        bar->Rotation = 180;
        bar->Zoom = 1.5;
        int changes = 0;
        EditorHooks.BeforeChange = [&] { ++changes; };
        ScriptedPrompt prompt;
        prompt.expectModal([](QDialog *d) {
            auto *f = static_cast<TfrBarCodeForm *>(d);
            [&] {
                QCOMPARE(f->windowTitle(), QStringLiteral("条码编辑器"));
                QCOMPARE(f->findChild<QLineEdit *>(QStringLiteral("M1"))->text(), QStringLiteral("ABC"));
                QCOMPARE(f->typeCombo->count(), 23);
                QCOMPARE(f->typeCombo->itemText(0), QStringLiteral("2_5_interleaved"));
                QCOMPARE(f->typeCombo->currentIndex(), 3);
                QCOMPARE(f->zoomEdit->text(), QStringLiteral("1.5"));
                QVERIFY(f->findChild<QRadioButton *>(QStringLiteral("RB3"))->isChecked());
                QCOMPARE(f->viewTextBox->text(), QStringLiteral("目读数字(&H)"));
            }();
            f->codeEdit->setText(QStringLiteral("590123412345"));
            f->findChild<QComboBox *>(QStringLiteral("cbType"))->setCurrentIndex(bcCodeEAN13);
            f->findChild<QCheckBox *>(QStringLiteral("ckViewText"))->setChecked(false);
            f->findChild<QLineEdit *>(QStringLiteral("eZoom"))->setText(QStringLiteral("2"));
            f->findChild<QRadioButton *>(QStringLiteral("RB2"))->setChecked(true);
            f->bOkClick();
            return d->result();
        });
        bar->ShowEditor();
        QVERIFY(prompt.verifyDone());
        QCOMPARE(changes, 1);
        QCOMPARE(bar->Memo, QStringList{QStringLiteral("590123412345")});
        QCOMPARE(bar->BarType, quint8(bcCodeEAN13));
        QCOMPARE(bar->ShowText, false);
        QCOMPARE(bar->Zoom, 2.0);
        QCOMPARE(bar->Rotation, 90.0);
    }

    void editorRefusesBeforeApplyingAnything_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<QString>("message");
        QTest::newRow("code") << "12.5" << "2" << "条码错误";
        QTest::newRow("zoom") << "590123412345" << "abc" << "'abc' is not a valid floating point value";
    }
    void editorRefusesBeforeApplyingAnything()
    {
        QFETCH(QString, code);
        QFETCH(QString, zoom);
        QFETCH(QString, message);
        auto bar = makeBar();
        int changes = 0;
        EditorHooks.BeforeChange = [&] { ++changes; };
        ScriptedPrompt prompt;
        prompt.expectModal([&](QDialog *d) {
            auto *f = static_cast<TfrBarCodeForm *>(d);
            f->codeEdit->setText(code);
            f->typeCombo->setCurrentIndex(bcCodeEAN13);
            f->zoomEdit->setText(zoom);
            f->rotation90->setChecked(true);
            f->bOkClick();   // refused: the dialog stays open
            const bool open = d->isVisible() && d->result() != QDialog::Accepted;
            f->cancelButton->click();
            return open ? d->result() : int(QDialog::Accepted);
        });
        prompt.expectMessage(message, QMessageBox::Ok, QStringLiteral("错误"));
        bar->ShowEditor();
        QVERIFY(prompt.verifyDone());
        QCOMPARE(changes, 0);
        QCOMPARE(bar->Memo, QStringList{QStringLiteral("12345678")});
        QCOMPARE(bar->BarType, quint8(bcCode39));
        QCOMPARE(bar->Zoom, 1.0);
        QCOMPARE(bar->Rotation, 0.0);
    }

    void editorExpressionSkipsTrialAndZoomButtons()
    {
        TfrBarCodeForm f;
        QString answer = QStringLiteral("[Goods.\"Code\"]");
        EditorHooks.InsertExpression = [&] { return answer; };
        f.ExprBtnClick();
        QCOMPARE(f.codeEdit->text(), answer);
        answer.clear();
        f.ExprBtnClick();   // nothing chosen: the code stays
        QCOMPARE(f.codeEdit->text(), QStringLiteral("[Goods.\"Code\"]"));

        QCOMPARE(f.zoomEdit->text(), QStringLiteral("1"));
        f.frSpeedButton1Click();
        QCOMPARE(f.zoomEdit->text(), QStringLiteral("2"));
        f.frSpeedButton2Click();
        f.frSpeedButton2Click();
        QCOMPARE(f.zoomEdit->text(), QStringLiteral("1"));
        f.zoomEdit->setText(QStringLiteral("0.5"));
        f.frSpeedButton2Click();
        QCOMPARE(f.zoomEdit->text(), QStringLiteral("1"));

        // An expression is not tried against the symbology.
        f.typeCombo->setCurrentIndex(bcCodeEAN13);
        f.codeEdit->setText(QStringLiteral("[Goods.\"Code\"]"));
        f.bOkClick();
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(f.Result().Code, QStringLiteral("[Goods.\"Code\"]"));
    }
};

QTEST_MAIN(TestBarCodeView)
#include "tst_barcodeview.moc"
