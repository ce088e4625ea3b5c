#include "main_window/screen/frm_account_settings.h"

#include "main_window/account_outline.h"
#include "matching/lot_methods.h"
#include "matching/trade_changes.h"
#include "matching/wash_sale_refresh.h"
#include "platform/prompter.h"
#include "startup/app_context.h"
#include "store/account_settings_table.h"
#include "store/asset_kind_table.h"
#include "store/corp_action_table.h"
#include "store/lot_method_table.h"
#include "store/store_error.h"
#include "store/store_fault.h"
#include "store/transaction.h"
#include "widgets/window_placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace gainbook {

namespace {

QRadioButton* makeOption(QWidget* parent, const QString& name, const QString& caption) {
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(name);
    return option;
}

} // namespace

frmAccountSettings::frmAccountSettings(AppContext& context, Prompter& prompter,
                                       const QString& account, QWidget* parent)
    : QDialog(parent), context_(context), prompter_(prompter) {
    setObjectName(QStringLiteral("frmAccountSettings"));
    setWindowTitle(QStringLiteral("Account Settings"));

    cboAccount = new QComboBox(this);
    cboAccount->setObjectName(QStringLiteral("cboAccount"));
    fraBasis = new QGroupBox(QStringLiteral("Cost basis reported to the IRS"), this);
    fraBasis->setObjectName(QStringLiteral("fraBasis"));
    optReported = makeOption(fraBasis, QStringLiteral("optReported"),
                             QStringLiteral("Yes: on Form 1099-B with the cost basis "
                                            "(box A short term, D long term)"));
    optNotReported = makeOption(fraBasis, QStringLiteral("optNotReported"),
                                QStringLiteral("No: on Form 1099-B without the cost basis "
                                               "(box B short term, E long term)"));
    optNoForm = makeOption(fraBasis, QStringLiteral("optNoForm"),
                           QStringLiteral("Not on Form 1099-B (box C short term, F long term)"));
    lblNote = new QLabel(QStringLiteral("The tax records of the account take their box from "
                                        "this setting when the account is processed or "
                                        "recalculated (Save/Recalculate); a box can also be "
                                        "chosen row by row in the tax view. Digital assets sold "
                                        "from 2025 take G, H or I (short term) and J, K or L "
                                        "(long term) in the same order."),
                         this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    fraWash = new QGroupBox(QStringLiteral("Wash sales"), this);
    fraWash->setObjectName(QStringLiteral("fraWash"));
    chkWashDetect = new QCheckBox(QStringLiteral("Find wash sales in this account"), fraWash);
    chkWashDetect->setObjectName(QStringLiteral("chkWashDetect"));
    chkWashOther = new QCheckBox(QStringLiteral("Shares bought in other accounts count"), fraWash);
    chkWashOther->setObjectName(QStringLiteral("chkWashOther"));
    chkTaxAdvantaged = new QCheckBox(
        QStringLiteral("Tax-advantaged account (IRA): its buys disallow a loss for good"), fraWash);
    chkTaxAdvantaged->setObjectName(QStringLiteral("chkTaxAdvantaged"));
    chkWashDigital = new QCheckBox(
        QStringLiteral("Apply the wash-sale rule to digital assets (all accounts)"), fraWash);
    chkWashDigital->setObjectName(QStringLiteral("chkWashDigital"));
    auto* wash = new QVBoxLayout(fraWash);
    wash->addWidget(chkWashDetect);
    wash->addWidget(chkWashOther);
    wash->addWidget(chkTaxAdvantaged);
    wash->addWidget(chkWashDigital);
    fraAssets = new QGroupBox(QStringLiteral("Digital assets"), this);
    fraAssets->setObjectName(QStringLiteral("fraAssets"));
    cboAssets = new QComboBox(fraAssets);
    cboAssets->setObjectName(QStringLiteral("cboAssets"));
    cboAssets->addItem(QStringLiteral("Securities and the well-known coins"),
                       int(AccountAssets::Mixed));
    cboAssets->addItem(QStringLiteral("Securities only"), int(AccountAssets::Securities));
    cboAssets->addItem(QStringLiteral("Digital assets only (an exchange or a wallet)"),
                       int(AccountAssets::Digital));
    txtKindSymbol = new QLineEdit(fraAssets);
    txtKindSymbol->setObjectName(QStringLiteral("txtKindSymbol"));
    txtKindSymbol->setPlaceholderText(QStringLiteral("Symbol"));
    cboKind = new QComboBox(fraAssets);
    cboKind->setObjectName(QStringLiteral("cboKind"));
    cboKind->addItem(QStringLiteral("Digital asset"), int(AssetKind::Digital));
    cboKind->addItem(QStringLiteral("Security"), int(AssetKind::Security));
    cmdSetKind = new QPushButton(QStringLiteral("Set"), fraAssets);
    cmdSetKind->setObjectName(QStringLiteral("cmdSetKind"));
    lstSymbolKinds = new QListWidget(fraAssets);
    lstSymbolKinds->setObjectName(QStringLiteral("lstSymbolKinds"));
    lstSymbolKinds->setMaximumHeight(60);
    auto* assetsForm = new QFormLayout(fraAssets);
    assetsForm->addRow(QStringLiteral("Holds"), cboAssets);
    auto* kindRow = new QHBoxLayout;
    kindRow->addWidget(txtKindSymbol);
    kindRow->addWidget(cboKind);
    kindRow->addWidget(cmdSetKind);
    assetsForm->addRow(QStringLiteral("In every account"), kindRow);
    assetsForm->addRow(QString(), lstSymbolKinds);
    fraMethod = new QGroupBox(QStringLiteral("Lot method: the buys a sale takes first"), this);
    fraMethod->setObjectName(QStringLiteral("fraMethod"));
    cboMethod = new QComboBox(fraMethod);
    cboMethod->setObjectName(QStringLiteral("cboMethod"));
    cboSymbolMethod = new QComboBox(fraMethod);
    cboSymbolMethod->setObjectName(QStringLiteral("cboSymbolMethod"));
    for (const LotMethod method : allLotMethods()) {
        cboMethod->addItem(lotMethodName(method), int(method));
        cboSymbolMethod->addItem(lotMethodName(method), int(method));
    }
    cboSymbolMethod->addItem(QStringLiteral("As the account"), -1);
    lstSymbolMethods = new QListWidget(fraMethod);
    lstSymbolMethods->setObjectName(QStringLiteral("lstSymbolMethods"));
    lstSymbolMethods->setMaximumHeight(80);
    txtSymbol = new QLineEdit(fraMethod);
    txtSymbol->setObjectName(QStringLiteral("txtSymbol"));
    txtSymbol->setPlaceholderText(QStringLiteral("Symbol"));
    cmdSetSymbol = new QPushButton(QStringLiteral("Set"), fraMethod);
    cmdSetSymbol->setObjectName(QStringLiteral("cmdSetSymbol"));
    auto* methodForm = new QFormLayout(fraMethod);
    methodForm->addRow(QStringLiteral("Account"), cboMethod);
    auto* symbolRow = new QHBoxLayout;
    symbolRow->addWidget(txtSymbol);
    symbolRow->addWidget(cboSymbolMethod);
    symbolRow->addWidget(cmdSetSymbol);
    methodForm->addRow(QStringLiteral("Instrument"), symbolRow);
    methodForm->addRow(QString(), lstSymbolMethods);
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));

    auto* basis = new QVBoxLayout(fraBasis);
    basis->addWidget(optReported);
    basis->addWidget(optNotReported);
    basis->addWidget(optNoForm);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Account"), cboAccount);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(fraBasis);
    layout->addWidget(lblNote);
    layout->addWidget(fraWash);
    layout->addWidget(fraAssets);
    layout->addWidget(fraMethod);
    layout->addWidget(buttons);

    // In the lot method box Tab runs as the rows read: the symbol, its
    // method, Set, then the list. Created in another order, the list and
    // the method came before the symbol typed first.
    QWidget* const order[] = {cboMethod,    txtSymbol,        cboSymbolMethod,
                              cmdSetSymbol, lstSymbolMethods, buttons};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    new WindowPlacement(this, context_.settings());

    try {
        for (const OutlineItem& item : loadOutline(context_.database().connection())) {
            if (item.level == 1)
                cboAccount->addItem(item.text);
        }
    } catch (const StoreError& error) {
        prompter_.message(error.message());
    }
    const int chosen = cboAccount->findText(account);
    cboAccount->setCurrentIndex(chosen >= 0 ? chosen : 0);
    const bool any = hasAccounts();
    fraBasis->setEnabled(any);
    fraWash->setEnabled(any);
    fraAssets->setEnabled(any);
    fraMethod->setEnabled(any);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(any);

    connect(cboAccount, &QComboBox::currentIndexChanged, this,
            &frmAccountSettings::cboAccount_Changed);
    connect(cmdSetSymbol, &QPushButton::clicked, this, &frmAccountSettings::cmdSetSymbol_Click);
    connect(cmdSetKind, &QPushButton::clicked, this, &frmAccountSettings::cmdSetKind_Click);
    try {
        storedWashDigital_ = selectWashDigital(context_.database().connection());
        for (const SymbolKindRow& row : selectSymbolKinds(context_.database().connection()))
            storedSymbolKinds_.insert(row.symbol, row.kind);
    } catch (const StoreError& error) {
        prompter_.message(error.message());
    }
    chkWashDigital->setChecked(storedWashDigital_);
    symbolKinds_ = storedSymbolKinds_;
    showSymbolKinds();
    connect(buttons, &QDialogButtonBox::accepted, this, &frmAccountSettings::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmAccountSettings::reject);
    cboAccount_Changed();
}

