#include "report/designer/frcolorselector.h"

#include "report/engine/frfonts.h"
#include "report/engine/frlocale.h"
#include "report/engine/frspeedbutton.h"
#include "report/engine/frview.h"

#include "common/prompt.h"

#include <QPainter>

qint32 frToEngineColor(const QColor &c) { return qint32(c.red() | (c.green() << 8) | (c.blue() << 16)); }

namespace {
QImage swatch(const QColor &c, int size, int height)
{
    QImage img(size, height, QImage::Format_RGB32);
    img.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter p(&img);
    p.fillRect(0, 0, size, size, c);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(0, 0, size - 1, size - 1);
    return img;
}
} // namespace

const std::array<qint32, 16> &TColorSelector::Colors()
{
    static const std::array<qint32, 16> colors = [] {
        const int rgb[16][3] = {{255, 255, 255}, {0, 0, 0},     {128, 0, 0},   {0, 128, 0},
                                {128, 128, 0},   {0, 0, 128},   {128, 0, 128}, {0, 128, 128},
                                {128, 128, 128}, {192, 192, 192}, {255, 0, 0}, {0, 255, 0},
                                {255, 255, 0},   {0, 0, 255},   {255, 0, 255}, {0, 255, 255}};
        std::array<qint32, 16> out{};
        for (int i = 0; i < 16; ++i)
            out[size_t(i)] = frToEngineColor(QColor(rgb[i][0], rgb[i][1], rgb[i][2]));
        return out;
    }();
    return colors;
}

TColorSelector::TColorSelector(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ColorSelector"));
    resize(96, 132);
    setAutoFillBackground(true);
    for (int i = 0; i < 18; ++i) {
        auto *b = new TfrSpeedButton(this);
        b->setObjectName(QStringLiteral("ColorButton%1").arg(i));
        b->SetFlat(true);
        b->SetGrayedInactive(false);
        b->SetGroupIndex(1);
        if (i < 16) {
            b->setGeometry(4 + (i % 4) * 22, 4 + (i / 4) * 22, 22, 22);
            b->SetGlyph(swatch(FrColor(Colors()[size_t(i)]), 16, 17));
        } else {
            b->setGeometry(4, i == 16 ? 92 : 110, 88, 18);
            b->SetCaption(GetLocalizedString(i == 16 ? 55229 : 55230));
        }
        connect(b, &TfrSpeedButton::clicked, this, [this, i] { Choose(i); });
        m_buttons[size_t(i)] = b;
    }
}

void TColorSelector::SetColor(qint32 color)
{
    m_color = color;
    TfrSpeedButton *other = m_buttons[17];
    const auto &colors = Colors();
    for (int i = 0; i < 16; ++i)
        if (colors[size_t(i)] == color) {
            m_buttons[size_t(i)]->SetDown(true);
            other->SetGlyph(QImage());
            return;
        }
    if (color == clTransparent) {
        m_buttons[16]->SetDown(true);
        other->SetGlyph(QImage());
        return;
    }
    other->SetGlyph(swatch(FrColor(color), 12, 13));
}

void TColorSelector::Choose(int tag)
{
    if (tag < 16) {
        m_color = Colors()[size_t(tag)];
    } else if (tag == 16) {
        m_color = clTransparent;
    } else {
        hide();
        QColor chosen;
        if (!orv::prompt().chooseColor(window(), FrColor(m_color), chosen))
            return;
        m_color = frToEngineColor(chosen);
    }
    hide();
    if (OnColorSelected)
        OnColorSelected(this);
}
