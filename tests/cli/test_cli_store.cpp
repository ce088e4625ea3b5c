#include "store/sql.h"
#include "store/store_backup.h"
#include "store/store_fault.h"
#include "support/cli_run.h"
#include "support/file_permissions.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QSqlQuery>
#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

test::CliRun run(const QStringList& args) {
    return test::runCliCaught(args);
}

// The tool as another program: its own process and its own connection.
QProcess* startCli(const QStringList& args, QObject* parent) {
    auto* process = new QProcess(parent);
    process->start(QStringLiteral(GAINBOOK_CLI_PATH), args);
    return process;
}

void fill(TestDatabase& t) {
    t.addTxn("A", "Jan", "IBM", 100, "Bought", QDate(2000, 1, 3), -1000);
    t.addTxn("A", "Feb", "IBM", 50, "Sold", QDate(2000, 2, 7), 800);
}

// A connection of this process that holds the file's write lock (and with
// "EXCLUSIVE" keeps readers out too) until release().
class LockHolder {
public:
    LockHolder(const QString& path, const char* mode) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        db_.setDatabaseName(path);
        held_ = db_.open() && QSqlQuery(db_).exec(QStringLiteral("BEGIN %1").arg(mode));
    }
    ~LockHolder() {
        release();
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    }
    bool held() const { return held_; }
    void release() {
        if (held_)
            QSqlQuery(db_).exec(QStringLiteral("COMMIT"));
        held_ = false;
    }

private:
    QSqlDatabase db_;
    bool held_ = false;
};

} // namespace

