// The CSV reader on any bytes: decoded as the file reader decodes them,
// then parsed into a sheet within the reader's bounds.
#include "capture/sources/csv_reader.h"
#include "fuzz_support.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = gainbook::fuzz::textOf(data, size);
    QString error;
    if (const auto sheet = gainbook::parseCsv(text, &error)) {
        // Every cell the sheet reports is there to read.
        for (int row = 1; row <= std::min(sheet->rowCount(), 64); ++row)
            for (int col = 1; col <= std::min(sheet->columnCount(), 64); ++col)
                (void)sheet->text(row, col);
    }
    return 0;
}
