// The processing run against a plain reimplementation of its rules, over
// scores of small random accounts: same-day trades, fractions, names cut
// at 12 characters and long names that share their first 12, one name
// spelt two ways, sells before their buys, sells larger than every buy,
// buys of no or negative shares. Wash-sale detection is off: its rules have
// their own worked table.
#include "matching/matcher.h"
#include "matching/open_quantity.h"
#include "matching/process_session.h"
#include "matching/term_split.h"
#include "platform/instrument_name.h"
#include "platform/number_text.h"
#include "store/account_settings_table.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "store/txn_table.h"
#include "support/recording_prompter.h"
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
    Quantity quantity;
    QDate date;
    Money amount;
};

// What a run must write for one account, as text to compare.
struct Expected {
    QStringList links;
    QStringList memos; // of the buys, in row order
    QStringList taxRecords;
};

QString linkText(qint64 sell, qint64 buy, Quantity quantity, Money cost) {
    return QStringLiteral("%1>%2 %3 %4")
        .arg(sell)
        .arg(buy)
        .arg(quantity.text(), QString::number(cost.units()));
}

QString taxText(const TaxRecord& r) {
    return QStringList{r.symbol,
                       r.quantity.text(),
                       r.dateAcquired.toString(Qt::ISODate),
                       r.dateSold.toString(Qt::ISODate),
                       QString::number(r.cost.units()),
                       QString::number(r.salePrice.units()),
                       r.memo,
                       boxLetter(r.box)}
        .join(u'|');
}

// The rules, written for reading rather than speed: each sell, oldest first,
// takes the open buys of its instrument on or before its date, oldest first
// (a cut name and its long form one after the other), then the later ones;
// a lot costs its share of the buy's amount.
Expected reference(const QVector<Row>& rows) {
    QHash<qint64, Quantity> open;
    QVector<Row> buys;
    QVector<Row> sells;
    for (const Row& r : rows) {
        if (r.buy) {
            buys.append(r);
            open[r.id] = r.quantity;
        } else {
            sells.append(r);
        }
    }
    std::stable_sort(sells.begin(), sells.end(), [](const Row& a, const Row& b) {
        return std::tie(a.date, a.symbol, a.id) < std::tie(b.date, b.symbol, b.id);
    });
    std::stable_sort(buys.begin(), buys.end(), [](const Row& a, const Row& b) {
        const QString ka = instrumentKey(a.symbol);
        const QString kb = instrumentKey(b.symbol);
        return std::tie(ka, a.date, a.id) < std::tie(kb, b.date, b.id);
    });

    Expected expected;
    QMap<qint64, QStringList> linksBySell;
    for (const Row& sell : std::as_const(sells)) {
        Quantity remaining = sell.quantity;
        QVector<AppliedLot> lots;
        Money cost;
        for (const bool after : {false, true}) {
            for (const Row& buy : std::as_const(buys)) {
                if (!remaining.isPositive())
                    break;
                if (!sameInstrument(buy.symbol, sell.symbol) || !open[buy.id].isPositive() ||
                    (buy.date > sell.date) != after)
                    continue;
                const Quantity applied = min(open[buy.id], remaining);
                open[buy.id] -= applied;
                remaining -= applied;
                const Money lotCost = buy.amount.abs().scaled(applied, buy.quantity);
                cost += lotCost;
                linksBySell[sell.id] << linkText(sell.id, buy.id, applied, lotCost);
                lots.append({applied, lotCost, buy.date});
            }
        }
        if (lots.isEmpty())
            linksBySell[sell.id] << linkText(sell.id, 0, Quantity(), Money());
        TaxRecord record;
        record.symbol = sell.symbol;
        record.dateSold = sell.date;
        record.memo = remaining.isPositive() ? kAllBuyRecNotFound : kAllBuysFound;
        TermParts parts = splitFigures(sell.quantity, sell.date, sell.amount,
                                       {lots.constData(), size_t(lots.size())});
        setBoxes(parts, sell.date, BasisReporting::Reported);
        for (int i = 0; i < parts.count; ++i)
            expected.taxRecords << taxText(recordOf(record, parts.parts[i]));
    }
    for (const QStringList& links : std::as_const(linksBySell))
        expected.links << links;
    for (const Row& r : rows) {
        if (r.buy)
            expected.memos << open[r.id].text();
    }
    return expected;
}

Row randomRow(QRandomGenerator& random) {
    static const QStringList symbols{"IBM",           " ibm",         "T",
                                     "ABCDEFGHIJK",   "ABCDEFGHIJKL", "ABCDEFGHIJKLMN",
                                     "ABCDEFGHIJKLX", "abcdefghijklx"};
    Row r;
    r.buy = random.bounded(100) < 55;
    r.symbol = symbols[random.bounded(int(symbols.size()))];
    const int kind = random.bounded(100);
    // Thirds are stored as the nearest hundred-millionth.
    if (kind < 60)
        r.quantity = Quantity::whole(random.bounded(1, 100));
    else if (kind < 80)
        r.quantity = Quantity::fromDouble(random.bounded(1, 400) / 4.0);
    else if (kind < 88)
        r.quantity = Quantity::fromDouble(random.bounded(1, 30) / 3.0);
    else if (kind < 94)
        r.quantity = Quantity();
    else
        r.quantity = Quantity::whole(-random.bounded(1, 50));
    // A few weeks around the year end: many trades share a day, and a year
    // separates some lots from their sells.
    r.date =
        QDate(1999, 12, 20).addDays(random.bounded(0, 30) + (random.bounded(10) == 0 ? 380 : 0));
    const double price = random.bounded(1, 20000) / 100.0;
    r.amount = Money::fromDouble((r.buy ? -1 : 1) * price * std::abs(r.quantity.toDouble()));
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
        const quint32 seed = 20261207;
        QRandomGenerator random(seed);
        TestDatabase db;
        QVector<QVector<Row>> accounts(80);
        {
            Transaction transaction(db.connection());
            for (qsizetype a = 0; a < accounts.size(); ++a) {
                const QString account = QStringLiteral("A%1").arg(a);
                setWashSettings(db.connection(), account, {false, true, false});
                const int size = random.bounded(2, 60);
                for (int i = 0; i < size; ++i) {
                    Row r = randomRow(random);
                    r.id =
                        db.addTxn(account, QStringLiteral("All"), r.symbol, r.quantity.toDouble(),
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

        gainbook::test::RecordingPrompter prompter;
        ProcessSession session(db.connection(), prompter);
        for (qsizetype a = 0; a < accounts.size(); ++a) {
            const QString account = QStringLiteral("A%1").arg(a);
            session.setAccount(account);
            const Outcome outcome = session.Process();
            const Expected expected = reference(accounts[a]);
            const QString where = QStringLiteral("account %1, seed %2").arg(account).arg(seed);
            QVERIFY2(outcome.status != Outcome::Status::Failed, qPrintable(where));

            QStringList links;
            for (const LinkRecord& l : selectLinksOfAccount(db.connection(), account))
                links << linkText(l.sellId, l.buyId, l.buyQuantity, l.buyPrice);
            QStringList memos;
            for (const Row& r : std::as_const(accounts[a])) {
                if (r.buy)
                    memos << openQuantityOf(selectTxnById(db.connection(), r.id)->memo).text();
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
