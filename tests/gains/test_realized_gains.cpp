#include "capture/page_document.h"
#include "gains/gains_import.h"
#include "gains/realized_lot.h"
#include "gains/reconcile.h"
#include "platform/date_text.h"
#include "platform/number_text.h"
#include "support/cli_run.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

namespace {

using Sheet = QVector<QStringList>;

SheetDocument sheetOf(const Sheet& rows) {
    SheetDocument sheet;
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].isEmpty())
                sheet.setCell(r + 1, c + 1, {rows[r][c], std::nullopt});
    return sheet;
}

// "symbol|quantity|acquired|sold|proceeds|cost|wash|box|term"
QString lotText(const RealizedLot& l) {
    return QStringList{l.symbol,
                       l.quantity.text(),
                       l.dateAcquired.isValid() ? formatDate(l.dateAcquired) : QString(),
                       formatDate(l.dateSold),
                       numberToText(l.proceeds.toDouble()),
                       numberToText(l.cost.toDouble()),
                       l.washAdjustment ? numberToText(l.washAdjustment->toDouble())
                                        : QStringLiteral("-"),
                       boxLetter(l.box),
                       l.term == HoldingTerm::Long    ? QStringLiteral("L")
                       : l.term == HoldingTerm::Short ? QStringLiteral("S")
                                                      : QStringLiteral("?")}
        .join(u'|');
}

RealizedLot makeLot(const QString& symbol, double quantity, const QDate& sold, double proceeds,
                    double cost) {
    RealizedLot l;
    l.symbol = symbol;
    l.quantity = Quantity::fromDouble(quantity);
    l.dateAcquired = QDate(2024, 1, 2);
    l.dateSold = sold;
    l.proceeds = Money::fromDouble(proceeds);
    l.cost = Money::fromDouble(cost);
    return l;
}

TaxRecord makeRecord(qint64 id, const QString& symbol, double quantity, const QDate& sold,
                     double proceeds, double cost) {
    TaxRecord r;
    r.id = id;
    r.symbol = symbol;
    r.quantity = Quantity::fromDouble(quantity);
    r.dateAcquired = QDate(2024, 1, 2);
    r.dateSold = sold;
    r.salePrice = Money::fromDouble(proceeds);
    r.cost = Money::fromDouble(cost);
    return r;
}

const QDate kSaleDay(2024, 6, 3);

} // namespace

