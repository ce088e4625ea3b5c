#include "store/fast_statement.h"
#include "store/sql.h"
#include "store/store_fault.h"
#include "support/test_database.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

// The statements of the bulk writes go around the Qt driver: what they store
// and how they fail must be what the driver's would.
class TestFastStatement : public QObject {
    Q_OBJECT

private slots:
    void storesWhatTheDriverStores_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNull");
        QTest::newRow("null text is NULL") << QString() << true;
        QTest::newRow("empty text stays text") << QStringLiteral("") << false;
        QTest::newRow("outside the basic plane") << QStringLiteral("A\U0001F600B") << false;
        QTest::newRow("quote and nul-free") << QStringLiteral("O'Neil \"x\"") << false;
    }
    void storesWhatTheDriverStores() {
        QFETCH(QString, text);
        QFETCH(bool, isNull);
        TestDatabase t;
        runQuery(t.connection(), QStringLiteral("CREATE TABLE T (A TEXT, B INTEGER, C REAL)"));
        FastStatement insert(t.connection(), QStringLiteral("INSERT INTO T VALUES (?, ?, ?)"));
        insert.run(text, qint64(9007199254740993), 0.1);
        insert.run(text, qint64(-1), -2.5);
        QCOMPARE(insert.lastInsertId(), 2);
        QSqlQuery read = runQuery(
            t.connection(), QStringLiteral("SELECT A, A IS NULL, B, C FROM T ORDER BY rowid"));
        QVERIFY(read.next());
        QCOMPARE(read.value(1).toBool(), isNull);
        if (!isNull)
            QCOMPARE(read.value(0).toString(), text);
        QCOMPARE(read.value(2).toLongLong(), 9007199254740993);
        QCOMPARE(read.value(3).toDouble(), 0.1);
    }

    void refusalIsTheDriversError() {
        TestDatabase t;
        runQuery(t.connection(),
                 QStringLiteral("CREATE TABLE T (A INTEGER NOT NULL, B INTEGER, UNIQUE (A, B))"));
        FastStatement insert(t.connection(), QStringLiteral("INSERT INTO T VALUES (?, ?)"));
        insert.run(qint64(1), qint64(2));
        try {
            insert.run(qint64(1), qint64(2));
            QFAIL("a repeated key was taken");
        } catch (const StoreError& error) {
            QVERIFY(error.isDuplicateKey());
            QCOMPARE(storeFault(error.sqlError()), StoreFault::None);
        }
        // The statement is ready again after a refusal, without the old values.
        insert.run(qint64(1), qint64(3));
        QSqlQuery count = runQuery(t.connection(), QStringLiteral("SELECT COUNT(*) FROM T"));
        QVERIFY(count.next());
        QCOMPARE(count.value(0).toInt(), 2);
        QVERIFY_THROWS_EXCEPTION(StoreError,
                                 FastStatement(t.connection(), QStringLiteral("INSERT INTO Nope")));
    }
};

GAINBOOK_GUILESS_TEST(TestFastStatement)
#include "test_fast_statement.moc"
