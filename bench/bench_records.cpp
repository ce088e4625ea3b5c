// Times the record views over a generated database of 100,000 transactions:
// the transaction view of the largest account and the tax view, both as the
// headless tool prints them. Then, with the account processed, the writes
// that work the wash sales through again: one grid edit of a sell, and a
// capture of 100 trades into another account, beside the refresh alone.
//   bench_records [--txns N]
#include "bench_main.h"
#include "capture/capture_run.h"
#include "cli/cli_commands.h"
#include "db_generator.h"
#include "main_window/record_editing.h"
#include "matching/process_session.h"
#include "matching/wash_sale_refresh.h"
#include "platform/prompter.h"
#include "store/database.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "store/txn_table.h"

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

class SilentPrompter final : public Prompter {
public:
    void message(const QString&) override {}
    bool ask(const QString&) override { return true; }
};

double msSince(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

// The writes after processing, each timed on its own.
void timeFreshWrites(const QString& path, const QString& account, QTextStream& out) {
    Database db;
    if (!db.open(path).ok())
        qFatal("cannot open %s", qPrintable(path));
    const QSqlDatabase connection = db.connection();
    SilentPrompter prompter;
    ProcessSession session(connection, prompter);
    session.setAccount(account);
    QElapsedTimer timer;
    timer.start();
    if (!session.Process(unwatchedProgress(), Rerun::Replace).done())
        qFatal("processing failed");
    out << "processed " << account << " in " << timer.elapsed() << " ms\n";

    QSqlQuery sell =
        runQuery(connection,
                 QStringLiteral("SELECT MAX(ID) FROM Txn WHERE Type = 'Sold' AND AccountName = ?"),
                 {account});
    sell.next();
    const qint64 sellId = sell.value(0).toLongLong();
    QVector<TxnRecord> captured;
    for (int i = 0; i < 100; ++i) {
        TxnRecord r;
        r.accountName = QStringLiteral("Captured");
        r.txnMonth = QStringLiteral("Dec");
        r.symbol = QStringLiteral("S%1").arg(i % 50);
        r.quantity = Quantity::whole(10);
        r.type = i % 2 ? kSold : kBought;
        r.txnDate = QDate(2000, 12, 1 + i % 28);
        r.amount = Money::fromDouble(i % 2 ? 120 : -100);
        r.memo = QStringLiteral("OK");
        captured.append(r);
    }
    for (int round = 0; round < 3; ++round) {
        RecordRow<TxnRecord> row{*selectTxnById(connection, sellId), {}};
        row.record.amount += Money::fromDouble(1);
        row.state.changed = true;
        QVector<RecordRow<TxnRecord>> rows{row};
        timer.restart();
        saveChangedRows(rows, connection, account, prompter);
        const double edit = msSince(timer);
        timer.restart();
        if (!writeCapturedRows(connection, captured).done())
            qFatal("capture failed");
        const double capture = msSince(timer);
        timer.restart();
        {
            Transaction transaction(connection);
            refreshWashSales(connection);
            transaction.commit();
        }
        const double refresh = msSince(timer);
        out << "round " << round + 1 << ": grid edit of a sell " << QString::number(edit, 'f', 1)
            << " ms; capture of 100 trades " << QString::number(capture, 'f', 1)
            << " ms; the wash-sale refresh alone " << QString::number(refresh, 'f', 1) << " ms\n";
        out.flush();
    }
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
    timeFreshWrites(path, account, out);
    return 0;
}

} // namespace

GAINBOOK_BENCH(bench_records, runBench)
