// TXF export and import of a year of tax records.
//
//   bench_txf [RECORDS]     (default 50000)
//
// Fills a new database with RECORDS tax records sold in 2000, spread over a
// few accounts, exports them, then imports the file into a second database,
// and prints the time of each step.

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

void fill(Database& db, int count) {
    static const char* const symbols[] = {"IBM", "MSFT", "AAPL", "CSCO", "ORCL", "QCOM", "YHOO"};
    Transaction transaction(db.connection());
    TaxWriter writer(db.connection());
    for (int i = 0; i < count; ++i) {
        TaxRecord r;
        r.accountName = QStringLiteral("Account %1").arg(i % 5);
        r.symbol = QString::fromLatin1(symbols[i % 7]);
        r.quantity = 10 + i % 490;
        r.dateSold = QDate(2000, 1, 1).addDays(i % 366);
        r.dateAcquired = r.dateSold.addDays(-(i % 900));
        r.cost = Money::fromDouble(1000.0 + (i % 9973) * 1.25);
        r.salePrice = r.cost.scaled(5 + i % 13, 10);
        r.memo = QStringLiteral(" ");
        writer.insert(r);
    }
    transaction.commit();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 50000;
    QTextStream out(stdout);
    QTemporaryDir dir;
    Database source;
    Database target;
    if (!source.create(dir.filePath(QStringLiteral("source.db"))).ok() ||
        !target.create(dir.filePath(QStringLiteral("target.db"))).ok()) {
        std::fprintf(stderr, "cannot create the databases\n");
        return 1;
    }
    Stopwatch watch;
    fill(source, count);
    out << "fill " << count << " tax records: " << watch.text() << '\n';

    const QString path = dir.filePath(QStringLiteral("year.txf"));
    watch.restart();
    TxfExport txf;
    const Outcome loaded = txf.load(source.connection());
    out << "export, reading the records: " << watch.text() << '\n';
    watch.restart();
    const Outcome written = txf.writeTo(path);
    out << "export, writing the file: " << watch.text() << '\n';
    if (!loaded.done() || !written.done()) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(written.message));
        return 1;
    }
    out << "exported " << written.count << " records, " << QFileInfo(path).size() << " bytes\n";

    // The reading part of the import on its own, for comparison.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray content = file.readAll();
    watch.restart();
    const TxfStatement statement = readTxf(content);
    out << "import, reading " << statement.entries.size() << " records: " << watch.text() << '\n';

    // The same records in the LF form of version 036, whose first record
    // names the account.
    QByteArray lfForm = content;
    lfForm.replace("\r\n", "\n");
    lfForm.replace(0, lfForm.indexOf("^\n") + 2, "V036\nTD\nN286\nPBench Account\n^\n");
    watch.restart();
    const TxfStatement lfStatement = readTxf(lfForm);
    out << "import, reading " << lfStatement.entries.size()
        << " records in the LF form: " << watch.text() << '\n';

    watch.restart();
    const Outcome imported = importTxf(path, target.connection());
    out << "import, whole (read, check, write, commit): " << watch.text() << '\n';
    if (!imported.done()) {
        std::fprintf(stderr, "import failed: %s\n", qPrintable(imported.message));
        return 1;
    }
    out << "imported " << imported.count << " records\n";
    return 0;
}
