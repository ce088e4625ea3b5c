#include "store/row_writer.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "store/txn_table.h"
#include "support/test_database.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

TxnRecord txn(const QString& symbol) {
    TxnRecord r;
    r.accountName = QStringLiteral("A");
    r.txnMonth = QStringLiteral("All");
    r.symbol = symbol;
    r.quantity = Quantity::whole(1);
    r.type = QStringLiteral("Bought");
    r.txnDate = QDate(2000, 3, 1);
    r.amount = Money::fromDouble(10);
    return r;
}

QStringList storedSymbols(const QSqlDatabase& db) {
    QSqlQuery q = runQuery(db, QStringLiteral("SELECT Symbol FROM Txn ORDER BY ID"));
    QStringList symbols;
    while (q.next())
        symbols << q.value(0).toString();
    return symbols;
}

} // namespace

// The one loop that writes a batch of rows for capture and TXF import: what
// it keeps when the database refuses a row on the way.
class TestRowWriter : public QObject {
    Q_OBJECT

private slots:
    void refusedRowEndsTheBatch_data() {
        QTest::addColumn<QStringList>("symbols");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<int>("refused");
        QTest::newRow("every row") << QStringList{"A", "B"} << QStringList{"A", "B"} << -1;
        QTest::newRow("nothing to write") << QStringList{} << QStringList{} << -1;
        QTest::newRow("refused in the middle")
            << QStringList{"A", "B", "BAD", "C"} << QStringList{"A", "B"} << 2;
        QTest::newRow("refused first") << QStringList{"BAD", "A"} << QStringList{} << 0;
    }
    void refusedRowEndsTheBatch() {
        QFETCH(QStringList, symbols);
        QFETCH(QStringList, kept);
        QFETCH(int, refused);
        TestDatabase t;
        runQuery(t.connection(),
                 "CREATE TRIGGER refuse BEFORE INSERT ON Txn WHEN NEW.Symbol = 'BAD' "
                 "BEGIN SELECT RAISE(ABORT, 'refused by test'); END");
        TxnWriter writer(t.connection());
        const WrittenRows written = writeRows(
            t.connection(), symbols, [&](const QString& symbol) { writer.insert(txn(symbol)); });
        QCOMPARE(written.count, qint64(kept.size()));
        QCOMPARE(written.refusedRow, qsizetype(refused));
        QCOMPARE(written.complete(), refused < 0);
        QCOMPARE(written.failure.contains("refused by test"), refused >= 0);
        QCOMPARE(storedSymbols(t.connection()), kept);
        // The transaction is over either way.
        QVERIFY(t.connection().transaction());
        QVERIFY(t.connection().rollback());
    }

    // A large batch may build the table's indexes after its rows: whatever
    // way it ends, the indexes are all there and hold exactly the rows kept.
    void largeBatchKeepsIndexes_data() {
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("batch");
        QTest::addColumn<int>("refusedAt"); // -1: none
        QTest::addColumn<int>("cancelAt");  // -1: none
        QTest::addColumn<int>("kept");
        QTest::newRow("into an empty table") << 0 << 6000 << -1 << -1 << 6000;
        QTest::newRow("into a larger table") << 10000 << 6000 << -1 << -1 << 6000;
        QTest::newRow("refused halfway") << 0 << 6000 << 3000 << -1 << 3000;
        QTest::newRow("cancelled halfway") << 0 << 6000 << -1 << 3000 << 0;
        QTest::newRow("cancelled at the end") << 100 << 6000 << -1 << 6000 << 0;
    }
    void largeBatchKeepsIndexes() {
        QFETCH(int, held);
        QFETCH(int, batch);
        QFETCH(int, refusedAt);
        QFETCH(int, cancelAt);
        QFETCH(int, kept);
        TestDatabase t;
        const QSqlDatabase db = t.connection();
        const auto indexes = [&] {
            QSqlQuery q = runQuery(db, "SELECT name, sql FROM sqlite_master WHERE type = 'index' "
                                       "AND tbl_name = 'Txn' ORDER BY name");
            QStringList all;
            while (q.next())
                all << q.value(0).toString() + ": " + q.value(1).toString();
            return all;
        };
        const QStringList before = indexes();
        QVERIFY(before.size() >= 3);
        {
            Transaction fill(db);
            TxnWriter old(db);
            TxnRecord r = txn("OLD");
            r.accountName = "Old";
            for (int i = 0; i < held; ++i)
                old.insert(r);
            fill.commit();
        }
        runQuery(db, "CREATE TRIGGER refuse BEFORE INSERT ON Txn WHEN NEW.Symbol = 'BAD' "
                     "BEGIN SELECT RAISE(ABORT, 'refused by test'); END");
        std::optional<TxnWriter> writer;
        Progress progress([&](qint64 done, qint64) { return done != cancelAt; });
        WrittenRows written;
        bool cancelled = false;
        try {
            written = writeIndexedRows(
                db, batch,
                [&](qsizetype row) {
                    if (!writer)
                        writer.emplace(db);
                    writer->insert(txn(row == refusedAt ? "BAD" : "NEW"));
                },
                progress, "Txn");
        } catch (const RunCancelled&) {
            cancelled = true;
        }
        QVERIFY2(written.failure.isEmpty() || refusedAt >= 0, qPrintable(written.failure));
        QCOMPARE(cancelled, cancelAt >= 0);
        QCOMPARE(written.count, qint64(cancelled ? 0 : kept));
        QCOMPARE(indexes(), before);
        QSqlQuery check = runQuery(db, "PRAGMA integrity_check");
        QVERIFY(check.next());
        QCOMPARE(check.value(0).toString(), "ok");
        QSqlQuery count = runQuery(db, "SELECT COUNT(*) FROM Txn INDEXED BY TxnByAccountDate "
                                       "WHERE AccountName = 'A'");
        QVERIFY(count.next());
        QCOMPARE(count.value(0).toInt(), kept);
    }

    // A batch that cannot begin keeps nothing and writes nothing.
    void transactionThatCannotBegin() {
        TestDatabase t;
        QVERIFY(t.connection().transaction());
        int calls = 0;
        const WrittenRows written =
            writeIndexedRows(t.connection(), 3, [&](qsizetype) { ++calls; });
        QVERIFY(t.connection().rollback());
        QCOMPARE(calls, 0);
        QCOMPARE(written.count, 0);
        QCOMPARE(written.refusedRow, -1);
        QVERIFY(!written.complete());
    }
};

GAINBOOK_GUILESS_TEST(TestRowWriter)
#include "test_row_writer.moc"
