#include "cli/account_commands.h"

#include "cli/cli_session.h"
#include "cli/record_commands.h"
#include "store/account_settings_table.h"
#include "store/store_fault.h"

namespace gainbook {

int runAccountBasis(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 2, code))
        return code;
    std::optional<BasisReporting> basis;
    if (args.size() == 2) {
        basis = basisFromWord(args[1]);
        if (!basis)
            return session.usage(QStringLiteral("Not yes, no or none: %1").arg(args[1]));
    }
    try {
        if (!knownAccount(session, args[0], code))
            return code;
        const QSqlDatabase db = session.database().connection();
        if (!basis) {
            session.out() << basisWord(selectBasisReporting(db, args[0])) << '\n';
            return ExitOk;
        }
        if (session.database().isReadOnly())
            return session.fail(readOnlyMessage(session.database().path()));
        setBasisReporting(db, args[0], *basis);
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

} // namespace gainbook
