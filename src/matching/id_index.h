#pragma once

#include <QtGlobal>

#include <algorithm>
#include <utility>
#include <vector>

namespace gainbook {

// The positions of rows in a list by their IDs, for the lists of a run that
// holds a million rows: IDs of one table mostly run without gaps, so a flat
// table over their range costs a few bytes a row where a hash costs many
// and an allocation each. IDs spread too thin for that are kept sorted and
// searched by halves. An ID given twice finds its last position.
class IdIndex {
public:
    IdIndex() = default;

    // idOf(i) is the ID of the row at position i, for i below count.
    template <typename IdOf> IdIndex(qsizetype count, IdOf idOf) {
        if (count == 0)
            return;
        qint64 low = idOf(0);
        qint64 high = low;
        for (qsizetype i = 1; i < count; ++i) {
            const qint64 id = idOf(i);
            low = std::min(low, id);
            high = std::max(high, id);
        }
        if (fitsTable(low, high, count)) {
            first_ = low;
            table_.assign(size_t(high - low) + 1, 0);
            for (qsizetype i = 0; i < count; ++i)
                table_[size_t(idOf(i) - low)] = qint32(i + 1);
            return;
        }
        sorted_.reserve(size_t(count));
        for (qsizetype i = 0; i < count; ++i)
            sorted_.emplace_back(idOf(i), i);
        sortIds();
    }

    // The position of id, or -1 when no row has it.
    qsizetype find(qint64 id) const;

private:
    static bool fitsTable(qint64 low, qint64 high, qsizetype count);
    void sortIds();

    qint64 first_ = 0;
    std::vector<qint32> table_; // position + 1 of each ID from first_ on; 0 for none
    std::vector<std::pair<qint64, qsizetype>> sorted_; // by ID, then position
};

} // namespace gainbook
