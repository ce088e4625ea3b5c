#include "buy_selection/buy_selection.h"
#include "matching/corp_action_editing.h"
#include "matching/matcher.h"
#include "matching/open_quantity.h"
#include "matching/process_session.h"
#include "matching_fixture.h"
#include "platform/number_text.h"
#include "store/account_settings_table.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "store/txn_table.h"
#include "support/recording_prompter.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

const QString kAccount = QStringLiteral("O'Brien IRA");

Outcome process(TestDatabase& db, RecordingPrompter& prompter, const QString& account = kAccount) {
    ProcessSession session(db.connection(), prompter);
    session.setAccount(account);
    return session.Process();
}

} // namespace

class TestMatchingRun : public QObject {
    Q_OBJECT

private slots:
    void matching_data() {
        addTableRows(R"(
        two buys, older first ; B|IBM|70|2000-01-04|-1400, B|IBM|60|2000-01-03|-600, S|IBM|100|2000-02-01|3000 ; 2>1 60 600, 2>0 40 800 ; 30, 0,  ; IBM|100|2000-01-03|2000-02-01|1400|3000|  ;
        earlier then later buy ; B|IBM|30|2000-01-03|-300, S|IBM|100|2000-02-01|3000, B|IBM|100|2000-03-01|-2000 ; 1>0 30 300, 1>2 70 1400 ; 0, , 30 ; IBM|100|2000-01-03|2000-02-01|1700|3000|  ;
        no buy ; B|MSFT|100|2000-01-03|-300, S|IBM|100|2000-02-01|3000 ; 1>- 0 0 ; 100,  ; IBM|100||2000-02-01|0|3000|All Buy Rec Not Found
        // Names by their whole name: only the name cut at 12 characters
        // stands for the sold long name, not its neighbours.
        a name cut at 12 characters, not its neighbours ; B|INTERNATIONAL BUS|10|2000-01-03|-100, B|INTERNATIONA|10|2000-01-02|-100, B|INTERNATION|10|2000-01-02|-100, B|INTERNATIONAL A|10|2000-01-01|-200, S|INTERNATIONAL XY|10|2000-02-01|300 ; 4>1 10 100 ; 10, 0, 10, 10,  ; INTERNATIONAL XY|10|2000-01-02|2000-02-01|100|300|  ;
        buy on the sell's day ; S|IBM|10|2000-02-01|300, B|IBM|10|2000-02-01|-100 ; 0>1 10 100 ; , 0 ; IBM|10|2000-02-01|2000-02-01|100|300|  ;
        two sells on one day by symbol ; S|MSFT|10|2000-02-01|300, S|IBM|60|2000-02-01|600, S|IBM|60|2000-02-01|700, B|IBM|100|2000-01-01|-1000 ; 0>- 0 0, 1>3 60 600, 2>3 40 400 ; , , , 0 ; IBM|60|2000-01-01|2000-02-01|600|600| , IBM|60|2000-01-01|2000-02-01|400|700|All Buy Rec Not Found, MSFT|10||2000-02-01|0|300|All Buy Rec Not Found
        1999 before 2000 ; S|IBM|100|2000-03-01|3000, S|IBM|100|1999-06-01|2000, B|IBM|100|2000-02-01|-1500, B|IBM|100|1999-01-01|-1000 ; 0>2 100 1500, 1>3 100 1000 ; , , 0, 0 ; IBM|100|1999-01-01|1999-06-01|1000|2000| , IBM|100|2000-02-01|2000-03-01|1500|3000|  ;
        fractional shares ; B|IBM|2.5|2000-01-03|-25, S|IBM|1.5|2000-02-01|30, S|IBM|1.25|2000-03-01|30 ; 1>0 1.5 15, 2>0 1 10 ; 0, ,  ; IBM|1.5|2000-01-03|2000-02-01|15|30| , IBM|1.25|2000-01-03|2000-03-01|10|30|All Buy Rec Not Found
        one buy of more than 32767 shares ; B|IBM|50000|2000-01-03|-50000, S|IBM|40000|2000-02-01|80000 ; 1>0 40000 40000 ; 10000,  ; IBM|40000|2000-01-03|2000-02-01|40000|80000|  ;
        lot cost keeps four decimals ; B|IBM|3|2000-01-03|-100, S|IBM|1|2000-02-01|50 ; 1>0 1 33.3333 ; 2,  ; IBM|1|2000-01-03|2000-02-01|33.3333|50|  ;
        // A cut name is 12 characters counted as the database counts them,
        // whatever they are; a neighbour one code point further is another name.
        12th character U+00FF ; B|ABCDEFGHIJKĀ|10|2000-01-02|-50, B|ABCDEFGHIJKÿ|10|2000-01-03|-100, S|ABCDEFGHIJKÿ Holdings|10|2000-02-01|300 ; 2>1 10 100 ; 10, 0,  ; ABCDEFGHIJKÿ Holdings|10|2000-01-03|2000-02-01|100|300|  ;
        12th character U+4EFF ; B|ABCDEFGHIJK伀|10|2000-01-02|-50, B|ABCDEFGHIJK仿|10|2000-01-03|-100, S|ABCDEFGHIJK仿 Holdings|10|2000-02-01|300 ; 2>1 10 100 ; 10, 0,  ; ABCDEFGHIJK仿 Holdings|10|2000-01-03|2000-02-01|100|300|  ;
        12th character an emoji ; B|ABCDEFGHIJK😁|10|2000-01-02|-50, B|ABCDEFGHIJK😀|10|2000-01-03|-100, S|ABCDEFGHIJK😀 Holdings|10|2000-02-01|300 ; 2>1 10 100 ; 10, 0,  ; ABCDEFGHIJK😀 Holdings|10|2000-01-03|2000-02-01|100|300|  ;
        )");
    }
    void matching() {
        QFETCH(TableRow, row);
        const QStringList rows = row.list(0);
        const QStringList links = row.list(1);
        const QStringList memos = row.list(2); // of every row, in order
        const QStringList tax = row.list(3);
        TestDatabase db;
        const QVector<qint64> ids = addRows(db, kAccount, rows);
        RecordingPrompter prompter;
        QVERIFY(process(db, prompter).done());
        QCOMPARE(prompter.messages, QStringList());
        QCOMPARE(describeLinks(db, kAccount, ids), links);
        QCOMPARE(gainbook::test::memos(db, ids), memos);
        QCOMPARE(describeTaxRecs(db, kAccount), tax);
        QCOMPARE(checkInvariants(db, kAccount, true), QString());
    }

