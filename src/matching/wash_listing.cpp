#include "matching/wash_listing.h"

#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "store/sql.h"

#include <QHash>

namespace gainbook {

QVector<WashListingRow> washListing(const QSqlDatabase& db, const QString& account, TaxYear year) {
    QSqlQuery query = runQuery(
        db,
        QStringLiteral("SELECT S.TxnDate, S.Symbol, S.Quantity, "
                       "A.LossSellId, "
                       "B.AccountName, B.TxnDate, A.Shares, A.AddedCost, A.DaysBack, A.Permanent, "
                       "B.Type = 'Sold' "
                       "FROM LotAdjust A JOIN Txn S ON S.ID = A.LossSellId "
                       "JOIN Txn B ON B.ID = A.BuyId "
                       // A row that moves the date on is a short sale's
                       // holding reset, not a wash sale.
                       "WHERE A.LossAccount = ? AND A.DaysBack >= 0 "
                       "AND S.TxnDate BETWEEN ? AND ? "
                       "ORDER BY S.TxnDate, S.ID, B.TxnDate, B.ID, A.FirstShare"),
        {textValue(account), isoDate(year.firstDay()), isoDate(year.lastDay())});
    QVector<WashListingRow> rows;
    while (query.next()) {
        WashListingRow row;
        row.dateSold = dateFromStored(query.value(0).toString());
        row.symbol = query.value(1).toString();
        row.quantitySold = Quantity::fromDouble(query.value(2).toDouble());
        row.lossSellId = query.value(3).toLongLong();
        row.replacementAccount = query.value(4).toString();
        row.dateBought = dateFromStored(query.value(5).toString());
        row.shares = query.value(6).toDouble();
        row.addedCost = Money::fromDouble(query.value(7).toDouble());
        row.permanent = query.value(9).toInt() != 0;
        // A put written keeps its own days: a writer's gain is short term.
        if (!row.permanent && query.value(10).toInt() == 0)
            row.dateAcquired = row.dateBought.addDays(-query.value(8).toLongLong());
        rows.append(row);
    }
    // The sale's disallowed loss is what its replacement lots took over.
    QHash<qint64, Money> disallowed;
    for (const WashListingRow& row : std::as_const(rows))
        disallowed[row.lossSellId] += row.addedCost;
    for (WashListingRow& row : rows)
        row.disallowed = disallowed.value(row.lossSellId);
    return rows;
}

QStringList washListingHeading() {
    return {QStringLiteral("Date Sold"),
            QStringLiteral("Symbol"),
            QStringLiteral("Quantity"),
            QStringLiteral("Disallowed"),
            QStringLiteral("Replacement Account"),
            QStringLiteral("Date Bought"),
            QStringLiteral("Shares"),
            QStringLiteral("Added Cost"),
            QStringLiteral("Date Acquired"),
            QStringLiteral("Note")};
}

QString permanentWashText() {
    return QStringLiteral("Bought in a tax-advantaged account: loss disallowed permanently, no "
                          "basis adjusted");
}

QStringList washListingFields(const WashListingRow& row) {
    return {formatDate(row.dateSold),     row.symbol,
            row.quantitySold.text(),      formatMoney(row.disallowed),
            row.replacementAccount,       formatDate(row.dateBought),
            numberToText(row.shares),     formatMoney(row.addedCost),
            formatDate(row.dateAcquired), row.permanent ? permanentWashText() : QString()};
}

} // namespace gainbook
