#include "main_window/screen/record_grid_pane.h"

#include "main_window/record_editing.h"
#include "main_window/screen/gain_chart.h"
#include "platform/prompter.h"
#include "platform/sort_grid.h"
#include "startup/app_context.h"
#include "store/asset_kind_table.h"
#include "store/store_error.h"
#include "widgets/spread_grid.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace gainbook {

RecordGridPane::RecordGridPane(AppContext& context, Prompter& prompter,
                               std::function<OutlineSelection()> selection, QWidget* parent)
    : QObject(parent), context_(context), prompter_(prompter), selection_(std::move(selection)) {
    txnRows_ = new RecordTableModel<TxnRecord>(
        std::make_unique<TxnColumns>(QSet<qint64>{}, digitalOf()), this);
    taxRows_ = new RecordTableModel<TaxRecord>(std::make_unique<TaxColumns>(), this);
    recordGrid_ = new SpreadGrid(parent);
    recordGrid_->setObjectName(QStringLiteral("grdFormlist"));
    recordGrid_->setGridModel(txnRows_);

    totalsFrame_ = new QFrame(parent);
    totalsFrame_->setObjectName(QStringLiteral("Frame2"));
    totalsFrame_->setFrameShape(QFrame::StyledPanel);
    recordsTotal_ = new QLabel(totalsFrame_);
    recordsTotal_->setObjectName(QStringLiteral("Label1"));
    proceedsTotal_ = new QLabel(totalsFrame_);
    proceedsTotal_->setObjectName(QStringLiteral("Label2"));
    gainTotal_ = new QLabel(totalsFrame_);
    gainTotal_->setObjectName(QStringLiteral("Label3"));
    washTotal_ = new QLabel(totalsFrame_);
    washTotal_->setObjectName(QStringLiteral("Label4"));
    washTotal_->hide();
    // Records a processing run has still to bring in line with their trades.
    processAgain_ = new QLabel(totalsFrame_);
    processAgain_->setObjectName(QStringLiteral("lblProcessAgain"));
    processAgain_->setWordWrap(true);
    processAgain_->hide();
    setTotalsCaptions(QStringLiteral("Total Records"), QStringLiteral("Total Proceeds"),
                      QStringLiteral("Total Gain"));
    // The year's picture stands above the figures it adds up to.
    gainChart_ = new GainChart(totalsFrame_);
    auto* frame = new QVBoxLayout(totalsFrame_);
    frame->addWidget(gainChart_);
    auto* totals = new QHBoxLayout;
    frame->addLayout(totals);
    totals->addWidget(recordsTotal_);
    totals->addSpacing(24);
    totals->addWidget(proceedsTotal_);
    totals->addSpacing(24);
    totals->addWidget(gainTotal_);
    totals->addSpacing(24);
    totals->addWidget(washTotal_);
    totals->addStretch();
    frame->addWidget(processAgain_);
    totalsFrame_->hide();

    connect(recordGrid_, &SpreadGrid::cellChanged, this, &RecordGridPane::grdFormlist_Change);
    connect(recordGrid_, &SpreadGrid::cellClicked, this, &RecordGridPane::grdFormList_Click);
    connect(recordGrid_, &SpreadGrid::keyDown, this, &RecordGridPane::grdFormlist_KeyDown);
}

std::function<bool(const TxnRecord&)> RecordGridPane::digitalOf() {
    return [this](const TxnRecord& record) {
        return assetKinds_.isDigital(record.accountName, record.symbol);
    };
}

RecordTableModelBase& RecordGridPane::model() const {
    if (view_ == RecordView::Tax)
        return *taxRows_;
    return *txnRows_;
}

const TxnRecord* RecordGridPane::currentTxn() const {
    const int row = recordGrid_->currentRow();
    if (view_ != RecordView::Transactions || row < 1 || row > txnRows_->rows())
        return nullptr;
    const TxnRecord& record = txnRows_->record(row);
    return record.id > 0 ? &record : nullptr;
}

void RecordGridPane::selectTxn(qint64 id) {
    for (int row = 1; row <= txnRows_->rows(); ++row) {
        if (txnRows_->record(row).id == id) {
            const int col = recordGrid_->currentCol();
            recordGrid_->setCurrentCell(col > 0 ? col : int(TxnGridCol::Symbol), row);
            return;
        }
    }
}

void RecordGridPane::setTotalsCaptions(const QString& records, const QString& proceeds,
                                       const QString& gain) {
    recordsTotal_->setText(records);
    proceedsTotal_->setText(proceeds);
    gainTotal_->setText(gain);
    // Shown again by a tax fill that finds wash sales or stale accounts.
    washTotal_->clear();
    washTotal_->hide();
    processAgain_->clear();
    processAgain_->hide();
}

void RecordGridPane::setView(RecordView view) {
    ClearGrid();
    view_ = view;
    recordGrid_->setGridModel(&model());
}

void RecordGridPane::setUnsavedEdits(bool unsaved) {
    if (unsaved_ == unsaved)
        return;
    unsaved_ = unsaved;
    emit unsavedEditsChanged(unsaved);
}