    // Lots held a year or less and lots held longer make two records; the
    // long part's proceeds are rounded to cents and the short part takes the
    // rest. Save/Recalculate rebuilds the same records from the links.
    void termSplit_data() {
        addTableRows(R"(
        all short ; B|IBM|100|1999-06-01|-1000, S|IBM|100|2000-03-01|3000 ; IBM|100|1999-06-01|2000-03-01|1000|3000|  ;
        all long ; B|IBM|60|1998-01-05|-600, B|IBM|40|1998-07-01|-800, S|IBM|100|2000-03-01|3000 ; IBM|100|1998-01-05|2000-03-01|1400|3000|  ;
        mixed ; B|IBM|60|1998-01-05|-600, B|IBM|40|2000-01-03|-800, S|IBM|100|2000-03-01|3000.01 ; IBM|60|1998-01-05|2000-03-01|600|1800.01| , IBM|40|2000-01-03|2000-03-01|800|1200|  ;
        one year to the day is short ; B|IBM|10|1999-03-01|-100, B|IBM|10|1999-03-02|-100, S|IBM|20|2000-03-02|300 ; IBM|10|1999-03-01|2000-03-02|100|150| , IBM|10|1999-03-02|2000-03-02|100|150|  ;
        leap day is long after Feb 28 ; B|IBM|10|2000-02-29|-100, B|IBM|10|2000-03-01|-200, S|IBM|20|2001-03-01|333.33 ; IBM|10|2000-02-29|2001-03-01|100|166.67| , IBM|10|2000-03-01|2001-03-01|200|166.66|  ;
        uncovered rest stays short ; B|IBM|50|1998-01-05|-500, B|IBM|30|2000-01-03|-600, S|IBM|100|2000-03-01|1000 ; IBM|50|1998-01-05|2000-03-01|500|500|All Buy Rec Not Found, IBM|50|2000-01-03|2000-03-01|600|500|All Buy Rec Not Found
        buy after the sale is short ; B|IBM|50|1998-01-05|-500, S|IBM|100|2000-03-01|1000, B|IBM|50|2000-04-01|-700 ; IBM|50|1998-01-05|2000-03-01|500|500| , IBM|50|2000-04-01|2000-03-01|700|500|  ;
        // SO sells to open (a short), BC buys to close, BO buys to open.
        1.1233-1(a)(1) short covered in its year: gain 5000 - 4000 ; SO|XYZ|100|2025-03-03|5000, BC|XYZ|100|2025-04-01|-4000 ; XYZ|100|2025-04-01|2025-04-01|4000|5000|  ;
        1.1233-1(a)(1) short of 12/15 covered 01/12: a 2026 loss of 600 ; SO|XYZ|100|2025-12-15|5000, BC|XYZ|100|2026-01-12|-5600 ; XYZ|100|2026-01-12|2026-01-12|5600|5000|  ;
        1.1233-1(a)(1) covered on two days: 40/100 and 60/100 of 5000 ; SO|XYZ|100|2025-12-15|5000, BC|XYZ|40|2025-12-29|-1800, BC|XYZ|60|2026-01-12|-3300 ; XYZ|40|2025-12-29|2025-12-29|1800|2000| , XYZ|60|2026-01-12|2026-01-12|3300|3000|  ;
        Pub. 550 Short Sales: open at the year's end, no record ; SO|XYZ|100|2025-12-15|5000 ;
        Pub. 550 Short Sales: shares held before the short do not cover it ; B|XYZ|100|2025-01-02|-3000, SO|XYZ|100|2025-12-15|5000, BC|XYZ|100|2026-01-12|-5600 ; XYZ|100|2026-01-12|2026-01-12|5600|5000|  ;
        Pub. 550 Short Sales: a buy to open covers nothing ; SO|XYZ|100|2025-12-15|5000, BO|XYZ|100|2025-12-20|-4000 ;
        Pub. 550 Options: a long call sold, 900 - 350, spelt two ways ; BO|AAPL  251219C00200000|1|2025-10-01|-350, SC|AAPL 12/19/2025 200.00 C|1|2025-11-14|900 ; AAPL 12/19/2025 200.00 C|1|2025-10-01|2025-11-14|350|900|  ;
        Pub. 550 Options: the same call in a broker's words, 900 - 350 ; BO|AAPL  251219C00200000|1|2025-10-01|-350, SC|AAPL 12/19/2025 Call $200.00|1|2025-11-14|900 ; AAPL 12/19/2025 Call $200.00|1|2025-10-01|2025-11-14|350|900|  ;
        Pub. 550 Options: a call written 11/03 bought back 01/05, 350 - 120 in 2026 ; SO|AAPL  260116C00200000|1|2025-11-03|350, BC|AAPL260116C00200000|1|2026-01-05|-120 ; AAPL  260116C00200000|1|2026-01-05|2026-01-05|120|350|  ;
        // E, A, X: expired, assigned, exercised, as captured (a sell).
        Pub. 550 Options: a long put expiring, a loss of its cost 400 ; BO|XYZ  250620P00050000|2|2025-03-03|-400, E|XYZ  250620P00050000|2|2025-06-20|0 ; XYZ  250620P00050000|2|2025-03-03|2025-06-20|400|0|  ;
        Pub. 550 Options: a put written in 2025 lapses 01/16/2026, the writer's gain of 250 in 2026 ; S|XYZ  260116P00050000|1|2025-11-03|250, E|XYZ  260116P00050000|1|2026-01-16|0 ; XYZ  260116P00050000|1|2026-01-16|2026-01-16|0|250|  ;
        Pub. 550 Options: a written put assigned, the shares cost 5000 - 300 ; SO|XYZ  250620P00050000|1|2025-03-03|300, A|XYZ  250620P00050000|1|2025-06-20|0, B|XYZ|100|2025-06-20|-5000, S|XYZ|100|2025-09-02|5200 ; XYZ|100|2025-06-20|2025-09-02|4700|5200|  ;
        Pub. 550 Options: a long call exercised, the shares cost 5000 + 200 ; BO|XYZ  250620C00050000|1|2025-03-03|-200, X|XYZ  250620C00050000|1|2025-06-20|0, B|XYZ|100|2025-06-20|-5000, S|XYZ|100|2025-09-02|5600 ; XYZ|100|2025-06-20|2025-09-02|5200|5600|  ;
        Pub. 550 Options: a written call assigned, proceeds 5000 + 300 ; B|XYZ|100|2025-01-02|-4000, SO|XYZ  250620C00050000|1|2025-03-03|300, A|XYZ  250620C00050000|1|2025-06-20|0, S|XYZ|100|2025-06-20|5000 ; XYZ|100|2025-01-02|2025-06-20|4000|5300|  ;
        Pub. 550 Options: a long put exercised, proceeds 5000 - 150 ; B|XYZ|100|2025-01-02|-4000, BO|XYZ  250620P00050000|1|2025-03-03|-150, X|XYZ  250620P00050000|1|2025-06-20|0, S|XYZ|100|2025-06-20|5000 ; XYZ|100|2025-01-02|2025-06-20|4000|4850|  ;
        // Posted a business day after the expiry of 12/31/2025.
        Pub. 550 Options: holder's loss of 250 in the year the put lapses ; BO|XYZ  251231P00050000|1|2025-11-10|-250, E|XYZ  251231P00050000|1|2026-01-02|0 ; XYZ  251231P00050000|1|2025-11-10|2025-12-31|250|0|  ;
        Pub. 550 Options: writer's gain of 250 in the year the call lapses ; SO|XYZ  251231C00050000|1|2025-11-10|250, E|XYZ  251231C00050000|1|2026-01-02|0 ; XYZ  251231C00050000|1|2025-12-31|2025-12-31|0|250|  ;
        Pub. 550 Options: a row before the expiry is a close-out of its day ; BO|XYZ  260116P00050000|1|2025-11-10|-250, E|XYZ  260116P00050000|1|2025-12-30|0 ; XYZ  260116P00050000|1|2025-11-10|2025-12-30|250|0|  ;
        Pub. 550 Options: an expiry of an option not held is no sale ; B|IBM|10|2025-01-02|-100, E|XYZ  250117C00050000|1|2025-01-17|0, S|IBM|10|2025-03-03|150 ; IBM|10|2025-01-02|2025-03-03|100|150|  ;
        // The stock row's amount typed again as the broker's 5100: the
        // premium is carried onto it afresh, 5100 - 300.
        Pub. 550 Options: a written put assigned, its stock row edited ; SO|XYZ  250620P00050000|1|2025-03-03|300, A|XYZ  250620P00050000|1|2025-06-20|0, B|XYZ|100|2025-06-20|-5000, S|XYZ|100|2025-09-02|5200 ; XYZ|100|2025-06-20|2025-09-02|4700|5200|  ; 2|-5100 ; XYZ|100|2025-06-20|2025-09-02|4800|5200|  ;
        )");
    }
    void termSplit() {
        QFETCH(TableRow, row);
        const QStringList rows = row.list(0);
        const QStringList tax = row.list(1);
        TestDatabase db;
        const QVector<qint64> ids = addRows(db, kAccount, rows);
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        session.setAccount(kAccount);
        QVERIFY(session.Process().done());
        QCOMPARE(describeTaxRecs(db, kAccount), tax);
        QCOMPARE(checkInvariants(db, kAccount, true), QString());
        // Save/Recalculate splits alike; its memo is the last link's, " ".
        QVERIFY(session.SaveRecalculate().done());
        QCOMPARE(describeTaxRecs(db, kAccount).join(u'\n'),
                 tax.join(u'\n').replace("All Buy Rec Not Found", " "));
        // Processing again carries an option's premium once, not twice.
        QVERIFY(session.Process(unwatchedProgress(), Rerun::Replace).done());
        QCOMPARE(describeTaxRecs(db, kAccount), tax);
        QCOMPARE(prompter.messages, QStringList());
        // "row|amount": the amount typed over a row, as the grid saves it.
        if (const QStringList edit = row.text(2).split(u'|'); edit.size() == 2) {
            TxnRecord typed = *selectTxnById(db.connection(), ids[edit[0].toInt()]);
            typed.amount = Money::fromDouble(edit[1].toDouble());
            QVERIFY(updateTxn(db.connection(), typed));
            QVERIFY(session.Process(unwatchedProgress(), Rerun::Replace).done());
            QCOMPARE(describeTaxRecs(db, kAccount), row.list(3));
        }
    }

