#include "main_window/screen/main_commands.h"

#include "platform/calculator.h"
#include "platform/prompter.h"
#include "startup/app_context.h"
#include "startup/disclaimer_text.h"
#include "startup/screen/frm_browse.h"
#include "store/store_backup.h"
#include "txf/txf_texts.h"

#include <QEventLoop>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

namespace gainbook {

namespace {

QAction* addItem(QMenu* menu, const QString& name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

void runModalWindow(frmBrowse* page) {
    QEventLoop loop;
    page->setAttribute(Qt::WA_DeleteOnClose);
    page->setWindowModality(Qt::ApplicationModal);
    QObject::connect(page, &QObject::destroyed, &loop, &QEventLoop::quit);
    page->show();
    loop.exec();
}

} // namespace

MainCommands::MainCommands(AppContext& context, Prompter& prompter, QMainWindow* window)
    : QObject(window), context_(context), prompter_(prompter), window_(window) {
    runModal = runModalWindow;
    Command1 = makeButton(window, QStringLiteral("Command1"), QStringLiteral("&Exit"));
    Command2 = makeButton(window, QStringLiteral("Command2"), QStringLiteral("&Capture"));
    Command3 = makeButton(window, QStringLiteral("Command3"), QStringLiteral("&Process"));

    QMenuBar* bar = window->menuBar();
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuCapture = addItem(mnuFile, QStringLiteral("mnuCapture"), QStringLiteral("&Capture data"));
    mnuProcess = addItem(mnuFile, QStringLiteral("mnuProcess"), QStringLiteral("&Process"));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("sep1"));
    mnImport =
        addItem(mnuFile, QStringLiteral("mnImport"), QStringLiteral("&Import in Tax Format"));
    mnuExport =
        addItem(mnuFile, QStringLiteral("mnuExport"), QStringLiteral("&Export in Tax Format"));
    mnuAccountSettings = addItem(mnuFile, QStringLiteral("mnuAccountSettings"),
                                 QStringLiteral("&Account Settings..."));
    mnuReport = addItem(mnuFile, QStringLiteral("mnuReport"), QStringLiteral("&Tax Report..."));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("sep3"));
    mnuRestore =
        addItem(mnuFile, QStringLiteral("mnuRestore"), QStringLiteral("&Restore Last Backup..."));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("sep2"));
    mnExit = addItem(mnuFile, QStringLiteral("mnExit"), QStringLiteral("E&xit"));

    mnuTool = bar->addMenu(QStringLiteral("&Tool"));
    mnuTool->setObjectName(QStringLiteral("mnuTool"));
    mnuCalculator =
        addItem(mnuTool, QStringLiteral("mnuCalculator"), QStringLiteral("&Calculator"));
    mnuCorpActions =
        addItem(mnuTool, QStringLiteral("mnuCorpActions"), QStringLiteral("C&orporate Actions..."));

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuIndex = addItem(mnuHelp, QStringLiteral("mnuIndex"), QStringLiteral("Help &Index (Local)"));
    mnuHelpwebIndex = addItem(mnuHelp, QStringLiteral("mnuHelpwebIndex"),
                              QStringLiteral("Help Index (on &Web with updates)"));
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    mnuAbout = addItem(mnuHelp, QStringLiteral("mnuAbout"), QStringLiteral("&About Gainbook"));
    mnuDisclaim = addItem(mnuHelp, QStringLiteral("mnuDisclaim"), QStringLiteral("&Disclaimer"));

    mnExit->setShortcut(QKeySequence::Quit);
    mnuIndex->setShortcut(QKeySequence::HelpContents);

    // Screens that are not part of the program yet stay unavailable rather
    // than pretend to work.
    for (QAction* action : {mnuCapture, mnuProcess, mnImport, mnuExport, mnuAccountSettings,
                            mnuReport, mnuCorpActions})
        action->setEnabled(false);
    Command2->setEnabled(false);
    Command3->setEnabled(false);

    connect(Command1, &QPushButton::clicked, this, &MainCommands::Command1_Click);
    connect(mnExit, &QAction::triggered, this, &MainCommands::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &MainCommands::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &MainCommands::Command3_Click);
    connect(mnuCapture, &QAction::triggered, this, &MainCommands::mnuCapture_Click);
    connect(mnuProcess, &QAction::triggered, this, &MainCommands::mnuProcess_Click);
    connect(mnuRestore, &QAction::triggered, this, &MainCommands::mnuRestore_Click);
    connect(mnuCalculator, &QAction::triggered, this, &MainCommands::mnuCalculator_Click);
    connect(mnuIndex, &QAction::triggered, this, &MainCommands::mnuIndex_Click);
    connect(mnuHelpwebIndex, &QAction::triggered, this, &MainCommands::mnuHelpwebIndex_Click);
    connect(mnuAbout, &QAction::triggered, this, &MainCommands::mnuAbout_Click);
    connect(mnuDisclaim, &QAction::triggered, this, &MainCommands::mnuDisclaim_Click);
}

