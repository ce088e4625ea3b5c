#include "buy_selection/buy_selection.h"
#include "cli/cli_commands.h"
#include "platform/sheet_model.h"
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

int rowOf(const SheetModel& grid, qint64 id) {
    for (int row = 1; row <= grid.rows(); ++row) {
        if (grid.text(row, BuyGridCol::Comments) == QString::number(id))
            return row;
    }
    return 0;
}

} // namespace

class TestBuySelection : public QObject {
    Q_OBJECT

private slots:
    // One buy marked for a sell of 100 shares, with or without typed figures.
    void appliedQuantityAndCost_data() {
        QTest::addColumn<double>("buyQuantity");
        QTest::addColumn<double>("buyAmount");
        QTest::addColumn<QString>("typedQuantity");
        QTest::addColumn<QString>("typedCost");
        QTest::addColumn<double>("linkQuantity");
        QTest::addColumn<double>("linkCost");
        QTest::addColumn<QString>("memoAfter");
        QTest::newRow("smaller buy taken whole") << 50.0 << -1000.0 << "0"
                                                 << "0" << 50.0 << 1000.0 << "0";
        QTest::newRow("larger buy in proportion") << 200.0 << 1000.0 << "0"
                                                  << "0" << 100.0 << 500.0 << "100";
        QTest::newRow("typed quantity and cost") << 200.0 << 1000.0 << "30"
                                                 << "120" << 30.0 << 120.0 << "170";
        QTest::newRow("typed quantity without cost") << 200.0 << 1000.0 << "30"
                                                     << "0" << 30.0 << 150.0 << "170";
        QTest::newRow("fractional shares") << 0.5 << -300.0 << "0"
                                           << "0" << 0.5 << 300.0 << "0";
    }
    void appliedQuantityAndCost() {
        QFETCH(double, buyQuantity);
        QFETCH(double, buyAmount);
        QFETCH(QString, typedQuantity);
        QFETCH(QString, typedCost);
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
        BuySelection s(t.connection(), sell, kAccount);
        QVERIFY(s.FillSellRec());
        SheetModel grid;
        RecordingPrompter prompter;
        s.FillGrid(grid, BuyFilter::NotAccountedSameAccount, prompter);
        const int row = rowOf(grid, buy);
        QVERIFY(row > 0);
        grid.setText(row, BuyGridCol::Linked, "1");
        grid.setText(row, BuyGridCol::Applied, typedQuantity);
        grid.setText(row, BuyGridCol::AppliedCost, typedCost);
        QVERIFY(BuySelection::hasMarks(grid));
        QCOMPARE(s.Apply(grid), std::nullopt);
        // The empty link is gone; the one real link remains.
        QCOMPARE(linksOf(t, sell), (QVector<Link>{{buy, linkQuantity, linkCost}}));
        QCOMPARE(memoOf(t, buy), memoAfter);
        // Applied rows are unmarked, so a second Apply writes nothing more.
        QVERIFY(!BuySelection::hasMarks(grid));
        QCOMPARE(s.Apply(grid), std::nullopt);
        QCOMPARE(linksOf(t, sell).size(), 1);
    }

    void newBuyOfTheFullQuantity() {
        TestDatabase t;
        // Identities far beyond sixteen bits take new buys like any other.
        runQuery(t.connection(), "INSERT INTO Txn (ID, AccountName) VALUES (40000, 'x')");
        for (int i = 0; i < 5; ++i)
            t.addTxn(kAccount, "Jan", "IBM", 10, kBought, QDate(2000, 1, 3), -100, "10");
        const qint64 sell =
            t.addTxn(kAccount, "Feb 'A'", "IBM", 100, kSold, QDate(2000, 2, 1), 12000);
        BuySelection s(t.connection(), sell, kAccount);
        QVERIFY(s.FillSellRec());
        SheetModel grid;
        RecordingPrompter prompter;
        s.FillGrid(grid, BuyFilter::NotAccountedSameAccount, prompter);
        s.cmdNew(grid);
        QCOMPARE(grid.rows(), 6);
        QCOMPARE(grid.rowTexts(1),
                 (QStringList{"1", "02/01/2000", "IBM", "0", "0", "100", "0.00", kNewBuyMarker}));
        QVERIFY(!grid.isLocked(1, BuyGridCol::Date));
        QVERIFY(grid.isLocked(1, BuyGridCol::Applied));
        grid.setText(1, BuyGridCol::Date, "1/5/99");
        QVERIFY(BuySelection::normalizeDateCell(grid, 1));
        QCOMPARE(grid.text(1, BuyGridCol::Date), QStringLiteral("01/05/1999"));
        grid.setText(1, BuyGridCol::TotalCost, "7500");
        QCOMPARE(s.Apply(grid), std::nullopt);

        const qint64 newId = grid.text(1, BuyGridCol::Comments).toLongLong();
        QVERIFY(newId > 40000);
        const TxnRecord stored = *selectTxnById(t.connection(), newId);
        QCOMPARE(stored.type, kBought);
        QCOMPARE(stored.txnMonth, QStringLiteral("Feb 'A'"));
        QCOMPARE(stored.txnDate, QDate(1999, 1, 5));
        QCOMPARE(stored.quantity, 100.0);
        QCOMPARE(stored.amount, Money::fromCents(750000));
        QCOMPARE(stored.memo, QStringLiteral("0"));
        QCOMPARE(linksOf(t, sell), (QVector<Link>{{newId, 100, 7500}}));
        // A second Apply does not store the buy again.
        QCOMPARE(s.Apply(grid), std::nullopt);
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
        BuySelection s(t.connection(), sell, kAccount);
        QVERIFY(s.FillSellRec());
        SheetModel grid;
        RecordingPrompter prompter;
        s.FillGrid(grid, BuyFilter::AllSameAccount, prompter);
        grid.setText(rowOf(grid, a), BuyGridCol::Linked, "1");
        grid.setText(rowOf(grid, b), BuyGridCol::Linked, "1");
        const auto failure = s.Apply(grid);
        QVERIFY(failure.has_value());
        QVERIFY(failure->contains(QLatin1String("already linked")));
        QCOMPARE(memoOf(t, a), QStringLiteral("10"));
        QCOMPARE(linksOf(t, sell).size(), 1);
        QVERIFY(BuySelection::hasMarks(grid));

        // A new buy with a date that is no date is refused before anything is written.
        grid.setText(rowOf(grid, b), BuyGridCol::Linked, "0");
        s.cmdNew(grid);
        grid.setText(1, BuyGridCol::Date, "someday");
        QVERIFY(!BuySelection::normalizeDateCell(grid, 1));
        QCOMPARE(s.Apply(grid), QStringLiteral("Not a valid date: someday"));
        QCOMPARE(memoOf(t, a), QStringLiteral("10"));
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
        QCOMPARE(run({"link", kAccount, QString::number(sell), QString::number(buy), "40"}), 0);
        QCOMPARE(linksOf(t, sell), (QVector<Link>{{buy, 40, 200}}));
        QCOMPARE(run({"new-buy", kAccount, QString::number(sell), "bad", "IBM", "60", "300"}), 1);
        QCOMPARE(run({"new-buy", kAccount, QString::number(sell), "1/2/2000", "IBM", "60", "300"}),
                 0);
        QCOMPARE(linksOf(t, sell).size(), 2);
        QCOMPARE(run({"new-buy", kAccount}), 2);
    }
};

QTEST_GUILESS_MAIN(TestBuySelection)
#include "test_buy_selection.moc"
