#include "store/account_settings_table.h"

#include "store/sql.h"

namespace gainbook {

BasisReporting selectBasisReporting(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query = runQuery(
        db, QStringLiteral("SELECT BasisReported FROM AccountSettings WHERE AccountName = ?"),
        {textValue(account)});
    if (!query.next())
        return BasisReporting::Reported;
    // A word this version does not know keeps the default rather than
    // guessing at another box.
    return basisFromWord(query.value(0).toString()).value_or(BasisReporting::Reported);
}

void setBasisReporting(const QSqlDatabase& db, const QString& account, BasisReporting basis) {
    runQuery(
        db,
        QStringLiteral("INSERT INTO AccountSettings (AccountName, BasisReported) VALUES (?, ?) "
                       "ON CONFLICT (AccountName) DO UPDATE SET BasisReported = "
                       "excluded.BasisReported"),
        {textValue(account), basisWord(basis)});
}

WashSettings selectWashSettings(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query = runQuery(db,
                               QStringLiteral("SELECT WashSales, WashOtherAccounts, TaxAdvantaged "
                                              "FROM AccountSettings WHERE AccountName = ?"),
                               {textValue(account)});
    if (!query.next())
        return {};
    return {query.value(0).toInt() != 0, query.value(1).toInt() != 0, query.value(2).toInt() != 0};
}

void setWashSettings(const QSqlDatabase& db, const QString& account, const WashSettings& wash) {
    runQuery(db,
             QStringLiteral("INSERT INTO AccountSettings (AccountName, WashSales, "
                            "WashOtherAccounts, TaxAdvantaged) VALUES (?, ?, ?, ?) "
                            "ON CONFLICT (AccountName) DO UPDATE SET WashSales = "
                            "excluded.WashSales, WashOtherAccounts = excluded.WashOtherAccounts, "
                            "TaxAdvantaged = excluded.TaxAdvantaged"),
             {textValue(account), wash.detect ? 1 : 0, wash.otherAccounts ? 1 : 0,
              wash.taxAdvantaged ? 1 : 0});
}

QHash<QString, AccountSettings> selectAllAccountSettings(const QSqlDatabase& db) {
    QSqlQuery query = runQuery(db, QStringLiteral("SELECT AccountName, BasisReported, WashSales, "
                                                  "WashOtherAccounts, TaxAdvantaged "
                                                  "FROM AccountSettings"));
    QHash<QString, AccountSettings> all;
    while (query.next()) {
        AccountSettings settings;
        settings.basis =
            basisFromWord(query.value(1).toString()).value_or(BasisReporting::Reported);
        settings.wash = {query.value(2).toInt() != 0, query.value(3).toInt() != 0,
                         query.value(4).toInt() != 0};
        all.insert(query.value(0).toString(), settings);
    }
    return all;
}

} // namespace gainbook
