#include "capture/preset_parser.h"

#include "capture/export_values.h"
#include "capture/trade_words.h"
#include "store/records.h"

#include <QHash>

#include <cmath>

namespace gainbook {

namespace {

QString headingKey(const QString& text) {
    return text.simplified().toUpper();
}

// The columns of a layout in one heading row; empty when the row lacks
// any of its headings.
struct PresetColumns {
    int date = 0, type = 0, symbol = 0, quantity = 0, amount = 0, fee = 0, account = 0,
        fallbackSymbol = 0;
    QVector<std::pair<int, QStringList>> keepOnly;

    bool found() const { return date != 0; }
};

PresetColumns columnsIn(const SheetDocument& sheet, int row, const PresetLayout& layout) {
    QHash<QString, int> at;
    for (int col = 1; col <= sheet.columnCount(); ++col) {
        const QString key = headingKey(sheet.text(row, col));
        if (!key.isEmpty() && !at.contains(key))
            at.insert(key, col);
    }
    PresetColumns c;
    for (const QString& h : layout.headings())
        if (!at.contains(headingKey(h)))
            return c;
    const auto col = [&](const QString& h) { return h.isEmpty() ? 0 : at.value(headingKey(h)); };
    c.date = col(layout.date);
    c.type = col(layout.type);
    c.symbol = col(layout.symbol);
    c.quantity = col(layout.quantity);
    c.amount = col(layout.amount);
    c.fee = col(layout.fee);
    c.account = col(layout.account);
    c.fallbackSymbol = col(layout.fallbackSymbol);
    for (const auto& [heading, values] : layout.keepOnly)
        if (const int k = col(heading))
            c.keepOnly.append({k, values});
    return c;
}

// The text begins with the phrase, followed by its end or a character that
// is no letter ("YOU BOUGHT APPLE INC", "Buy to Open", but not "Buyback").
bool beginsWithPhrase(const QString& upper, const QStringList& phrases) {
    for (const QString& p : phrases) {
        const QString phrase = p.toUpper();
        if (upper.startsWith(phrase) &&
            (upper.size() == phrase.size() || !upper[phrase.size()].isLetter()))
            return true;
    }
    return false;
}

bool isSectionRow(const SheetDocument& sheet, int row, const PresetLayout& layout) {
    return sheet.text(row, 1).trimmed() == layout.section;
}

class PresetReader {
public:
    PresetReader(const PresetLayout& layout, const SheetDocument& sheet,
                 const CaptureSettings& settings, ParseResult& result)
        : layout_(layout), sheet_(sheet), settings_(settings), result_(result) {}

    // Reads the rows under the first heading row of the layout; false when
    // the sheet has none.
    bool read() {
        for (int row = 1; row <= sheet_.rowCount(); ++row) {
            if (!layout_.section.isEmpty() && !isSectionRow(sheet_, row, layout_))
                continue;
            columns_ = columnsIn(sheet_, row, layout_);
            if (columns_.found())
                return readFrom(row + 1), true;
        }
        return false;
    }

private:
    void readFrom(int first) {
        for (int row = first; row <= sheet_.rowCount(); ++row) {
            if (layout_.section.isEmpty()) {
                const QString lead = sheet_.text(row, 1).trimmed();
                if (lead.isEmpty() || (!layout_.endMarker.isEmpty() &&
                                       lead.startsWith(layout_.endMarker, Qt::CaseInsensitive)))
                    return;
                readRow(row);
                continue;
            }
            if (!isSectionRow(sheet_, row, layout_))
                return;
            const QString kind = sheet_.text(row, 2).trimmed();
            if (kind == u"Header")
                columns_ = columnsIn(sheet_, row, layout_);
            else if (kind == u"Data") {
                if (columns_.found())
                    readRow(row);
                else
                    ++result_.skippedKinds[QStringLiteral("other")];
            }
        }
    }