bool frmAccountSettings::hasAccounts() const {
    return cboAccount->count() > 0;
}

BasisReporting frmAccountSettings::chosenBasis() const {
    if (optNotReported->isChecked())
        return BasisReporting::NotReported;
    if (optNoForm->isChecked())
        return BasisReporting::NoForm;
    return BasisReporting::Reported;
}

WashSettings frmAccountSettings::chosenWash() const {
    return {chkWashDetect->isChecked(), chkWashOther->isChecked(), chkTaxAdvantaged->isChecked()};
}

AccountAssets frmAccountSettings::chosenAssets() const {
    return AccountAssets(cboAssets->currentData().toInt());
}

void frmAccountSettings::showSymbolKinds() {
    lstSymbolKinds->clear();
    for (auto it = symbolKinds_.cbegin(); it != symbolKinds_.cend(); ++it)
        lstSymbolKinds->addItem(it.key() + QStringLiteral(": ") +
                                (*it == AssetKind::Digital ? QStringLiteral("Digital asset")
                                                           : QStringLiteral("Security")));
}

void frmAccountSettings::cmdSetKind_Click() {
    const QString symbol = txtKindSymbol->text().trimmed().toUpper();
    if (symbol.isEmpty()) {
        prompter_.message(QStringLiteral("Type the symbol whose asset kind you set."));
        return;
    }
    symbolKinds_[symbol] = AssetKind(cboKind->currentData().toInt());
    txtKindSymbol->clear();
    showSymbolKinds();
}

