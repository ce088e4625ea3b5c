#include "cli/report_commands.h"

#include "cli/cli_session.h"
#include "cli/pdf_helper.h"
#include "matching/run_end.h"
#include "report/tax_report_file.h"

namespace gainbook {

int runReport(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    if (reportFormatOf(args[0]) == ReportFormat::None)
        return session.usage(reportFormatMessage(args[0]));
    TaxReportFile file;
    Progress progress = session.progress(QStringLiteral("Tax report"));
    Progress reading = progress.part(0, 1, 4);
    const Outcome loaded = file.load(session.database().connection(), session.taxYear(), reading);
    if (!loaded.done())
        return session.finish(withLastLine(loaded, file.processAgainLine()));
    Progress writing = progress.part(1, 4, 4);
    return session.finish(fileRunEnd(RunKind::Report, args[0], file.processAgainLine(),
                                     file.writeTo(args[0], printPdfThroughHelper, writing)));
}

} // namespace gainbook
