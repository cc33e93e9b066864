#include "purchasing/frmpiliangchoose.h"
#include "app/appglobals.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "documents/pickers.h"
#include "goods/listmodel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace orv {

namespace {
// The pick list's columns; 流水号 and 所属车型 hidden.
const QStringList kPickedColumns = {QStringLiteral("编号"), QStringLiteral("名称"), QStringLiteral("规格"),
                                    QStringLiteral("流水号"), QStringLiteral("单位"), QStringLiteral("所属车型"),
                                    QStringLiteral("进货价")};

void moveRow(QTableView *grid, int delta)
{
    const int rows = grid->model()->rowCount();
    const QModelIndex i = grid->currentIndex();
    const int row = (i.isValid() ? i.row() : -1) + delta;
    if (row >= 0 && row < rows)
        grid->selectRow(row);
}
} // namespace

TfrmPiLiangChoose::TfrmPiLiangChoose(QWidget *opener) : TFormDialog(opener), m_opener(opener)
{
    setObjectName("frmPiLiangChoose");
    setWindowTitle(QStringLiteral("批量选择配件"));
    m_partModel = new DataSetModel(this);
    m_pickModel = new QStandardItemModel(0, int(kPickedColumns.size()), this);
    m_pickModel->setHorizontalHeaderLabels(kPickedColumns);

    searchEdit = lineEdit("Edit1", this);
    okButton = toolButton("SpeedButton1", QStringLiteral("确定(&F1)"), this);
    cancelButton = toolButton("SpeedButton2", QStringLiteral("取消(&F2)"), this);
    partsGrid = listGrid("dbGridRepFit", m_partModel, this);
    pickedGrid = listGrid("DBGrid1", m_pickModel, this);
    pickedGrid->setColumnHidden(3, true);
    pickedGrid->setColumnHidden(5, true);

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("输入名称/编号/规格等查询(支持首拼码)"), this));
    bar->addWidget(searchEdit, 1);
    bar->addWidget(redCaption(QStringLiteral("双击选择配件，双击取消配件"), this));
    bar->addWidget(okButton);
    bar->addWidget(cancelButton);
    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addWidget(partsGrid, 3);
    main->addWidget(pickedGrid, 2);
    resize(900, 560);

    connect(searchEdit, &QLineEdit::textChanged, this, &TfrmPiLiangChoose::search);
    connect(okButton, &QToolButton::clicked, this, &TfrmPiLiangChoose::SpeedButton1Click);
    connect(cancelButton, &QToolButton::clicked, this, &TfrmPiLiangChoose::SpeedButton2Click);
    connect(partsGrid, &QTableView::doubleClicked, this, &TfrmPiLiangChoose::pickCurrent);
    connect(pickedGrid, &QTableView::doubleClicked, this, [this](const QModelIndex &i) { dropPicked(i.row()); });
    for (QWidget *w : {static_cast<QWidget *>(searchEdit), static_cast<QWidget *>(partsGrid),
                       partsGrid->viewport(), pickedGrid->viewport()})
        w->installEventFilter(this);
}

void TfrmPiLiangChoose::FormShow()
{
    search();
    showPicked();
    searchEdit->setFocus();
}

void TfrmPiLiangChoose::search()
{
    DataSet ds(&db());
    try {
        openParts(db(), ds, searchEdit->text());
    } catch (const std::exception &e) {
        m_partModel->clearRows();
        showError(this, e);
        return;
    }
    m_partModel->load(std::move(ds));
    for (const char *hidden : {"所属车型", "维修价"})
        partsGrid->setColumnHidden(m_partModel->fieldIndex(QString::fromUtf8(hidden)), true);
    if (m_partModel->dataRowCount() > 0)
        partsGrid->selectRow(0);
}

void TfrmPiLiangChoose::pickCurrent()
{
    const QModelIndex i = partsGrid->currentIndex();
    if (!i.isValid() || i.row() >= m_partModel->dataRowCount())
        return;
    const int row = i.row();
    PickedPart p;
    p.goodsNo = m_partModel->text(row, "编号");
    if (p.goodsNo.isEmpty())
        return;
    p.name = m_partModel->text(row, "名称");
    p.spec = m_partModel->text(row, "规格");
    p.unit = m_partModel->text(row, "单位");
    p.model = m_partModel->text(row, "所属车型");
    p.purchasePrice = m_partModel->text(row, "进货价");
    m_picked << p;
    showPicked();
}

void TfrmPiLiangChoose::dropPicked(int row)
{
    if (row < 0 || row >= m_picked.size())
        return;
    m_picked.removeAt(row);
    showPicked();
}

void TfrmPiLiangChoose::showPicked()
{
    m_pickModel->setRowCount(0);
    int n = 0;
    for (const PickedPart &p : std::as_const(m_picked)) {
        QList<QStandardItem *> items;
        for (const QString &t : {p.goodsNo, p.name, p.spec, QString::number(++n), p.unit, p.model, p.purchasePrice})
            items << new QStandardItem(t);
        m_pickModel->appendRow(items);
    }
}

void TfrmPiLiangChoose::SpeedButton1Click()
{
    if (m_picked.isEmpty()) {
        notice(this, QStringLiteral("请选择货品！"));
        return;
    }
    int k = 0;
    for (const PickedPart &p : std::as_const(m_picked)) {
        handOverPart(p, ++k, G.gRepFit);
        SendMessage(m_opener.data(), WM_FIT_BATCH);
    }
    m_picked.clear();
    accept();
}

void TfrmPiLiangChoose::SpeedButton2Click()
{
    m_picked.clear();
    reject();
}

void TfrmPiLiangChoose::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_F1:
        SpeedButton1Click();
        return;
    case Qt::Key_F2:
        SpeedButton2Click();
        return;
    default:
        TFormDialog::keyPressEvent(e);
    }
}

bool TfrmPiLiangChoose::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == searchEdit && enter) {
            partsGrid->setFocus();
            return true;
        }
        if (watched == partsGrid && (enter || key == Qt::Key_Space)) {
            pickCurrent();
            return true;
        }
    }
    if (event->type() == QEvent::Wheel) {
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        QTableView *grid = watched == partsGrid->viewport() ? partsGrid
                           : watched == pickedGrid->viewport() ? pickedGrid
                                                               : nullptr;
        if (grid && dy != 0) {
            moveRow(grid, dy < 0 ? 1 : -1);
            return true;
        }
    }
    return TFormDialog::eventFilter(watched, event);
}

} // namespace orv
