#include "support/cli_run.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;
using Step = gainbook::test::CliStep;

namespace {

const QString kHeading = QStringLiteral(
    "Date Sold,Quantity,Symbol,Sale Price,Linked,Buy Date,Buy Symbol,Applied Quantity,Applied "
    "Cost,Total Quantity,Total Cost,BuyId,SellID\n");

const QString kToCheck = QStringLiteral(
    "Sells to check: 0 matched to a buy made after the sale, 0 larger than the buys found (All "
    "Buy Rec Not Found), 1 without a buy.\n");

const QString kTaxHeading = QStringLiteral(
    "Symbol,Quantity,Date Bought,Date Sold,Cost,Proceed,Gain,Box,Wash Adj.,Comment,ID\n");

// A step that succeeds with its output, one that fails with its message.
Step ok(const QStringList& args, const QString& out = {}) {
    return {args, 0, out, {}};
}
Step fails(int code, const QStringList& args, const QString& err = {}) {
    return {args, code, {}, err};
}

const QString kLotsHeading =
    QStringLiteral("Symbol,Shares,Cost/Share,Cost,Date Acquired,Long Term On,Price,Unrealized "
                   "Short,Unrealized Long,Loss Sale\n");

} // namespace

class TestMatchingCli : public QObject {
    Q_OBJECT

private slots:
    // One session of commands on one database, each with its exact output
    // and exit code, in order. The figures are the matching's own tests';
    // here the arguments, messages and exit codes.
    void transcript() {
        TestDatabase t;
        const QString a = QStringLiteral("O'Brien IRA");
        t.addTxn(a, "Jan", "IBM", 100, "Bought", QDate(2000, 1, 3), -1000); // 1
        t.addTxn(a, "Jan", "IBM", 50, "Bought", QDate(2000, 1, 10), -750);  // 2
        t.addTxn(a, "Feb", "IBM", 120, "Sold", QDate(2000, 2, 1), 2000);    // 3
        t.addTxn(a, "Feb", "MSFT", 10, "Sold", QDate(2000, 2, 2), 300);     // 4
        t.addTxn("Old", "Jan", "T", 10, "Bought", QDate(2000, 1, 3), -100); // 5
        t.addTax(a, "HAND", 1, QDate(2000, 1, 1), QDate(2000, 5, 1), 1, 2);
        test::writeBytes(t.folder() + "/prices.csv", "Symbol,Price\nibm,12\nMSFT,lots\n");
        const QString noYear =
            QStringLiteral("No complete transaction for the process Year 2000\n");

        const QVector<Step> steps{
            ok({"links", a}, kHeading),
            // The hand-entered record is not added to without --again.
            fails(1, {"process", a},
                  "Account O'Brien IRA already has 1 tax record. Give --again to replace it.\n"),
            ok({"process", "--again", a}, kToCheck),
            ok({"links", a},
               kHeading +
                   "02/01/2000,120,IBM,2000.00,1,01/03/2000,IBM,100,1000.00,100,-1000.00,1,3\n"
                   ",,,,1,01/10/2000,IBM,20,300.00,50,-750.00,2,3\n"
                   "02/02/2000,10,MSFT,300.00,Add,,,,,,,,4\n"),
            ok({"tax", a},
               kTaxHeading +
                   "IBM,120,01/03/2000,02/01/2000,\"1,300.00\",\"2,000.00\",700.00,A,, ,2\n"
                   "MSFT,10,,02/02/2000,,300.00,,,,All Buy Rec Not Found,3\n"),
            // The account's setting picks the boxes of the next rebuild: the
            // short-term IBM sale goes from box A to C (Form 8949: no Form
            // 1099-B), so the processed account is to be processed again.
            ok({"account-basis", a}, "yes\n"),
            ok({"account-basis", a, "None"},
               "Accounts to process again before filing: O'Brien IRA\n"),
            ok({"account-basis", a}, "none\n"),
            fails(2, {"account-basis", a, "maybe"}),
            fails(1, {"account-basis", "Nobody", "no"}, "Account not found: Nobody\n"),
            fails(2, {"account-basis"}),
            // The wash-sale settings read and change like the basis.
            ok({"account-wash", a}, "detect on\nother-accounts on\nira off\n"),
            ok({"account-wash", a, "--ira", "on", "--detect", "off"}),
            ok({"account-wash", a}, "detect off\nother-accounts on\nira on\n"),
            // A tax-advantaged account's sales are listed, noted, and left
            // out of the totals, the TXF file and the report.
            ok({"tax", "--totals", a}, "Total Records 0\nTotal Proceed .00\nTotal Gain/Loss .00\n"
                                       "2 records tax-advantaged: not reported\n"
                                       "Accounts to process again before filing: O'Brien IRA\n"),
            {{"tax", a},
             0,
             kTaxHeading + "IBM,120,01/03/2000,02/01/2000,\"1,300.00\",\"2,000.00\",700.00,A,, ,2\n"
                           "MSFT,10,,02/02/2000,,300.00,,,,All Buy Rec Not Found,3\n",
             "2 records tax-advantaged: not reported\n"
             "Accounts to process again before filing: O'Brien IRA\n"},
            fails(1, {"export-txf", t.folder() + "/ira.txf"},
                  "NO record exist to be exported\n"
                  "Accounts to process again before filing: O'Brien IRA\n"),
            fails(1, {"report", t.folder() + "/ira.csv"},
                  "No tax record sold in 2000 to report\n"
                  "Accounts to process again before filing: O'Brien IRA\n"),
            fails(2, {"account-wash", a, "--ira", "maybe"}),
            ok({"account-wash", a, "--detect", "on", "--ira", "off"}),
            ok({"wash", a},
               "Date Sold,Symbol,Quantity,Disallowed,Replacement Account,Date Bought,Shares,"
               "Added Cost,Date Acquired,Note\n"),
            ok({"recalc", a}),
            ok({"account-basis", a, "yes"},
               "Accounts to process again before filing: O'Brien IRA\n"),
            // Still to be processed again since the basis changed.
            fails(1, {"process", a},
                  "Trades or corporate actions changed since O'Brien IRA was processed: Process "
                  "matches it again. Give --again to do so.\n"),
            fails(1, {"detach", a, "3:9"}, "Lot not found: 3:9\n"),
            fails(2, {"detach", a, "3:2", "3"}),
            ok({"detach", a, "3:2"}),
            ok({"recalc", a}),
            // A buy of another symbol and account is linked by hand and
            // detached.
            ok({"link", a, "4", "5"}),
            ok({"detach", a, "4:5"}),
            // Run again over a lot linked by hand.
            ok({"link", a, "4", "5"}),
            ok({"process", "--again", a}),
            // The other account's buy linked by hand stays through the run
            // again; with --all it gives way to the run's own links.
            ok({"links", a},
               kHeading +
                   "02/01/2000,120,IBM,2000.00,1,01/03/2000,IBM,100,1000.00,100,-1000.00,1,3\n"
                   ",,,,1,01/10/2000,IBM,20,300.00,50,-750.00,2,3\n"
                   "02/02/2000,10,MSFT,300.00,1,01/03/2000,T,10,100.00,10,-100.00,5,4\n"),
            fails(2, {"process", "--all", a}),
            ok({"process", "--again", "--all", a}, kToCheck),
            ok({"txns", "Old"}, "Month,Symbol,Quantity,Txn Type,Txn Date,Txn Amount,Comment,ID\n"
                                "Jan,T,10,Bought,01/03/2000,-100.00,10,5\n"),
            fails(1, {"process", "--again", "Nobody"}, "Account not found: Nobody\n"),
            fails(1, {"process", ""}, "Please select one account\n"),
            fails(1, {"process", "Nobody"}, "Account not found: Nobody\n"),
            // Buys alone: nothing to match is a finished run.
            ok({"process", "Old"}, "Nothing to match: Old has no sell.\n"),
            fails(1, {"recalc", "Old"}, noYear),
            fails(2, {"detach", a}),
            // 120 IBM sold for 2000 from 100 at 10 and 50 at 15 (Pub 550
            // cost basis by lot); the MSFT sell with no buy has no cost known
            // and adds no gain: oldest and lowest first 100 at 10 + 20 at 15
            // = 1300; newest and highest 50 at 15 + 70 at 10 = 1450; average
            // 1750 / 150 a share for 120 = 1400. Nothing is written.
            {{"compare", a},
             0,
             "Method,Short Term,Long Term,Wash Adj.,Total\n"
             "\"First in, first out\",700.00,0.00,0.00,700.00\n"
             "\"Last in, first out\",550.00,0.00,0.00,550.00\n"
             "Highest cost first,550.00,0.00,0.00,550.00\n"
             "Lowest cost first,700.00,0.00,0.00,700.00\n"
             "Average cost,600.00,0.00,0.00,600.00\n",
             ""},
            {{"tax", "--totals", a},
             0,
             "Total Records 2\nTotal Proceed 2,300.00\nTotal Gain/Loss 700.00\n"
             "To check: 0 bought after sold, 0 not all found, 1 no buy\n",
             ""},
            {{"account-method", a}, 0, "fifo\n", ""},
            {{"account-method", a, "Highest"},
             0,
             "Lot method of O'Brien IRA: Highest cost first.\nProcess O'Brien IRA again: its tax "
             "records follow the lot method they were made by.\n",
             ""},
            {{"account-method", a, "average", "--symbol", "IBM"},
             0,
             "Lot method of O'Brien IRA for IBM: Average cost.\nProcess O'Brien IRA again: its "
             "tax records follow the lot method they were made by.\n",
             ""},
            {{"account-method", a}, 0, "highest\nIBM average\n", ""},
            {{"account-method", a, "account", "--symbol", "IBM"},
             0,
             "Lot method of O'Brien IRA for IBM: Highest cost first.\nProcess O'Brien IRA again: "
             "its tax records follow the lot method they were made by.\n",
             ""},
            {{"account-method", a, "average", "--symbol"}, 2, "", ""},
            {{"account-method", a, "newest"}, 2, "", ""},
            {{"account-method", a, "account"}, 2, "", ""},
            {{"account-method", "Nobody", "fifo"}, 1, "", "Account not found: Nobody\n"},
            {{"compare", "Nobody"}, 1, "", "Account not found: Nobody\n"},
            // The 30 shares left of the buy at 15 (Pub 550 holding period:
            // long after 01/10/2001); at 12 they are 90 under, and the buy of
            // 01/10 lies in the 30 days before 02/05 (26 CFR 1.1091-1).
            {{"lots", a, "--on", "02/05/2000"},
             0,
             kLotsHeading + "IBM,30,15.00,450.00,01/10/2000,01/11/2001,,,,\n",
             ""},
            {{"lots", a, "--on", "2000-02-05", "--prices", t.folder() + "/prices.csv"},
             0,
             kLotsHeading + "IBM,30,15.00,450.00,01/10/2000,01/11/2001,12.00,-90.00,,"
                            "wash sale now (bought 01/10/2000); buy back not before 03/07/2000\n",
             "Not a symbol and price: MSFT,lots\n"},
            {{"lots", a, "--on", "13/45/2000"}, 1, "", "Not a date: 13/45/2000\n"},
            {{"lots", a, "--prices"}, 2, "", ""},
            // A fresh account has nothing to process again.
            {{"account-method", "Old", "lifo"}, 0, "Lot method of Old: Last in, first out.\n", ""},
        };
        test::runCliSteps(t.path(), steps);
    }

