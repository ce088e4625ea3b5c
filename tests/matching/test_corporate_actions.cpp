#include "capture/captured_actions.h"
#include "matching/corp_action_checks.h"
#include "matching/corp_action_editing.h"
#include "matching/corporate_actions.h"
#include "matching/process_session.h"
#include "matching_fixture.h"
#include "store/corp_action_table.h"
#include "support/recording_prompter.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

const QString kAccount = QStringLiteral("Joint");

// "split XYZ 2024-06-10 10:1" or "change OLD NEW 2024-06-10".
CorpActionRecord actionFrom(const QString& text) {
    const QStringList f = text.split(u' ');
    CorpActionRecord a;
    a.symbol = f.value(1);
    if (f.value(0) == QLatin1String("split")) {
        a.effective = QDate::fromString(f.value(2), Qt::ISODate);
        const auto ratio = ratioFromText(f.value(3));
        a.ratioNew = ratio ? ratio->first : 0;
        a.ratioOld = ratio ? ratio->second : 0;
    } else {
        a.kind = ActionKind::SymbolChange;
        a.newSymbol = f.value(2);
        a.effective = QDate::fromString(f.value(3), Qt::ISODate);
    }
    return a;
}

// "Stock Split|XYZ|2024-06-10|90": words, symbol, date, shares added, as
// a capture reads them off a broker's row.
ActionRow capturedRow(const QString& text) {
    const QStringList f = text.split(u'|');
    return {f.value(0),
            kAccount,
            f.value(1),
            QDate::fromString(f.value(2), Qt::ISODate),
            f.value(3).toDouble(),
            0,
            QString()};
}

} // namespace

class TestCorporateActions : public QObject {
    Q_OBJECT

private slots:
    // Worked by hand: each row's links, open quantities and tax records.
    void matching_data() {
        addTableRows(R"(
        10:1 split between buy and sell ; split XYZ 2024-06-10 10:1 ; B|XYZ|10|2024-01-03|-1000, S|XYZ|100|2024-07-01|1500 ; 1>0 100 1000 ; 0,  ; XYZ|100|2024-01-03|2024-07-01|1000|1500|  ;
        1:4 reverse split ; split XYZ 2024-03-01 1:4 ; B|XYZ|100|2024-01-03|-1000, S|XYZ|20|2024-04-01|2000 ; 1>0 20 800 ; 20,  ; XYZ|20|2024-01-03|2024-04-01|800|2000|  ;
        two splits in a row, sells between and after ; split XYZ 2024-02-01 2:1, split XYZ 2024-03-01 3:1 ; B|XYZ|10|2024-01-03|-1000, S|XYZ|10|2024-02-15|300, S|XYZ|30|2024-04-01|900 ; 1>0 10 500, 2>0 30 500 ; 0, ,  ; XYZ|10|2024-01-03|2024-02-15|500|300| , XYZ|30|2024-01-03|2024-04-01|500|900|  ;
        split between two buys, sell after both takes the older first ; split XYZ 2024-06-10 10:1 ; B|XYZ|10|2024-01-03|-1000, B|XYZ|50|2024-07-01|-600, S|XYZ|120|2024-08-01|2400 ; 2>0 100 1000, 2>1 20 240 ; 0, 30,  ; XYZ|120|2024-01-03|2024-08-01|1240|2400|  ;
        partial sells before and after a split ; split XYZ 2024-03-01 2:1 ; B|XYZ|100|2024-01-03|-1000, S|XYZ|40|2024-02-01|600, S|XYZ|100|2024-04-01|800 ; 1>0 40 400, 2>0 100 500 ; 10, ,  ; XYZ|40|2024-01-03|2024-02-01|400|600| , XYZ|100|2024-01-03|2024-04-01|500|800|  ;
        symbol change, sold under the new name; the old name finds nothing ; change OLD NEW 2024-05-01 ; B|OLD|110|2024-01-03|-1100, S|NEW|100|2024-06-01|1500, S|OLD|10|2024-06-02|50 ; 1>0 100 1000, 2>- 0 0 ; 10, ,  ; NEW|100|2024-01-03|2024-06-01|1000|1500| , OLD|10||2024-06-02|0|50|All Buy Rec Not Found
        change of a name cut at 12 carries the long name it stands for ; change ABCDEFGHIJKL NEWSYMBOL123 2024-05-01 ; B|ABCDEFGHIJKLMN|100|2024-01-03|-1000, S|NEWSYMBOL123BB|100|2024-06-01|1500 ; 1>0 100 1000 ; 0,  ; NEWSYMBOL123BB|100|2024-01-03|2024-06-01|1000|1500|  ;
        split proposed from a captured Stock Split row ;  ; B|XYZ|10|2024-01-03|-1000, S|XYZ|100|2024-07-01|1500 ; 1>0 100 1000 ; 0,  ; XYZ|100|2024-01-03|2024-07-01|1000|1500|  ; Stock Split|XYZ|2024-06-10|90 ; Record a 10:1 split of XYZ on 06/10/2024?
        reverse split row showing the shares taken as positive ;  ; B|XYZ|100|2024-01-03|-1000, S|XYZ|25|2024-04-01|2000 ; 1>0 25 1000 ; 0,  ; XYZ|25|2024-01-03|2024-04-01|1000|2000|  ; Reverse Split|XYZ|2024-03-01|75 ; Record a 1:4 split of XYZ on 03/01/2024?
        )");
    }

