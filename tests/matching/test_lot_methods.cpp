#include "matching/lot_methods.h"
#include "matching/process_session.h"
#include "matching_fixture.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "store/corp_action_table.h"
#include "store/lot_method_table.h"
#include "store/sql.h"
#include "support/recording_prompter.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

const QString kAccount = QStringLiteral("O'Brien IRA");

// "XYZ 2000-03-01 2:1": a split of that many new shares for old ones.
void addSplit(TestDatabase& db, const QString& text) {
    const QStringList f = text.split(u' ');
    const QStringList ratio = f.value(2).split(u':');
    CorpActionRecord action;
    action.symbol = f.value(0);
    action.effective = QDate::fromString(f.value(1), Qt::ISODate);
    action.ratioNew = ratio.value(0).toDouble();
    action.ratioOld = ratio.value(1).toDouble();
    insertCorpAction(db.connection(), action);
}

// "fifo" for the account, "MSFT=highest" for one instrument.
void setMethods(TestDatabase& db, const QStringList& methods) {
    for (const QString& method : methods) {
        const QStringList parts = method.split(u'=');
        const QString symbol = parts.size() == 2 ? parts[0] : QString();
        setLotMethod(db.connection(), kAccount, symbol, *lotMethodFromWord(parts.back()));
    }
}

Money washOf(TestDatabase& db) {
    Money sum;
    for (const TaxRecord& record : taxRecsOf(db, kAccount))
        sum += record.washAdjustment;
    return sum;
}

// Three buys at 10, 30 and 20 a share and a sell of 150 at 25.
const QString kThreeBuys = "B|IBM|100|2000-01-03|-1000, B|IBM|100|2000-02-01|-3000, "
                           "B|IBM|100|2000-03-01|-2000, S|IBM|150|2000-06-01|3750";

} // namespace

