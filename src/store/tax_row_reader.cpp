#include "store/tax_row_reader.h"

#include "platform/date_text.h"
#include "store/schema.h"

#include <cmath>
#include <sqlite3.h>

namespace gainbook {

const char kTaxRecColumns[] = "ID, AccountName, Symbol, Quantity, DateAcquired, DateSold, Cost, "
                              "SalePrice, Memo, Box, WashAdj, SellId";

namespace {

// A number cell as QVariant::toDouble reads the driver's value: text goes
// through QString, as a number stored as text by another tool would.
double realOf(const FastStatement& row, int column) {
    const int type = row.type(column);
    if (type == SQLITE_FLOAT || type == SQLITE_INTEGER)
        return row.real(column);
    return type == SQLITE_NULL ? 0.0 : row.value(column).toDouble();
}

QString textOf(const FastStatement& row, int column) {
    return row.type(column) == SQLITE_TEXT ? row.text(column) : row.value(column).toString();
}

QDate dateOf(const FastStatement& row, int column) {
    if (row.type(column) == SQLITE_TEXT)
        return dateFromStored(row.textView(column));
    return dateFromStored(row.value(column).toString());
}

Form8949Box boxOf(const FastStatement& row) {
    if (row.type(TaxCol::Box) == SQLITE_TEXT) {
        const QStringView letter = row.textView(TaxCol::Box);
        if (letter.isEmpty())
            return Form8949Box::None;
        if (letter.size() == 1 && letter[0] >= u'A' && letter[0] <= u'L')
            return Form8949Box(int(Form8949Box::A) + (letter[0].unicode() - u'A'));
    }
    // A letter the program never writes reads as no box rather than as
    // another box.
    return boxFromLetter(textOf(row, TaxCol::Box)).value_or(Form8949Box::None);
}

} // namespace

const QString& TaxRowReader::shared(const FastStatement& row, int column, QString& previous) {
    if (row.type(column) != SQLITE_TEXT || row.textView(column) != previous || previous.isNull())
        previous = textOf(row, column);
    return previous;
}

TaxRecord TaxRowReader::read(const FastStatement& row) {
    TaxRecord r;
    r.id = row.type(TaxCol::ID) == SQLITE_INTEGER ? row.integer(TaxCol::ID)
                                                  : row.value(TaxCol::ID).toLongLong();
    r.accountName = shared(row, TaxCol::AccountName, account_);
    r.symbol = textOf(row, TaxCol::Symbol);
    r.quantity = Quantity::fromDouble(realOf(row, TaxCol::Quantity));
    r.dateAcquired = dateOf(row, TaxCol::DateAcquired);
    r.dateSold = dateOf(row, TaxCol::DateSold);
    r.cost = Money::fromDouble(realOf(row, TaxCol::Cost));
    r.salePrice = Money::fromDouble(realOf(row, TaxCol::SalePrice));
    r.memo = shared(row, TaxCol::Memo, memo_);
    r.box = boxOf(row);
    r.washAdjustment = Money::fromDouble(realOf(row, TaxCol::WashAdj));
    r.sellId = row.type(TaxCol::SellId) == SQLITE_INTEGER ? row.integer(TaxCol::SellId)
                                                          : row.value(TaxCol::SellId).toLongLong();
    if (limit_ > 0) {
        // NULL is no value: abs() of it is NULL, never beyond.
        for (const int column :
             {TaxCol::Quantity, TaxCol::Cost, TaxCol::SalePrice, TaxCol::WashAdj}) {
            if (row.type(column) != SQLITE_NULL && !(std::fabs(row.real(column)) < limit_)) {
                ++beyond_;
                break;
            }
        }
    }
    return r;
}

QVector<TaxRecord> TaxRowReader::readAll(FastStatement& statement) {
    QVector<TaxRecord> rows;
    while (statement.next())
        rows.append(read(statement));
    return rows;
}

} // namespace gainbook
