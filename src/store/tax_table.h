#pragma once

#include "store/fast_statement.h"
#include "store/iso_date_texts.h"
#include "store/records.h"
#include "store/row_writer.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVector>

#include <optional>

namespace gainbook {

TaxRecord taxFromQuery(const QSqlQuery& query);

// Accounts that hold tax records, by name.
QStringList selectTaxAccounts(const QSqlDatabase& db);

// The tax records of an account sold from first to last (both included),
// earliest sale first.
QVector<TaxRecord> selectTaxRecs(const QSqlDatabase& db, const QString& account, const QDate& first,
                                 const QDate& last);

// The tax records of every account sold from first to last, by date sold.
QVector<TaxRecord> selectTaxRecsSold(const QSqlDatabase& db, const QDate& first, const QDate& last);
// The same, counting in beyond the records countTaxRecsSoldBeyond would
// count, in the one read.
QVector<TaxRecord> selectTaxRecsSold(const QSqlDatabase& db, const QDate& first, const QDate& last,
                                     double limit, qint64& beyond);

// How many of those records hold a quantity, cost, sale price or wash-sale
// adjustment of limit or more in size (or one that is not finite), which no
// amount type holds.
qint64 countTaxRecsSoldBeyond(const QSqlDatabase& db, const QDate& first, const QDate& last,
                              double limit);

// The records of Form 8949 sold from first to last, by date sold, counting
// beyond as selectTaxRecsSold does: those of every account except the
// tax-advantaged ones (WashSettings::taxAdvantaged), whose sales the form
// does not take. The report and the TXF export read these.
QVector<TaxRecord> selectReportableTaxRecs(const QSqlDatabase& db, const QDate& first,
                                           const QDate& last, double limit, qint64& beyond);
QVector<TaxRecord> selectReportableTaxRecs(const QSqlDatabase& db, const QDate& first,
                                           const QDate& last);

std::optional<TaxRecord> selectTaxRecById(const QSqlDatabase& db, qint64 id);

bool accountHasTaxRecs(const QSqlDatabase& db, const QString& account);

// How many tax records an account has, of every year.
qint64 countTaxRecsOfAccount(const QSqlDatabase& db, const QString& account);

class TaxWriter {
public:
    explicit TaxWriter(const QSqlDatabase& db);
    qint64 insert(const TaxRecord& record); // the new ID; throws StoreError

    // Inserts kBatchRows records, from first on, in one statement: all of
    // them, or none when the database refuses one (StoreError).
    static constexpr int kBatchRows = 32;
    void insertBatch(const TaxRecord* first);
    // Whether the transaction the rows go into is still open.
    bool inTransaction() const { return statement_.inTransaction(); }

private:
    FastStatement statement_;
    std::optional<FastStatement> batch_;
    QSqlDatabase db_;
    IsoDateTexts dates_;
};

// Adds the records in one transaction with one prepared statement, as
// writeRows does: the first refused record ends the writing; a watcher's
// stop throws RunCancelled with nothing kept.
WrittenRows insertTaxRecs(const QSqlDatabase& db, const QVector<TaxRecord>& records,
                          Progress& progress = unwatchedProgress());

qint64 insertTaxRec(const QSqlDatabase& db, const TaxRecord& record);

// Writes every column except ID and account. False when the record no
// longer exists.
bool updateTaxRec(const QSqlDatabase& db, const TaxRecord& record);

void deleteTaxRec(const QSqlDatabase& db, qint64 id);

// The records written by processing (SellId above 0), by sell, each sell's
// in the order written.
QVector<TaxRecord> selectTaxRecsOfSells(const QSqlDatabase& db);
// Deletes the account's records; its sells untied by an upgrade
// (untied_sell_table.h) are detected again from now on.
void deleteTaxRecsOfAccount(const QSqlDatabase& db, const QString& account);

} // namespace gainbook
