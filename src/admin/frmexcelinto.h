#pragma once
// 数据导入: goods, customers or suppliers from a sheet of a workbook (.xlsx or .xls). The mapping
// grid ties every target column to a sheet column by the titles in the sheet's first row.
#include "admin/excelimport.h"
#include "app/formdialog.h"

#include <QPointer>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QToolButton;

namespace orv {

class TfrmExcelInto : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmExcelInto(QWidget *parent = nullptr);

    void FormShow() override;
    void SpeedButton1Click(); // browse
    void SpeedButton2Click(); // 资料数据库字段对应: the mapping grid
    void BitBtn1Click();      // 导入数据
    void BitBtn2Click();      // 取消
    // The sheet box is filled from the workbook in the file box (when the file box is left and
    // when the sheet box is entered).
    void listSheets();

    std::optional<ImportKind> kind() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showTitleList(int row, int column);
    std::unique_ptr<SheetReader> openSheet(bool select);

    QToolButton *mappingButton;     // SpeedButton2
    QCheckBox *titlesInFirstRow;    // CheckBox1
    QRadioButton *goodsButton;      // RadioButton3
    QRadioButton *customersButton;  // RadioButton4
    QRadioButton *suppliersButton;  // RadioButton6
    QLineEdit *fileBox;             // Edit1
    QToolButton *browseButton;      // SpeedButton1
    QComboBox *sheetBox;            // ComboBox1
    QPushButton *importButton;      // BitBtn1
    QPushButton *cancelButton;      // BitBtn2
    QTableWidget *mappingGrid;      // StringGrid1
    QComboBox *titleList;           // ComboBox2
    std::optional<ImportKind> m_mappedKind; // the kind the grid was filled for
};

inline QPointer<TfrmExcelInto> frmExcelInto;

} // namespace orv
