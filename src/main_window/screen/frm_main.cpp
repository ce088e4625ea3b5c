#include "main_window/screen/frm_main.h"

#include "main_window/account_outline.h"
#include "main_window/screen/account_outline_pane.h"
#include "main_window/screen/database_commands.h"
#include "main_window/screen/frm_account_settings.h"
#include "main_window/screen/frm_corp_actions.h"
#include "main_window/screen/main_commands.h"
#include "main_window/screen/record_grid_pane.h"
#include "main_window/screen/report_commands.h"
#include "main_window/screen/transfer_link_commands.h"
#include "main_window/screen/txf_commands.h"
#include "matching/screen/frm_lots.h"
#include "platform/prompter.h"
#include "platform/settings_store.h"
#include "startup/app_context.h"
#include "store/sell_years.h"
#include "store/store_error.h"
#include "widgets/activation_watcher.h"
#include "widgets/outline.h"
#include "widgets/spread_grid.h"
#include "widgets/status_hints.h"
#include "widgets/window_placement.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace gainbook {

namespace {

constexpr int kOutlineWidth = 190;

} // namespace

frmMain::frmMain(AppContext& context, Prompter& prompter, Services services, QWidget* parent)
    : QMainWindow(parent), context_(context), prompter_(prompter), services_(std::move(services)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Your Account at a Glance"));

    auto* central = new QWidget(this);
    setCentralWidget(central);
    grid_ = new RecordGridPane(
        context_, prompter_, [this] { return outline_->selection(); }, central);
    outline_ = new AccountOutlinePane(context_, prompter_, *grid_, central);
    commands_ = new MainCommands(context_, prompter_, this);
    txf_ = new TxfCommands(context_, prompter_, this);
    commands_->setTxfExport([this] { txf_->mnuExport_Click(); });
    commands_->setTxfImport([this] { txf_->mnImport_Click(); });
    runAccountSettings = [](frmAccountSettings& dialog) { dialog.exec(); };
    commands_->setAccountSettings([this] { mnuAccountSettings_Click(); });
    runCorpActions = [](frmCorpActions& dialog) { dialog.exec(); };
    commands_->setCorpActions([this] { mnuCorpActions_Click(); });
    runLots = [](frmLots& dialog) { dialog.exec(); };
    mnuLots = commands_->mnuTool->addAction(QStringLiteral("Open &Lots and Dates..."));
    mnuLots->setObjectName(QStringLiteral("mnuLots"));
    connect(mnuLots, &QAction::triggered, this, &frmMain::mnuLots_Click);
    transfers_ = new TransferLinkCommands(context_, prompter_, *grid_, commands_->mnuTool, this);
    transfers_->mayLeaveEdits = [this] { return dropUnsavedEdits(); };
    report_ = new ReportCommands(context_, prompter_, this);
    commands_->setTaxReport([this] { report_->mnuReport_Click(); });
    databaseCommands_ =
        new DatabaseCommands(context_, prompter_, this, commands_->mnuFile, commands_->mnuCapture);
    databaseCommands_->mayLeaveEdits = [this] { return dropUnsavedEdits(); };
    connect(databaseCommands_, &DatabaseCommands::databaseChanged, this, &frmMain::databaseChanged);
    connect(txf_, &TxfCommands::recordsImported, outline_, &AccountOutlinePane::DisplayList);
    connect(txf_, &TxfCommands::recordsImported, this, &frmMain::recordsAdded);
    connect(commands_, &MainCommands::backupRestored, outline_, &AccountOutlinePane::DisplayList);

    Frame1 = new QGroupBox(QStringLiteral("Display"), central);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Option1 = new QRadioButton(QStringLiteral("Transactions"), Frame1);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option1->setChecked(true);
    optTax = new QRadioButton(QStringLiteral("Tax"), Frame1);
    optTax->setObjectName(QStringLiteral("optTax"));
    cboYear = new QComboBox(Frame1);
    cboYear->setObjectName(QStringLiteral("cboYear"));
    cboYear->setToolTip(QStringLiteral("Tax year"));
    cmdNew = new QPushButton(QStringLiteral("New Record"), central);
    cmdNew->setObjectName(QStringLiteral("cmdNew"));
    cmdAdd = new QPushButton(QStringLiteral("Save"), central);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdAdd->setEnabled(false);
    Command4 = new QPushButton(QStringLiteral("Clear"), central);
    Command4->setObjectName(QStringLiteral("Command4"));
    Status = new QLabel(QStringLiteral("Ready"), central);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setFrameShape(QFrame::Panel);
    Status->setFrameShadow(QFrame::Sunken);

    buildLayout();
    setHints();

    connect(Option1, &QRadioButton::clicked, this, &frmMain::Option1_Click);
    connect(optTax, &QRadioButton::clicked, this, &frmMain::optTax_Click);
    connect(cboYear, &QComboBox::activated, this, &frmMain::cboYear_Activated);
    connect(cmdNew, &QPushButton::clicked, grid_, &RecordGridPane::cmdNew_Click);
    connect(cmdAdd, &QPushButton::clicked, grid_, &RecordGridPane::CmdAdd_Click);
    connect(Command4, &QPushButton::clicked, grid_, &RecordGridPane::Command4_Click);
    connect(grid_, &RecordGridPane::unsavedEditsChanged, cmdAdd, &QPushButton::setEnabled);
    connect(grid_, &RecordGridPane::statusText, Status, &QLabel::setText);
    connect(outline_, &AccountOutlinePane::statusText, Status, &QLabel::setText);
    connect(commands_, &MainCommands::statusText, Status, &QLabel::setText);
    connect(report_, &ReportCommands::statusText, Status, &QLabel::setText);
    connect(databaseCommands_, &DatabaseCommands::statusText, Status, &QLabel::setText);
    connect(transfers_, &TransferLinkCommands::statusText, Status, &QLabel::setText);
    commands_->mayLeaveEdits = [this] { return dropUnsavedEdits(); };
    cmdNew->setShortcut(QKeySequence::New);
    cmdAdd->setShortcut(QKeySequence::Save);
    cmdNew->setToolTip(cmdNew->shortcut().toString(QKeySequence::NativeText));
    cmdAdd->setToolTip(cmdAdd->shortcut().toString(QKeySequence::NativeText));
    auto* refresh = new QAction(QStringLiteral("Refresh"), this);
    refresh->setObjectName(QStringLiteral("actRefresh"));
    refresh->setShortcut(QKeySequence::Refresh);
    addAction(refresh);
    connect(refresh, &QAction::triggered, this, [this] {
        if (dropUnsavedEdits())
            Form_Activate();
    });
    outline_->setFirstEmptyRebuild([this] {
        if (commands_->hasCaptureScreen())
            commands_->Command2_Click();
    });
    new ActivationWatcher(this, ActivationWatcher::OwnWindows::Count, [this] { Form_Activate(); });
    resize(900, 600);
    new WindowPlacement(this, context_.settings());
}

