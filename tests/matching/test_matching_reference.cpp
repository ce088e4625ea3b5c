// The processing run against a plain reimplementation of its rules, over
// thousands of small random accounts: same-day trades, fractions, symbols
// of 12 characters and more that share their first 12, sells before their
// buys, sells larger than every buy, buys of no or negative shares.
#include "matching/matcher.h"
#include "matching/open_quantity.h"
#include "matching/term_split.h"
#include "platform/number_text.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "store/txn_table.h"
#include "support/test_database.h"
#include "support/test_main.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

struct Row {
    qint64 id = 0;
    bool buy = false;
    QString symbol;
    double quantity = 0;
    QDate date;
    Money amount;
};

// What a run must write for one account, as text to compare.
struct Expected {
    QStringList links;
    QStringList memos; // of the buys, in row order
    QStringList taxRecords;
};

QString linkText(qint64 sell, qint64 buy, double quantity, Money cost) {
    return QStringLiteral("%1>%2 %3 %4")
        .arg(sell)
        .arg(buy)
        .arg(numberToText(quantity), QString::number(cost.units()));
}

QString taxText(const TaxRecord& r) {
    return QStringList{r.symbol,
                       numberToText(r.quantity),
                       r.dateAcquired.toString(Qt::ISODate),
                       r.dateSold.toString(Qt::ISODate),
                       QString::number(r.cost.units()),
                       QString::number(r.salePrice.units()),
                       r.memo,
                       boxLetter(r.box)}
        .join(u'|');
}

// The first 12 characters; the symbols here are plain ASCII.
QString prefix12(const QString& symbol) {
    return symbol.left(12);
}

// The rules, written for reading rather than speed: each sell, oldest first,
// takes the open buys of its symbol on or before its date, oldest first
// (symbol by symbol where 12 characters are shared), then the later ones;
// a lot costs its share of the buy's amount.
Expected reference(const QVector<Row>& rows) {
    QHash<qint64, double> open;
    QVector<Row> buys;
    QVector<Row> sells;
    for (const Row& r : rows) {
        if (r.buy) {
            buys.append(r);
            open[r.id] = numberFromText(openQuantityText(r.quantity));
        } else {
            sells.append(r);
        }
    }
    std::stable_sort(sells.begin(), sells.end(), [](const Row& a, const Row& b) {
        return std::tie(a.date, a.symbol, a.id) < std::tie(b.date, b.symbol, b.id);
    });
    std::stable_sort(buys.begin(), buys.end(), [](const Row& a, const Row& b) {
        return std::tie(a.symbol, a.date, a.id) < std::tie(b.symbol, b.date, b.id);
    });

    Expected expected;
    QMap<qint64, QStringList> linksBySell;
    for (const Row& sell : std::as_const(sells)) {
        double remaining = sell.quantity;
        QVector<AppliedLot> lots;
        Money cost;
        for (const bool after : {false, true}) {
            for (const Row& buy : std::as_const(buys)) {
                if (!(remaining > 0))
                    break;
                if (prefix12(buy.symbol) != prefix12(sell.symbol) || !(open[buy.id] > 0) ||
                    (buy.date > sell.date) != after)
                    continue;
                double applied = 0;
                if (open[buy.id] <= remaining) {
                    applied = open[buy.id];
                    open[buy.id] = 0;
                    remaining = std::max(0.0, roundQuantity(remaining - applied));
                } else {
                    applied = remaining;
                    open[buy.id] = numberFromText(openQuantityText(open[buy.id] - remaining));
                    remaining = 0;
                }
                const Money lotCost = buy.amount.abs().scaled(applied, buy.quantity);
                cost += lotCost;
                linksBySell[sell.id] << linkText(sell.id, buy.id, applied, lotCost);
                lots.append({applied, lotCost, buy.date});
            }
        }
        if (lots.isEmpty())
            linksBySell[sell.id] << linkText(sell.id, 0, 0, Money());
        TaxRecord record;
        record.accountName = QStringLiteral("A");
        record.symbol = sell.symbol;
        record.quantity = sell.quantity;
        record.dateSold = sell.date;
        record.salePrice = sell.amount;
        record.memo = remaining > 0 ? kAllBuyRecNotFound : kAllBuysFound;
        TermRecords parts = splitByTerm(record, {lots.constData(), size_t(lots.size())});
        setBoxes(parts, BasisReporting::Reported);
        for (int i = 0; i < parts.count; ++i)
            expected.taxRecords << taxText(parts.records[i]);
    }
    for (const QStringList& links : std::as_const(linksBySell))
        expected.links << links;
    for (const Row& r : rows) {
        if (r.buy)
            expected.memos << openQuantityText(open[r.id]);
    }
    return expected;
}

