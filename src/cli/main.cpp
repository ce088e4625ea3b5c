#include "capture/web/browser_setup.h"
#include "cli/cli_commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// The command word, found the way runCli finds it: after the global options
// (--db and --year take the next argument as their value).
const char* commandWord(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--db") == 0 || std::strcmp(argv[i], "--year") == 0) {
            ++i;
            continue;
        }
        if (argv[i][0] != '-')
            return argv[i];
    }
    return "";
}

// Only commands that load pages pay for the browser engine and a graphical
// application object (offscreen when there is no display).
bool needsBrowser(int argc, char* argv[]) {
    return std::strcmp(commandWord(argc, argv), "capture") == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    std::unique_ptr<QCoreApplication> app;
    if (needsBrowser(argc, argv)) {
        gainbook::prepareBrowserEngine();
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Gainbook"));
    QCoreApplication::setOrganizationName(QStringLiteral("Gainbook"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return gainbook::runCli(QCoreApplication::arguments().mid(1), out, err);
}
