#include "matching/id_index.h"

#include <algorithm>
#include <limits>

namespace gainbook {

bool IdIndex::fitsTable(qint64 low, qint64 high, qsizetype count) {
    // Worked out without overflow: IDs may lie anywhere a 64-bit integer
    // reaches. The table may be a few times the rows, no more.
    const quint64 range = quint64(high) - quint64(low);
    const quint64 most = quint64(count) * 4 + 1024;
    return range < most && count < std::numeric_limits<qint32>::max();
}

void IdIndex::sortIds() {
    std::sort(sorted_.begin(), sorted_.end());
}

qsizetype IdIndex::find(qint64 id) const {
    if (!table_.empty()) {
        if (id < first_ || quint64(id) - quint64(first_) >= table_.size())
            return -1;
        return qsizetype(table_[size_t(quint64(id) - quint64(first_))]) - 1;
    }
    // The last of the pairs with this ID: the one given last.
    const auto after = std::upper_bound(
        sorted_.begin(), sorted_.end(), id,
        [](qint64 wanted, const std::pair<qint64, qsizetype>& row) { return wanted < row.first; });
    if (after == sorted_.begin() || std::prev(after)->first != id)
        return -1;
    return std::prev(after)->second;
}

} // namespace gainbook
