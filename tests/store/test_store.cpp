#include "store/database.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "store/txn_table.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

class TestStore : public QObject {
    Q_OBJECT

private slots:
    void openTellsFailuresApart() {
        QTemporaryDir dir;
        Database db;
        QCOMPARE(db.open(dir.filePath("missing.db")).status, OpenStatus::NotFound);
        QVERIFY(!QFile::exists(dir.filePath("missing.db")));

        const QString text = dir.filePath("text.db");
        test::writeBytes(text, "this is not a database file at all, just some text\n");
        const OpenResult notDb = db.open(text);
        QCOMPARE(notDb.status, OpenStatus::NotADatabase);
        QVERIFY(notDb.message.contains(QLatin1String("not a Gainbook database")));
        QVERIFY(!db.isOpen());

        // A SQLite file of some other program: no Txn table.
        const QString other = dir.filePath("other.db");
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "raw");
            raw.setDatabaseName(other);
            QVERIFY(raw.open());
            QSqlQuery(raw).exec("CREATE TABLE Things (a)");
            raw.close();
        }
        QSqlDatabase::removeDatabase("raw");
        const OpenResult noTxn = db.open(other);
        QCOMPARE(noTxn.status, OpenStatus::MissingTable);
        QVERIFY(noTxn.message.contains(QLatin1String("Txn")));
    }

    void createNeverOverwrites() {
        TestDatabase t;
        t.addTxn("A", "Jan", "IBM", 10, kBought, QDate(2000, 1, 3), 100);
        Database other;
        const OpenResult result = other.create(t.path());
        QVERIFY(!result.ok());
        QCOMPARE(result.message, QStringLiteral("File exists: %1").arg(t.path()));
        QCOMPARE(selectTxns(t.connection(), "A").size(), 1);
    }

    void quotesAndNonAsciiRoundTrip() {
        TestDatabase t;
        const QString account = QStringLiteral("O'Brien IRA – Zürich");
        const QString month = QStringLiteral("Jan '00");
        const qint64 id =
            t.addTxn(account, month, "AT&T 'A'", 1.5, kBought, QDate(2000, 1, 3), -12.25, "it's");
        const auto rows = selectTxns(t.connection(), account, month);
        QCOMPARE(rows.size(), 1);
        const TxnRecord& r = rows[0];
        QCOMPARE(QStringList({QString::number(r.id), r.accountName, r.txnMonth, r.symbol,
                              r.quantity.text(), r.txnDate.toString(Qt::ISODate), r.memo}),
                 QStringList({QString::number(id), account, month, "AT&T 'A'", "1.5", "2000-01-03",
                              "it's"}));

        deleteTxnsOfMonth(t.connection(), account, month);
        QVERIFY(!accountHasTxns(t.connection(), account));
    }

    void idsAre64BitAndNeverReused() {
        TestDatabase t;
        runQuery(t.connection(), "INSERT INTO Txn (ID, AccountName) VALUES (5000000000, 'A')");
        const qint64 next = t.addTxn("A", "M", "X", 1, kBought, QDate(2000, 1, 1), 1);
        QCOMPARE(next, Q_INT64_C(5000000001));
        deleteTxn(t.connection(), next);
        QCOMPARE(t.addTxn("A", "M", "X", 1, kBought, QDate(2000, 1, 1), 1), Q_INT64_C(5000000002));
    }

    void transactionRollsBackUnlessCommitted() {
        TestDatabase t;
        try {
            Transaction tx(t.connection());
            t.addTxn("A", "M", "X", 1, kBought, QDate(2000, 1, 1), 1);
            runQuery(t.connection(), "INSERT INTO NoSuchTable VALUES (1)");
            tx.commit();
            QFAIL("the bad statement should have thrown");
        } catch (const StoreError& error) {
            QVERIFY(error.message().contains(QLatin1String("NoSuchTable")));
        }
        QVERIFY(!accountHasTxns(t.connection(), "A"));
        {
            Transaction tx(t.connection());
            t.addTxn("A", "M", "X", 1, kBought, QDate(2000, 1, 1), 1);
            tx.commit();
        }
        QVERIFY(accountHasTxns(t.connection(), "A"));
    }

    void taxRecordsByDateSoldWithinBounds() {
        TestDatabase t;
        t.addTax("A", "LATE", 1, QDate(1999, 1, 1), QDate(2000, 12, 31), 1, 2);
        t.addTax("A", "EARLY", 1, QDate(1999, 1, 1), QDate(2000, 1, 1), 1, 2);
        t.addTax("A", "OUT", 1, QDate(1999, 1, 1), QDate(2001, 1, 1), 1, 2);
        t.addTax("A", "BEFORE", 1, QDate(), QDate(1999, 12, 31), 1, 2);
        t.addTax("B", "OTHER", 1, QDate(1999, 1, 1), QDate(2000, 6, 1), 1, 2);
        QStringList symbols;
        for (const TaxRecord& r :
             selectTaxRecs(t.connection(), "A", QDate(2000, 1, 1), QDate(2000, 12, 31)))
            symbols << r.symbol;
        QCOMPARE(symbols, (QStringList{"EARLY", "LATE"}));
        QCOMPARE(selectTaxRecsSold(t.connection(), QDate(2000, 1, 1), QDate(2000, 12, 31)).size(),
                 3);
        QCOMPARE(selectTaxAccounts(t.connection()), (QStringList{"A", "B"}));
    }

    void updatesReportMissingRecords() {
        TestDatabase t;
        auto rec = *selectTaxRecById(
            t.connection(), t.addTax("A", "X", 1, QDate(1999, 1, 1), QDate(2000, 2, 1), 1, 2));
        rec.dateAcquired = QDate();
        QVERIFY(updateTaxRec(t.connection(), rec));
        QVERIFY(!selectTaxRecById(t.connection(), rec.id)->dateAcquired.isValid());
        deleteTaxRec(t.connection(), rec.id);
        QVERIFY(!updateTaxRec(t.connection(), rec));
    }

    // Memos go in by batches of one statement and a rest row by row: each
    // row gets its own and no other row is touched.
    void memosLandOnTheirRows_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("none") << 0;
        QTest::newRow("a rest only") << 5;
        QTest::newRow("one batch") << 32;
        QTest::newRow("batches and a rest") << 70;
    }
    void memosLandOnTheirRows() {
        QFETCH(int, count);
        TestDatabase t;
        QVector<TxnMemo> memos;
        for (int i = 0; i < 2 * count + 1; ++i) {
            const qint64 id = t.addTxn("A", "M", "X", 1, kBought, QDate(2000, 1, 1), 1, "old");
            if (i % 2 == 1)
                memos.append({id, i % 3 == 0 ? QString() : QStringLiteral("%1.5").arg(i)});
        }
        setTxnMemos(t.connection(), memos);
        QStringList expected;
        for (int i = 0; i < 2 * count + 1; ++i)
            expected << (i % 2 == 0 ? "old" : i % 3 == 0 ? "" : QStringLiteral("%1.5").arg(i));
        QStringList stored;
        for (const TxnRecord& r : selectTxns(t.connection(), "A"))
            stored << r.memo;
        QCOMPARE(stored, expected);
    }
};

GAINBOOK_GUILESS_TEST(TestStore)
#include "test_store.moc"
