#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace gainbook {

// An option contract as its symbol names it.
struct OptionContract {
    QString underlying;
    QDate expiry;
    qint64 strikeMills = 0; // the strike in thousandths of a dollar, as OCC writes it
    bool call = true;
    int sharesPerContract = 100;

    // "AAPL 01/17/2025 200.00 C": the words of Form 1099-B without the count.
    QString description() const;
    // "AAPL250117C00200000": one name for every way a broker spells it.
    QString key() const;
};

// The option a symbol names, in the forms brokers write: OCC's 21
// characters ("AAPL  250117C00200000"), the same without the padding, and
// "AAPL 01/17/2025 200.00 C" (or CALL, PUT), and "AAPL 1/17/2025 Call $200.00".
// Anything else is no option.
std::optional<OptionContract> optionOf(const QString& symbol);

// How a record of the symbol is described: "1 AAPL 01/17/2025 200.00 C" for
// an option (the count is of contracts), else count, the words between and
// the symbol ("100 sh. IBM").
QString tradeDescription(const QString& count, const QString& between, const QString& symbol);

} // namespace gainbook
