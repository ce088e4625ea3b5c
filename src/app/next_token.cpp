#include "app/next_token.h"

namespace gainbook {

namespace {

// Only blanks are removed, as the page texts the parsers walk expect.
QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace

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
