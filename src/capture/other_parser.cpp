#include "capture/capture_parsers.h"
#include "capture/sheet_rows.h"

namespace gainbook {

ParseResult ProcessOther(const PageDocument& document, CaptureRun& run) {
    // Asked before the duplicate question: without a sheet there is nothing
    // to ask about.
    if (!document.isSheet()) {
        run.message(openSheetMessage());
        return ParseResult::stopped();
    }
    CaptureState& state = run.state();
    if (!run.PutDuplicate())
        return ParseResult::stopped();
    state.AddedCount = 0;

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
    if (!columns.complete()) {
        run.message(missingHeadingMessage());
        return ParseResult::stopped();
    }

    ParseResult result;
    for (int row = 2; !sheet.text(row, 1).isEmpty(); ++row)
        readSheetRow(sheet, row, columns, state, result);
    return result;
}

} // namespace gainbook
