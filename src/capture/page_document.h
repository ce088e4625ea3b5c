#pragma once

#include <QString>
#include <QVector>

#include <optional>

namespace gainbook {

// One element of an HTML document: its tag name in upper case ("TD", "TR",
// "B") and its inner text (the visible text of it and all it contains).
struct PageElement {
    QString tagName;
    QString innerText;
};

// One cell of a hosted spreadsheet: the text the sheet shows, and its value
// when the cell holds a number (a date cell holds its day serial).
struct SheetCell {
    QString text;
    std::optional<double> number;
};

// The active sheet of a hosted spreadsheet, cells by row and column from 1.
// Only the cells that hold something take memory: a cell far down or far to
// the right costs no more than one at the top left. Rows are kept in order,
// each with its cells in column order, so a walk down a sheet that is filled
// from the top finds each cell in one step.
class SheetDocument {
public:
    int rowCount() const { return rowCount_; }
    int columnCount() const { return columnCount_; }
    // How many cells hold something.
    qsizetype cellCount() const { return cellCount_; }

    // An empty cell (or one outside the sheet) reads as empty text and 0.
    QString text(int row, int col) const;
    double number(int row, int col) const;
    const SheetCell& cell(int row, int col) const;

    void setCell(int row, int col, SheetCell cell);

private:
    struct Entry {
        int column = 0;
        SheetCell cell;
    };
    struct Row {
        int number = 0;
        QVector<Entry> cells; // ascending by column
    };
    // The row of that number, or null.
    const Row* findRow(int row) const;

    QVector<Row> rows_; // ascending by number
    int rowCount_ = 0;
    int columnCount_ = 0;
    qsizetype cellCount_ = 0;
};

// A snapshot of what the browser shows: an HTML document (its elements in
// document order and each frame's document) or a hosted spreadsheet. Taken
// once when a capture starts; parsers walk it and nothing is reloaded.
struct PageDocument {
    QString address;
    QVector<PageElement> elements;
    QVector<PageDocument> frames;
    std::optional<SheetDocument> sheet;

    bool isSheet() const { return sheet.has_value(); }
    // "Microsoft Excel Worksheet" for a hosted spreadsheet.
    QString documentType() const;
};

} // namespace gainbook