class TestCliStore : public QObject {
    Q_OBJECT

private slots:
    // Another program's lock makes every command wait for it, readers and
    // writers alike, instead of failing at once; held beyond the busy
    // timeout, the file is named as in use.
    void waitsForAnotherProgram_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("released");
        QTest::addColumn<QString>("out");
        QTest::newRow("listing") << QStringList{"accounts"} << true
                                 << "Level,Text\n1,A\n2,Jan\n2,Feb\n";
        QTest::newRow("processing") << QStringList{"process", "A"} << true
                                    << "Processing of A wrote 1 tax record to %db.\n";
        QTest::newRow("held beyond the busy timeout") << QStringList{"accounts"} << false << "";
    }
    void waitsForAnotherProgram() {
        QFETCH(QStringList, args);
        QFETCH(bool, released);
        QFETCH(QString, out);
        TestDatabase t;
        fill(t);
        LockHolder lock(t.path(), "EXCLUSIVE");
        QVERIFY(lock.held());
        QProcess* cli = startCli(QStringList{"--db", t.path()} + args, this);
        QVERIFY(cli->waitForStarted());
        if (released) {
            QVERIFY(!cli->waitForFinished(1500)); // still waiting for the lock
            lock.release();
        }
        QVERIFY(cli->waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(cli->readAllStandardError()),
                 released ? QString() : inUseMessage(t.path()) + u'\n');
        QCOMPARE(QString::fromUtf8(cli->readAllStandardOutput()), out.replace("%db", t.path()));
        QCOMPARE(cli->exitCode(), released ? 0 : 1);
    }

    // Two runs of one account at once: the second waits for the first and
    // then finds the account processed, instead of repeating its links.
    void twoProcessRunsTakeTurns() {
        TestDatabase t;
        fill(t);
        LockHolder lock(t.path(), "IMMEDIATE");
        QVERIFY(lock.held());
        QProcess* first = startCli({"--db", t.path(), "process", "A"}, this);
        QProcess* second = startCli({"--db", t.path(), "process", "A"}, this);
        QVERIFY(first->waitForStarted() && second->waitForStarted());
        QTest::qWait(1000);
        lock.release();
        QVERIFY(first->waitForFinished(15000) && second->waitForFinished(15000));
        const QString errors =
            QString::fromUtf8(first->readAllStandardError() + second->readAllStandardError());
        QVERIFY2(first->exitCode() + second->exitCode() == 1, qPrintable(errors));
        QCOMPARE(errors, QStringLiteral("Account already processed: A\n"));
        QSqlQuery links = runQuery(t.connection(), "SELECT COUNT(*) FROM SellLinks");
        QVERIFY(links.next());
        QCOMPARE(links.value(0).toInt(), 1);
    }

    // A read-only file is listed and viewed; commands that write say so
    // and change nothing.
    void readOnlyFile_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("refused");
        for (const QStringList& reader :
             {QStringList{"accounts"}, {"txns", "A"}, {"tax", "A", "--totals"}, {"links", "A"}})
            QTest::newRow(qPrintable(reader[0])) << reader << false;
        for (const QStringList& writer :
             {QStringList{"process", "A"}, {"import-txf", "x.txf"}, {"restore"}})
            QTest::newRow(qPrintable(writer[0])) << writer << true;
    }
    void readOnlyFile() {
        QFETCH(QStringList, args);
        QFETCH(bool, refused);
        if (!test::obeyFilePermissions())
            QSKIP("file permissions cannot be made to apply to this process");
        TestDatabase t;
        fill(t);
        const QString path = t.path();
        t.database().close();
        QFile::setPermissions(path, QFile::ReadOwner);
        const auto restore =
            qScopeGuard([&] { QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner); });
        if (QFileInfo(path).isWritable())
            QSKIP("file permissions do not apply to this process");
        const QByteArray before = test::readBytes(path);
        const test::CliRun r = run(QStringList{"--db", path} + args);
        QCOMPARE(r.code, refused ? 1 : 0);
        QCOMPARE(r.err, refused ? readOnlyMessage(path) + u'\n' : QString());
        QCOMPARE(r.out.isEmpty(), refused);
        QCOMPARE(test::readBytes(path), before);
    }

    // A processing run checks the file beside its work: a damaged file is
    // named, left as it was, and gets no backup.
    void processOfADamagedFile() {
        TestDatabase t;
        fill(t);
        for (int i = 0; i < 300; ++i)
            t.addTxn("A", "Jan", QStringLiteral("S%1").arg(i), 1, "Bought", QDate(2000, 1, 3), -1);
        const QString path = t.path();
        t.database().close();
        QByteArray bytes = test::readBytes(path);
        const qint64 page = 4096;
        QVERIFY(bytes.size() > 4 * page);
        bytes.replace((bytes.size() / page - 1) * page, 8, QByteArray(8, '\xFF')); // last page
        test::writeBytes(path, bytes);
        const test::CliRun processed = run({"--db", path, "process", "A"});
        QCOMPARE(processed.code, 1);
        QVERIFY2(processed.err.startsWith(QStringLiteral("The database %1 is damaged (").arg(path)),
                 qPrintable(processed.err));
        QCOMPARE(test::readBytes(path), bytes);
        QCOMPARE(QDir(t.folder()).entryList(QDir::Files), QStringList{"test.db"});
    }

    // The last processing run undone: the backup taken before it comes back.
    void restoreUndoesTheLastRun() {
        TestDatabase t;
        fill(t);
        QCOMPARE(run({"--db", t.path(), "process", "A"}).code, 0);
        QVERIFY(QFile::exists(backupFileOf(t.path())));
        QVERIFY(run({"--db", t.path(), "links", "A"}).out.count(u'\n') > 1);
        const test::CliRun restored = run({"--db", t.path(), "restore"});
        QCOMPARE(restored.code, 0);
        QVERIFY2(
            restored.out.startsWith(
                QStringLiteral("The database %1 was restored from the backup of ").arg(t.path())),
            qPrintable(restored.out));
        QCOMPARE(run({"--db", t.path(), "tax", "A"}).out.count(u'\n'), 1); // the heading alone
        QCOMPARE(run({"--db", t.path(), "process", "A"}).code, 0);
    }
};

GAINBOOK_GUILESS_TEST(TestCliStore)
#include "test_cli_store.moc"