    void matching() {
        QFETCH(TableRow, row);
        const QStringList actions = row.list(0);
        const QString captured = row.text(5); // a broker row whose action is proposed
        const QString question = row.text(6); // what the user is asked about it
        const QStringList rows = row.list(1);
        const QStringList links = row.list(2);
        const QStringList memos = row.list(3);
        QStringList tax = row.list(4);

        TestDatabase db;
        for (const QString& text : actions)
            QVERIFY(addCorpAction(db.connection(), actionFrom(text)).done());
        const QVector<qint64> ids = addRows(db, kAccount, rows);
        RecordingPrompter prompter;
        if (!captured.isEmpty()) {
            // The ratio comes from the shares held before the row's day.
            prompter.answers.enqueue(true);
            proposeCapturedActions(db.connection(), {capturedRow(captured)}, prompter);
            QCOMPARE(prompter.questions, QStringList{question});
        }
        ProcessSession session(db.connection(), prompter);
        session.setAccount(kAccount);
        session.setTaxYear(TaxYear{2024});
        QVERIFY(session.Process().done());
        QCOMPARE(describeLinks(db, kAccount, ids), links);
        QCOMPARE(gainbook::test::memos(db, ids), memos);
        QCOMPARE(describeTaxRecs(db, kAccount), tax);

        // Rebuilt from the links, the records come out the same (a sell
        // without a buy gets the blank memo a rebuild gives).
        QVERIFY(session.SaveRecalculate().done());
        QCOMPARE(
            describeTaxRecs(db, kAccount),
            tax.replaceInStrings(QStringLiteral("All Buy Rec Not Found"), QStringLiteral(" ")));

        // Detaching every lot gives each buy back the shares it bought.
        QVector<LotKey> lots;
        for (const MatchRow& row : session.matchRows())
            if (row.hasLot())
                lots.append(row.lot());
        QVERIFY(session.Update(lots).done());
        const QStringList after = gainbook::test::memos(db, ids);
        for (qsizetype i = 0; i < rows.size(); ++i)
            if (rows[i].startsWith(u'B'))
                QCOMPARE(after[i], rows[i].split(u'|')[2]);
    }

    void refused_data() {
        // "name ; actions kept ; action ; message", no message when taken.
        addTableRows(R"(
        ratio 0 ;  ; split XYZ 2024-06-10 0:1 ; The ratio 0:1 of a split must be two numbers above 0.
        negative ratio ;  ; split XYZ 2024-06-10 10:-1 ; The ratio 10:-1 of a split must be two numbers above 0.
        1:1 ;  ; split XYZ 2024-06-10 2:2 ; A split of 2:2 changes no share count.
        not a date ;  ; split XYZ 2024-13-45 10:1 ; The action of XYZ needs the date it takes effect.
        no symbol ;  ; split  2024-06-10 10:1 ; An action needs the symbol it happens to.
        change to the same symbol ;  ; change XYZ XYZ 2024-06-10 ; A symbol change from XYZ to XYZ keeps the same symbol.
        change to the name cut at 12 ;  ; change ABCDEFGHIJKLYY ABCDEFGHIJKL 2024-06-10 ; A symbol change from ABCDEFGHIJKLYY to ABCDEFGHIJKL keeps the same symbol.
        loop A -> B -> A on one day ; change A B 2024-06-10 ; change B A 2024-06-10 ; The symbol changes B -> A -> B on 06/10/2024 loop back.
        loop through three symbols ; change A B 2024-06-10, change B C 2024-06-10 ; change C A 2024-06-10 ; The symbol changes C -> A -> B -> C on 06/10/2024 loop back.
        two changes of one symbol on one day ; change A B 2024-06-10 ; change A C 2024-06-10 ; A already changes to B on 06/10/2024 (action 1).
        two splits of one symbol on one day ; split XYZ 2024-06-10 2:1 ; split XYZ 2024-06-10 3:1 ; XYZ already has a split on 06/10/2024 (action 1).
        change back on a later day is fine ; change A B 2024-06-10 ; change B A 2024-07-10
        splits of one symbol on two days are fine ; split XYZ 2024-06-10 2:1 ; split XYZ 2024-06-11 3:1
        )");
    }

    void refused() {
        QFETCH(TableRow, row);
        const QStringList kept = row.list(0);
        const QString action = row.text(1);
        const QString message = row.text(2);

        TestDatabase db;
        for (const QString& text : kept)
            QVERIFY(addCorpAction(db.connection(), actionFrom(text)).done());
        const Outcome outcome = addCorpAction(db.connection(), actionFrom(action));
        QCOMPARE(outcome.message, message);
        QCOMPARE(outcome.done(), message.isEmpty());
        QCOMPARE(selectCorpActions(db.connection()).size(), kept.size() + (outcome.done() ? 1 : 0));
    }

    // An action marks the processed accounts that trade a symbol it
    // reaches; a run clears the mark.
    void rematch() {
        TestDatabase db;
        addRows(db, kAccount, {"B|OLD|10|2024-01-03|-100", "S|NEW|10|2024-07-01|150"});
        addRows(db, QStringLiteral("Other"), {"B|IBM|10|2024-01-03|-100"});
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        session.setAccount(kAccount);
        QVERIFY(session.Process().done());
        QVERIFY(!session.needsRematch());

        QVERIFY(addCorpAction(db.connection(), actionFrom("change OLD NEW 2024-05-01")).done());
        QCOMPARE(selectRematchAccounts(db.connection()), QStringList{kAccount});
        prompter.answers.enqueue(true);
        QVERIFY(session.Process().done());
        QVERIFY(!session.needsRematch());
        QCOMPARE(describeTaxRecs(db, kAccount),
                 QStringList{"NEW|10|2024-01-03|2024-07-01|100|150| "});

        QVERIFY(removeCorpAction(db.connection(), 1).done());
        QVERIFY(session.needsRematch());
        QCOMPARE(removeCorpAction(db.connection(), 1).message,
                 QStringLiteral("No corporate action 1"));
    }
};

GAINBOOK_GUILESS_TEST(TestCorporateActions)
#include "test_corporate_actions.moc"
