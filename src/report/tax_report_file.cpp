#include "report/tax_report_file.h"

#include "matching/trade_changes.h"
#include "platform/formats.h"
#include "platform/output_guard.h"
#include "report/report_csv.h"
#include "store/store_backup.h"
#include "store/store_error.h"
#include "store/store_fault.h"
#include "store/tax_table.h"
#include "store/txn_table.h"

#include <QDir>
#include <QSaveFile>

namespace gainbook {

namespace {

Outcome cannotWrite(const QString& path, const QString& why) {
    return Outcome::failure(QStringLiteral("The tax report could not be written to %1: %2")
                                .arg(QDir::toNativeSeparators(path), why));
}

// The year's digital-asset income is said after the count: the CSV, which
// tax programs import as Form 8949 lines, cannot hold it.
Outcome withIncomeLine(Outcome outcome, const TaxReport& report, bool csv) {
    if (report.income.isEmpty())
        return outcome;
    outcome.details << QStringLiteral("Digital-asset income in %1: %2 from %3 (ordinary income, "
                                      "not on Form 8949)%4.")
                           .arg(report.year.year)
                           .arg(formatMoney(report.incomeTotal()))
                           .arg(report.income.size() == 1
                                    ? QStringLiteral("1 receipt")
                                    : QStringLiteral("%1 receipts").arg(report.income.size()))
                           .arg(csv ? QStringLiteral("; the PDF report lists it") : QString());
    return outcome;
}

} // namespace

ReportFormat reportFormatOf(const QString& path) {
    if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return ReportFormat::Pdf;
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return ReportFormat::Csv;
    return ReportFormat::None;
}

QString reportCancelledMessage(const QString& path) {
    return cancelledText(QStringLiteral("Tax report to %1").arg(QDir::toNativeSeparators(path)));
}

QString reportFormatMessage(const QString& path) {
    return QStringLiteral("A tax report is written as a .pdf or a .csv file: %1")
        .arg(QDir::toNativeSeparators(path));
}

Outcome TaxReportFile::load(const QSqlDatabase& db, TaxYear year, Progress& progress) {
    report_ = TaxReport{year, {}};
    processAgain_.clear();
    databaseFile_ = databaseFile(db);
    try {
        // Reading and sorting are one step each: neither has a loop of its
        // own to report from.
        progress.step(0, 3);
        processAgain_ = gainbook::processAgainLine(db);
        const QVector<TaxRecord> records =
            selectReportableTaxRecs(db, year.firstDay(), year.lastDay());
        progress.step(1, 3);
        TaxReport built = buildTaxReport(records, year);
        built.income = incomeLines(selectReportableIncome(db, year.firstDay(), year.lastDay()));
        progress.step(3, 3);
        report_ = std::move(built);
    } catch (const StoreError& error) {
        return Outcome::failure(
            QStringLiteral("The tax records could not be read: %1").arg(error.message()));
    } catch (const RunCancelled&) {
        return Outcome::stop(cancelledText(QStringLiteral("Building the tax report")));
    }
    if (report_.groups.isEmpty() && report_.income.isEmpty())
        return Outcome::stop(QStringLiteral("No tax record sold in %1 to report").arg(year.year));
    return Outcome::ok(report_.lineCount() + report_.income.size());
}

Outcome TaxReportFile::writeTo(const QString& path, const PdfPrinter& printPdf,
                               Progress& progress) const {
    const ReportFormat format = reportFormatOf(path);
    if (format == ReportFormat::None)
        return Outcome::failure(reportFormatMessage(path));
    const QString refusal = outputRefusal(
        path, {{databaseFile_, QStringLiteral("the open database")},
               {backupFileOf(databaseFile_), QStringLiteral("the database's backup")}});
    if (!refusal.isEmpty())
        return cannotWrite(path, refusal);

    try {
        if (format == ReportFormat::Pdf) {
            if (!printPdf)
                return cannotWrite(path, QStringLiteral("no PDF writer in this program"));
            progress.step(0, 10);
            const QVector<PrintLine> lines = taxReportPrintLines(report_);
            Progress printing = progress.part(1, 10, 10);
            const QString failure = printPdf(lines, path, printing);
            if (!failure.isEmpty())
                return cannotWrite(path, failure);
            return withIncomeLine(Outcome::ok(report_.lineCount() + report_.income.size()), report_,
                                  false);
        }

        // Written beside the target and renamed over it at the end, so that a
        // full disk or a cancel never leaves a cut-off report that reads as
        // complete.
        progress.step(0, 2);
        const QByteArray text = taxReportCsv(report_);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return cannotWrite(path, file.errorString());
        progress.step(2, 2);
        if (!file.commit())
            return cannotWrite(path, file.errorString());
    } catch (const RunCancelled&) {
        return Outcome::stop(reportCancelledMessage(path));
    }
    return withIncomeLine(Outcome::ok(report_.lineCount() + report_.income.size()), report_, true);
}

} // namespace gainbook