    // Each tax record's box comes from its own term and the account's
    // setting, both when the run writes it and when Save/Recalculate
    // rebuilds it; a setting changed in between shows after the rebuild.
    void boxesFollowTermAndSetting_data() {
        // Records: the MSFT sell without a buy, then the IBM sell split in a
        // long part (60 shares) and a short part (40).
        addTableRows(R"(
        reported, then not reported ; yes ; MSFT 10 , IBM 60 D, IBM 40 A ; no ; MSFT 10 , IBM 60 E, IBM 40 B
        not reported, then not on the form ; no ; MSFT 10 , IBM 60 E, IBM 40 B ; none ; MSFT 10 , IBM 60 F, IBM 40 C
        not on the form, then reported ; none ; MSFT 10 , IBM 60 F, IBM 40 C ; yes ; MSFT 10 , IBM 60 D, IBM 40 A
        never set is reported ;  ; MSFT 10 , IBM 60 D, IBM 40 A ;  ; MSFT 10 , IBM 60 D, IBM 40 A
        )");
    }
    void boxesFollowTermAndSetting() {
        QFETCH(TableRow, row);
        const QString setting = row.text(0);
        const QStringList boxes = row.list(1);
        const QString laterSetting = row.text(2);
        const QStringList laterBoxes = row.list(3);
        TestDatabase db;
        addRows(db, kAccount,
                {"B|IBM|60|1998-01-05|-600", "B|IBM|40|2000-01-03|-800", "S|MSFT|10|2000-02-01|300",
                 "S|IBM|100|2000-03-01|3000"});
        // Another account's setting is not this one's.
        setBasisReporting(db.connection(), "Other", BasisReporting::NoForm);
        const auto setTo = [&](const QString& word) {
            if (!word.isEmpty())
                setBasisReporting(db.connection(), kAccount, *basisFromWord(word));
        };
        const auto described = [&] {
            QStringList out;
            for (const TaxRecord& r : taxRecsOf(db, kAccount))
                out << r.symbol + u' ' + r.quantity.text() + u' ' + boxLetter(r.box);
            return out;
        };
        setTo(setting);
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        session.setAccount(kAccount);
        QVERIFY(session.Process().done());
        QCOMPARE(described(), boxes);
        setTo(laterSetting);
        QVERIFY(session.SaveRecalculate().done());
        QCOMPARE(described(), laterBoxes);
    }

