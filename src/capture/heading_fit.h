#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace gainbook {

class SheetDocument;

// What a download's heading row must and may hold, each column named by the
// headings brokers have given it over the years (case and spacing aside).
struct HeadingLayout {
    QVector<QStringList> needed;
    QVector<QStringList> mayHave;
    QString section; // a row of a statement in sections names its section first
};

// The headings of one row, each at its first column.
using HeadingColumns = QHash<QString, int>;
HeadingColumns rowHeadings(const SheetDocument& sheet, int row);

// The column of the first of a column's headings the row holds; 0 for none.
int headingColumn(const HeadingColumns& at, const QStringList& variants);

// How many of the layout's columns the row names, or nothing when it lacks
// one the layout needs.
std::optional<int> knownHeadings(const HeadingColumns& at, const HeadingLayout& layout);

// The layout a sheet is in: at the first row that holds the needed
// headings of any layout, the one of them that knows the most of that
// row's headings (the most specific), the earlier layout on a tie. Trade
// histories and realized gain files are both told apart this way.
struct HeadingFit {
    int layout = -1; // index into the layouts given
    int row = 0;     // the heading row
    int known = 0;   // headings of the row the layout knows
};
std::optional<HeadingFit> fitHeadings(const SheetDocument& sheet,
                                      const QVector<HeadingLayout>& layouts);

// The filled cells of a row: a heading row has a few, a title one or two.
int filledCells(const SheetDocument& sheet, int row);

} // namespace gainbook
