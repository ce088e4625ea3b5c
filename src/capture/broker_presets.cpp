#include "capture/broker_presets.h"

namespace gainbook {

QStringList PresetLayout::headings() const {
    QStringList all;
    for (const QString& h : {date, type, symbol, quantity, amount, fee, account, fallbackSymbol})
        if (!h.isEmpty())
            all << h;
    return all + others;
}

namespace {

// Option and short-sale phrases begin with the plain word, so "Buy" also
// takes "Buy to Open" and "Buy to Close", "Sell" takes "Sell Short".
PresetLayout schwab() {
    PresetLayout l;
    l.date = "Date";
    l.type = "Action";
    l.symbol = "Symbol";
    l.quantity = "Quantity";
    l.amount = "Amount";
    l.fallbackSymbol = "Description";
    l.others = {"Price", "Fees & Comm"};
    l.buys = {"Buy", "Reinvest Shares"};
    l.sells = {"Sell"};
    l.endMarker = "Transactions Total";
    return l;
}

PresetLayout fidelity() {
    PresetLayout l;
    l.date = "Run Date";
    l.type = "Action";
    l.symbol = "Symbol";
    l.quantity = "Quantity";
    l.amount = "Amount ($)";
    l.account = "Account";
    l.fallbackSymbol = "Description";
    l.others = {"Price ($)", "Commission ($)", "Settlement Date"};
    l.buys = {"YOU BOUGHT", "REINVESTMENT"};
    l.sells = {"YOU SOLD"};
    return l;
}

// The download of a single account: no account column, the description
// under its older name.
PresetLayout fidelitySingle() {
    PresetLayout l = fidelity();
    l.account.clear();
    l.fallbackSymbol = "Security Description";
    l.others = {"Security Type", "Price ($)", "Commission ($)", "Settlement Date"};
    return l;
}

// The download holds the holdings first; the trades follow under their
// own heading row.
PresetLayout vanguard() {
    PresetLayout l;
    l.date = "Trade Date";
    l.type = "Transaction Type";
    l.symbol = "Symbol";
    l.quantity = "Shares";
    l.amount = "Net Amount";
    l.account = "Account Number";
    l.fallbackSymbol = "Investment Name";
    l.others = {"Settlement Date", "Transaction Description", "Principal Amount"};
    l.buys = {"Buy", "Reinvestment"};
    l.sells = {"Sell"};
    return l;
}

PresetLayout robinhood() {
    PresetLayout l;
    l.date = "Activity Date";
    l.type = "Trans Code";
    l.symbol = "Instrument";
    l.quantity = "Quantity";
    l.amount = "Amount";
    l.others = {"Process Date", "Settle Date", "Description", "Price"};
    l.buys = {"Buy", "BTO", "BTC"};
    l.sells = {"Sell", "STO", "STC"};
    return l;
}

// The download of the older site, under an "For Account:" line.
PresetLayout etradeClassic() {
    PresetLayout l;
    l.date = "TransactionDate";
    l.type = "TransactionType";
    l.symbol = "Symbol";
    l.quantity = "Quantity";
    l.amount = "Amount";
    l.others = {"SecurityType", "Price", "Commission"};
    l.buys = {"Bought"};
    l.sells = {"Sold"};
    return l;
}

// The download of today's site, under a title of a few lines.
PresetLayout etradeActivity() {
    PresetLayout l;
    l.date = "Activity/Trade Date";
    l.type = "Activity Type";
    l.symbol = "Symbol";
    l.quantity = "Quantity #";
    l.amount = "Amount $";
    l.fallbackSymbol = "Description";
    l.others = {"Transaction Date", "Settlement Date", "Price $"};
    l.buys = {"Bought", "Reinvestment"};
    l.sells = {"Sold"};
    return l;
}

// The activity statement: sections of "Header" and "Data" rows. Proceeds
// leave the commission out, which the amount takes back; the lot detail
// rows under a closing trade repeat it and are not read.
PresetLayout interactiveStatement() {
    PresetLayout l;
    l.section = "Trades";
    l.date = "Date/Time";
    l.symbol = "Symbol";
    l.quantity = "Quantity";
    l.amount = "Proceeds";
    l.fee = "Comm/Fee";
    l.others = {"DataDiscriminator", "Asset Category", "Currency", "T. Price"};
    l.keepOnly = {{"DataDiscriminator", {"Order", "Trade"}},
                  {"Asset Category", {"Stocks", "Equity and Index Options"}}};
    l.timeAfterComma = true;
    return l;
}

// A flex query of trades with the fields most users pick.
PresetLayout interactiveFlex() {
    PresetLayout l;
    l.date = "TradeDate";
    l.type = "Buy/Sell";
    l.symbol = "Symbol";
    l.quantity = "Quantity";
    l.amount = "NetCash";
    l.account = "ClientAccountID";
    l.others = {"AssetClass", "Proceeds", "IBCommission"};
    l.keepOnly = {{"LevelOfDetail", {"EXECUTION"}}, {"AssetClass", {"STK", "OPT"}}};
    l.buys = {"BUY"};
    l.sells = {"SELL"};
    return l;
}

} // namespace

const QVector<BrokerPreset>& brokerPresets() {
    static const QVector<BrokerPreset> presets = {
        {"Schwab", "Schwab1", false, {schwab()}},
        {"Fidelity", "Fidelity1", true, {fidelity(), fidelitySingle()}},
        {"Vanguard", "Vanguard1", true, {vanguard()}},
        {"Robinhood", "Robinhood1", false, {robinhood()}},
        {"E*TRADE", "ETRADE1", false, {etradeClassic(), etradeActivity()}},
        {"Interactive Brokers", "IBKR1", true, {interactiveStatement(), interactiveFlex()}},
    };
    return presets;
}

} // namespace gainbook
