#include "support/cli_run.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

// A small year: one account with two months and tax records in and out of
// 2000, and a tax-only account.
void fill(TestDatabase& t) {
    t.addTxn("O'Brien IRA", "Jan", "IBM", 100, "Bought", QDate(2000, 1, 3), -10000);
    t.addTxn("O'Brien IRA", "Feb", "IBM", 50, "Sold", QDate(2000, 2, 7), 6000.5, "a, \"b\"");
    t.addTax("O'Brien IRA", "IBM", 50, QDate(2000, 1, 3), QDate(2000, 2, 7), 5000, 6000.5);
    t.addTax("O'Brien IRA", "T", 1, QDate(1999, 1, 3), QDate(2001, 2, 7), 5, 6);
    t.addTax("Old", "AAPL", 10, QDate(1999, 1, 3), QDate(2000, 3, 1), 1000, 500);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    // Results go to standard output; errors and refusals, whether the
    // command itself or a routine it calls says them, to standard error
    // ("err": how it starts; a usage error shows the usage).
    void transcripts_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        auto row = [](const char* name, const QStringList& args, int code, const char* out = "",
                      const QString& err = {}) {
            QTest::newRow(name) << args << code << QString(out) << err;
        };
        const QString txns = "Month,Symbol,Quantity,Txn Type,Txn Date,Txn Amount,Comment,ID\n";
        const QString tax =
            "Symbol,Quantity,Date Bought,Date Sold,Cost,Proceed,Gain,Box,Wash Adj.,Comment,ID\n";
        const QString feb = "Feb,IBM,50,Sold,02/07/2000,\"6,000.50\",\"a, \"\"b\"\"\",2\n";
        row("accounts", {"accounts"}, 0, "Level,Text\n1,O'Brien IRA\n2,Jan\n2,Feb\n1,Old\n");
        row("txns of account", {"txns", "O'Brien IRA"}, 0,
            qPrintable(txns + "Jan,IBM,100,Bought,01/03/2000,\"-10,000.00\",,1\n" + feb));
        row("txns of month", {"txns", "O'Brien IRA", "Feb"}, 0, qPrintable(txns + feb));
        row("tax", {"tax", "O'Brien IRA"}, 0,
            qPrintable(tax + "IBM,50,01/03/2000,02/07/2000,\"5,000.00\",\"6,000.50\","
                             "\"1,000.50\",A,,,1\n"));
        row("totals flag before the account", {"tax", "--totals", "O'Brien IRA"}, 0,
            "Total Records 1\nTotal Proceed 6,000.50\nTotal Gain/Loss 1,000.50\n");
        row("tax of another year", {"--year", "2001", "tax", "O'Brien IRA"}, 0,
            qPrintable(tax + "T,1,01/03/1999,02/07/2001,5.00,6.00,1.00,D,,,2\n"));
        row("year joined to the option", {"--year=1999", "tax", "--totals", "Old"}, 0,
            "Total Records 0\nTotal Proceed .00\nTotal Gain/Loss .00\n");
        row("unknown account", {"txns", "Nobody"}, 1);
        row("empty account", {"tax", ""}, 1);
        row("unknown month", {"txns", "O'Brien IRA", "Dec"}, 1);
        // Arguments between blanks, "" an empty one.
        for (const char* usage :
             {"txns", "txns a b c", "tax Old --sum", "frobnicate", "", "--yes --no accounts",
              "--db \"\" accounts", "--db= tax Old", "--year 1899 accounts", "--year=2101 accounts",
              "--year 20x4 accounts", "--year", "capture", "capture --broker FBR",
              "capture --broker FBR --derive --no-derive x", "transfer-link 1",
              "transfer-unlink send"})
            row(usage, QString(usage).split(u' ', Qt::SkipEmptyParts).replaceInStrings("\"\"", ""),
                2);
        const QString entries =
            QStringLiteral("The entries are: Detect, Etrade, Wit Capital, Datek, WebStreet, FBR, "
                           "Waterhouse, Schwab, Fidelity, Vanguard, Robinhood, E*TRADE, "
                           "Interactive Brokers, Coinbase, Kraken, Other");
        row("unknown broker entry", {"capture", "--broker", "Scottrade", "x.csv"}, 2, "",
            "Wrong Account Type ");
        row("entry list follows", {"capture", "--broker", "et", "x.csv"}, 2, "",
            "Wrong Account Type \n" + entries);
        for (const char* timeout : {"soon", "0"})
            row(timeout, {"capture", "--broker", "Other", "--timeout", timeout, "x.csv"}, 2, "",
                "--timeout takes a number of seconds greater than 0.");
        row("account map without its name", {"capture", "--account-map", "Z123", "x.csv"}, 2, "",
            "--account-map takes NUMBER=NAME: Z123");
        row("a time zone no zone has", {"capture", "--zone", "Mars/Olympus", "x.csv"}, 2, "",
            "The time zone Mars/Olympus is not known: give a name such as America/New_York, or "
            "an offset such as UTC-05:00.");
        row("broker in any case, source missing",
            {"capture", "--broker", "oTHER", "--timeout", "2.5", "missing.csv"}, 1, "",
            "File not found: missing.csv");
        row("process of an unknown account", {"process", "Empty"}, 1, "",
            "Account not found: Empty");
        row("nothing to export", {"--year", "1990", "export-txf", "out.txf"}, 1, "",
            "NO record exist to be exported");
        row("init over a file", {"init"}, 1, "", "File exists: ");
        // A buy is no send: nothing is linked, and the tool says what a send is.
        row("transfer-link of a buy", {"transfer-link", "1", "2"}, 1, "",
            "Not a send: 1 (a trade of type Sent is).");
    }
    void transcripts() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        TestDatabase t;
        fill(t);
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(t.folder());
        const test::CliRun r = test::runCliCaught(QStringList{"--db", t.path()} + args);
        QDir::setCurrent(cwd);
        QCOMPARE(r.out, QString(out).replace("%db", t.path()));
        QCOMPARE(r.code, code);
        QCOMPARE(r.err.isEmpty(), code == 0);
        QVERIFY2(r.err.startsWith(err), qPrintable(r.err));
        if (code == 2 && err.isEmpty())
            QVERIFY(r.err.contains(QLatin1String("usage: gainbook-cli")));
    }

    // Shares transferred in reach the tax record with no cost: the AAPL
    // sale of 3,799.35 has no known basis, so no gain (never the whole
    // proceeds); IBM's 4 of 10 bought for 1,500 cost 600 and gain 40 (Pub
    // 550, cost basis of part of a lot). The report's blank is its own table's.
    void transferInThroughProcessingToTheReport() {
        TestDatabase t;
        const QStringList db{"--db", t.path(), "--year", "2024"};
        const test::CliRun captured = test::runCliCaught(
            db + QStringList{"capture", "--account", "Brokerage",
                             test::testData("capture/layouts/schwab_transfer_in.csv")});
        QCOMPARE(captured.out,
                 "Capture wrote 4 trades to " + t.path() +
                     ".\nRead as a Schwab download.\n4 records successfully added.\n");
        const test::CliRun processed = test::runCliCaught(db + QStringList{"process", "Brokerage"});
        QVERIFY2(processed.out.endsWith(
                     " 1 matched to shares transferred in whose cost is not entered yet.\n"),
                 qPrintable(processed.out));
        QCOMPARE(test::runCliCaught(db + QStringList{"tax", "Brokerage"}).out,
                 QString("Symbol,Quantity,Date Bought,Date Sold,Cost,Proceed,Gain,Box,Wash "
                         "Adj.,Comment,ID\n"
                         "AAPL,20,,06/03/2024,,\"3,799.35\",,,, ,1\n"
                         "IBM,4,01/10/2024,06/10/2024,600.00,640.00,40.00,A,, ,2\n"));
    }

    // --progress: "RUN: N%" lines on standard error, from 0 to 100, each
    // percent once and rising; nothing at all without the option.
    void progressLines_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("run"); // empty: no progress lines
        auto row = [](const char* name, const QStringList& args, const char* run) {
            QTest::newRow(name) << args << QString(run);
        };
        row("process", {"--progress", "process", "--again", "O'Brien IRA"},
            "Processing of O'Brien IRA");
        row("process, quiet", {"process", "--again", "O'Brien IRA"}, "");
        row("recalculate", {"--progress", "recalc", "O'Brien IRA"},
            "Save/Recalculate of O'Brien IRA");
        row("export", {"--progress", "export-txf", "@/out.txf"}, "TXF export");
        row("report", {"--progress", "report", "@/out.csv"}, "Tax report");
        row("import, option among the others",
            {"--yes", "--progress", "import-txf", "--account", "New", "@/in.txf"},
            "TXF import into New");
    }
    void progressLines() {
        QFETCH(QStringList, args);
        QFETCH(QString, run);
        TestDatabase t;
        fill(t);
        test::writeBytes(t.folder() + "/in.txf",
                         "V042\nAOther\nD01/05/2001\n^\nTD\nN321\nC1\nL1\n"
                         "P10 T\nD01/03/2000\nD05/07/2000\n$100\n$150\n^\n");
        // A processed account, so that there are links to recalculate.
        QCOMPARE(test::runCliCaught({"--db", t.path(), "process", "--again", "O'Brien IRA"}).code,
                 0);
        args.replaceInStrings("@", t.folder());
        const test::CliRun r = test::runCliCaught(QStringList{"--db", t.path()} + args);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        int last = -1;
        for (const QString& line : r.err.split(u'\n', Qt::SkipEmptyParts)) {
            const int percent = line.mid(run.size() + 2).chopped(1).toInt();
            QVERIFY2(line.startsWith(run + ": ") && line.endsWith(u'%') && percent > last &&
                         percent <= 100 && (last >= 0 || percent == 0),
                     qPrintable(r.err));
            last = percent;
        }
        QCOMPARE(last, run.isEmpty() ? -1 : 100);
    }
};

GAINBOOK_GUILESS_TEST(TestCli)
#include "test_cli.moc"
