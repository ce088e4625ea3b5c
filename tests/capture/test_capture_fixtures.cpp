#include "capture/web/browser_setup.h"
#include "capture_harness.h"
#include "support/cli_run.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

namespace {

test::CliRun capture(const QString& database, const QStringList& args) {
    return test::runCliCaught(QStringList{"--db", database} + args);
}

} // namespace

// Loads every broker fixture through the real document sources (the browser
// engine offscreen for pages) and checks the rows the capture stores.
class TestCaptureFixtures : public QObject {
    Q_OBJECT

public:
    // The engine reads its switches before the application object exists.
    static void initMain() { prepareBrowserEngine(); }

private slots:
    void fixtures_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("rows");
        QDirIterator it(test::captureData({}), {"*.expected"}, QDir::Files,
                        QDirIterator::Subdirectories);
        QStringList found;
        while (it.hasNext())
            found << it.next();
        found.sort();
        QVERIFY(found.size() >= 15);
        for (const QString& path : found) {
            const QString source = path.chopped(9);
            const test::ExpectedCapture expected = test::readExpected(source);
            QVERIFY2(expected.code >= 0, qPrintable(path));
            QTest::newRow(qPrintable(QDir(test::captureData({})).relativeFilePath(source)))
                << source << expected.args << expected.code << expected.rows;
        }
    }
    void fixtures() {
        QFETCH(QString, source);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QStringList, rows);
        test::TestDatabase db;
        const auto run = capture(db.path(), QStringList{"capture"} + args + QStringList{source});
        QVERIFY2(run.code == code, qPrintable(run.out + run.err));
        QCOMPARE(test::storedRows(db.connection()), rows);
    }

    // Brokers often hand out a web page named as a spreadsheet: the reader
    // refuses it and the run ends with the no-data message. The other
    // wrong-kind documents are the capture unit tests' cases.
    void pageSavedAsSpreadsheet() {
        test::TestDatabase db;
        const QString path = db.folder() + "/history.xls";
        QVERIFY(QFile::copy(test::captureData("waterhouse/activity.html"), path));
        const auto run = capture(db.path(), {"--yes", "capture", "--broker", "WebStreet", path});
        QCOMPARE(run.code, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.endsWith(test::noData("WebStreet") + u'\n'), qPrintable(run.err));
        QVERIFY(test::storedRows(db.connection()).isEmpty());
    }
};

GAINBOOK_TEST(TestCaptureFixtures)

#include "test_capture_fixtures.moc"
