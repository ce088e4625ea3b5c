#include "store/txn_table.h"

#include "platform/date_text.h"
#include "store/fast_statement.h"
#include "store/schema.h"
#include "store/sql.h"
#include "store/txn_view_read.h"

namespace gainbook {

namespace {

const QString kSelectAll = QStringLiteral(
    "SELECT ID, AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, Amount, Memo, "
    "OpenClose FROM Txn ");

} // namespace

TxnRecord txnFromQuery(const QSqlQuery& query) {
    TxnRecord r;
    r.id = query.value(TxnCol::ID).toLongLong();
    r.accountName = query.value(TxnCol::AccountName).toString();
    r.txnMonth = query.value(TxnCol::TxnMonth).toString();
    r.symbol = query.value(TxnCol::Symbol).toString();
    r.quantity = Quantity::fromDouble(query.value(TxnCol::Quantity).toDouble());
    r.type = query.value(TxnCol::Type).toString();
    r.txnDate = dateFromStored(query.value(TxnCol::TxnDate).toString());
    r.amount = Money::fromDouble(query.value(TxnCol::Amount).toDouble());
    r.memo = query.value(TxnCol::Memo).toString();
    r.openClose = query.value(TxnCol::OpenClose).toString();
    return r;
}

QVector<std::pair<QString, QString>> selectAccountMonths(const QSqlDatabase& db) {
    QSqlQuery query = runQuery(db, QStringLiteral("SELECT AccountName, TxnMonth FROM Txn "
                                                  "GROUP BY AccountName, TxnMonth "
                                                  "ORDER BY AccountName, MIN(TxnDate), MIN(ID)"));
    QVector<std::pair<QString, QString>> rows;
    while (query.next())
        rows.append({query.value(0).toString(), query.value(1).toString()});
    return rows;
}

QVector<TxnRecord> selectTxns(const QSqlDatabase& db, const QString& account,
                              const std::optional<QString>& month) {
    return readTxnsInViewOrder(db, account, month);
}

QVector<TxnRecord> selectReportableIncome(const QSqlDatabase& db, const QDate& first,
                                          const QDate& last) {
    // Income inside an IRA is not the year's income, as its sales are not
    // the year's sales.
    QSqlQuery query = runQuery(
        db,
        kSelectAll + QStringLiteral("WHERE Type = ? AND OpenClose = ? AND TxnDate BETWEEN ? AND ? "
                                    "AND AccountName NOT IN (SELECT AccountName FROM "
                                    "AccountSettings WHERE TaxAdvantaged <> 0) "
                                    "ORDER BY TxnDate, AccountName, ID"),
        {kBought, kIncome, isoDate(first), isoDate(last)});
    QVector<TxnRecord> rows;
    while (query.next())
        rows.append(txnFromQuery(query));
    return rows;
}

std::optional<TxnRecord> selectTxnById(const QSqlDatabase& db, qint64 id) {
    QSqlQuery query = runQuery(db, kSelectAll + QStringLiteral("WHERE ID = ?"), {id});
    if (!query.next())
        return std::nullopt;
    return txnFromQuery(query);
}

bool accountHasTxns(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query =
        runQuery(db, QStringLiteral("SELECT 1 FROM Txn WHERE AccountName = ? LIMIT 1"), {account});
    return query.next();
}

QVector<std::pair<qint64, QString>> selectSellSymbolsOfAccount(const QSqlDatabase& db,
                                                               const QString& account) {
    QSqlQuery query = runQuery(db,
                               QStringLiteral("SELECT ID, Symbol FROM Txn WHERE AccountName = ? "
                                              "AND Type = 'Sold' ORDER BY ID"),
                               {textValue(account)});
    QVector<std::pair<qint64, QString>> sells;
    while (query.next())
        sells.append({query.value(0).toLongLong(), query.value(1).toString()});
    return sells;
}

namespace {

const QString kInsertTxn =
    QStringLiteral("INSERT INTO Txn (AccountName, TxnMonth, Symbol, Quantity, "
                   "Type, TxnDate, Amount, Memo, OpenClose) VALUES ");
constexpr int kTxnColumns = 9;

} // namespace

TxnWriter::TxnWriter(const QSqlDatabase& db)
    : statement_(db, kInsertTxn + placeholderRows(kTxnColumns, 1)), db_(db) {}

qint64 TxnWriter::insert(const TxnRecord& r) {
    statement_.run(storedText(r.accountName), storedText(r.txnMonth), storedText(r.symbol),
                   r.quantity, storedText(r.type), dates_.of(r.txnDate), r.amount.toDouble(),
                   storedText(r.memo), storedText(r.openClose));
    return statement_.lastInsertId();
}

void TxnWriter::insertBatch(const TxnRecord* first) {
    if (!batch_)
        batch_.emplace(db_, kInsertTxn + placeholderRows(kTxnColumns, kBatchRows));
    for (int i = 0; i < kBatchRows; ++i) {
        const TxnRecord& r = first[i];
        batch_->bindFrom(i * kTxnColumns + 1, storedText(r.accountName), storedText(r.txnMonth),
                         storedText(r.symbol), r.quantity, storedText(r.type), dates_.of(r.txnDate),
                         r.amount.toDouble(), storedText(r.memo), storedText(r.openClose));
    }
    batch_->runBound();
}

qint64 insertTxn(const QSqlDatabase& db, const TxnRecord& record) {
    return TxnWriter(db).insert(record);
}

void setTxnMemos(const QSqlDatabase& db, const QVector<TxnMemo>& memos) {
    constexpr qsizetype kBatchRows = 32;
    qsizetype from = 0;
    if (memos.size() >= kBatchRows) {
        FastStatement batch(db, QStringLiteral("WITH Memos (ID, Memo) AS (VALUES ") +
                                    placeholderRows(2, kBatchRows) +
                                    QStringLiteral(") UPDATE Txn SET Memo = Memos.Memo FROM Memos "
                                                   "WHERE Txn.ID = Memos.ID"));
        for (; memos.size() - from >= kBatchRows; from += kBatchRows) {
            for (qsizetype i = 0; i < kBatchRows; ++i)
                batch.bindFrom(int(2 * i + 1), memos[from + i].id,
                               storedText(memos[from + i].memo));
            batch.runBound();
        }
    }
    if (from == memos.size())
        return;
    FastStatement single(db, QStringLiteral("UPDATE Txn SET Memo = ? WHERE ID = ?"));
    for (; from < memos.size(); ++from)
        single.run(storedText(memos[from].memo), memos[from].id);
}

bool updateTxn(const QSqlDatabase& db, const TxnRecord& r) {
    // An amount typed over one that carries an option's premium is the
    // broker's own figure: the premium it carried is forgotten, or the next
    // run would take it out of the typed figure. An amount saved as it was
    // (within the half ten-thousandth a stored REAL may stray by) keeps it.
    QSqlQuery query =
        runQuery(db,
                 QStringLiteral("UPDATE Txn SET Symbol = ?, Quantity = ?, Type = ?, "
                                "TxnDate = ?, Premium = CASE WHEN ABS(Amount - ?) < 0.00005 "
                                "THEN Premium ELSE 0 END, Amount = ?, Memo = ?, OpenClose = ? "
                                "WHERE ID = ?"),
                 {textValue(r.symbol), r.quantity.toDouble(), textValue(r.type), isoDate(r.txnDate),
                  r.amount.toDouble(), r.amount.toDouble(), textValue(r.memo),
                  textValue(r.openClose), r.id});
    return query.numRowsAffected() > 0;
}

void deleteTxn(const QSqlDatabase& db, qint64 id) {
    runQuery(db, QStringLiteral("DELETE FROM Txn WHERE ID = ?"), {id});
}

qint64 countTxnsOf(const QSqlDatabase& db, const QString& account,
                   const std::optional<QString>& month) {
    const QVariant monthValue = month ? textValue(*month) : QVariant();
    QSqlQuery query = runQuery(db,
                               QStringLiteral("SELECT COUNT(*) FROM Txn WHERE AccountName = ? "
                                              "AND (? IS NULL OR TxnMonth = ?)"),
                               {textValue(account), monthValue, monthValue});
    return query.next() ? query.value(0).toLongLong() : 0;
}

void deleteTxnsOfAccount(const QSqlDatabase& db, const QString& account) {
    runQuery(db, QStringLiteral("DELETE FROM Txn WHERE AccountName = ?"), {account});
}

void deleteTxnsOfMonth(const QSqlDatabase& db, const QString& account, const QString& month) {
    runQuery(db, QStringLiteral("DELETE FROM Txn WHERE AccountName = ? AND TxnMonth = ?"),
             {account, month});
}

} // namespace gainbook
