#include "buy_selection/buy_selection.h"
#include "capture/capture_run.h"
#include "main_window/delete_list.h"
#include "main_window/tax_view.h"
#include "matching/open_lots.h"
#include "matching/process_session.h"
#include "matching/trade_changes.h"
#include "matching/wash_listing.h"
#include "matching/wash_sale_refresh.h"
#include "matching_fixture.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "report/tax_report.h"
#include "store/account_settings_table.h"
#include "store/asset_kind_table.h"
#include "store/corp_action_table.h"
#include "store/lot_adjust_table.h"
#include "store/lot_method_table.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/transfer_link_table.h"
#include "store/txn_table.h"
#include "store/unknown_cost_table.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

// "A|B|XYZ|100|2000-01-03|-1000": account, B bought or S sold (T sent to
// another wallet, R received at unknown cost), symbol, quantity, date, amount.
TxnRecord tradeOf(const QString& row) {
    const QStringList f = row.split(u'|');
    Q_ASSERT(f.size() == 6);
    TxnRecord trade;
    trade.accountName = f[0];
    trade.txnMonth = QStringLiteral("All");
    trade.symbol = f[2];
    trade.quantity = Quantity::fromDouble(f[3].toDouble());
    trade.type = f[1].startsWith(u'B') || f[1] == u"R" ? kBought : kSold;
    if (f[1] == u"T")
        trade.type = kSent;
    // SO sells to open (a short), BC buys to cover; X, A and E: an option
    // exercised, assigned or expired, captured as a sell.
    if (f[1].size() == 2)
        trade.openClose = f[1].endsWith(u'O') ? kOpens : kCloses;
    const QHash<QString, QString> events{{"X", kExercised}, {"A", kAssigned}, {"E", kExpired}};
    if (events.contains(f[1]))
        trade.openClose = events.value(f[1]);
    trade.txnDate = QDate::fromString(f[4], Qt::ISODate);
    trade.amount = Money::fromDouble(f[5].toDouble());
    return trade;
}

// Adds the trades; returns the new IDs in order.
QVector<qint64> addTrades(TestDatabase& db, const QStringList& rows, QStringList& accounts) {
    QVector<qint64> ids;
    for (const QString& row : rows) {
        const TxnRecord t = tradeOf(row);
        if (!accounts.contains(t.accountName))
            accounts << t.accountName;
        ids.append(db.addTxn(t.accountName, t.txnMonth, t.symbol, t.quantity.toDouble(), t.type,
                             t.txnDate, t.amount.toDouble()));
        if (!t.openClose.isEmpty())
            runQuery(db.connection(), "UPDATE Txn SET OpenClose = ? WHERE ID = ?",
                     {t.openClose, ids.back()});
        if (row.section(u'|', 1, 1) == u"R")
            markUnknownCost(db.connection(), {ids.back()});
    }
    return ids;
}

// "later:" marks a trade captured after the accounts were processed.
const QString kLater = QStringLiteral("later:");

// "A:detect=off", "A:other=no", "A:ira=yes", "A:basis=no", "A:assets=digital",
// "BTC:kind=digital", "A:washdigital=on", "A:washoptions=on",
// "XYZ:split=2000-03-05" (2:1), "A:method=average"
void applySettings(TestDatabase& db, const QStringList& settings) {
    for (const QString& setting : settings) {
        const QString name = setting.section(u':', 0, 0);
        const QString key = setting.section(u':', 1).section(u'=', 0, 0);
        const QString word = setting.section(u'=', 1);
        const bool on = word == QLatin1String("yes") || word == QLatin1String("on");
        if (key == QLatin1String("basis"))
            setBasisReporting(db.connection(), name, *basisFromWord(word));
        else if (key == QLatin1String("assets"))
            setAccountAssets(db.connection(), name, *accountAssetsFromWord(word));
        else if (key == QLatin1String("kind"))
            setSymbolKind(db.connection(), name, *assetKindFromWord(word));
        else if (key == QLatin1String("washdigital"))
            setWashDigital(db.connection(), on);
        else if (key == QLatin1String("washoptions"))
            setWashOptions(db.connection(), on);
        else if (key == QLatin1String("method"))
            setLotMethod(db.connection(), name, {}, *lotMethodFromWord(word));
        else if (key == QLatin1String("split"))
            insertCorpAction(
                db.connection(),
                {0, name, QDate::fromString(word, Qt::ISODate), ActionKind::Split, 2, 1, {}, {}});
        if (key != QLatin1String("detect") && key != QLatin1String("other") &&
            key != QLatin1String("ira"))
            continue;
        WashSettings wash = selectWashSettings(db.connection(), name);
        (key == QLatin1String("detect")  ? wash.detect
         : key == QLatin1String("other") ? wash.otherAccounts
                                         : wash.taxAdvantaged) = on;
        setWashSettings(db.connection(), name, wash);
    }
}

enum class Reportable { All, Only };

// Every tax record (or those of Form 8949), by date sold, as
// "account|qty|acquired|sold|cost|proceeds|wash|box".
QStringList describeRecords(TestDatabase& db, Reportable which = Reportable::All) {
    QStringList out;
    const QDate first(1900, 1, 1);
    const QDate last(2100, 12, 31);
    for (const TaxRecord& r : which == Reportable::All
                                  ? selectTaxRecsSold(db.connection(), first, last)
                                  : selectReportableTaxRecs(db.connection(), first, last))
        out << QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                   .arg(r.accountName, r.quantity.text(), isoDate(r.dateAcquired),
                        isoDate(r.dateSold), numberToText(r.cost.toDouble()),
                        numberToText(r.salePrice.toDouble()),
                        numberToText(r.washAdjustment.toDouble()), boxLetter(r.box));
    return out;
}

