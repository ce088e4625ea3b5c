#pragma once

#include "platform/tax_year.h"

#include <QList>
#include <QSqlDatabase>

#include <optional>

namespace gainbook {

// The years in which the store has sells (sold transactions or tax
// records), ascending. Throws StoreError.
QList<int> yearsWithSells(const QSqlDatabase& db);

// The year to work in: the one chosen (settings or --year), else the year of
// the latest sold transaction, else 2000, so a store of 2000 trades (or of
// imported tax records alone) works as it always has. Throws StoreError.
TaxYear defaultTaxYear(const QSqlDatabase& db, std::optional<int> chosen);

// The years a user can pick from: those with sells, the current year and
// the year in use, ascending and each once.
QList<int> yearChoices(QList<int> sellYears, int currentYear, TaxYear inUse);

// Where the window keeps the chosen year in the settings.
inline const QString kTaxYearSection = QStringLiteral("Options");
inline const QString kTaxYearKey = QStringLiteral("TaxYear");

} // namespace gainbook
