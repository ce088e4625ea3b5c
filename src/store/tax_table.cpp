#include "store/tax_table.h"

#include "platform/date_text.h"
#include "store/schema.h"
#include "store/sql.h"
#include "store/tax_row_reader.h"
#include "store/untied_sell_table.h"

#include <array>
#include <optional>

namespace gainbook {

namespace {

const QString kSelectAll =
    QStringLiteral("SELECT %1 FROM TaxRec ").arg(QLatin1String(kTaxRecColumns));

QString selectAll(const QString& rest) {
    return kSelectAll + rest;
}

} // namespace

TaxRecord taxFromQuery(const QSqlQuery& query) {
    TaxRecord r;
    r.id = query.value(TaxCol::ID).toLongLong();
    r.accountName = query.value(TaxCol::AccountName).toString();
    r.symbol = query.value(TaxCol::Symbol).toString();
    r.quantity = Quantity::fromDouble(query.value(TaxCol::Quantity).toDouble());
    r.dateAcquired = dateFromStored(query.value(TaxCol::DateAcquired).toString());
    r.dateSold = dateFromStored(query.value(TaxCol::DateSold).toString());
    r.cost = Money::fromDouble(query.value(TaxCol::Cost).toDouble());
    r.salePrice = Money::fromDouble(query.value(TaxCol::SalePrice).toDouble());
    r.memo = query.value(TaxCol::Memo).toString();
    // A letter the program never writes reads as no box rather than as
    // another box.
    r.box = boxFromLetter(query.value(TaxCol::Box).toString()).value_or(Form8949Box::None);
    r.washAdjustment = Money::fromDouble(query.value(TaxCol::WashAdj).toDouble());
    r.sellId = query.value(TaxCol::SellId).toLongLong();
    return r;
}

QStringList selectTaxAccounts(const QSqlDatabase& db) {
    QSqlQuery query = runQuery(
        db, QStringLiteral("SELECT DISTINCT AccountName FROM TaxRec ORDER BY AccountName"));
    QStringList accounts;
    while (query.next())
        accounts << query.value(0).toString();
    return accounts;
}

QVector<TaxRecord> selectTaxRecs(const QSqlDatabase& db, const QString& account, const QDate& first,
                                 const QDate& last) {
    FastStatement statement(db, selectAll(QStringLiteral("WHERE AccountName = ? AND DateSold "
                                                         "BETWEEN ? AND ? ORDER BY DateSold, ID")));
    statement.select(account, isoDate(first), isoDate(last));
    return TaxRowReader().readAll(statement);
}

QVector<TaxRecord> selectTaxRecsSold(const QSqlDatabase& db, const QDate& first,
                                     const QDate& last) {
    qint64 beyond = 0;
    return selectTaxRecsSold(db, first, last, 0, beyond);
}

namespace {

QVector<TaxRecord> selectSold(const QSqlDatabase& db, const QString& where, const QDate& first,
                              const QDate& last, double limit, qint64& beyond) {
    FastStatement statement(db, selectAll(where + QStringLiteral(" ORDER BY DateSold, ID")));
    statement.select(isoDate(first), isoDate(last));
    TaxRowReader reader;
    reader.countBeyond(limit);
    QVector<TaxRecord> records = reader.readAll(statement);
    beyond = reader.beyond();
    return records;
}

} // namespace

QVector<TaxRecord> selectTaxRecsSold(const QSqlDatabase& db, const QDate& first, const QDate& last,
                                     double limit, qint64& beyond) {
    return selectSold(db, QStringLiteral("WHERE DateSold BETWEEN ? AND ?"), first, last, limit,
                      beyond);
}

QVector<TaxRecord> selectReportableTaxRecs(const QSqlDatabase& db, const QDate& first,
                                           const QDate& last, double limit, qint64& beyond) {
    // The few tax-advantaged accounts are read once into the engine's own
    // list; the records still come by the index on the date sold.
    return selectSold(db,
                      QStringLiteral("WHERE DateSold BETWEEN ? AND ? AND AccountName NOT IN "
                                     "(SELECT AccountName FROM AccountSettings "
                                     "WHERE TaxAdvantaged <> 0)"),
                      first, last, limit, beyond);
}

QVector<TaxRecord> selectReportableTaxRecs(const QSqlDatabase& db, const QDate& first,
                                           const QDate& last) {
    qint64 beyond = 0;
    return selectReportableTaxRecs(db, first, last, 0, beyond);
}

qint64 countTaxRecsSoldBeyond(const QSqlDatabase& db, const QDate& first, const QDate& last,
                              double limit) {
    QSqlQuery query =
        runQuery(db,
                 QStringLiteral("SELECT COUNT(*) FROM TaxRec WHERE DateSold BETWEEN ? AND ? AND "
                                "NOT (abs(Quantity) < ? AND abs(Cost) < ? AND abs(SalePrice) < ? "
                                "AND abs(WashAdj) < ?)"),
                 {isoDate(first), isoDate(last), limit, limit, limit, limit});
    return query.next() ? query.value(0).toLongLong() : 0;
}

std::optional<TaxRecord> selectTaxRecById(const QSqlDatabase& db, qint64 id) {
    QSqlQuery query = runQuery(db, kSelectAll + QStringLiteral("WHERE ID = ?"), {id});
    if (!query.next())
        return std::nullopt;
    return taxFromQuery(query);
}

bool accountHasTaxRecs(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query = runQuery(
        db, QStringLiteral("SELECT 1 FROM TaxRec WHERE AccountName = ? LIMIT 1"), {account});
    return query.next();
}

namespace {

const QString kInsertTax = QStringLiteral("INSERT INTO TaxRec (AccountName, Symbol, Quantity, "
                                          "DateAcquired, DateSold, Cost, SalePrice, Memo, Box, "
                                          "WashAdj, SellId) VALUES ");
constexpr int kTaxColumns = 11;

} // namespace

TaxWriter::TaxWriter(const QSqlDatabase& db)
    : statement_(db, kInsertTax + placeholderRows(kTaxColumns, 1)), db_(db) {}

namespace {

// The Box column of each box, made once: a run writes one per record.
const QString& storedBox(Form8949Box box) {
    static const std::array<QString, 13> texts = [] {
        std::array<QString, 13> made;
        for (int i = 0; i < int(made.size()); ++i)
            made[size_t(i)] = storedText(boxLetter(Form8949Box(i)));
        return made;
    }();
    const size_t at = size_t(box);
    return at < texts.size() ? texts[at] : texts[0];
}

} // namespace

qint64 TaxWriter::insert(const TaxRecord& r) {
    statement_.run(storedText(r.accountName), storedText(r.symbol), r.quantity,
                   dates_.of(r.dateAcquired), dates_.of(r.dateSold), r.cost.toDouble(),
                   r.salePrice.toDouble(), storedText(r.memo), storedBox(r.box),
                   r.washAdjustment.toDouble(), r.sellId);
    return statement_.lastInsertId();
}

void TaxWriter::insertBatch(const TaxRecord* first) {
    if (!batch_)
        batch_.emplace(db_, kInsertTax + placeholderRows(kTaxColumns, kBatchRows));
    for (int i = 0; i < kBatchRows; ++i) {
        const TaxRecord& r = first[i];
        batch_->bindFrom(i * kTaxColumns + 1, storedText(r.accountName), storedText(r.symbol),
                         r.quantity, dates_.of(r.dateAcquired), dates_.of(r.dateSold),
                         r.cost.toDouble(), r.salePrice.toDouble(), storedText(r.memo),
                         storedBox(r.box), r.washAdjustment.toDouble(), r.sellId);
    }
    batch_->runBound();
}

WrittenRows insertTaxRecs(const QSqlDatabase& db, const QVector<TaxRecord>& records,
                          Progress& progress) {
    return writeBatchedRows<TaxWriter>(db, records, progress, QStringLiteral("TaxRec"));
}

qint64 insertTaxRec(const QSqlDatabase& db, const TaxRecord& record) {
    return TaxWriter(db).insert(record);
}

bool updateTaxRec(const QSqlDatabase& db, const TaxRecord& r) {
    QSqlQuery query = runQuery(
        db,
        QStringLiteral("UPDATE TaxRec SET Symbol = ?, Quantity = ?, DateAcquired = ?, "
                       "DateSold = ?, Cost = ?, SalePrice = ?, Memo = ?, Box = ?, WashAdj = ? "
                       "WHERE ID = ?"),
        {textValue(r.symbol), r.quantity.toDouble(), isoDate(r.dateAcquired), isoDate(r.dateSold),
         r.cost.toDouble(), r.salePrice.toDouble(), textValue(r.memo), textValue(boxLetter(r.box)),
         r.washAdjustment.toDouble(), r.id});
    return query.numRowsAffected() > 0;
}

void deleteTaxRec(const QSqlDatabase& db, qint64 id) {
    runQuery(db, QStringLiteral("DELETE FROM TaxRec WHERE ID = ?"), {id});
}

qint64 countTaxRecsOfAccount(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query = runQuery(
        db, QStringLiteral("SELECT COUNT(*) FROM TaxRec WHERE AccountName = ?"), {account});
    return query.next() ? query.value(0).toLongLong() : 0;
}

QVector<TaxRecord> selectTaxRecsOfSells(const QSqlDatabase& db) {
    FastStatement statement(db, selectAll(QStringLiteral("WHERE SellId > 0 ORDER BY SellId, ID")));
    statement.select();
    return TaxRowReader().readAll(statement);
}

void deleteTaxRecsOfAccount(const QSqlDatabase& db, const QString& account) {
    runQuery(db, QStringLiteral("DELETE FROM TaxRec WHERE AccountName = ?"), {account});
    // The account's records are about to be written anew, each with its sell.
    clearUntiedSells(db, account);
}

} // namespace gainbook