bool frmAccountSettings::saveAssets() {
    const QSqlDatabase db = context_.database().connection();
    const auto kept = [&](const Outcome& outcome) {
        if (!outcome.done())
            prompter_.message(outcome.message);
        return outcome.done();
    };
    if (chosenAssets() != storedAssets_ &&
        !kept(changeAccountAssets(db, cboAccount->currentText(), chosenAssets())))
        return false;
    storedAssets_ = chosenAssets();
    for (auto it = symbolKinds_.cbegin(); it != symbolKinds_.cend(); ++it) {
        const auto stored = storedSymbolKinds_.constFind(it.key());
        if ((stored == storedSymbolKinds_.cend() || *stored != *it) &&
            !kept(changeSymbolKind(db, it.key(), *it)))
            return false;
        storedSymbolKinds_.insert(it.key(), *it);
    }
    if (chkWashDigital->isChecked() != storedWashDigital_ &&
        !kept(changeWashDigital(db, chkWashDigital->isChecked())))
        return false;
    storedWashDigital_ = chkWashDigital->isChecked();
    return true;
}

LotMethod frmAccountSettings::chosenMethod() const {
    return LotMethod(cboMethod->currentData().toInt());
}

void frmAccountSettings::showSymbolMethods() {
    lstSymbolMethods->clear();
    for (auto it = symbolMethods_.cbegin(); it != symbolMethods_.cend(); ++it) {
        if (it.value())
            lstSymbolMethods->addItem(it.key() + QStringLiteral(": ") + lotMethodName(*it.value()));
    }
}

