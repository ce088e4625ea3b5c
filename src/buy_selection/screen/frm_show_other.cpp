#include "buy_selection/screen/frm_show_other.h"

#include "platform/prompter.h"
#include "platform/sheet_model.h"
#include "platform/sort_grid.h"
#include "store/store_error.h"
#include "widgets/spread_grid.h"
#include "widgets/status_hints.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace gainbook {

namespace {

// The window opens a little below and right of the processing screen, so
// that screen's grid still shows which sell is being worked on.
constexpr int kOffset = 33;

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumWidth(88);
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmShowOther::frmShowOther(QSqlDatabase db, Prompter& prompter, qint64 sellId,
                           const QString& account, QWidget* processScreen)
    : QDialog(processScreen), prompter_(prompter), processScreen_(processScreen),
      selection_(std::move(db), sellId, account) {
    setObjectName(QStringLiteral("frmShowOther"));
    setWindowTitle(QStringLiteral("Processing Record"));

    Label2 = new QLabel(QStringLiteral("Show Buy Records"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading = Label1->font();
    heading.setBold(true);
    Label1->setFont(heading);
    sheet = new SheetModel(this);
    vaSpread1 = new SpreadGrid(this);
    vaSpread1->setObjectName(QStringLiteral("vaSpread1"));
    vaSpread1->setSheet(sheet);
    cmdNew = makeButton(this, QStringLiteral("cmdNew"), QStringLiteral("New Buy"));
    cmdAdd = makeButton(this, QStringLiteral("cmdAdd"), QStringLiteral("&Apply"));
    cmdDone = makeButton(this, QStringLiteral("cmdDone"), QStringLiteral("&Done"));
    cmdExit = makeButton(this, QStringLiteral("cmdExit"), QStringLiteral("&Close"));
    cmdAdd->setEnabled(false);
    cmdDone->setEnabled(false);
    Status = new QLabel(QStringLiteral("Ready"), this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setFrameShape(QFrame::Panel);
    Status->setFrameShadow(QFrame::Sunken);

    buildLayout();
    setHints();

    connect(vaSpread1, &SpreadGrid::cellClicked, this, &frmShowOther::vaSpread1_Click);
    connect(vaSpread1, &SpreadGrid::cellChanged, this, &frmShowOther::vaSpread1_Change);
    connect(cmdNew, &QPushButton::clicked, this, &frmShowOther::cmdNew_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmShowOther::CmdAdd_Click);
    connect(cmdDone, &QPushButton::clicked, this, &frmShowOther::cmdDone_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmShowOther::cmdExit_Click);
    resize(560, 420);
}

frmShowOther::~frmShowOther() = default;

void frmShowOther::buildLayout() {
    auto* filter = new QHBoxLayout;
    filter->addWidget(Label2);
    filter->addWidget(Combo1);
    filter->addStretch();

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdNew, cmdAdd, cmdDone, cmdExit})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filter);
    layout->addWidget(Label1);
    layout->addWidget(vaSpread1, 1);
    layout->addLayout(buttons);
    layout->addWidget(Status);
}

void frmShowOther::setHints() {
    hints_ = new StatusHints(Status, this);
    hints_->add(cmdAdd, QStringLiteral("Click to Apply current changes"));
    hints_->add(cmdExit, QStringLiteral("Click to exit this screen"));
    hints_->add(vaSpread1, QStringLiteral("Click in first column to Add or remove ,Click on "
                                          "header row to Sort by that column"));
    // The list's hint comes with the focus, the status line answers a click.
    Combo1->installEventFilter(this);
    Status->installEventFilter(this);
}

bool frmShowOther::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Combo1 && event->type() == QEvent::FocusIn)
        Status->setText(QStringLiteral("Select what buy records are displayed"));
    else if (watched == Status && event->type() == QEvent::MouseButtonPress)
        Status->setText(QStringLiteral("Don't click me"));
    return QDialog::eventFilter(watched, event);
}

bool frmShowOther::Form_Load() {
    if (processScreen_)
        move(processScreen_->pos() + QPoint(kOffset, kOffset));
    Combo1->addItems(buyFilterEntries());
    Combo1->setCurrentIndex(0);
    try {
        if (selection_.FillSellRec())
            Label1->setText(selection_.heading());
    } catch (const StoreError& error) {
        prompter_.message(QStringLiteral("The sell could not be read: ") + error.message());
    }
    const bool open = FillGrid();
    const QMargins margins = layout()->contentsMargins();
    resize(std::max(width(), vaSpread1->layoutWidth() + margins.left() + margins.right()),
           height());
    // The status line keeps "Ready" until the user turns to the filter.
    vaSpread1->setFocus();
    // Connected only now: choosing the first entry above is not a change.
    connect(Combo1, &QComboBox::currentIndexChanged, this, &frmShowOther::Combo1_Click);
    return open;
}

bool frmShowOther::FillGrid() {
    BuyFill fill = BuyFill::Filled;
    try {
        fill = selection_.FillGrid(*sheet, BuyFilter(Combo1->currentIndex()), prompter_);
    } catch (const StoreError& error) {
        prompter_.message(QStringLiteral("The buys could not be read: ") + error.message());
    }
    lastSortCol_ = 0;
    sortDirection_ = 0;
    updateApplyButtons();
    if (fill == BuyFill::NoBuys) {
        // Nothing to choose from in the whole account: back to the
        // processing screen.
        reject();
        if (processScreen_)
            processScreen_->activateWindow();
        return false;
    }
    return true;
}

void frmShowOther::updateApplyButtons() {
    const bool marks = BuySelection::hasMarks(*sheet);
    cmdAdd->setEnabled(marks);
    cmdDone->setEnabled(marks);
}

void frmShowOther::Combo1_Click() {
    if (cmdAdd->isEnabled() && prompter_.ask(QStringLiteral("Do you want to apply changes")))
        apply();
    FillGrid();
}

void frmShowOther::vaSpread1_Click(int col, int row) {
    if (row == 0) {
        SortGrid(*sheet, col, lastSortCol_, sortDirection_);
        return;
    }
    if (col == BuyGridCol::Linked)
        updateApplyButtons();
}

void frmShowOther::vaSpread1_Change(int col, int row) {
    if (row < 1 || row > sheet->rows())
        return;
    if (col == BuyGridCol::Linked) {
        updateApplyButtons();
        return;
    }
    if (col == BuyGridCol::Date && !BuySelection::normalizeDateCell(*sheet, row))
        Status->setText(QStringLiteral("Not a valid date"));
}

void frmShowOther::cmdNew_Click() {
    selection_.cmdNew(*sheet);
    updateApplyButtons();
    vaSpread1->setCurrentCell(BuyGridCol::Date, 1);
    vaSpread1->scrollToTop();
}

bool frmShowOther::apply() {
    const std::optional<QString> failure = selection_.Apply(*sheet);
    updateApplyButtons();
    if (failure) {
        prompter_.message(*failure);
        return false;
    }
    Status->setText(QStringLiteral("Ready"));
    return true;
}

void frmShowOther::CmdAdd_Click() {
    apply();
}

void frmShowOther::cmdDone_Click() {
    // A failed Apply keeps the screen open, so the marks are not lost.
    if (apply())
        accept();
}

void frmShowOther::cmdExit_Click() {
    reject();
}

} // namespace gainbook
