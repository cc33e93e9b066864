#include "documents/frmselectpuch.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/listmodel.h"
#include "documents/billpicker.h"
#include "documents/pickers.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace orv {

namespace {
const QStringList kQueryItems = {QStringLiteral("显示全部"), QStringLiteral("按单据编号查询"),
                                 QStringLiteral("按供应商查询"), QStringLiteral("按经办人查询")};
} // namespace

TfrmSelectPuch::TfrmSelectPuch(QWidget *opener) : m_opener(opener), m_mode(G.gSelectPuchMode)
{
    setObjectName("frmSelectPuch");
    setWindowTitle(QStringLiteral("选择采购单"));
    m_billModel = new DataSetModel(this);
    m_lineModel = new DataSetModel(this);
    queryCombo = new QComboBox(this);
    queryCombo->setObjectName("ComboBoxQuery");
    queryCombo->addItems(kQueryItems);
    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName("EditContent");
    queryButton = new QPushButton(QStringLiteral("查询"), this);
    queryButton->setObjectName("BitBtn1");
    queryButton->setAutoDefault(false);
    hintLabel = new QLabel(this);
    hintLabel->setObjectName("Label1");
    billsGrid = listGrid("DBGrid1", m_billModel, this);
    linesGrid = listGrid("DBGrid2", m_lineModel, this);

    auto *bar = new QHBoxLayout;
    bar->addWidget(queryCombo);
    bar->addWidget(searchEdit, 1);
    bar->addWidget(queryButton);
    bar->addWidget(hintLabel);
    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addWidget(billsGrid, 1);
    main->addWidget(linesGrid, 1);
    resize(760, 520);

    connect(searchEdit, &QLineEdit::textChanged, this, &TfrmSelectPuch::search);
    connect(queryButton, &QPushButton::clicked, this, &TfrmSelectPuch::search);
    connect(queryCombo, &QComboBox::currentTextChanged, this, [this](const QString &t) {
        if (t == kQueryItems.first())
            runList(QString());
    });
    connect(billsGrid, &QTableView::clicked, this, [this](const QModelIndex &i) { DBGrid1CellClick(i.row()); });
    connect(billsGrid, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
    for (QObject *o : {static_cast<QObject *>(searchEdit), static_cast<QObject *>(billsGrid),
                       static_cast<QObject *>(billsGrid->viewport())})
        o->installEventFilter(this);
}

void TfrmSelectPuch::setCaptions(const QString &caption, const QString &hint)
{
    setWindowTitle(caption);
    hintLabel->setText(hint);
}

void TfrmSelectPuch::FormShow()
{
    runList(QString());
    makeCurrent(m_billModel->dataRowCount() > 0 ? 0 : -1);
}

void TfrmSelectPuch::runList(const QString &text)
{
    DataSet ds(&db());
    try {
        openBills(db(), ds, m_mode, BillSearch(qMax(0, queryCombo->currentIndex())), text);
    } catch (const std::exception &e) {
        m_billModel->clearRows();
        showError(this, e);
        return;
    }
    m_billModel->load(std::move(ds));
    for (const char *hidden : {"ID", "流水号"})
        billsGrid->setColumnHidden(m_billModel->fieldIndex(QString::fromUtf8(hidden)), true);
    // The list's first row is highlighted; the current document stays until a row is chosen.
    if (m_billModel->dataRowCount() > 0) {
        billsGrid->setCurrentIndex(m_billModel->index(0, m_billModel->fieldIndex("单据编号")));
        billsGrid->selectRow(0);
    }
}

void TfrmSelectPuch::search() { runList(searchEdit->text()); }

void TfrmSelectPuch::makeCurrent(int row)
{
    if (row >= 0 && row < m_billModel->dataRowCount()) {
        billsGrid->setCurrentIndex(m_billModel->index(row, m_billModel->fieldIndex("单据编号")));
        billsGrid->selectRow(row);
        m_currentID = m_billModel->text(row, "ID");
    } else {
        m_currentID.clear();
    }
    G.gPuchDocID = m_currentID;
    showLines();
}

void TfrmSelectPuch::showLines()
{
    DataSet ds(&db());
    try {
        openBillLines(db(), ds, m_mode, m_currentID);
    } catch (const std::exception &e) {
        m_lineModel->clearRows();
        showError(this, e);
        return;
    }
    m_lineModel->load(std::move(ds));
    for (const char *hidden : {"ID", "流水号"})
        linesGrid->setColumnHidden(m_lineModel->fieldIndex(QString::fromUtf8(hidden)), true);
}

void TfrmSelectPuch::DBGrid1CellClick(int row) { makeCurrent(row); }

void TfrmSelectPuch::moveCurrent(int delta)
{
    const QModelIndex i = billsGrid->currentIndex();
    const int row = (i.isValid() ? i.row() : -1) + delta;
    if (row >= 0 && row < m_billModel->dataRowCount())
        makeCurrent(row);
}

void TfrmSelectPuch::DBGrid1DblClick()
{
    const QModelIndex i = billsGrid->currentIndex();
    if (!i.isValid() || i.row() >= m_billModel->dataRowCount())
        return;
    const int row = i.row();
    if (m_billModel->text(row, "ID").isEmpty())
        return;
    makeCurrent(row);
    DataSet lines(&db());
    try {
        G.gCustom.UnitNo = supplierCodeOf(db(), m_billModel->text(row, "供应商"));
        openBillLines(db(), lines, m_mode, m_currentID);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    for (lines.first(); !lines.eof(); lines.next()) {
        handOverBillLine(lines, G.gRepFit);
        // A receiver that could not take the line has said why: the rest stays here.
        if (!SendMessage(m_opener, WM_PUCH_FIT))
            return;
    }
    accept();
}

void TfrmSelectPuch::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Escape:
        return; // the picker closes by a pick or by its close box
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (billsGrid->currentIndex().isValid()) {
            billsGrid->setFocus();
            DBGrid1DblClick();
        } else {
            search();
        }
        return;
    default:
        TFormDialog::keyPressEvent(e);
    }
}

bool TfrmSelectPuch::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == searchEdit || watched == billsGrid) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            keyPressEvent(static_cast<QKeyEvent *>(event));
            return true;
        }
        if (key == Qt::Key_Down) {
            moveCurrent(1);
            searchEdit->setFocus();
            return true;
        }
        if (key == Qt::Key_Up) {
            moveCurrent(-1);
            return true;
        }
    }
    if ((watched == searchEdit || watched == billsGrid) && event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Up) {
        billsGrid->setFocus();
        return true;
    }
    if ((watched == searchEdit || watched == billsGrid->viewport()) && event->type() == QEvent::Wheel) {
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (dy != 0) {
            moveCurrent(dy < 0 ? 1 : -1);
            return true;
        }
    }
    return TFormDialog::eventFilter(watched, event);
}

void openBillPicker(QWidget *opener, int mode, const QString &caption, const QString &hint)
{
    G.gSelectPuchMode = mode;
    if (frmSelectPuch)
        delete frmSelectPuch.data();
    auto *p = new TfrmSelectPuch(opener);
    frmSelectPuch = p;
    p->setCaptions(caption, hint);
    centreOnDesktop(p);
    prompt().runModal(p);
}

} // namespace orv
