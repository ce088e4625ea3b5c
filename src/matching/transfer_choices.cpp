#include "matching/transfer_choices.h"

#include "matching/transfers.h"
#include "platform/date_text.h"
#include "platform/instrument_name.h"
#include "store/transfer_link_table.h"
#include "store/txn_table.h"
#include "store/unknown_cost_table.h"

#include <algorithm>
#include <cmath>

namespace gainbook {

namespace {

// A receive fits a send when it arrived on the send's day or within
// kTransferDays after it, no more than was sent and at most
// kTransferChoiceShortShare short of it (the network's fee in the coin).
bool choiceFits(const TransferCandidate& send, const TransferCandidate& receive) {
    if (!sameInstrument(send.symbol, receive.symbol) || !send.date.isValid() ||
        !receive.date.isValid() || receive.date < send.date ||
        receive.date > send.date.addDays(kTransferDays))
        return false;
    return receive.quantity.isPositive() && receive.quantity <= send.quantity &&
           receive.quantity.toDouble() >=
               send.quantity.toDouble() * (1 - kTransferChoiceShortShare);
}

TransferCandidate candidateOfRow(const TxnRecord& row) {
    return {row.id, row.accountName, row.symbol, row.quantity, row.txnDate};
}

} // namespace

TransferChoices transferChoicesFor(const QSqlDatabase& db, qint64 txnId) {
    TransferChoices choices;
    const std::optional<TxnRecord> row = selectTxnById(db, txnId);
    if (!row)
        return choices;
    choices.row = *row;
    choices.link = selectTransferLinkOf(db, txnId);
    if (row->type == kSent)
        choices.side = TransferChoices::Side::Send;
    else if (row->type == kBought &&
             ((choices.link && choices.link->receiveId == txnId) || isUnknownCostBuy(db, txnId)))
        choices.side = TransferChoices::Side::Receive;
    if (choices.side == TransferChoices::Side::None || choices.link)
        return choices;

    const TransferCandidate self = candidateOfRow(*row);
    const bool send = choices.side == TransferChoices::Side::Send;
    const QVector<TransferCandidate> others = send ? selectLinkableReceives(db, row->accountName)
                                                   : selectLinkableSends(db, row->accountName);
    for (const TransferCandidate& other : others) {
        if (send ? choiceFits(self, other) : choiceFits(other, self))
            choices.candidates.append(other);
    }
    std::stable_sort(choices.candidates.begin(), choices.candidates.end(),
                     [&self](const TransferCandidate& a, const TransferCandidate& b) {
                         const qint64 daysA = std::abs(self.date.daysTo(a.date));
                         const qint64 daysB = std::abs(self.date.daysTo(b.date));
                         if (daysA != daysB)
                             return daysA < daysB;
                         return std::abs(a.quantity.toDouble() - self.quantity.toDouble()) <
                                std::abs(b.quantity.toDouble() - self.quantity.toDouble());
                     });
    return choices;
}

QString transferChoiceText(const TransferChoices& choices, const TransferCandidate& candidate) {
    const bool send = choices.side == TransferChoices::Side::Send;
    return QStringLiteral("%1 %2 %3 %4 on %5 (ID %6)")
        .arg(candidate.quantity.text(), candidate.symbol,
             send ? QStringLiteral("received in") : QStringLiteral("sent from"), candidate.account,
             formatDate(candidate.date))
        .arg(candidate.id);
}

QString noTransferChoiceText(const TransferChoices& choices) {
    const TxnRecord& row = choices.row;
    if (choices.side == TransferChoices::Side::Send)
        return QStringLiteral("No receive to link: no buy of unknown cost of %1 in another "
                              "account from %2 to %3, of at most %4.")
            .arg(row.symbol, formatDate(row.txnDate),
                 formatDate(row.txnDate.addDays(kTransferDays)), row.quantity.text());
    return QStringLiteral("No send to link: no send of %1 from another account from %2 to %3, "
                          "of at least %4.")
        .arg(row.symbol, formatDate(row.txnDate.addDays(-kTransferDays)), formatDate(row.txnDate),
             row.quantity.text());
}

QString unlinkTransferQuestion(const TransferLink& link) {
    return QStringLiteral("Unlink the transfer of send %1 (%2) and receive %3 (%4)?")
        .arg(link.sendId)
        .arg(link.sendAccount)
        .arg(link.receiveId)
        .arg(link.receiveAccount);
}

Outcome linkTransferChoice(const QSqlDatabase& db, const TransferChoices& choices,
                           const TransferCandidate& picked) {
    if (choices.side == TransferChoices::Side::Send)
        return linkTransferByHand(db, choices.row.id, picked.id);
    return linkTransferByHand(db, picked.id, choices.row.id);
}

} // namespace gainbook
