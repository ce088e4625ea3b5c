#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <utility>

namespace gainbook {

// One layout a broker writes its trade-history export in: the headings of
// its columns, exactly as the broker names them (case and spacing aside),
// and the words its type column says buy and sell with. A sheet is read
// with a layout only when one row holds every heading the layout names, so
// a preset never takes a column on a guess.
struct PresetLayout {
    QString date;
    QString type; // empty: the quantity's sign says buy (more) or sell (less)
    QString symbol;
    QString quantity;
    QString amount;
    QString fee;            // added to the amount: proceeds written before commission
    QString account;        // each row's own account, under "Derive from Data"
    QString fallbackSymbol; // read where the symbol cell is empty (funds without a ticker)
    QStringList others;     // further headings the layout always has
    QStringList buys;       // phrases a buy's type text begins with
    QStringList sells;
    // Statements in sections: each row's first cell names its section,
    // the second says "Header" or "Data"; only this section's data rows
    // are read, under the last heading row of the section that matches.
    QString section;
    // Rows whose column of that heading holds none of the values are lot
    // details or other instruments, not trades (applied where the column
    // is present).
    QVector<std::pair<QString, QStringList>> keepOnly;
    QString endMarker;           // a first cell beginning with this ends the rows (a totals line)
    bool timeAfterComma = false; // "2024-03-15, 09:30:00"

    // Every heading the row must hold.
    QStringList headings() const;
};

// A broker's named set of layouts, tried in order.
struct BrokerPreset {
    QString name;
    QString account; // what the account field shows once the preset is chosen
    bool derive = false;
    QVector<PresetLayout> layouts;
};

// The presets in the order they follow the historic entries.
const QVector<BrokerPreset>& brokerPresets();

} // namespace gainbook
