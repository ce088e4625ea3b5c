#include "capture/capture_run.h"
#include "gains/gains_import.h"
#include "matching/process_session.h"
#include "platform/progress.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "txf/txf_import.h"

#include <QCryptographicHash>
#include <QSqlRecord>
#include <QtTest>

using namespace gainbook;
using gainbook::test::RecordingPrompter;
using gainbook::test::TestDatabase;

namespace {

constexpr int kTrades = 300;
const QString kAccount = QStringLiteral("O'Brien IRA");

// Every row of every table, hashed: any write that survives a cancel
// changes it.
QByteArray storeChecksum(const QSqlDatabase& db) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    QSqlQuery tables = runQuery(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = "
                                                   "'table' ORDER BY name"));
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    for (const QString& name : names) {
        QSqlQuery rows = runQuery(db, QStringLiteral("SELECT * FROM \"%1\"").arg(name));
        hash.addData(name.toUtf8());
        while (rows.next())
            for (int c = 0; c < rows.record().count(); ++c)
                hash.addData(rows.value(c).toString().toUtf8() + '\x1f');
    }
    return hash.result();
}

// Buys and sells of a few symbols over 2024, every sell covered by buys.
void fillTrades(TestDatabase& t) {
    Transaction transaction(t.connection());
    for (int i = 0; i < kTrades; ++i) {
        const QString symbol = QStringLiteral("S%1").arg(i % 7);
        const QDate day = QDate(2024, 1, 2).addDays(i);
        t.addTxn(kAccount, QStringLiteral("All"), symbol, 10, QStringLiteral("Bought"), day,
                 -100.0 - i);
        t.addTxn(kAccount, QStringLiteral("All"), symbol, 5, QStringLiteral("Sold"), day.addDays(3),
                 80.0 + i);
    }
    transaction.commit();
}

QVector<TxnRecord> capturedRows() {
    QVector<TxnRecord> rows;
    for (int i = 0; i < kTrades; ++i)
        rows.append({0,
                     kAccount,
                     "All",
                     QStringLiteral("NEW%1").arg(i % 5),
                     Quantity::whole(3),
                     "Bought",
                     QDate(2024, 3, 1).addDays(i % 200),
                     Money::fromDouble(-30.0 - i),
                     {}});
    return rows;
}

QByteArray txfFile() {
    QByteArray text = "V042\nAOther program\nD01/05/2025\n^\n";
    for (int i = 0; i < kTrades; ++i)
        text += QStringLiteral("TD\nN321\nC1\nL1\nP10 T%1\nD01/03/2024\nD05/07/2024\n$%2\n$%3\n^\n")
                    .arg(i)
                    .arg(100 + i)
                    .arg(150 + i)
                    .toUtf8();
    return text;
}

QString gainsFile(const QString& folder) {
    const QString path = folder + QStringLiteral("/gains.csv");
    QByteArray text = "Symbol,Quantity,Date Acquired,Date Sold,Proceeds,Cost,Term,Box\n";
    for (int i = 0; i < kTrades; ++i)
        text += QStringLiteral("G%1,4,01/05/2024,03/15/2024,%2,%3,Short,A\n")
                    .arg(i)
                    .arg(200 + i)
                    .arg(190 + i)
                    .toUtf8();
    gainbook::test::writeBytes(path, text);
    return path;
}

} // namespace

class TestRunCancel : public QObject {
    Q_OBJECT

private slots:
    void cancelLeavesStoreAsItWas_data() {
        QTest::addColumn<QString>("run");
        QTest::addColumn<double>("stopAt"); // the share done when Cancel is pressed; -1 never
        QTest::addColumn<QString>("message");

        // "run=what was cancelled"
        for (const QString row : {"process=Processing of", "process again=Processing of",
                                  "recalculate=Save/Recalculate of", "capture=Capture of",
                                  "txf=TXF import into", "gains=Import of realized gains into"}) {
            const QString run = row.section(u'=', 0, 0);
            const QString message =
                row.section(u'=', 1) +
                QStringLiteral(" O'Brien IRA was cancelled; nothing was changed.");
            QTest::addRow("%s halfway", qPrintable(run)) << run << 0.5 << message;
            // The last step comes after every write, just before the commit.
            QTest::addRow("%s at end", qPrintable(run)) << run << 1.0 << message;
            QTest::addRow("%s not cancelled", qPrintable(run)) << run << -1.0 << QString();
        }
    }

    void cancelLeavesStoreAsItWas() {
        QFETCH(QString, run);
        QFETCH(double, stopAt);
        QFETCH(QString, message);

        TestDatabase t;
        fillTrades(t);
        RecordingPrompter prompter;
        ProcessSession session(t.connection(), prompter);
        session.setAccount(kAccount);
        if (run == QLatin1String("process again") || run == QLatin1String("recalculate"))
            QVERIFY(session.Process(unwatchedProgress(), Rerun::Refuse).done());
        // A hand-made change since the run, which a recalculation undoes.
        runQuery(t.connection(), QStringLiteral("UPDATE TaxRec SET Memo = 'edited'"));
        const QByteArray before = storeChecksum(t.connection());

        bool sawEnd = false;
        Progress progress([&](qint64 done, qint64 total) {
            sawEnd = sawEnd || done == total;
            return stopAt < 0 || double(done) < stopAt * double(total);
        });
        Outcome outcome;
        if (run == QLatin1String("process")) {
            outcome = session.Process(progress, Rerun::Refuse);
        } else if (run == QLatin1String("process again")) {
            outcome = session.Process(progress, Rerun::Replace);
        } else if (run == QLatin1String("recalculate")) {
            outcome = session.SaveRecalculate(progress);
        } else if (run == QLatin1String("capture")) {
            outcome = writeCapturedRows(t.connection(), capturedRows(), progress);
        } else if (run == QLatin1String("txf")) {
            TxfImport txf;
            QVERIFY(txf.read(txfFile()).done());
            outcome = txf.addTo(t.connection(), kAccount, prompter, progress);
        } else {
            outcome = importRealizedGains(gainsFile(t.folder()), kAccount, t.connection(), prompter,
                                          QDate(2025, 1, 5), progress);
        }

        QVERIFY(sawEnd || stopAt >= 0);
        if (stopAt < 0) {
            // The checksum does see what the run writes.
            QVERIFY2(outcome.done(), qPrintable(outcome.message));
            QVERIFY(storeChecksum(t.connection()) != before);
            return;
        }
        QVERIFY(outcome.stopped());
        QCOMPARE(outcome.message, message);
        QCOMPARE(outcome.count, 0);
        QCOMPARE(storeChecksum(t.connection()), before);
        // The store is free for the next command: nothing is left open.
        QVERIFY(t.connection().transaction());
        QVERIFY(t.connection().rollback());
    }
};

GAINBOOK_GUILESS_TEST(TestRunCancel)
#include "test_run_cancel.moc"
