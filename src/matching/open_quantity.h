#pragma once

#include "platform/quantity.h"

#include <QSqlDatabase>
#include <QString>

namespace gainbook {

// A buy keeps the part of its quantity that no sell has used yet in its
// Memo, as the text of a number. It is open while that text sorts after "0",
// which is the test the buy searches make in SQL: "0", "", "-5" and ".5" are
// closed, "5" and "0.5" are open.
inline bool isOpenMemo(const QString& memo) {
    return memo > QLatin1String("0");
}

// The Memo text of an open quantity: "100", "40", "0.5", "0".
inline QString openQuantityText(Quantity quantity) {
    return quantity.text();
}

// The quantity a Memo holds, as the number its text begins with.
Quantity openQuantityOf(QStringView memo);

// Sets the open quantity of a transaction. Throws StoreError.
void setOpenQuantity(const QSqlDatabase& db, qint64 txnId, Quantity quantity);

// Adds delta (negative to take shares) to the open quantity of a
// transaction. False when no row has that ID. Throws StoreError.
bool addToOpenQuantity(const QSqlDatabase& db, qint64 txnId, Quantity delta);

} // namespace gainbook
