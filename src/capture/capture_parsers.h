#pragma once

#include "capture/capture_run.h"

namespace gainbook {

// One parser per broker layout. Each reads the document shown when "Capture
// Data" was pressed and returns the rows it recognised; the run writes them.

// Takes the account name from a short "Account: ..." cell when "Derive from
// Data" is checked. Always returns an empty text.
QString GetEtradeRec(const PageDocument& document, CaptureState& state);
ParseResult ProcessEtrade(const PageDocument& document, CaptureRun& run);
ParseResult ProcessDatek(const PageDocument& document, CaptureRun& run);
ParseResult ProcessWit(const PageDocument& document, CaptureRun& run);
ParseResult ProcessWebStreet(const PageDocument& document, CaptureRun& run);
ParseResult ProcessFBR(const PageDocument& document, CaptureRun& run);
ParseResult ProcessWaterhouse(const PageDocument& document, CaptureRun& run);
ParseResult ProcessOther(const PageDocument& document, CaptureRun& run);

} // namespace gainbook
