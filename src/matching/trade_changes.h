#pragma once

#include "store/records.h"

#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

namespace gainbook {

// Whether a row is a trade (a buy or a sell): the rows matching and wash
// sales read.
bool isTrade(const TxnRecord& record);

// Whether an edit of a row changes what matching and wash sales read of it:
// its kind, symbol, quantity, date or amount. Its month and comment (a buy's
// open quantity, which every run sets anew) are not read.
bool tradeFiguresChanged(const TxnRecord& before, const TxnRecord& after);

// What a write of trades leaves to bring in line, gathered while it writes
// and settled before its commit. Wash-sale adjustments are worked out from
// the trades and links of every account, so they are worked through again
// at once. The tax records of a processed account (one with links) follow
// its trades only through a processing run, so an account whose trades
// change, and one whose links name a changed trade, is kept among the
// accounts to process again (the Rematch table) until it is run.
//
//     Transaction transaction(db);
//     TradeChanges changes(db);
//     changes.removed(record);  // before the delete: its links are read
//     deleteTxn(db, record.id);
//     changes.settle();
//     transaction.commit();
//
// Every call throws StoreError; the caller holds the transaction.
class TradeChanges {
public:
    explicit TradeChanges(QSqlDatabase db);

    void added(const TxnRecord& record);
    // Before the record is written: the links of the stored one are read.
    void changed(const TxnRecord& before, const TxnRecord& after);
    // Before the record, or the rows of an account or month, are deleted.
    void removed(const TxnRecord& record);
    void removedAll(const QString& account, const std::optional<QString>& month = std::nullopt);
    // A change of links alone (a lot detached or applied by hand): only the
    // wash sales need working through, which the matching screen's own
    // commands finish with Save/Recalculate.
    void linksChanged() { changed_ = true; }

    bool any() const { return changed_; }

    // Marks the processed accounts gathered and works the wash sales
    // through again (refreshWashSales); nothing when no trade changed. The
    // refresh is passed over when the store has neither links nor lot
    // adjustments: with no processed sell it would change nothing.
    void settle();

private:
    void note(const QString& account) { accounts_.insert(account); }
    void note(const QStringList& accounts);

    QSqlDatabase db_;
    QSet<QString> accounts_;
    bool changed_ = false;
};

// Sets the account's basis setting. The boxes a processing run gave the
// account's tax records follow that setting, so a processed account with a
// record whose box the new setting changes is kept among the accounts to
// process again; true when it is. A record given another box by hand, or
// imported, is left as it is. Throws StoreError; the caller holds the
// transaction.
bool changeBasisReporting(const QSqlDatabase& db, const QString& account, BasisReporting basis);

// "Accounts to process again before filing: A, B"; empty for none.
QString processAgainText(const QStringList& accounts);

// The same for the accounts the store keeps to process again. Throws
// StoreError.
QString processAgainLine(const QSqlDatabase& db);

// The line and "Export the TXF file anyway?" (or the action given): what
// the desktop asks before it writes a file from records that are not up to
// date.
QString goOnAnywayQuestion(const QString& line, const QString& action);

} // namespace gainbook
