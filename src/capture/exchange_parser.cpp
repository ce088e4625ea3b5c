#include "capture/exchange_parser.h"

#include "capture/exchange_time.h"
#include "capture/export_values.h"
#include "capture/heading_fit.h"
#include "capture/sheet_rows.h"
#include "store/transfer_link_table.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>

namespace gainbook {

namespace {

const QStringList kCoinbasePrice{QStringLiteral("Price at Transaction")};
const QStringList kCoinbaseCurrency{QStringLiteral("Price Currency")};
const QStringList kCoinbaseTotal{QStringLiteral("Total (inclusive of fees and/or spread)")};
const QStringList kCoinbaseNotes{QStringLiteral("Notes")};
const QStringList kKrakenMargin{QStringLiteral("margin")};

const QString kDollar = QStringLiteral("USD");

// The columns of an exchange's heading row, 0 where it has none.
struct ExchangeColumns {
    int date = 0, type = 0, symbol = 0, quantity = 0, amount = 0, fee = 0;
    int price = 0, currency = 0, total = 0, notes = 0, margin = 0;

    ExchangeColumns(const PresetLayout& layout, const HeadingColumns& at)
        : date(headingColumn(at, layout.date)), type(headingColumn(at, layout.type)),
          symbol(headingColumn(at, layout.symbol)), quantity(headingColumn(at, layout.quantity)),
          amount(headingColumn(at, layout.amount)), fee(headingColumn(at, layout.fee)),
          price(headingColumn(at, kCoinbasePrice)), currency(headingColumn(at, kCoinbaseCurrency)),
          total(headingColumn(at, kCoinbaseTotal)), notes(headingColumn(at, kCoinbaseNotes)),
          margin(headingColumn(at, kKrakenMargin)) {}
};

// A figure of the row as a size: exchanges write a sale's quantity and
// amounts negative, and the direction is the type's to say.
std::optional<double> sizeAt(const SheetDocument& sheet, int row, int col) {
    if (!col || sheet.text(row, col).trimmed().isEmpty())
        return std::nullopt;
    const auto n = exportNumber(sheet.cell(row, col), false);
    return n ? std::optional<double>(std::abs(*n)) : std::nullopt;
}

// "Converted 0.05 BTC to 1.5 ETH": what the coin given up became.
struct Converted {
    double quantity = 0;
    QString symbol;
};
std::optional<Converted> convertedTo(const QString& notes) {
    static const QRegularExpression words(
        QStringLiteral("\\bconverted\\s+[0-9.,]+\\s+\\S+\\s+to\\s+([0-9.,]+)\\s+([A-Za-z0-9]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = words.match(notes);
    if (!m.hasMatch())
        return std::nullopt;
    const auto quantity = exportNumber(SheetCell{m.captured(1), std::nullopt}, false);
    if (!quantity || *quantity <= 0)
        return std::nullopt;
    return Converted{*quantity, m.captured(2).toUpper()};
}

// Kraken's own codes for the coins and currencies it listed first.
QString krakenAsset(const QString& code) {
    static const QHash<QString, QString> legacy{
        {"XXBT", "BTC"}, {"XBT", "BTC"},   {"XETH", "ETH"}, {"XLTC", "LTC"}, {"XXRP", "XRP"},
        {"XXLM", "XLM"}, {"XETC", "ETC"},  {"XZEC", "ZEC"}, {"XXMR", "XMR"}, {"XREP", "REP"},
        {"XMLN", "MLN"}, {"XXDG", "DOGE"}, {"XDG", "DOGE"}, {"ZUSD", "USD"}, {"ZEUR", "EUR"},
        {"ZGBP", "GBP"}, {"ZCAD", "CAD"},  {"ZJPY", "JPY"}, {"ZAUD", "AUD"}, {"ZCHF", "CHF"}};
    return legacy.value(code, code);
}

// "XXBTZUSD", "SOLUSD", "XBT/USD": the coin and the currency it was priced in.
std::pair<QString, QString> krakenPair(const QString& text) {
    const QString pair = text.trimmed().toUpper();
    if (const qsizetype slash = pair.indexOf(u'/'); slash > 0)
        return {krakenAsset(pair.left(slash)), krakenAsset(pair.mid(slash + 1))};
    for (const QString quote :
         {"ZUSD", "ZEUR", "ZGBP", "ZCAD", "ZJPY", "ZAUD", "ZCHF", "XXBT", "XETH", "USDC",
          "USDT", "USD",  "EUR",  "GBP",  "CAD",  "JPY",  "AUD",  "CHF",  "XBT",  "ETH"}) {
        if (pair.size() > quote.size() && pair.endsWith(quote))
            return {krakenAsset(pair.chopped(quote.size())), krakenAsset(quote)};
    }
    return {pair, QString()};
}

class ExchangeReader {
public:
    ExchangeReader(const PresetLayout& layout, const SheetDocument& sheet, int headingRow,
                   const QTimeZone& zone, const CaptureSettings& settings, ParseResult& result)
        : layout_(layout), sheet_(sheet), columns_(layout, rowHeadings(sheet, headingRow)),
          zone_(zone), settings_(settings), result_(result) {}

    void read(int first) {
        for (int row = first; row <= sheet_.rowCount(); ++row) {
            if (filledCells(sheet_, row) == 0)
                return;
            if (layout_.reading == PresetLayout::Reading::Kraken)
                readKraken(row);
            else
                readCoinbase(row);
        }
    }

private:
    QDate dateAt(int row) const {
        return exchangeDate(sheet_.text(row, columns_.date), zone_, settings_.today);
    }

    void skip(const QString& kind) { ++result_.skippedKinds[kind]; }

    void add(int row, const QString& symbol, double quantity, const QString& type, double amount,
             const QString& openClose = {}) {
        const qsizetype at = result_.rows.size();
        result_.add(symbol, quantity, type, dateAt(row), amount);
        if (result_.rows.size() > at)
            result_.rows.back().openClose = openClose;
    }

    void readCoinbase(int row) {
        const QString upper = sheet_.text(row, columns_.type).simplified().toUpper();
        const QString asset = sheet_.text(row, columns_.symbol).trimmed().toUpper();
        const auto quantity = sizeAt(sheet_, row, columns_.quantity);
        // Its withdrawals and deposits are of dollars; one of a coin moves
        // the coin as a send or a receive does.
        const bool cashWord = upper == u"WITHDRAWAL" || upper == u"DEPOSIT";
        const bool coinMove =
            cashWord && quantity && settings_.assetKinds.isDigital(result_.account, asset);
        if (upper == u"SEND" || (coinMove && upper == u"WITHDRAWAL")) {
            // Kept so that processing takes its lots out, and the receive
            // in another of one's own accounts can take them in.
            if (!quantity)
                return void(++result_.skippedNumbers);
            return add(row, asset, std::abs(*quantity), kSent, 0);
        }
        if (cashWord && !coinMove)
            return skip(QStringLiteral("transfer"));
        if (upper == u"RECEIVE" || coinMove) {
            // Coins moved in from elsewhere: their cost and date acquired
            // are the sending wallet's, never 0.
            const qsizetype at = result_.rows.size();
            if (!quantity)
                return void(++result_.skippedNumbers);
            add(row, asset, *quantity, kBought, 0);
            if (result_.rows.size() > at)
                result_.unknownCostRows.append(at);
            return;
        }
        const bool buy = upper == u"BUY" || upper.endsWith(QLatin1String(" BUY"));
        const bool sell = upper == u"SELL" || upper.endsWith(QLatin1String(" SELL"));
        const bool convert = upper == u"CONVERT";
        const bool income =
            upper.contains(QLatin1String("INCOME")) || upper.contains(QLatin1String("REWARD"));
        if (!buy && !sell && !convert && !income)
            return skip(QStringLiteral("other"));
        if (columns_.currency) {
            const QString currency = sheet_.text(row, columns_.currency).trimmed().toUpper();
            if (!currency.isEmpty() && currency != kDollar)
                return void(++result_.skippedCurrency);
        }
        const auto subtotal = sizeAt(sheet_, row, columns_.amount);
        const auto total = sizeAt(sheet_, row, columns_.total);
        const auto price = sizeAt(sheet_, row, columns_.price);
        const double fee = sizeAt(sheet_, row, columns_.fee).value_or(0);
        // The value before the fee: the subtotal, else the total less or
        // plus the fee as the trade's direction took it, else the price.
        std::optional<double> value = subtotal;
        if (!value && total)
            value = buy ? *total - fee : *total + fee;
        if (!value && price && quantity)
            value = *price * *quantity;
        if (!quantity || !value)
            return void(++result_.skippedNumbers);
        if (buy)
            return add(row, asset, *quantity, kBought, *value + fee);
        if (income)
            return add(row, asset, *quantity, kBought, *value, kIncome);
        if (sell)
            return add(row, asset, *quantity, kSold, *value - fee);
        const auto into = convertedTo(sheet_.text(row, columns_.notes));
        if (!into)
            return void(++result_.skippedNumbers);
        add(row, asset, *quantity, kSold, *value - fee);
        add(row, into->symbol, into->quantity, kBought, *value);
    }

    void readKraken(int row) {
        const QString upper = sheet_.text(row, columns_.type).simplified().toUpper();
        if (upper != u"BUY" && upper != u"SELL")
            return skip(QStringLiteral("other"));
        // A margin trade opens a leveraged position: no coin changes hands.
        if (sizeAt(sheet_, row, columns_.margin).value_or(0) != 0)
            return skip(QStringLiteral("margin"));
        const auto [asset, currency] = krakenPair(sheet_.text(row, columns_.symbol));
        if (currency != kDollar)
            return void(++result_.skippedCurrency);
        const auto quantity = sizeAt(sheet_, row, columns_.quantity);
        const auto cost = sizeAt(sheet_, row, columns_.amount);
        const double fee = sizeAt(sheet_, row, columns_.fee).value_or(0);
        if (!quantity || !cost)
            return void(++result_.skippedNumbers);
        if (upper == u"BUY")
            add(row, asset, *quantity, kBought, *cost + fee);
        else
            add(row, asset, *quantity, kSold, *cost - fee);
    }

    const PresetLayout& layout_;
    const SheetDocument& sheet_;
    const ExchangeColumns columns_;
    const QTimeZone zone_;
    const CaptureSettings& settings_;
    ParseResult& result_;
};

} // namespace

PresetLayout coinbaseLayout() {
    PresetLayout l;
    l.title = QStringLiteral("a Coinbase transaction history");
    l.reading = PresetLayout::Reading::Coinbase;
    l.date = {QStringLiteral("Timestamp")};
    l.type = {QStringLiteral("Transaction Type")};
    l.symbol = {QStringLiteral("Asset")};
    l.quantity = {QStringLiteral("Quantity Transacted")};
    l.amount = {QStringLiteral("Subtotal")};
    l.identifying = {kCoinbaseTotal};
    l.fee = {QStringLiteral("Fees and/or Spread")};
    l.optional = {{QStringLiteral("ID")}, kCoinbaseCurrency, kCoinbasePrice, kCoinbaseNotes};
    return l;
}

PresetLayout krakenLayout() {
    PresetLayout l;
    l.title = QStringLiteral("a Kraken trades download");
    l.reading = PresetLayout::Reading::Kraken;
    l.date = {QStringLiteral("time")};
    l.type = {QStringLiteral("type")};
    l.symbol = {QStringLiteral("pair")};
    l.quantity = {QStringLiteral("vol")};
    l.amount = {QStringLiteral("cost")};
    l.identifying = {{QStringLiteral("txid")}, {QStringLiteral("ordertxid")}};
    l.fee = {QStringLiteral("fee")};
    l.optional = {{QStringLiteral("ordertype")},
                  {QStringLiteral("price")},
                  kKrakenMargin,
                  {QStringLiteral("misc")},
                  {QStringLiteral("ledgers")}};
    return l;
}

void readExchangeRows(const PresetLayout& layout, const SheetDocument& sheet, int headingRow,
                      const CaptureSettings& settings, ParseResult& result) {
    const std::optional<QTimeZone> zone = captureZone(settings.zone);
    if (!zone) {
        result.refuse(unknownZoneMessage(settings.zone));
        return;
    }
    ExchangeReader(layout, sheet, headingRow, *zone, settings, result).read(headingRow + 1);
}

} // namespace gainbook
