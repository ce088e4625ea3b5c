#include "main_window/delete_list.h"
#include "main_window/record_editing.h"
#include "main_window/tax_view.h"
#include "main_window/txn_view.h"
#include "matching/process_session.h"
#include "matching/trade_changes.h"
#include "platform/date_text.h"
#include "store/account_settings_table.h"
#include "store/records.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/txn_table.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::RecordingPrompter;
using gainbook::test::TestDatabase;
using namespace gainbook::test;

namespace {

int count(const TestDatabase& t, const QString& table) {
    QSqlQuery q = runQuery(t.connection(), QStringLiteral("SELECT COUNT(*) FROM ") + table);
    q.next();
    return q.value(0).toInt();
}

// Types a text into a cell as the grid's model does when the user edits it.
QString type(TxnRow& row, int col, const QString& text) {
    return editCell(TxnColumns(), row, col, text);
}
QString type(TaxRow& row, int col, const QString& text) {
    return editCell(TaxColumns(), row, col, text);
}

QVector<TxnRow> txnRows(const QVector<TxnRecord>& records) {
    QVector<TxnRow> rows;
    for (const TxnRecord& r : records)
        rows.append({r, {}});
    return rows;
}

TxnRow newTxnRow(const QString& month) {
    TxnRow row{newTxnRecord({}, {0, month, 2, "Acme"}), {}};
    row.state.isNew = true;
    return row;
}

TaxRow newTaxRow() {
    TaxRow row{newTaxRecord(), {}};
    row.state.isNew = true;
    return row;
}

QVector<TaxRow> taxRows(const TestDatabase& t) {
    QVector<TaxRow> rows;
    for (const TaxRecord& r : FillGrid(t.connection(), "Acme").records)
        rows.append({r, {}});
    return rows;
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
    // Once written, the row holds the stored record, so the next save of it
    // updates the record instead of inserting a second copy.
    void savedNewRowIsUpdatedAfterwards() {
        TestDatabase t;
        RecordingPrompter prompter;
        QVector<TxnRow> rows{newTxnRow("All")};
        type(rows[0], TxnGridCol::Symbol, "ibm");
        QCOMPARE(saveChangedRows(rows, t.connection(), "Acme", prompter),
                 QString("1 record saved"));
        const qint64 id = rows[0].record.id;
        QVERIFY(id > 0 && !rows[0].state.isNew);
        QCOMPARE(TxnColumns().text(rows[0].record, TxnGridCol::ID), QString::number(id));
        // Typed numbers are read with grouping, signs and parentheses.
        QCOMPARE(type(rows[0], TxnGridCol::Quantity, "1,250") +
                     type(rows[0], TxnGridCol::TxnAmount, "($1,012.50)"),
                 QString());
        QCOMPARE(saveChangedRows(rows, t.connection(), "Acme", prompter),
                 QString("1 record saved"));
        QCOMPARE(count(t, "Txn"), 1);
        // An empty comment is stored as OK.
        const auto stored = selectTxnById(t.connection(), id);
        QCOMPARE(QStringList({stored->symbol, stored->quantity.text(),
                              QString::number(stored->amount.toDouble()), stored->memo,
                              isoDate(stored->txnDate)})
                     .join(u' '),
                 QString("IBM 1250 -1012.5 OK 2000-01-01"));
    }

    // Whether a row is new is the row's state, whatever its record's ID:
    // 9999 once marked unsaved rows, and stores reach it.
    void aStoredRecordNumbered9999IsUpdatedAndDeleted() {
        TestDatabase t;
        RecordingPrompter prompter;
        const qint64 id = t.addTxn("Acme", "Jan", "IBM", 10, kBought, QDate(2000, 1, 3), 1000);
        runQuery(t.connection(), "UPDATE Txn SET ID = 9999 WHERE ID = ?", {id});
        QVector<TxnRow> rows = txnRows(FillGrid1(t.connection(), "Acme", std::nullopt));
        QCOMPARE(rows[0].record.id, 9999);
        QVERIFY(!rows[0].state.isNew);

        type(rows[0], TxnGridCol::Quantity, "12");
        QCOMPARE(saveChangedRows(rows, t.connection(), "Acme", prompter),
                 QString("1 record saved"));
        QCOMPARE(count(t, "Txn"), 1);
        QCOMPARE(selectTxnById(t.connection(), 9999)->quantity, Quantity::whole(12));

        prompter.answers.enqueue(true);
        QVERIFY(deleteGridRow(rows[0], 1, t.connection(), prompter).removed);
        QCOMPARE(prompter.questions, QStringList{"Are you sure you want to delete the 1 row?"});
        QCOMPARE(count(t, "Txn"), 0);
        // A row that was never stored goes without a question.
        QVERIFY(deleteGridRow(newTxnRow("Jan"), 1, t.connection(), prompter).removed);
        QCOMPARE(prompter.questions.size(), 1);
    }

    void faultyRowTurnsRedAndTheOthersAreStillSaved_data() {
        QTest::addColumn<QStringList>("f"); // column, typed, status
        for (const TableRow& r : tableRows(R"(
        empty symbol ; 1 ;  ; Check Highlighted row for Error
        no date ; 4 ; soon ; Not a valid date
        word for a cost ; 5 ; abc ; Not a valid number: abc
        refused by the file ; 1 ; BAD ; Row 1 was not saved
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void faultyRowTurnsRedAndTheOthersAreStillSaved() {
        QFETCH(QStringList, f);
        const int col = f[0].toInt();
        const QString status = f[2];
        TestDatabase t;
        RecordingPrompter prompter;
        QVector<TaxRow> rows{newTaxRow(), newTaxRow()};
        type(rows[0], TaxGridCol::Symbol, "IBM");
        type(rows[0], col, f[1]);
        type(rows[1], TaxGridCol::Symbol, "T");
        type(rows[1], TaxGridCol::Cost, "100");
        type(rows[1], TaxGridCol::Proceed, "150");
        // A trigger stands in for any failure of the file (full disk, lock, ...).
        runQuery(t.connection(), "CREATE TRIGGER refuse BEFORE INSERT ON TaxRec WHEN NEW.Symbol = "
                                 "'BAD' BEGIN SELECT RAISE(ABORT, 'refused'); END");

        const QString said = saveChangedRows(rows, t.connection(), "Acme", prompter);
        QVERIFY2(said.startsWith(status), qPrintable(said));
        QCOMPARE(count(t, "TaxRec"), 1);
        QVERIFY(rows[0].state.error.startsWith(status) && rows[0].state.changed &&
                rows[0].state.isNew);
        QVERIFY(rows[1].state.error.isEmpty() && !rows[1].state.changed);
        QCOMPARE(TaxColumns().text(rows[1].record, TaxGridCol::Gain), QString("50.00"));

        // Corrected, the red row is saved and drawn normally again.
        type(rows[0], TaxGridCol::Symbol, "aapl");
        if (col == TaxGridCol::DateSold) {
            type(rows[0], col, "3/5/2000");
            QCOMPARE(TaxColumns().text(rows[0].record, col), QString("03/05/2000"));
        } else if (col != TaxGridCol::Symbol) {
            type(rows[0], col, "7");
        }
        QCOMPARE(saveChangedRows(rows, t.connection(), "Acme", prompter),
                 QString("1 record saved"));
        QCOMPARE(count(t, "TaxRec"), 2);
        QVERIFY(rows[0].state.error.isEmpty());
        QCOMPARE(rows[0].record.symbol, QString("AAPL"));
    }

    // A box is one of the six letters, typed in either case; anything else
    // is refused like a bad date, and so is an empty box for a sale whose
    // term is known. A refused row is not written.
    void boxEdits_data() {
        QTest::addColumn<QStringList>("f"); // bought, typed, refusal, stored
        for (const TableRow& r : tableRows(R"(
        another letter ; 2000-01-03 ; E ;  ; E
        lower case ; 2000-01-03 ; c ;  ; C
        letter after L ; 2000-01-03 ; M ; Not a valid box: M ; A
        empty, term known ; 2000-01-03 ;  ; A box from A to L is needed when the date bought is known ; A
        empty, term unknown ;  ;   ;  ;
        // Boxes G-L came with the 2025 Form 8949: a sale of 2000 has none.
        Form 8949 (2000): no box K before 2025 ; 2000-01-03 ; k ; Not a valid box: k ; A
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void boxEdits() {
        QFETCH(QStringList, f);
        const QDate acquired = QDate::fromString(f[0], Qt::ISODate);
        const QString typed = f[1];
        const QString refusal = f[2];
        TestDatabase t;
        RecordingPrompter prompter;
        const qint64 id = t.addTax("Acme", "IBM", 10, acquired, QDate(2000, 6, 1), 1000, 1200);
        QVector<TaxRow> rows = taxRows(t);
        // The drop-down offers an empty box only while the term is unknown.
        QCOMPARE(TaxColumns().choices(rows[0], TaxGridCol::Box).size(), acquired.isValid() ? 6 : 7);

        QCOMPARE(type(rows[0], TaxGridCol::Box, typed), refusal);
        const QString said = saveChangedRows(rows, t.connection(), "Acme", prompter);
        QCOMPARE(said, refusal.isEmpty() ? QString("1 record saved") : refusal);
        if (!refusal.isEmpty())
            QCOMPARE(cellText(TaxColumns(), rows[0], TaxGridCol::Box), typed);
        QCOMPARE(boxLetter(selectTaxRecById(t.connection(), id)->box), f.value(3));
    }

    // A row saved without a box while its term is known (a new row, a date
    // bought typed into a row that had none) takes the box of its term
    // under its account's setting; a box the user chose is kept.
    void savedRowsTakeTheAccountsBox_data() {
        QTest::addColumn<QStringList>("f"); // setting, bought, typed box, box
        for (const TableRow& r : tableRows(R"(
        short, reported ; yes ; 3/1/2000 ;  ; A
        long, not reported ; no ; 3/1/1998 ;  ; E
        short, not on the form ; none ; 3/1/2000 ;  ; C
        term unknown ; no ;  ;  ;
        chosen box kept ; no ; 3/1/2000 ; F ; F
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void savedRowsTakeTheAccountsBox() {
        QFETCH(QStringList, f);
        const QString typedBox = f[2];
        TestDatabase t;
        RecordingPrompter prompter;
        setBasisReporting(t.connection(), "Acme", *basisFromWord(f[0]));
        const qint64 old = t.addTax("Acme", "T", 1, QDate(), QDate(2000, 6, 1), 1, 2);

        QVector<TaxRow> rows = taxRows(t);
        rows.append(newTaxRow());
        for (TaxRow& row : rows) {
            type(row, TaxGridCol::Symbol, "IBM");
            QCOMPARE(type(row, TaxGridCol::DateBought, f[1]), QString());
            type(row, TaxGridCol::DateSold, "6/1/2000");
            if (!typedBox.isEmpty())
                QCOMPARE(type(row, TaxGridCol::Box, typedBox), QString());
        }
        QCOMPARE(saveChangedRows(rows, t.connection(), "Acme", prompter),
                 QString("2 records saved"));
        for (const TaxRow& row : rows) {
            QCOMPARE(boxLetter(row.record.box), f.value(3));
            QCOMPARE(boxLetter(selectTaxRecById(t.connection(), row.record.id)->box), f.value(3));
        }
        QCOMPARE(rows[0].record.id, old);
    }

    void updatesWriteTheRowAndReportVanishedRecords() {
        TestDatabase t;
        RecordingPrompter prompter;
        const qint64 kept =
            t.addTax("Acme", "IBM", 10, QDate(2000, 1, 3), QDate(2000, 6, 1), 1000, 1200);
        const qint64 gone = t.addTax("Acme", "T", 10, QDate(2000, 1, 3), QDate(2000, 6, 1), 1, 2);
        QVector<TaxRow> rows = taxRows(t);
        deleteTaxRec(t.connection(), gone);

        for (TaxRow& row : rows)
            type(row, TaxGridCol::Comment, "checked");
        QCOMPARE(saveChangedRows(rows, t.connection(), "Acme", prompter),
                 QString("Trying to update invalid record"));
        QCOMPARE(prompter.messages, QStringList{"Trying to update invalid record"});
        QCOMPARE(selectTaxRecById(t.connection(), kept)->memo, QString("checked"));
        QVERIFY(rows[1].state.changed);
    }

    void monthOfANewTransaction() {
        QCOMPARE(newTxnRecord({}, accountItem("Acme")).txnMonth, QString("All"));
        QCOMPARE(newTxnRecord({}, monthItem("Acme", "Feb 00")).txnMonth, QString("Feb 00"));
        // With rows present, the month is the last row's.
        QVector<TxnRow> rows{newTxnRow("Jan 00"), newTxnRow("Mar 00")};
        QCOMPARE(newTxnRecord(rows, monthItem("Acme", "Feb 00")).txnMonth, QString("Mar 00"));
    }

    // The screen's Delete key test counts the records left in each view;
    // here the links and the question's text.
    void deleteListByViewAndItem_data() {
        QTest::addColumn<QStringList>("f"); // tax view, links left, question, to process again
        // The processed account keeps tax records of trades that are gone.
        // The tax records and links belong to the account, whichever item
        // names it; without them it is no longer processed.
        for (const TableRow& r : tableRows(R"(
        transactions, account ; no ; 2 ; Are you sure you want to delete Transaction Records for O'Brien? This deletes the 2 transactions of O'Brien. ; Accounts to process again before filing: O'Brien
        tax, month ; yes ; 1 ; Are you sure you want to delete Tax Records for Jan? This deletes the 1 tax record (all years) and 1 link of O'Brien. ;
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void deleteListByViewAndItem() {
        QFETCH(QStringList, f);
        const bool tax = f[0] == "yes";
        TestDatabase t;
        t.addTxn("O'Brien", "Jan", "A", 1, kBought, QDate(2000, 1, 1), 1);
        t.addTxn("O'Brien", "Jan", "A", 1, kSold, QDate(2000, 1, 5), 1);
        t.addTax("O'Brien", "A", 1, QDate(2000, 1, 1), QDate(2000, 1, 5), 1, 2);
        const QString link = "INSERT INTO SellLinks (AccountName, SellId, BuyId) VALUES (?, ?, ?)";
        runQuery(t.connection(), link, {"O'Brien", 2, 1});
        runQuery(t.connection(), link, {"Other", 9, 8});

        const OutlineSelection item = tax ? monthItem("O'Brien", "Jan") : accountItem("O'Brien");
        const RecordView view = tax ? RecordView::Tax : RecordView::Transactions;
        QCOMPARE(deleteListQuestion(t.connection(), view, item), f[2]);
        QCOMPARE(DeleteList(t.connection(), view, item), QString());
        QCOMPARE(count(t, "Txn"), tax ? 2 : 0);
        QCOMPARE(count(t, "TaxRec"), tax ? 0 : 1);
        QCOMPARE(count(t, "SellLinks"), f[1].toInt());
        QCOMPARE(processAgainLine(t.connection()), f.value(3));
    }

    // A save or delete of trades in the grid brings the wash sales in line
    // at once and keeps each processed account whose tax records it leaves
    // behind among those to process again. Account A lost 300 on Mar 1 (100
    // XYZ bought Jan 3 for 1,000, sold for 700) and was processed; account
    // Z, never processed, bought 100 XYZ for 800 on Apr 1, a day after the
    // 30 days that follow the sale.
    void tradeEditsLeaveNothingStale_data() {
        // trade (0 a new row, else 1 A's buy, 2 A's sell, 3 Z's buy), a new
        // row's account, cells ("Date=3/31/2000", or "delete"), to process
        // again ("A" for the line naming A), the loss record's Wash Adj.
        QTest::addColumn<QStringList>("f");
        for (const TableRow& r : tableRows(R"(
        // 26 CFR 1.1091-1(a): shares bought within 30 days after the sale of
        // a loss, in any account, disallow it.
        26 CFR 1.1091-1(a): the replacement moved into the 30 days ; 3 ;  ; Date=3/31/2000 ;  ; 300.00
        26 CFR 1.1091-1(a): a new buy in another account within the 30 days ; 0 ; Z ; Symbol=XYZ, Date=3/11/2000, Amount=-800 ;  ; 300.00
        the processed account's sell edited ; 2 ;  ; Amount=750 ; A ;
        a comment is no change ; 2 ;  ; Comment=checked ;  ;
        a new trade in the processed account ; 0 ; A ; Symbol=IBM ; A ;
        the processed account's sell deleted ; 2 ;  ; delete ; A ;
        a trade of an account never processed deleted ; 3 ;  ; delete ;  ;
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void tradeEditsLeaveNothingStale() {
        QFETCH(QStringList, f);
        const int trade = f[0].toInt();
        const QStringList cells = listOf(f[2]);
        TestDatabase t;
        RecordingPrompter prompter;
        const QVector<qint64> ids{
            0, t.addTxn("A", "Jan", "XYZ", 100, kBought, QDate(2000, 1, 3), -1000),
            t.addTxn("A", "Mar", "XYZ", 100, kSold, QDate(2000, 3, 1), 700),
            t.addTxn("Z", "Apr", "XYZ", 100, kBought, QDate(2000, 4, 1), -800)};
        ProcessSession session(t.connection(), prompter);
        session.setAccount("A");
        QVERIFY(session.Process().done());

        const QString owner = trade == 0 ? f[1] : trade == 3 ? "Z" : "A";
        QVector<TxnRow> rows{newTxnRow("All")};
        if (trade > 0)
            rows = txnRows({*selectTxnById(t.connection(), ids[trade])});
        if (cells == QStringList{"delete"}) {
            prompter.answers.enqueue(true);
            QVERIFY(deleteGridRow(rows[0], 1, t.connection(), prompter).removed);
        } else {
            const QStringList names{"Month", "Symbol", "Quantity", "Type",
                                    "Date",  "Amount", "Comment"};
            for (const QString& cell : cells)
                QCOMPARE(type(rows[0], int(names.indexOf(cell.section(u'=', 0, 0))) + 1,
                              cell.section(u'=', 1)),
                         QString());
            QCOMPARE(saveChangedRows(rows, t.connection(), owner, prompter),
                     QString("1 record saved"));
        }
        QCOMPARE(processAgainLine(t.connection()),
                 f[3].isEmpty() ? QString() : "Accounts to process again before filing: " + f[3]);
        const TaxViewRecords loss = FillGrid(t.connection(), "A");
        QCOMPARE(loss.records.size(), 1);
        QCOMPARE(TaxColumns().text(loss.records[0], TaxGridCol::WashAdj), f.value(4));
    }
};

GAINBOOK_GUILESS_TEST(TestRecordEditing)
#include "test_record_editing.moc"
