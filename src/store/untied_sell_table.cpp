#include "store/untied_sell_table.h"

#include "store/schema.h"
#include "store/sql.h"

#include <QVector>

#include <cmath>
#include <map>
#include <tuple>

namespace gainbook {

namespace {

// A record's quantity is the sum of its lots', which matching rounds to a
// millionth of a share.
constexpr double kSameQuantity = 5e-7;

using Day = std::tuple<QString, QString, QString>; // account, symbol, date sold

struct Sell {
    qint64 id = 0;
    double quantity = 0;
};

struct DayRecords {
    QVector<qint64> records;
    double quantity = 0;
    QVector<Sell> sells;
};

} // namespace

void tieOldTaxRecords(const QSqlDatabase& db) {
    runQuery(db, untiedSellTable());

    std::map<Day, DayRecords> days;
    QSqlQuery old = runQuery(db, QStringLiteral("SELECT ID, AccountName, Symbol, DateSold, "
                                                "Quantity FROM TaxRec WHERE SellId = 0"));
    while (old.next()) {
        const QString sold = old.value(3).toString();
        if (sold.isEmpty())
            continue; // no sell of an unknown day is found
        DayRecords& day = days[{old.value(1).toString(), old.value(2).toString(), sold}];
        day.records.append(old.value(0).toLongLong());
        day.quantity += old.value(4).toDouble();
    }
    old.finish();
    if (days.empty())
        return;

    // A sell that has records of its own was processed since; the old
    // records of its day are someone else's.
    QSet<qint64> tied;
    QSqlQuery own =
        runQuery(db, QStringLiteral("SELECT DISTINCT SellId FROM TaxRec WHERE SellId > 0"));
    while (own.next())
        tied.insert(own.value(0).toLongLong());
    own.finish();

    // The sells detection reads: links of their own account make them sales.
    QSqlQuery sells =
        runQuery(db, QStringLiteral(
                         "SELECT ID, AccountName, Symbol, TxnDate, Quantity FROM Txn "
                         "WHERE Type = 'Sold' AND EXISTS (SELECT 1 FROM SellLinks WHERE "
                         "SellLinks.SellId = Txn.ID AND SellLinks.AccountName = Txn.AccountName)"));
    while (sells.next()) {
        const qint64 id = sells.value(0).toLongLong();
        if (tied.contains(id))
            continue;
        const auto day = days.find(
            {sells.value(1).toString(), sells.value(2).toString(), sells.value(3).toString()});
        if (day != days.end())
            day->second.sells.append({id, sells.value(4).toDouble()});
    }
    sells.finish();

    QSqlQuery tie = prepareQuery(db, QStringLiteral("UPDATE TaxRec SET SellId = ? WHERE ID = ?"));
    QSqlQuery untie = prepareQuery(
        db, QStringLiteral("INSERT OR IGNORE INTO UntiedSell (SellId, AccountName) VALUES (?, ?)"));
    for (const auto& [key, day] : days) {
        if (day.sells.isEmpty())
            continue;
        const Sell& sell = day.sells.front();
        if (day.sells.size() == 1 && day.records.size() <= 2 &&
            std::abs(std::abs(day.quantity) - std::abs(sell.quantity)) < kSameQuantity) {
            for (const qint64 record : day.records)
                execQuery(tie, {sell.id, record});
            continue;
        }
        for (const Sell& untied : day.sells)
            execQuery(untie, {untied.id, textValue(std::get<0>(key))});
    }
}

QSet<qint64> selectUntiedSells(const QSqlDatabase& db) {
    QSet<qint64> ids;
    QSqlQuery query = runQuery(db, QStringLiteral("SELECT SellId FROM UntiedSell"));
    while (query.next())
        ids.insert(query.value(0).toLongLong());
    return ids;
}

void clearUntiedSells(const QSqlDatabase& db, const QString& account) {
    runQuery(db, QStringLiteral("DELETE FROM UntiedSell WHERE AccountName = ?"),
             {textValue(account)});
}

} // namespace gainbook
