#include "main_window/tax_view.h"
#include "platform/form8949_box.h"
#include "report/monthly_gains.h"
#include "report/report_csv.h"
#include "report/report_print.h"
#include "report/tax_report.h"
#include "report/tax_report_file.h"
#include "support/test_database.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

// Sales as "account|symbol|quantity|acquired|sold|cost|sale price", dates
// ISO, an empty date acquired for an unknown one.
using Sales = QStringList;

TaxRecord record(const QString& sale) {
    const QStringList f = sale.split(u'|');
    TaxRecord r;
    r.accountName = f[0];
    r.symbol = f[1];
    r.quantity = Quantity::fromDouble(f[2].toDouble());
    r.dateAcquired = QDate::fromString(f[3], Qt::ISODate);
    r.dateSold = QDate::fromString(f[4], Qt::ISODate);
    r.cost = Money::fromDouble(f[5].toDouble());
    r.salePrice = Money::fromDouble(f[6].toDouble());
    return r;
}

QVector<TaxRecord> records(const Sales& sales) {
    QVector<TaxRecord> list;
    for (const QString& s : sales)
        list << record(s);
    return list;
}

void store(TestDatabase& t, const Sales& sales) {
    for (const TaxRecord& r : records(sales))
        t.addTax(r.accountName, r.symbol, r.quantity.toDouble(), r.dateAcquired, r.dateSold,
                 r.cost.toDouble(), r.salePrice.toDouble());
}

// A small year of two accounts: a short-term gain, long-term lines (one a
// loss, one with a symbol holding a comma, one with a cost below the cent),
// a sale whose buy is unknown and a sale of the year before.
const Sales kYear = {
    "O'Brien|XYZ|100|2024-01-10|2024-03-04|1000|1500",
    "O'Brien|BRK,B|10|2020-05-01|2024-02-01|2000|1750.25", "Other|ABC|5||2024-06-30|0|300",
    "Other|XYZ|50|2022-06-01|2024-03-04|400.005|600", "Other|OLD|1|2022-01-01|2023-12-31|1|2"};

} // namespace

