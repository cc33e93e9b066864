#include "report/engine/frspeedbutton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QHash>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <qdrawutil.h>

#include <map>
#include <tuple>

namespace {

// Built images of every button, shared while any button shows them: a glyph
// set on many buttons (the same bitmap) is cut and greyed once.
using ImageKey = std::tuple<qint64, int, int, QRgb, QRgb, QRgb>;
std::map<ImageKey, std::weak_ptr<const QPixmap>> &imageCache()
{
    static std::map<ImageKey, std::weak_ptr<const QPixmap>> cache;
    return cache;
}

void pruneCache()
{
    auto &c = imageCache();
    for (auto it = c.begin(); it != c.end();)
        it = it->second.expired() ? c.erase(it) : std::next(it);
}

QImage withMask(QImage img, QRgb maskColor)
{
    img = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (maskColor & 0xFFFFFF) || qAlpha(line[x]) == 0)
                line[x] = 0;
    }
    return img;
}

// The 8x8 pattern of a down button: the face colour with white where row and column have the same parity.
QBrush downPattern(const QColor &face)
{
    QImage pat(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pat.setPixel(x, y, ((x + y) % 2 == 0) ? qRgb(255, 255, 255) : face.rgb());
    return QBrush(pat);
}

} // namespace

// ---------------------------------------------------------------------------

void TButtonGlyph::SetGlyph(const QImage &glyph)
{
    m_built = {};
    m_sourceKey = glyph.cacheKey();
    m_glyph = glyph.convertToFormat(QImage::Format_ARGB32);
    if (glyph.isNull()) {
        m_glyph = QImage();
        return;
    }
    // An empty bitmap has no height to divide by; it keeps the count.
    if (m_glyph.height() > 0 && m_glyph.width() % m_glyph.height() == 0) {
        const int n = m_glyph.width() / m_glyph.height();
        m_numGlyphs = n < 5 ? qMax(1, n) : 1;
    }
    // The bitmap's own transparent colour: its lower left pixel.
    if (m_glyph.width() > 0 && m_glyph.height() > 0)
        m_transparent = m_glyph.pixel(0, m_glyph.height() - 1) | 0xFF000000;
}

void TButtonGlyph::SetNumGlyphs(int n)
{
    n = qBound(1, n, 4);
    if (n == m_numGlyphs)
        return;
    m_numGlyphs = n;
    m_built = {};
}

QSize TButtonGlyph::ImageSize() const
{
    if (m_glyph.isNull())
        return {0, 0};
    return {m_glyph.width() / m_numGlyphs, m_glyph.height()};
}

QImage TButtonGlyph::SourceImage(int index) const
{
    if (index >= m_numGlyphs)
        index = 0;
    const QSize s = ImageSize();
    return m_glyph.copy(index * s.width(), 0, s.width(), s.height());
}

int TButtonGlyph::SharedImageCount()
{
    pruneCache();
    return int(imageCache().size());
}

