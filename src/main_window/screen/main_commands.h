#pragma once

#include "startup/screen/frm_browse.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QPushButton;

namespace gainbook {

class AppContext;
class Prompter;

// The main window's menus and its Capture, Process and Exit buttons. The
// screens they open are handed in once they exist; until then their
// commands stay disabled.
class MainCommands : public QObject {
    Q_OBJECT

public:
    MainCommands(AppContext& context, Prompter& prompter, QMainWindow* window);

    QPushButton* Command1 = nullptr; // "&Exit"
    QPushButton* Command2 = nullptr; // "&Capture"
    QPushButton* Command3 = nullptr; // "&Process"

    QMenu* mnuFile = nullptr;
    QAction* mnuCapture = nullptr;
    QAction* mnuProcess = nullptr;
    QAction* mnImport = nullptr;
    QAction* mnuExport = nullptr;
    QAction* mnuAccountSettings = nullptr; // "&Account Settings..."
    QAction* mnuReport = nullptr;          // "&Tax Report..."
    QAction* mnuRestore = nullptr;         // "Restore Last Backup..."
    QAction* mnExit = nullptr;
    QMenu* mnuTool = nullptr;
    QAction* mnuCalculator = nullptr;
    QAction* mnuCorpActions = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuIndex = nullptr;
    QAction* mnuHelpwebIndex = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuDisclaim = nullptr;

    // Each enables its commands.
    void setCaptureScreen(std::function<void()> open);
    void setProcessScreen(std::function<void()> open);
    void setTxfImport(std::function<void()> run);
    void setTxfExport(std::function<void()> run);
    void setAccountSettings(std::function<void()> open);
    void setCorpActions(std::function<void()> open);
    void setTaxReport(std::function<void()> run);
    bool hasCaptureScreen() const { return bool(openCapture_); }

    // Asked before another screen opens: false keeps the user where the
    // unsaved edits are.
    std::function<bool()> mayLeaveEdits;

    // How a page window is shown modally; tests replace it.
    std::function<void(frmBrowse*)> runModal;

    // The help window now open, if any.
    frmBrowse* helpWindow() const { return help_; }

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void mnuCapture_Click();
    void mnuProcess_Click();
    void mnuRestore_Click();
    void mnuCalculator_Click();
    void mnuIndex_Click();
    void mnuHelpwebIndex_Click();
    void mnuAbout_Click();
    void mnuDisclaim_Click();

signals:
    void statusText(const QString& text);
    // The database's rows were replaced by its backup's.
    void backupRestored();

private:
    bool mayLeave() const;
    void showHelp(const QString& page);
    void showModalPage(const QString& page, const QString& note = {});

    AppContext& context_;
    Prompter& prompter_;
    QMainWindow* window_;
    std::function<void()> openCapture_;
    std::function<void()> openProcess_;
    QPointer<frmBrowse> help_;
};

} // namespace gainbook
