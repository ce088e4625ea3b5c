// The TXF reader on any bytes, and each entry it finds turned into a tax
// record as the import would.
#include "fuzz_support.h"
#include "txf/txf_import.h"
#include "txf/txf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const gainbook::TxfStatement statement = gainbook::readTxf(gainbook::fuzz::bytesOf(data, size));
    for (const gainbook::TxfEntry& entry : statement.entries)
        (void)gainbook::taxRecordFromTxf(entry, statement.accountName);
    return 0;
}