    QString symbolAt(int row) const {
        // Some exports write "--" for a fund without a ticker.
        QString symbol = sheet_.text(row, columns_.symbol).trimmed();
        if (symbol == u"--")
            symbol.clear();
        if (symbol.isEmpty() && columns_.fallbackSymbol)
            symbol = sheet_.text(row, columns_.fallbackSymbol).trimmed();
        return symbol;
    }

    QString dateAt(int row) const {
        QString date = sheet_.text(row, columns_.date);
        if (layout_.timeAfterComma && date.contains(u','))
            date = date.left(date.indexOf(u','));
        return date;
    }

    // A split or symbol change is kept to be proposed, not skipped.
    void keepActionRow(int row, const QString& words, const std::optional<double>& shares) {
        QString account = result_.account;
        if (columns_.account && settings_.deriveFromData) {
            const QString named = sheet_.text(row, columns_.account).trimmed();
            account = named.isEmpty() ? settings_.account : named;
        }
        result_.actionRows.append({words.simplified(), account, symbolAt(row),
                                   exportDate(dateAt(row), settings_.today), shares.value_or(0), 0,
                                   QString()});
    }

    void readRow(int row) {
        for (const auto& [col, values] : columns_.keepOnly) {
            if (!values.contains(sheet_.text(row, col).trimmed(), Qt::CaseInsensitive)) {
                return;
            }
        }
        const auto quantity = exportNumber(sheet_.cell(row, columns_.quantity), false);
        QString type;
        if (columns_.type) {
            const QString text = sheet_.text(row, columns_.type);
            const QString upper = text.simplified().toUpper();
            if (beginsWithPhrase(upper, layout_.buys))
                type = kBought;
            else if (beginsWithPhrase(upper, layout_.sells))
                type = kSold;
            else if (isCorpActionWords(text)) {
                keepActionRow(row, text, quantity);
                return;
            } else {
                const TradeWord word = tradeWord(text);
                ++result_.skippedKinds[word.type.isEmpty() ? word.kind : QStringLiteral("other")];
                return;
            }
        }
        auto amount = exportNumber(sheet_.cell(row, columns_.amount), false);
        if (amount && columns_.fee && !sheet_.text(row, columns_.fee).trimmed().isEmpty()) {
            const auto fee = exportNumber(sheet_.cell(row, columns_.fee), false);
            amount = fee ? std::optional<double>(*amount + *fee) : std::nullopt;
        }
        if (!quantity || !amount) {
            ++result_.skippedNumbers;
            return;
        }
        // Without a type column more shares is a buy and fewer a sale; a
        // row of no shares is left to be counted as one.
        if (type.isEmpty())
            type = *quantity < 0 ? kSold : kBought;
        if (columns_.account && settings_.deriveFromData) {
            const QString account = sheet_.text(row, columns_.account).trimmed();
            result_.account = account.isEmpty() ? settings_.account : account;
            if (!asked_) {
                result_.askAboutCurrentFields();
                asked_ = true;
            }
        }
        const QString symbol = symbolAt(row);
        const QString date = dateAt(row);
        // A sell's shares are often written negative; the sale is of that
        // many shares.
        const double shares = type == kSold ? std::abs(*quantity) : *quantity;
        result_.add(symbol, shares, type, exportDate(date, settings_.today), std::abs(*amount));
    }

    const PresetLayout& layout_;
    const SheetDocument& sheet_;
    const CaptureSettings& settings_;
    ParseResult& result_;
    PresetColumns columns_;
    bool asked_ = false;
};

} // namespace

ParseResult parsePreset(const BrokerPreset& preset, const PageDocument& document,
                        const CaptureSettings& settings) {
    ParseResult result(settings);
    if (!document.isSheet())
        return result;
    for (const PresetLayout& layout : preset.layouts) {
        if (PresetReader(layout, *document.sheet, settings, result).read())
            break;
    }
    return result;
}

} // namespace gainbook
