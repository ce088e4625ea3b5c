#include "cli/cli_commands.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

struct Step {
    QStringList args;
    int code;
    QString out;
    QString err;
};

const QString kHeading = QStringLiteral(
    "Date Sold,Quantity,Symbol,Sale Price,Linked,Buy Date,Buy Symbol,Applied Quantity,Applied "
    "Cost,Total Quantity,Total Cost,BuyId,SellID\n");

const QString kLotsHeading =
    QStringLiteral("Symbol,Shares,Cost/Share,Cost,Date Acquired,Long Term On,Price,Unrealized "
                   "Short,Unrealized Long,Loss Sale\n");

} // namespace

class TestMatchingCli : public QObject {
    Q_OBJECT

private slots:
    // One session of commands on one database, each with its exact output
    // and exit code, in order.
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
            {{"links", a}, 0, kHeading, ""},
            // The hand-entered record is not added to without --again.
            {{"process", a},
             1,
             "",
             "Account O'Brien IRA already has 1 tax record. Give --again to replace it.\n"},
            {{"process", "--again", a},
             0,
             "Sells to check: 0 matched to a buy made after the sale, 0 larger than the buys "
             "found (All Buy Rec Not Found), 1 without a buy.\n",
             ""},
            {{"links", a},
             0,
             kHeading + "02/01/2000,120,IBM,2000.00,1,01/03/2000,IBM,100,1000.00,100,-1000.00,1,3\n"
                        ",,,,1,01/10/2000,IBM,20,300.00,50,-750.00,2,3\n"
                        "02/02/2000,10,MSFT,300.00,Add,,,,,,,,4\n",
             ""},
            {{"tax", a},
             0,
             "Symbol,Quantity,Date Bought,Date Sold,Cost,Proceed,Gain,Box,Wash Adj.,Comment,ID\n"
             "IBM,120,01/03/2000,02/01/2000,\"1,300.00\",\"2,000.00\",700.00,A,, ,2\n"
             "MSFT,10,,02/02/2000,0.00,300.00,300.00,,,All Buy Rec Not Found,3\n",
             ""},
            // The account's setting picks the boxes of the next rebuild.
            {{"account-basis", a}, 0, "yes\n", ""},
            {{"account-basis", a, "None"}, 0, "", ""},
            {{"account-basis", a}, 0, "none\n", ""},
            {{"account-basis", a, "maybe"}, 2, "", ""},
            {{"account-basis", "Nobody", "no"}, 1, "", "Account not found: Nobody\n"},
            {{"account-basis"}, 2, "", ""},
            // The wash-sale settings read and change like the basis.
            {{"account-wash", a}, 0, "detect on\nother-accounts on\nira off\n", ""},
            {{"account-wash", a, "--ira", "on", "--detect", "off"}, 0, "", ""},
            {{"account-wash", a}, 0, "detect off\nother-accounts on\nira on\n", ""},
            // A tax-advantaged account's sales are listed, noted, and left
            // out of the totals, the TXF file and the report.
            {{"tax", "--totals", a},
             0,
             "Total Records 0\nTotal Proceed .00\nTotal Gain/Loss .00\n"
             "2 records tax-advantaged: not reported\n",
             ""},
            {{"tax", a},
             0,
             "Symbol,Quantity,Date Bought,Date Sold,Cost,Proceed,Gain,Box,Wash Adj.,Comment,ID\n"
             "IBM,120,01/03/2000,02/01/2000,\"1,300.00\",\"2,000.00\",700.00,A,, ,2\n"
             "MSFT,10,,02/02/2000,0.00,300.00,300.00,,,All Buy Rec Not Found,3\n",
             "2 records tax-advantaged: not reported\n"},
            {{"export-txf", t.folder() + "/ira.txf"}, 1, "", "NO record exist to be exported\n"},
            {{"report", t.folder() + "/ira.csv"}, 1, "", "No tax record sold in 2000 to report\n"},
            {{"account-wash", a, "--ira", "maybe"}, 2, "", ""},
            {{"account-wash", a, "--detect", "on", "--ira", "off"}, 0, "", ""},
            {{"wash", a},
             0,
             "Date Sold,Symbol,Quantity,Disallowed,Replacement Account,Date Bought,Shares,"
             "Added Cost,Date Acquired,Note\n",
             ""},
            {{"recalc", a}, 0, "", ""},
            {{"tax", a},
             0,
             "Symbol,Quantity,Date Bought,Date Sold,Cost,Proceed,Gain,Box,Wash Adj.,Comment,ID\n"
             "IBM,120,01/03/2000,02/01/2000,\"1,300.00\",\"2,000.00\",700.00,C,, ,4\n"
             "MSFT,10,,02/02/2000,0.00,300.00,300.00,,, ,5\n",
             ""},
            {{"account-basis", a, "yes"}, 0, "", ""},
            {{"process", a}, 1, "", "Account already processed: O'Brien IRA\n"},
            {{"detach", a, "3:9"}, 1, "", "Lot not found: 3:9\n"},
            {{"detach", a, "3:2", "3"}, 2, "", ""},
            {{"detach", a, "3:2"}, 0, "", ""},
            {{"links", a},
             0,
             kHeading + "02/01/2000,120,IBM,2000.00,1,01/03/2000,IBM,100,1000.00,100,-1000.00,1,3\n"
                        "02/02/2000,10,MSFT,300.00,Add,,,,,,,,4\n",
             ""},
            {{"recalc", a}, 0, "", ""},
            // A buy of another symbol and account, linked by hand, shows and
            // can be detached.
            {{"link", a, "4", "5"}, 0, "", ""},
            {{"links", a},
             0,
             kHeading + "02/01/2000,120,IBM,2000.00,1,01/03/2000,IBM,100,1000.00,100,-1000.00,1,3\n"
                        "02/02/2000,10,MSFT,300.00,1,01/03/2000,T,10,100.00,10,-100.00,5,4\n",
             ""},
            {{"detach", a, "4:5"}, 0, "", ""},
            {{"links", a},
             0,
             kHeading + "02/01/2000,120,IBM,2000.00,1,01/03/2000,IBM,100,1000.00,100,-1000.00,1,3\n"
                        "02/02/2000,10,MSFT,300.00,Add,,,,,,,,4\n",
             ""},
            // Run again: the lot detached above and the other account's buy
            // linked by hand give way to the run's own links; the tax
            // records are replaced, not added to.
            {{"link", a, "4", "5"}, 0, "", ""},
            {{"process", "--again", a},
             0,
             "Sells to check: 0 matched to a buy made after the sale, 0 larger than the buys "
             "found (All Buy Rec Not Found), 1 without a buy.\n",
             ""},
            {{"links", a},
             0,
             kHeading + "02/01/2000,120,IBM,2000.00,1,01/03/2000,IBM,100,1000.00,100,-1000.00,1,3\n"
                        ",,,,1,01/10/2000,IBM,20,300.00,50,-750.00,2,3\n"
                        "02/02/2000,10,MSFT,300.00,Add,,,,,,,,4\n",
             ""},
            {{"tax", a},
             0,
             "Symbol,Quantity,Date Bought,Date Sold,Cost,Proceed,Gain,Box,Wash Adj.,Comment,ID\n"
             "IBM,120,01/03/2000,02/01/2000,\"1,300.00\",\"2,000.00\",700.00,A,, ,8\n"
             "MSFT,10,,02/02/2000,0.00,300.00,300.00,,,All Buy Rec Not Found,9\n",
             ""},
            {{"txns", "Old"},
             0,
             "Month,Symbol,Quantity,Txn Type,Txn Date,Txn Amount,Comment,ID\n"
             "Jan,T,10,Bought,01/03/2000,-100.00,10,5\n",
             ""},
            {{"process", "--again", "Nobody"}, 1, "", "Account not found: Nobody\n"},
            {{"process", ""}, 1, "", "Please select one account\n"},
            {{"process", "Nobody"}, 1, "", "Account not found: Nobody\n"},
            // Buys alone: nothing to match is a finished run.
            {{"process", "Old"}, 0, "Nothing to match: Old has no sell.\n", ""},
            {{"recalc", "Old"}, 1, "", noYear},
            {{"detach", a}, 2, "", ""},
            // 120 IBM sold for 2000 from 100 at 10 and 50 at 15 (Pub 550
            // cost basis by lot), with 300 of MSFT bought at no cost: oldest
            // and lowest first 100 at 10 + 20 at 15 = 1300; newest and
            // highest 50 at 15 + 70 at 10 = 1450; average 1750 / 150 a
            // share for 120 = 1400. Nothing is written.
            {{"compare", a},
             0,
             "Method,Short Term,Long Term,Wash Adj.,Total\n"
             "\"First in, first out\",1000.00,0.00,0.00,1000.00\n"
             "\"Last in, first out\",850.00,0.00,0.00,850.00\n"
             "Highest cost first,850.00,0.00,0.00,850.00\n"
             "Lowest cost first,1000.00,0.00,0.00,1000.00\n"
             "Average cost,900.00,0.00,0.00,900.00\n",
             ""},
            {{"tax", "--totals", a},
             0,
             "Total Records 2\nTotal Proceed 2,300.00\nTotal Gain/Loss 1,000.00\n"
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
        runSteps(t, steps);
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
        runSteps(t, {{year + QStringList{"recalc", "Buys"}, 1, "", message}});
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
            {{"split", "OLD", "13/45/2024", "10:1"}, 1, "", "Not a date: 13/45/2024\n"},
            {{"split", "OLD", "06/10/2024", "10/1"},
             1,
             "",
             "Not a ratio: 10/1 (write it as N:M, such as 10:1)\n"},
            {{"split", "OLD", "06/10/2024", "0:1"},
             1,
             "",
             "The ratio 0:1 of a split must be two numbers above 0.\n"},
            {{"split", "OLD", "06/10/2024"}, 2, "", ""},
            {{"rename", "OLD", "old", "05/01/2024"},
             1,
             "",
             "A symbol change from OLD to old keeps the same symbol.\n"},
            {{"rename", "OLD", "OLDER", "05/01/2024"}, 0, "", ""},
            {{"delete-action", "1"}, 0, "", ""},
            {{"delete-action", "1"}, 1, "", "No corporate action 1\n"},
            {{"delete-action", "x"}, 2, "", ""},
            {{"--year", "2024", "process", a},
             0,
             "Sells to check: 0 matched to a buy made after the sale, 0 larger than the buys "
             "found (All Buy Rec Not Found), 1 without a buy.\n",
             ""},
            {{"rename", "OLD", "NEW", "05/01/2024", "--note", "merger"},
             0,
             "To process again for the corporate actions: Joint\n",
             ""},
            {{"split", "OLD", "2024-03-01", "10:1"},
             0,
             "To process again for the corporate actions: Joint\n",
             ""},
            {{"rename", "NEW", "OLD", "05/01/2024"},
             1,
             "",
             "The symbol changes NEW -> OLD -> NEW on 05/01/2024 loop back.\n"},
            {{"actions"},
             0,
             heading +
                 "3,OLD,03/01/2024,split,10:1,,\n2,OLD,05/01/2024,symbol change,,NEW,merger\n",
             ""},
            {{"process", a},
             1,
             "",
             "Trades or corporate actions changed since Joint was processed: Process matches it "
             "again. Give --again to do so.\n"},
            // Until then every output of the records says so, last.
            {{"tax", "--totals", a},
             0,
             "Total Records 1\nTotal Proceed 1,500.00\nTotal Gain/Loss 1,500.00\n"
             "To check: 0 bought after sold, 0 not all found, 1 no buy\n" +
                 processAgain,
             ""},
            {{"tax", a},
             0,
             "Symbol,Quantity,Date Bought,Date Sold,Cost,Proceed,Gain,Box,Wash Adj.,Comment,ID\n"
             "NEW,100,,07/01/2024,0.00,\"1,500.00\",\"1,500.00\",,,All Buy Rec Not Found,1\n",
             processAgain},
            {{"export-txf", t.folder() + "/stale.txf"}, 0, processAgain, ""},
            {{"report", t.folder() + "/stale.csv"}, 0, processAgain, ""},
            {{"--year", "2024", "process", "--again", a}, 0, "", ""},
            {{"export-txf", t.folder() + "/fresh.txf"}, 0, "", ""},
            {{"process", a}, 1, "", "Account already processed: Joint\n"},
            {{"--year", "2024", "links", a},
             0,
             kHeading +
                 "07/01/2024,100,NEW,1500.00,1,01/03/2024,OLD,100,1000.00,100,-1000.00,1,2\n",
             ""},
        };
        runSteps(t, steps);
    }

private:
    static void runSteps(TestDatabase& t, const QVector<Step>& steps) {
        for (const Step& step : steps) {
            QString out;
            QString err;
            QTextStream o(&out);
            QTextStream e(&err);
            const int code = runCli(QStringList{"--db", t.path()} + step.args, o, e);
            o.flush();
            e.flush();
            const QByteArray what = step.args.join(u' ').toUtf8();
            QVERIFY2(out == step.out, what + "\n" + out.toUtf8());
            QVERIFY2(code == step.code, what + " exit " + QByteArray::number(code));
            if (step.code == 2)
                QVERIFY2(err.contains("usage: gainbook-cli"), what);
            else
                QVERIFY2(err == step.err, what + "\n" + err.toUtf8());
        }
    }
};

GAINBOOK_GUILESS_TEST(TestMatchingCli)
#include "test_matching_cli.moc"
