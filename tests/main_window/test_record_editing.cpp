#include "main_window/delete_list.h"
#include "main_window/record_editing.h"
#include "main_window/record_writers.h"
#include "main_window/tax_view.h"
#include "main_window/txn_view.h"
#include "platform/sheet_model.h"
#include "store/records.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/txn_table.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::RecordingPrompter;
using gainbook::test::TestDatabase;

namespace {

int count(const TestDatabase& t, const QString& table) {
    QSqlQuery q = runQuery(t.connection(), QStringLiteral("SELECT COUNT(*) FROM ") + table);
    q.next();
    return q.value(0).toInt();
}

// Types a text into a cell as the user would: through the model, so the
// change handler sees it.
void type(SheetModel& grid, RecordView view, int row, int col, const QString& text) {
    grid.setData(grid.index(row - 1, col - 1), text);
    recordCellChanged(grid, view, col, row);
}

OutlineSelection accountItem(const QString& account) {
    return {0, account, 1, account};
}

OutlineSelection monthItem(const QString& account, const QString& month) {
    return {1, month, 2, account};
}

} // namespace

class TestRecordEditing : public QObject {
    Q_OBJECT

private slots:
    // Once written, the ID cell names the stored record, so the next save
    // of the row updates it instead of inserting a second copy.
    void savedNewRowIsUpdatedAfterwards() {
        TestDatabase t;
        RecordingPrompter prompter;
        SheetModel grid;
        SetupTxnGrid(grid);
        addNewRecord(grid, RecordView::Transactions, "All");
        type(grid, RecordView::Transactions, 1, TxnGridCol::Symbol, "ibm");
        QVERIFY(saveChangedRows(grid, RecordView::Transactions, t.connection(), "Acme", prompter)
                    .isEmpty());
        const qint64 id = grid.text(1, TxnGridCol::ID).toLongLong();
        QVERIFY(id > 0 && id != 9999);
        type(grid, RecordView::Transactions, 1, TxnGridCol::Quantity, "250");
        QVERIFY(saveChangedRows(grid, RecordView::Transactions, t.connection(), "Acme", prompter)
                    .isEmpty());
        QCOMPARE(count(t, "Txn"), 1);
        const auto stored = selectTxnById(t.connection(), id);
        QVERIFY(stored);
        QCOMPARE(stored->symbol, QString("IBM"));
        QCOMPARE(stored->quantity, 250.0);
        QCOMPARE(stored->memo, QString("OK")); // an empty comment is stored as OK
        QCOMPARE(stored->txnDate, QDate(2000, 1, 1));
    }

    void faultyRowTurnsRedAndTheOthersAreStillSaved_data() {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("status");
        QTest::newRow("empty symbol") << ""
                                      << "03/05/2000"
                                      << "Check Highlighted row for Error";
        QTest::newRow("no date") << "IBM"
                                 << "soon"
                                 << "Not a valid date";
        QTest::newRow("refused by the file") << "BAD"
                                             << "03/05/2000"
                                             << "Row 1 was not saved";
    }
    void faultyRowTurnsRedAndTheOthersAreStillSaved() {
        QFETCH(QString, symbol);
        QFETCH(QString, date);
        QFETCH(QString, status);
        TestDatabase t;
        RecordingPrompter prompter;
        SheetModel grid;
        SetupTaxGrid(grid);
        addNewRecord(grid, RecordView::Tax, {});
        addNewRecord(grid, RecordView::Tax, {});
        type(grid, RecordView::Tax, 1, TaxGridCol::Symbol, symbol);
        type(grid, RecordView::Tax, 1, TaxGridCol::DateSold, date);
        type(grid, RecordView::Tax, 2, TaxGridCol::Symbol, "T");
        type(grid, RecordView::Tax, 2, TaxGridCol::Cost, "100");
        type(grid, RecordView::Tax, 2, TaxGridCol::Proceed, "150");
        // A trigger stands in for any failure of the file (full disk, lock, ...).
        runQuery(t.connection(), "CREATE TRIGGER refuse BEFORE INSERT ON TaxRec WHEN NEW.Symbol = "
                                 "'BAD' BEGIN SELECT RAISE(ABORT, 'refused'); END");

        const QString said =
            saveChangedRows(grid, RecordView::Tax, t.connection(), "Acme", prompter);
        QVERIFY2(said.startsWith(status), qPrintable(said));
        QCOMPARE(count(t, "TaxRec"), 1);
        QCOMPARE(grid.textColor(1), kErrorColor);
        QVERIFY(grid.isChanged(1));
        QCOMPARE(grid.text(1, TaxGridCol::ID), QString("9999"));
        QCOMPARE(grid.textColor(2), 0u);
        QVERIFY(!grid.isChanged(2));
        QCOMPARE(grid.text(2, TaxGridCol::Gain), QString("50"));

        // Corrected, the red row is saved and drawn normally again.
        type(grid, RecordView::Tax, 1, TaxGridCol::Symbol, "aapl");
        type(grid, RecordView::Tax, 1, TaxGridCol::DateSold, "3/5/2000");
        QCOMPARE(grid.text(1, TaxGridCol::DateSold), QString("03/05/2000"));
        QVERIFY(saveChangedRows(grid, RecordView::Tax, t.connection(), "Acme", prompter).isEmpty());
        QCOMPARE(count(t, "TaxRec"), 2);
        QCOMPARE(grid.textColor(1), 0u);
    }

