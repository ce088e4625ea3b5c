#pragma once

#include "matching/process_session.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QWindow;

namespace gainbook {

class AppContext;
class Prompter;
class SheetModel;
class SpreadGrid;
class StatusHints;

// "Processing Record": the user picks an account, runs its matching, looks
// at the links in the grid, detaches wrong lots and rebuilds the tax
// records. The matching itself is ProcessSession's; this window wires the
// controls to it.
class frmProcess : public QWidget {
    Q_OBJECT

public:
    frmProcess(QSqlDatabase db, Prompter& prompter, QWidget* mainWindow = nullptr);
    ~frmProcess() override;

    // Places the window, lists the accounts and lays out the empty grid.
    void Form_Load();
    // Fresh links after another screen was in front.
    void Form_Activate();

    QComboBox* Combo1 = nullptr;
    QPushButton* Command1 = nullptr; // "Process"
    QPushButton* cmdUpdate = nullptr;
    QPushButton* Command3 = nullptr; // "Save/Recalculate"
    QPushButton* Command2 = nullptr; // "E&xit"
    QLabel* Status = nullptr;
    SpreadGrid* vaSpread1 = nullptr;
    SheetModel* sheet = nullptr;

    ProcessSession& session() { return session_; }
    StatusHints& hints() { return *hints_; }

    // Shows the buy selection for one sell of the account and returns when
    // it has closed; tests replace it so they need no modal loop.
    std::function<void(qint64 sellId, const QString& account)> showBuySelection;

    // Whether a processing run is going on.
    bool isRunning() const { return running_; }

public slots:
    void Combo1_Click();
    void Command1_Click();
    void cmdUpdate_Click();
    void Command3_Click();
    void Command2_Click();
    void vaSpread1_Click(int col, int row);

private:
    void buildLayout();
    void setHints();
    void RefreshGrid();
    void updateProcessButton();
    void report(const MatchOutcome& outcome);
    void openBuySelection(qint64 sellId);

    QSqlDatabase db_;
    Prompter& prompter_;
    QPointer<QWidget> mainWindow_;
    ProcessSession session_;
    StatusHints* hints_ = nullptr;
    bool running_ = false;
};

// What the main window's "&Process" runs: shows the one processing screen,
// opening it on the shared database handle when it is not open yet.
std::function<void()> processScreenOpener(AppContext& context, Prompter& prompter,
                                          QWidget* mainWindow);

} // namespace gainbook
