// Whether a large insert gains from dropping the secondary indexes of its
// table and building them again after the rows are in, or from a larger page
// cache, against the plain insert with the indexes kept up row by row. Each
// way writes the same rows in one transaction with one prepared statement,
// into a store that already holds EXISTING rows of other accounts (the index
// rebuild pays for those too).
//
//   bench_bulk_insert [ROWS] [EXISTING]     (defaults 50000 and 0)
//
// Prints the best of three runs of each way, for Txn (a capture) and TaxRec
// (a TXF or realized-gain import).

#include "bench_main.h"
#include "store/database.h"
#include "store/schema.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "store/txn_table.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace gainbook;

namespace {

enum class Way { Kept, Rebuilt, LargeCache };

TxnRecord txnRow(qint64 i, const QString& account) {
    static const char* const symbols[] = {"IBM", "MSFT", "AAPL", "CSCO", "ORCL", "QCOM", "YHOO"};
    TxnRecord r;
    r.accountName = account;
    r.txnMonth = QStringLiteral("All");
    r.symbol = QString::fromLatin1(symbols[i % 7]);
    r.quantity = Quantity::whole(10 + i % 90);
    r.type = i % 3 == 0 ? QStringLiteral("Sold") : QStringLiteral("Bought");
    r.txnDate = QDate(2024, 1, 1).addDays(int(i % 360));
    r.amount = Money::fromDouble(100.0 + double(i % 1000));
    return r;
}

TaxRecord taxRow(qint64 i, const QString& account) {
    TaxRecord r;
    r.accountName = account;
    r.symbol = QStringLiteral("SYM%1").arg(i % 50);
    r.quantity = Quantity::whole(10 + i % 90);
    r.dateAcquired = QDate(2023, 1, 1).addDays(int(i % 360));
    r.dateSold = QDate(2024, 1, 1).addDays(int(i % 360));
    r.cost = Money::fromDouble(100.0 + double(i % 1000));
    r.salePrice = Money::fromDouble(120.0 + double(i % 1000));
    r.memo = QStringLiteral(" ");
    return r;
}

// The CREATE statements of table's secondary indexes and their names.
QStringList indexesOf(const QString& table, QStringList* names) {
    QStringList creates;
    for (const QString& sql : schemaIndexes()) {
        if (!sql.contains(QStringLiteral(" ON ") + table + u' '))
            continue;
        creates << sql;
        *names << sql.section(u' ', 5, 5);
    }
    return creates;
}

template <typename Insert>
double timeInsert(Database& db, const QString& table, Way way, Insert&& insertAll) {
    QSqlDatabase c = db.connection();
    runQuery(c, way == Way::LargeCache ? QStringLiteral("PRAGMA cache_size = -256000")
                                       : QStringLiteral("PRAGMA cache_size = -32000"));
    QElapsedTimer timer;
    timer.start();
    Transaction transaction(c);
    QStringList names;
    const QStringList creates = indexesOf(table, &names);
    if (way == Way::Rebuilt)
        for (const QString& name : names)
            runQuery(c, QStringLiteral("DROP INDEX ") + name);
    insertAll(c);
    if (way == Way::Rebuilt)
        for (const QString& sql : creates)
            runQuery(c, sql);
    transaction.commit();
    return timer.nsecsElapsed() / 1e6;
}

int runBench(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 rows = argc > 1 ? std::max(1LL, QByteArray(argv[1]).toLongLong()) : 50000;
    const qint64 existing = argc > 2 ? std::max(0LL, QByteArray(argv[2]).toLongLong()) : 0;

    std::printf("%lld rows into a store holding %lld others\n", rows, existing);
    const char* const wayNames[] = {"indexes kept", "indexes rebuilt", "cache 256 MB"};
    for (const QString& table : {QStringLiteral("Txn"), QStringLiteral("TaxRec")}) {
        for (const Way way : {Way::Kept, Way::Rebuilt, Way::LargeCache}) {
            double best = 1e300;
            for (int run = 0; run < 3; ++run) {
                QTemporaryDir dir;
                Database db;
                if (!db.create(dir.filePath(QStringLiteral("bench.db"))).ok())
                    return 1;
                const bool txn = table == QLatin1String("Txn");
                {
                    Transaction fill(db.connection());
                    TxnWriter txns(db.connection());
                    TaxWriter taxes(db.connection());
                    for (qint64 i = 0; i < existing; ++i) {
                        const QString account = QStringLiteral("Old %1").arg(i % 10);
                        if (txn)
                            txns.insert(txnRow(i, account));
                        else
                            taxes.insert(taxRow(i, account));
                    }
                    fill.commit();
                }
                best = std::min(best, timeInsert(db, table, way, [&](const QSqlDatabase& c) {
                                    const QString account = QStringLiteral("New");
                                    if (txn) {
                                        TxnWriter writer(c);
                                        for (qint64 i = 0; i < rows; ++i)
                                            writer.insert(txnRow(i, account));
                                    } else {
                                        TaxWriter writer(c);
                                        for (qint64 i = 0; i < rows; ++i)
                                            writer.insert(taxRow(i, account));
                                    }
                                }));
            }
            std::printf("  %-7s %-16s best %8.1f ms\n", qPrintable(table), wayNames[int(way)],
                        best);
        }
    }
    return 0;
}

} // namespace

GAINBOOK_BENCH(bench_bulk_insert, runBench)
