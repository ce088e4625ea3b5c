#pragma once

#include "matching/match_columns.h"
#include "matching/process_session.h"
#include "matching/run_end.h"
#include "widgets/record_table_model.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace gainbook {

class AppContext;
class frmWhatIf;
class Prompter;
class SettingsStore;
class SpreadGrid;

// Shows the buy selection for one sell of an account over the given
// window and returns when it has closed, with the number of links written.
using BuySelectionOpener =
    std::function<qint64(QWidget* over, qint64 sellId, const QString& account)>;

// The buy selection screen, modal over the processing screen; with settings
// it opens where it was left.
BuySelectionOpener buySelectionScreen(QSqlDatabase db, Prompter& prompter,
                                      SettingsStore* settings = nullptr);

// "Processing Record": the user picks an account, runs its matching, looks
// at the links in the grid, detaches wrong lots and rebuilds the tax
// records. The matching itself is ProcessSession's; this window shows its
// typed rows and turns cleared boxes and clicks into its commands. The
// controls keep their designer names as object names (Combo1, Command1,
// cmdUpdate, Command3, Command2, Status, vaSpread1).
class frmProcess : public QWidget {
    Q_OBJECT

public:
    // Without an opener the buy selection screen opens on the same database.
    frmProcess(QSqlDatabase db, Prompter& prompter, QWidget* mainWindow = nullptr,
               BuySelectionOpener openBuySelection = {});
    ~frmProcess() override;

    // Chooses the account as a pick in the list would; nothing for an
    // account the list does not hold, or the one chosen already.
    void chooseAccount(const QString& account);

    // The year whose sells the grid shows; taken before every showing.
    void setTaxYear(TaxYear year) {
        session_.setTaxYear(year);
        year_ = year;
    }

    // Shows the what-if window; tests replace it to look at the window
    // without a modal loop.
    std::function<void(frmWhatIf&)> runWhatIf;

    // Places the window, lists the accounts and lays out the empty grid.
    void Form_Load();
    // Fresh links after another screen was in front.
    void Form_Activate();

public slots:
    void Combo1_Click();
    void Command1_Click();
    void cmdUpdate_Click();
    void Command3_Click();
    void Command2_Click();
    // "What-if": the year's figures of the chosen account under each lot
    // method.
    void cmdWhatIf_Click();
    void vaSpread1_Click(int col, int row);

private:
    // A heading click on "Date Sold" or "Symbol": the sells with their lots
    // in that order, reversed by a second click on the same heading.
    void sortBy(int col);
    void showRows(QVector<MatchRow> rows);
    void buildLayout();
    void setHints();
    void RefreshGrid();
    // The status line names the sells of shares transferred in still
    // without a cost, whenever the account is shown.
    void tellUnknownCost();
    // The account list read again; a file in use offers to try again.
    void loadAccounts();
    void updateProcessButton();
    void report(const Outcome& outcome);
    // The end of a run that went through, or failed: its one summary.
    void reportRun(RunKind kind, const Outcome& outcome);
    void openBuySelection(qint64 sellId);
    // The lots whose box the user has cleared, top to bottom.
    QVector<LotKey> clearedLots() const;

    Prompter& prompter_;
    QPointer<QWidget> mainWindow_;
    QSqlDatabase db_;
    ProcessSession session_;
    BuySelectionOpener openBuySelection_;
    bool running_ = false;
    int sortCol_ = 0; // 0: the order the links were read in
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;

    QComboBox* accountList_ = nullptr;     // Combo1
    QPushButton* processButton_ = nullptr; // Command1, "Process"
    QPushButton* updateButton_ = nullptr;  // cmdUpdate, "Update"
    QPushButton* recalcButton_ = nullptr;  // Command3, "Save/Recalculate"
    QPushButton* exitButton_ = nullptr;    // Command2, "E&xit"
    QPushButton* whatIfButton_ = nullptr;  // cmdWhatIf, "What-if..."
    std::optional<TaxYear> year_;
    QString unknownCostShown_; // the status line's last word on costs not typed
    QLabel* status_ = nullptr; // Status
    RecordTableModel<MatchRow>* matchTable_ = nullptr; // the rows of vaSpread1
    SpreadGrid* matchGrid_ = nullptr;                  // vaSpread1
};

// What the main window's "&Process" runs: shows the one processing screen,
// opening it on the shared database handle when it is not open yet, on the
// account the outline has selected (outlineAccount; empty for none).
std::function<void()> processScreenOpener(AppContext& context, Prompter& prompter,
                                          QWidget* mainWindow,
                                          std::function<QString()> outlineAccount = {});

} // namespace gainbook
