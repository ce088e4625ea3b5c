#include "capture/capture_parsers.h"
#include "capture_harness.h"
#include "page_builder.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using test::PageBuilder;

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
PageDocument datekPage() {
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
    page.frames.append(b.page());
    return page;
}

} // namespace

class TestPageParsers : public QObject {
    Q_OBJECT

private slots:
    // The rows themselves are checked on the fixture page; here their
    // number tells what was read.
    // "lead|derive|account cell|quantity|account|rows|skipped"
    void etradeLandmarks_data() {
        QTest::addColumn<QStringList>("f");
        for (const char* row : {"read up to the totals|800|1|Account: 4455-01|-100|4455-01|2|0",
                                "landmark among the first 800|700|1|Account: 1|-100|1|0|0",
                                "derive unchecked|800|0|Account: 1|-100|Account1|2|0",
                                "long account cell passed over|800|1|Your account: 12345678901234|"
                                "-100|Account1|2|0",
                                "account word in any case|800|1|aCCount: X9|-100|X9|2|0",
                                "quantity not a number|800|1|Account: 1|n/a|1|1|1"}) {
            const QStringList f = QString(row).split(u'|');
            QTest::newRow(qPrintable(f[0])) << f;
        }
    }
    void etradeLandmarks() {
        QFETCH(QStringList, f);
        const ParseResult result =
            test::parse("Etrade", etradePage(f[1].toInt(), f[3], f[4]),
                        [&](CaptureState& s) { s.deriveFromData = f[2] == u"1"; });
        // The question is about the account the page names.
        QCOMPARE(
            (QStringList{result.account, result.askedAccount, QString::number(result.rows.size()),
                         QString::number(result.skippedNumbers), result.message}),
            (QStringList{f[5], f[5], f[6], f[7], QString()}));
    }

    // The page names account and period while its table is read; the rows
    // are filed there, the question stays about the fields as typed.
    void datekHeadings() {
        const ParseResult result = test::parse("Datek", datekPage());
        QCOMPARE(test::parsedRows(result),
                 QStringList{"7788-1234|March 2000|IBM|5|Bought|03/01/2000|5| "});
        QCOMPARE(result.askedAccount, QString("Account1"));
        QCOMPARE(result.askedMonth, QString("All"));
    }

    void datekDuplicateUsesFieldsShown() {
        test::CaptureHarness h;
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
        QCOMPARE(test::parse("FBR", b.page()).rows.size(), rows);
    }
};

GAINBOOK_GUILESS_TEST(TestPageParsers)
#include "test_page_parsers.moc"
