#pragma once

#include "main_window/record_view.h"

#include <QObject>

#include <functional>

class QFrame;
class QLabel;
class QWidget;

namespace gainbook {

class AppContext;
class Prompter;
class SheetModel;
class SpreadGrid;

// The record grid of the main window with its totals strip: fills it for
// an outline item in the current view, sorts by heading, tracks edits and
// runs New Record, Save, Clear and the Delete key.
class RecordGridPane : public QObject {
    Q_OBJECT

public:
    RecordGridPane(AppContext& context, Prompter& prompter,
                   std::function<OutlineSelection()> selection, QWidget* parent);

    SpreadGrid* grdFormlist = nullptr;
    SheetModel* sheet = nullptr;
    QFrame* Frame2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;

    RecordView view() const { return view_; }
    // Switches the layout; the grid is empty afterwards.
    void setView(RecordView view);

    // What the Save button's enabled state stands for.
    bool hasUnsavedEdits() const { return unsaved_; }
    void setUnsavedEdits(bool unsaved);

    // The outline item the rows on show belong to.
    const OutlineSelection& filledFor() const { return filledFor_; }

    void ClearGrid();
    // Fills the grid for the outline's selected item in the current view.
    void fill();

    // The state the heading sort carries from one click to the next.
    int SortOrder = 1;
    int LastSortCol = 0;

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
    void setTotalsCaptions(const QString& records, const QString& proceeds, const QString& gain);

    AppContext& context_;
    Prompter& prompter_;
    std::function<OutlineSelection()> selection_;
    // The item the grid was last filled for: new rows and saves go to its
    // account even if the outline's highlight has moved since.
    OutlineSelection filledFor_;
    RecordView view_ = RecordView::Transactions;
    bool unsaved_ = false;
};

} // namespace gainbook
