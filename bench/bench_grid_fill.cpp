// How long the main window's transaction grid takes to show an account of
// many transactions: the fill from the database into the grid's model of
// records, the first paint of the grid, and a jump to the last row.
//
//   bench_grid_fill [TRANSACTIONS...]     (default: 10000 100000 1000000)
//
// One store per size, so the figures show how the fill grows.

#include "bench_main.h"
#include "db_generator.h"
#include "main_window/txn_view.h"
#include "store/database.h"
#include "widgets/record_table_model.h"
#include "widgets/spread_grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

using namespace gainbook;

namespace {

int measure(qint64 transactions) {
    QTemporaryDir dir;
    Database database;
    if (!database.create(dir.filePath("bench.db")).ok())
        return 1;
    bench::GeneratorOptions options;
    options.transactions = transactions;
    options.accounts = 1; // every transaction in the one account the grid shows
    QElapsedTimer timer;
    timer.start();
    bench::generateDatabase(database.connection(), options);
    const qint64 generated = timer.elapsed();
    const QString account = bench::generatedAccountName(0);

    RecordTableModel<TxnRecord> model(std::make_unique<TxnColumns>());
    SpreadGrid grid;
    grid.setGridModel(&model);
    grid.resize(900, 600);
    grid.show();
    QCoreApplication::processEvents();

    double firstFill = 0;
    double best = 1e300;
    double paint = 0;
    double scroll = 0;
    for (int run = 0; run < 3; ++run) {
        model.clear();
        QCoreApplication::processEvents();
        timer.restart();
        // As the main window fills it: straight into the model's rows.
        model.fillRecords([&](QVector<TxnRow>& rows) {
            FillGrid1(database.connection(), account, std::nullopt, rows);
        });
        const double fill = timer.nsecsElapsed() / 1e6;
        if (run == 0)
            firstFill = fill;
        timer.restart();
        grid.repaint();
        const double painted = timer.nsecsElapsed() / 1e6;
        timer.restart();
        grid.scrollToBottom();
        grid.repaint();
        const double scrolled = timer.nsecsElapsed() / 1e6;
        if (fill < best) {
            best = fill;
            paint = painted;
            scroll = scrolled;
        }
    }
    std::printf("transactions: %lld (generated in %lld ms)\n", qint64(model.rows()), generated);
    std::printf("  FillGrid1 into the shown grid: %.1f ms (best of 3)\n", best);
    // The first fill also has the model's rows to allocate, as the first
    // look at an account in a session has.
    std::printf("  first of the fills:            %.1f ms\n", firstFill);
    std::printf("  first paint after the fill:    %.1f ms\n", paint);
    std::printf("  fill and first paint:          %.1f ms\n", best + paint);
    std::printf("  jump to the last row:          %.1f ms\n", scroll);
    std::fflush(stdout);
    return 0;
}

int runBench(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<qint64> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QByteArray(argv[i]).toLongLong();
    if (sizes.isEmpty())
        sizes = {10000, 100000, 1000000};
    for (const qint64 size : sizes) {
        if (const int failed = measure(size))
            return failed;
    }
    return 0;
}

} // namespace

GAINBOOK_BENCH(bench_grid_fill, runBench)
