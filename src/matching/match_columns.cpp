#include "matching/match_columns.h"

#include "platform/date_text.h"
#include "platform/number_text.h"

namespace gainbook {

QVector<GridColumn> MatchColumns::layout() const {
    const auto right = Qt::AlignRight;
    const auto left = Qt::AlignLeft;
    const struct {
        int width;
        CellKind kind;
        Qt::Alignment alignment;
        bool hidden;
    } cells[MatchGridCol::Count] = {
        {8, CellKind::Date, right, false},
        {6, CellKind::Decimal, right, false},
        {5, CellKind::Text, left, false},
        {7, CellKind::Decimal, right, false},
        {5, CellKind::Text, Qt::AlignHCenter, false},
        {8, CellKind::Date, right, false},
        {5, CellKind::Text, left, false},
        {6, CellKind::Decimal, right, false},
        {7, CellKind::Decimal, right, false},
        {5, CellKind::Decimal, right, false},
        {7, CellKind::Decimal, right, false},
        {5, CellKind::Whole, right, true},
        {5, CellKind::Whole, right, true},
    };
    const QStringList headings = matchGridHeadings();
    QVector<GridColumn> columns;
    columns.reserve(MatchGridCol::Count);
    for (int col = 0; col < MatchGridCol::Count; ++col)
        columns.append({headings[col], cells[col].width, cells[col].kind, cells[col].alignment,
                        true, cells[col].hidden});
    return columns;
}

QString MatchColumns::text(const MatchRow& row, int col) const {
    return matchRowTexts(row).value(col - 1);
}

QString MatchColumns::parse(MatchRow& row, int col, const QString& text) const {
    // Only a lot's box is the user's; the rest shows what is stored.
    if (col == MatchGridCol::Linked && row.hasLot())
        row.linked = numberFromText(text) != 0;
    return {};
}

SortKey MatchColumns::sortKey(const MatchRow& row, int col) const {
    const QString shown = text(row, col);
    switch (col) {
    case MatchGridCol::DateSold:
    case MatchGridCol::BuyDate:
        return sortByDate(dateFromText(shown));
    case MatchGridCol::Symbol:
    case MatchGridCol::Linked:
    case MatchGridCol::BuySymbol:
        return RecordColumns::sortKey(row, col);
    default:
        return sortByValue(numberFromText(shown));
    }
}

CellKind MatchColumns::kind(const MatchTableRow& row, int col, CellKind columnKind) const {
    if (col != MatchGridCol::Linked)
        return columnKind;
    if (row.record.hasAddButton)
        return CellKind::Button;
    return row.record.hasLot() ? CellKind::CheckBox : columnKind;
}

bool MatchColumns::locked(const MatchTableRow& row, int col, bool columnLocked) const {
    if (col == MatchGridCol::Linked && row.record.hasLot() && !row.record.hasAddButton)
        return false;
    return columnLocked;
}

QString MatchColumns::rowNote(const MatchRow& row) const {
    return row.costUnknown && row.hasLot() ? unknownCostLotNote() : QString();
}

QString unknownCostLotNote() {
    return QStringLiteral("Shares transferred in: their cost and date acquired are not known. "
                          "Type the cost in the buy's Txn Amount, then process the account "
                          "again; until then the sale is reported without a cost.");
}

} // namespace gainbook
