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

QVector<TaxRecord> taxRecsOf(TestDatabase& db, const QString& account) {
    QSqlQuery q = runQuery(db.connection(),
                           QStringLiteral("SELECT ID, AccountName, Symbol, Quantity, DateAcquired, "
                                          "DateSold, Cost, SalePrice, Memo FROM TaxRec WHERE "
                                          "AccountName = ? ORDER BY ID"),
                           {account});
    QVector<TaxRecord> out;
    while (q.next())
        out.append(taxFromQuery(q));
    return out;
}

// What ties a tax record to its sell.
QString sellKey(const QString& symbol, const QDate& sold, Money salePrice) {
    return symbol + u'|' + sold.toString(Qt::ISODate) + u'|' + numberToText(salePrice.toDouble());
}

} // namespace

QVector<qint64> addRows(TestDatabase& db, const QString& account, const QStringList& rows) {
    QVector<qint64> ids;
    for (const QString& row : rows) {
        const QStringList f = row.split(u'|');
        Q_ASSERT(f.size() == 5);
        ids.append(db.addTxn(account, QStringLiteral("All"), f[1], f[2].toDouble(),
                             f[0] == QLatin1String("B") ? kBought : kSold,
                             QDate::fromString(f[3], Qt::ISODate), f[4].toDouble()));
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
                   .arg(name(l.sellId), name(l.buyId), numberToText(l.buyQuantity),
                        numberToText(l.buyPrice.toDouble()));
    return out;
}

QStringList memos(TestDatabase& db, const QVector<qint64>& ids) {
    QStringList out;
    for (qint64 id : ids)
        out << selectTxnById(db.connection(), id)->memo;
    return out;
}

QStringList describeTaxRecs(TestDatabase& db, const QString& account) {
    QStringList out;
    for (const TaxRecord& r : taxRecsOf(db, account))
        out << QStringList{r.symbol,
                           numberToText(r.quantity),
                           r.dateAcquired.toString(Qt::ISODate),
                           r.dateSold.toString(Qt::ISODate),
                           numberToText(r.cost.toDouble()),
                           numberToText(r.salePrice.toDouble()),
                           r.memo}
                   .join(u'|');
    return out;
}

QString checkInvariants(TestDatabase& db, const QString& account, bool fromRun) {
    QHash<qint64, double> applied;
    QHash<qint64, double> lotCost;
    QHash<qint64, int> lotCount;
    QSet<QPair<qint64, qint64>> pairs;
    for (const LinkRecord& l : selectLinksOfAccount(db.connection(), account)) {
        if (pairs.contains({l.sellId, l.buyId}))
            return QStringLiteral("lot %1:%2 applied twice").arg(l.sellId).arg(l.buyId);
        pairs.insert({l.sellId, l.buyId});
        if (l.buyId != 0)
            applied[l.buyId] += l.buyQuantity;
        lotCost[l.sellId] += l.buyPrice.toDouble();
        ++lotCount[l.sellId];
    }
    QHash<QString, QVector<double>> taxBySell;
    for (const TaxRecord& r : taxRecsOf(db, account))
        taxBySell[sellKey(r.symbol, r.dateSold, r.salePrice)].append(r.cost.toDouble());

    for (const TxnRecord& t : selectTxns(db.connection(), account)) {
        if (t.type == kBought) {
            const double open = numberFromText(t.memo);
            if (std::abs(open + applied.value(t.id) - t.quantity) > 1e-6)
                return QStringLiteral("buy %1: open %2 + applied %3 != %4")
                    .arg(t.id)
                    .arg(open)
                    .arg(applied.value(t.id))
                    .arg(t.quantity);
            continue;
        }
        if (t.type != kSold)
            continue;
        if (!lotCount.contains(t.id))
            return QStringLiteral("sell %1 has no link").arg(t.id);
        QVector<double>& costs = taxBySell[sellKey(t.symbol, t.txnDate, t.amount)];
        const double expected = lotCost.value(t.id);
        const double tolerance = fromRun ? 0.00005 * lotCount.value(t.id) + 1e-9 : 1e-6;
        const auto match = std::find_if(costs.begin(), costs.end(), [&](double cost) {
            return std::abs(cost - expected) <= tolerance;
        });
        if (match == costs.end())
            return QStringLiteral("sell %1: no tax record with cost %2").arg(t.id).arg(expected);
        costs.erase(match);
    }
    for (auto it = taxBySell.cbegin(); it != taxBySell.cend(); ++it) {
        if (!it.value().isEmpty())
            return QStringLiteral("tax record without sell: %1").arg(it.key());
    }
    return {};
}

} // namespace gainbook::test
