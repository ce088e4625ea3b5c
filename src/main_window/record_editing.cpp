#include "main_window/record_editing.h"

#include "main_window/record_writers.h"
#include "matching/trade_changes.h"
#include "platform/prompter.h"
#include "platform/tax_year.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "store/txn_table.h"

#include <QLocale>

namespace gainbook {

namespace {

// `goOn` is asked after a row fails: false ends the save there.
template <class Row, class Write, class GoOn>
QString saveRows(QVector<Row>& rows, Write write, GoOn goOn) {
    QString status;
    qsizetype saved = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!rows[i].state.changed)
            continue;
        if (const QString result = write(rows[i], int(i) + 1); !result.isEmpty()) {
            status = result;
            if (!goOn())
                return status;
        } else {
            ++saved;
        }
    }
    // A failure is what the user must see; otherwise a word that the save
    // went through.
    if (status.isEmpty() && saved > 0)
        status = saved == 1 ? QStringLiteral("1 record saved")
                            : QStringLiteral("%1 records saved").arg(QLocale::c().toString(saved));
    return status;
}

template <class Row, class Delete>
RowDeleteResult deleteRow(const Row& row, int rowNumber, Prompter& prompter, Delete erase) {
    if (row.state.isNew)
        return {true, {}};
    if (!prompter.ask(QStringLiteral("Are you sure you want to delete the ") +
                      QString::number(rowNumber) + QStringLiteral(" row?")))
        return {};
    try {
        erase(row.record.id);
    } catch (const StoreError& e) {
        return {false,
                QStringLiteral("Row %1 was not deleted: %2").arg(rowNumber).arg(e.message())};
    }
    return {true, {}};
}

} // namespace

QString saveChangedRows(QVector<TxnRow>& rows, const QSqlDatabase& db, const QString& account,
                        Prompter& prompter) {
    // The rows and the wash sales they change go in together, so that no
    // adjustment is left as the trades were before the save. Should the
    // file fail, nothing is kept and every row stays to be saved again.
    const QVector<TxnRow> before = rows;
    try {
        Transaction transaction(db);
        TradeChanges changes(db);
        const QString status = saveRows(
            rows,
            [&](TxnRow& row, int number) {
                return row.state.isNew ? InsertTxnRec(row, number, db, account, changes)
                                       : UpdateTxnRec(row, number, db, prompter, changes);
            },
            [&] { return transaction.holds(); });
        if (!transaction.holds()) {
            rows = before;
            return status;
        }
        changes.settle();
        transaction.commit();
        return status;
    } catch (const StoreError& e) {
        rows = before;
        return QStringLiteral("The records were not saved: %1").arg(e.message());
    }
}

QString saveChangedRows(QVector<TaxRow>& rows, const QSqlDatabase& db, const QString& account,
                        Prompter& prompter) {
    // A tax record is read by no wash-sale figure: each row is kept as it
    // goes.
    return saveRows(
        rows,
        [&](TaxRow& row, int number) {
            return row.state.isNew ? InsertTaxRec(row, number, db, account)
                                   : UpdateTaxRec(row, number, db, prompter);
        },
        [] { return true; });
}

TxnRecord newTxnRecord(const QVector<TxnRow>& rows, const OutlineSelection& filledFor,
                       TaxYear year) {
    TxnRecord r;
    if (!rows.isEmpty())
        r.txnMonth = rows.last().record.txnMonth;
    else if (filledFor.index < 0 || filledFor.isAccount())
        r.txnMonth = QStringLiteral("All");
    else
        r.txnMonth = filledFor.text;
    r.quantity = Quantity::whole(100);
    r.type = kBought;
    r.txnDate = year.firstDay();
    return r;
}

TaxRecord newTaxRecord(TaxYear year) {
    TaxRecord r;
    r.quantity = Quantity::whole(100);
    r.dateAcquired = year.firstDay();
    r.dateSold = QDate(year.year, 12, 30);
    r.memo = QStringLiteral(" ");
    return r;
}

RowDeleteResult deleteGridRow(const TxnRow& row, int rowNumber, const QSqlDatabase& db,
                              Prompter& prompter) {
    return deleteRow(row, rowNumber, prompter, [&](qint64 id) {
        Transaction transaction(db);
        TradeChanges changes(db);
        // The row as stored, not as edited on screen since.
        if (const std::optional<TxnRecord> stored = selectTxnById(db, id))
            changes.removed(*stored);
        deleteTxn(db, id);
        changes.settle();
        transaction.commit();
    });
}

RowDeleteResult deleteGridRow(const TaxRow& row, int rowNumber, const QSqlDatabase& db,
                              Prompter& prompter) {
    return deleteRow(row, rowNumber, prompter, [&](qint64 id) { deleteTaxRec(db, id); });
}

} // namespace gainbook
