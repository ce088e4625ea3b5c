#include "cli/txf_commands.h"

#include "cli/cli_session.h"
#include "txf/txf_export.h"
#include "txf/txf_import.h"

namespace gainbook {

namespace {

// The command's own messages go to standard output, failures to standard
// error; only Done exits 0.
int finish(CliSession& session, const TxfResult& result) {
    if (result.status == TxfStatus::Failed)
        return session.fail(result.message);
    if (!result.message.isEmpty())
        session.prompter().message(result.message);
    return result.ok() ? ExitOk : ExitMessage;
}

} // namespace

int runExportTxf(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    TxfExport txf;
    const TxfResult loaded = txf.load(session.database().connection());
    if (!loaded.ok())
        return finish(session, loaded);
    return finish(session, txf.writeTo(args[0]));
}

int runImportTxf(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    return finish(session, importTxf(args[0], session.database().connection()));
}

} // namespace gainbook
