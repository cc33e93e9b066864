#include "admin/frmexcelinto.h"
#include "admin/adminui.h"
#include "app/windowing.h"
#include "common/clock.h"
#include "data/datamodule.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
const char *kInstructions = "使用说明\n"
                            "1、选择要导入的资料类别；\n"
                            "2、选择要导入的Excel文件；\n"
                            "3、选择数据所在的数据表(Sheet)；\n"
                            "4、点击“资料数据库字段对应”，可保留默认的对应关系，也可以为各字段另选源字段；\n"
                            "5、点击“导入数据”。";

// Focus that comes and goes with a message box or a popup is not the operator moving on.
bool operatorMoved(const QFocusEvent *e)
{
    return e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason;
}
} // namespace

TfrmExcelInto::TfrmExcelInto(QWidget *parent) : TFormDialog(parent)
{
    setObjectName("frmExcelInto");
    setWindowTitle("数据导入");
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *settings = new QGroupBox("导入基础设置", this);
    mappingButton = adminui::flatButton(settings, "SpeedButton2", "资料数据库字段对应");
    titlesInFirstRow = new QCheckBox("所导入的数据第一行作为标题", settings);
    titlesInFirstRow->setObjectName("CheckBox1");
    titlesInFirstRow->setChecked(true);

    auto *kinds = new QGroupBox("选择要导入的资料", settings);
    goodsButton = new QRadioButton("货品资料", kinds);
    goodsButton->setObjectName("RadioButton3");
    customersButton = new QRadioButton("客户信息", kinds);
    customersButton->setObjectName("RadioButton4");
    suppliersButton = new QRadioButton("往来单位", kinds);
    suppliersButton->setObjectName("RadioButton6");
    auto *kindLayout = new QHBoxLayout(kinds);
    for (QRadioButton *b : {goodsButton, customersButton, suppliersButton})
        kindLayout->addWidget(b);

    auto *excel = new QGroupBox("选择Excel", settings);
    fileBox = new QLineEdit(excel);
    fileBox->setObjectName("Edit1");
    browseButton = adminui::flatButton(excel, "SpeedButton1", "...");
    sheetBox = new QComboBox(excel);
    sheetBox->setObjectName("ComboBox1");
    auto *excelLayout = new QGridLayout(excel);
    excelLayout->addWidget(new QLabel("请选择Excel文件", excel), 0, 0, 1, 2);
    excelLayout->addWidget(fileBox, 1, 0);
    excelLayout->addWidget(browseButton, 1, 1);
    excelLayout->addWidget(new QLabel("请选择数据表(Sheet)表", excel), 2, 0, 1, 2);
    excelLayout->addWidget(sheetBox, 3, 0, 1, 2);

    importButton = new QPushButton("导入数据", settings);
    importButton->setObjectName("BitBtn1");
    importButton->setAutoDefault(false);
    cancelButton = new QPushButton("取消", settings);
    cancelButton->setObjectName("BitBtn2");
    cancelButton->setAutoDefault(false);
    // Leaving the window is not leaving the file box for the sheet box.
    cancelButton->setFocusPolicy(Qt::NoFocus);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(importButton);
    buttons->addWidget(cancelButton);

    auto *memo = new QPlainTextEdit(QString::fromUtf8(kInstructions), settings);
    memo->setObjectName("Memo1");
    memo->setReadOnly(true);
    memo->setStyleSheet("color: red");

    auto *left = new QVBoxLayout(settings);
    left->addWidget(mappingButton);
    left->addWidget(titlesInFirstRow);
    left->addWidget(kinds);
    left->addWidget(excel);
    left->addLayout(buttons);
    left->addWidget(memo, 1);

    auto *mapping = new QGroupBox("资料数据库字段映射", this);
    mappingGrid = adminui::listGrid(mapping, "StringGrid1", {"源字段名", QString(), "数据库字段名"});
    mappingGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    mappingGrid->setColumnWidth(0, 200);
    mappingGrid->setColumnWidth(1, 120);
    mappingGrid->setColumnWidth(2, 200);
    titleList = new QComboBox(mappingGrid->viewport());
    titleList->setObjectName("ComboBox2");
    titleList->addItem(QString());
    titleList->hide();
    auto *right = new QVBoxLayout(mapping);
    right->addWidget(mappingGrid);

    auto *main = new QHBoxLayout(this);
    main->addWidget(settings, 2);
    main->addWidget(mapping, 3);
    resize(900, 520);

    for (QWidget *w : {static_cast<QWidget *>(fileBox), static_cast<QWidget *>(sheetBox), static_cast<QWidget *>(goodsButton),
                       static_cast<QWidget *>(customersButton), static_cast<QWidget *>(suppliersButton)})
        w->installEventFilter(this);

    connect(browseButton, &QToolButton::clicked, this, &TfrmExcelInto::SpeedButton1Click);
    connect(mappingButton, &QToolButton::clicked, this, &TfrmExcelInto::SpeedButton2Click);
    connect(importButton, &QPushButton::clicked, this, &TfrmExcelInto::BitBtn1Click);
    connect(cancelButton, &QPushButton::clicked, this, &TfrmExcelInto::BitBtn2Click);
    // A mapping made for one kind does not serve another.
    for (QRadioButton *b : {goodsButton, customersButton, suppliersButton})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on && m_mappedKind && m_mappedKind != kind()) {
                mappingGrid->setRowCount(0);
                titleList->hide();
                m_mappedKind.reset();
            }
        });
    connect(mappingGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { showTitleList(row, column); });
    connect(mappingGrid, &QTableWidget::cellClicked, this, &TfrmExcelInto::showTitleList);
    connect(titleList, &QComboBox::activated, this, [this](int index) {
        const int row = mappingGrid->currentRow();
        if (row >= 0 && mappingGrid->item(row, 0))
            mappingGrid->item(row, 0)->setText(titleList->itemText(index));
        titleList->hide();
    });
}

