#include "platform/output_guard.h"
#include "store/sql.h"
#include "store/store_backup.h"
#include "txf/txf_export.h"
#include "txf/txf_format.h"
#include "txf/txf_texts.h"
#include "txf_fixtures.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace gainbook;
using namespace gainbook::test;

class TestTxfExport : public QObject {
    Q_OBJECT

private slots:
    // Two accounts inserted out of date order come out as one list by date
    // sold, with N321 for the short hold, N323 for the long one and for the
    // missing date acquired; the records sold in 1999 and 2001 stay out.
    void writesTheExactBytes() {
        TestDatabase t;
        fillSmallExport(t);
        TxfExport txf;
        const Outcome loaded = txf.load(t.connection());
        QVERIFY(loaded.done());
        const QString path = t.folder() + QStringLiteral("/out.txf");
        const Outcome written = txf.writeTo(path);
        QVERIFY(written.done());
        QCOMPARE(loaded.message + written.message, QString());
        QCOMPARE(readBytes(path), readBytes(txfData(QStringLiteral("small_export.txf"))));
    }

    void selectsOnlyTheTaxYear() {
        TestDatabase t;
        for (const QDate& sold :
             {QDate(1999, 12, 31), QDate(2000, 1, 1), QDate(2000, 12, 31), QDate(2001, 1, 1)})
            t.addTax("A", sold.toString(Qt::ISODate), 1, QDate(1999, 6, 1), sold, 1, 2);
        TxfExport txf;
        QCOMPARE(txf.load(t.connection()).count, 2);
        const QString path = t.folder() + QStringLiteral("/year.txf");
        QVERIFY(txf.writeTo(path).done());
        const QByteArray bytes = readBytes(path);
        QVERIFY(bytes.contains("\r\nP1 2000-01-01\r\n") && bytes.contains("\r\nP1 2000-12-31\r\n"));
        QCOMPARE(bytes.count("\r\nTD\r\n"), 2);
    }

    void referenceNumber_data() {
        QTest::addColumn<QDate>("acquired");
        QTest::addColumn<QDate>("sold");
        QTest::addColumn<int>("number");
        QTest::newRow("a week") << QDate(2000, 3, 1) << QDate(2000, 3, 8) << 321;
        QTest::newRow("exactly a year") << QDate(1999, 3, 1) << QDate(2000, 3, 1) << 321;
        QTest::newRow("a year and a day") << QDate(1999, 3, 1) << QDate(2000, 3, 2) << 323;
        QTest::newRow("leap day bought") << QDate(2000, 2, 29) << QDate(2001, 2, 28) << 321;
        QTest::newRow("leap day bought, a day more")
            << QDate(2000, 2, 29) << QDate(2001, 3, 1) << 323;
        QTest::newRow("sold on leap day") << QDate(1999, 2, 28) << QDate(2000, 2, 29) << 323;
        QTest::newRow("no date acquired") << QDate() << QDate(2000, 3, 8) << 323;
        QTest::newRow("sold before bought") << QDate(2000, 6, 1) << QDate(2000, 3, 8) << 321;
    }
    void referenceNumber() {
        QFETCH(QDate, acquired);
        QFETCH(QDate, sold);
        QFETCH(int, number);
        TaxRecord record;
        record.dateAcquired = acquired;
        record.dateSold = sold;
        QVERIFY(txfRecord(record).contains("\r\nN" + QByteArray::number(number) + "\r\n"));
    }

    // Large numbers without separators; a quote kept, a line break flattened
    // so that it cannot start a line of its own.
    void descriptionAndAmounts() {
        TaxRecord record;
        record.quantity = 1e6;
        record.symbol = QStringLiteral("O'Neil \"A\"\nB");
        record.cost = Money::fromCents(123456725);
        record.dateSold = QDate(2000, 5, 6);
        QCOMPARE(txfRecord(record).split('\n').mid(4, 4),
                 (QList<QByteArray>{"P1000000 O'Neil \"A\" B\r", "D\r", "D05/06/2000\r",
                                    "$1234567.25\r"}));
    }

