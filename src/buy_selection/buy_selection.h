#pragma once

#include "platform/outcome.h"
#include "store/records.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace gainbook {

class Prompter;

// The four entries of the buy filter, in list order.
enum class BuyFilter {
    NotAccountedSameAccount,
    AllSameAccount,
    NotAccountedAllAccounts,
    AllAllAccounts
};
QStringList buyFilterEntries();

// A buy offered for a sell, with what the user applies of it.
struct BuyRow {
    TxnRecord buy;
    double appliedQuantity = 0;
    Money appliedCost;
    bool linked = false;
    bool applied = false; // linked to the sell by an Apply on this screen; its box stays set
};

// The buys a filter lists.
struct BuyListing {
    QVector<BuyRow> rows;
    bool accountHasBuys = true; // false: there is nothing to choose from at all
};

// One buy to link to a sell: a stored buy by its ID, or a buy entered by
// hand that is stored first. The applied quantity and cost follow from the
// sell and the buy when no quantity above 0 is given, and the cost from the
// quantity in proportion when no cost above 0 is given.
struct BuyChoice {
    qint64 buyId = 0;
    std::optional<double> quantity;
    std::optional<Money> cost;
    std::optional<TxnRecord> newBuy; // date, symbol, quantity and amount as entered
};

// The buy selection of one account: finds the sell, lists the buys of a
// filter and links chosen buys to the sell. Owns no widgets; the screen
// and the headless tool call the same commands.
class BuySelection {
public:
    BuySelection(QSqlDatabase db, QString account);

    // The sell, when it is a transaction of the account. Throws StoreError.
    std::optional<TxnRecord> findSell(qint64 sellId) const;

    // The buys of the filter, unmarked with nothing applied, in the order
    // they were stored. When there are none, asks whether to show every buy
    // of the account. Throws StoreError.
    BuyListing listBuys(BuyFilter filter, Prompter& prompter) const;

    // Links every choice to the sell, in order and in one transaction: a new
    // buy is stored first (its choice then carries the ID it got), each
    // buy's open quantity is lowered and the sell's empty link is removed.
    // With no sell (ID 0 or less) new buys are stored and nothing is linked.
    // A refused choice (a buy linked to the sell already) stops, a database
    // failure fails; either way nothing is written and the message is left to
    // the caller. The count is the number of links written.
    Outcome Apply(qint64 sellId, QVector<BuyChoice>& choices);

private:
    qint64 InsertNewTxn(const TxnRecord& entered, const std::optional<TxnRecord>& sell);

    QSqlDatabase db_;
    QString account_;
};

// "2 buys linked"
QString buysLinkedText(qint64 count);

// "Select buy records for 100 IBM Sell of 03/05/2000"
QString buySelectionHeading(const TxnRecord& sell);

// The row "New Buy" adds: the sell's date, symbol and quantity, no cost,
// marked.
BuyRow newBuyRow(const TxnRecord& sell);

// Columns of the buy selection grid, numbered from 1. The last one, hidden
// on screen, shows the buy's ID (empty for a buy not stored yet).
namespace BuyGridCol {
enum : int {
    Linked = 1,
    Date,
    Symbol,
    Applied,
    AppliedCost,
    Total,
    TotalCost,
    Comments,
    Count = Comments, // the columns the command-line tool prints
    Account,          // on screen, shown when the filter spans accounts
};
} // namespace BuyGridCol

// Whether a filter lists buys of other accounts too.
bool filterSpansAccounts(BuyFilter filter);

// The texts a row shows, one per column.
QStringList buyRowTexts(const BuyRow& row);

} // namespace gainbook
