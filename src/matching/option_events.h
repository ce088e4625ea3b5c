#pragma once

#include "platform/money.h"
#include "platform/quantity.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

namespace gainbook {

struct AccountTrades;

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

// A trade of the account as the settling reads it: its amount without what
// earlier runs carried into it.
struct EventTrade {
    qint64 id = 0;
    QString symbol;
    QString key; // instrumentKey
    Quantity quantity;
    QString type;
    QDate date;
    Money amount;
    QString openClose;
    bool carried = false; // it holds a premium of an earlier run
    bool used = false;    // a stock row already given an option's premium
};

// What settling makes of the account's trades: each row it changes as it
// becomes, and what it found.
struct OptionEventPlan {
    OptionEventsSettled settled;
    struct Row {
        QString type;
        QString openClose;
        QDate date;
        Money amount;
        Money premium; // carried into the amount by this settling
    };
    QHash<qint64, Row> rows;
};

// How an account's expired, assigned and exercised options are settled.
// Each event closes the position the account held in the option
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
// once. Reads the store only: processing writes the plan, the what-if of the
// lot methods applies it to the trades it holds. Throws StoreError.
OptionEventPlan planOptionEvents(const QSqlDatabase& db, const QString& account);

// The same plan over trades already read, in memory.
OptionEventPlan planOptionEvents(QVector<EventTrade> trades, qsizetype events);

// Plans and writes the settling of an account's option events, ready for
// matching. Throws StoreError; the caller holds the transaction.
OptionEventsSettled settleOptionEvents(const QSqlDatabase& db, const QString& account);

// The trades held for a what-if as a processing run would read them after
// settling: rows changed, moved between buys and sells, events of options
// not held left out.
void applyOptionEvents(AccountTrades& trades, const OptionEventPlan& plan);

} // namespace gainbook
