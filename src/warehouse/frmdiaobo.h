#pragma once
// The entry window of the seven internal document kinds (车间领用, 成品入库, 次品返工, 货品报损,
// 货品借出, 货品归还, 公司赠送), laid out for its kind: the header fields the kind uses, its
// labels and keyboard order; goods lines from the goods picker, a typed code or (requisitions)
// an imported receipt; 确定 saves the document (posted, or pending for a loss report) and the
// window waits for the next one of the same kind.
#include "warehouse/goodsentrywindow.h"
#include "warehouse/internalposting.h"

#include <QHash>
#include <QPointer>

class QComboBox;

namespace orv {

class TfrmDiaobo : public GoodsEntryWindow {
    Q_OBJECT
public:
    // Laid out for `kind` (1 to 7).
    explicit TfrmDiaobo(int kind, QWidget *parent = nullptr);
    ~TfrmDiaobo() override;

    const InternalKind &kind() const { return m_kind; }

    void FormShow() override;

    void MakeDocNo();           // the kind's next number into EditStoreNo
    void SaveDocument();        // 确定(&S)
    void BitBtn4Click();        // 清空(&C)
    void SpeedButton18Click();  // 单据打印(&P): the document as the window shows it
    void SpeedButton19Click();  // 从采购进货单导入(&N)
    void SpeedButton20Click();  // 从成品入库单导入(&M)
    void SpeedButton9Click();   // the party: the department picker
    void SpeedButton5Click();   // the date picker
    void staffButtonClick(int staffMode); // the staff pickers (modes 15-22)
    void Edit6Entered();        // Enter in the code entry

    // The record ID of the document last saved.
    const QString &docID() const { return m_docID; }

private:
    void build();
    void layOut();
    void setUpKeys();
    void declarePicks();
    QWidget *control(const char *name) const;
    QString text(const char *control) const;
    QString columnText(const QString &column) const;
    void importLine();
    void clearDocument();
    void print(bool fromGrid);

    const InternalKind &m_kind;
    InternalPosting m_posting;
    QString m_docID;
    QHash<QString, QWidget *> m_controls; // header inputs by control name
    QHash<QString, QLabel *> m_labels;    // their labels, by control name
    QHash<QString, QToolButton *> m_buttons; // their picker buttons, by control name

    QLineEdit *numberEdit;      // EditStoreNo
    QComboBox *partyCombo;      // ComboBox5
    QLineEdit *managerEdit;     // Edit4
    QLineEdit *codeEdit;        // Edit8
    QLineEdit *dateEdit;        // Edit1Date
    QLineEdit *remarkEdit;      // Edit5
    QCheckBox *pendingBox;      // CheckBox3 是否审核 (hidden)
    QToolButton *receiptImportButton, *finishedImportButton; // SpeedButton19, 20
    QToolButton *printButton, *saveButton, *clearButton;     // SpeedButton18, BitBtn3, BitBtn4
};

inline QPointer<TfrmDiaobo> frmDiaobo;

} // namespace orv
