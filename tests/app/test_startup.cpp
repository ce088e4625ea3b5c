#include "startup/components.h"
#include "startup/database_location.h"
#include "support/memory_settings.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

Q_DECLARE_METATYPE(gainbook::OpenStatus)

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    // The folder may hold db1.db, mine.db and junk.db (no database); the
    // dialog answers mine.db or cancels.
    void databaseLocation_data() {
        QTest::addColumn<bool>("db1");
        QTest::addColumn<QString>("stored"); // "" for none
        QTest::addColumn<bool>("answers");
        QTest::addColumn<OpenStatus>("status");
        QTest::addColumn<int>("asked");
        QTest::addColumn<QString>("setting"); // "" for none
        auto row = [](const char* name, bool db1, const char* stored, bool answers,
                      OpenStatus status, int asked, const char* setting) {
            QTest::newRow(name) << db1 << QString(stored) << answers << status << asked
                                << QString(setting);
        };
        row("db1.db found", true, "", true, OpenStatus::Ok, 0, "db1.db");
        row("nothing found asks", false, "", true, OpenStatus::Ok, 1, "mine.db");
        // db1.db in the folder is not used once a path has been stored.
        row("stored file gone asks", true, "deleted.db", true, OpenStatus::Ok, 1, "mine.db");
        // The file the settings remember, wherever the program is started.
        row("stored file wins over db1.db", true, "mine.db", true, OpenStatus::Ok, 0, "mine.db");
        row("cancel", false, "", false, OpenStatus::NotFound, 1, "");
        row("other failures not asked again", false, "junk.db", true, OpenStatus::NotADatabase, 0,
            "junk.db");
    }
    void databaseLocation() {
        QFETCH(bool, db1);
        QFETCH(QString, stored);
        QFETCH(bool, answers);
        QFETCH(OpenStatus, status);
        QFETCH(int, asked);
        QFETCH(QString, setting);
        QTemporaryDir dir;
        if (db1)
            createDatabaseFile(dir.filePath("db1.db"));
        const QString mine = createDatabaseFile(dir.filePath("mine.db"));
        writeBytes(dir.filePath("junk.db"), QByteArray(4096, 'x'));
        MemorySettings settings;
        if (!stored.isEmpty())
            settings.values.insert("General/Database", dir.filePath(stored));
        Database db;
        int times = 0;
        const OpenResult r = openDatabase(db, settings, dir.path(), [&] {
            ++times;
            return answers ? mine : QString();
        });
        QCOMPARE(r.status, status);
        QCOMPARE(times, asked);
        QCOMPARE(db.isOpen(), r.ok());
        QCOMPARE(settings.values.value("General/Database"),
                 setting.isEmpty() ? QString()
                                   : QFileInfo(dir.filePath(setting)).absoluteFilePath());
    }

    void defaultPathForTheTool() {
        QTemporaryDir dir;
        MemorySettings settings;
        QCOMPARE(defaultDatabasePath(settings, dir.path()), QDir(dir.path()).filePath("db1.db"));
        const QString stored = createDatabaseFile(dir.filePath("stored.db"));
        settings.values.insert("General/Database", stored);
        QCOMPARE(defaultDatabasePath(settings, dir.path()), stored);
    }

    void components_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("answer");
        QTest::newRow("all present") << true << false;
        QTest::newRow("missing, Yes goes on") << false << true;
        QTest::newRow("missing, No ends") << false << false;
    }
    void components() {
        QFETCH(bool, present);
        QFETCH(bool, answer);
        MemorySettings settings;
        RecordingPrompter prompter;
        prompter.answers.enqueue(answer);
        int looked = 0;
        const QVector<Component> parts{{"first", [&] { return ++looked > 0; }},
                                       {"Driver missing", [&] { return present; }}};
        QCOMPARE(CheckComponents(settings, prompter, parts), present || answer);
        QCOMPARE(prompter.questions,
                 present ? QStringList()
                         : QStringList{"Driver missing\r\nSome files are missing or not "
                                       "registered properely. do you want to continue?"});
        // Recorded only when all are there; otherwise the check runs again
        // next time.
        QCOMPARE(settings.values.value("20/Registered"), present ? "yes" : QString());
        QCOMPARE(CheckComponents(settings, prompter, parts), present);
        QCOMPARE(looked, present ? 1 : 2);
    }
};

GAINBOOK_GUILESS_TEST(TestStartup)
#include "test_startup.moc"
