#include "capture/preset_parser.h"

#include "capture/exchange_parser.h"
#include "capture/export_values.h"
#include "capture/heading_fit.h"
#include "capture/sheet_rows.h"
#include "capture/trade_words.h"
#include "platform/option_symbol.h"
#include "store/records.h"
#include "store/transfer_link_table.h"

#include <QHash>
#include <QRegularExpression>

#include <cmath>

namespace gainbook {

namespace {

// The columns of a layout in one heading row; not found when the row lacks
// any it needs.
struct PresetColumns {
    int date = 0, type = 0, symbol = 0, quantity = 0, amount = 0, fee = 0, account = 0,
        accountName = 0, accountKind = 0, fallbackSymbol = 0, optionWords = 0;
    QVector<std::pair<int, QStringList>> keepOnly;
    int known = 0;

    bool found() const { return date != 0; }
};

PresetColumns columnsIn(const HeadingColumns& at, const PresetLayout& layout) {
    PresetColumns c;
    const std::optional<int> known = knownHeadings(at, layout.headings());
    if (!known)
        return c;
    c.known = *known;
    c.date = headingColumn(at, layout.date);
    c.type = headingColumn(at, layout.type);
    c.symbol = headingColumn(at, layout.symbol);
    c.quantity = headingColumn(at, layout.quantity);
    c.amount = headingColumn(at, layout.amount);
    c.fee = headingColumn(at, layout.fee);
    c.account = headingColumn(at, layout.account);
    c.accountName = headingColumn(at, layout.accountName);
    c.accountKind = headingColumn(at, layout.accountKind);
    c.fallbackSymbol = headingColumn(at, layout.fallbackSymbol);
    c.optionWords = headingColumn(at, layout.optionWords);
    for (const auto& [heading, values] : layout.keepOnly)
        if (const int k = headingColumn(at, heading))
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

bool hasWordIn(const QString& upper, const QRegularExpression& words) {
    return words.match(upper).hasMatch();
}

// Reinvested dividends are lots of their own; the dividend paid in cash
// that a broker also calls "Reinvest Dividend" carries no shares.
bool saysReinvest(const QString& upper) {
    static const QRegularExpression words(QStringLiteral("\\bREINVEST|\\bDRIP\\b"));
    return hasWordIn(upper, words);
}

// A bond's or fund's redemption and a maturity pay the holder out: a sale
// at the amount paid.
bool saysPayout(const QString& upper) {
    static const QRegularExpression words(
        QStringLiteral("\\b(REDEMPTION|REDEEMED|MATURITY|MATURED)\\b"));
    return hasWordIn(upper, words) && !upper.contains(QLatin1String("FEE"));
}

// A merger or exchange: shares of one instrument become shares (or cash)
// of another.
bool saysReorganization(const QString& upper) {
    static const QRegularExpression words(
        QStringLiteral("\\b(MERGER|MERGED|EXCHANGE|EXCHANGED|REORGANIZATION)\\b"));
    return hasWordIn(upper, words);
}

// Shares moved into the account from elsewhere, at a cost the download does
// not know.
bool saysSharesIn(const QString& upper, const TradeWord& word) {
    static const QRegularExpression words(
        QStringLiteral("\\b(ACATI|ACAT|RECEIVED?|INCOMING|DELIVERED|SHARES IN|TRANSFER IN)\\b"));
    static const QRegularExpression cash(
        QStringLiteral("\\b(SWEEP|ACH|WIRE|MONEYLINK|DEPOSIT|WITHDRAWAL|CHECK|CONTRIBUTION)\\b"));
    if (hasWordIn(upper, cash))
        return false;
    return word.kind == u"transfer" || word.kind == u"journal" || hasWordIn(upper, words);
}

// Shares or coins sent from the account to another wallet or account of the
// holder's (or out of the broker by transfer): no sale, and no cost of their
// own. Cash moved out is no send.
bool saysSharesOut(const QString& upper, const TradeWord& word, double quantity) {
    static const QRegularExpression words(
        QStringLiteral("\\b(SEND|SENT|OUTGOING|TRANSFER OUT|TRANSFERRED OUT|ACATO|SHARES OUT)\\b"));
    static const QRegularExpression cash(
        QStringLiteral("\\b(SWEEP|ACH|WIRE|MONEYLINK|DEPOSIT|WITHDRAWAL|CHECK|CONTRIBUTION)\\b"));
    if (hasWordIn(upper, cash))
        return false;
    return hasWordIn(upper, words) ||
           (quantity < 0 && (word.kind == u"transfer" || word.kind == u"journal"));
}

// A broker that also holds coins writes their moves to and from wallets in
// the words it uses for cash: a withdrawal of a coin is a send and a deposit
// a receive, as an exchange's own rows say. Nothing for any other row.
std::optional<bool> presetCoinMoveIn(const QString& upper) {
    static const QRegularExpression out(QStringLiteral("\\bWITHDRAW(AL|N)?\\b"));
    static const QRegularExpression in(QStringLiteral("\\bDEPOSIT(ED)?\\b"));
    if (hasWordIn(upper, out))
        return false;
    if (hasWordIn(upper, in))
        return true;
    return std::nullopt;
}

// The option of an underlying that the words end with ("Option Expiration
// for AAPL 4/19/2024 Call $180.00"); taken as the row's instrument, an
// option's trade would be one of as many shares of its stock.
std::optional<OptionContract> presetOptionIn(const QString& words, const QString& underlying) {
    static const QRegularExpression tail(
        QStringLiteral("[A-Z][A-Z0-9.]* \\d{1,2}/\\d{1,2}/\\d{4} (CALL|PUT) \\$?[\\d,.]+$"));
    const QRegularExpressionMatch m = tail.match(words.simplified().toUpper());
    if (!m.hasMatch())
        return std::nullopt;
    const auto option = optionOf(m.captured());
    if (!option || option->underlying != underlying.toUpper())
        return std::nullopt;
    return option;
}

bool saysTaxAdvantaged(const QString& text) {
    static const QRegularExpression words(
        QStringLiteral("\\b(IRA|ROTH|HSA|401\\(?K\\)?|403\\(?B\\)?|SEP|SIMPLE IRA)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return words.match(text).hasMatch();
}

// A line of one cell under the rows ("Date downloaded 06/01/2024"): the
// disclaimer that follows the trades.
bool isNoteLine(const SheetDocument& sheet, int row) {
    return sheet.text(row, 2).trimmed().isEmpty() && filledCells(sheet, row) == 1;
}

bool isSectionRow(const SheetDocument& sheet, int row, const PresetLayout& layout) {
    return sheet.text(row, 1).trimmed() == layout.section;
}

bool fitsAt(const SheetDocument& sheet, int row, const PresetLayout& layout) {
    return layout.section.isEmpty() || isSectionRow(sheet, row, layout);
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
            if (fitsAt(sheet_, row, layout_) && readUnder(row))
                return true;
        }
        return false;
    }

    // Reads the rows under this heading row; false when it is none of the
    // layout's.
    bool readUnder(int row) {
        columns_ = columnsIn(rowHeadings(sheet_, row), layout_);
        if (!columns_.found())
            return false;
        if (layout_.reading != PresetLayout::Reading::Trades) {
            readExchangeRows(layout_, sheet_, row, settings_, result_);
            return true;
        }
        readFrom(row + 1);
        return true;
    }

private:
    void readFrom(int first) {
        for (int row = first; row <= sheet_.rowCount(); ++row) {
            if (layout_.section.isEmpty()) {
                const QString lead = sheet_.text(row, 1).trimmed();
                if (lead.isEmpty() ||
                    (!layout_.endMarker.isEmpty() &&
                     lead.startsWith(layout_.endMarker, Qt::CaseInsensitive)) ||
                    isNoteLine(sheet_, row))
                    return;
                readRow(row);
                continue;
            }
            if (!isSectionRow(sheet_, row, layout_))
                return;
            const QString kind = sheet_.text(row, 2).trimmed();
            if (kind == u"Header")
                columns_ = columnsIn(rowHeadings(sheet_, row), layout_);
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
        if (columns_.optionWords && !symbol.isEmpty())
            if (const auto option = presetOptionIn(sheet_.text(row, columns_.optionWords), symbol))
                symbol = option->description();
        return symbol;
    }

    QString dateAt(int row) const {
        QString date = sheet_.text(row, columns_.date);
        if (layout_.timeAfterComma && date.contains(u','))
            date = date.left(date.indexOf(u','));
        return date;
    }

    // The account the row is filed under: its own when the download names
    // one and "Derive from Data" is checked, else the field's.
    QString accountAt(int row) {
        if (!columns_.account || !settings_.deriveFromData)
            return result_.account;
        const QString named = sheet_.text(row, columns_.account).trimmed();
        if (named.isEmpty())
            return settings_.account;
        if (!result_.namedAccounts.contains(named)) {
            ParseResult::NamedAccount seen;
            if (columns_.accountName && columns_.accountName != columns_.account)
                seen.name = sheet_.text(row, columns_.accountName).simplified();
            const QString kind =
                columns_.accountKind ? sheet_.text(row, columns_.accountKind) : QString();
            seen.taxAdvantaged =
                saysTaxAdvantaged(kind) || saysTaxAdvantaged(seen.name) ||
                (columns_.accountName == columns_.account && saysTaxAdvantaged(named));
            result_.namedAccounts.insert(named, seen);
        }
        return named;
    }

    // A split, symbol change, merger or exchange is kept to be proposed,
    // not skipped.
    void keepActionRow(int row, const QString& words, const std::optional<double>& shares) {
        result_.actionRows.append({words.simplified(), accountAt(row), symbolAt(row),
                                   exportDate(dateAt(row), settings_.today), shares.value_or(0), 0,
                                   QString()});
    }

    // Whether the row's symbol is a digital asset in the account it is
    // filed under, by the store's asset kinds.
    bool isCoinAt(int row) const {
        const QString symbol = symbolAt(row);
        if (symbol.isEmpty())
            return false;
        const QString account = columns_.account && settings_.deriveFromData
                                    ? sheet_.text(row, columns_.account).trimmed()
                                    : result_.account;
        return settings_.assetKinds.isDigital(account, symbol);
    }

    std::optional<double> amountAt(int row) const {
        auto amount = exportNumber(sheet_.cell(row, columns_.amount), false);
        if (amount && columns_.fee && !sheet_.text(row, columns_.fee).trimmed().isEmpty()) {
            const auto fee = exportNumber(sheet_.cell(row, columns_.fee), false);
            amount = fee ? std::optional<double>(*amount + *fee) : std::nullopt;
        }
        return amount;
    }

    void readRow(int row) {
        for (const auto& [col, values] : columns_.keepOnly) {
            if (!values.contains(sheet_.text(row, col).trimmed(), Qt::CaseInsensitive))
                return;
        }
        const auto quantity = exportNumber(sheet_.cell(row, columns_.quantity), false);
        const bool hasShares = quantity && *quantity != 0;
        QString type;
        bool sharesIn = false;
        if (columns_.type) {
            const QString text = sheet_.text(row, columns_.type);
            const QString upper = text.simplified().toUpper();
            const auto amount = amountAt(row);
            const bool paid = amount && *amount != 0;
            if (saysReinvest(upper)) {
                if (!hasShares) {
                    ++result_.skippedKinds[QStringLiteral("dividend")];
                    return;
                }
                type = kBought;
            } else if (beginsWithPhrase(upper, layout_.buys)) {
                type = kBought;
            } else if (beginsWithPhrase(upper, layout_.sells) ||
                       (saysPayout(upper) && hasShares && paid)) {
                type = kSold;
            } else if (saysReorganization(upper) && hasShares) {
                // Shares for cash are a sale and shares bought in an
                // exchange a buy; shares for shares are the action.
                if (!paid) {
                    keepActionRow(row, text, quantity);
                    return;
                }
                type = *quantity < 0 ? kSold : kBought;
            } else if (isCorpActionWords(text)) {
                keepActionRow(row, text, quantity);
                return;
            } else {
                const TradeWord word = tradeWord(text);
                const std::optional<bool> coinIn =
                    hasShares && isCoinAt(row) ? presetCoinMoveIn(upper) : std::nullopt;
                if (coinIn) {
                    // Coins moved out leave their lots for the receive; coins
                    // moved in are a lot of unknown cost until linked.
                    if (*coinIn && *quantity < 0) {
                        ++result_.skippedNumbers;
                        return;
                    }
                    type = *coinIn ? kBought : kSent;
                    sharesIn = *coinIn;
                } else if (hasShares && *quantity > 0 && saysSharesIn(upper, word) &&
                           !symbolAt(row).isEmpty()) {
                    // Shares moved in are a lot of unknown cost and date: kept
                    // as a buy marked so, never as one that cost 0.
                    type = kBought;
                    sharesIn = true;
                } else if (hasShares && saysSharesOut(upper, word, *quantity) &&
                           !symbolAt(row).isEmpty()) {
                    // Kept so that processing takes its lots out, and a
                    // receive in another account can take them in.
                    type = kSent;
                } else if (!word.openClose.isEmpty()) {
                    // The brokers' codes (SS, BC, STO, ...) are trades in
                    // every layout, whatever its own phrases.
                    type = word.type;
                } else {
                    ++result_
                          .skippedKinds[word.type.isEmpty() ? word.kind : QStringLiteral("other")];
                    return;
                }
            }
        }
        auto amount = sharesIn || type == kSent ? std::optional<double>(0) : amountAt(row);
        // An expired, assigned or exercised option moves no money: brokers
        // leave its amount blank, and dropping the row would leave the
        // option open for good.
        if (!amount && columns_.type &&
            isOptionEvent(openCloseWord(sheet_.text(row, columns_.type))) &&
            sheet_.text(row, columns_.amount).trimmed().isEmpty())
            amount = 0.0;
        if (!quantity || !amount) {
            ++result_.skippedNumbers;
            return;
        }
        // Without a type column more shares is a buy and fewer a sale; a
        // row of no shares is left to be counted as one.
        if (type.isEmpty())
            type = *quantity < 0 ? kSold : kBought;
        if (columns_.account && settings_.deriveFromData) {
            result_.account = accountAt(row);
            if (!asked_) {
                result_.askAboutCurrentFields();
                asked_ = true;
            }
        }
        // A sell's shares are often written negative; the sale is of that
        // many shares.
        const double shares = type == kSold || type == kSent ? std::abs(*quantity) : *quantity;
        const qsizetype at = result_.rows.size();
        result_.add(symbolAt(row), shares, type, exportDate(dateAt(row), settings_.today),
                    std::abs(*amount));
        if (sharesIn && result_.rows.size() > at)
            result_.unknownCostRows.append(at);
        if (columns_.type && result_.rows.size() > at)
            result_.rows.back().openClose = openCloseWord(sheet_.text(row, columns_.type));
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

std::optional<LayoutFit> detectLayout(const SheetDocument& sheet,
                                      const QVector<BrokerPreset>& presets) {
    QVector<HeadingLayout> headings;
    QVector<LayoutFit> candidates;
    for (const BrokerPreset& preset : presets) {
        for (const PresetLayout& layout : preset.layouts) {
            headings << layout.headings();
            candidates << LayoutFit{&preset, &layout, 0, 0};
        }
    }
    const std::optional<HeadingFit> fit = fitHeadings(sheet, headings);
    if (!fit)
        return std::nullopt;
    LayoutFit found = candidates[fit->layout];
    found.row = fit->row;
    found.known = fit->known;
    return found;
}

QStringList sheetHeadings(const SheetDocument& sheet) {
    int fullest = 0;
    int most = 0;
    for (int row = 1; row <= std::min(sheet.rowCount(), 30); ++row) {
        if (const int filled = filledCells(sheet, row); filled > most) {
            most = filled;
            fullest = row;
        }
    }
    QStringList headings;
    for (int col = 1; fullest && col <= sheet.columnCount(); ++col)
        if (const QString h = sheet.text(fullest, col).simplified(); !h.isEmpty())
            headings << h;
    return headings;
}

QString detectEntryName() {
    return QStringLiteral("Detect");
}

ParseResult ProcessDetect(const PageDocument& document, const CaptureSettings& settings) {
    if (!document.isSheet())
        return ParseResult(settings);
    const std::optional<LayoutFit> fit = detectLayout(*document.sheet);
    if (!fit) {
        ParseResult result(settings);
        result.refuse(missingHeadingMessage());
        result.foundHeadings = sheetHeadings(*document.sheet);
        return result;
    }
    // Under "Derive from Data" an empty field was not filled by the user: a
    // download that names no account files its rows as choosing its broker
    // would have.
    CaptureSettings filing = settings;
    if (settings.deriveFromData && settings.account.isEmpty() && fit->layout->account.isEmpty())
        filing.account = fit->preset->account;
    ParseResult result(filing);
    result.readAs = QStringLiteral("Read as %1.").arg(fit->layout->title);
    PresetReader(*fit->layout, *document.sheet, filing, result).readUnder(fit->row);
    return result;
}

} // namespace gainbook
