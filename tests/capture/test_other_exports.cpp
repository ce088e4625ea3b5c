#include "capture_harness.h"
#include "page_builder.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

namespace {

using Sheet = QVector<QStringList>;

const QStringList kHeadings{"Date", "Type", "Symbol", "Quantity", "Amount"};

// A sheet of the usual headings with one row per type text.
Sheet typed(const QStringList& types) {
    Sheet sheet{kHeadings};
    for (const QString& type : types)
        sheet.append({"3/1/2024", type, "X", "1", "10"});
    return sheet;
}

ParseResult parseOther(const Sheet& sheet, bool derive = true) {
    return test::parse("Other", test::sheetOf(sheet), [derive](CaptureState& s) {
        s.today = QDate(2025, 6, 30);
        s.deriveFromData = derive;
    });
}

QString kinds(const ParseResult& result) {
    QStringList out;
    for (auto it = result.skippedKinds.cbegin(); it != result.skippedKinds.cend(); ++it)
        out << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    return out.join(u',');
}

} // namespace

// The "Other" entry on the layouts of today's broker exports: where the
// headings are, what they are called, the trade words, and the date and
// number forms; each case is a small sheet and the rows it must give.
class TestOtherExports : public QObject {
    Q_OBJECT

private slots:
    void headings_data() {
        QTest::addColumn<Sheet>("sheet");
        QTest::addColumn<QStringList>("rows");
        // Titles above the headings, a trade date beside a settlement date
        // and a Cash/Margin column headed Type are fixtures of their own.
        QTest::newRow("settlement date alone is the date")
            << Sheet{{"Settle Date", "Side", "Ticker", "Shares", "Proceeds"},
                     {"3/5/2024", "BOT", "IBM", "5", "500"}}
            << QStringList{"Other1|All|IBM|5|Bought|03/05/2024|500|"};
        QTest::newRow("symbol wins over an earlier description")
            << Sheet{{"Activity Date", "Description", "Transaction Type", "Symbol", "Units",
                      "Total"},
                     {"3/1/2024", "INTL BUSINESS MACH", "Sale", "IBM", "5", "500"}}
            << QStringList{"Other1|All|IBM|5|Sold|03/01/2024|500|"};
        QTest::newRow("headings in any case and spacing")
            << Sheet{{"TRADE  date", "buy/sell", "security", "QTY", "net amount"},
                     {"3/1/2024", "SLD", "Acme Fund", "5", "50"}}
            << QStringList{"Other1|All|Acme Fund|5|Sold|03/01/2024|50|"};
        // The fault: a sell with a negative quantity was stored negative,
        // which matching took as no shares sold (the whole proceeds a gain).
        QTest::newRow("sell with a negative quantity")
            << Sheet{kHeadings,
                     {"3/1/2024", "Sell", "X", "-100", "-10"},
                     {"3/1/2024", "Sold", "X", "100", "-10"},
                     {"3/1/2024", "Buy", "X", "-100", "-10"}}
            << QStringList{"Other1|All|X|100|Sold|03/01/2024|10|",
                           "Other1|All|X|100|Sold|03/01/2024|10|",
                           "Other1|All|X|-100|Bought|03/01/2024|10|"};
        // Quantity, date and amount each come from their own column.
        QTest::newRow("shifted cells are not read from the neighbours")
            << Sheet{{"Date", "Action", "Symbol", "Quantity", "Price", "Amount"},
                     {"3/1/2024", "Buy", "IBM", "", "5", "500"},
                     {"3/1/2024", "Buy", "IBM", "5", "100", ""}}
            << QStringList{};
        QTest::newRow("headings below row 30 are not looked for") << [] {
            Sheet sheet(30);
            sheet.append(kHeadings);
            sheet.append({"3/1/2024", "Buy", "IBM", "5", "500"});
            return sheet;
        }() << QStringList{};
    }
    void headings() {
        QFETCH(Sheet, sheet);
        QFETCH(QStringList, rows);
        QCOMPARE(test::parsedRows(parseOther(sheet)), rows);
    }

