#include "store/links_table.h"

#include "platform/date_text.h"
#include "platform/text_pool.h"
#include "store/fast_statement.h"
#include "store/schema.h"
#include "store/sql.h"

#include <utility>

namespace gainbook {

namespace {

const QString kSelectAll = QStringLiteral(
    "SELECT AccountName, SellId, BuyId, BuyQuantity, BuyPrice, Memo, SellDate, SellSymbol, "
    "ByHand FROM SellLinks ");

} // namespace

LinkRecord linkFromQuery(const QSqlQuery& query) {
    LinkRecord r;
    r.accountName = query.value(LinkCol::AccountName).toString();
    r.sellId = query.value(LinkCol::SellId).toLongLong();
    r.buyId = query.value(LinkCol::BuyId).toLongLong();
    r.buyQuantity = Quantity::fromDouble(query.value(LinkCol::BuyQuantity).toDouble());
    r.buyPrice = Money::fromDouble(query.value(LinkCol::BuyPrice).toDouble());
    r.memo = query.value(LinkCol::Memo).toString();
    r.sellDate = dateFromStored(query.value(LinkCol::SellDate).toString());
    r.sellSymbol = query.value(LinkCol::SellSymbol).toString();
    r.byHand = query.value(LinkCol::ByHand).toInt() != 0;
    return r;
}

void deleteLinksOfAccount(const QSqlDatabase& db, const QString& account) {
    runQuery(db, QStringLiteral("DELETE FROM SellLinks WHERE AccountName = ?"), {account});
}

bool accountHasLinks(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query = runQuery(
        db, QStringLiteral("SELECT 1 FROM SellLinks WHERE AccountName = ? LIMIT 1"), {account});
    return query.next();
}

qint64 countLinksOfAccount(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query = runQuery(
        db, QStringLiteral("SELECT COUNT(*) FROM SellLinks WHERE AccountName = ?"), {account});
    return query.next() ? query.value(0).toLongLong() : 0;
}

bool storeHasLinks(const QSqlDatabase& db) {
    return runQuery(db, QStringLiteral("SELECT 1 FROM SellLinks LIMIT 1")).next();
}

namespace {

QStringList accountsOf(QSqlQuery& query) {
    QStringList accounts;
    while (query.next())
        accounts << query.value(0).toString();
    return accounts;
}

} // namespace

QStringList selectAccountsLinkingTxn(const QSqlDatabase& db, qint64 txnId) {
    QSqlQuery query = runQuery(db,
                               QStringLiteral("SELECT DISTINCT AccountName FROM SellLinks WHERE "
                                              "SellId = ? OR BuyId = ? ORDER BY AccountName"),
                               {txnId, txnId});
    return accountsOf(query);
}

QStringList selectAccountsLinkingTxnsOf(const QSqlDatabase& db, const QString& account,
                                        const std::optional<QString>& month) {
    // A month left out matches every month of the account.
    const QVariant monthValue = month ? textValue(*month) : QVariant();
    QSqlQuery query = runQuery(
        db,
        QStringLiteral("SELECT DISTINCT AccountName FROM SellLinks WHERE SellId IN (%1) OR "
                       "BuyId IN (%1) ORDER BY AccountName")
            .arg(QStringLiteral("SELECT ID FROM Txn WHERE AccountName = ? AND "
                                "(? IS NULL OR TxnMonth = ?)")),
        {textValue(account), monthValue, monthValue, textValue(account), monthValue, monthValue});
    return accountsOf(query);
}

QVector<LinkRecord> selectLinksOfAccount(const QSqlDatabase& db, const QString& account) {
    // rowid keeps the lots of a sell in the order the matching applied them.
    FastStatement query(db, kSelectAll +
                                QStringLiteral("WHERE AccountName = ? ORDER BY SellId, rowid"));
    query.select(storedText(account));
    // An account's links repeat its name, a few memos and each sell's
    // symbol for all its lots: they share one copy each.
    TextPool texts;
    QVector<LinkRecord> links;
    while (query.next()) {
        LinkRecord& r = links.emplace_back();
        r.accountName = texts.of(query.textView(LinkCol::AccountName));
        r.sellId = query.integer(LinkCol::SellId);
        r.buyId = query.integer(LinkCol::BuyId);
        r.buyQuantity = Quantity::fromDouble(query.real(LinkCol::BuyQuantity));
        r.buyPrice = Money::fromDouble(query.real(LinkCol::BuyPrice));
        r.memo = texts.of(query.textView(LinkCol::Memo));
        r.sellDate = dateFromStored(query.textView(LinkCol::SellDate));
        r.sellSymbol = texts.of(query.textView(LinkCol::SellSymbol));
        r.byHand = query.integer(LinkCol::ByHand) != 0;
    }
    return links;
}

QVector<LinkRecord> selectLinksHeldByOthers(const QSqlDatabase& db, const QString& account) {
    // Two ranges of the index by account rather than a scan of every link:
    // a store of one account reads nothing here.
    FastStatement query(db, QStringLiteral("SELECT l.BuyId, l.BuyQuantity, l.SellDate, "
                                           "l.AccountName "
                                           "FROM SellLinks l JOIN Txn t ON t.ID = l.BuyId "
                                           "WHERE (l.AccountName < ?1 OR l.AccountName > ?1) "
                                           "AND l.BuyId > 0 AND t.AccountName = ?1 "
                                           // Lots a send moved away are the
                                           // send's, whoever sells them after;
                                           // the receiving run's rows say so
                                           // while the send's links are being
                                           // written again.
                                           "AND NOT EXISTS (SELECT 1 FROM TransferLink k "
                                           "JOIN Txn r ON r.ID = k.ReceiveId "
                                           "JOIN SellLinks m ON m.SellId = k.SendId "
                                           "WHERE k.Apart = 0 AND r.AccountName = l.AccountName "
                                           "AND m.BuyId = l.BuyId) "
                                           "AND NOT EXISTS (SELECT 1 FROM MovedLot v "
                                           "WHERE v.AccountName = l.AccountName "
                                           "AND v.BuyId = l.BuyId)"));
    query.select(storedText(account));
    QVector<LinkRecord> links;
    while (query.next()) {
        LinkRecord& r = links.emplace_back();
        r.buyId = query.integer(0);
        r.buyQuantity = Quantity::fromDouble(query.real(1));
        r.sellDate = dateFromStored(query.textView(2));
        r.accountName = query.text(3);
    }
    return links;
}

std::optional<LinkRecord> selectLink(const QSqlDatabase& db, qint64 sellId, qint64 buyId) {
    QSqlQuery query = runQuery(db, kSelectAll + QStringLiteral("WHERE SellId = ? AND BuyId = ?"),
                               {sellId, buyId});
    if (!query.next())
        return std::nullopt;
    return linkFromQuery(query);
}

namespace {

const QString kInsertLink = QStringLiteral("INSERT INTO SellLinks (AccountName, SellId, BuyId, "
                                           "BuyQuantity, BuyPrice, Memo, SellDate, SellSymbol, "
                                           "ByHand) VALUES ");
constexpr int kLinkColumns = 9;

} // namespace

LinkWriter::LinkWriter(const QSqlDatabase& db)
    : statement_(db, QStringLiteral("INSERT INTO SellLinks (AccountName, SellId, BuyId, "
                                    "BuyQuantity, BuyPrice, Memo, SellDate, SellSymbol, ByHand) "
                                    "SELECT ?, ?, ?, ?, ?, ?, Sell.TxnDate, "
                                    "COALESCE(Sell.Symbol, ''), ? FROM (SELECT 1) "
                                    "LEFT JOIN Txn AS Sell ON Sell.ID = ?")),
      known_(db, kInsertLink + placeholderRows(kLinkColumns, 1)), db_(db) {}

void deleteEmptyLink(const QSqlDatabase& db, const QString& account, qint64 sellId) {
    runQuery(db,
             QStringLiteral("DELETE FROM SellLinks WHERE AccountName = ? AND SellId = ? "
                            "AND BuyId = 0"),
             {account, sellId});
}

void LinkWriter::insert(const LinkRecord& r) {
    statement_.run(storedText(r.accountName), r.sellId, r.buyId, r.buyQuantity,
                   r.buyPrice.toDouble(), storedText(r.memo), qint64(r.byHand), r.sellId);
}

void LinkWriter::insert(const LinkRecord& r, const QString& storedSellDate,
                        const QString& sellSymbol) {
    known_.run(storedText(r.accountName), r.sellId, r.buyId, r.buyQuantity, r.buyPrice.toDouble(),
               storedText(r.memo), storedSellDate, storedText(sellSymbol), qint64(r.byHand));
}

void LinkWriter::add(const LinkRecord& link, const QString& storedSellDate,
                     const QString& sellSymbol) {
    if (held_.isEmpty())
        held_.reserve(kBatchRows);
    held_.append({link, storedSellDate, sellSymbol});
    if (held_.size() < kBatchRows)
        return;
    if (!batch_)
        batch_.emplace(db_, kInsertLink + placeholderRows(kLinkColumns, kBatchRows));
    for (int i = 0; i < kBatchRows; ++i) {
        const Held& h = held_[i];
        const LinkRecord& r = h.link;
        batch_->bindFrom(i * kLinkColumns + 1, storedText(r.accountName), r.sellId, r.buyId,
                         r.buyQuantity, r.buyPrice.toDouble(), storedText(r.memo), h.storedSellDate,
                         storedText(h.sellSymbol), qint64(r.byHand));
    }
    // Let go before the run: a refused batch is not written again.
    held_.clear();
    batch_->runBound();
}

void LinkWriter::flush() {
    const QVector<Held> held = std::exchange(held_, {});
    for (const Held& h : held)
        insert(h.link, h.storedSellDate, h.sellSymbol);
}

} // namespace gainbook
