#include "capture/page_document.h"
#include "support/test_main.h"

#include <QtTest>

#include <map>
#include <utility>

using namespace gainbook;

namespace {

// The cells a sheet should hold, kept the plain way.
using Expected = std::map<std::pair<int, int>, SheetCell>;

// A cell as "text|number", "text|-" without a number.
QString shown(const SheetCell& cell) {
    return cell.text + u'|' +
           (cell.number ? QString::number(*cell.number, 'g', 17) : QStringLiteral("-"));
}

// Every place of the rectangle around the cells, and one beyond it, reads
// what the plain map holds; the counts agree.
void compareAll(const SheetDocument& sheet, const Expected& expected, int rows, int cols) {
    int lastRow = 0;
    int lastCol = 0;
    for (const auto& [at, cell] : expected) {
        lastRow = std::max(lastRow, at.first);
        lastCol = std::max(lastCol, at.second);
    }
    QCOMPARE(sheet.cellCount(), qsizetype(expected.size()));
    QCOMPARE(sheet.rowCount(), lastRow);
    QCOMPARE(sheet.columnCount(), lastCol);
    for (int r = 0; r <= rows + 1; ++r) {
        for (int c = 0; c <= cols + 1; ++c) {
            const auto found = expected.find({r, c});
            const QString want =
                found == expected.end() ? shown(SheetCell{}) : shown(found->second);
            QVERIFY2(shown(sheet.cell(r, c)) == want,
                     qPrintable(QString::asprintf("row %d col %d: ", r, c) +
                                shown(sheet.cell(r, c)) + ", expected " + want));
        }
    }
}

} // namespace

class TestSheetDocument : public QObject {
    Q_OBJECT

private slots:
    // Cells put in any order, some of them shared among places and some put
    // again over an earlier one, read back as a plain map of them says.
    void cellsInAnyOrder_data() {
        // Each "order sharedEvery repeats": every n-th put is a shared cell (0
        // never); repeats are puts over places already filled.
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("sharedEvery");
        QTest::addColumn<int>("repeats");
        for (const QString row : {"rows 0 0", "rows 2 0", "reverse 3 0", "columns 2 0",
                                  "rightToLeft 2 0", "random 0 0", "random 2 150", "rows 3 150"}) {
            const QStringList f = row.split(u' ');
            QTest::newRow(qPrintable(row)) << f[0] << f[1].toInt() << f[2].toInt();
        }
    }
    void cellsInAnyOrder() {
        QFETCH(QString, order);
        QFETCH(int, sharedEvery);
        QFETCH(int, repeats);
        constexpr int kRows = 30;
        constexpr int kCols = 7;
        QRandomGenerator random(18);
        // Gaps on purpose: a row or a column left empty must read empty.
        QVector<std::pair<int, int>> places;
        for (int r = 1; r <= kRows; ++r)
            for (int c = 1; c <= kCols; ++c)
                if ((r * 7 + c * 3) % 5 != 0 && r != 4 && c != 5)
                    places.append({r, c});
        if (order == u"reverse") {
            std::reverse(places.begin(), places.end());
        } else if (order == u"columns") {
            std::stable_sort(places.begin(), places.end(),
                             [](const auto& a, const auto& b) { return a.second < b.second; });
        } else if (order == u"rightToLeft") {
            std::stable_sort(places.begin(), places.end(), [](const auto& a, const auto& b) {
                return a.first != b.first ? a.first < b.first : a.second > b.second;
            });
        } else if (order == u"random") {
            std::shuffle(places.begin(), places.end(), random);
        }
        for (int i = 0; i < repeats; ++i)
            places.append(places[random.bounded(int(places.size()))]);

        SheetDocument sheet;
        Expected expected;
        QVector<std::pair<qint32, SheetCell>> shared;
        for (int i = 0; i < places.size(); ++i) {
            const auto [r, c] = places[i];
            if (sharedEvery && i % sharedEvery == 0) {
                if (shared.size() < 4) {
                    const SheetCell cell{QStringLiteral("shared %1").arg(shared.size()),
                                         double(shared.size())};
                    shared.append({sheet.addSharedCell(cell), cell});
                }
                const auto& [id, cell] = shared[i % shared.size()];
                sheet.setSharedCell(r, c, id);
                expected[{r, c}] = cell;
            } else {
                const SheetCell cell{QStringLiteral("r%1c%2 #%3").arg(r).arg(c).arg(i),
                                     i % 2 ? std::optional<double>(i) : std::nullopt};
                sheet.setCell(r, c, cell);
                expected[{r, c}] = cell;
            }
        }
        compareAll(sheet, expected, kRows, kCols);
        // A copy reads the same, and putting into it leaves the first alone.
        SheetDocument copy = sheet;
        copy.setCell(1, 1, {QStringLiteral("changed"), std::nullopt});
        compareAll(sheet, expected, kRows, kCols);
    }

    // Places outside the sheet and numbers of no stored cell change nothing.
    void refusesPlacesOutside() {
        SheetDocument sheet;
        sheet.setCell(0, 1, {QStringLiteral("x"), std::nullopt});
        sheet.setCell(1, -1, {QStringLiteral("x"), std::nullopt});
        sheet.setSharedCell(1, 1, 0);
        const qint32 id = sheet.addSharedCell({QStringLiteral("y"), 1.0});
        sheet.setSharedCell(1, 1, id + 1);
        sheet.setSharedCell(1, 1, -1);
        QCOMPARE(sheet.cellCount(), qsizetype(0));
        QCOMPARE(sheet.rowCount(), 0);
        sheet.setSharedCell(2, 3, id);
        QCOMPARE(sheet.text(2, 3), QStringLiteral("y"));
        QCOMPARE(sheet.number(2, 3), 1.0);
    }
};

GAINBOOK_APPLESS_TEST(TestSheetDocument)
#include "test_sheet_document.moc"
