#include "cli/backup_commands.h"

#include "cli/cli_session.h"
#include "store/store_backup.h"

namespace gainbook {

int runRestore(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 0, 0, code))
        return code;
    const Outcome outcome = restoreBackup(session.database().connection());
    if (!outcome.done())
        return session.fail(outcome.message);
    session.out() << outcome.message << '\n';
    return ExitOk;
}

} // namespace gainbook
