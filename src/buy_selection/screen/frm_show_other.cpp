#include "buy_selection/screen/frm_show_other.h"

#include "platform/date_text.h"
#include "platform/prompter.h"
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
      selection_(std::move(db), account), sellId_(sellId) {
    setObjectName(QStringLiteral("frmShowOther"));
    setWindowTitle(QStringLiteral("Processing Record"));

    filterLabel_ = new QLabel(QStringLiteral("Show Buy Records"), this);
    filterLabel_->setObjectName(QStringLiteral("Label2"));
    filterList_ = new QComboBox(this);
    filterList_->setObjectName(QStringLiteral("Combo1"));
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("Label1"));
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    buyTable_ = new RecordTableModel<BuyRow>(std::make_unique<BuyColumns>(), this);
    buyGrid_ = new SpreadGrid(this);
    buyGrid_->setObjectName(QStringLiteral("vaSpread1"));
    buyGrid_->setGridModel(buyTable_);
    newBuyButton_ = makeButton(this, QStringLiteral("cmdNew"), QStringLiteral("New Buy"));
    applyButton_ = makeButton(this, QStringLiteral("cmdAdd"), QStringLiteral("&Apply"));
    doneButton_ = makeButton(this, QStringLiteral("cmdDone"), QStringLiteral("&Done"));
    closeButton_ = makeButton(this, QStringLiteral("cmdExit"), QStringLiteral("&Close"));
    applyButton_->setEnabled(false);
    doneButton_->setEnabled(false);
    status_ = new QLabel(QStringLiteral("Ready"), this);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setFrameShape(QFrame::Panel);
    status_->setFrameShadow(QFrame::Sunken);

    buildLayout();
    setHints();

    connect(buyGrid_, &SpreadGrid::cellClicked, this, &frmShowOther::vaSpread1_Click);
    connect(buyGrid_, &SpreadGrid::cellChanged, this, &frmShowOther::vaSpread1_Change);
    connect(newBuyButton_, &QPushButton::clicked, this, &frmShowOther::cmdNew_Click);
    connect(applyButton_, &QPushButton::clicked, this, &frmShowOther::CmdAdd_Click);
    connect(doneButton_, &QPushButton::clicked, this, &frmShowOther::cmdDone_Click);
    connect(closeButton_, &QPushButton::clicked, this, &frmShowOther::cmdExit_Click);
    resize(560, 420);
}

frmShowOther::~frmShowOther() = default;

void frmShowOther::buildLayout() {
    auto* filter = new QHBoxLayout;
    filter->addWidget(filterLabel_);
    filter->addWidget(filterList_);
    filter->addStretch();

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {newBuyButton_, applyButton_, doneButton_, closeButton_})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filter);
    layout->addWidget(heading_);
    layout->addWidget(buyGrid_, 1);
    layout->addLayout(buttons);
    layout->addWidget(status_);
}

void frmShowOther::setHints() {
    auto* hints = new StatusHints(status_, this);
    hints->add(applyButton_, QStringLiteral("Click to Apply current changes"));
    hints->add(closeButton_, QStringLiteral("Click to exit this screen"));
    hints->add(buyGrid_, QStringLiteral("Click in first column to Add or remove ,Click on "
                                        "header row to Sort by that column"));
    // The list's hint comes with the focus, the status line answers a click.
    filterList_->installEventFilter(this);
    status_->installEventFilter(this);
}

bool frmShowOther::eventFilter(QObject* watched, QEvent* event) {
    if (watched == filterList_ && event->type() == QEvent::FocusIn)
        status_->setText(QStringLiteral("Select what buy records are displayed"));
    else if (watched == status_ && event->type() == QEvent::MouseButtonPress)
        status_->setText(QStringLiteral("Don't click me"));
    return QDialog::eventFilter(watched, event);
}

bool frmShowOther::Form_Load() {
    if (processScreen_)
        move(processScreen_->pos() + QPoint(kOffset, kOffset));
    filterList_->addItems(buyFilterEntries());
    filterList_->setCurrentIndex(0);
    try {
        sell_ = selection_.findSell(sellId_);
        if (sell_)
            heading_->setText(buySelectionHeading(*sell_));
    } catch (const StoreError& error) {
        prompter_.message(QStringLiteral("The sell could not be read: ") + error.message());
    }
    const bool open = FillGrid();
    // The status line keeps "Ready" until the user turns to the filter.
    buyGrid_->setFocus();
    // Connected only now: choosing the first entry above is not a change.
    connect(filterList_, &QComboBox::currentIndexChanged, this, &frmShowOther::Combo1_Click);
    return open;
}

