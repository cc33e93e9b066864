#include "report/engine/frcomboedit.h"
#include "report/engine/frspeedbutton.h"

#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>

TfrComboEdit::TfrComboEdit(QWidget *parent)
    : QWidget(parent), m_edit(new QComboBox(this)), m_panel(new QFrame(this)),
      m_button(new TfrSpeedButton(m_panel))
{
    m_edit->setObjectName(QStringLiteral("Edit"));
    m_edit->setEditable(true);
    m_edit->setInsertPolicy(QComboBox::NoInsert);
    m_edit->lineEdit()->installEventFilter(this);
    m_panel->setFrameShape(QFrame::NoFrame);
    m_button->setObjectName(QStringLiteral("Button"));
    m_button->SetFlat(true);
    m_button->SetGrayedInactive(false);
    connect(m_button, &TfrSpeedButton::clicked, this, [this] {
        m_edit->setFocus();
        emit buttonClicked();
    });
    resize(145, 21);
    Arrange();
}

QString TfrComboEdit::Text() const { return m_edit->currentText(); }
void TfrComboEdit::SetText(const QString &text) { m_edit->setEditText(text); }
QImage TfrComboEdit::Glyph() const { return m_button->Glyph(); }
void TfrComboEdit::SetGlyph(const QImage &glyph) { m_button->SetGlyph(glyph); }
bool TfrComboEdit::ButtonEnabled() const { return m_buttonEnabled; }
QString TfrComboEdit::ButtonHint() const { return m_button->toolTip(); }
void TfrComboEdit::SetButtonHint(const QString &hint) { m_button->setToolTip(hint); }

void TfrComboEdit::SetButtonEnabled(bool enabled)
{
    m_buttonEnabled = enabled;
    m_button->setEnabled(enabled && isEnabled());
}

void TfrComboEdit::resizeEvent(QResizeEvent *)
{
    Arrange();
}

void TfrComboEdit::Arrange()
{
    const int h = height();
    m_panel->setGeometry(width() - h + 2, 2, h - 4, h - 4);
    m_button->setGeometry(0, 0, h - 4, h - 4);
    m_edit->setGeometry(0, 0, qMax(0, width() - h - 4), h);
}

void TfrComboEdit::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        m_button->setEnabled(isEnabled() && m_buttonEnabled);
}

bool TfrComboEdit::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_edit->lineEdit() && e->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter || k->key() == Qt::Key_Escape) {
            if (QWidget *w = window(); w && w != this) {
                QKeyEvent copy(QEvent::KeyPress, k->key(), k->modifiers(), k->text());
                QCoreApplication::sendEvent(w, &copy);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, e);
}
