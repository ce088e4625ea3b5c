#include "main_window/record_grid_pane.h"

#include "app/app_context.h"
#include "app/sort_grid.h"
#include "main_window/record_editing.h"
#include "main_window/record_writers.h"
#include "main_window/tax_view.h"
#include "main_window/txn_view.h"
#include "platform/prompter.h"
#include "platform/sheet_model.h"
#include "platform/spread_grid.h"
#include "store/store_error.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

namespace gainbook {

RecordGridPane::RecordGridPane(AppContext& context, Prompter& prompter,
                               std::function<OutlineSelection()> selection, QWidget* parent)
    : QObject(parent), context_(context), prompter_(prompter), selection_(std::move(selection)) {
    sheet = new SheetModel(this);
    SetupTxnGrid(*sheet);
    grdFormlist = new SpreadGrid(parent);
    grdFormlist->setObjectName(QStringLiteral("grdFormlist"));
    grdFormlist->setSheet(sheet);

    Frame2 = new QFrame(parent);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel(Frame2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(Frame2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(Frame2);
    Label3->setObjectName(QStringLiteral("Label3"));
    setTotalsCaptions(QStringLiteral("Total Records"), QStringLiteral("Total Proceeds"),
                      QStringLiteral("Total Gain"));
    auto* totals = new QHBoxLayout(Frame2);
    totals->addWidget(Label1);
    totals->addSpacing(24);
    totals->addWidget(Label2);
    totals->addSpacing(24);
    totals->addWidget(Label3);
    totals->addStretch();
    Frame2->hide();

    connect(grdFormlist, &SpreadGrid::cellChanged, this, &RecordGridPane::grdFormlist_Change);
    connect(grdFormlist, &SpreadGrid::cellClicked, this, &RecordGridPane::grdFormList_Click);
    connect(grdFormlist, &SpreadGrid::keyDown, this, &RecordGridPane::grdFormlist_KeyDown);
}

void RecordGridPane::setTotalsCaptions(const QString& records, const QString& proceeds,
                                       const QString& gain) {
    Label1->setText(records);
    Label2->setText(proceeds);
    Label3->setText(gain);
}

void RecordGridPane::setView(RecordView view) {
    view_ = view;
    if (view == RecordView::Tax)
        SetupTaxGrid(*sheet);
    else
        SetupTxnGrid(*sheet);
}

void RecordGridPane::setUnsavedEdits(bool unsaved) {
    if (unsaved_ == unsaved)
        return;
    unsaved_ = unsaved;
    emit unsavedEditsChanged(unsaved);
}

void RecordGridPane::ClearGrid() {
    sheet->clear();
}

void RecordGridPane::fill() {
    filledFor_ = selection_();
    if (!filledFor_.isValid())
        return;
    const QSqlDatabase db = context_.database().connection();
    try {
        if (view_ == RecordView::Transactions) {
            FillGrid1(*sheet, db, filledFor_.account,
                      filledFor_.isAccount() ? std::nullopt : std::optional(filledFor_.text));
            return;
        }
        if (!filledFor_.isAccount()) {
            prompter_.message(QStringLiteral("Tax record can not be displayed monthwise"));
            return;
        }
        const TaxTotals totals = FillGrid(*sheet, db, filledFor_.account, context_.taxYear());
        setTotalsCaptions(totals.recordsText(), totals.proceedsText(), totals.gainText());
    } catch (const StoreError& e) {
        emit statusText(QStringLiteral("Records could not be read: ") + e.message());
    }
}

void RecordGridPane::cmdNew_Click() {
    if (!filledFor_.isValid()) {
        emit statusText(QStringLiteral("Select an account in the outline first"));
        return;
    }
    if (sheet->columns() == 0)
        setView(view_);
    addNewRecord(*sheet, view_, monthForNewRecord(filledFor_), context_.taxYear());
    setUnsavedEdits(true);
    grdFormlist->setFocus();
    grdFormlist->setCurrentCell(view_ == RecordView::Tax ? 1 : 2, 1);
}

void RecordGridPane::CmdAdd_Click() {
    setUnsavedEdits(false);
    const QString status = saveChangedRows(*sheet, view_, context_.database().connection(),
                                           filledFor_.account, prompter_);
    emit statusText(status.isEmpty() ? QStringLiteral("Ready") : status);
}

void RecordGridPane::Command4_Click() {
    setUnsavedEdits(false);
    ClearGrid();
    fill();
}

void RecordGridPane::grdFormlist_Change(int col, int row) {
    const QString status = recordCellChanged(*sheet, view_, col, row);
    setUnsavedEdits(true);
    if (!status.isEmpty())
        emit statusText(status);
}

void RecordGridPane::grdFormList_Click(int col, int row) {
    if (row != 0)
        return;
    SortGrid(*sheet, col, LastSortCol, SortOrder);
}

void RecordGridPane::grdFormlist_KeyDown(int key, Qt::KeyboardModifiers) {
    if (key != Qt::Key_Delete)
        return;
    const RowDeleteResult result = deleteGridRow(*sheet, view_, grdFormlist->currentRow(),
                                                 context_.database().connection(), prompter_);
    if (!result.status.isEmpty())
        emit statusText(result.status);
}

} // namespace gainbook
