#include "cli/txf_commands.h"

#include "cli/cli_session.h"
#include "matching/run_end.h"
#include "txf/txf_export.h"
#include "txf/txf_import.h"

namespace gainbook {

int runExportTxf(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    TxfExport txf;
    const Outcome loaded = txf.load(session.database().connection(), session.taxYear());
    if (!loaded.done())
        return session.finish(withLastLine(loaded, txf.processAgainLine()));
    Progress progress = session.progress(QStringLiteral("TXF export"));
    return session.finish(fileRunEnd(RunKind::TxfExport, args[0], txf.processAgainLine(),
                                     txf.writeTo(args[0], QDate::currentDate(), progress)));
}

int runImportTxf(CliSession& session, const QStringList& args) {
    QStringList rest = args;
    bool missing = false;
    const std::optional<QString> account = takeOption(rest, QStringLiteral("--account"), missing);
    if (missing)
        return session.usage(QStringLiteral("An option is missing its value."));
    int code = ExitOk;
    if (!checkPositional(session, rest, 1, 1, code))
        return code;
    TxfImport txf;
    if (const Outcome read = txf.read(rest[0]); !read.done())
        return session.finish(read);
    if (!account && txf.fileAccountName().isEmpty())
        return session.fail(
            QStringLiteral("The file names no account: give one with --account NAME."));
    const QString name = account.value_or(txf.fileAccountName());
    Progress progress = session.progress(QStringLiteral("TXF import into ") + name);
    const QSqlDatabase db = session.database().connection();
    return session.finish(storeRunEnd(db, RunKind::TxfImport, name,
                                      txf.addTo(db, name, session.prompter(), progress)));
}

} // namespace gainbook
