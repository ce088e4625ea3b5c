#include "matching/matching_grid.h"

#include "app/tax_year.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "platform/sheet_model.h"
#include "store/links_table.h"

namespace gainbook {

void SetupGrid(SheetModel& grid) {
    const auto right = Qt::AlignRight;
    const auto left = Qt::AlignLeft;
    grid.setColumns({
        {QStringLiteral("Date Sold"), 8, CellKind::Date, right, true, false},
        {QStringLiteral("Quantity"), 6, CellKind::Decimal, right, true, false},
        {QStringLiteral("Symbol"), 5, CellKind::Text, left, true, false},
        {QStringLiteral("Sale Price"), 7, CellKind::Decimal, right, true, false},
        {QStringLiteral("Linked"), 5, CellKind::Text, Qt::AlignHCenter, true, false},
        {QStringLiteral("Buy Date"), 8, CellKind::Date, right, true, false},
        {QStringLiteral("Buy Symbol"), 5, CellKind::Text, left, true, false},
        {QStringLiteral("Applied Quantity"), 6, CellKind::Decimal, right, true, false},
        {QStringLiteral("Applied Cost"), 7, CellKind::Decimal, right, true, false},
        {QStringLiteral("Total Quantity"), 5, CellKind::Decimal, right, true, false},
        {QStringLiteral("Total Cost"), 7, CellKind::Decimal, right, true, false},
        {QStringLiteral("BuyId"), 5, CellKind::Whole, right, true, true},
        {QStringLiteral("SellID"), 5, CellKind::Whole, right, true, true},
    });
}

void ClearGrid(SheetModel& grid) {
    grid.clear();
}

QVector<LotKey> clearedLots(const SheetModel& grid) {
    QVector<LotKey> lots;
    for (int row = 1; row <= grid.rows(); ++row) {
        if (grid.kind(row, MatchGridCol::Linked) != CellKind::CheckBox ||
            numberFromText(grid.text(row, MatchGridCol::Linked)) != 0)
            continue;
        lots.append({qint64(numberFromText(grid.text(row, MatchGridCol::SellID))),
                     qint64(numberFromText(grid.text(row, MatchGridCol::BuyId)))});
    }
    return lots;
}

int lotRow(const SheetModel& grid, const LotKey& lot) {
    const QString sell = QString::number(lot.sellId);
    const QString buy = QString::number(lot.buyId);
    for (int row = 1; row <= grid.rows(); ++row) {
        if (grid.kind(row, MatchGridCol::Linked) == CellKind::CheckBox &&
            grid.text(row, MatchGridCol::SellID) == sell &&
            grid.text(row, MatchGridCol::BuyId) == buy)
            return row;
    }
    return 0;
}

void MatchingGrid::FillGrid(SheetModel& grid, const QSqlDatabase& db, const QString& account) {
    SetupGrid(grid);
    account_ = account;
    rows_.clear();
    GridRow = 1;
    LastSellId = 0;
    SkipSell = false;
    BuyShown = false;
    AddShown = false;
    lookup_.emplace(db);

    const QVector<SellLink> links = selectLinksOfAccount(db, account);
    for (const SellLink& link : links) {
        if (link.sellId != LastSellId) {
            BuyShown = false;
            AddShown = false;
            FillSellRec(link);
            LastSellId = link.sellId;
        }
        if (!SkipSell) {
            FillBuyRec(link);
            // One button per sell, even when several of its links name no
            // existing buy.
            if (!BuyShown && !AddShown) {
                Row& row = rowAt(GridRow);
                row.texts[MatchGridCol::Linked - 1] = kAddCaption;
                row.texts[MatchGridCol::SellID - 1] = QString::number(link.sellId);
                row.linked = 2;
                AddShown = true;
                ++GridRow;
            }
        }
    }
    lookup_.reset();

    // Only rows that were written: a last sell outside the tax year leaves
    // no empty row behind.
    QVector<QStringList> texts;
    texts.reserve(rows_.size());
    for (const Row& row : std::as_const(rows_))
        texts.append(row.texts);
    grid.appendRows(texts);
    for (int r = 1; r <= int(rows_.size()); ++r) {
        const int linked = rows_[r - 1].linked;
        if (linked == 1) {
            grid.setCellKind(r, MatchGridCol::Linked, CellKind::CheckBox);
            grid.setLocked(r, MatchGridCol::Linked, false);
        } else if (linked == 2) {
            grid.setCellKind(r, MatchGridCol::Linked, CellKind::Button);
        }
    }
    rows_.clear();
}

MatchingGrid::Row& MatchingGrid::rowAt(int row) {
    while (rows_.size() < row)
        rows_.append({QStringList(MatchGridCol::Count, QString()), 0});
    return rows_[row - 1];
}

void MatchingGrid::FillSellRec(const SellLink& link) {
    const std::optional<TxnRecord> sell = lookup_->byId(account_, link.sellId);
    if (!sell) {
        // Lots of a sell that no longer exists still show, so that they can
        // be detached.
        SkipSell = false;
        return;
    }
    if (sell->txnDate < taxYearFirstDay() || sell->txnDate > taxYearLastDay() ||
        !sell->txnDate.isValid()) {
        SkipSell = true;
        return;
    }
    SkipSell = false;
    Row& row = rowAt(GridRow);
    row.texts[MatchGridCol::DateSold - 1] = formatDate(sell->txnDate);
    row.texts[MatchGridCol::Quantity - 1] = numberToText(sell->quantity);
    row.texts[MatchGridCol::Symbol - 1] = sell->symbol;
    row.texts[MatchGridCol::SalePrice - 1] = formatPlain(sell->amount);
    row.texts[MatchGridCol::SellID - 1] = QString::number(sell->id);
}

void MatchingGrid::FillBuyRec(const SellLink& link) {
    if (link.buyId == 0)
        return;
    const std::optional<TxnRecord> buy = lookup_->byId(account_, link.buyId);
    if (!buy)
        return;
    BuyShown = true;
    Row& row = rowAt(GridRow);
    row.linked = 1;
    row.texts[MatchGridCol::Linked - 1] = QStringLiteral("1");
    row.texts[MatchGridCol::BuyDate - 1] = formatDate(buy->txnDate);
    row.texts[MatchGridCol::BuySymbol - 1] = buy->symbol;
    row.texts[MatchGridCol::AppliedQuantity - 1] = numberToText(link.buyQuantity);
    row.texts[MatchGridCol::AppliedCost - 1] = formatPlain(link.buyPrice);
    row.texts[MatchGridCol::TotalQuantity - 1] = numberToText(buy->quantity);
    row.texts[MatchGridCol::TotalCost - 1] = formatPlain(buy->amount);
    row.texts[MatchGridCol::BuyId - 1] = QString::number(buy->id);
    row.texts[MatchGridCol::SellID - 1] = QString::number(link.sellId);
    ++GridRow;
}

} // namespace gainbook
