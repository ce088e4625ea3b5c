#pragma once

#include <QByteArray>

namespace gainbook {

struct TaxReport;

// The report as CSV (UTF-8, RFC 4180, LF line ends) under the heading
// "Box,Description,Date Acquired,Date Sold,Proceeds,Cost,Code,Adjustment,Gain":
// each box's lines followed by its row "Total box A" (for the unknown term
// "Total term unknown", with an empty box), then one row per Schedule D line
// fed ("Schedule D line 1b" under its box). Amounts have two decimals and
// no grouping, losses a minus sign; an unknown date is empty.
QByteArray taxReportCsv(const TaxReport& report);

} // namespace gainbook
