#include "platform/next_token.h"

namespace gainbook {

void Tokenizer::reset() {
    text_.clear();
    begin_ = 0;
    end_ = 0;
}

void Tokenizer::keepRest(qsizetype from, bool trim) {
    begin_ = from;
    if (!trim)
        return;
    // Only blanks go; tabs and line breaks stay, as the readers compare them.
    // The text is read through at(): access for writing would copy it.
    while (begin_ < end_ && text_.at(begin_) == u' ')
        ++begin_;
    while (end_ > begin_ && text_.at(end_ - 1) == u' ')
        --end_;
}

QString Tokenizer::NextToken(const QString& delimiter, const QString& text) {
    if (!text.isEmpty()) {
        const qsizetype at = delimiter.isEmpty() ? -1 : text.indexOf(delimiter);
        if (at < 0)
            return text; // the remainder of earlier calls stays
        text_ = text;
        end_ = text_.size();
        // The delimiter is taken as one character: the rest starts right
        // after its first character, trimmed unless the text began with it.
        keepRest(at + 1, at != 0);
        return at == 0 ? QString() : text_.left(at);
    }
    const QStringView source = TokenRemainder();
    const qsizetype at = delimiter.isEmpty() ? -1 : source.indexOf(delimiter);
    if (at < 0)
        return source.toString();
    const QString token = at == 0 ? QString() : source.left(at).toString();
    keepRest(begin_ + at + 1, at != 0);
    return token;
}

} // namespace gainbook
