#pragma once

#include "platform/money.h"
#include "platform/tax_year.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

namespace gainbook {

// One replacement lot of one wash sale.
struct WashListingRow {
    QDate dateSold;
    QString symbol;
    Quantity quantitySold;
    Money disallowed; // of the whole sale
    QString replacementAccount;
    QDate dateBought;
    double shares = 0;
    Money addedCost;
    QDate dateAcquired; // the replacement's, moved back; invalid for a permanent one
    bool permanent = false;
    qint64 lossSellId = 0; // the wash sale's Txn row
};

// The wash sales of an account sold in the year, by date sold, each with
// its replacement lots oldest first. Throws StoreError.
QVector<WashListingRow> washListing(const QSqlDatabase& db, const QString& account, TaxYear year);

// The listing's heading and one row's fields as the CLI writes them.
QStringList washListingHeading();
QStringList washListingFields(const WashListingRow& row);

// The note of a replacement bought in a tax-advantaged account.
QString permanentWashText();

} // namespace gainbook
