#include "matching/matching_grid.h"

#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "platform/sheet_model.h"
#include "platform/tax_year.h"
#include "store/sql.h"

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

namespace {

// The links of an account with their sell and buy, read in one pass: the
// grid of a large account would otherwise cost two lookups per link.
// Grouped by sell, the lots of a sell in the order they were written.
const QString kLinksWithTxns =
    QStringLiteral("SELECT l.SellId, l.BuyId, l.BuyQuantity, l.BuyPrice, "
                   "s.ID, s.Symbol, s.Quantity, s.TxnDate, s.Amount, "
                   "b.ID, b.Symbol, b.Quantity, b.TxnDate, b.Amount "
                   "FROM SellLinks l "
                   "LEFT JOIN Txn s ON s.ID = l.SellId AND s.AccountName = l.AccountName "
                   "LEFT JOIN Txn b ON b.ID = l.BuyId AND b.AccountName = l.AccountName "
                   "WHERE l.AccountName = ? ORDER BY l.SellId, l.rowid");

std::optional<TxnRecord> txnAt(const QSqlQuery& query, int first) {
    if (query.isNull(first))
        return std::nullopt;
    TxnRecord r;
    r.id = query.value(first).toLongLong();
    r.symbol = query.value(first + 1).toString();
    r.quantity = query.value(first + 2).toDouble();
    r.txnDate = dateFromStored(query.value(first + 3).toString());
    r.amount = Money::fromDouble(query.value(first + 4).toDouble());
    return r;
}

} // namespace

void MatchingGrid::FillGrid(SheetModel& grid, const QSqlDatabase& db, const QString& account) {
    SetupGrid(grid);
    rows_.clear();
    GridRow = 1;
    LastSellId = 0;
    SkipSell = false;
    BuyShown = false;
    AddShown = false;

    QSqlQuery query = runQuery(db, kLinksWithTxns, {account});
    LinkRead read;
    while (query.next()) {
        read.link.sellId = query.value(0).toLongLong();
        read.link.buyId = query.value(1).toLongLong();
        read.link.buyQuantity = query.value(2).toDouble();
        read.link.buyPrice = Money::fromDouble(query.value(3).toDouble());
        if (read.link.sellId != LastSellId) {
            BuyShown = false;
            AddShown = false;
            read.sell = txnAt(query, 4);
            FillSellRec(read);
            LastSellId = read.link.sellId;
        }
        if (!SkipSell) {
            read.buy = read.link.buyId != 0 ? txnAt(query, 9) : std::nullopt;
            FillBuyRec(read);
            // One button per sell, even when several of its links name no
            // existing buy.
            if (!BuyShown && !AddShown) {
                Row& row = rowAt(GridRow);
                row.texts[MatchGridCol::Linked - 1] = kAddCaption;
                row.texts[MatchGridCol::SellID - 1] = QString::number(read.link.sellId);
                row.linked = 2;
                AddShown = true;
                ++GridRow;
            }
        }
    }

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

void MatchingGrid::FillSellRec(const LinkRead& read) {
    const std::optional<TxnRecord>& sell = read.sell;
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

void MatchingGrid::FillBuyRec(const LinkRead& read) {
    const LinkRecord& link = read.link;
    const std::optional<TxnRecord>& buy = read.buy;
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
