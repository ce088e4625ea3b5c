#include "report/pdf/pdf_printer.h"
#include "report/report_print.h"
#include "report/tax_report.h"
#include "support/pdf_text.h"
#include "support/test_main.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace gainbook;

namespace {

TaxRecord sale(const QString& symbol, double quantity, const QDate& acquired, const QDate& sold,
               double cost, double salePrice) {
    TaxRecord r;
    r.symbol = symbol;
    r.quantity = Quantity::fromDouble(quantity);
    r.dateAcquired = acquired;
    r.dateSold = sold;
    r.cost = Money::fromDouble(cost);
    r.salePrice = Money::fromDouble(salePrice);
    return r;
}

} // namespace

// The PDF is read back as text: what a reader of the page would see.
class TestReportPdf : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString text_;

private slots:
    void initTestCase() {
        if (!test::hasPdfText())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const QVector<TaxRecord> records{
            sale("XYZ", 100, QDate(2024, 1, 10), QDate(2024, 3, 4), 1000, 1500),
            sale("A&B <Co>", 10, QDate(2020, 5, 1), QDate(2024, 2, 1), 2000, 1750.25),
            sale("ABC", 5, QDate(), QDate(2024, 6, 30), 0, 300),
            sale("OLD", 1, QDate(2022, 1, 1), QDate(2023, 12, 31), 1, 2),
        };
        const QString path = dir_.filePath("report.pdf");
        const QString failure =
            printPdf(taxReportPrintLines(buildTaxReport(records, TaxYear{2024})), path);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        text_ = test::pdfText(path).simplified();
    }

    void readsBack_data() {
        QTest::addColumn<QString>("expected");
        QTest::newRow("title") << "Tax report 2024";
        QTest::newRow("summary") << "3 lines sold in 2024. Proceeds 3,550.25, cost 3,000.00, "
                                    "gain or loss 250.25.";
        QTest::newRow("box A caption") << "Box A: short term, basis reported to the IRS";
        QTest::newRow("a line with its dates and amounts")
            << "100 sh. XYZ 01/10/2024 03/04/2024 1,500.00 1,000.00 0.00 500.00";
        QTest::newRow("a symbol with markup characters") << "10 sh. A&B <Co> 05/01/2020 02/01/2024";
        QTest::newRow("a loss") << "1,750.25 2,000.00 0.00 -249.75";
        QTest::newRow("unknown term") << "Term unknown: no date acquired";
        // No cost known: cost and gain stay empty rather than 0.00 and 300.00.
        QTest::newRow("no date acquired") << "5 sh. ABC 06/30/2024 300.00 0.00 Totals";
        QTest::newRow("Schedule D long term")
            << "Line 8b (Form 8949 box D) 1,750.25 2,000.00 0.00 -249.75";
        QTest::newRow("Schedule D short term")
            << "Line 1b (Form 8949 box A) 1,500.00 1,000.00 0.00 500.00";
    }
    void readsBack() {
        QFETCH(QString, expected);
        QVERIFY2(text_.contains(expected), qPrintable(text_));
    }

    void otherYearsAndUnknownTermStayOffScheduleD() {
        QVERIFY(!text_.contains("OLD"));
        QVERIFY(!text_.contains("Line 10"));
        QVERIFY(!text_.contains("Line 2 "));
    }

    void unwritableFileSaysWhy() {
        const QString failure =
            printPdf({{PrintLine::Kind::Text, "x"}}, dir_.filePath("missing/sub/report.pdf"));
        QVERIFY(!failure.isEmpty());
    }
};

GAINBOOK_TEST(TestReportPdf)
#include "test_report_pdf.moc"