    // The run's closing message counts each kind of sell to check; a sell
    // can be of two kinds. A short not covered is an open position, told
    // apart (Pub. 550 Short Sales: no sale until it is closed). An option
    // assigned with no stock trade that day has nowhere to put its premium;
    // one expired while none was held closes nothing.
    void runCountsSellsToCheck() {
        TestDatabase db;
        addRows(db, kAccount,
                {"S|IBM|100|2000-02-01|3000", "B|MSFT|50|2000-01-03|-500",
                 "S|MSFT|100|2000-02-01|3000", "S|AAPL|10|2000-02-01|300",
                 "B|AAPL|10|2000-03-01|-100", "S|T|20|2000-02-01|300", "B|T|5|2000-03-01|-10",
                 "SO|XYZ|100|2000-02-01|5000", "SO|XYZ  000317C00050000|1|2000-01-05|300",
                 "A|XYZ  000317C00050000|1|2000-03-17|0", "E|ABC  000121P00010000|1|2000-01-24|0"});
        RecordingPrompter prompter;
        const Outcome outcome = process(db, prompter);
        QVERIFY(outcome.done());
        QCOMPARE(outcome.count, 4);
        QCOMPARE(outcome.message,
                 QString("Sells to check: 2 matched to a buy made after the sale, 2 larger than "
                         "the buys found (All Buy Rec Not Found), 1 without a buy. 1 option "
                         "assigned or exercised without the stock trade of that day (XYZ "
                         "03/17/2000 50.00 C assigned 03/17/2000): the premium is in no cost or "
                         "proceeds. 1 option expired, assigned or exercised while the account "
                         "held none (ABC 01/21/2000 10.00 P expired 01/24/2000): no tax record; "
                         "its opening trade may be in a file not captured. Open short "
                         "positions: 1 short sale is not covered yet (XYZ 100 sold 02/01/2000); no "
                         "tax record until the shares are bought back."));
    }

