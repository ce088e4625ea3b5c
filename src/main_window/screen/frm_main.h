#pragma once

#include "startup/database_startup.h"

#include <QMainWindow>

#include <functional>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class QAction;

namespace gainbook {

class AccountOutlinePane;
class AppContext;
class DatabaseCommands;
class frmAccountSettings;
class frmCorpActions;
class frmLots;
class MainCommands;
class Prompter;
class RecordGridPane;
class ReportCommands;
class StatusHints;
class TxfCommands;
class TransferLinkCommands;

// "Your Account at a Glance": the home window. It lays out the outline,
// the record grid and the commands, which live in their own classes, and
// connects them.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    struct Services {
        std::function<DatabaseChoice()> chooseFile;
        std::function<void(int exitCode)> endProgram;
    };

    frmMain(AppContext& context, Prompter& prompter, Services services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Opens the database and builds the outline; false when the user gave
    // up choosing a database (the program then ends).
    bool Form_Load();
    // Fresh data after another screen was in front.
    void Form_Activate();

    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* optTax = nullptr;
    QComboBox* cboYear = nullptr; // the tax year
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* Command4 = nullptr;
    QLabel* Status = nullptr;

    AccountOutlinePane& outline() { return *outline_; }
    RecordGridPane& grid() { return *grid_; }
    MainCommands& commands() { return *commands_; }
    StatusHints& hints() { return *hints_; }
    TxfCommands& txf() { return *txf_; }
    ReportCommands& report() { return *report_; }
    DatabaseCommands& databaseCommands() { return *databaseCommands_; }
    TransferLinkCommands& transfers() { return *transfers_; }

    // How the account settings dialog is run; tests replace it.
    std::function<void(frmAccountSettings&)> runAccountSettings;
    // How the corporate actions screen is run; tests replace it.
    std::function<void(frmCorpActions&)> runCorpActions;
    // Shows "Open lots and their dates"; tests replace it to look at the
    // window without a modal loop.
    std::function<void(frmLots&)> runLots;
    QAction* mnuLots = nullptr; // Tool, "Open &Lots and Dates..."

public slots:
    void Option1_Click();
    void optTax_Click();
    // Another tax year picked: remembered in the settings, the view refilled.
    void cboYear_Activated(int index);
    // "Account Settings...": opens on the account selected in the outline.
    void mnuAccountSettings_Click();
    // "Corporate Actions...": the splits and symbol changes of the store.
    void mnuCorpActions_Click();
    // Records were captured or imported: while the user has never picked a
    // year, the Year box moves to the latest sell's year, so that the first
    // capture of a new store shows its own year rather than 2000.
    void recordsAdded();
    void mnuLots_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void setHints();
    void switchView(bool tax);
    // The year from the settings, else the latest sell's, else 2000.
    void settleTaxYear();
    void fillYearList();
    // True when there are no unsaved edits or the user lets them go (they
    // are then dropped); false keeps them.
    bool dropUnsavedEdits();
    void showDatabaseInTitle();
    // Another database was opened: the year, the outline and the grid are
    // read from it.
    void databaseChanged();

    AppContext& context_;
    Prompter& prompter_;
    Services services_;
    RecordGridPane* grid_ = nullptr;
    AccountOutlinePane* outline_ = nullptr;
    MainCommands* commands_ = nullptr;
    StatusHints* hints_ = nullptr;
    TxfCommands* txf_ = nullptr;
    ReportCommands* report_ = nullptr;
    DatabaseCommands* databaseCommands_ = nullptr;
    TransferLinkCommands* transfers_ = nullptr;
};

} // namespace gainbook
