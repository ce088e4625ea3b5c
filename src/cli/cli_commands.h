#pragma once

#include <QStringList>
#include <QTextStream>
#include <QVector>

namespace gainbook {

class CliSession;

// One command of the headless tool. The handler gets the arguments after
// the command name and returns the exit code; the arguments it takes and
// its help are in cli_text.txt.
struct CliCommand {
    QString name;
    bool needsDatabase;
    int (*run)(CliSession& session, const QStringList& args);
};

const QVector<CliCommand>& cliCommands();

// Runs the tool with the arguments after the program name.
int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace gainbook
