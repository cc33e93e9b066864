#include "report/designer/frcombos.h"

#include "common/settings.h"

#include <QAbstractItemView>
#include <QEnterEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <qdrawutil.h>

TfrCustomComboBox::TfrCustomComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    resize(100, height());
    lineEdit()->setFrame(false);
    lineEdit()->installEventFilter(this);
    view()->installEventFilter(this);
    setMaxVisibleItems(8);
    connect(this, qOverload<int>(&QComboBox::activated), this, &TfrCustomComboBox::ListEntryChosen);
}

QSize TfrCustomComboBox::sizeHint() const { return {100, qMax(21, fontMetrics().height() + 8)}; }

void TfrCustomComboBox::SetEditOffset(int offset)
{
    m_editOffset = offset;
    placeEditor();
}

void TfrCustomComboBox::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    lineEdit()->setReadOnly(readOnly);
}

bool TfrCustomComboBox::Hot() const { return m_dropped || lineEdit()->hasFocus() || m_mouseIn; }

int TfrCustomComboBox::DropDownHeight() const
{
    const int item = fontMetrics().height();
    return count() == 0 ? item + 4 : item * qMin(maxVisibleItems(), count()) + 4;
}

void TfrCustomComboBox::placeEditor()
{
    lineEdit()->setGeometry(m_editOffset + 3, 3, qMax(1, width() - ButtonWidth - m_editOffset - 7),
                            qMax(1, height() - 6));
}

void TfrCustomComboBox::resizeEvent(QResizeEvent *e)
{
    QComboBox::resizeEvent(e);
    placeEditor();
}

void TfrCustomComboBox::showPopup()
{
    m_dropped = true;
    QComboBox::showPopup();
    // The list opens upward when it would leave the screen at the bottom.
    const QScreen *screen = this->screen();
    m_upward = screen && mapToGlobal(QPoint(0, height())).y() + DropDownHeight() > screen->geometry().bottom();
    update();
}

void TfrCustomComboBox::hidePopup()
{
    QComboBox::hidePopup();
    m_dropped = false;
    update();
}

void TfrCustomComboBox::enterEvent(QEnterEvent *e)
{
    m_mouseIn = true;
    update();
    QComboBox::enterEvent(e);
}

void TfrCustomComboBox::leaveEvent(QEvent *e)
{
    m_mouseIn = false;
    update();
    QComboBox::leaveEvent(e);
}

bool TfrCustomComboBox::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == lineEdit() && (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut))
        update();
    return QComboBox::eventFilter(watched, e);
}

void TfrCustomComboBox::DrawImage(QPainter &p, const QRect &r)
{
    if (m_editOffset > 0)
        p.fillRect(r, palette().color(QPalette::Base));
}

void TfrCustomComboBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    const QColor face = pal.color(QPalette::Button), window = pal.color(QPalette::Base);
    const QRect outer = rect();
    const int w = width(), h = height(), bw = ButtonWidth;
    if (!isEnabled()) {
        p.fillRect(outer, face);
        p.setPen(window);
        p.drawRect(outer.adjusted(2, 2, -3, -3));
    } else {
        p.fillRect(outer.adjusted(2, 2, -2, -2), window);
        p.setPen(face);
        p.drawRect(outer.adjusted(1, 1, -2, -2));
        p.setPen(window);
        p.drawRect(QRect(2, 2, w - 4 - bw - 1, h - 4).adjusted(0, 0, -1, -1));
        if (Hot())
            qDrawShadePanel(&p, outer, pal, true, 1);
        else {
            p.setPen(face);
            p.drawRect(outer.adjusted(0, 0, -1, -1));
        }
    }
    const QRect button(w - bw - 2, 2, bw, h - 4);
    p.fillRect(button, face);
    if (isEnabled() && m_dropped)
        qDrawShadePanel(&p, button, pal, true, 1);
    else if (isEnabled() && Hot())
        qDrawShadePanel(&p, button, pal, false, 1);
    int x = bw / 2 + w - bw - 4, y = (h - 4) / 2 + 1;
    if (m_dropped) {
        ++x;
        ++y;
    }
    p.setPen(Qt::black);
    for (int i = 0; i < 3; ++i)
        p.drawLine(x + i, y + i, x - i + 5 - 1, y + i);
    if (m_editOffset > 0)
        DrawImage(p, QRect(3, 3, m_editOffset, h - 6));
}

// ---------------------------------------------------------------------------

TfrFontPreview::TfrFontPreview(QWidget *owner) : QWidget(owner, Qt::ToolTip)
{
    setObjectName(QStringLiteral("FontPreview"));
    resize(200, 50);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    m_panel = new QLabel(this);
    m_panel->setFrameShape(QFrame::Box);
    m_panel->setAutoFillBackground(true);
    m_panel->setAlignment(Qt::AlignCenter);
    lay->addWidget(m_panel);
    hide();
}

void TfrFontPreview::ShowFont(const QString &family)
{
    QFont f(family);
    f.setPointSize(18);
    m_panel->setFont(f);
    m_panel->setText(family);
}

