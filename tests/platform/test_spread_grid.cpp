#include "platform/outline.h"
#include "platform/sheet_model.h"
#include "platform/spread_grid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QtTest>

using namespace gainbook;

namespace {

void setLayout(SheetModel& sheet) {
    sheet.setColumns({
        {"Name", 12, CellKind::Text, Qt::AlignLeft, false, false},
        {"Linked", 4, CellKind::CheckBox, Qt::AlignCenter, false, false},
        {"Type", 6, CellKind::DropDown, Qt::AlignLeft, false, false},
        {"Do", 4, CellKind::Button, Qt::AlignCenter, false, false},
        {"ID", 3, CellKind::Text, Qt::AlignLeft, true, true},
    });
}

QPoint cellCenter(SpreadGrid& grid, int col, int row) {
    return grid.visualRect(grid.model()->index(row - 1, col - 1)).center();
}

} // namespace

class TestSpreadGrid : public QObject {
    Q_OBJECT

private slots:
    void layoutFollowsTheSheet() {
        SheetModel sheet;
        setLayout(sheet);
        SpreadGrid grid;
        grid.setSheet(&sheet);
        QVERIFY(grid.isColumnHidden(4));
        QVERIFY(!grid.isColumnHidden(0));
        QCOMPARE(grid.columnWidth(0), grid.charactersToPixels(12));
        QVERIFY(grid.charactersToPixels(12) > grid.charactersToPixels(6));
        // A new layout (another view) brings its own hidden columns.
        sheet.setColumns({{"A", 5, CellKind::Text, Qt::AlignLeft, false, true},
                          {"B", 5, CellKind::Text, Qt::AlignLeft, false, false}});
        QVERIFY(grid.isColumnHidden(0));
        QVERIFY(!grid.isColumnHidden(1));
    }

    void clicksReportColumnAndRowWithHeadingsAsRowZero() {
        SheetModel sheet;
        setLayout(sheet);
        sheet.appendRows({{"a", "0", "x", "Add", "1"}, {"b", "1", "y", "Add", "2"}});
        SpreadGrid grid;
        grid.setSheet(&sheet);
        grid.resize(600, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy clicks(&grid, &SpreadGrid::cellClicked);
        QHeaderView* header = grid.horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(2) + header->sectionSize(2) / 2, 3));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCenter(grid, 4, 2));
        QCOMPARE(clicks.size(), 2);
        QCOMPARE(clicks[0], QVariantList({3, 0}));
        QCOMPARE(clicks[1], QVariantList({4, 2}));
        QCOMPARE(grid.currentRow(), 2);
        QCOMPARE(grid.currentCol(), 4);

        QSignalSpy moves(&grid, &SpreadGrid::mouseMoved);
        QTest::mouseMove(grid.viewport(), cellCenter(grid, 1, 1));
        QTRY_VERIFY(!moves.isEmpty());
        QCOMPARE(moves.last(), QVariantList({1, 1}));
    }

    void checkBoxTogglesOnAClickInItsCell() {
        SheetModel sheet;
        setLayout(sheet);
        sheet.appendRows({{"a", "0", "x", "Add", "1"}});
        SpreadGrid grid;
        grid.setSheet(&sheet);
        grid.resize(600, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy changes(&grid, &SpreadGrid::cellChanged);
        // The box is drawn in the middle of its column, away from the edge
        // where the style would look for it.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCenter(grid, 2, 1));
        QCOMPARE(sheet.text(1, 2), QString("1"));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCenter(grid, 2, 1));
        QCOMPARE(sheet.text(1, 2), QString("0"));
        QCOMPARE(changes.size(), 2);
        sheet.setLocked(1, 2, true);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCenter(grid, 2, 1));
        QCOMPARE(sheet.text(1, 2), QString("0"));
    }

    void checkBoxAndDropDownEditsAreReportedAsChanges() {
        SheetModel sheet;
        setLayout(sheet);
        sheet.appendRows({{"a", "0", "x", "Add", "1"}});
        sheet.setChoices(1, 3, {"Bought", "Sold"});
        SpreadGrid grid;
        grid.setSheet(&sheet);
        grid.resize(600, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy changes(&grid, &SpreadGrid::cellChanged);

        const QModelIndex box = sheet.index(0, 1);
        QVERIFY(sheet.setData(box, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(sheet.text(1, 2), QString("1"));

        grid.setCurrentCell(3, 1);
        grid.edit(sheet.index(0, 2));
        auto* combo = grid.viewport()->findChild<QComboBox*>();
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QCOMPARE(sheet.text(1, 3), QString("Sold"));
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes[0], QVariantList({2, 1}));
        QCOMPARE(changes[1], QVariantList({3, 1}));
        // A button cell is not edited; it reports clicks only.
        QVERIFY(!(sheet.flags(sheet.index(0, 3)) & Qt::ItemIsEditable));
    }

    void deleteKeyIsReportedAndOpensNoEditor() {
        SheetModel sheet;
        setLayout(sheet);
        sheet.appendRows({{"a", "0", "x", "Add", "1"}});
        SpreadGrid grid;
        grid.setSheet(&sheet);
        grid.show();
        grid.setCurrentCell(1, 1);
        QSignalSpy keys(&grid, &SpreadGrid::keyDown);
        QTest::keyClick(&grid, Qt::Key_Delete, Qt::ShiftModifier);
        QVERIFY(!keys.isEmpty());
        QCOMPARE(keys.last()[0].toInt(), int(Qt::Key_Delete));
        QCOMPARE(keys.last()[1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
        QVERIFY(!grid.viewport()->findChild<QLineEdit*>());
        QCOMPARE(sheet.text(1, 1), QString("a"));
    }

    void outlineItemsByLevel() {
        Outline outline;
        outline.addItem("Acme", 1);
        outline.addItem("Jan", 2);
        outline.addItem("Feb", 2);
        outline.addItem("Zed", 1);
        QCOMPARE(outline.listCount(), 4);
        QCOMPARE(outline.topLevelItemCount(), 2);
        QCOMPARE(outline.topLevelItem(0)->childCount(), 2);
        QCOMPARE(outline.listIndex(), -1);
        QCOMPARE(outline.itemText(2), QString("Feb"));
        QCOMPARE(outline.itemLevel(2), 2);

        // The plus/minus of an item selects it.
        outline.show();
        QSignalSpy toggles(&outline, &Outline::expandedOrCollapsed);
        outline.expandItem(outline.topLevelItem(1));
        QCOMPARE(outline.listIndex(), 3);
        QCOMPARE(toggles.size(), 1);
        outline.setItemExpanded(0, true);
        QVERIFY(outline.isItemExpanded(0));

        QSignalSpy keys(&outline, &Outline::keyDown);
        QTest::keyClick(&outline, Qt::Key_Delete);
        QCOMPARE(keys.size(), 1);
        outline.clearItems();
        QCOMPARE(outline.listCount(), 0);
        QCOMPARE(outline.listIndex(), -1);
    }
};

QTEST_MAIN(TestSpreadGrid)
#include "test_spread_grid.moc"
