#pragma once

#include "matching/account_trades.h"
#include "matching/corporate_actions.h"
#include "matching/wash_sale_refresh.h"
#include "platform/instrument_name.h"
#include "platform/lot_method.h"
#include "platform/money.h"
#include "platform/text_pool.h"
#include "store/txn_table.h"

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVector>

#include <memory>
#include <optional>

namespace gainbook {

class LinkWriter;

// The state of the sell being matched, read by the link and tax record
// writers.
struct MatchingState {
    Quantity sellQty;
    Quantity remainingQty; // part of the sell not covered yet
    Money runningCost;     // sum of the lot costs, so the record adds up to its links
    bool linkWritten = false;
    QString sellMemo;
};

// Which buys a search offers: those on or before the sell's trade date,
// oldest first, then, for what is left, the later ones.
enum class BuySearch { OnOrBefore, After };

// An open buy as the run holds it. open is the quantity not yet applied, as
// its Memo text reads; changed marks a Memo the run must write.
struct OpenBuy {
    qint64 id = 0;
    Quantity quantity;
    Quantity open;
    QString storedDate; // the date as the searches compare it
    QDate bought;
    Money amount;
    bool changed = false;
    bool costUnknown = false; // shares transferred in, their cost not entered yet
    // What the open shares cost: the amount's share of them, or, once the
    // instrument is sold at its average cost, their share of that average.
    Money openCost;
    bool opensLong = false; // bought to open a position: it covers no short
    bool carries = false;   // closes a written option by its assignment
    // A lot another account sent here: its Memo is its own account's, and
    // its ID is the buy it came from, so a sale here has the buy's date.
    bool moved = false;
    int movedRow = -1; // of a moved lot, its row in the run's list of them
};

} // namespace gainbook

// Moved in memory as it is, so that lists of a million grow without copies.
Q_DECLARE_TYPEINFO(gainbook::OpenBuy, Q_RELOCATABLE_TYPE);

namespace gainbook {

// The open buys of one instrument, in date order: those of the run's list
// of buys from head to end. Buys are applied from the front only, so those
// before head are used up.
struct SymbolBuys {
    QString symbol; // as the first of them spells it
    QString key;    // instrumentKey of the symbol
    qsizetype head = 0;
    qsizetype end = 0;
};

// How many sells of a run need the user's eye: matched to a buy made after
// the sale, larger than the buys found, or without any buy.
struct RunWarnings {
    qsizetype buyAfterSell = 0;
    qsizetype notAllFound = 0;
    qsizetype noBuy = 0;
    qsizetype costUnknown = 0; // matched to shares transferred in of unknown cost
    // Receives linked to a send whose account is not processed yet (or is
    // to be processed again): bought at unknown cost until it is.
    qsizetype waitingReceives = 0;
    QString firstWaiting; // the day the first of them arrived, as stored

    // Short sales not covered yet: open positions, not faults, so not in
    // the total.
    qsizetype openShorts = 0;
    // The first of them, as "XYZ 100 sold 12/15/2025": the message names a
    // few, not the thousands a large account may hold.
    QStringList openShortNames;
    static constexpr qsizetype kNamedShorts = 5;

    // Options assigned or exercised whose stock trade of the day is missing,
    // as "AAPL 01/17/2025 200.00 C assigned 01/17/2025": their premium is
    // in no cost or proceeds.
    QStringList noStockTrade;
    // Options expired, assigned or exercised that the account did not hold,
    // as "XYZ 01/17/2025 50.00 P expired 01/17/2025": no sale is made of
    // them.
    QStringList noPosition;

    // Options bought and still held, and the first of them by date, as
    // "AAPL 12/19/2025 200.00 C 1 bought 10/01/2025". Written options are
    // among the open shorts.
    qsizetype openOptions = 0;
    QStringList openOptionNames;

    qsizetype total() const {
        return buyAfterSell + notAllFound + noBuy + costUnknown + noStockTrade.size() +
               noPosition.size();
    }
};

// The lots a sell keeps through a run: those the user picked by hand, or
// every lot of a sell the run leaves alone (whole). A sell not whole is
// matched for the shares its kept lots leave.
struct KeptSell {
    QVector<WashLot> lots;
    bool whole = false;
};

// The two memo texts a tax record of the run gets.
inline const QString kAllBuysFound = QStringLiteral(" ");
inline const QString kAllBuyRecNotFound = QStringLiteral("All Buy Rec Not Found");

// Matches the sells of one account against its open buys of the same
// instrument (sameInstrument), writing a link row per applied lot and the
// lowered open quantity of each buy. The tax records are left to the
// wash-sale refresh that follows the run (refreshWashSales), which writes
// them once with their adjustments: the matcher notes each sell with its
// lots and memo, in the order matched, and the account's buys, so the
// refresh need not read back what the run has just written. The buys are
// read once, in one ordered query, and searched in memory; the links go in
// by batches. The caller holds the transaction around the whole run.
//
// Which open buys a sell takes first is the instrument's lot method in the
// account (selectLotMethods), or the one given for every instrument, which
// the what-if of the methods runs with. Buys made after the sale are taken
// oldest first whatever the method: they only cover a sell larger than the
// shares held. A short sale (a sell that opens a position) is covered by
// the buys after it alone, oldest first, never by one bought to open.
//
// Built over trades held in memory (AccountTrades) it reads and writes
// nothing: the links, open quantities and memos stay with the run, and the
// records it notes are all it gives.
class Matcher {
public:
    // Throws StoreError.
    Matcher(QSqlDatabase db, QString account, std::optional<LotMethod> method = std::nullopt);
    // The trades outlive the matcher.
    Matcher(const AccountTrades& trades, LotMethod method);
    ~Matcher();

