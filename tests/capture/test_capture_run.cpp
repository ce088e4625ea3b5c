#include "capture_harness.h"
#include "matching/trade_changes.h"
#include "page_builder.h"
#include "store/corp_action_table.h"
#include "store/store_backup.h"
#include "store/store_fault.h"
#include "support/test_main.h"

#include <QSqlQuery>
#include <QtTest>

using namespace gainbook;
using test::CaptureHarness;

Q_DECLARE_METATYPE(gainbook::PageDocument)

namespace {

PageDocument otherSheet(const QStringList& symbols) {
    QVector<QStringList> rows{{"Date", "Type", "Symbol", "Quantity", "Amount"}};
    for (const QString& s : symbols)
        rows.append({"3/1/00", "Buy", s, "1", "10"});
    return test::sheetOf(rows);
}

const QString kDuplicate = QStringLiteral(
    "Some data already exist for this account. Do you still want to add this data ?");

} // namespace

// What every entry shares: the field checks, the duplicate question and the
// writing of the rows. The choice of an entry is tested on the screen.
class TestCaptureRun : public QObject {
    Q_OBJECT

private slots:
    // Typed fields are demanded before the page is read; greyed ones
    // ("Derive from Data") only where the rows would be filed without them.
    // "name|entry|derive|account|month|message|rows written"
    void fieldChecks_data() {
        QTest::addColumn<QStringList>("f");
        for (const QString& row : QStringList{
                 "no account|Other|0||All|Please enter an Account Name|0",
                 "no month|Other|0|A||Please enter an Transaction Month or Leave All|0",
                 "unknown entry|Scottrade|0|A|All|Wrong Account Type |0",
                 "greyed, page names no account|Other|1||All|The page does not name the account. "
                 "Uncheck \"Derive from Data\" and enter an Account Name.|0",
                 "greyed, page names no month|Other|1|A||The page does not name the transaction "
                 "month. Uncheck \"Derive from Data\" and enter a Transaction Month or Leave "
                 "All.|0",
                 "greyed fields filled|Other|1|A|All|1 records successfully added.|1",
                 "greyed, no rows|Etrade|1|||" + test::noData("Etrade") + "|0"}) {
            const QStringList f = row.split(u'|');
            QTest::newRow(qPrintable(f[0])) << f;
        }
    }
    void fieldChecks() {
        QFETCH(QStringList, f);
        const int written = f[6].toInt();
        CaptureHarness h;
        // Rows already there would bring the duplicate question, which
        // must not come before a check that stops the run.
        h.db.addTxn("", "", "OLD", 1, "Bought", QDate(2000, 1, 1), 1);
        h.db.addTxn("A", "", "OLD", 1, "Bought", QDate(2000, 1, 1), 1);
        h.prompter.answers.enqueue(true);
        const auto out = h.run(f[1], otherSheet({"IBM"}), [&](CaptureState& s) {
            s.deriveFromData = f[2] == u"1";
            s.account = f[3];
            s.month = f[4];
        });
        QCOMPARE(out.messages, QStringList{f[5]});
        QVERIFY(out.questions.isEmpty());
        QCOMPARE(out.outcome.done(), written > 0);
        QCOMPARE(out.rows.size(), 2 + written);
    }

    // The account was processed (it has a link): a trade added to it has
    // no tax record until it is processed again, which the store keeps.
    void duplicateQuestion_data() {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("processAgain");
        QTest::newRow("Yes appends") << true << 3 << "1 records successfully added."
                                     << "Accounts to process again before filing: Other1";
        QTest::newRow("No writes nothing") << false << 2 << ""
                                           << "";
    }
    void duplicateQuestion() {
        QFETCH(bool, answer);
        QFETCH(int, rows);
        QFETCH(QString, status);
        QFETCH(QString, processAgain);
        CaptureHarness h;
        h.db.addTxn("Other1", "All", "OLD", 1, "Bought", QDate(2000, 1, 1), 1);
        h.db.addTxn("Other1", "Feb", "OLD", 1, "Bought", QDate(2000, 1, 1), 1);
        runQuery(h.db.connection(),
                 "INSERT INTO SellLinks (AccountName, SellId, BuyId) VALUES (?, 0, 1)", {"Other1"});
        h.prompter.answers.enqueue(answer);
        const auto out = h.run("Other", otherSheet({"IBM"}));
        QCOMPARE(out.questions, QStringList{kDuplicate});
        QCOMPARE(out.rows.size(), rows);
        QCOMPARE(out.state.status, status);
        QCOMPARE(out.outcome.done(), answer);
        QCOMPARE(processAgainLine(h.db.connection()), processAgain);
        // Another month of the same account is not a duplicate.
        const auto other =
            h.run("Other", otherSheet({"IBM"}), [](CaptureState& s) { s.month = "Mar"; });
        QVERIFY(other.questions.isEmpty());
    }

