#include "main_window/tax_view.h"

#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "platform/sheet_model.h"
#include "store/tax_table.h"

namespace gainbook {

QString TaxTotals::recordsText() const {
    return QStringLiteral("Total Records ") + QString::number(records);
}

QString TaxTotals::proceedsText() const {
    return QStringLiteral("Total Proceed ") + formatTotal(proceeds);
}

QString TaxTotals::gainText() const {
    return QStringLiteral("Total Gain/Loss ") + formatTotal(gain);
}

void SetupTaxGrid(SheetModel& grid) {
    grid.setColumns({
        {QStringLiteral("Symbol"), 6, CellKind::Text, Qt::AlignLeft, true, false},
        {QStringLiteral("Quantity"), 6, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Date Bought"), 8, CellKind::Date, Qt::AlignRight, false, false},
        {QStringLiteral("Date Sold"), 8, CellKind::Date, Qt::AlignRight, false, false},
        {QStringLiteral("Cost"), 8, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Proceed"), 8, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Gain"), 10, CellKind::Decimal, Qt::AlignRight, true, false},
        {QStringLiteral("Comment"), 10, CellKind::Text, Qt::AlignLeft, false, false},
        {QStringLiteral("ID"), 3, CellKind::Text, Qt::AlignLeft, true, true},
    });
}

QStringList taxRowTexts(const TaxRecord& r) {
    return {r.symbol,
            numberToText(r.quantity),
            formatDate(r.dateAcquired),
            formatDate(r.dateSold),
            formatMoney(r.cost),
            formatMoney(r.salePrice),
            formatPlain(r.salePrice - r.cost),
            r.memo,
            QString::number(r.id)};
}

TaxTotals FillGrid(SheetModel& grid, const QSqlDatabase& db, const QString& account, TaxYear year) {
    const QVector<TaxRecord> records = selectTaxRecs(db, account, year.firstDay(), year.lastDay());
    SetupTaxGrid(grid);
    TaxTotals totals;
    QVector<QStringList> rows;
    rows.reserve(records.size());
    for (const TaxRecord& r : records) {
        rows.append(taxRowTexts(r));
        totals.gain += r.salePrice - r.cost;
        if (r.salePrice > Money())
            totals.proceeds += r.salePrice;
    }
    totals.records = int(rows.size());
    grid.appendRows(rows);
    grid.sortRows(TaxGridCol::Symbol, Qt::AscendingOrder);
    return totals;
}

} // namespace gainbook
