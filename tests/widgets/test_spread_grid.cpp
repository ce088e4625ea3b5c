#include "platform/sheet_model.h"
#include "support/test_main.h"
#include "widgets/spread_grid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace gainbook;

namespace {

// A shown grid over one row of every cell kind, the last column hidden.
struct Shown {
    SheetModel sheet;
    SpreadGrid grid;

    Shown() {
        sheet.setColumns({
            {"Name", 12, CellKind::Text, Qt::AlignLeft, false, false},
            {"Linked", 4, CellKind::CheckBox, Qt::AlignCenter, false, false},
            {"Type", 6, CellKind::DropDown, Qt::AlignLeft, false, false},
            {"Do", 4, CellKind::Button, Qt::AlignCenter, false, false},
            {"ID", 3, CellKind::Text, Qt::AlignLeft, true, true},
        });
        sheet.appendRows({{"a", "0", "x", "Add", "1"}, {"b", "1", "y", "Add", "2"}});
        sheet.setChoices(1, 3, {"Bought", "Sold"});
        grid.setGridModel(&sheet);
        grid.resize(600, 300);
        grid.show();
        exposed = QTest::qWaitForWindowExposed(&grid);
    }

    void click(int col, int row) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                          grid.visualRect(sheet.index(row - 1, col - 1)).center());
    }

    bool exposed = false;
};

} // namespace

class TestSpreadGrid : public QObject {
    Q_OBJECT

private slots:
    void aNewLayoutBringsItsOwnHiddenColumns() {
        Shown s;
        QVERIFY(s.grid.isColumnHidden(4));
        s.sheet.setColumns({{"A", 5, CellKind::Text, Qt::AlignLeft, false, true},
                            {"B", 5, CellKind::Text, Qt::AlignLeft, false, false}});
        QVERIFY(s.grid.isColumnHidden(0));
        QVERIFY(!s.grid.isColumnHidden(1));
    }

    void checkBoxTogglesOnAClickInItsCell() {
        Shown s;
        QVERIFY(s.exposed);
        QSignalSpy changes(&s.grid, &SpreadGrid::cellChanged);
        // The box is drawn in the middle of its column, away from the edge
        // where the style would look for it.
        s.click(2, 1);
        QCOMPARE(s.sheet.text(1, 2), QString("1"));
        s.click(2, 1);
        QCOMPARE(s.sheet.text(1, 2), QString("0"));
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes[0], QVariantList({2, 1}));
        s.sheet.setLocked(1, 2, true);
        s.click(2, 1);
        QCOMPARE(s.sheet.text(1, 2), QString("0"));
    }

    void dropDownChoiceIsReportedAsAChange() {
        Shown s;
        QSignalSpy changes(&s.grid, &SpreadGrid::cellChanged);
        s.grid.setCurrentCell(3, 1);
        s.grid.edit(s.sheet.index(0, 2));
        auto* combo = s.grid.viewport()->findChild<QComboBox*>();
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QCOMPARE(s.sheet.text(1, 3), QString("Sold"));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes[0], QVariantList({3, 1}));
    }

    void deleteKeyIsReportedAndOpensNoEditor() {
        Shown s;
        s.grid.setCurrentCell(1, 1);
        QSignalSpy keys(&s.grid, &SpreadGrid::keyDown);
        QTest::keyClick(&s.grid, Qt::Key_Delete, Qt::ShiftModifier);
        QVERIFY(!keys.isEmpty());
        QCOMPARE(keys.last()[0].toInt(), int(Qt::Key_Delete));
        QCOMPARE(keys.last()[1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
        QVERIFY(!s.grid.viewport()->findChild<QLineEdit*>());
        QCOMPARE(s.sheet.text(1, 1), QString("a"));
    }
};

GAINBOOK_TEST(TestSpreadGrid)
#include "test_spread_grid.moc"
