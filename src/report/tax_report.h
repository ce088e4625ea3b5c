#pragma once

#include "platform/money.h"
#include "platform/tax_year.h"
#include "store/records.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace gainbook {

// The Form 8949 box a record is reported in: 'A' to 'L', or a null QChar
// when its term is unknown (no date acquired), which no box takes.
QChar reportBox(const TaxRecord& record);

// Boxes A to C and G to I are short term, D to F and J to L long term.
bool isShortTermBox(QChar box);
bool isLongTermBox(QChar box);

// The Schedule D line a box's totals go to ("1b", "2", "3", "8b", "9",
// "10"; a digital asset's box shares the line of the box six letters
// before it), empty for the unknown term.
QString scheduleDLine(QChar box);

// The four money columns of a form line, each in whole cents.
struct ReportAmounts {
    Money proceeds;
    Money cost;
    Money adjustment;
    Money gain; // proceeds - cost + adjustment

    ReportAmounts& operator+=(const ReportAmounts& other);
    friend bool operator==(const ReportAmounts&, const ReportAmounts&) = default;
};

// One Form 8949 line: one tax record.
struct ReportLine {
    QString description; // "100 sh. XYZ"
    QDate acquired;      // invalid when unknown
    QDate sold;
    QString code; // the adjustment's code letters, empty when none
    ReportAmounts amounts;
    // No date acquired and no cost: the buy was never found or its cost
    // never entered. Cost and gain are shown empty and count in no total,
    // where a cost of 0 would report the whole proceeds as gain.
    bool costUnknown = false;
    QString account; // the account the record was sold in
};

// The lines of one account within a box: group.lines[first, first + count).
struct ReportAccountPart {
    QString account;
    qsizetype first = 0;
    qsizetype count = 0;
    ReportAmounts totals;
};

// The lines of one box, in the order they are listed, and their totals.
struct ReportGroup {
    QChar box; // null for the unknown term
    QVector<ReportLine> lines;
    ReportAmounts totals;
    // In a report of several accounts, the box's lines account by account,
    // by name, as a broker's statement lists them; empty for one account.
    QVector<ReportAccountPart> accounts;
};

// One digital asset received as pay (staking, rewards): ordinary income at
// its value when received, which is also its cost; not a Form 8949 line.
struct IncomeLine {
    QDate received;
    QString account;
    QString description; // "10 USDC"
    Money amount;        // in whole cents
};

// The year's report: one group per box that has lines, in form order (A, B,
// C, G, H, I, then D, E, F, J, K, L), then the records whose term is
// unknown; and the digital-asset income of the year.
struct TaxReport {
    TaxYear year;
    QVector<ReportGroup> groups;
    QVector<IncomeLine> income = {};

    // The sum of the income lines.
    Money incomeTotal() const;

    int lineCount() const;
    ReportAmounts total() const;
};

// One line of Schedule D: the boxes whose totals it adds ("A" or "A, G").
struct ScheduleDRow {
    QString line;
    QString boxes;
    ReportAmounts totals;
};

// The Schedule D lines the report's boxes feed, in line order.
QVector<ScheduleDRow> scheduleDRows(const TaxReport& report);

// Builds the report of records (those not sold in year are left out). Each
// line is rounded to cents as the form takes it, and every total is the sum
// of the lines it covers, so the printed columns add up. Lines of a box are
// listed by date sold, then description, then date acquired; in a report of
// several accounts, account by account first.
TaxReport buildTaxReport(const QVector<TaxRecord>& records, TaxYear year);

// The income lines of buys received as income (kIncome), in their order,
// each rounded to cents as the return takes it.
QVector<IncomeLine> incomeLines(const QVector<TxnRecord>& buys);

} // namespace gainbook
