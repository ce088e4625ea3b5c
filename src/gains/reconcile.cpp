#include "gains/reconcile.h"

#include "platform/csv_row.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "store/tax_table.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace gainbook {

namespace {

bool sameSale(const RealizedLot& lot, const TaxRecord& record) {
    return lot.dateSold == record.dateSold &&
           lot.symbol.compare(record.symbol.trimmed(), Qt::CaseInsensitive) == 0;
}

QString dateText(const QDate& date) {
    return date.isValid() ? formatDate(date) : QStringLiteral("Various");
}

QStringList differencesOf(const RealizedLot& lot, const TaxRecord& record) {
    QStringList out;
    const auto differ = [&out](const QString& field, const QString& file, const QString& ours) {
        out << QStringLiteral("%1: %2 in the file, %3 in the records").arg(field, file, ours);
    };
    if (lot.quantity != record.quantity)
        differ(QStringLiteral("Quantity"), lot.quantity.text(), record.quantity.text());
    if (lot.dateAcquired != record.dateAcquired)
        differ(QStringLiteral("Date Acquired"), dateText(lot.dateAcquired),
               dateText(record.dateAcquired));
    if (lot.proceeds.roundedToCents() != record.salePrice.roundedToCents())
        differ(QStringLiteral("Proceeds"), formatMoney(lot.proceeds),
               formatMoney(record.salePrice));
    if (lot.cost.roundedToCents() != record.cost.roundedToCents())
        differ(QStringLiteral("Cost"), formatMoney(lot.cost), formatMoney(record.cost));
    if (lot.washAdjustment &&
        lot.washAdjustment->roundedToCents() != record.washAdjustment.roundedToCents())
        differ(QStringLiteral("Wash Adj."), formatMoney(*lot.washAdjustment),
               formatMoney(record.washAdjustment));
    if (lot.box != Form8949Box::None && lot.box != record.box)
        differ(QStringLiteral("Box"), boxLetter(lot.box),
               record.box == Form8949Box::None ? QStringLiteral("none") : boxLetter(record.box));
    return out;
}

} // namespace

QVector<ReconcileRow> reconcileLots(const QVector<RealizedLot>& lots,
                                    const QVector<TaxRecord>& records) {
    QVector<ReconcileRow> rows(lots.size());
    QVector<bool> used(records.size(), false);
    QVector<bool> paired(lots.size(), false);
    const auto pair = [&](int l, int r) {
        used[r] = true;
        paired[l] = true;
        rows[l].record = records[r];
        rows[l].differences = differencesOf(lots[l], records[r]);
        rows[l].status =
            rows[l].differences.isEmpty() ? ReconcileStatus::Matched : ReconcileStatus::Differs;
    };
    // Equal in every field, then of the same quantity, then of the same sale.
    const std::function<bool(const RealizedLot&, const TaxRecord&)> passes[] = {
        [](const RealizedLot& l, const TaxRecord& r) {
            return sameSale(l, r) && differencesOf(l, r).isEmpty();
        },
        [](const RealizedLot& l, const TaxRecord& r) {
            return sameSale(l, r) && l.quantity == r.quantity;
        },
        [](const RealizedLot& l, const TaxRecord& r) { return sameSale(l, r); },
    };
    for (const auto& fits : passes) {
        for (int l = 0; l < lots.size(); ++l) {
            if (paired[l])
                continue;
            for (int r = 0; r < records.size(); ++r) {
                if (!used[r] && fits(lots[l], records[r])) {
                    pair(l, r);
                    break;
                }
            }
        }
    }
    for (int l = 0; l < lots.size(); ++l) {
        rows[l].lot = lots[l];
        if (!paired[l])
            rows[l].status = ReconcileStatus::OnlyInFile;
    }
    QVector<TaxRecord> left;
    for (int r = 0; r < records.size(); ++r)
        if (!used[r])
            left.append(records[r]);
    std::stable_sort(left.begin(), left.end(), [](const TaxRecord& a, const TaxRecord& b) {
        return a.dateSold < b.dateSold;
    });
    for (const TaxRecord& record : left) {
        ReconcileRow row;
        row.status = ReconcileStatus::OnlyInRecords;
        row.record = record;
        rows.append(row);
    }
    return rows;
}

QVector<ReconcileRow> reconcileAccount(const QSqlDatabase& db, const QString& account,
                                       const QVector<RealizedLot>& lots) {
    if (lots.isEmpty())
        return {};
    int first = lots.front().dateSold.year();
    int last = first;
    for (const RealizedLot& lot : lots) {
        first = std::min(first, lot.dateSold.year());
        last = std::max(last, lot.dateSold.year());
    }
    const QVector<TaxRecord> records =
        selectTaxRecs(db, account, QDate(first, 1, 1), QDate(last, 12, 31));
    return reconcileLots(lots, records);
}

QString reconcileStatusText(ReconcileStatus status) {
    switch (status) {
    case ReconcileStatus::Matched:
        return QStringLiteral("Matched");
    case ReconcileStatus::Differs:
        return QStringLiteral("Differs");
    case ReconcileStatus::OnlyInFile:
        return QStringLiteral("Only in file");
    case ReconcileStatus::OnlyInRecords:
        return QStringLiteral("Only in records");
    }
    return {};
}

QStringList reconcileHeadings() {
    return {
        QStringLiteral("Status"),        QStringLiteral("Symbol"),    QStringLiteral("Quantity"),
        QStringLiteral("Date Acquired"), QStringLiteral("Date Sold"), QStringLiteral("Proceeds"),
        QStringLiteral("Cost"),          QStringLiteral("Wash Adj."), QStringLiteral("Box"),
        QStringLiteral("Differences"),   QStringLiteral("ID")};
}

QStringList reconcileCells(const ReconcileRow& row) {
    const QString id = row.record ? QString::number(row.record->id) : QString();
    const QString status = reconcileStatusText(row.status);
    const QString differences = row.differences.join(QStringLiteral("; "));
    if (row.lot) {
        const RealizedLot& l = *row.lot;
        return {status,
                l.symbol,
                l.quantity.text(),
                l.dateAcquired.isValid() ? formatDate(l.dateAcquired) : QString(),
                formatDate(l.dateSold),
                formatMoney(l.proceeds),
                formatMoney(l.cost),
                l.washAdjustment ? formatMoney(*l.washAdjustment) : QString(),
                boxLetter(l.box),
                differences,
                id};
    }
    const TaxRecord& r = *row.record;
    return {status,
            r.symbol,
            r.quantity.text(),
            r.dateAcquired.isValid() ? formatDate(r.dateAcquired) : QString(),
            formatDate(r.dateSold),
            formatMoney(r.salePrice),
            formatMoney(r.cost),
            formatMoney(r.washAdjustment),
            boxLetter(r.box),
            differences,
            id};
}

void writeReconcileCsv(QTextStream& out, const QVector<ReconcileRow>& rows) {
    writeCsvRow(out, reconcileHeadings());
    for (const ReconcileRow& row : rows)
        writeCsvRow(out, reconcileCells(row));
    out.flush();
}

} // namespace gainbook
