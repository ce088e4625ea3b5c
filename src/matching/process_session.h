#pragma once

#include "matching/match_row.h"
#include "matching/matcher.h"
#include "platform/outcome.h"
#include "platform/progress.h"
#include "platform/tax_year.h"

#include <QHash>
#include <QSqlDatabase>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

namespace gainbook {

class Prompter;

// What a run does with an account that has been processed (it has links) or
// holds tax records from elsewhere (imported or typed in): ask the user,
// refuse, match it again keeping the lots the user picked by hand (and,
// after a corporate action, the lots of the symbols it did not touch), or
// detach every lot. Both of the last replace the account's tax records.
enum class Rerun { Ask, Refuse, Replace, ReplaceAll };

// What processing an account again keeps and what it matches again.
struct RerunPlan {
    qint64 handLots = 0;   // lots the user picked by hand, kept
    qint64 sellsAgain = 0; // sells matched again
    qint64 sellsKept = 0;  // sells whose every lot is kept
    QVector<LinkRecord> keptLinks;
    QHash<qint64, KeptSell> kept; // by sell ID
};

// The processing of one account at a time, as the processing screen and the
// command-line tool drive it: the chosen account, the run, the grid's rows,
// "Update" and "Save/Recalculate". Every command that writes runs in one
// transaction: it either completes or leaves the database as it was. A
// command that stops with one of the system's messages has shown it through
// the Prompter; a failure of the database is left to the caller to report.
class ProcessSession {
public:
    ProcessSession(QSqlDatabase db, Prompter& prompter);

    // The accounts that can be chosen: those with transactions, by name.
    // Throws StoreError.
    QStringList accounts() const;

    void setAccount(const QString& account) { account_ = account; }
    const QString& account() const { return account_; }

    // The year whose sells the grid shows and the messages name. Left
    // unset, it is the default year (defaultTaxYear), read only when the
    // grid or a message needs it: at a million trades the read is a scan of
    // the whole table.
    void setTaxYear(TaxYear year) { year_ = year; }

    // A store opened without its quick check (Database::HealthCheckTime::
    // WithRun) is checked by the run, beside its work; damage found takes
    // the run back.
    void setHealthCheckPending(bool pending) { healthCheckPending_ = pending; }

    // Whether the account has been processed (it has links); a second run
    // would repeat its links. Throws StoreError.
    bool hasLinks() const;

    // Whether a corporate action changed since the account's last run, so
    // that its links no longer follow the actions. Throws StoreError.
    bool needsRematch() const;

    // How many tax records the account has, of every year. Throws StoreError.
    qint64 taxRecordCount() const;

    // What a run of the account again would keep; all: nothing is kept.
    // Throws StoreError.
    RerunPlan rerunPlan(bool all) const;

    // What a run of the account may do, asked of the user when the account
    // has links or tax records: Replace on Yes, nothing on No. Refuse when
    // there was nothing to ask (the account is fresh). Throws StoreError.
    std::optional<Rerun> askRerun();

    // The processing run: opens the account's buys again, matches every sell
    // of the account (all years) and writes its links and tax records. An
    // account with links or tax records is run again only when `rerun` lets
    // it (Ask: the user's Yes); its lots are detached and its tax records
    // replaced in the same transaction, so they are never added to. When
    // some sells need the user's eye, the message says how many of each kind
    // (runWarningsText). The count is the number of tax records written. An
    // account without sells is Done with nothing written and
    // nothingToMatchText, which the caller tells.
    // The progress steps through the account's sells; a stop of its watcher
    // rolls everything back: Stopped with processingCancelledText.
    Outcome Process(Progress& progress = unwatchedProgress(), Rerun rerun = Rerun::Ask);

    // The rows of the matching grid for the chosen account. Throws StoreError.
    QVector<MatchRow> matchRows() const;

    // "Update": detaches the named lots; a lot that is not linked is passed
    // over. The wash sales are worked through again with the lots gone. The
    // count is the number of lots detached.
    Outcome Update(const QVector<LotKey>& lots);

    // "Save/Recalculate": the account's tax records rebuilt from its links.
    // A link whose sell is gone stops it with the account as it was, naming
    // that sell. The count is the number of tax records written. The
    // progress steps through the links; a stop rolls everything back.
    Outcome SaveRecalculate(Progress& progress = unwatchedProgress());

private:
    // Why a run that may not replace anything is refused; Done when it may go.
    Outcome refusal();
    // The year set, else the default one. Throws StoreError.
    TaxYear yearInUse() const;

    QSqlDatabase db_;
    Prompter& prompter_;
    QString account_;
    std::optional<TaxYear> year_;
    bool healthCheckPending_ = false;
};

// What the matching of one account did.
struct AccountRun {
    bool anySell = false; // false: nothing matched, the buys only reopened
    qint64 written = 0;   // tax records
    RunWarnings warnings;
};

// The work of a processing run under the caller's transaction, once the
// account's lots are detached and its tax records gone where it replaces
// them: matches every sell of the account by its lot methods (or by the
// one given, for every instrument), writes the links and open quantities,
// works the wash sales through with them (writing the account's tax
// records) and clears the account's mark to process again; the lots of
// kept (those left linked by a run again) stay as they are. The progress
// steps through the sells; a stop throws RunCancelled. Throws StoreError.
AccountRun runMatching(const QSqlDatabase& db, const QString& account,
                       Progress& progress = unwatchedProgress(),
                       std::optional<LotMethod> method = std::nullopt, RerunPlan kept = {});

// "No complete transaction for the process Year 2000"
QString noCompleteTransactionText(TaxYear year);

// "Nothing to match: A has no sell.": a run of an account without sells,
// which succeeds with nothing written.
QString nothingToMatchText(const QString& account);

// "Sells to check: 1 matched to a buy made after the sale, ..." naming the
// count of each kind; empty when there is none.
QString runWarningsText(const RunWarnings& warnings);

// "Sells to check: 2 matched to shares transferred in whose cost is not
// entered yet.": told whenever the account is shown, until the costs are typed.
QString unknownCostCheckText(qsizetype sells);

// Why an account with links is not processed again.
QString alreadyProcessedText(const QString& account);

// "Trades or corporate actions changed since A was processed: ..."
QString rematchText(const QString& account);

// "Account A is already processed. 3 lots you picked by hand are kept; 12
// sells are matched again. Process it again?"
QString reprocessQuestion(const QString& account, const RerunPlan& plan);

// "3 lots you picked by hand are kept; 12 sells are matched again.", with
// the sells of symbols a corporate action left alone when there are some.
QString rerunPlanText(const RerunPlan& plan);

// "Account A already has 3 tax records." and the question that follows it.
QString taxRecordsHeldText(const QString& account, qint64 count);
QString replaceTaxRecordsQuestion(const QString& account, qint64 count);

// "Sell record not found 12/15/1998 MSFT": the sell a link names, by the
// date and symbol the link kept, or by its ID when the link kept none.
QString sellNotFoundText(const LinkRecord& link);

// "Processing of A was cancelled; nothing was changed."
QString processingCancelledText(const QString& account);

// "Save/Recalculate of A was cancelled; nothing was changed."
QString recalculateCancelledText(const QString& account);

// "2,208 tax records written"
QString taxRecordsWrittenText(qint64 count);

// "2 lots detached"
QString lotsDetachedText(qint64 count);

} // namespace gainbook
