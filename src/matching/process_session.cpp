#include "matching/process_session.h"

#include "matching/link_editing.h"
#include "matching/matcher.h"
#include "matching/matching_grid.h"
#include "matching/option_events.h"
#include "matching/run_end.h"
#include "matching/transfers.h"
#include "matching/txn_lookup.h"
#include "matching/wash_sale_refresh.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/prompter.h"
#include "platform/tax_year.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/sell_years.h"
#include "store/sql.h"
#include "store/store_backup.h"
#include "store/store_fault.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "store/txn_table.h"

#include <algorithm>

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

QString nothingToMatchText(const QString& account) {
    return QStringLiteral("Nothing to match: %1 has no sell.").arg(account);
}

namespace {

QString unknownCostSellsPhrase(qsizetype sells) {
    return QStringLiteral("%1 matched to shares transferred in whose cost is not entered yet.")
        .arg(sells);
}

} // namespace

QString runWarningsText(const RunWarnings& warnings) {
    QString shorts;
    if (warnings.openShorts > 0)
        shorts =
            QStringLiteral("Open short positions: %1 short %2 not covered yet (%3%4); no "
                           "tax record until the shares are bought back.")
                .arg(warnings.openShorts)
                .arg(warnings.openShorts == 1 ? QStringLiteral("sale is")
                                              : QStringLiteral("sales are"),
                     warnings.openShortNames.join(QStringLiteral(", ")),
                     warnings.openShorts > warnings.openShortNames.size() ? QStringLiteral(", ...")
                                                                          : QString());
    if (warnings.openOptions > 0)
        shorts += QStringLiteral("%1Open options: %2 still held (%3%4); no tax record until "
                                 "sold, exercised or expired.")
                      .arg(shorts.isEmpty() ? QString() : QStringLiteral(" "),
                           warnings.openOptions == 1
                               ? QStringLiteral("1 option bought is")
                               : QStringLiteral("%1 options bought are").arg(warnings.openOptions),
                           warnings.openOptionNames.join(QStringLiteral(", ")),
                           warnings.openOptions > warnings.openOptionNames.size()
                               ? QStringLiteral(", ...")
                               : QString());
    if (warnings.waitingReceives > 0) {
        const QString waiting =
            QStringLiteral("Transfers waiting: %1 linked to a send of an account not processed "
                           "yet, or to be processed again; their lots come once it is, until "
                           "then they are shares of unknown cost.")
                .arg(warnings.waitingReceives == 1
                         ? QStringLiteral("1 receive is")
                         : QStringLiteral("%1 receives are").arg(warnings.waitingReceives));
        shorts = shorts.isEmpty() ? waiting : shorts + u' ' + waiting;
    }
    if (warnings.total() == 0)
        return shorts;
    QString text = QStringLiteral("Sells to check: %1 matched to a buy made after the sale, %2 "
                                  "larger than the buys found (All Buy Rec Not Found), %3 "
                                  "without a buy.")
                       .arg(warnings.buyAfterSell)
                       .arg(warnings.notAllFound)
                       .arg(warnings.noBuy);
    if (warnings.costUnknown > 0)
        text += u' ' + unknownCostSellsPhrase(warnings.costUnknown);
    if (const qsizetype missing = warnings.noStockTrade.size(); missing > 0)
        text += QStringLiteral(" %1 assigned or exercised without the stock trade of that day "
                               "(%2%3): the premium is in no cost or proceeds.")
                    .arg(missing == 1 ? QStringLiteral("1 option")
                                      : QStringLiteral("%1 options").arg(missing),
                         QStringList(warnings.noStockTrade.mid(0, RunWarnings::kNamedShorts))
                             .join(QStringLiteral(", ")),
                         missing > RunWarnings::kNamedShorts ? QStringLiteral(", ...") : QString());
    if (const qsizetype unheld = warnings.noPosition.size(); unheld > 0)
        text += QStringLiteral(" %1 expired, assigned or exercised while the account held none "
                               "(%2%3): no tax record; its opening trade may be in a file not "
                               "captured.")
                    .arg(unheld == 1 ? QStringLiteral("1 option")
                                     : QStringLiteral("%1 options").arg(unheld),
                         QStringList(warnings.noPosition.mid(0, RunWarnings::kNamedShorts))
                             .join(QStringLiteral(", ")),
                         unheld > RunWarnings::kNamedShorts ? QStringLiteral(", ...") : QString());
    if (!shorts.isEmpty())
        text += QLatin1Char(' ') + shorts;
    return text;
}

QString unknownCostCheckText(qsizetype sells) {
    return QStringLiteral("Sells to check: ") + unknownCostSellsPhrase(sells);
}