    Matcher(const Matcher&) = delete;
    Matcher& operator=(const Matcher&) = delete;

    // Opens every buy of the account again for its quantity less what other
    // accounts' sells hold of it by hand: a buy has one owner, and those
    // links are not this run's to undo. Other accounts keep their open
    // quantities, and the comments kept in the Memo of sells and other rows
    // stay. The store learns the quantities from writeOpenQuantities().
    // Links the run keeps (see keepLots) hold their buys' shares the same way.
    void MoveQuantity(const QVector<LinkRecord>& kept = {});

    // The lots kept, by sell ID; their links stay in the store as they are.
    void keepLots(QHash<qint64, KeptSell> kept) { kept_ = std::move(kept); }

    // The account's sells in the order they take buys: by trade date, then
    // symbol, then the order they were recorded.
    QVector<SellRow> sells();

    // Both searches, the empty link when no buy was applied, the tax record.
    void matchSell(const SellRow& sell);

    // Applies the candidates of one search to the current sell.
    void LookForBuy(BuySearch search);

    // One link row of the current sell; buyId 0 when no buy was applied.
    // A buy the sell took already (a coin sent away and back, beside what
    // stayed) grows the sell's one lot of it: a sell links a buy once.
    WashLot& SaveSellLinks(Money buyPrice, Quantity buyQuantity, qint64 buyId);

    // Writes the open quantity of every buy the run reopened or applied, each
    // once, in its Memo, and the links still held for a batch.
    void writeOpenQuantities();

    // The sells so far that need the user's eye.
    const RunWarnings& warnings() const { return warnings_; }

    // The sells matched so far, with their lots and memos, and the
    // account's buys, for the refresh that writes their tax records.
    FreshRecords takeRecords(); // throws StoreError

private:
    void mergeSpellings(const QVector<SymbolBuys>& spellings);
    // The lots linked sends moved into the account, in place of their
    // receives; the receives whose lots are not known yet stay as they are.
    QSet<qint64> addMovedLots(QVector<SymbolBuys>& spellings,
                              QHash<qint64, QVector<LinkRecord>>& held);
    // A send takes its lots out like a sell, with no record and no check.
    void sendOut();
    // The current sell's lots the run found, as links to the store.
    void writeSellLinks();
    // A moved lot is there from the day it arrived, whatever its date
    // acquired.
    bool arrivedBy(const OpenBuy& buy) const {
        return !buy.moved || moved_[buy.movedRow].storedArrived <= sell_.storedDate;
    }
    void applyBuys(SymbolBuys& symbol, BuySearch search, bool converted);
    // Applies as much of the buy as the sell still needs.
    // The shares one share of the buy has become by the sell's date, or
    // none when the buy is not on offer to it: nothing open, already picked
    // by hand for the sell, or renamed away before the sale.
    std::optional<double> offeredFactor(const SymbolBuys& symbol, const OpenBuy& buy,
                                        bool converted) const;
    void takeFrom(OpenBuy& buy, double factor, BuySearch search);
    // The lot methods other than oldest first: the buys held on the sell's
    // date are gathered from every spelling and older name, put in the
    // method's order and applied.
    void gatherBuys(SymbolBuys& symbol, bool converted);
    void applyInMethodOrder();
    // After a sell at average cost: the shares still held share what the
    // pool has left.
    void spreadAverage();
    void noteSell();
    void noteOpenOptions();

    QSqlDatabase db_;
    QString account_;
    // Splits and symbol changes: a lot counts its shares and carries its
    // symbol as they stand on the sell's date.
    CorporateActions actions_;
    SellRow sell_;
    QString sellKey_; // instrumentKey of the current sell's symbol
    MatchingState state_;
    QVector<WashLot> lots_; // of the current sell; kept to reuse its memory
    qsizetype newLots_ = 0; // the first of them this run found, after those kept
    // The lots linked receives brought, as the run takes them out of the
    // store and as they are left; a buy may come in more than once.
    QVector<MovedLotRow> moved_;
    bool boughtAfterSell_ = false;
    QHash<qint64, KeptSell> kept_;
    QVector<qint64> keptBuys_; // of the current sell, which no search offers again
    bool costUnknownLot_ = false;
    QSet<qint64> unknownCost_; // the buys of unknown cost
    RunWarnings warnings_;
    AccountLotMethods methods_;
    LotMethod method_ = LotMethod::Fifo; // of the current sell's instrument
    // A buy held on the sell's date, with the shares one of its shares has
    // become by then.
    struct Held {
        qsizetype index = 0;
        double factor = 1;
    };
    QVector<Held> held_;
    QVector<const SymbolBuys*> gathered_;
    // The average a sell at average cost takes its lots at: the cost and
    // shares of every share held, and what the sell has taken of them.
    struct AveragePool {
        bool active = false;
        Money cost;
        Quantity shares;
        Quantity taken;
        Money charged;
    };
    AveragePool pool_;
    FreshRecords fresh_;

    // Where the trades come from: the store, or the copy in memory.
    std::unique_ptr<TradeRows> rows_;
    const AccountTrades* trades_ = nullptr;
    // The open buys by instrument key, and the keys, whose cut names find
    // their long forms.
    QHash<QString, SymbolBuys> openBuys_;
    InstrumentKeys keys_;
    // Every open buy in one list, instrument by instrument as read: a list
    // of each symbol's own grew in many small steps, each a copy.
    QVector<OpenBuy> buys_;
    // Symbols and dates repeat down an account: its rows share one copy each.
    TextPool texts_;
    std::unique_ptr<LinkWriter> links_; // none for trades in memory

    // Reopened buys that no search can find (closed, or without a date).
    QVector<TxnMemo> memoChanges_;
};

} // namespace gainbook
