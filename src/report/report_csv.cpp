#include "report/report_csv.h"

#include "platform/csv_row.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "report/tax_report.h"

#include <QTextStream>

namespace gainbook {

namespace {

QStringList row(const QString& box, const QString& description, const QString& acquired,
                const QString& sold, const QString& code, const ReportAmounts& amounts,
                bool costUnknown = false, const QString& account = {}) {
    const auto known = [costUnknown](Money m) { return costUnknown ? QString() : formatPlain(m); };
    return QStringList{box,
                       description,
                       acquired,
                       sold,
                       formatPlain(amounts.proceeds),
                       known(amounts.cost),
                       code,
                       formatPlain(amounts.adjustment),
                       known(amounts.gain),
                       account};
}

QString boxText(QChar box) {
    return box.isNull() ? QString() : QString(box);
}

} // namespace

QByteArray taxReportCsv(const TaxReport& report) {
    QString text;
    text.reserve(64 + report.lineCount() * 80);
    QTextStream out(&text);
    writeCsvRow(out,
                {QStringLiteral("Box"), QStringLiteral("Description"),
                 QStringLiteral("Date Acquired"), QStringLiteral("Date Sold"),
                 QStringLiteral("Proceeds"), QStringLiteral("Cost"), QStringLiteral("Code"),
                 QStringLiteral("Adjustment"), QStringLiteral("Gain"), QStringLiteral("Account")});
    for (const ReportGroup& group : report.groups) {
        const QString box = boxText(group.box);
        for (const ReportLine& line : group.lines)
            writeCsvRow(out,
                        row(box, line.description, formatDate(line.acquired), formatDate(line.sold),
                            line.code, line.amounts, line.costUnknown, line.account));
        writeCsvRow(out, row(box,
                             group.box.isNull() ? QStringLiteral("Total term unknown")
                                                : QStringLiteral("Total box ") + box,
                             {}, {}, {}, group.totals));
    }
    for (const ScheduleDRow& line : scheduleDRows(report))
        writeCsvRow(out, row(line.boxes, QStringLiteral("Schedule D line ") + line.line, {}, {}, {},
                             line.totals));
    out.flush();
    return text.toUtf8();
}

} // namespace gainbook
