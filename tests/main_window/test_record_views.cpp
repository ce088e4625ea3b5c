#include "main_window/account_outline.h"
#include "main_window/record_editing.h"
#include "main_window/tax_view.h"
#include "main_window/txn_view.h"
#include "store/transfer_link_table.h"
#include "store/unknown_cost_table.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

template <class Record>
QStringList column(const RecordColumns<Record>& columns, const QVector<Record>& records, int col) {
    QStringList texts;
    for (const Record& r : records)
        texts << columns.text(r, col);
    return texts;
}

template <class Record>
QStringList rowTexts(const RecordColumns<Record>& columns, const Record& record) {
    QStringList texts;
    for (int col = 1; col <= columns.layout().size(); ++col)
        texts << columns.text(record, col);
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

        // Months by their earliest trade, whatever their labels.
        const QVector<OutlineItem> expected{{"Acme", 1},   {"Jan 00", 2}, {"Feb 00", 2},
                                            {"Mar 00", 2}, {"Zed", 1},    {"Mar 00", 2},
                                            {"Mar 00", 1}, {"Old IRA", 1}};
        const QVector<OutlineItem> items = loadOutline(t.connection());
        QCOMPARE(items, expected);
        QCOMPARE(accountItemIndex(items, 3), 0);
        QCOMPARE(accountItemIndex(items, 5), 4);
        QCOMPARE(accountItemIndex(items, 7), 7);
        QCOMPARE(accountItemIndex(items, -1), -1);
    }

    void txnViewOfAccountAndMonth() {
        TestDatabase t;
        const QString account = "O'Brien";
        t.addTxn(account, "Dec '00", "MSFT", 10, kSold, QDate(2000, 12, 15), 1234.5, "note");
        t.addTxn(account, "Jan '01", "IBM", 2.5, kBought, QDate(2001, 1, 2), -99.999);
        t.addTxn(account, "Dec '00", "AAPL", 100, kBought, QDate(2000, 12, 15), -10);
        t.addTxn("Other", "Dec '00", "X", 1, kBought, QDate(2000, 12, 1), 1);

        const TxnColumns columns;
        QVector<TxnRecord> records = FillGrid1(t.connection(), account, std::nullopt);
        // By date (January 2001 after December 2000), ties by symbol.
        QCOMPARE(column(columns, records, TxnGridCol::Symbol),
                 (QStringList{"AAPL", "MSFT", "IBM"}));
        QCOMPARE(rowTexts(columns, records[1]),
                 (QStringList{"Dec '00", "MSFT", "10", kSold, "12/15/2000", "1,234.50", "note",
                              QString::number(records[1].id)}));
        QCOMPARE(columns.text(records[2], TxnGridCol::Quantity), QStringLiteral("2.5"));
        QCOMPARE(columns.text(records[2], TxnGridCol::TxnAmount), QStringLiteral("-100.00"));

        // A buy transferred in is marked until its cost is typed; a sell never is.
        markUnknownCost(t.connection(), {records[0].id, records[1].id});
        const std::unique_ptr<TxnColumns> marked = txnColumnsOf(t.connection());
        QCOMPARE(marked->cellMark(records[0], TxnGridCol::TxnAmount), QString("cost unknown"));
        QCOMPARE(marked->cellMark(records[0], TxnGridCol::Symbol), QString());
        QVERIFY(marked->rowNote(records[0]).startsWith("Shares transferred in"));
        QCOMPARE(marked->rowNote(records[1]) + marked->rowNote(records[2]), QString());

        records = FillGrid1(t.connection(), account, QStringLiteral("Jan '01"));
        QCOMPARE(column(columns, records, TxnGridCol::Symbol), QStringList{"IBM"});
    }

    void taxViewSelectsTheYearAndTotals() {
        TestDatabase t;
        t.addTax("A", "ZZZ", 10, QDate(1999, 5, 1), QDate(2000, 12, 31), 1000, 1500);
        t.addTax("A", "LOSS", 5, QDate(2000, 1, 3), QDate(2000, 1, 1), 800, 300, "wash?");
        t.addTax("A", "OUT", 1, QDate(1999, 5, 1), QDate(2001, 1, 1), 1, 99999);
        t.addTax("A", "OUT", 1, QDate(1999, 5, 1), QDate(1999, 12, 31), 1, 99999);
        t.addTax("A", "FREE", 1, QDate(), QDate(2000, 6, 1), 0, 0);

        const TaxColumns columns;
        const TaxViewRecords tax = FillGrid(t.connection(), "A");
        QCOMPARE(column(columns, tax.records, TaxGridCol::Symbol),
                 (QStringList{"FREE", "LOSS", "ZZZ"}));
        QCOMPARE(rowTexts(columns, tax.records[1]).mid(0, 10),
                 (QStringList{"LOSS", "5", "01/03/2000", "01/01/2000", "800.00", "300.00",
                              "-500.00", "A", "", "wash?"}));
        QCOMPARE(columns.text(tax.records[0], TaxGridCol::DateBought), QString());
        // No date and no cost is a cost not known, never a gain of the whole proceeds.
        QCOMPARE(columns.text(tax.records[0], TaxGridCol::Cost) +
                     columns.text(tax.records[0], TaxGridCol::Gain),
                 QString());
        QVERIFY(columns.rowNote(tax.records[0]).startsWith("Cost not known"));
        QCOMPARE(tax.totals.recordsText(), QStringLiteral("Total Records 3"));
        QCOMPARE(tax.totals.proceedsText(), QStringLiteral("Total Proceed 1,800.00"));
        QCOMPARE(tax.totals.gainText(), QStringLiteral("Total Gain/Loss .00"));
    }

    // A row the processing run left for a look is told from its record: the
    // tooltip names the cases, the totals count them.
    void taxRowWarnings_data() {
        QTest::addColumn<QStringList>("f"); // bought, sold, memo, note
        for (const test::TableRow& r : test::tableRows(R"(
        plain ; 2023-05-01 ; 2024-02-01 ;   ;
        bought after sold ; 2024-03-01 ; 2024-02-01 ;   ; Matched to a buy made after the sale
        not all found ; 2023-05-01 ; 2024-02-01 ; All Buy Rec Not Found ; Sell larger than the buys found (All Buy Rec Not Found)
        both ; 2024-03-01 ; 2024-02-01 ; All Buy Rec Not Found ; Matched to a buy made after the sale\nSell larger than the buys found (All Buy Rec Not Found)
        no buy ;  ; 2024-02-01 ; All Buy Rec Not Found ; No buy found for this sell
        unknown date, hand entered ;  ; 2024-02-01 ; various ;
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void taxRowWarnings() {
        QFETCH(QStringList, f);
        const QDate acquired = QDate::fromString(f[0], Qt::ISODate);
        const QDate sold = QDate::fromString(f[1], Qt::ISODate);
        const QString memo = f[2];
        const QString note = f.value(3).replace("\\n", "\n");
        TestDatabase t;
        t.addTax("A", "IBM", 10, acquired, sold, 100, 200, memo);
        t.addTax("A", "OLD", 10, QDate(), QDate(2000, 2, 1), 0, 200, "All Buy Rec Not Found");
        const TaxViewRecords tax = FillGrid(t.connection(), "A", TaxYear{2024});
        QCOMPARE(tax.records.size(), 1);
        QCOMPARE(TaxColumns().rowNote(tax.records[0]), note);
        const TaxWarnings w = taxWarnings(tax.records[0]);
        QCOMPARE(tax.totals.boughtAfterSold + tax.totals.notAllFound + tax.totals.noBuy,
                 int(w.boughtAfterSold) + int(w.notAllFound) + int(w.noBuy));
        QCOMPARE(tax.totals.warningsText().isEmpty(), note.isEmpty());
    }

    // Stored and new rows differ in the cells the user may change.
    void newRowsMayTypeTheirSymbolAndPickTheirType() {
        const TaxColumns tax;
        TaxRow taxRow{newTaxRecord(), {}};
        QVERIFY(tax.locked(taxRow, TaxGridCol::Symbol, true));
        taxRow.state.isNew = true;
        QVERIFY(!tax.locked(taxRow, TaxGridCol::Symbol, true));
        QVERIFY(tax.locked(taxRow, TaxGridCol::Gain, true));

        const TxnColumns txn;
        TxnRow txnRow{TxnRecord(), {}};
        QCOMPARE(txn.kind(txnRow, TxnGridCol::TxnType, CellKind::Text), CellKind::Text);
        txnRow.state.isNew = true;
        QCOMPARE(txn.kind(txnRow, TxnGridCol::TxnType, CellKind::Text), CellKind::DropDown);
        QCOMPARE(txn.choices(txnRow, TxnGridCol::TxnType), QStringList({kBought, kSold, kSent}));
    }
};

GAINBOOK_GUILESS_TEST(TestRecordViews)
#include "test_record_views.moc"
