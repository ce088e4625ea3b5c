#include "capture/capture_parsers.h"
#include "capture/sheet_rows.h"

namespace gainbook {

namespace {

// The sheet leaves blank lines under its headings: rows up to 10 are always
// read, and only a blank first cell after them ends the data.
constexpr int kAlwaysRead = 10;

} // namespace

ParseResult ProcessWebStreet(const PageDocument& document, const CaptureSettings& settings) {
    ParseResult result(settings);
    if (!document.isSheet())
        return result.refuse(openSheetMessage());
    const SheetDocument& sheet = *document.sheet;
    static const HeadingWords words = {
        {QStringLiteral("SETTLEMENT"), SheetColumns::Date},
        {QStringLiteral("BUYSELL"), SheetColumns::Type},
        {QStringLiteral("TOTALPRICE"), SheetColumns::Amount},
        {QStringLiteral("SYMBOL"), SheetColumns::Symbol},
        {QStringLiteral("QUANTITY"), SheetColumns::Quantity},
        {QStringLiteral("DESCRIPTION"), SheetColumns::Symbol},
        {QStringLiteral("MEMO"), SheetColumns::Unused},
        {QStringLiteral("COMMENT"), SheetColumns::Unused},
        {QStringLiteral("ACCOUNT"), SheetColumns::Account},
    };
    const SheetColumns columns = scanHeadings(sheet, words);
    if (settings.deriveFromData && columns.account) {
        // Row 2 of the export is a blank line; the account shows from row 3.
        result.account = sheet.text(3, columns.account);
        result.month = QStringLiteral("All");
        result.askAboutCurrentFields();
    }
    if (!columns.complete())
        return result.refuse(missingHeadingMessage());

    for (int row = 2; row <= kAlwaysRead || !sheet.text(row, 1).isEmpty(); ++row)
        readSheetRow(sheet, row, columns, settings.today, result);
    return result;
}

} // namespace gainbook
