#include "capture/capture_parsers.h"
#include "capture/sheet_rows.h"

namespace gainbook {

namespace {

// The sheet leaves blank lines under its headings: rows up to 10 are always
// read, and only a blank first cell after them ends the data.
constexpr int kAlwaysRead = 10;

} // namespace

ParseResult ProcessWebStreet(const PageDocument& document, CaptureRun& run) {
    if (!document.isSheet()) {
        run.message(openSheetMessage());
        return ParseResult::stopped();
    }
    CaptureState& state = run.state();
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
    if (state.deriveFromData && columns.account) {
        // Row 2 of the export is a blank line; the account shows from row 3.
        state.account = sheet.text(3, columns.account);
        state.month = QStringLiteral("All");
    }

    if (!run.PutDuplicate())
        return ParseResult::stopped();
    state.AddedCount = 0;
    if (!columns.complete()) {
        run.message(missingHeadingMessage());
        return ParseResult::stopped();
    }

    ParseResult result;
    for (int row = 2; row <= kAlwaysRead || !sheet.text(row, 1).isEmpty(); ++row)
        readSheetRow(sheet, row, columns, state, result);
    return result;
}

} // namespace gainbook
