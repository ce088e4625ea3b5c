#include "support/test_registry.h"

#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace gainbook::test {

namespace {

struct TestClass {
    const char* name;
    RunTestClass run;
};

// Filled by the registrations' static initializers, before main() runs;
// a function's static so that it exists before the first of them.
std::vector<TestClass>& testClasses() {
    static std::vector<TestClass> classes;
    return classes;
}

const TestClass* findClass(const char* name) {
    for (const TestClass& c : testClasses()) {
        if (std::strcmp(c.name, name) == 0)
            return &c;
    }
    return nullptr;
}

// The program again, for one class, with the same options; its exit code,
// or 1 when it could not run or did not end normally.
int runInChild(const char* className, int argc, char** argv) {
    std::vector<char*> args{argv[0], const_cast<char*>(className)};
    args.insert(args.end(), argv + 1, argv + argc);
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, args.data(), environ) != 0) {
        std::fprintf(stderr, "%s: cannot start %s\n", argv[0], className);
        return 1;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return 1;
    return WEXITSTATUS(status);
}

} // namespace

bool registerTestClass(const char* name, RunTestClass run) {
    testClasses().push_back({name, run});
    return true;
}

} // namespace gainbook::test

int main(int argc, char** argv) {
    using namespace gainbook::test;
    if (argc > 1 && argv[1][0] != '-') {
        const TestClass* chosen = findClass(argv[1]);
        if (!chosen) {
            std::fprintf(stderr, "%s: no test class %s; this program holds:\n", argv[0], argv[1]);
            for (const TestClass& c : testClasses())
                std::fprintf(stderr, "  %s\n", c.name);
            return 2;
        }
        // Qt Test reads the remaining arguments as its own options.
        std::vector<char*> args{argv[0]};
        args.insert(args.end(), argv + 2, argv + argc);
        args.push_back(nullptr);
        return chosen->run(argc - 1, args.data());
    }
    int failed = 0;
    for (const TestClass& c : testClasses()) {
        if (runInChild(c.name, argc, argv) != 0)
            ++failed;
    }
    if (failed != 0)
        std::fprintf(stderr, "%s: %d of %zu test classes failed\n", argv[0], failed,
                     testClasses().size());
    return failed;
}
