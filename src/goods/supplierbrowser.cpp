#include "goods/supplierbrowser.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "goods/guiutil.h"
#include "goods/listmodel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QToolButton>
#include <QWheelEvent>

namespace orv {

SupplierBrowser::SupplierBrowser(QWidget *window, bool withMnemonic) : QObject(window), m_window(window)
{
    searchField = new QComboBox(window);
    searchField->setObjectName("ComboBox1");
    searchField->addItems(SupplierStore::searchItems(withMnemonic));
    searchEdit = new QLineEdit(window);
    searchEdit->setObjectName("Edit1");
    queryButton = goodsui::flatButton("SpeedButton9", QStringLiteral("查询"), window);

    model = new DataSetModel(this);
    supplierGrid = new QTableView(window);
    supplierGrid->setObjectName("DBGrid1");
    supplierGrid->setModel(model);
    supplierGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    supplierGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    supplierGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    supplierGrid->verticalHeader()->hide();
    supplierGrid->viewport()->installEventFilter(this);

    remarkMemo = new QPlainTextEdit(window);
    remarkMemo->setObjectName("Memo1");
    remarkMemo->setReadOnly(true);
    remarkMemo->setMaximumHeight(80);

    connect(searchEdit, &QLineEdit::textChanged, this, &SupplierBrowser::search);
    connect(queryButton, &QToolButton::clicked, this, &SupplierBrowser::search);
    connect(searchField, &QComboBox::currentTextChanged, this, [this](const QString &item) {
        if (item == QStringLiteral("显示全部"))
            loadAll();
    });
    connect(supplierGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &, const QModelIndex &) { followCurrent(); });
}

void SupplierBrowser::run(const QString &item, const QString &text, qint64 keepRowNo)
{
    QString pattern;
    DataSet rows(&db());
    rows.setSql(SupplierStore::searchSql(item, text, !db().isSqlite(), &pattern));
    if (!pattern.isEmpty())
        rows.addBindValue(pattern);
    try {
        rows.open();
    } catch (const std::exception &e) {
        showError(m_window, e);
        return;
    }
    m_item = item;
    m_text = text;
    model->setColumnTitles(SupplierStore::columnNames());
    model->load(std::move(rows));
    for (int c = 0; c < model->columnCount(); ++c)
        supplierGrid->setColumnHidden(c, hiddenColumns.contains(model->headerData(c, Qt::Horizontal).toString()));
    int row = model->rowCount() > 0 ? 0 : -1;
    if (keepRowNo) {
        const int kept = model->findRow("流水号", QString::number(keepRowNo));
        if (kept >= 0)
            row = kept;
    }
    setCurrentRow(row);
}

void SupplierBrowser::loadAll() { run(QString(), QString(), 0); }

void SupplierBrowser::search() { run(searchField->currentText(), searchEdit->text(), 0); }

void SupplierBrowser::reload(qint64 rowNo) { run(m_item, m_text, rowNo); }

int SupplierBrowser::rowCount() const { return model->rowCount(); }

qint64 SupplierBrowser::currentRowNo() const
{
    const QModelIndex i = supplierGrid->currentIndex();
    return i.isValid() ? model->text(i.row(), "流水号").toLongLong() : 0;
}

std::optional<Supplier> SupplierBrowser::currentSupplier() const
{
    const qint64 rowNo = currentRowNo();
    if (!rowNo)
        return std::nullopt;
    return SupplierStore(db()).byRowNo(rowNo);
}

void SupplierBrowser::setCurrentRow(int row)
{
    if (row < 0 || row >= model->rowCount()) {
        supplierGrid->setCurrentIndex(QModelIndex());
        followCurrent();
        return;
    }
    const int col = model->fieldIndex("单位名称");
    supplierGrid->setCurrentIndex(model->index(row, qMax(col, 0)));
    supplierGrid->selectRow(row);
    followCurrent();
}

void SupplierBrowser::moveCurrent(int delta)
{
    const QModelIndex i = supplierGrid->currentIndex();
    const int row = (i.isValid() ? i.row() : -1) + delta;
    if (row >= 0 && row < model->rowCount())
        setCurrentRow(row);
}

void SupplierBrowser::followCurrent()
{
    const QModelIndex i = supplierGrid->currentIndex();
    remarkMemo->setPlainText(i.isValid() ? model->text(i.row(), "备注") : QString());
    emit currentChanged();
}

bool SupplierBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == supplierGrid->viewport() && event->type() == QEvent::Wheel) {
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (dy != 0) {
            // Towards the operator moves down one row, away moves up one.
            moveCurrent(dy < 0 ? 1 : -1);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orv
