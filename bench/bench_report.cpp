// The tax report of a year of tax records, as PDF and as CSV.
//
//   bench_report [RECORDS]     (default 50000)
//
// Fills a new database with RECORDS tax records sold in 2000 (short and
// long term, a few with no date acquired), then reads them into a report
// and writes it both ways, printing the time of each step.

#include "bench_main.h"
#include "report/pdf/pdf_printer.h"
#include "report/report_print.h"
#include "report/tax_report_file.h"
#include "store/database.h"
#include "store/tax_table.h"
#include "store/transaction.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <ctime>

using namespace gainbook;

namespace {

// Wall time and the process's processor time, since the machine may be
// shared with other work while the bench runs.
class Stopwatch {
public:
    Stopwatch() { restart(); }
    void restart() {
        wall_.start();
        cpu_ = std::clock();
    }
    QString text() const {
        const double cpuMs = double(std::clock() - cpu_) * 1000.0 / CLOCKS_PER_SEC;
        return QStringLiteral("%1 ms (cpu %2 ms)").arg(wall_.elapsed()).arg(qRound64(cpuMs));
    }

private:
    QElapsedTimer wall_;
    std::clock_t cpu_ = 0;
};

void fill(Database& db, int count) {
    static const char* const symbols[] = {"IBM", "MSFT", "AAPL", "CSCO", "ORCL", "QCOM", "YHOO"};
    Transaction transaction(db.connection());
    TaxWriter writer(db.connection());
    for (int i = 0; i < count; ++i) {
        TaxRecord r;
        r.accountName = QStringLiteral("Account %1").arg(i % 5);
        r.symbol = QString::fromLatin1(symbols[i % 7]);
        r.quantity = Quantity::whole(10 + i % 490);
        r.dateSold = QDate(2000, 1, 1).addDays(i % 366);
        if (i % 50 != 0)
            r.dateAcquired = r.dateSold.addDays(-(i % 900));
        r.cost = Money::fromDouble(1000.0 + (i % 9973) * 1.25);
        r.salePrice = r.cost.scaled(5 + i % 13, 10);
        r.memo = QStringLiteral(" ");
        writer.insert(r);
    }
    transaction.commit();
}

int runBench(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 50000;
    QTextStream out(stdout);
    QTemporaryDir dir;
    Database db;
    if (!db.create(dir.filePath(QStringLiteral("report.db"))).ok()) {
        std::fprintf(stderr, "cannot create the database\n");
        return 1;
    }
    Stopwatch watch;
    fill(db, count);
    out << "fill " << count << " tax records: " << watch.text() << Qt::endl;

    watch.restart();
    Stopwatch whole;
    TaxReportFile file;
    const Outcome loaded = file.load(db.connection(), TaxYear{2000});
    out << "read and group the records: " << watch.text() << Qt::endl;
    if (!loaded.done()) {
        std::fprintf(stderr, "load failed: %s\n", qPrintable(loaded.message));
        return 1;
    }

    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    watch.restart();
    const Outcome pdfWritten = file.writeTo(pdf, printPdf);
    out << "PDF, whole (lines, pages, file): " << watch.text() << ", " << QFileInfo(pdf).size()
        << " bytes" << Qt::endl;
    out << "report of " << loaded.count
        << " records as PDF, from the store to the file: " << whole.text() << Qt::endl;

    watch.restart();
    const QVector<PrintLine> lines = taxReportPrintLines(file.report());
    out << "  of which the lines to print: " << watch.text() << ", " << lines.size() << " lines"
        << Qt::endl;

    const QString csv = dir.filePath(QStringLiteral("report.csv"));
    watch.restart();
    const Outcome csvWritten = file.writeTo(csv, {});
    out << "CSV: " << watch.text() << ", " << QFileInfo(csv).size() << " bytes" << Qt::endl;
    if (!csvWritten.done() || !pdfWritten.done()) {
        std::fprintf(stderr, "write failed: %s %s\n", qPrintable(csvWritten.message),
                     qPrintable(pdfWritten.message));
        return 1;
    }
    return 0;
}

} // namespace

GAINBOOK_BENCH(bench_report, runBench)