    void updatesWriteTheRowAndReportVanishedRecords() {
        TestDatabase t;
        RecordingPrompter prompter;
        const qint64 kept =
            t.addTax("Acme", "IBM", 10, QDate(2000, 1, 3), QDate(2000, 6, 1), 1000, 1200);
        const qint64 gone = t.addTax("Acme", "T", 10, QDate(2000, 1, 3), QDate(2000, 6, 1), 1, 2);
        SheetModel grid;
        FillGrid(grid, t.connection(), "Acme");
        deleteTaxRec(t.connection(), gone);

        // Grouped thousands ("1,000.00") must not cut the number short.
        for (int row = 1; row <= grid.rows(); ++row)
            type(grid, RecordView::Tax, row, TaxGridCol::Comment, "checked");
        QCOMPARE(saveChangedRows(grid, RecordView::Tax, t.connection(), "Acme", prompter),
                 QString("Trying to update invalid record"));
        QCOMPARE(prompter.messages, QStringList{"Trying to update invalid record"});
        const auto stored = selectTaxRecById(t.connection(), kept);
        QCOMPARE(stored->memo, QString("checked"));
        QCOMPARE(stored->cost, Money::fromCents(100000));
        QCOMPARE(stored->salePrice, Money::fromCents(120000));
        QVERIFY(grid.isChanged(2));
    }

    void monthOfANewTransactionOnAnEmptyGrid() {
        QCOMPARE(monthForNewRecord(accountItem("Acme")), QString("All"));
        QCOMPARE(monthForNewRecord(monthItem("Acme", "Feb 00")), QString("Feb 00"));
        SheetModel grid;
        SetupTxnGrid(grid);
        addNewRecord(grid, RecordView::Transactions, "Feb 00");
        QCOMPARE(grid.text(1, TxnGridCol::Month), QString("Feb 00"));
        // With rows present, the month is the last row's.
        grid.appendRow({"Mar 00", "IBM", "1", "Bought", "01/02/2000", "1.00", "", "5"});
        addNewRecord(grid, RecordView::Transactions, "ignored");
        QCOMPARE(grid.text(1, TxnGridCol::Month), QString("Mar 00"));
    }

    // The screen's Delete key test counts the records left in each view;
    // here the links and the question's text.
    void deleteListByViewAndItem_data() {
        QTest::addColumn<bool>("tax");
        QTest::addColumn<int>("linksLeft");
        QTest::addColumn<QString>("question");
        QTest::newRow("transactions, account")
            << false << 2 << "Are you sure you want to delete Transaction Records for O'Brien?";
        // The tax records and links belong to the account, whichever item names it.
        QTest::newRow("tax, month")
            << true << 1 << "Are you sure you want to delete Tax Records for Jan?";
    }
    void deleteListByViewAndItem() {
        QFETCH(bool, tax);
        QFETCH(int, linksLeft);
        QFETCH(QString, question);
        TestDatabase t;
        t.addTxn("O'Brien", "Jan", "A", 1, kBought, QDate(2000, 1, 1), 1);
        t.addTxn("O'Brien", "Jan", "A", 1, kSold, QDate(2000, 1, 5), 1);
        t.addTax("O'Brien", "A", 1, QDate(2000, 1, 1), QDate(2000, 1, 5), 1, 2);
        const QString link = "INSERT INTO SellLinks (AccountName, SellId, BuyId) VALUES (?, ?, ?)";
        runQuery(t.connection(), link, {"O'Brien", 2, 1});
        runQuery(t.connection(), link, {"Other", 9, 8});

        const OutlineSelection item = tax ? monthItem("O'Brien", "Jan") : accountItem("O'Brien");
        const RecordView view = tax ? RecordView::Tax : RecordView::Transactions;
        QCOMPARE(deleteListQuestion(view, item.text), question);
        QCOMPARE(DeleteList(t.connection(), view, item), QString());
        QCOMPARE(count(t, "Txn"), tax ? 2 : 0);
        QCOMPARE(count(t, "TaxRec"), tax ? 0 : 1);
        QCOMPARE(count(t, "SellLinks"), linksLeft);
    }
};

QTEST_GUILESS_MAIN(TestRecordEditing)
#include "test_record_editing.moc"
