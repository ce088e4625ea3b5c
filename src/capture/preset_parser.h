#pragma once

#include "capture/broker_presets.h"
#include "capture/parse_result.h"

#include <optional>

namespace gainbook {

// Reads a sheet with the first of the preset's layouts whose heading row
// it holds. A document that is no sheet, or a sheet in none of the layouts,
// gives no rows, and so the no-data message.
ParseResult parsePreset(const BrokerPreset& preset, const PageDocument& document,
                        const CaptureSettings& settings);

// The layout a sheet is in: at the first row that holds the needed
// headings of any layout, the one of them that knows the most of that
// row's headings (the most specific), the earlier preset on a tie.
struct LayoutFit {
    const BrokerPreset* preset = nullptr;
    const PresetLayout* layout = nullptr;
    int row = 0;   // the heading row
    int known = 0; // headings of the row the layout knows
};
std::optional<LayoutFit> detectLayout(const SheetDocument& sheet,
                                      const QVector<BrokerPreset>& presets = brokerPresets());

// The headings a sheet seems to have: the fullest of its first rows.
QStringList sheetHeadings(const SheetDocument& sheet);

// "Detect": reads the sheet with the layout it is in, naming it in readAs
// ("Read as a Fidelity download."). A sheet in no layout is refused with
// the missing-heading message and the headings it has.
ParseResult ProcessDetect(const PageDocument& document, const CaptureSettings& settings);

// The name of the "Detect" entry.
QString detectEntryName();

} // namespace gainbook
