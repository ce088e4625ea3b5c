#pragma once

#include "store/records.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace gainbook {

// How many of the records the account holds already: the same symbol,
// quantity, dates, cost and proceeds. Each held row answers for one record,
// so a file that repeats a sale the account holds once counts it once.
// Throws StoreError.
qint64 countHeldAlready(const QSqlDatabase& db, const QString& account,
                        const QVector<TaxRecord>& records);

} // namespace gainbook
