// A workbook reader (.xls through FreeXL, or .xlsx through libzip and the
// XML reader, chosen by the environment's GAINBOOK_FUZZ_SUFFIX) on any bytes.
#include "capture/sources/spreadsheet_reader.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

QString suffix;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    gainbook::fuzz::startQt(argc, argv);
    suffix = qEnvironmentVariable("GAINBOOK_FUZZ_SUFFIX");
    // A run that fed neither reader would pass without having tried one.
    if (suffix != QLatin1String("xls") && suffix != QLatin1String("xlsx")) {
        std::fprintf(stderr, "GAINBOOK_FUZZ_SUFFIX must be xls or xlsx\n");
        std::exit(2);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path = gainbook::fuzz::inputFile(suffix);
    if (!gainbook::fuzz::writeInput(path, data, size))
        return 0;
    QString error;
    if (const auto sheet = gainbook::readSpreadsheet(path, &error)) {
        for (int row = 1; row <= std::min(sheet->rowCount(), 64); ++row)
            for (int col = 1; col <= std::min(sheet->columnCount(), 64); ++col)
                (void)sheet->number(row, col);
    }
    return 0;
}
