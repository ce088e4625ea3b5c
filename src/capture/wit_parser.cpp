#include "capture/capture_parsers.h"
#include "capture/cell_values.h"
#include "capture/scan_helpers.h"
#include "capture/sheet_rows.h"
#include "platform/number_text.h"

#include <cmath>

namespace gainbook {

namespace {

const QString kBlank = QStringLiteral(" ");

// The sheet's fixed columns: date, kind, quantity, security, price, amount.
void readSheet(const SheetDocument& sheet, ParseResult& result) {
    if (sheet.text(1, 1) != QLatin1String("Date")) {
        result.refuse(QStringLiteral("Please have first line as title like date"));
        return;
    }
    for (int row = 2; !sheet.text(row, 1).isEmpty(); ++row) {
        const QString kind = sheet.text(row, 2);
        if (kind != kSold && kind != kBought)
            continue;
        const auto quantity = numberFromCell(sheet.cell(row, 3));
        const auto amount = numberFromCell(sheet.cell(row, 6));
        if (!quantity || !amount) {
            ++result.skippedNumbers;
            continue;
        }
        result.add(sheet.text(row, 4), *quantity, kind, sheet.text(row, 1), std::abs(*amount));
    }
}

// The last word of the text comes back on every further call once the
// blanks are used up; a walk that sees it again has reached the end.
bool atLastWord(const PageWords& words) {
    const QString& rest = words.tokenizer.TokenRemainder();
    return !rest.contains(u' ') && words.CurToken == rest;
}

// Reads words after the kind word, noticing when the text runs out instead
// of taking its last word again and again.
class WordReader {
public:
    explicit WordReader(PageWords& words) : words_(words), done_(atLastWord(words)) {}

    bool next(QString& word) {
        if (done_)
            return false;
        word = words_.tokenizer.NextToken(kBlank, QString());
        const QString& rest = words_.tokenizer.TokenRemainder();
        done_ = !rest.contains(u' ') && word == rest;
        return true;
    }

private:
    PageWords& words_;
    bool done_;
};

// Commission and fee the broker takes from a sale.
double netOfSaleCosts(double amount) {
    const double fee = std::round(amount / 30000.0 * 10000.0) / 10000.0;
    return roundCurrency(amount - 19.95 - fee);
}

// A date glued to the line break before it loses the break.
QString dateWord(const QString& word) {
    const qsizetype lineFeed = word.lastIndexOf(u'\n');
    return lineFeed >= 0 ? word.mid(lineFeed + 1).trimmed() : word;
}

// Text copied from the history page: date, "Bought" or "Sold", quantity,
// the security's name in one or more words, a price with "$", the amount
// with "$", and one more word closing the line.
void readPasted(const QString& pastedText, ParseResult& result) {
    const QString text = CompactSpaces(pastedText.trimmed());
    if (!text.contains(QLatin1String("Date")))
        return;

    PageWords state;
    state.PrevToken = state.tokenizer.NextToken(kBlank, text);
    state.CurToken = state.tokenizer.NextToken(kBlank, QString());
    // Each transaction takes words from the text, so the walk ends; the
    // bound only guards against a text that stops advancing.
    for (qsizetype guard = text.size() + 2; guard > 0; --guard) {
        bool ended = false;
        while (!state.PrevToken.contains(u'/') && state.CurToken != state.PrevToken) {
            if (atLastWord(state)) {
                ended = true;
                break;
            }
            SkipTillTok(state, kBought, kSold);
        }
        if (ended || state.CurToken == state.PrevToken)
            break;

        const QString date = dateWord(state.PrevToken);
        const QString kind = trimBlanks(state.CurToken);
        if (kind != kBought && kind != kSold) {
            SkipTillTok(state, kBought, kSold);
            state.PrevToken.clear();
            continue;
        }

        // Quantity, name words up to the price, then the amount. The text may
        // end on the way: an unfinished transaction is not written.
        WordReader words(state);
        QString quantityText, name, word, amountText;
        bool complete = words.next(quantityText) && words.next(name) && words.next(word);
        while (complete && !word.contains(u'$')) {
            name += kBlank + word;
            complete = words.next(word);
        }
        if (!complete || !words.next(amountText))
            break;

        const auto quantity = numberFromCell(quantityText);
        const auto amount = numberFromCell(amountText.mid(1));
        if (!quantity || !amount) {
            ++result.skippedNumbers;
        } else if (kind == kBought) {
            result.add(CompactJunk(name), *quantity, kind, date, std::abs(*amount),
                       QStringLiteral("IPO"));
        } else {
            result.add(CompactJunk(name), *quantity, kind, date, netOfSaleCosts(std::abs(*amount)),
                       kBlank);
        }
        QString closing;
        words.next(closing);
        state.PrevToken.clear();
    }
}

} // namespace

ParseResult ProcessWit(const PageDocument& document, const CaptureSettings& settings) {
    ParseResult result(settings);
    if (settings.pasteData)
        readPasted(settings.pastedText, result);
    else if (!document.isSheet())
        result.refuse(openSheetMessage());
    else
        readSheet(*document.sheet, result);
    return result;
}

} // namespace gainbook
