#include "app/app_context.h"
#include "matching/frm_process.h"
#include "matching_fixture.h"
#include "platform/sheet_model.h"
#include "platform/spread_grid.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "support/memory_settings.h"
#include "support/recording_prompter.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
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

struct Screen {
    TestDatabase t;
    RecordingPrompter prompter;
    QVector<qint64> ids;
    std::unique_ptr<frmProcess> w;
    QList<QPair<qint64, QString>> opened;
    std::function<void()> whileOpen;

    explicit Screen(const QStringList& rows = kRows) {
        ids = addRows(t, kAccount, rows);
        t.addTxn("Zed", "All", "X", 1, kBought, QDate(2000, 3, 1), -10);
        w = std::make_unique<frmProcess>(t.connection(), prompter);
        w->showBuySelection = [this](qint64 sellId, const QString& account) {
            opened.append({sellId, account});
            if (whileOpen)
                whileOpen();
        };
        w->Form_Load();
        w->show();
    }

    SheetModel& sheet() { return *w->sheet; }

    void choose(const QString& account) {
        const int index = w->Combo1->findText(account);
        QVERIFY(index >= 0);
        w->Combo1->setCurrentIndex(index);
        emit w->Combo1->activated(index);
    }

    void clickCell(int col, int row) {
        SpreadGrid* grid = w->vaSpread1;
        const QRect cell = grid->visualRect(sheet().index(row - 1, col - 1));
        QVERIFY(cell.isValid());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    void clickHeading(int col) {
        QHeaderView* header = w->vaSpread1->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(col - 1) + header->sectionSize(col - 1) / 2, 4));
    }

    QStringList column(int col) {
        QStringList texts;
        for (int row = 1; row <= sheet().rows(); ++row)
            texts << sheet().text(row, col);
        return texts;
    }
};

} // namespace

class TestProcessScreen : public QObject {
    Q_OBJECT

private slots:
    void opensWithAccountsAndButtonsDisabled() {
        Screen s;
        QCOMPARE(s.w->windowTitle(), QString("Processing Record"));
        QCOMPARE(s.w->Command1->text(), QString("Process"));
        QCOMPARE(s.w->cmdUpdate->text(), QString("Update"));
        QCOMPARE(s.w->Command3->text(), QString("Save/Recalculate"));
        QCOMPARE(s.w->Command2->text(), QString("E&xit"));
        QCOMPARE(s.w->Status->text(), QString("Ready"));
        for (QPushButton* b : {s.w->Command1, s.w->cmdUpdate, s.w->Command3})
            QVERIFY(!b->isEnabled());
        QCOMPARE(s.w->Combo1->count(), 2);
        QCOMPARE(s.w->Combo1->itemText(0), kAccount);
        QCOMPARE(s.w->Combo1->currentText(), QString());
        // The grid is laid out with its key columns hidden.
        QCOMPARE(s.sheet().columns(), int(MatchGridCol::Count));
        QCOMPARE(s.sheet().rows(), 0);
        QVERIFY(s.w->vaSpread1->isColumnHidden(MatchGridCol::BuyId - 1));
        QVERIFY(s.w->vaSpread1->isColumnHidden(MatchGridCol::SellID - 1));
    }

