#include "platform/record_columns.h"

#include <algorithm>
#include <numeric>

namespace gainbook {

const RefusedCell* RowState::refusedCell(int column) const {
    for (const RefusedCell& cell : refused) {
        if (cell.column == column)
            return &cell;
    }
    return nullptr;
}

void RowState::forgetRefused(int column) {
    refused.removeIf([column](const RefusedCell& cell) { return cell.column == column; });
}

QVector<int> sortedOrder(const QVector<SortKey>& keys, bool byText, Qt::SortOrder order) {
    QVector<int> perm(keys.size());
    std::iota(perm.begin(), perm.end(), 0);
    const bool ascending = order == Qt::AscendingOrder;
    std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) {
        if (byText) {
            const int c = keys[a].text.compare(keys[b].text);
            return ascending ? c < 0 : c > 0;
        }
        return ascending ? keys[a].number < keys[b].number : keys[a].number > keys[b].number;
    });
    return perm;
}

} // namespace gainbook
