#include "buy_selection/buy_columns.h"

#include "platform/cell_readers.h"
#include "platform/date_text.h"
#include "platform/number_text.h"

namespace gainbook {

namespace {

QString notADate(const QString& text) {
    return QStringLiteral("Not a valid date: ") + text;
}

} // namespace

QVector<GridColumn> BuyColumns::layout() const {
    return {
        {QStringLiteral("Linked"), 4, CellKind::CheckBox, Qt::AlignHCenter, false, false},
        {QStringLiteral("Date"), 8, CellKind::Date, Qt::AlignRight, true, false},
        {QStringLiteral("Symbol"), 5, CellKind::Text, Qt::AlignLeft, true, false},
        {QStringLiteral("Applied#"), 6, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Applied Cost"), 7, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Total#"), 5, CellKind::Decimal, Qt::AlignRight, true, false},
        {QStringLiteral("Total Cost"), 7, CellKind::Decimal, Qt::AlignRight, true, false},
        {QStringLiteral("Comments"), 0, CellKind::Whole, Qt::AlignHCenter, true, true},
        {QStringLiteral("Account"), 12, CellKind::Text, Qt::AlignLeft, true, false},
    };
}

QString BuyColumns::text(const BuyRow& row, int col) const {
    if (col == BuyGridCol::Account)
        return row.buy.accountName;
    return buyRowTexts(row).value(col - 1);
}

QString BuyColumns::parse(BuyRow& row, int col, const QString& text) const {
    switch (col) {
    case BuyGridCol::Linked:
        row.linked = numberFromText(text) != 0;
        return {};
    case BuyGridCol::Date: {
        const QDate date = dateFromText(text.trimmed());
        if (!date.isValid())
            return notADate(text);
        row.buy.txnDate = date;
        return {};
    }
    case BuyGridCol::Symbol:
        row.buy.symbol = text;
        return {};
    case BuyGridCol::Applied:
        return readQuantityCell(text, row.appliedQuantity);
    case BuyGridCol::AppliedCost:
        return readMoneyCell(text, row.appliedCost);
    case BuyGridCol::Total:
        return readQuantityCell(text, row.buy.quantity);
    case BuyGridCol::TotalCost:
        return readMoneyCell(text, row.buy.amount);
    default: // the ID is the store's
        return {};
    }
}

SortKey BuyColumns::sortKey(const BuyRow& row, int col) const {
    switch (col) {
    case BuyGridCol::Linked:
        return sortByValue(row.linked ? 1 : 0);
    case BuyGridCol::Date:
        return sortByDate(row.buy.txnDate);
    case BuyGridCol::Applied:
        return sortByValue(row.appliedQuantity.toDouble());
    case BuyGridCol::AppliedCost:
        return sortByValue(row.appliedCost.toDouble());
    case BuyGridCol::Total:
        return sortByValue(row.buy.quantity.toDouble());
    case BuyGridCol::TotalCost:
        return sortByValue(row.buy.amount.toDouble());
    case BuyGridCol::Comments:
        return sortByValue(double(row.buy.id));
    default:
        return RecordColumns::sortKey(row, col);
    }
}

bool BuyColumns::locked(const BuyTableRow& row, int col, bool columnLocked) const {
    // A buy applied here is linked: its box and figures are the link's now.
    if (row.record.applied)
        return true;
    switch (col) {
    case BuyGridCol::Date:
    case BuyGridCol::Symbol:
    case BuyGridCol::Total:
    case BuyGridCol::TotalCost:
        // A buy entered here is typed in ...
        return !row.state.isNew;
    case BuyGridCol::Applied:
    case BuyGridCol::AppliedCost:
        // ... and its applied figures follow from it.
        return row.state.isNew;
    default:
        return columnLocked;
    }
}

QString buyRowRefusal(const BuyTableRow& row) {
    const RefusedCell* first = nullptr;
    for (const RefusedCell& cell : row.state.refused) {
        if (!first || cell.column < first->column)
            first = &cell;
    }
    if (first)
        return first->message;
    if (row.state.isNew && !row.record.buy.txnDate.isValid())
        return notADate(QString());
    return {};
}

QString BuyColumns::cellTip(const BuyRow& row, int col) const {
    return col == BuyGridCol::Total ? sharesBoughtNote(row) : QString();
}

} // namespace gainbook
