#pragma once

#include "platform/form8949_box.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>

namespace gainbook {

// Whether the account's broker reports the cost basis to the IRS; Reported
// for an account never set. Throws StoreError.
BasisReporting selectBasisReporting(const QSqlDatabase& db, const QString& account);

// Keeps the setting for the account, replacing the one it had. Throws
// StoreError.
void setBasisReporting(const QSqlDatabase& db, const QString& account, BasisReporting basis);

// Whether and how an account takes part in wash-sale detection.
struct WashSettings {
    bool detect = true;         // its losses are checked and its buys may replace them
    bool otherAccounts = true;  // buys in the store's other accounts replace its losses
    bool taxAdvantaged = false; // an IRA: a loss its buys replace is disallowed for good

    friend bool operator==(const WashSettings&, const WashSettings&) = default;
};

// Every setting of an account.
struct AccountSettings {
    BasisReporting basis = BasisReporting::Reported;
    WashSettings wash;
};

// The wash-sale settings of an account; the defaults for one never set.
// Throws StoreError.
WashSettings selectWashSettings(const QSqlDatabase& db, const QString& account);

// Keeps the wash-sale settings of an account. Throws StoreError.
void setWashSettings(const QSqlDatabase& db, const QString& account, const WashSettings& wash);

// The settings of every account that has a row; the others have the
// defaults. Throws StoreError.
QHash<QString, AccountSettings> selectAllAccountSettings(const QSqlDatabase& db);

} // namespace gainbook
