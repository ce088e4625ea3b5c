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

    // The last processing run undone: the backup taken before it comes back
    // (what a restore keeps is the store's own test).
    void restoreUndoesTheLastRun() {
        TestDatabase t;
        fill(t);
        QCOMPARE(run({"--db", t.path(), "process", "A"}).code, 0);
        const test::CliRun restored = run({"--db", t.path(), "restore"});
        QVERIFY2(restored.code == 0 &&
                     restored.out.startsWith(
                         QStringLiteral("The database %1 was restored from the backup of ")
                             .arg(t.path())),
                 qPrintable(restored.out));
        QCOMPARE(run({"--db", t.path(), "tax", "A"}).out.count(u'\n'), 1); // the heading alone
    }
};

GAINBOOK_GUILESS_TEST(TestCliStore)
#include "test_cli_store.moc"
