#include "gains/gains_layouts.h"

namespace gainbook {

HeadingLayout GainsLayout::headings() const {
    HeadingLayout h;
    h.needed = QVector<QStringList>{symbol, quantity, sold, proceeds, cost} + identifying;
    for (const QStringList& column : {description, acquired, wash, term, box})
        if (!column.isEmpty())
            h.mayHave << column;
    h.mayHave += optional;
    return h;
}

namespace {

// The download of the "Realized Gain/Loss" page, under a title line. "Wash
// Sale?" only says yes or no; the amount is in "Disallowed Loss".
GainsLayout schwabGains() {
    GainsLayout l;
    l.title = "a Schwab realized gain/loss download";
    l.symbol = {"Symbol"};
    l.quantity = {"Quantity"};
    l.sold = {"Closed Date"};
    l.proceeds = {"Proceeds", "Proceeds ($)"};
    l.cost = {"Cost Basis (CB)", "Cost Basis", "Cost Basis ($)"};
    l.identifying = {{"Opened Date"}};
    l.description = {"Name"};
    l.acquired = {"Opened Date"};
    l.wash = {"Disallowed Loss", "Disallowed Loss ($)"};
    l.term = {"Term"};
    l.optional = {{"Gain/Loss ($)", "Gain/Loss", "Total Gain/Loss ($)"},
                  {"Wash Sale?"},
                  {"Proceeds Per Share"},
                  {"Cost Per Share"}};
    return l;
}

// Between disclaimer lines above and below; the gain is split into short
// and long term columns rather than a term column.
GainsLayout fidelityGains() {
    GainsLayout l;
    l.title = "a Fidelity realized gain/loss download";
    l.symbol = {"Symbol", "Symbol(CUSIP)"};
    l.quantity = {"Quantity"};
    l.sold = {"Date Sold"};
    l.proceeds = {"Proceeds", "Proceeds ($)"};
    l.cost = {"Cost Basis", "Cost Basis ($)", "Cost"};
    l.identifying = {{"Short Term Gain/Loss", "Short Term Gain/Loss ($)"},
                     {"Long Term Gain/Loss", "Long Term Gain/Loss ($)"}};
    l.description = {"Security Description", "Description"};
    l.acquired = {"Date Acquired"};
    l.wash = {"Wash Sale Loss Disallowed", "Wash Sale Loss Disallowed ($)"};
    l.optional = {{"Account"}, {"Account Number"}};
    return l;
}

GainsLayout vanguardGains() {
    GainsLayout l;
    l.title = "a Vanguard realized gain/loss download";
    l.symbol = {"Symbol"};
    l.quantity = {"Shares", "Quantity"};
    l.sold = {"Date sold", "Trade date"};
    l.proceeds = {"Proceeds", "Total proceeds"};
    l.cost = {"Cost basis", "Total cost"};
    l.identifying = {{"Cost basis method"}};
    l.description = {"Name", "Investment name"};
    l.acquired = {"Date acquired"};
    l.wash = {"Wash sale disallowed loss", "Disallowed loss"};
    l.optional = {{"Account number"},
                  {"Event"},
                  {"Short-term capital gain", "Short-term gain/loss"},
                  {"Long-term capital gain", "Long-term gain/loss"},
                  {"Total capital gain", "Total gain/loss"}};
    return l;
}

} // namespace

const QVector<GainsLayout>& gainsLayouts() {
    static const QVector<GainsLayout> layouts = {schwabGains(), fidelityGains(), vanguardGains()};
    return layouts;
}

} // namespace gainbook
