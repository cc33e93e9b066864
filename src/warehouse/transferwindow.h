#pragma once
// What the two transfer entry windows (车间调拨 and 仓库调拨) share: the number, the person in
// charge, the date and the remark in the header; below it the goods lines, the totals, the print
// box and buttons, the keys of the lower part, the save run and the print from the grid or from
// the lines just saved. Each window adds the rest of its header, its save and its print's texts.
#include "warehouse/goodsentrywindow.h"
#include "warehouse/transfers.h"

class QComboBox;
class QLayout;

namespace orv {

class StaffCombo;

class TransferWindow : public GoodsEntryWindow {
    Q_OBJECT
public:
    void FormShow() override;
    void SpeedButton8Click();  // 打印单据(&P): the window as it stands
    void Edit2Entered();       // Enter in the code entry
    virtual void BitBtn1Click() = 0; // 确定(&S)
    void BitBtn2Click();             // 清空(&C): the header's people and places, the lines, new numbers

    // The record ID of the transfer last saved.
    const QString &transferID() const { return m_transferID; }

protected:
    // `fitCaller` and `mdfMode`: the goods picker's and the line editor's modes of the window.
    TransferWindow(const QString &caption, int fitCaller, int mdfMode, QWidget *parent);
    ~TransferWindow() override;

    // The window laid out: the title, `header`, then the shared lower part.
    void layOutBelow(QLayout *header);
    // The keys of the lower part; `last` is the header field before the grid.
    void setUpLowerKeys(QWidget *last);
    // The header's key chain: each field to the next, a field's picker first.
    struct KeyStep {
        QWidget *field;
        std::function<void()> picker;
    };
    void chainHeader(const QVector<KeyStep> &steps);
    // A "..." button named `name` beside a header field, opening its picker.
    QToolButton *pickerButton(const char *name, std::function<void()> open);

    // The window's next numbers proposed in its number fields.
    virtual void makeNumbers() = 0;
    // The header's picked texts emptied (besides the person in charge).
    virtual void clearHeader() = 0;
    // The window's print of `values`, lines in `lineSlots` order.
    virtual DocumentPrint transferPrint(const TransferPrintValues &values, const LineSlots &lineSlots,
                                        const QList<QStringList> &lines) = 0;
    virtual TransferPrintValues printValues() const = 0;
    virtual QString lineTable() const = 0;
    void print(bool fromGrid);

    // The save: the checks' `failure` shown and its field focused, else `save` run with the date as
    // stored and the numbers it gave handed to `given`; a shortage named by `shortText` ("第n行" +
    // it); else the number given shown, "货品调拨成功", the print of the saved lines when asked,
    // the window cleared and the person in charge focused. True when saved.
    bool saveTransfer(const std::optional<CheckFailure> &failure, const QString &date,
                      const std::function<Transfers::Result(const QString &storedDate)> &save, const QString &shortText,
                      const std::function<void(const Transfers::Result &)> &given = {});
    // The print's values every transfer shows: number, date, remark, the person in charge and the
    // totals.
    TransferPrintValues shownValues() const;

    Transfers m_transfers;
    QString m_transferID;

    QLineEdit *numberEdit;    // EditStoreNo
    QLineEdit *dateEdit;      // Edit1Date
    QLineEdit *remarkEdit;    // Edit5
    StaffCombo *managerCombo; // ComboBox2 负责人
    QToolButton *printButton, *saveButton, *clearButton; // SpeedButton8, BitBtn1, BitBtn2

private:
    bool passes(const std::optional<CheckFailure> &failure);
};

} // namespace orv
