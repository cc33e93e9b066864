#include "admin/frmrecord.h"
#include "admin/adminui.h"
#include "admin/systemlog.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/excelexport.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

TfrmRecord::TfrmRecord(QWidget *parent) : TFormDialog(parent)
{
    setObjectName("frmRecord");
    setWindowTitle("系统日志");
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    countLabel = new QLabel(this);
    countLabel->setObjectName("Label1");
    exportButton = adminui::flatButton(this, "SpeedButton1", QString());
    exportButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    exportButton->setToolTip("导出到Excel");
    deleteButton = adminui::flatButton(this, "SpeedButton2", "删除");
    emptyButton = adminui::flatButton(this, "SpeedButton3", "清空");
    closeButton = adminui::flatButton(this, "SpeedButton4", "关闭");
    auto *bar = new QHBoxLayout;
    bar->addWidget(countLabel);
    bar->addStretch();
    for (QToolButton *b : {exportButton, deleteButton, emptyButton, closeButton})
        bar->addWidget(b);

    logGrid = adminui::listGrid(this, "DBGrid1", {"流水号", "时间", "用户", "事件"});
    logGrid->setColumnHidden(0, true);
    logGrid->setColumnWidth(1, 150);
    logGrid->setColumnWidth(2, 70);
    logGrid->setColumnWidth(3, 150);
    adminui::wheelMovesCurrentRow(logGrid);

    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addWidget(logGrid, 1);
    resize(440, 420);

    connect(exportButton, &QToolButton::clicked, this, &TfrmRecord::SpeedButton1Click);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmRecord::SpeedButton2Click);
    connect(emptyButton, &QToolButton::clicked, this, &TfrmRecord::SpeedButton3Click);
    connect(closeButton, &QToolButton::clicked, this, &TfrmRecord::SpeedButton4Click);
}

void TfrmRecord::FormShow()
{
    writeWindowStatus(windowTitle());
    reload();
    logGrid->setFocus();
}

void TfrmRecord::reload()
{
    QList<LogRow> rows;
    int count = 0;
    try {
        LogStore store(db());
        count = store.count();
        rows = store.rows();
    } catch (const std::exception &e) {
        showError(this, e);
    }
    logGrid->setRowCount(0);
    logGrid->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        logGrid->setItem(i, 0, new QTableWidgetItem(QString::number(rows[i].rowNo)));
        logGrid->setItem(i, 1, new QTableWidgetItem(rows[i].time));
        logGrid->setItem(i, 2, new QTableWidgetItem(rows[i].user));
        logGrid->setItem(i, 3, new QTableWidgetItem(rows[i].event));
    }
    if (!rows.isEmpty())
        logGrid->setCurrentCell(0, 1);
    countLabel->setText("总记录数为:" + QString::number(count));
}

void TfrmRecord::SpeedButton2Click()
{
    const qint64 rowNo = adminui::cellText(logGrid, logGrid->currentRow(), 0).toLongLong();
    if (rowNo == 0)
        return;
    if (!askYesNo(this, "系统提示", "您确实要删除吗?"))
        return;
    try {
        LogStore(db()).remove(rowNo);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    reload();
}

void TfrmRecord::SpeedButton3Click()
{
    if (!askYesNo(this, "系统提示", "您确实要清空吗?"))
        return;
    try {
        LogStore(db()).clear();
    } catch (const std::exception &e) {
        showError(this, e);
    }
    reload();
}

void TfrmRecord::SpeedButton1Click()
{
    // The list is read afresh for the workbook, with the hidden 流水号 as its first column.
    ExportSheet sheet;
    sheet.headers = {"流水号", "时间", "用户", "事件"};
    try {
        for (const LogRow &r : LogStore(db()).rows())
            sheet.rows.append({QString::number(r.rowNo), r.time, r.user, r.event});
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    sheet.summary = "满足条件记录的总数为：" + QString::number(sheet.rows.size()) + "条";
    m_lastExport = ExcelExport::run(this, sheet, windowTitle());
}

void TfrmRecord::SpeedButton4Click() { close(); }

// ---- 服务支持

TfrmAboutUs::TfrmAboutUs(QWidget *parent) : TFormDialog(parent)
{
    setObjectName("frmAboutUs");
    setWindowTitle("服务支持");
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto *text = new QLabel(this);
    text->setObjectName("Memo1");
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setText(QStringList{G.gAppTitle.isEmpty() ? QStringLiteral("Orvane仓库管理软件-标准版") : G.gAppTitle,
                              QString("版本 %1").arg(QApplication::applicationVersion().isEmpty()
                                                           ? QStringLiteral("0.1")
                                                           : QApplication::applicationVersion()),
                              QString(),
                              "软件的安装、升级和使用问题，请联系为您安装本软件的服务商。",
                              "联系时请说明软件版本、数据库类型（内置数据库或PostgreSQL服务器）",
                              "以及出现问题时的操作步骤和提示信息。"}
                      .join('\n'));
    auto *main = new QVBoxLayout(this);
    main->addWidget(text);
}

void TfrmAboutUs::FormShow() { writeWindowStatus(windowTitle()); }

} // namespace orv
