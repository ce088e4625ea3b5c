#include "matching/screen/frm_lots.h"
#include "matching/screen/frm_process.h"
#include "matching/screen/long_term_chart.h"
#include "matching_fixture.h"
#include "startup/app_context.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/store_fault.h"
#include "support/memory_settings.h"
#include "support/recording_prompter.h"
#include "support/test_main.h"
#include "widgets/record_table_model.h"
#include "widgets/spread_grid.h"

#include <QBarSet>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

using namespace gainbook;
using namespace gainbook::test;

namespace {

const QString kAccount = QStringLiteral("O'Brien IRA");

// Two buys and two sells of the tax year, one sell with nothing to take.
const QStringList kRows{
    "B|IBM|50|2000-01-03|-500", "B|IBM|80|2000-01-04|-1600", "S|IBM|100|2000-02-01|1500",
    "S|MSFT|10|2000-02-02|300", "B|T|5|2000-01-05|-50",
};

// What the run of kRows ends with: MSFT has no buy.
const QString kToCheck =
    QStringLiteral("Sells to check: 0 matched to a buy made after the sale, 0 larger than the "
                   "buys found (All Buy Rec Not Found), 1 without a buy.");

// A control of a screen by its designer name.
template <typename T> T* control(QWidget* screen, const char* name) {
    T* found = screen->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

struct Screen {
    TestDatabase t;
    RecordingPrompter prompter;
    QVector<qint64> ids;
    std::unique_ptr<frmProcess> w;
    QList<QPair<qint64, QString>> opened;
    std::function<void()> whileOpen;
    qint64 linkedWhileOpen = 0; // what the buy selection says it linked

    explicit Screen(const QStringList& rows = kRows) {
        ids = addRows(t, kAccount, rows);
        t.addTxn("Zed", "All", "X", 1, kBought, QDate(2000, 3, 1), -10);
        // The buy selection is recorded instead of shown, so no modal loop runs.
        w = std::make_unique<frmProcess>(t.connection(), prompter, nullptr,
                                         [this](QWidget*, qint64 sellId, const QString& account) {
                                             opened.append({sellId, account});
                                             if (whileOpen)
                                                 whileOpen();
                                             return linkedWhileOpen;
                                         });
        w->Form_Load();
        w->show();
    }

    QComboBox* accounts() { return control<QComboBox>(w.get(), "Combo1"); }
    QPushButton* button(const char* name) { return control<QPushButton>(w.get(), name); }
    SpreadGrid* grid() { return control<SpreadGrid>(w.get(), "vaSpread1"); }
    RecordTableModelBase& table() { return *qobject_cast<RecordTableModelBase*>(grid()->model()); }

    void choose(const QString& account) {
        const int index = accounts()->findText(account);
        QVERIFY(index >= 0);
        accounts()->setCurrentIndex(index);
        emit accounts()->activated(index);
    }

    void clickCell(int col, int row) {
        SpreadGrid* grid = this->grid();
        const QRect cell = grid->visualRect(table().index(row - 1, col - 1));
        QVERIFY(cell.isValid());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // Clears a lot's box as a click clears it.
    bool clearBox(int row) {
        return table().setData(table().index(row - 1, MatchGridCol::Linked - 1), Qt::Unchecked,
                               Qt::CheckStateRole);
    }

    void clickHeading(int col) {
        QHeaderView* header = grid()->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(col - 1) + header->sectionSize(col - 1) / 2, 4));
    }

    QString status() { return control<QLabel>(w.get(), "Status")->text(); }

    QStringList column(int col) {
        QStringList texts;
        for (int row = 1; row <= table().rows(); ++row)
            texts << table().text(row, col);
        return texts;
    }
};

} // namespace

