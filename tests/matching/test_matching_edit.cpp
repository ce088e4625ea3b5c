#include "buy_selection/buy_selection.h"
#include "matching/process_session.h"
#include "matching_fixture.h"
#include "store/sql.h"
#include "store/txn_table.h"
#include "support/recording_prompter.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

const QString kAccount = QStringLiteral("Main");

// The grid's rows as comma-joined texts, the hidden IDs as "#n" for row n
// of the fixture.
QStringList gridRows(const QVector<MatchRow>& rows, const QVector<qint64>& ids) {
    QStringList out;
    for (const MatchRow& row : rows) {
        QStringList texts = matchRowTexts(row);
        for (int col = MatchGridCol::BuyId; col <= MatchGridCol::SellID; ++col) {
            if (!texts[col - 1].isEmpty())
                texts[col - 1] = u'#' + QString::number(ids.indexOf(texts[col - 1].toLongLong()));
        }
        out << texts.join(u',');
    }
    return out;
}

struct Fixture {
    TestDatabase db;
    RecordingPrompter prompter;
    ProcessSession session{db.connection(), prompter};
    QVector<qint64> ids;

    explicit Fixture(const QStringList& rows) {
        ids = addRows(db, kAccount, rows);
        session.setAccount(kAccount);
        session.setTaxYear(TaxYear{2000});
        if (!session.Process().done())
            qFatal("processing failed");
    }

    QStringList grid() { return gridRows(session.matchRows(), ids); }

    // Lots named by the fixture's rows, as "sell>buy".
    QVector<LotKey> lots(const QStringList& pairs) {
        QVector<LotKey> keys;
        for (const QString& pair : pairs) {
            const QStringList p = pair.split(u'>');
            keys.append({ids[p[0].toInt()], ids[p[1].toInt()]});
        }
        return keys;
    }
};

const QStringList kThreeLots{
    "B|IBM|50|2000-01-03|-500",    "B|IBM|30|2000-01-04|-600", "B|IBM|40|2000-01-05|-1200",
    "S|IBM|100|2000-02-01|1500.5", "S|MSFT|10|2000-02-02|300", "S|T|10|1999-12-31|100",
    "S|AAPL|5|2001-01-01|50",
};

} // namespace

class TestMatchingEdit : public QObject {
    Q_OBJECT

private slots:
    void gridShowsSellsOfTheYearWithTheirLots() {
        Fixture f(kThreeLots);
        // The sells of 1999 and 2001 are left out, and the last leaves no
        // empty row behind.
        const QStringList expected{
            "02/01/2000,100,IBM,1500.50,1,01/03/2000,IBM,50,500.00,50,-500.00,#0,#3",
            ",,,,1,01/04/2000,IBM,30,600.00,30,-600.00,#1,#3",
            ",,,,1,01/05/2000,IBM,20,600.00,40,-1200.00,#2,#3",
            "02/02/2000,10,MSFT,300.00,Add,,,,,,,,#4",
        };
        QCOMPARE(f.grid(), expected);

        // A sell whose buys are gone gets the button.
        for (int buy = 0; buy < 3; ++buy)
            deleteTxn(f.db.connection(), f.ids[buy]);
        QCOMPARE(f.grid(), (QStringList{"02/01/2000,100,IBM,1500.50,Add,,,,,,,,#3", expected[3]}));
    }

    void update_data() {
        addTableRows(R"(
        the only lot ; B|IBM|100|2000-01-03|-1000, S|IBM|100|2000-02-01|1500 ; 1>0 ; 1>- 0 0 ; 100,  ; 02/01/2000,100,IBM,1500.00,Add,,,,,,,,#1
        both lots of a sell ; B|IBM|60|2000-01-03|-600, B|IBM|70|2000-01-04|-1400, S|IBM|100|2000-02-01|1500 ; 2>0, 2>1 ; 2>- 0 0 ; 60, 70,  ; 02/01/2000,100,IBM,1500.00,Add,,,,,,,,#2
        )");
    }
    void update() {
        QFETCH(TableRow, row);
        const QStringList rows = row.list(0);
        const QStringList detached = row.list(1); // "sell>buy" by fixture row
        const QStringList links = row.list(2);
        const QStringList memos = row.list(3);
        const QStringList grid = row.list(4);
        Fixture f(rows);
        const Outcome outcome = f.session.Update(f.lots(detached));
        QVERIFY(outcome.done());
        QCOMPARE(outcome.count, detached.size());
        QCOMPARE(describeLinks(f.db, kAccount, f.ids), links);
        QCOMPARE(gainbook::test::memos(f.db, f.ids), memos);
        QCOMPARE(f.grid(), grid);
        QCOMPARE(f.prompter.messages, QStringList());
    }

