#include "capture/capture_parsers.h"
#include "capture/cell_values.h"
#include "capture/scan_helpers.h"

#include <cmath>

namespace gainbook {

namespace {

const QString kTd = QStringLiteral("TD");
const QString kTr = QStringLiteral("TR");

// Account and period headings above the history table; later cells win,
// so a heading cell nested in a larger cell leaves its own text.
void applyHeadings(const PageElement& e, ParseResult& result) {
    if (e.tagName != kTd)
        return;
    if (e.innerText.contains(QLatin1String("UserName"))) {
        const qsizetype colon = e.innerText.indexOf(u':');
        result.account = e.innerText.mid(colon + 2);
    }
    const qsizetype history = e.innerText.indexOf(QLatin1String("History for"));
    if (history >= 0)
        result.month = e.innerText.mid(history + 12);
}

} // namespace

ParseResult ProcessDatek(const PageDocument& document, const CaptureSettings& settings) {
    // The duplicate question stays about the fields as typed: the page
    // renames them only while its table is read.
    ParseResult result(settings);
    // The history lives in the second frame; a page without it has nothing
    // to capture.
    if (document.frames.size() < 2)
        return result;
    const ElementList& list = document.frames[1].elements;
    const int n = int(list.size());
    bool started = false;
    for (int i = 1; i <= n - 8; ++i) {
        if (!started) {
            applyHeadings(list[i], result);
            if (list[i].tagName == kTd &&
                list[i].innerText.endsWith(QLatin1String("Cash Balance"))) {
                started = true;
                i = SkipForTag(i, kTr, list, n);
                i = SkipForTag(i, kTd, list, n);
            }
        }
        if (!started)
            continue;

        i = SkipForTag(i, kTd, list, n);
        const QString date = elementText(list, i);
        i = SkipForTag(i, QStringLiteral("A"), list, n);
        const QString kind = trimBlanks(elementText(list, i));
        i = SkipForTag(i, kTd, list, n);
        const QString symbol = elementText(list, i);
        i = SkipForTag(i, kTd, list, n);
        const QString quantityText = elementText(list, i);
        i = SkipForTag(i, kTd, list, n);
        i = SkipForTag(i, kTd, list, n);
        const QString amountText = elementText(list, i);
        i = SkipForTag(i, kTr, list, n);

        if (kind != kSold && kind != kBought)
            continue;
        const auto quantity = numberFromCell(quantityText);
        const auto amount = numberFromCell(amountText);
        if (!quantity || !amount)
            ++result.skippedNumbers;
        else if (std::abs(*quantity) > 0)
            result.add(symbol, std::abs(*quantity), kind, date, std::abs(*amount),
                       QStringLiteral(" "));
    }
    return result;
}

} // namespace gainbook
