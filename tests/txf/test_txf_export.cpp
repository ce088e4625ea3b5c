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
    // with today's date, with the box numbers from 2011 only. The splash and
    // About name the version the file starts with.
    void writesTheExactBytes_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("golden");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("told"); // below the written file's outcome
        QTest::newRow("2000, version 034") << 2000 << "small_export.txf"
                                           << "034"
                                           << "";
        QTest::newRow("2005, version 042 by term") << 2005 << "export_2005.txf"
                                                   << "042"
                                                   << "";
        QTest::newRow("2011, version 042 by box") << 2011 << "export_2011.txf"
                                                  << "042"
                                                  << "";
        // Form 8949 instructions (2025): boxes G-L, which no TXF number
        // names; the sales in G, L and H and the coin of unknown term stay
        // out of the file.
        QTest::newRow("2025, digital assets left out")
            << 2025 << "export_2025.txf"
            << "042"
            << "4 digital-asset sales are not in the TXF file: enter them from the report.";
    }
    void writesTheExactBytes() {
        QFETCH(int, year);
        QFETCH(QString, golden);
        QFETCH(QString, version);
        QCOMPARE(txfYearLine(TaxYear{year}),
                 QStringLiteral("Tax year %1: the TXF export writes version %2.")
                     .arg(year)
                     .arg(version));
        QFETCH(QString, told);
        TestDatabase t;
        year == 2000 ? fillSmallExport(t) : fillYearExport(t, year);
        TxfExport txf;
        const Outcome loaded = txf.load(t.connection(), TaxYear{year});
        const QString path = t.folder() + QStringLiteral("/out.txf");
        const Outcome written = txf.writeTo(path, QDate(2012, 2, 14));
        QVERIFY(loaded.done() && written.done());
        QCOMPARE(loaded.message + written.message, QString());
        QCOMPARE(written.details.join(u'\n'), told);
        QCOMPARE(readBytes(path), readBytes(txfData(golden)));
        QVERIFY(readBytes(path).startsWith("V" + version.toLatin1()));
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
        // Each box: held long or short, its number in 2000, 2005 and 2011,
        // and the box read back from 2005 (the term only); "-" for none.
        for (const QString row :
             {"A L 321 321 321 A", "B L 711 321 711 A", "C L 712 321 712 A", "D S 323 323 323 D",
              "E S 713 323 713 D", "F S 714 323 714 D", "- S 673 673 673 -"}) {
            const QStringList f = row.split(u' ').replaceInStrings("-", "");
            for (const int year : {2000, 2005, 2011}) {
                QTest::addRow("%d %s", year, qPrintable(f[0].isEmpty() ? "none" : f[0]))
                    << year << f[0] << QDate(f[1] == u"L" ? year - 2 : year, 3, 1) << "yes"
                    << f[2 + (year - 2000) / 5].toInt() << (year == 2005 ? f[5] : f[0]);
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
        const qint64 id =
            source.addTax("Acme", "IBM", 100, acquired, QDate(year, 6, 1), 1000, 1234.56);
        runQuery(source.connection(), "UPDATE TaxRec SET Box = ? WHERE ID = ?", {box, id});
        setBasisReporting(source.connection(), "Acme", *basisFromWord(basis));
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
        QCOMPARE(back[0].salePrice, Money::fromCents(123456));
    }

    // An option is described as on Form 1099-B, its count in contracts,
    // whichever form its symbol has.
    void descriptionAndAmounts_data() {
        QTest::addColumn<TxfLayout>("layout");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QByteArray>("lines"); // "|" between them
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

    // The export never writes over the records it came from, nor over a
    // node that is not a regular file; it says why and leaves all as it was.
    void refusedTargetKeepsAll_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason"); // empty: any reason the system gives
        for (const QString row :
             {"missing folder=", "folder=it is a folder", "database=it is the open database",
              "hard link=it is the open database", "symbolic link=it is the open database",
              "backup=it is the database's backup", "pipe=it is a pipe or socket, not a file"})
            QTest::newRow(qPrintable(row)) << row.section(u'=', 0, 0) << row.section(u'=', 1);
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
        QVERIFY(written.message.size() > named.size());
        if (!reason.isEmpty())
            QCOMPARE(written.message.mid(named.size()), reason);
        const QFileInfo is(path);
        QCOMPARE(QList<bool>({is.exists(), is.isSymLink(), is.isDir()}),
                 QList<bool>({was.exists(), was.isSymLink(), was.isDir()}));
        QCOMPARE(was.isFile() ? readBytes(path) : QByteArray(), bytes);
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
        const Outcome loaded = TxfExport().load(t.connection());
        QVERIFY(loaded.failed() && loaded.message == outOfRangeExportMessage(1));
    }
};

GAINBOOK_GUILESS_TEST(TestTxfExport)
#include "test_txf_export.moc"
