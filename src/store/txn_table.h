#pragma once

#include "store/fast_statement.h"
#include "store/iso_date_texts.h"
#include "store/records.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVector>

#include <optional>

namespace gainbook {

// Reads a Txn row from a query that selected all columns in table order.
TxnRecord txnFromQuery(const QSqlQuery& query);

// Account and month pairs for the outline: accounts by name, the months of
// one account by their earliest trade (a label says nothing reliable about
// its dates), then in the order they were first captured.
QVector<std::pair<QString, QString>> selectAccountMonths(const QSqlDatabase& db);

// The transactions of an account (all months when month is null), by date
// and symbol.
QVector<TxnRecord> selectTxns(const QSqlDatabase& db, const QString& account,
                              const std::optional<QString>& month = std::nullopt);

std::optional<TxnRecord> selectTxnById(const QSqlDatabase& db, qint64 id);

// The buys received as income (kIncome) from first to last, of every
// account but the tax-advantaged ones, by date, account and ID. Throws
// StoreError.
QVector<TxnRecord> selectReportableIncome(const QSqlDatabase& db, const QDate& first,
                                          const QDate& last);

bool accountHasTxns(const QSqlDatabase& db, const QString& account);

// How many transactions the account has, or one of its months. Throws
// StoreError.
qint64 countTxnsOf(const QSqlDatabase& db, const QString& account,
                   const std::optional<QString>& month);

// The ID and symbol of every sell of the account, by ID. Throws StoreError.
QVector<std::pair<qint64, QString>> selectSellSymbolsOfAccount(const QSqlDatabase& db,
                                                               const QString& account);

// Inserts rows one after another with one prepared statement, or a batch
// of them with another (writeBatchedRows).
class TxnWriter {
public:
    explicit TxnWriter(const QSqlDatabase& db);
    qint64 insert(const TxnRecord& record); // the new ID; throws StoreError

    // Inserts kBatchRows records, from first on, in one statement: all of
    // them, or none when the database refuses one (StoreError).
    static constexpr int kBatchRows = 32;
    void insertBatch(const TxnRecord* first);
    // Whether the transaction the rows go into is still open.
    bool inTransaction() const { return statement_.inTransaction(); }

private:
    FastStatement statement_;
    std::optional<FastStatement> batch_;
    QSqlDatabase db_;
    IsoDateTexts dates_;
};

qint64 insertTxn(const QSqlDatabase& db, const TxnRecord& record);

// A new Memo for the row of the ID.
struct TxnMemo {
    qint64 id = 0;
    QString memo;
};

// Sets the Memos, several rows to a statement: a run writes one for most of
// an account's buys. Throws StoreError.
void setTxnMemos(const QSqlDatabase& db, const QVector<TxnMemo>& memos);

// Writes every column except ID, account and month. A changed amount drops
// the option premium the row carried (Premium), the figure typed being the
// broker's own. False when the record no longer exists.
bool updateTxn(const QSqlDatabase& db, const TxnRecord& record);

void deleteTxn(const QSqlDatabase& db, qint64 id);
void deleteTxnsOfAccount(const QSqlDatabase& db, const QString& account);
void deleteTxnsOfMonth(const QSqlDatabase& db, const QString& account, const QString& month);

} // namespace gainbook
