#include "platform/lot_method.h"

#include <QVector>

namespace gainbook {

const QVector<LotMethod>& allLotMethods() {
    static const QVector<LotMethod> methods{LotMethod::Fifo, LotMethod::Lifo, LotMethod::Highest,
                                            LotMethod::Lowest, LotMethod::Average};
    return methods;
}

QString lotMethodWord(LotMethod method) {
    switch (method) {
    case LotMethod::Lifo:
        return QStringLiteral("lifo");
    case LotMethod::Highest:
        return QStringLiteral("highest");
    case LotMethod::Lowest:
        return QStringLiteral("lowest");
    case LotMethod::Average:
        return QStringLiteral("average");
    case LotMethod::Fifo:
        break;
    }
    return QStringLiteral("fifo");
}

std::optional<LotMethod> lotMethodFromWord(const QString& word) {
    const QString wanted = word.trimmed().toLower();
    for (const LotMethod method : allLotMethods()) {
        if (lotMethodWord(method) == wanted)
            return method;
    }
    return std::nullopt;
}

QString lotMethodName(LotMethod method) {
    switch (method) {
    case LotMethod::Lifo:
        return QStringLiteral("Last in, first out");
    case LotMethod::Highest:
        return QStringLiteral("Highest cost first");
    case LotMethod::Lowest:
        return QStringLiteral("Lowest cost first");
    case LotMethod::Average:
        return QStringLiteral("Average cost");
    case LotMethod::Fifo:
        break;
    }
    return QStringLiteral("First in, first out");
}

bool AccountLotMethods::allFifo() const {
    if (method != LotMethod::Fifo)
        return false;
    for (const LotMethod other : bySymbol) {
        if (other != LotMethod::Fifo)
            return false;
    }
    return true;
}

} // namespace gainbook
