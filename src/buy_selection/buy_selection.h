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
    Quantity appliedQuantity;
    Money appliedCost;
    bool linked = false;
    bool applied = false; // linked to the sell by an Apply on this screen; its box stays set
    // The shares as bought, when splits since make buy.quantity (the shares
    // on the sell's date) differ; none otherwise.
    std::optional<Quantity> sharesBought;
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

    // The sell, when it is a sell of the account. Throws StoreError.
    std::optional<TxnRecord> findSell(qint64 sellId) const;
    // Why sellId names no sell of the account ("Sell record not found: ...",
    // "Record 7 is not a sell: ..."); empty when it names one. Throws
    // StoreError.
    QString sellRefusal(qint64 sellId) const;

    // The buys of the filter, unmarked with nothing applied, in the order
    // they were stored. When there are none, asks whether to show every buy
    // of the account. Throws StoreError.
    // With the sell's date, each buy shows in the shares of that date
    // (splits since the purchase applied).
    BuyListing listBuys(BuyFilter filter, Prompter& prompter, const QDate& soldOn = {}) const;

    // Links every choice to the sell, in order and in one transaction: a new
    // buy is stored first (its choice then carries the ID it got), each
    // buy's open quantity is lowered and the sell's empty link is removed.
    // With no sell (ID 0 or less) new buys are stored and nothing is linked.
    //
    // Everything is checked before anything is written, and a refusal (a
    // value out of range or below 0, a new buy without date, symbol or
    // quantity, an ID that is not a sell of the account or not a buy, a buy
    // linked to the sell already) stops with its message. A choice that
    // takes more shares than its buy has open is put to askOverOpen, which
    // goes on on Yes and stops without a message on No; without one it is
    // refused with the shares that were open. A database failure fails.
    // Whenever Apply does not end Done nothing is written. The count is the
    // number of links written.
    Outcome Apply(qint64 sellId, QVector<BuyChoice>& choices, Prompter* askOverOpen = nullptr);

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

// "Bought as 10 shares; 100 shares on the sell's date after splits", the
// tooltip of a buy whose shares were converted; empty otherwise.
QString sharesBoughtNote(const BuyRow& row);

// Whether a filter lists buys of other accounts too.
bool filterSpansAccounts(BuyFilter filter);

// The texts a row shows, one per column.
QStringList buyRowTexts(const BuyRow& row);

} // namespace gainbook
