#pragma once

#include <QHash>
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
// the right costs no more than one at the top left.
class SheetDocument {
public:
    int rowCount() const { return rows_; }
    int columnCount() const { return columns_; }
    // How many cells hold something.
    qsizetype cellCount() const { return cells_.size(); }

    // An empty cell (or one outside the sheet) reads as empty text and 0.
    QString text(int row, int col) const;
    double number(int row, int col) const;
    const SheetCell& cell(int row, int col) const;

    void setCell(int row, int col, SheetCell cell);

private:
    static quint64 key(int row, int col) { return quint64(quint32(row)) << 32 | quint32(col); }

    QHash<quint64, SheetCell> cells_;
    int rows_ = 0;
    int columns_ = 0;
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
