#include "matching/transfers.h"

#include "matching/account_trades.h"
#include "platform/date_text.h"
#include "platform/instrument_name.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/records.h"
#include "store/store_error.h"
#include "store/store_fault.h"
#include "store/transaction.h"
#include "store/transfer_link_table.h"
#include "store/txn_table.h"
#include "store/unknown_cost_table.h"

namespace gainbook {

namespace {

bool transferFits(const TransferCandidate& send, const TransferCandidate& receive) {
    if (send.account == receive.account || !sameInstrument(send.symbol, receive.symbol))
        return false;
    if (!send.date.isValid() || !receive.date.isValid() || receive.date < send.date ||
        receive.date > send.date.addDays(kTransferDays))
        return false;
    // What arrives is what was sent less the fee: never more.
    return receive.quantity <= send.quantity &&
           receive.quantity.toDouble() >= send.quantity.toDouble() * (1 - kTransferFeeShare);
}

void markIfProcessed(const QSqlDatabase& db, const QString& account) {
    if (accountHasLinks(db, account))
        markRematch(db, account);
}

// Whether the lots the sender's sends now carry to the receiver are other
// than those the receiver's last run took in, lot by lot in their order.
bool carriedLotsChanged(const QSqlDatabase& db, const QString& sender, const QString& receiver) {
    QHash<qint64, QVector<MovedLotRow>> took;
    for (MovedLotRow& row : selectMovedLots(db, receiver))
        took[row.receiveId].append(std::move(row));
    for (const LinkedReceive& receive : selectReceivedLots(db, receiver)) {
        if (receive.sendAccount != sender)
            continue;
        const QVector<MovedLotRow> before = took.value(receive.receiveId);
        if (before.size() != receive.lots.size())
            return true;
        for (qsizetype i = 0; i < before.size(); ++i) {
            const MovedLot& now = receive.lots[i];
            if (before[i].buyId != now.buyId || before[i].sent != now.quantity ||
                before[i].cost != now.cost || before[i].costUnknown != now.costUnknown)
                return true;
        }
    }
    return false;
}

} // namespace

QString transferLinkedText(const QString& symbol, const QString& sent, const QString& sendAccount,
                           const QString& sendDate, const QString& received,
                           const QString& receiveAccount, const QString& receiveDate) {
    return QStringLiteral("Transfer linked: %1 %2 sent from %3 on %4 arrives in %5 as %6 on %7.")
        .arg(sent, symbol, sendAccount, sendDate, receiveAccount, received, receiveDate);
}

qint64 linkTransfers(const QSqlDatabase& db) {
    const QVector<TransferCandidate> sends = selectUnlinkedSends(db);
    if (sends.isEmpty())
        return 0;
    QVector<TransferCandidate> receives = selectUnlinkedReceives(db);
    qint64 linked = 0;
    for (const TransferCandidate& send : sends) {
        for (qsizetype i = 0; i < receives.size(); ++i) {
            if (!transferFits(send, receives[i]))
                continue;
            insertTransferLink(db, send.id, receives[i].id, false);
            markIfProcessed(db, receives[i].account);
            receives.remove(i);
            ++linked;
            break;
        }
    }
    return linked;
}

void markReceiversStale(const QSqlDatabase& db, const QString& account) {
    for (const QString& receiver : selectReceivingAccounts(db, account)) {
        if (receiver != account && accountHasLinks(db, receiver) &&
            carriedLotsChanged(db, account, receiver))
            markRematch(db, receiver);
    }
}

Outcome linkTransferByHand(const QSqlDatabase& db, qint64 sendId, qint64 receiveId) {
    try {
        Transaction transaction(db);
        const std::optional<TxnRecord> send = selectTxnById(db, sendId);
        if (!send || send->type != kSent)
            return Outcome::stop(
                QStringLiteral("Not a send: %1 (a trade of type Sent is).").arg(sendId));
        const std::optional<TxnRecord> receive = selectTxnById(db, receiveId);
        if (!receive || receive->type != kBought)
            return Outcome::stop(
                QStringLiteral("Not a receive: %1 (a buy is, of unknown cost when shares "
                               "were transferred in).")
                    .arg(receiveId));
        if (send->accountName == receive->accountName)
            return Outcome::stop(QStringLiteral("A transfer is between two accounts: %1 and %2 "
                                                "are both in %3.")
                                     .arg(sendId)
                                     .arg(receiveId)
                                     .arg(send->accountName));
        if (!sameInstrument(send->symbol, receive->symbol))
            return Outcome::stop(QStringLiteral("A transfer moves one asset: %1 is %2, %3 is %4.")
                                     .arg(sendId)
                                     .arg(send->symbol)
                                     .arg(receiveId)
                                     .arg(receive->symbol));
        if (!receive->quantity.isPositive() || receive->quantity > send->quantity)
            return Outcome::stop(QStringLiteral("A receive is at most what was sent: %1 "
                                                "received, %2 sent.")
                                     .arg(receive->quantity.text(), send->quantity.text()));
        forgetTransfersApart(db, sendId, receiveId);
        for (const qint64 id : {sendId, receiveId}) {
            if (const std::optional<TransferLink> held = selectTransferLinkOf(db, id))
                return Outcome::stop(QStringLiteral("Already linked: send %1 to receive %2. "
                                                    "Unlink it first (transfer-unlink %3).")
                                         .arg(held->sendId)
                                         .arg(held->receiveId)
                                         .arg(id));
        }
        insertTransferLink(db, sendId, receiveId, true);
        markIfProcessed(db, receive->accountName);
        transaction.commit();
        return Outcome::ok(1, transferLinkedText(send->symbol, send->quantity.text(),
                                                 send->accountName, formatDate(send->txnDate),
                                                 receive->quantity.text(), receive->accountName,
                                                 formatDate(receive->txnDate)));
    } catch (const StoreError& error) {
        return Outcome::failure(QStringLiteral("Linking the transfer failed; nothing was "
                                               "changed: %1")
                                    .arg(failureText(db, error)));
    }
}

Outcome unlinkTransfer(const QSqlDatabase& db, qint64 txnId) {
    try {
        Transaction transaction(db);
        const std::optional<TransferLink> link = selectTransferLinkOf(db, txnId);
        if (!link)
            return Outcome::stop(QStringLiteral("No transfer linked: %1").arg(txnId));
        keepTransferApart(db, link->sendId);
        // Left as it was, a receive of no amount would be a buy of no cost
        // at all; one whose cost the user typed keeps it.
        if (const std::optional<TxnRecord> receive = selectTxnById(db, link->receiveId);
            receive && receive->amount == Money())
            markUnknownCost(db, {link->receiveId});
        markIfProcessed(db, link->receiveAccount);
        transaction.commit();
        return Outcome::ok(1, QStringLiteral("Transfer unlinked: send %1, receive %2. The "
                                             "receive is a buy of unknown cost until it is "
                                             "linked again or its cost is typed.")
                                  .arg(link->sendId)
                                  .arg(link->receiveId));
    } catch (const StoreError& error) {
        return Outcome::failure(QStringLiteral("Unlinking the transfer failed; nothing was "
                                               "changed: %1")
                                    .arg(failureText(db, error)));
    }
}

} // namespace gainbook
