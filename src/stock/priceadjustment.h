#pragma once
// Price adjustment: 出货价 := 进货价 combined with an operand (+, *, -, /) for the goods rows whose
// 进货价 lies in the ticked scopes. Every ticked scope is checked, in order, before anything is
// written; then all of them are applied in one transaction. Rows without a 进货价 are left alone.
//
//   PricePlan plan = planPriceAdjustment(input);
//   show plan.messages in order; when plan.apply: applyPriceAdjustment(conn, plan), then
//   "处理完毕", the goods list told, the dialog closed; otherwise the dialog stays open.
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

namespace orv {

class Connection;

enum class PriceScope {
    Equal,        // 进货价 = a
    Below,        // 进货价 < a
    Above,        // 进货价 > a
    Between,      // a < 进货价 < b
    BetweenEqual, // a <= 进货价 <= b
    All,          // every row with a 进货价
};
constexpr int kPriceScopes = 6;

enum class PriceOp { Add, Multiply, Subtract, Divide };
const QStringList &priceOperators(); // "+", "*", "-", "/"

struct PriceScopeInput {
    bool ticked = false;
    QString low, high; // the bound texts as typed (`high` only for the two-bound scopes)
};

struct PriceAdjustmentInput {
    std::array<PriceScopeInput, kPriceScopes> scopes{}; // in PriceScope order
    PriceOp op = PriceOp::Add;
    QString operand;
};

struct PriceStep {
    PriceScope scope;
    double low = 0, high = 0;
};

struct PricePlan {
    QStringList messages; // to show, in order
    bool apply = false;   // false: stopped at the last message, nothing is written
    PriceOp op = PriceOp::Add;
    double operand = 0;
    QVector<PriceStep> steps; // the scopes to apply, in order
};

PricePlan planPriceAdjustment(const PriceAdjustmentInput &in);
// The plan's updates in one transaction; returns the rows changed (a row counted per scope).
// Throws DbError (nothing written).
int applyPriceAdjustment(Connection &c, const PricePlan &plan);

inline const QString kPriceDone = QStringLiteral("处理完毕");
inline const QString kOperandEmpty = QStringLiteral("运算值不能为空");
inline const QString kOperandNotNumber = QStringLiteral("运算值必须是数字");
inline const QString kBoundNotNumber = QStringLiteral("进货价的范围值必须是数字");
inline const QString kDivideByZero = QStringLiteral("除法的运算值不能为0");

} // namespace orv
