#pragma once

#include <QDate>

namespace gainbook {

enum class HoldingTerm { Unknown, Short, Long };

// Long term when sold after the same day one calendar year after the
// acquisition (a lot bought on Feb 29 turns long after Feb 28 of the next
// year); short otherwise, also for a buy made after the sale. Unknown when
// either date is.
HoldingTerm holdingTerm(const QDate& acquired, const QDate& sold);

} // namespace gainbook
