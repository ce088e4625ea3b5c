#include "main_window/record_writers.h"

#include "main_window/tax_view.h"
#include "main_window/txn_view.h"
#include "platform/date_text.h"
#include "platform/number_text.h"
#include "platform/prompter.h"
#include "platform/sheet_model.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "store/txn_table.h"

namespace gainbook {

namespace {

const QString kCheckRow = QStringLiteral("Check Highlighted row for Error");
const QString kNotADate = QStringLiteral("Not a valid date");
const QString kInvalidRecord = QStringLiteral("Trying to update invalid record");

// Money and quantity cells are shown with grouped thousands ("1,250.00");
// reading them as typed would stop at the first comma.
double cellNumber(const SheetModel& grid, int row, int col) {
    return numberFromText(QString(grid.text(row, col)).remove(QLatin1Char(',')));
}

QString fault(SheetModel& grid, int row, const QString& status) {
    grid.setTextColor(row, kErrorColor);
    return status;
}

QString saved(SheetModel& grid, int row) {
    grid.setChanged(row, false);
    grid.setTextColor(row, 0);
    return {};
}

// The symbol in upper case, written back into its cell; empty means the
// row cannot be stored.
QString readSymbol(SheetModel& grid, int row, int col) {
    const QString symbol = grid.text(row, col).trimmed().toUpper();
    grid.setText(row, col, symbol);
    return symbol;
}

struct TaxRow {
    TaxRecord record;
    QString error;
};

TaxRow readTaxRow(SheetModel& grid, int row) {
    TaxRow r;
    r.record.symbol = readSymbol(grid, row, TaxGridCol::Symbol);
    if (r.record.symbol.isEmpty()) {
        r.error = kCheckRow;
        return r;
    }
    r.record.quantity = cellNumber(grid, row, TaxGridCol::Quantity);
    // The acquisition date may be unknown; the sale date never is.
    const QString bought = grid.text(row, TaxGridCol::DateBought).trimmed();
    r.record.dateAcquired = dateFromText(bought);
    r.record.dateSold = dateFromText(grid.text(row, TaxGridCol::DateSold).trimmed());
    if ((!bought.isEmpty() && !r.record.dateAcquired.isValid()) || !r.record.dateSold.isValid()) {
        r.error = kNotADate;
        return r;
    }
    r.record.cost = Money::fromDouble(cellNumber(grid, row, TaxGridCol::Cost));
    r.record.salePrice = Money::fromDouble(cellNumber(grid, row, TaxGridCol::Proceed));
    r.record.memo = grid.text(row, TaxGridCol::Comment);
    return r;
}

struct TxnRow {
    TxnRecord record;
    QString error;
};

TxnRow readTxnRow(SheetModel& grid, int row) {
    TxnRow r;
    r.record.symbol = readSymbol(grid, row, TxnGridCol::Symbol);
    if (r.record.symbol.isEmpty()) {
        r.error = kCheckRow;
        return r;
    }
    r.record.txnMonth = grid.text(row, TxnGridCol::Month);
    r.record.quantity = cellNumber(grid, row, TxnGridCol::Quantity);
    r.record.type = grid.text(row, TxnGridCol::TxnType);
    r.record.txnDate = dateFromText(grid.text(row, TxnGridCol::TxnDate).trimmed());
    if (!r.record.txnDate.isValid()) {
        r.error = kNotADate;
        return r;
    }
    r.record.amount = Money::fromDouble(cellNumber(grid, row, TxnGridCol::TxnAmount));
    r.record.memo = grid.text(row, TxnGridCol::Comment);
    return r;
}

QString storeFailure(int row, const StoreError& error) {
    return QStringLiteral("Row %1 was not saved: %2").arg(row).arg(error.message());
}

void markTaxSaved(SheetModel& grid, int row, const TaxRecord& record) {
    grid.setText(row, TaxGridCol::Gain, numberToText((record.salePrice - record.cost).toDouble()));
}

qint64 rowId(const SheetModel& grid, int row, int col) {
    return qint64(numberFromText(grid.text(row, col)));
}

} // namespace

QString InsertTaxRec(SheetModel& grid, int row, const QSqlDatabase& db, const QString& account) {
    TaxRow r = readTaxRow(grid, row);
    if (!r.error.isEmpty())
        return fault(grid, row, r.error);
    r.record.accountName = account;
    try {
        r.record.id = insertTaxRec(db, r.record);
    } catch (const StoreError& e) {
        return fault(grid, row, storeFailure(row, e));
    }
    grid.setText(row, TaxGridCol::ID, QString::number(r.record.id));
    markTaxSaved(grid, row, r.record);
    return saved(grid, row);
}

QString InsertTxnRec(SheetModel& grid, int row, const QSqlDatabase& db, const QString& account) {
    TxnRow r = readTxnRow(grid, row);
    if (!r.error.isEmpty())
        return fault(grid, row, r.error);
    r.record.accountName = account;
    if (r.record.memo.isEmpty())
        r.record.memo = QStringLiteral("OK");
    try {
        r.record.id = insertTxn(db, r.record);
    } catch (const StoreError& e) {
        return fault(grid, row, storeFailure(row, e));
    }
    grid.setText(row, TxnGridCol::ID, QString::number(r.record.id));
    // The cell shows what was stored, so a later update keeps the memo.
    grid.setText(row, TxnGridCol::Comment, r.record.memo);
    return saved(grid, row);
}

QString UpdateTaxRec(SheetModel& grid, int row, const QSqlDatabase& db, Prompter& prompter) {
    TaxRow r = readTaxRow(grid, row);
    if (!r.error.isEmpty())
        return fault(grid, row, r.error);
    r.record.id = rowId(grid, row, TaxGridCol::ID);
    if (r.record.id > 0) {
        try {
            if (!updateTaxRec(db, r.record)) {
                prompter.message(kInvalidRecord);
                return fault(grid, row, kInvalidRecord);
            }
        } catch (const StoreError& e) {
            return fault(grid, row, storeFailure(row, e));
        }
    }
    markTaxSaved(grid, row, r.record);
    return saved(grid, row);
}

QString UpdateTxnRec(SheetModel& grid, int row, const QSqlDatabase& db, Prompter& prompter) {
    TxnRow r = readTxnRow(grid, row);
    if (!r.error.isEmpty())
        return fault(grid, row, r.error);
    r.record.id = rowId(grid, row, TxnGridCol::ID);
    if (r.record.id > 0) {
        try {
            if (!updateTxn(db, r.record)) {
                prompter.message(kInvalidRecord);
                return fault(grid, row, kInvalidRecord);
            }
        } catch (const StoreError& e) {
            return fault(grid, row, storeFailure(row, e));
        }
    }
    return saved(grid, row);
}

QString recordCellChanged(SheetModel& grid, RecordView view, int col, int row) {
    grid.setChanged(row, true);
    const bool dateCell = view == RecordView::Transactions
                              ? col == TxnGridCol::TxnDate
                              : col == TaxGridCol::DateBought || col == TaxGridCol::DateSold;
    if (!dateCell)
        return {};
    const QString text = grid.text(row, col).trimmed();
    if (text.isEmpty() && view == RecordView::Tax && col == TaxGridCol::DateBought)
        return {};
    const QDate date = dateFromText(text);
    if (!date.isValid())
        return fault(grid, row, kNotADate);
    grid.setText(row, col, formatDate(date));
    return {};
}

} // namespace gainbook
