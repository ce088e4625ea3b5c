#include "platform/sort_grid.h"

#include "platform/sheet_model.h"

namespace gainbook {

void SortGrid(SheetModel& grid, int column, int& lastColumn, int& direction) {
    const int next =
        (column == lastColumn && direction == SortAscending) ? SortDescending : SortAscending;
    grid.sortRows(column, next == SortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    lastColumn = column;
    direction = next;
}

} // namespace gainbook