frmMain::~frmMain() = default;

void frmMain::buildLayout() {
    auto* display = new QHBoxLayout(Frame1);
    display->setContentsMargins(8, 2, 8, 4);
    display->addWidget(Option1);
    display->addWidget(optTax);
    display->addWidget(new QLabel(QStringLiteral("Year"), Frame1));
    display->addWidget(cboYear);

    // The top row keeps its place when the window grows; only the outline
    // and the grid take the new room.
    auto* top = new QHBoxLayout;
    top->addWidget(Frame1);
    for (QPushButton* button : {cmdNew, cmdAdd, Command4, commands_->Command2, commands_->Command3,
                                commands_->Command1}) {
        button->setMinimumWidth(88);
        top->addWidget(button, 0, Qt::AlignBottom);
    }
    top->addStretch();

    outline_->Outline1->setFixedWidth(kOutlineWidth);
    auto* panes = new QHBoxLayout;
    panes->addWidget(outline_->Outline1);
    panes->addWidget(grid_->recordGrid(), 1);

    auto* totals = new QHBoxLayout;
    totals->addSpacing(kOutlineWidth);
    totals->addWidget(grid_->totalsFrame(), 1);

    auto* layout = new QVBoxLayout(centralWidget());
    layout->addLayout(top);
    layout->addLayout(panes, 1);
    layout->addLayout(totals);
    layout->addWidget(Status);

    // Tab follows the reading order: the top row left to right, then the
    // outline and the grid. Created in another order, Exit came second.
    QWidget* const order[] = {Option1,
                              optTax,
                              cboYear,
                              cmdNew,
                              cmdAdd,
                              Command4,
                              commands_->Command2,
                              commands_->Command3,
                              commands_->Command1,
                              outline_->Outline1,
                              grid_->recordGrid()};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmMain::setHints() {
    hints_ = new StatusHints(Status, this);
    hints_->add(outline_->Outline1,
                QStringLiteral("Click to Expand, Collapse and Select. To delete press Delete key"));
    hints_->add(Option1,
                QStringLiteral("Click to See Transactions for the selected Account/Month"));
    hints_->add(optTax, QStringLiteral("Click to see, Tax record for selected Account Only"));
    hints_->add(cboYear, QStringLiteral("Click to choose the tax year to see, process and export"));
    hints_->add(grid_->recordGrid(), QStringLiteral("Click on Header row to sort in proper order"));
    hints_->add(commands_->Command1,
                QStringLiteral("Click to Exit System. All data is already saved"));
    hints_->add(commands_->Command2, QStringLiteral("Click to Capture more Data"));
    hints_->add(commands_->Command3,
                QStringLiteral("Click to match Sell records to buy and come up with Tax records"));
    hints_->add(Status, QStringLiteral("Why do you want to Click poor me"));
}

bool frmMain::Form_Load() {
    if (!openDatabaseForStart(context_.database(), context_.settings(),
                              context_.applicationDirectory(), prompter_, services_.chooseFile))
        return false;
    showDatabaseInTitle();
    settleTaxYear();
    outline_->DisplayList();
    return true;
}

void frmMain::settleTaxYear() {
    const QString stored = context_.settings().value(kTaxYearSection, kTaxYearKey, QString());
    const std::optional<TaxYear> chosen = parseTaxYear(stored);
    try {
        context_.setTaxYear(defaultTaxYear(context_.database().connection(),
                                           chosen ? std::optional(chosen->year) : std::nullopt));
    } catch (const StoreError& e) {
        context_.setTaxYear(chosen.value_or(TaxYear{}));
        Status->setText(QStringLiteral("Records could not be read: ") + e.message());
    }
    fillYearList();
}

void frmMain::recordsAdded() {
    if (parseTaxYear(context_.settings().value(kTaxYearSection, kTaxYearKey, QString())))
        return;
    const TaxYear before = context_.taxYear();
    settleTaxYear();
    if (context_.taxYear() != before && outline_->selection().isValid() &&
        !grid_->hasUnsavedEdits())
        grid_->fill();
}

void frmMain::fillYearList() {
    QList<int> sellYears;
    try {
        sellYears = yearsWithSells(context_.database().connection());
    } catch (const StoreError&) {
        // The list still offers the year in use and the current one.
    }
    const QList<int> years =
        yearChoices(sellYears, QDate::currentDate().year(), context_.taxYear());
    const QSignalBlocker blocker(cboYear);
    cboYear->clear();
    for (int year : years)
        cboYear->addItem(QString::number(year), year);
    cboYear->setCurrentIndex(cboYear->findData(context_.taxYear().year));
}

void frmMain::cboYear_Activated(int index) {
    const TaxYear year{cboYear->itemData(index).toInt()};
    if (year == context_.taxYear())
        return;
    if (grid_->hasUnsavedEdits()) {
        if (!prompter_.ask(QStringLiteral("Are you sure you want to ignore changes?"))) {
            // The edits stay, and so does the year they were made in.
            cboYear->setCurrentIndex(cboYear->findData(context_.taxYear().year));
            return;
        }
        grid_->setUnsavedEdits(false);
    }
    context_.setTaxYear(year);
    context_.settings().setValue(kTaxYearSection, kTaxYearKey, QString::number(year.year));
    if (outline_->selection().isValid())
        grid_->fill();
}

void frmMain::Form_Activate() {
    // Unsaved edits would vanish without the question the outline asks, so
    // they keep the window as it is until saved or cleared.
    if (grid_->hasUnsavedEdits())
        return;
    // The item the user looked at stays selected and shows fresh records.
    // The window system may deliver the click that brought this window back
    // before the activation; without this the click's result would be
    // wiped at once.
    const OutlineSelection before = outline_->selection();
    grid_->ClearGrid();
    fillYearList(); // a run or a capture may have brought sells of a new year
    outline_->DisplayList();
    // The refill is the program's own: a month in the tax view was already
    // answered with its message when the user chose it.
    if (outline_->reselect(before))
        grid_->refill();
}

void frmMain::switchView(bool tax) {
    const RecordView view = tax ? RecordView::Tax : RecordView::Transactions;
    if (view == grid_->view())
        return;
    if (grid_->hasUnsavedEdits()) {
        if (!prompter_.ask(QStringLiteral("Are you sure you want to ignore changes?"))) {
            // The edits stay, and so must the view they were made in.
            (tax ? Option1 : optTax)->setChecked(true);
            return;
        }
        grid_->setUnsavedEdits(false);
    }
    grid_->setView(view);
    const int index = outline_->Outline1->listIndex();
    if (index >= 0) {
        outline_->Outline1->setItemExpanded(index, !outline_->Outline1->isItemExpanded(index));
        grid_->fill();
    }
    grid_->totalsFrame()->setVisible(tax);
}

void frmMain::Option1_Click() {
    switchView(false);
}

void frmMain::optTax_Click() {
    switchView(true);
}

bool frmMain::dropUnsavedEdits() {
    if (!grid_->hasUnsavedEdits())
        return true;
    if (!prompter_.ask(QStringLiteral("Are you sure you want to ignore changes?")))
        return false;
    grid_->Command4_Click();
    return true;
}

void frmMain::showDatabaseInTitle() {
    // The title names the file; where it lies is on the status line.
    const QString path = context_.database().path();
    setWindowFilePath(path);
    setWindowTitle(path.isEmpty() ? QStringLiteral("Your Account at a Glance")
                                  : QStringLiteral("Your Account at a Glance - ") +
                                        QFileInfo(path).fileName());
    Status->setText(path.isEmpty() ? QStringLiteral("Ready")
                                   : QStringLiteral("Database: ") + QDir::toNativeSeparators(path));
}

void frmMain::databaseChanged() {
    grid_->ClearGrid();
    showDatabaseInTitle();
    settleTaxYear();
    outline_->DisplayList();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Unsaved edits are the one thing Exit could lose.
    if (!dropUnsavedEdits()) {
        event->ignore();
        return;
    }
    // Closing the home window ends the program, whatever else is open.
    event->accept();
    if (services_.endProgram)
        services_.endProgram(0);
}

void frmMain::mnuAccountSettings_Click() {
    frmAccountSettings dialog(context_, prompter_, outline_->selection().account, this);
    if (!dialog.hasAccounts()) {
        prompter_.message(
            QStringLiteral("No account to set yet: capture or import records first."));
        return;
    }
    runAccountSettings(dialog);
}

void frmMain::mnuLots_Click() {
    QStringList accounts;
    try {
        for (const OutlineItem& item : loadOutline(context_.database().connection()))
            if (item.level == 1)
                accounts << item.text;
    } catch (const StoreError& error) {
        prompter_.message(error.message());
        return;
    }
    frmLots dialog(context_.database().connection(), prompter_, accounts,
                   outline_->selection().account, this);
    runLots(dialog);
}

void frmMain::mnuCorpActions_Click() {
    frmCorpActions dialog(context_, prompter_, this);
    runCorpActions(dialog);
}

} // namespace gainbook
