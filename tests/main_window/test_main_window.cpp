#include "app/app_context.h"
#include "main_window/account_outline_pane.h"
#include "main_window/frm_main.h"
#include "main_window/main_commands.h"
#include "main_window/record_grid_pane.h"
#include "main_window/tax_view.h"
#include "main_window/txf_commands.h"
#include "main_window/txn_view.h"
#include "platform/outline.h"
#include "platform/sheet_model.h"
#include "platform/spread_grid.h"
#include "store/sql.h"
#include "support/memory_settings.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "txf/txf_texts.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace gainbook;
using gainbook::test::MemorySettings;
using gainbook::test::RecordingPrompter;
using gainbook::test::TestDatabase;

namespace {

int count(const TestDatabase& t, const QString& table) {
    QSqlQuery q = runQuery(t.connection(), QStringLiteral("SELECT COUNT(*) FROM ") + table);
    q.next();
    return q.value(0).toInt();
}

// A main window on a test database, with scripted answers.
struct Window {
    TestDatabase t;
    MemorySettings settings;
    RecordingPrompter prompter;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<frmMain> w;
    QList<int> exits;

    void load() {
        settings.setValue("General", "Database", t.path());
        context = std::make_unique<AppContext>(t.folder(), settings);
        frmMain::Services services;
        services.chooseFile = [] { return DatabaseChoice{}; };
        services.endProgram = [this](int code) { exits << code; };
        w = std::make_unique<frmMain>(*context, prompter, services);
        QVERIFY(w->Form_Load());
        w->show();
    }

    Outline& outline() { return *w->outline().Outline1; }
    RecordGridPane& grid() { return w->grid(); }
    SheetModel& sheet() { return *w->grid().sheet; }

    QStringList outlineTexts() {
        QStringList texts;
        for (int i = 0; i < outline().listCount(); ++i)
            texts << QString::number(outline().itemLevel(i)) + outline().itemText(i);
        return texts;
    }

    void select(const QString& text) {
        for (int i = 0; i < outline().listCount(); ++i) {
            if (outline().itemText(i) == text) {
                outline().setListIndex(i);
                emit outline().listClicked(i);
                return;
            }
        }
        QFAIL(qPrintable("no outline item " + text));
    }

    // Types into a cell through the model, as the grid's editor does.
    void type(int row, int col, const QString& text) {
        sheet().setData(sheet().index(row - 1, col - 1), text);
    }

