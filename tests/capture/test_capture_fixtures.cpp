#include "capture/web/browser_setup.h"
#include "capture_harness.h"
#include "cli/cli_commands.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QProcess>
#include <QtTest>

using namespace gainbook;

namespace {

QString dataDir() {
    return qEnvironmentVariable("GAINBOOK_TEST_DATA") + QStringLiteral("/capture");
}

struct Run {
    int code;
    QStringList out;
    QString err;
};

Run capture(const QString& database, const QStringList& args) {
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    const int code = runCli(QStringList{"--db", database} + args, o, e);
    o.flush();
    e.flush();
    return {code, out.split(u'\n', Qt::SkipEmptyParts), err};
}

QStringList rowsWithMemoEnd(const QSqlDatabase& db) {
    QStringList rows = test::storedRows(db);
    for (QString& r : rows)
        r += u'|';
    return rows;
}

} // namespace

// Loads every broker fixture through the real document sources (the browser
// engine offscreen for pages) and checks the rows the capture stores.
class TestCaptureFixtures : public QObject {
    Q_OBJECT

private slots:
    void fixtures_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("rows");
        QDirIterator it(dataDir(), {"*.expected"}, QDir::Files, QDirIterator::Subdirectories);
        QStringList found;
        while (it.hasNext())
            found << it.next();
        found.sort();
        QVERIFY(found.size() >= 15);
        for (const QString& path : found) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
            QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
            const QStringList args = QProcess::splitCommand(lines.takeFirst().mid(6));
            const int code = lines.takeFirst().mid(6).toInt();
            const QString source = path.chopped(9);
            QTest::newRow(qPrintable(QDir(dataDir()).relativeFilePath(source)))
                << source << args << code << lines;
        }
    }
    void fixtures() {
        QFETCH(QString, source);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QStringList, rows);
        test::TestDatabase db;
        const Run run = capture(db.path(), QStringList{"capture"} + args + QStringList{source});
        QVERIFY2(run.code == code, qPrintable(run.out.join('\n') + run.err));
        QCOMPARE(rowsWithMemoEnd(db.connection()), rows);
    }

    // A document of the wrong kind for the entry never stops the run badly.
    void wrongDocument_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("message");
        const QString noData = "No data could be captured. Please make sure that right data is "
                               "displayed for ";
        QTest::newRow("page parser on a sheet") << "Etrade"
                                                << "other/history.xlsx" << noData + "Etrade";
        QTest::newRow("Datek on a sheet") << "Datek"
                                          << "other/history.csv" << noData + "Datek";
        QTest::newRow("sheet reader on a page")
            << "Other"
            << "etrade/year_end.html"
            << "Please open the Excel sheet before pressing capture button";
        QTest::newRow("Wit Capital on a page")
            << "Wit Capital"
            << "waterhouse/activity.html"
            << "Please open the Excel sheet before pressing capture button";
        QTest::newRow("a page saved as .xls") << "WebStreet"
                                              << "html-as.xls" << noData + "WebStreet";
    }
    void wrongDocument() {
        QFETCH(QString, entry);
        QFETCH(QString, source);
        QFETCH(QString, message);
        test::TestDatabase db;
        QString path = dataDir() + u'/' + source;
        if (source == "html-as.xls") {
            // Brokers often hand out a web page named as a spreadsheet.
            path = db.folder() + "/history.xls";
            QVERIFY(QFile::copy(dataDir() + "/waterhouse/activity.html", path));
        }
        const Run run = capture(db.path(), {"--yes", "capture", "--broker", entry, path});
        QCOMPARE(run.code, 1);
        QCOMPARE(run.out, QStringList{message});
        QVERIFY(test::storedRows(db.connection()).isEmpty());
    }

    void duplicateWithoutAnswer() {
        test::TestDatabase db;
        const QString source = dataDir() + "/fbr/statement.html";
        QCOMPARE(capture(db.path(), {"capture", "--broker", "FBR", source}).code, 0);
        const Run again = capture(db.path(), {"capture", "--broker", "FBR", source});
        QCOMPARE(again.code, 1);
        QCOMPARE(again.out, (QStringList{"Some data already exist for this account. Do you still "
                                         "want to add this data ?",
                                         "No"}));
        QCOMPARE(test::storedRows(db.connection()).size(), 2);
        // Another month files them apart without a question.
        const Run other =
            capture(db.path(), {"capture", "--broker", "FBR", "--month", "Mar", source});
        QCOMPARE(other.out, QStringList{"2 records successfully added."});
    }

    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::newRow("no broker") << QStringList{"capture", "x.html"} << 2 << "";
        QTest::newRow("no source") << QStringList{"capture", "--broker", "FBR"} << 2 << "";
        QTest::newRow("both derive flags")
            << QStringList{"capture", "--broker", "FBR", "--derive", "--no-derive", "x"} << 2 << "";
        QTest::newRow("unknown entry") << QStringList{"capture", "--broker", "Ameritrade", "x.html"}
                                       << 1 << "Wrong Account Type ";
        QTest::newRow("empty account")
            << QStringList{"capture", "--broker", "Other", "--account", "", "x.csv"} << 1
            << "Please enter an Account Name";
    }
    void usage() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        test::TestDatabase db;
        const Run run = capture(db.path(), args);
        QCOMPARE(run.code, code);
        QCOMPARE(run.out.join('\n'), out);
    }
};

int main(int argc, char* argv[]) {
    prepareBrowserEngine();
    QGuiApplication app(argc, argv);
    TestCaptureFixtures t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_capture_fixtures.moc"
