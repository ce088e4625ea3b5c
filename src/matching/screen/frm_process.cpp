#include "matching/screen/frm_process.h"

#include "buy_selection/screen/frm_show_other.h"
#include "platform/prompter.h"
#include "platform/sheet_model.h"
#include "startup/app_context.h"
#include "store/store_error.h"
#include "widgets/activation_watcher.h"
#include "widgets/spread_grid.h"
#include "widgets/status_hints.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
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

frmProcess::frmProcess(QSqlDatabase db, Prompter& prompter, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), db_(db), prompter_(prompter), mainWindow_(mainWindow),
      session_(db, prompter) {
    setObjectName(QStringLiteral("frmProcess"));
    setWindowTitle(QStringLiteral("Processing Record"));

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setMinimumWidth(220);
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("Process"));
    cmdUpdate = makeButton(this, QStringLiteral("cmdUpdate"), QStringLiteral("Update"));
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("Save/Recalculate"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("E&xit"));
    for (QPushButton* button : {Command1, cmdUpdate, Command3})
        button->setEnabled(false);
    Status = new QLabel(QStringLiteral("Ready"), this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setFrameShape(QFrame::Panel);
    Status->setFrameShadow(QFrame::Sunken);
    sheet = new SheetModel(this);
    vaSpread1 = new SpreadGrid(this);
    vaSpread1->setObjectName(QStringLiteral("vaSpread1"));
    vaSpread1->setSheet(sheet);

    buildLayout();
    setHints();

    connect(Combo1, &QComboBox::activated, this, &frmProcess::Combo1_Click);
    connect(Command1, &QPushButton::clicked, this, &frmProcess::Command1_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmProcess::cmdUpdate_Click);
    connect(Command3, &QPushButton::clicked, this, &frmProcess::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &frmProcess::Command2_Click);
    connect(vaSpread1, &SpreadGrid::cellClicked, this, &frmProcess::vaSpread1_Click);

    showBuySelection = [this](qint64 sellId, const QString& account) {
        frmShowOther screen(db_, prompter_, sellId, account, this);
        if (screen.Form_Load())
            screen.exec();
    };
    // Its own progress and buy selection windows do not count: a refill on
    // their closing would drop the boxes the user cleared.
    new ActivationWatcher(this, ActivationWatcher::OwnWindows::DoNotCount,
                          [this] { Form_Activate(); });
    resize(800, 560);
}

frmProcess::~frmProcess() = default;

void frmProcess::buildLayout() {
    auto* top = new QHBoxLayout;
    top->addWidget(Combo1);
    for (QPushButton* button : {Command1, cmdUpdate, Command3, Command2})
        top->addWidget(button);
    top->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(vaSpread1, 1);
    layout->addWidget(Status);
}

void frmProcess::setHints() {
    hints_ = new StatusHints(Status, this);
    hints_->add(Command1, QStringLiteral("Click to Process Selected Account Transaction"));
    hints_->add(cmdUpdate, QStringLiteral("Click to update Sell and Buy combinations"));
    hints_->add(Command2, QStringLiteral("Click to exit this screen"));
    hints_->add(vaSpread1, QStringLiteral("Deselect link column to detach the Buy record. Click "
                                          "on Sell Symbol to add more buy records"));
}

void frmProcess::Form_Load() {
    if (mainWindow_)
        move(mainWindow_->pos());
    try {
        Combo1->addItems(session_.accounts());
    } catch (const StoreError& error) {
        prompter_.message(QStringLiteral("The accounts could not be read: ") + error.message());
    }
    // No account is chosen until the user picks one.
    Combo1->setCurrentIndex(-1);
    SetupGrid(*sheet);
    // Wide enough for every column of the grid.
    const QMargins margins = layout()->contentsMargins();
    resize(std::max(width(), vaSpread1->layoutWidth() + margins.left() + margins.right()),
           height());
}

void frmProcess::Form_Activate() {
    RefreshGrid();
}

void frmProcess::RefreshGrid() {
    if (running_)
        return;
    report(session_.RefreshGrid(*sheet));
}

void frmProcess::updateProcessButton() {
    // An account with links has been processed; running it again would apply
    // its buys twice.
    bool processed = true;
    try {
        processed = session_.account().isEmpty() || session_.hasLinks();
    } catch (const StoreError& error) {
        Status->setText(error.message());
    }
    Command1->setEnabled(!running_ && !processed);
}

void frmProcess::report(const MatchOutcome& outcome) {
    // Stopped commands have shown their message already.
    if (outcome.failed())
        prompter_.message(outcome.message);
}

void frmProcess::Combo1_Click() {
    session_.setAccount(Combo1->currentText());
    RefreshGrid();
    updateProcessButton();
}

void frmProcess::Command1_Click() {
    if (running_)
        return;
    session_.setAccount(Combo1->currentText());
    if (Combo1->currentText().isEmpty()) {
        prompter_.message(QStringLiteral("Please select one account"));
        return;
    }
    running_ = true;
    Command1->setEnabled(false);
    Status->setText(QStringLiteral("Processing ") + session_.account());

    // The run holds the window until it ends; the dialog shows how far it
    // got when it takes more than a moment.
    QProgressDialog progress(QStringLiteral("Processing ") + session_.account(), QString(), 0, 1,
                             this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    const MatchOutcome outcome = session_.Process([&](qsizetype done, qsizetype total) {
        progress.setMaximum(int(total));
        progress.setValue(int(done));
    });
    progress.close();
    running_ = false;
    Status->setText(QStringLiteral("Ready"));
    report(outcome);
    RefreshGrid();
    updateProcessButton();
}

void frmProcess::cmdUpdate_Click() {
    cmdUpdate->setEnabled(false);
    const MatchOutcome outcome = session_.Update(*sheet);
    report(outcome);
    if (outcome.done())
        Command3->setEnabled(true);
}

void frmProcess::Command3_Click() {
    report(session_.SaveRecalculate());
}

void frmProcess::Command2_Click() {
    close();
    if (mainWindow_) {
        mainWindow_->show();
        mainWindow_->activateWindow();
    }
}

void frmProcess::vaSpread1_Click(int col, int row) {
    const GridClick click = ProcessSession::clickAt(*sheet, row, col);
    switch (click.kind) {
    case GridClick::Kind::None:
        return;
    case GridClick::Kind::SellSymbol:
        cmdUpdate->setEnabled(true);
        break;
    case GridClick::Kind::AddButton:
        break;
    }
    openBuySelection(click.sellId);
}

void frmProcess::openBuySelection(qint64 sellId) {
    if (showBuySelection)
        showBuySelection(sellId, Combo1->currentText());
    // The buy selection may have linked buys: show them.
    RefreshGrid();
}

std::function<void()> processScreenOpener(AppContext& context, Prompter& prompter,
                                          QWidget* mainWindow) {
    auto screen = std::make_shared<QPointer<frmProcess>>();
    return [&context, &prompter, mainWindow, screen] {
        if (!*screen) {
            *screen = new frmProcess(context.database().connection(), prompter, mainWindow);
            (*screen)->setAttribute(Qt::WA_DeleteOnClose);
            (*screen)->Form_Load();
        }
        (*screen)->show();
        (*screen)->raise();
        (*screen)->activateWindow();
    };
}

} // namespace gainbook
