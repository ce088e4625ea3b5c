#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace gainbook {

// The year a store of 2000 trades has always been worked in; also the
// year of a store without sells.
inline constexpr int kDefaultTaxYear = 2000;
inline constexpr int kFirstTaxYear = 1900;
inline constexpr int kLastTaxYear = 2100;

// The tax year being worked on: the processing grid, the tax view and its
// totals, new tax rows and the TXF export select records sold in it.
struct TaxYear {
    int year = kDefaultTaxYear;

    QDate firstDay() const { return QDate(year, 1, 1); }
    QDate lastDay() const { return QDate(year, 12, 31); }
    bool contains(const QDate& date) const { return date.isValid() && date.year() == year; }

    friend bool operator==(TaxYear, TaxYear) = default;
};

// A year of four digits from 1900 to 2100; nothing for any other text.
inline std::optional<TaxYear> parseTaxYear(const QString& text) {
    bool ok = false;
    const int year = text.trimmed().toInt(&ok);
    if (!ok || year < kFirstTaxYear || year > kLastTaxYear)
        return std::nullopt;
    return TaxYear{year};
}

} // namespace gainbook
