#include "cli/txf_commands.h"

#include "cli/cli_session.h"
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
        return session.finish(loaded);
    return session.finish(txf.writeTo(args[0]));
}

int runImportTxf(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    return session.finish(importTxf(args[0], session.database().connection()));
}

} // namespace gainbook