    void words_data() {
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("skipped");
        const QStringList buys = QString("Buy|Bought|BOT|Purchase|YOU BOUGHT AAPL|Reinvest Shares|"
                                         "REINVESTMENT FIDELITY|BUY TO OPEN|Buy to Close|B|"
                                         "Subscription")
                                     .split(u'|');
        QStringList bought(buys.size(), "Bought");
        bought[7] = "Bought Open";
        bought[8] = "Bought Close";
        QTest::newRow("buys") << buys << bought << QString();
        const QStringList sells{"Sell",          "Sold",         "SLD",           "Sale",
                                "YOU SOLD AAPL", "SELL TO OPEN", "Sell to Close", "S"};
        QStringList sold(sells.size(), "Sold");
        sold[5] = "Sold Open";
        sold[6] = "Sold Close";
        QTest::newRow("sells") << sells << sold << QString();
        QTest::newRow("opening and closing codes")
            << QStringList{"BTO", "STC",        "STO",        "BTC",         "SS",
                           "BC",  "Sell Short", "Short Sale", "Buy to Cover"}
            << QStringList{"Bought Open",  "Sold Close", "Sold Open", "Bought Close", "Sold Open",
                           "Bought Close", "Sold Open",  "Sold Open", "Bought Close"}
            << QString();
        QTest::newRow("options expired, assigned, exercised")
            << QStringList{"OEXP", "Expired", "OASGN", "Assigned", "OEXCS", "Exchange or Exercise"}
            << QStringList{"Sold Expired",  "Sold Expired",   "Sold Assigned",
                           "Sold Assigned", "Sold Exercised", "Sold Exercised"}
            << QString();
        // Each of these once turned into a buy or a sell by the letters B
        // and S somewhere in its text.
        QTest::newRow("no trades, counted by kind")
            << QStringList{"Cash Dividend",      "Qualified Dividend",
                           "Reinvest Dividend",  "Bank Interest",
                           "MoneyLink Transfer", "Stock Split",
                           "ADR Mgmt Fee",       "Journal",
                           "Assignment",         "Stock Subsidiary"}
            << QStringList{} << "dividend 3,fee 1,interest 1,journal 1,other 2,transfer 1";
    }
    void words() {
        QFETCH(QStringList, types);
        QFETCH(QStringList, stored);
        QFETCH(QString, skipped);
        const ParseResult result = parseOther(typed(types));
        QStringList got;
        for (const TxnRecord& r : result.rows)
            got << (r.openClose.isEmpty() ? r.type : r.type + ' ' + r.openClose);
        QCOMPARE(got, stored);
        QCOMPARE(kinds(result), skipped);
    }

    // Rows that report a split or a symbol change are kept for the
    // proposal of the action, as "words|account|symbol|date|shares".
    void actionRows_data() {
        QTest::addColumn<Sheet>("sheet");
        QTest::addColumn<QStringList>("actions");
        QTest::newRow("the words of today's exports")
            << Sheet{kHeadings,
                     {"6/10/2024", "Stock Split", "XYZ", "90", "0"},
                     {"6/11/2024", "Forward  Split", "ABC", "30", ""},
                     {"6/12/2024", "REVERSE SPLIT", "DEF", "-75", "0"},
                     {"6/13/2024", "Symbol change", "OLD", "-10", "0"},
                     {"6/13/2024", "Name Change", "NEW", "10", "0"},
                     {"6/14/2024", "Buy", "XYZ", "5", "50"}}
            << QStringList{"Stock Split|Other1|XYZ|2024-06-10|90",
                           "Forward Split|Other1|ABC|2024-06-11|30",
                           "REVERSE SPLIT|Other1|DEF|2024-06-12|-75",
                           "Symbol change|Other1|OLD|2024-06-13|-10",
                           "Name Change|Other1|NEW|2024-06-13|10"};
        QTest::newRow("a change of name without the word change is no action")
            << Sheet{kHeadings, {"6/10/2024", "Name", "XYZ", "1", "0"}} << QStringList{};
    }
    void actionRows() {
        QFETCH(Sheet, sheet);
        QFETCH(QStringList, actions);
        QStringList got;
        for (const ActionRow& row : parseOther(sheet).actionRows)
            got << QStringList{row.words, row.account, row.symbol, row.date.toString(Qt::ISODate),
                               QString::number(row.sharesAdded)}
                       .join(u'|');
        QCOMPARE(got, actions);
    }