QString alreadyProcessedText(const QString& account) {
    return QStringLiteral("Account already processed: %1").arg(account);
}

QString rerunPlanText(const RerunPlan& plan) {
    QString text = plan.handLots == 1 ? QStringLiteral("1 lot you picked by hand is kept; ")
                                      : QStringLiteral("%1 lots you picked by hand are kept; ")
                                            .arg(formatCount(plan.handLots));
    text += plan.sellsAgain == 1
                ? QStringLiteral("1 sell is matched again.")
                : QStringLiteral("%1 sells are matched again.").arg(formatCount(plan.sellsAgain));
    if (plan.sellsKept > 0)
        text += plan.sellsKept == 1
                    ? QStringLiteral(" 1 sell of symbols no corporate action touched keeps its "
                                     "lots.")
                    : QStringLiteral(" %1 sells of symbols no corporate action touched keep "
                                     "their lots.")
                          .arg(formatCount(plan.sellsKept));
    return text;
}

QString reprocessQuestion(const QString& account, const RerunPlan& plan) {
    return QStringLiteral("Account %1 is already processed. %2 Process it again?")
        .arg(account, rerunPlanText(plan));
}

QString taxRecordsHeldText(const QString& account, qint64 count) {
    return QStringLiteral("Account %1 already has %2 tax %3.")
        .arg(account, formatCount(count),
             count == 1 ? QStringLiteral("record") : QStringLiteral("records"));
}

QString replaceTaxRecordsQuestion(const QString& account, qint64 count) {
    return taxRecordsHeldText(account, count) +
           (count == 1 ? QStringLiteral(" Replace it?") : QStringLiteral(" Replace them?"));
}

QString sellNotFoundText(const LinkRecord& link) {
    const QString base = QStringLiteral("Sell record not found ");
    if (link.sellDate.isValid() || !link.sellSymbol.isEmpty())
        return base + QStringList{formatDate(link.sellDate), link.sellSymbol}.join(u' ').trimmed();
    return base + QStringLiteral("(sell ID %1)").arg(link.sellId);
}

QString processingCancelledText(const QString& account) {
    return cancelledText(QStringLiteral("Processing of %1").arg(account));
}

QString recalculateCancelledText(const QString& account) {
    return cancelledText(QStringLiteral("Save/Recalculate of %1").arg(account));
}

QString taxRecordsWrittenText(qint64 count) {
    return QStringLiteral("%1 tax %2 written")
        .arg(formatCount(count), count == 1 ? QStringLiteral("record") : QStringLiteral("records"));
}

