#include "report/engine/frbarcodeview.h"

#include "report/engine/frbarcodeform.h"
#include "report/engine/frfonts.h"
#include "report/engine/frlocale.h"
#include "report/engine/frvalue.h"
#include "report/engine/frxml.h"

#include "common/prompt.h"

#include <QDebug>
#include <QFontMetrics>
#include <QRegularExpression>

#include <cmath>

namespace {

const QString kDesignerCode = QStringLiteral("12345678");

// Restores the painter however the drawing ends.
class PainterState {
public:
    explicit PainterState(QPainter *p) : m_p(p) { if (m_p) m_p->save(); }
    ~PainterState() { if (m_p) m_p->restore(); }
    PainterState(const PainterState &) = delete;
    PainterState &operator=(const PainterState &) = delete;
private:
    QPainter *m_p;
};

// A decimal number: optional sign, digits, optional fraction and exponent.
bool readsAsNumber(const QString &code)
{
    static const QRegularExpression re(
        QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    return re.match(code.trimmed()).hasMatch();
}

QImage buttonGlyph()
{
    QImage glyph(16, 16, QImage::Format_ARGB32);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    p.fillRect(QRect(1, 2, 14, 12), Qt::white);
    const int bars[] = {2, 1, 1, 2, 1, 3, 1, 1, 2, 1};
    int x = 2;
    for (int i = 0; i < 10 && x < 14; ++i) {
        if (i % 2 == 0)
            p.fillRect(QRect(x, 3, bars[i], 10), Qt::black);
        x += bars[i];
    }
    return glyph;
}

} // namespace

std::function<void(TfrBarCodeView *, const QString &)> TfrBarCodeView::ErrorReporter =
    [](TfrBarCodeView *view, const QString &error) {
        qWarning("Barcode %s: %s", qPrintable(view->Name), qPrintable(error));
    };

void RegisterBarCodeAddIn()
{
    TfrLocale::RegisterBitmap(QStringLiteral("FR_BARCODEVIEW"), buttonGlyph());
    RegisterAddInObject(QStringLiteral("TfrBarCodeView"), [] { return new TfrBarCodeView; },
                        GetEngineLocale()->LoadBitmap(QStringLiteral("FR_BARCODEVIEW")),
                        QStringLiteral("55338"));
}

TfrBarCodeView::TfrBarCodeView()
{
    TypeCode = 10;
    BaseName = QStringLiteral("Bar");
    Memo = QStringList{kDesignerCode};
}

void TfrBarCodeView::DefinePropList()
{
    TfrView::DefinePropList();
    AddProperty(QStringLiteral("Barcode"), 0x140, [this] { ShowEditor(); });
    AddProperty(QStringLiteral("DataField"), 0x141, [this] {
        if (EditorHooks.DataField)
            EditorHooks.DataField(this);
    });
}

// ---------------------------------------------------------------------------
// Record

void TfrBarCodeView::SaveToStream(QIODevice &s)
{
    TfrView::SaveToStream(s);
    WriteStreamByte(s, CalcCheckSum ? 1 : 0);
    WriteStreamByte(s, ShowText ? 1 : 0);
    WriteStreamByte(s, Reserved);
    WriteStreamByte(s, BarType);
    WriteStreamInt(s, 2);
    WriteStreamDouble(s, Zoom);
    WriteStreamDouble(s, Rotation);
}

void TfrBarCodeView::LoadFromStream(QIODevice &s)
{
    TfrView::LoadFromStream(s);
    CalcCheckSum = ReadStreamByte(s) != 0;
    ShowText = ReadStreamByte(s) != 0;
    Reserved = ReadStreamByte(s);
    BarType = ReadStreamByte(s);
    BarRecordFormat = ReadStreamInt(s);
    Zoom = ReadStreamDouble(s);
    Rotation = ReadStreamDouble(s);
    if (BarRecordFormat == 1) {
        // The first layout kept twice the zoom.
        Zoom /= 2;
        BarRecordFormat = 2;
    }
}

// ---------------------------------------------------------------------------
// Printing into a prepared page

void TfrBarCodeView::Print(QIODevice &stream)
{
    if (!BeginPrint())
        return;
    const QString keptTag = Tag;
    if (Tag.contains(QLatin1Char('[')))
        ExpandVariables(Tag);
    if (!PrintText.isEmpty() && PrintText.first().startsWith(QLatin1Char('['))) {
        // A code that cannot be evaluated prints as "0": nothing at all.
        QString value = QStringLiteral("0");
        if (EngineHooks.Evaluate) {
            try {
                value = frVarToStr(EngineHooks.Evaluate(PrintText.first()));
            } catch (const std::exception &) {
                value = QStringLiteral("0");
            }
        }
        PrintText[0] = value;
    }
    WritePreparedRecord(stream);
    Tag = keptTag;
}

// ---------------------------------------------------------------------------
// Drawing

void TfrBarCodeView::Draw(QPainter *canvas)
{
    if (Width < 0 || Height < 0)
        return;
    if (Memo.size() == 1 && Memo.first().isEmpty())
        return;
    AttachCanvas(canvas);
    PrintText = Memo;
    const int keptWidth = Width, keptHeight = Height;
    QString error;
    try {
        DrawBars();
        m_drawError.clear();
        return;
    } catch (const EfrBarcodeError &e) {
        error = e.message();
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    }
    // The generator refused the code: a framed placeholder with its text, and one report.
    Width = keptWidth;
    Height = keptHeight;
    m_drawError = error;
    if (error != m_reportedError) {
        m_reportedError = error;
        if (ErrorReporter)
            ErrorReporter(this, error);
    }
    DrawPlaceholder(error);
}

void TfrBarCodeView::DrawBars()
{
    QString code = PrintText.isEmpty() || PrintText.first().startsWith(QLatin1Char('['))
                       ? kDesignerCode : PrintText.first();
    Barcode.SetAngle(Rotation);
    Barcode.SetRatio(2);
    Barcode.SetModul(1);
    Barcode.SetChecksum(CalcCheckSum);
    Barcode.SetColor(FillColor == clTransparent ? QColor(Qt::white) : FrColor(FillColor));
    Barcode.SetTyp(BarType);
    if (BarType < frBarcodeTypeCount && BarcodeTypes[BarType].Numeric && !readsAsNumber(code))
        code = kDesignerCode;
    Barcode.SetText(code);

    const bool vertical = Rotation == 90 || Rotation == 270;
    int &length = vertical ? Height : Width;
    const int barsLength = Barcode.Width();   // the generator's errors leave here
    // A stored zoom may be anything; the length stays within what a page can hold.
    constexpr int kMaxLength = 1 << 24;
    const int fitted = std::isnan(Zoom) ? 0 : qBound(-kMaxLength, frRound(barsLength * Zoom), kMaxLength);
    length = barsLength;
    // The code "0" (also what a failed expression prints) draws nothing; checked on the
    // code itself, since padding symbologies would turn it into a row of zeros.
    if (code.trimmed() == QLatin1String("0"))
        return;

    // The bars are laid out at their own length, then stretched to the fitted one.
    const int w = Width, h = Height;
    const int barHeight = (vertical ? w : h) - (ShowText ? 14 : 0);
    Barcode.SetLeft(0);
    Barcode.SetTop(0);
    Barcode.SetHeight(barHeight);
    if (BarType == bcCodePostNet && Rotation == 0) {
        Barcode.SetTop(barHeight);
        Barcode.SetHeight(-barHeight);   // bars stand on a common base line
    } else if (Rotation == 180) {
        Barcode.SetTop(h - barHeight);
    } else if (Rotation == 270) {
        Barcode.SetLeft(w - barHeight);
    }
    length = fitted;

    BeginDraw();
    struct EndDrawAtExit {
        TfrView *v;
        ~EndDrawAtExit() { v->EndDraw(); }
    } endDraw{this};
    ShowBackground();
    if (Canvas) {
        PainterState state(Canvas);
        // The recording's corners (0, 0) and (w, h) land on the corners of DrawRect, so
        // a whole zoom makes every module a whole number of pixels. The recording holds
        // its edges (turned bars reach the unit at w or h): the clip covers them too.
        const double sx = w > 0 ? qMax(0.0, (DrawRect.width() - 1.0) / w) : 1.0;
        const double sy = h > 0 ? qMax(0.0, (DrawRect.height() - 1.0) / h) : 1.0;
        Canvas->setClipRect(QRectF(DrawRect.x(), DrawRect.y(), (w + 1.0) * sx, (h + 1.0) * sy),
                            Qt::IntersectClip);
        Canvas->translate(DrawRect.x(), DrawRect.y());
        Canvas->scale(sx, sy);
        Barcode.RenderTo(Canvas);
        if (ShowText) {
            TfrFont f;
            f.Name = QStringLiteral("Courier New");
            const QFont font = MakeQFont(f, 12);
            const QFontMetrics fm(font);
            const QString text = Barcode.Text();
            const int tw = fm.horizontalAdvance(text);
            int x, y;
            if (Rotation == 0) {
                x = (w - tw) / 2;
                y = h - 12;
            } else if (Rotation == 90) {
                x = w - 12;
                y = h - (h - tw) / 2;
            } else if (Rotation == 180) {
                x = w - (w - tw) / 2;
                y = 12;
            } else {
                x = 12;
                y = (h - tw) / 2;
            }
            Canvas->setFont(font);
            Canvas->setPen(Qt::black);
            Canvas->translate(x, y);
            Canvas->rotate(-Rotation);   // counter-clockwise on the screen
            Canvas->drawText(QPoint(0, fm.ascent()), text);
        }
    }
    ShowFrame();
}

void TfrBarCodeView::DrawPlaceholder(const QString &error)
{
    BeginDraw();
    ShowBackground();
    if (Canvas && DrawRect.width() > 1 && DrawRect.height() > 1) {
        PainterState state(Canvas);
        Canvas->setClipRect(DrawRect, Qt::IntersectClip);
        Canvas->setRenderHint(QPainter::Antialiasing, false);
        Canvas->setPen(QPen(Qt::red, 1));
        Canvas->setBrush(Qt::NoBrush);
        Canvas->drawRect(DrawRect.adjusted(0, 0, -1, -1));
        TfrFont f;
        f.Name = QStringLiteral("Arial");
        Canvas->setFont(MakeQFont(f, FontPixelHeight(8, ZoomY)));
        Canvas->drawText(DrawRect.adjusted(2, 1, -2, -1), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         error);
    }
    ShowFrame();
    EndDraw();
}

// ---------------------------------------------------------------------------
// Editor

void TfrBarCodeView::ShowEditor()
{
    TfrBarCodeForm form;
    form.SetValues(*this);
    if (orv::prompt().runModal(&form) != QDialog::Accepted)
        return;
    if (EditorHooks.BeforeChange)
        EditorHooks.BeforeChange();
    const TfrBarCodeForm::Values &v = form.Result();
    Memo = QStringList{v.Code};
    Zoom = v.Zoom;
    CalcCheckSum = v.CheckSum;
    ShowText = v.ViewText;
    BarType = quint8(v.BarType);
    Rotation = v.Rotation;
}

// ---------------------------------------------------------------------------
// XML form

void TfrBarCodeView::SaveToXML(TfrXmlWriter &xml)
{
    TfrView::SaveToXML(xml);
    if (!Memo.isEmpty())
        xml.Attr(QStringLiteral("Text"), Memo.first());
    xml.Attr(QStringLiteral("BarType"), BarType);
    xml.Attr(QStringLiteral("CalcCheckSum"), CalcCheckSum ? 1 : 0);
    xml.FloatAttr(QStringLiteral("Rotation"), Rotation);
    xml.Attr(QStringLiteral("ShowText"), ShowText ? 1 : 0);
    xml.FloatAttr(QStringLiteral("Zoom"), Zoom);
    xml.DataFieldAttrs(Memo.isEmpty() ? QString() : Memo.first());
}
