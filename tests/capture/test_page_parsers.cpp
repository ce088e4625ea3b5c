#include "capture_harness.h"
#include "page_builder.h"

#include <QtTest>

using namespace gainbook;
using test::CaptureHarness;
using test::PageBuilder;

Q_DECLARE_METATYPE(gainbook::PageDocument)

// The parsers' full tables are read end to end from the fixture pages
// (test_capture_fixtures); these cases move the landmarks and break the
// rows in ways those pages do not.
namespace {

// A year-end page: the account cell, navigation, the landmark, a sale, a
// totals line that ends the sales, then the purchases.
PageDocument etradePage(int lead, const QString& accountCell, const QString& quantity = "-100") {
    PageBuilder b;
    b.add("TD", "Account number shown below: ACCOUNT: none").add("TD", accountCell).filler(lead);
    b.add("B", "1099-B Proceeds From Broker Transactions 2000");
    b.row({"SYMBOL", "TRADE DATE", "TYPE", "QUANTITY", "PRICE", "NET PROCEEDS", "AMOUNT ADJ."});
    b.row({"IBM", "03/15/2000", " SALE ", quantity, "12.345", "($1,234.50)", ""});
    b.row({"TOTAL", "TOTALS", "", "", "", "$1,234.50", ""});
    b.row({"LATE", "05/01/2000", "SALE", "10", "1", "$10.00", ""});
    b.add("TD", "PURCHASES").add("B", "AMOUNT ADJ.");
    b.row({"DELL", "01/10/2000", "PURCHASE", "50", "20", "$1,000.00", ""});
    b.row({"END", "TOTALS", "", "", "", "", ""});
    return b.page();
}

// A Datek frameset: a menu frame, then the history frame.
PageDocument datekPage(bool secondFrame = true) {
    PageBuilder menu;
    menu.add("A", "Home");
    PageBuilder b;
    b.add("HTML", "").add("TD", "UserName: 7788-1234").add("TD", "Account History for March 2000");
    b.row({"Ref", "Date", "Activity", "Symbol", "Quantity", "Price", "Cash Balance"});
    b.add("TR", "").add("TD", "1").add("TD", "03/01/2000").add("TD", "Bought").add("A", "Bought");
    b.add("TD", "IBM").add("TD", "5").add("TD", "1").add("TD", "$5.00");
    b.add("TR", "").add("TD", "End of history").filler(8);
    PageDocument page;
    page.frames.append(menu.page());
    if (secondFrame)
        page.frames.append(b.page());
    return page;
}

} // namespace

class TestPageParsers : public QObject {
    Q_OBJECT

private slots:
    // The rows themselves are checked on the fixture page; here the count
    // in the finishing message tells what was read.
    void etradeLandmarks_data() {
        QTest::addColumn<int>("lead");
        QTest::addColumn<bool>("derive");
        QTest::addColumn<QString>("accountCell");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QStringList>("messages");
        auto row = [](const char* name, int lead, bool derive, const QString& cell,
                      const QString& quantity, const QString& account,
                      const QStringList& messages) {
            QTest::newRow(name) << lead << derive << cell << quantity << account << messages;
        };
        const QStringList two{"2 records successfully added."};
        row("read up to the totals", 800, true, "Account: 4455-01", "-100", "4455-01", two);
        row("landmark among the first 800", 700, true, "Account: 1", "-100", "1",
            {test::noData("Etrade")});
        row("derive unchecked", 800, false, "Account: 1", "-100", "Account1", two);
        row("long account cell passed over", 800, true, "Your account: 12345678901234", "-100",
            "Account1", two);
        row("account word in any case", 800, true, "aCCount: X9", "-100", "X9", two);
        row("quantity not a number", 800, true, "Account: 1", "n/a", "1",
            {"1 records successfully added.",
             "1 row was skipped: 1 with a quantity or amount that is not a number."});
    }
    void etradeLandmarks() {
        QFETCH(int, lead);
        QFETCH(bool, derive);
        QFETCH(QString, accountCell);
        QFETCH(QString, quantity);
        QFETCH(QString, account);
        QFETCH(QStringList, messages);
        CaptureHarness h;
        const auto out = h.run("Etrade", etradePage(lead, accountCell, quantity),
                               [&](CaptureState& s) { s.deriveFromData = derive; });
        QCOMPARE(out.state.account, account);
        QCOMPARE(out.messages, messages);
    }

    // The question compares the fields as typed, before the page renames them.
    void datekDuplicateUsesFieldsShown() {
        CaptureHarness h;
        h.run("Datek", datekPage());
        QVERIFY(h.run("Datek", datekPage()).questions.isEmpty());
        const auto again = h.run("Datek", datekPage(), [](CaptureState& s) {
            s.account = "7788-1234";
            s.month = "March 2000";
        });
        QCOMPARE(again.questions.size(), 1);
        QCOMPARE(again.rows.size(), 2);
    }

    void fbrLandmark_data() {
        QTest::addColumn<int>("lead");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<int>("rows");
        QTest::newRow("read") << 650 << "AMOUNT " << 1;
        QTest::newRow("heading among the first 650") << 600 << "AMOUNT " << 0;
        QTest::newRow("heading without trailing blank") << 650 << "AMOUNT" << 0;
    }
    void fbrLandmark() {
        QFETCH(int, lead);
        QFETCH(QString, heading);
        QFETCH(int, rows);
        PageBuilder b;
        b.filler(lead);
        b.row({"DATE", "ACTION", "TYPE", "QUANTITY", "DESCRIPTION", "PRICE", heading});
        b.row({"03-15-2000", "BOT", "CASH", "100", "IBM", "$100.00", "($10,000.00)"});
        b.row({"03-17-2000", "SOLD", "CASH", "0", "ZERO", "$25", "$0"});
        CaptureHarness h;
        QCOMPARE(h.run("FBR", b.page()).rows.size(), rows);
    }

    // A document of the wrong kind, or a Datek page without its second
    // frame, gives a message and stores nothing. The sheet readers refuse
    // before the duplicate question; the page parsers ask it first.
    void wrongDocument_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<PageDocument>("document");
        QTest::addColumn<QString>("message");
        const PageDocument sheet = test::sheetOf({{"Date", "Type"}, {"1/1/00", "Bought"}});
        for (const char* e : {"Etrade", "Datek", "FBR", "Waterhouse"})
            QTest::newRow(e) << e << sheet << test::noData(e);
        QTest::newRow("Datek without a second frame")
            << "Datek" << datekPage(false) << test::noData("Datek");
        const PageDocument page = PageBuilder().row({"Date", "Type"}).page();
        for (const char* e : {"Other", "WebStreet", "Wit Capital"})
            QTest::newRow(e) << e << page << test::kOpenSheet;
    }
    void wrongDocument() {
        QFETCH(QString, entry);
        QFETCH(PageDocument, document);
        QFETCH(QString, message);
        CaptureHarness h;
        h.db.addTxn("A", "All", "X", 1, "Bought", QDate(2000, 1, 1), 1);
        h.prompter.answers.enqueue(true);
        const auto out = h.run(entry, document, [](CaptureState& s) {
            s.account = "A";
            s.month = "All";
        });
        QCOMPARE(out.messages, QStringList{message});
        QCOMPARE(out.questions.size(), message == test::kOpenSheet ? 0 : 1);
        QCOMPARE(out.rows.size(), 1);
    }
};

int runPageParserTests(int argc, char** argv) {
    TestPageParsers t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_page_parsers.moc"
