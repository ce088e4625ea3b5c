#include "cli/matching_commands.h"

#include "cli/cli_session.h"
#include "cli/csv_writer.h"
#include "matching/process_session.h"
#include "platform/sheet_model.h"
#include "store/store_error.h"
#include "store/txn_table.h"

#include <QRegularExpression>

namespace gainbook {

namespace {

// The accounts the processing screen offers are those with transactions. An
// empty name is left to the command, which has its own message for it.
bool knownAccount(CliSession& session, const QString& account, int& code) {
    try {
        if (account.isEmpty() || accountHasTxns(session.database().connection(), account))
            return true;
        code = session.fail(QStringLiteral("Account not found: %1").arg(account));
    } catch (const StoreError& error) {
        code = session.fail(error);
    }
    return false;
}

int finish(CliSession& session, const MatchOutcome& outcome) {
    switch (outcome.status) {
    case MatchOutcome::Status::Done:
        return ExitOk;
    case MatchOutcome::Status::Stopped:
        return ExitMessage; // the prompter has printed the message
    case MatchOutcome::Status::Failed:
        break;
    }
    return session.fail(outcome.message);
}

} // namespace

int runProcess(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    try {
        if (!knownAccount(session, args[0], code))
            return code;
        ProcessSession process(session.database().connection(), session.prompter());
        process.setAccount(args[0]);
        // On screen "Process" stays disabled for an account with links; a
        // second run would repeat them.
        if (!args[0].isEmpty() && process.hasLinks())
            return session.fail(alreadyProcessedText(args[0]));
        return finish(session, process.Process());
    } catch (const StoreError& error) {
        return session.fail(error);
    }
}

int runLinks(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    if (!knownAccount(session, args[0], code))
        return code;
    ProcessSession process(session.database().connection(), session.prompter());
    process.setAccount(args[0]);
    SheetModel grid;
    if (const MatchOutcome outcome = process.FillGrid(grid); !outcome.done())
        return finish(session, outcome);
    writeCsvGrid(session.out(), grid);
    return ExitOk;
}

int runDetach(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 2, -1, code))
        return code;
    static const QRegularExpression pair(QStringLiteral(R"(^(\d+):(\d+)$)"));
    QVector<LotKey> lots;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QRegularExpressionMatch m = pair.match(args[i]);
        if (!m.hasMatch())
            return session.usage(QStringLiteral("Not a SELLID:BUYID pair: %1").arg(args[i]));
        lots.append({m.captured(1).toLongLong(), m.captured(2).toLongLong()});
    }
    if (!knownAccount(session, args[0], code))
        return code;
    ProcessSession process(session.database().connection(), session.prompter());
    process.setAccount(args[0]);
    SheetModel grid;
    if (const MatchOutcome outcome = process.FillGrid(grid); !outcome.done())
        return finish(session, outcome);
    // Every lot is checked before any box is cleared, so a typing error
    // changes nothing.
    QVector<int> rows;
    for (qsizetype i = 0; i < lots.size(); ++i) {
        const int row = lotRow(grid, lots[i]);
        if (row == 0)
            return session.fail(QStringLiteral("Lot not found: %1").arg(args[i + 1]));
        rows.append(row);
    }
    for (const int row : rows)
        grid.setText(row, MatchGridCol::Linked, QStringLiteral("0"));
    return finish(session, process.Update(grid));
}

int runRecalc(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    if (!knownAccount(session, args[0], code))
        return code;
    ProcessSession process(session.database().connection(), session.prompter());
    process.setAccount(args[0]);
    return finish(session, process.SaveRecalculate());
}

} // namespace gainbook
