#include "report/report_print.h"

#include "platform/date_text.h"
#include "platform/formats.h"
#include "report/tax_report.h"

#include <algorithm>

namespace gainbook {

namespace {

using Kind = PrintLine::Kind;

const QString kGap = QStringLiteral("  "); // between two columns
constexpr int kDateWidth = 10;
constexpr int kCodeWidth = 4;
constexpr int kMinDescriptionWidth = 16;
constexpr int kMaxDescriptionWidth = 36; // longer descriptions are cut with "..."
constexpr int kMinAmountWidth = 12;

// Column widths in characters, wide enough for every line of the report.
struct Widths {
    int description = kMinDescriptionWidth;
    int amount = kMinAmountWidth;
};

Widths widthsOf(const TaxReport& report) {
    Widths w;
    auto widen = [&w](const ReportAmounts& a) {
        for (Money m : {a.proceeds, a.cost, a.adjustment, a.gain})
            w.amount = std::max(w.amount, int(formatMoney(m).size()));
    };
    for (const ReportGroup& group : report.groups) {
        for (const ReportLine& line : group.lines) {
            w.description = std::max(w.description, int(line.description.size()));
            widen(line.amounts);
        }
        widen(group.totals);
        for (const ReportAccountPart& part : group.accounts)
            widen(part.totals);
    }
    for (const IncomeLine& line : report.income) {
        w.description = std::max(w.description, int(line.description.size()));
        w.amount = std::max(w.amount, int(formatMoney(line.amount).size()));
    }
    w.amount = std::max(w.amount, int(formatMoney(report.incomeTotal()).size()));
    w.description = std::min(w.description, kMaxDescriptionWidth);
    return w;
}

QString left(const QString& text, int width) {
    if (text.size() > width)
        return text.left(width - 3) + QStringLiteral("...");
    return text.leftJustified(width, u' ');
}

QString right(const QString& text, int width) {
    return text.rightJustified(width, u' ');
}

QString amountColumns(const ReportAmounts& a, const QString& code, const Widths& w,
                      bool costUnknown = false) {
    const auto known = [costUnknown](Money m) { return costUnknown ? QString() : formatMoney(m); };
    return kGap + right(formatMoney(a.proceeds), w.amount) + kGap + right(known(a.cost), w.amount) +
           kGap + left(code, kCodeWidth) + kGap + right(formatMoney(a.adjustment), w.amount) +
           kGap + right(known(a.gain), w.amount);
}

QString amountHeadings(const Widths& w) {
    return kGap + right(QStringLiteral("Proceeds"), w.amount) + kGap +
           right(QStringLiteral("Cost"), w.amount) + kGap +
           left(QStringLiteral("Code"), kCodeWidth) + kGap +
           right(QStringLiteral("Adjustment"), w.amount) + kGap +
           right(QStringLiteral("Gain"), w.amount);
}

// The line's first three columns; the totals and Schedule D rows use them
// for their label.
QString labelColumns(const QString& label, const Widths& w) {
    return left(label, w.description + 2 * (kDateWidth + 2));
}

void appendGroup(QVector<PrintLine>& lines, const ReportGroup& group, const Widths& w) {
    lines.append({Kind::Gap, {}});
    lines.append({Kind::Heading, reportBoxCaption(group.box)});
    lines.append({Kind::Columns, left(QStringLiteral("Description"), w.description) + kGap +
                                     left(QStringLiteral("Acquired"), kDateWidth) + kGap +
                                     left(QStringLiteral("Sold"), kDateWidth) + amountHeadings(w)});
    const auto appendLine = [&](const ReportLine& line) {
        lines.append({Kind::Row, left(line.description, w.description) + kGap +
                                     left(formatDate(line.acquired), kDateWidth) + kGap +
                                     left(formatDate(line.sold), kDateWidth) +
                                     amountColumns(line.amounts, line.code, w, line.costUnknown)});
    };
    if (group.accounts.isEmpty()) {
        for (const ReportLine& line : group.lines)
            appendLine(line);
    }
    for (const ReportAccountPart& part : group.accounts) {
        lines.append({Kind::Account, part.account});
        for (qsizetype i = part.first; i < part.first + part.count; ++i)
            appendLine(group.lines[i]);
        lines.append({Kind::Total, labelColumns(QStringLiteral("Total ") + part.account, w) +
                                       amountColumns(part.totals, QString(), w)});
    }
    lines.append({Kind::Total, labelColumns(QStringLiteral("Totals"), w) +
                                   amountColumns(group.totals, QString(), w)});
    if (group.box.isNull())
        lines.append(
            {Kind::Text, QStringLiteral("These lines belong in no box until their date "
                                        "acquired is known; Schedule D leaves them out.")});
}

void appendScheduleD(QVector<PrintLine>& lines, const TaxReport& report, const Widths& w) {
    lines.append({Kind::Gap, {}});
    lines.append({Kind::Heading, QStringLiteral("Schedule D lines")});
    lines.append({Kind::Columns, labelColumns(QStringLiteral("Line"), w) + amountHeadings(w)});
    for (const ScheduleDRow& row : scheduleDRows(report)) {
        const QString label = row.boxes.size() == 1
                                  ? QStringLiteral("Line %1 (Form 8949 box %2)")
                                  : QStringLiteral("Line %1 (Form 8949 boxes %2)");
        lines.append({Kind::Row, labelColumns(label.arg(row.line, row.boxes), w) +
                                     amountColumns(row.totals, QString(), w)});
    }
}

// Staking and rewards are income of the year they were received, on the
// return beside wages, not lines of Form 8949.
void appendIncome(QVector<PrintLine>& lines, const TaxReport& report, const Widths& w) {
    if (report.income.isEmpty())
        return;
    constexpr int kAccountWidth = 16;
    lines.append({Kind::Gap, {}});
    lines.append({Kind::Heading, QStringLiteral("Digital-asset income")});
    lines.append({Kind::Text, incomeNote(report.year.year)});
    const auto row = [&w](const QString& date, const QString& account, const QString& what,
                          const QString& amount) {
        return left(date, kDateWidth) + kGap + left(account, kAccountWidth) + kGap +
               left(what, w.description) + kGap + right(amount, w.amount);
    };
    lines.append({Kind::Columns, row(QStringLiteral("Received"), QStringLiteral("Account"),
                                     QStringLiteral("Description"), QStringLiteral("Income"))});
    for (const IncomeLine& line : report.income)
        lines.append({Kind::Row, row(formatDate(line.received), line.account, line.description,
                                     formatMoney(line.amount))});
    lines.append({Kind::Total, row(QStringLiteral("Total"), QString(), QString(),
                                   formatMoney(report.incomeTotal()))});
}

bool knownKind(char c) {
    switch (Kind(c)) {
    case Kind::Title:
    case Kind::Heading:
    case Kind::Text:
    case Kind::Columns:
    case Kind::Row:
    case Kind::Account:
    case Kind::Total:
    case Kind::Gap:
        return true;
    }
    return false;
}

} // namespace

QString incomeNote(int year) {
    return QStringLiteral("Staking and rewards received in %1, at their value when received: "
                          "ordinary income, not on Form 8949. The same value is each coin's "
                          "cost when it is sold.")
        .arg(year);
}

QString reportBoxCaption(QChar box) {
    switch (box.unicode()) {
    case u'A':
        return QStringLiteral("Box A: short term, basis reported to the IRS");
    case u'B':
        return QStringLiteral("Box B: short term, basis not reported to the IRS");
    case u'C':
        return QStringLiteral("Box C: short term, not on Form 1099-B");
    case u'D':
        return QStringLiteral("Box D: long term, basis reported to the IRS");
    case u'E':
        return QStringLiteral("Box E: long term, basis not reported to the IRS");
    case u'F':
        return QStringLiteral("Box F: long term, not on Form 1099-B");
    case u'G':
        return QStringLiteral("Box G: short term digital assets, basis reported to the IRS");
    case u'H':
        return QStringLiteral("Box H: short term digital assets, basis not reported to the IRS");
    case u'I':
        return QStringLiteral("Box I: short term digital assets, not on Form 1099-DA");
    case u'J':
        return QStringLiteral("Box J: long term digital assets, basis reported to the IRS");
    case u'K':
        return QStringLiteral("Box K: long term digital assets, basis not reported to the IRS");
    case u'L':
        return QStringLiteral("Box L: long term digital assets, not on Form 1099-DA");
    default:
        return QStringLiteral("Term unknown: no date acquired");
    }
}

QVector<PrintLine> taxReportPrintLines(const TaxReport& report) {
    const Widths w = widthsOf(report);
    QVector<PrintLine> lines;
    lines.reserve(report.lineCount() + 16 * (report.groups.size() + 1));
    lines.append(
        {Kind::Title,
         QStringLiteral("Tax report %1: Form 8949 lines and Schedule D").arg(report.year.year)});
    const ReportAmounts total = report.total();
    lines.append({Kind::Text, QStringLiteral("%1 lines sold in %2. Proceeds %3, cost %4, gain or "
                                             "loss %5.")
                                  .arg(report.lineCount())
                                  .arg(report.year.year)
                                  .arg(formatMoney(total.proceeds), formatMoney(total.cost),
                                       formatMoney(total.gain))});
    for (const ReportGroup& group : report.groups)
        appendGroup(lines, group, w);
    appendScheduleD(lines, report, w);
    appendIncome(lines, report, w);
    return lines;
}

QByteArray printLinesToText(const QVector<PrintLine>& lines) {
    QString text;
    text.reserve(lines.size() * 120);
    for (const PrintLine& line : lines) {
        text += QChar(char16_t(line.kind));
        text += u'\t';
        // A line break inside a text would start a line of its own.
        QString one = line.text;
        one.replace(u'\n', u' ').replace(u'\r', u' ');
        text += one;
        text += u'\n';
    }
    return text.toUtf8();
}

QVector<PrintLine> printLinesFromText(const QByteArray& text) {
    QVector<PrintLine> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        const QByteArrayView line(text.constData() + start, end - start);
        if (line.size() >= 2 && line[1] == '\t' && knownKind(line[0]))
            lines.append({Kind(line[0]), QString::fromUtf8(line.sliced(2))});
        start = end + 1;
    }
    return lines;
}

} // namespace gainbook