void TfrmExcelInto::FormShow() { writeWindowStatus(windowTitle()); }

std::optional<ImportKind> TfrmExcelInto::kind() const
{
    if (goodsButton->isChecked())
        return ImportKind::Goods;
    if (customersButton->isChecked())
        return ImportKind::Customers;
    if (suppliersButton->isChecked())
        return ImportKind::Suppliers;
    return std::nullopt;
}

bool TfrmExcelInto::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && watched == fileBox && operatorMoved(static_cast<QFocusEvent *>(event)))
        listSheets();
    else if (event->type() == QEvent::FocusIn && watched == sheetBox && operatorMoved(static_cast<QFocusEvent *>(event)))
        listSheets();
    else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QWidget *next = watched == fileBox           ? static_cast<QWidget *>(sheetBox)
                            : watched == customersButton ? static_cast<QWidget *>(goodsButton)
                            : watched == goodsButton     ? static_cast<QWidget *>(suppliersButton)
                            : watched == suppliersButton ? static_cast<QWidget *>(importButton)
                                                         : nullptr;
            if (next) {
                next->setFocus();
                return true;
            }
        }
    }
    return TFormDialog::eventFilter(watched, event);
}

void TfrmExcelInto::listSheets()
{
    if (fileBox->text().isEmpty()) {
        notice(this, "请选择您要导入的Excel 表格");
        return;
    }
    const int chosen = sheetBox->currentIndex();
    QStringList names;
    try {
        names = SheetReader::open(fileBox->text())->sheetNames();
    } catch (const std::exception &e) {
        sheetBox->clear();
        showError(this, e);
        return;
    }
    const QSignalBlocker block(sheetBox);
    sheetBox->clear();
    sheetBox->addItems(names);
    // The sheet chosen before stays chosen when the same workbook is listed again.
    sheetBox->setCurrentIndex(chosen >= 0 && chosen < names.size() ? chosen : 0);
}

void TfrmExcelInto::SpeedButton1Click()
{
    const QString file =
        prompt().openFileName(this, "选择Excel文件", QString(), "Excel工作簿 (*.xls *.xlsx);;*.xls (*.xls);;*.xlsx (*.xlsx)");
    if (file.isEmpty())
        return;
    fileBox->setText(file);
    sheetBox->clear();
    listSheets();
}

std::unique_ptr<SheetReader> TfrmExcelInto::openSheet(bool select)
{
    auto sheet = SheetReader::open(fileBox->text());
    if (select)
        sheet->selectSheet(qMax(0, sheetBox->currentIndex()));
    return sheet;
}

