// Times the record views over a generated database of 100,000 transactions:
// the transaction view of the largest account and the tax view, both as the
// headless tool prints them.
//   bench_records [--txns N]
#include "bench_main.h"
#include "cli/cli_commands.h"
#include "db_generator.h"
#include "store/database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

using namespace gainbook;

namespace {

struct Timing {
    double ms;
    qsizetype lines;
};

Timing timeCommand(const QStringList& args) {
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    QElapsedTimer timer;
    timer.start();
    const int code = runCli(args, o, e);
    o.flush();
    const double ms = timer.nsecsElapsed() / 1e6;
    if (code != 0)
        qFatal("%s failed: %s", qPrintable(args.join(u' ')), qPrintable(err));
    return {ms, out.count(u'\n')};
}

int runBench(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    bench::GeneratorOptions options;
    options.transactions = 100000;
    options.accounts = 1;
    const QStringList args = app.arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--txns")); at > 0 && at + 1 < args.size())
        options.transactions = args[at + 1].toLongLong();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    QElapsedTimer timer;
    timer.start();
    {
        Database db;
        if (!db.create(path).ok())
            qFatal("cannot create %s", qPrintable(path));
        bench::generateDatabase(db.connection(), options);
    }
    QTextStream out(stdout);
    out << "generated " << options.transactions << " transactions, " << (options.transactions / 4)
        << " tax records in " << timer.elapsed() << " ms\n";

    const QString account = bench::generatedAccountName(0);
    for (int round = 0; round < 3; ++round) {
        const Timing txns =
            timeCommand({QStringLiteral("--db"), path, QStringLiteral("txns"), account});
        const Timing tax =
            timeCommand({QStringLiteral("--db"), path, QStringLiteral("tax"), account});
        out << "round " << round + 1 << ": txns " << txns.lines - 1 << " rows in "
            << QString::number(txns.ms, 'f', 1) << " ms; tax " << tax.lines - 1 << " rows in "
            << QString::number(tax.ms, 'f', 1) << " ms\n";
        out.flush();
    }
    return 0;
}

} // namespace

GAINBOOK_BENCH(bench_records, runBench)
