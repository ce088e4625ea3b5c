#pragma once

#include "matching/open_lots.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace gainbook {

class CorporateActions;

// The lots linked receives brought into the account that are still open,
// as its last run left them: each with the date and cost it had where it
// was bought, its shares as they stand on the day after splits. A lot that
// arrived after the day is not there yet. Throws StoreError.
QVector<OpenLot> movedOpenLots(const QSqlDatabase& db, const QString& account, const QDate& on,
                               const CorporateActions& actions);

} // namespace gainbook