    // Only the processed account's memos are reset, a sell's comment stays,
    // and an account runs again only when the user says so, even with no
    // sell in the tax year's grid.
    void processingTouchesOneAccountOnce() {
        TestDatabase db;
        RecordingPrompter prompter;
        const QVector<qint64> other =
            addRows(db, "Other", {"B|IBM|100|2000-01-03|-1000", "S|IBM|60|2000-02-01|900"});
        QVERIFY(process(db, prompter, "Other").done());
        QVector<qint64> mine = addRows(db, kAccount, {"B|IBM|100|1999-01-03|-1000"});
        mine << db.addTxn(kAccount, "All", "IBM", 10, kSold, QDate(1999, 2, 1), 100, "my note");
        QVERIFY(process(db, prompter).done());
        QCOMPARE(process(db, prompter).status, Outcome::Status::Stopped);
        QCOMPARE(prompter.questions,
                 QStringList{"Account O'Brien IRA is already processed. 0 lots you picked by hand "
                             "are kept; 1 sell is matched again. Process it again?"});
        QCOMPARE(prompter.messages, QStringList());
        QCOMPARE(gainbook::test::memos(db, other), (QStringList{"40", ""}));
        QCOMPARE(gainbook::test::memos(db, mine), (QStringList{"90", "my note"}));
        QCOMPARE(describeLinks(db, kAccount, mine), QStringList{"1>0 10 100"});
        QCOMPARE(describeTaxRecs(db, kAccount).size(), 1);
        QCOMPARE(describeTaxRecs(db, "Other").size(), 1);
    }

