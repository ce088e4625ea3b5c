#include "buy_selection/buy_selection.h"
#include "store/sql.h"
#include "store/txn_table.h"
#include "support/cli_run.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QSqlRecord>
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

// Every row of the three tables, one line each, to tell whether a command
// changed anything.
QString storeText(const TestDatabase& t) {
    QString text;
    for (const char* table : {"Txn", "SellLinks", "TaxRec"}) {
        QSqlQuery q =
            runQuery(t.connection(),
                     QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QLatin1String(table)));
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << q.value(i).toString();
            text += QLatin1String(table) + u':' + values.join(u'|') + u'\n';
        }
    }
    return text;
}

// gainbook-cli on the test's store.
CliRun runTool(const TestDatabase& t, const QStringList& args) {
    return runCliCaught(QStringList{"--db", t.path()} + args);
}

bool isListed(const BuyListing& listing, qint64 id) {
    return std::any_of(listing.rows.cbegin(), listing.rows.cend(),
                       [id](const BuyRow& row) { return row.buy.id == id; });
}

} // namespace

class TestBuySelection : public QObject {
    Q_OBJECT

private slots:
    // One buy marked for a sell of 100 shares, with or without typed
    // figures: a lot's cost is its share of the buy's (Pub 550, basis of
    // identified shares).
    void appliedQuantityAndCost_data() {
        // buy quantity, buy amount, typed quantity, typed cost, link, memo after
        QTest::addColumn<QStringList>("f");
        for (const TableRow& r : tableRows(R"(
        smaller buy taken whole ; 50 ; -1000 ; 0 ; 0 ; 50 1000 ; 0
        larger buy in proportion: 100 / 200 of 1000 ; 200 ; 1000 ; 0 ; 0 ; 100 500 ; 100
        typed quantity and cost ; 200 ; 1000 ; 30 ; 120 ; 30 120 ; 170
        typed quantity without cost: 30 / 200 of 1000 ; 200 ; 1000 ; 30 ; 0 ; 30 150 ; 170
        cost without quantity is not taken ; 200 ; 1000 ; 0 ; 120 ; 100 500 ; 100
        fractional shares ; 0.5 ; -300 ; 0 ; 0 ; 0.5 300 ; 0
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void appliedQuantityAndCost() {
        QFETCH(QStringList, f);
        const double buyQuantity = f[0].toDouble();
        TestDatabase t;
        const qint64 buy = t.addTxn(kAccount, "Jan", "IBM", buyQuantity, kBought, QDate(2000, 1, 3),
                                    f[1].toDouble(), f[0]);
        const qint64 sell = t.addTxn(kAccount, "Feb", "IBM", 100, kSold, QDate(2000, 2, 1), 1);
        runQuery(t.connection(),
                 "INSERT INTO SellLinks (AccountName, SellId, BuyId) VALUES (?, ?, 0)",
                 {kAccount, sell});
        BuySelection s(t.connection(), kAccount);
        QVERIFY(s.findSell(sell));
        RecordingPrompter prompter;
        QVERIFY(isListed(s.listBuys(BuyFilter::NotAccountedSameAccount, prompter), buy));
        QVector<BuyChoice> choices{{buy, f[2].toDouble(), Money::fromDouble(f[3].toDouble()), {}}};
        const Outcome outcome = s.Apply(sell, choices);
        QVERIFY(outcome.done());
        QCOMPARE(outcome.count, 1);
        // The empty link is gone; the one real link remains.
        const QStringList link = f[4].split(u' ');
        QCOMPARE(linksOf(t, sell), (QVector<Link>{{buy, link[0].toDouble(), link[1].toDouble()}}));
        QCOMPARE(memoOf(t, buy), f[5]);
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
        QCOMPARE(QStringList({stored.type, stored.txnMonth, stored.txnDate.toString(Qt::ISODate),
                              stored.quantity.text(), QString::number(stored.amount.toDouble()),
                              stored.memo}),
                 QStringList({kBought, "Feb 'A'", "1999-01-05", "100", "7500", "0"}));
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

    // What the tool accepts: a typed quantity and cost, a new buy's
    // grouped cost.
    void commandLineLinks() {
        TestDatabase t;
        const qint64 buy =
            t.addTxn(kAccount, "Jan", "IBM", 200, kBought, QDate(2000, 1, 3), -1000, "200");
        const qint64 sell = t.addTxn(kAccount, "Feb", "IBM", 100, kSold, QDate(2000, 2, 1), 1);
        const CliRun listed = runTool(t, {"buys", kAccount, QString::number(sell)});
        QCOMPARE(listed.code, 0);
        QCOMPARE(listed.out,
                 QStringLiteral("Linked,Date,Symbol,Applied#,Applied Cost,Total#,Total Cost,"
                                "ID\n0,01/03/2000,IBM,0,0,200,-1000.00,%1\n")
                     .arg(buy));
        // A buy never processed keeps a comment where the open shares go:
        // all of them are open.
        const qint64 unprocessed =
            t.addTxn("Other", "Jan", "IBM", 10, kBought, QDate(2000, 1, 4), -100, "IPO");
        const QString s = QString::number(sell);
        for (const QStringList& args :
             {QStringList{"link", kAccount, s, QString::number(buy), "40"},
              QStringList{"new-buy", kAccount, s, "1/2/2000", "IBM", "60", "1,250.00"},
              QStringList{"link", kAccount, s, QString::number(unprocessed)}})
            QCOMPARE(runTool(t, args).code, 0);
        QCOMPARE(linksOf(t, sell)[0], (Link{buy, 40, 200}));
        QCOMPARE(linksOf(t, sell)[2].cost, 1250.0);
        QCOMPARE(memoOf(t, buy) + u' ' + memoOf(t, unprocessed), QStringLiteral("160 0"));
    }

    // Every refusal of the buy commands: its exit code (2 for text that is
    // no number or ID at all, 1 for a value the store cannot take), its
    // message on stderr and a store left exactly as it was. In the
    // arguments {sell}, {buy}, {part} (20 of 100 open), {used} (none open),
    // {linked} (linked to {sell} already) and {elsewhere} (a sell of another
    // account) stand for the IDs.
    void commandLineRefusals_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("linkToABuy"); // a stored link names {buy} as its sell
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");
        // "name ; command|arg|... ; code ; message ; link to a buy": the
        // account goes after the command.
        for (const TableRow& r : tableRows(R"(
        a buy as the sell ; link|{buy}|{part} ; 1 ; Record {buy} is not a sell: it is a Bought record.
        a sell of another account ; link|{elsewhere}|{buy} ; 1 ; Sell record not found: {elsewhere} in O'Brien IRA
        no such sell ; link|99999|{buy} ; 1 ; Sell record not found: 99999
        sell ID in words ; link|first|{buy} ; 2 ; Not a sell ID: first
        a sell as the buy ; link|{sell}|{elsewhere} ; 1 ; Record {elsewhere} is not a buy: it is a Sold record.
        no such buy ; link|{sell}|12345 ; 1 ; Buy record not found: 12345
        buy ID in words ; link|{sell}|b1 ; 2 ; Not a buy ID: b1
        linked already ; link|{sell}|{linked} ; 1 ; The buy of 01/05/2000 IBM is already linked
        more than is open ; link|{sell}|{part}|50 ; 1 ; The buy of 01/04/2000 IBM has only 20 shares open, not 50.
        a buy with nothing open ; link|{sell}|{used}|1 ; 1 ; The buy of 01/06/2000 IBM has only 0 shares open, not 1.
        quantity in words ; link|{sell}|{buy}|ten ; 2 ; Not a valid number: ten
        negative quantity ; link|{sell}|{buy}|-5 ; 1 ; The quantity must be greater than 0: -5
        quantity 1e308 ; link|{sell}|{buy}|1e308 ; 1 ; The quantity 1e+308 is out of range.
        cost in words ; link|{sell}|{buy}|10|abc ; 2 ; Not a valid number: abc
        cost of 10^12 ; link|{sell}|{buy}|10|1,000,000,000,000 ; 1 ; The cost 1000000000000 is out of range.
        negative cost ; link|{sell}|{buy}|10|(5.00) ; 1 ; The cost must not be below 0: -5
        new buy for a buy ; new-buy|{buy}|1/2/2000|IBM|60|300 ; 1 ; Record {buy} is not a sell
        new buy, no date ; new-buy|{sell}|bad|IBM|60|300 ; 1 ; Not a valid date: bad
        new buy, empty symbol ; new-buy|{sell}|1/2/2000||60|300 ; 1 ; A buy needs a symbol.
        new buy, quantity in words ; new-buy|{sell}|1/2/2000|IBM|abc|300 ; 2 ; Not a valid number: abc
        new buy, negative quantity ; new-buy|{sell}|1/2/2000|IBM|-60|300 ; 1 ; The quantity must be greater than 0: -60
        new buy, quantity 1e308 ; new-buy|{sell}|1/2/2000|IBM|1e308|300 ; 1 ; The quantity 1e+308 is out of range.
        new buy, cost inf ; new-buy|{sell}|1/2/2000|IBM|60|inf ; 2 ; Not a valid number: inf
        new buy, cost 1e308 ; new-buy|{sell}|1/2/2000|IBM|60|1e308 ; 1 ; The cost 1e+308 is out of range.
        new buy, cost -10^12 ; new-buy|{sell}|1/2/2000|IBM|60|-1e12 ; 1 ; The cost -1000000000000 is out of range.
        detach a lot that is not shown ; detach|{buy}:{part} ; 1 ; Lot not found:  ;
        detach without a pair ; detach|{sell} ; 2 ; Not a SELLID:BUYID pair
        recalculate over a link from a buy ; recalc ; 1 ; Sell record not found  ; yes
        )")) {
            QStringList args = r.text(0).split(u'|');
            args.insert(1, kAccount);
            QTest::newRow(r.name) << args << r.yes(3) << r.text(1).toInt() << r.text(2);
        }
    }
    void commandLineRefusals() {
        QFETCH(QStringList, args);
        QFETCH(bool, linkToABuy);
        QFETCH(int, code);
        QFETCH(QString, err);
        TestDatabase t;
        QMap<QString, qint64> ids;
        ids["{buy}"] =
            t.addTxn(kAccount, "Jan", "IBM", 200, kBought, QDate(2000, 1, 3), -1000, "200");
        ids["{part}"] =
            t.addTxn(kAccount, "Jan", "IBM", 100, kBought, QDate(2000, 1, 4), -500, "20");
        ids["{linked}"] =
            t.addTxn(kAccount, "Jan", "IBM", 50, kBought, QDate(2000, 1, 5), -250, "50");
        ids["{used}"] = t.addTxn(kAccount, "Jan", "IBM", 10, kBought, QDate(2000, 1, 6), -50, "0");
        ids["{sell}"] = t.addTxn(kAccount, "Feb", "IBM", 100, kSold, QDate(2000, 2, 1), 900);
        ids["{elsewhere}"] = t.addTxn("Other", "Feb", "IBM", 100, kSold, QDate(2000, 2, 1), 900);
        t.addTax(kAccount, "IBM", 100, QDate(2000, 1, 5), QDate(2000, 2, 1), 250, 900);
        runQuery(t.connection(),
                 "INSERT INTO SellLinks (AccountName, SellId, BuyId, BuyQuantity, BuyPrice, Memo) "
                 "VALUES (?, ?, ?, 50, 250, ' ')",
                 {kAccount, ids["{sell}"], ids["{linked}"]});
        if (linkToABuy)
            runQuery(t.connection(),
                     "INSERT INTO SellLinks (AccountName, SellId, BuyId, BuyQuantity, BuyPrice, "
                     "Memo) VALUES (?, ?, ?, 20, 100, ' ')",
                     {kAccount, ids["{buy}"], ids["{part}"]});
        const auto withIds = [&](QString text) {
            for (auto it = ids.cbegin(); it != ids.cend(); ++it)
                text.replace(it.key(), QString::number(it.value()));
            return text;
        };
        QStringList called;
        for (const QString& arg : args)
            called << withIds(arg);
        const QString before = storeText(t);
        const CliRun r = runTool(t, called);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.startsWith(withIds(err)), qPrintable(r.err));
        QCOMPARE(r.out, QString());
        QCOMPARE(storeText(t), before);
    }
};

GAINBOOK_GUILESS_TEST(TestBuySelection)
#include "test_buy_selection.moc"
