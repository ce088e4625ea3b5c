#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

namespace gainbook {

struct TaxReport;

// A printed report as lines of text, each with the part it plays on the
// page. Table lines are laid out in fixed-width columns (a monospaced font
// keeps them aligned), so that a printer only places lines on pages: tens
// of thousands of rows print in a fraction of the time a table layout
// engine would take.
struct PrintLine {
    enum class Kind : char {
        Title = 'T',   // the report's title
        Heading = 'H', // a section's caption
        Text = 'P',    // a paragraph
        Columns = 'C', // a table's column headings, repeated on each page it spans
        Row = 'R',     // a table row
        Account = 'A', // an account's name over its lines within a table
        Total = 'S',   // a table's totals row, ruled off above
        Gap = 'G',     // an empty line's worth of space
    };
    Kind kind = Kind::Text;
    QString text;

    friend bool operator==(const PrintLine&, const PrintLine&) = default;
};

// The report's lines: title and summary, a table per box (column headings,
// lines, totals) under its caption, then the Schedule D lines the boxes
// feed, and the digital-asset income of the year when there is any. Of
// several accounts, a box's lines come under each account's name, with the
// account's totals ("Total O'Brien IRA") after them.
QVector<PrintLine> taxReportPrintLines(const TaxReport& report);

// What the digital-asset income section says under its caption.
QString incomeNote(int year);

// What a box holds, as its caption says ("Box A: short term, basis
// reported to the IRS"; the unknown term has its own caption).
QString reportBoxCaption(QChar box);

// The lines as UTF-8 text, one per line: the kind's letter, a tab, the
// text; and back. Lines of unknown kind are dropped when read.
QByteArray printLinesToText(const QVector<PrintLine>& lines);
QVector<PrintLine> printLinesFromText(const QByteArray& text);

} // namespace gainbook
