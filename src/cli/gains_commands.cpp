#include "cli/gains_commands.h"

#include "cli/cli_session.h"
#include "gains/gains_import.h"
#include "gains/reconcile.h"
#include "matching/run_end.h"
#include "txf/txf_texts.h"

namespace gainbook {

namespace {

// "--account A FILE", or the account as the first of two arguments.
bool accountAndFile(CliSession& session, QStringList args, QString& account, QString& file,
                    bool accountMayStandFirst, int& code) {
    bool missing = false;
    const auto named = takeOption(args, QStringLiteral("--account"), missing);
    if (missing) {
        code = session.usage(QStringLiteral("--account is missing its value."));
        return false;
    }
    const qsizetype wanted = named || !accountMayStandFirst ? 1 : 2;
    if (!checkPositional(session, args, wanted, wanted, code))
        return false;
    if (!named && !accountMayStandFirst) {
        code = session.usage(QStringLiteral("--account is required."));
        return false;
    }
    account = named ? *named : args.takeFirst();
    file = args.front();
    if (account.trimmed().isEmpty()) {
        code = session.usage(QStringLiteral("The account name is empty."));
        return false;
    }
    return true;
}

} // namespace

int runImportGains(CliSession& session, const QStringList& args) {
    QString account;
    QString file;
    int code = ExitOk;
    if (!accountAndFile(session, args, account, file, false, code))
        return code;
    Progress progress =
        session.progress(QStringLiteral("Import of realized gains into ") + account);
    const QSqlDatabase db = session.database().connection();
    return session.finish(storeRunEnd(db, RunKind::GainsImport, account,
                                      importRealizedGains(file, account, db, session.prompter(),
                                                          QDate::currentDate(), progress)));
}

int runReconcile(CliSession& session, const QStringList& args) {
    QString account;
    QString file;
    int code = ExitOk;
    if (!accountAndFile(session, args, account, file, true, code))
        return code;
    QString error;
    const auto read = loadRealizedLots(file, QDate::currentDate(), &error);
    if (!read)
        return session.fail(cannotReadMessage(file, error));
    if (read->lots.isEmpty()) {
        if (read->unreadable > 0)
            session.err() << recordsSkippedMessage(read->unreadable) << '\n';
        return session.fail(noDataImportedMessage());
    }
    QVector<ReconcileRow> rows;
    try {
        rows = reconcileAccount(session.database().connection(), account, read->lots);
    } catch (const StoreError& e) {
        return session.fail(e);
    }
    writeReconcileCsv(session.out(), rows);
    if (read->unreadable > 0)
        session.err() << recordsSkippedMessage(read->unreadable) << '\n';
    return ExitOk;
}

} // namespace gainbook