class TestRealizedGains : public QObject {
    Q_OBJECT

private slots:
    void lots_data() {
        QTest::addColumn<Sheet>("sheet");
        QTest::addColumn<QString>("file"); // a broker's download, read instead of the sheet
        QTest::addColumn<QStringList>("lots");
        QTest::addColumn<int>("unreadable");
        QTest::addColumn<QString>("readAs");
        QTest::newRow("1099-B headings below a title, totals passed over")
            << Sheet{{"Form 1099-B detail"},
                     {"1a Description of property", "Quantity", "1b Date acquired",
                      "1c Date sold or disposed", "1d Proceeds", "1e Cost or other basis",
                      "1g Wash sale loss disallowed", "Box"},
                     {"ACME CORP", "-10", "01/02/2024", "06/03/2024", "$1,000.00", "$900.00", "",
                      "Box A"},
                     {"Total", "", "", "", "$1,000.00", "$900.00", "", ""}}
            << QString() << QStringList{"ACME CORP|10|01/02/2024|06/03/2024|1000|900|0|A|S"} << 0
            << QString();
        QTest::newRow("symbol wins over description; Various is no date; term gives no box")
            << Sheet{{"Description", "Symbol", "Shares", "Acquired", "Sold", "Proceeds", "Cost",
                      "Term"},
                     {"ACME CORP", "ACME", "5", "Various", "2024-06-03", "500", "600", "Long Term"}}
            << QString() << QStringList{"ACME|5||06/03/2024|500|600|-||L"} << 0 << QString();
        QTest::newRow("unreadable values and a box against the term are counted")
            << Sheet{{"Symbol", "Quantity", "Date Sold", "Proceeds", "Cost", "Wash Sale", "Term",
                      "Box"},
                     {"A", "1", "06/03/2024", "abc", "1", "", "Short", "A"},
                     {"B", "1", "pending", "1", "1", "", "Short", "A"},
                     {"C", "1", "06/03/2024", "1", "1", "", "Long", "A"},
                     {"D", "1", "06/03/2024", "1", "1", "(5.00)", "Short", "Z"},
                     {"E", "1", "06/03/2024", "1", "1", "(5.00)", "Short", "A"}}
            << QString() << QStringList{"E|1||06/03/2024|1|1|5|A|S"} << 4 << QString();
        // Form 8949 instructions (2025): a 1099-DA's boxes G-L, short and
        // long as A-F; a G against a long term is refused like an A.
        QTest::newRow("1099-DA boxes G and L; G of a long-term lot refused")
            << Sheet{{"Description", "Quantity", "Date Acquired", "Date Sold", "Proceeds", "Cost",
                      "Term", "Box"},
                     {"BTC", "0.5", "01/06/2024", "03/03/2024", "31000", "36000", "Short", "Box G"},
                     {"ETH", "2", "05/01/2022", "06/02/2024", "7000", "3000", "Long", "L"},
                     {"SOL", "1", "05/01/2022", "06/02/2024", "1", "1", "Long", "G"}}
            << QString()
            << QStringList{"BTC|0.5|01/06/2024|03/03/2024|31000|36000|-|G|S",
                           "ETH|2|05/01/2022|06/02/2024|7000|3000|-|L|L"}
            << 1 << QString();
        QTest::newRow("no proceeds column: no heading row")
            << Sheet{{"Symbol", "Quantity", "Date Sold", "Amount", "Cost"},
                     {"A", "1", "06/03/2024", "1", "1"}}
            << QString() << QStringList{} << 0 << QString();
        // Pub. 550: long term when held more than one year, counted from the
        // day after acquisition; a year to the day is still short.
        QTest::newRow("Schwab: Closed and Opened Date, the disallowed loss, totals passed over")
            << Sheet{} << "gains/schwab_gains.csv"
            << QStringList{"AAPL|10|03/14/2023|03/15/2024|1600|1500|0||L",
                           "IBM|3|05/01/2024|06/03/2024|450|510|10||S"}
            << 0 << "Read as a Schwab realized gain/loss download.";
        QTest::newRow("Fidelity: disclaimers above and below, description for no symbol")
            << Sheet{} << "gains/fidelity_gains.csv"
            << QStringList{"MSFT|5|02/01/2022|04/01/2024|2000|1000|0||L",
                           "AT&T INC|100||07/01/2024|1700|1900|0||?",
                           "NVDA|2|01/10/2024|09/03/2024|1000|800|0||S"}
            << 0 << "Read as a Fidelity realized gain/loss download.";
        QTest::newRow("Vanguard: a year to the day is short, a day more is long (Pub. 550)")
            << Sheet{} << "gains/vanguard_gains.csv"
            << QStringList{"VTSAX|12.5|06/01/2023|05/31/2024|1562.5|1375|0||S",
                           "VFIAX|2|05/30/2023|05/31/2024|900|950|0||L"}
            << 0 << "Read as a Vanguard realized gain/loss download.";
    }
    void lots() {
        QFETCH(Sheet, sheet);
        QFETCH(QString, file);
        QFETCH(QStringList, lots);
        QFETCH(int, unreadable);
        QFETCH(QString, readAs);
        QString error;
        const RealizedLots read =
            file.isEmpty() ? readRealizedLots(sheetOf(sheet), QDate(2025, 1, 1))
                           : loadRealizedLots(test::testData(file), QDate(2025, 1, 1), &error)
                                 .value_or(RealizedLots{});
        QCOMPARE(error, QString());
        QStringList texts;
        for (const RealizedLot& l : read.lots)
            texts << lotText(l);
        QCOMPARE(texts, lots);
        QCOMPARE(read.unreadable, unreadable);
        QCOMPARE(read.readAs, readAs);
    }

