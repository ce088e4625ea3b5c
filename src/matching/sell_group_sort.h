#pragma once

#include "matching/match_row.h"

#include <QVector>

namespace gainbook {

// Sorts the rows of the matching grid by a column of the sell: the sell's
// first row and the lot rows below it move together, so a lot never ends
// up under another sell. Only "Date Sold" and "Symbol" sort (by date, and by
// symbol without regard to case); other columns leave the rows as they are
// and return false. Stable: sells that tie keep their order.
bool sortSellGroups(QVector<MatchRow>& rows, int col, Qt::SortOrder order);

} // namespace gainbook
