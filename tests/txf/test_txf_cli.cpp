#include "support/cli_run.h"
#include "support/test_main.h"
#include "txf/txf_texts.h"
#include "txf_fixtures.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

// The engines are tested on their own; here only what the commands add:
// output, exit codes, where failures are written and what is left behind.
class TestTxfCli : public QObject {
    Q_OBJECT

private slots:
    // "@" stands for the database's folder, "%db" for its file. An export's
    // file exists exactly when it succeeded, and then holds the golden bytes.
    void transcripts_data() {
        QTest::addColumn<bool>("filled");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // ending in ": ", only its start: the system's reason
        QTest::addColumn<QString>("accounts");
        auto row = [](const char* name, bool filled, const QStringList& args, int code,
                      const QString& out, const QString& err, const QString& accounts = {}) {
            QTest::newRow(name) << filled << args << code << out << err << accounts;
        };
        row("export says what it wrote", true, {"export-txf", "@/out.txf"}, 0,
            "TXF export wrote 3 tax records to @/out.txf.\n", "");
        row("export without records", false, {"export-txf", "@/out.txf"}, 1, "",
            "NO record exist to be exported\n");
        row("import its own export", false, {"import-txf", txfData("small_export.txf")}, 0,
            "TXF import into Kestrova Gainbook 2.0 wrote 3 tax records to %db.\n"
            "3 records successfully added.\n",
            "", "Level,Text\n1,Kestrova Gainbook 2.0\n");
        row("import under a named account", false,
            {"import-txf", "--account", "Joint", txfData("other_programs_lf.txf")}, 0,
            "TXF import into Joint wrote 4 tax records to %db.\n4 records successfully added.\n"
            "2 records of other kinds were skipped.\n",
            "", "Level,Text\n1,Joint\n");
        row("import without data", false, {"import-txf", "@/plain.csv"}, 1, "",
            noDataImportedMessage() + u'\n', "Level,Text\n");
        row("import of a file naming no account", false, {"import-txf", "@/bare.txf"}, 1, "",
            "The file names no account: give one with --account NAME.\n", "Level,Text\n");
        row("import of a missing file", false, {"import-txf", "@/nope.txf"}, 1, "",
            "The file @/nope.txf could not be read: ");
    }
    void transcripts() {
        QFETCH(bool, filled);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, accounts);
        TestDatabase t;
        if (filled)
            fillSmallExport(t);
        writeBytes(t.folder() + "/plain.csv", "Symbol,Quantity\nIBM,100\n");
        writeBytes(t.folder() + "/bare.txf", "V042\n^\nTD\nN321\nP1 A\nD\nD1/2/2011\n$1\n$2\n^\n");
        args.replaceInStrings("@", t.folder());
        err.replace("@", QDir::toNativeSeparators(t.folder()));
        out.replace("@", t.folder()).replace("%db", t.path());
        const CliRun r = runCliCaught(QStringList{"--db", t.path()} + args);
        QCOMPARE(r.code, code);
        QCOMPARE(r.out, out);
        if (err.endsWith(": "))
            QVERIFY2(r.err.startsWith(err), qPrintable(r.err));
        else
            QCOMPARE(r.err, err);
        if (args[0] == "export-txf") {
            QCOMPARE(QFile::exists(args[1]), code == 0);
            if (code == 0)
                QCOMPARE(readBytes(args[1]), readBytes(txfData("small_export.txf")));
        }
        if (!accounts.isEmpty())
            QCOMPARE(runCliCaught({"--db", t.path(), "accounts"}).out, accounts);
    }

    // The same records again into the same account: the question is printed
    // and answered No unless --yes answers it; No adds nothing and exits 1.
    void importAgain_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("rows");
        const QString file = txfData("small_export.txf");
        const QString question =
            "These 3 records are already in account Mine. Add them again?\nNo\n";
        QTest::newRow("unanswered")
            << QStringList{"import-txf", "--account", "Mine", file} << 1 << question << 3;
        QTest::newRow("--no") << QStringList{"--no", "import-txf", "--account", "Mine", file} << 1
                              << "" << 3;
        QTest::newRow("--yes") << QStringList{"--yes", "import-txf", "--account", "Mine", file} << 0
                               << "TXF import into Mine wrote 3 tax records to %db.\n"
                                  "3 records successfully added.\n"
                               << 6;
        QTest::newRow("another account")
            << QStringList{"import-txf", "--account", "Other", file} << 0
            << "TXF import into Other wrote 3 tax records to %db.\n"
               "3 records successfully added.\n"
            << 6;
    }
    void importAgain() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(int, rows);
        TestDatabase t;
        const QString file = txfData("small_export.txf");
        QCOMPARE(runCliCaught({"--db", t.path(), "import-txf", "--account", "Mine", file}).code, 0);
        const CliRun r = runCliCaught(QStringList{"--db", t.path()} + args);
        QCOMPARE(r.code, code);
        QCOMPARE(r.out, QString(out).replace("%db", t.path()));
        QCOMPARE(r.err, QString());
        QCOMPARE(taxRows(t).size(), rows);
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("export without file") << QStringList{"export-txf"};
        QTest::newRow("two files") << QStringList{"import-txf", "a.txf", "b.txf"};
        QTest::newRow("unknown option") << QStringList{"export-txf", "--all", "a.txf"};
        QTest::newRow("account without name") << QStringList{"import-txf", "a.txf", "--account"};
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        TestDatabase t;
        const CliRun r = runCliCaught(QStringList{"--db", t.path()} + args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(" " + args[0] + " ") && r.err.contains("FILE\n"),
                 qPrintable(r.err));
    }
};

GAINBOOK_GUILESS_TEST(TestTxfCli)
#include "test_txf_cli.moc"
