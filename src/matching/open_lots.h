#pragma once

#include "platform/money.h"
#include "platform/quantity.h"

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace gainbook {

// A part of an open buy, as processing left it: its shares and symbol as
// they stand on the day asked (after splits and symbol changes), its cost
// with the wash-sale adjustments its shares took over, and its date
// acquired (moved back by the holding period those adjustments carry).
struct OpenLot {
    qint64 buyId = 0;
    QString account;
    QString symbol;
    Quantity shares;
    Money cost;
    QDate acquired;
    QDate longTermOn; // the first day a sale of it is long term
    // Shares transferred in whose cost and date are not typed yet: no gain,
    // term or loss check can be told of them.
    bool costUnknown = false;

    // Filled when a price is known for the symbol.
    std::optional<Money> price; // a share
    Money value() const { return price ? price->scaled(shares, Quantity::whole(1)) : Money(); }
    Money unrealized() const { return value() - cost; }
    // A sale now would realize a loss.
    bool atLoss() const { return price && !costUnknown && unrealized().isNegative(); }

    // For a lot at a loss: the latest acquisition in any account, in the 30
    // days before the day asked, that would make a sale now a wash sale
    // (a buy of the instrument, or of an option of its class when options
    // wash by class; for stock also a call bought or a put written on it),
    // what it was; and the first day the instrument may be bought back.
    enum class WashBy { Buy, CallBought, PutWritten };
    std::optional<QDate> washBuy;
    WashBy washBy = WashBy::Buy;
    QDate buyBackFrom;
    // A digital asset while the wash-sale rule is not applied to them: its
    // loss may be sold and bought back at once.
    bool washExempt = false;
};

// The first day a sale of shares acquired that day is long term: after the
// same day one calendar year later (a buy of Feb 29 on Mar 1).
QDate longTermFrom(const QDate& acquired);

// The first day shares sold at a loss on `sold` may be bought back without
// a wash sale: 31 days after.
QDate buyBackFrom(const QDate& sold);

// The account's open lots on the day given, by symbol and date acquired.
// An instrument sold at its average cost shares what its buys have left of
// their cost among its open shares. Prices (a share, by instrumentKey) give
// the unrealized gains and the loss harvesting checks. Throws StoreError.
QVector<OpenLot> openLots(const QSqlDatabase& db, const QString& account, const QDate& on,
                          const QHash<QString, Money>& prices = {});

// "symbol, price" lines (a heading line or blank lines are passed over), by
// instrumentKey. A line whose price is no number is named in `bad`.
QHash<QString, Money> pricesFromCsv(const QString& text, QStringList& bad);

// The open lots of several accounts, account by account.
QVector<OpenLot> openLots(const QSqlDatabase& db, const QStringList& accounts, const QDate& on,
                          const QHash<QString, Money>& prices = {});

// The unrealized gain of the lots with a price, short and long term on the
// day given; lots of unknown cost are left out.
struct UnrealizedTotals {
    Money shortTerm;
    Money longTerm;
};
UnrealizedTotals unrealizedTotals(const QVector<OpenLot>& lots, const QDate& on);

// The lots that turn long term in each of the twelve months from the one
// `on` falls in (from the day after `on`), at their value where they have a
// price and at their cost where not. Lots already long term, of unknown
// date, or turning long later are not counted.
struct MonthValue {
    QDate month; // its first day
    Money value;
};
QVector<MonthValue> longTermCalendar(const QVector<OpenLot>& lots, const QDate& on);

// "Unrealized short term 1,234.00, long term -56.00" (or "No prices typed
// yet").
QString unrealizedTotalsText(const QVector<OpenLot>& lots, const QDate& on);

// The columns of the lots listing and a lot's fields.
QStringList openLotHeading();
QStringList openLotFields(const OpenLot& lot, const QDate& on);

} // namespace gainbook
