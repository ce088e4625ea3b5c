#include "platform/next_token.h"

#include "platform/blank_text.h"

namespace gainbook {

QString Tokenizer::NextToken(const QString& delimiter, const QString& text) {
    const QString source = text.isEmpty() ? remainder_ : text;
    const qsizetype at = delimiter.isEmpty() ? -1 : source.indexOf(delimiter);
    if (at < 0)
        return source;
    // The delimiter is taken as one character: the rest starts right after
    // its first character.
    const QString rest = source.mid(at + 1);
    if (at == 0) {
        remainder_ = rest;
        return QString();
    }
    remainder_ = trimBlanks(rest);
    return source.left(at);
}

} // namespace gainbook
