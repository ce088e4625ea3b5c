#pragma once

#include "startup/database_switch.h"

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace gainbook {

class AppContext;
class Prompter;

// File > New Database... and Open Database...: another file in place of the
// one open, chosen in a file dialog. A file that cannot be used is refused
// with the reason and the open one stays.
class DatabaseCommands : public QObject {
    Q_OBJECT

public:
    // The two items go at the top of the file menu, before `before`.
    DatabaseCommands(AppContext& context, Prompter& prompter, QWidget* window, QMenu* fileMenu,
                     QAction* before);

    QAction* mnuNewDatabase = nullptr;  // "&New Database..."
    QAction* mnuOpenDatabase = nullptr; // "&Open Database..."

    // Asks for the file; empty when cancelled. Tests replace it.
    std::function<QString(DatabaseSwitch how)> chooseFile;
    // Asked first: false keeps the user where the unsaved edits are.
    std::function<bool()> mayLeaveEdits;

public slots:
    void mnuNewDatabase_Click();
    void mnuOpenDatabase_Click();

signals:
    // Another database is open: everything on show must be read again.
    void databaseChanged();
    void statusText(const QString& text);

private:
    void switchTo(DatabaseSwitch how);
    // Windows of the main window (the processing screen) hold the open
    // file's connection; they close before it is replaced.
    bool closeOtherWindows();

    AppContext& context_;
    Prompter& prompter_;
    QWidget* window_;
};

} // namespace gainbook
