// Makes a realistic Gainbook database for benchmarks and manual tries:
//   make_db FILE [--txns N] [--accounts N] [--symbols N] [--tax N] [--seed N]
#include "bench_main.h"
#include "db_generator.h"
#include "store/database.h"
#include "store/store_error.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

using namespace gainbook;

namespace {

int runBench(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    bench::GeneratorOptions options;
    QString path;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto number = [&] { return i + 1 < args.size() ? args[++i].toLongLong() : -1; };
        if (a == QLatin1String("--txns"))
            options.transactions = number();
        else if (a == QLatin1String("--accounts"))
            options.accounts = int(number());
        else if (a == QLatin1String("--symbols"))
            options.symbols = int(number());
        else if (a == QLatin1String("--tax"))
            options.taxRecords = number();
        else if (a == QLatin1String("--seed"))
            options.seed = quint32(number());
        else if (!a.startsWith(u'-') && path.isEmpty())
            path = a;
        else {
            err << "usage: make_db FILE [--txns N] [--accounts N] [--symbols N] [--tax N] "
                   "[--seed N]\n";
            return 2;
        }
    }
    if (path.isEmpty() || options.transactions < 0 || options.accounts < 1 || options.symbols < 1) {
        err << "usage: make_db FILE [--txns N] [--accounts N] [--symbols N] [--tax N] "
               "[--seed N]\n";
        return 2;
    }
    Database db;
    const OpenResult created = db.create(path);
    if (!created.ok()) {
        err << created.message << '\n';
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        bench::generateDatabase(db.connection(), options);
    } catch (const StoreError& e) {
        err << e.message() << '\n';
        return 1;
    }
    QTextStream(stdout) << "made " << path << ": " << options.transactions << " transactions in "
                        << timer.elapsed() << " ms\n";
    return 0;
}

} // namespace

GAINBOOK_BENCH(make_db, runBench)
