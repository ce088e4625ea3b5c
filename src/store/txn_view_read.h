#pragma once

#include "store/records.h"

#include <QSqlDatabase>
#include <QVector>

#include <optional>

namespace gainbook {

// Where a read puts its records: sized once to their number, then each
// record written in its place. A grid reads straight into its own rows, so
// an account of a million transactions is held once, not twice.
class TxnPlaces {
public:
    virtual void resize(qsizetype count) = 0;
    virtual TxnRecord& operator[](qsizetype at) = 0;

protected:
    ~TxnPlaces() = default;
};

// The places of a list of rows that each hold a record (recordOf(row)).
template <class Row, class RecordOf> class RowPlaces final : public TxnPlaces {
public:
    RowPlaces(QVector<Row>& rows, RecordOf recordOf) : rows_(rows), recordOf_(recordOf) {}
    void resize(qsizetype count) override {
        rows_.resize(count);
        first_ = rows_.data();
    }
    TxnRecord& operator[](qsizetype at) override { return recordOf_(first_[at]); }

private:
    QVector<Row>& rows_;
    RecordOf recordOf_;
    Row* first_ = nullptr;
};

// The transactions of an account (of one of its months when month is set)
// in the order ORDER BY TxnDate, Symbol, ID gives them. A whole account is
// read in two passes under one snapshot of the file: the order from the
// index alone, then the rows in the order the table stores them, each put
// in its place. Walking the index to the rows instead fetches a page of
// the table per row wherever the rows were captured out of date order.
// Throws StoreError.
void readTxnsInViewOrder(const QSqlDatabase& db, const QString& account,
                         const std::optional<QString>& month, TxnPlaces& into);

QVector<TxnRecord> readTxnsInViewOrder(const QSqlDatabase& db, const QString& account,
                                       const std::optional<QString>& month);

} // namespace gainbook