class TestLotMethods : public QObject {
    Q_OBJECT

private slots:
    // Which lots a sell takes and what they cost under each method.
    void methods_data() {
        addTableRows(R"(
        Pub 550 first-in first-out: 100 at 10, 50 at 30 ; fifo ; B|IBM|100|2000-01-03|-1000, B|IBM|100|2000-02-01|-3000, B|IBM|100|2000-03-01|-2000, S|IBM|150|2000-06-01|3750 ; 3>0 100 1000, 3>1 50 1500 ; IBM|150|2000-01-03|2000-06-01|2500|3750|  ;
        last in first out: 100 at 20, 50 at 30 ; lifo ; B|IBM|100|2000-01-03|-1000, B|IBM|100|2000-02-01|-3000, B|IBM|100|2000-03-01|-2000, S|IBM|150|2000-06-01|3750 ; 3>2 100 2000, 3>1 50 1500 ; IBM|150|2000-02-01|2000-06-01|3500|3750|  ;
        highest cost first: 100 at 30, 50 at 20 ; highest ; B|IBM|100|2000-01-03|-1000, B|IBM|100|2000-02-01|-3000, B|IBM|100|2000-03-01|-2000, S|IBM|150|2000-06-01|3750 ; 3>1 100 3000, 3>2 50 1000 ; IBM|150|2000-02-01|2000-06-01|4000|3750|  ;
        lowest cost first: 100 at 10, 50 at 20 ; lowest ; B|IBM|100|2000-01-03|-1000, B|IBM|100|2000-02-01|-3000, B|IBM|100|2000-03-01|-2000, S|IBM|150|2000-06-01|3750 ; 3>0 100 1000, 3>2 50 1000 ; IBM|150|2000-01-03|2000-06-01|2000|3750|  ;
        Pub 550 average basis: 6000 / 300 = 20 a share, oldest lots ; average ; B|IBM|100|2000-01-03|-1000, B|IBM|100|2000-02-01|-3000, B|IBM|100|2000-03-01|-2000, S|IBM|150|2000-06-01|3750 ; 3>0 100 2000, 3>1 50 1000 ; IBM|150|2000-01-03|2000-06-01|3000|3750|  ;
        // The 150 shares left keep 20 a share (3000); 50 more at 40 make
        // 5000 / 200 = 25 a share, not the 27.50 of their first costs.
        Pub 550 average basis: the average carries to the next sale ; average ; B|IBM|100|2000-01-03|-1000, B|IBM|100|2000-02-01|-3000, B|IBM|100|2000-03-01|-2000, S|IBM|150|2000-06-01|3750, B|IBM|50|2000-07-03|-2000, S|IBM|100|2000-08-01|3000 ; 3>0 100 2000, 3>1 50 1000, 5>1 50 1250, 5>2 50 1250 ; IBM|150|2000-01-03|2000-06-01|3000|3750| , IBM|100|2000-02-01|2000-08-01|2500|3000|  ;
        // 100 shares at 10 become 200 at 5 (Pub 550 stock splits); with 100
        // at 8 after it the average is 1800 / 300 = 6 a share, for both sales.
        Pub 550 average basis across a 2:1 split ; average ; B|XYZ|100|2000-01-03|-1000, B|XYZ|100|2000-04-03|-800, S|XYZ|100|2000-06-01|900, S|XYZ|200|2000-07-03|1400 ; 2>0 100 600, 3>0 100 600, 3>1 100 600 ; XYZ|100|2000-01-03|2000-06-01|600|900| , XYZ|200|2000-01-03|2000-07-03|1200|1400|  ; 0.00 ; XYZ 2000-03-01 2:1
        highest cost a share as split: 8 after beats 10 / 2 ; highest ; B|XYZ|100|2000-01-03|-1000, B|XYZ|100|2000-04-03|-800, S|XYZ|100|2000-06-01|900 ; 2>1 100 800 ; XYZ|100|2000-04-03|2000-06-01|800|900|  ; 0.00 ; XYZ 2000-03-01 2:1
        // Average basis: the shares sold are those bought first, so 100 are
        // long term (held over a year) and 50 short, each at 20 a share.
        Pub 550 average basis: holding period first-in first-out ; average ; B|IBM|100|1999-01-04|-1000, B|IBM|100|2000-01-03|-3000, S|IBM|150|2000-03-01|3000 ; 2>0 100 2000, 2>1 50 1000 ; IBM|100|1999-01-04|2000-03-01|2000|2000| , IBM|50|2000-01-03|2000-03-01|1000|1000|  ;
        last in first out: the newest lot short, the rest long ; lifo ; B|IBM|100|1999-01-04|-1000, B|IBM|100|2000-01-03|-3000, S|IBM|150|2000-03-01|3000 ; 2>1 100 3000, 2>0 50 500 ; IBM|50|1999-01-04|2000-03-01|500|1000| , IBM|100|2000-01-03|2000-03-01|3000|2000|  ;
        last in first out takes no buy made after the sale ; lifo ; B|IBM|10|2000-01-03|-100, S|IBM|10|2000-02-01|200, B|IBM|10|2000-03-01|-300 ; 1>0 10 100 ; IBM|10|2000-01-03|2000-02-01|100|200|  ;
        one instrument highest, the account oldest first ; fifo, MSFT=highest ; B|IBM|10|2000-01-03|-50, B|IBM|10|2000-01-04|-70, B|MSFT|10|2000-01-03|-50, B|MSFT|10|2000-01-04|-70, S|IBM|10|2000-02-01|100, S|MSFT|10|2000-02-01|100 ; 4>0 10 50, 5>3 10 70 ; IBM|10|2000-01-03|2000-02-01|50|100| , MSFT|10|2000-01-04|2000-02-01|70|100|  ;
        // Highest cost sells the lot at 30 for 20: a loss of 1000 that the
        // buy 14 days later replaces, so all of it is disallowed (26 CFR
        // 1.1091-1(a)); oldest first would sell the lot at 10 at a gain.
        26 CFR 1.1091-1 wash sale of the highest-cost lot ; highest ; B|IBM|100|1999-06-01|-1000, B|IBM|100|2000-01-03|-3000, S|IBM|100|2000-03-01|2000, B|IBM|100|2000-03-15|-2500 ; 2>1 100 3000 ; IBM|100|2000-01-03|2000-03-01|3000|2000|  ; 1000.00
        26 CFR 1.1091-1 no wash sale oldest first: a gain ; fifo ; B|IBM|100|1999-06-01|-1000, B|IBM|100|2000-01-03|-3000, S|IBM|100|2000-03-01|2000, B|IBM|100|2000-03-15|-2500 ; 2>0 100 1000 ; IBM|100|1999-06-01|2000-03-01|1000|2000|  ;
        )");
    }
    void methods() {
        QFETCH(TableRow, row);
        const QStringList methods = row.list(0);
        const QStringList splits = row.list(5);
        const QStringList rows = row.list(1);
        const QStringList links = row.list(2);
        const QStringList tax = row.list(3);
        const QString wash = (row.text(4).isEmpty() ? QStringLiteral("0.00") : row.text(4));
        TestDatabase db;
        for (const QString& split : splits)
            addSplit(db, split);
        const QVector<qint64> ids = addRows(db, kAccount, rows);
        setMethods(db, methods);
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        session.setAccount(kAccount);
        QVERIFY(session.Process().done());
        QCOMPARE(describeLinks(db, kAccount, ids), links);
        QCOMPARE(describeTaxRecs(db, kAccount), tax);
        QCOMPARE(formatPlain(washOf(db)), wash);
        // The invariants count links in shares as bought, which a split
        // multiplies.
        if (splits.isEmpty())
            QCOMPARE(checkInvariants(db, kAccount, true), QString());
        // Save/Recalculate rebuilds the same records from the links.
        QVERIFY(session.SaveRecalculate().done());
        QCOMPARE(describeTaxRecs(db, kAccount).join(u'\n'), tax.join(u'\n'));
    }

