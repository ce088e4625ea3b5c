#pragma once

#include "capture/parse_result.h"

namespace gainbook {

// One parser per broker layout. Each reads the document shown when "Capture
// Data" was pressed and returns the rows it recognised; the run asks about
// duplicates and writes them.

// The account name the rows are filed under: from a short "Account: ..."
// cell when "Derive from Data" is checked and the page has one, else the
// account as typed.
QString GetEtradeRec(const PageDocument& document, const CaptureSettings& settings);
ParseResult ProcessEtrade(const PageDocument& document, const CaptureSettings& settings);
ParseResult ProcessDatek(const PageDocument& document, const CaptureSettings& settings);
ParseResult ProcessWit(const PageDocument& document, const CaptureSettings& settings);
ParseResult ProcessWebStreet(const PageDocument& document, const CaptureSettings& settings);
ParseResult ProcessFBR(const PageDocument& document, const CaptureSettings& settings);
ParseResult ProcessWaterhouse(const PageDocument& document, const CaptureSettings& settings);
ParseResult ProcessOther(const PageDocument& document, const CaptureSettings& settings);

} // namespace gainbook
