#include "cli/capture_document.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

namespace {

QString fixture(const QString& name) {
    return qEnvironmentVariable("GAINBOOK_TEST_DATA") + "/capture/" + name;
}

// Runs with the page snapshot helper named by GAINBOOK_PAGE_SNAPSHOT replaced
// for a while.
class HelperOverride {
public:
    explicit HelperOverride(const QByteArray& path) : saved_(qgetenv("GAINBOOK_PAGE_SNAPSHOT")) {
        qputenv("GAINBOOK_PAGE_SNAPSHOT", path);
    }
    ~HelperOverride() { qputenv("GAINBOOK_PAGE_SNAPSHOT", saved_); }

private:
    QByteArray saved_;
};

#ifdef GAINBOOK_WITH_PAGE_SNAPSHOT
constexpr bool kWithHelper = true;
#else
constexpr bool kWithHelper = false;
#endif

} // namespace

// gainbook-cli reads spreadsheets itself and has pages loaded by the page
// snapshot helper; each way of failing reaches the user with its own message.
class TestCaptureDocument : public QObject {
    Q_OBJECT

private slots:
    void open_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QByteArray>("helper"); // empty: the built helper
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("error"); // start of the message
        QTest::addColumn<int>("elements");  // -1: a sheet
        const int opened = int(DocumentOpen::Opened);
        const int source = int(DocumentOpen::SourceFailed);
        const int tool = int(DocumentOpen::ToolFailed);
        QTest::newRow("spreadsheet needs no helper")
            << fixture("sources/trades.xlsx") << QByteArray("/nonexistent/helper") << opened
            << QString() << -1;
        QTest::newRow("spreadsheet as a file address")
            << QUrl::fromLocalFile(fixture("wit/history.csv")).toString()
            << QByteArray("/nonexistent/helper") << opened << QString() << -1;
        QTest::newRow("damaged spreadsheet")
            << fixture("sources/not_a_workbook.xlsx") << QByteArray("/nonexistent/helper") << source
            << QString() << 0;
        QTest::newRow("page without helper")
            << fixture("sources/page.html") << QByteArray("/nonexistent/helper") << tool
            << "The page could not be loaded: " << 0;
        if (kWithHelper) {
            QTest::newRow("page through the helper")
                << fixture("sources/page.html") << QByteArray() << opened << QString() << 1;
            QTest::newRow("missing page reported by the helper")
                << fixture("sources/missing.html") << QByteArray() << source
                << "File not found: " + fixture("sources/missing.html") << 0;
            QTest::newRow("helper that answers nonsense")
                << fixture("sources/page.html") << QByteArray("/bin/echo") << tool
                << "The page could not be loaded: the answer of /bin/echo is not a page document"
                << 0;
            QTest::newRow("helper that fails without a word")
                << fixture("sources/page.html") << QByteArray("/bin/false") << tool
                << "The page could not be loaded: /bin/false ended with code 1." << 0;
        }
    }
    void open() {
        QFETCH(QString, source);
        QFETCH(QByteArray, helper);
        QFETCH(int, result);
        QFETCH(QString, error);
        QFETCH(int, elements);
        HelperOverride use(helper.isEmpty() ? qgetenv("GAINBOOK_PAGE_SNAPSHOT") : helper);
        PageDocument document;
        QString message;
        const CaptureSource resolved = resolveCaptureSource(source, QString(), QDir::currentPath());
        QCOMPARE(int(openCaptureDocument(resolved, source, document, message)), result);
        QVERIFY2(message.startsWith(error), qPrintable(message));
        if (result != int(DocumentOpen::Opened)) {
            QVERIFY(!message.isEmpty());
            return;
        }
        QCOMPARE(document.address.isEmpty(), false);
        if (elements < 0)
            QVERIFY(document.isSheet());
        else
            QVERIFY(document.elements.size() >= elements);
    }

    // A build without the browser engine says so instead of failing
    // somewhere on the way.
    void pageInBuildWithoutHelper() {
        if (kWithHelper)
            QSKIP("this build has the page snapshot helper");
        PageDocument document;
        QString message;
        const QString page = fixture("sources/page.html");
        QCOMPARE(openCaptureDocument(resolveCaptureSource(page, QString(), QDir::currentPath()),
                                     page, document, message),
                 DocumentOpen::ToolFailed);
        QVERIFY2(message.contains("not available in this build"), qPrintable(message));
    }
};

GAINBOOK_GUILESS_TEST(TestCaptureDocument)
#include "test_capture_document.moc"
