#include "matching/run_end.h"

#include "matching/trade_changes.h"
#include "store/store_error.h"
#include "store/store_fault.h"

namespace gainbook {

RunSummary runSummaryOf(RunKind kind, const QString& account) {
    const auto of = [&](const QString& run) {
        return account.isEmpty() ? run : run + u' ' + account;
    };
    switch (kind) {
    case RunKind::Capture:
        return {QStringLiteral("Capture"), QStringLiteral("trade"), {}, {}};
    case RunKind::Process:
        return {of(QStringLiteral("Processing of")), QStringLiteral("tax record"), {}, {}};
    case RunKind::Recalculate:
        return {of(QStringLiteral("Save/Recalculate of")), QStringLiteral("tax record"), {}, {}};
    case RunKind::TxfImport:
        return {of(QStringLiteral("TXF import into")), QStringLiteral("tax record"), {}, {}};
    case RunKind::GainsImport:
        return {
            of(QStringLiteral("Realized gains import into")), QStringLiteral("tax record"), {}, {}};
    case RunKind::Report:
        return {QStringLiteral("Tax report"), QStringLiteral("line"), {}, {}};
    case RunKind::TxfExport:
        break;
    }
    return {QStringLiteral("TXF export"), QStringLiteral("tax record"), {}, {}};
}

Outcome storeRunEnd(const QSqlDatabase& db, RunKind kind, const QString& account, Outcome outcome) {
    RunSummary run = runSummaryOf(kind, account);
    run.where = databaseFile(db);
    try {
        if (const QString line = processAgainLine(db); !line.isEmpty())
            run.look << line;
    } catch (const StoreError&) {
    }
    return summarized(run, std::move(outcome));
}

Outcome fileRunEnd(RunKind kind, const QString& path, const QString& processAgainLine,
                   Outcome outcome) {
    RunSummary run = runSummaryOf(kind);
    run.where = path;
    if (!processAgainLine.isEmpty())
        run.look << processAgainLine;
    return summarized(run, std::move(outcome));
}

} // namespace gainbook
