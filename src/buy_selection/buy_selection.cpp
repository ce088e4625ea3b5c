#include "buy_selection/buy_selection.h"

#include "matching/open_quantity.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "platform/prompter.h"
#include "platform/sheet_model.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "store/txn_table.h"

#include <cmath>

namespace gainbook {

namespace {

const QString kSelectBuys = QStringLiteral(
    "SELECT ID, AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, Amount, Memo FROM Txn "
    "WHERE Type = 'Bought' ");

// The statement of each filter entry; buys come in the order they were stored.
QSqlQuery runFilter(const QSqlDatabase& db, BuyFilter filter, const QString& account) {
    const QString order = QStringLiteral("ORDER BY ID");
    switch (filter) {
    case BuyFilter::NotAccountedSameAccount:
        return runQuery(db,
                        kSelectBuys + QStringLiteral("AND AccountName = ? AND Memo > '0' ") + order,
                        {account});
    case BuyFilter::AllSameAccount:
        return runQuery(db, kSelectBuys + QStringLiteral("AND AccountName = ? ") + order,
                        {account});
    case BuyFilter::NotAccountedAllAccounts:
        return runQuery(db, kSelectBuys + QStringLiteral("AND Memo > '0' ") + order);
    case BuyFilter::AllAllAccounts:
        break;
    }
    return runQuery(db, kSelectBuys + order);
}

QStringList buyRowTexts(const TxnRecord& buy) {
    return {QStringLiteral("0"),     formatDate(buy.txnDate), buy.symbol,
            QStringLiteral("0"),     QStringLiteral("0"),     numberToText(buy.quantity),
            formatPlain(buy.amount), QString::number(buy.id)};
}

void setUpGrid(SheetModel& grid) {
    grid.setColumns({
        {QStringLiteral("Linked"), 4, CellKind::CheckBox, Qt::AlignHCenter, false, false},
        {QStringLiteral("Date"), 8, CellKind::Date, Qt::AlignRight, true, false},
        {QStringLiteral("Symbol"), 5, CellKind::Text, Qt::AlignLeft, true, false},
        {QStringLiteral("Applied#"), 6, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Applied Cost"), 7, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Total#"), 5, CellKind::Decimal, Qt::AlignRight, true, false},
        {QStringLiteral("Total Cost"), 7, CellKind::Decimal, Qt::AlignRight, true, false},
        {QStringLiteral("Comments"), 0, CellKind::Whole, Qt::AlignHCenter, true, true},
    });
}

bool isMarked(const SheetModel& grid, int row) {
    return numberFromText(grid.text(row, BuyGridCol::Linked)) != 0;
}

} // namespace

QStringList buyFilterEntries() {
    return {QStringLiteral("Not accounted in same account"), QStringLiteral("All in same account"),
            QStringLiteral("Not accounted in all Accounts"), QStringLiteral("All in all Accounts")};
}

BuySelection::BuySelection(QSqlDatabase db, qint64 sellId, QString account)
    : db_(std::move(db)), sellId_(sellId), account_(std::move(account)) {}

bool BuySelection::FillSellRec() {
    sell_.reset();
    if (const auto row = selectTxnById(db_, sellId_); row && row->accountName == account_)
        sell_ = row;
    return sell_.has_value();
}

QString BuySelection::heading() const {
    if (!sell_)
        return QString();
    return QStringLiteral("Select buy records for ") + numberToText(sell_->quantity) + u' ' +
           sell_->symbol + QStringLiteral(" Sell of ") + formatDate(sell_->txnDate);
}

BuyFill BuySelection::FillGrid(SheetModel& grid, BuyFilter filter, Prompter& prompter) {
    setUpGrid(grid);
    QSqlQuery query = runFilter(db_, filter, account_);
    if (!query.next()) {
        if (!prompter.ask(
                QStringLiteral("All buy records are accounted. Do want to see all records?")))
            return BuyFill::Filled;
        query = runFilter(db_, BuyFilter::AllSameAccount, account_);
        if (!query.next())
            return BuyFill::NoBuys;
    }
    QVector<QStringList> rows;
    do {
        rows.append(buyRowTexts(txnFromQuery(query)));
    } while (query.next());
    grid.appendRows(rows);
    return BuyFill::Filled;
}

void BuySelection::cmdNew(SheetModel& grid) {
    const TxnRecord sell = sell_.value_or(TxnRecord{});
    grid.insertRowAt(1);
    const QStringList texts{
        QStringLiteral("1"), formatDate(sell.txnDate),    sell.symbol,    QStringLiteral("0"),
        QStringLiteral("0"), numberToText(sell.quantity), formatPlain(0), kNewBuyMarker};
    for (int col = 1; col <= BuyGridCol::Count; ++col)
        grid.setText(1, col, texts[col - 1]);
    // The new buy's own cells are typed in; its applied figures follow from them.
    for (int col : {BuyGridCol::Date, BuyGridCol::Symbol, BuyGridCol::Total, BuyGridCol::TotalCost})
        grid.setLocked(1, col, false);
    for (int col : {BuyGridCol::Applied, BuyGridCol::AppliedCost})
        grid.setLocked(1, col, true);
}

