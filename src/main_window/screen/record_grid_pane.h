#pragma once

#include "main_window/record_view.h"
#include "main_window/tax_view.h"
#include "main_window/txn_view.h"
#include "platform/asset_kind.h"
#include "widgets/record_table_model.h"

#include <QObject>

#include <functional>

class QFrame;
class QLabel;
class QWidget;

namespace gainbook {

class AppContext;
class GainChart;
class Prompter;
class SpreadGrid;

// The record grid of the main window with its totals strip: fills it for
// an outline item in the current view, sorts by heading, tracks edits and
// runs New Record, Save, Clear and the Delete key. Each view has its own
// model of typed records; the grid shows the current view's.
class RecordGridPane : public QObject {
    Q_OBJECT

public:
    RecordGridPane(AppContext& context, Prompter& prompter,
                   std::function<OutlineSelection()> selection, QWidget* parent);

    SpreadGrid* recordGrid() const { return recordGrid_; }   // grdFormlist
    QFrame* totalsFrame() const { return totalsFrame_; }     // Frame2
    QLabel* recordsTotal() const { return recordsTotal_; }   // Label1
    QLabel* proceedsTotal() const { return proceedsTotal_; } // Label2
    QLabel* gainTotal() const { return gainTotal_; }         // Label3
    QLabel* washTotal() const { return washTotal_; }         // Label4, shown for wash sales
    // "Accounts to process again before filing: A, B", shown with the tax
    // view when there are such accounts.
    QLabel* processAgain() const { return processAgain_; }
    GainChart* gainChart() const { return gainChart_; }

    // The rows on show, in the current view.
    RecordTableModelBase& model() const;

    RecordView view() const { return view_; }
    // Switches the view; the grid is empty afterwards.
    void setView(RecordView view);

    // What the Save button's enabled state stands for.
    bool hasUnsavedEdits() const { return unsaved_; }
    void setUnsavedEdits(bool unsaved);

    // The stored transaction on the grid's current row in the transactions
    // view; null on a new row, a heading or in the tax view.
    const TxnRecord* currentTxn() const;
    // Puts the current cell on the transaction's row, if it is on show.
    void selectTxn(qint64 id);

    // The outline item the rows on show belong to.
    const OutlineSelection& filledFor() const { return filledFor_; }

    void ClearGrid();
    // Fills the grid for the outline's selected item in the current view.
    // A month in the tax view has no grid of its own: the user is told so.
    void fill();
    // The same when the window comes back after another screen: a month in
    // the tax view stays empty without telling the user again what they
    // were told when they chose it.
    void refill();

public slots:
    void cmdNew_Click();
    void CmdAdd_Click();
    void Command4_Click();

signals:
    void statusText(const QString& text);
    void unsavedEditsChanged(bool unsaved);

private slots:
    void grdFormlist_Change(int col, int row);
    void grdFormList_Click(int col, int row);
    void grdFormlist_KeyDown(int key, Qt::KeyboardModifiers shift);

private:
    // Whether a trade is of a digital asset, by the kinds of the last fill.
    std::function<bool(const TxnRecord&)> digitalOf();
    void setTotalsCaptions(const QString& records, const QString& proceeds, const QString& gain);

    AppContext& context_;
    Prompter& prompter_;
    std::function<OutlineSelection()> selection_;
    RecordTableModel<TxnRecord>* txnRows_ = nullptr;
    AssetKinds assetKinds_; // as of the last fill, for the Asset column
    RecordTableModel<TaxRecord>* taxRows_ = nullptr;
    SpreadGrid* recordGrid_ = nullptr;
    QFrame* totalsFrame_ = nullptr;
    QLabel* recordsTotal_ = nullptr;
    QLabel* proceedsTotal_ = nullptr;
    QLabel* gainTotal_ = nullptr;
    QLabel* washTotal_ = nullptr;
    QLabel* processAgain_ = nullptr;
    GainChart* gainChart_ = nullptr;
    // The item the grid was last filled for: new rows and saves go to its
    // account even if the outline's highlight has moved since.
    OutlineSelection filledFor_;
    bool quietFill_ = false; // refill(): no message for a month in the tax view
    RecordView view_ = RecordView::Transactions;
    bool unsaved_ = false;
    // The state the heading sort carries from one click to the next.
    int SortOrder = 1;
    int LastSortCol = 0;
};

} // namespace gainbook
