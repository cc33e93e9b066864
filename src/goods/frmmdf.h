#pragma once
// 货品信息: the line editor. Sets 数量, 辅助数量 and 单价 (and for sales the discount) of one goods
// line: the current line of the opener's goods line grid (gMdfMode 1 to 6 and 15), or a pending
// document's detail row (gMdfMode 8, opened through shenhe()).
#include "app/appglobals.h"
#include "goods/goodsdialog.h"
#include "goods/lineediting.h"

#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orv {

class TfrmMdf : public GoodsDialog {
    Q_OBJECT
public:
    explicit TfrmMdf(QWidget *opener = nullptr);

    void FormShow() override;
    void Button1Click(); // 确定
    // The discount row (折扣, 折后金额): shown for the sales bill and sales order lines only.
    void setDiscountShown(bool shown);

    LineValues values() const;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply(const LineValues &v);
    // Runs a rule on the fields; a value that is not a number leaves every field as it was.
    template <typename Rule> void recompute(Rule rule);
    std::optional<QString> ratio();

    QPointer<QWidget> m_opener;
    int m_gridRow = 0;
    qint64 m_detailRow = 0;

    QLabel *goodsNoLabel;  // Label2
    QLabel *nameLabel;     // Label4
    QLabel *specLabel;     // Label6
    QLabel *unitLabel;     // Label8
    QLabel *auxUnitLabel;  // Label10
    QLabel *barcodeLabel;  // Label12
    QLabel *placeLabel;    // Label14
    QLabel *supplierLabel; // Label16
    QLabel *categoryLabel; // Label18
    QLabel *ratioLabel;    // Label26
    QLineEdit *priceEdit;  // Edit3
    QLineEdit *qtyEdit;    // Edit1
    QLineEdit *auxQtyEdit; // Edit2
    QLineEdit *amountEdit; // Edit4, read-only
    QLabel *discountCaption;   // Label23
    QLabel *discountedCaption; // Label24
    QLineEdit *discountEdit;   // Edit5
    QLineEdit *discountedEdit; // Edit6, read-only
    QPushButton *okButton;     // 确定
    QPushButton *cancelButton; // 取消
};

inline QPointer<TfrmMdf> frmMdf;

// An entry window opens the editor on its current grid line: gMdfMode := mode, an earlier
// editor freed, the discount row shown for the sales bill (mode 6) only, centred, modal.
int openLineEditor(QWidget *receiver, int mdfMode);
// TfrmMain.shenhe: the audit window of G.gAuditKind opens the editor on the detail row
// G.gRepFit.RowNo (gMdfMode := 8; the discount row for sales orders only).
int shenhe(QWidget *auditWindow);

} // namespace orv
