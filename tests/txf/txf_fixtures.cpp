#include "txf_fixtures.h"

#include "store/sql.h"
#include "store/tax_table.h"

#include <QtTest>

namespace gainbook::test {

void fillSmallExport(TestDatabase& t) {
    t.addTax("Zeta", "XYZ", 10, QDate(), QDate(2000, 12, 31), 0, -12.25, "m");
    t.addTax("Alpha", "OLD", 1, QDate(1999, 1, 1), QDate(1999, 12, 31), 1, 2);
    t.addTax("Alpha", "IBM", 100, QDate(2000, 1, 3), QDate(2000, 2, 7), 5000, 6000.5);
    t.addTax("Zeta", "NEW", 1, QDate(2000, 1, 1), QDate(2001, 1, 1), 1, 2);
    t.addTax("Zeta", "BRK.B", 12.5, QDate(1998, 6, 30), QDate(2000, 7, 5), 1234.56781, 999);
}

void fillYearExport(TestDatabase& t, int year) {
    auto add = [&](const char* account, const char* symbol, double quantity, QDate acquired,
                   QDate sold, double cost, double sale, Form8949Box box, double wash = 0) {
        TaxRecord r;
        r.accountName = QString::fromLatin1(account);
        r.symbol = QString::fromLatin1(symbol);
        r.quantity = Quantity::fromDouble(quantity);
        r.dateAcquired = acquired;
        r.dateSold = sold;
        r.cost = Money::fromDouble(cost);
        r.salePrice = Money::fromDouble(sale);
        r.memo = QStringLiteral(" ");
        r.box = box;
        r.washAdjustment = Money::fromDouble(wash);
        insertTaxRec(t.connection(), r);
    };
    add("Zeta", "XYZ", 10, QDate(), QDate(year, 12, 31), 0, -12.25, Form8949Box::None);
    add("Alpha", "IBM", 100, QDate(year, 1, 3), QDate(year, 2, 7), 5000, 6000.5, Form8949Box::A);
    add("Zeta", "NEXT", 1, QDate(year, 1, 1), QDate(year + 1, 1, 1), 1, 2, Form8949Box::A);
    add("Alpha", "MSFT", 3, QDate(year, 3, 1), QDate(year, 3, 15), 300, 250, Form8949Box::C, 50);
    add("Zeta", "BRK.B", 12.5, QDate(year - 2, 6, 30), QDate(year, 7, 5), 1234.57, 999,
        Form8949Box::E, 235.43);
    // Amounts beyond cents: version 042 rounds them half away from zero.
    add("Zeta", "T", 7, QDate(year - 3, 1, 2), QDate(year, 11, 30), 210.125, 349.9949,
        Form8949Box::F);
    if (year < kFirstDigitalBoxYear)
        return;
    // Digital assets' boxes, which TXF has no number for.
    add("Coins", "BTC", 0.5, QDate(year, 1, 6), QDate(year, 3, 3), 36000, 31000, Form8949Box::G);
    add("Coins", "ETH", 2, QDate(year - 2, 5, 1), QDate(year, 6, 2), 3000, 7000, Form8949Box::L);
    add("Coins", "SOL", 10, QDate(year, 2, 3), QDate(year, 4, 5), 1500, 1600, Form8949Box::H);
    // A coin received of unknown cost: no term, so no box, yet a coin.
    add("Coins", "ETH", 0.3, QDate(), QDate(year, 8, 1), 0, 900, Form8949Box::None);
}

QStringList taxRows(const TestDatabase& t) {
    QSqlQuery q = runQuery(
        t.connection(), QStringLiteral("SELECT AccountName, Symbol, Quantity, DateAcquired, "
                                       "DateSold, Cost, SalePrice, Memo, Box, WashAdj FROM TaxRec "
                                       "ORDER BY ID"));
    QStringList rows;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < 10; ++i)
            cells << q.value(i).toString();
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace gainbook::test