    // Processing again keeps the lots the user picked by hand, and after a
    // corporate action leaves the sells of the symbols it did not touch.
    // IBM: 100 at $10 (01/02), 100 at $20 (02/01), 50 sold 06/03 for $1,500;
    // XYZ: 10 for $100 (01/05), 10 sold 07/01 for $300.
    void processingAgainKeepsHandPickedLots_data() {
        // 26 CFR 1.1012-1(c)(1): shares not identified are the first bought.
        addTableRows(R"(
        again keeps the identified lot, 1.1012-1(c)(2) ; yes ; no ; no ; 1 lot you picked by hand is kept; 2 sells are matched again. ; 2>1 50 1000, 4>3 10 100 ; IBM|50|2024-02-01|2024-06-03|1000|1500| , XYZ|10|2024-01-05|2024-07-01|100|300|  ;
        again --all goes back to first in, 1.1012-1(c)(1) ; yes ; no ; yes ; 0 lots you picked by hand are kept; 2 sells are matched again. ; 2>0 50 500, 4>3 10 100 ; IBM|50|2024-01-02|2024-06-03|500|1500| , XYZ|10|2024-01-05|2024-07-01|100|300|  ;
        // Pub 550, stock splits: the $100 of XYZ spreads over 20 shares, so
        // the 10 sold cost $50. IBM keeps the lot detached by hand, and
        // with it no buy.
        split matches only XYZ again, Pub 550 stock splits ; no ; yes ; no ; 0 lots you picked by hand are kept; 1 sell is matched again. 1 sell of symbols no corporate action touched keeps its lots. ; 2>- 0 0, 4>3 10 50 ; IBM|50||2024-06-03|0|1500|All Buy Rec Not Found, XYZ|10|2024-01-05|2024-07-01|50|300|  ;
        split keeps the identified lot too ; yes ; yes ; no ; 1 lot you picked by hand is kept; 1 sell is matched again. 1 sell of symbols no corporate action touched keeps its lots. ; 2>1 50 1000, 4>3 10 50 ; IBM|50|2024-02-01|2024-06-03|1000|1500| , XYZ|10|2024-01-05|2024-07-01|50|300|  ;
        )");
    }
    void processingAgainKeepsHandPickedLots() {
        QFETCH(TableRow, row);
        const bool byHand = row.yes(0);   // the IBM lot of 01/02 swapped for that of 02/01
        const bool splitXyz = row.yes(1); // 2:1 on 03/01, after the first run
        const bool all = row.yes(2);
        const QString plan = row.text(3);
        const QStringList links = row.list(4);
        const QStringList taxRecs = row.list(5);
        TestDatabase db;
        RecordingPrompter prompter;
        const QVector<qint64> ids = addRows(
            db, kAccount,
            {"B|IBM|100|2024-01-02|-1000", "B|IBM|100|2024-02-01|-2000", "S|IBM|50|2024-06-03|1500",
             "B|XYZ|10|2024-01-05|-100", "S|XYZ|10|2024-07-01|300"});
        QVERIFY(process(db, prompter).done());
        ProcessSession session(db.connection(), prompter);
        session.setAccount(kAccount);
        QVERIFY(session.Update({{ids[2], ids[0]}}).done());
        if (byHand) {
            QVector<BuyChoice> choice{{ids[1], 50.0, std::nullopt, std::nullopt}};
            QVERIFY(BuySelection(db.connection(), kAccount).Apply(ids[2], choice).done());
        }
        if (splitXyz) {
            CorpActionRecord split{0, "XYZ", QDate(2024, 3, 1), ActionKind::Split, 2, 1, {}, {}};
            QVERIFY(addCorpAction(db.connection(), split).done());
        }
        QCOMPARE(rerunPlanText(session.rerunPlan(all)), plan);
        prompter.answers.enqueue(true);
        const Outcome outcome =
            all ? session.Process(unwatchedProgress(), Rerun::ReplaceAll) : session.Process();
        QVERIFY2(outcome.done(), qPrintable(outcome.message));
        if (!all)
            QCOMPARE(prompter.questions.last(),
                     "Account O'Brien IRA is already processed. " + plan + " Process it again?");
        QCOMPARE(describeLinks(db, kAccount, ids), links);
        QCOMPARE(describeTaxRecs(db, kAccount), taxRecs);
        // The check counts shares as bought, which a split does not keep.
        if (!splitXyz)
            QCOMPARE(checkInvariants(db, kAccount, false), QString());
    }

