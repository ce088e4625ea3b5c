#include "app/components.h"
#include "app/database_location.h"
#include "support/memory_settings.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

QString makeDatabase(const QString& path) {
    Database db;
    const OpenResult r = db.create(path);
    if (!r.ok())
        qFatal("%s", qPrintable(r.message));
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void defaultFileInApplicationDirectory() {
        QTemporaryDir dir;
        const QString db1 = makeDatabase(dir.filePath("db1.db"));
        MemorySettings settings;
        Database db;
        int asked = 0;
        const OpenResult r = openDatabase(db, settings, dir.path(), [&] {
            ++asked;
            return QString();
        });
        QVERIFY(r.ok());
        QCOMPARE(asked, 0);
        QCOMPARE(settings.values.value("General/Database"), db1);
    }

    void asksWhenNothingIsFound() {
        QTemporaryDir dir;
        const QString chosen = makeDatabase(dir.filePath("mine.db"));
        MemorySettings settings;
        Database db;
        const OpenResult r = openDatabase(db, settings, dir.path(), [&] { return chosen; });
        QVERIFY(r.ok());
        QCOMPARE(settings.values.value("General/Database"), chosen);
    }

    void storedFileGoneAsksAgain() {
        QTemporaryDir dir;
        const QString chosen = makeDatabase(dir.filePath("new.db"));
        // db1.db in the folder is not used once a path has been stored.
        makeDatabase(dir.filePath("db1.db"));
        MemorySettings settings;
        settings.values.insert("General/Database", dir.filePath("deleted.db"));
        Database db;
        QStringList answers{chosen};
        int asked = 0;
        const OpenResult r = openDatabase(db, settings, dir.path(), [&] {
            ++asked;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        QVERIFY(r.ok());
        QCOMPARE(asked, 1);
        QCOMPARE(db.path(), chosen);
        QCOMPARE(settings.values.value("General/Database"), chosen);
    }

    void cancelGivesUpWithoutTouchingSettings() {
        QTemporaryDir dir;
        MemorySettings settings;
        Database db;
        const OpenResult r = openDatabase(db, settings, dir.path(), [] { return QString(); });
        QCOMPARE(r.status, OpenStatus::NotFound);
        QVERIFY(settings.values.isEmpty());
        QVERIFY(!db.isOpen());
    }

    void otherFailuresAreNotAskedAgain() {
        QTemporaryDir dir;
        QFile junk(dir.filePath("junk.db"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        MemorySettings settings;
        settings.values.insert("General/Database", junk.fileName());
        Database db;
        int asked = 0;
        const OpenResult r = openDatabase(db, settings, dir.path(), [&] {
            ++asked;
            return QString();
        });
        QCOMPARE(r.status, OpenStatus::NotADatabase);
        QCOMPARE(asked, 0);
    }

    void defaultPathForTheTool() {
        QTemporaryDir dir;
        MemorySettings settings;
        QCOMPARE(defaultDatabasePath(settings, dir.path()), QDir(dir.path()).filePath("db1.db"));
        const QString stored = makeDatabase(dir.filePath("stored.db"));
        settings.values.insert("General/Database", stored);
        QCOMPARE(defaultDatabasePath(settings, dir.path()), stored);
    }

    void componentsRegisteredOnce() {
        MemorySettings settings;
        RecordingPrompter prompter;
        int looked = 0;
        const QVector<Component> all{{"a", [&] {
                                          ++looked;
                                          return true;
                                      }}};
        QVERIFY(CheckComponents(settings, prompter, all));
        QCOMPARE(settings.values.value("20/Registered"), QStringLiteral("yes"));
        QVERIFY(CheckComponents(settings, prompter, all));
        QCOMPARE(looked, 1);
        QVERIFY(prompter.questions.isEmpty());
    }

    void missingComponentAsks_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes goes on") << true;
        QTest::newRow("no ends") << false;
    }
    void missingComponentAsks() {
        QFETCH(bool, answer);
        MemorySettings settings;
        RecordingPrompter prompter;
        prompter.answers.enqueue(answer);
        const QVector<Component> parts{{"first", [] { return true; }},
                                       {"Driver missing", [] { return false; }}};
        QCOMPARE(CheckComponents(settings, prompter, parts), answer);
        QCOMPARE(prompter.questions,
                 QStringList{"Driver missing\r\nSome files are missing or not registered "
                             "properely. do you want to continue?"});
        // Not recorded, so the check runs again next time.
        QVERIFY(!settings.values.contains("20/Registered"));
    }
};

int runStartupTests(int argc, char** argv) {
    TestStartup t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_startup.moc"
