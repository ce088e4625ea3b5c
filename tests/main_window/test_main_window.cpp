#include "capture/screen/frm_capture.h"
#include "main_window/screen/account_outline_pane.h"
#include "main_window/screen/database_commands.h"
#include "main_window/screen/frm_account_settings.h"
#include "main_window/screen/frm_corp_actions.h"
#include "main_window/screen/frm_main.h"
#include "main_window/screen/gain_chart.h"
#include "main_window/screen/main_commands.h"
#include "main_window/screen/record_grid_pane.h"
#include "main_window/screen/report_commands.h"
#include "main_window/screen/transfer_link_commands.h"
#include "main_window/screen/txf_commands.h"
#include "main_window/tax_view.h"
#include "main_window/txn_view.h"
#include "matching/lot_methods.h"
#include "matching/screen/frm_process.h"
#include "matching/transfers.h"
#include "startup/app_context.h"
#include "store/account_settings_table.h"
#include "store/asset_kind_table.h"
#include "store/corp_action_table.h"
#include "store/lot_method_table.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/txn_table.h"
#include "store/unknown_cost_table.h"
#include "support/memory_settings.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_files.h"
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
        runQuery(m.t.connection(), "DELETE FROM Txn WHERE AccountName = 'Bolt'");
        m.w->Form_Activate();
        QCOMPARE(m.outline().listIndex(), -1);
        QCOMPARE(m.model().rows(), 0);

        // Unsaved edits are not thrown away behind the user's back.
        m.select("Acme");
        m.type(1, TxnGridCol::Symbol, "CHANGED");
        m.t.addTxn("Cole", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1);
        m.w->Form_Activate();
        QCOMPARE(m.model().text(1, TxnGridCol::Symbol), QString("CHANGED"));
        QCOMPARE(m.outline().listCount(), 5);
    }

    void clicksOnTheOutlineFillAndFold() {
        Window m;
        Outline& o = m.outline();
        QTest::mouseClick(o.viewport(), Qt::LeftButton, {},
                          o.visualItemRect(o.topLevelItem(0)).center());
        QCOMPARE(m.column(TxnGridCol::Symbol), QStringList({"IBM", "IBM", "MSFT"}));
        QVERIFY(o.isItemExpanded(0));
        // A second click on the account folds its months away again.
        m.select("Acme");
        QVERIFY(!o.isItemExpanded(0));

        // A double click is one click: its second press does not land on
        // whatever the first one's fold moved under the mouse. As the window
        // system sends one: press, release, double click, release.
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
    // the window, the edits, the item, the view and Save; Yes goes on
    // without them.
    void leavingWithUnsavedEdits_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("answer");
        for (const char* way : {"Exit", "menu Exit", "close", "Capture", "Process", "F5",
                                "Open Database", "outline", "view"}) {
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

        auto* refresh = m.w->findChild<QAction*>("actRefresh");
        QCOMPARE(refresh->shortcut(), QKeySequence(Qt::Key_F5));
        const QHash<QString, std::function<void()>> ways{
            {"Exit", [&] { m.w->commands().Command1->click(); }},
            {"menu Exit", [&] { m.w->commands().mnExit->trigger(); }},
            {"close", [&] { m.w->close(); }},
            {"Capture", [&] { m.w->commands().Command2->click(); }},
            {"Process", [&] { m.w->commands().Command3->click(); }},
            {"F5", [&] { refresh->trigger(); }},
            {"Open Database", [&] { m.w->databaseCommands().mnuOpenDatabase->trigger(); }},
            {"outline", [&] { m.select("Feb"); }},
            {"view", [&] { QTest::mouseClick(m.w->optTax, Qt::LeftButton); }}};
        ways[way]();

        QCOMPARE(m.prompter.questions, QStringList{"Are you sure you want to ignore changes?"});
        QCOMPARE(m.exits.size(), answer && (way.contains("Exit") || way == "close") ? 1 : 0);
        const bool opens = QStringList{"Capture", "Process", "Open Database"}.contains(way);
        QCOMPARE(screensOpened, answer && opens ? 1 : 0);
        QCOMPARE(m.w->cmdAdd->isEnabled(), !answer);
        QCOMPARE(m.w->optTax->isChecked(), answer && way == "view");
        if (way == "outline")
            QCOMPARE(m.column(TxnGridCol::Symbol),
                     answer ? QStringList{"MSFT"} : QStringList({"IBM", "IBM", "MSFT"}));
        if (!answer) {
            QCOMPARE(m.model().text(1, TxnGridCol::Quantity), QString("12"));
            QCOMPARE(m.outline().listIndex(), 0); // back on the item being edited
        }
    }

    // File > New Database... then Open Database... back: the outline, the
    // title and the remembered file follow; a file that is no database is
    // refused (the switch's own table holds the cases) and the one open stays.
    void newAndOpenDatabase() {
        Window m;
        const QStringList accounts = m.outlineTexts();
        QString answer = m.t.folder() + "/fresh.db";
        DatabaseCommands& d = m.w->databaseCommands();
        d.chooseFile = [&](DatabaseSwitch) { return answer; };
        QPointer<QWidget> processing = new QWidget(m.w.get(), Qt::Window);
        processing->setAttribute(Qt::WA_DeleteOnClose);
        processing->show();

        d.mnuNewDatabase->trigger();
        QCOMPARE(m.outline().listCount(), 0);
        QCOMPARE(m.w->windowTitle(), QString("Your Account at a Glance - fresh.db"));
        QCOMPARE(m.settings.values.value("General/Database"), m.context->database().path());
        QVERIFY(m.status().endsWith(QDir::toNativeSeparators(answer)));
        QVERIFY(!processing); // it held the old file

        answer = m.t.path();
        d.mnuOpenDatabase->trigger();
        QCOMPARE(m.outlineTexts(), accounts);
        answer = m.t.folder() + "/notes.db";
        test::writeBytes(answer, "no database here, only some text that is long enough\n");
        d.mnuOpenDatabase->trigger();
        QVERIFY2(m.prompter.messages.value(0).contains("is not a Gainbook database"),
                 qPrintable(m.prompter.messages.value(0)));
        QCOMPARE(m.context->database().path(), m.t.path());
        m.w->Form_Activate();
        QCOMPARE(m.outlineTexts(), accounts);
    }

    // The delete lists' own table checks the questions and the links; here
    // the key, No, and what the outline and grid show after Yes.
    void deleteKeyOnOutlineItems_data() {
        QTest::addColumn<bool>("tax");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("txnsLeft");
        QTest::addColumn<int>("taxLeft");
        QTest::addColumn<QStringList>("outlineAfter");
        QTest::newRow("transactions, account")
            << false << "Acme" << 1 << 4 << QStringList({"1Zed", "2All", "1Acme"});
        QTest::newRow("tax, month")
            << true << "Feb" << 4 << 0 << QStringList({"1Acme", "2Jan", "2Feb", "1Zed", "2All"});
    }
    void deleteKeyOnOutlineItems() {
        QFETCH(bool, tax);
        QFETCH(QString, item);
        QFETCH(int, txnsLeft);
        QFETCH(int, taxLeft);
        QFETCH(QStringList, outlineAfter);
        Window m;
        if (tax)
            QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        m.select(item);
        QTest::keyClick(&m.outline(), Qt::Key_Delete); // No deletes nothing
        QVERIFY(m.prompter.questions.last().contains(" Records for " + item + "? This deletes"));
        QCOMPARE(count(m.t, "Txn") + count(m.t, "TaxRec"), 8);
        m.prompter.answers.enqueue(true);
        QTest::keyClick(&m.outline(), Qt::Key_Delete);
        QCOMPARE(count(m.t, "Txn"), txnsLeft);
        QCOMPARE(count(m.t, "TaxRec"), taxLeft);
        QCOMPARE(m.outlineTexts(), outlineAfter);
        QCOMPARE(m.model().rows(), 0);
    }

    // The tax view's controls show what the view's core returns (its own
    // tables prove the figures): the records of the chosen year, the
    // totals, the chart, the notes, the box drop-down; the year chosen is
    // remembered.
    void taxView() {
        Window m;
        m.select("Acme");
        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        QVERIFY(!m.grid().totalsFrame()->isHidden());
        GainChart* chart = m.grid().gainChart();
        QCOMPARE(
            (QStringList{m.column(TaxGridCol::Symbol).join(u','),
                         m.column(TaxGridCol::Box).join(u','), m.grid().recordsTotal()->text(),
                         m.grid().proceedsTotal()->text(), m.grid().gainTotal()->text(),
                         chart->shortFigure()->text(), chart->longFigure()->text()}),
            (QStringList{"AOL,IBM", "D,A", "Total Records 2", "Total Proceed 1,800.00",
                         "Total Gain/Loss -100.00", "Short term: 200.00", "Long term: -300.00"}));
        QCOMPARE(chart->barSets()[1]->at(11), -300.0);
        QVERIFY(m.grid().processAgain()->isHidden());
        const QModelIndex box = m.model().index(0, TaxGridCol::Box - 1);
        QCOMPARE(box.data(GridRole::Kind).toInt(), int(CellKind::DropDown));
        QCOMPARE(box.data(GridRole::Choices).toStringList(),
                 QStringList({"A", "B", "C", "D", "E", "F"}));
        m.type(1, TaxGridCol::Box, "G");
        QCOMPARE(m.status(), QString("Not a valid box: G"));
        m.type(1, TaxGridCol::Box, "E");
        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton);
        const qint64 id = m.model().text(1, TaxGridCol::ID).toLongLong();
        QCOMPARE(boxLetter(selectTaxRecById(m.t.connection(), id)->box), QString("E"));

        // A tax-advantaged account's rows are noted and drawn in no bar;
        // with nothing to draw the axis counts whole steps from 0. The
        // accounts to process again are named.
        setWashSettings(m.t.connection(), "Acme", {true, true, true});
        markRematch(m.t.connection(), "Zed");
        m.select("Acme");
        QCOMPARE(m.model().rowNote(1), QString("tax-advantaged: not reported"));
        for (QBarSet* bar : chart->barSets())
            QCOMPARE(bar->sum(), 0.0);
        const auto* view = chart->findChild<QChartView*>("gainChartView");
        const auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).value(0));
        QVERIFY(axis && axis->min() == 0.0 && axis->max() == 100.0);
        QCOMPARE(m.grid().processAgain()->text(),
                 QString("Accounts to process again before filing: Zed"));

        // The years with sells and the current one.
        QStringList years;
        for (int i = 0; i < m.w->cboYear->count(); ++i)
            years << m.w->cboYear->itemText(i);
        QCOMPARE(years, (QStringList{"1999", "2000", "2001",
                                     QString::number(QDate::currentDate().year())}));
        QCOMPARE(m.w->cboYear->currentText(), QString("2000"));
        m.w->cboYear->setCurrentIndex(2);
        emit m.w->cboYear->activated(2);
        QCOMPARE(m.column(TaxGridCol::Symbol), QStringList({"T"}));
        QCOMPARE(m.settings.value("Options", "TaxYear", {}), QString("2001"));

        QTest::mouseClick(m.w->Option1, Qt::LeftButton);
        QCOMPARE(m.grid().view(), RecordView::Transactions);
        QVERIFY(m.grid().totalsFrame()->isHidden());
        QCOMPARE(m.column(TxnGridCol::Symbol), QStringList({"IBM", "IBM", "MSFT"}));
    }

    // The message about a month in the tax view answers the user's choice;
    // coming back from another screen refills the grid without repeating it.
    void monthwiseMessageComesOnlyWithTheChoice() {
        Window m;
        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        m.select("Acme");
        m.select("Jan");
        const QStringList monthwise{"Tax record can not be displayed monthwise"};
        QCOMPARE(m.prompter.messages, monthwise);
        QCOMPARE(m.model().rows(), 0);
        m.awayAndBack([&] { m.t.addTxn("Bolt", "Mar", "X", 1, kBought, QDate(2000, 3, 1), 1); });
        QTRY_COMPARE(m.outline().listCount(), 7); // the window was refreshed
        QCOMPARE(m.prompter.messages, monthwise);
        QCOMPARE(m.outline().listIndex(), 1); // "Jan" stays chosen
        QCOMPARE(m.model().rows(), 0);
    }

    void headingClicksSortAndReverse() {
        Window m(true, false);
        m.t.addTax("Acme", "CSCO", 1, QDate(2000, 1, 3), QDate(2000, 3, 20), 5000, 5100);
        m.load();
        QTest::mouseClick(m.w->optTax, Qt::LeftButton);
        m.select("Acme");
        m.clickHeading(TaxGridCol::Cost);
        QCOMPARE(m.column(TaxGridCol::Symbol), QStringList({"AOL", "IBM", "CSCO"}));
        m.clickHeading(TaxGridCol::Cost);
        QCOMPARE(m.column(TaxGridCol::Symbol), QStringList({"CSCO", "IBM", "AOL"}));
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
        QTest::mouseClick(m.w->cmdAdd, Qt::LeftButton); // nothing left to write
        QCOMPARE(count(m.t, "Txn"), 6);
        QVERIFY(!m.model().state(1).isNew && !m.model().state(2).isNew);
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

    // File > Account Settings... opens on the account selected in the
    // outline with its stored setting; OK keeps the choice in the database
    // for that account only, Cancel keeps nothing.
    void accountSettingsDialog() {
        Window m;
        m.select("Zed");
        QVERIFY(m.w->commands().mnuAccountSettings->isEnabled());
        m.w->runAccountSettings = [&](frmAccountSettings& dialog) {
            QCOMPARE(dialog.cboAccount->count(), 2);
            QCOMPARE(dialog.cboAccount->currentText(), QString("Zed"));
            QVERIFY(dialog.optReported->isChecked());
            dialog.optNoForm->setChecked(true);
            dialog.cboMethod->setCurrentIndex(dialog.cboMethod->findText("Highest cost first"));
            // "As the account" takes a symbol's own method away again.
            for (const auto& [symbol, method] :
                 {std::pair{" IBM ", "Average cost"}, std::pair{"T", "Last in, first out"},
                  std::pair{"T", "As the account"}}) {
                dialog.txtSymbol->setText(symbol);
                dialog.cboSymbolMethod->setCurrentText(method);
                dialog.cmdSetSymbol->click();
            }
            QCOMPARE(dialog.lstSymbolMethods->count(), 1);
            QCOMPARE(dialog.lstSymbolMethods->item(0)->text(), QString("IBM: Average cost"));
            dialog.cboAssets->setCurrentIndex(
                dialog.cboAssets->findData(int(AccountAssets::Digital)));
            dialog.txtKindSymbol->setText("newc");
            dialog.cmdSetKind->click();
            QCOMPARE(dialog.lstSymbolKinds->item(0)->text(), QString("NEWC: Digital asset"));
            dialog.chkWashDigital->setChecked(true);
            dialog.buttons->button(QDialogButtonBox::Ok)->click();
        };
        m.w->commands().mnuAccountSettings->trigger();
        const QSqlDatabase db = m.t.connection();
        QCOMPARE(selectBasisReporting(db, "Zed"), BasisReporting::NoForm);
        QCOMPARE(selectBasisReporting(db, "Acme"), BasisReporting::Reported);
        QCOMPARE(selectLotMethods(db, "Zed").method, LotMethod::Highest);
        QCOMPARE(selectLotMethods(db, "Zed").bySymbol,
                 (QHash<QString, LotMethod>{{"IBM", LotMethod::Average}}));
        QCOMPARE(selectLotMethods(db, "Acme").method, LotMethod::Fifo);
        QCOMPARE(selectAccountAssets(db, "Zed"), AccountAssets::Digital);
        QCOMPARE(selectAccountAssets(db, "Acme"), AccountAssets::Mixed);
        QCOMPARE(selectAssetKinds(db).bySymbol,
                 (QHash<QString, AssetKind>{{"NEWC", AssetKind::Digital}}));
        QVERIFY(selectWashDigital(db));
        // Zed was never processed: nothing to process again.
        QCOMPARE(m.prompter.messages, QStringList());

        m.w->runAccountSettings = [&](frmAccountSettings& dialog) {
            QVERIFY(dialog.optNoForm->isChecked());
            QCOMPARE(dialog.chosenMethod(), LotMethod::Highest);
            dialog.cboAccount->setCurrentText("Acme");
            QCOMPARE(dialog.chosenMethod(), LotMethod::Fifo);
            QCOMPARE(dialog.lstSymbolMethods->count(), 0);
            dialog.optNotReported->setChecked(true);
            dialog.buttons->button(QDialogButtonBox::Cancel)->click();
        };
        m.w->commands().mnuAccountSettings->trigger();
        QCOMPARE(selectBasisReporting(db, "Acme"), BasisReporting::Reported);

        // A processed account's change of method leaves it to process again.
        runQuery(db, "INSERT INTO SellLinks (AccountName, SellId, BuyId) VALUES ('Acme', 1, 0)");
        m.w->runAccountSettings = [&](frmAccountSettings& dialog) {
            dialog.cboAccount->setCurrentText("Acme");
            dialog.cboMethod->setCurrentIndex(dialog.cboMethod->findText("Average cost"));
            dialog.buttons->button(QDialogButtonBox::Ok)->click();
        };
        m.w->commands().mnuAccountSettings->trigger();
        QCOMPARE(m.prompter.messages, QStringList{processAgainForMethodText("Acme")});
        QVERIFY(needsRematch(db, "Acme"));
    }

    // What the fields of "Corporate Actions" keep, or the message that
    // refuses them (the checks' own table holds every refusal).
    void corpActionsScreen_data() {
        // symbol, date, kind, ratio, new symbol; the message; the list's
        // first row, cells joined by |
        QTest::addColumn<QStringList>("f");
        for (const test::TableRow& r : test::tableRows(R"(
        split kept ; XYZ ; 06/10/2024 ; 0 ; 10:1 ;  ;  ; XYZ|06/10/2024|Split|10:1||
        change kept, processed account named ; IBM ; 2000-03-01 ; 1 ;  ; IBMX ; To process again for the corporate actions: Acme ; IBM|03/01/2000|Symbol change||IBMX|
        not a ratio ; XYZ ; 06/10/2024 ; 0 ; ten ;  ; Not a ratio: ten (write it as N:M, such as 10:1) ;
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void corpActionsScreen() {
        QFETCH(QStringList, f);
        const QString message = f[5], listed = f.value(6);
        Window m;
        // Acme is processed, so a change of a symbol it trades marks it.
        runQuery(m.t.connection(), "INSERT INTO SellLinks (AccountName, SellId, BuyId) "
                                   "VALUES ('Acme', 1, 0)");
        QVERIFY(m.w->commands().mnuCorpActions->isEnabled());
        m.w->runCorpActions = [&](frmCorpActions& dialog) {
            dialog.txtSymbol->setText(f[0]);
            dialog.txtDate->setText(f[1]);
            dialog.cboKind->setCurrentIndex(f[2].toInt());
            dialog.txtRatio->setText(f[3]);
            dialog.txtNewSymbol->setText(f[4]);
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
        QTest::keyClick(grid, Qt::Key_Delete); // an unsaved row goes unasked
        QCOMPARE(m.model().rows(), 3);
        QVERIFY(m.prompter.questions.isEmpty());

        grid->setCurrentCell(2, 3);
        m.prompter.answers.enqueue(true);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(m.prompter.questions, QStringList{"Are you sure you want to delete the 3 row?"});
        QCOMPARE(count(m.t, "Txn"), 3);
        QCOMPARE(m.column(TxnGridCol::Symbol), QStringList({"IBM", "IBM"}));
    }

    // Alt and a letter reaches one entry only: the menu bar's titles and each
    // menu's entries, submenus too, each use a letter once.
    void menuMnemonicsAreUnique() {
        Window m(false);
        std::function<void(const QString&, const QList<QAction*>&)> walk =
            [&](const QString& where, const QList<QAction*>& actions) {
                QHash<QChar, QString> taken;
                for (QAction* action : actions) {
                    if (action->isSeparator())
                        continue;
                    const QString text = action->text();
                    const qsizetype at = text.indexOf(u'&');
                    const QChar key =
                        at < 0 || at + 1 >= text.size() ? QChar() : text.at(at + 1).toLower();
                    QVERIFY2(!key.isNull(), qPrintable(where + ": " + text));
                    QVERIFY2(!taken.contains(key),
                             qPrintable(where + ": " + taken.value(key) + " and " + text));
                    taken.insert(key, text);
                    if (action->menu())
                        walk(text, action->menu()->actions());
                }
            };
        walk("menu bar", m.w->menuBar()->actions());
        QVERIFY(m.w->commands().mnuFile->actions().size() > 8);
    }

    // Tab runs as a user reads each window: row by row, each row left to
    // right, whatever order the controls were made in.
    void tabFollowsReadingOrder_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("reading");
        QTest::newRow("main: top row, then outline and grid")
            << "frmMain"
            << QStringList{"Option1",  "optTax",   "cboYear",  "cmdNew",   "cmdAdd",     "Command4",
                           "Command2", "Command3", "Command1", "Outline1", "grdFormlist"};
        QTest::newRow("capture: three columns row by row, Browse before Open")
            << "frmCapture"
            << QStringList{"List1",       "Text1",     "Command4", "Command3",  "Check2",
                           "Command1",    "Check1",    "Text2",    "Text3",     "Command2",
                           "ImportGains", "Reconcile", "Zone",     "sheetGrid", "Text4"};
        QTest::newRow("processing: What-if before Exit")
            << "frmProcess" << QStringList{"Combo1",    "Command1", "cmdUpdate", "Command3",
                                           "cmdWhatIf", "Command2", "vaSpread1"};
        QTest::newRow("account settings: lot method symbol row before its list")
            << "frmAccountSettings"
            << QStringList{
                   "cboAccount",     "optReported",      "optNotReported",   "optNoForm",
                   "chkWashDetect",  "chkWashOther",     "chkTaxAdvantaged", "chkWashDigital",
                   "cboAssets",      "txtKindSymbol",    "cboKind",          "cmdSetKind",
                   "lstSymbolKinds", "cboMethod",        "txtSymbol",        "cboSymbolMethod",
                   "cmdSetSymbol",   "lstSymbolMethods", "buttons"};
    }
    void tabFollowsReadingOrder() {
        QFETCH(QString, window);
        QFETCH(QStringList, reading);
        Window m(false);
        std::unique_ptr<QWidget> other;
        if (window == "frmCapture")
            other = std::make_unique<frmCapture>(*m.context, m.prompter);
        else if (window == "frmProcess")
            other = std::make_unique<frmProcess>(m.t.connection(), m.prompter);
        else if (window == "frmAccountSettings")
            other = std::make_unique<frmAccountSettings>(*m.context, m.prompter, QString());
        QWidget* shown = other ? other.get() : m.w.get();
        QCOMPARE(shown->objectName(), window);

        QStringList chain;
        QWidget* first = shown->findChild<QWidget*>(reading.first());
        QVERIFY(first);
        for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain()) {
            if (reading.contains(w->objectName()) && !chain.contains(w->objectName()))
                chain << w->objectName();
        }
        QCOMPARE(QStringList{reading.first()} + chain, reading);
    }

    // Cancelled dialogs write nothing and say nothing; the export offers a
    // name with the year, the import asks for the account; with an account
    // to process again the export asks first.
    void txfExportThenImportListsTheNewAccount() {
        Window m;
        QTemporaryDir dir;
        const QString file = dir.filePath("year.txf");
        const QStringList outline = m.outlineTexts();
        QString chosen;
        QString offeredName;
        m.w->txf().chooseFile = [&](const TxfDialogChoice& choice, bool) {
            offeredName = choice.fileName;
            return chosen;
        };
        QStringList offered;
        std::optional<QString> account;
        m.w->txf().chooseAccount = [&](const QString& name) {
            offered << name;
            return account;
        };
        m.w->commands().mnuExport->trigger();
        m.w->commands().mnImport->trigger();
        QCOMPARE(m.prompter.messages, QStringList());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());

        chosen = file;
        m.w->commands().mnuExport->trigger();
        QCOMPARE(offeredName, QString("gainbook-%1.txf").arg(m.context->taxYear().year));
        QCOMPARE(m.prompter.messages,
                 QStringList{QString("TXF export wrote 2 tax records to %1.").arg(file)});
        m.w->commands().mnImport->trigger(); // no account given
        QCOMPARE(m.outlineTexts(), outline);
        account = QStringLiteral("Imported");
        m.w->commands().mnImport->trigger();
        QCOMPARE(offered, QStringList(2, "year"));
        QCOMPARE(m.prompter.messages.last(),
                 QString("TXF import into Imported wrote 2 tax records to %1.\n"
                         "2 records successfully added.")
                     .arg(m.t.path()));
        QVERIFY(m.outlineTexts().contains("1Imported"));

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

    // Link Transfer on the grid: a move between one's own wallets is no sale
    // (Rev. Proc. 2024-28, basis kept per wallet); the receive arrives on
    // the send's day or up to 7 days after, at most the coins sent and a
    // few percent short at most. IDs: 1 Wallet's buy, 2 its send of 1 BTC
    // on 02/01, 3 Exchange's 0.9995 on 02/03, 4 its 0.98 on 02/20 (19 days
    // on), 5 Cold's 0.97 on 02/02 (3% short).
    void linkTransferOnTheGrid_data() {
        test::addTableRows(R"(
        send: receives nearest in date first, the second picked ; Wallet ; 2 ; no ; Link &Transfer... ; 0.97 BTC received in Cold on 02/02/2025 (ID 5) | 0.9995 BTC received in Exchange on 02/03/2025 (ID 3) ; 1 ; Transfer linked: 1 BTC sent from Wallet on 02/01/2025 arrives in Exchange as 0.9995 on 02/03/2025. ; to Exchange
        receive: the send it came from ; Exchange ; 3 ; no ; Link &Transfer... ; 1 BTC sent from Wallet on 02/01/2025 (ID 2) ; 0 ; Transfer linked: 1 BTC sent from Wallet on 02/01/2025 arrives in Exchange as 0.9995 on 02/03/2025. ; from Wallet
        receive 19 days after the send: none to pick ; Exchange ; 4 ; no ; Link &Transfer... ;  ;  ; No send to link: no send of BTC from another account from 02/13/2025 to 02/20/2025, of at least 0.98. ; cost unknown
        linked send: unlinked, the receive of unknown cost again ; Wallet ; 2 ; yes ; Unlink &Transfer ;  ;  ; Transfer unlinked: send 2, receive 3. The receive is a buy of unknown cost until it is linked again or its cost is typed. ;
        buy of known cost: no transfer ; Wallet ; 1 ; no ; - ;  ;  ; Select a send or a receive in the transactions first: a row of type Sent, or a buy of unknown cost (coins or shares moved in). ;
        )");
    }
    void linkTransferOnTheGrid() {
        QFETCH(test::TableRow, row);
        Window m(false, false);
        const QDate feb(2025, 2, 1);
        m.t.addTxn("Wallet", "Jan", "BTC", 1, kBought, QDate(2025, 1, 10), 50000);
        m.t.addTxn("Wallet", "Feb", "BTC", 1, kSent, feb, 0);
        const qint64 in = m.t.addTxn("Exchange", "Feb", "BTC", 0.9995, kBought, feb.addDays(2), 0);
        m.t.addTxn("Exchange", "Feb", "BTC", 0.98, kBought, feb.addDays(19), 0);
        m.t.addTxn("Cold", "Feb", "BTC", 0.97, kBought, feb.addDays(1), 0);
        markUnknownCost(m.t.connection(), {in, in + 1, in + 2});
        if (row.yes(2))
            QVERIFY(linkTransferByHand(m.t.connection(), 2, in).done());
        m.load();
        m.select(row.text(0));
        const qint64 id = row.text(1).toLongLong();
        m.grid().selectTxn(id);
        TransferLinkCommands& transfers = m.w->transfers();
        transfers.updateAction();
        QCOMPARE(transfers.actLinkTransfer->isEnabled() ? transfers.actLinkTransfer->text()
                                                        : QStringLiteral("-"),
                 row.text(3));
        QStringList shown;
        transfers.runPick = [&](TransferPickDialog& dialog) {
            for (int i = 0; i < dialog.lstChoices->count(); ++i)
                shown << dialog.lstChoices->item(i)->text();
            dialog.lstChoices->setCurrentRow(row.text(5).toInt());
            return int(QDialog::Accepted);
        };
        m.prompter.answers.enqueue(true);
        transfers.actLinkTransfer_Click();
        QCOMPARE(shown.join(" | "), row.text(4));
        QCOMPARE(m.prompter.messages, QStringList{row.text(6)});
        QCOMPARE(m.grid().currentTxn() ? m.grid().currentTxn()->id : 0, id);
        QCOMPARE(m.model().cellMark(m.grid().recordGrid()->currentRow(), TxnGridCol::TxnAmount),
                 row.text(7));
    }

    // Cancelled: nothing written, nothing said; a year without sales asks
    // for no file; with records that may not follow their trades the
    // question comes first, and No asks for no file.
    void taxReportMenu() {
        Window m;
        QTemporaryDir dir;
        int asked = 0;
        QString answer;
        m.w->report().chooseFile = [&] {
            ++asked;
            return answer;
        };
        m.w->commands().mnuReport->trigger();
        QCOMPARE(m.prompter.messages, QStringList());

        answer = dir.filePath("year.csv");
        m.w->commands().mnuReport->trigger();
        QVERIFY(QFileInfo(answer).size() > 0);
        QCOMPARE(m.status(), QString("Tax report wrote 2 lines to %1.").arg(answer));
        QCOMPARE(m.prompter.messages, QStringList{m.status()});
        answer = dir.filePath("year.pdf");
        m.w->commands().mnuReport->trigger();
        QVERIFY(QFileInfo(answer).size() > 0);

        m.context->setTaxYear(TaxYear{2002});
        m.w->commands().mnuReport->trigger();
        QCOMPARE(m.prompter.messages.last(), QString("No tax record sold in 2002 to report"));
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
        QVERIFY(help && help->isUserGuidePage());
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
