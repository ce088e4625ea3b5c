#include "main_window/screen/report_commands.h"

#include "matching/run_end.h"
#include "matching/trade_changes.h"
#include "platform/prompter.h"
#include "platform/tell_outcome.h"
#include "report/pdf/pdf_printer.h"
#include "report/tax_report_file.h"
#include "startup/app_context.h"
#include "widgets/progress_dialog.h"

#include <QDir>
#include <QFileDialog>

namespace gainbook {

namespace {

QString askForReportFile(QWidget* parent, int year) {
    QFileDialog dialog(parent, QStringLiteral("Tax Report"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("PDF files (*.pdf)"), QStringLiteral("CSV files (*.csv)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(QStringLiteral("tax-report-%1.pdf").arg(year));
    // The suffix follows the file type picked, so that choosing CSV and
    // typing a bare name gives a CSV file.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(f.contains(QLatin1String("csv")) ? QStringLiteral("csv")
                                                                 : QStringLiteral("pdf"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

ReportCommands::ReportCommands(AppContext& context, Prompter& prompter, QWidget* window)
    : QObject(window), context_(context), prompter_(prompter), window_(window) {
    chooseFile = [this] { return askForReportFile(window_, context_.taxYear().year); };
}

void ReportCommands::mnuReport_Click() {
    TaxReportFile file;
    Outcome loaded;
    {
        ProgressDialog progress(window_, QStringLiteral("Building the tax report..."));
        loaded =
            file.load(context_.database().connection(), context_.taxYear(), progress.progress());
    }
    if (!loaded.done()) {
        tellOutcome(prompter_, loaded);
        return;
    }
    if (const QString& line = file.processAgainLine();
        !line.isEmpty() &&
        !prompter_.ask(goOnAnywayQuestion(line, QStringLiteral("Write the tax report"))))
        return;
    const QString path = chooseFile();
    if (path.isEmpty())
        return;
    Outcome written;
    {
        ProgressDialog progress(window_, QStringLiteral("Writing the tax report..."));
        written = file.writeTo(path, printPdf, progress.progress());
    }
    const Outcome told = fileRunEnd(RunKind::Report, path, file.processAgainLine(), written);
    if (written.done())
        emit statusText(told.message.section(u'\n', 0, 0));
    tellOutcome(prompter_, told);
}

} // namespace gainbook
