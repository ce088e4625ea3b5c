#include "bench_main.h"

#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <vector>

namespace gainbook::bench {

namespace {

struct Benchmark {
    const char* name;
    RunBenchmark run;
};

// Filled by the registrations' static initializers, before main() runs;
// a function's static so that it exists before the first of them.
std::vector<Benchmark>& benchmarks() {
    static std::vector<Benchmark> all;
    return all;
}

} // namespace

bool registerBenchmark(const char* name, RunBenchmark run) {
    benchmarks().push_back({name, run});
    return true;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace gainbook::bench

// Started through a link named after a benchmark, the program runs that
// one; started as itself, it takes the benchmark's name as its first
// argument.
int main(int argc, char** argv) {
    using gainbook::bench::benchmarks;
    const char* slash = std::strrchr(argv[0], '/');
    const char* called = slash ? slash + 1 : argv[0];
    for (const auto& b : benchmarks()) {
        if (std::strcmp(b.name, called) == 0)
            return b.run(argc, argv);
    }
    if (argc > 1) {
        for (const auto& b : benchmarks()) {
            if (std::strcmp(b.name, argv[1]) == 0)
                return b.run(argc - 1, argv + 1);
        }
    }
    std::fprintf(stderr, "usage: %s BENCHMARK [options], or a link named after one of:\n", called);
    for (const auto& b : benchmarks())
        std::fprintf(stderr, "  %s\n", b.name);
    return 2;
}
