#include "cli/account_commands.h"

#include "cli/cli_session.h"
#include "cli/record_commands.h"
#include "matching/trade_changes.h"
#include "matching/wash_listing.h"
#include "matching/wash_sale_refresh.h"
#include "platform/csv_row.h"
#include "store/account_settings_table.h"
#include "store/store_fault.h"
#include "store/transaction.h"

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
        Transaction transaction(db);
        const bool again = changeBasisReporting(db, args[0], *basis);
        transaction.commit();
        if (again)
            session.out() << processAgainText({args[0]}) << '\n';
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

namespace {

QString onOff(bool on) {
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

// Takes "--name on|off" out of the arguments into value. False on a usage
// error, which has been reported (code set).
bool takeSwitch(CliSession& session, QStringList& args, const QString& name, bool& value,
                bool& changed, int& code) {
    bool missing = false;
    const std::optional<QString> word = takeOption(args, name, missing);
    if (missing || (word && *word != QLatin1String("on") && *word != QLatin1String("off"))) {
        code = session.usage(QStringLiteral("%1 takes on or off").arg(name));
        return false;
    }
    if (word) {
        value = *word == QLatin1String("on");
        changed = true;
    }
    return true;
}

} // namespace

int runAccountWash(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    QStringList positional = args;
    try {
        if (positional.isEmpty() || !knownAccount(session, positional[0], code))
            return positional.isEmpty() ? session.usage(QStringLiteral("Missing ACCOUNT")) : code;
        const QSqlDatabase db = session.database().connection();
        WashSettings settings = selectWashSettings(db, positional[0]);
        bool changed = false;
        if (!takeSwitch(session, positional, QStringLiteral("--detect"), settings.detect, changed,
                        code) ||
            !takeSwitch(session, positional, QStringLiteral("--other-accounts"),
                        settings.otherAccounts, changed, code) ||
            !takeSwitch(session, positional, QStringLiteral("--ira"), settings.taxAdvantaged,
                        changed, code))
            return code;
        if (!checkPositional(session, positional, 1, 1, code))
            return code;
        if (!changed) {
            session.out() << "detect " << onOff(settings.detect) << '\n'
                          << "other-accounts " << onOff(settings.otherAccounts) << '\n'
                          << "ira " << onOff(settings.taxAdvantaged) << '\n';
            return ExitOk;
        }
        if (session.database().isReadOnly())
            return session.fail(readOnlyMessage(session.database().path()));
        const Outcome outcome = changeWashSettings(db, positional[0], settings);
        if (!outcome.done())
            return session.fail(outcome.message);
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

int runWash(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    try {
        if (!knownAccount(session, args[0], code))
            return code;
        writeCsvRow(session.out(), washListingHeading());
        for (const WashListingRow& row :
             washListing(session.database().connection(), args[0], session.taxYear()))
            writeCsvRow(session.out(), washListingFields(row));
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

} // namespace gainbook
