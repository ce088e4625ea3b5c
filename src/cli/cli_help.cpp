#include "cli/cli_help.h"

#include "cli/cli_commands.h"

// Made from cli_text.txt when the project builds: the one text of the
// tool's help, its manual page and docs/cli.md.
#include "cli_text_data.h"

namespace gainbook {

namespace {

#ifndef GAINBOOK_VERSION
#define GAINBOOK_VERSION "0"
#endif

const cli_text::Entry* describedCommand(const QString& name) {
    for (const cli_text::Entry& entry : cli_text::kCommands)
        if (name == QLatin1String(entry.name))
            return &entry;
    return nullptr;
}

// Breaks a text into lines of at most width columns (a longer word stands
// alone), the lines after the first indented by indent spaces.
QString wrapped(const QString& text, qsizetype indent, qsizetype width) {
    QString result;
    qsizetype column = indent;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (column > indent && column + 1 + word.size() > width) {
            result += u'\n' + QString(indent, u' ');
            column = indent;
        } else if (column > indent) {
            result += u' ';
            ++column;
        }
        result += word;
        column += word.size();
    }
    return result;
}

} // namespace

const QString kGlobalOptions = QString::fromUtf8(cli_text::kGlobalOptions);

QString versionText() {
    return QStringLiteral("gainbook-cli ") + QStringLiteral(GAINBOOK_VERSION);
}

QString commandArguments(const QString& name) {
    const cli_text::Entry* entry = describedCommand(name);
    return entry ? QString::fromUtf8(entry->arguments) : QString();
}

QString commandCall(const QString& name) {
    const QString arguments = commandArguments(name);
    return arguments.isEmpty() ? name : name + u' ' + arguments;
}

QString commandUsage(const CliCommand& command) {
    return QStringLiteral("gainbook-cli ") + kGlobalOptions + u' ' + commandCall(command.name);
}

QString commandSummary(const QString& name) {
    const cli_text::Entry* entry = describedCommand(name);
    return entry ? QString::fromUtf8(entry->help) : QString();
}

QStringList describedCommands() {
    QStringList names;
    for (const cli_text::Entry& entry : cli_text::kCommands)
        names << QString::fromUtf8(entry.name);
    return names;
}

void printHelp(QTextStream& out) {
    const char* lead = "usage: ";
    for (const char* usage : cli_text::kUsages) {
        out << lead << cli_text::kProgram << ' ' << QString::fromUtf8(usage) << '\n';
        lead = "       ";
    }
    out << '\n' << QString::fromUtf8(cli_text::kTagline) << "\n\noptions:\n";
    // The options in a column beside their names, as a terminal shows them.
    constexpr qsizetype kNameWidth = 15;
    for (const cli_text::Entry& option : cli_text::kOptions) {
        const QString name = QString::fromUtf8(option.name);
        out << "  " << name.leftJustified(kNameWidth - 1) << ' '
            << wrapped(QString::fromUtf8(option.help), kNameWidth + 2, 79) << '\n';
    }
    out << "\ncommands:\n";
    for (const CliCommand& command : cliCommands())
        out << "  " << commandCall(command.name) << "\n      " << commandSummary(command.name)
            << '\n';
    out.flush();
}

void printCommandHelp(QTextStream& out, const CliCommand& command) {
    out << "usage: " << commandUsage(command) << "\n\n" << commandSummary(command.name) << '\n';
    out.flush();
}

bool asksForHelp(const QStringList& args) {
    return args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"));
}

} // namespace gainbook
