#include <QtTest>

// Runs the test classes of this folder in one program.
int runScanHelperTests(int argc, char** argv);
int runPageParserTests(int argc, char** argv);
int runSheetParserTests(int argc, char** argv);
int runOtherExportTests(int argc, char** argv);
int runCaptureRunTests(int argc, char** argv);
int runCaptureSourceTests(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int failures = 0;
    failures += runScanHelperTests(argc, argv);
    failures += runPageParserTests(argc, argv);
    failures += runSheetParserTests(argc, argv);
    failures += runOtherExportTests(argc, argv);
    failures += runCaptureRunTests(argc, argv);
    failures += runCaptureSourceTests(argc, argv);
    return failures;
}
