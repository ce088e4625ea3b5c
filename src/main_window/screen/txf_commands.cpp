#include "main_window/screen/txf_commands.h"

#include "platform/tell_outcome.h"
#include "startup/app_context.h"
#include "txf/txf_export.h"
#include "txf/txf_import.h"
#include "txf/txf_texts.h"

#include <QFileDialog>

namespace gainbook {

namespace {

QString askForTxfFile(QWidget* parent, const TxfDialogChoice& choice, bool save) {
    QFileDialog dialog(parent, choice.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(choice.defaultSuffix);
    dialog.setNameFilter(choice.filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

TxfCommands::TxfCommands(AppContext& context, Prompter& prompter, QWidget* window)
    : QObject(window), context_(context), prompter_(prompter), window_(window) {
    chooseFile = [this](const TxfDialogChoice& choice, bool save) {
        return askForTxfFile(window_, choice, save);
    };
}

void TxfCommands::mnuExport_Click() {
    TxfExport txf;
    const Outcome loaded = txf.load(context_.database().connection(), context_.taxYear());
    if (!loaded.done()) {
        tellOutcome(prompter_, loaded);
        return;
    }
    const QString path = chooseFile(txfExportDialog(), true);
    if (!path.isEmpty())
        tellOutcome(prompter_, txf.writeTo(path));
}

void TxfCommands::mnImport_Click() {
    const QString path = chooseFile(txfImportDialog(), false);
    if (path.isEmpty())
        return;
    const Outcome result = importTxf(path, context_.database().connection());
    tellOutcome(prompter_, result);
    if (result.count > 0)
        emit recordsImported();
}

} // namespace gainbook