// Every lot adjustment as "buy first shares added days", the buy named by its
// row; "permanent" at the end of an IRA's.
QStringList describeAdjustments(TestDatabase& db, const QVector<qint64>& ids) {
    QStringList out;
    for (const LotAdjustRecord& a : selectLotAdjustments(db.connection()))
        out << QStringLiteral("%1 %2 %3 %4 %5%6")
                   .arg(ids.indexOf(a.buyId))
                   .arg(a.firstShare.text(), a.shares.text(), numberToText(a.addedCost.toDouble()))
                   .arg(a.daysBack)
                   .arg(a.permanent ? QStringLiteral(" permanent") : QString());
    return out;
}

} // namespace

class TestWashSales : public QObject {
    Q_OBJECT

private slots:
    // Hand-worked: a loss of L on q shares with r replacement shares in the
    // window disallows L x r / q; the replacement costs that much more and
    // its date acquired moves back by the days the sold shares were held
    // (26 CFR 1.1091-1(a), 1.1091-2(a)). Lots are matched to the buys of the
    // same instrument, oldest first. handLinks: "sell>buy:shares" (rows)
    // linked by hand and recalculated before the other accounts are
    // processed.
    void worked_data() {
        // Held Jan 3 to Mar 1, 2000: 58 days. Loss 1000 - 700 = 300.
        // "name ; trades ; settings ; records ; adjustments ; hand links ;
        // open lots" ("A:process=again": A is processed once more after the
        // others; open lots as "account|symbol|shares|cost|acquired", after
        // "on:DATE" on a past day)
        addTableRows(R"(
        buy 10 days later; its sale carries cost and date ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, A|B|XYZ|100|2000-03-11|-800, A|S|XYZ|100|2000-12-01|900 ;  ; A|100|2000-01-03|2000-03-01|1000|700|300|A, A|100|2000-01-13|2000-12-01|1100|900|0|A ; 2 0 100 300 58
        buy 30 days later still counts ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, A|B|XYZ|100|2000-03-31|-800 ;  ; A|100|2000-01-03|2000-03-01|1000|700|300|A ; 2 0 100 300 58
        buy 31 days later: no wash sale ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, A|B|XYZ|100|2000-04-01|-800 ;  ; A|100|2000-01-03|2000-03-01|1000|700|0|A
        a sale at a gain is never a wash sale ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|1200, A|B|XYZ|100|2000-03-11|-800 ;  ; A|100|2000-01-03|2000-03-01|1000|1200|0|A
        partial replacement: 40 of 100 shares disallow 120 ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, A|B|XYZ|40|2000-03-11|-320 ;  ; A|100|2000-01-03|2000-03-01|1000|700|120|A ; 2 0 40 120 58
        // The sale closes the January lot; the February buy, 15 days
        // before it, replaces. Its own sale: cost 900 + 300, held from
        // Feb 15 less 58 days.
        replacement bought before the sale ; A|B|XYZ|100|2000-01-03|-1000, A|B|XYZ|100|2000-02-15|-900, A|S|XYZ|100|2000-03-01|700, A|S|XYZ|100|2000-06-01|1000 ;  ; A|100|2000-01-03|2000-03-01|1000|700|300|A, A|100|1999-12-19|2000-06-01|1200|1000|0|A ; 1 0 100 300 58
        // Losses of 100 (Mar 1) and 150 (Mar 6); the one 50-share lot goes
        // to the earlier sale.
        two losses compete for one lot ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|50|2000-03-01|400, A|S|XYZ|50|2000-03-06|350, A|B|XYZ|50|2000-03-11|-400 ;  ; A|50|2000-01-03|2000-03-01|500|400|100|A, A|50|2000-01-03|2000-03-06|500|350|0|A ; 3 0 50 100 58
        // The replacement (cost 800 + 300, held from Jan 13) is sold at a
        // loss of 350 on Mar 21 and replaced on Apr 1; held Jan 13 to
        // Mar 21: 68 days.
        chain: the replacement sold at a loss in its window ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, A|B|XYZ|100|2000-03-11|-800, A|S|XYZ|100|2000-03-21|750, A|B|XYZ|100|2000-04-01|-760 ;  ; A|100|2000-01-03|2000-03-01|1000|700|300|A, A|100|2000-01-13|2000-03-21|1100|750|350|A ; 2 0 100 300 58, 4 0 100 350 68
        // Names compare with case and the blanks around them aside.
        replacement in another account, spelt another way ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, Z|B| xyz|100|2000-03-11|-800, Z|S|Xyz |100|2000-12-01|900 ;  ; A|100|2000-01-03|2000-03-01|1000|700|300|A, Z|100|2000-01-13|2000-12-01|1100|900|0|A ; 2 0 100 300 58
        other accounts left out ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, Z|B|XYZ|100|2000-03-11|-800, Z|S|XYZ|100|2000-12-01|900 ; A:other=no ; A|100|2000-01-03|2000-03-01|1000|700|0|A, Z|100|2000-03-11|2000-12-01|800|900|0|A
        // Sold Dec 20, 1999 after 49 days; bought back Jan 10, 2000.
        across the year end ; A|B|XYZ|100|1999-11-01|-1000, A|S|XYZ|100|1999-12-20|700, A|B|XYZ|100|2000-01-10|-800, A|S|XYZ|100|2000-06-01|1000 ;  ; A|100|1999-11-01|1999-12-20|1000|700|300|A, A|100|1999-11-22|2000-06-01|1100|1000|0|A ; 2 0 100 300 49
        // Held 422 days: the replacement sold three months after its buy is
        // long term.
        replacement takes the long holding period ; A|B|XYZ|100|1999-01-04|-1000, A|S|XYZ|100|2000-03-01|700, A|B|XYZ|100|2000-03-11|-800, A|S|XYZ|100|2000-06-01|1000 ;  ; A|100|1999-01-04|2000-03-01|1000|700|300|D, A|100|1999-01-14|2000-06-01|1100|1000|0|D ; 2 0 100 300 422
        detection off gives the gains as they were ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, A|B|XYZ|100|2000-03-11|-800, A|S|XYZ|100|2000-12-01|900 ; A:detect=off ; A|100|2000-01-03|2000-03-01|1000|700|0|A, A|100|2000-03-11|2000-12-01|800|900|0|A
        IRA replacement disallows for good, adjusts nothing ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, I|B|XYZ|100|2000-03-11|-800, I|S|XYZ|100|2000-12-01|900 ; I:ira=yes ; A|100|2000-01-03|2000-03-01|1000|700|300|A, I|100|2000-03-11|2000-12-01|800|900|0|A ; 2 0 100 300 58 permanent
        // Publication 550, "loss and gain on the same day": 300 shares in
        // three lots sold for 37,500 (12,500 a lot), 250 bought back 18 days
        // later. Only the first lot lost (15,800 - 12,500 = 3,300); its 100
        // shares meet the first 100 bought back, and the gains of the other
        // lots stay gains: 37,500 - 35,300 + 3,300 = 5,500.
        Pub 550 same day: a loss lot is washed on its own ; A|B|XYZ|100|1999-09-01|-15800, A|B|XYZ|100|1999-10-01|-10000, A|B|XYZ|100|1999-11-01|-9500, A|S|XYZ|300|2000-01-10|37500, A|B|XYZ|250|2000-01-28|-31000 ;  ; A|300|1999-09-01|2000-01-10|35300|37500|3300|A ; 4 0 100 3300 131
        // 1.1091-1(a): a lot lost 2,300 (5,000 for 2,700) and one gained 700
        // (2,000 for 2,700) in one sale; 100 bought back 9 days later meet
        // the loss lot: W 2,300, gain -1,600 + 2,300 = +700.
        1.1091-1(a) net loss sale: the loss lot's whole loss ; A|B|XYZ|100|1999-11-01|-5000, A|B|XYZ|100|1999-12-01|-2000, A|S|XYZ|200|2000-02-01|5400, A|B|XYZ|100|2000-02-10|-2600 ;  ; A|200|1999-11-01|2000-02-01|7000|5400|2300|A ; 3 0 100 2300 92
        // 1.1091-1(c), 1.1223-1(d): two short lots lost 300 each, held 352
        // and 31 days; the 200 bought back meet them in the order they were
        // acquired and each run takes its own lot's days. Sold on Apr 1: the
        // first 100 (from Mar 11 less 352 days, Mar 25, 1999) are long
        // term, the next 100 (from Feb 9) short.
        1.1091-1(c) each replacement takes its own lot's holding period ; A|B|XYZ|100|1999-03-15|-1000, A|B|XYZ|100|2000-01-30|-1000, A|S|XYZ|200|2000-03-01|1400, A|B|XYZ|200|2000-03-11|-1600, A|S|XYZ|200|2000-04-01|2000 ;  ; A|200|1999-03-15|2000-03-01|2000|1400|600|A, A|100|1999-03-25|2000-04-01|1100|1000|0|D, A|100|2000-02-09|2000-04-01|1100|1000|0|A ; 3 0 100 300 352, 3 100 100 300 31
        // Instruments by their whole name: a put and a call of one expiry,
        // two strikes, two classes of a fund without a ticker are each
        // matched to their own buy, the older other one left alone.
        // A short covered at a loss of 1,000 on Apr 3 and shares bought
        // Apr 10; account Z, processed after, reads A's short back.
        1.1091-1(g): a buy does not wash a short's loss ; A|SO|XYZ|100|2000-03-01|4000, A|BC|XYZ|100|2000-04-03|-5000, A|B|XYZ|100|2000-04-10|-4500, Z|B|ABC|10|2000-01-05|-50, Z|S|ABC|10|2000-03-01|60 ;  ; Z|10|2000-01-05|2000-03-01|50|60|0|A, A|100|2000-04-03|2000-04-03|5000|4000|0|A
        // 1.1233-1(c)(3): IBM held since 01/03/2023, over a year on the
        // short of 03/03/2025; covered 04/01 for 22,000 against 20,000: a
        // long-term loss of 2,000 (D). The short of 05/01 covered at a gain
        // of 1,000 stays short term (A); the long lot is untouched. Account
        // Z held no IBM: its like short loses 2,000 short term (A).
        26 CFR 1.1233-1(c)(3): held over a year, a short's loss is long term, its gain short ; A|B|IBM|100|2023-01-03|-15000, A|SO|IBM|100|2025-03-03|20000, A|BC|IBM|100|2025-04-01|-22000, A|SO|IBM|100|2025-05-01|21000, A|BC|IBM|100|2025-05-15|-20000, Z|SO|IBM|100|2025-03-03|20000, Z|BC|IBM|100|2025-04-02|-22000 ;  ; A|100|2025-04-01|2025-04-01|22000|20000|0|D, Z|100|2025-04-02|2025-04-02|22000|20000|0|A, A|100|2025-05-15|2025-05-15|20000|21000|0|A ;  ;  ; A|IBM|100|15000.00|2023-01-03
        // The long shares sold 02/03, before the short: nothing held that
        // day, the 2,000 loss is short term (A).
        26 CFR 1.1233-1(c)(3): shares sold before the short day do not count ; A|B|IBM|100|2023-01-03|-15000, A|S|IBM|100|2025-02-03|19000, A|SO|IBM|100|2025-03-03|20000, A|BC|IBM|100|2025-04-01|-22000 ;  ; A|100|2023-01-03|2025-02-03|15000|19000|0|D, A|100|2025-04-01|2025-04-01|22000|20000|0|A
        // 1.1233-1(c)(2): AMD bought 05/01/2025, held 32 days on the short
        // of 06/02, closed 07/01: the 100 long shares are held from 07/01
        // (61 days on), so their sale of 06/15/2026 is short term (A),
        // 13,000 - 10,000. The short's gain of 500 is short term.
        26 CFR 1.1233-1(c)(2): a short against shares held a year or less starts their holding period at its close ; A|B|AMD|100|2025-05-01|-10000, A|SO|AMD|100|2025-06-02|11000, A|BC|AMD|100|2025-07-01|-10500, A|S|AMD|100|2026-06-15|13000 ;  ; A|100|2025-07-01|2025-07-01|10500|11000|0|A, A|100|2025-07-01|2026-06-15|10000|13000|0|A ; 0 0 100 0 -61
        // Only as many shares as the short sold, oldest first: 100 of the
        // 150 bought 05/01 (cost 100/150 of 15,000) are held from 07/01, the
        // other 50 keep 05/01; 20 bought 06/20, while the short was open,
        // exceed its quantity and keep their own day.
        26 CFR 1.1233-1(c)(2): reset up to the quantity sold short ; A|B|AMD|150|2025-05-01|-15000, A|SO|AMD|100|2025-06-02|11000, A|BO|AMD|20|2025-06-20|-2000, A|BC|AMD|100|2025-07-01|-10500 ;  ; A|100|2025-07-01|2025-07-01|10500|11000|0|A ; 0 0 100 0 -61 ;  ; A|AMD|50|5000.00|2025-05-01, A|AMD|20|2000.00|2025-06-20, A|AMD|100|10000.00|2025-07-01
        put and call of one expiry ; A|B|AAPL  250117P00200000|1|2025-01-02|-500, A|B|AAPL  250117C00200000|1|2025-01-03|-300, A|S|AAPL  250117C00200000|1|2025-01-10|400 ;  ; A|1|2025-01-03|2025-01-10|300|400|0|A
        two strikes ; A|B|XYZ   250321C00050000|2|2025-02-03|-1000, A|B|XYZ   250321C00060000|2|2025-02-04|-400, A|S|XYZ   250321C00060000|2|2025-02-20|600 ;  ; A|2|2025-02-04|2025-02-20|400|600|0|A
        two funds without a ticker ; A|B|VANGUARD 500 INDEX ADMIRAL|100|2025-01-06|-8000, A|B|VANGUARD 500 INDEX INVESTOR|100|2025-02-03|-4000, A|S|VANGUARD 500 INDEX INVESTOR|100|2025-03-03|4200 ;  ; A|100|2025-02-03|2025-03-03|4000|4200|0|A
        // An old page cut the name to 12 characters: the cut name is the
        // long one's.
        a name cut at 12 characters matches its long form ; A|B|VANGUARD 500|100|2025-01-06|-4000, A|S|VANGUARD 500 INDEX INVESTOR|100|2025-03-03|4200 ;  ; A|100|2025-01-06|2025-03-03|4000|4200|0|A
        // Quantities are exact: the long-term lots of 0.1 and 0.2 shares
        // make a record of 0.3 (120 x 0.3 / 0.8 = 45 of the proceeds), the
        // short-term lot the other 0.5.
        0.1 + 0.2 shares sold as 0.3 ; A|B|XYZ|0.1|1998-06-01|-10, A|B|XYZ|0.2|1998-07-01|-20, A|B|XYZ|0.5|1999-12-01|-50, A|S|XYZ|0.8|2000-02-01|120 ;  ; A|0.3|1998-06-01|2000-02-01|30|45|0|D, A|0.5|1999-12-01|2000-02-01|50|75|0|A
        // A buys 100; B's sell of 60 holds 60 of them by hand. B's own run
        // reopens the 40 left: its sale of 100 finds 40 (cost 400), not the
        // buy's whole cost a second time.
        a buy held by another account's hand link keeps one owner ; A|B|XYZ|100|2000-01-03|-1000, B|S|XYZ|60|2000-02-01|900, A|S|XYZ|100|2000-03-01|1500 ;  ; B|60|2000-01-03|2000-02-01|600|900|0|A, A|100|2000-01-03|2000-03-01|400|1500|0|A ;  ; 1>0:60
        // An IRA's gains are taxed when distributed, not when its shares
        // are sold (Publication 590-B): its loss is written, never reported.
        an IRA's own loss: written, not on Form 8949 ; I|B|XYZ|100|2000-01-03|-1000, I|S|XYZ|100|2000-03-01|700, I|B|XYZ|100|2000-03-11|-800 ; I:ira=yes ; I|100|2000-01-03|2000-03-01|1000|700|0|A
        // 26 CFR 1.1091-1(a): shares acquired within 30 days after the sale
        // replace the loss wherever they are bought and whenever they are
        // entered; the capture works the loss through with no run of A.
        replacement captured into another account after the run ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, later:Z|B|XYZ|100|2000-03-11|-800 ;  ; A|100|2000-01-03|2000-03-01|1000|700|300|A ; 2 0 100 300 58
        // Digital assets. Section 1091 covers "stock or securities" (26 CFR
        // 1.1091-1(a)); a coin is property, so its loss stands and the coin
        // bought back keeps its own cost and date. From 2025 a digital
        // asset's sale goes in box G-L (Form 8949 instructions, 2025): G/H/I
        // short term, J/K/L long term, by basis reported / not / no 1099-DA.
        // Held Jan 6 to Mar 3, 2025: 56 days.
        1.1091-1(a): coin loss of 10000, bought back 7 days later, stands (box G) ; X|B|BTC|1|2025-01-06|-72000, X|S|BTC|1|2025-03-03|62000, X|B|BTC|1|2025-03-10|-62000, X|S|BTC|1|2025-12-01|70000 ;  ; X|1|2025-01-06|2025-03-03|72000|62000|0|G, X|1|2025-03-10|2025-12-01|62000|70000|0|G
        // With the rule applied to coins, 1.1091-2(a): the new coin costs
        // 62000 + 10000 and counts as held from Mar 10 less 56 days.
        1.1091-2(a) by the setting: the coin's loss washed ; X|B|BTC|1|2025-01-06|-72000, X|S|BTC|1|2025-03-03|62000, X|B|BTC|1|2025-03-10|-62000, X|S|BTC|1|2025-12-01|70000 ; X:washdigital=on ; X|1|2025-01-06|2025-03-03|72000|62000|10000|G, X|1|2025-01-13|2025-12-01|72000|70000|0|G ; 2 0 1 10000 56
        1.1091-1(a): stock and coin in one account, only the stock washed ; Y|B|XYZ|100|2025-01-06|-1000, Y|S|XYZ|100|2025-03-03|700, Y|B|XYZ|100|2025-03-10|-800, Y|B|ETH|2|2025-01-06|-8000, Y|S|ETH|2|2025-03-04|6000, Y|B|ETH|2|2025-03-11|-5000 ;  ; Y|100|2025-01-06|2025-03-03|1000|700|300|A, Y|2|2025-01-06|2025-03-04|8000|6000|0|G ; 2 0 100 300 56
        Form 8949 (2024): a coin sold in 2024 keeps box A, and no wash sale ; Z|B|BTC|1|2024-01-08|-40000, Z|S|BTC|1|2024-03-04|38000, Z|B|BTC|1|2024-03-11|-39000 ;  ; Z|1|2024-01-08|2024-03-04|40000|38000|0|A
        Form 8949 (2025): long-term coin, basis not reported: box K ; K|B|ETH|2|2023-05-01|-3000, K|S|ETH|2|2025-06-02|7000 ; K:basis=no ; K|2|2023-05-01|2025-06-02|3000|7000|0|K
        // An exchange account: a token off the list is digital there. The
        // sale takes both lots, so it is two records, 75 of proceeds each.
        Form 8949 (2025): an exchange, no 1099-DA: boxes L and I ; L|B|ABCX|5|2023-01-03|-50, L|B|ABCX|5|2025-01-02|-60, L|S|ABCX|10|2025-02-03|150 ; L:assets=digital, L:basis=none ; L|5|2023-01-03|2025-02-03|50|75|0|L, L|5|2025-01-02|2025-02-03|60|75|0|I
        // A fund whose ticker is a coin's is a security: 1.1091-1(a) washes
        // its loss of 100 in full, box A.
        1.1091-1(a): an account of securities only, BTC a fund's ticker ; F|B|BTC|10|2025-01-06|-500, F|S|BTC|10|2025-03-03|400, F|B|BTC|10|2025-03-10|-450 ; F:assets=securities ; F|10|2025-01-06|2025-03-03|500|400|100|A ; 2 0 10 100 56
        // A 2:1 split between the sale and the replacement, or between the
        // buy and the sale: sold and replacement shares are counted alike.
        replacement bought after a split ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, A|B|XYZ|200|2000-03-11|-800, A|S|XYZ|200|2000-12-01|900 ; XYZ:split=2000-03-05 ; A|100|2000-01-03|2000-03-01|1000|700|300|A, A|200|2000-01-13|2000-12-01|1100|900|0|A ; 2 0 200 300 58
        sold after a split, half replaced ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|200|2000-03-01|700, A|B|XYZ|100|2000-03-11|-400 ; XYZ:split=2000-02-01 ; A|200|2000-01-03|2000-03-01|1000|700|150|A ; 2 0 100 150 58
        1.1091-1(a): a symbol set digital is not washed (box G) ; M|B|NEWC|100|2025-01-06|-1000, M|S|NEWC|100|2025-03-03|700, M|B|NEWC|100|2025-03-10|-800 ; NEWC:kind=digital ; M|100|2025-01-06|2025-03-03|1000|700|0|G
        // Transfers between wallets of one owner are no sale (Pub. 550, Holding
        // Period): the coin keeps its cost and date. Bought Jan 10, 2024,
        // sent Feb 1, 2025, 0.0005 paid to the network, the rest sold
        // Mar 1, 2025 from the exchange: held over a year, box J; the fee
        // coins cost stays in the coins that arrived (Pub. 551, cost basis).
        Pub. 550 Holding Period: a coin moved between wallets sold long term ; W|B|BTC|1|2024-01-10|-40000, W|T|BTC|1|2025-02-01|0, E|R|BTC|0.9995|2025-02-03|0, E|S|BTC|0.9995|2025-03-01|90000 ;  ; E|0.9995|2024-01-10|2025-03-01|40000|90000|0|J
        // Basis per wallet (Rev. Proc. 2024-28, 1.1012-1(j)): 3 of 4 ETH sent,
        // oldest first: the March lot (2 for 6000) and 1 of the 2 of June
        // (4000 of 8000). Sold Mar 14, 2025 for 12000 on the exchange: 2 held
        // over a year (8000 of the proceeds, box J), 1 not (4000, box G);
        // the last ETH of the wallet costs the other 4000.
        1.1012-1(j): a partial lot moved, the rest stays in its wallet ; W|B|ETH|2|2024-03-01|-6000, W|B|ETH|2|2024-06-03|-8000, W|T|ETH|3|2025-01-15|0, E|R|ETH|3|2025-01-16|0, E|S|ETH|3|2025-03-14|12000, W|S|ETH|1|2025-04-01|5000 ;  ; E|2|2024-03-01|2025-03-14|6000|8000|0|J, E|1|2024-06-03|2025-03-14|4000|4000|0|G, W|1|2024-06-03|2025-04-01|4000|5000|0|G
        // A receive 32 days after the send is no transfer the run links:
        // bought at a cost and date not known yet, never a cost of 0.
        Pub. 551: a receive without its send, of unknown cost ; W|B|SOL|10|2024-05-01|-1000, W|T|SOL|10|2025-01-02|0, E|R|SOL|10|2025-02-03|0, E|S|SOL|10|2025-03-03|1500 ;  ; E|10||2025-03-03|0|1500|0|
        // Options. A call is an option to acquire (1.1091-1(a)): one
        // contract bought 7 days after a loss of 1,000 on 100 shares held 56
        // days takes the whole loss; it costs 250 + 1,000 and counts from
        // Mar 10 less 56 days. Sold for 400: a loss of 850.
        1.1091-1(a) Pub. 550 Wash Sales: a call bought 7 days after a stock loss, 100 shares a contract ; A|B|XYZ|100|2025-01-06|-5000, A|S|XYZ|100|2025-03-03|4000, A|B|XYZ  250620C00050000|1|2025-03-10|-250, A|S|XYZ  250620C00050000|1|2025-05-01|400 ;  ; A|100|2025-01-06|2025-03-03|5000|4000|1000|A, A|1|2025-01-13|2025-05-01|1250|400|0|A ; 2 0 1 1000 56
        Pub. 550 Wash Sales: a put sold at a loss, the call of its expiry no replacement ; A|B|XYZ  250620P00050000|1|2025-02-03|-500, A|S|XYZ  250620P00050000|1|2025-03-03|200, A|B|XYZ  250620C00050000|1|2025-03-05|-300 ;  ; A|1|2025-02-03|2025-03-03|500|200|0|A
        // Held Feb 3 to Mar 3: 28 days; a loss of 300.
        1.1091-1(a) by the setting: another strike replaces a call ; A|B|XYZ  250620C00050000|1|2025-02-03|-500, A|S|XYZ  250620C00050000|1|2025-03-03|200, A|B|XYZ  250620C00060000|1|2025-03-05|-300 ; A:washoptions=on ; A|1|2025-02-03|2025-03-03|500|200|300|A ; 2 0 1 300 28
        // 26 USC 1091(d), 1223(3) and Pub. 550 Options: the shares bought
        // on exercising the call that replaced a loss of 1,000 (held Jan 2
        // to Mar 3: 60 days) cost 4,000 + 300 premium + 1,000 and count
        // from Apr 15 less 60 days; the call's own days do not count.
        1.1091-1(a) 1091(d) Pub. 550 Options: a call exercised hands its wash adjustment to the shares ; A|B|XYZ|100|2025-01-02|-5000, A|S|XYZ|100|2025-03-03|4000, A|BO|XYZ  250620C00040000|1|2025-03-10|-300, A|X|XYZ  250620C00040000|1|2025-04-15|0, A|B|XYZ|100|2025-04-15|-4000, A|S|XYZ|100|2025-05-20|5500 ;  ; A|100|2025-01-02|2025-03-03|5000|4000|1000|A, A|100|2025-02-14|2025-05-20|5300|5500|0|A ; 4 0 100 1000 60
        // 200 shares lost 2,000; the call bought 03/10 and the 100 shares
        // its exercise brought in 03/20 are one acquisition: 100 of 200
        // shares replaced, 1,000 disallowed, not 2,000.
        1.1091-1(a) one acquisition: a call exercised in the window replaces once ; A|B|XYZ|200|2025-01-02|-10000, A|S|XYZ|200|2025-03-03|8000, A|B|XYZ  250620C00040000|1|2025-03-10|-300, A|X|XYZ  250620C00040000|1|2025-03-20|0, A|B|XYZ|100|2025-03-20|-4000, A|S|XYZ|100|2025-05-20|5500 ;  ; A|200|2025-01-02|2025-03-03|10000|8000|1000|A, A|100|2025-01-19|2025-05-20|5300|5500|0|A ; 4 0 100 1000 60
        // A put written 7 days after the loss stands for 100 shares; bought
        // back for 100, the position costs 100 + 1,000 against its premium
        // of 250, short term from the day it closed (Pub. 550 Options).
        1.1091-1(a) Pub. 550 Options: a put written replaces the stock, its buy-back costs the loss more ; A|B|XYZ|100|2025-01-02|-5000, A|S|XYZ|100|2025-03-03|4000, A|SO|XYZ  250620P00040000|1|2025-03-10|250, A|BC|XYZ  250620P00040000|1|2025-04-10|-100 ;  ; A|100|2025-01-02|2025-03-03|5000|4000|1000|A, A|1|2025-04-10|2025-04-10|1100|250|0|A ; 2 0 1 1000 60
        // Assigned: the shares cost 4,000 - 250 premium + 1,000 and count
        // from Apr 15 less 60 days (1091(d), 1223(3)).
        1.1091-1(a) 1091(d) Pub. 550 Options: a put written and assigned hands the loss to the shares ; A|B|XYZ|100|2025-01-02|-5000, A|S|XYZ|100|2025-03-03|4000, A|SO|XYZ  250620P00040000|1|2025-03-10|250, A|A|XYZ  250620P00040000|1|2025-04-15|0, A|B|XYZ|100|2025-04-15|-4000, A|S|XYZ|100|2025-05-20|5500 ;  ; A|100|2025-01-02|2025-03-03|5000|4000|1000|A, A|100|2025-02-14|2025-05-20|4750|5500|0|A ; 4 0 100 1000 60
        // Pub. 550 Stock Splits: the basis of the old shares is spread over
        // the new, the holding period kept. 100 XYZ for 1000 sent and split
        // 2:1 in the receiving account (or before the send): 150 of the 200
        // sold cost 750, long term; 50 for 250 stay open there, none in W.
        Pub. 550 Stock Splits: split after the send, before the sale ; W|B|XYZ|100|2024-01-10|-1000, W|T|XYZ|100|2025-02-03|0, E|R|XYZ|100|2025-02-04|0, E|S|XYZ|150|2025-04-01|3000 ; XYZ:split=2025-03-03 ; E|150|2024-01-10|2025-04-01|750|3000|0|D ;  ;  ; E|XYZ|50|250.00|2024-01-10
        Pub. 550 Stock Splits: split in the sender before the send ; W|B|XYZ|100|2024-01-10|-1000, W|T|XYZ|200|2025-02-03|0, E|R|XYZ|200|2025-02-04|0, E|S|XYZ|150|2025-04-01|3000 ; XYZ:split=2024-06-03 ; E|150|2024-01-10|2025-04-01|750|3000|0|D ;  ;  ; E|XYZ|50|250.00|2024-01-10
        // Rev. Proc. 2024-28, Pub. 550 Holding Period: 1 of 2 BTC (80000)
        // sent to E and back, 0.0005 to the network each way; the 1.999 W
        // sells are the one buy of Jan 10, 2024 at its whole 80000, box J.
        Rev. Proc. 2024-28: a coin sent away and back keeps date and cost ; W|B|BTC|2|2024-01-10|-80000, W|T|BTC|1|2025-02-03|0, E|R|BTC|0.9995|2025-02-04|0, E|T|BTC|0.9995|2025-03-03|0, W|R|BTC|0.999|2025-03-04|0, W|S|BTC|1.999|2025-06-02|190000 ; W:process=again ; W|1.999|2024-01-10|2025-06-02|80000|190000|0|J
        // Pub. 550 Holding Period: 0.5 of the 1 ETH (3000) moved is sold
        // short term at 1500 of cost; the other 0.5 stays open in E at
        // 1500, dated as bought, and only from the day it arrived.
        Rev. Proc. 2024-28: the moved lot's rest is open where it arrived ; W|B|ETH|1|2025-01-06|-3000, W|T|ETH|1|2025-02-03|0, E|R|ETH|1|2025-02-05|0, E|S|ETH|0.5|2025-03-03|2000 ;  ; E|0.5|2025-01-06|2025-03-03|1500|2000|0|G ;  ;  ; E|ETH|0.5|1500.00|2025-01-06
        Rev. Proc. 2024-28: before its sale the whole moved lot is open ; W|B|ETH|1|2025-01-06|-3000, W|T|ETH|1|2025-02-03|0, E|R|ETH|1|2025-02-05|0, E|S|ETH|0.5|2025-03-03|2000 ;  ; E|0.5|2025-01-06|2025-03-03|1500|2000|0|G ;  ;  ; on:2025-02-20, E|ETH|1|3000.00|2025-01-06
        // Pub. 550 Average Basis: 100 fund shares at 10 moved in, 100
        // bought there at 30: 200 at 20 each; 50 sold at 25 cost 1000, long
        // term by the moved shares' date; the 150 left cost 20 each.
        Pub. 550 Average Basis: a moved lot joins its fund's average ; W|B|FUND|100|2024-01-10|-1000, W|T|FUND|100|2025-02-03|0, E|R|FUND|100|2025-02-04|0, E|B|FUND|100|2025-03-03|-3000, E|S|FUND|50|2025-04-01|1250 ; E:method=average ; E|50|2024-01-10|2025-04-01|1000|1250|0|D ;  ;  ; E|FUND|50|1000.00|2024-01-10, E|FUND|100|2000.00|2025-03-03
        // 26 CFR 1.1091-2: the loss of 1000 on shares held 60 days goes
        // onto the 100 bought back 03/10 (4500 + 1000, dated 60 days
        // earlier), and they keep it when sent to another account: 40 sold
        // there cost 2200, the 60 left 3300.
        26 CFR 1.1091-2: a washed lot moved keeps its adjustment ; W|B|XYZ|100|2025-01-02|-5000, W|S|XYZ|100|2025-03-03|4000, W|B|XYZ|100|2025-03-10|-4500, W|T|XYZ|100|2025-04-01|0, E|R|XYZ|100|2025-04-02|0, E|S|XYZ|40|2025-05-01|2400 ;  ; W|100|2025-01-02|2025-03-03|5000|4000|1000|A, E|40|2025-01-09|2025-05-01|2200|2400|0|A ; 2 0 100 1000 60 ;  ; E|XYZ|60|3300.00|2025-01-09
        // Half the first buy lost 500 (60 days held), washed by 50 of the
        // 100 bought 03/10 (1.1091-1(d), its first shares); the send takes
        // the first buy's 50 left and 50 of the second, oldest first: the
        // moved 50 are the washed ones (2250 + 500, dated 01/09), W keeps
        // 50 at 2250 of 03/10.
        26 CFR 1.1091-2: half of a washed buy moved, with the adjusted shares ; W|B|XYZ|100|2025-01-02|-5000, W|S|XYZ|50|2025-03-03|2000, W|B|XYZ|100|2025-03-10|-4500, W|T|XYZ|100|2025-04-01|0, E|R|XYZ|100|2025-04-02|0, E|S|XYZ|10|2025-05-01|500 ;  ; W|50|2025-01-02|2025-03-03|2500|2000|500|A, E|10|2025-01-02|2025-05-01|500|500|0|A ; 2 0 50 500 60 ;  ; W|XYZ|50|2250.00|2025-03-10, E|XYZ|40|2000.00|2025-01-02, E|XYZ|50|2750.00|2025-01-09
        )");
    }

