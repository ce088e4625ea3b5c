#include "store/row_writer.h"
#include "store/sql.h"
#include "store/txn_table.h"
#include "support/test_database.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

TxnRecord txn(const QString& symbol) {
    TxnRecord r;
    r.accountName = QStringLiteral("A");
    r.txnMonth = QStringLiteral("All");
    r.symbol = symbol;
    r.quantity = 1;
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

QTEST_GUILESS_MAIN(TestRowWriter)
#include "test_row_writer.moc"
