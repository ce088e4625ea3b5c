#pragma once

#include "capture/broker_presets.h"
#include "capture/parse_result.h"

namespace gainbook {

// The layouts of the digital-asset exchanges' downloads: Coinbase's
// transaction history and Kraken's trades.
PresetLayout coinbaseLayout();
PresetLayout krakenLayout();

// Reads an exchange's rows under its heading row. A buy costs what was paid
// with its fee and a sale brings in its proceeds less its fee (the basis
// takes the costs of acquiring, the amount realized is net of the costs of
// selling); a conversion of one coin to another is a sale of the first and
// a buy of the second at the value the row gives; staking and rewards are
// buys at their value when received, marked as income. Coins received from
// elsewhere are buys of unknown cost, as any download's shares moved in;
// coins sent away are left to the transfers. Rows priced in another
// currency than the dollar are counted and left out, as no value in
// dollars is known for them; so are Kraken's margin trades, which move no
// coin. A time zone no zone has refuses the sheet.
void readExchangeRows(const PresetLayout& layout, const SheetDocument& sheet, int headingRow,
                      const CaptureSettings& settings, ParseResult& result);

} // namespace gainbook
