#include "capture/capture_parsers.h"
#include "capture_harness.h"
#include "page_builder.h"

#include <QtTest>

using namespace gainbook;
using test::CaptureHarness;
using test::PageBuilder;

namespace {

const QString kNoData =
    QStringLiteral("No data could be captured. Please make sure that right data is displayed for ");

// A year-end page: navigation, the account cell, the landmark, a table of
// sales ending in a totals line, then the purchases.
PageBuilder etradePage(int lead = 800, const QString& accountCell = "Account: 4455-0001") {
    PageBuilder b;
    b.add("TD", "Account number shown below: ACCOUNT: none");
    b.add("TD", accountCell);
    b.filler(lead);
    b.add("B", "1099-B Proceeds From Broker Transactions 2000");
    b.row({"SYMBOL", "TRADE DATE", "TYPE", "QUANTITY", "PRICE", "NET PROCEEDS", "AMOUNT ADJ."});
    b.row({"IBM", "03/15/2000", " SALE ", "-100", "12.345", "($1,234.50)", ""});
    b.row({"MSFT", "04/03/2000", "DIVIDEND", "0", "", "$12.00", ""});
    b.row({"ZERO", "04/04/2000", "SALE", "0", "1", "$10.00", ""});
    b.row({"TOTAL", "TOTALS", "", "", "", "$1,246.50", ""});
    b.row({"LATE", "05/01/2000", "SALE", "10", "1", "$10.00", ""});
    b.add("TD", "PURCHASES");
    b.add("B", "AMOUNT ADJ.");
    b.row({"DELL", "01/10/2000", "PURCHASE", "50", "20", "$1,000.00", ""});
    b.row({"O'NEIL", "01/11/2000", "PURCHASE", "5", "2", "10", ""});
    b.row({"END", "TOTALS", "", "", "", "", ""});
    return b;
}

PageDocument datekPage(const QVector<QStringList>& rows, bool frames = true) {
    PageBuilder nav;
    nav.add("A", "Home");
    PageBuilder b;
    b.add("HTML", "");
    b.add("TD", "UserName: 7788-1234");
    b.add("TD", "Account History for March 2000");
    b.row({"Ref", "Date", "Activity", "Symbol", "Quantity", "Price", "Cash Balance"});
    for (const QStringList& r : rows) {
        // Ref, date, kind link, symbol, quantity, price, amount
        b.add("TR", r.join(u'\t'));
        b.add("TD", r[0]).add("TD", r[1]).add("TD", r[2]).add("A", r[2]);
        for (int c = 3; c < r.size(); ++c)
            b.add("TD", r[c]);
    }
    b.add("TR", "").add("TD", "End of history");
    b.filler(8);
    PageDocument page;
    page.frames.append(nav.page());
    if (frames)
        page.frames.append(b.page());
    return page;
}

PageBuilder fbrPage(int lead = 650, const QString& heading = "AMOUNT ") {
    PageBuilder b;
    b.filler(lead);
    b.row({"DATE", "ACTION", "TYPE", "QUANTITY", "DESCRIPTION", "PRICE", heading});
    return b;
}

} // namespace

class TestPageParsers : public QObject {
    Q_OBJECT

private slots:
    void etrade() {
        CaptureHarness h;
        const auto out = h.run("Etrade", etradePage().page());
        QCOMPARE(out.rows, (QStringList{"4455-0001|All|IBM|100|Sold|03/15/2000|1234.5| ",
                                        "4455-0001|All|DELL|50|Bought|01/10/2000|1000| ",
                                        "4455-0001|All|O'NEIL|5|Bought|01/11/2000|10| "}));
        QCOMPARE(out.messages, QStringList{"3 records successfully added."});
        QCOMPARE(out.state.status, QString("3 records successfully added."));
    }

    void etradeLandmarks_data() {
        QTest::addColumn<int>("lead");
        QTest::addColumn<bool>("derive");
        QTest::addColumn<QString>("accountCell");
        QTest::addColumn<QString>("account");
        QTest::addColumn<int>("rows");
        QTest::newRow("landmark among the first 800") << 700 << true << "Account: 1"
                                                      << "1" << 0;
        QTest::newRow("derive unchecked") << 800 << false << "Account: 1"
                                          << "Account1" << 3;
        QTest::newRow("long account cell passed over")
            << 800 << true << "Your account: 12345678901234"
            << "Account1" << 3;
        QTest::newRow("account word in any case") << 800 << true << "aCCount: X9"
                                                  << "X9" << 3;
    }
    void etradeLandmarks() {
        QFETCH(int, lead);
        QFETCH(bool, derive);
        QFETCH(QString, accountCell);
        QFETCH(QString, account);
        QFETCH(int, rows);
        CaptureHarness h;
        const auto out = h.run("Etrade", etradePage(lead, accountCell).page(),
                               [&](CaptureState& s) { s.deriveFromData = derive; });
        QCOMPARE(out.rows.size(), rows);
        QCOMPARE(out.state.account, account);
        if (rows == 0)
            QCOMPARE(out.messages, QStringList{kNoData + "Etrade"});
    }

    void etradeSkipsUnreadableQuantity() {
        PageBuilder b = etradePage();
        for (PageElement& e : b.elements)
            if (e.innerText == "-100")
                e.innerText = "n/a";
        CaptureHarness h;
        const auto out = h.run("Etrade", b.page());
        QCOMPARE(out.rows.size(), 2);
        QCOMPARE(out.messages,
                 (QStringList{"2 records successfully added.",
                              "1 row was skipped: 1 with a quantity or amount that is not a "
                              "number."}));
    }

