#pragma once
// The transfers and loss approvals of the receipt load: each client saves warehouse transfers
// (一号库 -> 三号库 and back) and workshop transfers on the shared goods, and approves pending loss
// reports, two clients at a time working through the same reports. The counts travel from the
// client processes as "key=value" words; the checks run on the database afterwards.
#include "data/dbconnection.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <random>

namespace orv::bench {

struct TransferTotals {
    int warehouse = 0, workshop = 0, refused = 0, lossApproved = 0, lossRaced = 0, lossShort = 0, errors = 0;
    QString text() const;
    // Adds a "key=value" word of text(); false for any other word.
    bool add(const QString &word);
};

// The pending loss reports the clients approve.
void seedLossReports(Connection &c);

class TransferLoad {
public:
    TransferLoad(Connection &c, int index, int clients);
    ~TransferLoad();
    // One document: a transfer of either kind, or the approval of the client's next loss report,
    // on a day of the transfers' own (pinned to the clock).
    void step(std::mt19937 &rng);
    const TransferTotals &totals() const { return m_totals; }

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
    TransferTotals m_totals;
    int m_index;
    int m_nextReport;
    int m_steps = 0;
};

// What the transfers and approvals left, printed as the other checks are; true when all hold.
bool checkTransfers(Connection &c, const TransferTotals &totals);

} // namespace orv::bench
