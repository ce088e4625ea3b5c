#include "platform/option_symbol.h"

#include <QRegularExpression>

namespace gainbook {

namespace {

// The date of two-digit OCC years: the contracts listed are of this century.
constexpr int kOccCentury = 2000;

std::optional<OptionContract> occOption(const QString& text) {
    static const QRegularExpression occ(
        QStringLiteral("^([A-Z][A-Z0-9.]{0,5}) *(\\d{2})(\\d{2})(\\d{2})([CP])(\\d{8})$"));
    const QRegularExpressionMatch m = occ.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    OptionContract option;
    option.underlying = m.captured(1);
    option.expiry = QDate(kOccCentury + m.capturedView(2).toInt(), m.capturedView(3).toInt(),
                          m.capturedView(4).toInt());
    option.call = m.capturedView(5) == u"C";
    option.strikeMills = m.capturedView(6).toLongLong();
    if (!option.expiry.isValid())
        return std::nullopt;
    return option;
}

// A contract brokers write in words: its date month first, its strike in
// dollars and up to three decimals.
std::optional<OptionContract> wordedContract(const QRegularExpressionMatch& m, int month, int day,
                                             int year, bool call, const QString& dollars,
                                             const QString& decimals) {
    OptionContract option;
    option.underlying = m.captured(1);
    option.expiry = QDate(m.capturedView(year).toInt(), m.capturedView(month).toInt(),
                          m.capturedView(day).toInt());
    option.call = call;
    if (!option.expiry.isValid())
        return std::nullopt;
    option.strikeMills = dollars.toLongLong() * 1000 + decimals.leftJustified(3, u'0').toLongLong();
    return option;
}

std::optional<OptionContract> brokerOption(const QString& text) {
    static const QRegularExpression words(QStringLiteral(
        "^([A-Z][A-Z0-9.]*) (\\d{2})/(\\d{2})/(\\d{4}) (\\d+)(?:\\.(\\d{1,3}))? (C|P|CALL|PUT)$"));
    const QRegularExpressionMatch m = words.match(text);
    // OCC's eight digits hold the strike; a longer one names no contract.
    if (!m.hasMatch() || m.capturedView(5).size() > 5)
        return std::nullopt;
    return wordedContract(m, 2, 3, 4, m.capturedView(7).startsWith(u'C'), m.captured(5),
                          m.captured(6));
}

// Robinhood's words: "AAPL 4/19/2024 Call $180.00".
std::optional<OptionContract> wordedOption(const QString& text) {
    static const QRegularExpression words(
        QStringLiteral("^([A-Z][A-Z0-9.]*) (\\d{1,2})/(\\d{1,2})/(\\d{4}) (CALL|PUT) "
                       "\\$?(\\d{1,2},\\d{3}|\\d{1,5})(?:\\.(\\d{1,3}))?$"));
    const QRegularExpressionMatch m = words.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return wordedContract(m, 2, 3, 4, m.capturedView(5) == u"CALL", m.captured(6).remove(u','),
                          m.captured(7));
}

} // namespace

QString OptionContract::description() const {
    // Cents as brokers print them; a strike of tenths of a cent keeps them.
    const int decimals = strikeMills % 10 == 0 ? 2 : 3;
    const QString strike = QString::number(double(strikeMills) / 1000, 'f', decimals);
    return QStringLiteral("%1 %2 %3 %4")
        .arg(underlying, expiry.toString(QStringLiteral("MM/dd/yyyy")), strike,
             call ? QStringLiteral("C") : QStringLiteral("P"));
}

QString OptionContract::key() const {
    return QStringLiteral("%1%2%3%4")
        .arg(underlying, expiry.toString(QStringLiteral("yyMMdd")),
             call ? QStringLiteral("C") : QStringLiteral("P"))
        .arg(strikeMills, 8, 10, QLatin1Char('0'));
}

std::optional<OptionContract> optionOf(const QString& symbol) {
    // Most symbols are a few letters: they are no option and cost no match.
    if (symbol.size() < 15)
        return std::nullopt;
    const QString text = symbol.simplified().toUpper();
    if (auto option = occOption(text))
        return option;
    if (auto option = brokerOption(text))
        return option;
    return wordedOption(text);
}

QString tradeDescription(const QString& count, const QString& between, const QString& symbol) {
    if (const auto option = optionOf(symbol))
        return count + QLatin1Char(' ') + option->description();
    return count + between + symbol;
}

} // namespace gainbook