    // A page that gives no rows, of whatever kind (a sheet for a page reader,
    // a page for a sheet reader), says so without asking about the rows
    // already there.
    void noRowsNoQuestion_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<PageDocument>("document");
        QTest::addColumn<QStringList>("messages");
        const PageDocument sheet = test::sheetOf({{"Date", "Type"}, {"1/1/00", "Bought"}});
        for (const char* e : {"Etrade", "Datek", "FBR", "Waterhouse"})
            QTest::newRow(e) << e << sheet << QStringList{test::noData(e)};
        const PageDocument page = test::PageBuilder().row({"Date", "Type"}).page();
        for (const char* e : {"Other", "WebStreet", "Wit Capital"})
            QTest::newRow(e) << e << page << QStringList{test::kOpenSheet};
        QTest::newRow("preset given a page")
            << "Robinhood" << PageDocument{} << QStringList{test::noData("Robinhood")};
        PageDocument menuOnly; // a Datek frameset without its history frame
        menuOnly.frames.append(test::PageBuilder().add("A", "Home").page());
        QTest::newRow("Datek without a second frame")
            << "Datek" << menuOnly << QStringList{test::noData("Datek")};
        QTest::newRow("every row skipped")
            << "Other"
            << test::sheetOf({{"Date", "Type", "Symbol", "Quantity", "Amount"},
                              {"3/1/00", "Buy", "A", "x", "1"}})
            << QStringList{test::noData("Other"), "1 row was skipped: 1 with a quantity or "
                                                  "amount that is not a number."};
        QTest::newRow("no row is a trade")
            << "Other"
            << test::sheetOf({{"Statement"},
                              {"Date", "Action", "Symbol", "Quantity", "Amount"},
                              {"3/1/00", "Cash Dividend", "A", "", "1"},
                              {"3/2/00", "Bank Interest", "", "", "1"},
                              {"3/3/00", "Qualified Dividend", "A", "", "1"}})
            << QStringList{test::noData("Other"), "3 rows that are not buys or sells were "
                                                  "skipped: dividend 2, interest 1."};
    }
    void noRowsNoQuestion() {
        QFETCH(QString, entry);
        QFETCH(PageDocument, document);
        QFETCH(QStringList, messages);
        CaptureHarness h;
        h.db.addTxn("A", "All", "X", 1, "Bought", QDate(2000, 1, 1), 1);
        h.prompter.answers.enqueue(true);
        const auto out = h.run(entry, document, [](CaptureState& s) {
            s.account = "A";
            s.month = "All";
            s.deriveFromData = false;
        });
        QCOMPARE(out.messages, messages);
        QVERIFY(out.questions.isEmpty());
        QCOMPARE(out.rows.size(), 1);
        QVERIFY(out.outcome.stopped());
        QCOMPARE(out.state.status, QString("Processing"));
    }

    // A split or symbol-change row is put to the user as the action it
    // implies, its ratio from the shares held before its day.
    void corporateActionRows_data() {
        QTest::addColumn<QVector<QStringList>>("rows");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("actions");
        // The rows after a buy of 10 XYZ; the message after the count.
        auto row =
            [](const char* name, const QVector<QStringList>& rows, bool answer,
               const QString& question, const QString& message) {
                QTest::newRow(name)
                    << QVector<QStringList>{{"Date", "Type", "Symbol", "Quantity", "Amount"},
                                            {"1/3/2024", "Buy", "XYZ", "10", "-1000"}} +
                           rows
                    << answer << (question.isEmpty() ? QStringList() : QStringList{question})
                    << QStringList{"1 records successfully added.", message}
                    << int(message.startsWith("Recorded"));
            };
        row("stock split recorded", {{"6/10/2024", "Stock Split", "XYZ", "90", ""}}, true,
            "Record a 10:1 split of XYZ on 06/10/2024?",
            "Recorded: a 10:1 split of XYZ on 06/10/2024.");
        row("split declined", {{"6/10/2024", "Forward Split", "XYZ", "20", ""}}, false,
            "Record a 3:1 split of XYZ on 06/10/2024?",
            "The Forward Split row of XYZ on 06/10/2024 was not recorded.");
        row("reverse split in two rows",
            {{"6/10/2024", "Reverse Split", "XYZ", "-10", ""},
             {"6/10/2024", "Reverse Split", "XYZ", "5", ""}},
            true, "Record a 1:2 split of XYZ on 06/10/2024?",
            "Recorded: a 1:2 split of XYZ on 06/10/2024.");
        row("symbol change from its two rows",
            {{"6/13/2024", "Symbol change", "XYZ", "-10", ""},
             {"6/13/2024", "Symbol change", "XYZN", "10", ""}},
            true, "Record the change of XYZ to XYZN on 06/13/2024?",
            "Recorded: the change to XYZN of XYZ on 06/13/2024.");
        row("split of shares not held", {{"6/10/2024", "Stock Split", "ABC", "30", ""}}, true, "",
            "The Stock Split row of ABC on 06/10/2024 was not recorded: no shares were held "
            "before it to tell the ratio.");
    }
    void corporateActionRows() {
        QFETCH(QVector<QStringList>, rows);
        QFETCH(bool, answer);
        QFETCH(QStringList, questions);
        QFETCH(QStringList, messages);
        QFETCH(int, actions);
        CaptureHarness h;
        h.prompter.answers.enqueue(answer);
        const auto out = h.run("Other", test::sheetOf(rows), [](CaptureState& s) {
            s.account = "A";
            s.month = "All";
            s.deriveFromData = false;
            s.today = QDate(2025, 6, 30);
        });
        QCOMPARE(out.questions, questions);
        QCOMPARE(out.messages, messages);
        QCOMPARE(selectCorpActions(h.db.connection()).size(), actions);
    }

    void skippedRowsToldAfterTheCount() {
        const auto out = CaptureHarness().run(
            "Other", test::sheetOf({{"Date", "Type", "Symbol", "Quantity", "Amount"},
                                    {"pending", "Buy", "B", "1", "1"},
                                    {"3/3/00", "Sell", "C", "1", "n/a"},
                                    {"3/4/00", "Sell", "D", "2", "4"}}));
        QCOMPARE(out.messages,
                 (QStringList{"1 records successfully added.",
                              "2 rows were skipped: 1 with a quantity or amount that is not a "
                              "number, 1 with a date that could not be read."}));
        QVERIFY(out.outcome.done() && out.outcome.count == 1);
    }

    void quotesStoredAsTheyStand() {
        CaptureHarness h;
        auto quoted = [](CaptureState& s) {
            s.account = "O'Brien IRA";
            s.month = "Jan '00";
        };
        const auto out =
            h.run("Other", otherSheet({"O'Neil \"A\"", "'; DROP TABLE Txn; --"}), quoted);
        QCOMPARE(
            out.rows,
            (QStringList{"O'Brien IRA|Jan '00|O'Neil \"A\"|1|Bought|03/01/2000|10|",
                         "O'Brien IRA|Jan '00|'; DROP TABLE Txn; --|1|Bought|03/01/2000|10|"}));
        // The duplicate check finds the quoted account too.
        QCOMPARE(h.run("Other", otherSheet({"X"}), quoted).questions, QStringList{kDuplicate});
    }

    // Rows no brokerage row can hold, or that name no trade, are left out
    // and counted beside a row that goes in; a sell's sign in a sheet is
    // the sheet's and the row is kept.
    void unwritableRowsSkipped_data() {
        QTest::addColumn<QStringList>("row"); // type, symbol, quantity, amount
        QTest::addColumn<QString>("skipped"); // why, empty when kept
        for (const char* row :
             {"quantity of 10^12|Buy|Q|1000000000000|10|with a quantity or amount out of range",
              "amount of -2 x 10^12|Sell|A|1|-2000000000000|with a quantity or amount out of range",
              "amount of 1e308|Sell|A|1|1e308|with a quantity or amount out of range",
              "no symbol|Buy||5|10|without a symbol", "blank symbol|Buy|   |5|10|without a symbol",
              "no shares|Buy|Z|0|10|with a quantity of 0",
              "largest quantity|Buy|OK|89999999999|10|",
              "sell with the sheet's sign|Sell|S|-100|-5000|"}) {
            const QStringList f = QString(row).split(u'|');
            QTest::newRow(qPrintable(f[0])) << f.mid(1, 4) << f[5];
        }
    }
    void unwritableRowsSkipped() {
        QFETCH(QStringList, row);
        QFETCH(QString, skipped);
        CaptureHarness h;
        const QVector<QStringList> rows{{"Date", "Type", "Symbol", "Quantity", "Amount"},
                                        {"3/1/00", "Buy", "KEPT", "1", "10"},
                                        QStringList{"3/2/00"} + row};
        const auto out = h.run("Other", test::sheetOf(rows));
        const int added = skipped.isEmpty() ? 2 : 1;
        QCOMPARE(out.rows.size(), added);
        QStringList messages{QStringLiteral("%1 records successfully added.").arg(added)};
        if (!skipped.isEmpty())
            messages << "1 row was skipped: 1 " + skipped + '.';
        QCOMPARE(out.messages, messages);
    }

    // A failure of the file names the file and what failed; no rows stay,
    // and "no data" is not offered as the reason.
    void fullDiskNamesTheDatabase() {
        CaptureHarness h;
        QSqlQuery pages = runQuery(h.db.connection(), "PRAGMA page_count");
        QVERIFY(pages.next());
        const int count = pages.value(0).toInt();
        pages.finish();
        QVERIFY(QSqlQuery(h.db.connection())
                    .exec(QStringLiteral("PRAGMA max_page_count = %1").arg(count)));
        QStringList symbols;
        for (int i = 0; i < 400; ++i)
            symbols << QStringLiteral("SYMBOL%1").arg(i);
        const auto out = h.run("Other", otherSheet(symbols));
        QVERIFY(out.outcome.failed());
        QCOMPARE(out.rows.size(), 0);
        QCOMPARE(out.messages,
                 QStringList{notWrittenMessage(h.db.path(), "database or disk is full")});
        QVERIFY(QFile::exists(backupFileOf(h.db.path())));
    }

    // Rows go in by batches of one statement: every column of every row
    // lands where it belongs, and a refused row keeps the rows before it,
    // wherever in a batch it falls.
    void refusedRowKeepsEarlierRows_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("refused"); // -1: none
        QTest::newRow("all, batches and a rest") << 70 << -1;
        QTest::newRow("among a few rows") << 4 << 2;
        QTest::newRow("inside the second batch") << 70 << 40;
    }
    void refusedRowKeepsEarlierRows() {
        QFETCH(int, count);
        QFETCH(int, refused);
        CaptureHarness h;
        runQuery(h.db.connection(),
                 "CREATE TRIGGER refuse BEFORE INSERT ON Txn WHEN NEW.Symbol = 'BAD' "
                 "BEGIN SELECT RAISE(ABORT, 'refused by test'); END");
        QVector<QStringList> sheet{{"Date", "Type", "Symbol", "Quantity", "Amount"}};
        QStringList expected;
        for (int i = 0; i < count; ++i) {
            const QString day = QString::number(1 + i % 28);
            const QString symbol = i == refused ? "BAD" : "S" + QString::number(i);
            const bool buy = i % 3 != 0;
            sheet.append({"3/" + day + "/00", buy ? "Buy" : "Sell", symbol, QString::number(i + 1),
                          QString::number(10 + i)});
            expected << QString::asprintf("A|Jan '00|%s|%d|%s|03/%02d/2000|%d|", qPrintable(symbol),
                                          i + 1, buy ? "Bought" : "Sold", 1 + i % 28, 10 + i);
        }
        const auto out = h.run("Other", test::sheetOf(sheet), [](CaptureState& s) {
            s.account = "A";
            s.month = "Jan '00";
        });
        const int kept = refused < 0 ? count : refused;
        QCOMPARE(out.rows, expected.mid(0, kept));
        const QString added = QStringLiteral("%1 records successfully added.").arg(kept);
        if (refused < 0) {
            QCOMPARE(out.messages, QStringList{added});
            return;
        }
        QVERIFY(out.outcome.failed());
        QCOMPARE(out.outcome.count, kept);
        QCOMPARE(out.messages.size(), 2);
        QVERIFY(out.messages[0].contains("BAD") && out.messages[0].contains("refused by test"));
        QCOMPARE(out.messages[1], added);
        QCOMPARE(out.state.status, added);
    }
};

GAINBOOK_GUILESS_TEST(TestCaptureRun)
#include "test_capture_run.moc"
