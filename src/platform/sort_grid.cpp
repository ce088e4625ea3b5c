#include "platform/sort_grid.h"

#include <QAbstractItemModel>

namespace gainbook {

void SortGrid(QAbstractItemModel& grid, int column, int& lastColumn, int& direction) {
    const int next =
        (column == lastColumn && direction == SortAscending) ? SortDescending : SortAscending;
    grid.sort(column - 1, next == SortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    lastColumn = column;
    direction = next;
}

} // namespace gainbook
