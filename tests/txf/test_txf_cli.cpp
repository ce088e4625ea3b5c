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
    // "@" stands for the database's folder, "%db" for its file. The store holds the records of
    // small_export.txf ("filled"), or has had that file imported into
    // account Mine ("imported"), or is empty. An export's file exists
    // exactly when it succeeded, and then holds the golden bytes. A record
    // held already is asked about and answered No unless --yes answers it.
    void transcripts_data() {
        QTest::addColumn<QString>("store");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // ending in ": ", only its start: the system's reason
        QTest::addColumn<QString>("accounts");
        QTest::addColumn<int>("rows"); // -1: not counted
        auto row = [](const char* name, const char* store, const QStringList& args, int code,
                      const QString& out, const QString& err, const QString& accounts = {},
                      int rows = -1) {
            QTest::newRow(name) << store << args << code << out << err << accounts << rows;
        };
        const QString small = txfData("small_export.txf");
        const QString added = "3 records successfully added.\n";
        row("export says what it wrote", "filled", {"export-txf", "@/out.txf"}, 0,
            "TXF export wrote 3 tax records to @/out.txf.\n", "");
        row("export without records", "", {"export-txf", "@/out.txf"}, 1, "",
            "NO record exist to be exported\n");
        row("import its own export", "", {"import-txf", small}, 0,
            "TXF import into Kestrova Gainbook 2.0 wrote 3 tax records to %db.\n" + added, "",
            "Level,Text\n1,Kestrova Gainbook 2.0\n");
        row("import under a named account", "",
            {"import-txf", "--account", "Joint", txfData("other_programs_lf.txf")}, 0,
            "TXF import into Joint wrote 4 tax records to %db.\n4 records successfully added.\n"
            "2 records of other kinds were skipped.\n",
            "", "Level,Text\n1,Joint\n");
        row("import without data", "", {"import-txf", "@/plain.csv"}, 1, "",
            noDataImportedMessage() + u'\n', "Level,Text\n");
        row("import of a file naming no account", "", {"import-txf", "@/bare.txf"}, 1, "",
            "The file names no account: give one with --account NAME.\n", "Level,Text\n");
        row("import of a missing file", "", {"import-txf", "@/nope.txf"}, 1, "",
            "The file @/nope.txf could not be read: ");
        row("again, unanswered", "imported", {"import-txf", "--account", "Mine", small}, 1,
            "These 3 records are already in account Mine. Add them again?\nNo\n", "", {}, 3);
        row("again, --yes", "imported", {"--yes", "import-txf", "--account", "Mine", small}, 0,
            "TXF import into Mine wrote 3 tax records to %db.\n" + added, "", {}, 6);
        for (const QStringList& usage : {QStringList{"export-txf"},
                                         {"import-txf", "a.txf", "b.txf"},
                                         {"export-txf", "--all", "a.txf"},
                                         {"import-txf", "a.txf", "--account"}})
            row(qPrintable(usage.join(u' ')), "", usage, 2, "",
                "usage: gainbook-cli [--db FILE] [--year YYYY] [--yes | --no] [--progress] " +
                    usage[0] + " ");
    }
    void transcripts() {
        QFETCH(QString, store);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, accounts);
        QFETCH(int, rows);
        TestDatabase t;
        if (store == u"filled")
            fillSmallExport(t);
        if (store == u"imported")
            QCOMPARE(runCliCaught({"--db", t.path(), "import-txf", "--account", "Mine",
                                   txfData("small_export.txf")})
                         .code,
                     0);
        writeBytes(t.folder() + "/plain.csv", "Symbol,Quantity\nIBM,100\n");
        writeBytes(t.folder() + "/bare.txf", "V042\n^\nTD\nN321\nP1 A\nD\nD1/2/2011\n$1\n$2\n^\n");
        args.replaceInStrings("@", t.folder());
        err.replace("@", QDir::toNativeSeparators(t.folder()));
        out.replace("@", t.folder()).replace("%db", t.path());
        const CliRun r = runCliCaught(QStringList{"--db", t.path()} + args);
        QCOMPARE(r.code, code);
        QCOMPARE(r.out, out);
        if (code == 2)
            QVERIFY2(r.err.contains(err), qPrintable(r.err));
        else if (err.endsWith(u' '))
            QVERIFY2(r.err.startsWith(err), qPrintable(r.err));
        else
            QCOMPARE(r.err, err);
        if (args[0] == "export-txf" && code != 2) {
            QCOMPARE(QFile::exists(args[1]), code == 0);
            if (code == 0)
                QCOMPARE(readBytes(args[1]), readBytes(txfData("small_export.txf")));
        }
        if (!accounts.isEmpty())
            QCOMPARE(runCliCaught({"--db", t.path(), "accounts"}).out, accounts);
        if (rows >= 0)
            QCOMPARE(taxRows(t).size(), rows);
    }
};

GAINBOOK_GUILESS_TEST(TestTxfCli)
#include "test_txf_cli.moc"
