#pragma once
// The colour picker that drops down from the designer's colour buttons: 16
// colours, "透明" and "其它..." (the platform's colour dialog, through the prompt
// layer). It hides itself after a choice and reports it.
#include <QWidget>

#include <array>
#include <functional>

class TfrSpeedButton;

class TColorSelector : public QWidget {
    Q_OBJECT
public:
    explicit TColorSelector(QWidget *parent = nullptr);

    // The 16 colours in button order, as engine colours (blue-green-red).
    static const std::array<qint32, 16> &Colors();
    qint32 Color() const { return m_color; }
    // Marks the current colour: its button goes down, or the other-colour button shows it.
    void SetColor(qint32 color);
    TfrSpeedButton *Button(int tag) const { return m_buttons[size_t(tag)]; }
    // The choice of a button (what a click runs).
    void Choose(int tag);

    std::function<void(TColorSelector *)> OnColorSelected;

private:
    std::array<TfrSpeedButton *, 18> m_buttons{};
    qint32 m_color = 0;
};

// A QColor as an engine colour (blue-green-red); FrColor (frfonts.h) goes the other way.
qint32 frToEngineColor(const QColor &c);
