#pragma once

#include <QString>

namespace gainbook {

// The shared tokenizer. An empty text continues with what the previous call
// left over; once the delimiter is used up, the last token comes back again
// and again, which is how callers notice the end.
class Tokenizer {
public:
    QString NextToken(const QString& delimiter, const QString& text);

    const QString& TokenRemainder() const { return remainder_; }
    void reset() { remainder_.clear(); }

private:
    QString remainder_;
};

} // namespace gainbook
