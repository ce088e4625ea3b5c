#include "store/database.h"
#include "store/sql.h"
#include "store/store_backup.h"
#include "store/store_fault.h"
#include "store/transaction.h"
#include "store/txn_table.h"
#include "support/file_permissions.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QFile>
#include <QSqlQuery>
#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

// A file of a few hundred rows, closed, so that its pages can be handled.
QString closedFile(TestDatabase& t, int rows = 300) {
    {
        Transaction transaction(t.connection());
        for (int i = 0; i < rows; ++i)
            t.addTxn("A", "Jan", QStringLiteral("SYM%1").arg(i), 10, kBought, QDate(2000, 1, 3),
                     -100);
        transaction.commit();
    }
    const QString path = t.path();
    t.database().close();
    return path;
}

// Overwrites the header of the file's last page.
void damageLastPage(const QString& path) {
    const QByteArray head = test::readBytes(path).left(18);
    QVERIFY(head.size() == 18);
    const int size = (quint8(head[16]) << 8) | quint8(head[17]);
    const int page = size == 1 ? 65536 : size;
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.size() > 4 * page);
    f.seek(qint64(f.size() / page - 1) * page);
    f.write(QByteArray(8, '\xFF'));
}

QStringList symbols(const QSqlDatabase& db) {
    QStringList out;
    for (const TxnRecord& r : selectTxns(db, "A"))
        out << r.symbol;
    return out;
}

// A write through the engine, the way every command writes.
StoreFault faultOfWrite(const QSqlDatabase& db) {
    try {
        Transaction transaction(db);
        runQuery(db, "DELETE FROM Txn");
        transaction.commit();
    } catch (const StoreError& error) {
        return storeFault(error.sqlError());
    }
    return StoreFault::None;
}

} // namespace

