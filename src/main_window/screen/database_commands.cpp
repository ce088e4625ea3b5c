#include "main_window/screen/database_commands.h"

#include "platform/prompter.h"
#include "startup/app_context.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>

namespace gainbook {

namespace {

QString askForDatabaseFile(QWidget* parent, DatabaseSwitch how, const QString& current) {
    const bool create = how == DatabaseSwitch::CreateNew;
    const QString folder = current.isEmpty() ? QDir::homePath() : QFileInfo(current).absolutePath();
    QFileDialog dialog(parent,
                       create ? QStringLiteral("New Database") : QStringLiteral("Open Database"));
    dialog.setNameFilters(
        {QStringLiteral("Gainbook database (*.db)"), QStringLiteral("All files (*)")});
    dialog.setDirectory(folder);
    if (create) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("db"));
        // A file that exists is refused with its own message; the dialog
        // must not offer to replace it.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

DatabaseCommands::DatabaseCommands(AppContext& context, Prompter& prompter, QWidget* window,
                                   QMenu* fileMenu, QAction* before)
    : QObject(window), context_(context), prompter_(prompter), window_(window) {
    mnuNewDatabase = new QAction(QStringLiteral("&New Database..."), fileMenu);
    mnuNewDatabase->setObjectName(QStringLiteral("mnuNewDatabase"));
    mnuOpenDatabase = new QAction(QStringLiteral("&Open Database..."), fileMenu);
    mnuOpenDatabase->setObjectName(QStringLiteral("mnuOpenDatabase"));
    mnuOpenDatabase->setShortcut(QKeySequence::Open);
    fileMenu->insertAction(before, mnuNewDatabase);
    fileMenu->insertAction(before, mnuOpenDatabase);
    fileMenu->insertSeparator(before)->setObjectName(QStringLiteral("sepDatabase"));
    chooseFile = [this](DatabaseSwitch how) {
        return askForDatabaseFile(window_, how, context_.database().path());
    };
    connect(mnuNewDatabase, &QAction::triggered, this, &DatabaseCommands::mnuNewDatabase_Click);
    connect(mnuOpenDatabase, &QAction::triggered, this, &DatabaseCommands::mnuOpenDatabase_Click);
}

void DatabaseCommands::mnuNewDatabase_Click() {
    switchTo(DatabaseSwitch::CreateNew);
}

void DatabaseCommands::mnuOpenDatabase_Click() {
    switchTo(DatabaseSwitch::OpenExisting);
}

bool DatabaseCommands::closeOtherWindows() {
    QList<QPointer<QWidget>> shown;
    for (QWidget* child : window_->findChildren<QWidget*>()) {
        if (child->isWindow() && child->isVisible())
            shown.append(child);
    }
    for (const QPointer<QWidget>& child : shown) {
        if (!child)
            continue;
        // Closing clears the mark, so it is read first.
        const bool deletes = child->testAttribute(Qt::WA_DeleteOnClose);
        if (!child->close())
            return false;
        // Gone now rather than later: its copy of the connection must not
        // outlive the file it was opened on.
        if (deletes && child)
            delete child.data();
    }
    return true;
}

void DatabaseCommands::switchTo(DatabaseSwitch how) {
    if (mayLeaveEdits && !mayLeaveEdits())
        return;
    const QString path = chooseFile(how);
    if (path.isEmpty() || !closeOtherWindows())
        return;
    const OpenResult result = switchDatabase(context_.database(), context_.settings(), path, how);
    if (!result.ok()) {
        prompter_.message(result.message);
        return;
    }
    emit databaseChanged();
    // A damaged file opened read-only, and an upgraded one with the place
    // of its copy, say so before it is worked in.
    if (!result.message.isEmpty())
        prompter_.message(result.message);
    emit statusText((how == DatabaseSwitch::CreateNew ? QStringLiteral("New database: ")
                                                      : QStringLiteral("Database opened: ")) +
                    QDir::toNativeSeparators(context_.database().path()));
}

} // namespace gainbook
