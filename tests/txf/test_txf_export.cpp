#include "platform/date_text.h"
#include "platform/output_guard.h"
#include "store/account_settings_table.h"
#include "store/sql.h"
#include "store/store_backup.h"
#include "store/tax_table.h"
#include "support/recording_prompter.h"
#include "support/test_main.h"
#include "txf/txf_export.h"
#include "txf/txf_format.h"
#include "txf/txf_import.h"
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
    // sold; the records sold in other years stay out. 2000 keeps the layout
    // of version 034 with its fixed date line; later years are version 042
    // with today's date, with the box numbers from 2011 only.
    void writesTheExactBytes_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("golden");
        QTest::newRow("2000, version 034") << 2000 << "small_export.txf";
        QTest::newRow("2005, version 042 by term") << 2005 << "export_2005.txf";
        QTest::newRow("2011, version 042 by box") << 2011 << "export_2011.txf";
    }
    void writesTheExactBytes() {
        QFETCH(int, year);
        QFETCH(QString, golden);
        TestDatabase t;
        if (year == 2000)
            fillSmallExport(t);
        else
            fillYearExport(t, year);
        TxfExport txf;
        const Outcome loaded = txf.load(t.connection(), TaxYear{year});
        QVERIFY(loaded.done());
        const QString path = t.folder() + QStringLiteral("/out.txf");
        const Outcome written = txf.writeTo(path, QDate(2012, 2, 14));
        QVERIFY(written.done());
        QCOMPARE(loaded.message + written.message, QString());
        QCOMPARE(readBytes(path), readBytes(txfData(golden)));
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

    // Each box is written with the reference number of its layout and read
    // back into the box that number names: before 2011 only the term
    // survives. The number decides, not the dates (chosen here against the
    // box) nor the account's setting. An unknown term has no box to tell the
    // basis: from 2011 its account's setting gives the number, which reads
    // back as an unknown term whatever the dates.
    void boxRoundTrip_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QDate>("acquired");
        QTest::addColumn<QString>("basis"); // the exporting account's setting
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("boxBack");
        struct Row {
            const char* box;
            bool longHold;
            int number2000, number2005, number2011;
            const char* back2005;
        };
        const Row rows[] = {{"A", true, 321, 321, 321, "A"},  {"B", true, 711, 321, 711, "A"},
                            {"C", true, 712, 321, 712, "A"},  {"D", false, 323, 323, 323, "D"},
                            {"E", false, 713, 323, 713, "D"}, {"F", false, 714, 323, 714, "D"},
                            {"", false, 673, 673, 673, ""}};
        for (const Row& r : rows) {
            for (const int year : {2000, 2005, 2011}) {
                const QDate acquired = r.longHold ? QDate(year - 2, 3, 1) : QDate(year, 3, 1);
                const int number =
                    year == 2000 ? r.number2000 : (year == 2005 ? r.number2005 : r.number2011);
                const QString back = QString::fromLatin1(year == 2005 ? r.back2005 : r.box);
                QTest::addRow("%d %s", year, *r.box ? r.box : "none")
                    << year << QString::fromLatin1(r.box) << acquired << "yes" << number << back;
            }
        }
        QTest::newRow("2011 none, date unknown") << 2011 << "" << QDate() << "yes" << 673 << "";
        QTest::newRow("unknown term, basis not reported: 715")
            << 2011 << "" << QDate(2011, 3, 1) << "no" << 715 << "";
        QTest::newRow("unknown term, no Form 1099-B: 716")
            << 2011 << "" << QDate() << "none" << 716 << "";
        QTest::newRow("unknown term before the boxes: 673 whatever the basis")
            << 2005 << "" << QDate() << "none" << 673 << "";
        QTest::newRow("known term, the box decides, not the basis")
            << 2011 << "D" << QDate(2009, 3, 1) << "none" << 323 << "D";
    }
    void boxRoundTrip() {
        QFETCH(int, year);
        QFETCH(QString, box);
        QFETCH(QDate, acquired);
        QFETCH(QString, basis);
        QFETCH(int, number);
        QFETCH(QString, boxBack);
        TestDatabase source;
        TaxRecord record;
        record.accountName = QStringLiteral("Acme");
        record.symbol = QStringLiteral("IBM");
        record.quantity = Quantity::whole(100);
        record.dateAcquired = acquired;
        record.dateSold = QDate(year, 6, 1);
        record.cost = Money::fromCents(100000);
        record.salePrice = Money::fromCents(123456);
        record.box = *boxFromLetter(box);
        insertTaxRec(source.connection(), record);
        setBasisReporting(source.connection(), record.accountName, *basisFromWord(basis));

        TxfExport txf;
        QVERIFY(txf.load(source.connection(), TaxYear{year}).done());
        const QString path = source.folder() + QStringLiteral("/box.txf");
        QVERIFY(txf.writeTo(path).done());
        QVERIFY(readBytes(path).contains("\r\nN" + QByteArray::number(number) + "\r\n"));

        TestDatabase target;
        setBasisReporting(target.connection(), txfProgramName(), BasisReporting::NoForm);
        RecordingPrompter prompter;
        QVERIFY(importTxf(path, target.connection(), prompter).done());
        const QVector<TaxRecord> back =
            selectTaxRecsSold(target.connection(), QDate(year, 1, 1), QDate(year, 12, 31));
        QCOMPARE(back.size(), 1);
        QCOMPARE(boxLetter(back[0].box), boxBack);
        QCOMPARE(back[0].dateAcquired, acquired);
        QCOMPARE(back[0].salePrice, record.salePrice);
    }

    // Every field of every record comes back, in every layout: version 042
    // rounds amounts to cents, the one record of that kind compares rounded.
    // Written again, the records give the same file: the sell with no buy
    // comes back with its cost unknown, not zero, and the unknown term with
    // the number of its account's basis when both accounts share it.
    void fieldsRoundTrip_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("basis");
        for (const int year : {1999, 2000, 2005, 2010, 2011, 2024})
            QTest::addRow("%d", year) << year << "yes";
        QTest::newRow("2024, unknown term of an account whose basis is not reported")
            << 2024 << "no";
    }
    void fieldsRoundTrip() {
        QFETCH(int, year);
        QFETCH(QString, basis);
        TestDatabase source;
        fillYearExport(source, year);
        setBasisReporting(source.connection(), "Zeta", *basisFromWord(basis));
        TxfExport txf;
        QVERIFY(txf.load(source.connection(), TaxYear{year}).done());
        const QString path = source.folder() + QStringLiteral("/year.txf");
        QVERIFY(txf.writeTo(path, QDate(2025, 2, 1)).done());
        TestDatabase target;
        setBasisReporting(target.connection(), "Back", *basisFromWord(basis));
        RecordingPrompter prompter;
        QVERIFY(importTxf(path, target.connection(), prompter, "Back").done());
        TxfExport again;
        QVERIFY(again.load(target.connection(), TaxYear{year}).done());
        QCOMPARE(again.fileBytes(QDate(2025, 2, 1)), readBytes(path));

        const bool byBox = year == 2000 || year == 1999 || year >= 2011;
        auto fields = [&](const TaxRecord& r, bool rounded) {
            const Form8949Box box =
                byBox ? r.box : boxFor(boxTerm(r.box), BasisReporting::Reported);
            const auto money = [&](Money m) {
                return QString::number((rounded ? m.roundedToCents() : m).units());
            };
            return QStringList{
                r.symbol,      r.quantity.text(),  isoDate(r.dateAcquired), isoDate(r.dateSold),
                money(r.cost), money(r.salePrice), boxLetter(box),          money(r.washAdjustment)}
                .join(u'|');
        };
        const bool v042 = year > 2000;
        const QVector<TaxRecord> sent =
            selectTaxRecsSold(source.connection(), QDate(year, 1, 1), QDate(year, 12, 31));
        const QVector<TaxRecord> back =
            selectTaxRecsSold(target.connection(), QDate(year, 1, 1), QDate(year, 12, 31));
        QCOMPARE(back.size(), sent.size());
        for (qsizetype i = 0; i < sent.size(); ++i)
            QCOMPARE(fields(back[i], false), fields(sent[i], v042));
    }

    // Large numbers without separators; a quote kept, a line break flattened
    // so that it cannot start a line of its own. An option is described as
    // on Form 1099-B, its count in contracts, whichever form its symbol has.
    void descriptionAndAmounts_data() {
        QTest::addColumn<TxfLayout>("layout");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QByteArray>("lines"); // "|" between them
        const QString oneil = QStringLiteral("O'Neil \"A\"\nB");
        QTest::newRow("034") << TxfLayout::Version034 << oneil << 1000000
                             << QByteArray(
                                    "P1000000 O'Neil \"A\" B|D|D05/06/2000|$1234567.25|$0|^");
        QTest::newRow("042") << TxfLayout::Version042Boxes << oneil << 1000000
                             << QByteArray("P1000000 sh. O'Neil \"A\" B|DVARIOUS|D05/06/2000|"
                                           "$1234567.25|$0.00|^");
        const QByteArray call = "|DVARIOUS|D05/06/2000|$1234567.25|$0.00|^";
        QTest::newRow("option, OCC's 21 characters")
            << TxfLayout::Version042Boxes << "AAPL  250117C00200000" << 1
            << "P1 AAPL 01/17/2025 200.00 C" + call;
        QTest::newRow("option, OCC without padding, small letters")
            << TxfLayout::Version034 << "aapl250117p00012500" << 3
            << QByteArray("P3 AAPL 01/17/2025 12.50 P|D|D05/06/2000|$1234567.25|$0|^");
        QTest::newRow("option, broker's words")
            << TxfLayout::Version042Boxes << "BRK.B 03/21/2025 412.5 PUT" << 2
            << "P2 BRK.B 03/21/2025 412.50 P" + call;
        QTest::newRow("no option: month 13")
            << TxfLayout::Version042Boxes << "AAPL  251317C00200000" << 1
            << "P1 sh. AAPL  251317C00200000" + call;
    }
    void descriptionAndAmounts() {
        QFETCH(TxfLayout, layout);
        QFETCH(QString, symbol);
        QFETCH(int, quantity);
        QFETCH(QByteArray, lines);
        TaxRecord record;
        record.quantity = Quantity::whole(quantity);
        record.symbol = symbol;
        record.cost = Money::fromCents(123456725);
        record.dateSold = QDate(2000, 5, 6);
        QCOMPARE(txfRecord(record, layout).split('\n').mid(4, 6),
                 lines.replace('|', "\r|").append('\r').split('|'));
    }

    void amountsWithTwoDecimals_data() {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0.00";
        QTest::newRow("whole") << qint64(12340000) << "1234.00";
        QTest::newRow("one decimal") << qint64(12345000) << "1234.50";
        QTest::newRow("small negative") << qint64(-2500) << "-0.25";
        QTest::newRow("half a cent up") << qint64(50) << "0.01";
        QTest::newRow("half a cent down") << qint64(-50) << "-0.01";
        QTest::newRow("below half a cent") << qint64(-49) << "0.00";
        QTest::newRow("carry into the whole") << qint64(99999999950) << "10000000.00";
    }
    void amountsWithTwoDecimals() {
        QFETCH(qint64, units);
        QFETCH(QString, text);
        QCOMPARE(txfAmount(Money::fromUnits(units)), text);
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
    void outOfRangeValuesStopTheExport_data() {
        QTest::addColumn<QString>("column");
        QTest::newRow("cost") << "Cost";
        QTest::newRow("wash-sale adjustment") << "WashAdj";
    }
    void outOfRangeValuesStopTheExport() {
        QFETCH(QString, column);
        TestDatabase t;
        fillSmallExport(t);
        const qint64 id = t.addTax("A", "HUGE", 1, QDate(2000, 1, 3), QDate(2000, 2, 1), 1, 2);
        runQuery(t.connection(), "UPDATE TaxRec SET " + column + " = ? WHERE ID = ?", {1e308, id});
        TxfExport txf;
        const Outcome loaded = txf.load(t.connection());
        QVERIFY(loaded.failed());
        QCOMPARE(loaded.message, outOfRangeExportMessage(1));
    }
};

GAINBOOK_GUILESS_TEST(TestTxfExport)
#include "test_txf_export.moc"
