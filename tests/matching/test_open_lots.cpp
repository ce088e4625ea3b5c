#include "matching/open_lots.h"
#include "matching/open_positions.h"
#include "matching/process_session.h"
#include "matching_fixture.h"
#include "platform/formats.h"
#include "platform/holding_term.h"
#include "store/corp_action_table.h"
#include "store/lot_method_table.h"
#include "store/unknown_cost_table.h"
#include "support/recording_prompter.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

const QString kAccount = QStringLiteral("Joint");

} // namespace

class TestOpenLots : public QObject {
    Q_OBJECT

private slots:
    // Each open lot after processing, on a day, with the prices given:
    // "symbol|shares|cost/share|cost|acquired|long term on|price|short|long|loss sale";
    // where asked, then "months:" the months of the next twelve with lots
    // turning long term ("03/2026 1500.00") and "totals:" the unrealized short|long.
    void lots_data() {
        // "split XYZ 2025-03-03 2:1", "average", "transfer in" (the first
        // buy of unknown cost), or "positions" (the lots column lists
        // openPositionFields instead)
        addTableRows(R"(
        Pub 550 holding period: long the day after one year ; B|IBM|100|2025-03-10|-1000 ; 2025-12-01 ; IBM|100|10.00|1000.00|03/10/2025|03/11/2026||||
        Pub 550 holding period: bought Feb 29, long on Mar 1 ; B|IBM|10|2024-02-29|-100 ; 2024-12-01 ; IBM|10|10.00|100.00|02/29/2024|03/01/2025||||
        what a sell left of a buy, oldest first ; B|IBM|100|2025-01-02|-1000, B|IBM|50|2025-02-03|-750, S|IBM|120|2025-06-02|1800 ; 2025-07-01 ; IBM|30|15.00|450.00|02/03/2025|02/04/2026||||
        // Pub 550 stock splits: the basis spreads over the new shares.
        Pub 550 stock split 2:1: twice the shares at half the cost ; B|XYZ|100|2025-01-02|-1000 ; 2025-04-01 ; XYZ|200|5.00|1000.00|01/02/2025|01/03/2026|||| ;  ; split XYZ 2025-03-03 2:1
        // 100 at 20 sold at 15 on 06/02 after 151 days, 100 bought back at
        // 16 on 06/16: the loss of 500 goes onto the new shares (26 CFR
        // 1.1091-2) and so do the 151 days (Pub 550 wash sales): 2100,
        // acquired 01/16/2025, long term on 01/17/2026.
        26 CFR 1.1091-2 wash sale moves cost and date ; B|IBM|100|2025-01-02|-2000, S|IBM|100|2025-06-02|1500, B|IBM|100|2025-06-16|-1600 ; 2025-07-01 ; IBM|100|21.00|2100.00|01/16/2025|01/17/2026||||
        // At 15 the lot is 600 under its 2100; the buy of 06/16 is within
        // the 30 days before 07/01, and a buy back waits 31 days.
        26 CFR 1.1091-1 a sale now would be a wash sale ; B|IBM|100|2025-01-02|-2000, S|IBM|100|2025-06-02|1500, B|IBM|100|2025-06-16|-1600 ; 2025-07-01 ; IBM|100|21.00|2100.00|01/16/2025|01/17/2026|15.00|-600.00||wash sale now (bought 06/16/2025); buy back not before 08/01/2025 ; Symbol,Price\nibm,15 ;  ;
        26 CFR 1.1091-1 no buy in the 30 days before: no wash sale ; B|IBM|100|2025-01-02|-2000, S|IBM|100|2025-06-02|1500, B|IBM|100|2025-06-16|-1600 ; 2025-08-01 ; IBM|100|21.00|2100.00|01/16/2025|01/17/2026|15.00|-600.00||no wash sale now; buy back not before 09/01/2025 ; IBM,15 ;  ;
        a long-term gain is no loss sale ; B|IBM|10|2023-01-03|-100 ; 2025-01-03 ; IBM|10|10.00|100.00|01/03/2023|01/04/2024|25.00||150.00| ; IBM,25 ;  ;
        // Three buys at 10, 30 and 20, 150 sold at the average of 20: the
        // 150 left keep 20 a share (Pub 550 average basis).
        Pub 550 average basis: the open shares at the average ; B|IBM|100|2025-01-02|-1000, B|IBM|100|2025-02-03|-3000, B|IBM|100|2025-03-03|-2000, S|IBM|150|2025-06-02|3750 ; 2025-07-01 ; IBM|50|20.00|1000.00|02/03/2025|02/04/2026||||, IBM|100|20.00|2000.00|03/03/2025|03/04/2026|||| ;  ; average
        // Shares transferred in have no known basis nor holding period yet.
        transfer in: no cost, date or gain until the cost is typed ; B|IBM|100|2025-03-10|0 ; 2025-12-01 ; IBM|100|unknown|unknown|||15.00|||, totals:0.00|0.00 ; IBM,15 ; transfer in
        // On 12/01/2025 the twelve months run to November 2026 (Pub 550: long
        // the day after a year): IBM of 03/10/2025 turns on 03/11/2026 at its
        // price, XYZ of 09/15/2025 on 09/16/2026 at its cost; ABC is long
        // already and QQQ of 12/01/2025 turns only on 12/02/2026.
        Pub 550 calendar: value turning long term month by month ; B|IBM|100|2025-03-10|-1000, B|XYZ|10|2025-09-15|-500, B|ABC|5|2024-01-02|-50, B|QQQ|1|2025-12-01|-400 ; 2025-12-01 ; ABC|5|10.00|50.00|01/02/2024|01/03/2025||||, IBM|100|10.00|1000.00|03/10/2025|03/11/2026|15.00|500.00||, QQQ|1|400.00|400.00|12/01/2025|12/02/2026||||, XYZ|10|50.00|500.00|09/15/2025|09/16/2026||||, months:03/2026 1500.00;09/2026 500.00, totals:500.00|0.00 ; IBM,15 ;
        // 26 CFR 1.1091-1(a) covers stock or securities: a coin bought back 7
        // days after its loss sale keeps its own cost (62000) and date, and
        // may be sold at a loss and bought back at once.
        1.1091-1(a): a coin's loss is no wash sale ; B|BTC|1|2025-01-06|-72000, S|BTC|1|2025-03-03|62000, B|BTC|1|2025-03-10|-62000 ; 2025-03-20 ; BTC|1|62000.00|62000.00|03/10/2025|03/11/2026|60000.00|-2000.00||no wash sale: a digital asset ; BTC,60000 ;  ;
        // A past day's lots are what was held then: 40 sold 02/10/2026.
        Pub 550 basis: a sale of the next year is still held at 12/31 ; B|XYZ|100|2025-03-01|-1000, S|XYZ|40|2026-02-10|700 ; 2025-12-31 ; XYZ|100|10.00|1000.00|03/01/2025|03/02/2026||||
        Pub 550 basis: 60 of 100 left at 1000 x 60/100 ; B|XYZ|100|2025-03-01|-1000, S|XYZ|40|2026-02-10|700 ; 2026-12-31 ; XYZ|60|10.00|600.00|03/01/2025|03/02/2026||||
        Pub 550 average basis: 200 shares for 4000 before a sale of 2026 ; B|IBM|100|2025-01-02|-1000, B|IBM|100|2025-02-03|-3000, S|IBM|100|2026-01-05|2500 ; 2025-12-31 ; IBM|100|20.00|2000.00|01/02/2025|01/03/2026||||, IBM|100|20.00|2000.00|02/03/2025|02/04/2026|||| ;  ; average
        // The loss of 500 sold 01/05/2026 moves onto the buy of 12/20/2025
        // only from that day (26 CFR 1.1091-2: the basis of the stock
        // acquired is increased for the loss disallowed).
        26 CFR 1.1091-2: a loss sold after the day is not in its lots ; B|IBM|100|2025-01-02|-2000, B|IBM|100|2025-12-20|-1600, S|IBM|100|2026-01-05|1500 ; 2025-12-31 ; IBM|100|20.00|2000.00|01/02/2025|01/03/2026||||, IBM|100|16.00|1600.00|12/20/2025|12/21/2026||||
        // XYZ 100 at 50, worth 40 on 07/01: 1000 under. A call bought, or a
        // put written, on 06/01 to 07/01 is an option to acquire XYZ; a put
        // bought is not, though later. Buy back from 07/01 + 31 = 08/01.
        26 CFR 1.1091-1(a): a call bought on the stock washes a sale now ; B|XYZ|100|2025-01-02|-5000, BO|XYZ  250620C00040000|1|2025-06-16|-300 ; 2025-07-01 ; XYZ|100|50.00|5000.00|01/02/2025|01/03/2026|40.00|-1000.00||wash sale now (call bought 06/16/2025); buy back not before 08/01/2025, XYZ  250620C00040000|1|300.00|300.00|06/16/2025|06/17/2026|||| ; XYZ,40 ;  ;
        26 CFR 1.1091-1(a): a put written washes a sale now, a put bought does not ; B|XYZ|100|2025-01-02|-5000, SO|XYZ  250620P00040000|1|2025-06-20|250, BO|XYZ  250620P00035000|1|2025-06-25|-100 ; 2025-07-01 ; XYZ|100|50.00|5000.00|01/02/2025|01/03/2026|40.00|-1000.00||wash sale now (put written 06/20/2025); buy back not before 08/01/2025, XYZ  250620P00035000|1|100.00|100.00|06/25/2025|06/26/2026|||| ; XYZ,40 ;  ;
        // XYZ 100 bought at 5000, sold 03/03 at 4000: the loss of 1000 goes
        // onto the put written 03/10, 1 contract for 100 shares, and waits
        // there while it is open; a loss sold after the day is not there yet.
        1.1091-1(a) Pub. 550 Options: an open put written carries its wash adjustment ; B|XYZ|100|2025-01-02|-5000, S|XYZ|100|2025-03-03|4000, SO|XYZ  250620P00040000|1|2025-03-10|250 ; 2025-03-31 ; put written|XYZ  250620P00040000|1|250.00|03/10/2025|06/20/2025|1000.00 ;  ; positions
        1.1091-1(a): a put written before a loss sold after the day has none yet ; B|XYZ|100|2025-01-02|-5000, SO|XYZ  250620P00040000|1|2025-03-10|250, S|XYZ|100|2025-03-20|4000 ; 2025-03-15 ; long|XYZ|100|5000.00|01/02/2025||, put written|XYZ  250620P00040000|1|250.00|03/10/2025|06/20/2025| ;  ; positions
        )");
    }
    void lots() {
        QFETCH(TableRow, row);
        const QStringList rows = row.list(0);
        const QString setup = row.text(4);
        const QString on = row.text(1);
        const QString prices = row.text(3).replace("\\n", "\n");
        const QStringList lots = row.list(2);
        TestDatabase db;
        if (setup.startsWith("split")) {
            const QStringList f = setup.split(u' ');
            CorpActionRecord split;
            split.symbol = f[1];
            split.effective = QDate::fromString(f[2], Qt::ISODate);
            split.ratioNew = f[3].section(u':', 0, 0).toDouble();
            split.ratioOld = f[3].section(u':', 1, 1).toDouble();
            insertCorpAction(db.connection(), split);
        } else if (setup == "average") {
            setLotMethod(db.connection(), kAccount, {}, LotMethod::Average);
        }
        const QVector<qint64> ids = addRows(db, kAccount, rows);
        if (setup == "transfer in")
            markUnknownCost(db.connection(), {ids.first()});
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        session.setAccount(kAccount);
        QVERIFY(session.Process().done());
        QStringList bad;
        const QHash<QString, Money> byKey = pricesFromCsv(prices, bad);
        QCOMPARE(bad, QStringList());
        const QDate day = QDate::fromString(on, Qt::ISODate);
        QStringList found;
        if (setup == "positions") {
            for (const OpenPosition& position : openPositions(db.connection(), kAccount, day))
                found << openPositionFields(position).join(u'|');
            QCOMPARE(found, lots);
            return;
        }
        const QVector<OpenLot> open = openLots(db.connection(), kAccount, day, byKey);
        for (const OpenLot& lot : open) {
            QCOMPARE(lot.costUnknown || lot.longTermOn.addDays(-1) > lot.acquired, true);
            found << openLotFields(lot, day).join(u'|');
        }
        if (lots.filter(QRegularExpression("^months:")).size() == 1) {
            QStringList months;
            for (const MonthValue& m : longTermCalendar(open, day))
                if (!m.value.isZero())
                    months << m.month.toString("MM/yyyy") + u' ' + formatPlain(m.value);
            found << "months:" + months.join(u';');
        }
        if (lots.filter(QRegularExpression("^totals:")).size() == 1) {
            const UnrealizedTotals totals = unrealizedTotals(open, day);
            found << "totals:" + formatPlain(totals.shortTerm) + u'|' +
                         formatPlain(totals.longTerm);
        }
        QCOMPARE(found, lots);
    }
};

GAINBOOK_GUILESS_TEST(TestOpenLots)
#include "test_open_lots.moc"
