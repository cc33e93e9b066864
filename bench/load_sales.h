#pragma once
// The sales share of the receipt load: direct sales and sales returns on the load's goods, some
// returns of goods not yet kept at their place (rows made by whichever client comes first).
#include "data/dbconnection.h"

#include <QString>
#include <QVector>
#include <memory>
#include <random>

namespace orv::bench {

class SalesLoad {
public:
    // `goodsNo(i)` and `goodsName(i)` name the load's catalogue of `goods` rows at 一号库.
    SalesLoad(Connection &c, int client, int goods);
    ~SalesLoad();
    // One direct sale or return of five lines, saved as the sales bill window saves it. The sales
    // run on days of their own (the clock pinned), so the day's voucher numbers of the receipts
    // are not used up by them.
    void step(std::mt19937 &rng);
    // "sales=… salesshort=… salereturns=… salesnew=… saleserrors=…"
    QString summary() const;
    int errors() const { return m_errors; }

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    int m_client, m_goods;
    int m_sales = 0, m_short = 0, m_returns = 0, m_errors = 0;
};

// What the sales left, each a count of offending rows that must be 0: one number per bill, each
// bill with its five lines and one voucher of five lines naming it.
struct SalesCheck {
    const char *what;
    const char *sql;
};
QVector<SalesCheck> salesChecks();

} // namespace orv::bench
