#pragma once

#include "platform/form8949_box.h"

#include <QSqlDatabase>
#include <QString>

namespace gainbook {

// Whether the account's broker reports the cost basis to the IRS; Reported
// for an account never set. Throws StoreError.
BasisReporting selectBasisReporting(const QSqlDatabase& db, const QString& account);

// Keeps the setting for the account, replacing the one it had. Throws
// StoreError.
void setBasisReporting(const QSqlDatabase& db, const QString& account, BasisReporting basis);

} // namespace gainbook
