#include "capture/parse_result.h"

#include "platform/date_text.h"
#include "platform/number_range.h"

namespace gainbook {

ParseResult::ParseResult(const CaptureSettings& settings)
    : account(settings.account), month(settings.month), askedAccount(settings.account),
      askedMonth(settings.month) {}

void ParseResult::askAboutCurrentFields() {
    askedAccount = account;
    askedMonth = month;
}

void ParseResult::add(const QString& symbol, double quantity, const QString& type,
                      const QString& dateText, double amount, const QString& memo) {
    add(symbol, quantity, type, dateFromText(dateText), amount, memo);
}

void ParseResult::add(const QString& symbol, double quantity, const QString& type,
                      const QDate& date, double amount, const QString& memo) {
    if (!date.isValid()) {
        ++skippedDates;
        return;
    }
    if (!isBrokerageNumber(quantity) || !Quantity::isRepresentable(quantity) ||
        !isBrokerageNumber(amount)) {
        ++skippedRange;
        return;
    }
    // A trade names what was traded, and how much: a row without either
    // could never be matched, and a sell of it would be all gain.
    if (symbol.trimmed().isEmpty()) {
        ++skippedSymbols;
        return;
    }
    if (Quantity::fromDouble(quantity).isZero()) {
        ++skippedEmpty;
        return;
    }
    TxnRecord r;
    r.accountName = account;
    r.txnMonth = month;
    r.symbol = symbol;
    r.quantity = Quantity::fromDouble(quantity);
    r.type = type;
    r.txnDate = date;
    r.amount = Money::fromDouble(amount);
    r.memo = memo;
    rows.append(std::move(r));
}

ParseResult& ParseResult::refuse(const QString& text) {
    rows.clear();
    message = text;
    return *this;
}

} // namespace gainbook
