#include "cli/cli_commands.h"
#include "store/sql.h"
#include "support/cli_run.h"
#include "support/pdf_text.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

class TestReportCli : public QObject {
    Q_OBJECT

private slots:
    void report_data() {
        QTest::addColumn<QStringList>("args"); // the file last, in a fresh folder
        QTest::addColumn<QString>("helper");   // the PDF helper to use, empty for the built one
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");    // how standard error starts
        QTest::addColumn<QString>("text");   // a text the file written holds; empty: no file
        QTest::addColumn<QString>("income"); // the income line after the count
        auto row = [](const char* name, const QStringList& args, int code, const char* err,
                      const char* text, const char* helper = "", const char* income = "") {
            QTest::newRow(name) << args << QString(helper) << code << QString(err) << QString(text)
                                << QString(income);
        };
        row("csv", {"report", "r.csv"}, 0, "",
            "A,50 sh. IBM,01/03/2000,02/07/2000,6000.50,5000.00,,0.00,1000.50");
        row("pdf through the helper", {"report", "r.pdf"}, 0, "", "50 sh. IBM 01/03/2000");
        row("another year", {"--year", "2001", "report", "r.csv"}, 0, "",
            "D,1 sh. T,01/03/1999,02/07/2001");
        row("nothing sold in the year", {"--year", "2019", "report", "r.csv"}, 1,
            "No tax record sold in 2019 to report", "");
        row("another extension", {"report", "r.txt"}, 2,
            "A tax report is written as a .pdf or a .csv file: ", "");
        row("no file", {"report"}, 2, "", "");
        row("helper missing", {"report", "r.pdf"}, 1, "The tax report could not be written to ", "",
            "/nonexistent/gainbook-pdf-writer");
        // Rev. Rul. 2023-14: staking rewards are gross income when received,
        // at their value then; not a sale, so on no Form 8949 line.
        row("a year of income alone, pdf", {"--year", "2002", "report", "r.pdf"}, 0, "",
            "Digital-asset income Staking and rewards received in 2002", "",
            "Digital-asset income in 2002: 31.00 from 1 receipt (ordinary income, not on Form "
            "8949).\n");
        row("a year of income alone, csv", {"--year", "2002", "report", "r.csv"}, 0, "",
            "Box,Description", "",
            "Digital-asset income in 2002: 31.00 from 1 receipt (ordinary income, not on Form "
            "8949); the PDF report lists it.\n");
    }
    void report() {
        QFETCH(QStringList, args);
        QFETCH(QString, helper);
        QFETCH(int, code);
        QFETCH(QString, err);
        QFETCH(QString, text);
        QFETCH(QString, income);
        if (args.last().endsWith(".pdf") && code == 0 && !test::hasPdfText())
            QSKIP("pdftotext (poppler-utils) is not installed");
        TestDatabase t;
        t.addTax("O'Brien IRA", "IBM", 50, QDate(2000, 1, 3), QDate(2000, 2, 7), 5000, 6000.5);
        t.addTax("Old", "T", 1, QDate(1999, 1, 3), QDate(2001, 2, 7), 5, 6);
        runQuery(t.connection(), "UPDATE Txn SET OpenClose = 'Income' WHERE ID = ?",
                 {t.addTxn("Coinbase1", "All", "ETH", 0.01, "Bought", QDate(2002, 3, 3), 31)});
        const QByteArray before = test::readBytes(t.path());
        const QString file = t.folder() + '/' + args.last();
        if (args.size() > 1)
            args.last() = file;

        const QByteArray savedHelper = qgetenv("GAINBOOK_PDF_WRITER");
        if (!helper.isEmpty())
            qputenv("GAINBOOK_PDF_WRITER", helper.toUtf8());
        const test::CliRun r = test::runCliCaught(QStringList{"--db", t.path()} + args);
        qputenv("GAINBOOK_PDF_WRITER", savedHelper);

        QCOMPARE(r.code, code);
        QVERIFY2(r.err.left(err.size()) == err, qPrintable(r.err));
        // A written report says so: its one line of each year here.
        QCOMPARE(r.out, code == 0 ? QString("Tax report wrote 1 line to %1.\n").arg(file) + income
                                  : QString());
        QCOMPARE(r.err.contains("usage: gainbook-cli"), code == 2);
        QCOMPARE(test::readBytes(t.path()), before);
        if (text.isEmpty()) {
            QVERIFY(!QFile::exists(file));
            return;
        }
        const QString written = file.endsWith(".pdf") ? test::pdfText(file).simplified()
                                                      : QString::fromUtf8(test::readBytes(file));
        QVERIFY2(written.contains(text), qPrintable(written));
    }
};

GAINBOOK_GUILESS_TEST(TestReportCli)
#include "test_report_cli.moc"
