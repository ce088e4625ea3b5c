#include "store/account_settings_table.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "txf/txf_export.h"
#include "txf/txf_import.h"
#include "txf/txf_reader.h"
#include "txf/txf_texts.h"
#include "txf_fixtures.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

QString writeFile(const TestDatabase& t, const QString& name, const QByteArray& bytes) {
    const QString path = t.folder() + u'/' + name;
    writeBytes(path, bytes);
    return path;
}

QByteArray record(const QByteArray& description, const QByteArray& acquired, const QByteArray& sold,
                  const QByteArray& cost, const QByteArray& sale) {
    return "TD\r\nN321\r\nC1\r\nL1\r\nP" + description + "\r\nD" + acquired + "\r\nD" + sold +
           "\r\n$" + cost + "\r\n$" + sale + "\r\n^\r\n";
}

const QByteArray kHeader = "V034\r\nATest Account\r\nD1/7/01\r\n^\r\n";

} // namespace

class TestTxfImport : public QObject {
    Q_OBJECT

private slots:
    void readsItsOwnExportBack() {
        TestDatabase source;
        fillSmallExport(source);
        TxfExport txf;
        QVERIFY(txf.load(source.connection()).done());
        const QString path = source.folder() + QStringLiteral("/round.txf");
        QVERIFY(txf.writeTo(path).done());

        TestDatabase target;
        const Outcome result = importTxf(path, target.connection());
        QVERIFY(result.done());
        QCOMPARE(result.message, QString("3 records successfully added."));
        QCOMPARE(
            taxRows(target),
            QStringList({"Kestrova Gainbook 2.0|IBM|100|2000-01-03|2000-02-07|5000|6000.5| |A|0",
                         "Kestrova Gainbook 2.0|BRK.B|12.5|1998-06-30|2000-07-05|1234.5678|"
                         "999| |D|0",
                         "Kestrova Gainbook 2.0|XYZ|10||2000-12-31|0|-12.25| ||0"}));
    }

    // A record's reference number names its box; a record without one that
    // names a box gets the box of its term under the account's setting.
    // The number of one record never passes to the next.
    void boxOfEachRecord_data() {
        QTest::addColumn<QByteArray>("reference");
        QTest::addColumn<QByteArray>("acquired");
        QTest::addColumn<QString>("box");
        QTest::newRow("B by number") << QByteArray("N711\r\n") << QByteArray("1/3/1998") << "B";
        QTest::newRow("F by number") << QByteArray("N714\r\n") << QByteArray("3/1/2000") << "F";
        QTest::newRow("673 is none") << QByteArray("N673\r\n") << QByteArray("3/1/2000") << "";
        QTest::newRow("no number, short") << QByteArray() << QByteArray("3/1/2000") << "B";
        QTest::newRow("no number, long") << QByteArray() << QByteArray("1/3/1998") << "E";
        QTest::newRow("no number, unknown") << QByteArray() << QByteArray() << "";
        QTest::newRow("other number") << QByteArray("N999\r\n") << QByteArray("1/3/1998") << "E";
    }
    void boxOfEachRecord() {
        QFETCH(QByteArray, reference);
        QFETCH(QByteArray, acquired);
        QFETCH(QString, box);
        TestDatabase t;
        setBasisReporting(t.connection(), "Test Account", BasisReporting::NotReported);
        const QByteArray first =
            record("1 AAA", "1/3/1998", "6/1/2000", "1", "2").replace("N321", "N713");
        const QByteArray second = "TD\r\n" + reference + "C1\r\nL1\r\nP2 BBB\r\nD" + acquired +
                                  "\r\nD6/1/2000\r\n$1\r\n$2\r\n^\r\n";
        const QString path = writeFile(t, "boxes.txf", kHeader + first + second);
        QVERIFY(importTxf(path, t.connection()).done());
        const QVector<TaxRecord> back =
            selectTaxRecsSold(t.connection(), QDate(2000, 1, 1), QDate(2000, 12, 31));
        QCOMPARE(back.size(), 2);
        QCOMPARE(boxLetter(back[0].box), QString("E"));
        QCOMPARE(boxLetter(back[1].box), box);
    }

