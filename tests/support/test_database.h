#pragma once

#include "store/database.h"
#include "store/records.h"

#include <QTemporaryDir>

namespace gainbook::test {

// A new, empty database file at path; its absolute path.
QString createDatabaseFile(const QString& path);

// A new database file in a temporary folder, removed with the object.
class TestDatabase {
public:
    TestDatabase();

    QSqlDatabase connection() const { return database_.connection(); }
    Database& database() { return database_; }
    QString path() const { return database_.path(); }
    QString folder() const { return dir_.path(); }

    // Short-hands for filling the tables in a test; they return the new ID.
    qint64 addTxn(const QString& account, const QString& month, const QString& symbol,
                  double quantity, const QString& type, const QDate& date, double amount,
                  const QString& memo = {});
    qint64 addTax(const QString& account, const QString& symbol, double quantity,
                  const QDate& acquired, const QDate& sold, double cost, double salePrice,
                  const QString& memo = {});

private:
    QTemporaryDir dir_;
    Database database_;
};

} // namespace gainbook::test
