#include "store/store_health.h"

#include "store/sql.h"
#include "store/store_fault.h"

#include <QSqlQuery>

namespace gainbook {

HealthCheck checkHealth(const QSqlDatabase& db, const QString& schema) {
    // The schema name is an identifier, which cannot be a bound value; only
    // the two names the program uses are accepted.
    if (schema != QLatin1String("main") && schema != QLatin1String("backup"))
        return {HealthCheck::Status::Failed, QStringLiteral("unknown schema %1").arg(schema)};
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA %1.quick_check(1)").arg(schema))) {
        const QSqlError error = query.lastError();
        switch (storeFault(error)) {
        case StoreFault::InUse:
            return {HealthCheck::Status::InUse, describeSqlError(error)};
        case StoreFault::Damaged:
            return {HealthCheck::Status::Damaged, describeSqlError(error)};
        default:
            return {HealthCheck::Status::Failed, describeSqlError(error)};
        }
    }
    const QString first = query.next() ? query.value(0).toString() : QString();
    if (first == QLatin1String("ok"))
        return {};
    return {HealthCheck::Status::Damaged,
            first.isEmpty() ? QStringLiteral("the check gave no answer") : first};
}

} // namespace gainbook
