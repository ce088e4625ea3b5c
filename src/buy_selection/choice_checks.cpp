#include "buy_selection/choice_checks.h"

#include "platform/date_text.h"
#include "platform/number_range.h"
#include "platform/number_text.h"

namespace gainbook {

namespace {

QString moneyRefusal(const QString& what, const Money& value) {
    return rangeRefusal(what, value.toDouble());
}

} // namespace

QString rangeRefusal(const QString& what, double value) {
    if (isBrokerageNumber(value) &&
        (what != QLatin1String("quantity") || Quantity::isRepresentable(value)))
        return {};
    return outOfRangeText(what, value);
}

QString choiceValueRefusal(const BuyChoice& choice) {
    const QString quantity = QStringLiteral("quantity");
    const QString cost = QStringLiteral("cost");
    if (choice.quantity) {
        if (QString refused = rangeRefusal(quantity, *choice.quantity); !refused.isEmpty())
            return refused;
        if (*choice.quantity < 0)
            return QStringLiteral("The quantity must be greater than 0: %1")
                .arg(numberToText(*choice.quantity));
    }
    if (choice.cost) {
        if (QString refused = moneyRefusal(cost, *choice.cost); !refused.isEmpty())
            return refused;
        if (choice.cost->isNegative())
            return QStringLiteral("The cost must not be below 0: %1")
                .arg(numberToText(choice.cost->toDouble()));
    }
    if (!choice.newBuy)
        return {};
    const TxnRecord& buy = *choice.newBuy;
    if (!buy.txnDate.isValid())
        return QStringLiteral("Not a valid date");
    if (buy.symbol.trimmed().isEmpty())
        return QStringLiteral("A buy needs a symbol.");
    if (!buy.quantity.isPositive())
        return QStringLiteral("The quantity must be greater than 0: %1").arg(buy.quantity.text());
    return moneyRefusal(cost, buy.amount);
}

QString sellRefusal(const std::optional<TxnRecord>& row, qint64 sellId, const QString& account) {
    if (!row || row->accountName != account)
        return QStringLiteral("Sell record not found: %1 in %2")
            .arg(QString::number(sellId), account);
    if (row->type != kSold)
        return QStringLiteral("Record %1 is not a sell: it is a %2 record.")
            .arg(QString::number(sellId), row->type);
    return {};
}

QString buyRefusal(const std::optional<TxnRecord>& row, qint64 buyId) {
    if (!row)
        return QStringLiteral("Buy record not found: %1").arg(buyId);
    if (row->type != kBought)
        return QStringLiteral("Record %1 is not a buy: it is a %2 record.")
            .arg(QString::number(buyId), row->type);
    return {};
}

Quantity openShares(const TxnRecord& buy) {
    const QString memo = buy.memo.trimmed();
    const std::optional<double> open = memo.isEmpty() ? std::nullopt : typedNumber(memo);
    return open ? Quantity::fromDouble(*open) : buy.quantity;
}

QString overOpenText(const TxnRecord& buy, Quantity open, Quantity asked) {
    return QStringLiteral("The buy of %1 %2 has only %3 shares open, not %4.")
        .arg(formatDate(buy.txnDate), buy.symbol, open.text(), asked.text());
}

QString overOpenQuestion() {
    return QStringLiteral("Use more shares than the buy has open?");
}

} // namespace gainbook