    // The export never writes over the records it came from, nor over a
    // node that is not a regular file; it says why and leaves all as it was.
    void refusedTargetKeepsAll_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason"); // empty: any reason the system gives
        auto row = [](const char* name, const QString& reason) {
            QTest::newRow(name) << QString(name) << reason;
        };
        row("missing folder", "");
        row("folder", "it is a folder");
        row("database", "it is the open database");
        row("hard link", "it is the open database");
        row("symbolic link", "it is the open database");
        row("backup", "it is the database's backup");
        row("pipe", "it is a pipe or socket, not a file");
    }
    void refusedTargetKeepsAll() {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        TestDatabase t;
        fillSmallExport(t);
        const QStringList before = taxRows(t);
        const QString folder = t.folder();
        QString path;
        if (target == u"missing folder") {
            path = folder + QStringLiteral("/no/such/folder/out.txf");
        } else if (target == u"folder") {
            path = folder + QStringLiteral("/folder");
            QVERIFY(QDir(folder).mkdir(QStringLiteral("folder")));
        } else if (target == u"database") {
            path = t.path();
        } else if (target == u"hard link") {
            path = folder + QStringLiteral("/same.txf");
            QVERIFY(::link(QFile::encodeName(t.path()), QFile::encodeName(path)) == 0);
        } else if (target == u"symbolic link") {
            path = folder + QStringLiteral("/pointer.txf");
            QVERIFY(QFile::link(t.path(), path));
        } else if (target == u"backup") {
            QVERIFY(keepBackup(t.connection()).done());
            path = backupFileOf(t.path());
        } else if (target == u"pipe") {
            path = folder + QStringLiteral("/pipe.txf");
            QVERIFY(::mkfifo(QFile::encodeName(path), 0600) == 0);
        }
        const QFileInfo was(path);
        const QByteArray bytes = was.isFile() ? readBytes(path) : QByteArray();

        TxfExport txf;
        QVERIFY(txf.load(t.connection()).done());
        const Outcome written = txf.writeTo(path);
        QVERIFY(written.failed());
        const QString named = QStringLiteral("The file %1 could not be written: ")
                                  .arg(QDir::toNativeSeparators(path));
        QVERIFY2(written.message.startsWith(named), qPrintable(written.message));
        if (reason.isEmpty())
            QVERIFY(written.message.size() > named.size());
        else
            QCOMPARE(written.message.mid(named.size()), reason);
        const QFileInfo is(path);
        QCOMPARE(is.exists(), was.exists());
        QCOMPARE(is.isSymLink(), was.isSymLink());
        QCOMPARE(is.isDir(), was.isDir());
        if (was.isFile())
            QCOMPARE(readBytes(path), bytes);
        QCOMPARE(taxRows(t), before);
    }

    // A device node is never written over (checked without writing: a
    // wrong answer here would replace the machine's own node).
    void deviceRefused() {
        QCOMPARE(outputRefusal(QStringLiteral("/dev/null"), {}),
                 QStringLiteral("it is a device, not a file"));
    }

    // A stored value no amount can hold stops the export: it would be
    // written as $0.
    void outOfRangeValuesStopTheExport() {
        TestDatabase t;
        fillSmallExport(t);
        const qint64 id = t.addTax("A", "HUGE", 1, QDate(2000, 1, 3), QDate(2000, 2, 1), 1, 2);
        runQuery(t.connection(), "UPDATE TaxRec SET Cost = ? WHERE ID = ?", {1e308, id});
        TxfExport txf;
        const Outcome loaded = txf.load(t.connection());
        QVERIFY(loaded.failed());
        QCOMPARE(loaded.message, outOfRangeExportMessage(1));
    }
};

QTEST_GUILESS_MAIN(TestTxfExport)
#include "test_txf_export.moc"
