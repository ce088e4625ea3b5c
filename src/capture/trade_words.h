#pragma once

#include <QString>

namespace gainbook {

// What a row's type or action text says: a buy ("Bought"), a sell ("Sold"),
// or neither, with the kind of row it is ("dividend", "interest",
// "transfer", "fee", "journal", "split", "other") so that skipped rows can
// be counted by kind.
struct TradeWord {
    QString type; // kBought, kSold, or empty when the row is no trade
    QString kind; // for rows that are no trade
    // kOpens or kCloses when the words say whether the trade opens or
    // closes a position (sell short, buy to cover, BTO, STC, ...); kExpired,
    // kAssigned or kExercised for an option closed by the event (OEXP,
    // OASGN, OEXCS, "Expired", "Exchange or Exercise").
    QString openClose = {};
};

// Reads the trade words of today's exports and the single letters B and S.
// A text that names no known trade is never guessed to be one.
TradeWord tradeWord(const QString& text);

// True for a cash/margin/short marker, which some exports head "Type" and
// which never says buy or sell.
bool isAccountKindWord(const QString& text);

// kOpens, kCloses or an option event for the words that open or close a
// position, else empty: for the layouts whose own phrases name buys and sells.
QString openCloseWord(const QString& text);

} // namespace gainbook
