#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace gainbook {

class AppContext;
class Prompter;
struct TxfDialogChoice;

// The File menu's TXF commands: export of the tax year's records and
// import of a file's records, each through a file dialog.
class TxfCommands : public QObject {
    Q_OBJECT

public:
    TxfCommands(AppContext& context, Prompter& prompter, QWidget* window);

    // Asks for the file: save is true for the export. Tests replace it.
    std::function<QString(const TxfDialogChoice& dialog, bool save)> chooseFile;
    // Asks for the account an import files its records under, offering the
    // one the file names; nothing when the user cancels. Tests replace it.
    std::function<std::optional<QString>(const QString& offered)> chooseAccount;

public slots:
    void mnuExport_Click();
    void mnImport_Click();

signals:
    // An import added records: the outline must list their account.
    void recordsImported();

private:
    AppContext& context_;
    Prompter& prompter_;
    QWidget* window_;
};

} // namespace gainbook
