#pragma once

#include "platform/money.h"
#include "platform/tax_year.h"
#include "store/records.h"

#include <QVector>

#include <array>

namespace gainbook {

// The realized gain of a year by month of sale, short and long term apart,
// as the tax view's chart draws it. Month 0 is January.
struct MonthlyGains {
    std::array<Money, 12> shortTerm{};
    std::array<Money, 12> longTerm{};
    std::array<Money, 12> unknownTerm{}; // no date acquired: neither term

    Money shortTotal() const;
    Money longTotal() const;
    Money unknownTotal() const;
    // The three together: the tax view's total gain for the same records.
    Money total() const;
};

// Sums sale price minus cost of the records sold in year by month and by
// the term of their box; records of other years are left out.
MonthlyGains monthlyGains(const QVector<TaxRecord>& records, TaxYear year);

} // namespace gainbook
