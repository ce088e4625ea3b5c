#include "report/tax_report_file.h"

#include "platform/output_guard.h"
#include "report/report_csv.h"
#include "store/store_backup.h"
#include "store/store_error.h"
#include "store/store_fault.h"
#include "store/tax_table.h"

#include <QDir>
#include <QSaveFile>

namespace gainbook {

namespace {

Outcome cannotWrite(const QString& path, const QString& why) {
    return Outcome::failure(QStringLiteral("The tax report could not be written to %1: %2")
                                .arg(QDir::toNativeSeparators(path), why));
}

} // namespace

ReportFormat reportFormatOf(const QString& path) {
    if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return ReportFormat::Pdf;
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return ReportFormat::Csv;
    return ReportFormat::None;
}

QString reportFormatMessage(const QString& path) {
    return QStringLiteral("A tax report is written as a .pdf or a .csv file: %1")
        .arg(QDir::toNativeSeparators(path));
}

Outcome TaxReportFile::load(const QSqlDatabase& db, TaxYear year) {
    report_ = TaxReport{year, {}};
    databaseFile_ = databaseFile(db);
    try {
        report_ = buildTaxReport(selectTaxRecsSold(db, year.firstDay(), year.lastDay()), year);
    } catch (const StoreError& error) {
        return Outcome::failure(
            QStringLiteral("The tax records could not be read: %1").arg(error.message()));
    }
    if (report_.groups.isEmpty())
        return Outcome::stop(QStringLiteral("No tax record sold in %1 to report").arg(year.year));
    return Outcome::ok(report_.lineCount());
}

Outcome TaxReportFile::writeTo(const QString& path, const PdfPrinter& printPdf) const {
    const ReportFormat format = reportFormatOf(path);
    if (format == ReportFormat::None)
        return Outcome::failure(reportFormatMessage(path));
    const QString refusal = outputRefusal(
        path, {{databaseFile_, QStringLiteral("the open database")},
               {backupFileOf(databaseFile_), QStringLiteral("the database's backup")}});
    if (!refusal.isEmpty())
        return cannotWrite(path, refusal);

    if (format == ReportFormat::Pdf) {
        const QString failure = printPdf ? printPdf(taxReportPrintLines(report_), path)
                                         : QStringLiteral("no PDF writer in this program");
        if (!failure.isEmpty())
            return cannotWrite(path, failure);
        return Outcome::ok(report_.lineCount());
    }

    // Written beside the target and renamed over it at the end, so that a
    // full disk never leaves a cut-off report that reads as complete.
    const QByteArray text = taxReportCsv(report_);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return cannotWrite(path, file.errorString());
    return Outcome::ok(report_.lineCount());
}

} // namespace gainbook