class TestProcessScreen : public QObject {
    Q_OBJECT

private slots:
    // Without an account "Process" asks for one; a fresh account is run
    // without a question and the run names the sell without a buy.
    void processShowsTheLinks() {
        Screen s;
        for (const char* name : {"Command1", "cmdUpdate", "Command3"})
            QVERIFY(!s.button(name)->isEnabled());
        QCOMPARE(s.accounts()->count(), 2);
        s.w->Command1_Click();
        QCOMPARE(s.prompter.messages, QStringList{"Please select one account"});
        s.prompter.messages.clear();
        s.choose(kAccount);
        QTest::mouseClick(s.button("Command1"), Qt::LeftButton);
        QCOMPARE(s.prompter.questions, QStringList());
        QCOMPARE(
            s.prompter.messages,
            QStringList{
                QString("Processing of %1 wrote 2 tax records to %2.\n").arg(kAccount, s.t.path()) +
                kToCheck});
        QCOMPARE(s.status(), QString("2 tax records written"));
        // IBM with its two lots, MSFT with its "Add" button.
        QCOMPARE(s.column(MatchGridCol::Symbol), (QStringList{"IBM", "", "MSFT"}));
        QCOMPARE(s.column(MatchGridCol::Linked), (QStringList{"1", "1", kAddCaption}));
        QCOMPARE(s.table().kind(3, MatchGridCol::Linked), CellKind::Button);
        QVERIFY(s.button("Command1")->isEnabled());
    }

