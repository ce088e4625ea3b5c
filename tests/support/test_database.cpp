#include "support/test_database.h"

#include "store/tax_table.h"
#include "store/txn_table.h"

#include <QtTest>

namespace gainbook::test {

QString createDatabaseFile(const QString& path) {
    Database db;
    const OpenResult result = db.create(path);
    if (!result.ok())
        qFatal("cannot create %s: %s", qPrintable(path), qPrintable(result.message));
    return QFileInfo(path).absoluteFilePath();
}

TestDatabase::TestDatabase() {
    const OpenResult result = database_.create(dir_.filePath(QStringLiteral("test.db")));
    if (!result.ok())
        qFatal("cannot create test database: %s", qPrintable(result.message));
}

qint64 TestDatabase::addTxn(const QString& account, const QString& month, const QString& symbol,
                            double quantity, const QString& type, const QDate& date, double amount,
                            const QString& memo) {
    return insertTxn(connection(), {0, account, month, symbol, Quantity::fromDouble(quantity), type,
                                    date, Money::fromDouble(amount), memo});
}

qint64 TestDatabase::addTax(const QString& account, const QString& symbol, double quantity,
                            const QDate& acquired, const QDate& sold, double cost, double salePrice,
                            const QString& memo) {
    return insertTaxRec(
        connection(), {0, account, symbol, Quantity::fromDouble(quantity), acquired, sold,
                       Money::fromDouble(cost), Money::fromDouble(salePrice), memo,
                       boxFor(holdingTerm(acquired, sold), BasisReporting::Reported), Money(), 0});
}

} // namespace gainbook::test