QString lotsDetachedText(qint64 count) {
    return QStringLiteral("%1 %2 detached")
        .arg(formatCount(count), count == 1 ? QStringLiteral("lot") : QStringLiteral("lots"));
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

QString rematchText(const QString& account) {
    // A corporate action and a trade changed after the run both leave the
    // account's links behind; the store keeps one mark for either.
    return QStringLiteral("Trades or corporate actions changed since %1 was processed: Process "
                          "matches it again.")
        .arg(account);
}

bool ProcessSession::needsRematch() const {
    return gainbook::needsRematch(db_, account_);
}

bool ProcessSession::hasLinks() const {
    return accountHasLinks(db_, account_);
}

qint64 ProcessSession::taxRecordCount() const {
    return countTaxRecsOfAccount(db_, account_);
}

RerunPlan ProcessSession::rerunPlan(bool all) const {
    RerunPlan plan;
    const QVector<std::pair<qint64, QString>> sells = selectSellSymbolsOfAccount(db_, account_);
    if (all || !hasLinks()) {
        plan.sellsAgain = sells.size();
        return plan;
    }
    // After a corporate action alone only the sells of the instruments it
    // joined go stale; any other change makes every sell of the account so.
    const std::optional<QStringList> touched = selectRematchSymbols(db_, account_);
    const auto isTouched = [&](const QString& symbol) {
        return !touched ||
               std::any_of(touched->cbegin(), touched->cend(),
                           [&](const QString& name) { return sameInstrument(name, symbol); });
    };
    QHash<qint64, QVector<LinkRecord>> bySell;
    for (LinkRecord& link : selectLinksOfAccount(db_, account_))
        bySell[link.sellId].append(std::move(link));
    TxnLookup lookup(db_);
    const auto keep = [&](const LinkRecord& link, KeptSell& sell) {
        QDate acquired;
        if (link.buyId > 0) {
            if (const std::optional<TxnRecord> buy = lookup.byId(link.buyId))
                acquired = buy->txnDate;
        }
        sell.lots.append({link.buyId, link.buyQuantity, link.buyPrice, acquired});
        plan.keptLinks.append(link);
        plan.handLots += link.byHand && link.buyId > 0 ? 1 : 0;
    };
    for (const auto& [sellId, symbol] : sells) {
        const QVector<LinkRecord> links = bySell.value(sellId);
        if (!links.isEmpty() && !isTouched(symbol)) {
            KeptSell& sell = plan.kept[sellId];
            sell.whole = true;
            for (const LinkRecord& link : links)
                keep(link, sell);
            ++plan.sellsKept;
            continue;
        }
        ++plan.sellsAgain;
        for (const LinkRecord& link : links) {
            if (link.byHand && link.buyId > 0)
                keep(link, plan.kept[sellId]);
        }
    }
    return plan;
}

std::optional<Rerun> ProcessSession::askRerun() {
    if (hasLinks())
        return prompter_.ask(reprocessQuestion(account_, rerunPlan(false)))
                   ? std::optional(Rerun::Replace)
                   : std::nullopt;
    if (const qint64 held = taxRecordCount(); held > 0)
        return prompter_.ask(replaceTaxRecordsQuestion(account_, held))
                   ? std::optional(Rerun::Replace)
                   : std::nullopt;
    return Rerun::Refuse;
}

TaxYear ProcessSession::yearInUse() const {
    return year_ ? *year_ : defaultTaxYear(db_, std::nullopt);
}

Outcome ProcessSession::refusal() {
    if (hasLinks())
        return stopWith(prompter_, alreadyProcessedText(account_));
    if (const qint64 held = taxRecordCount(); held > 0)
        return stopWith(prompter_, taxRecordsHeldText(account_, held));
    return Outcome::ok();
}

namespace {

// The run's end for the transfers: the accounts that received what this one
// sent follow its lots again where they changed, and this one stays to be
// processed again while a receive of its own waits for its sending account.
void settleTransfers(const QSqlDatabase& db, const QString& account, const RunWarnings& warnings) {
    clearRematch(db, account);
    markReceiversStale(db, account);
    if (warnings.waitingReceives > 0)
        markWaiting(db, account, warnings.firstWaiting);
}

} // namespace

AccountRun runMatching(const QSqlDatabase& db, const QString& account, Progress& progress,
                       std::optional<LotMethod> method, RerunPlan kept) {
    AccountRun run;
    FreshRecords fresh;
    qint64 whole = 0;
    // Sends and receives found since the last run are linked before the
    // matcher reads the lots they move.
    linkTransfers(db);
    // Expired, assigned and exercised options take the side they close and
    // carry their premiums before any sell is matched.
    const OptionEventsSettled events = settleOptionEvents(db, account);
    {
        // The matcher's buys and the sells go before the refresh, which
        // holds the store's trades in their place: at a million trades
        // both at once would double the memory the run needs.
        Matcher matcher(db, account, method);
        matcher.keepLots(std::move(kept.kept));
        matcher.MoveQuantity(kept.keptLinks);
        kept.keptLinks = {};
        QVector<SellRow> sells = matcher.sells();
        // An option event with nothing held makes no sale, not one of no buy.
        if (!events.unheld.isEmpty())
            sells.removeIf([&](const SellRow& sell) { return events.unheld.contains(sell.id); });
        if (sells.isEmpty()) {
            matcher.writeOpenQuantities();
            refreshWashSales(db);
            run.warnings = matcher.warnings();
            run.warnings.noPosition = events.noPosition;
            // Events left out are sells still, to be named.
            run.anySell = !events.unheld.isEmpty();
            settleTransfers(db, account, run.warnings);
            return run;
        }
        run.anySell = true;
        // The sells take most of the bar; the writing at the end the rest.
        whole = sells.size() + sells.size() / 4 + 1;
        for (qsizetype i = 0; i < sells.size(); ++i) {
            progress.step(i, whole);
            matcher.matchSell(sells[i]);
        }
        progress.step(sells.size(), whole);
        matcher.writeOpenQuantities();
        run.warnings = matcher.warnings();
        run.warnings.noStockTrade = events.noStockTrade;
        run.warnings.noPosition = events.noPosition;
        fresh = matcher.takeRecords();
    }
    // The account's new links change which shares replace which losses,
    // here and in the other accounts; the refresh writes the account's
    // tax records with them.
    run.written = refreshWashSales(db, std::move(fresh)).recordsWritten;
    // The run applied the corporate actions and lot methods as they are now.
    settleTransfers(db, account, run.warnings);
    // The last chance to stop: after the commit there is nothing to undo.
    progress.step(whole, whole);
    return run;
}

Outcome ProcessSession::Process(Progress& progress, Rerun rerun) {
    if (account_.isEmpty())
        return stopWith(prompter_, QStringLiteral("Please select one account"));
    qint64 written = 0;
    RunWarnings warnings;
    std::optional<RunBackup> backup;
    try {
        // A run over links that are still there would reopen buys that they
        // hold and apply them twice; one over tax records from elsewhere
        // would add a second set. Either goes on only when allowed, and then
        // starts from a clean account.
        if (rerun == Rerun::Ask) {
            const std::optional<Rerun> answer = askRerun();
            if (!answer)
                return Outcome::stop({});
            rerun = *answer;
        }
        const bool replace = rerun == Rerun::Replace || rerun == Rerun::ReplaceAll;
        // A refused run leaves the backup of the last real one in place.
        if (!replace) {
            if (const Outcome refused = refusal(); !refused.done())
                return refused;
        }
        // The file as it was before the run is kept as its backup, copied
        // while the run works; the run commits once the copy is in place.
        backup.emplace(db_,
                       healthCheckPending_ ? RunBackup::Check::Pending : RunBackup::Check::Done);
        Transaction transaction(db_);
        RerunPlan plan;
        if (replace) {
            // Read under the write lock, with the links it keeps.
            plan = rerunPlan(rerun == Rerun::ReplaceAll);
            if (plan.keptLinks.isEmpty())
                detachAllLots(db_, account_);
            else
                detachLotsExcept(db_, account_, plan.keptLinks);
            deleteTaxRecsOfAccount(db_, account_);
        } else if (const Outcome refused = refusal(); !refused.done()) {
            // Asked again under the write lock: another run of the same
            // account may have finished while this one waited for the lock.
            return refused;
        }
        const AccountRun run = runMatching(db_, account_, progress, std::nullopt, std::move(plan));
        if (!run.anySell) {
            // The reopened buys stay: the account has nothing matched,
            // which is a finished run, not a refusal.
            if (const Outcome kept = backup->finish(runSummaryOf(RunKind::Process, account_).run);
                !kept.done())
                return kept;
            transaction.commit();
            return Outcome::ok(0, nothingToMatchText(account_));
        }
        written = run.written;
        warnings = run.warnings;
        if (const Outcome kept = backup->finish(runSummaryOf(RunKind::Process, account_).run);
            !kept.done())
            return kept;
        transaction.commit();
    } catch (const StoreError& error) {
        // Reads of a damaged file fail before the check beside them ends.
        if (const QString damage = backup ? backup->damage() : QString(); !damage.isEmpty())
            return Outcome::failure(damagedRunMessage(databaseFile(db_), damage));
        return Outcome::failure(QStringLiteral("Processing of %1 failed; nothing was changed: %2")
                                    .arg(account_, failureText(db_, error)));
    } catch (const RunCancelled&) {
        return stopWith(prompter_, processingCancelledText(account_));
    }
    return Outcome::ok(written, runWarningsText(warnings));
}

QVector<MatchRow> ProcessSession::matchRows() const {
    return MatchingGrid(yearInUse()).FillGrid(db_, account_);
}

Outcome ProcessSession::Update(const QVector<LotKey>& lots) {
    qint64 detached = 0;
    try {
        Transaction transaction(db_);
        for (const LotKey& lot : lots)
            detached += detachLot(db_, lot) ? 1 : 0;
        // A detached lot no longer replaces a loss, nor is it one.
        if (detached > 0)
            refreshWashSales(db_);
        transaction.commit();
    } catch (const StoreError& error) {
        return Outcome::failure(
            QStringLiteral("Update failed; nothing was changed: %1").arg(failureText(db_, error)));
    }
    return Outcome::ok(detached);
}

Outcome ProcessSession::SaveRecalculate(Progress& progress) {
    qint64 written = 0;
    try {
        Transaction transaction(db_);
        Progress links = progress.part(0, 9, 10);
        RecalcResult result = recalculateTaxRecords(db_, account_, links);
        switch (result.status) {
        case RecalcStatus::NoLinks:
            return stopWith(prompter_, noCompleteTransactionText(yearInUse()));
        case RecalcStatus::SellMissing:
            // Rolled back: the account keeps the tax records it had.
            return stopWith(prompter_, sellNotFoundText(result.missingSell));
        case RecalcStatus::Done:
            break;
        }
        written = refreshWashSales(db_, std::move(result.records)).recordsWritten;
        progress.step(10, 10);
        transaction.commit();
    } catch (const StoreError& error) {
        return Outcome::failure(QStringLiteral("Save/Recalculate failed; nothing was changed: %1")
                                    .arg(failureText(db_, error)));
    } catch (const RunCancelled&) {
        return stopWith(prompter_, recalculateCancelledText(account_));
    }
    return Outcome::ok(written);
}

} // namespace gainbook
