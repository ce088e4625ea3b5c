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
    // The folder holds good.db, junk.db (no database) and, when the row
    // says so, db1.db; the dialog's answers are "new:" or "open:" and a file
    // name, then Cancel. Each message holds its part of "said".
    void startChoices_data() {
        QTest::addColumn<QStringList>("f"); // db1, stored, answers, asked, said, setting
        for (const TableRow& r : tableRows(R"(
        cancel ends with a message ; no ;  ;  ; 1 ; No database was chosen ;
        a new file is created and remembered ; no ;  ; new:mine.db ; 1 ;  ; mine.db
        creating over a file is refused ; no ;  ; new:junk.db ; 2 ; File exists: , No database was chosen ;
        stored file unusable ; no ; junk.db ; open:good.db ; 1 ; junk.db ; good.db
        chosen file unusable ; no ;  ; open:junk.db, open:good.db ; 2 ; junk.db ; good.db
        db1.db beside the program opens unasked ; yes ;  ;  ; 0 ;  ; db1.db
        a stored file wins over db1.db ; yes ; good.db ;  ; 0 ;  ; good.db
        a stored file gone is asked for, db1.db not used ; yes ; gone.db ; open:good.db ; 1 ;  ; good.db
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void startChoices() {
        QFETCH(QStringList, f);
        const QStringList answers = listOf(f[2]);
        const QStringList said = listOf(f[4]);
        const QString setting = f.value(5);
        QTemporaryDir dir;
        createDatabaseFile(dir.filePath("good.db"));
        writeBytes(dir.filePath("junk.db"), kJunk);
        if (f[0] == "yes")
            createDatabaseFile(dir.filePath("db1.db"));
        MemorySettings settings;
        if (!f[1].isEmpty())
            settings.setValue("General", "Database", dir.filePath(f[1]));
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
        QCOMPARE(chooserAsked, f[3].toInt());
        QCOMPARE(prompter.messages.size(), said.size());
        for (qsizetype i = 0; i < said.size(); ++i)
            QVERIFY2(prompter.messages[i].contains(said[i]), qPrintable(prompter.messages[i]));
        QCOMPARE(db.isOpen(), !setting.isEmpty());
        QCOMPARE(settings.values.value("General/Database"),
                 setting.isEmpty() ? QString()
                                   : QFileInfo(dir.filePath(setting)).absoluteFilePath());
        if (!setting.isEmpty())
            QCOMPARE(db.path(), settings.values.value("General/Database"));
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
