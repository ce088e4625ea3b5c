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

} // namespace gainbook
