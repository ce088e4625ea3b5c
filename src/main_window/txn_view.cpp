#include "main_window/txn_view.h"

#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "platform/sheet_model.h"
#include "store/txn_table.h"

namespace gainbook {

void SetupTxnGrid(SheetModel& grid) {
    // Quantities may be fractional, and dates and amounts sort by value, so
    // those columns are numeric or date cells rather than plain text.
    grid.setColumns({
        {QStringLiteral("Month"), 12, CellKind::Text, Qt::AlignLeft, true, false},
        {QStringLiteral("Symbol"), 6, CellKind::Text, Qt::AlignLeft, false, false},
        {QStringLiteral("Quantity"), 6, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Txn Type"), 6, CellKind::Text, Qt::AlignLeft, false, false},
        {QStringLiteral("Txn Date"), 9, CellKind::Date, Qt::AlignRight, false, false},
        {QStringLiteral("Txn Amount"), 7, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Comment"), 10, CellKind::Text, Qt::AlignRight, false, true},
        {QStringLiteral("ID"), 2, CellKind::Text, Qt::AlignLeft, true, true},
    });
}

QStringList txnRowTexts(const TxnRecord& r) {
    return {r.txnMonth,
            r.symbol,
            numberToText(r.quantity),
            r.type,
            formatDate(r.txnDate),
            formatMoney(r.amount),
            r.memo,
            QString::number(r.id)};
}

void FillGrid1(SheetModel& grid, const QSqlDatabase& db, const QString& account,
               const std::optional<QString>& month) {
    const QVector<TxnRecord> records = selectTxns(db, account, month);
    SetupTxnGrid(grid);
    // The query already orders by date, the order the grid's first sort
    // would give, so no second pass over the rows is needed.
    QVector<QStringList> rows;
    rows.reserve(records.size());
    for (const TxnRecord& r : records)
        rows.append(txnRowTexts(r));
    grid.appendRows(rows);
}

} // namespace gainbook
