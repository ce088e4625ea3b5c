// Times the processing run of one account over generated databases of
// 10,000, 50,000 and 200,000 transactions (half buys, half sells, 500
// symbols, sells before and after their buys), printing transactions per
// second and the peak memory of each run. Each size runs in a process of its
// own so that its peak is its own. Then the run of 50,000 transactions again
// with 100 splits and symbol changes in the store, beside the same run
// without them.
//   bench_matching [--txns N] [--before SHARE] [--no-wash] [--actions N]
// --no-wash turns wash-sale detection off for the account, to show what
// detection adds to the run.
#include "bench_main.h"
#include "db_generator.h"
#include "matching/process_session.h"
#include "platform/prompter.h"
#include "store/account_settings_table.h"
#include "store/database.h"
#include "store/sql.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

using namespace gainbook;
using bench::cpuSeconds;

namespace {

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

qint64 count(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery query = runQuery(db, sql);
    return query.next() ? query.value(0).toLongLong() : 0;
}

int runOne(qint64 transactions, double before, bool wash, int actions) {
    bench::GeneratorOptions options;
    options.transactions = transactions;
    options.accounts = 1;
    options.symbols = 500;
    options.sellsBeforeBuys = before;
    // An account that already holds tax records asks before they are
    // replaced; the run timed here is a first one.
    options.taxRecords = 0;

    QTemporaryDir dir;
    Database db;
    if (!db.create(dir.filePath(QStringLiteral("bench.db"))).ok())
        qFatal("cannot create the database");
    bench::generateDatabase(db.connection(), options);
    bench::generateCorpActions(db.connection(), actions, options.symbols);
    if (!wash)
        setWashSettings(db.connection(), bench::generatedAccountName(0), {false, false, false});
    const long generatedPeak = peakKilobytes();

    bench::AnsweringPrompter prompter(false);
    ProcessSession session(db.connection(), prompter);
    session.setAccount(bench::generatedAccountName(0));
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = cpuSeconds();
    const Outcome outcome = session.Process();
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    if (!outcome.done())
        qFatal("processing failed: %s", qPrintable(outcome.message));
    const long runPeak = peakKilobytes();

    // Save/Recalculate over the links just written.
    timer.restart();
    if (!session.SaveRecalculate().done())
        qFatal("Save/Recalculate failed");
    const double recalcSeconds = timer.nsecsElapsed() / 1e9;

    // The grid as the screen and the tool show it: the typed rows and their
    // texts.
    timer.restart();
    const QVector<MatchRow> rows = session.matchRows();
    qsizetype cells = 0;
    for (const MatchRow& row : rows)
        cells += matchRowTexts(row).size();
    const double gridSeconds = timer.nsecsElapsed() / 1e9;
    if (cells != rows.size() * MatchGridCol::Count)
        qFatal("grid rows incomplete");

    const qint64 sells = count(db.connection(), QStringLiteral("SELECT COUNT(*) FROM Txn WHERE "
                                                               "Type = 'Sold'"));
    const qint64 links = count(db.connection(), QStringLiteral("SELECT COUNT(*) FROM SellLinks"));
    QTextStream out(stdout);
    // The wall time counts waiting for a shared processor; the CPU time
    // does not.
    out << QStringLiteral("%1 actions, ").arg(actions);
    out << QStringLiteral("%1 txns (%2 sells, %3 links): process %4 s wall, %5 s CPU, %6 txns/s; "
                          "Save/Recalculate %11 s; grid of %7 rows %8 s; peak memory %9 MB (%10 "
                          "MB after generating)\n")
               .arg(transactions)
               .arg(sells)
               .arg(links)
               .arg(seconds, 0, 'f', 3)
               .arg(cpu, 0, 'f', 3)
               .arg(transactions / seconds, 0, 'f', 0)
               .arg(rows.size())
               .arg(gridSeconds, 0, 'f', 3)
               .arg(runPeak / 1024.0, 0, 'f', 1)
               .arg(generatedPeak / 1024.0, 0, 'f', 1)
               .arg(recalcSeconds, 0, 'f', 3);
    return 0;
}

int runBench(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    double before = 0.5;
    if (const qsizetype at = args.indexOf(QStringLiteral("--before"));
        at > 0 && at + 1 < args.size())
        before = args[at + 1].toDouble();
    const bool wash = !args.contains(QStringLiteral("--no-wash"));
    int actions = 0;
    if (const qsizetype at = args.indexOf(QStringLiteral("--actions"));
        at > 0 && at + 1 < args.size())
        actions = args[at + 1].toInt();
    if (const qsizetype at = args.indexOf(QStringLiteral("--txns")); at > 0 && at + 1 < args.size())
        return runOne(args[at + 1].toLongLong(), before, wash, actions);

    QTextStream out(stdout);
    out << "processing run of one account, 500 symbols, share of sells before their buy " << before
        << '\n';
    out.flush();
    const auto run = [&](qint64 size, int actionCount) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        QStringList childArgs{QStringLiteral("--txns"),    QString::number(size),
                              QStringLiteral("--before"),  QString::number(before),
                              QStringLiteral("--actions"), QString::number(actionCount)};
        if (!wash)
            childArgs << QStringLiteral("--no-wash");
        // The program holds other benchmarks too: it is told which one.
        child.start(app.applicationFilePath(),
                    QStringList{QStringLiteral("bench_matching")} + childArgs);
        return child.waitForFinished(-1) && child.exitCode() == 0;
    };
    for (const qint64 size : {10000, 50000, 200000}) {
        if (!run(size, 0))
            return 1;
    }
    out << "the same 50,000 transactions with 100 corporate actions\n";
    out.flush();
    return run(50000, 100) ? 0 : 1;
}

} // namespace

GAINBOOK_BENCH(bench_matching, runBench)
