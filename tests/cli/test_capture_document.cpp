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
        auto row = [](const char* name, const QString& source, const char* helper,
                      DocumentOpen result, const QString& error, int elements) {
            QTest::newRow(name) << source << QByteArray(helper) << int(result) << error << elements;
        };
        const char* none = "/nonexistent/helper";
        const QString page = fixture("sources/page.html");
        const QString loaded = "The page could not be loaded: ";
        row("spreadsheet needs no helper", fixture("sources/trades.xlsx"), none,
            DocumentOpen::Opened, {}, -1);
        row("spreadsheet as a file address",
            QUrl::fromLocalFile(fixture("wit/history.csv")).toString(), none, DocumentOpen::Opened,
            {}, -1);
        row("damaged spreadsheet", fixture("sources/not_a_workbook.xlsx"), none,
            DocumentOpen::SourceFailed, {}, 0);
        row("page without helper", page, none, DocumentOpen::ToolFailed, loaded, 0);
        if (!kWithHelper)
            return;
        row("page through the helper", page, "", DocumentOpen::Opened, {}, 1);
        row("missing page reported by the helper", fixture("sources/missing.html"), "",
            DocumentOpen::SourceFailed, "File not found: " + fixture("sources/missing.html"), 0);
        row("helper that answers nonsense", page, "/bin/echo", DocumentOpen::ToolFailed,
            loaded + "the answer of /bin/echo is not a page document", 0);
        row("helper that fails without a word", page, "/bin/false", DocumentOpen::ToolFailed,
            loaded + "/bin/false ended with code 1.", 0);
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
        QCOMPARE(message.isEmpty(), result == int(DocumentOpen::Opened));
        if (result == int(DocumentOpen::Opened))
            QVERIFY(!document.address.isEmpty() &&
                    (elements < 0 ? document.isSheet() : document.elements.size() >= elements));
    }
};

GAINBOOK_GUILESS_TEST(TestCaptureDocument)
#include "test_capture_document.moc"
