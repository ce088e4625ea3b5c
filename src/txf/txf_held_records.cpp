#include "txf/txf_held_records.h"

#include "store/tax_table.h"

#include <QHash>

#include <algorithm>

namespace gainbook {

namespace {

// What makes two tax records the same sale.
struct SaleKey {
    QString symbol;
    qint64 quantity = 0; // hundred-millionths
    qint64 acquired = 0; // Julian days; 0 when unknown
    qint64 sold = 0;
    qint64 cost = 0;
    qint64 salePrice = 0;

    explicit SaleKey(const TaxRecord& r)
        : symbol(r.symbol), quantity(r.quantity.units()), acquired(r.dateAcquired.toJulianDay()),
          sold(r.dateSold.toJulianDay()), cost(r.cost.units()), salePrice(r.salePrice.units()) {}

    friend bool operator==(const SaleKey&, const SaleKey&) = default;
};

size_t qHash(const SaleKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.symbol, key.quantity, key.acquired, key.sold, key.cost,
                      key.salePrice);
}

} // namespace

qint64 countHeldAlready(const QSqlDatabase& db, const QString& account,
                        const QVector<TaxRecord>& records) {
    if (records.isEmpty())
        return 0;
    const auto [first, last] = std::minmax_element(
        records.cbegin(), records.cend(),
        [](const TaxRecord& a, const TaxRecord& b) { return a.dateSold < b.dateSold; });
    QHash<SaleKey, qint64> held;
    for (const TaxRecord& record : selectTaxRecs(db, account, first->dateSold, last->dateSold))
        ++held[SaleKey(record)];
    if (held.isEmpty())
        return 0;
    qint64 count = 0;
    for (const TaxRecord& record : records) {
        const auto found = held.find(SaleKey(record));
        if (found != held.end() && *found > 0) {
            --*found;
            ++count;
        }
    }
    return count;
}

} // namespace gainbook