    void clickHeading(int col) {
        QHeaderView* header = w->grid().grdFormlist->horizontalHeader();
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

void fillTwoAccounts(TestDatabase& t) {
    t.addTxn("Acme", "Jan", "IBM", 10, kBought, QDate(2000, 1, 3), 1000);
    t.addTxn("Acme", "Jan", "IBM", 10, kSold, QDate(2000, 1, 20), 1200);
    t.addTxn("Acme", "Feb", "MSFT", 5, kBought, QDate(2000, 2, 3), 500);
    t.addTxn("Zed", "All", "T", 1, kBought, QDate(2000, 3, 1), 40);
    t.addTax("Acme", "IBM", 10, QDate(2000, 1, 3), QDate(2000, 1, 20), 1000, 1200);
    t.addTax("Acme", "AOL", 5, QDate(1999, 5, 1), QDate(2000, 12, 31), 900, 600);
    t.addTax("Acme", "T", 1, QDate(1999, 5, 1), QDate(2001, 1, 1), 1, 99);
    t.addTax("Acme", "T", 1, QDate(1999, 5, 1), QDate(1999, 12, 31), 1, 99);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void controlsAndCaptions() {
        Window m;
        m.load();
        QCOMPARE(m.w->windowTitle(), QString("Your Account at a Glance"));
        QCOMPARE(m.w->Frame1->title(), QString("Display"));
        QVERIFY(m.w->Option1->isChecked());
        QCOMPARE(m.w->cmdNew->text(), QString("New Record"));
        QVERIFY(!m.w->cmdAdd->isEnabled());
        QCOMPARE(m.w->Status->text(), QString("Ready"));
        QVERIFY(m.w->grid().Frame2->isHidden());
        MainCommands& c = m.w->commands();
        QCOMPARE(c.Command1->text(), QString("&Exit"));
        // Screens that do not exist yet are offered disabled.
        QVERIFY(!c.Command2->isEnabled());
        QVERIFY(!c.Command3->isEnabled());
        QVERIFY(!c.mnuCapture->isEnabled());
        QVERIFY(c.mnImport->isEnabled());
        QVERIFY(c.mnuExport->isEnabled());
        QCOMPARE(c.mnuExport->text(), QString("E&xport in Tax Format"));
        QCOMPARE(c.mnuHelpwebIndex->text(), QString("Help Index (on Web with updates)"));
    }

    void statusLineShowsTheHintOfTheControlUnderThePointer_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("hint");
        QTest::newRow("exit") << "Command1"
                              << "Click to Exit System. All data is already saved";
        QTest::newRow("capture") << "Command2"
                                 << "Click to Capture more Data";
        QTest::newRow("tax") << "optTax"
                             << "Click to see, Tax record for selected Account Only";
        QTest::newRow("outline")
            << "Outline1"
            << "Click to Expand, Collapse and Select. To delete press Delete key";
        QTest::newRow("grid") << "grdFormlist"
                              << "Click on Header row to sort in proper order";
        QTest::newRow("status") << "Status"
                                << "Why do you want to Click poor me";
    }
    void statusLineShowsTheHintOfTheControlUnderThePointer() {
        QFETCH(QString, control);
        QFETCH(QString, hint);
        Window m;
        m.load();
        auto* widget = m.w->findChild<QWidget*>(control);
        QVERIFY(widget);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(widget, &enter);
        QCOMPARE(m.w->Status->text(), hint);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(widget, &leave);
        QCOMPARE(m.w->Status->text(), QString());
    }

    void activationRebuildsTheOutlineAndClearsTheGrid() {
        Window m;
        fillTwoAccounts(m.t);
        m.load();
        QCOMPARE(m.outlineTexts(), QStringList({"1Acme", "2Jan", "2Feb", "1Zed", "2All"}));
        m.select("Acme");
        QCOMPARE(m.sheet().rows(), 3);

        m.t.addTxn("Bolt", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1);
        m.t.addTxn("Acme", "Feb", "Y", 1, kBought, QDate(2000, 3, 1), 1);
        m.w->Form_Activate();
        QCOMPARE(m.outlineTexts(),
                 QStringList({"1Acme", "2Jan", "2Feb", "1Bolt", "2Mar", "1Zed", "2All"}));
        // The selected item shows what the other screen wrote.
        QCOMPARE(m.outline().listIndex(), 0);
        QCOMPARE(m.sheet().rows(), 4);

        // A selected month that another screen removed leaves an empty grid.
        m.select("Mar");
        QCOMPARE(m.sheet().rows(), 1);
        runQuery(m.t.connection(), "DELETE FROM Txn WHERE AccountName = 'Bolt'");
        m.w->Form_Activate();
        QCOMPARE(m.outline().listIndex(), -1);
        QCOMPARE(m.sheet().rows(), 0);
        m.t.addTxn("Bolt", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1);
        m.w->Form_Activate();

        // Unsaved edits are not thrown away behind the user's back.
        m.select("Acme");
        m.type(1, TxnGridCol::Symbol, "CHANGED");
        m.t.addTxn("Cole", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1);
        m.w->Form_Activate();
        QCOMPARE(m.sheet().rows(), 4);
        QCOMPARE(m.sheet().text(1, TxnGridCol::Symbol), QString("CHANGED"));
        QCOMPARE(m.outline().listCount(), 7);
    }

    void anotherScreenInFrontMeansFreshDataOnReturn() {
        Window m;
        fillTwoAccounts(m.t);
        m.load();
        QVERIFY(QTest::qWaitForWindowActive(m.w.get()));
        QWidget other;
        other.setWindowTitle("Processing Record");
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        m.t.addTxn("Bolt", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1);
        m.w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m.w.get()));
        QTRY_COMPARE(m.outline().listCount(), 7);
    }

    void selectingAnItemWithAndWithoutUnsavedEdits() {
        Window m;
        fillTwoAccounts(m.t);
        m.load();
        m.select("Acme");
        QCOMPARE(m.column(TxnGridCol::Symbol), QStringList({"IBM", "IBM", "MSFT"}));
        QVERIFY(m.outline().isItemExpanded(0));
        QVERIFY(m.prompter.questions.isEmpty());

        m.type(1, TxnGridCol::Quantity, "12");
        QVERIFY(m.w->cmdAdd->isEnabled());
        m.select("Feb"); // answered No
        QCOMPARE(m.prompter.questions, QStringList{"Are you sure you want to ignore changes?"});
        QCOMPARE(m.sheet().rows(), 3);
        QCOMPARE(m.sheet().text(1, TxnGridCol::Quantity), QString("12"));
        QVERIFY(m.w->cmdAdd->isEnabled());
        QCOMPARE(m.outline().listIndex(), 0); // back on the item being edited

        m.prompter.answers.enqueue(true);
        m.select("Feb");
        QCOMPARE(m.column(TxnGridCol::Symbol), QStringList({"MSFT"}));
        QVERIFY(!m.w->cmdAdd->isEnabled());

        // A second click on the account folds its months away again.
        m.select("Acme");
        QVERIFY(!m.outline().isItemExpanded(0));
    }

