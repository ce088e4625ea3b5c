#pragma once

#include "platform/outcome.h"
#include "store/records.h"
#include "store/transfer_link_table.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <optional>

namespace gainbook {

// What the transactions grid offers for a row under "Link Transfer...": the
// rows of the other side it may be linked to by hand, or the link it is in.

// How far short of its send a receive offered to the user may be: more than
// the search takes on its own, since the user looks at each one.
inline constexpr double kTransferChoiceShortShare = 0.05;

struct TransferChoices {
    enum class Side { None, Send, Receive };
    Side side = Side::None;           // None: the row is neither a send nor a receive
    TxnRecord row;                    // the row the choices are for
    std::optional<TransferLink> link; // the link it is in, if any
    // Not linked: the rows of the other side in other accounts that fit it,
    // the nearest in date first, then the nearest in quantity.
    QVector<TransferCandidate> candidates;
};

// Throws StoreError.
TransferChoices transferChoicesFor(const QSqlDatabase& db, qint64 txnId);

// A candidate as the list shows it: "0.9995 BTC received in Exchange on
// 02/03/2025 (ID 12)".
QString transferChoiceText(const TransferChoices& choices, const TransferCandidate& candidate);

// The message when nothing fits the row.
QString noTransferChoiceText(const TransferChoices& choices);

// The question before the row's link is ended.
QString unlinkTransferQuestion(const TransferLink& link);

// The link made as the user picked it: the send and receive put in order.
Outcome linkTransferChoice(const QSqlDatabase& db, const TransferChoices& choices,
                           const TransferCandidate& picked);

} // namespace gainbook
