#pragma once

#include "cli/cli_commands.h"

#include <QTextStream>

namespace gainbook::test {

// One run of gainbook-cli's commands inside the test, both streams caught.
struct CliRun {
    int code;
    QString out;
    QString err;
};

inline CliRun runCliCaught(const QStringList& args) {
    CliRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = runCli(args, out, err);
    out.flush();
    err.flush();
    return r;
}

} // namespace gainbook::test
