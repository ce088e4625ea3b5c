#include "support/cli_run.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;
using Step = gainbook::test::CliStep;

namespace {

const QString kToCheck = QStringLiteral(
    "Sells to check: 0 matched to a buy made after the sale, 0 larger than the buys found (All "
    "Buy Rec Not Found), 1 without a buy.\n");

const QString kTaxHeading = QStringLiteral(
    "Symbol,Quantity,Date Bought,Date Sold,Cost,Proceed,Gain,Box,Wash Adj.,Comment,ID\n");

const QString kAgain = QStringLiteral(
    "\nProcess O'Brien IRA again: its tax records follow the lot method they were made by.\n");

// A step that succeeds with its output, one that fails with its message.
Step ok(const QStringList& args, const QString& out = {}, const QString& err = {}) {
    return {args, 0, out, err};
}
Step fails(int code, const QStringList& args, const QString& err = {}) {
    return {args, code, {}, err};
}

} // namespace

// What the commands add to the matching: arguments, messages and exit codes.
// The figures are the matching's own tables'.
class TestMatchingCli : public QObject {
    Q_OBJECT

private slots:
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
        const QString taxRows =
            kTaxHeading + "IBM,120,01/03/2000,02/01/2000,\"1,300.00\",\"2,000.00\",700.00,A,, ,2\n"
                          "MSFT,10,,02/02/2000,,300.00,,,,All Buy Rec Not Found,3\n";
        const QString notReported = QStringLiteral("2 records tax-advantaged: not reported\n");
        const QString stale =
            QStringLiteral("Accounts to process again before filing: O'Brien IRA\n");
        const QString lots =
            QStringLiteral("Symbol,Shares,Cost/Share,Cost,Date Acquired,Long Term On,Price,"
                           "Unrealized Short,Unrealized Long,Loss Sale\n"
                           "IBM,30,15.00,450.00,01/10/2000,01/11/2001,");
        const QVector<Step> steps{
            // The hand-entered record is not added to without --again.
            fails(1, {"process", a},
                  "Account O'Brien IRA already has 1 tax record. Give --again to replace it.\n"),
            ok({"process", "--again", a},
               "Processing of O'Brien IRA wrote 2 tax records to %db.\n" + kToCheck),
            // The account's setting picks the boxes of the next rebuild: the
            // short-term IBM sale goes from box A to C (Form 8949: no Form
            // 1099-B), so the processed account is to be processed again.
            ok({"account-basis", a}, "yes\n"),
            ok({"account-basis", a, "None"},
               "Accounts to process again before filing: O'Brien IRA\n"),
            fails(2, {"account-basis", a, "maybe"}),
            fails(1, {"account-basis", "Nobody", "no"}, "Account not found: Nobody\n"),
            ok({"account-wash", a}, "detect on\nother-accounts on\nira off\n"),
            ok({"account-wash", a, "--ira", "on", "--detect", "off"}),
            ok({"account-wash", a}, "detect off\nother-accounts on\nira on\n"),
            // A tax-advantaged account's sales are listed, noted, and left
            // out of the totals, the TXF file and the report.
            ok({"tax", "--totals", a},
               "Total Records 0\nTotal Proceed .00\nTotal Gain/Loss .00\n" + notReported +
                   "Accounts to process again before filing: O'Brien IRA\n"),
            ok({"tax", a}, taxRows,
               notReported + "Accounts to process again before filing: O'Brien IRA\n"),
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
            ok({"recalc", a},
               "Save/Recalculate of O'Brien IRA wrote 2 tax records to %db.\nNeeds a look:\n- "
               "Accounts to process again before filing: O'Brien IRA\n"),
            ok({"account-basis", a, "yes"},
               "Accounts to process again before filing: O'Brien IRA\n"),
            // Still to be processed again since the basis changed.
            fails(1, {"process", a},
                  "Trades or corporate actions changed since O'Brien IRA was processed: Process "
                  "matches it again. Give --again to do so.\n"),
            fails(1, {"detach", a, "3:9"}, "Lot not found: 3:9\n"),
            fails(2, {"detach", a, "3:2", "3"}),
            ok({"detach", a, "3:2"}),
            // A buy of another symbol and account is linked by hand.
            ok({"link", a, "4", "5"}),
            ok({"process", "--again", a},
               "Processing of O'Brien IRA wrote 2 tax records to %db.\n"),
            fails(2, {"process", "--all", a}),
            ok({"process", "--again", "--all", a},
               "Processing of O'Brien IRA wrote 2 tax records to %db.\n" + kToCheck),
            fails(1, {"process", ""}, "Please select one account\n"),
            fails(1, {"process", "Nobody"}, "Account not found: Nobody\n"),
            // Buys alone: nothing to match is a finished run.
            ok({"process", "Old"},
               "Processing of Old wrote nothing.\nNothing to match: Old has no sell.\n"),
            // The year named is the latest sell's, or the one given.
            fails(1, {"recalc", "Old"}, "No complete transaction for the process Year 2000\n"),
            fails(1, {"--year", "2019", "recalc", "Old"},
                  "No complete transaction for the process Year 2019\n"),
            ok({"tax", "--totals", a},
               "Total Records 2\nTotal Proceed 2,300.00\nTotal Gain/Loss 700.00\n"
               "To check: 0 bought after sold, 0 not all found, 1 no buy\n"),
            // The compare's figures are those of the lot methods' own table.
            ok({"compare", a}, "Method,Short Term,Long Term,Wash Adj.,Total\n"
                               "\"First in, first out\",700.00,0.00,0.00,700.00\n"
                               "\"Last in, first out\",550.00,0.00,0.00,550.00\n"
                               "Highest cost first,550.00,0.00,0.00,550.00\n"
                               "Lowest cost first,700.00,0.00,0.00,700.00\n"
                               "Average cost,600.00,0.00,0.00,600.00\n"),
            fails(1, {"compare", "Nobody"}, "Account not found: Nobody\n"),
            ok({"account-method", a}, "fifo\n"),
            ok({"account-method", a, "Highest"},
               "Lot method of O'Brien IRA: Highest cost first." + kAgain),
            ok({"account-method", a, "average", "--symbol", "IBM"},
               "Lot method of O'Brien IRA for IBM: Average cost." + kAgain),
            ok({"account-method", a}, "highest\nIBM average\n"),
            ok({"account-method", a, "account", "--symbol", "IBM"},
               "Lot method of O'Brien IRA for IBM: Highest cost first." + kAgain),
            fails(2, {"account-method", a, "average", "--symbol"}),
            fails(1, {"account-method", "Nobody", "fifo"}, "Account not found: Nobody\n"),
            // A fresh account has nothing to process again.
            ok({"account-method", "Old", "lifo"}, "Lot method of Old: Last in, first out.\n"),
            // Dates in either form; a price that is no number is named; the
            // lots are the last run's, so the method change owes a run.
            ok({"lots", a, "--on", "02/05/2000"}, lots + ",,,\n", stale),
            ok({"lots", a, "--on", "2000-02-05", "--prices", t.folder() + "/prices.csv"},
               lots + "12.00,-90.00,,wash sale now (bought 01/10/2000); buy back not before "
                      "03/07/2000\n",
               "Not a symbol and price: MSFT,lots\n" + stale),
            fails(1, {"lots", a, "--on", "13/45/2000"}, "Not a date: 13/45/2000\n"),
            fails(2, {"lots", a, "--prices"}),
            // What a symbol is: the well-known coins digital, a symbol set by
            // hand as set, an account of one kind as its word says.
            ok({"asset-kind", "IBM"}, "security\n"),
            ok({"asset-kind", "IBM", "Digital"}),
            ok({"asset-kind"}, "IBM digital\n"),
            fails(2, {"asset-kind", "IBM", "coin"}),
            ok({"account-assets", "Old"}, "mixed\n"),
            ok({"account-assets", "Old", "securities"}),
            ok({"account-assets", "Old"}, "securities\n"),
            fails(2, {"account-assets", "Old", "stocks"}),
            ok({"wash-digital"}, "off\n"),
            ok({"wash-digital", "on"}),
            ok({"wash-digital"}, "on\n"),
            fails(2, {"wash-digital", "yes"}),
            // What is open on 12/31 of the tax year: the lot `lots` shows.
            ok({"positions", a},
               "Position,Symbol,Quantity,Amount,Date Opened,Expires,"
               "Wash Adjustment\n"
               "long,IBM,30,450.00,01/10/2000,,\n",
               stale),
            fails(1, {"positions", "Nobody"}, "Account not found: Nobody\n"),
            fails(2, {"positions"}),
            ok({"wash-options", "on"}),
            ok({"wash-options"}, "on\n"),
            fails(2, {"wash-options", "yes"}),
        };
        test::runCliSteps(t.path(), steps);
    }

    // Splits and symbol changes recorded, listed, refused by name, applied
    // by the next run, and the processed accounts they change marked.
    void corporateActions() {
        TestDatabase t;
        const QString a = QStringLiteral("Joint");
        t.addTxn(a, "Jan", "OLD", 10, "Bought", QDate(2024, 1, 3), -1000); // 1
        t.addTxn(a, "Jul", "NEW", 100, "Sold", QDate(2024, 7, 1), 1500);   // 2
        const QString processAgain =
            QStringLiteral("Accounts to process again before filing: Joint\n");
        const QString marked =
            QStringLiteral("To process again for the corporate actions: Joint\n");
        const QVector<Step> steps{
            fails(1, {"split", "OLD", "13/45/2024", "10:1"}, "Not a date: 13/45/2024\n"),
            fails(1, {"split", "OLD", "06/10/2024", "10/1"},
                  "Not a ratio: 10/1 (write it as N:M, such as 10:1)\n"),
            fails(2, {"split", "OLD", "06/10/2024"}),
            ok({"rename", "OLD", "OLDER", "05/01/2024"}),
            ok({"delete-action", "1"}),
            fails(2, {"delete-action", "x"}),
            ok({"--year", "2024", "process", a},
               "Processing of Joint wrote 1 tax record to %db.\n" + kToCheck),
            ok({"rename", "OLD", "NEW", "05/01/2024", "--note", "merger"}, marked),
            ok({"split", "OLD", "2024-03-01", "10:1"}, marked),
            ok({"actions"}, "ID,Symbol,Date,Kind,Ratio,New Symbol,Note\n"
                            "3,OLD,03/01/2024,split,10:1,,\n"
                            "2,OLD,05/01/2024,symbol change,,NEW,merger\n"),
            fails(
                1, {"process", a},
                "Trades or corporate actions changed since Joint was processed: Process matches it "
                "again. Give --again to do so.\n"),
            // Until then every output of the records says so, last.
            ok({"export-txf", t.folder() + "/stale.txf"},
               "TXF export wrote 1 tax record to " + t.folder() + "/stale.txf.\nNeeds a look:\n- " +
                   processAgain),
            ok({"--year", "2024", "process", "--again", a},
               "Processing of Joint wrote 1 tax record to %db.\n"),
            ok({"export-txf", t.folder() + "/fresh.txf"},
               "TXF export wrote 1 tax record to " + t.folder() + "/fresh.txf.\n"),
        };
        test::runCliSteps(t.path(), steps);
    }
};

GAINBOOK_GUILESS_TEST(TestMatchingCli)
#include "test_matching_cli.moc"
