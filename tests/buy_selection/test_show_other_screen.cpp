#include "buy_selection/screen/frm_show_other.h"
#include "store/sql.h"
#include "store/txn_table.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "widgets/record_table_model.h"
#include "widgets/spread_grid.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace gainbook;
using namespace gainbook::test;

namespace {

const QString kAccount = QStringLiteral("O'Brien IRA");

// A control of the screen by its designer name.
template <typename T> T* control(QWidget* screen, const char* name) {
    T* found = screen->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Buys "open" and "used" (used up) of the account, "other" (open) of another
// account, and the account's sell of 100 IBM with its empty link.
struct Screen {
    TestDatabase t;
    RecordingPrompter prompter;
    qint64 open = 0, used = 0, other = 0, sell = 0;
    std::unique_ptr<frmShowOther> w;

    // Shown at once unless the test changes the store first.
    explicit Screen(bool withBuys = true, bool loaded = true) {
        if (withBuys) {
            open = t.addTxn(kAccount, "Jan", "IBM", 50, kBought, QDate(2000, 1, 3), -5000, "50");
            used = t.addTxn(kAccount, "Jan", "IBM", 10, kBought, QDate(2000, 1, 4), -900, "0");
            other = t.addTxn("Other", "Jan", "IBM", 20, kBought, QDate(1999, 1, 5), -2000, "20");
        }
        sell = t.addTxn(kAccount, "Feb", "IBM", 100, kSold, QDate(2000, 2, 1), 12000);
        runQuery(t.connection(),
                 "INSERT INTO SellLinks (AccountName, SellId, BuyId, BuyQuantity, BuyPrice, Memo) "
                 "VALUES (?, ?, 0, 0, 0, ' ')",
                 {kAccount, sell});
        w = std::make_unique<frmShowOther>(t.connection(), prompter, sell, kAccount);
        if (loaded)
            QVERIFY(load());
    }

    bool load() {
        const bool shown = w->Form_Load();
        if (shown)
            w->show();
        return shown;
    }

    QComboBox* filter() { return control<QComboBox>(w.get(), "Combo1"); }
    QPushButton* button(const char* name) { return control<QPushButton>(w.get(), name); }
    QLabel* label(const char* name) { return control<QLabel>(w.get(), name); }
    SpreadGrid* grid() { return control<SpreadGrid>(w.get(), "vaSpread1"); }
    RecordTableModelBase& table() { return *qobject_cast<RecordTableModelBase*>(grid()->model()); }

    // The listed buys by their names above; other IDs as they stand.
    QStringList listed() {
        QStringList names;
        for (int row = 1; row <= table().rows(); ++row) {
            const QString id = table().text(row, BuyGridCol::Comments);
            const qint64 n = id.toLongLong();
            names << (n == open ? "open" : n == used ? "used" : n == other ? "other" : id);
        }
        return names;
    }

    void mark(int row, bool on = true) {
        QVERIFY(table().setData(table().index(row - 1, BuyGridCol::Linked - 1),
                                on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole));
    }

    void type(int row, int col, const QString& text) {
        QVERIFY(table().setData(table().index(row - 1, col - 1), text));
    }

    // The sell's links as "buy quantity cost", "0 0 0" being the empty one.
    QStringList links() {
        QSqlQuery q = runQuery(t.connection(),
                               "SELECT BuyId, BuyQuantity, BuyPrice FROM SellLinks WHERE SellId = "
                               "? ORDER BY rowid",
                               {sell});
        QStringList out;
        while (q.next())
            out << QStringLiteral("%1 %2 %3")
                       .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
        return out;
    }

    bool anyMarked() {
        for (int row = 1; row <= table().rows(); ++row) {
            if (table().text(row, BuyGridCol::Linked) != "0")
                return true;
        }
        return false;
    }

    int txnCount() {
        QSqlQuery q = runQuery(t.connection(), "SELECT COUNT(*) FROM Txn");
        q.next();
        return q.value(0).toInt();
    }
};

const QStringList kNoLink{"0 0 0"};

} // namespace

class TestShowOtherScreen : public QObject {
    Q_OBJECT

private slots:
    void filtersListTheirBuys_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all, same account") << 1 << QStringList{"open", "used"};
        QTest::newRow("not accounted, all accounts") << 2 << QStringList{"open", "other"};
        QTest::newRow("all, all accounts") << 3 << QStringList{"open", "used", "other"};
        QTest::newRow("back to the first") << 0 << QStringList{"open"};
    }
    void filtersListTheirBuys() {
        QFETCH(int, filter);
        QFETCH(QStringList, expected);
        Screen s;
        s.filter()->setCurrentIndex(3);
        s.filter()->setCurrentIndex(filter);
        QCOMPARE(s.listed(), expected);
        QCOMPARE(s.prompter.questions, QStringList()); // nothing marked
        // Whose buy a row is shows when the filter lists other accounts.
        const bool spans = filter >= 2;
        QCOMPARE(s.grid()->isColumnHidden(BuyGridCol::Account - 1), !spans);
        if (spans)
            QCOMPARE(s.table().text(expected.size(), BuyGridCol::Account), QString("Other"));
    }

