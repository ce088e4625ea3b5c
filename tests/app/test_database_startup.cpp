#include "app/calculator.h"
#include "app/database_startup.h"
#include "app/disclaimer_text.h"
#include "store/database.h"
#include "support/memory_settings.h"
#include "support/recording_prompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

QString makeDatabase(const QString& path) {
    Database db;
    if (!db.create(path).ok())
        qFatal("cannot create %s", qPrintable(path));
    return QFileInfo(path).absoluteFilePath();
}

QString makeJunk(const QString& path) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("this is no database, just text that is long enough to look like a header\n");
    return QFileInfo(path).absoluteFilePath();
}

// Answers the "where is the database" dialog from a script.
struct Chooser {
    QList<DatabaseChoice> script;
    int asked = 0;
    DatabaseChoice operator()() {
        ++asked;
        return script.isEmpty() ? DatabaseChoice{} : script.takeFirst();
    }
};

} // namespace

class TestDatabaseStartup : public QObject {
    Q_OBJECT

private slots:
    void cancellingEndsWithAMessage() {
        QTemporaryDir dir;
        MemorySettings settings;
        RecordingPrompter prompter;
        Database db;
        Chooser chooser;
        QVERIFY(!openDatabaseForStart(db, settings, dir.path(), prompter, std::ref(chooser)));
        QCOMPARE(chooser.asked, 1);
        QCOMPARE(prompter.messages, QStringList{noDatabaseMessage()});
        QVERIFY(!db.isOpen());
        QVERIFY(!settings.values.contains("General/Database"));
    }

    void aNewFileIsCreatedOpenedAndRemembered() {
        QTemporaryDir dir;
        MemorySettings settings;
        RecordingPrompter prompter;
        Database db;
        const QString path = dir.filePath("mine.db");
        Chooser chooser{{{DatabaseChoice::CreateNew, path}}};
        QVERIFY(openDatabaseForStart(db, settings, dir.path(), prompter, std::ref(chooser)));
        QVERIFY(db.isOpen());
        QVERIFY(QFile::exists(path));
        QCOMPARE(settings.values.value("General/Database"), QFileInfo(path).absoluteFilePath());
        QVERIFY(prompter.messages.isEmpty());
    }

    void creatingOverAnExistingFileIsRefusedAndAskedAgain() {
        QTemporaryDir dir;
        MemorySettings settings;
        RecordingPrompter prompter;
        Database db;
        const QString taken = makeJunk(dir.filePath("taken.db"));
        Chooser chooser{{{DatabaseChoice::CreateNew, taken}}};
        QVERIFY(!openDatabaseForStart(db, settings, dir.path(), prompter, std::ref(chooser)));
        QCOMPARE(chooser.asked, 2);
        QCOMPARE(prompter.messages.first(), "File exists: " + taken);
        QFile f(taken);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("this is no database")); // untouched
    }

    void aFileThatCannotBeUsedIsReportedAndAnotherAskedFor_data() {
        QTest::addColumn<bool>("stored");
        QTest::newRow("stored path") << true;
        QTest::newRow("chosen path") << false;
    }
    void aFileThatCannotBeUsedIsReportedAndAnotherAskedFor() {
        QFETCH(bool, stored);
        QTemporaryDir dir;
        MemorySettings settings;
        RecordingPrompter prompter;
        Database db;
        const QString junk = makeJunk(dir.filePath("junk.db"));
        const QString good = makeDatabase(dir.filePath("good.db"));
        Chooser chooser;
        if (stored)
            settings.setValue("General", "Database", junk);
        else
            chooser.script << DatabaseChoice{DatabaseChoice::OpenExisting, junk};
        chooser.script << DatabaseChoice{DatabaseChoice::OpenExisting, good};
        QVERIFY(openDatabaseForStart(db, settings, dir.path(), prompter, std::ref(chooser)));
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY2(prompter.messages.first().contains(junk), qPrintable(prompter.messages.first()));
        QCOMPARE(db.path(), good);
        QCOMPARE(settings.values.value("General/Database"), good);
    }

    void theDefaultFileNeedsNoQuestion() {
        QTemporaryDir dir;
        const QString db1 = makeDatabase(dir.filePath("db1.db"));
        MemorySettings settings;
        RecordingPrompter prompter;
        Database db;
        Chooser chooser;
        QVERIFY(openDatabaseForStart(db, settings, dir.path(), prompter, std::ref(chooser)));
        QCOMPARE(chooser.asked, 0);
        QCOMPARE(settings.values.value("General/Database"), db1);
    }

    void noCalculatorIsReported() {
        const QString message = startCalculator({"gainbook-no-such-calculator"});
        QCOMPARE(message, QString("No calculator was found. Install one of: "
                                  "gainbook-no-such-calculator."));
        QCOMPARE(calculatorPrograms().first(), QString("gnome-calculator"));
    }

    void disclaimerStartsWithTheLiabilityLines() {
        const QStringList lines = disclaimerText().split('\n');
        QCOMPARE(lines.mid(0, 3),
                 QStringList({"The Kestrova Inc or anyone connected to Kestrova Inc is not "
                              "liable for any",
                              "damages caused by the installation, running or uninstalling of "
                              "this software ",
                              "in any machines. "}));
    }
};

int runDatabaseStartupTests(int argc, char** argv) {
    TestDatabaseStartup t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_database_startup.moc"
