#include "report/tax_report.h"

#include "platform/form8949_box.h"
#include "platform/holding_term.h"
#include "platform/number_text.h"
#include "platform/option_symbol.h"

#include <algorithm>
#include <array>

namespace gainbook {

namespace {

// The letters in the order the form's boxes are listed: its short-term
// part, then its long-term part.
constexpr std::array<char16_t, 12> kBoxes = {u'A', u'B', u'C', u'G', u'H', u'I',
                                             u'D', u'E', u'F', u'J', u'K', u'L'};

// The box of A to F whose Schedule D line a box's totals go to.
QChar lineBox(QChar box) {
    return box >= u'G' && box <= u'L' ? QChar(char16_t(box.unicode() - 6)) : box;
}

int groupIndex(QChar box) {
    const auto at = std::find(kBoxes.begin(), kBoxes.end(), box.unicode());
    return at == kBoxes.end() ? int(kBoxes.size()) : int(at - kBoxes.begin());
}

ReportLine lineOf(const TaxRecord& record) {
    ReportLine line;
    // A coin is counted in units, not shares.
    line.description = tradeDescription(
        record.quantity.text(),
        isDigitalBox(record.box) ? QStringLiteral(" ") : QStringLiteral(" sh. "), record.symbol);
    line.acquired = record.dateAcquired;
    line.sold = record.dateSold;
    line.amounts.proceeds = record.salePrice.roundedToCents();
    line.amounts.cost = record.cost.roundedToCents();
    // A wash sale's disallowed loss goes in column (g) with code W.
    line.amounts.adjustment = record.washAdjustment.roundedToCents();
    if (!line.amounts.adjustment.isZero())
        line.code = QStringLiteral("W");
    line.costUnknown = !record.dateAcquired.isValid() && record.cost.isZero();
    line.account = record.accountName;
    line.amounts.gain = line.costUnknown
                            ? Money()
                            : line.amounts.proceeds - line.amounts.cost + line.amounts.adjustment;
    return line;
}

bool listedBefore(const ReportLine& a, const ReportLine& b) {
    if (a.sold != b.sold)
        return a.sold < b.sold;
    if (a.description != b.description)
        return a.description < b.description;
    // An unknown date (invalid) comes first.
    return a.acquired < b.acquired;
}

} // namespace

QChar reportBox(const TaxRecord& record) {
    if (const QString letter = boxLetter(record.box); !letter.isEmpty())
        return letter.at(0);
    // A row written without a box (by hand or by an older tool) still has a
    // term: it goes where basis reported to the IRS would put it.
    switch (holdingTerm(record.dateAcquired, record.dateSold)) {
    case HoldingTerm::Short:
        return u'A';
    case HoldingTerm::Long:
        return u'D';
    case HoldingTerm::Unknown:
        break;
    }
    return {};
}

bool isShortTermBox(QChar box) {
    const QChar own = lineBox(box);
    return own == u'A' || own == u'B' || own == u'C';
}

bool isLongTermBox(QChar box) {
    const QChar own = lineBox(box);
    return own == u'D' || own == u'E' || own == u'F';
}

QString scheduleDLine(QChar box) {
    switch (lineBox(box).unicode()) {
    case u'A':
        return QStringLiteral("1b");
    case u'B':
        return QStringLiteral("2");
    case u'C':
        return QStringLiteral("3");
    case u'D':
        return QStringLiteral("8b");
    case u'E':
        return QStringLiteral("9");
    case u'F':
        return QStringLiteral("10");
    default:
        return {};
    }
}

ReportAmounts& ReportAmounts::operator+=(const ReportAmounts& other) {
    proceeds += other.proceeds;
    cost += other.cost;
    adjustment += other.adjustment;
    gain += other.gain;
    return *this;
}

QVector<ScheduleDRow> scheduleDRows(const TaxReport& report) {
    QVector<ScheduleDRow> rows;
    for (const char16_t first : {u'A', u'B', u'C', u'D', u'E', u'F'}) {
        ScheduleDRow row;
        row.line = scheduleDLine(QChar(first));
        QStringList boxes;
        for (const ReportGroup& group : report.groups) {
            if (group.box.isNull() || lineBox(group.box) != QChar(first))
                continue;
            boxes << QString(group.box);
            row.totals += group.totals;
        }
        if (boxes.isEmpty())
            continue;
        row.boxes = boxes.join(QStringLiteral(", "));
        rows.append(row);
    }
    return rows;
}

Money TaxReport::incomeTotal() const {
    Money sum;
    for (const IncomeLine& line : income)
        sum += line.amount;
    return sum;
}

QVector<IncomeLine> incomeLines(const QVector<TxnRecord>& buys) {
    QVector<IncomeLine> lines;
    lines.reserve(buys.size());
    for (const TxnRecord& buy : buys)
        lines.append({buy.txnDate, buy.accountName,
                      tradeDescription(buy.quantity.text(), QStringLiteral(" "), buy.symbol),
                      buy.amount.roundedToCents()});
    return lines;
}

int TaxReport::lineCount() const {
    int count = 0;
    for (const ReportGroup& group : groups)
        count += int(group.lines.size());
    return count;
}

ReportAmounts TaxReport::total() const {
    ReportAmounts sum;
    for (const ReportGroup& group : groups)
        sum += group.totals;
    return sum;
}

TaxReport buildTaxReport(const QVector<TaxRecord>& records, TaxYear year) {
    std::array<ReportGroup, kBoxes.size() + 1> byBox;
    for (size_t i = 0; i < kBoxes.size(); ++i)
        byBox[i].box = QChar(kBoxes[i]);
    for (const TaxRecord& record : records) {
        if (!year.contains(record.dateSold))
            continue;
        ReportGroup& group = byBox[size_t(groupIndex(reportBox(record)))];
        group.lines.append(lineOf(record));
        group.totals += group.lines.constLast().amounts;
    }

    // A reader of several accounts' report matches each line to the
    // statement of the account it was sold in.
    QSet<QString> accounts;
    for (const ReportGroup& group : byBox) {
        for (const ReportLine& line : group.lines)
            accounts.insert(line.account);
        if (accounts.size() > 1)
            break;
    }
    const bool byAccount = accounts.size() > 1;

    TaxReport report;
    report.year = year;
    for (ReportGroup& group : byBox) {
        if (group.lines.isEmpty())
            continue;
        std::stable_sort(group.lines.begin(), group.lines.end(),
                         [byAccount](const ReportLine& a, const ReportLine& b) {
                             if (byAccount && a.account != b.account)
                                 return a.account < b.account;
                             return listedBefore(a, b);
                         });
        if (byAccount) {
            for (qsizetype i = 0; i < group.lines.size(); ++i) {
                const ReportLine& line = group.lines[i];
                if (group.accounts.isEmpty() || group.accounts.last().account != line.account)
                    group.accounts.append({line.account, i, 0, {}});
                ++group.accounts.last().count;
                group.accounts.last().totals += line.amounts;
            }
        }
        report.groups.append(std::move(group));
    }
    return report;
}

} // namespace gainbook
