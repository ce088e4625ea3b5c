#include "buy_selection/buy_columns.h"
#include "matching/match_columns.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "widgets/record_table_model.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace gainbook;

namespace {

TxnRecord txn(qint64 id, const QString& symbol, double quantity, QDate date, double amount) {
    TxnRecord r;
    r.id = id;
    r.symbol = symbol;
    r.quantity = Quantity::fromDouble(quantity);
    r.txnDate = date;
    r.amount = Money::fromDouble(amount);
    return r;
}

// A sell with two lots, then a sell with its "Add" button.
QVector<MatchRow> matchRows() {
    const TxnRecord sell = txn(3, "IBM", 100, QDate(2000, 2, 1), 1500);
    MatchRow first;
    first.sell = sell;
    first.buy = txn(1, "IBM", 50, QDate(2000, 1, 3), -500);
    first.link.sellId = 3;
    first.link.buyId = 1;
    MatchRow second = first;
    second.sell.reset();
    second.buy = txn(2, "IBM", 80, QDate(2000, 1, 4), -1600);
    second.link.buyId = 2;
    MatchRow add;
    add.sell = txn(4, "MSFT", 10, QDate(2000, 2, 2), 300);
    add.link.sellId = 4;
    add.hasAddButton = true;
    return {first, second, add};
}

QVector<BuyRow> buyRows() {
    BuyRow first;
    first.buy = txn(1, "IBM", 50, QDate(2000, 1, 3), -5000);
    BuyRow second;
    second.buy = txn(2, "IBM", 10, QDate(1999, 1, 4), -900);
    return {first, second};
}

QModelIndex cell(const QAbstractItemModel& model, int row, int col) {
    return model.index(row - 1, col - 1);
}

} // namespace

class TestScreenGrids : public QObject {
    Q_OBJECT

private slots:
    // Both screens' grids keep the item model's rules through what the
    // screens do to them: fill, tick, type, insert, sort, refill, empty.
    void modelsKeepTheModelRules() {
        RecordTableModel<MatchRow> matches(std::make_unique<MatchColumns>());
        RecordTableModel<BuyRow> buys(std::make_unique<BuyColumns>());
        QAbstractItemModelTester matchTester(
            &matches, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester buyTester(&buys,
                                           QAbstractItemModelTester::FailureReportingMode::QtTest);

        matches.setRecords(matchRows());
        QVERIFY(matches.setData(cell(matches, 2, MatchGridCol::Linked), Qt::Unchecked,
                                Qt::CheckStateRole));
        QVERIFY(!matches.record(2).linked);
        QVERIFY(matches.record(1).linked);
        // The button and the sell's own cells take no edits.
        QVERIFY(!matches.setData(cell(matches, 3, MatchGridCol::Linked), "0"));
        QVERIFY(!matches.setData(cell(matches, 1, MatchGridCol::Symbol), "MSFT"));
        matches.setRecords(matchRows());
        matches.clear();

        buys.setRecords(buyRows());
        buys.insertNewRecord(1, newBuyRow(txn(9, "IBM", 100, QDate(2000, 2, 1), 1200)));
        QVERIFY(buys.setData(cell(buys, 1, BuyGridCol::TotalCost), "abc"));
        QVERIFY(buys.setData(cell(buys, 2, BuyGridCol::Linked), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(buys.setData(cell(buys, 3, BuyGridCol::AppliedCost), "1,250.00"));
        buys.sort(BuyGridCol::Date - 1);
        QCOMPARE(buys.record(1).buy.id, qint64(2));
        buys.removeRowAt(1);
        buys.clear();
    }

    void matchCellsFollowTheRow_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("text");
        QTest::newRow("sell's first lot") << 1 << int(CellKind::CheckBox) << false << "1";
        QTest::newRow("further lot") << 2 << int(CellKind::CheckBox) << false << "1";
        QTest::newRow("sell without a buy") << 3 << int(CellKind::Button) << true << kAddCaption;
    }
    void matchCellsFollowTheRow() {
        QFETCH(int, row);
        QFETCH(int, kind);
        QFETCH(bool, locked);
        QFETCH(QString, text);
        RecordTableModel<MatchRow> matches(std::make_unique<MatchColumns>());
        matches.setRecords(matchRows());
        const QModelIndex box = cell(matches, row, MatchGridCol::Linked);
        QCOMPARE(box.data(GridRole::Kind).toInt(), kind);
        QCOMPARE(!(matches.flags(box) & Qt::ItemIsUserCheckable), locked);
        QCOMPARE(matches.text(row, MatchGridCol::Linked), text);
    }

    // A listed buy takes the applied figures, a new one its own; typed
    // numbers read with grouping and signs, other texts are refused and the
    // row keeps its value.
    void buyCellsReadAsTyped_data() {
        QTest::addColumn<QStringList>("f"); // new buy, column, typed, editable, shown, refusal
        const QHash<QString, int> cols{{"Date", BuyGridCol::Date},
                                       {"Applied", BuyGridCol::Applied},
                                       {"AppliedCost", BuyGridCol::AppliedCost},
                                       {"TotalCost", BuyGridCol::TotalCost}};
        for (const test::TableRow& r : test::tableRows(R"(
        grouped applied cost ; no ; AppliedCost ; 1,250.00 ; yes ; 1250 ;
        applied quantity in words ; no ; Applied ; ten ; yes ; ten ; Not a valid number: ten
        listed buy's date ; no ; Date ; 1/15/00 ; no ; 01/03/2000 ;
        new buy's date ; yes ; Date ; 1/15/00 ; yes ; 01/15/2000 ;
        new buy's date that is no date ; yes ; Date ; soon ; yes ; soon ; Not a valid date: soon
        new buy's cost in parentheses ; yes ; TotalCost ; (1,250.00) ; yes ; -1250.00 ;
        new buy's applied cost ; yes ; AppliedCost ; 5 ; no ; 0 ;
        )")) {
            QStringList f = r.fields;
            f[1] = QString::number(cols.value(f[1]));
            QTest::newRow(r.name) << f;
        }
    }
    void buyCellsReadAsTyped() {
        QFETCH(QStringList, f);
        const int col = f[1].toInt();
        RecordTableModel<BuyRow> buys(std::make_unique<BuyColumns>());
        buys.setRecords(buyRows());
        if (f[0] == "yes")
            buys.insertNewRecord(1, newBuyRow(txn(9, "IBM", 100, QDate(2000, 2, 1), 1200)));
        QCOMPARE(buys.setData(cell(buys, 1, col), f[2]), f[3] == "yes");
        QCOMPARE(buys.text(1, col), f[4]);
        QCOMPARE(buyRowRefusal(buys.row(1)), f.value(5));
    }
};

GAINBOOK_TEST(TestScreenGrids)
#include "test_screen_grids.moc"
