#include "report/monthly_gains.h"

#include "report/tax_report.h"

#include <numeric>

namespace gainbook {

namespace {

Money sum(const std::array<Money, 12>& months) {
    return std::accumulate(months.begin(), months.end(), Money());
}

} // namespace

Money MonthlyGains::shortTotal() const {
    return sum(shortTerm);
}

Money MonthlyGains::longTotal() const {
    return sum(longTerm);
}

Money MonthlyGains::unknownTotal() const {
    return sum(unknownTerm);
}

Money MonthlyGains::total() const {
    return shortTotal() + longTotal() + unknownTotal();
}

MonthlyGains monthlyGains(const QVector<TaxRecord>& records, TaxYear year) {
    MonthlyGains gains;
    for (const TaxRecord& record : records) {
        if (!year.contains(record.dateSold))
            continue;
        const size_t month = size_t(record.dateSold.month() - 1);
        const QChar box = reportBox(record);
        std::array<Money, 12>& series = isShortTermBox(box)  ? gains.shortTerm
                                        : isLongTermBox(box) ? gains.longTerm
                                                             : gains.unknownTerm;
        // A sale of unknown cost has no gain to show, as in the totals.
        if (record.dateAcquired.isValid() || !record.cost.isZero())
            series[month] += record.salePrice - record.cost + record.washAdjustment;
    }
    return gains;
}

} // namespace gainbook