    // The what-if gives what processing under each method writes, and
    // leaves the store as it was.
    void whatIfEqualsProcessing_data() {
        // Proceeds 3750 less 2500, 3500, 4000, 2000 and 3000 (the rows above).
        addTableRows(R"(
        three buys at 10, 30 and 20, one sell of 150 at 25 ; B|IBM|100|2000-01-03|-1000, B|IBM|100|2000-02-01|-3000, B|IBM|100|2000-03-01|-2000, S|IBM|150|2000-06-01|3750 ; 1250.00, 250.00, -250.00, 1750.00, 750.00
        // Newest and highest cost sell at a loss of 1000 that is disallowed,
        // a total of 0; the average of 20 a share sells at no gain.
        26 CFR 1.1091-1 a wash sale under one method only ; B|IBM|100|1999-06-01|-1000, B|IBM|100|2000-01-03|-3000, S|IBM|100|2000-03-01|2000, B|IBM|100|2000-03-15|-2500 ; 1000.00, 0.00, 0.00, 1000.00, 0.00
        // 100 sold for 1500 from 50 at 10 and 80 at 20 (Pub 550 cost basis by
        // lot).
        // The 30 shares still held, bought within 30 days, replace 30 shares
        // sold at a loss (26 CFR 1.1091-1, lot by lot): oldest first, the 50
        // at 20 lose 250, 150 of it disallowed: 0 + 150 = 150; newest first,
        // the 80 at 20 lose 400 and the 20 at 10 gain 100, 150 disallowed:
        // -150; the average 2100 / 130 a share costs 1615.3846, each lot of
        // 50 losing 57.6923, 30 shares of the first disallowed (34.6154).
        26 CFR 1.1091-1 a part of the lots sold at a loss replaced ; B|IBM|50|2000-01-03|-500, B|IBM|80|2000-01-04|-1600, S|IBM|100|2000-02-01|1500 ; 150.00, -150.00, -150.00, 150.00, -80.77
        // 150 sold at 20 with 100 held at 10: the 50 short are covered by
        // the buy after the sale at 30, under every method (3000 - 1000 -
        // 1500); the sell closed both buys, so neither replaces the lot's
        // loss of 500 (26 CFR 1.1091-1(a), shares of the sale itself).
        Pub 550 a sell larger than the shares held takes the later buy ; B|IBM|100|2000-01-03|-1000, S|IBM|150|2000-02-01|3000, B|IBM|50|2000-03-01|-1500 ; 500.00, 500.00, 500.00, 500.00, 500.00
        // A put written for 300 and assigned 03/17: the 100 shares bought
        // at 40 cost 4000 - 300 and sell for 4500, a gain of 800; a call
        // bought for 500 lapses 04/21 (posted 04/25), a loss of 500 that
        // day; 300 under every method.
        Pub 550 Options: a written put assigned and a bought call expired ; SO|XYZ  000317P00040000|1|2000-01-03|300, BO|XYZ  000421C00050000|2|2000-02-01|-500, A|XYZ  000317P00040000|1|2000-03-17|0, B|XYZ|100|2000-03-17|-4000, E|XYZ  000421C00050000|2|2000-04-25|0, S|XYZ|100|2000-06-01|4500 ; 300.00, 300.00, 300.00, 300.00, 300.00
        )");
    }
    void whatIfEqualsProcessing() {
        QFETCH(TableRow, row);
        const QStringList rows = row.list(0);
        const QStringList totals = row.list(1); // fifo, lifo, highest, lowest, average
        TestDatabase db;
        const QVector<qint64> ids = addRows(db, kAccount, rows);
        // Never processed, the account's option events are settled in
        // memory only: the figures are those of processing all the same.
        const auto trades = [&] {
            QSqlQuery q = runQuery(db.connection(), "SELECT Type, TxnDate, Amount, OpenClose "
                                                    "FROM Txn ORDER BY ID");
            QStringList out;
            while (q.next())
                out << q.value(0).toString() + q.value(1).toString() + q.value(2).toString() +
                           q.value(3).toString();
            return out;
        };
        const QStringList captured = trades();
        const QVector<MethodFigures> unprocessed =
            compareLotMethods(db.connection(), kAccount, TaxYear{2000});
        QCOMPARE(trades(), captured);
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        session.setAccount(kAccount);
        QVERIFY(session.Process().done());
        const QStringList linksBefore = describeLinks(db, kAccount, ids);
        const QStringList taxBefore = describeTaxRecs(db, kAccount);

        const QVector<MethodFigures> table =
            compareLotMethods(db.connection(), kAccount, TaxYear{2000});
        QCOMPARE(table.size(), allLotMethods().size());
        QCOMPARE(describeLinks(db, kAccount, ids), linksBefore);
        QCOMPARE(describeTaxRecs(db, kAccount), taxBefore);
        QCOMPARE(gainbook::test::memos(db, ids).size(), ids.size());

        for (qsizetype m = 0; m < table.size(); ++m) {
            QCOMPARE(formatPlain(table[m].total()), totals[m]);
            setLotMethod(db.connection(), kAccount, {}, table[m].method);
            QVERIFY(session.Process(unwatchedProgress(), Rerun::Replace).done());
            Money shortTerm, longTerm, wash;
            for (const TaxRecord& record : taxRecsOf(db, kAccount)) {
                const Money gain = record.salePrice - record.cost + record.washAdjustment;
                (boxTerm(record.box) == HoldingTerm::Long ? longTerm : shortTerm) += gain;
                wash += record.washAdjustment;
            }
            QCOMPARE(table[m].shortTerm, shortTerm);
            QCOMPARE(table[m].longTerm, longTerm);
            QCOMPARE(table[m].washAdjustment, wash);
            QCOMPARE(unprocessed[m].shortTerm, shortTerm);
            QCOMPARE(unprocessed[m].longTerm, longTerm);
        }
    }

