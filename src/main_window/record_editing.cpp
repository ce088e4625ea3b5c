#include "main_window/record_editing.h"

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

void fillNewTaxRow(SheetModel& grid, TaxYear year) {
    grid.setText(1, TaxGridCol::Symbol, QString());
    grid.setLocked(1, TaxGridCol::Symbol, false);
    grid.setText(1, TaxGridCol::Quantity, QStringLiteral("100"));
    grid.setText(1, TaxGridCol::DateBought, formatDate(year.firstDay()));
    grid.setText(1, TaxGridCol::DateSold, formatDate(QDate(year.year, 12, 30)));
    grid.setText(1, TaxGridCol::Cost, QStringLiteral("0.00"));
    grid.setText(1, TaxGridCol::Proceed, QStringLiteral("0.00"));
    grid.setText(1, TaxGridCol::Gain, QStringLiteral("0"));
    grid.setText(1, TaxGridCol::Comment, QStringLiteral(" "));
    grid.setText(1, TaxGridCol::ID, QString::number(kNewRowId));
}

void fillNewTxnRow(SheetModel& grid, const QString& month, TaxYear year) {
    grid.setText(1, TxnGridCol::Month, month);
    grid.setText(1, TxnGridCol::Symbol, QString());
    grid.setText(1, TxnGridCol::Quantity, QStringLiteral("100"));
    grid.setCellKind(1, TxnGridCol::TxnType, CellKind::DropDown);
    grid.setChoices(1, TxnGridCol::TxnType, {QStringLiteral("Bought"), QStringLiteral("Sold")});
    grid.setText(1, TxnGridCol::TxnType, QStringLiteral("Bought"));
    grid.setText(1, TxnGridCol::TxnDate, formatDate(year.firstDay()));
    grid.setText(1, TxnGridCol::TxnAmount, QStringLiteral("0.00"));
    grid.setText(1, TxnGridCol::Comment, QString());
    grid.setText(1, TxnGridCol::ID, QString::number(kNewRowId));
}

} // namespace

int idColumn(RecordView view) {
    return view == RecordView::Tax ? int(TaxGridCol::ID) : int(TxnGridCol::ID);
}

QString saveChangedRows(SheetModel& grid, RecordView view, const QSqlDatabase& db,
                        const QString& account, Prompter& prompter) {
    QString status;
    for (int row = 1; row <= grid.rows(); ++row) {
        if (!grid.isChanged(row))
            continue;
        const bool isNew = numberFromText(grid.text(row, idColumn(view))) == kNewRowId;
        QString result;
        if (view == RecordView::Tax)
            result = isNew ? InsertTaxRec(grid, row, db, account)
                           : UpdateTaxRec(grid, row, db, prompter);
        else
            result = isNew ? InsertTxnRec(grid, row, db, account)
                           : UpdateTxnRec(grid, row, db, prompter);
        if (!result.isEmpty())
            status = result;
    }
    return status;
}

QString monthForNewRecord(const OutlineSelection& selection) {
    if (selection.index < 0 || selection.isAccount())
        return QStringLiteral("All");
    return selection.text;
}

void addNewRecord(SheetModel& grid, RecordView view, const QString& emptyGridMonth, TaxYear year) {
    const QString month =
        grid.rows() > 0 ? grid.text(grid.rows(), TxnGridCol::Month) : emptyGridMonth;
    grid.insertRowAt(1);
    if (view == RecordView::Tax)
        fillNewTaxRow(grid, year);
    else
        fillNewTxnRow(grid, month, year);
}

RowDeleteResult deleteGridRow(SheetModel& grid, RecordView view, int row, const QSqlDatabase& db,
                              Prompter& prompter) {
    if (row < 1 || row > grid.rows())
        return {};
    const QString idText = grid.text(row, idColumn(view));
    const qint64 id = qint64(numberFromText(idText));
    if (id == kNewRowId) {
        grid.removeRowAt(row);
        return {true, {}};
    }
    if (!prompter.ask(QStringLiteral("Are you sure you want to delete the ") +
                      QString::number(row) + QStringLiteral(" row?")))
        return {};
    try {
        if (view == RecordView::Tax)
            deleteTaxRec(db, id);
        else
            deleteTxn(db, id);
    } catch (const StoreError& e) {
        return {false, QStringLiteral("Row %1 was not deleted: %2").arg(row).arg(e.message())};
    }
    grid.removeRowAt(row);
    return {true, {}};
}

} // namespace gainbook
