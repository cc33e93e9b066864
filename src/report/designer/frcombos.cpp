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

namespace {
// The entries of a flat combo are painted by the combo, all of one height.
class TfrComboItemDelegate : public QAbstractItemDelegate {
public:
    explicit TfrComboItemDelegate(TfrCustomComboBox *combo) : QAbstractItemDelegate(combo), m_combo(combo) {}
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        p->save();
        m_combo->DrawItem(*p, option.rect, index.row(), option.state & QStyle::State_Selected);
        p->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return {m_combo->width(), m_combo->ItemHeight()};
    }
private:
    TfrCustomComboBox *m_combo;
};
} // namespace

TfrCustomComboBox::TfrCustomComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    resize(100, height());
    lineEdit()->setFrame(false);
    lineEdit()->installEventFilter(this);
    view()->installEventFilter(this);
    setItemDelegate(new TfrComboItemDelegate(this));
    // The list: a sunken client edge inside a raised frame.
    if (auto *container = qobject_cast<QFrame *>(view()->parentWidget())) {
        container->setFrameStyle(QFrame::Panel | QFrame::Raised);
        container->setLineWidth(1);
    }
    view()->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    view()->setLineWidth(1);
    setMaxVisibleItems(8);
    connect(this, qOverload<int>(&QComboBox::activated), this, &TfrCustomComboBox::ListEntryChosen);
    // A text set from outside shows from its start, not scrolled to its end.
    connect(this, &QComboBox::editTextChanged, this, [this] {
        if (!lineEdit()->hasFocus())
            lineEdit()->setCursorPosition(0);
    });
}

int TfrCustomComboBox::ItemHeight() const { return fontMetrics().height(); }

void TfrCustomComboBox::DrawItem(QPainter &p, const QRect &r, int index, bool selected) const
{
    const QPalette &pal = palette();
    p.fillRect(r, pal.color(selected ? QPalette::Highlight : QPalette::Base));
    p.setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
    p.drawText(r.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, itemText(index));
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
    const int item = ItemHeight();
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
    // The list hangs under the field, one pixel narrower, and opens upward when it would
    // leave the screen at the bottom.
    QWidget *container = view()->parentWidget();
    const int h = DropDownHeight();
    const QScreen *screen = this->screen();
    QPoint at = mapToGlobal(QPoint(0, height()));
    m_upward = screen && at.y() + h > screen->geometry().bottom();
    if (m_upward)
        at.setY(mapToGlobal(QPoint(0, 0)).y() - h - 2);
    if (container)
        container->setGeometry(QRect(at, QSize(width() - 1, h)));
    // While the chosen entry is among the first screenful, the list starts at the top.
    if (currentIndex() < maxVisibleItems())
        view()->scrollToTop();
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

const QImage &TfrFontComboBox::TrueTypeMark()
{
    // Two letters T, a grey one behind a black one.
    static const QImage mark = [] {
        QImage m(15, 11, QImage::Format_ARGB32);
        m.fill(Qt::transparent);
        QPainter p(&m);
        p.fillRect(0, 0, 8, 2, QColor(128, 128, 128));
        p.fillRect(3, 2, 2, 6, QColor(128, 128, 128));
        p.fillRect(6, 3, 8, 2, Qt::black);
        p.fillRect(9, 5, 2, 6, Qt::black);
        return m;
    }();
    return mark;
}

int TfrFontComboBox::ItemHeight() const
{
    return qMax(fontMetrics().height(), TrueTypeMark().height() + 1);
}

void TfrFontComboBox::DrawItem(QPainter &p, const QRect &r, int index, bool selected) const
{
    const QPalette &pal = palette();
    p.fillRect(r, pal.color(selected ? QPalette::Highlight : QPalette::Base));
    const QImage &mark = TrueTypeMark();
    if (itemData(index).toInt() == 4)
        p.drawImage(r.left() + 1, r.top() + (r.height() - mark.height()) / 2, mark);
    p.setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
    p.drawText(r.adjusted(mark.width() + 2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               itemText(index));
    // Lines part the recent fonts from the full list.
    p.setPen(pal.color(QPalette::Dark));
    if (m_mruCount >= 0 && index == m_mruCount)
        p.drawLine(r.left(), r.bottom() - 1, r.right(), r.bottom() - 1);
    if (m_mruCount >= 0 && index == m_mruCount + 1)
        p.drawLine(r.left(), r.top(), r.right(), r.top());
}

void TfrFontComboBox::DrawImage(QPainter &p, const QRect &r)
{
    TfrCustomComboBox::DrawImage(p, r);
    const int i = findText(currentText(), Qt::MatchFixedString);
    if (i >= 0 && itemData(i).toInt() == 4) {
        const QImage &mark = TrueTypeMark();
        p.drawImage(r.left() + (r.width() - mark.width()) / 2, r.top() + (r.height() - mark.height()) / 2, mark);
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
