#pragma once

#include "platform/record_columns.h"
#include "store/records.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>

#include <functional>
#include <memory>
#include <optional>

namespace gainbook {

// Columns of the transaction view.
namespace TxnGridCol {
enum : int {
    Month = 1,
    Symbol,
    Quantity,
    TxnType,
    TxnDate,
    TxnAmount,
    Comment,
    ID,
    Count = ID,
    Asset = Count + 1, // the screen's alone: digital asset or security
    OpenClose,         // the screen's alone: the broker's open/close word
};
}

using TxnRow = RecordRow<TxnRecord>;

// The eight columns of the transaction view.
QVector<GridColumn> SetupTxnGrid();

// How the transaction view shows a transaction and reads typed cells back.
// A new row's type is a drop-down of "Bought", "Sold" and "Sent". The buys
// of unknown cost (shares transferred in) are marked, with a note saying
// what to do, until their cost is typed or they are linked to the send they
// came from; a linked send or receive names the other account.
class TxnColumns final : public RecordColumns<TxnRecord> {
public:
    // With digitalOf, a locked ninth column "Asset" says whether the trade
    // is of a digital asset and a tenth, "Open/Close", the trade's open/close
    // word; the tool's list keeps the eight.
    explicit TxnColumns(QSet<qint64> unknownCost = {},
                        std::function<bool(const TxnRecord&)> digitalOf = {})
        : unknownCost_(std::move(unknownCost)), digitalOf_(std::move(digitalOf)) {}
    QVector<GridColumn> layout() const override;
    QString text(const TxnRecord& record, int col) const override;
    QString parse(TxnRecord& record, int col, const QString& text) const override;
    SortKey sortKey(const TxnRecord& record, int col) const override;
    CellKind kind(const TxnRow& row, int col, CellKind columnKind) const override;
    QStringList choices(const TxnRow& row, int col) const override;
    QString rowNote(const TxnRecord& record) const override;
    QString cellMark(const TxnRecord& record, int col) const override;

    // The other side of each linked send and receive, by the row's ID.
    struct TransferSide {
        QString account; // the other row's
        qint64 otherId = 0;
        bool receive = false; // the row is the receive
    };
    void setTransfers(QHash<qint64, TransferSide> transfers) { transfers_ = std::move(transfers); }

private:
    const TransferSide* transferOf(const TxnRecord& record) const;

    bool costUnknown(const TxnRecord& record) const;

    QSet<qint64> unknownCost_;
    std::function<bool(const TxnRecord&)> digitalOf_;
    QHash<qint64, TransferSide> transfers_;
};

// The note on a buy of shares transferred in whose cost is not typed yet.
QString unknownCostBuyNote();

// The columns of the view of an account, knowing its buys of unknown cost
// and the links of its sends and receives (and, with digitalOf, showing the
// Asset column). Throws StoreError.
std::unique_ptr<TxnColumns> txnColumnsOf(const QSqlDatabase& db,
                                         std::function<bool(const TxnRecord&)> digitalOf = {});

// The transactions of an account, or of one of its months, in the order the
// view shows them: by date (ties by symbol, then as captured). Throws
// StoreError.
QVector<TxnRecord> FillGrid1(const QSqlDatabase& db, const QString& account,
                             const std::optional<QString>& month);
// The same, read straight into the rows of a grid (RecordTableModel::fillRecords).
void FillGrid1(const QSqlDatabase& db, const QString& account, const std::optional<QString>& month,
               QVector<TxnRow>& rows);

} // namespace gainbook
