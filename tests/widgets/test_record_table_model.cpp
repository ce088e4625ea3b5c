#include "platform/cell_readers.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "widgets/record_table_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace gainbook;

namespace {

// A record of every kind of cell the grids use.
struct Lot {
    QString name;
    QDate date;
    Money cost;
    bool linked = false;
    qint64 id = 0;
};

enum : int { Name = 1, Date, Cost, Linked, ID };

class LotColumns final : public RecordColumns<Lot> {
public:
    QVector<GridColumn> layout() const override {
        return {{"Name", 8, CellKind::Text},
                {"Date", 9, CellKind::Date, Qt::AlignRight},
                {"Cost", 8, CellKind::Decimal, Qt::AlignRight},
                {"Linked", 4, CellKind::CheckBox, Qt::AlignCenter},
                {"ID", 3, CellKind::Text, Qt::AlignLeft, true, true}};
    }
    QString text(const Lot& r, int col) const override {
        switch (col) {
        case Name:
            return r.name;
        case Date:
            return formatDate(r.date);
        case Cost:
            return formatMoney(r.cost);
        case Linked:
            return r.linked ? "1" : "0";
        default:
            return QString::number(r.id);
        }
    }
    QString parse(Lot& r, int col, const QString& text) const override {
        switch (col) {
        case Name:
            r.name = text;
            return {};
        case Date:
            return readDateCell(text, r.date);
        case Cost:
            return readMoneyCell(text, r.cost);
        case Linked:
            r.linked = text == "1";
            return {};
        default:
            return {};
        }
    }
    SortKey sortKey(const Lot& r, int col) const override {
        if (col == Date)
            return sortByDate(r.date);
        if (col == Cost)
            return sortByValue(r.cost.toDouble());
        return RecordColumns::sortKey(r, col);
    }
};

Lot lot(const QString& name, QDate date, double cost, qint64 id) {
    return {name, date, Money::fromDouble(cost), false, id};
}

struct Filled {
    RecordTableModel<Lot> model{std::make_unique<LotColumns>()};

    Filled() {
        model.setRecords({lot("msft", {2000, 12, 1}, 1500, 1), lot("IBM", {2001, 1, 15}, 200, 2),
                          lot("aapl", {2000, 12, 1}, -3, 3), lot("Csco", {1999, 2, 1}, 25.5, 4)});
    }

    bool type(int row, int col, const QString& text) {
        return model.setData(model.index(row - 1, col - 1), text);
    }

    QStringList ids() const {
        QStringList texts;
        for (int row = 1; row <= model.rows(); ++row)
            texts << model.text(row, ID);
        return texts;
    }
};

} // namespace

class TestRecordTableModel : public QObject {
    Q_OBJECT

private slots:
    void modelIsConsistent() {
        RecordTableModel<Lot> model(std::make_unique<LotColumns>());
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRecords({lot("b", {2000, 1, 2}, 1, 1), lot("a", {2000, 1, 1}, 2, 2)});
        model.insertNewRecord(1, lot("", {2000, 1, 1}, 0, 0));
        QVERIFY(model.setData(model.index(0, Cost - 1), "abc"));
        QVERIFY(model.setData(model.index(1, Linked - 1), Qt::Checked, Qt::CheckStateRole));
        model.sort(Cost - 1, Qt::DescendingOrder);
        model.updateRows([](QVector<RecordRow<Lot>>& rows) { rows[0].state.changed = false; });
        model.removeRowAt(2);
        model.clear();
        QCOMPARE(model.rows(), 0);
    }

    // A fill in place that fails leaves no row, old or half read.
    void failedFillLeavesNoRows() {
        Filled f;
        QAbstractItemModelTester tester(&f.model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        f.model.insertNewRecord(1, lot("new", {2000, 1, 1}, 0, 0));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 f.model.fillRecords([](QVector<RecordRow<Lot>>& rows) {
                                     rows.resize(2);
                                     throw std::runtime_error("read failed");
                                 }));
        QCOMPARE(f.model.rows(), 0);
    }