bool BuySelection::normalizeDateCell(SheetModel& grid, int row) {
    const QDate date = dateFromText(grid.text(row, BuyGridCol::Date));
    if (!date.isValid())
        return false;
    grid.setText(row, BuyGridCol::Date, formatDate(date));
    return true;
}

bool BuySelection::hasMarks(const SheetModel& grid) {
    for (int row = 1; row <= grid.rows(); ++row) {
        if (isMarked(grid, row))
            return true;
    }
    return false;
}

BuySelection::Lot BuySelection::appliedLot(const SheetModel& grid, int row) const {
    const double applied = numberFromText(grid.text(row, BuyGridCol::Applied));
    const double total = numberFromText(grid.text(row, BuyGridCol::Total));
    // Costs carry no sign, as in the automatic matching: a buy's amount may
    // be stored as money paid out.
    const double totalCost = std::abs(numberFromText(grid.text(row, BuyGridCol::TotalCost)));
    if (applied > 0) {
        const double typed = numberFromText(grid.text(row, BuyGridCol::AppliedCost));
        if (typed > 0)
            return {applied, typed};
        return {applied, total != 0 ? totalCost * applied / total : 0.0};
    }
    const double sold = sell_ ? sell_->quantity : 0.0;
    if (sold > total)
        return {total, totalCost};
    return {sold, total != 0 ? totalCost * sold / total : 0.0};
}

qint64 BuySelection::InsertNewTxn(const SheetModel& grid, int row) {
    const TxnRecord sell = sell_.value_or(TxnRecord{});
    const double quantity = numberFromText(grid.text(row, BuyGridCol::Total));
    TxnRecord buy;
    buy.accountName = sell.accountName.isEmpty() ? account_ : sell.accountName;
    buy.txnMonth = sell.txnMonth;
    buy.symbol = grid.text(row, BuyGridCol::Symbol);
    buy.quantity = quantity;
    buy.type = kBought;
    buy.txnDate = dateFromText(grid.text(row, BuyGridCol::Date));
    buy.amount = Money::fromDouble(numberFromText(grid.text(row, BuyGridCol::TotalCost)));
    buy.memo = numberToText(quantity); // the whole buy is open
    return insertTxn(db_, buy);
}

std::optional<QString> BuySelection::Apply(SheetModel& grid) {
    QVector<int> marked;
    for (int row = 1; row <= grid.rows(); ++row) {
        if (!isMarked(grid, row))
            continue;
        if (grid.text(row, BuyGridCol::Comments) == kNewBuyMarker &&
            !dateFromText(grid.text(row, BuyGridCol::Date)).isValid())
            return QStringLiteral("Not a valid date: %1").arg(grid.text(row, BuyGridCol::Date));
        marked.append(row);
    }

    QVector<qint64> ids;
    try {
        Transaction transaction(db_);
        LinkWriter links(db_);
        for (int row : marked) {
            const bool isNew = grid.text(row, BuyGridCol::Comments) == kNewBuyMarker;
            const qint64 buyId =
                isNew ? InsertNewTxn(grid, row) : grid.text(row, BuyGridCol::Comments).toLongLong();
            ids.append(buyId);
            if (sellId_ <= 0)
                continue;
            const Lot lot = appliedLot(grid, row);
            // A buy deleted meanwhile still gets its link, as the user asked.
            addToOpenQuantity(db_, buyId, -lot.quantity);
            deleteEmptyLink(db_, account_, sellId_);
            try {
                links.insert({account_, sellId_, buyId, lot.quantity, Money::fromDouble(lot.cost)});
            } catch (const StoreError& error) {
                if (error.isDuplicateKey())
                    return QStringLiteral("The buy of %1 %2 is already linked to this sell.")
                        .arg(grid.text(row, BuyGridCol::Date), grid.text(row, BuyGridCol::Symbol));
                throw;
            }
        }
        transaction.commit();
    } catch (const StoreError& error) {
        return QStringLiteral("The buys could not be applied: %1").arg(error.message());
    }

    for (qsizetype i = 0; i < marked.size(); ++i) {
        const int row = marked[i];
        grid.setText(row, BuyGridCol::Linked, QStringLiteral("0"));
        grid.setText(row, BuyGridCol::Comments, QString::number(ids[i]));
        // A stored new buy now behaves like any listed buy.
        for (int col : {BuyGridCol::Date, BuyGridCol::Symbol, BuyGridCol::Total,
                        BuyGridCol::TotalCost, BuyGridCol::Applied, BuyGridCol::AppliedCost})
            grid.setLocked(row, col, grid.column(col).locked);
    }
    return std::nullopt;
}

} // namespace gainbook
