// TXF export and import of a year of tax records.
//
//   bench_txf [RECORDS] [--no-large]     (default 50000)
//
// For the layouts of 2000 (version 034) and 2011 (version 042) fills a new
// database with RECORDS tax records sold in that year, spread over a few
// accounts, exports them, then imports the file into a second database, and
// prints the time of each step. Then reads a file of about 100 MB and one
// with a single line of 10 MB, to show that reading stays linear (left out
// with --no-large).

#include "bench_main.h"
#include "platform/prompter.h"
#include "store/database.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "txf/txf_export.h"
#include "txf/txf_import.h"
#include "txf/txf_reader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
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

void fill(Database& db, int count, int year) {
    static const char* const symbols[] = {"IBM", "MSFT", "AAPL", "CSCO", "ORCL", "QCOM", "YHOO"};
    Transaction transaction(db.connection());
    TaxWriter writer(db.connection());
    for (int i = 0; i < count; ++i) {
        TaxRecord r;
        r.accountName = QStringLiteral("Account %1").arg(i % 5);
        r.symbol = QString::fromLatin1(symbols[i % 7]);
        r.quantity = Quantity::whole(10 + i % 490);
        r.dateSold = QDate(year, 1, 1).addDays(i % 365);
        r.dateAcquired = r.dateSold.addDays(-(i % 900));
        r.cost = Money::fromDouble(1000.0 + (i % 9973) * 1.25);
        r.salePrice = r.cost.scaled(5 + i % 13, 10);
        r.memo = QStringLiteral(" ");
        r.box = i % 3 == 0 ? Form8949Box::B : Form8949Box::D;
        if (i % 10 == 0)
            r.washAdjustment = Money::fromCents(1250);
        writer.insert(r);
    }
    transaction.commit();
}

// Answers every question No and counts them.
class NoPrompter final : public Prompter {
public:
    void message(const QString&) override {}
    bool ask(const QString&) override {
        ++questions;
        return false;
    }
    int questions = 0;
};

bool runYear(QTextStream& out, const QTemporaryDir& dir, int count, int year) {
    Database source;
    Database target;
    const QString tag = QString::number(year);
    if (!source.create(dir.filePath(tag + QStringLiteral("-source.db"))).ok() ||
        !target.create(dir.filePath(tag + QStringLiteral("-target.db"))).ok()) {
        std::fprintf(stderr, "cannot create the databases\n");
        return false;
    }
    out << "-- tax year " << year << '\n';
    Stopwatch watch;
    fill(source, count, year);
    out << "fill " << count << " tax records: " << watch.text() << '\n';

    const QString path = dir.filePath(tag + QStringLiteral(".txf"));
    watch.restart();
    Stopwatch whole;
    TxfExport txf;
    const Outcome loaded = txf.load(source.connection(), TaxYear{year});
    out << "export, reading the records: " << watch.text() << '\n';
    watch.restart();
    const Outcome written = txf.writeTo(path);
    out << "export, writing the file: " << watch.text() << '\n';
    out << "export, whole: " << whole.text() << '\n';
    if (!loaded.done() || !written.done()) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(written.message));
        return false;
    }
    out << "exported " << written.count << " records, " << QFileInfo(path).size() << " bytes\n";

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    watch.restart();
    const TxfStatement statement = readTxf(content);
    out << "import, reading " << statement.entries.size() << " records: " << watch.text() << '\n';

    watch.restart();
    whole.restart();
    NoPrompter prompter;
    TxfImport txfImport;
    const Outcome read = txfImport.read(path);
    out << "import, reading and checking the file: " << watch.text() << '\n';
    watch.restart();
    const Outcome imported =
        read.done() ? txfImport.addTo(target.connection(), txfImport.fileAccountName(), prompter)
                    : read;
    out << "import, adding (backup, write, commit): " << watch.text() << '\n';
    out << "import, whole: " << whole.text() << '\n';
    if (!imported.done()) {
        std::fprintf(stderr, "import failed: %s\n", qPrintable(imported.message));
        return false;
    }
    out << "imported " << imported.count << " records\n";

    // The same file again into the same account: every record is held
    // already, and the question is answered No.
    watch.restart();
    const Outcome again = importTxf(path, target.connection(), prompter);
    out << "import again, finding " << prompter.questions
        << " question(s) on the records held: " << watch.text() << '\n';
    return again.stopped();
}

void readLarge(QTextStream& out) {
    QByteArray big = "V042\nABench\nD01/01/2012\n^\n";
    const QByteArray sale = "TD\nN321\nC1\nL1\nP100 sh. IBM\nD01/03/2011\nD02/07/2011\n"
                            "$5000.00\n$6000.50\n^\nTD\nN287\nC1\nL1\n$12.00\n^\n";
    while (big.size() < (qsizetype(100) << 20))
        big += sale;
    Stopwatch watch;
    const TxfStatement statement = readTxf(big);
    out << "read " << (big.size() >> 20) << " MB: " << statement.entries.size() << " sales, "
        << statement.otherRecords << " others: " << watch.text() << '\n';

    QByteArray line = "V042\r\nABench\r\n^\r\nTD\r\nN321\r\nP1 sh. ";
    line += QByteArray(qsizetype(10) << 20, 'X');
    line += "\r\nD\r\nD01/02/2011\r\n$1\r\n$2\r\n^\r\n";
    watch.restart();
    const TxfStatement longLine = readTxf(line);
    out << "read a line of 10 MB: symbol of " << longLine.entries.value(0).symbol.size()
        << " characters: " << watch.text() << '\n';
}

int runBench(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 && argv[1][0] != '-' ? std::atoi(argv[1]) : 50000;
    QTextStream out(stdout);
    QTemporaryDir dir;
    for (const int year : {2000, 2011}) {
        if (!runYear(out, dir, count, year))
            return 1;
    }
    if (!app.arguments().contains(QStringLiteral("--no-large")))
        readLarge(out);
    return 0;
}

} // namespace

GAINBOOK_BENCH(bench_txf, runBench)
