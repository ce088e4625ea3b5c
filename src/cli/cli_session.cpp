#include "cli/cli_session.h"

#include "cli/cli_help.h"
#include "matching/wash_sale_refresh.h"
#include "store/sell_years.h"
#include "store/store_error.h"
#include "store/store_fault.h"

namespace gainbook {

CliSession::CliSession(QTextStream& out, QTextStream& err, std::optional<bool> answer,
                       QString databasePath)
    : out_(out), err_(err), prompter_(out, answer), databasePath_(std::move(databasePath)) {}

bool CliSession::openDatabase(Database::HealthCheckTime when, YearAtOpen year) {
    const OpenResult result = database_.open(databasePath_, when);
    if (!result.ok()) {
        fail(result.message);
        return false;
    }
    // A damaged file was opened read-only, or an older one upgraded after
    // its copy was kept: every command says so.
    if (!result.message.isEmpty()) {
        err_ << result.message << '\n';
        err_.flush();
    }
    if (const QString unsettled = settleUpgrade(database_.connection(), result);
        !unsettled.isEmpty()) {
        fail(unsettled);
        return false;
    }
    if (year == YearAtOpen::LeftToTheRun && !chosenYear_)
        return true;
    try {
        taxYear_ =
            defaultTaxYear(database_.connection(),
                           chosenYear_ ? std::optional<int>(chosenYear_->year) : std::nullopt);
    } catch (const StoreError& error) {
        fail(error);
        return false;
    }
    return true;
}

Progress CliSession::progress(const QString& run) {
    if (!progressShown_)
        return Progress();
    return Progress([this, run, shown = qint64(-1)](qint64 done, qint64 total) mutable {
        const qint64 percent = done * 100 / qMax<qint64>(total, 1);
        if (percent != shown) {
            shown = percent;
            err_ << run << ": " << percent << "%\n";
            err_.flush();
        }
        return true;
    });
}

int CliSession::fail(const QString& message) {
    err_ << message << '\n';
    err_.flush();
    return ExitMessage;
}

int CliSession::fail(const StoreError& error) {
    return fail(failureText(database_.connection(), error));
}

int CliSession::finish(const Outcome& outcome) {
    if (outcome.failed())
        fail(outcome.message);
    else if (!outcome.message.isEmpty())
        prompter_.message(outcome.message);
    for (const QString& line : outcome.details)
        prompter_.message(line);
    return outcome.done() ? ExitOk : ExitMessage;
}

int CliSession::usage(const QString& message) {
    if (!message.isEmpty())
        err_ << message << '\n';
    err_ << "usage: gainbook-cli " << kGlobalOptions << ' ' << usageLine_ << '\n';
    err_.flush();
    return ExitUsage;
}

Outcome withLastLine(Outcome outcome, const QString& line) {
    if (!line.isEmpty())
        outcome.details << line;
    return outcome;
}

bool takeFlag(QStringList& args, const QString& flag) {
    return args.removeAll(flag) > 0;
}

std::optional<QString> takeOption(QStringList& args, const QString& name, bool& missingValue) {
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= args.size()) {
        missingValue = true;
        args.removeAt(at);
        return std::nullopt;
    }
    const QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

QString unknownOption(const QStringList& args) {
    for (const QString& arg : args) {
        if (arg.startsWith(QLatin1String("--")) && arg.size() > 2)
            return arg;
    }
    return {};
}

bool checkPositional(CliSession& session, const QStringList& args, qsizetype min, qsizetype max,
                     int& code) {
    if (const QString bad = unknownOption(args); !bad.isEmpty()) {
        code = session.usage(QStringLiteral("Unknown option: %1").arg(bad));
        return false;
    }
    if (args.size() < min || (max >= 0 && args.size() > max)) {
        code = session.usage(args.size() < min ? QStringLiteral("Missing argument.")
                                               : QStringLiteral("Too many arguments."));
        return false;
    }
    return true;
}

} // namespace gainbook
