// Times what a year-end takes as the user runs it, at 10,000, 100,000 and
// 1,000,000 trades in one account: gainbook-cli capturing an "Other"
// spreadsheet into a new database, then processing the account, each as a
// whole process. Prints the wall time of each step, the time per 1,000
// trades (flat when the work grows linearly) and the larger peak memory of
// the two processes.
//   bench_scale [--trades N ...]
// With --trades only the sizes given run. gainbook-cli is looked for beside
// this program's build (../bin).
#include "bench_files.h"
#include "bench_main.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

namespace {

constexpr int kSymbols = 500;

// N trades of 500 symbols over ten years, each symbol bought twice and then
// sold in full, so that every sell finds its buys and some sales fall inside
// a wash-sale window.
QString tradesSheet(qint64 trades) {
    QString csv;
    csv.reserve(int(trades * 40));
    QTextStream s(&csv);
    s << "Date,Type,Symbol,Quantity,Amount,Memo\r\n";
    const QDate start(2015, 1, 2);
    for (qint64 i = 0; i < trades; ++i) {
        const qint64 round = i / kSymbols;
        const bool sell = round % 3 == 2;
        const QDate date = start.addDays(i * 3650 / trades);
        s << date.toString(QStringLiteral("MM/dd/yyyy")) << ',' << (sell ? "Sell" : "Buy") << ",S"
          << (i % kSymbols) << ',' << (sell ? 200 : 100) << ','
          << (sell ? 2000 + (i * 7919) % 400 : 1000 + (i * 104729) % 150) << ".25,\r\n";
    }
    return csv;
}

struct Step {
    double seconds = 0;
    long peakKb = 0;
    bool done = false;
};

// Runs one gainbook-cli command and waits for it, with its own peak memory
// (which only the wait for the process itself tells).
Step runTool(const QString& tool, const QStringList& args) {
    QList<QByteArray> words{QFile::encodeName(tool)};
    for (const QString& arg : args)
        words << arg.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        qFatal("cannot start %s", qPrintable(tool));
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    const bool waited = wait4(pid, &status, 0, &usage) == pid;
    return {timer.nsecsElapsed() / 1e9, usage.ru_maxrss,
            waited && WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

int runBench(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString tool =
        QDir(app.applicationDirPath()).filePath(QStringLiteral("../bin/gainbook-cli"));
    QList<qint64> sizes;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i)
        if (args[i] == QLatin1String("--trades"))
            sizes << args[i + 1].toLongLong();
    if (sizes.isEmpty())
        sizes = {10000, 100000, 1000000};

    QTextStream out(stdout);
    out << "capture (Other csv) and process of one account with gainbook-cli\n";
    for (const qint64 trades : sizes) {
        QTemporaryDir dir;
        const QString sheet = dir.filePath(QStringLiteral("trades.csv"));
        const QString db = dir.filePath(QStringLiteral("scale.db"));
        if (!gainbook::bench::writeText(sheet, tradesSheet(trades)))
            return 1;
        runTool(tool, {QStringLiteral("--db"), db, QStringLiteral("init")});
        const Step captured =
            runTool(tool, {QStringLiteral("--db"), db, QStringLiteral("capture"),
                           QStringLiteral("--broker"), QStringLiteral("Other"),
                           QStringLiteral("--account"), QStringLiteral("A"), sheet});
        if (!captured.done) {
            out << trades << " trades: the capture failed (its message is above)\n";
            out.flush();
            continue;
        }
        const Step processed = runTool(
            tool, {QStringLiteral("--db"), db, QStringLiteral("process"), QStringLiteral("A")});
        if (!processed.done)
            return 1;
        const double total = captured.seconds + processed.seconds;
        out << QStringLiteral("%1 trades: capture %2 s, process %3 s, together %4 s "
                              "(%5 ms per 1,000 trades); peak memory %6 MB\n")
                   .arg(trades)
                   .arg(captured.seconds, 0, 'f', 3)
                   .arg(processed.seconds, 0, 'f', 3)
                   .arg(total, 0, 'f', 3)
                   .arg(total * 1e6 / double(trades), 0, 'f', 2)
                   .arg(std::max(captured.peakKb, processed.peakKb) / 1024.0, 0, 'f', 1);
        out.flush();
    }
    return 0;
}

} // namespace

GAINBOOK_BENCH(bench_scale, runBench)