    void noneListedAsksToShowAll_data() {
        QTest::addColumn<QStringList>("f"); // any buy, answer, shown, rows
        for (const TableRow& r : tableRows(R"(
        no keeps the grid empty ; yes ; no ; yes ; 0
        yes shows every buy of the account ; yes ; yes ; yes ; 2
        no buy at all closes ; no ; yes ; no ; 0
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void noneListedAsksToShowAll() {
        QFETCH(QStringList, f);
        const bool anyBuy = f[0] == "yes";
        Screen s(anyBuy, false);
        if (anyBuy)
            runQuery(s.t.connection(), "UPDATE Txn SET Memo = '0' WHERE ID = ?", {s.open});
        s.prompter.answers.enqueue(f[1] == "yes");
        QCOMPARE(s.load(), f[2] == "yes");
        QCOMPARE(s.prompter.questions,
                 QStringList{"All buy records are accounted. Do want to see all records?"});
        QCOMPARE(s.table().rows(), f[3].toInt());
    }

    void markedBuyIsLinkedOnceByApply() {
        Screen s;
        QCOMPARE(s.label("Label1")->text(),
                 QString("Select buy records for 100 IBM Sell of 02/01/2000"));
        QCOMPARE(s.listed(), QStringList{"open"});
        QVERIFY(!s.button("cmdDone")->isEnabled());
        s.mark(1);
        QVERIFY(s.button("cmdAdd")->isEnabled() && s.button("cmdDone")->isEnabled());
        QTest::mouseClick(s.button("cmdAdd"), Qt::LeftButton);
        QCOMPARE(s.prompter.messages, QStringList());
        // The empty link is gone.
        QCOMPARE(s.links(), QStringList{QString::number(s.open) + " 50 5000"});
        QVERIFY(!s.button("cmdAdd")->isEnabled());
        // The buy shows as linked, its box locked, and the status says so.
        QCOMPARE(s.table().text(1, BuyGridCol::Linked), QString("1"));
        QVERIFY(!(s.table().flags(s.table().index(0, BuyGridCol::Linked - 1)) &
                  Qt::ItemIsUserCheckable));
        QCOMPARE(s.label("Status")->text(), QString("1 buy linked"));
        QCOMPARE(s.w->linksWritten(), qint64(1));
        // Nothing marked since: a second Apply writes nothing.
        s.w->CmdAdd_Click();
        QCOMPARE(s.links().size(), 1);
        QCOMPARE(s.w->linksWritten(), qint64(1));
    }

    void newBuyIsStoredAndLinked_data() {
        QTest::addColumn<bool>("keepMark");
        QTest::newRow("marked") << true;
        QTest::newRow("unmarked before Apply") << false;
    }
    void newBuyIsStoredAndLinked() {
        QFETCH(bool, keepMark);
        Screen s;
        const int before = s.txnCount();
        QTest::mouseClick(s.button("cmdNew"), Qt::LeftButton);
        QCOMPARE(s.listed(), (QStringList{"", "open"}));
        s.type(1, BuyGridCol::Date, "1/15/00");
        QCOMPARE(s.table().text(1, BuyGridCol::Date), QString("01/15/2000"));
        s.type(1, BuyGridCol::TotalCost, "8,000.00");
        if (!keepMark) {
            s.mark(1, false);
            QVERIFY(!s.button("cmdAdd")->isEnabled());
            s.w->CmdAdd_Click();
            QCOMPARE(s.txnCount(), before);
            QCOMPARE(s.links(), kNoLink);
            return;
        }
        QTest::mouseClick(s.button("cmdDone"), Qt::LeftButton);
        QCOMPARE(s.w->result(), int(QDialog::Accepted));
        // Stored and linked now: the row is the stored buy, shown linked and
        // locked, so it cannot be stored or linked a second time.
        QCOMPARE(s.w->linksWritten(), qint64(1));
        QCOMPARE(s.table().text(1, BuyGridCol::Linked), QString("1"));
        QVERIFY(!s.table().setData(s.table().index(0, BuyGridCol::Linked - 1), Qt::Unchecked,
                                   Qt::CheckStateRole));
        s.w->CmdAdd_Click();
        QCOMPARE(s.prompter.messages, QStringList());
        QCOMPARE(s.txnCount(), before + 1);
        const qint64 id = s.listed().first().toLongLong();
        QCOMPARE(selectTxnById(s.t.connection(), id)->txnDate, QDate(2000, 1, 15));
        QCOMPARE(s.links(), QStringList{QString::number(id) + " 100 8000"});
    }

    // Apply reads the typed cells and checks the marked rows against the
    // store before it writes (the grid's table reads the cells); a cell
    // that holds no number keeps its text and is refused. A listed buy with fewer shares open than
    // it gives is the user's call (the used-up buy of 10 shares, listed second under "All in same
    // account"); a new buy's symbol is checked as the tool checks it. Nothing is written unless
    // everything passes.
    void applyChecksBeforeWriting_data() {
        // row ("new", "open" with 30 typed, or "used"), marked; the column of
        // row 1 typed after marking and its text; the answer, the question
        // (for the used buy), the refusal and the link written
        QTest::addColumn<QStringList>("f");
        for (const TableRow& r : tableRows(R"(
        quantity in words ; open ; 4 ; ten ; no ; no ; Not a valid number: ten ;
        new buy without a symbol ; new ; 3 ;   ; no ; no ; A buy needs a symbol. ;
        used buy, No writes nothing ; used ; 0 ;  ; no ; yes ;  ;
        used buy, Yes links it ; used ; 0 ;  ; yes ; yes ;  ; 10 900
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void applyChecksBeforeWriting() {
        QFETCH(QStringList, f);
        const QString row = f[0], text = f[2], refusal = f[5], link = f.value(6);
        const int col = f[1].toInt();
        const QString question = f[4] == "no" ? QString()
                                              : "The buy of 01/04/2000 IBM has only 0 shares open, "
                                                "not 10.\nUse more shares than the buy has open?";
        Screen s;
        const int before = s.txnCount();
        if (row == "new") {
            s.w->cmdNew_Click();
        } else if (row == "open") {
            s.mark(1);
            s.type(1, BuyGridCol::Applied, "30");
        } else {
            s.filter()->setCurrentIndex(1);
            QCOMPARE(s.listed(), (QStringList{"open", "used"}));
            s.mark(2);
        }
        if (col > 0)
            s.type(1, col, text);
        const bool unread = refusal.startsWith("Not a valid");
        if (unread) {
            QCOMPARE(s.table().text(1, col), text);
            QVERIFY(s.label("Status")->text().startsWith("Not a valid"));
        }
        s.prompter.answers.enqueue(f[3] == "yes");
        s.w->CmdAdd_Click();
        QCOMPARE(s.prompter.questions, question.isEmpty() ? QStringList() : QStringList{question});
        QCOMPARE(s.prompter.messages, refusal.isEmpty() ? QStringList() : QStringList{refusal});
        QCOMPARE(s.txnCount(), before);
        if (link.isEmpty()) {
            QCOMPARE(s.links(), kNoLink);
            QCOMPARE(selectTxnById(s.t.connection(), s.used)->memo, QString("0"));
            if (unread) {
                QCOMPARE(s.label("Status")->text(), refusal);
                QVERIFY(s.table().textColor(1) != 0);
            }
            // The marks stay for another try.
            QVERIFY(s.button("cmdAdd")->isEnabled());
            return;
        }
        QCOMPARE(s.links().size(), 1);
        QCOMPARE(s.links()[0].section(u' ', 1), link);
        if (row == "used")
            QCOMPARE(selectTxnById(s.t.connection(), s.used)->memo, QString("-10"));
    }

    void filterChangeAsksAboutUnsavedMarks_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes applies") << true;
        QTest::newRow("no drops") << false;
    }
    void filterChangeAsksAboutUnsavedMarks() {
        QFETCH(bool, yes);
        Screen s;
        s.mark(1);
        s.type(1, BuyGridCol::Applied, "30");
        s.type(1, BuyGridCol::AppliedCost, "120");
        s.prompter.answers.enqueue(yes);
        s.filter()->setCurrentIndex(1);
        QCOMPARE(s.prompter.questions, QStringList{"Do you want to apply changes"});
        QCOMPARE(s.links(), yes ? QStringList{QString::number(s.open) + " 30 120"} : kNoLink);
        // The new filter's rows, unmarked.
        QCOMPARE(s.listed(), (QStringList{"open", "used"}));
        QVERIFY(!s.anyMarked());
        QVERIFY(!s.button("cmdAdd")->isEnabled());
    }

    void closeWritesNothing() {
        Screen s;
        s.mark(1);
        QTest::mouseClick(s.button("cmdExit"), Qt::LeftButton);
        QVERIFY(!s.w->isVisible());
        QCOMPARE(s.links(), kNoLink);
        QCOMPARE(selectTxnById(s.t.connection(), s.open)->memo, QString("50"));
        QCOMPARE(s.prompter.questions, QStringList());
    }

    void failedApplyIsShownAndDoneStaysOpen() {
        Screen s(true, false);
        runQuery(s.t.connection(),
                 "INSERT INTO SellLinks (AccountName, SellId, BuyId, BuyQuantity, BuyPrice, Memo) "
                 "VALUES (?, ?, ?, 5, 500, ' ')",
                 {kAccount, s.sell, s.open});
        QVERIFY(s.load());
        s.mark(1);
        QTest::mouseClick(s.button("cmdDone"), Qt::LeftButton);
        QCOMPARE(s.prompter.messages,
                 QStringList{"The buy of 01/03/2000 IBM is already linked to this sell."});
        QVERIFY(s.w->isVisible());
        QVERIFY(s.button("cmdAdd")->isEnabled());
    }
};

GAINBOOK_TEST(TestShowOtherScreen)
#include "test_show_other_screen.moc"
