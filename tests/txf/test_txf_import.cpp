#include "store/sql.h"
#include "support/recording_prompter.h"
#include "txf/txf_export.h"
#include "txf/txf_import.h"
#include "txf/txf_reader.h"
#include "txf/txf_texts.h"
#include "txf_fixtures.h"

#include <QFile>
#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

QString writeFile(const TestDatabase& t, const QString& name, const QByteArray& bytes) {
    const QString path = t.folder() + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
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
        QVERIFY(txf.load(source.connection()).ok());
        const QString path = source.folder() + QStringLiteral("/round.txf");
        QVERIFY(txf.writeTo(path).ok());

        TestDatabase target;
        RecordingPrompter prompter;
        const TxfResult result = importTxf(path, target.connection(), prompter);
        QCOMPARE(result.status, TxfStatus::Done);
        QCOMPARE(prompter.messages, QStringList{"3 records successfully added."});
        QCOMPARE(taxRows(target),
                 QStringList({"Kestrova Gainbook 2.0|IBM|100|2000-01-03|2000-02-07|5000|6000.5| ",
                              "Kestrova Gainbook 2.0|BRK.B|12.5|1998-06-30|2000-07-05|1234.5678|"
                              "999| ",
                              "Kestrova Gainbook 2.0|XYZ|10||2000-12-31|0|-12.25| "}));
    }

    void importsFilesOfOtherForms_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("no closing caret, lower-case tags, separators")
            << "no_final_caret.txf"
            << "2 records successfully added."
            << QStringList{"Other Tax Program 1.2|MSFT|50|2000-02-01|2000-03-01|4000|4500| ",
                           "Other Tax Program 1.2|T|7|1998-01-02|2000-11-30|210.125|350| "};
        QTest::newRow("V034 with LF line ends is one line")
            << "v034_lf.txf" << noDataImportedMessage() << QStringList{};
        QTest::newRow("036 with LF line ends and an account record")
            << "lf_036_286.txf"
            << "2 records successfully added."
            << QStringList{"Joint Brokerage 1234|ABC|100|2000-03-01|2000-04-01|1000|1250.75| ",
                           "Joint Brokerage 1234|XYZ|25||2000-08-15|300|200| "};
    }
    void importsFilesOfOtherForms() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(QStringList, rows);
        TestDatabase t;
        RecordingPrompter prompter;
        const TxfResult result = importTxf(txfData(file), t.connection(), prompter);
        QCOMPARE(prompter.messages, QStringList{message});
        QCOMPARE(result.status, rows.isEmpty() ? TxfStatus::NoData : TxfStatus::Done);
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

    void entryToRecord_data() {
        QTest::addColumn<QString>("acquired");
        QTest::addColumn<QString>("sold");
        QTest::addColumn<QString>("cost");
        QTest::addColumn<QString>("sale");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QDate>("dateAcquired");
        QTest::addColumn<double>("costValue");
        const QDate none;
        const QDate jan5(1999, 1, 5);
        QTest::newRow("plain") << "01/05/1999"
                               << "02/01/2000"
                               << "10"
                               << "20" << true << jan5 << 10.0;
        QTest::newRow("two-digit years") << "1/5/99"
                                         << "2/1/00"
                                         << "10"
                                         << "20" << true << jan5 << 10.0;
        QTest::newRow("missing date acquired") << "00/00/00"
                                               << "02/01/2000"
                                               << "10"
                                               << "20" << true << none << 10.0;
        QTest::newRow("VARIOUS") << "VARIOUS"
                                 << "02/01/2000"
                                 << "10"
                                 << "20" << true << none << 10.0;
        QTest::newRow("Various, blanks") << " Various "
                                         << "02/01/2000"
                                         << "10"
                                         << "20" << true << none << 10.0;
        QTest::newRow("garbled date acquired") << "13/45/1999"
                                               << "02/01/2000"
                                               << "10"
                                               << "20" << false << none << 0.0;
        QTest::newRow("no date sold") << "01/05/1999"
                                      << ""
                                      << "10"
                                      << "20" << false << none << 0.0;
        QTest::newRow("date sold text") << "01/05/1999"
                                        << "soon"
                                        << "10"
                                        << "20" << false << none << 0.0;
        QTest::newRow("empty amounts are 0") << "01/05/1999"
                                             << "02/01/2000"
                                             << ""
                                             << "" << true << jan5 << 0.0;
        QTest::newRow("separators and rounding") << "01/05/1999"
                                                 << "02/01/2000"
                                                 << "1,234.567891"
                                                 << "-5" << true << jan5 << 1234.5679;
        QTest::newRow("amount text") << "01/05/1999"
                                     << "02/01/2000"
                                     << "12abc"
                                     << "1" << false << none << 0.0;
        QTest::newRow("amount too large for currency") << "01/05/1999"
                                                       << "02/01/2000"
                                                       << "1e20"
                                                       << "1" << false << none << 0.0;
        QTest::newRow("sale price text") << "01/05/1999"
                                         << "02/01/2000"
                                         << "1"
                                         << "n/a" << false << none << 0.0;
    }
    void entryToRecord() {
        QFETCH(QString, acquired);
        QFETCH(QString, sold);
        QFETCH(QString, cost);
        QFETCH(QString, sale);
        QFETCH(bool, kept);
        QFETCH(QDate, dateAcquired);
        QFETCH(double, costValue);
        TxfEntry entry;
        entry.quantity = 3;
        entry.symbol = QStringLiteral("O'Brien \"Q\"");
        entry.dateAcquired = acquired;
        entry.dateSold = sold;
        entry.cost = cost;
        entry.salePrice = sale;
        const std::optional<TaxRecord> record = taxRecordFromTxf(entry, QStringLiteral("Acct"));
        QCOMPARE(record.has_value(), kept);
        if (!kept)
            return;
        QCOMPARE(record->dateAcquired, dateAcquired);
        QCOMPARE(record->dateSold, QDate(2000, 2, 1));
        QCOMPARE(record->cost, costValue);
        QCOMPARE(record->symbol, entry.symbol);
        QCOMPARE(record->accountName, QStringLiteral("Acct"));
        QCOMPARE(record->memo, QStringLiteral(" "));
    }

    void skippedRecordsAreCounted() {
        TestDatabase t;
        const QString path =
            writeFile(t, "mixed.txf",
                      kHeader + record("1 O'Brien \"Q\"", "", "02/01/2000", "1", "2") +
                          record("2 BAD", "01/01/2000", "", "1", "2") +
                          record("3 BAD", "01/01/2000", "02/01/2000", "x", "2") +
                          record("4 OK", "VARIOUS", "03/01/2000", "", "7"));
        RecordingPrompter prompter;
        const TxfResult result = importTxf(path, t.connection(), prompter);
        QCOMPARE(result.status, TxfStatus::Done);
        QCOMPARE(result.skipped, 2);
        QCOMPARE(prompter.messages, QStringList{"2 records successfully added.\n"
                                                "2 records could not be read and were skipped."});
        QCOMPARE(taxRows(t), QStringList({"Test Account|O'Brien \"Q\"|1||2000-02-01|1|2| ",
                                          "Test Account|OK|4||2000-03-01|0|7| "}));
    }

    void nothingReadableIsNoData() {
        TestDatabase t;
        const QString path =
            writeFile(t, "bad.txf", kHeader + record("2 BAD", "01/01/2000", "", "1", "2"));
        const TxfResult result = importTxf(path, t.connection());
        QCOMPARE(result.status, TxfStatus::NoData);
        QCOMPARE(result.message,
                 noDataImportedMessage() + "\n1 record could not be read and was skipped.");
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
        RecordingPrompter prompter;
        const TxfResult result = importTxf(path, t.connection(), prompter);
        QCOMPARE(result.status, TxfStatus::Failed);
        QCOMPARE(result.count, 1);
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY2(prompter.messages[0].startsWith("1 records successfully added.\n"
                                                 "The import stopped: "),
                 qPrintable(prompter.messages[0]));
        QVERIFY(prompter.messages[0].contains(QLatin1String("refused")));
        QCOMPARE(taxRows(t).size(), 1);
        // The connection is usable afterwards: nothing was left open.
        QVERIFY(t.connection().transaction());
        QVERIFY(t.connection().commit());
    }

    void unreadableFileIsReported() {
        TestDatabase t;
        const QString path = t.folder() + QStringLiteral("/missing.txf");
        RecordingPrompter prompter;
        const TxfResult result = importTxf(path, t.connection(), prompter);
        QCOMPARE(result.status, TxfStatus::Failed);
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY(prompter.messages[0].startsWith(
            QStringLiteral("The file %1 could not be read: ").arg(QDir::toNativeSeparators(path))));
        QVERIFY(taxRows(t).isEmpty());
    }

    void moreRecordsThanASixteenBitCount() {
        TestDatabase t;
        QByteArray text = kHeader;
        const int count = 40000;
        for (int i = 0; i < count; ++i)
            text += record(QByteArray::number(i + 1) + " S", "", "06/01/2000", "1", "2");
        const TxfResult result = importTxf(writeFile(t, "big.txf", text), t.connection());
        QCOMPARE(result.count, count);
        QCOMPARE(result.message, QStringLiteral("40000 records successfully added."));
        QSqlQuery q = runQuery(t.connection(), QStringLiteral("SELECT COUNT(*), MAX(Quantity) "
                                                              "FROM TaxRec"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), count);
        QCOMPARE(q.value(1).toInt(), count);
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

    void lfFormWithoutAccountRecord() {
        // Without a first record of 286 the account is the next "A" line
        // after the first reference number.
        const TxfStatement s = readTxf("V036\nN321\nAMy Account\nP10 ABC\nD\nD1/2/00\n$1\n$2");
        QCOMPARE(s.accountName, QStringLiteral("My Account"));
        QCOMPARE(s.entries.size(), 1);
        QCOMPARE(s.entries[0].symbol, QStringLiteral("ABC"));
        QCOMPARE(s.entries[0].dateAcquired, QStringLiteral("00/00/00"));
    }

    void description_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("lfForm");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<QString>("symbol");
        QTest::newRow("CR plain") << "100 ABC" << false << 100.0 << "ABC";
        QTest::newRow("CR blanks around symbol") << "12.5   BRK B  " << false << 12.5 << "BRK B";
        QTest::newRow("CR no blank") << "250" << false << 250.0 << "";
        QTest::newRow("CR text first") << "ABC 100" << false << 0.0 << "100";
        QTest::newRow("LF plain") << "100 ABC" << true << 100.0 << "ABC";
        QTest::newRow("LF digits after a blank") << "100 3M" << true << 1003.0 << "M";
        QTest::newRow("LF fraction") << "0.5 XY" << true << 0.5 << "XY";
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
