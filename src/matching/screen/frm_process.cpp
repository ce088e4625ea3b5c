#include "matching/screen/frm_process.h"

#include "buy_selection/screen/frm_show_other.h"
#include "matching/screen/frm_what_if.h"
#include "matching/sell_group_sort.h"
#include "platform/prompter.h"
#include "startup/app_context.h"
#include "store/sell_years.h"
#include "store/store_error.h"
#include "store/store_fault.h"
#include "widgets/activation_watcher.h"
#include "widgets/progress_dialog.h"
#include "widgets/spread_grid.h"
#include "widgets/status_hints.h"
#include "widgets/window_placement.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace gainbook {

namespace {

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumWidth(100);
    return button;
}

} // namespace

BuySelectionOpener buySelectionScreen(QSqlDatabase db, Prompter& prompter,
                                      SettingsStore* settings) {
    return
        [db, &prompter, settings](QWidget* over, qint64 sellId, const QString& account) -> qint64 {
            frmShowOther screen(db, prompter, sellId, account, over);
            if (settings)
                new WindowPlacement(&screen, *settings, QStringLiteral("frmShowOther"));
            if (screen.Form_Load())
                screen.exec();
            return screen.linksWritten();
        };
}

frmProcess::frmProcess(QSqlDatabase db, Prompter& prompter, QWidget* mainWindow,
                       BuySelectionOpener openBuySelection)
    : QWidget(mainWindow, Qt::Window), prompter_(prompter), mainWindow_(mainWindow), db_(db),
      session_(db, prompter), openBuySelection_(std::move(openBuySelection)) {
    if (!openBuySelection_)
        openBuySelection_ = buySelectionScreen(db, prompter);
    setObjectName(QStringLiteral("frmProcess"));
    setWindowTitle(QStringLiteral("Processing Record"));

    accountList_ = new QComboBox(this);
    accountList_->setObjectName(QStringLiteral("Combo1"));
    accountList_->setMinimumWidth(220);
    processButton_ = makeButton(this, QStringLiteral("Command1"), QStringLiteral("Process"));
    updateButton_ = makeButton(this, QStringLiteral("cmdUpdate"), QStringLiteral("Update"));
    recalcButton_ =
        makeButton(this, QStringLiteral("Command3"), QStringLiteral("Save/Recalculate"));
    exitButton_ = makeButton(this, QStringLiteral("Command2"), QStringLiteral("E&xit"));
    whatIfButton_ = makeButton(this, QStringLiteral("cmdWhatIf"), QStringLiteral("What-if..."));
    for (QPushButton* button : {processButton_, updateButton_, recalcButton_})
        button->setEnabled(false);
    status_ = new QLabel(QStringLiteral("Ready"), this);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setFrameShape(QFrame::Panel);
    status_->setFrameShadow(QFrame::Sunken);
    matchTable_ = new RecordTableModel<MatchRow>(std::make_unique<MatchColumns>(), this);
    matchGrid_ = new SpreadGrid(this);
    matchGrid_->setObjectName(QStringLiteral("vaSpread1"));
    matchGrid_->setGridModel(matchTable_);

    buildLayout();
    setHints();

    connect(accountList_, &QComboBox::activated, this, &frmProcess::Combo1_Click);
    connect(processButton_, &QPushButton::clicked, this, &frmProcess::Command1_Click);
    connect(updateButton_, &QPushButton::clicked, this, &frmProcess::cmdUpdate_Click);
    connect(recalcButton_, &QPushButton::clicked, this, &frmProcess::Command3_Click);
    connect(exitButton_, &QPushButton::clicked, this, &frmProcess::Command2_Click);
    connect(whatIfButton_, &QPushButton::clicked, this, &frmProcess::cmdWhatIf_Click);
    connect(matchGrid_, &SpreadGrid::cellClicked, this, &frmProcess::vaSpread1_Click);
    // A cleared box is an edit "Update" can write at once.
    connect(matchTable_, &RecordTableModelBase::cellEdited, this, [this](int, int col) {
        if (col == MatchGridCol::Linked)
            updateButton_->setEnabled(true);
    });

    // Its own progress and buy selection windows do not count: a refill on
    // their closing would drop the boxes the user cleared.
    new ActivationWatcher(this, ActivationWatcher::OwnWindows::DoNotCount,
                          [this] { Form_Activate(); });
    resize(800, 560);
}

frmProcess::~frmProcess() = default;

