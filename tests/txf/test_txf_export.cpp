#include "support/recording_prompter.h"
#include "txf/txf_export.h"
#include "txf/txf_format.h"
#include "txf/txf_texts.h"
#include "txf_fixtures.h"

#include <QFile>
#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

// The value lines of a file, tags included, without the line ends.
QStringList lines(const QByteArray& bytes) {
    QStringList out = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

QStringList linesWithTag(const QByteArray& bytes, QChar tag) {
    QStringList out;
    for (const QString& line : lines(bytes).mid(4)) // past the header
        if (line.startsWith(tag))
            out << line;
    return out;
}

} // namespace

class TestTxfExport : public QObject {
    Q_OBJECT

private slots:
    void writesTheExactBytes() {
        TestDatabase t;
        fillSmallExport(t);
        RecordingPrompter prompter;
        TxfExport txf;
        QVERIFY(txf.load(t.connection(), prompter));
        const QString path = t.folder() + QStringLiteral("/out.txf");
        QVERIFY(txf.writeTo(path, prompter));
        QVERIFY(prompter.messages.isEmpty());
        // Two accounts, inserted out of date order, come out as one list by
        // date sold; the records sold in 1999 and 2001 stay out.
        QCOMPARE(readBytes(path), readBytes(txfData(QStringLiteral("small_export.txf"))));
    }

    void selectsOnlyTheTaxYear() {
        TestDatabase t;
        for (const QDate& sold :
             {QDate(1999, 12, 31), QDate(2000, 1, 1), QDate(2000, 12, 31), QDate(2001, 1, 1)})
            t.addTax(QStringLiteral("A"), sold.toString(Qt::ISODate), 1, QDate(1999, 6, 1), sold, 1,
                     2);
        TxfExport txf;
        QCOMPARE(txf.load(t.connection()).count, 2);
        const QString path = t.folder() + QStringLiteral("/year.txf");
        QVERIFY(txf.writeTo(path).ok());
        QCOMPARE(linesWithTag(readBytes(path), u'P'),
                 QStringList({"P1 2000-01-01", "P1 2000-12-31"}));
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
        QCOMPARE(txfReferenceNumber(record), number);
        QVERIFY(txfRecord(record).contains("\r\nN" + QByteArray::number(number) + "\r\n"));
    }

    void valueTexts_data() {
        QTest::addColumn<double>("quantity");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<double>("cost");
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QByteArray>("costLine");
        QTest::newRow("whole") << 100.0 << "ABC" << 1234.5 << QByteArray("P100 ABC")
                               << QByteArray("$1234.5");
        QTest::newRow("large, no separators")
            << 1e6 << "ABC" << 1234567.25 << QByteArray("P1000000 ABC")
            << QByteArray("$1234567.25");
        QTest::newRow("four decimals at most")
            << 0.5 << "X" << 0.123456 << QByteArray("P0.5 X") << QByteArray("$0.1235");
        QTest::newRow("negative") << 1.0 << "X" << -0.01 << QByteArray("P1 X")
                                  << QByteArray("$-0.01");
        QTest::newRow("quote kept, line break flattened")
            << 1.0 << "O'Neil \"A\"\nB" << 0.0 << QByteArray("P1 O'Neil \"A\" B")
            << QByteArray("$0");
    }
    void valueTexts() {
        QFETCH(double, quantity);
        QFETCH(QString, symbol);
        QFETCH(double, cost);
        QFETCH(QByteArray, description);
        QFETCH(QByteArray, costLine);
        TaxRecord record;
        record.quantity = quantity;
        record.symbol = symbol;
        record.cost = cost;
        record.dateSold = QDate(2000, 5, 6);
        const QList<QByteArray> got = txfRecord(record).split('\n');
        QCOMPARE(got.size(), 11); // ten lines and the empty rest
        QCOMPARE(got[4], description + '\r');
        QCOMPARE(got[5], QByteArray("D\r"));
        QCOMPARE(got[6], QByteArray("D05/06/2000\r"));
        QCOMPARE(got[7], costLine + '\r');
    }

    void noRecordShowsTheMessageAndWritesNothing() {
        TestDatabase t;
        t.addTax(QStringLiteral("A"), QStringLiteral("X"), 1, QDate(), QDate(2001, 1, 1), 1, 1);
        RecordingPrompter prompter;
        TxfExport txf;
        QVERIFY(!txf.load(t.connection(), prompter));
        QCOMPARE(prompter.messages, QStringList{noRecordToExportMessage()});
        QCOMPARE(txf.load(t.connection()).status, TxfStatus::NoData);
        QCOMPARE(noRecordToExportMessage(), QStringLiteral("NO record exist to be exported"));
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
        RecordingPrompter prompter;
        TxfExport txf;
        QVERIFY(txf.load(t.connection(), prompter));
        QVERIFY(!txf.writeTo(path, prompter));
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY2(
            prompter.messages[0].startsWith(QStringLiteral("The file %1 could not be written: ")
                                                .arg(QDir::toNativeSeparators(path))),
            qPrintable(prompter.messages[0]));
        QVERIFY(prompter.messages[0].size() > cannotWriteMessage(path, {}).size());
        QVERIFY(QFileInfo(t.folder() + QStringLiteral("/folder")).isDir());
        QCOMPARE(taxRows(t), before);
    }
};

QTEST_GUILESS_MAIN(TestTxfExport)
#include "test_txf_export.moc"
