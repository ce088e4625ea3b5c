#include "store/account_settings_table.h"
#include "store/sql.h"
#include "store/store_backup.h"
#include "store/tax_table.h"
#include "support/recording_prompter.h"
#include "support/test_main.h"
#include "txf/txf_export.h"
#include "txf/txf_format.h"
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
    // Files as other programs write them, and records that cannot be read:
    // skipped and counted in lines of their own.
    void importsFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("rows");
        auto row = [](const char* name, const QByteArray& content, const QString& message,
                      const QStringList& rows) {
            QTest::newRow(name) << content << message << rows;
        };
        const QByteArray lf = readBytes(txfData("other_programs_lf.txf"));
        const QString four =
            "4 records successfully added.\n2 records of other kinds were skipped.";
        const QString a = "CSV to TXF Converter 1.4|";
        const QStringList others{a + "AAPL|100|2011-01-03|2011-06-15|33000|35150.25| |A|0",
                                 a + "MSFT|50|2011-02-01|2011-03-01|1400|1250| |B|150",
                                 a + "IBM|10||2011-09-30|1200|1650| |D|0",
                                 a + "GOOG|0||2011-12-30|5000|4800| ||0"};
        row("042 LF, income before and between, D $ D $, format 5, VARIOUS", lf, four, others);
        row("042 CR LF", readBytes(txfData("other_programs_crlf.txf")), four, others);
        row("042 CR", QByteArray(lf).replace('\n', '\r'), four, others);
        row("041, a record left open before the next, a summary record",
            readBytes(txfData("ledger_041_open_record.txf")),
            "2 records successfully added.\n1 record of another kind was skipped.",
            {"Personal Ledger 2010|CSCO|25|2010-01-15|2010-07-15|500|550| |A|0",
             "Personal Ledger 2010|T|200|2005-03-01|2010-11-30|4800|5300| |D|0"});
        row("034 with LF line ends", readBytes(txfData("v034_lf.txf")),
            "1 records successfully added.",
            {"Kestrova Gainbook 2.0|IBM|100|2000-01-03|2000-02-07|5000|6000.5| |A|0"});
        row("no closing caret, lower-case tags, separators",
            readBytes(txfData("no_final_caret.txf")), "2 records successfully added.",
            {"Other Tax Program 1.2|MSFT|50|2000-02-01|2000-03-01|4000|4500| |A|0",
             "Other Tax Program 1.2|T|7|1998-01-02|2000-11-30|210.125|350| |D|0"});
        row("036 with LF line ends and an account record that names the account",
            readBytes(txfData("lf_036_286.txf")), "2 records successfully added.",
            {"Joint Brokerage 1234|ABC|100|2000-03-01|2000-04-01|1000|1250.75| |A|0",
             "Joint Brokerage 1234|XYZ|25||2000-08-15|300|200| |D|0"});
        row("036 without an account record", "V036\nN321\nAMy Account\nP10 ABC\nD\nD1/2/00\n$1\n$2",
            "1 records successfully added.", {"My Account|ABC|10||2000-01-02|1|2| |A|0"});
        // A record without its date sold is skipped; its neighbour keeps
        // its own fields instead of borrowing the missing ones.
        row("fields never cross a record end",
            kHeader + "TD\r\nN321\r\nP1 AAA\r\nD01/01/2000\r\n$1\r\n^\r\n" +
                record("2 BBB", "01/05/2000", "02/01/2000", "3", "4"),
            "1 records successfully added.\n1 record could not be read and was skipped.",
            {"Test Account|BBB|2|2000-01-05|2000-02-01|3|4| |A|0"});
        row("dates, amounts, unreadable records",
            kHeader + record("1 O'Brien \"Q\"", "", "02/01/2000", "1", "2") +
                record("2 BAD", "01/01/2000", "", "1", "2") +
                record("3 BAD", "01/01/2000", "02/01/2000", "x", "2") +
                record("4 OK", "VARIOUS", "03/01/2000", "", "7") +
                record("5 YY", "1/5/99", "2/1/00", "1,234.567891", "-5") +
                record("6 BAD", "13/45/1999", "02/01/2000", "1", "2") +
                record("7 BAD", "01/05/1999", "02/01/2000", "1e20", "1") +
                record("8 BAD", "01/05/1999", "02/01/2000", "1", "n/a"),
            "3 records successfully added.\n5 records could not be read and were skipped.",
            {"Test Account|O'Brien \"Q\"|1||2000-02-01|1|2| |A|0",
             "Test Account|OK|4||2000-03-01|0|7| |A|0",
             "Test Account|YY|5|1999-01-05|2000-02-01|1234.5679|-5| |A|0"});
        // Stored as a sell whose buy was never found: no date acquired, cost 0.
        const QByteArray noBuy = kHeader + record("10 NB", "", "02/01/2000", "", "15");
        row("sell with no buy: empty date acquired and cost lines, cost unknown",
            QByteArray(noBuy).replace("N321", "N673"), "1 records successfully added.",
            {"Test Account|NB|10||2000-02-01|0|15| ||0"});
        row("716 against an account whose basis is reported: unknown term, told",
            QByteArray(noBuy).replace("N321", "N716"),
            "1 records successfully added.\n1 record of unknown term names a cost basis "
            "reporting other than account Test Account's setting (yes); it takes the setting.",
            {"Test Account|NB|10||2000-02-01|0|15| ||0"});
        // Form 8949 instructions (2025): digital assets go in G to L, never
        // A to F; TXF numbers no such box, so 321 (A) of a coin sold in 2025
        // is G and 714 (F, long term, no 1099) is L. A coin sold in 2024
        // and a stock keep the box their number names.
        row("coins sold in 2025 take G to L, a coin of 2024 and a stock A",
            kHeader + record("0.5 BTC", "01/10/2025", "03/01/2025", "20000", "30000") +
                QByteArray(record("2 ETH", "01/02/2024", "03/01/2025", "4000", "6000"))
                    .replace("N321", "N714") +
                record("1 BTC", "01/10/2024", "06/01/2024", "40000", "60000") +
                record("10 IBM", "01/10/2025", "03/01/2025", "1000", "1100"),
            "4 records successfully added.",
            {"Test Account|BTC|0.5|2025-01-10|2025-03-01|20000|30000| |G|0",
             "Test Account|ETH|2|2024-01-02|2025-03-01|4000|6000| |L|0",
             "Test Account|BTC|1|2024-01-10|2024-06-01|40000|60000| |A|0",
             "Test Account|IBM|10|2025-01-10|2025-03-01|1000|1100| |A|0"});
    }
    void importsFiles() {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(QStringList, rows);
        TestDatabase t;
        RecordingPrompter prompter;
        const Outcome result = importTxf(writeFile(t, "in.txf", content), t.connection(), prompter);
        QCOMPARE(result.message, message);
        QCOMPARE(result.status, Outcome::Status::Done);
        QCOMPARE(taxRows(t), rows);
        QCOMPARE(prompter.questions, QStringList());
    }

    // Whatever is not a TXF file with a capital-gain record ends with the
    // no-data message, nothing asked and nothing written.
    void refusesFilesWithoutSales_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString none = noDataImportedMessage();
        QTest::newRow("empty") << QByteArray() << none;
        QTest::newRow("CSV") << QByteArray("Symbol,Qty,Date\nIBM,100,1/3/2000\n") << none;
        QTest::newRow("HTML") << QByteArray("<html><body><p>100 IBM</p></body></html>") << none;
        QTest::newRow("binary") << QByteArray("\x00\x01\xff\r\x7f\n^\x00$", 10) << none;
        QTest::newRow("header only") << QByteArray("V042\nAProgram\nD01/01/2012\n^\n") << none;
        QTest::newRow("income and deductions only")
            << QByteArray("V042\nAProgram\nD01/01/2012\n^\nTD\nN287\nC1\nL1\n$12.00\n^\n"
                          "TD\nN280\nC1\nL1\nPCharity\n$50.00\n^\n")
            << none + "\n2 records of other kinds were skipped.";
        QTest::newRow("only unreadable sales")
            << QByteArray("V042\r\nAProgram\r\n^\r\nTD\r\nN321\r\nP1 A\r\nDsoon\r\nDlater\r\n^\r\n")
            << none + "\n1 record could not be read and was skipped.";
    }
    void refusesFilesWithoutSales() {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        TestDatabase t;
        RecordingPrompter prompter;
        const Outcome result =
            importTxf(writeFile(t, "in.txf", content), t.connection(), prompter, "Chosen");
        QCOMPARE(result.status, Outcome::Status::Stopped);
        QCOMPARE(result.message, message);
        QCOMPARE(taxRows(t), QStringList());
        QVERIFY(!QFile::exists(backupFileOf(t.path())));
    }

    void firstAccountRecordNamesTheAccount() {
        TxfImport txf;
        QVERIFY(txf.read(kHeader + "TD\r\nN286\r\nPJoint 1234\r\n^\r\n" +
                         record("1 A", "", "1/2/2000", "1", "2"))
                    .done());
        QCOMPARE(txf.fileAccountName(), QString("Joint 1234"));
        QCOMPARE(txf.offeredAccountName(), QString("Joint 1234"));
        QCOMPARE(txf.records().size(), 1);
        // Without one the desktop offers the file's name, never the line
        // naming the program that wrote it.
        QVERIFY(txf.read(txfData("small_export.txf")).done());
        QCOMPARE(txf.fileAccountName(), QString("Kestrova Gainbook 2.0"));
        QCOMPARE(txf.offeredAccountName(), QString("small_export"));
        QVERIFY(txf.read(txfData("lf_036_286.txf")).done());
        QCOMPARE(txf.offeredAccountName(), QString("Joint Brokerage 1234"));
    }

    // Records the account holds already are asked about; No adds nothing
    // at all, Yes adds every record of the file.
    void recordsHeldAlready_data() {
        QTest::addColumn<QString>("heldIn");   // the account of the first import; empty: none
        QTest::addColumn<int>("firstRecords"); // how many of the three it held
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("question"); // empty: none asked
        QTest::addColumn<int>("rowsAfter");
        const QString three = "These 3 records are already in account Mine. Add them again?";
        QTest::newRow("new account") << "" << 0 << false << "" << 3;
        QTest::newRow("other account") << "Yours" << 3 << false << "" << 6;
        QTest::newRow("again, No") << "Mine" << 3 << false << three << 3;
        QTest::newRow("again, Yes") << "Mine" << 3 << true << three << 6;
        QTest::newRow("one held, Yes")
            << "Mine" << 1 << true << "This record is already in account Mine. Add it again?" << 4;
    }
    void recordsHeldAlready() {
        QFETCH(QString, heldIn);
        QFETCH(int, firstRecords);
        QFETCH(bool, answer);
        QFETCH(QString, question);
        QFETCH(int, rowsAfter);
        TestDatabase t;
        const QByteArray records[] = {record("1 A", "", "1/2/2000", "1", "2"),
                                      record("2 B", "1/1/2000", "1/3/2000", "1", "2"),
                                      record("3 C", "1/1/1999", "1/4/2000", "5", "6")};
        RecordingPrompter prompter;
        QByteArray first = kHeader;
        for (int i = 0; i < firstRecords; ++i)
            first += records[i];
        if (!heldIn.isEmpty())
            QVERIFY(importTxf(writeFile(t, "first.txf", first), t.connection(), prompter, heldIn)
                        .done());
        prompter.answers.enqueue(answer);
        const QString file =
            writeFile(t, "file.txf", kHeader + records[0] + records[1] + records[2]);
        const Outcome result = importTxf(file, t.connection(), prompter, "Mine");
        QCOMPARE(prompter.questions, question.isEmpty() ? QStringList() : QStringList{question});
        QCOMPARE(taxRows(t).size(), rowsAfter);
        const bool added = question.isEmpty() || answer;
        QCOMPARE(result.status, added ? Outcome::Status::Done : Outcome::Status::Stopped);
        QCOMPARE(result.count, added ? 3 : 0);
        QCOMPARE(result.message.isEmpty(), !added);
    }

    void blankAccountIsRefused() {
        TestDatabase t;
        RecordingPrompter prompter;
        TxfImport txf;
        QVERIFY(txf.read(writeFile(t, "a.txf", kHeader + record("1 A", "", "1/2/2000", "1", "2")))
                    .done());
        const Outcome result = txf.addTo(t.connection(), "  ", prompter);
        QVERIFY(result.stopped() && result.message == accountNeededMessage());
        QCOMPARE(taxRows(t), QStringList());
    }

    // A refused row keeps the rows before it, and nothing is left open on
    // the connection.
    void aFailingWriteKeepsTheRowsBefore() {
        TestDatabase t;
        runQuery(t.connection(),
                 QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TaxRec WHEN "
                                "NEW.Symbol = 'FAIL' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QByteArray content = kHeader;
        for (const char* description : {"1 A", "2 FAIL", "3 C"})
            content += record(description, "", "02/01/2000", "1", "2");
        RecordingPrompter prompter;
        const Outcome result =
            importTxf(writeFile(t, "fail.txf", content), t.connection(), prompter);
        QVERIFY(result.failed() && result.count == 1);
        QVERIFY2(result.message.startsWith("1 records successfully added.\nThe import stopped: ") &&
                     result.message.contains(QLatin1String("refused")),
                 qPrintable(result.message));
        QCOMPARE(taxRows(t).size(), 1);
        QVERIFY(t.connection().transaction() && t.connection().commit());
    }

    void moreRecordsThanASixteenBitCount() {
        TestDatabase t;
        QByteArray text = kHeader;
        for (int i = 0; i < 40000; ++i)
            text += record(QByteArray::number(i + 1) + " S", "", "06/01/2000", "1", "2");
        RecordingPrompter prompter;
        const Outcome result = importTxf(writeFile(t, "big.txf", text), t.connection(), prompter);
        QCOMPARE(result.message, QStringLiteral("40000 records successfully added."));
        QCOMPARE(taxRows(t).size(), 40000);
    }
};

GAINBOOK_GUILESS_TEST(TestTxfImport)
#include "test_txf_import.moc"
