#include "cli/cli_commands.h"
#include "cli/cli_help.h"
#include "support/cli_run.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

class TestCliHelp : public QObject {
    Q_OBJECT

private slots:
    // Help and version never open (nor create) the database, even one that
    // does not exist, and are results: standard output, exit 0.
    void helpAndVersion_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("outStart");
        QTest::addColumn<QString>("errPart");
        auto row = [](const char* name, const QStringList& args, int code, const QString& out,
                      const char* err = "") { QTest::newRow(name) << args << code << out << err; };
        const QString version = QStringLiteral("gainbook-cli " GAINBOOK_PROJECT_VERSION "\n");
        const QString usage = "usage: gainbook-cli [--db FILE] [--year YYYY] [--yes | --no] "
                              "[--progress] ";
        row("--version", {"--version"}, 0, version);
        row("--help", {"--help"}, 0, "usage: gainbook-cli");
        row("command --help", {"txns", "--help"}, 0,
            usage + "txns ACCOUNT [MONTH]\n\nPrints the transactions");
        row("--help after the command's arguments", {"tax", "Old", "--help"}, 0, usage + "tax");
        row("init --help creates nothing", {"init", "--help"}, 0, usage + "init\n");
        row("unknown command --help", {"frobnicate", "--help"}, 2, "",
            "Unknown command: frobnicate");
    }
    void helpAndVersion() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, outStart);
        QFETCH(QString, errPart);
        QTemporaryDir dir;
        const QString db = dir.filePath("none.db");
        const test::CliRun r = test::runCliCaught(QStringList{"--db", db} + args);
        QCOMPARE(r.code, code);
        QVERIFY2(r.out.left(outStart.size()) == outStart && r.out.isEmpty() == outStart.isEmpty(),
                 qPrintable(r.out));
        QVERIFY2(errPart.isEmpty() ? r.err.isEmpty() : r.err.contains(errPart), qPrintable(r.err));
        QVERIFY(!QFile::exists(db));
    }

    // Every command, those added later too, has its usage line and a
    // sentence, in its own help and in the list; and the text describes no
    // command the tool does not have, so the manual page cannot offer one.
    void everyCommandHasHelp() {
        const test::CliRun all = test::runCliCaught({"--help"});
        QCOMPARE(all.code, 0);
        QStringList commands;
        for (const CliCommand& command : cliCommands()) {
            commands << command.name;
            const QString summary = commandSummary(command.name);
            QVERIFY2(summary.endsWith(u'.'),
                     qPrintable("no sentence for " + command.name + " in cli_text.txt"));
            const test::CliRun one = test::runCliCaught({command.name, "--help"});
            QCOMPARE(one.code, 0);
            QCOMPARE(one.out, "usage: " + commandUsage(command) + "\n\n" + summary + '\n');
            QVERIFY2(all.out.contains("\n  " + commandCall(command.name) + '\n'),
                     qPrintable(command.name));
            QVERIFY2(all.out.contains(summary), qPrintable(command.name));
        }
        QCOMPARE(describedCommands(), commands);
    }
};

GAINBOOK_GUILESS_TEST(TestCliHelp)
#include "test_cli_help.moc"
