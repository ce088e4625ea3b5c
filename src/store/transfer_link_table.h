#pragma once

#include "platform/money.h"
#include "platform/quantity.h"

#include <QDate>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace gainbook {

// A trade of "Sent" type: shares or coins that left an account for another
// of the taxpayer's own, or for somewhere the store does not know. It is no
// sale: the sending account's run takes its lots out, and a linked receive
// brings them into the receiving account with their dates and costs.
inline const QString kSent = QStringLiteral("Sent");

// The link of a send to the receive it became. A send and a receive are
// each in one link at most; deleting either row ends the link.
QStringList transferLinkTable();

struct TransferLink {
    qint64 sendId = 0;
    qint64 receiveId = 0;
    bool byHand = false;
    QString sendAccount;
    QString receiveAccount;
};

// One lot a send took out of its account, as the sending account's run
// linked it: the buy, its shares and cost, and its date acquired.
struct MovedLot {
    qint64 buyId = 0;
    Quantity quantity;
    Money cost;
    QString storedDate;       // as the store keeps the buy's TxnDate
    bool costUnknown = false; // moved on from a receive of unknown cost
};

// A linked receive of an account with what arrived and the lots its send
// took, oldest first as the send's run applied them.
struct LinkedReceive {
    qint64 receiveId = 0;
    qint64 sendId = 0;
    QString symbol;
    Quantity sent;
    Quantity received;
    QString sendAccount;
    QVector<MovedLot> lots; // empty while the sending account is not processed
    QDate sendDate;
    QString storedReceiveDate; // the day the lots arrive, as the store keeps it
};

// The table of the lots the receiving accounts' runs took in, and the day
// from which an account waits for a receive's lots. Both came with schema
// step 15; files before it have neither.
QStringList movedLotStatements();

// One lot a linked receive brought into its account, as that account's run
// left it: what the send's link carried (in shares of the send's day) and
// what is still open of it (in shares as bought).
struct MovedLotRow {
    qint64 receiveId = 0;
    qint64 buyId = 0;
    QString account;
    QString symbol;
    QString storedAcquired;
    QString storedArrived;
    Quantity sent;
    Money cost;
    bool costUnknown = false;
    Quantity shares; // what arrived, in shares as bought
    Quantity open;
    Money openCost;
};

// The account's rows in place of those its last run wrote. Throws StoreError.
void replaceMovedLots(const QSqlDatabase& db, const QString& account,
                      const QVector<MovedLotRow>& rows);
// The account's rows, by receive in the order they were written. Throws
// StoreError.
QVector<MovedLotRow> selectMovedLots(const QSqlDatabase& db, const QString& account);

// The account is to be processed again because a receive of its own waits
// for its sender, the first of them arriving on `from`: what its sends
// moved before that day stands. Throws StoreError.
void markWaiting(const QSqlDatabase& db, const QString& account, const QString& storedFrom);
// Whether what the account's send of the day moved is to be worked out
// again: the account is to be processed again, and not only for receives
// arriving after the send. Throws StoreError.
bool sendsAgain(const QSqlDatabase& db, const QString& account, const QDate& sent);

// Throws StoreError, a duplicate-key one when either row is linked already.
void insertTransferLink(const QSqlDatabase& db, qint64 sendId, qint64 receiveId, bool byHand);
// The link of the row, as its send or its receive, unless taken apart.
// Throws StoreError.
std::optional<TransferLink> selectTransferLinkOf(const QSqlDatabase& db, qint64 txnId);
// The link taken apart by the user: no lots move, and neither row is
// offered to the search again. Throws StoreError.
void keepTransferApart(const QSqlDatabase& db, qint64 sendId);
// Pairs taken apart that hold either row, dropped before a link by hand.
// Throws StoreError.
void forgetTransfersApart(const QSqlDatabase& db, qint64 sendId, qint64 receiveId);

// Every link, by send. Throws StoreError.
QVector<TransferLink> selectTransferLinks(const QSqlDatabase& db);

// The account's linked receives. Throws StoreError.
QVector<LinkedReceive> selectLinkedReceives(const QSqlDatabase& db, const QString& account);

// The accounts that receive what the account sent. Throws StoreError.
QStringList selectReceivingAccounts(const QSqlDatabase& db, const QString& account);

// The buys of other accounts whose lots were moved into the account: its
// links to them are its own, and their open quantities are their account's.
// Throws StoreError.
QSet<qint64> selectMovedInBuys(const QSqlDatabase& db, const QString& account);

// Sends and receives not linked yet, for the search of transfers.
struct TransferCandidate {
    qint64 id = 0;
    QString account;
    QString symbol;
    Quantity quantity;
    QDate date;
};
QVector<TransferCandidate> selectUnlinkedSends(const QSqlDatabase& db);
// Receives: the buys of unknown cost (shares transferred in).
QVector<TransferCandidate> selectUnlinkedReceives(const QSqlDatabase& db);

// The rows of other accounts the user may link a send or a receive to:
// sends, or receives (buys of unknown cost), that are in no link. A pair
// the user took apart does not hold them back: the user may always link
// again what the search is told to leave alone.
QVector<TransferCandidate> selectLinkableSends(const QSqlDatabase& db, const QString& notAccount);
QVector<TransferCandidate> selectLinkableReceives(const QSqlDatabase& db,
                                                  const QString& notAccount);

} // namespace gainbook
