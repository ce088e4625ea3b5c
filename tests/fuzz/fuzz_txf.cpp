// The TXF reader on any bytes, and each record it finds turned into a tax
// record as the import does.
#include "fuzz_support.h"
#include "txf/txf_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gainbook::TxfImport txf;
    (void)txf.read(gainbook::fuzz::bytesOf(data, size));
    return 0;
}
