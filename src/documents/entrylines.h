#pragma once
// What the handlers of an entry window's goods lines and amount fields share: a picked or typed
// line taken into the grid, a deleted line's figures taken off a total, the amount put on account
// following the amount paid, and the amount fields themselves.
#include <QString>
#include <functional>
#include <optional>

class QLineEdit;
class QWidget;

namespace orv {

class DocNumbers;
class GoodsLineGrid;
class GoodsLineView;

// WM_FIT_CHOSEN: the line in G.gRepFit taken into the grid and made current; the line editor
// opened on it when the goods was there already or the pick asks for it. True when a line came
// in (the totals change); false when the goods was there (the editor tells its own change).
// `newLine` completes a line that came in (the sales bill's discount) before the editor opens.
bool takeChosenLine(GoodsLineGrid &lines, GoodsLineView *view, const std::function<void()> &openEditor,
                    const std::function<void(int gridRow)> &newLine = {});

// Enter in the code entry: the typed code or barcode looked up at `fitPrice` and, when found,
// taken by `take` as a picked line; the entry is emptied unless the goods was in the grid
// already (and, with `clearUnknown`, when nothing was found).
void takeEnteredCode(QWidget *window, QLineEdit *codeEdit, const GoodsLineGrid &lines, int fitPrice,
                     const std::function<void()> &take, bool clearUnknown = false);

// The next free number of `numbers` shown in `field`; when it cannot be proposed (a lost
// connection) the field is emptied and the operator told. True when a number was shown.
bool proposeNumberInto(QWidget *window, QLineEdit *field, DocNumbers &numbers);

// A number field or label less `value` (an empty value is 0); left alone when either is no number.
void subtractFrom(QWidget *field, const QString &value);

// After a key in the paid field: 挂账 := total − paid when both are filled; an emptied paid field
// becomes "0" with the whole total on account.
void followPaid(const QLineEdit *total, QLineEdit *paid, QLineEdit *onAccount);

// After a key in the on-account field: paid := total − on account, when both hold numbers.
void followOnAccount(const QLineEdit *total, const QLineEdit *onAccount, QLineEdit *paid);

// An amount field as a save reads it: an empty one becomes "0"; one that is no number is refused
// with `name` + "必须是数字" (nullopt).
std::optional<double> readAmountField(QWidget *window, QLineEdit *field, const char *name);

// An amount field: digits and one decimal point, "0" at first.
QLineEdit *amountEdit(const QString &name, QWidget *parent);

} // namespace orv
