#include "cli/matching_commands.h"

#include "cli/cli_session.h"
#include "cli/csv_writer.h"
#include "matching/process_session.h"
#include "matching/run_end.h"
#include "matching/trade_changes.h"
#include "matching/transfers.h"
#include "platform/date_text.h"
#include "store/store_error.h"
#include "store/transfer_link_table.h"
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

int finish(CliSession& session, const Outcome& outcome) {
    switch (outcome.status) {
    case Outcome::Status::Done:
        if (!outcome.message.isEmpty())
            session.out() << outcome.message << '\n';
        return ExitOk;
    case Outcome::Status::Stopped:
        return ExitMessage; // the prompter has printed the message
    case Outcome::Status::Failed:
        break;
    }
    return session.fail(outcome.message);
}

// A stopped run has told its message through the prompter already.
int finishRun(CliSession& session, RunKind kind, const QString& account, Outcome outcome) {
    if (outcome.stopped())
        return finish(session, outcome);
    return finish(session,
                  storeRunEnd(session.database().connection(), kind, account, std::move(outcome)));
}

} // namespace

int runProcess(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    QStringList positional = args;
    const bool again = takeFlag(positional, QStringLiteral("--again"));
    const bool all = takeFlag(positional, QStringLiteral("--all"));
    if (all && !again)
        return session.usage(QStringLiteral("--all goes with --again"));
    if (!checkPositional(session, positional, 1, 1, code))
        return code;
    const QString& account = positional[0];
    try {
        if (!knownAccount(session, account, code))
            return code;
        ProcessSession process(session.database().connection(), session.prompter());
        process.setAccount(account);
        // Without --year the run reads the year itself if a message names it.
        if (session.chosenYear())
            process.setTaxYear(session.taxYear());
        process.setHealthCheckPending(session.database().healthCheckPending());
        // Without --again an account with links or tax records is left as it
        // is: a second run would repeat its links or add a second set.
        if (!again && !account.isEmpty()) {
            if (process.hasLinks())
                return session.fail(process.needsRematch()
                                        ? rematchText(account) +
                                              QStringLiteral(" Give --again to do so.")
                                        : alreadyProcessedText(account));
            if (const qint64 held = process.taxRecordCount(); held > 0)
                return session.fail(taxRecordsHeldText(account, held) +
                                    (held == 1 ? QStringLiteral(" Give --again to replace it.")
                                               : QStringLiteral(" Give --again to replace them.")));
        }
        Progress progress = session.progress(QStringLiteral("Processing of ") + account);
        const Rerun rerun = !again ? Rerun::Refuse : all ? Rerun::ReplaceAll : Rerun::Replace;
        return finishRun(session, RunKind::Process, account, process.Process(progress, rerun));
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
    process.setTaxYear(session.taxYear());
    try {
        const QVector<MatchRow> rows = process.matchRows();
        writeCsvRow(session.out(), matchGridHeadings());
        for (const MatchRow& row : rows)
            writeCsvRow(session.out(), matchRowTexts(row));
    } catch (const StoreError& error) {
        return session.fail(error.message());
    }
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
    process.setTaxYear(session.taxYear());
    QVector<MatchRow> rows;
    try {
        rows = process.matchRows();
    } catch (const StoreError& error) {
        return session.fail(error.message());
    }
    // Only a lot the grid shows with its box can be detached; every lot is
    // checked before any is detached, so a typing error changes nothing.
    for (qsizetype i = 0; i < lots.size(); ++i) {
        const bool shown = std::any_of(rows.cbegin(), rows.cend(), [&](const MatchRow& row) {
            return row.hasLot() && row.lot() == lots[i];
        });
        if (!shown)
            return session.fail(QStringLiteral("Lot not found: %1").arg(args[i + 1]));
    }
    return finish(session, process.Update(lots));
}

int runRecalc(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    if (!knownAccount(session, args[0], code))
        return code;
    ProcessSession process(session.database().connection(), session.prompter());
    process.setAccount(args[0]);
    process.setTaxYear(session.taxYear());
    Progress progress = session.progress(QStringLiteral("Save/Recalculate of ") + args[0]);
    return finishRun(session, RunKind::Recalculate, args[0], process.SaveRecalculate(progress));
}

namespace {

std::optional<qint64> transferIdOf(const QString& text) {
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    return ok && id > 0 ? std::optional(id) : std::nullopt;
}

// A link changed: the accounts to process again follow the message.
int finishTransfer(CliSession& session, Outcome outcome) {
    if (outcome.done()) {
        try {
            if (const QString line = processAgainLine(session.database().connection());
                !line.isEmpty())
                outcome.details << line;
        } catch (const StoreError&) {
            // The link is made; the line is only a reminder.
        }
    }
    return session.finish(outcome);
}

} // namespace

int runTransfers(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 0, 0, code))
        return code;
    try {
        const QSqlDatabase db = session.database().connection();
        writeCsvRow(session.out(), {"Send", "From", "Date Sent", "Symbol", "Sent", "Receive", "To",
                                    "Date Received", "Received", "By Hand"});
        for (const TransferLink& link : selectTransferLinks(db)) {
            const std::optional<TxnRecord> send = selectTxnById(db, link.sendId);
            const std::optional<TxnRecord> receive = selectTxnById(db, link.receiveId);
            if (!send || !receive)
                continue;
            writeCsvRow(session.out(),
                        {QString::number(link.sendId), send->accountName, formatDate(send->txnDate),
                         send->symbol, send->quantity.text(), QString::number(link.receiveId),
                         receive->accountName, formatDate(receive->txnDate),
                         receive->quantity.text(),
                         link.byHand ? QStringLiteral("yes") : QStringLiteral("no")});
        }
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

int runTransferLink(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 2, 2, code))
        return code;
    const std::optional<qint64> send = transferIdOf(args[0]);
    const std::optional<qint64> receive = transferIdOf(args[1]);
    if (!send || !receive)
        return session.usage(
            QStringLiteral("Not a transaction ID: %1").arg(send ? args[1] : args[0]));
    return finishTransfer(session,
                          linkTransferByHand(session.database().connection(), *send, *receive));
}

int runTransferUnlink(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    const std::optional<qint64> id = transferIdOf(args[0]);
    if (!id)
        return session.usage(QStringLiteral("Not a transaction ID: %1").arg(args[0]));
    return finishTransfer(session, unlinkTransfer(session.database().connection(), *id));
}

} // namespace gainbook
