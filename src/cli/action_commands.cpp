#include "cli/action_commands.h"

#include "cli/cli_session.h"
#include "cli/csv_writer.h"
#include "matching/corp_action_checks.h"
#include "matching/corp_action_editing.h"
#include "platform/date_text.h"
#include "store/corp_action_table.h"
#include "store/store_fault.h"

namespace gainbook {

namespace {

// Takes --note out of the arguments; false on a usage error (code set).
bool takeNote(CliSession& session, QStringList& args, QString& note, int& code) {
    bool missing = false;
    const std::optional<QString> value = takeOption(args, QStringLiteral("--note"), missing);
    if (missing) {
        code = session.usage(QStringLiteral("--note needs a text"));
        return false;
    }
    note = value.value_or(QString());
    return true;
}

// The date as the user wrote it; refused by name when it is none.
bool takeDate(CliSession& session, const QString& text, QDate& date, int& code) {
    date = dateFromText(text);
    if (!date.isValid())
        code = session.fail(notADateText(text));
    return date.isValid();
}

int keep(CliSession& session, const CorpActionRecord& action) {
    if (session.database().isReadOnly())
        return session.fail(readOnlyMessage(session.database().path()));
    return session.finish(addCorpAction(session.database().connection(), action));
}

} // namespace

int runActions(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 0, 0, code))
        return code;
    try {
        writeCsvRow(session.out(), {"ID", "Symbol", "Date", "Kind", "Ratio", "New Symbol", "Note"});
        for (const CorpActionRecord& a : selectCorpActions(session.database().connection())) {
            const bool split = a.kind == ActionKind::Split;
            writeCsvRow(session.out(),
                        {QString::number(a.id), a.symbol, formatDate(a.effective),
                         split ? QStringLiteral("split") : QStringLiteral("symbol change"),
                         split ? ratioText(a.ratioNew, a.ratioOld) : QString(),
                         split ? QString() : a.newSymbol, a.note});
        }
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

namespace {

// The --note and the three words that `split` and `rename` both take.
bool takeActionWords(CliSession& session, const QStringList& args, QStringList& positional,
                     CorpActionRecord& action, int& code) {
    positional = args;
    return takeNote(session, positional, action.note, code) &&
           checkPositional(session, positional, 3, 3, code);
}

} // namespace

int runSplit(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    QStringList positional;
    CorpActionRecord action;
    if (!takeActionWords(session, args, positional, action, code))
        return code;
    action.kind = ActionKind::Split;
    action.symbol = positional[0];
    if (!takeDate(session, positional[1], action.effective, code))
        return code;
    const auto ratio = ratioFromText(positional[2]);
    if (!ratio)
        return session.fail(notARatioText(positional[2]));
    action.ratioNew = ratio->first;
    action.ratioOld = ratio->second;
    return keep(session, action);
}

int runRename(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    QStringList positional;
    CorpActionRecord action;
    if (!takeActionWords(session, args, positional, action, code))
        return code;
    action.kind = ActionKind::SymbolChange;
    action.symbol = positional[0];
    action.newSymbol = positional[1];
    if (!takeDate(session, positional[2], action.effective, code))
        return code;
    return keep(session, action);
}

int runDeleteAction(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    bool ok = false;
    const qint64 id = args[0].toLongLong(&ok);
    if (!ok || id <= 0)
        return session.usage(QStringLiteral("Not an action ID: %1").arg(args[0]));
    if (session.database().isReadOnly())
        return session.fail(readOnlyMessage(session.database().path()));
    return session.finish(removeCorpAction(session.database().connection(), id));
}

} // namespace gainbook
