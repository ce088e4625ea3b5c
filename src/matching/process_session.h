#pragma once

#include "matching/match_row.h"
#include "matching/matcher.h"
#include "platform/outcome.h"
#include "platform/tax_year.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVector>

#include <functional>

namespace gainbook {

class Prompter;

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

    // The year whose sells the grid shows and the messages name.
    void setTaxYear(TaxYear year) { year_ = year; }
    TaxYear taxYear() const { return year_; }

    // Whether the account has been processed (it has links); a second run
    // would repeat its links. Throws StoreError.
    bool hasLinks() const;

    // Told now and then how many of the account's sells are matched.
    using Progress = std::function<void(qsizetype done, qsizetype total)>;

    // The processing run: opens the account's buys again, matches every sell
    // of the account (all years) and writes its links and tax records. An
    // account that has links already is refused. When some sells need the
    // user's eye, the message says how many of each kind (runWarningsText).
    Outcome Process(const Progress& progress = {});

    // The rows of the matching grid for the chosen account. Throws StoreError.
    QVector<MatchRow> matchRows() const;

    // "Update": detaches the named lots; a lot that is not linked is passed
    // over. The count is the number of lots detached.
    Outcome Update(const QVector<LotKey>& lots);

    // "Save/Recalculate": the account's tax records rebuilt from its links.
    Outcome SaveRecalculate();

private:
    QSqlDatabase db_;
    Prompter& prompter_;
    QString account_;
    TaxYear year_;
};

// "No complete transaction for the process Year 2000"
QString noCompleteTransactionText(TaxYear year);

// "Sells to check: 1 matched to a buy made after the sale, ..." naming the
// count of each kind; empty when there is none.
QString runWarningsText(const RunWarnings& warnings);

// Why an account with links is not processed again.
QString alreadyProcessedText(const QString& account);

} // namespace gainbook