void frmAccountSettings::cmdSetSymbol_Click() {
    const QString symbol = txtSymbol->text().trimmed();
    if (symbol.isEmpty()) {
        prompter_.message(QStringLiteral("Type the symbol whose lot method differs."));
        return;
    }
    const int chosen = cboSymbolMethod->currentData().toInt();
    symbolMethods_[symbol] = chosen < 0 ? std::nullopt : std::optional(LotMethod(chosen));
    txtSymbol->clear();
    showSymbolMethods();
}

void frmAccountSettings::cboAccount_Changed() {
    BasisReporting basis = BasisReporting::Reported;
    WashSettings wash;
    storedMethod_ = LotMethod::Fifo;
    storedAssets_ = AccountAssets::Mixed;
    storedSymbolMethods_.clear();
    if (hasAccounts()) {
        try {
            for (const LotMethodRow& row :
                 selectLotMethodRows(context_.database().connection(), cboAccount->currentText())) {
                if (row.symbol.isEmpty())
                    storedMethod_ = row.method;
                else
                    storedSymbolMethods_.insert(row.symbol, row.method);
            }
            basis =
                selectBasisReporting(context_.database().connection(), cboAccount->currentText());
            wash = selectWashSettings(context_.database().connection(), cboAccount->currentText());
            storedAssets_ =
                selectAccountAssets(context_.database().connection(), cboAccount->currentText());
        } catch (const StoreError& error) {
            prompter_.message(error.message());
        }
    }
    optReported->setChecked(basis == BasisReporting::Reported);
    optNotReported->setChecked(basis == BasisReporting::NotReported);
    optNoForm->setChecked(basis == BasisReporting::NoForm);
    chkWashDetect->setChecked(wash.detect);
    chkWashOther->setChecked(wash.otherAccounts);
    chkTaxAdvantaged->setChecked(wash.taxAdvantaged);
    cboAssets->setCurrentIndex(cboAssets->findData(int(storedAssets_)));
    cboMethod->setCurrentIndex(cboMethod->findData(int(storedMethod_)));
    symbolMethods_ = storedSymbolMethods_;
    showSymbolMethods();
}

bool frmAccountSettings::saveMethods() {
    const QSqlDatabase db = context_.database().connection();
    const QString account = cboAccount->currentText();
    qint64 changed = 0;
    const auto change = [&](const QString& symbol, std::optional<LotMethod> method) {
        const Outcome outcome = changeLotMethod(db, account, symbol, method);
        if (!outcome.done())
            prompter_.message(outcome.message);
        changed += outcome.count;
        return outcome.done();
    };
    if (chosenMethod() != storedMethod_ && !change({}, chosenMethod()))
        return false;
    for (auto it = symbolMethods_.cbegin(); it != symbolMethods_.cend(); ++it) {
        if (storedSymbolMethods_.value(it.key()) != it.value() && !change(it.key(), it.value()))
            return false;
    }
    if (changed > 0 && needsRematch(db, account))
        prompter_.message(processAgainForMethodText(account));
    return true;
}

void frmAccountSettings::accept() {
    if (!hasAccounts()) {
        QDialog::reject();
        return;
    }
    const QSqlDatabase db = context_.database().connection();
    try {
        // The boxes of a processed account follow the setting through its
        // next run: it is marked to process again when they would change.
        Transaction transaction(db);
        changeBasisReporting(db, cboAccount->currentText(), chosenBasis());
        transaction.commit();
    } catch (const StoreError& error) {
        prompter_.message(failureText(db, error));
        return;
    }
    // Only a change is worked through: it may rewrite tax records.
    try {
        if (selectWashSettings(db, cboAccount->currentText()) != chosenWash()) {
            const Outcome changed = changeWashSettings(db, cboAccount->currentText(), chosenWash());
            if (!changed.done()) {
                prompter_.message(changed.message);
                return;
            }
        }
    } catch (const StoreError& error) {
        prompter_.message(failureText(db, error));
        return;
    }
    try {
        if (!saveAssets() || !saveMethods())
            return;
    } catch (const StoreError& error) {
        prompter_.message(failureText(db, error));
        return;
    }
    QDialog::accept();
}

} // namespace gainbook
