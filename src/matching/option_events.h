#pragma once

#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace gainbook {

// What settling an account's option events did.
struct OptionEventsSettled {
    qsizetype events = 0; // expired, assigned and exercised rows of the account
    // Assigned or exercised options whose stock trade of the day is not in
    // the account, as "AAPL 01/17/2025 200.00 C assigned 01/17/2025": their
    // premium went nowhere.
    QStringList noStockTrade;
    // Events of options the account did not hold (their opening trade not
    // captured), as "XYZ 01/17/2025 50.00 P expired 01/17/2025": no sale
    // is made of them, and `unheld` holds their rows for the matcher to
    // leave out.
    QStringList noPosition;
    QSet<qint64> unheld;
};

// Gets an account's expired, assigned and exercised options ready for
// matching. Each event closes the position the account held in the option
// that day: a sell when it held it long, a buy when it had written it, so
// that an expiry is a sale at 0 of a bought option and a premium kept for a
// written one (Pub. 550, Options), dated the contract's expiry when the
// broker posted it later. An assignment or exercise makes no sale:
// the premium of the contracts it closed (oldest first, their share of each
// lot's amount) goes into the stock trade of the same day and underlying,
// the broker's row for the same event (a bought call's into the cost of the
// shares bought, a written put's out of it; a written call's into the
// proceeds of the shares sold, a bought put's out of them). What earlier
// runs carried is taken out first, so that processing again carries it
// once. Throws StoreError; the caller holds the transaction.
OptionEventsSettled settleOptionEvents(const QSqlDatabase& db, const QString& account);

} // namespace gainbook
