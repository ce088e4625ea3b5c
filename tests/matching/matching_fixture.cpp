#include "matching_fixture.h"

#include "platform/number_text.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/txn_table.h"

#include <QHash>
#include <QSet>

#include <cmath>

namespace gainbook::test {

namespace {

// What ties a tax record to its sell.
QString sellKey(const QString& symbol, const QDate& sold) {
    return symbol + u'|' + sold.toString(Qt::ISODate);
}

} // namespace

QVector<qint64> addRows(TestDatabase& db, const QString& account, const QStringList& rows) {
    QVector<qint64> ids;
    for (const QString& row : rows) {
        const QStringList f = row.split(u'|');
        Q_ASSERT(f.size() == 5);
        ids.append(db.addTxn(account, QStringLiteral("All"), f[1], f[2].toDouble(),
                             f[0].startsWith(u'B') ? kBought : kSold,
                             QDate::fromString(f[3], Qt::ISODate), f[4].toDouble()));
        // E, A and X: an option expired, assigned or exercised, captured
        // as a sell.
        const QHash<QString, QString> events{{"E", kExpired}, {"A", kAssigned}, {"X", kExercised}};
        const QString word =
            f[0].size() == 2 ? (f[0].endsWith(u'O') ? kOpens : kCloses) : events.value(f[0]);
        if (!word.isEmpty())
            runQuery(db.connection(), QStringLiteral("UPDATE Txn SET OpenClose = ? WHERE ID = ?"),
                     {word, ids.back()});
    }
    return ids;
}

QStringList describeLinks(TestDatabase& db, const QString& account, const QVector<qint64>& ids) {
    const auto name = [&](qint64 id) {
        return id == 0 ? QStringLiteral("-") : QString::number(ids.indexOf(id));
    };
    QStringList out;
    for (const LinkRecord& l : selectLinksOfAccount(db.connection(), account))
        out << QStringLiteral("%1>%2 %3 %4")
                   .arg(name(l.sellId), name(l.buyId), l.buyQuantity.text(),
                        numberToText(l.buyPrice.toDouble()));
    return out;
}

QStringList memos(TestDatabase& db, const QVector<qint64>& ids) {
    QStringList out;
    for (qint64 id : ids)
        out << selectTxnById(db.connection(), id)->memo;
    return out;
}

QVector<TaxRecord> taxRecsOf(TestDatabase& db, const QString& account) {
    QSqlQuery q = runQuery(
        db.connection(),
        QStringLiteral("SELECT ID, AccountName, Symbol, Quantity, DateAcquired, "
                       "DateSold, Cost, SalePrice, Memo, Box, WashAdj, SellId FROM TaxRec WHERE "
                       "AccountName = ? ORDER BY ID"),
        {account});
    QVector<TaxRecord> out;
    while (q.next())
        out.append(taxFromQuery(q));
    return out;
}

QStringList describeTaxRecs(TestDatabase& db, const QString& account) {
    QStringList out;
    for (const TaxRecord& r : taxRecsOf(db, account))
        out << QStringList{r.symbol,
                           r.quantity.text(),
                           r.dateAcquired.toString(Qt::ISODate),
                           r.dateSold.toString(Qt::ISODate),
                           numberToText(r.cost.toDouble()),
                           numberToText(r.salePrice.toDouble()),
                           r.memo}
                   .join(u'|');
    return out;
}

QString checkInvariants(TestDatabase& db, const QString& account, bool fromRun) {
    QHash<qint64, Quantity> applied;
    QHash<qint64, double> lotCost;
    QHash<qint64, int> lotCount;
    QHash<qint64, Quantity> covered; // of each short, by its sell

    // An assignment's cover and an exercise make no sale.
    QSet<qint64> carried;
    for (const TxnRecord& t : selectTxns(db.connection(), account)) {
        if (carriesPremium(t.openClose))
            carried.insert(t.id);
    }
    QSet<QPair<qint64, qint64>> pairs;
    for (const LinkRecord& l : selectLinksOfAccount(db.connection(), account)) {
        if (pairs.contains({l.sellId, l.buyId}))
            return QStringLiteral("lot %1:%2 applied twice").arg(l.sellId).arg(l.buyId);
        pairs.insert({l.sellId, l.buyId});
        if (l.buyId != 0)
            applied[l.buyId] += l.buyQuantity;
        ++lotCount[l.sellId];
        if (carried.contains(l.buyId))
            continue;
        lotCost[l.sellId] += l.buyPrice.toDouble();
        covered[l.sellId] += l.buyQuantity;
    }
    // A sell's records (two when split by term) add up to its quantity,
    // amount and lot costs; sells are told apart by symbol and date sold.
    struct Sums {
        Quantity quantity;
        double cost = 0;
        Money amount;
        double tolerance = 1e-9;
    };
    QHash<QString, Sums> records;
    QHash<QString, Sums> expected;
    // A short's records, one a day it was covered, add up to the shares
    // covered and their cost; what is not covered has none.
    QHash<qint64, Sums> shortRecords;
    QSet<qint64> shorts;
    for (const TxnRecord& t : selectTxns(db.connection(), account)) {
        if (t.type == kSold && t.openClose == kOpens)
            shorts.insert(t.id);
    }
    for (const TaxRecord& r : taxRecsOf(db, account)) {
        if (shorts.contains(r.sellId)) {
            shortRecords[r.sellId].quantity += r.quantity;
            shortRecords[r.sellId].cost += r.cost.toDouble();
            continue;
        }
        Sums& sums = records[sellKey(r.symbol, r.dateSold)];
        sums.quantity += r.quantity;
        sums.cost += r.cost.toDouble();
        sums.amount += r.salePrice;
    }

    for (const TxnRecord& t : selectTxns(db.connection(), account)) {
        if (t.type == kBought) {
            const Quantity open = Quantity::fromDouble(numberFromText(t.memo));
            if (open + applied.value(t.id) != t.quantity)
                return QStringLiteral("buy %1: open %2 + applied %3 != %4")
                    .arg(t.id)
                    .arg(open.text(), applied.value(t.id).text(), t.quantity.text());
            continue;
        }
        if (t.type != kSold || carried.contains(t.id))
            continue;
        // An option event with nothing held is left out of matching.
        if (!lotCount.contains(t.id) && !isOptionEvent(t.openClose))
            return QStringLiteral("sell %1 has no link").arg(t.id);
        if (!lotCount.contains(t.id))
            continue;
        if (shorts.contains(t.id)) {
            const Sums found = shortRecords.value(t.id);
            if (found.quantity != covered.value(t.id) ||
                std::abs(found.cost - lotCost.value(t.id)) > 1e-6)
                return QStringLiteral("short %1: records of %2 shares for %3 covered")
                    .arg(t.id)
                    .arg(found.quantity.text(), covered.value(t.id).text());
            continue;
        }
        Sums& sums = expected[sellKey(t.symbol, t.txnDate)];
        sums.quantity += t.quantity;
        sums.cost += lotCost.value(t.id);
        sums.amount += t.amount;
        sums.tolerance += fromRun ? 0.00005 * lotCount.value(t.id) : 1e-6;
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const Sums found = records.take(it.key());
        if (found.quantity != it->quantity || found.amount != it->amount ||
            std::abs(found.cost - it->cost) > it->tolerance)
            return QStringLiteral("sells %1: records of %2 shares, cost %3, amount %4 for %5, "
                                  "%6, %7")
                .arg(it.key())
                .arg(found.quantity.text())
                .arg(found.cost)
                .arg(found.amount.toDouble())
                .arg(it->quantity.text())
                .arg(it->cost)
                .arg(it->amount.toDouble());
    }
    if (!records.isEmpty())
        return QStringLiteral("tax record without sell: %1").arg(records.constBegin().key());
    return {};
}

} // namespace gainbook::test
