#pragma once

#include "capture/parse_result.h"

#include <utility>

namespace gainbook {

// The roles a spreadsheet column can play, found from the heading row.
struct SheetColumns {
    enum Role { None, Date, Type, Amount, Symbol, Quantity, Account, Unused };

    int date = 0;
    int type = 0;
    int amount = 0;
    int symbol = 0;
    int quantity = 0;
    int account = 0;

    // Type, symbol (or description), quantity, amount and date all found.
    bool complete() const { return date && type && amount && symbol && quantity; }
};

using HeadingWords = QVector<std::pair<QString, SheetColumns::Role>>;

// Reads headings in row 1, columns 1 to 20. Each heading takes the role of
// the first word it contains, in the order given; a later column with the
// same role replaces an earlier one.
SheetColumns scanHeadings(const SheetDocument& sheet, const HeadingWords& words);

// Turns one data row into a Bought or Sold row: a type containing "B" is a
// buy, else one containing "S" a sell, else the row is passed over. A date
// later than today is pulled back into 2000.
void readSheetRow(const SheetDocument& sheet, int row, const SheetColumns& columns,
                  const QDate& today, ParseResult& result);

// "Please open the Excel sheet before pressing capture button"
QString openSheetMessage();

// The text shown when a heading is missing, spelling as users know it.
QString missingHeadingMessage();

} // namespace gainbook