void frmProcess::buildLayout() {
    auto* top = new QHBoxLayout;
    top->addWidget(accountList_);
    for (QPushButton* button :
         {processButton_, updateButton_, recalcButton_, whatIfButton_, exitButton_})
        top->addWidget(button);
    top->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(matchGrid_, 1);
    layout->addWidget(status_);

    // Tab follows the row of buttons as it reads; created earlier, Exit
    // would come before What-if.
    QWidget* const order[] = {accountList_,  processButton_, updateButton_, recalcButton_,
                              whatIfButton_, exitButton_,    matchGrid_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmProcess::setHints() {
    auto* hints = new StatusHints(status_, this);
    hints->add(processButton_, QStringLiteral("Click to Process Selected Account Transaction"));
    hints->add(updateButton_, QStringLiteral("Click to update Sell and Buy combinations"));
    hints->add(exitButton_, QStringLiteral("Click to exit this screen"));
    hints->add(whatIfButton_, QStringLiteral("Click to compare the year's gains under each lot "
                                             "method, without writing anything"));
    hints->add(matchGrid_, QStringLiteral("Deselect link column to detach the Buy record. Click "
                                          "on Sell Symbol to add more buy records"));
}

void frmProcess::Form_Load() {
    loadAccounts();
    // Wide enough for every column of the grid, yet no wider than the screen.
    const QMargins margins = layout()->contentsMargins();
    resize(std::max(width(), matchGrid_->layoutWidth() + margins.left() + margins.right()),
           height());
    if (mainWindow_)
        placeBeside(this, mainWindow_);
}

void frmProcess::loadAccounts() {
    for (;;) {
        try {
            accountList_->clear();
            accountList_->addItems(session_.accounts());
            break;
        } catch (const StoreError& error) {
            // A file another program holds is let go of in a moment: the
            // user may try again, and the list is read again whenever this
            // window comes back to the front.
            const QString why = failureText(db_, error);
            if (storeFault(error.sqlError()) != StoreFault::InUse) {
                prompter_.message(QStringLiteral("The accounts could not be read: ") + why);
                break;
            }
            if (!prompter_.ask(why + QStringLiteral(" Try again?")))
                break;
        }
    }
    // No account is chosen until the user picks one.
    accountList_->setCurrentIndex(-1);
}

void frmProcess::Form_Activate() {
    if (accountList_->count() == 0 && !running_)
        loadAccounts();
    RefreshGrid();
    tellUnknownCost();
}

void frmProcess::tellUnknownCost() {
    QVector<MatchRow> rows;
    for (const RecordRow<MatchRow>& row : matchTable_->rowList())
        rows.append(row.record);
    const qsizetype sells = sellsOfUnknownCost(rows);
    if (sells > 0) {
        unknownCostShown_ = unknownCostCheckText(sells);
        status_->setText(unknownCostShown_);
    } else if (!unknownCostShown_.isEmpty() && status_->text() == unknownCostShown_) {
        status_->clear(); // the costs have been typed since
    }
}

void frmProcess::RefreshGrid() {
    if (running_)
        return;
    QVector<MatchRow> rows;
    try {
        rows = session_.matchRows();
    } catch (const StoreError& error) {
        matchTable_->clear();
        prompter_.message(error.message());
        return;
    }
    showRows(std::move(rows));
}

void frmProcess::showRows(QVector<MatchRow> rows) {
    if (sortCol_ != 0)
        sortSellGroups(rows, sortCol_, sortOrder_);
    matchTable_->setRecords(std::move(rows));
    QHeaderView* heading = matchGrid_->horizontalHeader();
    heading->setSortIndicatorShown(sortCol_ != 0);
    if (sortCol_ != 0)
        heading->setSortIndicator(sortCol_ - 1, sortOrder_);
}

void frmProcess::sortBy(int col) {
    if (col != MatchGridCol::DateSold && col != MatchGridCol::Symbol)
        return;
    sortOrder_ = col == sortCol_ && sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                     : Qt::AscendingOrder;
    sortCol_ = col;
    // The rows on show, boxes as the user left them, in the new order.
    QVector<MatchRow> rows;
    rows.reserve(matchTable_->rows());
    for (const RecordRow<MatchRow>& row : matchTable_->rowList())
        rows.append(row.record);
    showRows(std::move(rows));
}

void frmProcess::updateProcessButton() {
    // A processed account can be run again: "Process" asks first.
    processButton_->setEnabled(!running_ && !session_.account().isEmpty());
}

void frmProcess::report(const Outcome& outcome) {
    // Stopped commands have shown their message already; a run that went
    // through tells which sells need a look.
    if (outcome.failed() || (outcome.done() && !outcome.message.isEmpty()))
        prompter_.message(outcome.message);
}

void frmProcess::reportRun(RunKind kind, const Outcome& outcome) {
    if (outcome.stopped())
        return;
    prompter_.message(storeRunEnd(db_, kind, session_.account(), outcome).message);
}

void frmProcess::Combo1_Click() {
    session_.setAccount(accountList_->currentText());
    RefreshGrid();
    tellUnknownCost();
    updateProcessButton();
    // Links made before a split or symbol change was recorded no longer
    // follow it: the status line says so until the account is run again.
    try {
        if (!session_.account().isEmpty() && session_.needsRematch())
            status_->setText(rematchText(session_.account()));
    } catch (const StoreError&) {
        // The grid's refill has told of a failing database already.
    }
}

void frmProcess::Command1_Click() {
    if (running_)
        return;
    session_.setAccount(accountList_->currentText());
    if (accountList_->currentText().isEmpty()) {
        prompter_.message(QStringLiteral("Please select one account"));
        return;
    }
    // The question about what the account holds comes before the run and
    // its progress window; No leaves everything as it is.
    std::optional<Rerun> rerun;
    try {
        rerun = session_.askRerun();
    } catch (const StoreError& error) {
        report(Outcome::failure(error.message()));
        return;
    }
    if (!rerun) {
        status_->setText(QStringLiteral("Not processed; nothing was changed"));
        return;
    }
    running_ = true;
    processButton_->setEnabled(false);
    status_->setText(QStringLiteral("Processing ") + session_.account());

    // The run holds the program until it ends; the dialog shows how far it
    // got when it takes more than a moment, and its Cancel undoes the run.
    Outcome outcome;
    {
        ProgressDialog progress(this, QStringLiteral("Processing ") + session_.account());
        outcome = session_.Process(progress.progress(), *rerun);
    }
    running_ = false;
    status_->setText(outcome.done() ? taxRecordsWrittenText(outcome.count)
                                    : QStringLiteral("Ready"));
    reportRun(RunKind::Process, outcome);
    RefreshGrid();
    updateProcessButton();
}

QVector<LotKey> frmProcess::clearedLots() const {
    QVector<LotKey> lots;
    for (const RecordRow<MatchRow>& row : matchTable_->rowList()) {
        if (row.record.hasLot() && !row.record.linked)
            lots.append(row.record.lot());
    }
    return lots;
}

void frmProcess::cmdUpdate_Click() {
    updateButton_->setEnabled(false);
    const Outcome outcome = session_.Update(clearedLots());
    report(outcome);
    if (!outcome.done())
        return; // the cleared boxes stay for another try
    status_->setText(lotsDetachedText(outcome.count));
    RefreshGrid();
    recalcButton_->setEnabled(true);
}

void frmProcess::Command3_Click() {
    Outcome outcome;
    {
        ProgressDialog progress(this, QStringLiteral("Recalculating ") + session_.account());
        outcome = session_.SaveRecalculate(progress.progress());
    }
    reportRun(RunKind::Recalculate, outcome);
    status_->setText(outcome.done() ? taxRecordsWrittenText(outcome.count)
                                    : QStringLiteral("Ready"));
}

void frmProcess::Command2_Click() {
    close();
    if (mainWindow_) {
        mainWindow_->show();
        mainWindow_->activateWindow();
    }
}

void frmProcess::cmdWhatIf_Click() {
    QStringList accounts;
    for (int i = 0; i < accountList_->count(); ++i)
        accounts << accountList_->itemText(i);
    TaxYear year;
    try {
        year = year_ ? *year_ : defaultTaxYear(db_, std::nullopt);
    } catch (const StoreError& error) {
        prompter_.message(error.message());
        return;
    }
    frmWhatIf window(db_, prompter_, accounts, accountList_->currentText(), year, this);
    if (runWhatIf)
        runWhatIf(window);
    else
        window.exec();
}

void frmProcess::vaSpread1_Click(int col, int row) {
    if (row == 0) {
        sortBy(col);
        return;
    }
    if (row < 1 || row > matchTable_->rows())
        return;
    const MatchRow& clicked = matchTable_->record(row);
    if (col == MatchGridCol::Symbol)
        updateButton_->setEnabled(true);
    else if (col != MatchGridCol::Linked || !clicked.hasAddButton)
        return;
    openBuySelection(clicked.link.sellId);
}

void frmProcess::openBuySelection(qint64 sellId) {
    const qint64 linked = openBuySelection_(this, sellId, accountList_->currentText());
    if (linked > 0) {
        // The tax records do not show the new lots until they are rebuilt.
        recalcButton_->setEnabled(true);
        status_->setText(buysLinkedText(linked));
    }
    // The buy selection may have linked buys: show them.
    RefreshGrid();
}

void frmProcess::chooseAccount(const QString& account) {
    const int at = account.isEmpty() ? -1 : accountList_->findText(account);
    if (at < 0 || at == accountList_->currentIndex() || running_)
        return;
    accountList_->setCurrentIndex(at);
    Combo1_Click();
}

std::function<void()> processScreenOpener(AppContext& context, Prompter& prompter,
                                          QWidget* mainWindow,
                                          std::function<QString()> outlineAccount) {
    auto screen = std::make_shared<QPointer<frmProcess>>();
    return [&context, &prompter, mainWindow, screen, outlineAccount] {
        if (!*screen) {
            const QSqlDatabase db = context.database().connection();
            *screen = new frmProcess(db, prompter, mainWindow,
                                     buySelectionScreen(db, prompter, &context.settings()));
            new WindowPlacement(*screen, context.settings());
            (*screen)->setAttribute(Qt::WA_DeleteOnClose);
            (*screen)->setTaxYear(context.taxYear());
            (*screen)->Form_Load();
        }
        (*screen)->setTaxYear(context.taxYear());
        if (outlineAccount)
            (*screen)->chooseAccount(outlineAccount());
        (*screen)->show();
        (*screen)->raise();
        (*screen)->activateWindow();
    };
}

} // namespace gainbook
