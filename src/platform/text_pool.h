#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>

#include <unordered_set>

namespace gainbook {

// One copy of each text that many rows repeat (an account, a kind of trade,
// a symbol, a date): rows share it instead of each holding its own, which at
// a million rows keeps hundreds of megabytes free and saves as many
// allocations. A pool that holds `most` texts passes every text through
// as it is, so a column of mostly distinct texts (amounts) costs a bounded
// table and, from then on, no lookups.
class TextPool {
public:
    explicit TextPool(qsizetype most = 65536) : most_(most) {}

    QString of(QStringView text);
    QString of(QString text);

private:
    bool full() const { return qsizetype(texts_.size()) >= most_; }

    // A QStringView is looked up without building a QString first.
    struct Hash {
        using is_transparent = void;
        size_t operator()(QStringView text) const noexcept { return qHash(text); }
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(QStringView a, QStringView b) const noexcept { return a == b; }
    };

    std::unordered_set<QString, Hash, Equal> texts_;
    qsizetype most_;
};

} // namespace gainbook
