#include "matching/sell_group_sort.h"

#include <algorithm>

namespace gainbook {

namespace {

struct SellGroup {
    qsizetype first = 0; // index of the sell's first row
    qsizetype size = 0;
    const TxnRecord* sell = nullptr;
};

} // namespace

bool sortSellGroups(QVector<MatchRow>& rows, int col, Qt::SortOrder order) {
    if (col != MatchGridCol::DateSold && col != MatchGridCol::Symbol)
        return false;
    QVector<SellGroup> groups;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        // A lot row before any sell row stays with the rows before it.
        if (rows[i].sell || groups.isEmpty())
            groups.append({i, 0, rows[i].sell ? &*rows[i].sell : nullptr});
        ++groups.back().size;
    }
    const auto less = [col](const SellGroup& a, const SellGroup& b) {
        if (!a.sell || !b.sell)
            return bool(b.sell) && !a.sell;
        if (col == MatchGridCol::DateSold)
            return a.sell->txnDate < b.sell->txnDate;
        return a.sell->symbol.compare(b.sell->symbol, Qt::CaseInsensitive) < 0;
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(groups.begin(), groups.end(), less);
    else
        std::stable_sort(groups.begin(), groups.end(),
                         [&less](const SellGroup& a, const SellGroup& b) { return less(b, a); });

    QVector<MatchRow> sorted;
    sorted.reserve(rows.size());
    for (const SellGroup& group : std::as_const(groups)) {
        for (qsizetype i = group.first; i < group.first + group.size; ++i)
            sorted.append(std::move(rows[i]));
    }
    rows = std::move(sorted);
    return true;
}

} // namespace gainbook