QPixmap TButtonGlyph::Image(TfrButtonState state, const QColor &face, const QColor &highlight,
                            const QColor &shadow)
{
    if (m_glyph.isNull() || ImageSize().isEmpty())
        return {};
    // With fewer than three images the pressed look is the up image.
    if (state == bsDown && m_numGlyphs < 3)
        state = bsUp;
    if (auto &b = m_built[size_t(state)])
        return *b;

    const ImageKey key{m_sourceKey, m_numGlyphs, int(state), face.rgb(), highlight.rgb(), shadow.rgb()};
    auto &cache = imageCache();
    if (auto it = cache.find(key); it != cache.end())
        if (auto shared = it->second.lock()) {
            m_built[size_t(state)] = shared;
            return *shared;
        }

    const QRgb transparent = m_transparent;
    QImage img;
    switch (state) {
    case bsUp:
    case bsDown:
    case bsExclusive:
        img = withMask(SourceImage(int(state)), transparent);
        break;
    case bsDisabled:
        if (m_numGlyphs < 2) {
            // The classic embossed look: the dark pixels' shape in the highlight colour one
            // pixel right and down, then in the shadow colour in place.
            const QImage src = SourceImage(0);
            QImage out(src.size(), QImage::Format_ARGB32);
            out.fill(face);
            auto ink = [&](int x, int y) {
                if (x < 0 || y < 0 || x >= src.width() || y >= src.height())
                    return false;
                const QRgb c = src.pixel(x, y);
                if ((c & 0xFFFFFF) == (transparent & 0xFFFFFF) || qAlpha(c) == 0)
                    return false;
                return qGray(c) < 192;
            };
            for (int y = 0; y < out.height(); ++y)
                for (int x = 0; x < out.width(); ++x)
                    if (ink(x - 1, y - 1))
                        out.setPixel(x, y, highlight.rgb());
            for (int y = 0; y < out.height(); ++y)
                for (int x = 0; x < out.width(); ++x)
                    if (ink(x, y))
                        out.setPixel(x, y, shadow.rgb());
            img = withMask(out, face.rgb());
        } else {
            QImage src = SourceImage(1);
            for (int y = 0; y < src.height(); ++y)
                for (int x = 0; x < src.width(); ++x) {
                    const QRgb c = src.pixel(x, y) | 0xFF000000;
                    if (c == qRgb(255, 255, 255))
                        src.setPixel(x, y, highlight.rgb());
                    else if (c == qRgb(128, 128, 128))
                        src.setPixel(x, y, shadow.rgb());
                    else if ((c & 0xFFFFFF) == (transparent & 0xFFFFFF) || qAlpha(src.pixel(x, y)) == 0)
                        src.setPixel(x, y, face.rgb());
                }
            img = withMask(src, face.rgb());
        }
        break;
    case bsGrayed: {
        QImage src = SourceImage(0);
        const QRgb faceRgb = face.rgb();
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                const QRgb raw = src.pixel(x, y);
                const QRgb c = raw | 0xFF000000;
                if ((c & 0xFFFFFF) == (transparent & 0xFFFFFF) || qAlpha(raw) == 0) {
                    src.setPixel(x, y, faceRgb);
                } else if (c != faceRgb) {
                    const int l = (77 * qRed(c) + 150 * qGreen(c) + 29 * qBlue(c)) / 256;
                    src.setPixel(x, y, qRgb(l, l, l));
                }
            }
        img = withMask(src, faceRgb);
        break;
    }
    }
    auto built = std::make_shared<const QPixmap>(QPixmap::fromImage(img));
    pruneCache();
    cache[key] = built;
    m_built[size_t(state)] = built;
    return *built;
}

// ---------------------------------------------------------------------------

TfrSpeedButton::TfrSpeedButton(QWidget *parent) : QWidget(parent)
{
    resize(22, 22);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

TfrSpeedButton::~TfrSpeedButton() = default;

void TfrSpeedButton::SetAllowAllUp(bool v)
{
    if (v == m_allowAllUp)
        return;
    m_allowAllUp = v;
    ReleaseGroup();
}

void TfrSpeedButton::SetGroupIndex(int v)
{
    if (v == m_groupIndex)
        return;
    m_groupIndex = v;
    ReleaseGroup();
}

void TfrSpeedButton::SetDown(bool v)
{
    if (m_groupIndex == 0)
        v = false;
    if (v == m_down)
        return;
    if (m_down && !m_allowAllUp)
        return;
    m_down = v;
    m_state = v ? bsExclusive : bsUp;
    update();
    if (v)
        ReleaseGroup();
}

void TfrSpeedButton::SetFlat(bool v)
{
    if (v == m_flat)
        return;
    m_flat = v;
    update();
}

void TfrSpeedButton::SetCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    UpdateShortcut();
    update();
}

void TfrSpeedButton::SetGlyph(const QImage &glyph)
{
    m_glyph.SetGlyph(glyph);
    update();
}

void TfrSpeedButton::SetGrayedInactive(bool v)
{
    if (v == m_grayedInactive)
        return;
    m_grayedInactive = v;
    update();
}

void TfrSpeedButton::SetLayout(TfrButtonLayout v)
{
    if (v == m_layout)
        return;
    m_layout = v;
    update();
}

void TfrSpeedButton::SetMargin(int v)
{
    if (v == m_margin || v < -1)
        return;
    m_margin = v;
    update();
}

