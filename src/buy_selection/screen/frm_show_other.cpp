#include "buy_selection/screen/frm_show_other.h"

#include "platform/date_text.h"
#include "platform/number_text.h"
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

// Text colour of a row holding a cell that cannot be read.
constexpr quint32 kRefusedColor = 0xffff0000;

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumWidth(88);
    button->setAutoDefault(false);
    return button;
}

void setUpGrid(SheetModel& grid) {
    grid.setColumns({
        {QStringLiteral("Linked"), 4, CellKind::CheckBox, Qt::AlignHCenter, false, false},
        {QStringLiteral("Date"), 8, CellKind::Date, Qt::AlignRight, true, false},
        {QStringLiteral("Symbol"), 5, CellKind::Text, Qt::AlignLeft, true, false},
        {QStringLiteral("Applied#"), 6, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Applied Cost"), 7, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Total#"), 5, CellKind::Decimal, Qt::AlignRight, true, false},
        {QStringLiteral("Total Cost"), 7, CellKind::Decimal, Qt::AlignRight, true, false},
        {QStringLiteral("Comments"), 0, CellKind::Whole, Qt::AlignHCenter, true, true},
    });
}

// The cells a buy entered here is typed into, and those it takes as they are.
constexpr int kNewBuyCells[] = {BuyGridCol::Date, BuyGridCol::Symbol, BuyGridCol::Total,
                                BuyGridCol::TotalCost};
constexpr int kAppliedCells[] = {BuyGridCol::Applied, BuyGridCol::AppliedCost};

bool isNumberCell(int col) {
    return col == BuyGridCol::Applied || col == BuyGridCol::AppliedCost ||
           col == BuyGridCol::Total || col == BuyGridCol::TotalCost;
}

// A typed number that money and quantities can hold.
std::optional<double> readNumber(const QString& text) {
    const std::optional<double> value = typedNumber(text);
    if (!value || !Money::isRepresentable(*value))
        return std::nullopt;
    return value;
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
    buySheet_ = new SheetModel(this);
    buyGrid_ = new SpreadGrid(this);
    buyGrid_->setObjectName(QStringLiteral("vaSpread1"));
    buyGrid_->setGridModel(buySheet_);
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
    const QMargins margins = layout()->contentsMargins();
    resize(std::max(width(), buyGrid_->layoutWidth() + margins.left() + margins.right()), height());
    // The status line keeps "Ready" until the user turns to the filter.
    buyGrid_->setFocus();
    // Connected only now: choosing the first entry above is not a change.
    connect(filterList_, &QComboBox::currentIndexChanged, this, &frmShowOther::Combo1_Click);
    return open;
}

