#include "store/store_health.h"

#include "store/sql.h"
#include "store/store_fault.h"

#include <QSqlQuery>

#include <sqlite3.h>

namespace gainbook {

namespace {

// The check's first line: "ok", or the first damage found.
HealthCheck fromFirstFinding(const QString& first) {
    if (first == QLatin1String("ok"))
        return {};
    return {HealthCheck::Status::Damaged,
            first.isEmpty() ? QStringLiteral("the check gave no answer") : first};
}

HealthCheck fromFailure(StoreFault fault, const QString& reason) {
    switch (fault) {
    case StoreFault::InUse:
        return {HealthCheck::Status::InUse, reason};
    case StoreFault::Damaged:
        return {HealthCheck::Status::Damaged, reason};
    default:
        return {HealthCheck::Status::Failed, reason};
    }
}

} // namespace

HealthCheck checkHealth(const QSqlDatabase& db, const QString& schema) {
    // The schema name is an identifier, which cannot be a bound value; only
    // the two names the program uses are accepted.
    if (schema != QLatin1String("main") && schema != QLatin1String("backup"))
        return {HealthCheck::Status::Failed, QStringLiteral("unknown schema %1").arg(schema)};
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA %1.quick_check(1)").arg(schema))) {
        const QSqlError error = query.lastError();
        return fromFailure(storeFault(error), describeSqlError(error));
    }
    return fromFirstFinding(query.next() ? query.value(0).toString() : QString());
}

HealthCheck checkHealth(sqlite3* engine) {
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(engine, "PRAGMA quick_check(1)", -1, &statement, nullptr);
    if (code == SQLITE_OK)
        code = sqlite3_step(statement);
    HealthCheck health;
    if (code == SQLITE_ROW || code == SQLITE_DONE) {
        const auto* text = code == SQLITE_ROW ? sqlite3_column_text(statement, 0) : nullptr;
        health = fromFirstFinding(text ? QString::fromUtf8(reinterpret_cast<const char*>(text))
                                       : QString());
    } else {
        health = fromFailure(storeFaultOfCode(code), QString::fromUtf8(sqlite3_errmsg(engine)));
    }
    sqlite3_finalize(statement);
    return health;
}

} // namespace gainbook
