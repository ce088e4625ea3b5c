#pragma once

#include "gains/realized_lot.h"
#include "store/records.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace gainbook {

// How a lot of a broker's realized-gain file compares with the account's
// own tax records.
enum class ReconcileStatus { Matched, Differs, OnlyInFile, OnlyInRecords };

struct ReconcileRow {
    ReconcileStatus status = ReconcileStatus::Matched;
    std::optional<RealizedLot> lot;
    std::optional<TaxRecord> record;
    QStringList differences; // "Cost: 1,500.00 in the file, 1,501.00 in the records"
};

// Pairs each lot with a record of the same symbol (case aside) and date
// sold: first those of the same quantity, the ones equal in every field
// before the rest, then any left of another quantity. A pair is Matched
// when quantity, date acquired, proceeds and cost (to the cent) agree, and
// the wash sale adjustment and the box too where the file gives them; else it Differs and says in
// which fields. The rows come in the file's order, the records it lacks after them by date sold.
QVector<ReconcileRow> reconcileLots(const QVector<RealizedLot>& lots,
                                    const QVector<TaxRecord>& records);

// The account's tax records of the years the file's lots were sold in,
// reconciled with them. Throws StoreError when the store cannot be read.
QVector<ReconcileRow> reconcileAccount(const QSqlDatabase& db, const QString& account,
                                       const QVector<RealizedLot>& lots);

// The grid's and the CSV's columns, and one row's cells: the file's values
// where the file has the lot, else the record's.
QStringList reconcileHeadings();
QStringList reconcileCells(const ReconcileRow& row);
QString reconcileStatusText(ReconcileStatus status);

// The heading row and every row as CSV.
void writeReconcileCsv(QTextStream& out, const QVector<ReconcileRow>& rows);

} // namespace gainbook