void TfrSpeedButton::SetNumGlyphs(int v)
{
    m_glyph.SetNumGlyphs(qMin(v, 4));
    update();
}

void TfrSpeedButton::SetSpacing(int v)
{
    if (v == m_spacing)
        return;
    m_spacing = v;
    update();
}

void TfrSpeedButton::ReleaseGroup()
{
    if (m_groupIndex == 0 || !parentWidget())
        return;
    for (QObject *o : parentWidget()->children())
        if (auto *b = qobject_cast<TfrSpeedButton *>(o))
            b->ButtonPressed(this);
}

void TfrSpeedButton::ButtonPressed(TfrSpeedButton *sender)
{
    if (sender == this || sender->m_groupIndex != m_groupIndex)
        return;
    if (sender->m_down && m_down) {
        m_down = false;
        m_state = bsUp;
        update();
    }
    m_allowAllUp = sender->m_allowAllUp;
}

void TfrSpeedButton::UpdateShortcut()
{
    delete m_shortcut;
    m_shortcut = nullptr;
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    if (key.isEmpty())
        return;
    m_shortcut = new QShortcut(key, this);
    connect(m_shortcut, &QShortcut::activated, this, [this] {
        if (isEnabled())
            emit clicked();
    });
}

bool TfrSpeedButton::UnderPointer() const
{
    return underMouse();
}

TfrButtonState TfrSpeedButton::PaintState() const
{
    if (!isEnabled())
        return bsDisabled;
    if (m_flat && m_grayedInactive && !m_mouseInControl && !DesignTime)
        return bsGrayed;
    return m_state;
}

void TfrSpeedButton::CalcLayout(QPoint &glyphPos, QRect &textRect) const
{
    const int inset = m_flat ? 1 : 2;
    const QRect client = rect().adjusted(inset, inset, -inset, -inset);
    const QSize g = m_glyph.ImageSize();
    QSize t(0, 0);
    if (!m_caption.isEmpty()) {
        const QRect r = fontMetrics().boundingRect(QRect(0, 0, client.width(), 0), Qt::TextShowMnemonic,
                                                   m_caption);
        t = r.size();
    }
    const bool horizontal = m_layout == blGlyphLeft || m_layout == blGlyphRight;
    const int clientAlong = horizontal ? client.width() : client.height();
    const int glyphAlong = horizontal ? g.width() : g.height();
    const int textAlong = horizontal ? t.width() : t.height();

    QPoint gp, tp;
    if (horizontal) {
        gp.setY((client.height() - g.height() + 1) / 2);
        tp.setY((client.height() - t.height() + 1) / 2);
    } else {
        gp.setX((client.width() - g.width() + 1) / 2);
        tp.setX((client.width() - t.width() + 1) / 2);
    }
    int spacing = m_spacing;
    int margin = m_margin;
    if (textAlong == 0 || glyphAlong == 0)
        spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (clientAlong - (glyphAlong + textAlong)) / 3;
            spacing = margin;
        } else {
            margin = (clientAlong - (glyphAlong + spacing + textAlong) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (clientAlong - (margin + glyphAlong) - textAlong) / 2;
    }
    switch (m_layout) {
    case blGlyphLeft:
        gp.setX(margin);
        tp.setX(gp.x() + g.width() + spacing);
        break;
    case blGlyphRight:
        gp.setX(client.width() - margin - g.width());
        tp.setX(gp.x() - spacing - t.width());
        break;
    case blGlyphTop:
        gp.setY(margin);
        tp.setY(gp.y() + g.height() + spacing);
        break;
    case blGlyphBottom:
        gp.setY(client.height() - margin - g.height());
        tp.setY(gp.y() - spacing - t.height());
        break;
    }
    glyphPos = gp + client.topLeft();
    textRect = QRect(tp + client.topLeft(), t);
}

void TfrSpeedButton::DrawGlyph(QPainter &p, int x, int y, bool enabled)
{
    const QPalette &pal = palette();
    const QPixmap img = m_glyph.Image(enabled ? bsUp : bsDisabled, pal.color(QPalette::Button),
                                      pal.color(QPalette::Light), pal.color(QPalette::Dark));
    if (!img.isNull())
        p.drawPixmap(x, y, img);
}

void TfrSpeedButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor light = pal.color(QPalette::Light);
    const QColor dark = pal.color(QPalette::Dark);
    const TfrButtonState state = PaintState();
    const bool enabled = isEnabled();

    QPoint shift(0, 0);
    QRect content = rect();
    if (m_flat) {
        p.fillRect(rect(), face);
        if (state == bsDown)
            shift = {1, 1};
        content = rect().adjusted(1, 1, -1, -1);
    } else {
        const bool sunken = state == bsDown || state == bsExclusive;
        QBrush faceBrush(face);
        qDrawWinButton(&p, rect(), pal, sunken, &faceBrush);
        if (sunken)
            shift = {1, 1};
        content = rect().adjusted(2, 2, -2, -2);
    }

    bool pattern = false;
    if (m_flat)
        pattern = enabled && !m_mouseInControl
                  && (state == bsExclusive || (m_state == bsExclusive && state == bsGrayed));
    else
        pattern = state == bsExclusive;
    if (pattern)
        p.fillRect(content, downPattern(face));

    QPoint gp;
    QRect tr;
    CalcLayout(gp, tr);
    const QPixmap img = m_glyph.Image(state, face, light, dark);
    if (!img.isNull())
        p.drawPixmap(gp + shift, img);
    if (!m_caption.isEmpty()) {
        p.setFont(font());
        if (state == bsDisabled) {
            const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
            p.setPen(Qt::white);
            p.drawText(tr.translated(1, 1), flags, m_caption);
            p.setPen(QColor(128, 128, 128));
            p.drawText(tr, flags, m_caption);
        } else {
            p.setPen(pal.color(QPalette::ButtonText));
            p.drawText(tr.translated(shift), Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine, m_caption);
        }
    }

    auto frame3d = [&](bool raised) {
        const QRect r = rect();
        p.setPen(raised ? light : dark);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(raised ? dark : light);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    };
    if (m_flat && enabled && (m_mouseInControl || m_down))
        frame3d(!(m_state == bsDown || m_state == bsExclusive));
    else if (m_flat && DesignTime && m_state == bsUp)
        frame3d(true);
}

void TfrSpeedButton::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !isEnabled())
        return;
    if (!m_down) {
        m_state = bsDown;
        update();
    }
    m_dragging = true;
}

void TfrSpeedButton::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_dragging)
        return;
    const QPoint pos = e->position().toPoint();
    const bool inside = pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= height();
    const TfrButtonState s = inside ? (m_down ? bsExclusive : bsDown) : (m_down ? bsExclusive : bsUp);
    if (s != m_state) {
        m_state = s;
        update();
    }
}

void TfrSpeedButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    const QPoint pos = e->position().toPoint();
    // The bottom edge row still counts as inside.
    const bool inside = pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= height();
    if (m_groupIndex == 0) {
        m_state = bsUp;
        m_mouseInControl = false;
    } else if (inside) {
        SetDown(!m_down);
        m_state = m_down ? bsExclusive : bsUp;
    } else {
        m_state = m_down ? bsExclusive : bsUp;
    }
    if (m_flat && isEnabled())
        m_mouseInControl = UnderPointer() && inside;
    update();
    if (inside)
        emit clicked();
}

void TfrSpeedButton::mouseDoubleClickEvent(QMouseEvent *e)
{
    mousePressEvent(e);
    if (m_down)
        emit doubleClicked();
}

void TfrSpeedButton::enterEvent(QEnterEvent *)
{
    if (!m_flat || !isEnabled() || m_mouseInControl)
        return;
    m_mouseInControl = true;
    emit mouseEntered();
    update();
}

void TfrSpeedButton::leaveEvent(QEvent *)
{
    if (!m_flat || !isEnabled() || !m_mouseInControl)
        return;
    m_mouseInControl = false;
    emit mouseLeft();
    update();
}

void TfrSpeedButton::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            m_state = bsDisabled;
            m_dragging = false;
        } else {
            m_state = (m_down && m_groupIndex != 0) ? bsExclusive : bsUp;
        }
        m_mouseInControl = m_flat && isEnabled() && UnderPointer();
        update();
    } else if (e->type() == QEvent::FontChange || e->type() == QEvent::PaletteChange) {
        update();
    }
}
