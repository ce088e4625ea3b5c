#include "main_window/screen/account_outline_pane.h"
#include "main_window/screen/database_commands.h"
#include "main_window/screen/frm_account_settings.h"
#include "main_window/screen/frm_corp_actions.h"
#include "main_window/screen/frm_main.h"
#include "main_window/screen/gain_chart.h"
#include "main_window/screen/main_commands.h"
#include "main_window/screen/record_grid_pane.h"
#include "main_window/screen/report_commands.h"
#include "main_window/screen/txf_commands.h"
#include "main_window/tax_view.h"
#include "main_window/txn_view.h"
#include "matching/lot_methods.h"
#include "startup/app_context.h"
#include "store/account_settings_table.h"
#include "store/asset_kind_table.h"
#include "store/corp_action_table.h"
#include "store/lot_method_table.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/txn_table.h"
#include "support/memory_settings.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_main.h"
#include "txf/txf_texts.h"
#include "widgets/outline.h"
#include "widgets/record_table_model.h"
#include "widgets/spread_grid.h"

#include <QAction>
#include <QBarSet>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QValueAxis>
#include <QtTest>

#include <functional>
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

// A main window on a test database (two accounts unless told otherwise),
// with scripted answers.
struct Window {
    TestDatabase t;
    MemorySettings settings;
    RecordingPrompter prompter;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<frmMain> w;
    QList<int> exits;

