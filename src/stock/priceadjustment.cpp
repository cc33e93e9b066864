#include "stock/priceadjustment.h"
#include "data/dbconnection.h"
#include "goods/goodslines.h"

namespace orv {

namespace {
// The message of an empty bound, per scope and bound (scopes 2 and 3 share the first one's).
const char *const kEmptyLow[kPriceScopes] = {
    "请输入进货价等于某个值再进行调价", "请输入进货价等于某个值再进行调价", "请输入进货价等于某个值再进行调价",
    "请输入进货价大于某个值再进行调价", "请输入进货价大于等于某个值再进行调价", nullptr};
const char *const kEmptyHigh[kPriceScopes] = {nullptr, nullptr, nullptr, "请输入进货价小于某个值在进行更新",
                                              "请输入进货价小于等于某个值在进行更新", nullptr};

int boundCount(PriceScope s)
{
    switch (s) {
    case PriceScope::All:
        return 0;
    case PriceScope::Between:
    case PriceScope::BetweenEqual:
        return 2;
    default:
        return 1;
    }
}

const char *scopeCondition(PriceScope s)
{
    switch (s) {
    case PriceScope::Equal:
        return "进货价 = ?";
    case PriceScope::Below:
        return "进货价 < ?";
    case PriceScope::Above:
        return "进货价 > ?";
    case PriceScope::Between:
        return "进货价 > ? and 进货价 < ?";
    case PriceScope::BetweenEqual:
        return "进货价 >= ? and 进货价 <= ?";
    case PriceScope::All:
        break;
    }
    return "进货价 is not null";
}
} // namespace

const QStringList &priceOperators()
{
    static const QStringList ops{"+", "*", "-", "/"};
    return ops;
}

PricePlan planPriceAdjustment(const PriceAdjustmentInput &in)
{
    PricePlan plan;
    plan.op = in.op;
    auto stop = [&plan](const QString &text) {
        plan.messages << text;
        plan.steps.clear();
        plan.apply = false;
        return plan;
    };
    for (int i = 0; i < kPriceScopes; ++i) {
        const PriceScopeInput &s = in.scopes[size_t(i)];
        if (!s.ticked)
            continue;
        const auto scope = PriceScope(i);
        const int bounds = boundCount(scope);
        if (bounds >= 1 && s.low.isEmpty()) {
            plan.messages << QString::fromUtf8(kEmptyLow[i]);
            continue;
        }
        if (bounds == 2 && s.high.isEmpty()) {
            plan.messages << QString::fromUtf8(kEmptyHigh[i]);
            continue;
        }
        if (in.operand.isEmpty())
            return stop(kOperandEmpty);
        const auto operand = parseNumber(in.operand);
        if (!operand)
            return stop(kOperandNotNumber);
        if (in.op == PriceOp::Divide && *operand == 0)
            return stop(kDivideByZero);
        PriceStep step{scope};
        if (bounds >= 1) {
            const auto low = parseNumber(s.low);
            const auto high = bounds == 2 ? parseNumber(s.high) : low;
            if (!low || !high)
                return stop(kBoundNotNumber);
            step.low = *low;
            step.high = *high;
        }
        plan.operand = *operand;
        plan.steps << step;
    }
    plan.apply = true;
    return plan;
}

int applyPriceAdjustment(Connection &c, const PricePlan &plan)
{
    if (!plan.apply || plan.steps.isEmpty())
        return 0;
    static const char *const ops[] = {"+", "*", "-", "/"};
    const QString set = QString("update 货品目录 set 出货价 = round(cast(进货价 %1 ? as numeric), 4) where ")
                            .arg(QLatin1String(ops[int(plan.op)]));
    int changed = 0;
    Transaction tx(c);
    for (const PriceStep &step : plan.steps) {
        QVariantList binds{plan.operand};
        const int bounds = boundCount(step.scope);
        if (bounds >= 1)
            binds << step.low;
        if (bounds == 2)
            binds << step.high;
        QSqlQuery q(c.db());
        q.prepare(set + QString::fromUtf8(scopeCondition(step.scope)));
        for (const QVariant &b : binds)
            q.addBindValue(b);
        c.run(q, QStringLiteral("调价"));
        changed += q.numRowsAffected();
    }
    tx.commit();
    return changed;
}

} // namespace orv
