#pragma once

#include "buy_selection/buy_selection.h"

#include <QString>

namespace gainbook {

// The checks every buy selection command makes before it writes, shared by
// the screen and the headless tool so both refuse the same values with the
// same words.

// "The quantity 1e+308 is out of range." when value is not finite or is
// 10^12 or more in size; empty when a brokerage row can hold it. what is
// "quantity" or "cost".
QString rangeRefusal(const QString& what, double value);

// The refusal of a choice's own values, before the store is read: every
// number in range, a typed quantity and cost not below 0 (0 leaves them to
// follow from the sell and the buy), and a buy entered by hand with a date,
// a symbol and a quantity above 0. Empty when the choice can be written.
QString choiceValueRefusal(const BuyChoice& choice);

// Why a transaction cannot be the sell of a selection in account: missing,
// of another account, or not a sell. Empty when it is one.
QString sellRefusal(const std::optional<TxnRecord>& row, qint64 sellId, const QString& account);

// Why a transaction cannot be linked as a buy: missing or not a buy. Empty
// when it is one.
QString buyRefusal(const std::optional<TxnRecord>& row, qint64 buyId);

// The shares of a buy no sell uses yet. A buy that was never processed
// keeps the capture's comment (or nothing) where processing keeps the open
// quantity: all its shares are open.
Quantity openShares(const TxnRecord& buy);

// "The buy of 01/03/2000 IBM has only 20 shares open, not 100."
QString overOpenText(const TxnRecord& buy, Quantity open, Quantity asked);

// The question the screen puts before it takes more than a buy has open.
QString overOpenQuestion();

} // namespace gainbook