Row randomRow(QRandomGenerator& random) {
    static const QStringList symbols{
        "IBM", "T", "ABCDEFGHIJK", "ABCDEFGHIJKL", "ABCDEFGHIJKLMN", "ABCDEFGHIJKLX"};
    Row r;
    r.buy = random.bounded(100) < 55;
    r.symbol = symbols[random.bounded(int(symbols.size()))];
    const int kind = random.bounded(100);
    if (kind < 60)
        r.quantity = random.bounded(1, 100);
    else if (kind < 80)
        r.quantity = random.bounded(1, 400) / 4.0;
    else if (kind < 88)
        r.quantity = random.bounded(1, 30) / 3.0;
    else if (kind < 94)
        r.quantity = 0;
    else
        r.quantity = -random.bounded(1, 50);
    // A few weeks around the year end: many trades share a day, and a year
    // separates some lots from their sells.
    r.date =
        QDate(1999, 12, 20).addDays(random.bounded(0, 30) + (random.bounded(10) == 0 ? 380 : 0));
    const double price = random.bounded(1, 20000) / 100.0;
    r.amount = Money::fromDouble((r.buy ? -1 : 1) * price * std::abs(r.quantity));
    return r;
}

} // namespace

class TestMatchingReference : public QObject {
    Q_OBJECT

private slots:
    // The run reads the buys through the date index when the store has it;
    // a store whose index was dropped by hand must give the same results.
    void runAgreesWithTheRules_data() {
        QTest::addColumn<bool>("dropDateIndex");
        QTest::newRow("indexes as created") << false;
        QTest::newRow("date index dropped") << true;
    }

    void runAgreesWithTheRules() {
        QFETCH(bool, dropDateIndex);
        const quint32 seed = 20261206;
        QRandomGenerator random(seed);
        TestDatabase db;
        QVector<QVector<Row>> accounts(1500);
        {
            Transaction transaction(db.connection());
            for (qsizetype a = 0; a < accounts.size(); ++a) {
                const QString account = QStringLiteral("A%1").arg(a);
                const int size = random.bounded(2, 13);
                for (int i = 0; i < size; ++i) {
                    Row r = randomRow(random);
                    r.id = db.addTxn(account, QStringLiteral("All"), r.symbol, r.quantity,
                                     r.buy ? kBought : kSold, r.date, r.amount.toDouble());
                    // The store keeps amounts as numbers; compare with what
                    // it reads back.
                    r.amount = selectTxnById(db.connection(), r.id)->amount;
                    accounts[a].append(r);
                }
            }
            transaction.commit();
        }
        if (dropDateIndex)
            runQuery(db.connection(), QStringLiteral("DROP INDEX TxnByAccountDate"));

        Transaction transaction(db.connection());
        for (qsizetype a = 0; a < accounts.size(); ++a) {
            const QString account = QStringLiteral("A%1").arg(a);
            Matcher matcher(db.connection(), account);
            matcher.MoveQuantity();
            for (const SellRow& sell : matcher.sells())
                matcher.matchSell(sell);
            matcher.writeOpenQuantities();

            const Expected expected = reference(accounts[a]);
            QStringList links;
            for (const LinkRecord& l : selectLinksOfAccount(db.connection(), account))
                links << linkText(l.sellId, l.buyId, l.buyQuantity, l.buyPrice);
            QStringList memos;
            for (const Row& r : std::as_const(accounts[a])) {
                if (r.buy)
                    memos << numberToText(
                        numberFromText(selectTxnById(db.connection(), r.id)->memo));
            }
            QStringList taxRecords;
            QSqlQuery query =
                runQuery(db.connection(),
                         QStringLiteral("SELECT ID, AccountName, Symbol, Quantity, DateAcquired, "
                                        "DateSold, Cost, SalePrice, Memo, Box, WashAdj FROM TaxRec "
                                        "WHERE AccountName = ? ORDER BY ID"),
                         {account});
            while (query.next())
                taxRecords << taxText(taxFromQuery(query));

            const QString where = QStringLiteral("account %1, seed %2").arg(account).arg(seed);
            QVERIFY2(links == expected.links,
                     qPrintable(where + u'\n' + links.join(u'\n') + QStringLiteral("\nexpected\n") +
                                expected.links.join(u'\n')));
            QVERIFY2(memos == expected.memos, qPrintable(where));
            QVERIFY2(taxRecords == expected.taxRecords,
                     qPrintable(where + u'\n' + taxRecords.join(u'\n') +
                                QStringLiteral("\nexpected\n") + expected.taxRecords.join(u'\n')));
        }
    }
};

GAINBOOK_GUILESS_TEST(TestMatchingReference)
#include "test_matching_reference.moc"
