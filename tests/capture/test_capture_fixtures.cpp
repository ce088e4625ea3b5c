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
            for (QString& row : lines)
                row.chop(1); // the "|" that shows where the memo ends
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
        QCOMPARE(test::storedRows(db.connection()), rows);
    }

    // Brokers often hand out a web page named as a spreadsheet: the reader
    // refuses it and the run ends with the no-data message. The other
    // wrong-kind documents are the capture unit tests' cases.
    void pageSavedAsSpreadsheet() {
        test::TestDatabase db;
        const QString path = db.folder() + "/history.xls";
        QVERIFY(QFile::copy(dataDir() + "/waterhouse/activity.html", path));
        const Run run = capture(db.path(), {"--yes", "capture", "--broker", "WebStreet", path});
        QCOMPARE(run.code, 1);
        QCOMPARE(run.out, QStringList());
        QVERIFY2(run.err.endsWith(test::noData("WebStreet") + u'\n'), qPrintable(run.err));
        QVERIFY(test::storedRows(db.connection()).isEmpty());
    }

    // Without --yes the duplicate question is answered No and shown.
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
    }

    void usage() {
        test::TestDatabase db;
        for (const QStringList& args :
             {QStringList{"capture", "x.html"}, QStringList{"capture", "--broker", "FBR"},
              QStringList{"capture", "--broker", "FBR", "--derive", "--no-derive", "x"}}) {
            const Run run = capture(db.path(), args);
            QCOMPARE(run.code, 2);
            QVERIFY(run.out.isEmpty());
        }
    }
};

int main(int argc, char* argv[]) {
    prepareBrowserEngine();
    QGuiApplication app(argc, argv);
    TestCaptureFixtures t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_capture_fixtures.moc"
