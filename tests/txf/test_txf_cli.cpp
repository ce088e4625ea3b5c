#include "cli/cli_commands.h"
#include "txf/txf_texts.h"
#include "txf_fixtures.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

struct Run {
    int code;
    QString out;
    QString err;
};

Run run(const TestDatabase& t, const QStringList& args) {
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    const int code = runCli(QStringList{"--db", t.path()} + args, o, e);
    o.flush();
    e.flush();
    return {code, out, err};
}

} // namespace

// The engines are tested on their own; here only what the commands add:
// output, exit codes and where failures are written.
class TestTxfCli : public QObject {
    Q_OBJECT

private slots:
    void exportWritesTheFileSilently() {
        TestDatabase t;
        fillSmallExport(t);
        const QString path = t.folder() + QStringLiteral("/cli.txf");
        const Run r = run(t, {"export-txf", path});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out + r.err, QString());
        QCOMPARE(readBytes(path), readBytes(txfData(QStringLiteral("small_export.txf"))));
    }

    void exportWithoutRecords() {
        TestDatabase t;
        const QString path = t.folder() + QStringLiteral("/none.txf");
        const Run r = run(t, {"export-txf", path});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, QStringLiteral("NO record exist to be exported\n"));
        QVERIFY(!QFile::exists(path));
    }

    void importTranscripts_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message"); // on standard output when done, else on error
        QTest::addColumn<QString>("accounts");
        QTest::newRow("own export") << "small_export.txf" << 0 << "3 records successfully added.\n"
                                    << "Level,Text\n1,Kestrova Gainbook 2.0\n";
        QTest::newRow("no data") << "v034_lf.txf" << 1 << noDataImportedMessage() + u'\n'
                                 << "Level,Text\n";
    }
    void importTranscripts() {
        QFETCH(QString, file);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(QString, accounts);
        TestDatabase t;
        const Run r = run(t, {"import-txf", txfData(file)});
        QCOMPARE(code == 0 ? r.out : r.err, message);
        QCOMPARE(code == 0 ? r.err : r.out, QString());
        QCOMPARE(r.code, code);
        QCOMPARE(run(t, {"accounts"}).out, accounts);
    }

    void failureGoesToStandardError() {
        TestDatabase t;
        const QString path = t.folder() + QStringLiteral("/nope.txf");
        const Run r = run(t, {"import-txf", path});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.startsWith(QStringLiteral("The file %1 could not be read: ")
                                      .arg(QDir::toNativeSeparators(path))),
                 qPrintable(r.err));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("export without file") << QStringList{"export-txf"};
        QTest::newRow("two files") << QStringList{"import-txf", "a.txf", "b.txf"};
        QTest::newRow("unknown option") << QStringList{"export-txf", "--all", "a.txf"};
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        TestDatabase t;
        const Run r = run(t, args);
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(" " + args[0] + " FILE"));
    }
};

QTEST_GUILESS_MAIN(TestTxfCli)
#include "test_txf_cli.moc"
