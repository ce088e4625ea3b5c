#include "matching/process_session.h"

#include "matching/link_editing.h"
#include "matching/matcher.h"
#include "platform/number_text.h"
#include "platform/prompter.h"
#include "platform/sheet_model.h"
#include "platform/tax_year.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/transaction.h"

namespace gainbook {

QString noCompleteTransactionText() {
    return QStringLiteral("No complete transaction for the process Year ") +
           QString::number(ProcessYear);
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

MatchOutcome ProcessSession::Process(const Progress& progress) {
    if (account_.isEmpty()) {
        prompter_.message(QStringLiteral("Please select one account"));
        return MatchOutcome::stopped(QStringLiteral("Please select one account"));
    }
    try {
        // A second run would reopen buys that the first run's links still
        // hold and apply them twice.
        if (hasLinks()) {
            const QString text = alreadyProcessedText(account_);
            prompter_.message(text);
            return MatchOutcome::stopped(text);
        }
        Transaction transaction(db_);
        Matcher matcher(db_, account_);
        matcher.MoveQuantity();
        const QVector<SellRow> sells = matcher.sells();
        if (sells.isEmpty()) {
            // The reopened buys stay: the account has nothing matched.
            transaction.commit();
            prompter_.message(noCompleteTransactionText());
            return MatchOutcome::stopped(noCompleteTransactionText());
        }
        for (qsizetype i = 0; i < sells.size(); ++i) {
            if (progress && i % 500 == 0)
                progress(i, sells.size());
            matcher.matchSell(sells[i]);
        }
        if (progress)
            progress(sells.size(), sells.size());
        transaction.commit();
    } catch (const StoreError& error) {
        return MatchOutcome::failure(
            QStringLiteral("Processing of %1 failed; nothing was changed: %2")
                .arg(account_, error.message()));
    }
    return {};
}

MatchOutcome ProcessSession::FillGrid(SheetModel& grid) {
    try {
        grid_.FillGrid(grid, db_, account_);
    } catch (const StoreError& error) {
        return MatchOutcome::failure(error.message());
    }
    return {};
}

MatchOutcome ProcessSession::Update(SheetModel& grid) {
    const MatchOutcome outcome = Update(clearedLots(grid));
    if (!outcome.done())
        return outcome; // the cleared boxes stay for another try
    return RefreshGrid(grid);
}

MatchOutcome ProcessSession::Update(const QVector<LotKey>& lots) {
    try {
        Transaction transaction(db_);
        for (const LotKey& lot : lots)
            detachLot(db_, lot);
        transaction.commit();
    } catch (const StoreError& error) {
        return MatchOutcome::failure(
            QStringLiteral("Update failed; nothing was changed: %1").arg(error.message()));
    }
    return {};
}

MatchOutcome ProcessSession::SaveRecalculate() {
    try {
        Transaction transaction(db_);
        switch (recalculateTaxRecords(db_, account_)) {
        case RecalcStatus::NoLinks:
            prompter_.message(noCompleteTransactionText());
            return MatchOutcome::stopped(noCompleteTransactionText());
        case RecalcStatus::SellMissing:
            // Rolled back: the account keeps the tax records it had.
            prompter_.message(QStringLiteral("Sell record not found "));
            return MatchOutcome::stopped(QStringLiteral("Sell record not found "));
        case RecalcStatus::Done:
            break;
        }
        transaction.commit();
    } catch (const StoreError& error) {
        return MatchOutcome::failure(
            QStringLiteral("Save/Recalculate failed; nothing was changed: %1")
                .arg(error.message()));
    }
    return {};
}

GridClick ProcessSession::clickAt(const SheetModel& grid, int row, int col) {
    if (row < 1 || row > grid.rows() || col < 1 || col > grid.columns())
        return {};
    const auto sellId = qint64(numberFromText(grid.text(row, MatchGridCol::SellID)));
    if (col == MatchGridCol::Linked && grid.kind(row, col) == CellKind::Button)
        return {GridClick::Kind::AddButton, sellId};
    if (col == MatchGridCol::Symbol)
        return {GridClick::Kind::SellSymbol, sellId};
    return {};
}

} // namespace gainbook
