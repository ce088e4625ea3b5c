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

class TestStartup : public QObject {
    Q_OBJECT

private slots:
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