    // A change of method leaves a processed account to process again; no
    // change, or an account never processed, marks nothing.
    void changeMarksProcessedAccount_data() {
        // "name ; processed ; instrument ; method (empty: the account's) ; changed ; rematch"
        addTableRows(R"(
        processed, to lifo ; yes ;  ; lifo ; 1 ; yes
        processed, fifo again ; yes ;  ; fifo ; 0 ; no
        processed, one instrument ; yes ; IBM ; average ; 1 ; yes
        processed, instrument back to the account's ; yes ; IBM ;  ; 0 ; no
        never processed ; no ;  ; highest ; 1 ; no
        )");
    }
    void changeMarksProcessedAccount() {
        QFETCH(TableRow, row);
        const QString method = row.text(2);
        TestDatabase db;
        addRows(db, kAccount, listOf(kThreeBuys));
        if (row.yes(0)) {
            RecordingPrompter prompter;
            ProcessSession session(db.connection(), prompter);
            session.setAccount(kAccount);
            QVERIFY(session.Process().done());
        }
        const Outcome outcome =
            changeLotMethod(db.connection(), kAccount, row.text(1),
                            method.isEmpty() ? std::nullopt : lotMethodFromWord(method));
        QVERIFY(outcome.done());
        QCOMPARE(outcome.count, row.text(3).toLongLong());
        QCOMPARE(needsRematch(db.connection(), kAccount), row.yes(4));
    }
};

GAINBOOK_GUILESS_TEST(TestLotMethods)
#include "test_lot_methods.moc"
