#pragma once

#include "capture/heading_fit.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <utility>

namespace gainbook {

// One layout a broker writes its trade-history export in. Each column is
// named by the headings brokers have given it over the years (case and
// spacing aside): "Amount", "Amount ($)", "Amount $" are one column. A
// sheet is read with a layout when one row holds a heading of each column
// the layout needs; the columns it may have are taken where present, so a
// download with fewer optional columns is still the broker's.
struct PresetLayout {
    QString title; // "a Fidelity download", as the capture names what it read
    // How the rows are read: a broker's buys and sells, or an exchange's
    // transactions, whose conversions and rewards are rows of their own.
    enum class Reading { Trades, Coinbase, Kraken };
    Reading reading = Reading::Trades;

    // Needed. An empty type: the quantity's sign says buy (more) or sell (less).
    QStringList date;
    QStringList type;
    QStringList symbol;
    QStringList quantity;
    QStringList amount;
    QVector<QStringList> identifying; // further columns that tell this layout from others

    // May have.
    QStringList fee;               // added to the amount: proceeds written before commission
    QStringList account;           // each row's own account number, under "Derive from Data"
    QStringList accountName;       // the account's own name ("ROTH IRA"), offered for a new number
    QStringList accountKind;       // "IRA", "Roth", "HSA" mark a tax-advantaged account
    QStringList fallbackSymbol;    // read where the symbol cell is empty (funds without a ticker)
    QStringList optionWords;       // names the option where the symbol column holds its underlying
    QVector<QStringList> optional; // further columns it may have, which make a fit more certain

    QStringList buys; // phrases a buy's type text begins with
    QStringList sells;
    // Statements in sections: each row's first cell names its section,
    // the second says "Header" or "Data"; only this section's data rows
    // are read, under the last heading row of the section that matches.
    QString section;
    // Rows whose column of that heading holds none of the values are lot
    // details or other instruments, not trades (applied where the column
    // is present).
    QVector<std::pair<QStringList, QStringList>> keepOnly;
    QString endMarker;           // a first cell beginning with this ends the rows (a totals line)
    bool timeAfterComma = false; // "2024-03-15, 09:30:00"

    // The columns a heading row must hold, each as its heading variants.
    QVector<QStringList> needed() const;
    // The columns it may hold.
    QVector<QStringList> mayHave() const;
    // Both, as the detection of a sheet's layout weighs them.
    HeadingLayout headings() const { return {needed(), mayHave(), section}; }
};

// A broker's named set of layouts.
struct BrokerPreset {
    QString name;
    QString account; // what the account field shows once the preset is chosen
    bool derive = false;
    QVector<PresetLayout> layouts;
};

// The presets in the order they follow the historic entries.
const QVector<BrokerPreset>& brokerPresets();

} // namespace gainbook