class TestTaxReport : public QObject {
    Q_OBJECT

private slots:
    // The stored box decides; a row stored without one goes by its term
    // (the one-year rule itself is tested with the holding term).
    void boxOfARecord_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QDate>("acquired");
        QTest::addColumn<QString>("box");
        const int none = int(Form8949Box::None);
        QTest::newRow("stored E, held a month") << int(Form8949Box::E) << QDate(2024, 1, 2) << "E";
        QTest::newRow("stored B, no date acquired") << int(Form8949Box::B) << QDate() << "B";
        QTest::newRow("none stored, short") << none << QDate(2024, 1, 2) << "A";
        QTest::newRow("none stored, long") << none << QDate(2022, 1, 2) << "D";
        QTest::newRow("none stored, no date acquired") << none << QDate() << "";
    }
    void boxOfARecord() {
        QFETCH(int, stored);
        QFETCH(QDate, acquired);
        QFETCH(QString, box);
        TaxRecord r = record("a|X|1|" + acquired.toString(Qt::ISODate) + "|2024-02-02|1|2");
        r.box = Form8949Box(stored);
        const QChar letter = reportBox(r);
        QCOMPARE(letter.isNull() ? QString() : QString(letter), box);
    }

    void csvOfASmallStore() {
        TestDatabase t;
        store(t, kYear);
        TaxReportFile file;
        QCOMPARE(file.load(t.connection(), TaxYear{2024}).count, 4);
        const QString path = t.folder() + "/report.CSV";
        const Outcome written = file.writeTo(path, {});
        QVERIFY2(written.done(), qPrintable(written.message));
        QFile csv(path);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(csv.readAll()),
                 QStringLiteral(
                     "Box,Description,Date Acquired,Date Sold,Proceeds,Cost,Code,Adjustment,Gain,"
                     "Account\n"
                     "A,100 sh. XYZ,01/10/2024,03/04/2024,1500.00,1000.00,,0.00,500.00,O'Brien\n"
                     "A,Total box A,,,1500.00,1000.00,,0.00,500.00,\n"
                     "D,\"10 sh. BRK,B\",05/01/2020,02/01/2024,1750.25,2000.00,,0.00,-249.75,"
                     "O'Brien\n"
                     "D,50 sh. XYZ,06/01/2022,03/04/2024,600.00,400.01,,0.00,199.99,Other\n"
                     "D,Total box D,,,2350.25,2400.01,,0.00,-49.76,\n"
                     ",5 sh. ABC,,06/30/2024,300.00,,,0.00,,Other\n"
                     ",Total term unknown,,,300.00,0.00,,0.00,0.00,\n"
                     "A,Schedule D line 1b,,,1500.00,1000.00,,0.00,500.00,\n"
                     "D,Schedule D line 8b,,,2350.25,2400.01,,0.00,-49.76,\n"));
    }

    // 2025 Schedule D: line 1b adds the boxes A and G of Form 8949, line 10
    // F and L. A coin's line counts units, not shares. By hand: 1b proceeds
    // 1500 + 31000, cost 1000 + 36000, gain 500 - 5000 = -4500.
    void digitalBoxesShareScheduleDLines() {
        QVector<TaxRecord> list = records({"B|XYZ|100|2025-01-10|2025-03-04|1000|1500",
                                           "C|BTC|0.5|2025-01-06|2025-03-03|36000|31000",
                                           "C|ETH|2|2023-05-01|2025-06-02|3000|7000"});
        list[0].box = Form8949Box::A;
        list[1].box = Form8949Box::G;
        list[2].box = Form8949Box::L;
        QCOMPARE(QString::fromUtf8(taxReportCsv(buildTaxReport(list, TaxYear{2025}))),
                 QStringLiteral(
                     "Box,Description,Date Acquired,Date Sold,Proceeds,Cost,Code,Adjustment,Gain,"
                     "Account\n"
                     "A,100 sh. XYZ,01/10/2025,03/04/2025,1500.00,1000.00,,0.00,500.00,B\n"
                     "A,Total box A,,,1500.00,1000.00,,0.00,500.00,\n"
                     "G,0.5 BTC,01/06/2025,03/03/2025,31000.00,36000.00,,0.00,-5000.00,C\n"
                     "G,Total box G,,,31000.00,36000.00,,0.00,-5000.00,\n"
                     "L,2 ETH,05/01/2023,06/02/2025,7000.00,3000.00,,0.00,4000.00,C\n"
                     "L,Total box L,,,7000.00,3000.00,,0.00,4000.00,\n"
                     "\"A, G\",Schedule D line 1b,,,32500.00,37000.00,,0.00,-4500.00,\n"
                     "L,Schedule D line 10,,,7000.00,3000.00,,0.00,4000.00,\n"));
    }

    void writeRefusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("another format") << "report.txt"
                                        << "A tax report is written as a .pdf or a .csv file: ";
        QTest::newRow("over the database, by another name") << "db-link.csv"
                                                            << "it is the open database";
        QTest::newRow("a folder") << "sub.csv"
                                  << "The tax report could not be written to ";
        QTest::newRow("the PDF writer fails") << "report.pdf"
                                              << "disk on fire";
    }
    void writeRefusals() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TestDatabase t;
        store(t, kYear);
        QVERIFY(QDir(t.folder()).mkdir("sub.csv"));
        QVERIFY(QFile::link(t.path(), t.folder() + "/db-link.csv"));
        TaxReportFile file;
        QVERIFY(file.load(t.connection(), TaxYear{2024}).done());
        const QString path = t.folder() + '/' + name;
        QString printedTo;
        const Outcome written =
            file.writeTo(path, [&](const QVector<PrintLine>& lines, const QString& to, Progress&) {
                printedTo = to;
                const bool lineThere = std::any_of(lines.begin(), lines.end(), [](auto& line) {
                    return line.text.startsWith("50 sh. XYZ");
                });
                return lineThere ? QStringLiteral("disk on fire") : QString();
            });
        QVERIFY(written.failed());
        QVERIFY2(written.message.contains(message), qPrintable(written.message));
        // Only a PDF reaches the printer, and only when the path is allowed.
        QCOMPARE(printedTo, name.endsWith(".pdf") ? path : QString());
        // The database stays what it was.
        QCOMPARE(FillGrid(t.connection(), "O'Brien", TaxYear{2024}).totals.records, 2);
    }

    void nothingSoldInTheYear() {
        TestDatabase t;
        store(t, kYear);
        TaxReportFile file;
        const Outcome loaded = file.load(t.connection(), TaxYear{2022});
        QVERIFY(loaded.stopped());
        QCOMPARE(loaded.message, QStringLiteral("No tax record sold in 2022 to report"));
    }

    // The months with a sum, as term letter (Short, Long, Unknown), month
    // and gain.
    void monthlySums_data() {
        QTest::addColumn<Sales>("sales");
        QTest::addColumn<QString>("sums");
        // The sale of unknown cost (no date acquired, no cost) has no gain:
        // its basis is missing, not 0 (Form 8949 instructions, column (e)).
        QTest::newRow("the small year, a sale of unknown cost")
            << kYear << "S3 500, L2 -249.75, L3 199.995";
        QTest::newRow("a loss offsets a gain of the same month and term")
            << Sales{"A|X|1|2024-01-01|2024-04-02|100|150", "A|Y|1|2024-02-01|2024-04-30|100|20"}
            << "S4 -30";
        QTest::newRow("the one-year boundary splits the terms")
            << Sales{"A|X|1|2023-03-15|2024-03-15|10|20", "A|X|1|2023-03-15|2024-03-16|10|30",
                     "A|X|1|2023-12-01|2025-01-01|10|30"}
            << "S3 10, L3 20";
    }
    void monthlySums() {
        QFETCH(Sales, sales);
        QFETCH(QString, sums);
        const QVector<TaxRecord> list = records(sales);
        const MonthlyGains gains = monthlyGains(list, TaxYear{2024});
        QStringList found;
        for (const auto& [term, months] :
             {std::pair{'S', gains.shortTerm}, std::pair{'L', gains.longTerm},
              std::pair{'U', gains.unknownTerm}})
            for (size_t m = 0; m < months.size(); ++m)
                if (months[m] != Money())
                    found << QStringLiteral("%1%2 %3").arg(term).arg(m + 1).arg(
                        months[m].toDouble());
        QCOMPARE(found.join(", "), sums);
        // The figures beside the chart add up to the tax view's total gain.
        QVector<TaxRecord> ofYear;
        for (const TaxRecord& r : list)
            if (r.dateSold.year() == 2024)
                ofYear << r;
        QCOMPARE(gains.total(), taxTotals(ofYear).gain);
    }
};

GAINBOOK_GUILESS_TEST(TestTaxReport)
#include "test_tax_report.moc"
