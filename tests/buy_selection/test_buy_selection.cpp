#include "buy_selection/buy_selection.h"
#include "cli/cli_commands.h"
#include "store/sql.h"
#include "store/txn_table.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

const QString kAccount = QStringLiteral("O'Brien IRA");

struct Link {
    qint64 buyId;
    double quantity;
    double cost;
    friend bool operator==(const Link&, const Link&) = default;
};

QVector<Link> linksOf(const TestDatabase& t, qint64 sellId) {
    QSqlQuery q = runQuery(t.connection(),
                           "SELECT BuyId, BuyQuantity, BuyPrice FROM SellLinks WHERE SellId = ? "
                           "ORDER BY BuyId",
                           {sellId});
    QVector<Link> links;
    while (q.next())
        links.append({q.value(0).toLongLong(), q.value(1).toDouble(), q.value(2).toDouble()});
    return links;
}

QString memoOf(const TestDatabase& t, qint64 id) {
    return selectTxnById(t.connection(), id)->memo;
}

bool isListed(const BuyListing& listing, qint64 id) {
    return std::any_of(listing.rows.cbegin(), listing.rows.cend(),
                       [id](const BuyRow& row) { return row.buy.id == id; });
}

} // namespace

class TestBuySelection : public QObject {
    Q_OBJECT

private slots:
    // One buy marked for a sell of 100 shares, with or without typed figures.
    void appliedQuantityAndCost_data() {
        QTest::addColumn<double>("buyQuantity");
        QTest::addColumn<double>("buyAmount");
        QTest::addColumn<double>("typedQuantity");
        QTest::addColumn<double>("typedCost");
        QTest::addColumn<double>("linkQuantity");
        QTest::addColumn<double>("linkCost");
        QTest::addColumn<QString>("memoAfter");
        QTest::newRow("smaller buy taken whole")
            << 50.0 << -1000.0 << 0.0 << 0.0 << 50.0 << 1000.0 << "0";
        QTest::newRow("larger buy in proportion")
            << 200.0 << 1000.0 << 0.0 << 0.0 << 100.0 << 500.0 << "100";
        QTest::newRow("typed quantity and cost")
            << 200.0 << 1000.0 << 30.0 << 120.0 << 30.0 << 120.0 << "170";
        QTest::newRow("typed quantity without cost")
            << 200.0 << 1000.0 << 30.0 << 0.0 << 30.0 << 150.0 << "170";
        QTest::newRow("cost without quantity is not taken")
            << 200.0 << 1000.0 << 0.0 << 120.0 << 100.0 << 500.0 << "100";
        QTest::newRow("fractional shares") << 0.5 << -300.0 << 0.0 << 0.0 << 0.5 << 300.0 << "0";
    }
    void appliedQuantityAndCost() {
        QFETCH(double, buyQuantity);
        QFETCH(double, buyAmount);
        QFETCH(double, typedQuantity);
        QFETCH(double, typedCost);
        QFETCH(double, linkQuantity);
        QFETCH(double, linkCost);
        QFETCH(QString, memoAfter);
        TestDatabase t;
        const qint64 buy = t.addTxn(kAccount, "Jan", "IBM", buyQuantity, kBought, QDate(2000, 1, 3),
                                    buyAmount, QString::number(buyQuantity));
        const qint64 sell = t.addTxn(kAccount, "Feb", "IBM", 100, kSold, QDate(2000, 2, 1), 1);
        runQuery(t.connection(),
                 "INSERT INTO SellLinks (AccountName, SellId, BuyId) VALUES (?, ?, 0)",
                 {kAccount, sell});
        BuySelection s(t.connection(), kAccount);
        QVERIFY(s.findSell(sell));
        RecordingPrompter prompter;
        QVERIFY(isListed(s.listBuys(BuyFilter::NotAccountedSameAccount, prompter), buy));
        QVector<BuyChoice> choices{{buy, typedQuantity, Money::fromDouble(typedCost), {}}};
        const Outcome outcome = s.Apply(sell, choices);
        QVERIFY(outcome.done());
        QCOMPARE(outcome.count, 1);
        // The empty link is gone; the one real link remains.
        QCOMPARE(linksOf(t, sell), (QVector<Link>{{buy, linkQuantity, linkCost}}));
        QCOMPARE(memoOf(t, buy), memoAfter);
    }