    void worked() {
        QFETCH(TableRow, row);
        const QStringList trades = row.list(0);
        const QStringList settings = row.list(1);
        const QStringList records = row.list(2);
        const QStringList adjustments = row.list(3);
        const QStringList handLinks = row.list(4);
        QStringList openLotsLeft = row.list(5);
        const QDate lotsOn = openLotsLeft.value(0).startsWith("on:")
                                 ? QDate::fromString(openLotsLeft.takeFirst().mid(3), Qt::ISODate)
                                 : QDate(2099, 12, 31);

        TestDatabase db;
        QStringList accounts;
        QStringList early;
        for (const QString& row : trades) {
            if (!row.startsWith(kLater))
                early << row;
        }
        QVector<qint64> ids = addTrades(db, early, accounts);
        applySettings(db, settings);
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        for (const QString& link : std::as_const(handLinks)) {
            const qint64 sell = ids[link.section(u'>', 0, 0).toInt()];
            const QString account = selectTxnById(db.connection(), sell)->accountName;
            QVector<BuyChoice> choices{{ids[link.section(u'>', 1).section(u':', 0, 0).toInt()],
                                        link.section(u':', 1).toDouble(),
                                        {},
                                        {}}};
            QVERIFY(BuySelection(db.connection(), account).Apply(sell, choices).done());
            session.setAccount(account);
            QVERIFY(session.SaveRecalculate().done());
            accounts.removeAll(account);
        }
        for (const QString& account : std::as_const(accounts)) {
            session.setAccount(account);
            QVERIFY(session.Process().done());
        }
        for (const QString& again : settings.filter(":process=again")) {
            session.setAccount(again.section(u':', 0, 0));
            QVERIFY(session.Process(unwatchedProgress(), Rerun::Replace).done());
        }
        // The later trades come last in the list, so each keeps its row.
        QVector<TxnRecord> captured;
        for (const QString& row : trades.mid(early.size())) {
            QVERIFY(row.startsWith(kLater));
            captured.append(tradeOf(row.mid(kLater.size())));
        }
        if (!captured.isEmpty()) {
            QVERIFY(writeCapturedRows(db.connection(), captured).done());
            QSqlQuery added =
                runQuery(db.connection(), "SELECT ID FROM Txn WHERE ID > ? ORDER BY ID",
                         {ids.isEmpty() ? 0 : ids.last()});
            while (added.next())
                ids.append(added.value(0).toLongLong());
        }
        QCOMPARE(describeRecords(db), records);
        QCOMPARE(describeAdjustments(db, ids), adjustments);
        // No account was processed before a trade of its own was captured.
        QCOMPARE(processAgainLine(db.connection()), QString());

        // Form 8949, and so the report and the TXF file, takes the records
        // of every account but the tax-advantaged ones.
        QStringList reported;
        for (const QString& record : records) {
            if (!settings.contains(record.section(u'|', 0, 0) + ":ira=yes"))
                reported << record;
        }
        QCOMPARE(describeRecords(db, Reportable::Only), reported);

        // Processing the first account again moves what it moved before:
        // no other account is to be processed again for it.
        if (!accounts.isEmpty() && captured.isEmpty()) {
            session.setAccount(accounts.first());
            QVERIFY(session.Process(unwatchedProgress(), Rerun::Replace).done());
            QCOMPARE(processAgainLine(db.connection()), QString());
        }
        QStringList open;
        for (const QString& account : std::as_const(accounts)) {
            for (const OpenLot& lot : openLots(db.connection(), account, lotsOn))
                open << QStringLiteral("%1|%2|%3|%4|%5")
                            .arg(account, lot.symbol, lot.shares.text(), formatPlain(lot.cost),
                                 isoDate(lot.acquired));
        }
        if (row.fields.size() > 5)
            QCOMPARE(open, openLotsLeft);

        // Save/Recalculate of every account comes to the same figures.
        for (const QString& account : std::as_const(accounts)) {
            session.setAccount(account);
            QVERIFY(session.SaveRecalculate().done());
        }
        QCOMPARE(describeRecords(db), records);
        QCOMPARE(describeAdjustments(db, ids), adjustments);
    }

