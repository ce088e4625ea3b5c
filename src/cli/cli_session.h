#pragma once

#include "cli/cli_prompter.h"
#include "platform/outcome.h"
#include "platform/progress.h"
#include "platform/tax_year.h"
#include "store/database.h"
#include "store/store_error.h"

#include <QStringList>
#include <QTextStream>

#include <optional>

namespace gainbook {

enum ExitCode : int { ExitOk = 0, ExitMessage = 1, ExitUsage = 2 };

// What one run of the tool works with: its streams, its prompter and the
// database named by --db (or the default).
class CliSession {
public:
    CliSession(QTextStream& out, QTextStream& err, std::optional<bool> answer,
               QString databasePath);

    QTextStream& out() { return out_; }
    QTextStream& err() { return err_; }
    CliPrompter& prompter() { return prompter_; }
    const QString& databasePath() const { return databasePath_; }
    Database& database() { return database_; }

    // Opens the database and settles the tax year, unless none was chosen
    // and the command reads it no further than a processing run's message
    // (which reads it itself when needed); on failure says why on stderr and
    // returns false.
    enum class YearAtOpen { Settled, LeftToTheRun };
    bool openDatabase(Database::HealthCheckTime when = Database::HealthCheckTime::AtOpen,
                      YearAtOpen year = YearAtOpen::Settled);

    // The year given by --year, else that of the latest sell in the store,
    // else 2000. The settings' year of the window is not read, so that a
    // script's result does not hang on what was last chosen on screen.
    void setChosenYear(std::optional<TaxYear> year) { chosenYear_ = year; }
    TaxYear taxYear() const { return taxYear_; }
    // The year given by --year, if one was.
    std::optional<TaxYear> chosenYear() const { return chosenYear_; }

    // With --progress a long run prints "RUN: N%" on stderr each time it
    // gets a whole percent further; without it the run is not watched.
    void setProgressShown(bool shown) { progressShown_ = shown; }
    Progress progress(const QString& run);

    // An error message on stderr; returns ExitMessage.
    int fail(const QString& message);
    // A failure of the database: the file's own message when the file
    // failed (in use, read-only, damaged, full), else the engine's text.
    int fail(const StoreError& error);

    // How a command ended: a failure's message on stderr, every other
    // message and the details through the prompter, one line each (on
    // stdout when Done, else on stderr). ExitOk when Done, else ExitMessage.
    int finish(const Outcome& outcome);

    // A usage error on stderr with the running command's usage line;
    // returns ExitUsage.
    int usage(const QString& message);
    void setUsageLine(const QString& line) { usageLine_ = line; }

private:
    QTextStream& out_;
    QTextStream& err_;
    CliPrompter prompter_;
    QString databasePath_;
    QString usageLine_ = QStringLiteral("COMMAND [ARGS...]");
    Database database_;
    std::optional<TaxYear> chosenYear_;
    bool progressShown_ = false;
    TaxYear taxYear_;
};

// The outcome with one more line of details, printed last where the
// outcome's messages go (as a command's "To check" line is); the outcome
// as it was for an empty line.
Outcome withLastLine(Outcome outcome, const QString& line);

// Takes a flag out of the arguments; true when it was there.
bool takeFlag(QStringList& args, const QString& flag);

// Takes "--name VALUE" out of the arguments. Sets missingValue when the
// option stands last without its value.
std::optional<QString> takeOption(QStringList& args, const QString& name, bool& missingValue);

// The first argument that looks like an unknown option, or an empty text.
QString unknownOption(const QStringList& args);

// True when args holds no unknown option and from min to max positional
// arguments (max -1: no limit); otherwise reports the usage error and sets
// code to its exit code.
bool checkPositional(CliSession& session, const QStringList& args, qsizetype min, qsizetype max,
                     int& code);

} // namespace gainbook
