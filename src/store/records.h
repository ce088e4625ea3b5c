#pragma once

#include "platform/form8949_box.h"
#include "platform/money.h"
#include "platform/quantity.h"

#include <QDate>
#include <QString>

namespace gainbook {

// One row of Txn: a brokerage transaction. For a "Bought" row Memo holds
// the quantity not yet applied to sells, as the text of a number.
struct TxnRecord {
    qint64 id = 0;
    QString accountName;
    QString txnMonth;
    QString symbol;
    Quantity quantity;
    QString type;
    QDate txnDate;
    Money amount;
    QString memo;
    // kOpens or kCloses when the broker's words said so (sell short, buy to
    // cover, sell to open, ...), kExpired, kAssigned or kExercised for an
    // option closed by the event; kIncome for a buy received as pay (staking,
    // rewards), whose cost is the income it was taxed as; empty for a plain
    // buy or sell.
    QString openClose = {};
};

// One row of TaxRec: a matched sale. The gain (SalePrice - Cost) is never stored.
struct TaxRecord {
    qint64 id = 0;
    QString accountName;
    QString symbol;
    Quantity quantity;
    QDate dateAcquired; // invalid when unknown
    QDate dateSold;
    Money cost;
    Money salePrice;
    QString memo;
    Form8949Box box = Form8949Box::None; // None only while the term is unknown
    // The loss disallowed by a wash sale (Form 8949 column (g), code W): a
    // positive amount added back to the gain; zero when there is none.
    Money washAdjustment = {};
    // The sell (Txn ID) whose processing wrote the record; 0 for one typed
    // in or imported. Wash-sale detection keeps only such records up to date.
    qint64 sellId = 0;
};

} // namespace gainbook

// Moved as bytes when a list of a year's records grows.
Q_DECLARE_TYPEINFO(gainbook::TaxRecord, Q_RELOCATABLE_TYPE);

namespace gainbook {

// One row of SellLinks: a buy lot applied to a sell. BuyId 0 marks a sell
// for which no buy was found.
struct LinkRecord {
    QString accountName;
    qint64 sellId = 0;
    qint64 buyId = 0;
    Quantity buyQuantity;
    Money buyPrice; // the cost of the lot, not a price per share
    QString memo = QStringLiteral(" ");
    // The sell's date and symbol as they were when the link was written,
    // filled in by the store: they name a sell that has been deleted since.
    QDate sellDate = {};
    QString sellSymbol = {};
    // Picked on the buy selection screen (a chosen or a new buy): processing
    // again keeps it.
    bool byHand = false;
};

// What a corporate action does to the lots of its symbol.
enum class ActionKind { Split, SymbolChange };

// One row of CorpAction: an event that happens to every holder of a symbol,
// whatever the account. A split turns every M shares held before the
// effective date into N (a reverse split has N < M); a symbol change makes
// lots held before the date carry newSymbol from that date on. The Txn rows
// stay as captured; matching converts the lots when it reads them.
struct CorpActionRecord {
    qint64 id = 0;
    QString symbol;
    QDate effective;
    ActionKind kind = ActionKind::Split;
    double ratioNew = 1; // N: shares after
    double ratioOld = 1; // M: shares before
    QString newSymbol;   // a symbol change only
    QString note;
};

inline const QString kBought = QStringLiteral("Bought");
inline const QString kSold = QStringLiteral("Sold");
// A sell that opens a position is a short sale (or a written option); a buy
// that closes one covers it.
inline const QString kOpens = QStringLiteral("Open");
inline const QString kCloses = QStringLiteral("Close");
// An option closed without a trade of its own: it lapsed (closed at 0 on its
// expiry), or it was assigned or exercised, which moves its premium into the
// stock trade of that day. Captured as a sell; processing makes it a buy
// when the account was short the option.
inline const QString kExpired = QStringLiteral("Expired");
inline const QString kAssigned = QStringLiteral("Assigned");
inline const QString kExercised = QStringLiteral("Exercised");

inline bool isOptionEvent(const QString& openClose) {
    return openClose == kExpired || openClose == kAssigned || openClose == kExercised;
}

// An assignment or exercise: the option closes with no sale of its own.
inline bool carriesPremium(const QString& openClose) {
    return openClose == kAssigned || openClose == kExercised;
}
// A buy that was income when received (staking, rewards): a plain buy to
// matching, listed apart in the tax report as it is taxed as ordinary income.
inline const QString kIncome = QStringLiteral("Income");

} // namespace gainbook
