#pragma once

#include "platform/outcome.h"

#include <QSqlDatabase>
#include <QString>

namespace gainbook {

// Sends and receives between the taxpayer's own accounts: a send and the
// receive it became move the send's lots, with their dates and costs, into
// the receiving account, and are no sale.

// How far a receive may fall short of its send (a network fee paid in the
// coin) and how many days after it it may arrive, for the search.
inline constexpr double kTransferFeeShare = 0.01;
inline constexpr int kTransferDays = 7;

// Links every send not linked yet to the first receive not linked yet that
// fits it: another account, the same instrument, on the send's day or up
// to kTransferDays after, at most the send's quantity and not less than it
// by more than kTransferFeeShare. The receiving accounts already processed
// are marked to be processed again. The count is the number of links made.
// Throws StoreError; the caller holds the transaction.
qint64 linkTransfers(const QSqlDatabase& db);

// The receiving accounts of the account's linked sends, processed already,
// marked to be processed again where the lots the sends carry now differ
// from those their last run took in: a run of the sender that moves the
// same lots asks for no other run. Throws StoreError.
void markReceiversStale(const QSqlDatabase& db, const QString& account);

// "transfer-link": the user's link of a send to a receive, in one
// transaction. Refused with one of the messages below when either row is
// not what it should be or is linked already.
Outcome linkTransferByHand(const QSqlDatabase& db, qint64 sendId, qint64 receiveId);

// "transfer-unlink": the link of the row (its send or its receive) ended;
// the receive is a buy of unknown cost again until the accounts link it
// once more.
Outcome unlinkTransfer(const QSqlDatabase& db, qint64 txnId);

// "Transfer linked: 1 BTC sent from Wallet on 02/01/2025 arrives in
// Exchange as 0.9995 on 02/01/2025."
QString transferLinkedText(const QString& symbol, const QString& sent, const QString& sendAccount,
                           const QString& sendDate, const QString& received,
                           const QString& receiveAccount, const QString& receiveDate);

} // namespace gainbook
