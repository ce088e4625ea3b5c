#pragma once

#include "matching/match_outcome.h"
#include "matching/matching_grid.h"

#include <QSqlDatabase>
#include <QStringList>

#include <functional>

namespace gainbook {

class Prompter;
class SheetModel;

// What a click on the matching grid asks for.
struct GridClick {
    enum class Kind { None, AddButton, SellSymbol };
    Kind kind = Kind::None;
    qint64 sellId = 0; // the sell to hand to the buy selection screen
};

// The processing of one account at a time, as the processing screen and the
// command-line tool drive it: the chosen account, the run, the grid, "Update"
// and "Save/Recalculate". Every command that writes runs in one transaction:
// it either completes or leaves the database as it was.
class ProcessSession {
public:
    ProcessSession(QSqlDatabase db, Prompter& prompter);

    // The accounts that can be chosen: those with transactions, by name.
    // Throws StoreError.
    QStringList accounts() const;

    void setAccount(const QString& account) { account_ = account; }
    const QString& account() const { return account_; }

    // Whether the account has been processed (it has links); a second run
    // would repeat its links. Throws StoreError.
    bool hasLinks() const;

    // Told now and then how many of the account's sells are matched.
    using Progress = std::function<void(qsizetype done, qsizetype total)>;

    // The processing run: opens the account's buys again, matches every sell
    // of the account (all years) and writes its links and tax records. An
    // account that has links already is refused.
    MatchOutcome Process(const Progress& progress = {});

    // Rebuilds the grid for the chosen account.
    MatchOutcome FillGrid(SheetModel& grid);
    MatchOutcome RefreshGrid(SheetModel& grid) { return FillGrid(grid); }

    // "Update": detaches the lots whose box is cleared in the grid, then
    // refills it.
    MatchOutcome Update(SheetModel& grid);
    // The same for lots named directly.
    MatchOutcome Update(const QVector<LotKey>& lots);

    // "Save/Recalculate": the account's tax records rebuilt from its links.
    MatchOutcome SaveRecalculate();

    // What a click on a cell (row 0 is the heading row) asks for.
    static GridClick clickAt(const SheetModel& grid, int row, int col);

private:
    QSqlDatabase db_;
    Prompter& prompter_;
    QString account_;
    MatchingGrid grid_;
};

// "No complete transaction for the process Year 2000"
QString noCompleteTransactionText();

// Why an account with links is not processed again.
QString alreadyProcessedText(const QString& account);

} // namespace gainbook
