#include "cli/csv_writer.h"

#include "platform/sheet_model.h"

namespace gainbook {

void writeCsvGrid(QTextStream& out, const SheetModel& grid) {
    QStringList headings;
    for (const SheetColumn& column : grid.layout())
        headings << column.heading;
    writeCsvRow(out, headings);
    for (int row = 1; row <= grid.rows(); ++row)
        writeCsvRow(out, grid.rowTexts(row));
}

} // namespace gainbook