bool frmShowOther::FillGrid() {
    // Laid out empty first: the question about showing every buy comes
    // without the rows of the previous filter.
    setUpGrid(*buySheet_);
    shown_.clear();
    BuyListing listing;
    try {
        listing = selection_.listBuys(BuyFilter(filterList_->currentIndex()), prompter_);
    } catch (const StoreError& error) {
        prompter_.message(QStringLiteral("The buys could not be read: ") + error.message());
    }
    shown_.reserve(listing.rows.size());
    QVector<QStringList> texts;
    texts.reserve(listing.rows.size());
    for (BuyRow& row : listing.rows) {
        texts.append(buyRowTexts(row));
        shown_.append({std::move(row), false});
    }
    buySheet_->appendRows(texts);
    for (int r = 1; r <= buySheet_->rows(); ++r)
        buySheet_->setRowKey(r, r - 1);
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

const frmShowOther::ShownBuy& frmShowOther::shownAt(int gridRow) const {
    return shown_[buySheet_->rowKey(gridRow)];
}

frmShowOther::ShownBuy& frmShowOther::shownAt(int gridRow) {
    return shown_[buySheet_->rowKey(gridRow)];
}

bool frmShowOther::isMarked(int gridRow) const {
    return buySheet_->data(buySheet_->index(gridRow - 1, BuyGridCol::Linked - 1),
                           Qt::CheckStateRole) == Qt::Checked;
}

bool frmShowOther::hasMarks() const {
    for (int row = 1; row <= buySheet_->rows(); ++row) {
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
        SortGrid(*buySheet_, col, lastSortCol_, sortDirection_);
        return;
    }
    if (col == BuyGridCol::Linked)
        updateApplyButtons();
}

QString frmShowOther::refusedCell(int gridRow) const {
    const bool unsaved = shownAt(gridRow).unsaved;
    if (unsaved) {
        const QString date = buySheet_->text(gridRow, BuyGridCol::Date);
        if (!dateFromText(date).isValid())
            return QStringLiteral("Not a valid date: %1").arg(date);
    }
    for (int col = BuyGridCol::Applied; col <= BuyGridCol::TotalCost; ++col) {
        if (!isNumberCell(col) || (!unsaved && buySheet_->isLocked(gridRow, col)))
            continue;
        const QString text = buySheet_->text(gridRow, col);
        if (!readNumber(text))
            return QStringLiteral("Not a valid number: %1").arg(text);
    }
    return {};
}

void frmShowOther::markRefused(int gridRow, const QString& refusal) {
    buySheet_->setTextColor(gridRow, refusal.isEmpty() ? 0 : kRefusedColor);
}

void frmShowOther::vaSpread1_Change(int col, int row) {
    if (row < 1 || row > buySheet_->rows())
        return;
    if (col == BuyGridCol::Linked) {
        updateApplyButtons();
        return;
    }
    if (col == BuyGridCol::Date) {
        const QDate date = dateFromText(buySheet_->text(row, col));
        if (date.isValid())
            buySheet_->setText(row, col, formatDate(date));
        else
            status_->setText(QStringLiteral("Not a valid date"));
    }
    const QString refusal = refusedCell(row);
    markRefused(row, refusal);
    if (isNumberCell(col) && refusal.startsWith(QLatin1String("Not a valid number")))
        status_->setText(refusal);
}

void frmShowOther::showRow(int gridRow, const ShownBuy& shown) {
    const QStringList texts = buyRowTexts(shown.row);
    for (int col = 1; col <= BuyGridCol::Count; ++col)
        buySheet_->setText(gridRow, col, texts[col - 1]);
    // A buy entered here is typed in; its applied figures follow from it.
    for (int col : kNewBuyCells)
        buySheet_->setLocked(gridRow, col, !shown.unsaved);
    for (int col : kAppliedCells)
        buySheet_->setLocked(gridRow, col, shown.unsaved);
}

void frmShowOther::cmdNew_Click() {
    const ShownBuy shown{newBuyRow(sell_.value_or(TxnRecord{})), true};
    buySheet_->insertRowAt(1);
    buySheet_->setRowKey(1, shown_.size());
    shown_.append(shown);
    showRow(1, shown);
    updateApplyButtons();
    buyGrid_->setCurrentCell(BuyGridCol::Date, 1);
    buyGrid_->scrollToTop();
}

bool frmShowOther::apply() {
    QVector<int> marked;
    QVector<BuyChoice> choices;
    for (int row = 1; row <= buySheet_->rows(); ++row) {
        if (!isMarked(row))
            continue;
        // A cell that cannot be read is never stored as a guess.
        if (const QString refusal = refusedCell(row); !refusal.isEmpty()) {
            markRefused(row, refusal);
            status_->setText(refusal);
            prompter_.message(refusal);
            return false;
        }
        const ShownBuy& shown = shownAt(row);
        BuyChoice choice;
        choice.buyId = shown.row.buy.id;
        choice.quantity = readNumber(buySheet_->text(row, BuyGridCol::Applied));
        choice.cost = Money::fromDouble(*readNumber(buySheet_->text(row, BuyGridCol::AppliedCost)));
        if (shown.unsaved) {
            TxnRecord buy = shown.row.buy;
            buy.txnDate = dateFromText(buySheet_->text(row, BuyGridCol::Date));
            buy.symbol = buySheet_->text(row, BuyGridCol::Symbol);
            buy.quantity = *readNumber(buySheet_->text(row, BuyGridCol::Total));
            buy.amount =
                Money::fromDouble(*readNumber(buySheet_->text(row, BuyGridCol::TotalCost)));
            choice.newBuy = buy;
        }
        marked.append(row);
        choices.append(std::move(choice));
    }

    applyButton_->setEnabled(false);
    doneButton_->setEnabled(false);
    const Outcome outcome = selection_.Apply(sellId_, choices);
    if (!outcome.done()) {
        updateApplyButtons();
        prompter_.message(outcome.message);
        return false;
    }
    for (qsizetype i = 0; i < marked.size(); ++i) {
        ShownBuy& shown = shownAt(marked[i]);
        shown.row.linked = false;
        if (shown.unsaved) {
            // Stored now: the row behaves like any listed buy, and a second
            // Apply does not store it again.
            shown.unsaved = false;
            shown.row.buy = *choices[i].newBuy;
            shown.row.buy.id = choices[i].buyId;
        }
        buySheet_->setText(marked[i], BuyGridCol::Linked, QStringLiteral("0"));
        buySheet_->setText(marked[i], BuyGridCol::Comments, QString::number(shown.row.buy.id));
        for (int col : kNewBuyCells)
            buySheet_->setLocked(marked[i], col, true);
        for (int col : kAppliedCells)
            buySheet_->setLocked(marked[i], col, false);
    }
    updateApplyButtons();
    status_->setText(QStringLiteral("Ready"));
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
