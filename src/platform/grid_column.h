#pragma once

#include <QString>
#include <QtGlobal>

namespace gainbook {

// What a cell holds and how an editor treats it. A check box reads "1" or
// "0"; a button shows its text as the caption.
enum class CellKind { Text, Whole, Decimal, Date, CheckBox, Button, DropDown };

// One column of a spreadsheet grid as the view lays it out.
struct GridColumn {
    QString heading;
    int width = 8; // in characters
    CellKind kind = CellKind::Text;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool locked = false;
    bool hidden = false;
};

// The roles a grid model answers beside Qt's own, so that one view and one
// delegate draw every grid: a sheet of texts and a table of records alike.
namespace GridRole {
enum : int {
    TextColor = Qt::UserRole + 1, // a cell's row text colour as a QRgb, 0 = normal
    Changed,                      // the cell's row holds edits not saved yet
    Kind,                         // the cell's CellKind, as an int
    Choices,                      // a drop-down cell's entries
    ColumnWidth,                  // horizontal heading: the width in characters
    ColumnHidden,                 // horizontal heading: the view hides the column
};
}

// Text colour of a row that was refused (opaque red).
inline constexpr quint32 kErrorTextColor = 0xFFFF0000u;
// Text colour of a row that carries a note for the user's eye (dark amber).
inline constexpr quint32 kNoteTextColor = 0xFFB05A00u;

// Columns of these kinds sort by their text, the others by value.
inline bool sortsByText(CellKind kind) {
    return kind == CellKind::Text || kind == CellKind::DropDown || kind == CellKind::Button;
}

} // namespace gainbook
