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

} // namespace gainbook

Q_DECLARE_TYPEINFO(gainbook::SheetCell, Q_RELOCATABLE_TYPE);

namespace gainbook {

// The active sheet of a hosted spreadsheet, cells by row and column from 1.
// Only the cells that hold something take memory: a cell far down or far to
// the right costs no more than one at the top left. The cells are kept in
// one list in row and column order, so a walk down a sheet that is filled
// from the top finds each cell in one step. A reader that meets the same
// cell many times (a symbol, a date down a column) stores it once and puts
// it in place by its number: each place then costs 8 bytes.
class SheetDocument {
public:
    int rowCount() const { return rowCount_; }
    int columnCount() const { return columnCount_; }
    // How many cells hold something.
    qsizetype cellCount() const { return qsizetype(places_.size()); }

    // An empty cell (or one outside the sheet) reads as empty text and 0.
    QString text(int row, int col) const;
    double number(int row, int col) const;
    const SheetCell& cell(int row, int col) const;

    void setCell(int row, int col, SheetCell cell);

    // A cell stored once for many places; its number for setSharedCell.
    qint32 addSharedCell(SheetCell cell);
    void setSharedCell(int row, int col, qint32 shared);

private:
    // A filled place: its column and the stored cell it shows. A cell of
    // its own is at `cell` in cells_; a shared one at -1 - cell, which
    // setCell replaces instead of overwriting.
    struct Place {
        int column = 0;
        qint32 cell = 0;
    };
    // A row's places run from `first` to the next row's first.
    struct Row {
        int number = 0;
        qsizetype first = 0;
    };
    // The row of that number, or null.
    const Row* findRow(int row) const;
    qsizetype endOf(const Row& row) const;
    void place(int row, int col, qint32 cell, bool shared);

    QVector<Row> rows_;     // ascending by number
    QVector<Place> places_; // by row, then ascending by column
    QVector<SheetCell> cells_;
    int rowCount_ = 0;
    int columnCount_ = 0;
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