    void recalculate_data() {
        addTableRows(R"(
        three sells ; -1 ; IBM|120|2000-01-03|2000-02-01|1300|2000| , MSFT|10||2000-02-02|0|300| , IBM|20|2000-01-10|2000-03-01|300|500|  ;
        a buy no longer exists ; 1 ; IBM|120|2000-01-03|2000-02-01|1300|2000|Buy record not found, MSFT|10||2000-02-02|0|300| , IBM|20||2000-03-01|300|500|Buy record not found
        )");
    }
    void recalculate() {
        QFETCH(TableRow, row);
        const int deletedBuy = row.text(0).toInt(); // fixture row, -1 for none
        const QStringList tax = row.list(1);
        Fixture f({"B|IBM|100|2000-01-03|-1000", "B|IBM|50|2000-01-10|-750",
                   "S|IBM|120|2000-02-01|2000", "S|MSFT|10|2000-02-02|300",
                   "S|IBM|20|2000-03-01|500"});
        f.db.addTax(kAccount, "HAND", 1, QDate(2000, 1, 1), QDate(2000, 5, 1), 1, 2);
        f.db.addTax("Other", "HAND", 1, QDate(2000, 1, 1), QDate(2000, 5, 1), 1, 2);
        if (deletedBuy >= 0)
            deleteTxn(f.db.connection(), f.ids[deletedBuy]);
        QVERIFY(f.session.SaveRecalculate().done());
        QCOMPARE(describeTaxRecs(f.db, kAccount), tax);
        QCOMPARE(describeTaxRecs(f.db, "Other").size(), 1);
        QCOMPARE(f.prompter.messages, QStringList());
    }

    // A sell that is gone stops the command with every tax record left,
    // hand-entered ones included, and the message names the sell as its link
    // kept it; a link written before links kept it names the sell's ID.
    void recalculateStopsWhenASellIsGone_data() {
        QTest::addColumn<bool>("linkKeptTheSell");
        QTest::addColumn<QString>("message");
        QTest::newRow("named by the link") << true << "Sell record not found 03/01/2000 IBM";
        QTest::newRow("older link") << false << "Sell record not found (sell ID 3)";
    }
    void recalculateStopsWhenASellIsGone() {
        QFETCH(bool, linkKeptTheSell);
        QFETCH(QString, message);
        Fixture f(
            {"B|IBM|100|2000-01-03|-1000", "S|IBM|50|2000-02-01|900", "S|IBM|20|2000-03-01|500"});
        f.db.addTax(kAccount, "HAND", 1, QDate(2000, 1, 1), QDate(2000, 5, 1), 1, 2);
        if (!linkKeptTheSell)
            runQuery(f.db.connection(), "UPDATE SellLinks SET SellDate = NULL, SellSymbol = ''");
        const QStringList before = describeTaxRecs(f.db, kAccount);
        QCOMPARE(before.size(), 3);
        QCOMPARE(f.ids[2], 3);
        deleteTxn(f.db.connection(), f.ids[2]);
        QCOMPARE(f.session.SaveRecalculate().status, Outcome::Status::Stopped);
        QCOMPARE(f.prompter.messages, QStringList{message});
        QCOMPARE(describeTaxRecs(f.db, kAccount), before);
    }
};

GAINBOOK_GUILESS_TEST(TestMatchingEdit)
#include "test_matching_edit.moc"
