#include "platform/sheet_model.h"
#include "platform/sort_grid.h"
#include "support/test_main.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace gainbook;

namespace {

// Symbol, a date column, a money column and a hidden ID, as the grids have.
void setUp(SheetModel& grid) {
    grid.setColumns({
        {QStringLiteral("Symbol"), 6, CellKind::Text},
        {QStringLiteral("Date"), 9, CellKind::Date},
        {QStringLiteral("Amount"), 7, CellKind::Decimal},
        {QStringLiteral("ID"), 2, CellKind::Text, Qt::AlignLeft, true, true},
    });
    grid.appendRow({"msft", "12/01/2000", "1,500.00", "1"});
    grid.appendRow({"IBM", "01/15/2001", "200.00", "2"});
    grid.appendRow({"aapl", "12/01/2000", "-3.00", "3"});
    grid.appendRow({"Csco", "02/01/1999", "25.50", "4"});
}

QStringList column(const SheetModel& grid, int col) {
    QStringList texts;
    for (int row = 1; row <= grid.rows(); ++row)
        texts << grid.text(row, col);
    return texts;
}

} // namespace

class TestSheetModel : public QObject {
    Q_OBJECT

private slots:
    void modelIsConsistent() {
        SheetModel grid;
        QAbstractItemModelTester tester(&grid,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        setUp(grid);
        grid.insertRowAt(1);
        grid.removeRowAt(2);
        grid.sortRows(3, Qt::DescendingOrder);
        grid.clear();
        QCOMPARE(grid.rows(), 0);
    }

    void sortMovesWholeRowsWithMarks() {
        SheetModel grid;
        setUp(grid);
        grid.setChanged(2, true);
        grid.setTextColor(2, 0xffff0000);
        grid.sortRows(1, Qt::AscendingOrder); // IBM moves to row 3
        QCOMPARE(grid.text(3, 1), QStringLiteral("IBM"));
        QCOMPARE(grid.text(3, 4), QStringLiteral("2"));
        QVERIFY(grid.isChanged(3));
        QCOMPARE(grid.textColor(3), 0xffff0000u);
        QVERIFY(!grid.isChanged(2));
    }

    // Money sorts by value, thousands separators understood; dates by date,
    // ties in their order; text without regard to case.
    void sortGridClicks() {
        SheetModel grid;
        setUp(grid);
        int last = 0;
        int direction = SortAscending;
        SortGrid(grid, 3, last, direction);
        QCOMPARE(column(grid, 4), (QStringList{"3", "4", "2", "1"}));
        QCOMPARE(direction, int(SortAscending));
        SortGrid(grid, 3, last, direction);
        QCOMPARE(column(grid, 4), (QStringList{"1", "2", "4", "3"}));
        QCOMPARE(direction, int(SortDescending));
        SortGrid(grid, 3, last, direction);
        QCOMPARE(column(grid, 4), (QStringList{"3", "4", "2", "1"}));
        // Another column always starts ascending.
        SortGrid(grid, 3, last, direction);
        SortGrid(grid, 2, last, direction);
        QCOMPARE(direction, int(SortAscending));
        QCOMPARE(last, 2);
        QCOMPARE(column(grid, 4), (QStringList{"4", "1", "3", "2"}));
        SortGrid(grid, 1, last, direction);
        QCOMPARE(column(grid, 4), (QStringList{"3", "4", "2", "1"}));
    }

    void userEditsSignalAndLocksHold() {
        SheetModel grid;
        setUp(grid);
        QSignalSpy edited(&grid, &SheetModel::cellEdited);
        QVERIFY(grid.setData(grid.index(1, 0), QStringLiteral("ORCL")));
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.at(0).at(0).toInt(), 2);
        QCOMPARE(edited.at(0).at(1).toInt(), 1);
        // The locked ID column refuses edits; program writes are silent.
        QVERIFY(!grid.setData(grid.index(1, 3), QStringLiteral("99")));
        grid.setText(1, 1, QStringLiteral("X"));
        QCOMPARE(edited.count(), 1);
        // A per-cell lock overrides the column's.
        grid.setLocked(1, 4, false);
        QVERIFY(grid.setData(grid.index(0, 3), QStringLiteral("7")));
    }
};

GAINBOOK_TEST(TestSheetModel)
#include "test_sheet_model.moc"
