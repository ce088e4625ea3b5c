#include "report/pdf/pdf_printer.h"
#include "report/report_print.h"
#include "report/tax_report.h"
#include "support/pdf_text.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

// The PDF is read back as text: what a reader of the page would see.
class TestReportPdf : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString text_;

private slots:
    void initTestCase() {
        if (!test::hasPdfText())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QVector<TaxRecord> records;
        // Two accounts: the long-term line is another account's.
        for (const QString sale : {"XYZ|100|2024-01-10|2024-03-04|1000|1500",
                                   "A&B <Co>|10|2020-05-01|2024-02-01|2000|1750.25",
                                   "ABC|5||2024-06-30|0|300", "OLD|1|2022-01-01|2023-12-31|1|2"}) {
            const QStringList f = sale.split(u'|');
            TaxRecord& r = records.emplace_back();
            r.accountName = f[0].startsWith("A&B") ? "Other" : "Main";
            r.symbol = f[0];
            r.quantity = Quantity::fromDouble(f[1].toDouble());
            r.dateAcquired = QDate::fromString(f[2], Qt::ISODate);
            r.dateSold = QDate::fromString(f[3], Qt::ISODate);
            r.cost = Money::fromDouble(f[4].toDouble());
            r.salePrice = Money::fromDouble(f[5].toDouble());
        }
        const QString path = dir_.filePath("report.pdf");
        const QString failure =
            printPdf(taxReportPrintLines(buildTaxReport(records, TaxYear{2024})), path);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        text_ = test::pdfText(path).simplified();
    }

    // "!" before a text that must not be there: the sale of another year,
    // Schedule D lines of the unknown term.
    void readsBack_data() {
        QTest::addColumn<QString>("expected");
        for (const char* absent : {"!OLD", "!Line 10"})
            QTest::newRow(absent) << absent;
        QTest::newRow("title") << "Tax report 2024";
        QTest::newRow("summary") << "3 lines sold in 2024. Proceeds 3,550.25, cost 3,000.00, "
                                    "gain or loss 250.25.";
        QTest::newRow("a line with its dates and amounts")
            << "100 sh. XYZ 01/10/2024 03/04/2024 1,500.00 1,000.00 0.00 500.00";
        QTest::newRow("a symbol with markup characters") << "10 sh. A&B <Co> 05/01/2020 02/01/2024";
        QTest::newRow("unknown term") << "Term unknown: no date acquired";
        // No cost known: cost and gain stay empty rather than 0.00 and 300.00.
        QTest::newRow("no date acquired") << "5 sh. ABC 06/30/2024 300.00 0.00 Total Main";
        QTest::newRow("two accounts: a box's lines under each account, with its totals")
            << "Other 10 sh. A&B <Co> 05/01/2020 02/01/2024 1,750.25 2,000.00 0.00 -249.75 "
               "Total Other 1,750.25 2,000.00 0.00 -249.75 Totals 1,750.25";
        QTest::newRow("Schedule D long term")
            << "Line 8b (Form 8949 box D) 1,750.25 2,000.00 0.00 -249.75";
        QTest::newRow("Schedule D short term")
            << "Line 1b (Form 8949 box A) 1,500.00 1,000.00 0.00 500.00";
    }
    void readsBack() {
        QFETCH(QString, expected);
        const bool absent = expected.startsWith(u'!');
        QVERIFY2(text_.contains(expected.mid(absent ? 1 : 0)) != absent, qPrintable(text_));
    }
};

GAINBOOK_TEST(TestReportPdf)
#include "test_report_pdf.moc"