void MainCommands::setCaptureScreen(std::function<void()> open) {
    openCapture_ = std::move(open);
    Command2->setEnabled(bool(openCapture_));
    mnuCapture->setEnabled(bool(openCapture_));
}

void MainCommands::setProcessScreen(std::function<void()> open) {
    openProcess_ = std::move(open);
    Command3->setEnabled(bool(openProcess_));
    mnuProcess->setEnabled(bool(openProcess_));
}

void MainCommands::setTxfImport(std::function<void()> run) {
    mnImport->setEnabled(bool(run));
    disconnect(mnImport, &QAction::triggered, nullptr, nullptr);
    if (run)
        connect(mnImport, &QAction::triggered, this, std::move(run));
}

void MainCommands::setTxfExport(std::function<void()> run) {
    mnuExport->setEnabled(bool(run));
    disconnect(mnuExport, &QAction::triggered, nullptr, nullptr);
    if (run)
        connect(mnuExport, &QAction::triggered, this, std::move(run));
}

void MainCommands::setCorpActions(std::function<void()> open) {
    mnuCorpActions->setEnabled(bool(open));
    disconnect(mnuCorpActions, &QAction::triggered, nullptr, nullptr);
    if (open)
        connect(mnuCorpActions, &QAction::triggered, this, std::move(open));
}

void MainCommands::setAccountSettings(std::function<void()> open) {
    mnuAccountSettings->setEnabled(bool(open));
    disconnect(mnuAccountSettings, &QAction::triggered, nullptr, nullptr);
    if (open)
        connect(mnuAccountSettings, &QAction::triggered, this, std::move(open));
}

void MainCommands::setTaxReport(std::function<void()> run) {
    mnuReport->setEnabled(bool(run));
    disconnect(mnuReport, &QAction::triggered, nullptr, nullptr);
    if (run)
        connect(mnuReport, &QAction::triggered, this, std::move(run));
}

void MainCommands::Command1_Click() {
    window_->close();
}

bool MainCommands::mayLeave() const {
    return !mayLeaveEdits || mayLeaveEdits();
}

void MainCommands::Command2_Click() {
    if (openCapture_ && mayLeave())
        openCapture_();
}

void MainCommands::Command3_Click() {
    if (openProcess_ && mayLeave())
        openProcess_();
}

void MainCommands::mnuCapture_Click() {
    Command2_Click();
}

void MainCommands::mnuProcess_Click() {
    Command3_Click();
}

void MainCommands::mnuRestore_Click() {
    const QSqlDatabase db = context_.database().connection();
    const QDateTime taken = backupTime(db);
    // Without a backup the restore itself says there is none.
    if (taken.isValid() && !prompter_.ask(restoreQuestion(db, taken)))
        return;
    const Outcome outcome = restoreBackup(db);
    prompter_.message(outcome.message);
    if (outcome.done())
        emit backupRestored();
}

void MainCommands::mnuCalculator_Click() {
    const QString failure = startCalculator();
    if (!failure.isEmpty())
        prompter_.message(failure);
}

void MainCommands::showHelp(const QString& page) {
    // One help window at a time: a second request only brings it forward.
    if (help_) {
        help_->raise();
        help_->activateWindow();
        return;
    }
    context_.setPageToShow(page);
    help_ = new frmBrowse(page, context_.docsFolder(), nullptr, &context_.settings());
    help_->setAttribute(Qt::WA_DeleteOnClose);
    help_->show();
}

void MainCommands::showModalPage(const QString& page, const QString& note) {
    context_.setPageToShow(page);
    auto* window = new frmBrowse(page, context_.docsFolder(), window_, &context_.settings());
    window->setNote(note);
    runModal(window);
}

void MainCommands::mnuIndex_Click() {
    showHelp(context_.docsPage(QStringLiteral("usrguid.htm")));
}

void MainCommands::mnuHelpwebIndex_Click() {
    showHelp(webUserGuideAddress());
}

void MainCommands::mnuAbout_Click() {
    showModalPage(context_.docsPage(QStringLiteral("about.htm")), txfYearLine(context_.taxYear()));
}

void MainCommands::mnuDisclaim_Click() {
    showModalPage(context_.docsPage(QStringLiteral("disclaim.htm")));
}

} // namespace gainbook
