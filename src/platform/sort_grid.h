#pragma once

class QAbstractItemModel;

namespace gainbook {

enum SortDirection : int { SortAscending = 1, SortDescending = 2 };

// Sorts all data rows of a grid (any model whose sort() sorts it: a sheet or
// a table of records) by one column, numbered from 1. A repeated click on
// the same column reverses the order; a click on another column sorts
// ascending. lastColumn and direction carry the state from one click to the
// next.
void SortGrid(QAbstractItemModel& grid, int column, int& lastColumn, int& direction);

} // namespace gainbook
