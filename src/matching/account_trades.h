#pragma once

#include "platform/money.h"
#include "platform/quantity.h"
#include "platform/text_pool.h"
#include "store/fast_statement.h"
#include "store/records.h"
#include "store/transfer_link_table.h"

#include <QDate>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace gainbook {

// A sell as the matching reads it.
struct SellRow {
    qint64 id = 0;
    QString symbol;
    Quantity quantity;
    QDate txnDate;
    QString storedDate; // the date as the searches compare it
    Money amount;
    bool opensShort = false; // a short sale: covered by the buys after it
    bool sends = false;      // a send to another wallet: its lots leave, no sale
    bool carries = false;    // a bought option exercised: matched, but no sale
};

// A buy as the matching reads it, before it is opened again.
struct AccountBuy {
    qint64 id = 0;
    QString symbol;
    Quantity quantity;
    QString storedDate; // null when the trade has no date
    Money amount;
    bool opensLong = false; // bought to open a position: it covers no short
    bool carries = false;   // closes a written option by its assignment
};

} // namespace gainbook

// Moved in memory as they are, so that lists of a million grow without copies.
Q_DECLARE_TYPEINFO(gainbook::SellRow, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(gainbook::AccountBuy, Q_RELOCATABLE_TYPE);

namespace gainbook {

// The account's trades as the matching takes them: its buys by symbol as the
// store spells it, then date, then ID; its sells by date, then symbol, then
// the order they were recorded. A processing run steps through the buys one
// row at a time (a million of them are never held twice); the what-if of
// the lot methods holds them all, read once for every method.
class TradeRows {
public:
    explicit TradeRows(const QSqlDatabase& db); // throws StoreError

    // Throws StoreError.
    void selectBuys(const QString& account);
    bool nextBuy(AccountBuy& row, TextPool& texts);
    // The Memo of the buy nextBuy() gave, until the next step.
    QStringView buyMemo() const { return buys_.textView(5); }

    // Throws StoreError.
    QVector<SellRow> sells(const QString& account, TextPool& texts);

private:
    FastStatement buys_;
    FastStatement sells_;
};

// Everything a run of one account reads, held in memory so that the same
// matching can run on it again and again without the store: the what-if
// of the lot methods runs every method on one copy.
struct AccountTrades {
    QString account;
    QVector<AccountBuy> buys;
    QVector<SellRow> sells;
    // Links of other accounts' sells to this account's buys, with the
    // account that holds each.
    QVector<LinkRecord> heldByOthers;
    QVector<CorpActionRecord> actions;
    QSet<qint64> unknownCost;        // buys transferred in whose cost is not entered yet
    QVector<LinkedReceive> receives; // as selectReceivedLots() gives them
};

// Throws StoreError.
AccountTrades readAccountTrades(const QSqlDatabase& db, const QString& account);

// The account's linked receives with the lots their sends took. The lots of
// a sending account to be processed again may not be the ones it sends: its
// receives come with no lots and wait, and so does this account.
// Throws StoreError.
QVector<LinkedReceive> selectReceivedLots(const QSqlDatabase& db, const QString& account);

} // namespace gainbook
