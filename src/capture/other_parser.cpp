#include "capture/capture_parsers.h"
#include "capture/export_values.h"
#include "capture/other_layout.h"
#include "capture/sheet_rows.h"
#include "capture/trade_words.h"

#include <QHash>

#include <cmath>

namespace gainbook {

void readOtherRows(const SheetDocument& sheet, const OtherLayout& layout,
                   const CaptureSettings& settings, ParseResult& result) {
    const SheetColumns& columns = layout.columns;
    // A sheet of several accounts files each row under its own.
    const bool accountPerRow = settings.deriveFromData && columns.account;
    bool asked = false;
    result.rows.reserve(result.rows.size() + qMax(0, layout.lastRow - layout.firstRow + 1));
    // Exports list trades by date: most rows repeat the date above.
    QString lastDateText;
    QDate lastDate;
    // And they write a handful of type texts, each read once.
    constexpr qsizetype kMostTypeTexts = 256;
    QHash<QString, TradeWord> words;
    for (int row = layout.firstRow; row <= layout.lastRow; ++row) {
        const QString typeText = sheet.text(row, columns.type);
        auto known = words.constFind(typeText);
        if (known == words.cend()) {
            if (words.size() >= kMostTypeTexts)
                words.clear();
            known = words.insert(typeText, tradeWord(typeText));
        }
        const TradeWord& word = *known;
        if (word.type.isEmpty()) {
            if (isCorpActionWords(typeText)) {
                const auto shares =
                    exportNumber(sheet.cell(row, columns.quantity), layout.quantityComma);
                const QString account =
                    accountPerRow ? sheet.text(row, columns.account).trimmed() : QString();
                result.actionRows.append({typeText.simplified(),
                                          account.isEmpty() ? result.account : account,
                                          sheet.text(row, columns.symbol).trimmed(),
                                          exportDate(sheet.text(row, columns.date), settings.today),
                                          shares.value_or(0), 0, QString()});
                continue;
            }
            ++result.skippedKinds[word.kind];
            continue;
        }
        const auto quantity = exportNumber(sheet.cell(row, columns.quantity), layout.quantityComma);
        auto amount = exportNumber(sheet.cell(row, columns.amount), layout.amountComma);
        // An expired, assigned or exercised option moves no money: brokers
        // leave its amount blank.
        if (!amount && isOptionEvent(word.openClose) &&
            sheet.text(row, columns.amount).trimmed().isEmpty())
            amount = 0.0;
        if (!quantity || !amount) {
            ++result.skippedNumbers;
            continue;
        }
        if (accountPerRow) {
            const QString account = sheet.text(row, columns.account).trimmed();
            result.account = account.isEmpty() ? settings.account : account;
            if (!asked) {
                result.askAboutCurrentFields();
                asked = true;
            }
        }
        // Exports write a sell's shares as a negative quantity; the sell is
        // the sale of that many shares. A buy keeps the sheet's sign, and
        // the amount is always stored positive.
        const double shares = word.type == kSold ? std::abs(*quantity) : *quantity;
        const QString dateText = sheet.text(row, columns.date);
        if (dateText != lastDateText || lastDateText.isNull()) {
            lastDate = exportDate(dateText, settings.today);
            lastDateText = dateText;
        }
        const qsizetype at = result.rows.size();
        result.add(sheet.text(row, columns.symbol).trimmed(), shares, word.type, lastDate,
                   std::abs(*amount));
        if (result.rows.size() > at)
            result.rows.back().openClose = word.openClose;
    }
}

ParseResult ProcessOther(const PageDocument& document, const CaptureSettings& settings) {
    ParseResult result(settings);
    if (!document.isSheet())
        return result.refuse(openSheetMessage());
    const OtherLayout layout = findOtherLayout(*document.sheet);
    if (!layout.columns.complete())
        return result.refuse(missingHeadingMessage());
    readOtherRows(*document.sheet, layout, settings, result);
    return result;
}

} // namespace gainbook
