#include "store/sell_years.h"

#include "platform/date_text.h"
#include "store/sql.h"

#include <QSet>

#include <algorithm>

namespace gainbook {

namespace {

// A buy that closes a short (or lets a written option lapse) is the day the
// short is sold for tax.
const QString kSoldTxnDates =
    QStringLiteral("SELECT DISTINCT TxnDate FROM Txn WHERE Type = 'Sold' "
                   "OR (Type = 'Bought' AND OpenClose IN ('Close', 'Expired'))");
const QString kTaxRecDates = QStringLiteral("SELECT DISTINCT DateSold FROM TaxRec");

// Distinct dates are few; their years are read through the one date parser,
// whatever form older stores keep them in.
QList<int> yearsOf(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery query = runQuery(db, sql);
    QSet<int> years;
    while (query.next()) {
        const QDate date = dateFromStored(query.value(0).toString());
        if (date.isValid() && date.year() >= kFirstTaxYear && date.year() <= kLastTaxYear)
            years.insert(date.year());
    }
    QList<int> sorted(years.cbegin(), years.cend());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

} // namespace

QList<int> yearsWithSells(const QSqlDatabase& db) {
    return yearsOf(db, kSoldTxnDates + QStringLiteral(" UNION ") + kTaxRecDates);
}

TaxYear defaultTaxYear(const QSqlDatabase& db, std::optional<int> chosen) {
    if (chosen && *chosen >= kFirstTaxYear && *chosen <= kLastTaxYear)
        return TaxYear{*chosen};
    // The trades decide (a short's cover among them): tax records may be
    // imported or typed for any year,
    // and a store of them alone keeps the year it always had.
    const QList<int> years = yearsOf(db, kSoldTxnDates);
    return years.isEmpty() ? TaxYear{} : TaxYear{years.last()};
}

QList<int> yearChoices(QList<int> sellYears, int currentYear, TaxYear inUse) {
    sellYears << currentYear << inUse.year;
    std::sort(sellYears.begin(), sellYears.end());
    sellYears.erase(std::unique(sellYears.begin(), sellYears.end()), sellYears.end());
    return sellYears;
}

} // namespace gainbook