    void statusLineShowsHints_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("hint");
        QTest::newRow("process") << "Command1"
                                 << "Click to Process Selected Account Transaction";
        QTest::newRow("update") << "cmdUpdate"
                                << "Click to update Sell and Buy combinations";
        QTest::newRow("exit") << "Command2"
                              << "Click to exit this screen";
        QTest::newRow("grid") << "vaSpread1"
                              << "Deselect link column to detach the Buy record. Click on Sell "
                                 "Symbol to add more buy records";
    }
    void statusLineShowsHints() {
        QFETCH(QString, control);
        QFETCH(QString, hint);
        Screen s;
        auto* widget = s.w->findChild<QWidget*>(control);
        QVERIFY(widget);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(widget, &enter);
        QCOMPARE(s.w->Status->text(), hint);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(widget, &leave);
        QCOMPARE(s.w->Status->text(), QString());
    }

    void processWithoutAccountAsksForOne() {
        Screen s;
        s.w->Command1_Click();
        QCOMPARE(s.prompter.messages, QStringList{"Please select one account"});
        QVERIFY(selectLinksOfAccount(s.t.connection(), kAccount).isEmpty());
    }

    void processShowsTheLinksAndCannotRunTwice() {
        Screen s;
        s.choose(kAccount);
        QVERIFY(s.w->Command1->isEnabled());
        QCOMPARE(s.sheet().rows(), 0);
        QTest::mouseClick(s.w->Command1, Qt::LeftButton);
        QCOMPARE(s.prompter.messages, QStringList());
        QCOMPARE(describeLinks(s.t, kAccount, s.ids),
                 (QStringList{"2>0 50 500", "2>1 50 1000", "3>- 0 0"}));
        // IBM with its two lots, MSFT with its "Add" button.
        QCOMPARE(s.column(MatchGridCol::Symbol), (QStringList{"IBM", "", "MSFT"}));
        QCOMPARE(s.column(MatchGridCol::Linked), (QStringList{"1", "1", kAddCaption}));
        QCOMPARE(s.sheet().kind(3, MatchGridCol::Linked), CellKind::Button);
        QVERIFY(!s.w->Command1->isEnabled());
        QVERIFY(!s.w->isRunning());

        // Choosing the account again keeps it processed; another account
        // without links may be processed.
        s.choose(kAccount);
        QVERIFY(!s.w->Command1->isEnabled());
        s.choose("Zed");
        QVERIFY(s.w->Command1->isEnabled());
        QCOMPARE(s.sheet().rows(), 0);
        s.choose(kAccount);
        QVERIFY(!s.w->Command1->isEnabled());
    }

    void clearedBoxDetachesOnUpdateThenRecalculate() {
        Screen s;
        s.choose(kAccount);
        s.w->Command1_Click();
        // Update comes with a click on a sell's symbol.
        s.clickCell(MatchGridCol::Symbol, 1);
        QVERIFY(s.w->cmdUpdate->isEnabled());
        QVERIFY(!s.w->Command3->isEnabled());

        // The second lot's box, cleared as a click clears it.
        QVERIFY(s.sheet().setData(s.sheet().index(1, MatchGridCol::Linked - 1), Qt::Unchecked,
                                  Qt::CheckStateRole));
        QCOMPARE(describeLinks(s.t, kAccount, s.ids).size(), 3); // nothing yet
        QTest::mouseClick(s.w->cmdUpdate, Qt::LeftButton);
        QCOMPARE(s.prompter.messages, QStringList());
        // The lot's link stays as the sell's empty one.
        QCOMPARE(describeLinks(s.t, kAccount, s.ids),
                 (QStringList{"2>0 50 500", "2>- 0 0", "3>- 0 0"}));
        QCOMPARE(memos(s.t, s.ids).mid(0, 2), (QStringList{"0", "80"}));
        QCOMPARE(s.column(MatchGridCol::Linked), (QStringList{"1", kAddCaption}));
        QVERIFY(!s.w->cmdUpdate->isEnabled());
        QVERIFY(s.w->Command3->isEnabled());

        QTest::mouseClick(s.w->Command3, Qt::LeftButton);
        QCOMPARE(s.prompter.messages, QStringList());
        const QStringList tax = describeTaxRecs(s.t, kAccount);
        QCOMPARE(tax.size(), 2);
        QVERIFY2(tax[0].startsWith("IBM|100|2000-01-03|2000-02-01|500|1500"), qPrintable(tax[0]));
        QCOMPARE(checkInvariants(s.t, kAccount, false), QString());
    }

    void clickOnSymbolOrAddOpensTheBuySelection_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("sell");
        QTest::addColumn<bool>("updateEnabled");
        QTest::newRow("sell symbol") << 1 << int(MatchGridCol::Symbol) << 2 << true;
        QTest::newRow("add button") << 3 << int(MatchGridCol::Linked) << 3 << false;
    }
    void clickOnSymbolOrAddOpensTheBuySelection() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, sell);
        QFETCH(bool, updateEnabled);
        Screen s;
        s.choose(kAccount);
        s.w->Command1_Click();
        // What the buy selection writes shows when it closes.
        s.whileOpen = [&] {
            runQuery(s.t.connection(), "DELETE FROM SellLinks WHERE SellId = ?", {s.ids[3]});
            runQuery(s.t.connection(),
                     "INSERT INTO SellLinks (AccountName, SellId, BuyId, BuyQuantity, BuyPrice, "
                     "Memo) VALUES (?, ?, ?, 5, 50, ' ')",
                     {kAccount, s.ids[3], s.ids[4]});
        };
        s.clickCell(col, row);
        QCOMPARE(s.opened.size(), 1);
        QCOMPARE(s.opened[0].first, s.ids[sell]);
        QCOMPARE(s.opened[0].second, kAccount);
        QCOMPARE(s.w->cmdUpdate->isEnabled(), updateEnabled);
        QCOMPARE(s.column(MatchGridCol::Linked), (QStringList{"1", "1", "1"}));
    }

    void otherClicksOpenNothing_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("heading of symbol") << 0 << int(MatchGridCol::Symbol);
        QTest::newRow("heading of sale price") << 0 << int(MatchGridCol::SalePrice);
        QTest::newRow("lot box") << 2 << int(MatchGridCol::Linked);
        QTest::newRow("buy date") << 1 << int(MatchGridCol::BuyDate);
    }
    void otherClicksOpenNothing() {
        QFETCH(int, row);
        QFETCH(int, col);
        Screen s;
        s.choose(kAccount);
        s.w->Command1_Click();
        const QStringList before = s.column(MatchGridCol::Symbol);
        if (row == 0)
            s.clickHeading(col);
        else
            s.w->vaSpread1_Click(col, row);
        QVERIFY(s.opened.isEmpty());
        QVERIFY(!s.w->cmdUpdate->isEnabled());
        QCOMPARE(s.column(MatchGridCol::Symbol), before); // not sorted
    }

    void comingBackFromAnotherScreenRefillsTheGrid() {
        Screen s;
        s.choose(kAccount);
        s.w->Command1_Click();
        QVERIFY(QTest::qWaitForWindowActive(s.w.get()));
        QVERIFY(s.sheet().setData(s.sheet().index(1, MatchGridCol::Linked - 1), Qt::Unchecked,
                                  Qt::CheckStateRole));

        // A message box of this screen's commands leaves the cleared box.
        QMessageBox box;
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        box.close();
        s.w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.w.get()));
        QCOMPARE(s.sheet().text(2, MatchGridCol::Linked), QString("0"));

        // Another screen may have changed the links: back here, they show.
        runQuery(s.t.connection(), "DELETE FROM SellLinks WHERE SellId = ?", {s.ids[3]});
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        s.w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.w.get()));
        QCOMPARE(s.column(MatchGridCol::Linked), (QStringList{"1", "1"}));
    }

    void processCommandShowsTheOneScreenOnTheSharedHandle() {
        TestDatabase t;
        addRows(t, kAccount, kRows);
        MemorySettings settings;
        AppContext context(t.folder(), settings);
        QVERIFY(context.database().open(t.path()).ok());
        RecordingPrompter prompter;
        QWidget main;
        const std::function<void()> open = processScreenOpener(context, prompter, &main);

        open();
        auto screens = main.findChildren<frmProcess*>();
        QCOMPARE(screens.size(), 1);
        QPointer<frmProcess> first = screens[0];
        QVERIFY(first->isVisible());
        QCOMPARE(first->Combo1->count(), 1);
        // A second "Process" brings the open screen forward.
        open();
        QCOMPARE(main.findChildren<frmProcess*>().size(), 1);
        // Closed, it is gone; the next opening starts afresh.
        first->Command2_Click();
        QTRY_VERIFY(first.isNull());
        open();
        QCOMPARE(main.findChildren<frmProcess*>().size(), 1);
    }

    void exitClosesTheScreen() {
        Screen s;
        QTest::mouseClick(s.w->Command2, Qt::LeftButton);
        QVERIFY(!s.w->isVisible());
    }
};

QTEST_MAIN(TestProcessScreen)
#include "test_process_screen.moc"
