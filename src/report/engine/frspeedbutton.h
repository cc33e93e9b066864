#pragma once
// The engine's own button: drawn flat (no border until the mouse is over it),
// its glyph greyed while the mouse is elsewhere, and usable as one of a group
// of mutually exclusive toggle buttons. Toolbar buttons, the preview's page
// buttons and the spin buttons of the print dialog are all of this class.
//
// The glyph bitmap holds one image per state side by side (up, disabled,
// pressed, down). Missing disabled and greyed images are computed; built
// images are shared between all buttons showing the same glyph.
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class QShortcut;

enum TfrButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Button states; bsGrayed is the up state of a flat button the mouse is not over.
enum TfrButtonState { bsUp = 0, bsDisabled = 1, bsDown = 2, bsExclusive = 3, bsGrayed = 4 };

// Cuts a glyph into per-state images and builds the missing ones on first use.
class TButtonGlyph {
public:
    void SetGlyph(const QImage &glyph);
    const QImage &Glyph() const { return m_glyph; }
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int n);
    QRgb TransparentColor() const { return m_transparent; }
    // The image of a state (built on first use); null without a glyph.
    QPixmap Image(TfrButtonState state, const QColor &face, const QColor &highlight, const QColor &shadow);
    QSize ImageSize() const;

    // How many images of all buttons are built and alive (for tests of the sharing).
    static int SharedImageCount();

private:
    QImage SourceImage(int index) const;
    QImage m_glyph;
    qint64 m_sourceKey = 0;      // the bitmap as given: buttons given the same bitmap share images
    int m_numGlyphs = 1;
    QRgb m_transparent = qRgb(128, 128, 0);
    std::array<std::shared_ptr<const QPixmap>, 5> m_built;
};

class TfrSpeedButton : public QWidget {
    Q_OBJECT
public:
    explicit TfrSpeedButton(QWidget *parent = nullptr);
    ~TfrSpeedButton() override;

    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool v);
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int v);
    bool Down() const { return m_down; }
    void SetDown(bool v);
    bool Flat() const { return m_flat; }
    void SetFlat(bool v);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    const QImage &Glyph() const { return m_glyph.Glyph(); }
    // A bitmap whose width is a whole multiple of its height (up to 4) sets NumGlyphs.
    void SetGlyph(const QImage &glyph);
    bool GrayedInactive() const { return m_grayedInactive; }
    void SetGrayedInactive(bool v);
    TfrButtonLayout Layout() const { return m_layout; }
    void SetLayout(TfrButtonLayout v);
    int Margin() const { return m_margin; }
    void SetMargin(int v);              // below -1 ignored; -1 centres
    int NumGlyphs() const { return m_glyph.NumGlyphs(); }
    void SetNumGlyphs(int v);           // above 4 becomes 4
    int Spacing() const { return m_spacing; }
    void SetSpacing(int v);             // -1 spreads evenly

    TfrButtonState State() const { return m_state; }
    // The state painted now (greyed or disabled looks included).
    TfrButtonState PaintState() const;
    bool MouseInControl() const { return m_mouseInControl; }
    // Where glyph and caption go inside the client area.
    void CalcLayout(QPoint &glyphPos, QRect &textRect) const;

    // Draws the up image (or the disabled one) onto another painter, e.g. for a menu.
    void DrawGlyph(QPainter &p, int x, int y, bool enabled);
    // Tells the other buttons of the parent with the same group index.
    void ReleaseGroup();

    // Whether this button behaves as in the designer's form editing (outlined flat buttons).
    bool DesignTime = false;

    QSize sizeHint() const override { return {22, 22}; }

signals:
    void clicked();
    void doubleClicked();
    void mouseEntered();
    void mouseLeft();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void ButtonPressed(TfrSpeedButton *sender);
    void UpdateShortcut();
    bool UnderPointer() const;

    TButtonGlyph m_glyph;
    bool m_allowAllUp = false;
    int m_groupIndex = 0;
    bool m_down = false;
    bool m_flat = false;
    QString m_caption;
    bool m_grayedInactive = true;
    TfrButtonLayout m_layout = blGlyphLeft;
    int m_margin = -1;
    int m_spacing = 4;
    TfrButtonState m_state = bsUp;
    bool m_dragging = false;
    bool m_mouseInControl = false;
    QShortcut *m_shortcut = nullptr;
};