    // The year Save/Recalculate's message names: the one given, else that
    // of the store's latest sell, which it reads only when it needs it.
    void messageNamesTheYear_data() {
        QTest::addColumn<QStringList>("year"); // the --year option, if any
        QTest::addColumn<QString>("named");
        QTest::newRow("the latest sell's") << QStringList{} << "2023";
        QTest::newRow("given") << QStringList{"--year", "2019"} << "2019";
    }
    void messageNamesTheYear() {
        QFETCH(QStringList, year);
        QFETCH(QString, named);
        TestDatabase t;
        t.addTxn("Sells", "Jan", "IBM", 5, "Sold", QDate(2023, 3, 1), 50);
        t.addTxn("Sells", "Jan", "IBM", 5, "Sold", QDate(2021, 3, 1), 50);
        t.addTxn("Buys", "Jan", "IBM", 5, "Bought", QDate(2024, 3, 1), -50);
        const QString message = "No complete transaction for the process Year " + named + "\n";
        test::runCliSteps(t.path(), {{year + QStringList{"recalc", "Buys"}, 1, "", message}});
    }

    // Splits and symbol changes recorded, listed, refused by name, applied
    // by the next run, and the processed accounts they change marked.
    void corporateActions() {
        TestDatabase t;
        const QString a = QStringLiteral("Joint");
        t.addTxn(a, "Jan", "OLD", 10, "Bought", QDate(2024, 1, 3), -1000); // 1
        t.addTxn(a, "Jul", "NEW", 100, "Sold", QDate(2024, 7, 1), 1500);   // 2
        const QString heading = QStringLiteral("ID,Symbol,Date,Kind,Ratio,New Symbol,Note\n");
        const QString processAgain =
            QStringLiteral("Accounts to process again before filing: Joint\n");
        const QVector<Step> steps{
            fails(1, {"split", "OLD", "13/45/2024", "10:1"}, "Not a date: 13/45/2024\n"),
            fails(1, {"split", "OLD", "06/10/2024", "10/1"},
                  "Not a ratio: 10/1 (write it as N:M, such as 10:1)\n"),
            fails(1, {"split", "OLD", "06/10/2024", "0:1"},
                  "The ratio 0:1 of a split must be two numbers above 0.\n"),
            fails(2, {"split", "OLD", "06/10/2024"}),
            fails(1, {"rename", "OLD", "old", "05/01/2024"},
                  "A symbol change from OLD to old keeps the same symbol.\n"),
            ok({"rename", "OLD", "OLDER", "05/01/2024"}),
            ok({"delete-action", "1"}),
            fails(1, {"delete-action", "1"}, "No corporate action 1\n"),
            fails(2, {"delete-action", "x"}),
            ok({"--year", "2024", "process", a}, kToCheck),
            ok({"rename", "OLD", "NEW", "05/01/2024", "--note", "merger"},
               "To process again for the corporate actions: Joint\n"),
            ok({"split", "OLD", "2024-03-01", "10:1"},
               "To process again for the corporate actions: Joint\n"),
            fails(1, {"rename", "NEW", "OLD", "05/01/2024"},
                  "The symbol changes NEW -> OLD -> NEW on 05/01/2024 loop back.\n"),
            ok({"actions"},
               heading +
                   "3,OLD,03/01/2024,split,10:1,,\n2,OLD,05/01/2024,symbol change,,NEW,merger\n"),
            fails(
                1, {"process", a},
                "Trades or corporate actions changed since Joint was processed: Process matches it "
                "again. Give --again to do so.\n"),
            // Until then every output of the records says so, last. The sell
            // without a buy has no cost, so no gain is counted for it.
            ok({"tax", "--totals", a},
               "Total Records 1\nTotal Proceed 1,500.00\nTotal Gain/Loss .00\n"
               "To check: 0 bought after sold, 0 not all found, 1 no buy\n" +
                   processAgain),
            {{"tax", a},
             0,
             kTaxHeading + "NEW,100,,07/01/2024,,\"1,500.00\",,,,All Buy Rec Not Found,1\n",
             processAgain},
            ok({"export-txf", t.folder() + "/stale.txf"}, processAgain),
            ok({"report", t.folder() + "/stale.csv"}, processAgain),
            ok({"--year", "2024", "process", "--again", a}),
            ok({"export-txf", t.folder() + "/fresh.txf"}),
            fails(1, {"process", a}, "Account already processed: Joint\n"),
        };
        test::runCliSteps(t.path(), steps);
    }
};

GAINBOOK_GUILESS_TEST(TestMatchingCli)
#include "test_matching_cli.moc"
