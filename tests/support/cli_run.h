#pragma once

#include "cli/cli_commands.h"

#include <QTextStream>
#include <QtTest>

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

// A step of a session on one database: its exact output and exit code, and
// its standard error, of which a usage error (exit 2) need only show the
// usage. "%db" in the output stands for the database's file.
struct CliStep {
    QStringList args;
    int code;
    QString out;
    QString err;
};

inline void runCliSteps(const QString& database, const QVector<CliStep>& steps) {
    for (const CliStep& step : steps) {
        const CliRun r = runCliCaught(QStringList{"--db", database} + step.args);
        const QByteArray what = step.args.join(u' ').toUtf8();
        QVERIFY2(r.out == QString(step.out).replace("%db", database), what + "\n" + r.out.toUtf8());
        QVERIFY2(r.code == step.code, what + " exit " + QByteArray::number(r.code));
        if (step.code == 2)
            QVERIFY2(r.err.contains("usage: gainbook-cli"), what);
        else
            QVERIFY2(r.err == step.err, what + "\n" + r.err.toUtf8());
    }
}

} // namespace gainbook::test
