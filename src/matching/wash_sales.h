#pragma once

#include "matching/corporate_actions.h"
#include "matching/term_split.h"
#include "platform/asset_kind.h"
#include "platform/form8949_box.h"
#include "platform/money.h"
#include "platform/option_symbol.h"
#include "store/account_settings_table.h"
#include "store/lot_adjust_table.h"
#include "store/records.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QVector>

#include <optional>

namespace gainbook {

// A buy as detection sees it.
struct WashBuy {
    qint64 id = 0;
    QString account;
    QString symbol;
    QDate date;
    Quantity quantity;
};

} // namespace gainbook

// Moved in memory as it is, so that lists of a million grow without copies.
Q_DECLARE_TYPEINFO(gainbook::WashBuy, Q_RELOCATABLE_TYPE);

namespace gainbook {

// A lot of a sell: the link's buy (0 when none), its shares and cost, and the
// buy's date (invalid when the buy is unknown).
struct WashLot {
    qint64 buyId = 0;
    Quantity quantity;
    Money cost;
    QDate acquired;
    // The buy closed a written option by its assignment: the premium went
    // into the stock, and the cover makes no sale.
    bool carried = false;
};

// A sell with its lots in the order they were applied.
struct WashSell {
    qint64 id = 0;
    QString account;
    QString symbol;
    Quantity quantity;
    QDate dateSold;
    Money salePrice;
    QVector<WashLot> lots;
    // A sell whose tax records came before detection and could not be tied
    // to it: it takes its shares of its buys, but its loss is never washed.
    bool untied = false;
    // A short sale (a sell that opens a position), whose lots are the buys
    // that cover it; once through appendSale, the part covered on one day.
    bool shortSale = false;
    // A bought option closed by its exercise (or assignment): no sale, its
    // premium went into the stock (Pub. 550, Options).
    bool carried = false;
    // The day a short sale was made, set by appendSale (a cover's dateSold
    // is the day it was covered): what the account held of the instrument
    // that day decides the term of its loss and the days of its shares
    // (26 CFR 1.1233-1(c)).
    QDate shortOpened;
};

} // namespace gainbook

// Moved in memory as it is, so that lists of a million grow without copies.
Q_DECLARE_TYPEINFO(gainbook::WashSell, Q_RELOCATABLE_TYPE);

namespace gainbook {

// The tax records of one sell as detection leaves them: the sell's own
// columns once, and the figures of each record (term split, boxes, wash
// adjustments). A million of them are held at once, so no record is built
// until it is written.
struct WashSellResult {
    qint64 sellId = 0;
    QString account;
    QString symbol;
    QDate dateSold;
    TermParts parts;
    bool involved = false;    // a wash sale, or sold replacement shares
    bool wasInvolved = false; // sold shares that the previous adjustments had adjusted
    bool shortSale = false;   // one day's cover of a short: its records are those of dateSold

    // Record part (0 or 1) as written, memo empty.
    TaxRecord record(int part) const;
};

} // namespace gainbook

// Moved in memory as it is, so that the results of a million sells grow
// without copies.
Q_DECLARE_TYPEINFO(gainbook::WashSellResult, Q_RELOCATABLE_TYPE);

namespace gainbook {

// Appends a sell as detection and the tax records take it, and says how
// many sells that made. A short sale is closed when the shares that cover it
// are delivered, each delivery in its own year (26 CFR 1.1233-1(a)(1)): it
// becomes one sale per day it was covered, of the shares covered that day,
// dated that day, with their share of the proceeds; the shares not covered
// yet are an open position and no sale at all; the shares covered by an
// assignment are no sale either. A sell that closed a bought option by its
// exercise makes none. Any other sell is appended as it is.
qsizetype appendSale(QVector<WashSell>& out, WashSell sell);

// An option closed on `date` by its exercise (a call bought) or its
// assignment (a put written), which makes no sale: its premium went into the
// shares bought that day, stockBuy (0 when the broker wrote none), and so
// does a wash adjustment its contracts took, days held and all (26 USC
// 1091(d) and 1223(3) name the stock acquired under the option). Each lot is
// of contracts closed: a call's buy, or a written put's sell.
struct WashCarry {
    qint64 id = 0; // the event's row
    QDate date;
    qint64 stockBuy = 0;
    int sharesPerContract = 100;
    QVector<WashLot> lots;
};

struct WashInput {
    QVector<WashBuy> buys;
    QVector<WashSell> sells;
    // Puts written (sold to open), each as a buy of its contracts on the day
    // it was sold, under its sell's ID: the writer may have to take the
    // shares, and a put written stands for them as a call bought does. The
    // loss it replaces raises the cost of what closes it.
    QVector<WashBuy> writtenPuts;
    QVector<WashCarry> carries;
    // Settings and basis reporting by account; an account not named has the
    // defaults.
    QHash<QString, WashSettings> settings;
    QHash<QString, BasisReporting> basis;
    // What each trade is: a digital asset's loss is not washed (the rule
    // covers stock and securities) unless washDigital says the law has
    // changed, and a buy of one kind never replaces a loss of the other.
    AssetKinds kinds;
    bool washDigital = false;
    // Whether options on one underlying of another strike or expiry (of the
    // same kind, call or put) replace each other; by default only the same
    // contract does.
    bool washOptions = false;
    // The adjustments kept before, to tell which sells they touched.
    QVector<LotAdjustRecord> previous;
    // Splits between a buy and a sale: links count the sell's shares, a
    // buy and its marks the shares as bought.
    CorporateActions actions;
};

struct WashResult {
    QVector<WashSellResult> sells; // by date sold
    // Where in sells each of the input's sells is, in the input's order.
    QVector<qsizetype> sellAt;
    QVector<LotAdjustRecord> adjustments;
};

// Works out every wash sale of the store from scratch. Sells are taken by
// date sold (then ID), so a replacement that is itself sold at a loss
// carries the adjustment it received into its own sale (a chain). In a
// detecting account each lot a sell closed at a loss is washed on its own,
// whatever the other lots of the sale gained: by the buys of the same
// instrument (sameInstrument) made within 30 calendar days before or after
// the sale, oldest first, and for stock by the calls bought and the puts
// written on it, each contract standing for its 100 shares (an option to
// acquire, 26 CFR 1.1091-1(a)), met by the loss shares in the order those
// were acquired. The shares a sell closed itself and shares already sold or
// already replacing another loss do not count; nor do the shares an
// exercise or assignment brings in, as far as the option's contracts
// replaced a loss already (one acquisition). Each replacement share takes
// the loss, days held and cost of the one sold share it meets; a record's
// disallowed loss is the sum of its lots'. A put written keeps its
// adjustment under its sell's ID and adds it to the cost of the buy that
// closes the put (its days are not: a writer's gain is short term); the
// contracts exercised or assigned hand theirs on to the shares bought.
WashResult detectWashSales(const WashInput& input);

// The option an acquisition of `symbol` is when it stands for shares of its
// underlying: a call bought, or a put written (sold to open, so the writer
// may have to take the shares), each an option to acquire the stock (26 CFR
// 1.1091-1(a)). A put bought or a call written can only part with the
// shares, and replaces no more than its own contract. Detection and the
// lots view's check of a sale now both ask this, so they cannot disagree.
std::optional<OptionContract> optionToAcquire(const QString& symbol, bool written);

// Options that replace each other when washOptions is on: one underlying,
// calls or puts.
QString washOptionClass(const OptionContract& option);

// The days a window reaches on each side of the date sold.
inline constexpr int kWashWindowDays = 30;

} // namespace gainbook