void RecordGridPane::ClearGrid() {
    txnRows_->clear();
    taxRows_->clear();
    // Totals of records no longer shown would mislead.
    gainChart_->clear();
    setTotalsCaptions(QStringLiteral("Total Records"), QStringLiteral("Total Proceeds"),
                      QStringLiteral("Total Gain"));
}

void RecordGridPane::fill() {
    // Rows read afresh come in the store's order: no arrow claims another.
    recordGrid_->horizontalHeader()->setSortIndicatorShown(false);
    filledFor_ = selection_();
    if (!filledFor_.isValid())
        return;
    const QSqlDatabase db = context_.database().connection();
    try {
        if (view_ == RecordView::Transactions) {
            const std::optional<QString> month =
                filledFor_.isAccount() ? std::nullopt : std::optional(filledFor_.text);
            assetKinds_ = selectAssetKinds(db);
            txnRows_->fillRecords(
                [&](QVector<TxnRow>& rows) { FillGrid1(db, filledFor_.account, month, rows); },
                txnColumnsOf(db, digitalOf()));
            return;
        }
        if (!filledFor_.isAccount()) {
            if (!quietFill_)
                prompter_.message(QStringLiteral("Tax record can not be displayed monthwise"));
            return;
        }
        TaxViewRecords tax = FillGrid(db, filledFor_.account, context_.taxYear());
        gainChart_->setGains(tax.gains);
        taxRows_->setRecords(std::move(tax.records),
                             std::make_unique<TaxColumns>(tax.taxAdvantaged));
        QString records = tax.totals.recordsText();
        for (const QString& more : {tax.totals.notReportedText(), tax.totals.warningsText()}) {
            if (!more.isEmpty())
                records += QStringLiteral("   ") + more;
        }
        setTotalsCaptions(records, tax.totals.proceedsText(), tax.totals.gainText());
        washTotal_->setText(tax.totals.washText());
        washTotal_->setVisible(!tax.totals.washText().isEmpty());
        processAgain_->setText(tax.processAgain);
        processAgain_->setVisible(!tax.processAgain.isEmpty());
    } catch (const StoreError& e) {
        emit statusText(QStringLiteral("Records could not be read: ") + e.message());
    }
}

void RecordGridPane::refill() {
    quietFill_ = true;
    fill();
    quietFill_ = false;
}

void RecordGridPane::cmdNew_Click() {
    if (!filledFor_.isValid()) {
        emit statusText(QStringLiteral("Select an account in the outline first"));
        return;
    }
    if (view_ == RecordView::Tax)
        taxRows_->insertNewRecord(1, newTaxRecord(context_.taxYear()));
    else
        txnRows_->insertNewRecord(
            1, newTxnRecord(txnRows_->rowList(), filledFor_, context_.taxYear()));
    setUnsavedEdits(true);
    recordGrid_->setFocus();
    recordGrid_->setCurrentCell(view_ == RecordView::Tax ? 1 : 2, 1);
}

void RecordGridPane::CmdAdd_Click() {
    setUnsavedEdits(false);
    const QSqlDatabase db = context_.database().connection();
    const QString& account = filledFor_.account;
    const QString status = view_ == RecordView::Tax
                               ? taxRows_->updateRows([&](QVector<TaxRow>& rows) {
                                     return saveChangedRows(rows, db, account, prompter_);
                                 })
                               : txnRows_->updateRows([&](QVector<TxnRow>& rows) {
                                     return saveChangedRows(rows, db, account, prompter_);
                                 });
    emit statusText(status.isEmpty() ? QStringLiteral("Ready") : status);
}

void RecordGridPane::Command4_Click() {
    setUnsavedEdits(false);
    ClearGrid();
    fill();
}

void RecordGridPane::grdFormlist_Change(int col, int row) {
    setUnsavedEdits(true);
    if (const RefusedCell* refused = model().state(row).refusedCell(col))
        emit statusText(refused->message);
}

void RecordGridPane::grdFormList_Click(int col, int row) {
    if (row != 0)
        return;
    SortGrid(model(), col, LastSortCol, SortOrder);
    QHeaderView* heading = recordGrid_->horizontalHeader();
    heading->setSortIndicatorShown(true);
    heading->setSortIndicator(col - 1, SortOrder == SortAscending ? Qt::AscendingOrder
                                                                  : Qt::DescendingOrder);
}

void RecordGridPane::grdFormlist_KeyDown(int key, Qt::KeyboardModifiers) {
    if (key != Qt::Key_Delete)
        return;
    const int row = recordGrid_->currentRow();
    if (row < 1 || row > model().rows())
        return;
    const QSqlDatabase db = context_.database().connection();
    const RowDeleteResult result = view_ == RecordView::Tax
                                       ? deleteGridRow(taxRows_->row(row), row, db, prompter_)
                                       : deleteGridRow(txnRows_->row(row), row, db, prompter_);
    if (result.removed)
        model().removeRowAt(row);
    if (!result.status.isEmpty())
        emit statusText(result.status);
}

} // namespace gainbook
