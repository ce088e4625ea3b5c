#include "capture/capture_parsers.h"
#include "capture/cell_values.h"
#include "capture/scan_helpers.h"

#include <cmath>

namespace gainbook {

namespace {

const QString kTd = QStringLiteral("TD");

// "BRK/B" keeps "BRK"; a company name such as "Acme Corp." becomes
// "ACMECORP".
QString cleanSymbol(const QString& security) {
    const qsizetype slash = security.indexOf(u'/');
    if (slash >= 0)
        return trimBlanks(security.left(slash));
    return CompactJunk(security);
}

} // namespace

ParseResult ProcessWaterhouse(const PageDocument& document, const CaptureSettings& settings) {
    ParseResult result(settings);
    const ElementList& list = document.elements;
    const int n = int(list.size());
    bool started = false;
    // The table has no end mark: rows of other kinds after it are passed over.
    for (int i = 0; i <= n - 1; ++i) {
        if (list[i].tagName == kTd && list[i].innerText.startsWith(QLatin1String("Settlement")))
            started = true;
        if (!started)
            continue;

        QString cells[8];
        for (QString& cell : cells) {
            i = SkipForTag(i, kTd, list, n);
            cell = elementText(list, i);
        }
        const QString& action = cells[2];
        if (action != QLatin1String("Buy") && action != QLatin1String("Sell"))
            continue;
        const QString symbol = cleanSymbol(cells[1]);
        const auto quantity = numberFromCell(cells[3]);
        const auto amount = numberFromCell(cells[4]);
        if (!quantity || !amount)
            ++result.skippedNumbers;
        else if (*quantity != 0)
            result.add(symbol, std::abs(*quantity),
                       action == QLatin1String("Buy") ? kBought : kSold, cells[6],
                       std::abs(*amount), QStringLiteral(" "));
    }
    return result;
}

} // namespace gainbook
