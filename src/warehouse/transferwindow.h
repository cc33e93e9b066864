#pragma once
// What the two transfer entry windows (车间调拨 and 仓库调拨) share below their headers: the goods
// line grid fed by the goods picker and the code entry, the line editor, deleting a line, the
// totals, the print box and buttons, the keys of the lower part, and the print from the grid or
// from the lines just saved. Each window adds its header, its save and its print's texts.
#include "documents/documentprint.h"
#include "documents/entrywindow.h"
#include "goods/goodslines.h"
#include "warehouse/transfers.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QVBoxLayout;
class TfrReport;

namespace orv {

class EntryKeys;
class GoodsLineView;

class TransferWindow : public EntryWindow {
    Q_OBJECT
public:
    GoodsLineGrid *goodsLines() override { return &m_lines; }
    int currentGoodsLine() const override;

    void SpeedButton12Click(); // 增加新的货品
    void SpeedButton14Click(); // 修改
    void SpeedButton13Click(); // 删除
    void SpeedButton8Click();  // 打印单据(&P): the window as it stands
    void Edit2Entered();       // Enter in the code entry
    virtual void BitBtn1Click() = 0; // 确定(&S)
    virtual void BitBtn2Click() = 0; // 清空(&C)

    // The record ID of the transfer last saved.
    const QString &transferID() const { return m_transferID; }
    TfrReport &report() { return *frReport1; }
    const PrintRun &lastPrint() const { return m_lastPrint; }
    GoodsLineView *grid() const { return goodsGrid; }

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

    // The window's print of `values`, lines in `lineSlots` order.
    virtual DocumentPrint transferPrint(const TransferPrintValues &values, const LineSlots &lineSlots,
                                        const QList<QStringList> &lines) = 0;
    virtual TransferPrintValues printValues() const = 0;
    virtual QString lineTable() const = 0;
    void print(bool fromGrid);

    // Before a save: the failure shown and its field focused; true when the checks passed.
    bool passes(const std::optional<CheckFailure> &failure);
    // After the save ran: a shortage named by `shortText` ("第n行" + it); else the number given
    // shown, "货品调拨成功", the print of the saved lines when asked, then `reset`. True when saved.
    bool finishSave(const Transfers::Result &r, const QString &date, const QString &shortText,
                    const std::function<void()> &reset);
    // The save: the checks' `failure` shown, else `save` run with the date as stored; the numbers
    // it gave handed to `given`, then finishSave with the window cleared. True when saved.
    bool saveTransfer(const std::optional<CheckFailure> &failure, const QString &date,
                      const std::function<Transfers::Result(const QString &storedDate)> &save, const QString &shortText,
                      const std::function<void(const Transfers::Result &)> &given = {});
    // The print's values every transfer shows: number, date, remark and the totals.
    TransferPrintValues shownValues() const;
    // The lines emptied, the totals 0, the code entry and the print box cleared.
    void clearLines();
    void recomputeTotals();
    void takeLine();

    Transfers m_transfers;
    GoodsLineGrid m_lines;
    QString m_transferID;
    EntryKeys *m_keys = nullptr;

    QLabel *titleLabel;       // Label1
    QLineEdit *numberEdit;    // EditStoreNo
    QLineEdit *dateEdit;      // Edit1Date
    QLineEdit *remarkEdit;    // Edit5
    GoodsLineView *goodsGrid; // StringGrid1
    QLineEdit *entryEdit;     // Edit2
    QLineEdit *totalEdit;     // Edit1
    QLabel *qtyLabel;         // Label9 (hidden)
    QLabel *auxQtyLabel;      // Label10 (hidden)
    QCheckBox *printBox;      // CheckBox2 打印单据
    QToolButton *addButton, *editButton, *deleteButton; // SpeedButton12, 14, 13
    QToolButton *printButton, *saveButton, *clearButton; // SpeedButton8, BitBtn1, BitBtn2

private:
    std::unique_ptr<TfrReport> frReport1;
    PrintRun m_lastPrint;
};

} // namespace orv