    void datek() {
        CaptureHarness h;
        const auto out = h.run(
            "Datek", datekPage({{"1", "03/01/2000", " Sold ", "IBM", "-50", "40", "$(2,000.00)"},
                                {"2", "03/02/2000", "SOLD", "T", "10", "1", "$10.00"},
                                {"3", "03/03/2000", "Dividend", "T", "", "", "$1.00"},
                                {"4", "03/04/2000", "Bought", "DELL", "20", "5", "$100.00"}}));
        QCOMPARE(out.rows, (QStringList{"7788-1234|March 2000|IBM|50|Sold|03/01/2000|2000| ",
                                        "7788-1234|March 2000|DELL|20|Bought|03/04/2000|100| "}));
        // The fields now show what the page named.
        QCOMPARE(out.state.account, QString("7788-1234"));
        QCOMPARE(out.state.month, QString("March 2000"));
    }

    void datekDuplicateUsesFieldsShown() {
        CaptureHarness h;
        const PageDocument page =
            datekPage({{"1", "03/01/2000", "Bought", "IBM", "5", "1", "$5.00"}});
        auto setup = [](CaptureState& s) {
            s.account = "7788-1234";
            s.month = "March 2000";
        };
        h.run("Datek", page);
        // The fields typed differ from the page: no question, appended.
        QVERIFY(h.run("Datek", page).questions.isEmpty());
        const auto again = h.run("Datek", page, setup);
        QCOMPARE(again.questions.size(), 1);
        QCOMPARE(again.rows.size(), 2);
    }

    void datekWithoutSecondFrame() {
        CaptureHarness h;
        const auto out =
            h.run("Datek", datekPage({{"1", "03/01/2000", "Sold", "IBM", "5", "1", "$5"}}, false));
        QVERIFY(out.rows.isEmpty());
        QCOMPARE(out.messages, QStringList{kNoData + "Datek"});
    }

    void fbr_data() {
        QTest::addColumn<int>("lead");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QStringList>("rows");
        const QStringList all{"FBR-Account1|All|IBM|100|Bought|03/15/2000|10000| ",
                              "FBR-Account1|All|T|20|Sold|03/16/2000|500.25| "};
        QTest::newRow("table read") << 650 << "AMOUNT " << all;
        QTest::newRow("heading among the first 650") << 600 << "AMOUNT " << QStringList();
        QTest::newRow("heading without trailing blank") << 650 << "AMOUNT" << QStringList();
    }
    void fbr() {
        QFETCH(int, lead);
        QFETCH(QString, heading);
        QFETCH(QStringList, rows);
        PageBuilder b = fbrPage(lead, heading);
        b.row({"03-15-2000", "BOT", "CASH", "100", "IBM", "$100.00", "($10,000.00)"});
        b.row({"03-15-2000", "Bot", "CASH", "5", "MIXED", "$1", "$5.00"});
        b.row({"03-16-2000", "DIV", "CASH", "", "T", "", "$3.00"});
        b.row({"03-16-2000", "SOLD", "CASH", "-20", "T", "$25", "$500.25"});
        b.row({"03-17-2000", "SOLD", "CASH", "0", "ZERO", "$25", "$0"});
        b.row({"TOTAL", "", "", "", "", "", "$10,505.25"});
        b.row({"03-18-2000", "SOLD", "CASH", "7", "AFTER", "$1", "$7.00"});
        CaptureHarness h;
        const auto out = h.run("FBR", b.page());
        QCOMPARE(out.rows, rows);
    }

    void waterhouse() {
        PageBuilder b;
        b.filler(3);
        b.row({"Account", "Security", "Action", "Quantity", "Amount", "Price", "Trade Date",
               "Settlement Date"});
        b.row({"1", "BRK /B", "Buy", "2", "$5,000.00", "2500", "02/01/2000", "02/04/2000"});
        b.row({"1", "Acme Corp. (New)", "Sell", "-30", "($300.00)", "10", "02/02/2000", "x"});
        b.row({"1", "Cash", "Interest", "", "$1.00", "", "02/03/2000", "x"});
        b.row({"1", "BAD", "Sell", "many", "$1.00", "", "02/03/2000", "x"});
        b.row({"1", "IBM", "Buy", "10", "$1,000.00", "100", "02/05/2000", "x"});
        CaptureHarness h;
        const auto out = h.run("Waterhouse", b.page());
        QCOMPARE(out.rows, (QStringList{"Waterhouse1|All|BRK|2|Bought|02/01/2000|5000| ",
                                        "Waterhouse1|All|ACMECORPNEW|30|Sold|02/02/2000|300| ",
                                        "Waterhouse1|All|IBM|10|Bought|02/05/2000|1000| "}));
        QCOMPARE(out.messages.size(), 2);
        QVERIFY(out.messages[1].startsWith("1 row was skipped"));
    }

    void htmlParsersOnSheet_data() {
        QTest::addColumn<QString>("entry");
        for (const char* e : {"Etrade", "Datek", "FBR", "Waterhouse"})
            QTest::newRow(e) << e;
    }
    void htmlParsersOnSheet() {
        QFETCH(QString, entry);
        CaptureHarness h;
        const auto out = h.run(entry, test::sheetOf({{"Date", "Type"}, {"1/1/00", "Bought"}}));
        QVERIFY(out.rows.isEmpty());
        QCOMPARE(out.messages, QStringList{kNoData + entry});
        QVERIFY(!out.result.completed());
    }
};

int runPageParserTests(int argc, char** argv) {
    TestPageParsers t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_page_parsers.moc"
