#include "main_window/screen/transfer_link_commands.h"

#include "main_window/screen/record_grid_pane.h"
#include "matching/trade_changes.h"
#include "matching/transfer_choices.h"
#include "matching/transfers.h"
#include "platform/date_text.h"
#include "platform/tell_outcome.h"
#include "startup/app_context.h"
#include "store/store_error.h"
#include "widgets/spread_grid.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

namespace gainbook {

namespace {

QString notTransferRowText() {
    return QStringLiteral("Select a send or a receive in the transactions first: a row of type "
                          "Sent, or a buy of unknown cost (coins or shares moved in).");
}

QString pickPrompt(const TransferChoices& choices) {
    const TxnRecord& row = choices.row;
    if (choices.side == TransferChoices::Side::Send)
        return QStringLiteral("%1 %2 sent from %3 on %4. Pick the receive it became:")
            .arg(row.quantity.text(), row.symbol, row.accountName, formatDate(row.txnDate));
    return QStringLiteral("%1 %2 received in %3 on %4. Pick the send it came from:")
        .arg(row.quantity.text(), row.symbol, row.accountName, formatDate(row.txnDate));
}

} // namespace

TransferPickDialog::TransferPickDialog(const QString& prompt, const QStringList& choices,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmTransferPick"));
    setWindowTitle(QStringLiteral("Link Transfer"));
    auto* label = new QLabel(prompt, this);
    label->setObjectName(QStringLiteral("lblPrompt"));
    label->setWordWrap(true);
    lstChoices = new QListWidget(this);
    lstChoices->setObjectName(QStringLiteral("lstChoices"));
    lstChoices->addItems(choices);
    lstChoices->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Link"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lstChoices, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(lstChoices, 1);
    layout->addWidget(buttons);
    // Wide enough for a line of the list without scrolling sideways.
    resize(520, 260);
}

TransferLinkCommands::TransferLinkCommands(AppContext& context, Prompter& prompter,
                                           RecordGridPane& grid, QMenu* toolMenu, QWidget* window)
    : QObject(window), context_(context), prompter_(prompter), grid_(grid), window_(window) {
    runPick = [](TransferPickDialog& dialog) { return dialog.exec(); };
    actLinkTransfer = new QAction(QStringLiteral("Link &Transfer..."), window);
    actLinkTransfer->setObjectName(QStringLiteral("actLinkTransfer"));
    actLinkTransfer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    toolMenu->addAction(actLinkTransfer);
    connect(actLinkTransfer, &QAction::triggered, this,
            &TransferLinkCommands::actLinkTransfer_Click);
    // The menus show what the action does on the current row; between
    // them the shortcut always reaches it, and it says when the row is none
    // of a transfer's.
    connect(toolMenu, &QMenu::aboutToShow, this, &TransferLinkCommands::updateAction);
    connect(toolMenu, &QMenu::aboutToHide, actLinkTransfer,
            [this] { actLinkTransfer->setEnabled(true); });
    SpreadGrid* recordGrid = grid_.recordGrid();
    recordGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(recordGrid, &SpreadGrid::customContextMenuRequested, this,
            &TransferLinkCommands::showContextMenu);
}

void TransferLinkCommands::showContextMenu(const QPoint& at) {
    // Tax records are never sent or received.
    if (grid_.view() != RecordView::Transactions)
        return;
    SpreadGrid* recordGrid = grid_.recordGrid();
    // The menu is about the row under the pointer, as in any list.
    if (const QModelIndex index = recordGrid->indexAt(at); index.isValid())
        recordGrid->setCurrentIndex(index);
    updateAction();
    QMenu menu(recordGrid);
    menu.setObjectName(QStringLiteral("mnuGridContext"));
    menu.addAction(actLinkTransfer);
    menu.exec(recordGrid->viewport()->mapToGlobal(at));
    actLinkTransfer->setEnabled(true);
}

void TransferLinkCommands::updateAction() {
    const TxnRecord* row = grid_.currentTxn();
    bool linked = false;
    bool transferRow = false;
    if (row) {
        try {
            const TransferChoices choices =
                transferChoicesFor(context_.database().connection(), row->id);
            transferRow = choices.side != TransferChoices::Side::None;
            linked = choices.link.has_value();
        } catch (const StoreError&) {
            // The command itself reads the row again and tells the failure.
            transferRow = true;
        }
    }
    actLinkTransfer->setText(linked ? QStringLiteral("Unlink &Transfer")
                                    : QStringLiteral("Link &Transfer..."));
    actLinkTransfer->setEnabled(transferRow);
}

void TransferLinkCommands::actLinkTransfer_Click() {
    const TxnRecord* current = grid_.currentTxn();
    if (!current) {
        prompter_.message(notTransferRowText());
        return;
    }
    const qint64 id = current->id;
    const QSqlDatabase db = context_.database().connection();
    TransferChoices choices;
    try {
        choices = transferChoicesFor(db, id);
    } catch (const StoreError& error) {
        prompter_.message(QStringLiteral("Records could not be read: ") + error.message());
        return;
    }
    if (choices.side == TransferChoices::Side::None) {
        prompter_.message(notTransferRowText());
        return;
    }
    // The grid is read afresh after the link: edits not saved would go.
    if (grid_.hasUnsavedEdits() && !(mayLeaveEdits && mayLeaveEdits()))
        return;
    if (choices.link) {
        if (prompter_.ask(unlinkTransferQuestion(*choices.link)))
            tellAndRefill(unlinkTransfer(db, id), id);
        return;
    }
    if (choices.candidates.isEmpty()) {
        prompter_.message(noTransferChoiceText(choices));
        return;
    }
    QStringList texts;
    for (const TransferCandidate& candidate : std::as_const(choices.candidates))
        texts << transferChoiceText(choices, candidate);
    TransferPickDialog dialog(pickPrompt(choices), texts, window_);
    if (runPick(dialog) != QDialog::Accepted)
        return;
    const int picked = dialog.lstChoices->currentRow();
    if (picked < 0 || picked >= choices.candidates.size())
        return;
    tellAndRefill(linkTransferChoice(db, choices, choices.candidates[picked]), id);
}

void TransferLinkCommands::tellAndRefill(Outcome outcome, qint64 rowId) {
    if (outcome.done()) {
        try {
            if (const QString line = processAgainLine(context_.database().connection());
                !line.isEmpty())
                outcome.details << line;
        } catch (const StoreError&) {
            // The link is made; the line is only a reminder.
        }
        grid_.fill();
        grid_.selectTxn(rowId);
    }
    emit statusText(outcome.done() ? outcome.message : QStringLiteral("Ready"));
    tellOutcome(prompter_, outcome);
}

} // namespace gainbook
