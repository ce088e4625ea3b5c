#pragma once

#include "platform/csv_row.h"
#include "platform/record_columns.h"

#include <QStringList>
#include <QTextStream>

namespace gainbook {

// The heading row and every record, each cell as the grid shows it, hidden
// columns included.
template <class Record>
void writeCsvRecords(QTextStream& out, const RecordColumns<Record>& columns,
                     const QVector<Record>& records) {
    const QVector<GridColumn> layout = columns.layout();
    QStringList fields;
    for (const GridColumn& column : layout)
        fields << column.heading;
    writeCsvRow(out, fields);
    for (const Record& record : records) {
        fields.clear();
        for (int col = 1; col <= layout.size(); ++col)
            fields << columns.text(record, col);
        writeCsvRow(out, fields);
    }
}

} // namespace gainbook
