#include "cli/csv_writer.h"

#include "platform/sheet_model.h"

namespace gainbook {

namespace {

QString csvField(const QString& field) {
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') &&
        !field.contains(u'\r'))
        return field;
    QString quoted = field;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

void writeCsvRow(QTextStream& out, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out << ',';
        out << csvField(fields[i]);
    }
    out << '\n';
}

void writeCsvGrid(QTextStream& out, const SheetModel& grid) {
    QStringList headings;
    for (const SheetColumn& column : grid.layout())
        headings << column.heading;
    writeCsvRow(out, headings);
    for (int row = 1; row <= grid.rows(); ++row)
        writeCsvRow(out, grid.rowTexts(row));
}

} // namespace gainbook
