#include "main_window/screen/frm_corp_actions.h"

#include "matching/corp_action_checks.h"
#include "matching/corp_action_editing.h"
#include "platform/date_text.h"
#include "platform/prompter.h"
#include "startup/app_context.h"
#include "store/corp_action_table.h"
#include "store/store_error.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace gainbook {

namespace {

QLineEdit* makeField(QWidget* parent, const QString& name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    return field;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

enum Kind { KindSplit, KindChange };

} // namespace

frmCorpActions::frmCorpActions(AppContext& context, Prompter& prompter, QWidget* parent)
    : QDialog(parent), context_(context), prompter_(prompter) {
    setObjectName(QStringLiteral("frmCorpActions"));
    setWindowTitle(QStringLiteral("Corporate Actions"));

    grdActions = new QTableWidget(0, 7, this);
    grdActions->setObjectName(QStringLiteral("grdActions"));
    grdActions->setHorizontalHeaderLabels({QStringLiteral("ID"), QStringLiteral("Symbol"),
                                           QStringLiteral("Date"), QStringLiteral("Kind"),
                                           QStringLiteral("Ratio"), QStringLiteral("New Symbol"),
                                           QStringLiteral("Note")});
    grdActions->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdActions->setSelectionMode(QAbstractItemView::SingleSelection);
    grdActions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdActions->verticalHeader()->hide();
    grdActions->horizontalHeader()->setStretchLastSection(true);

    txtSymbol = makeField(this, QStringLiteral("txtSymbol"));
    txtDate = makeField(this, QStringLiteral("txtDate"));
    txtDate->setPlaceholderText(QStringLiteral("mm/dd/yyyy"));
    cboKind = new QComboBox(this);
    cboKind->setObjectName(QStringLiteral("cboKind"));
    cboKind->addItems({QStringLiteral("Split"), QStringLiteral("Symbol change")});
    txtRatio = makeField(this, QStringLiteral("txtRatio"));
    txtRatio->setPlaceholderText(QStringLiteral("N:M, such as 10:1 or 1:4"));
    txtNewSymbol = makeField(this, QStringLiteral("txtNewSymbol"));
    txtNote = makeField(this, QStringLiteral("txtNote"));
    cmdNew = makeButton(this, QStringLiteral("cmdNew"), QStringLiteral("&New"));
    cmdSave = makeButton(this, QStringLiteral("cmdSave"), QStringLiteral("&Save"));
    cmdDelete = makeButton(this, QStringLiteral("cmdDelete"), QStringLiteral("&Delete"));
    cmdClose = makeButton(this, QStringLiteral("cmdClose"), QStringLiteral("&Close"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Symbol"), txtSymbol);
    form->addRow(QStringLiteral("Effective date"), txtDate);
    form->addRow(QStringLiteral("Kind"), cboKind);
    form->addRow(QStringLiteral("Ratio (shares after : before)"), txtRatio);
    form->addRow(QStringLiteral("New symbol"), txtNewSymbol);
    form->addRow(QStringLiteral("Note"), txtNote);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdNew, cmdSave, cmdDelete})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdActions, 1);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(grdActions, &QTableWidget::itemSelectionChanged, this,
            &frmCorpActions::grdActions_SelectionChanged);
    connect(cboKind, &QComboBox::currentIndexChanged, this, &frmCorpActions::cboKind_Changed);
    connect(cmdNew, &QPushButton::clicked, this, &frmCorpActions::cmdNew_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmCorpActions::cmdSave_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmCorpActions::cmdDelete_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    resize(720, 480);
    FillList();
    cmdNew_Click();
}

void frmCorpActions::FillList() {
    try {
        actions_ = selectCorpActions(context_.database().connection());
    } catch (const StoreError& error) {
        actions_.clear();
        prompter_.message(QStringLiteral("The corporate actions could not be read: ") +
                          error.message());
    }
    const QSignalBlocker quiet(grdActions);
    grdActions->clearSelection();
    grdActions->setRowCount(int(actions_.size()));
    for (int row = 0; row < actions_.size(); ++row) {
        const CorpActionRecord& a = actions_[row];
        const bool split = a.kind == ActionKind::Split;
        const QStringList texts{QString::number(a.id),
                                a.symbol,
                                formatDate(a.effective),
                                split ? QStringLiteral("Split") : QStringLiteral("Symbol change"),
                                split ? ratioText(a.ratioNew, a.ratioOld) : QString(),
                                split ? QString() : a.newSymbol,
                                a.note};
        for (int col = 0; col < texts.size(); ++col)
            grdActions->setItem(row, col, new QTableWidgetItem(texts[col]));
    }
    grdActions->resizeColumnsToContents();
    cmdDelete->setEnabled(false);
}

qint64 frmCorpActions::chosenId() const {
    const int row = grdActions->currentRow();
    const bool chosen = row >= 0 && row < actions_.size() && !grdActions->selectedItems().isEmpty();
    return chosen ? actions_[row].id : 0;
}

void frmCorpActions::grdActions_SelectionChanged() {
    const int row = grdActions->currentRow();
    if (chosenId() == 0) {
        cmdDelete->setEnabled(false);
        return;
    }
    const CorpActionRecord& a = actions_[row];
    txtSymbol->setText(a.symbol);
    txtDate->setText(formatDate(a.effective));
    cboKind->setCurrentIndex(a.kind == ActionKind::Split ? KindSplit : KindChange);
    txtRatio->setText(a.kind == ActionKind::Split ? ratioText(a.ratioNew, a.ratioOld) : QString());
    txtNewSymbol->setText(a.newSymbol);
    txtNote->setText(a.note);
    cmdDelete->setEnabled(true);
    cmdSave->setText(QStringLiteral("&Save"));
}

void frmCorpActions::cboKind_Changed() {
    const bool split = cboKind->currentIndex() == KindSplit;
    txtRatio->setEnabled(split);
    txtNewSymbol->setEnabled(!split);
}

void frmCorpActions::cmdNew_Click() {
    grdActions->clearSelection();
    for (QLineEdit* field : {txtSymbol, txtDate, txtRatio, txtNewSymbol, txtNote})
        field->clear();
    cboKind->setCurrentIndex(KindSplit);
    cboKind_Changed();
    cmdDelete->setEnabled(false);
    txtSymbol->setFocus();
}

bool frmCorpActions::readFields(CorpActionRecord& action) {
    action.symbol = txtSymbol->text().trimmed();
    action.note = txtNote->text().trimmed();
    const QString dateText = txtDate->text().trimmed();
    action.effective = dateFromText(dateText);
    if (!dateText.isEmpty() && !action.effective.isValid()) {
        prompter_.message(notADateText(dateText));
        return false;
    }
    if (cboKind->currentIndex() == KindSplit) {
        action.kind = ActionKind::Split;
        const auto ratio = ratioFromText(txtRatio->text());
        if (!ratio) {
            prompter_.message(notARatioText(txtRatio->text().trimmed()));
            return false;
        }
        action.ratioNew = ratio->first;
        action.ratioOld = ratio->second;
    } else {
        action.kind = ActionKind::SymbolChange;
        action.newSymbol = txtNewSymbol->text().trimmed();
    }
    return true;
}

void frmCorpActions::cmdSave_Click() {
    CorpActionRecord action;
    if (!readFields(action))
        return;
    action.id = chosenId();
    const QSqlDatabase db = context_.database().connection();
    const Outcome outcome =
        action.id > 0 ? changeCorpAction(db, action) : addCorpAction(db, action);
    if (!outcome.message.isEmpty())
        prompter_.message(outcome.message);
    if (!outcome.done())
        return;
    FillList();
    // The action kept stays chosen, so that a second Save changes it.
    for (int row = 0; row < actions_.size(); ++row) {
        if (actions_[row].id == outcome.count)
            grdActions->selectRow(row);
    }
}

void frmCorpActions::cmdDelete_Click() {
    const qint64 id = chosenId();
    if (id == 0)
        return;
    const CorpActionRecord& a = actions_[grdActions->currentRow()];
    if (!prompter_.ask(QStringLiteral("Delete the %1 of %2 on %3?")
                           .arg(actionDescription(a), a.symbol, formatDate(a.effective))))
        return;
    const Outcome outcome = removeCorpAction(context_.database().connection(), id);
    if (!outcome.message.isEmpty())
        prompter_.message(outcome.message);
    FillList();
    cmdNew_Click();
}

} // namespace gainbook
