#pragma once

#include "store/fast_statement.h"
#include "store/records.h"

#include <QVector>

namespace gainbook {

// The columns of TaxRec in TaxCol order, for a select read by TaxRowReader.
extern const char kTaxRecColumns[];

// Reads the rows of a select of kTaxRecColumns straight from the engine:
// a read through QSqlQuery wraps every cell in a QVariant, which costs more
// than the engine's own work on a year of records. Each cell converts as
// taxFromQuery converts it. An account name or memo equal to the previous
// row's shares its text.
class TaxRowReader {
public:
    // Reads every row of the statement's query, begun with select().
    // Throws StoreError.
    QVector<TaxRecord> readAll(FastStatement& statement);

    // How many of the rows read hold a quantity, cost, sale price or
    // wash-sale adjustment of limit or more in size (or one that is not
    // finite), as an SQL abs() < limit tells it. Counted when a limit is set.
    void countBeyond(double limit) { limit_ = limit; }
    qint64 beyond() const { return beyond_; }

private:
    TaxRecord read(const FastStatement& row);
    const QString& shared(const FastStatement& row, int column, QString& previous);

    QString account_;
    QString memo_;
    double limit_ = 0;
    qint64 beyond_ = 0;
};

} // namespace gainbook
