#include "documents/entrylines.h"
#include "app/appglobals.h"
#include "common/prompt.h"
#include "documents/pickers.h"
#include "goods/goodslines.h"
#include "goods/goodslineview.h"
#include "ledger/docnumbers.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace orv {

bool takeChosenLine(GoodsLineGrid &lines, GoodsLineView *view, const std::function<void()> &openEditor,
                    const std::function<void(int gridRow)> &newLine)
{
    const GoodsLineGrid::Taken taken = lines.take(G.gRepFit);
    view->setCurrentGridRow(taken.row);
    if (taken.existing) {
        openEditor();
        return false;
    }
    if (newLine)
        newLine(taken.row);
    if (taken.openEditor)
        openEditor();
    return true;
}

void takeEnteredCode(QWidget *window, QLineEdit *codeEdit, const GoodsLineGrid &lines, int fitPrice,
                     const std::function<void()> &take, bool clearUnknown)
{
    if (!lookUpEnteredCode(window, codeEdit->text(), fitPrice)) {
        if (clearUnknown)
            codeEdit->clear();
        return;
    }
    const bool known = lines.find(G.gRepFit.GoodsNo, G.gRepFit.GoodsName, G.gRepFit.Place) > 0;
    take();
    if (!known)
        codeEdit->clear();
}

void subtractFrom(QWidget *field, const QString &value)
{
    auto *label = qobject_cast<QLabel *>(field);
    auto *edit = qobject_cast<QLineEdit *>(field);
    if (!label && !edit)
        return;
    const auto total = parseNumber(label ? label->text() : edit->text());
    const auto v = parseNumber(value.trimmed().isEmpty() ? QStringLiteral("0") : value);
    if (!total || !v)
        return;
    const QString result = generalNumber(*total - *v);
    if (label)
        label->setText(result);
    else
        edit->setText(result);
}

void followPaid(const QLineEdit *total, QLineEdit *paid, QLineEdit *onAccount)
{
    const QString t = total->text(), p = paid->text();
    if (t.isEmpty())
        return;
    if (p.isEmpty()) {
        paid->setText(QStringLiteral("0"));
        onAccount->setText(t);
        return;
    }
    const auto a = parseNumber(t), b = parseNumber(p);
    if (a && b)
        onAccount->setText(generalNumber(*a - *b));
}

void followOnAccount(const QLineEdit *total, const QLineEdit *onAccount, QLineEdit *paid)
{
    const auto a = parseNumber(total->text()), b = parseNumber(onAccount->text());
    if (a && b)
        paid->setText(generalNumber(*a - *b));
}

std::optional<double> readAmountField(QWidget *window, QLineEdit *field, const char *name)
{
    if (field->text().isEmpty())
        field->setText(QStringLiteral("0"));
    const auto v = parseNumber(field->text());
    if (!v)
        notice(window, QString::fromUtf8(name) + QStringLiteral("必须是数字"));
    return v;
}

QLineEdit *amountEdit(const QString &name, QWidget *parent)
{
    auto *e = lineEdit(name, parent);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*\\.?\\d*")), e));
    e->setText(QStringLiteral("0"));
    return e;
}

bool proposeNumberInto(QWidget *window, QLineEdit *field, DocNumbers &numbers)
{
    try {
        field->setText(numbers.propose());
        return true;
    } catch (const std::exception &e) {
        field->clear();
        showError(window, e);
        return false;
    }
}

} // namespace orv
