#pragma once

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

// Quantities are kept to millionths of a share, so that a run of partial
// lots cannot leave a remainder such as 1e-14 open behind.
double roundQuantity(double quantity);

// The Memo text of an open quantity: "100", "40", "0.5", "0".
QString openQuantityText(double quantity);

// Sets the open quantity of a transaction. Throws StoreError.
void setOpenQuantity(const QSqlDatabase& db, qint64 txnId, double quantity);

// Adds delta (negative to take shares) to the open quantity of a
// transaction. False when no row has that ID. Throws StoreError.
bool addToOpenQuantity(const QSqlDatabase& db, qint64 txnId, double delta);

} // namespace gainbook
