#pragma once

#include "platform/prompter.h"

#include <QString>

// The benchmarks are gathered in a few programs, one per set of libraries
// they need, each started under the name of one of its benchmarks (the
// build makes a link of that name beside it, e.g. build/bench/bench_txf).
// A benchmark's file ends with GAINBOOK_BENCH(name, function) in place of
// a main(); main() is in bench_main.cpp.

namespace gainbook::bench {

using RunBenchmark = int (*)(int argc, char** argv);

// Adds a benchmark to those main() knows, before main() runs; always true,
// so that a static initializer can call it.
bool registerBenchmark(const char* name, RunBenchmark run);

// The CPU time, user and system, the process has used so far.
double cpuSeconds();

// Answers every question the same way; a message goes to the log, apart
// from the figures a benchmark prints.
class AnsweringPrompter final : public Prompter {
public:
    explicit AnsweringPrompter(bool answer) : answer_(answer) {}
    void message(const QString& text) override { qWarning("%s", qPrintable(text)); }
    bool ask(const QString&) override { return answer_; }

private:
    bool answer_;
};

} // namespace gainbook::bench

#define GAINBOOK_BENCH(name, run)                                                                  \
    [[maybe_unused]] static const bool gainbookBenchmark =                                         \
        ::gainbook::bench::registerBenchmark(#name, run);
