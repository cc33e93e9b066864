#pragma once
// An edit field with a small flat button at its right end, for a value picked
// from a dialog (an expression, a data field). Enter and Esc typed in the
// field also reach the owning dialog, so its default and cancel buttons react.
#include <QComboBox>
#include <QWidget>

class QFrame;
class TfrSpeedButton;

class TfrComboEdit : public QWidget {
    Q_OBJECT
public:
    explicit TfrComboEdit(QWidget *parent = nullptr);

    QComboBox *Edit() const { return m_edit; }
    TfrSpeedButton *Button() const { return m_button; }
    QString Text() const;
    void SetText(const QString &text);

    QImage Glyph() const;
    void SetGlyph(const QImage &glyph);
    bool ButtonEnabled() const;
    void SetButtonEnabled(bool enabled);
    QString ButtonHint() const;
    void SetButtonHint(const QString &hint);

    QSize sizeHint() const override { return {145, 21}; }

signals:
    // The button was clicked (the field has the focus by then).
    void buttonClicked();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    // The button on its panel at the right end, the field beside it.
    void Arrange();
    QComboBox *m_edit;
    QFrame *m_panel;
    TfrSpeedButton *m_button;
    bool m_buttonEnabled = true;
};
