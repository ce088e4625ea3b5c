#include "matching/account_trades.h"

#include "platform/date_text.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/schema.h"
#include "store/sql.h"
#include "store/transfer_link_table.h"
#include "store/unknown_cost_table.h"

namespace gainbook {

namespace {

// Through the index by symbol every buy is a read of the table at a random
// place, which at a million trades is most of the run. The date index reads
// them in the order a capture stores them, and the engine sorts them after.
// A store whose index was dropped by hand still reads them, the slow way.
QString accountBuysQuery(const QSqlDatabase& db) {
    const QString from = hasIndex(db, QStringLiteral("TxnByAccountDate"))
                             ? QStringLiteral("FROM Txn INDEXED BY TxnByAccountDate ")
                             : QStringLiteral("FROM Txn ");
    return QStringLiteral("SELECT ID, Symbol, Quantity, TxnDate, Amount, Memo, "
                          "OpenClose = 'Open', OpenClose IN ('Assigned', 'Exercised') ") +
           from +
           QStringLiteral("WHERE AccountName = ? AND Type = 'Bought' ORDER BY Symbol, TxnDate, ID");
}

} // namespace

TradeRows::TradeRows(const QSqlDatabase& db)
    : buys_(db, accountBuysQuery(db)),
      sells_(db, QStringLiteral("SELECT ID, Symbol, Quantity, TxnDate, Amount, "
                                "OpenClose = 'Open', Type = 'Sent', "
                                "OpenClose IN ('Assigned', 'Exercised') "
                                "FROM Txn WHERE AccountName = ? AND Type IN "
                                "('Sold', 'Sent') ORDER BY TxnDate, Symbol, ID")) {}

void TradeRows::selectBuys(const QString& account) {
    buys_.select(storedText(account));
}

bool TradeRows::nextBuy(AccountBuy& row, TextPool& texts) {
    if (!buys_.next())
        return false;
    row.id = buys_.integer(0);
    row.symbol = texts.of(buys_.textView(1));
    row.quantity = Quantity::fromDouble(buys_.real(2));
    row.storedDate = texts.of(buys_.textView(3));
    row.amount = Money::fromDouble(buys_.real(4));
    row.opensLong = buys_.integer(6) != 0;
    row.carries = buys_.integer(7) != 0;
    return true;
}

QVector<SellRow> TradeRows::sells(const QString& account, TextPool& texts) {
    sells_.select(storedText(account));
    QVector<SellRow> rows;
    while (sells_.next()) {
        const QString stored = texts.of(sells_.textView(3));
        rows.append({sells_.integer(0), texts.of(sells_.textView(1)),
                     Quantity::fromDouble(sells_.real(2)), dateFromStored(stored), stored,
                     Money::fromDouble(sells_.real(4)), sells_.integer(5) != 0,
                     sells_.integer(6) != 0, sells_.integer(7) != 0});
    }
    return rows;
}

AccountTrades readAccountTrades(const QSqlDatabase& db, const QString& account) {
    AccountTrades trades;
    trades.account = account;
    TextPool texts;
    TradeRows rows(db);
    rows.selectBuys(account);
    AccountBuy row;
    while (rows.nextBuy(row, texts))
        trades.buys.append(row);
    trades.sells = rows.sells(account, texts);
    trades.heldByOthers = selectLinksHeldByOthers(db, account);
    trades.actions = selectCorpActions(db);
    trades.unknownCost = selectUnknownCostBuys(db);
    trades.receives = selectReceivedLots(db, account);
    return trades;
}

QVector<LinkedReceive> selectReceivedLots(const QSqlDatabase& db, const QString& account) {
    QVector<LinkedReceive> receives = selectLinkedReceives(db, account);
    for (LinkedReceive& receive : receives) {
        // A sender waiting only for its own receives of later days has sent
        // what it held on the send's day: a coin sent and sent back goes on.
        if (sendsAgain(db, receive.sendAccount, receive.sendDate))
            receive.lots.clear();
    }
    return receives;
}

} // namespace gainbook
