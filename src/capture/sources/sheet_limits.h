#pragma once

#include "capture/page_document.h"

#include <QIODevice>
#include <QString>

#include <optional>

namespace gainbook {

// The bounds every spreadsheet reader keeps, so that a small damaged or
// hostile file cannot make the program allocate or work without end. They
// lie far beyond what a brokerage export holds.
inline constexpr int kLastSheetRow = 1048576;
inline constexpr int kLastSheetColumn = 16384;
// Cells holding a value.
inline constexpr qsizetype kMaxSheetCells = 8'000'000;
// The rectangle from A1 to the last row and column used, which the capture
// screen shows cell by cell.
inline constexpr qint64 kMaxSheetArea = qint64(32) * kLastSheetRow;
// The used range of a binary workbook (.xls), whose library holds every cell
// of the range, empty or not: four million cells take about 100 MB there.
inline constexpr qint64 kMaxXlsArea = qint64(4) << 20;
// Bytes a reader takes in: a text file, or the parts of a workbook unpacked.
inline constexpr qint64 kMaxSheetBytes = qint64(256) << 20;
// Characters of a workbook's shared strings, all together.
inline constexpr qint64 kMaxSharedTextChars = qint64(64) << 20;

// "The file is too large or damaged: REASON"
QString tooLargeMessage(const QString& reason);

// The text of an open file, read to its end and decoded as UTF-8, or as
// Latin-1 when it is not UTF-8. Beyond kMaxSheetBytes: nullopt, with
// tooLargeMessage in error. Memory is asked for by the file's size, not by
// the bound.
std::optional<QString> readBoundedText(QIODevice& file, QString* error);

// A reader's bound was passed; carries the reason for tooLargeMessage.
struct SheetTooLarge {
    QString reason;
};

// Builds a sheet cell by cell within the bounds above; put() throws
// SheetTooLarge for a cell beyond the last row or column, or one too many.
class BoundedSheet {
public:
    void put(int row, int col, SheetCell cell);
    // A cell stored once for many places (SheetDocument::addSharedCell),
    // and one of its places.
    qint32 share(SheetCell cell) { return sheet_.addSharedCell(std::move(cell)); }
    void putShared(int row, int col, qint32 shared);
    SheetDocument take() { return std::move(sheet_); }

    // The reasons, for readers that check a position before they have a cell.
    static QString rowReason(const QString& row);
    static QString columnReason(const QString& col);

private:
    void check(int row, int col) const;

    SheetDocument sheet_;
};

} // namespace gainbook
