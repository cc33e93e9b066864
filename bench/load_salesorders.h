#pragma once
// The sales-order workload of bench_receiptload: pending orders over the stocked goods, approved
// by the clients two at a time (so many an order is tried by both), each approval numbering its
// sales bill from the XSCK- series while the other clients take numbers of the same series for
// direct sales, then the checks of what they left.
#include "data/dbconnection.h"

#include <QList>
#include <QString>
#include <random>

namespace orv::bench::salesorders {

// Before the database is made.
void registerTables();
// The pending orders, of the goods codes given: `orders` of three lines each.
void prepare(Connection &c, const QStringList &codes, const QStringList &names, int orders);

// One client's part.
class Client {
public:
    Client(Connection &c, int index, int clients);
    ~Client();
    // Now and then (one call in four) approves the next order of its pool or takes a direct
    // sale's bill number; errors are counted and logged on stderr.
    void step(std::mt19937 &rng);
    // "orders=.. ordersraced=.. ordersshort=.. directsales=.. ordererrors=.."
    QString report() const;
    int errors() const { return m_errors; }

private:
    struct State;
    State *m;
    int m_errors = 0;
};

// Totals of the clients' reports, and whether the stored rows agree with them.
struct Totals {
    int approved = 0, raced = 0, shortOrders = 0, directSales = 0, errors = 0;
    void add(const QString &report);
};
struct Check {
    const char *what;
    const char *sql; // counts the offending rows
};
// The checks: every count must be 0.
QList<Check> checks();

} // namespace orv::bench::salesorders
