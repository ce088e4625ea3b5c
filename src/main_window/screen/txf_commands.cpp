#include "main_window/screen/txf_commands.h"

#include "matching/run_end.h"
#include "matching/trade_changes.h"
#include "platform/prompter.h"
#include "platform/tell_outcome.h"
#include "startup/app_context.h"
#include "txf/txf_export.h"
#include "txf/txf_import.h"
#include "txf/txf_texts.h"
#include "widgets/progress_dialog.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>

namespace gainbook {

namespace {

QString askForTxfFile(QWidget* parent, const TxfDialogChoice& choice, bool save) {
    QFileDialog dialog(parent, choice.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(choice.defaultSuffix);
    dialog.setNameFilter(choice.filter);
    if (!choice.fileName.isEmpty())
        dialog.selectFile(choice.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> askForAccount(QWidget* parent, const QString& offered) {
    bool accepted = false;
    const QString account = QInputDialog::getText(
        parent, importAccountTitle(), importAccountLabel(), QLineEdit::Normal, offered, &accepted);
    if (!accepted)
        return std::nullopt;
    return account;
}

} // namespace

TxfCommands::TxfCommands(AppContext& context, Prompter& prompter, QWidget* window)
    : QObject(window), context_(context), prompter_(prompter), window_(window) {
    chooseFile = [this](const TxfDialogChoice& choice, bool save) {
        return askForTxfFile(window_, choice, save);
    };
    chooseAccount = [this](const QString& offered) { return askForAccount(window_, offered); };
}

void TxfCommands::mnuExport_Click() {
    TxfExport txf;
    const Outcome loaded = txf.load(context_.database().connection(), context_.taxYear());
    if (!loaded.done()) {
        tellOutcome(prompter_, loaded);
        return;
    }
    if (const QString& line = txf.processAgainLine();
        !line.isEmpty() &&
        !prompter_.ask(goOnAnywayQuestion(line, QStringLiteral("Export the TXF file"))))
        return;
    const QString path = chooseFile(txfExportDialog(context_.taxYear().year), true);
    if (path.isEmpty())
        return;
    Outcome written;
    {
        ProgressDialog progress(window_, QStringLiteral("Exporting tax records..."));
        written = txf.writeTo(path, QDate::currentDate(), progress.progress());
    }
    tellOutcome(prompter_, fileRunEnd(RunKind::TxfExport, path, txf.processAgainLine(), written));
}

void TxfCommands::mnImport_Click() {
    const QString path = chooseFile(txfImportDialog(), false);
    if (path.isEmpty())
        return;
    TxfImport txf;
    if (const Outcome read = txf.read(path); !read.done()) {
        tellOutcome(prompter_, read);
        return;
    }
    const std::optional<QString> account = chooseAccount(txf.offeredAccountName());
    if (!account)
        return;
    Outcome result;
    {
        ProgressDialog progress(window_, QStringLiteral("Importing tax records..."));
        result =
            txf.addTo(context_.database().connection(), *account, prompter_, progress.progress());
    }
    tellOutcome(prompter_, storeRunEnd(context_.database().connection(), RunKind::TxfImport,
                                       *account, result));
    if (result.count > 0)
        emit recordsImported();
}

} // namespace gainbook