    // Each sheet row and each stored row as "date|quantity|amount".
    void values_data() {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("badNumbers");
        QTest::addColumn<int>("badDates");
        auto row = [](const char* name, const QStringList& given, const QStringList& rows,
                      int badNumbers, int badDates) {
            QTest::newRow(name) << given << rows << badNumbers << badDates;
        };
        row("date forms",
            {"20240105|1|1", "2024/03/15|1|1", "03/15/2024 09:30:00|1|1", "3/15/2024 9:30 AM|1|1",
             "04/01/2024 as of 03/28/2024|1|1", "2024-03-15|1|1", "Mar 5, 2024|1|1"},
            {"01/05/2024|1|1", "03/15/2024|1|1", "03/15/2024|1|1", "03/15/2024|1|1",
             "04/01/2024|1|1", "03/15/2024|1|1", "03/05/2024|1|1"},
            0, 0);
        row("dates that are none",
            {"20240231|1|1", "2024/13/01|1|1", "pending|1|1", "03/15/2024 lunch|1|1"}, {}, 0, 4);
        row("amount forms",
            {"3/1/2024|2|USD 1,234.56", "3/1/2024|2|1,234.56 USD", "3/1/2024|2|-$1,234.56",
             "3/1/2024|2|(1,234.56)", "3/1/2024|2|$(1,234.56)", "3/1/2024|2|$1,234.56",
             "3/1/2024|2|1234.56-"},
            QStringList(7, "03/01/2024|2|1234.56"), 0, 0);
        row("decimal comma in every value",
            {"3/1/2024|1,5|1.234,56", "3/1/2024|2,25|(12,50)", "3/1/2024|3|EUR 7,00"},
            {"03/01/2024|1.5|1234.56", "03/01/2024|2.25|12.5", "03/01/2024|3|7"}, 0, 0);
        // Never read one way in one row and another way in the next.
        row("decimal comma in some values only",
            {"3/1/2024|1|1.234,56", "3/1/2024|1|12,5", "3/1/2024|1|1,234.56"},
            {"03/01/2024|1|1234.56"}, 2, 0);
        row("thousands or decimals, undecided", {"3/1/2024|1|1,234", "3/1/2024|1|2,500"},
            {"03/01/2024|1|1234", "03/01/2024|1|2500"}, 0, 0);
        row("empty and worded cells", {"3/1/2024||1", "3/1/2024|1|", "3/1/2024|ten|1"}, {}, 3, 0);
    }
    void values() {
        QFETCH(QStringList, given);
        QFETCH(QStringList, rows);
        QFETCH(int, badNumbers);
        QFETCH(int, badDates);
        Sheet sheet{kHeadings};
        for (const QString& g : given) {
            const QStringList f = g.split(u'|');
            sheet.append({f[0], "Buy", "X", f[1], f[2]});
        }
        const ParseResult result = parseOther(sheet);
        QStringList got;
        for (const TxnRecord& r : result.rows)
            got << formatDate(r.txnDate) + u'|' + r.quantity.text() + u'|' +
                       numberToText(r.amount.toDouble());
        QCOMPARE(got, rows);
        QCOMPARE(result.skippedNumbers, badNumbers);
        QCOMPARE(result.skippedDates, badDates);
    }

    void accountPerRow_data() {
        QTest::addColumn<bool>("derive");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("derive from data") << true
                                          << QStringList{"A-1|All|IBM|5|Bought|03/01/2024|500|",
                                                         "B-2|All|IBM|5|Sold|03/02/2024|600|",
                                                         "Other1|All|T|1|Bought|03/03/2024|20|"};
        QTest::newRow("typed account") << false
                                       << QStringList{"Other1|All|IBM|5|Bought|03/01/2024|500|",
                                                      "Other1|All|IBM|5|Sold|03/02/2024|600|",
                                                      "Other1|All|T|1|Bought|03/03/2024|20|"};
    }
    void accountPerRow() {
        QFETCH(bool, derive);
        QFETCH(QStringList, rows);
        const Sheet sheet{{"Account Number", "Date", "Action", "Symbol", "Quantity", "Amount"},
                          {"A-1", "3/1/2024", "Buy", "IBM", "5", "500"},
                          {"B-2", "3/2/2024", "Sell", "IBM", "-5", "600"},
                          {" ", "3/3/2024", "Buy", "T", "1", "20"}};
        const ParseResult result = parseOther(sheet, derive);
        QCOMPARE(test::parsedRows(result), rows);
        QCOMPARE(result.askedAccount, derive ? QString("A-1") : QString("Other1"));
    }
};

GAINBOOK_GUILESS_TEST(TestOtherExports)
#include "test_other_exports.moc"