    void newBuyOfTheFullQuantity() {
        TestDatabase t;
        // Identities far beyond sixteen bits take new buys like any other.
        runQuery(t.connection(), "INSERT INTO Txn (ID, AccountName) VALUES (40000, 'x')");
        for (int i = 0; i < 5; ++i)
            t.addTxn(kAccount, "Jan", "IBM", 10, kBought, QDate(2000, 1, 3), -100, "10");
        const qint64 sell =
            t.addTxn(kAccount, "Feb 'A'", "IBM", 100, kSold, QDate(2000, 2, 1), 12000);
        BuySelection s(t.connection(), kAccount);
        const std::optional<TxnRecord> sold = s.findSell(sell);
        QVERIFY(sold);
        BuyRow row = newBuyRow(*sold);
        QCOMPARE(buyRowTexts(row),
                 (QStringList{"1", "02/01/2000", "IBM", "0", "0", "100", "0.00", ""}));
        row.buy.txnDate = QDate(1999, 1, 5);
        row.buy.amount = Money::fromCents(750000);
        QVector<BuyChoice> choices{{0, {}, {}, row.buy}};
        QVERIFY(s.Apply(sell, choices).done());

        const qint64 newId = choices[0].buyId;
        QVERIFY(newId > 40000);
        const TxnRecord stored = *selectTxnById(t.connection(), newId);
        QCOMPARE(stored.type, kBought);
        QCOMPARE(stored.txnMonth, QStringLiteral("Feb 'A'"));
        QCOMPARE(stored.txnDate, QDate(1999, 1, 5));
        QCOMPARE(stored.quantity, 100.0);
        QCOMPARE(stored.amount, Money::fromCents(750000));
        QCOMPARE(stored.memo, QStringLiteral("0"));
        QCOMPARE(linksOf(t, sell), (QVector<Link>{{newId, 100, 7500}}));
        QCOMPARE(selectTxns(t.connection(), kAccount).size(), 7);
    }

    void failedApplyWritesNothing() {
        TestDatabase t;
        const qint64 a =
            t.addTxn(kAccount, "Jan", "IBM", 10, kBought, QDate(2000, 1, 3), -100, "10");
        const qint64 b =
            t.addTxn(kAccount, "Jan", "IBM", 10, kBought, QDate(2000, 1, 4), -100, "10");
        const qint64 sell = t.addTxn(kAccount, "Feb", "IBM", 20, kSold, QDate(2000, 2, 1), 1);
        // b is linked already, so linking it again must fail as a whole.
        runQuery(t.connection(),
                 "INSERT INTO SellLinks (AccountName, SellId, BuyId, BuyQuantity, BuyPrice) "
                 "VALUES (?, ?, ?, 10, 100)",
                 {kAccount, sell, b});
        BuySelection s(t.connection(), kAccount);
        QVector<BuyChoice> choices{{a, {}, {}, {}}, {b, {}, {}, {}}};
        const Outcome refused = s.Apply(sell, choices);
        QVERIFY(refused.stopped());
        QCOMPARE(refused.message,
                 QStringLiteral("The buy of 01/04/2000 IBM is already linked to this sell."));
        QCOMPARE(memoOf(t, a), QStringLiteral("10"));
        QCOMPARE(linksOf(t, sell).size(), 1);

        // A new buy without a date is refused before anything is written.
        TxnRecord undated = newBuyRow(*s.findSell(sell)).buy;
        undated.txnDate = QDate();
        choices = {{a, {}, {}, {}}, {0, {}, {}, undated}};
        QVERIFY(s.Apply(sell, choices).stopped());
        QCOMPARE(memoOf(t, a), QStringLiteral("10"));
        QCOMPARE(selectTxns(t.connection(), kAccount).size(), 3);
    }

    void commandLine() {
        TestDatabase t;
        const qint64 buy =
            t.addTxn(kAccount, "Jan", "IBM", 200, kBought, QDate(2000, 1, 3), -1000, "200");
        const qint64 sell = t.addTxn(kAccount, "Feb", "IBM", 100, kSold, QDate(2000, 2, 1), 1);
        auto run = [&](const QStringList& args, QString* out = nullptr) {
            QString o, e;
            QTextStream os(&o), es(&e);
            const int code = runCli(QStringList{"--db", t.path()} + args, os, es);
            os.flush();
            if (out)
                *out = o;
            return code;
        };
        QString out;
        QCOMPARE(run({"buys", kAccount, QString::number(sell)}, &out), 0);
        QCOMPARE(out, QStringLiteral("Linked,Date,Symbol,Applied#,Applied Cost,Total#,Total Cost,"
                                     "ID\n0,01/03/2000,IBM,0,0,200,-1000.00,%1\n")
                          .arg(buy));
        QCOMPARE(run({"buys", kAccount, QString::number(sell), "--filter", "5"}), 2);
        QCOMPARE(run({"buys", kAccount, "999"}), 1);
        QCOMPARE(run({"link", kAccount, QString::number(sell), "12345"}), 1);
        QCOMPARE(run({"link", kAccount, QString::number(sell), QString::number(sell)}), 1);
        QCOMPARE(run({"link", kAccount, QString::number(sell), QString::number(buy), "ten"}), 1);
        QCOMPARE(run({"link", kAccount, QString::number(sell), QString::number(buy), "40"}), 0);
        QCOMPARE(linksOf(t, sell), (QVector<Link>{{buy, 40, 200}}));
        QCOMPARE(run({"new-buy", kAccount, QString::number(sell), "bad", "IBM", "60", "300"}), 1);
        QCOMPARE(run({"new-buy", kAccount, QString::number(sell), "1/2/2000", "IBM", "60", "abc"}),
                 1);
        QCOMPARE(
            run({"new-buy", kAccount, QString::number(sell), "1/2/2000", "IBM", "60", "1,250.00"}),
            0);
        QCOMPARE(linksOf(t, sell).size(), 2);
        QCOMPARE(linksOf(t, sell)[1].cost, 1250.0);
        QCOMPARE(run({"new-buy", kAccount}), 2);
    }
};

QTEST_GUILESS_MAIN(TestBuySelection)
#include "test_buy_selection.moc"
