#include "capture/sheet_rows.h"

#include "capture/cell_values.h"

#include <cmath>

namespace gainbook {

SheetColumns scanHeadings(const SheetDocument& sheet, const HeadingWords& words) {
    SheetColumns columns;
    for (int col = 1; col <= 20; ++col) {
        const QString heading = sheet.text(1, col).toUpper();
        for (const auto& [word, role] : words) {
            if (!heading.contains(word))
                continue;
            switch (role) {
            case SheetColumns::Date:
                columns.date = col;
                break;
            case SheetColumns::Type:
                columns.type = col;
                break;
            case SheetColumns::Amount:
                columns.amount = col;
                break;
            case SheetColumns::Symbol:
                columns.symbol = col;
                break;
            case SheetColumns::Quantity:
                columns.quantity = col;
                break;
            case SheetColumns::Account:
                columns.account = col;
                break;
            case SheetColumns::None:
            case SheetColumns::Unused:
                break;
            }
            break;
        }
    }
    return columns;
}

void readSheetRow(const SheetDocument& sheet, int row, const SheetColumns& columns,
                  const QDate& today, ParseResult& result) {
    const QString type = sheet.text(row, columns.type).toUpper();
    QString kind;
    if (type.contains(u'B'))
        kind = kBought;
    else if (type.contains(u'S'))
        kind = kSold;
    else
        return;

    const QDate date = sheetDate(sheet.text(row, columns.date), today);
    const auto quantity = numberFromCell(sheet.cell(row, columns.quantity));
    const auto amount = numberFromCell(sheet.cell(row, columns.amount));
    if (!quantity || !amount) {
        ++result.skippedNumbers;
        return;
    }
    // The sheet's own sign stays on the quantity; the amount is always
    // stored positive.
    result.add(sheet.text(row, columns.symbol), *quantity, kind, date, std::abs(*amount));
}

QString openSheetMessage() {
    return QStringLiteral("Please open the Excel sheet before pressing capture button");
}

QString missingHeadingMessage() {
    return QStringLiteral("Please make sure Data conatins  Type , Symbol/Description , "
                          "Qunatity,Amount, Date, columns as header row");
}

} // namespace gainbook
