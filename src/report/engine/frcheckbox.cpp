#include "report/engine/frcheckbox.h"

#include "report/engine/frfonts.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

void RegisterCheckBoxAddIn()
{
    QImage glyph(16, 16, QImage::Format_ARGB32);
    glyph.fill(Qt::transparent);
    {
        QPainter p(&glyph);
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(QRect(2, 2, 11, 11));
        p.drawLine(4, 8, 7, 11);
        p.drawLine(7, 11, 12, 4);
    }
    RegisterAddInObject(QStringLiteral("TfrCheckBoxView"), [] { return new TfrCheckBoxView; }, glyph,
                        QStringLiteral("55224"));
}

TfrCheckBoxView::TfrCheckBoxView()
{
    TypeCode = 10;
    BaseName = QStringLiteral("Check");
    FrameWidth = 2;
    FrameTyp = 15;
    if (EngineHooks.SetScriptConstant) {
        EngineHooks.SetScriptConstant(QStringLiteral("csCross"), 0);
        EngineHooks.SetScriptConstant(QStringLiteral("csCheck"), 1);
    }
}

void TfrCheckBoxView::DefinePropList()
{
    TfrView::DefinePropList();
    AddEnumProperty(QStringLiteral("CheckStyle"), QStringLiteral("csCross;csCheck"), {0, 1});
    AddProperty(QStringLiteral("CheckColor"), 0x10);
    AddProperty(QStringLiteral("DataField"), 0x141, [this] {
        if (EditorHooks.DataField)
            EditorHooks.DataField(this);
    });
}

void TfrCheckBoxView::SetPropValue(const QString &name, const QVariant &value)
{
    TfrView::SetPropValue(name, value);
    const QString n = name.toUpper();
    if (n == QLatin1String("CHECKSTYLE"))
        CheckStyle = quint8(value.toInt());
    else if (n == QLatin1String("CHECKCOLOR"))
        CheckColor = value.toInt();
}

QVariant TfrCheckBoxView::GetPropValue(const QString &name)
{
    QVariant v = TfrView::GetPropValue(name);
    if (!v.isNull())
        return v;
    const QString n = name.toUpper();
    if (n == QLatin1String("CHECKSTYLE")) return int(CheckStyle);
    if (n == QLatin1String("CHECKCOLOR")) return CheckColor;
    return {};
}

void TfrCheckBoxView::SaveToStream(QIODevice &s)
{
    TfrView::SaveToStream(s);
    WriteStreamByte(s, CheckStyle);
    WriteStreamInt(s, CheckColor);
}

void TfrCheckBoxView::LoadFromStream(QIODevice &s)
{
    TfrView::LoadFromStream(s);
    if (StreamVersion >= 24) {
        CheckStyle = ReadStreamByte(s);
        CheckColor = ReadStreamInt(s);
    }
}

qint64 TruncateCheckValue(double v)
{
    if (std::isnan(v))
        throw std::runtime_error("Invalid floating point operation");
    // Values beyond the 64-bit range are still non-zero: they saturate and stay checked.
    constexpr double limit = 9223372036854775807.0;   // rounds to 2^63
    if (v >= limit)
        return std::numeric_limits<qint64>::max();
    if (v <= -limit)
        return std::numeric_limits<qint64>::min();
    return qint64(std::trunc(v));
}

bool TfrCheckBoxView::IsChecked() const
{
    if (EngineMode == 0)
        return true;
    return !PrintText.isEmpty() && !PrintText.first().isEmpty() && !PrintText.first().startsWith(QLatin1Char('0'));
}

void TfrCheckBoxView::Draw(QPainter *canvas)
{
    AttachCanvas(canvas);
    PrintText = Memo;
    BeginDraw();
    ShowBackground();
    if (Canvas && IsChecked() && DrawRect.height() > 0) {
        // The symbol font's check and cross, drawn from a font we ship, at the
        // cell height of the drawing rectangle.
        const QString mark = CheckStyle == csCheck ? QString(QChar(0x2714)) : QString(QChar(0x2718));
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(100);
        f.setHintingPreference(QFont::PreferNoHinting);
        const QFontMetricsF ref(f);
        const int cell = DrawRect.height();
        f.setPixelSize(int(std::clamp(cell * 100.0 / (ref.ascent() + ref.descent()), 1.0, 4096.0)));
        const QFontMetricsF fm(f);
        const int w = qRound(fm.horizontalAdvance(mark));
        QPainter *p = Canvas;
        p->save();
        p->setClipRect(DrawRect, Qt::IntersectClip);
        p->setFont(f);
        p->setPen(FrColor(CheckColor));
        p->drawText(QPointF(DrawRect.x() + (DrawRect.width() - w) / 2, DrawRect.y() + fm.ascent()), mark);
        p->restore();
    }
    ShowFrame();
    EndDraw();
}

void TfrCheckBoxView::Print(QIODevice &stream)
{
    if (!BeginPrint())
        return;
    const QString savedTag = Tag;
    ExpandVariables(Tag);
    if (!PrintText.isEmpty()) {
        double v;
        if (EngineHooks.Evaluate) {
            const QVariant value = EngineHooks.Evaluate(PrintText.first());
            bool ok = false;
            v = value.toDouble(&ok);
            if (!ok)
                throw std::runtime_error(("'" + value.toString().toStdString() + "' is not a valid floating point value"));
        } else {
            bool ok = false;
            v = PrintText.first().trimmed().toDouble(&ok);
            if (!ok)
                throw std::runtime_error(("'" + PrintText.first().toStdString() + "' is not a valid floating point value"));
        }
        PrintText[0] = QString::number(TruncateCheckValue(v));
    }
    WritePreparedRecord(stream);
    Tag = savedTag;
}

void TfrCheckBoxView::ExportData()
{
    TfrView::ExportData();
    const bool on = !Memo.isEmpty() && !Memo.first().isEmpty() && !Memo.first().startsWith(QLatin1Char('0'));
    if (EngineHooks.ExportText)
        EngineHooks.ExportText(on ? QStringLiteral("X") : QString(), DrawRect, Left, Top, 0);
}
