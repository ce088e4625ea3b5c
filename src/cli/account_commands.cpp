#include "cli/account_commands.h"

#include "cli/cli_session.h"
#include "cli/record_commands.h"
#include "matching/trade_changes.h"
#include "matching/wash_listing.h"
#include "matching/wash_sale_refresh.h"
#include "platform/csv_row.h"
#include "store/account_settings_table.h"
#include "store/asset_kind_table.h"
#include "store/store_fault.h"
#include "store/transaction.h"

#include <functional>

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

namespace {

// Keeps a change of asset kinds through outcome's run, refusing a file
// opened read-only.
int finishAssetChange(CliSession& session, const std::function<Outcome()>& change) {
    if (session.database().isReadOnly())
        return session.fail(readOnlyMessage(session.database().path()));
    const Outcome outcome = change();
    return outcome.done() ? ExitOk : session.fail(outcome.message);
}

} // namespace

int runAssetKind(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 0, 2, code))
        return code;
    std::optional<AssetKind> kind;
    if (args.size() == 2) {
        kind = assetKindFromWord(args[1]);
        if (!kind)
            return session.usage(QStringLiteral("Not digital or security: %1").arg(args[1]));
    }
    try {
        const QSqlDatabase db = session.database().connection();
        if (args.isEmpty()) {
            for (const SymbolKindRow& row : selectSymbolKinds(db))
                session.out() << row.symbol << ' ' << assetKindWord(row.kind) << '\n';
            return ExitOk;
        }
        if (args[0].trimmed().isEmpty())
            return session.usage(QStringLiteral("Missing SYMBOL"));
        if (!kind) {
            // As an account of mixed assets takes it: the symbol's own kind
            // or the well-known coins'.
            session.out() << assetKindWord(selectAssetKinds(db).of(QString(), args[0])) << '\n';
            return ExitOk;
        }
        return finishAssetChange(session, [&] { return changeSymbolKind(db, args[0], *kind); });
    } catch (const StoreError& error) {
        return session.fail(error);
    }
}

int runAccountAssets(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 2, code))
        return code;
    std::optional<AccountAssets> assets;
    if (args.size() == 2) {
        assets = accountAssetsFromWord(args[1]);
        if (!assets)
            return session.usage(
                QStringLiteral("Not digital, securities or mixed: %1").arg(args[1]));
    }
    try {
        if (!knownAccount(session, args[0], code))
            return code;
        const QSqlDatabase db = session.database().connection();
        if (!assets) {
            session.out() << accountAssetsWord(selectAccountAssets(db, args[0])) << '\n';
            return ExitOk;
        }
        return finishAssetChange(session,
                                 [&] { return changeAccountAssets(db, args[0], *assets); });
    } catch (const StoreError& error) {
        return session.fail(error);
    }
}

namespace {

// A store-wide on/off setting of the wash sales: printed without the word,
// else kept and the store's wash sales brought in line.
int runStoreSwitch(CliSession& session, const QStringList& args,
                   const std::function<bool(const QSqlDatabase&)>& read,
                   const std::function<Outcome(const QSqlDatabase&, bool)>& change) {
    int code = ExitOk;
    if (!checkPositional(session, args, 0, 1, code))
        return code;
    if (!args.isEmpty() && args[0] != QLatin1String("on") && args[0] != QLatin1String("off"))
        return session.usage(QStringLiteral("Not on or off: %1").arg(args[0]));
    try {
        const QSqlDatabase db = session.database().connection();
        if (args.isEmpty()) {
            session.out() << onOff(read(db)) << '\n';
            return ExitOk;
        }
        const bool on = args[0] == QLatin1String("on");
        return finishAssetChange(session, [&] { return change(db, on); });
    } catch (const StoreError& error) {
        return session.fail(error);
    }
}

} // namespace

int runWashDigital(CliSession& session, const QStringList& args) {
    return runStoreSwitch(session, args, selectWashDigital, changeWashDigital);
}

int runWashOptions(CliSession& session, const QStringList& args) {
    return runStoreSwitch(session, args, selectWashOptions, changeWashOptions);
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
