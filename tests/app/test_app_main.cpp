#include <QtTest>

// Runs the test classes of this folder in one program.
int runNextTokenTests(int argc, char** argv);
int runStartupTests(int argc, char** argv);
int runDatabaseStartupTests(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int failures = 0;
    failures += runNextTokenTests(argc, argv);
    failures += runStartupTests(argc, argv);
    failures += runDatabaseStartupTests(argc, argv);
    return failures;
}
