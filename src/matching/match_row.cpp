#include "matching/match_row.h"

#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"

#include <QSet>

namespace gainbook {

QStringList matchGridHeadings() {
    return {QStringLiteral("Date Sold"),    QStringLiteral("Quantity"),
            QStringLiteral("Symbol"),       QStringLiteral("Sale Price"),
            QStringLiteral("Linked"),       QStringLiteral("Buy Date"),
            QStringLiteral("Buy Symbol"),   QStringLiteral("Applied Quantity"),
            QStringLiteral("Applied Cost"), QStringLiteral("Total Quantity"),
            QStringLiteral("Total Cost"),   QStringLiteral("BuyId"),
            QStringLiteral("SellID")};
}

qsizetype sellsOfUnknownCost(const QVector<MatchRow>& rows) {
    QSet<qint64> sells;
    for (const MatchRow& row : rows)
        if (row.costUnknown && row.hasLot())
            sells.insert(row.link.sellId);
    return sells.size();
}

QStringList matchRowTexts(const MatchRow& row) {
    QStringList texts(MatchGridCol::Count, QString());
    const auto set = [&texts](int col, QString text) { texts[col - 1] = std::move(text); };
    if (const std::optional<TxnRecord>& sell = row.sell) {
        set(MatchGridCol::DateSold, formatDate(sell->txnDate));
        set(MatchGridCol::Quantity, sell->quantity.text());
        set(MatchGridCol::Symbol, sell->symbol);
        set(MatchGridCol::SalePrice, formatPlain(sell->amount));
    }
    if (row.hasAddButton) {
        set(MatchGridCol::Linked, kAddCaption);
    } else if (const std::optional<TxnRecord>& buy = row.buy) {
        set(MatchGridCol::Linked, row.linked ? QStringLiteral("1") : QStringLiteral("0"));
        set(MatchGridCol::BuyDate, formatDate(buy->txnDate));
        set(MatchGridCol::BuySymbol, buy->symbol);
        set(MatchGridCol::AppliedQuantity, row.link.buyQuantity.text());
        // Shares transferred in cost what the user has still to type, not 0.
        const QString unknown = QStringLiteral("unknown");
        set(MatchGridCol::AppliedCost, row.costUnknown ? unknown : formatPlain(row.link.buyPrice));
        set(MatchGridCol::TotalQuantity, buy->quantity.text());
        set(MatchGridCol::TotalCost, row.costUnknown ? unknown : formatPlain(buy->amount));
        set(MatchGridCol::BuyId, QString::number(buy->id));
    }
    set(MatchGridCol::SellID, QString::number(row.link.sellId));
    return texts;
}

} // namespace gainbook
