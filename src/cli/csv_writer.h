#pragma once

#include <QStringList>
#include <QTextStream>

namespace gainbook {

class SheetModel;

// RFC 4180 output: comma separated, a field quoted when it holds a comma,
// quote or line break, LF line ends.
void writeCsvRow(QTextStream& out, const QStringList& fields);

// The heading row and every row of a grid, hidden columns included.
void writeCsvGrid(QTextStream& out, const SheetModel& grid);

} // namespace gainbook
