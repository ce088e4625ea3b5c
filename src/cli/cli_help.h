#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace gainbook {

struct CliCommand;

// The options that stand before the command, as the usage lines show them.
extern const QString kGlobalOptions;

// "gainbook-cli 2.0": the program and the version it was built as.
QString versionText();

// What a command takes, as its usage line shows it ("ACCOUNT [MONTH]");
// empty for a command that takes nothing or is not described.
QString commandArguments(const QString& name);

// The command with what it takes: "txns ACCOUNT [MONTH]".
QString commandCall(const QString& name);

// The usage line of one command, without "usage: ".
QString commandUsage(const CliCommand& command);

// One sentence on what a command does; empty for a name without one.
QString commandSummary(const QString& name);

// The commands cli_text.txt describes, in its order.
QStringList describedCommands();

// gainbook-cli --help: the usage line, the options and every command.
void printHelp(QTextStream& out);

// gainbook-cli COMMAND --help: its usage line and what it does.
void printCommandHelp(QTextStream& out, const CliCommand& command);

// True when the arguments after a command ask for its help.
bool asksForHelp(const QStringList& args);

} // namespace gainbook
