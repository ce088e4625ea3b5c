#include "platform/holding_term.h"

namespace gainbook {

HoldingTerm holdingTerm(const QDate& acquired, const QDate& sold) {
    if (!acquired.isValid() || !sold.isValid())
        return HoldingTerm::Unknown;
    return sold > acquired.addYears(1) ? HoldingTerm::Long : HoldingTerm::Short;
}

} // namespace gainbook