    // The run writes its links, tax records and open quantities many rows
    // to a statement: a row refused inside one must leave the account as
    // it was, the rows written before it included, and say why; the
    // account can be processed once the cause is gone.
    void refusalInsideABatchChangesNothing_data() {
        QTest::addColumn<QString>("refusal");
        QTest::newRow("tax record") << "CREATE UNIQUE INDEX Refuse ON TaxRec (Symbol) "
                                       "WHERE Symbol = 'BAD'";
        QTest::newRow("link") << "CREATE UNIQUE INDEX Refuse ON SellLinks (SellSymbol) "
                                 "WHERE SellSymbol = 'BAD'";
        QTest::newRow("open quantity") << "CREATE UNIQUE INDEX Refuse ON Txn (Memo) "
                                          "WHERE Symbol = 'BAD' AND Memo <> ''";
    }
    void refusalInsideABatchChangesNothing() {
        QFETCH(QString, refusal);
        TestDatabase db;
        // 40 symbols before the two BAD pairs and 40 after: each second BAD
        // row is the tenth of the second batch of its kind.
        QStringList rows;
        const auto addPair = [&](const QString& symbol) {
            rows << QStringLiteral("B|%1|10|2000-01-03|-100").arg(symbol)
                 << QStringLiteral("S|%1|10|2000-02-01|120").arg(symbol);
        };
        for (int i = 0; i < 40; ++i)
            addPair(QStringLiteral("S%1").arg(i));
        addPair(QStringLiteral("BAD"));
        addPair(QStringLiteral("BAD"));
        for (int i = 40; i < 80; ++i)
            addPair(QStringLiteral("S%1").arg(i));
        const QVector<qint64> ids = addRows(db, kAccount, rows);
        runQuery(db.connection(), refusal);

        RecordingPrompter prompter;
        const Outcome failed = process(db, prompter);
        QVERIFY(failed.failed());
        QVERIFY2(failed.message.contains("UNIQUE"), qPrintable(failed.message));
        QCOMPARE(gainbook::test::memos(db, ids), QStringList(ids.size(), QString()));
        QVERIFY(!accountHasLinks(db.connection(), kAccount));
        QCOMPARE(describeTaxRecs(db, kAccount), QStringList());

        runQuery(db.connection(), "DROP INDEX Refuse");
        QVERIFY(process(db, prompter).done());
        QCOMPARE(describeTaxRecs(db, kAccount).size(), 82);
    }
};

GAINBOOK_GUILESS_TEST(TestMatchingRun)
#include "test_matching_run.moc"
