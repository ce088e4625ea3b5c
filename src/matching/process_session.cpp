#include "matching/process_session.h"

#include "matching/link_editing.h"
#include "matching/matcher.h"
#include "matching/matching_grid.h"
#include "platform/prompter.h"
#include "platform/tax_year.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/store_backup.h"
#include "store/store_fault.h"
#include "store/transaction.h"

namespace gainbook {

namespace {

// Shows one of the system's messages and reports the command as stopped.
Outcome stopWith(Prompter& prompter, const QString& text) {
    prompter.message(text);
    return Outcome::stop(text);
}

} // namespace

QString noCompleteTransactionText(TaxYear year) {
    return QStringLiteral("No complete transaction for the process Year ") +
           QString::number(year.year);
}

QString runWarningsText(const RunWarnings& warnings) {
    if (warnings.total() == 0)
        return {};
    return QStringLiteral("Sells to check: %1 matched to a buy made after the sale, %2 larger "
                          "than the buys found (All Buy Rec Not Found), %3 without a buy.")
        .arg(warnings.buyAfterSell)
        .arg(warnings.notAllFound)
        .arg(warnings.noBuy);
}

QString alreadyProcessedText(const QString& account) {
    return QStringLiteral("Account already processed: %1").arg(account);
}

ProcessSession::ProcessSession(QSqlDatabase db, Prompter& prompter)
    : db_(std::move(db)), prompter_(prompter) {}

QStringList ProcessSession::accounts() const {
    QSqlQuery query =
        runQuery(db_, QStringLiteral("SELECT DISTINCT AccountName FROM Txn ORDER BY AccountName"));
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    return names;
}

bool ProcessSession::hasLinks() const {
    return accountHasLinks(db_, account_);
}

Outcome ProcessSession::Process(const Progress& progress) {
    if (account_.isEmpty())
        return stopWith(prompter_, QStringLiteral("Please select one account"));
    qsizetype matched = 0;
    RunWarnings warnings;
    try {
        // A second run would reopen buys that the first run's links still
        // hold and apply them twice.
        if (hasLinks())
            return stopWith(prompter_, alreadyProcessedText(account_));
        // The file as it was before the run is kept as its backup.
        if (const Outcome backup = keepBackup(db_); !backup.done())
            return backup;
        Transaction transaction(db_);
        // Asked again under the write lock: another run of the same account
        // may have finished while this one waited for the lock.
        if (hasLinks())
            return stopWith(prompter_, alreadyProcessedText(account_));
        Matcher matcher(db_, account_);
        matcher.MoveQuantity();
        const QVector<SellRow> sells = matcher.sells();
        if (sells.isEmpty()) {
            // The reopened buys stay: the account has nothing matched.
            transaction.commit();
            return stopWith(prompter_, noCompleteTransactionText(year_));
        }
        for (qsizetype i = 0; i < sells.size(); ++i) {
            if (progress && i % 500 == 0)
                progress(i, sells.size());
            matcher.matchSell(sells[i]);
        }
        if (progress)
            progress(sells.size(), sells.size());
        transaction.commit();
        matched = sells.size();
        warnings = matcher.warnings();
    } catch (const StoreError& error) {
        return Outcome::failure(QStringLiteral("Processing of %1 failed; nothing was changed: %2")
                                    .arg(account_, failureText(db_, error)));
    }
    return Outcome::ok(matched, runWarningsText(warnings));
}

QVector<MatchRow> ProcessSession::matchRows() const {
    return MatchingGrid(year_).FillGrid(db_, account_);
}

Outcome ProcessSession::Update(const QVector<LotKey>& lots) {
    qint64 detached = 0;
    try {
        Transaction transaction(db_);
        for (const LotKey& lot : lots)
            detached += detachLot(db_, lot) ? 1 : 0;
        transaction.commit();
    } catch (const StoreError& error) {
        return Outcome::failure(
            QStringLiteral("Update failed; nothing was changed: %1").arg(failureText(db_, error)));
    }
    return Outcome::ok(detached);
}

Outcome ProcessSession::SaveRecalculate() {
    try {
        Transaction transaction(db_);
        switch (recalculateTaxRecords(db_, account_)) {
        case RecalcStatus::NoLinks:
            return stopWith(prompter_, noCompleteTransactionText(year_));
        case RecalcStatus::SellMissing:
            // Rolled back: the account keeps the tax records it had.
            return stopWith(prompter_, QStringLiteral("Sell record not found "));
        case RecalcStatus::Done:
            break;
        }
        transaction.commit();
    } catch (const StoreError& error) {
        return Outcome::failure(QStringLiteral("Save/Recalculate failed; nothing was changed: %1")
                                    .arg(failureText(db_, error)));
    }
    return Outcome::ok();
}

} // namespace gainbook