    // What a typed text does to the record, the cell and the row.
    void editsParseIntoTheRecord_data() {
        QTest::addColumn<QStringList>("f"); // column, typed, shown, refusal
        for (const test::TableRow& r : test::tableRows(R"(
        grouped thousands ; 3 ; 1,250.00 ; 1,250.00 ;
        date rewritten ; 2 ; 3/5/2000 ; 03/05/2000 ;
        word for a number ; 3 ; abc ; abc ; Not a valid number: abc
        no such day ; 2 ; 13/45/2000 ; 13/45/2000 ; Not a valid date
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void editsParseIntoTheRecord() {
        QFETCH(QStringList, f);
        const int col = f[0].toInt();
        const QString refusal = f.value(3);
        Filled row;
        const Lot before = row.model.record(2);
        QSignalSpy edited(&row.model, &RecordTableModelBase::cellEdited);
        QVERIFY(row.type(2, col, f[1]));
        QCOMPARE(edited.size(), 1);
        QCOMPARE(row.model.text(2, col), f[2]);
        QVERIFY(row.model.isChanged(2));
        QVERIFY(row.model.data(row.model.index(1, 0), GridRole::Changed).toBool());
        if (refusal.isEmpty()) {
            QCOMPARE(row.model.textColor(2), 0u);
            QCOMPARE(row.model.state(2).refusedCell(col), nullptr);
            return;
        }
        // Refused: shown as typed, the record untouched, the row red.
        QCOMPARE(row.model.state(2).refusedCell(col)->message, refusal);
        QCOMPARE(row.model.record(2).cost, before.cost);
        QCOMPARE(row.model.record(2).date, before.date);
        QCOMPARE(row.model.data(row.model.index(1, 2), GridRole::TextColor).toUInt(),
                 kErrorTextColor);
        // Typed again, the cell reads; the refusal stays on the row until
        // a command clears it (a save), so the red does not flicker away.
        QVERIFY(row.type(2, col, col == Date ? "1/2/2000" : "7"));
        QCOMPARE(row.model.state(2).refusedCell(col), nullptr);
        QCOMPARE(row.model.textColor(2), kErrorTextColor);
    }

    void unchangedTextAndLockedCellsAreNoEdits() {
        Filled f;
        QSignalSpy edited(&f.model, &RecordTableModelBase::cellEdited);
        QVERIFY(f.type(1, Cost, "1,500.00"));
        QVERIFY(!f.type(1, ID, "99"));
        QCOMPARE(edited.size(), 0);
        QVERIFY(!f.model.isChanged(1));
    }

    void sortByKind_data() {
        QTest::addColumn<QStringList>("f"); // column, descending, IDs in order
        // Dates by date: 2001 after 2000, ties keep their order.
        for (const test::TableRow& r : test::tableRows(R"(
        date ascending ; 2 ; no ; 4, 1, 3, 2
        date descending ; 2 ; yes ; 2, 1, 3, 4
        cost by value ; 3 ; no ; 3, 4, 2, 1
        name without case ; 1 ; no ; 3, 4, 2, 1
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void sortByKind() {
        QFETCH(QStringList, f);
        const int col = f[0].toInt();
        const int order = f[1] == "yes" ? Qt::DescendingOrder : Qt::AscendingOrder;
        const QStringList ids = test::listOf(f[2]);
        Filled filled;
        filled.model.sort(col - 1, Qt::SortOrder(order));
        QCOMPARE(filled.ids(), ids);
    }

    void sortMovesStatesAndTheCurrentCell() {
        Filled f;
        QVERIFY(f.type(2, Cost, "abc")); // IBM, row 2: changed and refused
        const QPersistentModelIndex current = f.model.index(1, Cost - 1);
        f.model.sort(Name - 1, Qt::AscendingOrder); // IBM moves to row 3
        QCOMPARE(f.model.text(3, Name), QString("IBM"));
        QCOMPARE(f.model.text(3, Cost), QString("abc"));
        QVERIFY(f.model.isChanged(3));
        QVERIFY(!f.model.isChanged(2));
        QCOMPARE(current.row(), 2);
    }

    void cellsAndHeadingsForTheGrid() {
        Filled f;
        f.model.insertNewRecord(1, lot("", {2000, 1, 1}, 0, 0));
        QVERIFY(f.model.state(1).isNew && !f.model.state(2).isNew);
        const QModelIndex box = f.model.index(1, Linked - 1);
        QCOMPARE(f.model.data(box, Qt::DisplayRole), QVariant());
        QVERIFY(f.model.setData(box, Qt::Checked, Qt::CheckStateRole));
        QVERIFY(f.model.record(2).linked);
        QCOMPARE(f.model.data(box, Qt::CheckStateRole).toInt(), int(Qt::Checked));

        QCOMPARE(f.model.headerData(Cost - 1, Qt::Horizontal).toString(), QString("Cost"));
        QCOMPARE(f.model.headerData(Cost - 1, Qt::Horizontal, GridRole::ColumnWidth).toInt(), 8);
        QVERIFY(f.model.headerData(ID - 1, Qt::Horizontal, GridRole::ColumnHidden).toBool());
    }
};

GAINBOOK_GUILESS_TEST(TestRecordTableModel)
#include "test_record_table_model.moc"
