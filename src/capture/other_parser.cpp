#include "capture/capture_parsers.h"
#include "capture/sheet_rows.h"

namespace gainbook {

ParseResult ProcessOther(const PageDocument& document, const CaptureSettings& settings) {
    ParseResult result(settings);
    if (!document.isSheet())
        return result.refuse(openSheetMessage());
    const SheetDocument& sheet = *document.sheet;
    static const HeadingWords words = {
        {QStringLiteral("DATE"), SheetColumns::Date},
        {QStringLiteral("TYPE"), SheetColumns::Type},
        {QStringLiteral("AMOUNT"), SheetColumns::Amount},
        {QStringLiteral("SYMBOL"), SheetColumns::Symbol},
        {QStringLiteral("QUANTITY"), SheetColumns::Quantity},
        {QStringLiteral("DESCRIPTION"), SheetColumns::Symbol},
        {QStringLiteral("MEMO"), SheetColumns::Unused},
        {QStringLiteral("COMMENT"), SheetColumns::Unused},
    };
    const SheetColumns columns = scanHeadings(sheet, words);
    if (!columns.complete())
        return result.refuse(missingHeadingMessage());

    for (int row = 2; !sheet.text(row, 1).isEmpty(); ++row)
        readSheetRow(sheet, row, columns, settings.today, result);
    return result;
}

} // namespace gainbook
