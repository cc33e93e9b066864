#include "goods/frmchoosegys.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/frmdanweixinxi.h"
#include "goods/guiutil.h"
#include "goods/listmodel.h"
#include "goods/supplierbrowser.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
// The openers whose supplier field a pick fills.
bool pickTarget(int mode) { return mode == 0 || mode == 1 || mode == 2 || mode == 5 || mode == 6 || mode == 9; }
} // namespace

TfrmChooseGYS::TfrmChooseGYS(QWidget *opener) : m_opener(opener)
{
    setObjectName("frmChooseGYS");
    setWindowTitle(QStringLiteral("选择供应商"));
    m_browser = new SupplierBrowser(this, true);
    m_browser->queryButton->setObjectName("SpeedButton8");
    m_browser->hiddenColumns << "ID";
    m_browser->searchField->setCurrentIndex(m_browser->searchField->count() - 1); // 按照助记码查询
    newButton = goodsui::flatButton("SpeedButton1", QStringLiteral("新建"), this);
    editButton = goodsui::flatButton("SpeedButton2", QStringLiteral("修改"), this);

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_browser->searchField);
    bar->addWidget(m_browser->searchEdit, 1);
    bar->addWidget(m_browser->queryButton);
    bar->addWidget(newButton);
    bar->addWidget(editButton);
    auto *tabs = new QTabWidget(this);
    tabs->addTab(m_browser->remarkMemo, QStringLiteral("备注"));
    tabs->setMaximumHeight(110);
    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addWidget(m_browser->supplierGrid, 1);
    main->addWidget(tabs);
    setTypicalSize(QSize(720, 480));

    m_browser->searchEdit->installEventFilter(this);
    m_browser->supplierGrid->installEventFilter(this);
    connect(newButton, &QToolButton::clicked, this, &TfrmChooseGYS::SpeedButton1Click);
    connect(editButton, &QToolButton::clicked, this, &TfrmChooseGYS::SpeedButton2Click);
    connect(m_browser->supplierGrid, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
}

void TfrmChooseGYS::FormShow()
{
    writeWindowStatus(windowTitle());
    m_browser->loadAll();
    m_browser->searchEdit->setFocus();
}

void TfrmChooseGYS::onWindowMessage(int message)
{
    if (message == WM_GYS_NEW)
        proNewInformation();
    else if (message == WM_GYS_MDF)
        proMdfInformation();
}

void TfrmChooseGYS::proNewInformation() { m_browser->loadAll(); }

void TfrmChooseGYS::proMdfInformation()
{
    m_browser->supplierGrid->setUpdatesEnabled(false);
    m_browser->reload(G.gRepFit.PartnerRowNo.toLongLong());
    m_browser->supplierGrid->setUpdatesEnabled(true);
}

void TfrmChooseGYS::SpeedButton8Click() { m_browser->search(); }

void TfrmChooseGYS::SpeedButton1Click() { openSupplierDialogNew(); }

void TfrmChooseGYS::SpeedButton2Click()
{
    std::optional<Supplier> s;
    try {
        s = m_browser->currentSupplier();
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!s)
        return;
    G.gRepFit.PartnerRowNo = QString::number(s->rowNo);
    openSupplierDialogEdit(*s);
}

void TfrmChooseGYS::DBGrid1DblClick()
{
    const QModelIndex i = m_browser->supplierGrid->currentIndex();
    // An empty list picks nothing: the opener's field keeps what it held.
    if (!i.isValid() || !m_browser->currentRowNo()) {
        reject();
        return;
    }
    const QString id = m_browser->model->text(i.row(), "ID");
    const QString name = m_browser->model->text(i.row(), "单位名称");
    G.gCustom.UnitNo = id;
    if (pickTarget(G.gGysMode))
        setCallerField(m_opener, FieldRole::Supplier, QString(), id + '.' + name);
    accept();
}

void TfrmChooseGYS::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_browser->supplierGrid->setFocus();
        DBGrid1DblClick();
        return;
    default:
        GoodsDialog::keyPressEvent(e);
    }
}

bool TfrmChooseGYS::eventFilter(QObject *watched, QEvent *event)
{
    const bool fromSearch = watched == m_browser->searchEdit;
    const bool fromGrid = watched == m_browser->supplierGrid;
    if ((fromSearch || fromGrid) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_browser->supplierGrid->setFocus();
            DBGrid1DblClick();
            return true;
        }
        if (key == Qt::Key_Down) {
            m_browser->moveCurrent(1);
            m_browser->searchEdit->setFocus();
            return true;
        }
        if (key == Qt::Key_Up) {
            m_browser->moveCurrent(-1);
            return true;
        }
    }
    if ((fromSearch || fromGrid) && event->type() == QEvent::KeyRelease
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Up) {
        m_browser->supplierGrid->setFocus();
        return true;
    }
    if (fromSearch && event->type() == QEvent::Wheel) {
        QApplication::sendEvent(m_browser->supplierGrid->viewport(), event);
        return true;
    }
    return GoodsDialog::eventFilter(watched, event);
}

void openSupplierPicker(QWidget *opener, int gysMode)
{
    G.gGysMode = gysMode;
    if (frmChooseGYS)
        delete frmChooseGYS.data();
    auto *p = new TfrmChooseGYS(opener);
    frmChooseGYS = p;
    centreOnDesktop(p);
    prompt().runModal(p);
}

} // namespace orv
