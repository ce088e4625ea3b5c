#pragma once

#include "capture/broker_presets.h"
#include "capture/parse_result.h"

namespace gainbook {

// Reads a sheet with the first of the preset's layouts whose heading row
// it holds. A document that is no sheet, or a sheet in none of the layouts,
// gives no rows, and so the no-data message.
ParseResult parsePreset(const BrokerPreset& preset, const PageDocument& document,
                        const CaptureSettings& settings);

} // namespace gainbook
