// Times the what-if of the lot methods: the five methods run on one
// account's trades read once into memory, over a generated database of 50,000
// transactions (500 symbols, half the sells before their buys), and one
// committed processing run under each method beside it.
//   bench_lot_methods [--txns N]
#include "bench_main.h"
#include "db_generator.h"
#include "matching/lot_methods.h"
#include "matching/process_session.h"
#include "platform/prompter.h"
#include "store/database.h"
#include "store/lot_method_table.h"
#include "store/sell_years.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

using namespace gainbook;
using bench::cpuSeconds;

namespace {

int runBench(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    qint64 transactions = 50000;
    if (const qsizetype at = args.indexOf(QStringLiteral("--txns")); at > 0 && at + 1 < args.size())
        transactions = args[at + 1].toLongLong();

    bench::GeneratorOptions options;
    options.transactions = transactions;
    options.accounts = 1;
    options.symbols = 500;
    options.sellsBeforeBuys = 0.5;
    options.taxRecords = 0;
    QTemporaryDir dir;
    Database db;
    if (!db.create(dir.filePath(QStringLiteral("bench.db"))).ok())
        qFatal("cannot create the database");
    bench::generateDatabase(db.connection(), options);
    const QString account = bench::generatedAccountName(0);
    const TaxYear year = defaultTaxYear(db.connection(), std::nullopt);

    QTextStream out(stdout);
    bench::AnsweringPrompter prompter(true);
    ProcessSession session(db.connection(), prompter);
    session.setAccount(account);
    QElapsedTimer timer;
    for (const LotMethod method : allLotMethods()) {
        setLotMethod(db.connection(), account, {}, method);
        timer.start();
        const double cpuBefore = cpuSeconds();
        if (!session.Process(unwatchedProgress(), Rerun::Replace).done())
            qFatal("processing failed");
        out << QStringLiteral("%1 txns, process under %2: %3 s wall, %4 s CPU\n")
                   .arg(transactions)
                   .arg(lotMethodWord(method))
                   .arg(timer.nsecsElapsed() / 1e9, 0, 'f', 3)
                   .arg(cpuSeconds() - cpuBefore, 0, 'f', 3);
    }
    timer.start();
    const double cpuBefore = cpuSeconds();
    const QVector<MethodFigures> table = compareLotMethods(db.connection(), account, year);
    const double seconds = timer.nsecsElapsed() / 1e9;
    // The wall time counts waiting for a shared processor; the CPU time
    // does not.
    out << QStringLiteral("%1 txns, what-if of %2 methods for %3: %4 s wall, %5 s CPU\n")
               .arg(transactions)
               .arg(table.size())
               .arg(year.year)
               .arg(seconds, 0, 'f', 3)
               .arg(cpuSeconds() - cpuBefore, 0, 'f', 3);
    for (const MethodFigures& figures : table)
        out << "  " << methodFiguresFields(figures).join(QStringLiteral(", ")) << '\n';
    return 0;
}

} // namespace

GAINBOOK_BENCH(bench_lot_methods, runBench)