    void realClickOnAnOutlineItemFillsTheGrid() {
        Window m;
        fillTwoAccounts(m.t);
        m.load();
        Outline& o = m.outline();
        const QRect rect = o.visualItemRect(o.topLevelItem(1));
        QTest::mouseClick(o.viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(o.listIndex(), 3);
        QCOMPARE(m.column(TxnGridCol::Symbol), QStringList({"T"}));
    }

    void deleteKeyOnOutlineItems_data() {
        QTest::addColumn<bool>("tax");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("txnsLeft");
        QTest::addColumn<int>("taxLeft");
        QTest::addColumn<QStringList>("outlineAfter");
        QTest::newRow("transactions, account")
            << false << "Acme"
            << "Are you sure you want to delete Transaction Records for Acme?" << 1 << 4
            << QStringList({"1Zed", "2All", "1Acme"});
        QTest::newRow("transactions, month")
            << false << "Jan"
            << "Are you sure you want to delete Transaction Records for Jan?" << 2 << 4
            << QStringList({"1Acme", "2Feb", "1Zed", "2All"});
        QTest::newRow("tax, account")
            << true << "Acme"
            << "Are you sure you want to delete Tax Records for Acme?" << 4 << 0
            << QStringList({"1Acme", "2Jan", "2Feb", "1Zed", "2All"});
        QTest::newRow("tax, month") << true << "Feb"
                                    << "Are you sure you want to delete Tax Records for Feb?" << 4
                                    << 0 << QStringList({"1Acme", "2Jan", "2Feb", "1Zed", "2All"});
    }
    void deleteKeyOnOutlineItems() {
        QFETCH(bool, tax);
        QFETCH(QString, item);
        QFETCH(QString, question);
        QFETCH(int, txnsLeft);
        QFETCH(int, taxLeft);
        QFETCH(QStringList, outlineAfter);
        Window m;
        fillTwoAccounts(m.t);
        m.load();
        if (tax)
            QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        m.select(item);
        m.prompter.messages.clear();

        // No deletes nothing.
        QTest::keyClick(&m.outline(), Qt::Key_Delete);
        QCOMPARE(m.prompter.questions.last(), question);
        QCOMPARE(count(m.t, "Txn"), 4);
        QCOMPARE(count(m.t, "TaxRec"), 4);

        m.prompter.answers.enqueue(true);
        QTest::keyClick(&m.outline(), Qt::Key_Delete);
        QCOMPARE(count(m.t, "Txn"), txnsLeft);
        QCOMPARE(count(m.t, "TaxRec"), taxLeft);
        QCOMPARE(m.outlineTexts(), outlineAfter);
        QCOMPARE(m.sheet().rows(), 0);
    }

    void viewSwitch() {
        Window m;
        fillTwoAccounts(m.t);
        m.load();
        m.select("Acme");
        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        QCOMPARE(m.grid().view(), RecordView::Tax);
        QVERIFY(!m.w->grid().Frame2->isHidden());
        QCOMPARE(m.sheet().columns(), 9);
        QCOMPARE(m.column(TaxGridCol::Symbol), QStringList({"AOL", "IBM"}));

        // With unsaved edits, No keeps the edits and the view they belong to.
        m.type(1, TaxGridCol::Comment, "note");
        QTest::mouseClick(m.w->Option1, Qt::LeftButton);
        QCOMPARE(m.prompter.questions.last(), QString("Are you sure you want to ignore changes?"));
        QCOMPARE(m.grid().view(), RecordView::Tax);
        QVERIFY(m.w->optTax->isChecked());
        QCOMPARE(m.sheet().text(1, TaxGridCol::Comment), QString("note"));

        m.prompter.answers.enqueue(true);
        QTest::mouseClick(m.w->Option1, Qt::LeftButton);
        QCOMPARE(m.grid().view(), RecordView::Transactions);
        QVERIFY(m.w->grid().Frame2->isHidden());
        QCOMPARE(m.sheet().columns(), 8);
        QCOMPARE(m.sheet().rows(), 3);
    }

    void taxViewTotals() {
        Window m;
        fillTwoAccounts(m.t);
        m.t.addTax("Empty", "X", 1, QDate(1999, 1, 1), QDate(1999, 2, 1), 1, 2);
        m.load();
        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        m.select("Acme");
        // Only the sales of 2000 count; a loss lowers the gain.
        QCOMPARE(m.grid().Label1->text(), QString("Total Records 2"));
        QCOMPARE(m.grid().Label2->text(), QString("Total Proceed 1,800.00"));
        QCOMPARE(m.grid().Label3->text(), QString("Total Gain/Loss -100.00"));
        QCOMPARE(m.column(TaxGridCol::Gain), QStringList({"-300.00", "200.00"}));

        m.select("Empty");
        QCOMPARE(m.sheet().rows(), 0);
        QCOMPARE(m.grid().Label1->text(), QString("Total Records 0"));
        QCOMPARE(m.grid().Label3->text(), QString("Total Gain/Loss .00"));

        m.select("Acme");
        m.select("Jan");
        QCOMPARE(m.prompter.messages.last(), QString("Tax record can not be displayed monthwise"));
        QCOMPARE(m.sheet().rows(), 0);
    }

    void headingClicksSortAndReverse() {
        Window m;
        fillTwoAccounts(m.t);
        m.t.addTax("Acme", "CSCO", 1, QDate(2000, 1, 3), QDate(2000, 3, 20), 5000, 5100);
        m.load();
        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        m.select("Acme");
        QCOMPARE(m.column(TaxGridCol::Symbol), QStringList({"AOL", "CSCO", "IBM"}));
        m.clickHeading(TaxGridCol::Cost);
        QCOMPARE(m.column(TaxGridCol::Cost), QStringList({"900.00", "1,000.00", "5,000.00"}));
        m.clickHeading(TaxGridCol::Cost);
        QCOMPARE(m.column(TaxGridCol::Cost), QStringList({"5,000.00", "1,000.00", "900.00"}));
        m.clickHeading(TaxGridCol::Symbol);
        QCOMPARE(m.column(TaxGridCol::Symbol), QStringList({"AOL", "CSCO", "IBM"}));
        // Whole rows move, the hidden ID with them.
        const QStringList ids = m.column(TaxGridCol::ID);
        m.clickHeading(TaxGridCol::Symbol);
        QCOMPARE(m.column(TaxGridCol::ID), QStringList({ids[2], ids[1], ids[0]}));
    }

    void newRecordTwiceThenSave() {
        Window m;
        fillTwoAccounts(m.t);
        m.load();
        m.select("Feb");
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        QCOMPARE(m.sheet().rows(), 3);
        QVERIFY(m.w->cmdAdd->isEnabled());
        QCOMPARE(m.grid().grdFormlist->currentRow(), 1);
        QCOMPARE(m.sheet().text(1, TxnGridCol::Month), QString("Feb"));

        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton);
        QCOMPARE(count(m.t, "Txn"), 4);
        QVERIFY(!m.w->cmdAdd->isEnabled());

        m.type(1, TxnGridCol::Symbol, "aapl");
        m.type(2, TxnGridCol::Symbol, "dell");
        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton);
        QCOMPARE(count(m.t, "Txn"), 6);
        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton); // nothing left to write
        QCOMPARE(count(m.t, "Txn"), 6);
        QVERIFY(m.sheet().text(1, TxnGridCol::ID) != "9999");

        // An empty month item: the new row takes its month from the item.
        m.prompter.answers.enqueue(true);
        m.t.addTxn("Bolt", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1);
        m.w->Form_Activate();
        m.select("Zed");
        m.select("All");
        runQuery(m.t.connection(), "DELETE FROM Txn WHERE AccountName = 'Zed'");
        QTest::mouseClick(m.w->Command4, Qt::LeftButton); // Clear refills: now empty
        QCOMPARE(m.sheet().rows(), 0);
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        QCOMPARE(m.sheet().text(1, TxnGridCol::Month), QString("All"));
    }

    void newRecordNeedsAnAccount() {
        Window m;
        fillTwoAccounts(m.t);
        m.load();
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        QCOMPARE(m.sheet().rows(), 0);
        QVERIFY(!m.w->cmdAdd->isEnabled());
        QCOMPARE(m.w->Status->text(), QString("Select an account in the outline first"));
    }

    void saveWithOneFaultyAndOneGoodRow() {
        Window m;
        fillTwoAccounts(m.t);
        m.load();
        m.select("Zed");
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        m.type(1, TxnGridCol::Quantity, "5");
        m.type(2, TxnGridCol::Symbol, "ok");
        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton);
        QCOMPARE(m.w->Status->text(), QString("Check Highlighted row for Error"));
        QCOMPARE(m.sheet().textColor(1), 0xFFFF0000u);
        QCOMPARE(count(m.t, "Txn"), 5);
        QVERIFY(!m.w->cmdAdd->isEnabled());

        m.type(1, TxnGridCol::TxnDate, "not a date");
        QCOMPARE(m.w->Status->text(), QString("Not a valid date"));
        QVERIFY(m.w->cmdAdd->isEnabled());
    }

    void deleteKeyOnGridRows() {
        Window m;
        fillTwoAccounts(m.t);
        m.load();
        m.select("Acme");
        SpreadGrid* grid = m.grid().grdFormlist;
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        QCOMPARE(m.sheet().rows(), 4);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(m.sheet().rows(), 3);
        QVERIFY(m.prompter.questions.isEmpty());

        grid->setCurrentCell(2, 3);
        m.prompter.answers.enqueue(true);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(m.prompter.questions, QStringList{"Are you sure you want to delete the 3 row?"});
        QCOMPARE(m.sheet().rows(), 2);
        QCOMPARE(count(m.t, "Txn"), 3);
        QCOMPARE(m.column(TxnGridCol::Symbol), QStringList({"IBM", "IBM"}));
    }

    void exitButtonAndMenuEndTheProgram() {
        Window m;
        m.load();
        QTest::mouseClick(m.w->commands().Command1, Qt::LeftButton);
        QCOMPARE(m.exits, QList<int>{0});
        m.w->show();
        m.w->commands().mnExit->trigger();
        QCOMPARE(m.exits, QList<int>({0, 0}));
    }

    void captureOpensByItselfOnceOnAnEmptyDatabase() {
        Window m;
        m.settings.setValue("General", "Database", m.t.path());
        m.context = std::make_unique<AppContext>(m.t.folder(), m.settings);
        m.w = std::make_unique<frmMain>(*m.context, m.prompter, frmMain::Services{});
        int opened = 0;
        m.w->commands().setCaptureScreen([&] { ++opened; });
        QVERIFY(m.w->commands().Command2->isEnabled());
        QVERIFY(m.w->Form_Load());
        QCOMPARE(opened, 1);
        m.w->Form_Activate();
        QCOMPARE(opened, 1);
    }

    void txfExportThenImportListsTheNewAccount() {
        Window m;
        fillTwoAccounts(m.t);
        m.load();
        QTemporaryDir dir;
        const QString file = dir.filePath("year.txf");
        QStringList titles;
        m.w->txf().chooseFile = [&](const TxfDialogChoice& choice, bool) {
            titles << choice.title;
            return file;
        };
        m.w->commands().mnuExport->trigger();
        QVERIFY(QFile::exists(file));
        m.w->commands().mnImport->trigger();
        QCOMPARE(titles, QStringList({"Export Tax Data in",
                                      "Import Data in Tax Format from other programs"}));
        QCOMPARE(m.prompter.messages.last(), QString("2 records successfully added."));
        QVERIFY(m.outlineTexts().contains("1Kestrova Gainbook 2.0"));
    }

    void oneHelpWindowAtATime() {
        Window m;
        m.load();
        MainCommands& c = m.w->commands();
        c.mnuIndex_Click();
        QPointer<frmBrowse> help = c.helpWindow();
        QVERIFY(help);
        QVERIFY(help->isUserGuidePage());
        QVERIFY(help->cmdClose->isVisibleTo(help));
        c.mnuHelpwebIndex_Click();
        QCOMPARE(c.helpWindow(), help.data());
        QVERIFY(help->page().endsWith("usrguid.htm"));
        help->close();
        QTRY_VERIFY(!help);

        QString shown;
        c.runModal = [&](frmBrowse* page) {
            shown = page->page();
            QVERIFY(!page->Timer1->isActive());
            delete page;
        };
        c.mnuAbout_Click();
        QVERIFY(shown.endsWith("docs/about.htm"));
        c.mnuDisclaim_Click();
        QVERIFY(shown.endsWith("docs/disclaim.htm"));
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
