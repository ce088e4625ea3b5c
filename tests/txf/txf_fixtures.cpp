#include "txf_fixtures.h"

#include "store/sql.h"

#include <QtTest>

namespace gainbook::test {

void fillSmallExport(TestDatabase& t) {
    t.addTax("Zeta", "XYZ", 10, QDate(), QDate(2000, 12, 31), 0, -12.25, "m");
    t.addTax("Alpha", "OLD", 1, QDate(1999, 1, 1), QDate(1999, 12, 31), 1, 2);
    t.addTax("Alpha", "IBM", 100, QDate(2000, 1, 3), QDate(2000, 2, 7), 5000, 6000.5);
    t.addTax("Zeta", "NEW", 1, QDate(2000, 1, 1), QDate(2001, 1, 1), 1, 2);
    t.addTax("Zeta", "BRK.B", 12.5, QDate(1998, 6, 30), QDate(2000, 7, 5), 1234.56781, 999);
}

QStringList taxRows(const TestDatabase& t) {
    QSqlQuery q = runQuery(
        t.connection(), QStringLiteral("SELECT AccountName, Symbol, Quantity, DateAcquired, "
                                       "DateSold, Cost, SalePrice, Memo FROM TaxRec ORDER BY ID"));
    QStringList rows;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < 8; ++i)
            cells << q.value(i).toString();
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace gainbook::test
