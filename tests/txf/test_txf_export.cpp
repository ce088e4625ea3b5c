#include "txf/txf_export.h"
#include "txf/txf_format.h"
#include "txf_fixtures.h"

#include <QtTest>

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

    void unwritableTargetNamesTheFileAndKeepsAll_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing folder") << "no/such/folder/out.txf";
        QTest::newRow("a folder") << "folder";
    }
    void unwritableTargetNamesTheFileAndKeepsAll() {
        QFETCH(QString, relative);
        TestDatabase t;
        fillSmallExport(t);
        QVERIFY(QDir(t.folder()).mkdir(QStringLiteral("folder")));
        const QStringList before = taxRows(t);
        const QString path = t.folder() + u'/' + relative;
        TxfExport txf;
        QVERIFY(txf.load(t.connection()).done());
        const Outcome written = txf.writeTo(path);
        QVERIFY(written.failed());
        const QString named = QStringLiteral("The file %1 could not be written: ")
                                  .arg(QDir::toNativeSeparators(path));
        QVERIFY2(written.message.startsWith(named), qPrintable(written.message));
        QVERIFY(written.message.size() > named.size()); // the reason follows
        QVERIFY(QFileInfo(t.folder() + QStringLiteral("/folder")).isDir());
        QCOMPARE(taxRows(t), before);
    }
};

QTEST_GUILESS_MAIN(TestTxfExport)
#include "test_txf_export.moc"