    // Files of other programs and forms, and records that cannot be read:
    // skipped and counted in a line of their own.
    void importsFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("no closing caret, lower-case tags, separators")
            << readBytes(txfData("no_final_caret.txf")) << "2 records successfully added."
            << QStringList{"Other Tax Program 1.2|MSFT|50|2000-02-01|2000-03-01|4000|4500| |A|0",
                           "Other Tax Program 1.2|T|7|1998-01-02|2000-11-30|210.125|350| |D|0"};
        QTest::newRow("V034 with LF line ends is one line")
            << readBytes(txfData("v034_lf.txf")) << noDataImportedMessage() << QStringList{};
        QTest::newRow("036 with LF line ends and an account record")
            << readBytes(txfData("lf_036_286.txf")) << "2 records successfully added."
            << QStringList{"Joint Brokerage 1234|ABC|100|2000-03-01|2000-04-01|1000|1250.75| |A|0",
                           "Joint Brokerage 1234|XYZ|25||2000-08-15|300|200| |D|0"};
        QTest::newRow("dates, amounts, unreadable records")
            << kHeader + record("1 O'Brien \"Q\"", "", "02/01/2000", "1", "2") +
                   record("2 BAD", "01/01/2000", "", "1", "2") +
                   record("3 BAD", "01/01/2000", "02/01/2000", "x", "2") +
                   record("4 OK", "VARIOUS", "03/01/2000", "", "7") +
                   record("5 YY", "1/5/99", "2/1/00", "1,234.567891", "-5") +
                   record("6 BAD", "13/45/1999", "02/01/2000", "1", "2") +
                   record("7 BAD", "01/05/1999", "02/01/2000", "1e20", "1") +
                   record("8 BAD", "01/05/1999", "02/01/2000", "1", "n/a")
            << "3 records successfully added.\n5 records could not be read and were skipped."
            << QStringList{"Test Account|O'Brien \"Q\"|1||2000-02-01|1|2| |A|0",
                           "Test Account|OK|4||2000-03-01|0|7| |A|0",
                           "Test Account|YY|5|1999-01-05|2000-02-01|1234.5679|-5| |A|0"};
        // Without a first record of 286 the account is the next "A" line
        // after the first reference number.
        QTest::newRow("036 without an account record")
            << QByteArray("V036\nN321\nAMy Account\nP10 ABC\nD\nD1/2/00\n$1\n$2")
            << "1 records successfully added."
            << QStringList{"My Account|ABC|10||2000-01-02|1|2| |A|0"};
        QTest::newRow("nothing readable")
            << kHeader + record("2 BAD", "01/01/2000", "", "1", "2")
            << noDataImportedMessage() + "\n1 record could not be read and was skipped."
            << QStringList{};
    }
    void importsFiles() {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(QStringList, rows);
        TestDatabase t;
        const Outcome result = importTxf(writeFile(t, "in.txf", content), t.connection());
        QCOMPARE(result.message, message);
        QCOMPARE(result.status, rows.isEmpty() ? Outcome::Status::Stopped : Outcome::Status::Done);
        QCOMPARE(taxRows(t), rows);
    }

    void importingTwiceAddsTwice() {
        TestDatabase t;
        const QString path = txfData(QStringLiteral("small_export.txf"));
        QCOMPARE(importTxf(path, t.connection()).count, 3);
        QCOMPARE(importTxf(path, t.connection()).count, 3);
        const QStringList rows = taxRows(t);
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows.mid(3), rows.mid(0, 3));
    }

    void aFailingWriteKeepsTheRowsBefore() {
        TestDatabase t;
        runQuery(t.connection(),
                 QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TaxRec WHEN "
                                "NEW.Symbol = 'FAIL' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        const QString path = writeFile(t, "fail.txf",
                                       kHeader + record("1 A", "", "02/01/2000", "1", "2") +
                                           record("2 FAIL", "", "02/01/2000", "1", "2") +
                                           record("3 C", "", "02/01/2000", "1", "2"));
        const Outcome result = importTxf(path, t.connection());
        QVERIFY(result.failed());
        QCOMPARE(result.count, 1);
        QVERIFY2(result.message.startsWith("1 records successfully added.\n"
                                           "The import stopped: "),
                 qPrintable(result.message));
        QVERIFY(result.message.contains(QLatin1String("refused")));
        QCOMPARE(taxRows(t).size(), 1);
        // Nothing was left open on the connection.
        QVERIFY(t.connection().transaction());
        QVERIFY(t.connection().commit());
    }

    void moreRecordsThanASixteenBitCount() {
        TestDatabase t;
        QByteArray text = kHeader;
        const int count = 40000;
        for (int i = 0; i < count; ++i)
            text += record(QByteArray::number(i + 1) + " S", "", "06/01/2000", "1", "2");
        const Outcome result = importTxf(writeFile(t, "big.txf", text), t.connection());
        QCOMPARE(result.message, QStringLiteral("40000 records successfully added."));
        QSqlQuery q = runQuery(t.connection(), QStringLiteral("SELECT COUNT(*) FROM TaxRec"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), count);
    }

    void lfFormTagSearch() {
        // Blanks at the start of a line go after a non-empty line, not after
        // an empty one.
        TxfReader reader("V036\n  N1\nX\n  PA\n\n  PB\nPC  \n ");
        QVERIFY(reader.isLfForm());
        QCOMPARE(reader.GetATagValue(u'N'), QStringLiteral("1"));
        QCOMPARE(reader.GetATagValue(u'P'), QStringLiteral("A"));
        QCOMPARE(reader.GetATagValue(u'P'), QStringLiteral("C  "));
        QCOMPARE(reader.GetATagValue(u'P'), QString());
    }

    void description_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("lfForm");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<QString>("symbol");
        QTest::newRow("CR blanks around symbol") << "12.5   BRK B  " << false << 12.5 << "BRK B";
        QTest::newRow("CR no blank") << "250" << false << 250.0 << "";
        QTest::newRow("CR text first") << "ABC 100" << false << 0.0 << "100";
        QTest::newRow("LF digits after a blank") << "100 3M" << true << 1003.0 << "M";
        QTest::newRow("LF no number") << "SHARES OF X" << true << 0.0 << "SHARES OF X";
        QTest::newRow("LF negative") << "-5 ABC" << true << -5.0 << "-5 ABC";
    }
    void description() {
        QFETCH(QString, description);
        QFETCH(bool, lfForm);
        QFETCH(double, quantity);
        QFETCH(QString, symbol);
        double gotQuantity = -1;
        QString gotSymbol;
        splitTxfDescription(description, lfForm, gotQuantity, gotSymbol);
        QCOMPARE(gotQuantity, quantity);
        QCOMPARE(gotSymbol, symbol);
    }
};

QTEST_GUILESS_MAIN(TestTxfImport)
#include "test_txf_import.moc"
