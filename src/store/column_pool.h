#pragma once

#include "store/fast_statement.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace gainbook {

// One copy of each value a column repeats (the account, the month, the
// type, a symbol, a date), converted once and shared by every row that
// holds it. On an account of a million rows most texts repeat, so the
// reading then costs one lookup of the engine's text per cell instead of a
// copy and an allocation.
template <class Value> class ColumnPool {
public:
    using Convert = Value (*)(const QString& text);

    explicit ColumnPool(Convert convert) : convert_(convert) {}

    // The value of the column in the statement's current row; a NULL
    // converts as a null QString.
    const Value& of(const FastStatement& row, int column) {
        if (row.isNull(column)) {
            if (!null_)
                null_ = convert_(QString());
            return *null_;
        }
        const QStringView text = row.textView(column);
        const std::u16string_view key(text.utf16(), size_t(text.size()));
        // Runs of one value (the account, often the type) skip the hashing.
        if (last_ && last_->first == key)
            return last_->second;
        if (const auto found = values_.find(key); found != values_.end()) {
            last_ = &*found;
            return found->second;
        }
        Value value = convert_(text.toString());
        // A column of values that hardly repeat (the open quantities in
        // the memo) would only grow the pool.
        if (values_.size() >= kMostValues) {
            spare_ = std::move(value);
            return spare_;
        }
        last_ = &*values_.emplace(std::u16string(key), std::move(value)).first;
        return last_->second;
    }

private:
    static constexpr size_t kMostValues = 1 << 16;

    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::u16string_view text) const {
            return std::hash<std::u16string_view>{}(text);
        }
    };

    Convert convert_;
    std::unordered_map<std::u16string, Value, TextHash, std::equal_to<>> values_;
    // The entry found last; entries stay where they are as the map grows.
    const std::pair<const std::u16string, Value>* last_ = nullptr;
    std::optional<Value> null_;
    Value spare_{};
};

} // namespace gainbook
