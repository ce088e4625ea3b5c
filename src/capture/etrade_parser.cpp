#include "capture/capture_parsers.h"
#include "capture/cell_values.h"
#include "capture/scan_helpers.h"

#include <cmath>

namespace gainbook {

namespace {

// The year-end page puts its navigation and notes first; its own heading
// never appears among the first 800 elements.
constexpr int kFirstExamined = 800;

const QString kTd = QStringLiteral("TD");

// Reads the seven-cell rows that follow i until a row whose date has no "/"
// (a totals line) or the end of the list; i is left on the last cell read.
void readRows(const ElementList& list, int n, int& i, ParseResult& result) {
    while (i <= n - 1) {
        i = SkipForTag(i, kTd, list, n);
        const QString symbol = elementText(list, i);
        i = SkipForTag(i, kTd, list, n);
        const QString date = elementText(list, i);
        i = SkipForTag(i, kTd, list, n);
        const QString kind = trimBlanks(elementText(list, i));
        i = SkipForTag(i, kTd, list, n);
        const QString quantityText = elementText(list, i);
        i = SkipForTag(i, kTd, list, n);
        i = SkipForTag(i, kTd, list, n);
        const QString amountText = elementText(list, i);
        i = SkipForTag(i, kTd, list, n);
        if (!date.contains(u'/'))
            return;

        if (kind == QLatin1String("SALE") || kind == QLatin1String("PURCHASE")) {
            const auto quantity = numberFromCell(quantityText);
            const auto amount = numberFromCell(amountText);
            if (!quantity || !amount) {
                ++result.skippedNumbers;
            } else if (std::abs(*quantity) != 0) {
                result.add(symbol, std::abs(*quantity),
                           kind == QLatin1String("SALE") ? kSold : kBought, date, std::abs(*amount),
                           QStringLiteral(" "));
            }
        }
        ++i;
    }
}

} // namespace

QString GetEtradeRec(const PageDocument& document, const CaptureSettings& settings) {
    if (!settings.deriveFromData)
        return settings.account;
    for (const PageElement& e : document.elements) {
        if (e.tagName != kTd || e.innerText.size() > 20)
            continue;
        const qsizetype at = e.innerText.toUpper().indexOf(QLatin1String("ACCOUNT:"));
        if (at >= 0)
            return e.innerText.mid(at + 9);
    }
    return settings.account;
}

ParseResult ProcessEtrade(const PageDocument& document, const CaptureSettings& settings) {
    ParseResult result(settings);
    result.account = GetEtradeRec(document, settings);
    result.askAboutCurrentFields();

    const ElementList& list = document.elements;
    const int n = int(list.size());
    int i = kFirstExamined;
    while (i <= n - 1 &&
           !(list[i].tagName == QLatin1String("B") && list[i].innerText.startsWith("1099-B")))
        ++i;
    if (i > n - 1)
        return result;

    // Sales and purchases, then the table after the "PURCHASE" cell.
    i = SkipForTagValue(i, kTd, list, n, QStringLiteral("AMOUNT"));
    readRows(list, n, i, result);
    i = SkipForTagValue(i, kTd, list, n, QStringLiteral("PURCHASE"));
    i = SkipForTagValue(i, QStringLiteral("B"), list, n, QStringLiteral("AMOUNT"));
    readRows(list, n, i, result);
    return result;
}

} // namespace gainbook