void TfrmExcelInto::SpeedButton2Click()
{
    if (fileBox->text().isEmpty()) {
        notice(this, "请选择您要导入的Excel 表格");
        return;
    }
    const std::optional<ImportKind> k = kind();
    if (!k)
        return;
    // Row 1 is read here: a sheet found damaged in it ends in the message, as any other.
    QStringList titles, defaults;
    try {
        const std::unique_ptr<Progress> bar = prompt().progress(this, windowTitle(), "正在读取表格……");
        const BusyCursor busy;
        const std::unique_ptr<SheetReader> sheet = openSheet(true);
        titles = sheetTitles(*sheet, [&bar](double done) { return bar->advance(qRound64(done * 1000), 1000); });
        defaults = defaultMapping(*k, *sheet);
    } catch (const ImportCancelled &) {
        return;
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    titleList->hide();
    titleList->clear();
    titleList->addItems(titles);
    titleList->addItem(QString());
    const QStringList targets = importColumns(*k);
    const QSignalBlocker block(mappingGrid);
    mappingGrid->setRowCount(0);
    mappingGrid->setRowCount(int(targets.size()));
    for (int r = 0; r < targets.size(); ++r) {
        mappingGrid->setItem(r, 0, new QTableWidgetItem(defaults.value(r)));
        mappingGrid->setItem(r, 1, new QTableWidgetItem("导入到"));
        mappingGrid->setItem(r, 2, new QTableWidgetItem(targets[r]));
        for (int c = 1; c < 3; ++c)
            mappingGrid->item(r, c)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    m_mappedKind = k;
}

void TfrmExcelInto::showTitleList(int row, int column)
{
    if (column != 0 || row < 0 || !mappingGrid->item(row, 0)) {
        titleList->hide();
        return;
    }
    const QRect cell = mappingGrid->visualItemRect(mappingGrid->item(row, 0));
    titleList->setGeometry(cell.x(), cell.y(), 200, cell.height());
    const QSignalBlocker block(titleList);
    titleList->setCurrentIndex(qMax(0, titleList->findText(mappingGrid->item(row, 0)->text())));
    titleList->show();
    titleList->setFocus();
}

void TfrmExcelInto::BitBtn1Click()
{
    const std::optional<ImportKind> k = kind();
    if (!k) {
        notice(this, "请选择要导入的类别");
        return;
    }
    if (sheetBox->count() == 0) {
        notice(this, "请选择数据表sheet");
        return;
    }
    if (fileBox->text().isEmpty())
        return;
    ImportOutcome outcome;
    try {
        // From the first byte read: a sheet may hold much before its titles.
        const std::unique_ptr<Progress> bar = prompt().progress(this, windowTitle(), "正在导入数据……");
        const ImportProgress shown = [&bar](double done) { return bar->advance(qRound64(done * 1000), 1000); };
        std::unique_ptr<SheetReader> sheet;
        QStringList titles, mapping;
        {
            const BusyCursor busy;
            sheet = openSheet(true);
            titles = sheetTitles(*sheet, shown);
            // The grid's choices, or the default mapping when the grid was not filled for this kind.
            if (m_mappedKind == k) {
                for (int r = 0; r < mappingGrid->rowCount(); ++r)
                    mapping << (mappingGrid->item(r, 0) ? mappingGrid->item(r, 0)->text() : QString());
            } else {
                mapping = defaultMapping(*k, *sheet);
            }
        }
        outcome = ExcelImport(db(), *k).run(*sheet, titles, mapping, titlesInFirstRow->isChecked(), Clock::localNow().date(),
                                            shown);
    } catch (const ImportCancelled &) {
        outcome.cancelled = true;
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (outcome.cancelled) {
        notice(this, "导入已取消，没有导入任何数据");
        return;
    }
    if (!outcome.ok) {
        for (const ImportProblem &p : std::as_const(outcome.problems))
            notice(this, p.text());
        return;
    }
    prompt().message(this, "提示", importDoneText(*k), QMessageBox::Information, QMessageBox::Ok);
}

void TfrmExcelInto::BitBtn2Click() { close(); }

} // namespace orv
