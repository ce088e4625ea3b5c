#include "cli/cli_commands.h"

#include "cli/account_commands.h"
#include "cli/action_commands.h"
#include "cli/backup_commands.h"
#include "cli/buy_commands.h"
#include "cli/capture_commands.h"
#include "cli/cli_help.h"
#include "cli/cli_session.h"
#include "cli/gains_commands.h"
#include "cli/matching_commands.h"
#include "cli/method_commands.h"
#include "cli/record_commands.h"
#include "cli/report_commands.h"
#include "cli/txf_commands.h"
#include "platform/settings_store.h"
#include "startup/database_location.h"
#include "store/store_fault.h"

#include <QDir>

namespace gainbook {

const QVector<CliCommand>& cliCommands() {
    // What each command takes and does is told in cli_text.txt.
    static const QVector<CliCommand> commands = {
        {QStringLiteral("init"), false, runInit},
        {QStringLiteral("accounts"), true, runAccounts},
        {QStringLiteral("txns"), true, runTxns},
        {QStringLiteral("tax"), true, runTax},
        {QStringLiteral("capture"), true, runCaptureCommand},
        {QStringLiteral("account-basis"), true, runAccountBasis},
        {QStringLiteral("account-wash"), true, runAccountWash},
        {QStringLiteral("account-method"), true, runAccountMethod},
        {QStringLiteral("account-assets"), true, runAccountAssets},
        {QStringLiteral("asset-kind"), true, runAssetKind},
        {QStringLiteral("wash-digital"), true, runWashDigital},
        {QStringLiteral("wash-options"), true, runWashOptions},
        {QStringLiteral("wash"), true, runWash},
        {QStringLiteral("actions"), true, runActions},
        {QStringLiteral("split"), true, runSplit},
        {QStringLiteral("rename"), true, runRename},
        {QStringLiteral("delete-action"), true, runDeleteAction},
        {QStringLiteral("process"), true, runProcess},
        {QStringLiteral("links"), true, runLinks},
        {QStringLiteral("detach"), true, runDetach},
        {QStringLiteral("recalc"), true, runRecalc},
        {QStringLiteral("transfers"), true, runTransfers},
        {QStringLiteral("transfer-link"), true, runTransferLink},
        {QStringLiteral("transfer-unlink"), true, runTransferUnlink},
        {QStringLiteral("compare"), true, runCompare},
        {QStringLiteral("lots"), true, runLots},
        {QStringLiteral("positions"), true, runPositions},
        {QStringLiteral("buys"), true, runBuys},
        {QStringLiteral("link"), true, runLink},
        {QStringLiteral("new-buy"), true, runNewBuy},
        {QStringLiteral("export-txf"), true, runExportTxf},
        {QStringLiteral("import-txf"), true, runImportTxf},
        {QStringLiteral("import-gains"), true, runImportGains},
        {QStringLiteral("reconcile"), true, runReconcile},
        {QStringLiteral("report"), true, runReport},
        {QStringLiteral("restore"), true, runRestore},
    };
    return commands;
}

namespace {

// The commands that write to the database. A file opened read-only (a
// read-only file or folder, or a damaged file) refuses them at once.
bool writesToDatabase(const QString& name) {
    static const QStringList writers{"capture",       "process",        "detach",  "recalc",
                                     "link",          "new-buy",        "split",   "rename",
                                     "import-txf",    "import-gains",   "restore", "delete-action",
                                     "transfer-link", "transfer-unlink"};
    return writers.contains(name);
}

void printCommandList(QTextStream& err) {
    err << "usage: gainbook-cli " << kGlobalOptions << " COMMAND [ARGS...]\n"
        << "commands:\n";
    for (const CliCommand& command : cliCommands())
        err << "  " << commandCall(command.name) << '\n';
    err.flush();
}

} // namespace

int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QString databasePath;
    std::optional<bool> answer;
    std::optional<TaxYear> year;
    bool progress = false;
    qsizetype i = 0;
    for (; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--db")) {
            if (++i >= arguments.size()) {
                err << "--db needs a file name.\n";
                printCommandList(err);
                return ExitUsage;
            }
            databasePath = arguments[i];
            if (databasePath.isEmpty()) {
                err << "--db needs a file name.\n";
                printCommandList(err);
                return ExitUsage;
            }
        } else if (arg.startsWith(QLatin1String("--db="))) {
            databasePath = arg.mid(5);
            if (databasePath.isEmpty()) {
                err << "--db needs a file name.\n";
                printCommandList(err);
                return ExitUsage;
            }
        } else if (arg == QLatin1String("--year") || arg.startsWith(QLatin1String("--year="))) {
            const bool joined = arg.size() > 6;
            if (!joined && ++i >= arguments.size()) {
                err << "--year needs a year.\n";
                printCommandList(err);
                return ExitUsage;
            }
            const QString text = joined ? arg.mid(7) : arguments[i];
            year = parseTaxYear(text);
            if (!year) {
                err << "Not a tax year from " << kFirstTaxYear << " to " << kLastTaxYear << ": "
                    << text << '\n';
                printCommandList(err);
                return ExitUsage;
            }
        } else if (arg == QLatin1String("--yes") || arg == QLatin1String("--no")) {
            const bool yes = arg == QLatin1String("--yes");
            if (answer && *answer != yes) {
                err << "--yes and --no cannot be given together.\n";
                printCommandList(err);
                return ExitUsage;
            }
            answer = yes;
        } else if (arg == QLatin1String("--progress")) {
            progress = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            printHelp(out);
            return ExitOk;
        } else if (arg == QLatin1String("--version")) {
            out << versionText() << '\n';
            out.flush();
            return ExitOk;
        } else if (arg.startsWith(u'-')) {
            err << "Unknown option: " << arg << '\n';
            printCommandList(err);
            return ExitUsage;
        } else {
            break;
        }
    }
    if (i >= arguments.size()) {
        err << "No command given.\n";
        printCommandList(err);
        return ExitUsage;
    }

    const QString name = arguments[i];
    const auto& commands = cliCommands();
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const CliCommand& c) { return c.name == name; });
    if (command == commands.end()) {
        err << "Unknown command: " << name << '\n';
        printCommandList(err);
        return ExitUsage;
    }

    // Help is asked before anything is opened, so it works without a database.
    if (asksForHelp(arguments.mid(i + 1))) {
        printCommandHelp(out, *command);
        return ExitOk;
    }

    if (databasePath.isEmpty()) {
        QtSettingsStore settings;
        databasePath = defaultDatabasePath(settings, QDir::currentPath());
    }
    CliSession session(out, err, answer, databasePath);
    session.setChosenYear(year);
    session.setProgressShown(progress);
    session.setUsageLine(commandCall(command->name));
    // A processing run checks the file beside its own work: on a large store
    // the check costs as much as a tenth of the run. Its year only names the
    // year in a message, which the run reads when it needs it.
    const bool processing = command->name == QLatin1String("process");
    if (command->needsDatabase &&
        !session.openDatabase(
            processing ? Database::HealthCheckTime::WithRun : Database::HealthCheckTime::AtOpen,
            processing ? CliSession::YearAtOpen::LeftToTheRun : CliSession::YearAtOpen::Settled))
        return ExitMessage;
    if (command->needsDatabase && session.database().isReadOnly() &&
        writesToDatabase(command->name))
        return session.fail(readOnlyMessage(session.database().path()));
    const int code = command->run(session, arguments.mid(i + 1));
    // Results on standard output; the messages of a command that did not do
    // what was asked are refusals and go with the errors.
    session.prompter().flushMessages(code == ExitOk ? out : err);
    out.flush();
    err.flush();
    return code;
}

} // namespace gainbook
