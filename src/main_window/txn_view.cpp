#include "main_window/txn_view.h"

#include "platform/cell_readers.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "store/transfer_link_table.h"
#include "store/txn_table.h"
#include "store/txn_view_read.h"
#include "store/unknown_cost_table.h"

namespace gainbook {

QVector<GridColumn> SetupTxnGrid() {
    // Quantities may be fractional, and dates and amounts sort by value, so
    // those columns are numeric or date cells rather than plain text.
    return {
        {QStringLiteral("Month"), 12, CellKind::Text, Qt::AlignLeft, true, false},
        {QStringLiteral("Symbol"), 6, CellKind::Text, Qt::AlignLeft, false, false},
        {QStringLiteral("Quantity"), 6, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Txn Type"), 6, CellKind::Text, Qt::AlignLeft, false, false},
        {QStringLiteral("Txn Date"), 9, CellKind::Date, Qt::AlignRight, false, false},
        // Wide enough for the mark after the amount ("cost unknown", "from
        // Wallet"), which was cut to its first letters.
        {QStringLiteral("Txn Amount"), 13, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Comment"), 10, CellKind::Text, Qt::AlignRight, false, true},
        {QStringLiteral("ID"), 2, CellKind::Text, Qt::AlignLeft, true, true},
    };
}

QVector<GridColumn> TxnColumns::layout() const {
    QVector<GridColumn> columns = SetupTxnGrid();
    if (digitalOf_) {
        columns.append({QStringLiteral("Asset"), 6, CellKind::Text, Qt::AlignLeft, true, false});
        // Whether the trade opened or closed a position, or closed an option
        // by its expiry, assignment or exercise, as the capture kept it.
        columns.append(
            {QStringLiteral("Open/Close"), 7, CellKind::Text, Qt::AlignLeft, true, false});
    }
    return columns;
}

QString TxnColumns::text(const TxnRecord& r, int col) const {
    switch (col) {
    case TxnGridCol::Asset:
        if (!digitalOf_)
            return {};
        return digitalOf_(r) ? QStringLiteral("Digital") : QStringLiteral("Security");
    case TxnGridCol::OpenClose:
        return digitalOf_ ? r.openClose : QString();
    case TxnGridCol::Month:
        return r.txnMonth;
    case TxnGridCol::Symbol:
        return r.symbol;
    case TxnGridCol::Quantity:
        return r.quantity.text();
    case TxnGridCol::TxnType:
        return r.type;
    case TxnGridCol::TxnDate:
        return formatDate(r.txnDate);
    case TxnGridCol::TxnAmount:
        return formatMoney(r.amount);
    case TxnGridCol::Comment:
        return r.memo;
    case TxnGridCol::ID:
        // A row not stored yet has no record number to show.
        return r.id > 0 ? QString::number(r.id) : QString();
    default:
        return {};
    }
}

const TxnColumns::TransferSide* TxnColumns::transferOf(const TxnRecord& record) const {
    const auto found = transfers_.constFind(record.id);
    if (found == transfers_.cend())
        return nullptr;
    // A type typed over the row since makes it no transfer on the screen.
    return record.type == (found->receive ? kBought : kSent) ? &*found : nullptr;
}

bool TxnColumns::costUnknown(const TxnRecord& record) const {
    // A buy of another type typed over the row is no longer a transfer in,
    // and a linked one takes the costs of the lots its send moved.
    return record.type == kBought && unknownCost_.contains(record.id) && !transferOf(record);
}

QString TxnColumns::rowNote(const TxnRecord& record) const {
    if (const TransferSide* transfer = transferOf(record)) {
        if (!transfer->receive)
            return QStringLiteral("Sent to %1 (receive %2): its lots move there with their "
                                  "dates and costs.")
                .arg(transfer->account)
                .arg(transfer->otherId);
        return QStringLiteral("Received from %1 (send %2): its lots keep the dates and costs "
                              "they had in %1. Process %1 before this account.")
            .arg(transfer->account)
            .arg(transfer->otherId);
    }
    return costUnknown(record) ? unknownCostBuyNote() : QString();
}

QString TxnColumns::cellMark(const TxnRecord& record, int col) const {
    if (col != TxnGridCol::TxnAmount)
        return {};
    if (const TransferSide* transfer = transferOf(record))
        return (transfer->receive ? QStringLiteral("from ") : QStringLiteral("to ")) +
               transfer->account;
    return costUnknown(record) ? QStringLiteral("cost unknown") : QString();
}

QString unknownCostBuyNote() {
    return QStringLiteral("Shares transferred in: their cost and date acquired are not known. "
                          "Type the cost in Txn Amount (and the date acquired in Txn Date), then "
                          "process the account again; until then a sale of them is reported "
                          "without a cost.");
}

std::unique_ptr<TxnColumns> txnColumnsOf(const QSqlDatabase& db,
                                         std::function<bool(const TxnRecord&)> digitalOf) {
    auto columns = std::make_unique<TxnColumns>(selectUnknownCostBuys(db), std::move(digitalOf));
    QHash<qint64, TxnColumns::TransferSide> transfers;
    for (const TransferLink& link : selectTransferLinks(db)) {
        transfers.insert(link.sendId, {link.receiveAccount, link.receiveId, false});
        transfers.insert(link.receiveId, {link.sendAccount, link.sendId, true});
    }
    columns->setTransfers(std::move(transfers));
    return columns;
}

QString TxnColumns::parse(TxnRecord& r, int col, const QString& text) const {
    switch (col) {
    case TxnGridCol::Symbol:
        r.symbol = text;
        return {};
    case TxnGridCol::Quantity:
        return readQuantityCell(text, r.quantity);
    case TxnGridCol::TxnType:
        r.type = text;
        return {};
    case TxnGridCol::TxnDate:
        return readDateCell(text, r.txnDate);
    case TxnGridCol::TxnAmount:
        return readMoneyCell(text, r.amount);
    case TxnGridCol::Comment:
        r.memo = text;
        return {};
    default: // the month and the ID are the program's
        return {};
    }
}

SortKey TxnColumns::sortKey(const TxnRecord& r, int col) const {
    switch (col) {
    case TxnGridCol::Quantity:
        return sortByValue(r.quantity.toDouble());
    case TxnGridCol::TxnDate:
        return sortByDate(r.txnDate);
    case TxnGridCol::TxnAmount:
        return sortByValue(r.amount.toDouble());
    default:
        return RecordColumns::sortKey(r, col);
    }
}

CellKind TxnColumns::kind(const TxnRow& row, int col, CellKind columnKind) const {
    return row.state.isNew && col == TxnGridCol::TxnType ? CellKind::DropDown : columnKind;
}

QStringList TxnColumns::choices(const TxnRow& row, int col) const {
    if (row.state.isNew && col == TxnGridCol::TxnType)
        return {kBought, kSold, kSent};
    return {};
}

QVector<TxnRecord> FillGrid1(const QSqlDatabase& db, const QString& account,
                             const std::optional<QString>& month) {
    // The query already orders by date, the order the grid's first sort
    // would give, so no second pass over the rows is needed.
    return selectTxns(db, account, month);
}

void FillGrid1(const QSqlDatabase& db, const QString& account, const std::optional<QString>& month,
               QVector<TxnRow>& rows) {
    RowPlaces places(rows, [](TxnRow& row) -> TxnRecord& { return row.record; });
    readTxnsInViewOrder(db, account, month, places);
}

} // namespace gainbook