    // Deleting the loss's tax records (and links) or its sell, or detaching
    // its lot, takes its adjustment off the replacement lot in the other
    // account at once.
    void deletedLossAdjustsNoMore_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("tax records of the account") << "tax";
        QTest::newRow("transactions of the account") << "txns";
        QTest::newRow("the loss's lot detached (Update)") << "detach";
    }
    void deletedLossAdjustsNoMore() {
        QFETCH(QString, change);
        TestDatabase db;
        QStringList accounts;
        const QVector<qint64> ids =
            addTrades(db,
                      {"A|B|XYZ|100|2000-01-03|-1000", "A|S|XYZ|100|2000-03-01|700",
                       "B|B|XYZ|100|2000-03-11|-800", "B|S|XYZ|100|2000-12-01|900"},
                      accounts);
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        for (const char* account : {"A", "B"}) {
            session.setAccount(account);
            QVERIFY(session.Process().done());
        }
        QCOMPARE(describeRecords(db).last(), QString("B|100|2000-01-13|2000-12-01|1100|900|0|A"));

        if (change == "detach") {
            session.setAccount("A");
            const Outcome detached = session.Update(QVector<LotKey>{LotKey{ids[1], ids[0]}});
            QCOMPARE(detached.count, 1);
        } else {
            const RecordView view = change == "tax" ? RecordView::Tax : RecordView::Transactions;
            QCOMPARE(DeleteList(db.connection(), view, OutlineSelection{0, "A", 1, "A"}),
                     QString());
        }
        QCOMPARE(describeRecords(db).last(), QString("B|100|2000-03-11|2000-12-01|800|900|0|A"));
        QVERIFY(selectLotAdjustments(db.connection()).isEmpty());
    }

    // The disallowed loss reaches the tax view, the report and the listing.
    void adjustmentShows() {
        TestDatabase db;
        QStringList accounts;
        addTrades(db,
                  {"A|B|XYZ|100|2000-01-03|-1000", "A|S|XYZ|100|2000-03-01|700",
                   "I|B|XYZ|40|2000-03-11|-320", "A|B|XYZ|60|2000-03-20|-480"},
                  accounts);
        setWashSettings(db.connection(), "I", {true, true, true});
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        session.setAccount("A");
        QVERIFY(session.Process().done());

        const TaxViewRecords view = FillGrid(db.connection(), "A", TaxYear{2000});
        QCOMPARE(view.records.size(), 1);
        const TaxReport report = buildTaxReport(view.records, TaxYear{2000});
        QCOMPARE((QStringList{TaxColumns().text(view.records[0], TaxGridCol::WashAdj),
                              TaxColumns().text(view.records[0], TaxGridCol::Gain),
                              view.totals.washText(), view.totals.gainText(),
                              report.groups[0].lines[0].code}),
                 (QStringList{"300.00", "0.00", "Wash sale loss disallowed 300.00",
                              "Total Gain/Loss .00", "W"}));
        QCOMPARE(report.groups[0].lines[0].amounts.adjustment, Money::fromCents(30000));

        QStringList listing;
        for (const WashListingRow& row : washListing(db.connection(), "A", TaxYear{2000}))
            listing << washListingFields(row).join(u'|');
        QCOMPARE(
            listing,
            (QStringList{"03/01/2000|XYZ|100|300.00|I|03/11/2000|40|120.00||" + permanentWashText(),
                         "03/01/2000|XYZ|100|300.00|A|03/20/2000|60|180.00|01/22/2000|"}));
        QVERIFY(washListing(db.connection(), "A", TaxYear{2001}).isEmpty());
    }
};

GAINBOOK_GUILESS_TEST(TestWashSales)
#include "test_wash_sales.moc"
