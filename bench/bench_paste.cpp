// Times the reading of pasted text (the Wit Capital paste box): lines of
// "date, Bought or Sold, quantity, the security's name, price, amount,
// status", as copied from the history page, walked word by word.
//
//   bench_paste [RUNS [MAXLINES]]
//
// Prints, for 16,000, 32,000, 100,000 and 200,000 lines (those up to
// MAXLINES), the best of RUNS runs (3 by default) and the lines read per
// second. A reader that copies
// the rest of the text for every word shows here as a rate that falls with
// the length of the text; a linear one keeps its rate.

#include "bench_files.h"
#include "bench_main.h"
#include "capture/broker_entries.h"
#include "capture/capture_parsers.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace gainbook;

namespace {

const char* const kNames[] = {"Acme Widgets, Inc.", "Northwind Traders", "Contoso Ltd.",
                              "Fabrikam Holdings Corp."};

// The text as the paste box holds it: a heading line, then trades, every
// line ended by CR LF.
QString pastedText(int lines) {
    QString text = QStringLiteral("Date Transaction Quantity Security Price Amount Status\r\n");
    text.reserve(qsizetype(lines) * 72);
    for (int i = 0; i < lines; ++i) {
        text += bench::tradeDate(i);
        text += i % 3 ? QStringLiteral(" Bought ") : QStringLiteral(" Sold ");
        text += QString::number(i % 500 + 1) + u' ' + QLatin1String(kNames[i % 4]);
        text += QStringLiteral(" $12.50 $") + QString::number(i % 9000 + 100) +
                QStringLiteral(",234.50 Settled \r\n");
    }
    return text;
}

int runBench(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int maxLines = argc > 2 ? std::atoi(argv[2]) : 200000;
    const BrokerEntry* entry = findBrokerEntry(QStringLiteral("Wit Capital"));
    std::printf("pasted text, best of %d runs\n", runs);
    for (const int lines : {16000, 32000, 100000, 200000}) {
        if (lines > maxLines)
            break;
        const QString text = pastedText(lines);
        double best = 0;
        qsizetype rows = 0;
        CaptureState state = CaptureState::initial();
        chooseBrokerEntry(state, *entry, QString(), QString());
        state.pasteData = true;
        state.pastedText = text;
        const CaptureSettings settings = state.settings();
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            const ParseResult parsed = entry->parser(PageDocument{}, settings);
            const double seconds = double(timer.nsecsElapsed()) / 1e9;
            rows = parsed.rows.size();
            if (run == 0 || seconds < best)
                best = seconds;
        }
        std::printf("  %7d lines: %8.1f ms  %10.0f lines/s  (%lld rows read)\n", lines,
                    best * 1000.0, lines / best, static_cast<long long>(rows));
    }
    return 0;
}

} // namespace

GAINBOOK_BENCH(bench_paste, runBench)
