#pragma once

namespace gainbook {

class SheetModel;

enum SortDirection : int { SortAscending = 1, SortDescending = 2 };

// Sorts all data rows of a grid by one column. A repeated click on the same
// column reverses the order; a click on another column sorts ascending.
// lastColumn and direction carry the state from one click to the next.
void SortGrid(SheetModel& grid, int column, int& lastColumn, int& direction);

} // namespace gainbook
