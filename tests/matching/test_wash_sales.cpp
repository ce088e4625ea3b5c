#include "main_window/delete_list.h"
#include "main_window/tax_view.h"
#include "matching/process_session.h"
#include "matching/wash_listing.h"
#include "matching/wash_sale_refresh.h"
#include "platform/date_text.h"
#include "platform/number_text.h"
#include "report/tax_report.h"
#include "store/account_settings_table.h"
#include "store/corp_action_table.h"
#include "store/lot_adjust_table.h"
#include "store/tax_table.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

// "A|B|XYZ|100|2000-01-03|-1000": account, B bought or S sold, symbol,
// quantity, date, amount. Returns the new IDs in order.
QVector<qint64> addTrades(TestDatabase& db, const QStringList& rows, QStringList& accounts) {
    QVector<qint64> ids;
    for (const QString& row : rows) {
        const QStringList f = row.split(u'|');
        Q_ASSERT(f.size() == 6);
        if (!accounts.contains(f[0]))
            accounts << f[0];
        ids.append(db.addTxn(f[0], QStringLiteral("All"), f[2], f[3].toDouble(),
                             f[1] == QLatin1String("B") ? kBought : kSold,
                             QDate::fromString(f[4], Qt::ISODate), f[5].toDouble()));
    }
    return ids;
}

// "A:detect=off", "A:other=no", "A:ira=yes"
void applySettings(TestDatabase& db, const QStringList& settings) {
    for (const QString& setting : settings) {
        const QString account = setting.section(u':', 0, 0);
        const QString key = setting.section(u':', 1).section(u'=', 0, 0);
        const bool on = setting.section(u'=', 1) == QLatin1String("yes") ||
                        setting.section(u'=', 1) == QLatin1String("on");
        WashSettings wash = selectWashSettings(db.connection(), account);
        if (key == QLatin1String("detect"))
            wash.detect = on;
        else if (key == QLatin1String("other"))
            wash.otherAccounts = on;
        else
            wash.taxAdvantaged = on;
        setWashSettings(db.connection(), account, wash);
    }
}

