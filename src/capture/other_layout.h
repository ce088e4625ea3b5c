#pragma once

#include "capture/capture_settings.h"
#include "capture/page_document.h"
#include "capture/parse_result.h"
#include "capture/sheet_rows.h"

namespace gainbook {

// Where the "Other" entry finds its data in a sheet: the heading row, the
// data rows under it, the column of each role, and whether the quantity and
// amount columns write decimal commas.
struct OtherLayout {
    int headingRow = 0; // 0 when no row in reach names the columns of a trade
    int firstRow = 0;
    int lastRow = -1; // the data rows end before the first empty cell in column 1
    SheetColumns columns;
    bool quantityComma = false;
    bool amountComma = false;
};

// Looks for the heading row in rows 1 to 30, columns 1 to 20: the first row
// naming a date, a type or action, a symbol or description, and a quantity
// (case, spacing and punctuation ignored). Among several candidates for a
// role the better-named one wins, whatever its place: a trade date over a
// settlement date, a symbol over a description. A type column whose values
// are only Cash, Margin or Short is no type column.
OtherLayout findOtherLayout(const SheetDocument& sheet);

// Turns the layout's data rows into Bought and Sold rows by their trade
// words; other rows are counted by kind, unreadable ones by reason.
void readOtherRows(const SheetDocument& sheet, const OtherLayout& layout,
                   const CaptureSettings& settings, ParseResult& result);

} // namespace gainbook
