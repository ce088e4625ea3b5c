#include "main_window/account_outline.h"
#include "main_window/tax_view.h"
#include "main_window/txn_view.h"
#include "platform/sheet_model.h"
#include "support/test_database.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

QStringList column(const SheetModel& grid, int col) {
    QStringList texts;
    for (int row = 1; row <= grid.rows(); ++row)
        texts << grid.text(row, col);
    return texts;
}

} // namespace

class TestRecordViews : public QObject {
    Q_OBJECT

private slots:
    void outlineListsAccountsMonthsThenTaxOnlyAccounts() {
        TestDatabase t;
        t.addTxn("Zed", "Mar 00", "IBM", 1, kBought, QDate(2000, 3, 1), 1);
        t.addTxn("Acme", "Feb 00", "IBM", 1, kBought, QDate(2000, 2, 1), 1);
        t.addTxn("Acme", "Jan 00", "IBM", 1, kBought, QDate(2000, 1, 1), 1);
        t.addTxn("Acme", "Feb 00", "MSFT", 1, kSold, QDate(2000, 2, 9), 1);
        t.addTxn("Acme", "Mar 00", "IBM", 1, kBought, QDate(2000, 3, 1), 1);
        t.addTax("Acme", "IBM", 1, QDate(2000, 1, 1), QDate(2000, 2, 1), 1, 2);
        t.addTax("Old IRA", "T", 1, QDate(1999, 1, 1), QDate(2000, 2, 1), 1, 2);
        // A tax-only account named like a month of another account still shows.
        t.addTax("Mar 00", "T", 1, QDate(1999, 1, 1), QDate(2000, 2, 1), 1, 2);

        const QVector<OutlineItem> expected{{"Acme", 1},   {"Feb 00", 2}, {"Jan 00", 2},
                                            {"Mar 00", 2}, {"Zed", 1},    {"Mar 00", 2},
                                            {"Mar 00", 1}, {"Old IRA", 1}};
        const QVector<OutlineItem> items = loadOutline(t.connection());
        QCOMPARE(items, expected);
        QCOMPARE(accountItemIndex(items, 3), 0);
        QCOMPARE(accountItemIndex(items, 5), 4);
        QCOMPARE(accountItemIndex(items, 7), 7);
        QCOMPARE(accountItemIndex(items, -1), -1);
    }

    void emptyDatabaseHasEmptyOutline() {
        TestDatabase t;
        QVERIFY(loadOutline(t.connection()).isEmpty());
    }

    void txnViewOfAccountAndMonth() {
        TestDatabase t;
        const QString account = "O'Brien";
        t.addTxn(account, "Dec '00", "MSFT", 10, kSold, QDate(2000, 12, 15), 1234.5, "note");
        t.addTxn(account, "Jan '01", "IBM", 2.5, kBought, QDate(2001, 1, 2), -99.999);
        t.addTxn(account, "Dec '00", "AAPL", 100, kBought, QDate(2000, 12, 15), -10);
        t.addTxn("Other", "Dec '00", "X", 1, kBought, QDate(2000, 12, 1), 1);

        SheetModel grid;
        FillGrid1(grid, t.connection(), account, std::nullopt);
        QCOMPARE(grid.columns(), int(TxnGridCol::Count));
        // By date (January 2001 after December 2000), ties by symbol.
        QCOMPARE(column(grid, TxnGridCol::Symbol), (QStringList{"AAPL", "MSFT", "IBM"}));
        QCOMPARE(grid.rowTexts(2), (QStringList{"Dec '00", "MSFT", "10", kSold, "12/15/2000",
                                                "1,234.50", "note", grid.text(2, 8)}));
        QCOMPARE(grid.text(3, TxnGridCol::Quantity), QStringLiteral("2.5"));
        QCOMPARE(grid.text(3, TxnGridCol::TxnAmount), QStringLiteral("-100.00"));
        QVERIFY(grid.column(TxnGridCol::ID).hidden);
        QVERIFY(grid.column(TxnGridCol::Comment).hidden);
        QVERIFY(grid.isLocked(1, TxnGridCol::Month));
        QVERIFY(!grid.isLocked(1, TxnGridCol::Symbol));

        FillGrid1(grid, t.connection(), account, QStringLiteral("Jan '01"));
        QCOMPARE(column(grid, TxnGridCol::Symbol), QStringList{"IBM"});
    }

    void taxViewSelectsTheYearAndTotals() {
        TestDatabase t;
        t.addTax("A", "ZZZ", 10, QDate(1999, 5, 1), QDate(2000, 12, 31), 1000, 1500);
        t.addTax("A", "LOSS", 5, QDate(2000, 1, 3), QDate(2000, 1, 1), 800, 300, "wash?");
        t.addTax("A", "OUT", 1, QDate(1999, 5, 1), QDate(2001, 1, 1), 1, 99999);
        t.addTax("A", "OUT", 1, QDate(1999, 5, 1), QDate(1999, 12, 31), 1, 99999);
        t.addTax("A", "FREE", 1, QDate(), QDate(2000, 6, 1), 0, 0);

        SheetModel grid;
        const TaxTotals totals = FillGrid(grid, t.connection(), "A");
        QCOMPARE(column(grid, TaxGridCol::Symbol), (QStringList{"FREE", "LOSS", "ZZZ"}));
        QCOMPARE(grid.rowTexts(2).mid(0, 8), (QStringList{"LOSS", "5", "01/03/2000", "01/01/2000",
                                                          "800.00", "300.00", "-500.00", "wash?"}));
        QCOMPARE(grid.text(1, TaxGridCol::DateBought), QString());
        QCOMPARE(totals.recordsText(), QStringLiteral("Total Records 3"));
        QCOMPARE(totals.proceedsText(), QStringLiteral("Total Proceed 1,800.00"));
        QCOMPARE(totals.gainText(), QStringLiteral("Total Gain/Loss .00"));
        QVERIFY(grid.isLocked(1, TaxGridCol::Gain));
        QVERIFY(!grid.isLocked(1, TaxGridCol::Cost));
    }

    void taxViewOutsideTheYearIsEmptyWithZeroTotals() {
        TestDatabase t;
        t.addTax("A", "OUT", 1, QDate(1999, 5, 1), QDate(2001, 1, 1), 1, 2);
        SheetModel grid;
        const TaxTotals totals = FillGrid(grid, t.connection(), "A");
        QCOMPARE(grid.rows(), 0);
        QCOMPARE(grid.columns(), int(TaxGridCol::Count));
        QCOMPARE(totals.recordsText(), QStringLiteral("Total Records 0"));
        QCOMPARE(totals.proceedsText(), QStringLiteral("Total Proceed .00"));
        QCOMPARE(totals.gainText(), QStringLiteral("Total Gain/Loss .00"));
    }
};

QTEST_GUILESS_MAIN(TestRecordViews)
#include "test_record_views.moc"