bool frmShowOther::FillGrid() {
    // Emptied first: the question about showing every buy comes without the
    // rows of the previous filter.
    buyTable_->clear();
    BuyListing listing;
    try {
        listing = selection_.listBuys(BuyFilter(filterList_->currentIndex()), prompter_,
                                      sell_ ? sell_->txnDate : QDate());
    } catch (const StoreError& error) {
        prompter_.message(QStringLiteral("The buys could not be read: ") + error.message());
    }
    buyTable_->setRecords(std::move(listing.rows));
    // Whose buy each row is matters once buys of other accounts are listed.
    buyGrid_->setColumnHidden(BuyGridCol::Account - 1,
                              !filterSpansAccounts(BuyFilter(filterList_->currentIndex())));
    // Wide enough for every column on show.
    const QMargins margins = layout()->contentsMargins();
    resize(std::max(width(), buyGrid_->layoutWidth() + margins.left() + margins.right()), height());
    lastSortCol_ = 0;
    sortDirection_ = 0;
    updateApplyButtons();
    if (!listing.accountHasBuys) {
        // Nothing to choose from in the whole account: back to the
        // processing screen.
        reject();
        if (processScreen_)
            processScreen_->activateWindow();
        return false;
    }
    return true;
}

bool frmShowOther::isMarked(int gridRow) const {
    const BuyRow& row = buyTable_->record(gridRow);
    return row.linked && !row.applied;
}

bool frmShowOther::hasMarks() const {
    for (int row = 1; row <= buyTable_->rows(); ++row) {
        if (isMarked(row))
            return true;
    }
    return false;
}

void frmShowOther::updateApplyButtons() {
    const bool marks = hasMarks();
    applyButton_->setEnabled(marks);
    doneButton_->setEnabled(marks);
}

void frmShowOther::Combo1_Click() {
    if (applyButton_->isEnabled() && prompter_.ask(QStringLiteral("Do you want to apply changes")))
        apply();
    FillGrid();
}

void frmShowOther::vaSpread1_Click(int col, int row) {
    if (row == 0) {
        SortGrid(*buyTable_, col, lastSortCol_, sortDirection_);
        return;
    }
    if (col == BuyGridCol::Linked)
        updateApplyButtons();
}

void frmShowOther::markRefused(int gridRow, const QString& refusal) {
    buyTable_->updateRows([&](QVector<BuyTableRow>& rows) {
        RowState& state = rows[gridRow - 1].state;
        state.error = refusal;
        // Nothing is saved but through Apply, and the box shows what Apply
        // takes: the row keeps no mark of its own.
        state.changed = false;
    });
}

void frmShowOther::vaSpread1_Change(int col, int row) {
    if (row < 1 || row > buyTable_->rows())
        return;
    const BuyTableRow& changed = buyTable_->row(row);
    // A cell typed again that reads well leaves the row red only while
    // another of its cells still cannot be read.
    const RefusedCell* refused = changed.state.refusedCell(col);
    const QString message = refused ? refused->message : QString();
    markRefused(row, buyRowRefusal(changed));
    if (col == BuyGridCol::Linked)
        updateApplyButtons();
    else if (col == BuyGridCol::Date && !message.isEmpty())
        status_->setText(QStringLiteral("Not a valid date"));
    else if (!message.isEmpty())
        status_->setText(message);
}

void frmShowOther::cmdNew_Click() {
    buyTable_->insertNewRecord(1, newBuyRow(sell_.value_or(TxnRecord{})));
    updateApplyButtons();
    buyGrid_->setCurrentCell(BuyGridCol::Date, 1);
    buyGrid_->scrollToTop();
}

bool frmShowOther::apply() {
    QVector<int> marked;
    QVector<BuyChoice> choices;
    for (int row = 1; row <= buyTable_->rows(); ++row) {
        if (!isMarked(row))
            continue;
        const BuyTableRow& shown = buyTable_->row(row);
        // A cell that cannot be read is never stored as a guess.
        if (const QString refusal = buyRowRefusal(shown); !refusal.isEmpty()) {
            markRefused(row, refusal);
            status_->setText(refusal);
            prompter_.message(refusal);
            return false;
        }
        BuyChoice choice;
        choice.buyId = shown.record.buy.id;
        choice.quantity = shown.record.appliedQuantity.toDouble();
        choice.cost = shown.record.appliedCost;
        if (shown.state.isNew)
            choice.newBuy = shown.record.buy;
        marked.append(row);
        choices.append(std::move(choice));
    }

    applyButton_->setEnabled(false);
    doneButton_->setEnabled(false);
    // Taking more shares than a buy has open is the user's call here.
    const Outcome outcome = selection_.Apply(sellId_, choices, &prompter_);
    if (!outcome.done()) {
        updateApplyButtons();
        // A No to the question has nothing more to say.
        if (!outcome.message.isEmpty())
            prompter_.message(outcome.message);
        return false;
    }
    buyTable_->updateRows([&](QVector<BuyTableRow>& rows) {
        for (qsizetype i = 0; i < marked.size(); ++i) {
            BuyTableRow& applied = rows[marked[i] - 1];
            // The box stays set, locked: the buy is linked to the sell now.
            applied.record.applied = true;
            if (applied.state.isNew) {
                // Stored now: the row behaves like any listed buy, and a
                // second Apply does not store it again.
                applied.state.isNew = false;
                applied.record.buy = *choices[i].newBuy;
                applied.record.buy.id = choices[i].buyId;
            }
            applied.state.changed = false;
        }
    });
    updateApplyButtons();
    linksWritten_ += outcome.count;
    status_->setText(buysLinkedText(outcome.count));
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
