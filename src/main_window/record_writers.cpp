#include "main_window/record_writers.h"

#include "matching/trade_changes.h"
#include "platform/form8949_box.h"
#include "platform/holding_term.h"
#include "platform/prompter.h"
#include "store/account_settings_table.h"
#include "store/asset_kind_table.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "store/txn_table.h"

namespace gainbook {

namespace {

const QString kCheckRow = QStringLiteral("Check Highlighted row for Error");
const QString kNotADate = QStringLiteral("Not a valid date");
const QString kInvalidRecord = QStringLiteral("Trying to update invalid record");

QString refuse(RowState& state, const QString& status) {
    state.error = status;
    return status;
}

QString saved(RowState& state) {
    state.isNew = false;
    state.changed = false;
    state.error.clear();
    return {};
}

QString storeFailure(RowState& state, int rowNumber, const StoreError& error) {
    return refuse(state,
                  QStringLiteral("Row %1 was not saved: %2").arg(rowNumber).arg(error.message()));
}

// What every write checks first. The symbol is kept in upper case, as the
// grid then shows it; a cell whose text was refused stops the row, so that
// its record's older value is not written in place of what the user typed.
QString checkRow(QString& symbol, const RowState& state) {
    symbol = symbol.trimmed().toUpper();
    if (symbol.isEmpty())
        return kCheckRow;
    if (!state.refused.isEmpty())
        return state.refused.first().message;
    return {};
}

QString checkTaxRow(TaxRow& row) {
    if (QString fault = checkRow(row.record.symbol, row.state); !fault.isEmpty())
        return fault;
    return row.record.dateSold.isValid() ? QString() : kNotADate;
}

QString checkTxnRow(TxnRow& row) {
    if (QString fault = checkRow(row.record.symbol, row.state); !fault.isEmpty())
        return fault;
    return row.record.txnDate.isValid() ? QString() : kNotADate;
}

// A row that reached a known term without a box (a new row, a date bought
// typed into an unknown one) gets the box its account's setting gives.
void settleBox(TaxRecord& record, const QSqlDatabase& db) {
    const HoldingTerm term = holdingTerm(record.dateAcquired, record.dateSold);
    if (record.box == Form8949Box::None && term != HoldingTerm::Unknown)
        record.box =
            boxFor(term, selectBasisReporting(db, record.accountName),
                   selectAssetKinds(db).of(record.accountName, record.symbol), record.dateSold);
}

} // namespace

QString InsertTaxRec(TaxRow& row, int rowNumber, const QSqlDatabase& db, const QString& account) {
    if (const QString fault = checkTaxRow(row); !fault.isEmpty())
        return refuse(row.state, fault);
    TaxRecord record = row.record;
    record.accountName = account;
    try {
        settleBox(record, db);
        record.id = insertTaxRec(db, record);
    } catch (const StoreError& e) {
        return storeFailure(row.state, rowNumber, e);
    }
    row.record = record;
    return saved(row.state);
}

QString InsertTxnRec(TxnRow& row, int rowNumber, const QSqlDatabase& db, const QString& account,
                     TradeChanges& changes) {
    if (const QString fault = checkTxnRow(row); !fault.isEmpty())
        return refuse(row.state, fault);
    TxnRecord record = row.record;
    record.accountName = account;
    if (record.memo.isEmpty())
        record.memo = QStringLiteral("OK");
    try {
        record.id = insertTxn(db, record);
        changes.added(record);
    } catch (const StoreError& e) {
        return storeFailure(row.state, rowNumber, e);
    }
    // The row shows what was stored, the "OK" memo included.
    row.record = record;
    return saved(row.state);
}

QString UpdateTaxRec(TaxRow& row, int rowNumber, const QSqlDatabase& db, Prompter& prompter) {
    if (const QString fault = checkTaxRow(row); !fault.isEmpty())
        return refuse(row.state, fault);
    TaxRecord record = row.record;
    try {
        settleBox(record, db);
        if (!updateTaxRec(db, record)) {
            prompter.message(kInvalidRecord);
            return refuse(row.state, kInvalidRecord);
        }
    } catch (const StoreError& e) {
        return storeFailure(row.state, rowNumber, e);
    }
    row.record = record;
    return saved(row.state);
}

QString UpdateTxnRec(TxnRow& row, int rowNumber, const QSqlDatabase& db, Prompter& prompter,
                     TradeChanges& changes) {
    if (const QString fault = checkTxnRow(row); !fault.isEmpty())
        return refuse(row.state, fault);
    try {
        const std::optional<TxnRecord> stored = selectTxnById(db, row.record.id);
        if (!stored || !updateTxn(db, row.record)) {
            prompter.message(kInvalidRecord);
            return refuse(row.state, kInvalidRecord);
        }
        // The account and month are not written: the stored ones stay.
        TxnRecord written = row.record;
        written.accountName = stored->accountName;
        changes.changed(*stored, written);
    } catch (const StoreError& e) {
        return storeFailure(row.state, rowNumber, e);
    }
    return saved(row.state);
}

} // namespace gainbook
