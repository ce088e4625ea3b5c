#include "capture/capture_parsers.h"
#include "capture/cell_values.h"
#include "capture/scan_helpers.h"

#include <cmath>

namespace gainbook {

namespace {

// The statement's own table never starts among the first 650 elements.
constexpr int kFirstExamined = 650;

const QString kTd = QStringLiteral("TD");

} // namespace

ParseResult ProcessFBR(const PageDocument& document, const CaptureSettings& settings) {
    ParseResult result(settings);
    const ElementList& list = document.elements;
    const int n = int(list.size());
    bool started = false;
    for (int i = kFirstExamined; i <= n - 1; ++i) {
        if (list[i].tagName == kTd && list[i].innerText.endsWith(QLatin1String("AMOUNT ")))
            started = true;
        if (!started)
            continue;

        QString cells[7];
        for (QString& cell : cells) {
            i = SkipForTag(i, kTd, list, n);
            cell = elementText(list, i);
        }
        const QString& date = cells[0];
        const QString& action = cells[1];
        // A totals or footer line has no date: the table is over.
        if (!date.contains(u'-'))
            break;
        if (action != QLatin1String("BOT") && action != QLatin1String("SOLD"))
            continue;
        const auto quantity = numberFromCell(cells[3]);
        const auto amount = numberFromCell(cells[6]);
        if (!quantity || !amount)
            ++result.skippedNumbers;
        else if (*quantity != 0)
            result.add(cells[4], std::abs(*quantity),
                       action == QLatin1String("BOT") ? kBought : kSold, date, std::abs(*amount),
                       QStringLiteral(" "));
    }
    return result;
}

} // namespace gainbook
