#include "capture/capture_run.h"

#include "capture/account_naming.h"
#include "capture/broker_entries.h"
#include "capture/captured_actions.h"
#include "capture/exchange_time.h"
#include "matching/run_end.h"
#include "matching/trade_changes.h"
#include "platform/date_text.h"
#include "platform/prompter.h"
#include "store/account_settings_table.h"
#include "store/asset_kind_table.h"
#include "store/row_writer.h"
#include "store/sql.h"
#include "store/store_backup.h"
#include "store/store_error.h"
#include "store/store_fault.h"
#include "store/txn_table.h"
#include "store/unknown_cost_table.h"

#include <algorithm>

namespace gainbook {

namespace {

QString skippedLine(const ParseResult& result) {
    const int total = result.skippedRows();
    QStringList reasons;
    if (result.skippedNumbers > 0)
        reasons << QStringLiteral("%1 with a quantity or amount that is not a number")
                       .arg(result.skippedNumbers);
    if (result.skippedRange > 0)
        reasons
            << QStringLiteral("%1 with a quantity or amount out of range").arg(result.skippedRange);
    if (result.skippedDates > 0)
        reasons << QStringLiteral("%1 with a date that could not be read").arg(result.skippedDates);
    if (result.skippedSymbols > 0)
        reasons << QStringLiteral("%1 without a symbol").arg(result.skippedSymbols);
    if (result.skippedEmpty > 0)
        reasons << QStringLiteral("%1 with a quantity of 0").arg(result.skippedEmpty);
    if (result.skippedCurrency > 0)
        reasons << QStringLiteral("%1 priced in another currency than the dollar")
                       .arg(result.skippedCurrency);
    return QStringLiteral("%1 %2 skipped: %3.")
        .arg(total)
        .arg(total == 1 ? QStringLiteral("row was") : QStringLiteral("rows were"))
        .arg(reasons.join(QStringLiteral(", ")));
}

// "3 rows that are not buys or sells were skipped: dividend 2, other 1."
QString notTradesLine(const QMap<QString, int>& kinds) {
    int total = 0;
    QStringList counts;
    for (auto it = kinds.cbegin(); it != kinds.cend(); ++it) {
        total += it.value();
        counts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    }
    return QStringLiteral("%1 %2 not %3 skipped: %4.")
        .arg(total)
        .arg(total == 1 ? QStringLiteral("row that is") : QStringLiteral("rows that are"))
        .arg(total == 1 ? QStringLiteral("a buy or sell was")
                        : QStringLiteral("buys or sells were"))
        .arg(counts.join(QStringLiteral(", ")));
}

// "The headings found: Date, Memo, Value."
QString headingsFoundLine(const QStringList& headings) {
    return QStringLiteral("The headings found: %1.").arg(headings.join(QStringLiteral(", ")));
}

// A layout the run found by itself is named first, so that a wrong guess
// is seen before the rows it gave.
Outcome namingLayout(Outcome outcome, const QString& readAs) {
    if (readAs.isEmpty() || outcome.message.isEmpty())
        return outcome;
    outcome.details.prepend(outcome.message);
    outcome.message = readAs;
    return outcome;
}

QString addedMessage(qint64 count) {
    return QStringLiteral("%1 records successfully added.").arg(count);
}

} // namespace

QString captureCancelledText(const QString& account) {
    return cancelledText(QStringLiteral("Capture of %1").arg(account));
}

namespace {

// The IDs the rows at rowIndexes took among the `kept` rows written in this
// transaction: an AUTOINCREMENT key only grows, and nothing else writes to
// the table while the transaction is open.
QVector<qint64> writtenIds(const QSqlDatabase& db, qint64 kept,
                           const QVector<qsizetype>& rowIndexes) {
    QVector<qint64> ids;
    if (kept <= 0 || rowIndexes.isEmpty())
        return ids;
    QSqlQuery query = runQuery(db,
                               QStringLiteral("SELECT ID FROM (SELECT ID FROM Txn ORDER BY ID "
                                              "DESC LIMIT ?) ORDER BY ID"),
                               {kept});
    QVector<qint64> all;
    all.reserve(kept);
    while (query.next())
        all.append(query.value(0).toLongLong());
    for (const qsizetype at : rowIndexes)
        if (at < all.size())
            ids.append(all[at]);
    return ids;
}

} // namespace

Outcome writeCapturedRows(const QSqlDatabase& db, const QVector<TxnRecord>& rows,
                          Progress& progress, const QStringList& taxAdvantaged,
                          const QVector<qsizetype>& unknownCost) {
    WrittenRows written;
    try {
        // The new trades go in with what they change: the wash sales of
        // every account, and the note on a processed account that its new
        // sells have no tax record yet. A new IRA's buys replace losses for
        // good, so it is marked before the wash sales are worked out.
        written = writeBatchedRows<TxnWriter>(
            db, rows, progress, QStringLiteral("Txn"), [&](qint64 kept) {
                for (const QString& account : taxAdvantaged) {
                    WashSettings wash = selectWashSettings(db, account);
                    wash.taxAdvantaged = true;
                    setWashSettings(db, account, wash);
                }
                markUnknownCost(db, writtenIds(db, kept, unknownCost));
                TradeChanges changes(db);
                for (qint64 i = 0; i < kept; ++i)
                    changes.added(rows[i]);
                changes.settle();
            });
    } catch (const RunCancelled&) {
        return Outcome::stop(
            captureCancelledText(rows.isEmpty() ? QString() : rows[0].accountName));
    }
    if (written.complete())
        return Outcome::ok(written.count);
    // A failure of the file itself names the file; nothing was kept.
    if (!written.fileFailure.isEmpty())
        return Outcome::failure(written.fileFailure);
    if (written.refusedRow < 0) {
        return Outcome::failure(
            QStringLiteral("The captured rows could not be written: %1").arg(written.failure));
    }
    const TxnRecord& refused = rows[written.refusedRow];
    return Outcome::failure(QStringLiteral("The row of %1 dated %2 could not be written: %3")
                                .arg(refused.symbol, formatDate(refused.txnDate), written.failure),
                            written.count);
}

bool PutDuplicate(const QSqlDatabase& db, const QString& account, const QString& month,
                  Prompter& prompter) {
    QSqlQuery query = runQuery(
        db, QStringLiteral("SELECT COUNT(*) FROM Txn WHERE AccountName = ? AND TxnMonth = ?"),
        {textValue(account), textValue(month)});
    const qint64 count = query.next() ? query.value(0).toLongLong() : 0;
    return count == 0 ||
           prompter.ask(QStringLiteral(
               "Some data already exist for this account. Do you still want to add this data ?"));
}

QString noDataMessage(const QString& entry) {
    return QStringLiteral(
               "No data could be captured. Please make sure that right data is displayed for ") +
           entry;
}

Outcome checkCaptureFields(CaptureState& state) {
    state.status = QStringLiteral("Processing");
    // While "Derive from Data" is checked the two fields are greyed: the user
    // cannot fill them, so they are not demanded here. Where the rows of the
    // page would be filed is checked once the page has been read.
    if (!state.deriveFromData) {
        if (state.account.isEmpty()) {
            state.status.clear();
            return Outcome::stop(QStringLiteral("Please enter an Account Name"));
        }
        if (state.month.isEmpty()) {
            state.status.clear();
            return Outcome::stop(QStringLiteral("Please enter an Transaction Month or Leave All"));
        }
    }
    if (!state.mapping && !findBrokerEntry(state.entry))
        return Outcome::stop(QStringLiteral("Wrong Account Type "));
    if (!captureZone(state.zone)) {
        state.status.clear();
        return Outcome::stop(unknownZoneMessage(state.zone));
    }
    return Outcome::ok();
}

QString underivedFieldMessage(const ParseResult& parsed) {
    const auto unnamed = [&](auto field) {
        return std::any_of(parsed.rows.cbegin(), parsed.rows.cend(),
                           [&](const TxnRecord& row) { return field(row).isEmpty(); });
    };
    if (unnamed([](const TxnRecord& row) { return row.accountName; }))
        return QStringLiteral("The page does not name the account. Uncheck \"Derive from "
                              "Data\" and enter an Account Name.");
    if (unnamed([](const TxnRecord& row) { return row.txnMonth; }))
        return QStringLiteral("The page does not name the transaction month. Uncheck \"Derive "
                              "from Data\" and enter a Transaction Month or Leave All.");
    return {};
}

namespace {

// The accounts of the download marked as an IRA, Roth or HSA that the
// store does not know yet: an account the user has rows or settings for
// keeps what the user chose.
QStringList newTaxAdvantaged(const QSqlDatabase& db, const QStringList& named) {
    if (named.isEmpty())
        return {};
    const QHash<QString, AccountSettings> set = selectAllAccountSettings(db);
    QStringList fresh;
    for (const QString& account : named) {
        QSqlQuery query =
            runQuery(db, QStringLiteral("SELECT EXISTS (SELECT 1 FROM Txn WHERE AccountName = ?)"),
                     {textValue(account)});
        if (!set.contains(account) && !(query.next() && query.value(0).toBool()))
            fresh << account;
    }
    return fresh;
}

QString taxAdvantagedLine(const QString& account) {
    return QStringLiteral("The new account %1 is an IRA, Roth or HSA: it is marked "
                          "\"Tax-advantaged account (IRA)\".")
        .arg(account);
}

// `spent`, when given, is the caller's document, emptied once its rows are
// read and about to be written: at a million rows the sheet is a third of
// the memory the capture holds.
Outcome captureRows(ParseResult& parsed, PageDocument* spent, CaptureState& state,
                    const QSqlDatabase& db, Prompter& prompter, Progress& progress) {
    // The fields show what the page named before the question, and where
    // the rows are filed once it is answered.
    state.account = parsed.askedAccount;
    state.month = parsed.askedMonth;
    const auto fieldsFromPage = [&] {
        state.account = parsed.account;
        state.month = parsed.month;
    };
    if (!parsed.message.isEmpty()) {
        fieldsFromPage();
        Outcome refused = Outcome::stop(parsed.message);
        if (!parsed.foundHeadings.isEmpty())
            refused.details << headingsFoundLine(parsed.foundHeadings);
        return refused;
    }
    // The accounts a download names by number are named before anything
    // is asked about them or written to them.
    QStringList taxAdvantaged;
    if (!parsed.rows.isEmpty() || !parsed.actionRows.isEmpty()) {
        const QStringList named = nameDownloadAccounts(parsed, state.accountNames, prompter);
        state.account = parsed.askedAccount;
        try {
            taxAdvantaged = newTaxAdvantaged(db, named);
        } catch (const StoreError& error) {
            return Outcome::failure(failureText(db, error));
        }
    }
    QStringList after;
    if (parsed.skippedRows() > 0)
        after << skippedLine(parsed);
    if (!parsed.skippedKinds.isEmpty())
        after << notTradesLine(parsed.skippedKinds);
    if (parsed.rows.isEmpty()) {
        fieldsFromPage();
        // An export of nothing but a split still proposes it.
        if (!parsed.actionRows.isEmpty()) {
            try {
                after << proposeCapturedActions(db, parsed.actionRows, prompter);
            } catch (const StoreError& error) {
                return Outcome::failure(failureText(db, error));
            }
        }
        Outcome none = Outcome::stop(noDataMessage(state.entry));
        none.details = after;
        return none;
    }

    // Rows are never filed under no account or month: the page was to name
    // them and did not.
    if (const QString underived = underivedFieldMessage(parsed); !underived.isEmpty()) {
        fieldsFromPage();
        state.status.clear();
        return Outcome::stop(underived);
    }

    try {
        if (!PutDuplicate(db, parsed.askedAccount, parsed.askedMonth, prompter)) {
            state.status.clear();
            return Outcome::stop(QString());
        }
    } catch (const StoreError& error) {
        return Outcome::failure(failureText(db, error));
    }
    fieldsFromPage();

    // The last big step can be undone: the file as it was before this
    // capture is kept as its backup.
    if (const Outcome backup = keepBackup(db, runSummaryOf(RunKind::Capture).run); !backup.done())
        return backup;
    if (spent)
        *spent = PageDocument();

    Outcome written =
        writeCapturedRows(db, parsed.rows, progress, taxAdvantaged, parsed.unknownCostRows);
    if (written.done())
        for (const QString& account : taxAdvantaged)
            after << taxAdvantagedLine(account);
    if (written.stopped()) {
        state.status.clear();
        return written;
    }
    // Splits and symbol changes are proposed once the trades before them
    // are in the store, which tells the shares held.
    if (written.done() && !parsed.actionRows.isEmpty()) {
        try {
            after << proposeCapturedActions(db, parsed.actionRows, prompter);
        } catch (const StoreError& error) {
            after << failureText(db, error);
        }
    }
    if (written.count > 0)
        state.status = addedMessage(written.count);
    if (written.done()) {
        written.message = addedMessage(written.count);
        written.details = after;
    } else if (written.count > 0) {
        written.details = QStringList{addedMessage(written.count)} + after;
    } else {
        // The failure says why nothing was stored: "no data" is not the
        // reason and is not offered as one.
        written.details = after;
    }
    return written;
}

Outcome captureOf(const PageDocument& document, PageDocument* spent, CaptureState& state,
                  const QSqlDatabase& db, Prompter& prompter, Progress& progress) {
    Outcome checked = checkCaptureFields(state);
    if (!checked.done())
        return checked;
    CaptureSettings settings = state.settings();
    try {
        settings.assetKinds = selectAssetKinds(db);
    } catch (const StoreError&) {
        // The well-known coins still read as coins; the writing step
        // meets the store's fault and tells it.
    }
    ParseResult parsed = state.mapping ? parseWithMapping(*state.mapping, document, settings)
                                       : findBrokerEntry(state.entry)->parser(document, settings);
    return namingLayout(captureRows(parsed, spent, state, db, prompter, progress), parsed.readAs);
}

} // namespace

Outcome runCapture(const PageDocument& document, CaptureState& state, const QSqlDatabase& db,
                   Prompter& prompter, Progress& progress) {
    return captureOf(document, nullptr, state, db, prompter, progress);
}

Outcome runCapture(PageDocument&& document, CaptureState& state, const QSqlDatabase& db,
                   Prompter& prompter, Progress& progress) {
    return captureOf(document, &document, state, db, prompter, progress);
}

} // namespace gainbook
