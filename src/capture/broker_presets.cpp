#include "capture/broker_presets.h"

#include "capture/exchange_parser.h"

namespace gainbook {

QVector<QStringList> PresetLayout::needed() const {
    QVector<QStringList> all;
    for (const QStringList& h : {date, type, symbol, quantity, amount})
        if (!h.isEmpty())
            all << h;
    return all + identifying;
}

QVector<QStringList> PresetLayout::mayHave() const {
    QVector<QStringList> all;
    for (const QStringList& h : {fee, account, accountName, accountKind, fallbackSymbol})
        if (!h.isEmpty())
            all << h;
    return all + optional;
}

namespace {

// The names one column goes by in the downloads of several brokers.
QStringList quantityHeadings() {
    return {"Quantity", "Quantity #", "Shares"};
}

QStringList amountHeadings() {
    return {"Amount", "Amount ($)", "Amount $"};
}

QStringList priceHeadings() {
    return {"Price", "Price ($)", "Price $"};
}

// Option and short-sale phrases begin with the plain word, so "Buy" also
// takes "Buy to Open" and "Buy to Close", "Sell" takes "Sell Short".
PresetLayout schwab() {
    PresetLayout l;
    l.title = "a Schwab download";
    l.date = {"Date"};
    l.type = {"Action"};
    l.symbol = {"Symbol"};
    l.quantity = quantityHeadings();
    l.amount = amountHeadings();
    l.identifying = {{"Fees & Comm", "Fees & Commissions"}};
    l.fallbackSymbol = {"Description"};
    l.optional = {priceHeadings()};
    l.buys = {"Buy", "Reinvest Shares"};
    l.sells = {"Sell"};
    l.endMarker = "Transactions Total";
    return l;
}

// One layout for the download of one account and of all accounts, in the
// older headings ("Amount ($)", "Security Description") and the current
// ones ("Amount", "Account Number", "Exchange Quantity").
PresetLayout fidelity() {
    PresetLayout l;
    l.title = "a Fidelity download";
    l.date = {"Run Date"};
    l.type = {"Action"};
    l.symbol = {"Symbol"};
    l.quantity = quantityHeadings();
    l.amount = amountHeadings();
    l.account = {"Account Number", "Account"};
    l.accountName = {"Account"};
    l.accountKind = {"Account"};
    l.fallbackSymbol = {"Description", "Security Description"};
    l.optional = {priceHeadings(),       {"Commission", "Commission ($)"},
                  {"Fees", "Fees ($)"},  {"Accrued Interest", "Accrued Interest ($)"},
                  {"Settlement Date"},   {"Type", "Security Type"},
                  {"Exchange Quantity"}, {"Exchange Currency"},
                  {"Exchange Rate"},     {"Currency"}};
    l.buys = {"YOU BOUGHT", "REINVESTMENT"};
    l.sells = {"YOU SOLD", "REDEMPTION PAYOUT"};
    return l;
}

// The download holds the holdings first; the trades follow under their
// own heading row, which alone has a trade date.
PresetLayout vanguard() {
    PresetLayout l;
    l.title = "a Vanguard download";
    l.date = {"Trade Date"};
    l.type = {"Transaction Type"};
    l.symbol = {"Symbol"};
    l.quantity = {"Shares", "Quantity"};
    l.amount = {"Net Amount", "Principal Amount"};
    l.account = {"Account Number"};
    l.accountKind = {"Account Type"};
    l.fallbackSymbol = {"Investment Name"};
    l.optional = {{"Settlement Date"},  {"Transaction Description"}, {"Share Price"},
                  {"Principal Amount"}, {"Commissions and Fees"},    {"Accrued Interest"}};
    l.buys = {"Buy", "Reinvestment"};
    l.sells = {"Sell", "Redemption"};
    return l;
}

PresetLayout robinhood() {
    PresetLayout l;
    l.title = "a Robinhood download";
    l.date = {"Activity Date"};
    l.type = {"Trans Code"};
    l.symbol = {"Instrument"};
    l.quantity = quantityHeadings();
    l.amount = amountHeadings();
    l.optional = {{"Process Date"}, {"Settle Date"}, {"Description"}, priceHeadings()};
    // An option's row names only its underlying under "Instrument"; the
    // contract is in the description, after any words of its event.
    l.optionWords = {"Description"};
    l.buys = {"Buy", "BTO", "BTC", "DRIP"};
    l.sells = {"Sell", "STO", "STC"};
    return l;
}

// The download of the older site, under an "For Account:" line.
PresetLayout etradeClassic() {
    PresetLayout l;
    l.title = "an E*TRADE download";
    l.date = {"TransactionDate"};
    l.type = {"TransactionType"};
    l.symbol = {"Symbol"};
    l.quantity = quantityHeadings();
    l.amount = amountHeadings();
    l.optional = {{"SecurityType"}, priceHeadings(), {"Commission"}};
    l.buys = {"Bought"};
    l.sells = {"Sold"};
    return l;
}

// The download of today's site, under a title of a few lines.
PresetLayout etradeActivity() {
    PresetLayout l = etradeClassic();
    l.date = {"Activity/Trade Date"};
    l.type = {"Activity Type"};
    l.fallbackSymbol = {"Description"};
    l.optional = {{"Transaction Date"}, {"Settlement Date"}, priceHeadings()};
    l.buys = {"Bought", "Reinvestment"};
    return l;
}

// The activity statement: sections of "Header" and "Data" rows. Proceeds
// leave the commission out, which the amount takes back; the lot detail
// rows under a closing trade repeat it and are not read.
PresetLayout interactiveStatement() {
    PresetLayout l;
    l.title = "an Interactive Brokers activity statement";
    l.section = "Trades";
    l.date = {"Date/Time"};
    l.symbol = {"Symbol"};
    l.quantity = {"Quantity"};
    l.amount = {"Proceeds"};
    l.fee = {"Comm/Fee", "Comm in USD"};
    l.optional = {{"DataDiscriminator"}, {"Asset Category"}, {"Currency"}, {"T. Price"}};
    l.keepOnly = {{{"DataDiscriminator"}, {"Order", "Trade"}},
                  {{"Asset Category"}, {"Stocks", "Equity and Index Options"}}};
    l.timeAfterComma = true;
    return l;
}

// A flex query of trades with whichever fields the user picked: the sign
// of the quantity tells buy from sell where "Buy/Sell" was left out.
PresetLayout interactiveFlex() {
    PresetLayout l;
    l.title = "an Interactive Brokers flex query";
    l.date = {"TradeDate", "Date/Time"};
    l.symbol = {"Symbol"};
    l.quantity = {"Quantity"};
    l.amount = {"NetCash"};
    l.account = {"ClientAccountID", "AccountID"};
    l.optional = {{"AssetClass"}, {"Buy/Sell"}, {"Description"}, {"TradePrice"}};
    l.keepOnly = {{{"LevelOfDetail"}, {"EXECUTION"}}, {{"AssetClass"}, {"STK", "OPT"}}};
    return l;
}

// The same query without the net cash: proceeds and the commission.
PresetLayout interactiveFlexProceeds() {
    PresetLayout l = interactiveFlex();
    l.amount = {"Proceeds"};
    l.fee = {"IBCommission"};
    return l;
}

} // namespace

const QVector<BrokerPreset>& brokerPresets() {
    static const QVector<BrokerPreset> presets = {
        {"Schwab", "Schwab1", false, {schwab()}},
        {"Fidelity", "Fidelity1", true, {fidelity()}},
        {"Vanguard", "Vanguard1", true, {vanguard()}},
        {"Robinhood", "Robinhood1", false, {robinhood()}},
        {"E*TRADE", "ETRADE1", false, {etradeClassic(), etradeActivity()}},
        {"Interactive Brokers",
         "IBKR1",
         true,
         {interactiveStatement(), interactiveFlex(), interactiveFlexProceeds()}},
        {"Coinbase", "Coinbase1", false, {coinbaseLayout()}},
        {"Kraken", "Kraken1", false, {krakenLayout()}},
    };
    return presets;
}

} // namespace gainbook