class TestStoreHealth : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { permissionsApply_ = test::obeyFilePermissions(); }

    // A page whose header is overwritten is found when the file is opened:
    // the file opens read-only, says what is wrong, and refuses writes.
    void damagedFileOpensReadOnly() {
        TestDatabase t;
        const QString path = closedFile(t);
        damageLastPage(path);

        Database db;
        const OpenResult result = db.open(path);
        QVERIFY2(result.ok(), qPrintable(result.message));
        QVERIFY(db.isReadOnly());
        const QString start = QStringLiteral("The database %1 is damaged (").arg(path);
        QVERIFY2(result.message.startsWith(start), qPrintable(result.message));
        QVERIFY(result.message.endsWith(
            "). It was opened read-only; restore a backup or export your data."));
        QCOMPARE(faultOfWrite(db.connection()), StoreFault::ReadOnly);
    }

    // A file or folder the user may not write opens for reading; writes are
    // refused with the file's own message, and nothing changes.
    void readOnlyOpensForReading_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }
    void readOnlyOpensForReading() {
        QFETCH(bool, folder);
        if (!permissionsApply_)
            QSKIP("file permissions cannot be made to apply to this process");
        TestDatabase t;
        const QString path = closedFile(t, 3);
        const QString locked = folder ? t.folder() : path;
        const auto before = QFile::permissions(locked);
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        const auto restore = qScopeGuard([&] { QFile::setPermissions(locked, before); });

        Database db;
        const OpenResult result = db.open(path);
        QVERIFY2(result.ok(), qPrintable(result.message));
        QVERIFY(result.message.isEmpty());
        QVERIFY(db.isReadOnly());
        QCOMPARE(symbols(db.connection()), (QStringList{"SYM0", "SYM1", "SYM2"}));
        const StoreFault fault = faultOfWrite(db.connection());
        QCOMPARE(fault, StoreFault::ReadOnly);
        QCOMPARE(keepBackup(db.connection()).message, readOnlyMessage(path));
        QCOMPARE(symbols(db.connection()).size(), 3);
    }

    // The backup holds the file as it was; a restore puts every table back,
    // the key counters included, and leaves the backup as it is.
    void backupRestoreRoundTrip() {
        TestDatabase t;
        t.addTxn("A", "Jan", "IBM", 1, kBought, QDate(2000, 1, 3), -1);
        t.addTax("A", "IBM", 1, QDate(2000, 1, 3), QDate(2000, 2, 1), 1, 2);
        QVERIFY(keepBackup(t.connection(), "Processing of A").done());
        const QDateTime taken = backupTime(t.connection());
        QVERIFY(taken.isValid());
        // The question names the step the restore undoes.
        QVERIFY(restoreQuestion(t.connection(), taken)
                    .contains(taken.toString("MM/dd/yyyy hh:mm") + ", before Processing of A? "));
        const qint64 added = t.addTxn("A", "Feb", "MSFT", 2, kSold, QDate(2000, 2, 3), 5);
        runQuery(t.connection(), "DELETE FROM TaxRec");

        const Outcome restored = restoreBackup(t.connection());
        QVERIFY2(restored.done(), qPrintable(restored.message));
        QCOMPARE(symbols(t.connection()), QStringList{"IBM"});
        QSqlQuery tax = runQuery(t.connection(), "SELECT COUNT(*) FROM TaxRec");
        QVERIFY(tax.next());
        QCOMPARE(tax.value(0).toInt(), 1);
        // The next row gets the ID the removed row had.
        QCOMPARE(t.addTxn("A", "Mar", "T", 1, kBought, QDate(2000, 3, 3), -1), added);
        QVERIFY(QFile::exists(backupFileOf(t.path())));
    }

    // The copy taken beside a run is the file as it stood when the backup
    // began, whatever the run writes meanwhile; with a page cache too small
    // to hold the run's writes, the run writes its pages out while the copy
    // still reads, and waits for it instead of failing.
    void runBackupIsTheFileBeforeTheRun_data() {
        QTest::addColumn<bool>("checked");
        QTest::newRow("checked at open") << true;
        QTest::newRow("checked beside the run") << false;
    }
    void runBackupIsTheFileBeforeTheRun() {
        QFETCH(bool, checked);
        TestDatabase t;
        const QString path = closedFile(t, 2000);
        Database db;
        QVERIFY(db.open(path, checked ? Database::HealthCheckTime::AtOpen
                                      : Database::HealthCheckTime::WithRun)
                    .ok());
        QCOMPARE(db.healthCheckPending(), !checked);
        runQuery(db.connection(), "PRAGMA cache_size = 10");
        RunBackup backup(db.connection(),
                         checked ? RunBackup::Check::Done : RunBackup::Check::Pending);
        Transaction run(db.connection());
        runQuery(db.connection(), "DELETE FROM Txn");
        for (int i = 0; i < 3000; ++i)
            runQuery(db.connection(), "INSERT INTO Txn (AccountName, Symbol) VALUES ('A', ?)",
                     {QStringLiteral("NEW%1").arg(i)});
        const Outcome kept = backup.finish();
        QVERIFY2(kept.done(), qPrintable(kept.message));
        run.commit();
        QCOMPARE(symbols(db.connection()).size(), 3000);

        QSqlDatabase copy = QSqlDatabase::addDatabase("QSQLITE", "run-backup");
        copy.setDatabaseName(backupFileOf(path));
        QVERIFY(copy.open());
        QCOMPARE(symbols(copy).size(), 2000);
        QCOMPARE(symbols(copy).first(), QStringLiteral("SYM0"));
        copy.close();
        copy = QSqlDatabase();
        QSqlDatabase::removeDatabase("run-backup");
    }

    // A file opened without its check and found damaged beside the run:
    // the run gets no backup and stops, the old backup stays.
    void damageFoundBesideTheRun() {
        TestDatabase t;
        QVERIFY(keepBackup(t.connection()).done());
        const QByteArray oldBackup = test::readBytes(backupFileOf(t.path()));
        const QString path = closedFile(t);
        damageLastPage(path);

        Database db;
        QVERIFY(db.open(path, Database::HealthCheckTime::WithRun).ok());
        QVERIFY(db.healthCheckPending());
        QVERIFY(!db.isReadOnly());
        RunBackup backup(db.connection(), RunBackup::Check::Pending);
        const QString damage = backup.damage();
        QVERIFY(!damage.isEmpty());
        QCOMPARE(backup.finish().message, damagedRunMessage(path, damage));
        QCOMPARE(test::readBytes(backupFileOf(path)), oldBackup);
        QCOMPARE(QDir(t.folder()).entryList(QDir::Files), (QStringList{"test.db", "test.db.bak"}));
    }

    void restoreRefusesABadBackup_data() {
        QTest::addColumn<QByteArray>("backup"); // empty: no backup at all
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << QByteArray()
                              << "There is no backup of the database %1 to restore.";
        QTest::newRow("not a database")
            << QByteArray("plain text, not a database file\n")
            << "The backup %1.bak could not be restored: file is not a database; nothing was "
               "changed";
    }
    void restoreRefusesABadBackup() {
        QFETCH(QByteArray, backup);
        QFETCH(QString, message);
        TestDatabase t;
        t.addTxn("A", "Jan", "IBM", 1, kBought, QDate(2000, 1, 3), -1);
        if (!backup.isEmpty())
            test::writeBytes(backupFileOf(t.path()), backup);
        const Outcome outcome = restoreBackup(t.connection());
        QVERIFY(!outcome.done());
        QVERIFY2(outcome.message.startsWith(message.arg(t.path())), qPrintable(outcome.message));
        QCOMPARE(symbols(t.connection()), QStringList{"IBM"});
    }

private:
    bool permissionsApply_ = false;
};

GAINBOOK_GUILESS_TEST(TestStoreHealth)
#include "test_store_health.moc"
