#pragma once

#include <QByteArray>

namespace gainbook {

struct TaxReport;

// The report as CSV (UTF-8, RFC 4180, LF line ends) under the heading
// "Box,Description,Date Acquired,Date Sold,Proceeds,Cost,Code,Adjustment,Gain,
// Account": each box's lines, with the account each was sold in, followed by
// its row "Total box A" (for the unknown term "Total term unknown", with an
// empty box), then one row per Schedule D line fed ("Schedule D line 1b"
// under its box); totals name no account. The account comes last, so that
// a reader of the columns by position finds the others where they were.
// Amounts have two decimals and no grouping, losses a minus sign; an
// unknown date is empty.
QByteArray taxReportCsv(const TaxReport& report);

} // namespace gainbook
