#include "capture_harness.h"
#include "page_builder.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

namespace {

const QString kMissingHeading =
    QStringLiteral("Please make sure Data conatins  Type , Symbol/Description , Qunatity,Amount, "
                   "Date, columns as header row");

} // namespace

// The sheets of every format are read end to end from the fixtures
// (test_capture_fixtures); these cases are the headings and rows those
// sheets do not hold.
class TestSheetParsers : public QObject {
    Q_OBJECT

private slots:
    void sheets_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QVector<QStringList>>("sheet");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("badNumbers");
        QTest::addColumn<int>("badDates");
        QTest::newRow("headings in any case, future date pulled back")
            << "Other"
            << QVector<QStringList>{{"date", "TYPE", "description", "quantity", "amount"},
                                    {"3/1/29", "subscription", "Acme Fund", "5", "50"}}
            << QStringList{"Other1|All|Acme Fund|5|Bought|03/01/2000|50|"} << QString() << 0 << 0;
        QTest::newRow("no amount heading")
            << "Other"
            << QVector<QStringList>{{"Trade Date", "Action", "Symbol", "Quantity", "Price"},
                                    {"3/1/00", "Buy", "IBM", "1", "1"}}
            << QStringList{} << kMissingHeading << 0 << 0;
        QVector<QStringList> wide{{"Date", "Type", "Symbol", "Quantity"}, {"3/1/00", "Buy", "A"}};
        wide[0].resize(20);
        wide[0].append("Amount");
        QTest::newRow("heading beyond column 20 unseen")
            << "Other" << wide << QStringList{} << kMissingHeading << 0 << 0;
        QTest::newRow("WebStreet without its headings")
            << "WebStreet" << QVector<QStringList>{{"Account", "Date", "Type"}, {"A"}, {"B"}}
            << QStringList{} << kMissingHeading << 0 << 0;
        QTest::newRow("Wit Capital without the Date title")
            << "Wit Capital" << QVector<QStringList>{{"date", "Type"}, {"3/1/00", "Bought"}}
            << QStringList{} << "Please have first line as title like date" << 0 << 0;
    }
    void sheets() {
        QFETCH(QString, entry);
        QFETCH(QVector<QStringList>, sheet);
        QFETCH(QStringList, rows);
        QFETCH(QString, message);
        QFETCH(int, badNumbers);
        QFETCH(int, badDates);
        const ParseResult result = test::parse(entry, test::sheetOf(sheet));
        QCOMPARE(test::parsedRows(result), rows);
        QCOMPARE(result.message, message);
        QCOMPARE(result.skippedNumbers, badNumbers);
        QCOMPARE(result.skippedDates, badDates);
    }

    // With "Derive from Data" the account comes from row 3 of its column and
    // the month becomes "All"; the question is about them.
    void webStreetDerivesTheAccount() {
        const QVector<QStringList> sheet{
            {"Settlement", "BuySell", "Symbol", "Quantity", "TotalPrice", "Account"},
            {},
            {"3/4/00", "B", "IBM", "100", "1000", "WS-778"}};
        const ParseResult result =
            test::parse("WebStreet", test::sheetOf(sheet), [](auto& s) { s.month = "Mar"; });
        QCOMPARE(test::parsedRows(result),
                 QStringList{"WS-778|All|IBM|100|Bought|03/04/2000|1000|"});
        QCOMPARE(result.askedAccount, QString("WS-778"));
        QCOMPARE(result.askedMonth, QString("All"));
    }

    // Pasted text that breaks off anywhere gives nothing and never crashes.
    void witPasted_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("line feeds only")
            << "Date Type Status\n11/01/2000 Bought 1 X $1 $1 ok \n"
               "12/01/2000 Sold 1 X $2 $2,000.00 ok"
            << QStringList{"Wit-Account1|All|X|1|Bought|11/01/2000|1|IPO",
                           "Wit-Account1|All|X|1|Sold|12/01/2000|1979.98| "};
        QTest::newRow("no Date word") << "03/01/2000 Bought 1 X $1 $1 ok" << QStringList{};
        QTest::newRow("kind word last") << "Date x 03/01/2000 Bought" << QStringList{};
        QTest::newRow("text ends inside the name")
            << "Date 03/01/2000 Bought 1 Acme Widgets" << QStringList{};
        QTest::newRow("kind without date before it")
            << "Date x Bought 1 X $1 $1 ok" << QStringList{};
    }
    void witPasted() {
        QFETCH(QString, text);
        QFETCH(QStringList, rows);
        const ParseResult result = test::parse("Wit Capital", PageDocument(), [&](CaptureState& s) {
            s.pasteData = true;
            s.pastedText = text;
        });
        // Sale amounts lose commission and fee; rounding may leave a cent fraction.
        QStringList got;
        for (const QString& r : test::parsedRows(result)) {
            QStringList f = r.split('|');
            f[6] = numberToText(std::round(f[6].toDouble() * 100) / 100);
            got << f.join('|');
        }
        QCOMPARE(got, rows);
        QVERIFY(result.message.isEmpty());
    }
};

GAINBOOK_GUILESS_TEST(TestSheetParsers)
#include "test_sheet_parsers.moc"