    // Loaded at once unless the test adds records first.
    explicit Window(bool filled = true, bool loaded = true) {
        if (filled)
            fillTwoAccounts(t);
        if (loaded)
            load();
    }

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
    RecordTableModelBase& model() { return w->grid().model(); }

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
        model().setData(model().index(row - 1, col - 1), text);
    }

    void clickHeading(int col) {
        QHeaderView* header = w->grid().recordGrid()->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(col - 1) + header->sectionSize(col - 1) / 2, 4));
    }

    // Another screen in front while `meanwhile` runs, then this window again.
    void awayAndBack(const std::function<void()>& meanwhile) {
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QWidget other;
        other.setWindowTitle("Processing Record");
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        meanwhile();
        other.close();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }

    QString status() const { return w->Status->text(); }

    QStringList column(int col) {
        QStringList texts;
        for (int row = 1; row <= model().rows(); ++row)
            texts << model().text(row, col);
        return texts;
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

public:
    // The browser engine in its pages needs this before the application object exists.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private slots:
    void activationRebuildsTheOutlineAndClearsTheGrid() {
        Window m;
        QCOMPARE(m.outlineTexts(), QStringList({"1Acme", "2Jan", "2Feb", "1Zed", "2All"}));
        m.select("Acme");
        QCOMPARE(m.model().rows(), 3);

        m.t.addTxn("Bolt", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1);
        m.t.addTxn("Acme", "Feb", "Y", 1, kBought, QDate(2000, 3, 1), 1);
        m.w->Form_Activate();
        QCOMPARE(m.outlineTexts(),
                 QStringList({"1Acme", "2Jan", "2Feb", "1Bolt", "2Mar", "1Zed", "2All"}));
        // The selected item shows what the other screen wrote.
        QCOMPARE(m.outline().listIndex(), 0);
        QCOMPARE(m.model().rows(), 4);

        // A selected month that another screen removed leaves an empty grid.
        m.select("Mar");
        QCOMPARE(m.model().rows(), 1);
        runQuery(m.t.connection(), "DELETE FROM Txn WHERE AccountName = 'Bolt'");
        m.w->Form_Activate();
        QCOMPARE(m.outline().listIndex(), -1);
        QCOMPARE(m.model().rows(), 0);
        m.t.addTxn("Bolt", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1);
        m.w->Form_Activate();

        // Unsaved edits are not thrown away behind the user's back.
        m.select("Acme");
        m.type(1, TxnGridCol::Symbol, "CHANGED");
        m.t.addTxn("Cole", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1);
        m.w->Form_Activate();
        QCOMPARE(m.model().rows(), 4);
        QCOMPARE(m.model().text(1, TxnGridCol::Symbol), QString("CHANGED"));
        QCOMPARE(m.outline().listCount(), 7);
    }

    void anotherScreenInFrontMeansFreshDataOnReturn() {
        Window m;
        m.awayAndBack([&] { m.t.addTxn("Bolt", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1); });
        QTRY_COMPARE(m.outline().listCount(), 7);
    }

    void selectingAnItemWithAndWithoutUnsavedEdits() {
        Window m;
        Outline& o = m.outline();
        QTest::mouseClick(o.viewport(), Qt::LeftButton, {},
                          o.visualItemRect(o.topLevelItem(0)).center());
        QCOMPARE(m.column(TxnGridCol::Symbol), QStringList({"IBM", "IBM", "MSFT"}));
        QCOMPARE(m.column(TxnGridCol::Asset), QStringList({"Security", "Security", "Security"}));
        QVERIFY(o.isItemExpanded(0));
        QVERIFY(m.prompter.questions.isEmpty());

        m.type(1, TxnGridCol::Quantity, "12");
        QVERIFY(m.w->cmdAdd->isEnabled());
        m.select("Feb"); // answered No
        QCOMPARE(m.prompter.questions, QStringList{"Are you sure you want to ignore changes?"});
        QCOMPARE(m.model().rows(), 3);
        QCOMPARE(m.model().text(1, TxnGridCol::Quantity), QString("12"));
        QVERIFY(m.w->cmdAdd->isEnabled());
        QCOMPARE(m.outline().listIndex(), 0); // back on the item being edited

        m.prompter.answers.enqueue(true);
        m.select("Feb");
        QCOMPARE(m.column(TxnGridCol::Symbol), QStringList({"MSFT"}));
        QVERIFY(!m.w->cmdAdd->isEnabled());

        // A second click on the account folds its months away again.
        m.select("Acme");
        QVERIFY(!m.outline().isItemExpanded(0));

        // A double click is one click: its second press does not land on
        // whatever the first one's fold moved under the mouse.
        // As the window system sends one: press, release, double click,
        // release.
        const QPoint onZed = o.visualItemRect(o.topLevelItem(1)).center();
        QTest::mouseClick(o.viewport(), Qt::LeftButton, {}, onZed);
        for (const QEvent::Type type : {QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, onZed, o.viewport()->mapToGlobal(onZed), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(o.viewport(), &event);
        }
        QVERIFY(o.topLevelItem(1)->isExpanded());
        QCOMPARE(o.itemText(o.listIndex()), QString("Zed"));
    }

    // Every way out of the grid asks before unsaved edits are lost: No keeps
    // the window, the edits and Save; Yes goes on without them.
    void leavingWithUnsavedEdits_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("answer");
        for (const char* way : {"Exit", "close", "Capture", "Process", "F5", "Open Database"}) {
            QTest::addRow("%s, No", way) << QString(way) << false;
            QTest::addRow("%s, Yes", way) << QString(way) << true;
        }
    }

    void leavingWithUnsavedEdits() {
        QFETCH(QString, way);
        QFETCH(bool, answer);
        Window m;
        int screensOpened = 0;
        m.w->commands().setCaptureScreen([&] { ++screensOpened; });
        m.w->commands().setProcessScreen([&] { ++screensOpened; });
        m.w->databaseCommands().chooseFile = [&](DatabaseSwitch) {
            ++screensOpened;
            return QString();
        };
        m.select("Acme");
        m.type(1, TxnGridCol::Quantity, "12");
        m.prompter.answers.enqueue(answer);

        if (way == "Exit")
            m.w->commands().Command1->click();
        else if (way == "close")
            m.w->close();
        else if (way == "Capture")
            m.w->commands().Command2->click();
        else if (way == "Process")
            m.w->commands().Command3->click();
        else if (way == "Open Database")
            m.w->databaseCommands().mnuOpenDatabase->trigger();
        else {
            auto* refresh = m.w->findChild<QAction*>("actRefresh");
            QCOMPARE(refresh->shortcut(), QKeySequence(Qt::Key_F5));
            refresh->trigger();
        }

        QCOMPARE(m.prompter.questions, QStringList{"Are you sure you want to ignore changes?"});
        const bool leaving = way == "Exit" || way == "close";
        QCOMPARE(m.exits.size(), leaving && answer ? 1 : 0);
        QCOMPARE(screensOpened, !leaving && way != "F5" && answer ? 1 : 0);
        QCOMPARE(m.w->cmdAdd->isEnabled(), !answer);
        if (!answer)
            QCOMPARE(m.model().text(1, TxnGridCol::Quantity), QString("12"));
    }

    // File > New Database... then Open Database... back: the outline, the
    // title and the remembered file follow; a file that is no database is
    // refused and the one open stays.
    void newAndOpenDatabase() {
        Window m;
        const QStringList accounts = m.outlineTexts();
        QCOMPARE(m.w->windowTitle(),
                 "Your Account at a Glance - " + QFileInfo(m.t.path()).fileName());
        QString answer;
        DatabaseCommands& d = m.w->databaseCommands();
        d.chooseFile = [&](DatabaseSwitch) { return answer; };
        QPointer<QWidget> processing = new QWidget(m.w.get(), Qt::Window);
        processing->setAttribute(Qt::WA_DeleteOnClose);
        processing->show();

        answer = m.t.folder() + "/fresh.db";
        d.mnuNewDatabase->trigger();
        QVERIFY(m.prompter.messages.isEmpty());
        QCOMPARE(m.outline().listCount(), 0);
        QCOMPARE(m.w->windowTitle(), QString("Your Account at a Glance - fresh.db"));
        QCOMPARE(m.settings.values.value("General/Database"), m.context->database().path());
        QVERIFY(m.status().endsWith(QDir::toNativeSeparators(answer)));
        QVERIFY(!processing); // it held the old file

        answer = m.t.path();
        d.mnuOpenDatabase->trigger();
        QCOMPARE(m.outlineTexts(), accounts);
        QCOMPARE(m.context->database().path(), m.t.path());

        answer = m.t.folder() + "/notes.db";
        QFile junk(answer);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("no database here, only some text that is long enough\n");
        junk.close();
        d.mnuOpenDatabase->trigger();
        QCOMPARE(m.prompter.messages.size(), 1);
        QVERIFY2(m.prompter.messages[0].contains("is not a Gainbook database"),
                 qPrintable(m.prompter.messages[0]));
        QCOMPARE(m.context->database().path(), m.t.path());
        QCOMPARE(m.settings.values.value("General/Database"), m.t.path());
        m.w->Form_Activate();
        QCOMPARE(m.outlineTexts(), accounts);
    }

    // The questions' texts are checked with the delete lists themselves.
    void deleteKeyOnOutlineItems_data() {
        QTest::addColumn<bool>("tax");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("txnsLeft");
        QTest::addColumn<int>("taxLeft");
        QTest::addColumn<QStringList>("outlineAfter");
        // What goes, counted, so that a click that landed on the wrong item
        // is seen before Yes.
        QTest::addColumn<QString>("told");
        const QStringList all{"1Acme", "2Jan", "2Feb", "1Zed", "2All"};
        QTest::newRow("transactions, account")
            << false << "Acme" << 1 << 4 << QStringList({"1Zed", "2All", "1Acme"})
            << "Acme? This deletes the 3 transactions of Acme.";
        QTest::newRow("transactions, month")
            << false << "Jan" << 2 << 4 << QStringList({"1Acme", "2Feb", "1Zed", "2All"})
            << "Jan? This deletes the 2 transactions of Acme in Jan.";
        QTest::newRow("tax, account") << true << "Acme" << 4 << 0 << all
                                      << "Acme? This deletes the 4 tax records (all years) and 0 "
                                         "links of Acme.";
        QTest::newRow("tax, month") << true << "Feb" << 4 << 0 << all
                                    << "Feb? This deletes the 4 tax records (all years) and 0 "
                                       "links of Acme.";
    }
    void deleteKeyOnOutlineItems() {
        QFETCH(bool, tax);
        QFETCH(QString, item);
        QFETCH(int, txnsLeft);
        QFETCH(int, taxLeft);
        QFETCH(QStringList, outlineAfter);
        QFETCH(QString, told);
        Window m;
        if (tax)
            QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        m.select(item);

        // No deletes nothing.
        QTest::keyClick(&m.outline(), Qt::Key_Delete);
        QVERIFY2(m.prompter.questions.last().endsWith(" Records for " + told),
                 qPrintable(m.prompter.questions.last()));
        QCOMPARE(count(m.t, "Txn"), 4);
        QCOMPARE(count(m.t, "TaxRec"), 4);

        m.prompter.answers.enqueue(true);
        QTest::keyClick(&m.outline(), Qt::Key_Delete);
        QCOMPARE(count(m.t, "Txn"), txnsLeft);
        QCOMPARE(count(m.t, "TaxRec"), taxLeft);
        QCOMPARE(m.outlineTexts(), outlineAfter);
        QCOMPARE(m.model().rows(), 0);
    }

    void viewSwitch() {
        Window m;
        m.select("Acme");
        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        QCOMPARE(m.grid().view(), RecordView::Tax);
        QVERIFY(!m.w->grid().totalsFrame()->isHidden());
        QCOMPARE(m.column(TaxGridCol::Symbol), QStringList({"AOL", "IBM"}));

        // With unsaved edits, No keeps the edits and the view they belong to.
        m.type(1, TaxGridCol::Comment, "note");
        QTest::mouseClick(m.w->Option1, Qt::LeftButton);
        QCOMPARE(m.prompter.questions.last(), QString("Are you sure you want to ignore changes?"));
        QCOMPARE(m.grid().view(), RecordView::Tax);
        QVERIFY(m.w->optTax->isChecked());
        QCOMPARE(m.model().text(1, TaxGridCol::Comment), QString("note"));

        m.prompter.answers.enqueue(true);
        QTest::mouseClick(m.w->Option1, Qt::LeftButton);
        QCOMPARE(m.grid().view(), RecordView::Transactions);
        QVERIFY(m.w->grid().totalsFrame()->isHidden());
        QCOMPARE(m.column(TxnGridCol::Symbol), QStringList({"IBM", "IBM", "MSFT"}));
    }

    // The year selector lists the years with sells and the current one; a
    // choice refills the view and is remembered.
    void yearSelectorChoosesTheTaxYear() {
        Window m;
        QStringList years;
        for (int i = 0; i < m.w->cboYear->count(); ++i)
            years << m.w->cboYear->itemText(i);
        const QString now = QString::number(QDate::currentDate().year());
        QCOMPARE(years, (QStringList{"1999", "2000", "2001", now}));
        QCOMPARE(m.w->cboYear->currentText(), QString("2000"));

        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        m.select("Acme");
        QCOMPARE(m.column(TaxGridCol::Symbol), QStringList({"AOL", "IBM"}));
        m.w->cboYear->setCurrentIndex(2);
        emit m.w->cboYear->activated(2);
        QCOMPARE(m.column(TaxGridCol::Symbol), QStringList({"T"}));
        QCOMPARE(m.grid().recordsTotal()->text(), QString("Total Records 1"));
        QCOMPARE(m.settings.value("Options", "TaxYear", {}), QString("2001"));
    }

    void taxViewTotals() {
        Window m;
        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        m.select("Acme");
        // Only the sales of 2000 count; a loss lowers the gain.
        QCOMPARE(m.grid().recordsTotal()->text(), QString("Total Records 2"));
        QCOMPARE(m.grid().proceedsTotal()->text(), QString("Total Proceed 1,800.00"));
        QCOMPARE(m.grid().gainTotal()->text(), QString("Total Gain/Loss -100.00"));
        QCOMPARE(m.column(TaxGridCol::Gain), QStringList({"-300.00", "200.00"}));

        // The chart shows the view's records (the monthly sums are the
        // report's tables'), its figures adding up to the total below.
        const QList<QBarSet*> bars = m.grid().gainChart()->barSets();
        QCOMPARE(bars.size(), 2);
        QCOMPARE(bars[1]->at(11), -300.0);
        QCOMPARE(m.grid().gainChart()->shortFigure()->text(), QString("Short term: 200.00"));
        QCOMPARE(m.grid().gainChart()->longFigure()->text(), QString("Long term: -300.00"));
        QVERIFY(m.grid().gainChart()->totalFigure()->text().contains("Total: -100.00"));
        QVERIFY(m.grid().processAgain()->isHidden());

        // A tax-advantaged account's rows are noted and count in no figure
        // of Form 8949; the accounts to process again are named.
        setWashSettings(m.t.connection(), "Acme", {true, true, true});
        markRematch(m.t.connection(), "Zed");
        m.select("Acme");
        QCOMPARE(m.model().rows(), 2);
        QCOMPARE(m.grid().recordsTotal()->text(),
                 QString("Total Records 0   2 records tax-advantaged: not reported"));
        QCOMPARE(m.grid().gainTotal()->text(), QString("Total Gain/Loss .00"));
        QCOMPARE(m.model().rowNote(1), QString("tax-advantaged: not reported"));
        for (QBarSet* bar : m.grid().gainChart()->barSets())
            QCOMPARE(bar->sum(), 0.0);
        // With nothing to draw the axis counts whole steps from 0.
        const auto* view = m.grid().gainChart()->findChild<QChartView*>("gainChartView");
        const auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).value(0));
        QVERIFY(axis);
        QCOMPARE(axis->min(), 0.0);
        QCOMPARE(axis->max(), 100.0);
        QVERIFY(!m.grid().processAgain()->isHidden());
        QCOMPARE(m.grid().processAgain()->text(),
                 QString("Accounts to process again before filing: Zed"));

        m.select("Acme");
        m.select("Jan");
        QCOMPARE(m.prompter.messages.last(), QString("Tax record can not be displayed monthwise"));
        QCOMPARE(m.model().rows(), 0);
    }

    // The message about a month in the tax view answers the user's choice;
    // coming back from another screen refills the grid without repeating it.
    void monthwiseMessageComesOnlyWithTheChoice() {
        Window m;
        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        m.select("Acme");
        m.select("Jan");
        const QString monthwise = QStringLiteral("Tax record can not be displayed monthwise");
        QCOMPARE(m.prompter.messages.count(monthwise), 1);
        m.awayAndBack([&] { m.t.addTxn("Bolt", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1); });
        QTRY_COMPARE(m.outline().listCount(), 7); // the window was refreshed
        QCOMPARE(m.prompter.messages.count(monthwise), 1);
        QCOMPARE(m.outline().listIndex(), 1); // "Jan" stays chosen
        QCOMPARE(m.model().rows(), 0);
    }

    void headingClicksSortAndReverse() {
        Window m(true, false);
        m.t.addTax("Acme", "CSCO", 1, QDate(2000, 1, 3), QDate(2000, 3, 20), 5000, 5100);
        m.load();
        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        m.select("Acme");
        const QStringList ids = m.column(TaxGridCol::ID);
        m.clickHeading(TaxGridCol::Cost);
        QCOMPARE(m.column(TaxGridCol::Cost), QStringList({"900.00", "1,000.00", "5,000.00"}));
        m.clickHeading(TaxGridCol::Cost);
        QCOMPARE(m.column(TaxGridCol::Cost), QStringList({"5,000.00", "1,000.00", "900.00"}));
        // Whole rows move, the hidden ID with them.
        QCOMPARE(m.column(TaxGridCol::Symbol), QStringList({"CSCO", "IBM", "AOL"}));
        QCOMPARE(m.column(TaxGridCol::ID), QStringList({ids[1], ids[2], ids[0]}));
    }

    void newRecordTwiceThenSave() {
        Window m;
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton); // no account chosen yet
        QCOMPARE(m.model().rows(), 0);
        QCOMPARE(m.status(), QString("Select an account in the outline first"));

        m.select("Feb");
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        QCOMPARE(m.model().rows(), 3);
        QVERIFY(m.w->cmdAdd->isEnabled());
        QCOMPARE(m.grid().recordGrid()->currentRow(), 1);
        QCOMPARE(m.model().text(1, TxnGridCol::Month), QString("Feb"));

        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton);
        QCOMPARE(count(m.t, "Txn"), 4);
        QVERIFY(!m.w->cmdAdd->isEnabled());

        m.type(1, TxnGridCol::Symbol, "aapl");
        m.type(2, TxnGridCol::Symbol, "dell");
        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton);
        QCOMPARE(count(m.t, "Txn"), 6);
        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton); // nothing left to write
        QCOMPARE(count(m.t, "Txn"), 6);
        QVERIFY(!m.model().state(1).isNew && !m.model().state(2).isNew);

        // An empty month item: the new row takes its month from the item.
        m.prompter.answers.enqueue(true);
        m.t.addTxn("Bolt", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1);
        m.w->Form_Activate();
        m.select("Zed");
        m.select("All");
        runQuery(m.t.connection(), "DELETE FROM Txn WHERE AccountName = 'Zed'");
        QTest::mouseClick(m.w->Command4, Qt::LeftButton); // Clear refills: now empty
        QCOMPARE(m.model().rows(), 0);
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        QCOMPARE(m.model().text(1, TxnGridCol::Month), QString("All"));
    }

    void saveWithOneFaultyAndOneGoodRow() {
        Window m;
        m.select("Zed");
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        m.type(1, TxnGridCol::Quantity, "5");
        m.type(2, TxnGridCol::Symbol, "ok");
        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton);
        QCOMPARE(m.status(), QString("Check Highlighted row for Error"));
        QCOMPARE(m.model().textColor(1), 0xFFFF0000u);
        QCOMPARE(count(m.t, "Txn"), 5);
        QVERIFY(!m.w->cmdAdd->isEnabled());

        m.type(1, TxnGridCol::TxnDate, "not a date");
        QCOMPARE(m.status(), QString("Not a valid date"));
        QVERIFY(m.w->cmdAdd->isEnabled());
    }

    // The tax view shows each record's box after the gain as a drop-down of
    // the six letters; a typed letter other than A-F is refused like a bad
    // date and not saved, a chosen letter is.
    void boxColumnInTheTaxView() {
        Window m;
        m.select("Acme");
        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        QCOMPARE(m.column(TaxGridCol::Symbol), QStringList({"AOL", "IBM"}));
        QCOMPARE(m.column(TaxGridCol::Box), QStringList({"D", "A"}));
        const QModelIndex box = m.model().index(0, TaxGridCol::Box - 1);
        QCOMPARE(box.data(GridRole::Kind).toInt(), int(CellKind::DropDown));
        QCOMPARE(box.data(GridRole::Choices).toStringList(),
                 QStringList({"A", "B", "C", "D", "E", "F"}));

        const qint64 id = m.model().text(1, TaxGridCol::ID).toLongLong();
        m.type(1, TaxGridCol::Box, "G");
        QCOMPARE(m.status(), QString("Not a valid box: G"));
        QCOMPARE(m.model().textColor(1), kErrorTextColor);
        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton);
        QCOMPARE(boxLetter(selectTaxRecById(m.t.connection(), id)->box), QString("D"));

        m.type(1, TaxGridCol::Box, "E");
        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton);
        QCOMPARE(boxLetter(selectTaxRecById(m.t.connection(), id)->box), QString("E"));
        QCOMPARE(m.model().text(1, TaxGridCol::Box), QString("E"));
    }

    // File > Account Settings... opens on the account selected in the
    // outline with its stored setting; OK keeps the choice in the database
    // for that account only, Cancel keeps nothing.
    void accountSettingsDialog() {
        Window m;
        m.select("Zed");
        QVERIFY(m.w->commands().mnuAccountSettings->isEnabled());
        int shown = 0;
        m.w->runAccountSettings = [&](frmAccountSettings& dialog) {
            ++shown;
            QCOMPARE(dialog.cboAccount->count(), 2);
            QCOMPARE(dialog.cboAccount->currentText(), QString("Zed"));
            QVERIFY(dialog.optReported->isChecked());
            dialog.optNoForm->setChecked(true);
            QCOMPARE(dialog.chosenMethod(), LotMethod::Fifo);
            dialog.cboMethod->setCurrentIndex(dialog.cboMethod->findText("Highest cost first"));
            dialog.txtSymbol->setText(" IBM ");
            dialog.cboSymbolMethod->setCurrentText("Average cost");
            dialog.cmdSetSymbol->click();
            dialog.txtSymbol->setText("T");
            dialog.cboSymbolMethod->setCurrentText("Last in, first out");
            dialog.cmdSetSymbol->click();
            dialog.txtSymbol->setText("T");
            dialog.cboSymbolMethod->setCurrentText("As the account");
            dialog.cmdSetSymbol->click();
            QCOMPARE(dialog.lstSymbolMethods->count(), 1);
            QCOMPARE(dialog.lstSymbolMethods->item(0)->text(), QString("IBM: Average cost"));
            QCOMPARE(dialog.chosenAssets(), AccountAssets::Mixed);
            dialog.cboAssets->setCurrentIndex(
                dialog.cboAssets->findData(int(AccountAssets::Digital)));
            dialog.txtKindSymbol->setText("newc");
            dialog.cmdSetKind->click();
            QCOMPARE(dialog.lstSymbolKinds->item(0)->text(), QString("NEWC: Digital asset"));
            dialog.chkWashDigital->setChecked(true);
            dialog.buttons->button(QDialogButtonBox::Ok)->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        };
        m.w->commands().mnuAccountSettings->trigger();
        QCOMPARE(shown, 1);
        QCOMPARE(selectBasisReporting(m.t.connection(), "Zed"), BasisReporting::NoForm);
        QCOMPARE(selectBasisReporting(m.t.connection(), "Acme"), BasisReporting::Reported);
        const AccountLotMethods zed = selectLotMethods(m.t.connection(), "Zed");
        QCOMPARE(zed.method, LotMethod::Highest);
        QCOMPARE(zed.bySymbol, (QHash<QString, LotMethod>{{"IBM", LotMethod::Average}}));
        QCOMPARE(selectLotMethods(m.t.connection(), "Acme").method, LotMethod::Fifo);
        QCOMPARE(selectAccountAssets(m.t.connection(), "Zed"), AccountAssets::Digital);
        QCOMPARE(selectAccountAssets(m.t.connection(), "Acme"), AccountAssets::Mixed);
        QCOMPARE(selectAssetKinds(m.t.connection()).bySymbol,
                 (QHash<QString, AssetKind>{{"NEWC", AssetKind::Digital}}));
        QVERIFY(selectWashDigital(m.t.connection()));
        // Zed was never processed: nothing to process again.
        QCOMPARE(m.prompter.messages, QStringList());

        m.w->runAccountSettings = [&](frmAccountSettings& dialog) {
            ++shown;
            QCOMPARE(dialog.cboAccount->currentText(), QString("Zed"));
            QVERIFY(dialog.optNoForm->isChecked());
            QCOMPARE(dialog.chosenMethod(), LotMethod::Highest);
            QCOMPARE(dialog.lstSymbolMethods->count(), 1);
            dialog.cboAccount->setCurrentText("Acme");
            QCOMPARE(dialog.chosenMethod(), LotMethod::Fifo);
            QCOMPARE(dialog.lstSymbolMethods->count(), 0);
            QVERIFY(dialog.optReported->isChecked());
            dialog.optNotReported->setChecked(true);
            dialog.buttons->button(QDialogButtonBox::Cancel)->click();
        };
        m.w->commands().mnuAccountSettings->trigger();
        QCOMPARE(shown, 2);
        QCOMPARE(selectBasisReporting(m.t.connection(), "Acme"), BasisReporting::Reported);
        QCOMPARE(m.prompter.messages, QStringList());

        // A processed account's change of method leaves it to process again.
        runQuery(m.t.connection(), "INSERT INTO SellLinks (AccountName, SellId, BuyId) "
                                   "VALUES ('Acme', 1, 0)");
        m.w->runAccountSettings = [&](frmAccountSettings& dialog) {
            dialog.cboAccount->setCurrentText("Acme");
            dialog.cboMethod->setCurrentIndex(dialog.cboMethod->findText("Average cost"));
            dialog.buttons->button(QDialogButtonBox::Ok)->click();
        };
        m.w->commands().mnuAccountSettings->trigger();
        QCOMPARE(m.prompter.messages, QStringList{processAgainForMethodText("Acme")});
        QVERIFY(needsRematch(m.t.connection(), "Acme"));
    }

    // What the fields of "Corporate Actions" keep, or the message that
    // refuses them.
    void corpActionsScreen_data() {
        QTest::addColumn<QStringList>("fields"); // symbol, date, kind, ratio, new symbol
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("listed"); // the list's first row, cells joined by |

        QTest::newRow("split kept") << QStringList{"XYZ", "06/10/2024", "0", "10:1", ""}
                                    << QString() << "XYZ|06/10/2024|Split|10:1||";
        QTest::newRow("change kept, processed account named")
            << QStringList{"IBM", "2000-03-01", "1", "", "IBMX"}
            << "To process again for the corporate actions: Acme"
            << "IBM|03/01/2000|Symbol change||IBMX|";
        QTest::newRow("not a date") << QStringList{"XYZ", "13/45/2024", "0", "10:1", ""}
                                    << "Not a date: 13/45/2024" << QString();
        QTest::newRow("not a ratio")
            << QStringList{"XYZ", "06/10/2024", "0", "ten", ""}
            << "Not a ratio: ten (write it as N:M, such as 10:1)" << QString();
        QTest::newRow("reverse ratio of 0")
            << QStringList{"XYZ", "06/10/2024", "0", "1:0", ""}
            << "The ratio 1:0 of a split must be two numbers above 0." << QString();
        QTest::newRow("no date") << QStringList{"XYZ", "", "0", "2:1", ""}
                                 << "The action of XYZ needs the date it takes effect."
                                 << QString();
        QTest::newRow("change to itself") << QStringList{"XYZ", "06/10/2024", "1", "", "XYZ"}
                                          << "A symbol change from XYZ to XYZ keeps the same "
                                             "symbol."
                                          << QString();
    }

    void corpActionsScreen() {
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        QFETCH(QString, listed);

        Window m;
        // Acme is processed, so a change of a symbol it trades marks it.
        runQuery(m.t.connection(), "INSERT INTO SellLinks (AccountName, SellId, BuyId) "
                                   "VALUES ('Acme', 1, 0)");
        QVERIFY(m.w->commands().mnuCorpActions->isEnabled());
        m.w->runCorpActions = [&](frmCorpActions& dialog) {
            dialog.txtSymbol->setText(fields[0]);
            dialog.txtDate->setText(fields[1]);
            dialog.cboKind->setCurrentIndex(fields[2].toInt());
            dialog.txtRatio->setText(fields[3]);
            dialog.txtNewSymbol->setText(fields[4]);
            dialog.cmdSave->click();
            QStringList cells;
            for (int col = 1; dialog.grdActions->rowCount() > 0 && col < 7; ++col)
                cells << dialog.grdActions->item(0, col)->text();
            QCOMPARE(cells.join(u'|'), listed);
        };
        m.w->commands().mnuCorpActions->trigger();
        QCOMPARE(m.prompter.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(selectCorpActions(m.t.connection()).size(), listed.isEmpty() ? 0 : 1);
    }

    // A chosen action is changed by Save and goes with Delete after a Yes.
    void corpActionsScreenEditsAndDeletes() {
        Window m;
        m.w->runCorpActions = [&](frmCorpActions& dialog) {
            dialog.txtSymbol->setText("XYZ");
            dialog.txtDate->setText("06/10/2024");
            dialog.txtRatio->setText("2:1");
            dialog.cmdSave->click();
            dialog.cmdNew->click();
            QVERIFY(dialog.txtSymbol->text().isEmpty());
            dialog.grdActions->selectRow(0);
            QCOMPARE(dialog.txtRatio->text(), QString("2:1"));
            dialog.txtRatio->setText("3:1");
            dialog.cmdSave->click();
            QCOMPARE(dialog.grdActions->rowCount(), 1);
            QCOMPARE(dialog.actions().value(0).ratioNew, 3.0);
            m.prompter.answers.enqueue(true);
            dialog.cmdDelete->click();
            QCOMPARE(dialog.grdActions->rowCount(), 0);
        };
        m.w->commands().mnuCorpActions->trigger();
        QCOMPARE(m.prompter.questions, QStringList{"Delete the split 3:1 of XYZ on 06/10/2024?"});
        QVERIFY(selectCorpActions(m.t.connection()).isEmpty());
    }

    void accountSettingsWithoutAccounts() {
        Window m(false);
        bool shown = false;
        m.w->runAccountSettings = [&](frmAccountSettings&) { shown = true; };
        m.w->commands().mnuAccountSettings->trigger();
        QVERIFY(!shown);
        QCOMPARE(m.prompter.messages,
                 QStringList{"No account to set yet: capture or import records first."});
    }

    void deleteKeyOnGridRows() {
        Window m;
        m.select("Acme");
        SpreadGrid* grid = m.grid().recordGrid();
        QTest::mouseClick(m.w->cmdNew, Qt::LeftButton);
        QCOMPARE(m.model().rows(), 4);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(m.model().rows(), 3);
        QVERIFY(m.prompter.questions.isEmpty());

        grid->setCurrentCell(2, 3);
        m.prompter.answers.enqueue(true);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(m.prompter.questions, QStringList{"Are you sure you want to delete the 3 row?"});
        QCOMPARE(m.model().rows(), 2);
        QCOMPARE(count(m.t, "Txn"), 3);
        QCOMPARE(m.column(TxnGridCol::Symbol), QStringList({"IBM", "IBM"}));
    }

    // Alt and a letter reaches one entry only: the menu bar's titles and each
    // menu's entries, submenus too, each use a letter once.
    void menuMnemonicsAreUnique() {
        Window m(false);
        const auto letter = [](const QString& text) {
            const qsizetype at = text.indexOf(u'&');
            return at < 0 || at + 1 >= text.size() ? QChar() : text.at(at + 1).toLower();
        };
        std::function<void(const QString&, const QList<QAction*>&)> walk =
            [&](const QString& where, const QList<QAction*>& actions) {
                QHash<QChar, QString> taken;
                for (QAction* action : actions) {
                    if (action->isSeparator())
                        continue;
                    const QChar key = letter(action->text());
                    QVERIFY2(!key.isNull(), qPrintable(where + ": " + action->text()));
                    QVERIFY2(!taken.contains(key), qPrintable(where + ": " + taken.value(key) +
                                                              " and " + action->text()));
                    taken.insert(key, action->text());
                    if (action->menu())
                        walk(action->text(), action->menu()->actions());
                }
            };
        walk("menu bar", m.w->menuBar()->actions());
        QVERIFY(m.w->commands().mnuFile->actions().size() > 8);
    }

    void exitButtonAndMenuEndTheProgram() {
        Window m(false);
        QTest::mouseClick(m.w->commands().Command1, Qt::LeftButton);
        QCOMPARE(m.exits, QList<int>{0});
        m.w->show();
        m.w->commands().mnExit->trigger();
        QCOMPARE(m.exits, QList<int>({0, 0}));
    }

    void txfExportThenImportListsTheNewAccount() {
        Window m;
        QTemporaryDir dir;
        const QString file = dir.filePath("year.txf");
        // Cancelled dialogs write nothing and say nothing.
        const qsizetype shown = m.prompter.messages.size();
        const QStringList outline = m.outlineTexts();
        m.w->txf().chooseFile = [](const TxfDialogChoice&, bool) { return QString(); };
        m.w->commands().mnuExport->trigger();
        m.w->commands().mnImport->trigger();
        QCOMPARE(m.prompter.messages.size(), shown);
        QCOMPARE(m.outlineTexts(), outline);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());

        QString offeredName;
        m.w->txf().chooseFile = [&](const TxfDialogChoice& choice, bool) {
            offeredName = choice.fileName;
            return file;
        };
        m.w->commands().mnuExport->trigger();
        QVERIFY(QFile::exists(file));
        // The name offered carries the year; the export says what it wrote.
        QCOMPARE(offeredName, QString("gainbook-%1.txf").arg(m.context->taxYear().year));
        QCOMPARE(m.prompter.messages.last(),
                 QString("TXF export wrote 2 tax records to %1.").arg(file));
        // The account is asked for, the file's name offered; a
        // cancelled question adds nothing.
        QStringList offered;
        std::optional<QString> account;
        m.w->txf().chooseAccount = [&](const QString& name) {
            offered << name;
            return account;
        };
        m.w->commands().mnImport->trigger();
        QCOMPARE(m.prompter.messages.size(), shown + 1);
        QCOMPARE(m.outlineTexts(), outline);
        account = QStringLiteral("Imported");
        m.w->commands().mnImport->trigger();
        QCOMPARE(offered, QStringList(2, "year"));
        QCOMPARE(m.prompter.messages.last(),
                 QString("TXF import into Imported wrote 2 tax records to %1.\n"
                         "2 records successfully added.")
                     .arg(m.t.path()));
        QVERIFY(m.outlineTexts().contains("1Imported"));

        // With an account to process again the export asks first; No
        // leaves the file as it was.
        markRematch(m.t.connection(), "Acme");
        QVERIFY(QFile::remove(file));
        m.w->commands().mnuExport->trigger();
        QCOMPARE(m.prompter.questions.last(), QString("Accounts to process again before filing: "
                                                      "Acme\nExport the TXF file anyway?"));
        QVERIFY(!QFile::exists(file));
        m.prompter.answers.enqueue(true);
        m.w->commands().mnuExport->trigger();
        QVERIFY(QFile::exists(file));
    }

    void taxReportMenu() {
        Window m;
        QTemporaryDir dir;
        int asked = 0;
        QString answer;
        m.w->report().chooseFile = [&] {
            ++asked;
            return answer;
        };
        // Cancelled: nothing written, nothing said.
        const qsizetype shown = m.prompter.messages.size();
        m.w->commands().mnuReport->trigger();
        QCOMPARE(asked, 1);
        QCOMPARE(m.prompter.messages.size(), shown);

        answer = dir.filePath("year.csv");
        m.w->commands().mnuReport->trigger();
        QFile csv(answer);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        // The heading, box A's line and total, box D's, Schedule D lines 1b and 8b.
        QCOMPARE(csv.readAll().count('\n'), 7);
        QCOMPARE(m.status(), QString("Tax report wrote 2 lines to %1.").arg(answer));
        QCOMPARE(m.prompter.messages.last(), m.status());

        answer = dir.filePath("year.pdf");
        m.w->commands().mnuReport->trigger();
        QVERIFY(QFileInfo(answer).size() > 0);

        // A year without sales asks for no file.
        m.context->setTaxYear(TaxYear{2002});
        m.w->commands().mnuReport->trigger();
        QCOMPARE(asked, 3);
        QCOMPARE(m.prompter.messages.last(), QString("No tax record sold in 2002 to report"));

        // Records that may not follow their trades: the question comes
        // first, and No asks for no file.
        m.context->setTaxYear(TaxYear{2000});
        markRematch(m.t.connection(), "Acme");
        m.w->commands().mnuReport->trigger();
        QCOMPARE(m.prompter.questions.last(), QString("Accounts to process again before filing: "
                                                      "Acme\nWrite the tax report anyway?"));
        QCOMPARE(asked, 3);
        m.prompter.answers.enqueue(true);
        m.w->commands().mnuReport->trigger();
        QCOMPARE(asked, 4);
    }

    void oneHelpWindowAtATime() {
        Window m(false);
        MainCommands& c = m.w->commands();
        c.mnuIndex_Click();
        QPointer<frmBrowse> help = c.helpWindow();
        QVERIFY(help);
        QVERIFY(help->isUserGuidePage());
        c.mnuHelpwebIndex_Click();
        QCOMPARE(c.helpWindow(), help.data());
        QVERIFY(help->page().endsWith("usrguid.htm"));
        // Esc closes it, as it closes a dialog.
        help->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help, Qt::Key_Escape);
        QTRY_VERIFY(!help);
    }
};

GAINBOOK_TEST(TestMainWindow)

#include "test_main_window.moc"
