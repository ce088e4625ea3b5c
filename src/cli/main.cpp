#include "cli/cli_commands.h"
#include "platform/batch_memory.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    // Each run of the tool is one batch that ends with the process.
    gainbook::keepFreedMemoryForNextSteps();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Gainbook"));
    QCoreApplication::setOrganizationName(QStringLiteral("Gainbook"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return gainbook::runCli(QCoreApplication::arguments().mid(1), out, err);
}