// Every tax record, by date sold, as "account|qty|acquired|sold|cost|proceeds|wash|box".
QStringList describeRecords(TestDatabase& db) {
    QStringList out;
    for (const TaxRecord& r :
         selectTaxRecsSold(db.connection(), QDate(1900, 1, 1), QDate(2100, 12, 31)))
        out << QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                   .arg(r.accountName, numberToText(r.quantity), isoDate(r.dateAcquired),
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
                   .arg(numberToText(a.firstShare), numberToText(a.shares),
                        numberToText(a.addedCost.toDouble()))
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
    // its date acquired moves back by the days the sold shares were held.
    void worked_data() {
        QTest::addColumn<QStringList>("trades");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QStringList>("adjustments");

        // Held Jan 3 to Mar 1, 2000: 58 days. Loss 1000 - 700 = 300.
        const QStringList loss{"A|B|XYZ|100|2000-01-03|-1000", "A|S|XYZ|100|2000-03-01|700"};
        const QString lossRecord = QStringLiteral("A|100|2000-01-03|2000-03-01|1000|700|%1|A");

        QTest::newRow("buy 10 days later; its sale carries cost and date")
            << (loss + QStringList{"A|B|XYZ|100|2000-03-11|-800", "A|S|XYZ|100|2000-12-01|900"})
            << QStringList{}
            << QStringList{lossRecord.arg(300), "A|100|2000-01-13|2000-12-01|1100|900|0|A"}
            << QStringList{"2 0 100 300 58"};
        QTest::newRow("buy 30 days later still counts")
            << (loss + QStringList{"A|B|XYZ|100|2000-03-31|-800"}) << QStringList{}
            << QStringList{lossRecord.arg(300)} << QStringList{"2 0 100 300 58"};
        QTest::newRow("buy 31 days later: no wash sale")
            << (loss + QStringList{"A|B|XYZ|100|2000-04-01|-800"}) << QStringList{}
            << QStringList{lossRecord.arg(0)} << QStringList{};
        QTest::newRow("a sale at a gain is never a wash sale")
            << QStringList{"A|B|XYZ|100|2000-01-03|-1000", "A|S|XYZ|100|2000-03-01|1200",
                           "A|B|XYZ|100|2000-03-11|-800"}
            << QStringList{} << QStringList{"A|100|2000-01-03|2000-03-01|1000|1200|0|A"}
            << QStringList{};
        QTest::newRow("partial replacement: 40 of 100 shares disallow 120")
            << (loss + QStringList{"A|B|XYZ|40|2000-03-11|-320"}) << QStringList{}
            << QStringList{lossRecord.arg(120)} << QStringList{"2 0 40 120 58"};
        // The sale closes the January lot; the February buy, 15 days
        // before it, replaces. Its own sale: cost 900 + 300, held from
        // Feb 15 less 58 days.
        QTest::newRow("replacement bought before the sale")
            << QStringList{"A|B|XYZ|100|2000-01-03|-1000", "A|B|XYZ|100|2000-02-15|-900",
                           "A|S|XYZ|100|2000-03-01|700", "A|S|XYZ|100|2000-06-01|1000"}
            << QStringList{}
            << QStringList{lossRecord.arg(300), "A|100|1999-12-19|2000-06-01|1200|1000|0|A"}
            << QStringList{"1 0 100 300 58"};
        // Losses of 100 (Mar 1) and 150 (Mar 6); the one 50-share lot goes
        // to the earlier sale.
        QTest::newRow("two losses compete for one lot")
            << QStringList{"A|B|XYZ|100|2000-01-03|-1000", "A|S|XYZ|50|2000-03-01|400",
                           "A|S|XYZ|50|2000-03-06|350", "A|B|XYZ|50|2000-03-11|-400"}
            << QStringList{}
            << QStringList{"A|50|2000-01-03|2000-03-01|500|400|100|A",
                           "A|50|2000-01-03|2000-03-06|500|350|0|A"}
            << QStringList{"3 0 50 100 58"};
        // The replacement (cost 800 + 300, held from Jan 13) is sold at a
        // loss of 350 on Mar 21 and replaced on Apr 1; held Jan 13 to
        // Mar 21: 68 days.
        QTest::newRow("chain: the replacement sold at a loss in its window")
            << (loss + QStringList{"A|B|XYZ|100|2000-03-11|-800", "A|S|XYZ|100|2000-03-21|750",
                                   "A|B|XYZ|100|2000-04-01|-760"})
            << QStringList{}
            << QStringList{lossRecord.arg(300), "A|100|2000-01-13|2000-03-21|1100|750|350|A"}
            << QStringList{"2 0 100 300 58", "4 0 100 350 68"};
        QTest::newRow("replacement in another account")
            << (loss + QStringList{"Z|B|XYZ|100|2000-03-11|-800", "Z|S|XYZ|100|2000-12-01|900"})
            << QStringList{}
            << QStringList{lossRecord.arg(300), "Z|100|2000-01-13|2000-12-01|1100|900|0|A"}
            << QStringList{"2 0 100 300 58"};
        QTest::newRow("other accounts left out")
            << (loss + QStringList{"Z|B|XYZ|100|2000-03-11|-800", "Z|S|XYZ|100|2000-12-01|900"})
            << QStringList{"A:other=no"}
            << QStringList{lossRecord.arg(0), "Z|100|2000-03-11|2000-12-01|800|900|0|A"}
            << QStringList{};
        // Sold Dec 20, 1999 after 49 days; bought back Jan 10, 2000.
        QTest::newRow("across the year end")
            << QStringList{"A|B|XYZ|100|1999-11-01|-1000", "A|S|XYZ|100|1999-12-20|700",
                           "A|B|XYZ|100|2000-01-10|-800", "A|S|XYZ|100|2000-06-01|1000"}
            << QStringList{}
            << QStringList{"A|100|1999-11-01|1999-12-20|1000|700|300|A",
                           "A|100|1999-11-22|2000-06-01|1100|1000|0|A"}
            << QStringList{"2 0 100 300 49"};
        // Held 422 days: the replacement sold three months after its buy is
        // long term.
        QTest::newRow("replacement takes the long holding period")
            << QStringList{"A|B|XYZ|100|1999-01-04|-1000", "A|S|XYZ|100|2000-03-01|700",
                           "A|B|XYZ|100|2000-03-11|-800", "A|S|XYZ|100|2000-06-01|1000"}
            << QStringList{}
            << QStringList{"A|100|1999-01-04|2000-03-01|1000|700|300|D",
                           "A|100|1999-01-14|2000-06-01|1100|1000|0|D"}
            << QStringList{"2 0 100 300 422"};
        QTest::newRow("detection off gives the gains as they were")
            << (loss + QStringList{"A|B|XYZ|100|2000-03-11|-800", "A|S|XYZ|100|2000-12-01|900"})
            << QStringList{"A:detect=off"}
            << QStringList{lossRecord.arg(0), "A|100|2000-03-11|2000-12-01|800|900|0|A"}
            << QStringList{};
        QTest::newRow("IRA replacement disallows for good, adjusts nothing")
            << (loss + QStringList{"I|B|XYZ|100|2000-03-11|-800", "I|S|XYZ|100|2000-12-01|900"})
            << QStringList{"I:ira=yes"}
            << QStringList{lossRecord.arg(300), "I|100|2000-03-11|2000-12-01|800|900|0|A"}
            << QStringList{"2 0 100 300 58 permanent"};
    }

    void worked() {
        QFETCH(QStringList, trades);
        QFETCH(QStringList, settings);
        QFETCH(QStringList, records);
        QFETCH(QStringList, adjustments);

        TestDatabase db;
        QStringList accounts;
        const QVector<qint64> ids = addTrades(db, trades, accounts);
        applySettings(db, settings);
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        for (const QString& account : std::as_const(accounts)) {
            session.setAccount(account);
            QVERIFY(session.Process().done());
        }
        QCOMPARE(describeRecords(db), records);
        QCOMPARE(describeAdjustments(db, ids), adjustments);

        // Save/Recalculate of every account comes to the same figures.
        for (const QString& account : std::as_const(accounts)) {
            session.setAccount(account);
            QVERIFY(session.SaveRecalculate().done());
        }
        QCOMPARE(describeRecords(db), records);
        QCOMPARE(describeAdjustments(db, ids), adjustments);
    }

    // Changing a setting after processing works the records through again,
    // both ways, and leaves a typed-in record alone.
    void settingChangeRewritesRecords() {
        TestDatabase db;
        QStringList accounts;
        addTrades(db,
                  {"A|B|XYZ|100|2000-01-03|-1000", "A|S|XYZ|100|2000-03-01|700",
                   "A|B|XYZ|100|2000-03-11|-800", "A|S|XYZ|100|2000-12-01|900"},
                  accounts);
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        session.setAccount("A");
        QVERIFY(session.Process().done());
        db.addTax("A", "XYZ", 5, QDate(2000, 1, 3), QDate(2000, 3, 2), 100, 40, "typed");
        const QStringList washed = describeRecords(db);
        QCOMPARE(washed.first(), QString("A|100|2000-01-03|2000-03-01|1000|700|300|A"));

        QVERIFY(changeWashSettings(db.connection(), "A", {false, true, false}).done());
        QCOMPARE(describeRecords(db), (QStringList{"A|100|2000-01-03|2000-03-01|1000|700|0|A",
                                                   "A|5|2000-01-03|2000-03-02|100|40|0|A",
                                                   "A|100|2000-03-11|2000-12-01|800|900|0|A"}));
        QVERIFY(selectLotAdjustments(db.connection()).isEmpty());

        QVERIFY(changeWashSettings(db.connection(), "A", {}).done());
        QCOMPARE(describeRecords(db), washed);
    }

    // A 2:1 split between the sale and the replacement, or between the buy
    // and the sale: sold and replacement shares are counted alike.
    void washAcrossSplit_data() {
        QTest::addColumn<QStringList>("trades");
        QTest::addColumn<QDate>("split");
        QTest::addColumn<QString>("lossRecord");
        QTest::addColumn<QStringList>("adjustments");
        QTest::newRow("replacement bought after the split")
            << QStringList{"A|B|XYZ|100|2000-01-03|-1000", "A|S|XYZ|100|2000-03-01|700",
                           "A|B|XYZ|200|2000-03-11|-800", "A|S|XYZ|200|2000-12-01|900"}
            << QDate(2000, 3, 5) << "A|100|2000-01-03|2000-03-01|1000|700|300|A"
            << QStringList{"2 0 200 300 58"};
        QTest::newRow("sold after the split, half replaced")
            << QStringList{"A|B|XYZ|100|2000-01-03|-1000", "A|S|XYZ|200|2000-03-01|700",
                           "A|B|XYZ|100|2000-03-11|-400"}
            << QDate(2000, 2, 1) << "A|200|2000-01-03|2000-03-01|1000|700|150|A"
            << QStringList{"2 0 100 150 58"};
    }
    void washAcrossSplit() {
        QFETCH(QStringList, trades);
        QFETCH(QDate, split);
        QFETCH(QString, lossRecord);
        QFETCH(QStringList, adjustments);
        TestDatabase db;
        QStringList accounts;
        const QVector<qint64> ids = addTrades(db, trades, accounts);
        CorpActionRecord action;
        action.symbol = "XYZ";
        action.effective = split;
        action.ratioNew = 2;
        insertCorpAction(db.connection(), action);
        RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        session.setAccount("A");
        QVERIFY(session.Process().done());
        QCOMPARE(describeRecords(db).first(), lossRecord);
        QCOMPARE(describeAdjustments(db, ids), adjustments);
    }

    // Deleting the loss's tax records (and links) or its sell takes its
    // adjustment off the replacement lot in the other account.
    void deletedLossAdjustsNoMore_data() {
        QTest::addColumn<bool>("taxView");
        QTest::newRow("tax records of the account") << true;
        QTest::newRow("transactions of the account") << false;
    }
    void deletedLossAdjustsNoMore() {
        QFETCH(bool, taxView);
        TestDatabase db;
        QStringList accounts;
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

        const RecordView view = taxView ? RecordView::Tax : RecordView::Transactions;
        QCOMPARE(DeleteList(db.connection(), view, OutlineSelection{0, "A", 1, "A"}), QString());
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
        const TaxColumns columns;
        QCOMPARE(columns.text(view.records[0], TaxGridCol::WashAdj), QString("300.00"));
        QCOMPARE(columns.text(view.records[0], TaxGridCol::Gain), QString("0.00"));
        QCOMPARE(view.totals.washText(), QString("Wash sale loss disallowed 300.00"));
        QCOMPARE(view.totals.gainText(), QString("Total Gain/Loss .00"));

        const TaxReport report = buildTaxReport(view.records, TaxYear{2000});
        QCOMPARE(report.groups.size(), 1);
        QCOMPARE(report.groups[0].lines[0].code, QString("W"));
        QCOMPARE(report.groups[0].lines[0].amounts.adjustment, Money::fromCents(30000));
        QCOMPARE(report.total().gain, Money());

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
