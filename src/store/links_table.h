#pragma once

#include "store/fast_statement.h"
#include "store/records.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVector>

#include <optional>

namespace gainbook {

LinkRecord linkFromQuery(const QSqlQuery& query);

void deleteLinksOfAccount(const QSqlDatabase& db, const QString& account);

// Removes the link that marks a sell as having no buy (BuyId 0).
void deleteEmptyLink(const QSqlDatabase& db, const QString& account, qint64 sellId);

bool accountHasLinks(const QSqlDatabase& db, const QString& account);
qint64 countLinksOfAccount(const QSqlDatabase& db, const QString& account);
// Whether any account has links.
bool storeHasLinks(const QSqlDatabase& db);

// The accounts whose links name the trade, as their sell or as a lot of one
// of their sells, by name. Throws StoreError.
QStringList selectAccountsLinkingTxn(const QSqlDatabase& db, qint64 txnId);
// The same for every trade of an account, or of one of its months.
QStringList selectAccountsLinkingTxnsOf(const QSqlDatabase& db, const QString& account,
                                        const std::optional<QString>& month = std::nullopt);

// The links of an account grouped by sell (ascending SellId); the lots of one
// sell in the order they were written.
QVector<LinkRecord> selectLinksOfAccount(const QSqlDatabase& db, const QString& account);

// The links by which other accounts' sells hold buys of this account (the
// user linked them by hand): the sell's account, the buy, the quantity (in
// the sell's shares) and the sell's date, as the links keep them.
QVector<LinkRecord> selectLinksHeldByOthers(const QSqlDatabase& db, const QString& account);

std::optional<LinkRecord> selectLink(const QSqlDatabase& db, qint64 sellId, qint64 buyId);

// Inserts link rows one after another with one prepared statement. A pair
// (SellId, BuyId) that is already linked fails with a duplicate-key
// StoreError.
class LinkWriter {
public:
    explicit LinkWriter(const QSqlDatabase& db);
    void insert(const LinkRecord& link); // throws StoreError

    // The same, for a writer that has the sell's row at hand: its TxnDate as
    // stored (null for NULL) and its symbol, which the link keeps.
    void insert(const LinkRecord& link, const QString& storedSellDate, const QString& sellSymbol);

    // The same row, held to go in with others, kBatchRows in one statement,
    // in the order added; flush() writes those still held, one by one. A
    // refused row fails its whole batch, for a run that stops at any
    // refusal. Throws StoreError.
    static constexpr int kBatchRows = 32;
    void add(const LinkRecord& link, const QString& storedSellDate, const QString& sellSymbol);
    void flush();

private:
    struct Held {
        LinkRecord link;
        QString storedSellDate;
        QString sellSymbol;
    };

    FastStatement statement_;
    FastStatement known_;
    std::optional<FastStatement> batch_;
    QVector<Held> held_;
    QSqlDatabase db_;
};

} // namespace gainbook
