#include "goods/goodslineview.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>

namespace orv {

namespace {
// Editable cells: digits and one decimal point; every keystroke reaches the line,
// so its amount and the window's totals follow while the operator types.
class QuantityDelegate : public QStyledItemDelegate {
public:
    QuantityDelegate(GoodsLineView *view) : QStyledItemDelegate(view), m_view(view) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *e = new QLineEdit(parent);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*\\.?\\d*")), e));
        e->installEventFilter(m_view);
        auto *self = const_cast<QuantityDelegate *>(this);
        connect(e, &QLineEdit::textEdited, self, [self, e] { emit self->commitData(e); });
        return e;
    }

private:
    GoodsLineView *m_view;
};
} // namespace

GoodsLineView::GoodsLineView(GoodsLineGrid *lines, const QVector<int> &widths, bool inPlace, QWidget *parent)
    : QTableView(parent), m_lines(lines), m_inPlace(inPlace)
{
    setObjectName(QStringLiteral("StringGrid1"));
    setModel(lines);
    setToolTip(QStringLiteral("双击修改货品"));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    for (int c = 0; c < widths.size() && c < lines->columnCount(); ++c) {
        if (widths[c] < 0)
            setColumnHidden(c, true);
        else
            setColumnWidth(c, widths[c]);
    }
    setSelectionMode(QAbstractItemView::SingleSelection);
    if (inPlace) {
        setSelectionBehavior(QAbstractItemView::SelectItems);
        setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::AnyKeyPressed |
                        QAbstractItemView::EditKeyPressed);
        setItemDelegate(new QuantityDelegate(this));
    } else {
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
}

int GoodsLineView::currentGridRow() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

void GoodsLineView::setCurrentGridRow(int gridRow)
{
    if (gridRow < 1 || gridRow > m_lines->rowCount()) {
        setCurrentIndex(QModelIndex());
        return;
    }
    const int column = currentIndex().isValid() ? currentIndex().column() : m_lines->columns().goodsNo;
    setCurrentIndex(m_lines->index(gridRow - 1, column));
}

bool GoodsLineView::navigationKey(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
    case Qt::Key_Right:
        emit pickerRequested();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Up:
        emit backRequested();
        return true;
    default:
        return false;
    }
}

void GoodsLineView::commitData(QWidget *editor)
{
    QTableView::commitData(editor);
    emit cellEdited();
}

void GoodsLineView::keyPressEvent(QKeyEvent *e)
{
    if (navigationKey(e->key()))
        return;
    QTableView::keyPressEvent(e);
}

bool GoodsLineView::eventFilter(QObject *watched, QEvent *event)
{
    // The keys of the grid also while a cell is being edited: the typed value stays.
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit *>(watched)) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Down:
        case Qt::Key_Right:
        case Qt::Key_Left:
        case Qt::Key_Up: {
            auto *editor = static_cast<QWidget *>(watched);
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
            setFocus();
            navigationKey(key);
            return true;
        }
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void GoodsLineView::wheelEvent(QWheelEvent *e)
{
    const int dy = e->angleDelta().y();
    if (dy == 0 || m_lines->rowCount() == 0) {
        QTableView::wheelEvent(e);
        return;
    }
    // Towards the operator is one row down, away one row up.
    const int row = qBound(1, currentGridRow() + (dy < 0 ? 1 : -1), m_lines->rowCount());
    setCurrentGridRow(row);
    e->accept();
}

void GoodsLineView::mouseDoubleClickEvent(QMouseEvent *e)
{
    QTableView::mouseDoubleClickEvent(e);
    const int row = currentGridRow();
    if (row > 0 && !m_lines->cell(row, m_lines->columns().goodsNo).isEmpty())
        emit editRequested();
}

} // namespace orv
