#pragma once

#include "platform/money.h"
#include "platform/quantity.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

namespace gainbook {

// A position still open on a day: a lot held (shares or options bought), or
// a short sale or written option not covered yet.
struct OpenPosition {
    QString kind; // "long", "short", "call bought", "put bought", "call written", "put written"
    QString symbol;
    Quantity quantity;
    Money amount; // a lot's cost; a short's proceeds not covered yet
    QDate opened;
    QDate expires; // an option's expiry; invalid for shares
    // A put written still open: the loss a wash sale disallowed onto its
    // open contracts, which the cost of what closes the put will take.
    Money washAdjustment;
};

// The account's positions open on the day given, by symbol and day opened:
// its open lots (openLots, as processing left them) and the short sales
// and written options dated on or before the day whose covers, by then, are
// fewer than their shares. Throws StoreError.
QVector<OpenPosition> openPositions(const QSqlDatabase& db, const QString& account,
                                    const QDate& on);

// The columns of the positions listing and a position's fields.
QStringList openPositionHeading();
QStringList openPositionFields(const OpenPosition& position);

} // namespace gainbook
