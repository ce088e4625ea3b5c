#include "platform/calculator.h"
#include "startup/database_startup.h"
#include "startup/database_switch.h"
#include "store/sql.h"
#include "support/memory_settings.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

const QByteArray kJunk =
    "this is no database, just text that is long enough to look like a header\n";

} // namespace

class TestDatabaseStartup : public QObject {
    Q_OBJECT

private slots:
    // The folder holds good.db and junk.db (no database); the dialog's
    // answers are "new:" or "open:" and a file name, then Cancel.
    void startChoices_data() {
        QTest::addColumn<QString>("stored"); // "" for none
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("asked");
        QTest::addColumn<QStringList>("said"); // a part of each message
        QTest::addColumn<QString>("setting");  // "" for none
        QTest::newRow("cancel ends with a message")
            << "" << QStringList() << 1 << QStringList{noDatabaseMessage()} << "";
        QTest::newRow("a new file is created and remembered")
            << "" << QStringList{"new:mine.db"} << 1 << QStringList() << "mine.db";
        QTest::newRow("creating over a file is refused")
            << "" << QStringList{"new:junk.db"} << 2
            << QStringList{"File exists: ", noDatabaseMessage()} << "";
        QTest::newRow("stored file unusable")
            << "junk.db" << QStringList{"open:good.db"} << 1 << QStringList{"junk.db"} << "good.db";
        QTest::newRow("chosen file unusable") << "" << QStringList{"open:junk.db", "open:good.db"}
                                              << 2 << QStringList{"junk.db"} << "good.db";
    }
    void startChoices() {
        QFETCH(QString, stored);
        QFETCH(QStringList, answers);
        QFETCH(int, asked);
        QFETCH(QStringList, said);
        QFETCH(QString, setting);
        QTemporaryDir dir;
        createDatabaseFile(dir.filePath("good.db"));
        writeBytes(dir.filePath("junk.db"), kJunk);
        MemorySettings settings;
        if (!stored.isEmpty())
            settings.setValue("General", "Database", dir.filePath(stored));
        // The "where is the database" dialog, answered from the script.
        int chooserAsked = 0;
        auto chooser = [&] {
            const QStringList parts = answers.value(chooserAsked++).split(u':');
            return parts.size() < 2
                       ? DatabaseChoice{}
                       : DatabaseChoice{parts[0] == "new" ? DatabaseChoice::CreateNew
                                                          : DatabaseChoice::OpenExisting,
                                        dir.filePath(parts[1])};
        };
        RecordingPrompter prompter;
        Database db;
        QCOMPARE(openDatabaseForStart(db, settings, dir.path(), prompter, chooser),
                 !setting.isEmpty());
        QCOMPARE(chooserAsked, asked);
        QCOMPARE(prompter.messages.size(), said.size());
        for (qsizetype i = 0; i < said.size(); ++i)
            QVERIFY2(prompter.messages[i].contains(said[i]), qPrintable(prompter.messages[i]));
        QCOMPARE(db.isOpen(), !setting.isEmpty());
        if (!setting.isEmpty())
            QCOMPARE(db.path(), QFileInfo(dir.filePath(setting)).absoluteFilePath());
        QCOMPARE(settings.values.value("General/Database"),
                 setting.isEmpty() ? QString() : db.path());
        QCOMPARE(readBytes(dir.filePath("junk.db")), kJunk); // never written over
    }

    // File > New Database... and Open Database... while good.db is open; the
    // folder also holds other.db (with a row) and junk.db (no database).
    void switchingDatabases_data() {
        QTest::addColumn<QString>("how"); // "new" or "open"
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("said"); // a part of the refusal, "" when it opens
        QTest::addColumn<int>("rows");     // Txn rows in the database open afterwards
        for (const QString row : {"open another|open|other.db||1", "new file|new|fresh.db||0",
                                  "open no database|open|junk.db|is not a Gainbook database|2",
                                  "open a missing file|open|gone.db|not found|2",
                                  "new over a database|new|other.db|already exists|2",
                                  "new over any file|new|junk.db|already exists|2"}) {
            const QStringList f = row.split(u'|');
            QTest::newRow(qPrintable(f[0])) << f[1] << f[2] << f[3] << f[4].toInt();
        }
    }
    void switchingDatabases() {
        QFETCH(QString, how);
        QFETCH(QString, file);
        QFETCH(QString, said);
        QFETCH(int, rows);
        QTemporaryDir dir;
        const QString good = dir.filePath("good.db");
        createDatabaseFile(good);
        createDatabaseFile(dir.filePath("other.db"));
        writeBytes(dir.filePath("junk.db"), kJunk);
        {
            Database other;
            QVERIFY(other.open(dir.filePath("other.db")).ok());
            runQuery(other.connection(), "INSERT INTO Txn (AccountName) VALUES ('B')");
        }
        Database db;
        QVERIFY(db.open(good).ok());
        runQuery(db.connection(), "INSERT INTO Txn (AccountName) VALUES ('A'), ('A')");
        MemorySettings settings;
        settings.setValue("General", "Database", good);

        const QString path = dir.filePath(file);
        const OpenResult result =
            switchDatabase(db, settings, path,
                           how == "new" ? DatabaseSwitch::CreateNew : DatabaseSwitch::OpenExisting);
        QCOMPARE(result.ok(), said.isEmpty());
        QVERIFY2(result.message.contains(said), qPrintable(result.message));
        // Refused: the database open before is still open, and remembered.
        const QString open = said.isEmpty() ? QFileInfo(path).absoluteFilePath() : good;
        QVERIFY(db.isOpen());
        QCOMPARE(db.path(), QFileInfo(open).absoluteFilePath());
        QCOMPARE(settings.values.value("General/Database"), db.path());
        QSqlQuery q = runQuery(db.connection(), "SELECT COUNT(*) FROM Txn");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), rows);
        QCOMPARE(readBytes(dir.filePath("junk.db")), kJunk);
    }

    void noCalculatorIsReported() {
        QCOMPARE(startCalculator({"gainbook-no-such-calculator"}),
                 QString("No calculator was found. Install one of: "
                         "gainbook-no-such-calculator."));
    }
};

GAINBOOK_GUILESS_TEST(TestDatabaseStartup)
#include "test_database_startup.moc"
