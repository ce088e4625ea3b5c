// Times whole capture runs: an E*Trade-style year-end page of 5,000 rows
// (browser load and snapshot, the parser's walk, the inserts) and an "Other"
// spreadsheet of 50,000 rows (reading the csv, the walk, the inserts), and
// a 50,000-row export in the first layout of each broker preset.
//
//   bench_capture [RUNS] [--sheets]
//
// --sheets leaves the page out and times the spreadsheets alone.
// Prints the best and the median of RUNS runs (3 by default) of each step.

#include "bench_files.h"
#include "bench_main.h"
#include "capture/broker_entries.h"
#include "capture/broker_presets.h"
#include "capture/capture_parsers.h"
#include "capture/capture_run.h"
#include "capture/sources/spreadsheet_reader.h"
#include "capture/web/browser_setup.h"
#include "capture/web/document_loader.h"
#include "store/database.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace gainbook;

using bench::tradeDate;
using bench::writeText;

namespace {

constexpr int kPageRows = 5000;
constexpr int kSheetRows = 50000;

const char* const kSymbols[] = {"MSFT", "INTC", "CSCO", "ORCL", "QCOM", "YHOO", "AMZN", "DELL"};

// Navigation first (the page's own table never starts among the first 800
// elements), the landmark, sales, a totals line, then the purchases.
QString etradePage() {
    QString html;
    QTextStream s(&html);
    s << "<html><body><table><tr><td>Account: 4455-0001</td></tr></table><ul>";
    for (int i = 0; i < 400; ++i)
        s << "<li><a href=\"#\">Section " << i << "</a></li>";
    s << "</ul><b>1099-B Proceeds From Broker Transactions 2000</b><table>"
      << "<tr><td>SYMBOL</td><td>DATE</td><td>TYPE</td><td>QUANTITY</td><td>PRICE</td>"
      << "<td>NET</td><td>AMOUNT ADJ.</td></tr>\n";
    const int sales = kPageRows / 2;
    auto row = [&](int i, const char* kind) {
        s << "<tr><td>" << kSymbols[i % 8] << "</td><td>" << tradeDate(i) << "</td><td>" << kind
          << "</td><td>" << (i % 500 + 1) << "</td><td>12.50</td><td>($" << (i % 9000 + 100)
          << ",234.50)</td><td></td></tr>\n";
    };
    for (int i = 0; i < sales; ++i)
        row(i, "SALE");
    s << "<tr><td>TOTAL</td><td>TOTALS</td><td></td><td></td><td></td><td></td><td></td></tr>"
      << "</table><table><tr><td>PURCHASES</td></tr></table><table><tr><th><b>AMOUNT</b></th>"
      << "</tr>\n";
    for (int i = sales; i < kPageRows; ++i)
        row(i, "PURCHASE");
    s << "</table></body></html>\n";
    return html;
}

QString otherSheet() {
    QString csv;
    QTextStream s(&csv);
    s << "Date,Type,Symbol,Quantity,Amount,Memo\r\n";
    for (int i = 0; i < kSheetRows; ++i)
        s << tradeDate(i) << ',' << (i % 3 ? "Buy" : "Sell") << ',' << kSymbols[i % 8] << ','
          << (i % 500 + 1) << ',' << (i % 9000 + 100) << ".25,lot " << i << "\r\n";
    return csv;
}

// A 50,000-row export in one layout of a preset: the first name of every
// column it needs or may have, the trades alternating between its buy and
// sell words (or the quantity's sign where it has no type column).
QString presetSheet(const PresetLayout& layout) {
    QString csv;
    QTextStream s(&csv);
    QStringList headings;
    for (const QStringList& field : layout.needed() + layout.mayHave())
        if (!headings.contains(field.front()))
            headings << field.front();
    const auto is = [](const QString& h, const QStringList& field) {
        return !field.isEmpty() && h == field.front();
    };
    const QString lead =
        layout.section.isEmpty() ? QString() : layout.section + QStringLiteral(",");
    const auto quoted = [](const QString& t) { return u'"' + t + u'"'; };
    s << "Title line of the export\r\n\r\n";
    QStringList head;
    for (const QString& h : headings)
        head << quoted(h);
    s << (lead.isEmpty() ? QString() : lead + QStringLiteral("Header,")) << head.join(u',')
      << "\r\n";
    for (int i = 0; i < kSheetRows; ++i) {
        const bool sell = i % 3 == 0;
        QStringList cells;
        for (const QString& h : headings) {
            QString cell = QStringLiteral("1");
            if (is(h, layout.date))
                cell = tradeDate(i);
            else if (is(h, layout.type))
                cell = sell ? layout.sells.front() : layout.buys.front();
            else if (is(h, layout.symbol))
                cell = QString::fromLatin1(kSymbols[i % 8]);
            else if (is(h, layout.quantity))
                cell = QString::number((sell ? -1 : 1) * (i % 500 + 1));
            else if (is(h, layout.amount))
                cell = QStringLiteral("%1$%2,234.25").arg(sell ? "" : "-").arg(i % 900 + 1);
            else if (is(h, layout.fee))
                cell = QStringLiteral("-1");
            else if (is(h, layout.account))
                cell = QStringLiteral("X%1").arg(i % 3);
            for (const auto& [heading, values] : layout.keepOnly)
                if (is(h, heading))
                    cell = values.front();
            cells << quoted(cell);
        }
        s << (lead.isEmpty() ? QString() : lead + QStringLiteral("Data,")) << cells.join(u',')
          << "\r\n";
    }
    return csv;
}

struct Steps {
    std::vector<double> load, walk, write;
};

double ms(QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// One run: open the source, walk it with the entry's parser, write the rows
// into a fresh database.
bool runOnce(const QString& entryName, const QString& source, const QString& dbPath, Steps& steps,
             int& rows) {
    QElapsedTimer t;
    t.start();
    QString error;
    const auto document = loadDocument(source, &error);
    if (!document) {
        std::fprintf(stderr, "cannot load %s: %s\n", qPrintable(source), qPrintable(error));
        return false;
    }
    steps.load.push_back(ms(t));

    QFile::remove(dbPath);
    Database db;
    if (!db.create(dbPath).ok())
        return false;
    CaptureState state = CaptureState::initial();
    chooseBrokerEntry(state, *findBrokerEntry(entryName), QString(), QString());

    t.restart();
    const ParseResult parsed = findBrokerEntry(entryName)->parser(*document, state.settings());
    steps.walk.push_back(ms(t));

    t.restart();
    const Outcome written = writeCapturedRows(db.connection(), parsed.rows);
    rows = int(written.count);
    steps.write.push_back(ms(t));
    if (!written.done()) {
        std::fprintf(stderr, "%s\n", qPrintable(written.message));
        return false;
    }
    return true;
}

void print(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("  %-22s best %9.1f ms   median %9.1f ms\n", what, v.front(), v[v.size() / 2]);
}

void report(const char* title, const Steps& s, int rows) {
    std::printf("%s: %d rows stored\n", title, rows);
    print("load (document)", s.load);
    print("walk (parser)", s.walk);
    print("insert (one txn)", s.write);
    std::vector<double> total;
    for (size_t i = 0; i < s.load.size(); ++i)
        total.push_back(s.load[i] + s.walk[i] + s.write[i]);
    print("whole capture", total);
}

int runBench(int argc, char* argv[]) {
    prepareBrowserEngine();
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const bool sheetsOnly = argc > 2 && std::strcmp(argv[2], "--sheets") == 0;

    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("year_end.html"));
    const QString sheet = dir.filePath(QStringLiteral("history.csv"));
    const QString dbPath = dir.filePath(QStringLiteral("bench.db"));
    if (!writeText(page, etradePage()) || !writeText(sheet, otherSheet()))
        return 1;

    Steps pageSteps;
    Steps sheetSteps;
    int pageRows = 0;
    int sheetRows = 0;
    for (int i = 0; i < runs; ++i) {
        if ((!sheetsOnly &&
             !runOnce(QStringLiteral("Etrade"), page, dbPath, pageSteps, pageRows)) ||
            !runOnce(QStringLiteral("Other"), sheet, dbPath, sheetSteps, sheetRows))
            return 1;
    }
    std::printf("capture benchmark, %d runs\n", runs);
    if (!sheetsOnly)
        report("E*Trade page, 5,000 table rows", pageSteps, pageRows);
    report("Other spreadsheet, 50,000 rows (csv)", sheetSteps, sheetRows);

    // Each layout read as the user's choice and as found by itself, which
    // adds the search for its heading row.
    for (const BrokerPreset& preset : brokerPresets()) {
        for (const PresetLayout& layout : preset.layouts) {
            const QString file = dir.filePath(QStringLiteral("preset.csv"));
            if (!writeText(file, presetSheet(layout)))
                return 1;
            for (const QString& entry : {preset.name, QStringLiteral("Detect")}) {
                Steps steps;
                int rows = 0;
                for (int i = 0; i < runs; ++i)
                    if (!runOnce(entry, file, dbPath, steps, rows))
                        return 1;
                const QByteArray title =
                    QStringLiteral("%1 (%2), 50,000 rows (csv)").arg(layout.title, entry).toUtf8();
                report(title.constData(), steps, rows);
            }
        }
    }
    return 0;
}

} // namespace

GAINBOOK_BENCH(bench_capture, runBench)