// ---------------------------------------------------------------------------

namespace {
QString mruGroup(const QString &key)
{
    QString g = key;
    g.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (g.startsWith(QLatin1Char('/')))
        g.remove(0, 1);
    return g;
}
} // namespace

TfrFontComboBox::TfrFontComboBox(QWidget *parent) : TfrCustomComboBox(parent)
{
    setMaxVisibleItems(12);
    resize(150, height());
    SetEditOffset(16);
    SetReadOnly(true);
    m_preview = new TfrFontPreview(this);
    connect(this, &TfrCustomComboBox::ListEntryChosen, this, &TfrFontComboBox::FontChosen);
    connect(this, qOverload<int>(&QComboBox::highlighted), this, [this](int i) {
        if (m_preview->isVisible())
            m_preview->ShowFont(itemText(i));
    });
}

void TfrFontComboBox::PopulateList(const QStringList &given)
{
    m_updating = true;
    const QString current = currentText();
    QStringList families = given.isEmpty() ? QFontDatabase::families() : given;
    families.removeDuplicates();
    families.sort(Qt::CaseInsensitive);
    clear();
    for (const QString &f : families)
        addItem(f, QFontDatabase::isScalable(f) ? 4 : 0);
    m_mruCount = -1;
    if (ShowMRU) {
        auto s = orv::userSettings();
        s->beginGroup(mruGroup(MRURegKey));
        for (int n = 4; n >= 0; --n) {
            const QString name = s->value(QStringLiteral("Font%1").arg(n)).toString();
            const int at = name.isEmpty() ? -1 : findText(name, Qt::MatchFixedString);
            if (at > m_mruCount) {
                insertItem(0, name, s->value(QStringLiteral("FontType%1").arg(n), 0).toInt());
                ++m_mruCount;
            } else {
                s->setValue(QStringLiteral("Font%1").arg(n), QString());
                s->setValue(QStringLiteral("FontType%1").arg(n), 0);
            }
        }
        s->endGroup();
    }
    const int keep = findText(current, Qt::MatchFixedString);
    setCurrentIndex(keep >= 0 ? keep : (count() > 0 ? 0 : -1));
    m_updating = false;
}

void TfrFontComboBox::FontChosen(int index)
{
    m_preview->hide();
    if (m_updating || index <= 0 || index >= count())
        return;
    if (ShowMRU) {
        m_updating = true;
        const QString name = itemText(index);
        const QVariant type = itemData(index);
        int first = -1;
        for (int i = 0; i < count(); ++i)
            if (itemText(i) == name) {
                first = i;
                break;
            }
        if (first > m_mruCount) {
            insertItem(0, name, type);
            if (m_mruCount >= 4)
                removeItem(5);
            else
                ++m_mruCount;
        } else {
            removeItem(first);
            insertItem(0, name, type);
        }
        setCurrentIndex(0);
        m_updating = false;
        writeSlots();
    }
}

void TfrFontComboBox::writeSlots()
{
    auto s = orv::userSettings();
    s->beginGroup(mruGroup(MRURegKey));
    for (int n = 0; n <= 4; ++n) {
        const bool used = n <= m_mruCount;
        s->setValue(QStringLiteral("Font%1").arg(n), used ? itemText(n) : QString());
        s->setValue(QStringLiteral("FontType%1").arg(n), used ? itemData(n).toInt() : 0);
    }
    s->endGroup();
}

void TfrFontComboBox::showPopup()
{
    TfrCustomComboBox::showPopup();
    const QPoint corner = mapToGlobal(QPoint(width(), DroppedUpward() ? 0 : height()));
    QPoint at(corner.x(), DroppedUpward() ? corner.y() - m_preview->height() : corner.y());
    if (const QScreen *sc = screen(); sc && at.x() + m_preview->width() > sc->geometry().right())
        at.setX(mapToGlobal(QPoint(0, 0)).x() - 1 - m_preview->width());
    m_preview->move(at);
    m_preview->ShowFont(currentText());
    m_preview->show();
}

void TfrFontComboBox::hidePopup()
{
    m_preview->hide();
    TfrCustomComboBox::hidePopup();
}

void TfrFontComboBox::DrawImage(QPainter &p, const QRect &r)
{
    TfrCustomComboBox::DrawImage(p, r);
    const int i = findText(currentText(), Qt::MatchFixedString);
    if (i >= 0 && itemData(i).toInt() == 4) {
        p.setPen(QColor(0, 0, 128));
        QFont f = font();
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.drawText(r, Qt::AlignCenter, QStringLiteral("T"));
    }
}

// ---------------------------------------------------------------------------

TfrPopupListBox::TfrPopupListBox(QWidget *parent) : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frPopupListBox"));
    resize(115, 63);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    ListBox = new QListWidget(this);
    ListBox->setObjectName(QStringLiteral("ListBox1"));
    ListBox->setFrameShape(QFrame::NoFrame);
    ListBox->setUniformItemSizes(true);
    lay->addWidget(ListBox);
}
