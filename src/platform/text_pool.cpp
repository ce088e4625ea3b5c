#include "platform/text_pool.h"

namespace gainbook {

// A null text (a NULL of the store) stays null: an empty text in the pool
// would compare equal to it and turn it into ''.
QString TextPool::of(QStringView text) {
    if (text.isNull())
        return QString();
    if (full())
        return text.toString();
    if (const auto found = texts_.find(text); found != texts_.end())
        return *found;
    return *texts_.insert(text.toString()).first;
}

QString TextPool::of(QString text) {
    if (text.isNull() || full())
        return text;
    if (const auto found = texts_.find(QStringView(text)); found != texts_.end())
        return *found;
    texts_.insert(text);
    return text;
}

} // namespace gainbook