    // A file another program holds is told in the guide's words, with the
    // offer to try again; the account list is read again once it is free.
    void lockedStoreOffersToTryAgain() {
        TestDatabase t;
        addRows(t, kAccount, kRows);
        runQuery(t.connection(), "PRAGMA busy_timeout = 50");
        {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "lockingProgram");
            other.setDatabaseName(t.path());
            QVERIFY(other.open());
            runQuery(other, "BEGIN EXCLUSIVE");
            RecordingPrompter prompter;
            prompter.answers << true << false; // try again once, then give up
            frmProcess w(t.connection(), prompter, nullptr, nullptr);
            w.Form_Load();
            const QString inUse = inUseMessage(t.path()) + " Try again?";
            QCOMPARE(prompter.questions, QStringList(2, inUse));
            QCOMPARE(prompter.messages, QStringList());
            auto* list = control<QComboBox>(&w, "Combo1");
            QCOMPARE(list->count(), 0);
            runQuery(other, "ROLLBACK");
            other.close();
            w.Form_Activate();
            QCOMPARE(list->count(), 1);
            QCOMPARE(list->itemText(0), kAccount);
        }
        QSqlDatabase::removeDatabase("lockingProgram");
    }

    void clearedBoxDetachesOnUpdateThenRecalculate() {
        Screen s;
        s.choose(kAccount);
        s.w->Command1_Click();
        s.prompter.messages.clear(); // the run's sells to check
        QVERIFY(s.clearBox(2));
        QTest::mouseClick(s.button("cmdUpdate"), Qt::LeftButton);
        QCOMPARE(s.prompter.messages, QStringList());
        // The lot's link stays as the sell's empty one.
        QCOMPARE(describeLinks(s.t, kAccount, s.ids),
                 (QStringList{"2>0 50 500", "2>- 0 0", "3>- 0 0"}));
        QCOMPARE(memos(s.t, s.ids).mid(0, 2), (QStringList{"0", "80"}));
        QCOMPARE(s.column(MatchGridCol::Linked), (QStringList{"1", kAddCaption}));
        QVERIFY(!s.button("cmdUpdate")->isEnabled());
        QCOMPARE(s.status(), QString("1 lot detached"));

        QTest::mouseClick(s.button("Command3"), Qt::LeftButton);
        QCOMPARE(s.prompter.messages,
                 QStringList{QString("Save/Recalculate of %1 wrote 2 tax records to %2.")
                                 .arg(kAccount, s.t.path())});
        QCOMPARE(s.status(), QString("2 tax records written"));
    }

    // A sell's symbol and its Add button open the buy selection; other
    // cells open nothing. "Update" comes with a click on a sell's symbol,
    // "Save/Recalculate" with buys linked on the buy selection screen.
    void clicksOnTheGrid_data() {
        QTest::addColumn<int>("row"); // 0: the heading
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("sell");        // -1: nothing opens
        QTest::addColumn<int>("linked");      // as the buy selection says
        QTest::addColumn<QString>("buttons"); // Update, Save/Recalculate enabled
        QTest::addColumn<QString>("status");
        const int symbol = MatchGridCol::Symbol;
        const int box = MatchGridCol::Linked;
        const QString ran = QStringLiteral("2 tax records written");
        QTest::newRow("sell symbol") << 1 << symbol << 2 << 0 << "yes no" << ran;
        QTest::newRow("add button, a buy linked") << 3 << box << 3 << 1 << "no yes"
                                                  << "1 buy linked";
        QTest::newRow("add button, none linked") << 3 << box << 3 << 0 << "no no" << ran;
        QTest::newRow("heading of symbol") << 0 << symbol << -1 << 0 << "no no" << ran;
        QTest::newRow("lot box") << 2 << box << -1 << 0 << "no no" << ran;
    }
    void clicksOnTheGrid() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, sell);
        QFETCH(int, linked);
        QFETCH(QString, buttons);
        QFETCH(QString, status);
        Screen s;
        s.linkedWhileOpen = linked;
        s.choose(kAccount);
        s.w->Command1_Click();
        const QStringList symbols = s.column(MatchGridCol::Symbol);
        // What the buy selection writes shows when it closes.
        s.whileOpen = [&] {
            runQuery(s.t.connection(), "DELETE FROM SellLinks WHERE SellId = ?", {s.ids[3]});
            runQuery(s.t.connection(),
                     "INSERT INTO SellLinks (AccountName, SellId, BuyId, BuyQuantity, BuyPrice, "
                     "Memo) VALUES (?, ?, ?, 5, 50, ' ')",
                     {kAccount, s.ids[3], s.ids[4]});
        };
        if (row == 0)
            s.clickHeading(col);
        else if (sell >= 0)
            s.clickCell(col, row);
        else
            s.w->vaSpread1_Click(col, row); // a real click would toggle the lot's box
        const auto yes = [&](const char* name) {
            return s.button(name)->isEnabled() ? "yes" : "no";
        };
        QCOMPARE(QStringLiteral("%1 %2").arg(yes("cmdUpdate"), yes("Command3")), buttons);
        QCOMPARE(s.status(), status);
        QCOMPARE(s.column(MatchGridCol::Symbol), symbols);
        if (sell < 0) {
            QVERIFY(s.opened.isEmpty());
            return;
        }
        QCOMPARE(s.opened, (QList<QPair<qint64, QString>>{{s.ids[sell], kAccount}}));
        QCOMPARE(s.column(MatchGridCol::Linked), (QStringList{"1", "1", "1"}));
    }

    // The lots' figures are the open lots' table's; the view shows the core's
    // row, totals the price typed and draws the calendar of every account.
    void lotsViewTypesPricesAndDrawsTheCalendar() {
        Screen s;
        for (const QString& account : {kAccount, QString("Zed")}) {
            s.choose(account);
            s.w->Command1_Click();
        }
        frmLots lots(s.t.connection(), s.prompter, {kAccount, "Zed"}, kAccount);
        lots.dtpOn->setDate(QDate(2000, 6, 1));
        QCOMPARE(lots.tblLots->rowCount(), 2);
        QCOMPARE(lots.lblTotals->text(), QString("No prices typed yet"));
        lots.tblLots->item(0, frmLots::priceColumn())->setText("15");
        QTRY_COMPARE(lots.lblTotals->text(),
                     QString("Unrealized short term -300.00, long term 0.00"));
        QStringList first;
        for (int col = 0; col < lots.tblLots->columnCount(); ++col)
            first << lots.tblLots->item(0, col)->text();
        QCOMPARE(first.join(u'|'), kAccount + "|IBM|30|25.00|750.00|12/07/1999|12/08/2000|15.00|"
                                              "-300.00||no wash sale now; buy back not before "
                                              "07/02/2000");
        QCOMPARE(lots.chtLongTerm->monthNames().value(0),
                 QLocale().standaloneMonthName(6, QLocale::ShortFormat) + " '00");
        QCOMPARE(lots.chtLongTerm->bars()->at(6), 450.0);
        lots.cboAccount->setCurrentIndex(0);
        QCOMPARE(lots.tblLots->rowCount(), 3);
        lots.tblLots->item(0, frmLots::priceColumn())->setText("abc");
        QCOMPARE(s.prompter.messages.last(), QString("Not a price: abc"));
    }
};

GAINBOOK_TEST(TestProcessScreen)
#include "test_process_screen.moc"