    // Which lot pairs with which record, and how each row is told.
    void pairing_data() {
        QTest::addColumn<QVector<RealizedLot>>("lots");
        QTest::addColumn<QVector<TaxRecord>>("records");
        QTest::addColumn<QStringList>("rows"); // status|symbol|id|differences
        QTest::newRow("the equal record is taken before an earlier unequal one")
            << (QVector<RealizedLot>() << makeLot("X", 10, kSaleDay, 100, 90))
            << (QVector<TaxRecord>() << makeRecord(1, "X", 10, kSaleDay, 100, 95)
                                     << makeRecord(2, "x", 10, kSaleDay, 100, 90))
            << QStringList{"Matched|X|2|", "Only in records|X|1|"};
        QTest::newRow("same sale of another quantity differs, cents alone do not")
            << (QVector<RealizedLot>() << makeLot("X", 10, kSaleDay, 100.004, 90))
            << (QVector<TaxRecord>() << makeRecord(7, "X", 9, kSaleDay, 100, 90))
            << QStringList{"Differs|X|7|Quantity: 10 in the file, 9 in the records"};
        QTest::newRow("another day is another sale")
            << (QVector<RealizedLot>() << makeLot("X", 10, kSaleDay, 100, 90))
            << (QVector<TaxRecord>() << makeRecord(3, "X", 10, kSaleDay.addDays(1), 100, 90))
            << QStringList{"Only in file|X||", "Only in records|X|3|"};
    }
    void pairing() {
        QFETCH(QVector<RealizedLot>, lots);
        QFETCH(QVector<TaxRecord>, records);
        QFETCH(QStringList, rows);
        QStringList texts;
        for (const ReconcileRow& row : reconcileLots(lots, records)) {
            const QStringList cells = reconcileCells(row);
            texts << QStringList{cells[0], cells[1], cells[10], cells[9]}.join(u'|');
        }
        QCOMPARE(texts, rows);
    }

    // The account's records come from one file, the broker's from another:
    // every kind of row, and the records of another year left out.
    void reconcileFiles() {
        test::TestDatabase db;
        const auto run = [&](const QStringList& args) {
            return test::runCliCaught(QStringList{"--db", db.path(), "--yes"} + args);
        };
        const auto imported =
            run({"import-gains", "--account", "Brokerage", test::testData("gains/records.csv")});
        QCOMPARE(imported.code, 0);
        QCOMPARE(imported.out,
                 QString("Realized gains import into Brokerage wrote 5 tax records to "
                         "%1.\n5 records successfully added.\n")
                     .arg(db.path()));
        // The same file again is asked about, and without --yes not taken.
        const auto again = test::runCliCaught({"--db", db.path(), "import-gains", "--account",
                                               "Brokerage", test::testData("gains/records.csv")});
        QCOMPARE(again.code, 1);
        QVERIFY2((again.out + again.err).contains("Account Brokerage already has 5 tax records."),
                 qPrintable(again.out + again.err));
        db.addTax("Brokerage", "OLD", 1, QDate(2022, 1, 1), QDate(2023, 5, 1), 1, 2);
        const auto compared = run({"reconcile", "Brokerage", test::testData("gains/broker.csv")});
        QCOMPARE(compared.code, 0);
        QCOMPARE(compared.err, QString());
        QCOMPARE(
            compared.out.split(u'\n'),
            QString::fromUtf8(test::readBytes(test::testData("gains/reconcile.csv"))).split(u'\n'));

        // A Form 1099-DA download of 2025 (Form 8949 instructions, 2025:
        // boxes G-L): the box G sale matches; the records kept ETH in J,
        // the file says L (long term, no 1099-DA).
        QCOMPARE(
            run({"import-gains", "--account", "Exchange", test::testData("gains/da_records.csv")})
                .out,
            "Realized gains import into Exchange wrote 2 tax records to " + db.path() +
                ".\n2 records successfully added.\n");
        const auto digital =
            run({"--year", "2025", "reconcile", "Exchange", test::testData("gains/da_broker.csv")});
        QCOMPARE(digital.out.split(u'\n'),
                 QString::fromUtf8(test::readBytes(test::testData("gains/da_reconcile.csv")))
                     .split(u'\n'));
    }

    void importRefusals_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");
        QTest::newRow("no account")
            << QStringList{"import-gains", "x.csv"} << 2 << "--account is required.";
        QTest::newRow("not a gains file")
            << QStringList{"import-gains", "--account", "A",
                           test::testData("capture/presets/schwab.csv")}
            << 1 << "No data could be captured. Please make sure that right data is there in file";
        QTest::newRow("reconcile, not a gains file")
            << QStringList{"reconcile", "--account", "A",
                           test::testData("capture/presets/schwab.csv")}
            << 1 << "No data could be captured. Please make sure that right data is there in file";
    }
    void importRefusals() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, err);
        test::TestDatabase db;
        const auto run = test::runCliCaught(QStringList{"--db", db.path()} + args);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }
};

GAINBOOK_GUILESS_TEST(TestRealizedGains)
#include "test_realized_gains.moc"
