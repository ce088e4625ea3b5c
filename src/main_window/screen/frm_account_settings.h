#pragma once

#include "platform/asset_kind.h"
#include "platform/form8949_box.h"
#include "platform/lot_method.h"
#include "store/account_settings_table.h"

#include <QDialog>
#include <QMap>

#include <optional>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace gainbook {

class AppContext;
class Prompter;

// "Account Settings": whether each account's broker reports the cost basis
// to the IRS, which picks the Form 8949 box of the account's tax records,
// how the account takes part in wash-sale detection, and the lot method its
// sells take their buys by (the account's own and the instruments that
// differ from it), what the account holds (securities, digital assets or
// both), the symbols set digital or security everywhere, and whether
// digital assets are washed at all.
// The setting is kept in the database, so the headless tool sees it too.
class frmAccountSettings : public QDialog {
    Q_OBJECT

public:
    // Opens on the given account when it is one of the store's.
    frmAccountSettings(AppContext& context, Prompter& prompter, const QString& account,
                       QWidget* parent = nullptr);

    QComboBox* cboAccount = nullptr;
    QGroupBox* fraBasis = nullptr;
    QRadioButton* optReported = nullptr;
    QRadioButton* optNotReported = nullptr;
    QRadioButton* optNoForm = nullptr;
    QLabel* lblNote = nullptr;
    QGroupBox* fraWash = nullptr;
    QCheckBox* chkWashDetect = nullptr;
    QCheckBox* chkWashOther = nullptr;
    QCheckBox* chkTaxAdvantaged = nullptr;
    QCheckBox* chkWashDigital = nullptr; // of the whole store
    QGroupBox* fraAssets = nullptr;
    QComboBox* cboAssets = nullptr;
    QLineEdit* txtKindSymbol = nullptr;
    QComboBox* cboKind = nullptr;
    QPushButton* cmdSetKind = nullptr;
    QListWidget* lstSymbolKinds = nullptr;
    QGroupBox* fraMethod = nullptr;
    QComboBox* cboMethod = nullptr;
    QListWidget* lstSymbolMethods = nullptr;
    QLineEdit* txtSymbol = nullptr;
    QComboBox* cboSymbolMethod = nullptr; // the methods, then "As the account"
    QPushButton* cmdSetSymbol = nullptr;
    QDialogButtonBox* buttons = nullptr;

    // The accounts of the store, by name; empty when it holds none (the
    // dialog then has nothing to set).
    bool hasAccounts() const;
    BasisReporting chosenBasis() const;
    WashSettings chosenWash() const;
    LotMethod chosenMethod() const;
    AccountAssets chosenAssets() const;

public slots:
    // Shows the setting of the account now chosen.
    void cboAccount_Changed();
    // Gives the instrument typed the method chosen beside it ("As the
    // account": none of its own), kept until OK.
    void cmdSetSymbol_Click();
    // Gives the symbol typed the kind chosen beside it, kept until OK.
    void cmdSetKind_Click();
    // Keeps the chosen setting for the chosen account and closes; a
    // database that refuses the write is told and the dialog stays.
    void accept() override;

private:
    void showSymbolMethods();
    // Keeps the lot methods changed; false when the database refused.
    bool saveMethods();
    void showSymbolKinds();
    // Keeps the asset settings changed, each one working the store's tax
    // records through; false when the database refused.
    bool saveAssets();

    // The instruments' methods as the dialog shows them, by symbol as
    // typed; nothing for one set back to the account's.
    QMap<QString, std::optional<LotMethod>> symbolMethods_;
    QMap<QString, std::optional<LotMethod>> storedSymbolMethods_;
    LotMethod storedMethod_ = LotMethod::Fifo;
    QMap<QString, AssetKind> symbolKinds_; // by symbol as typed
    QMap<QString, AssetKind> storedSymbolKinds_;
    AccountAssets storedAssets_ = AccountAssets::Mixed;
    bool storedWashDigital_ = false;
    AppContext& context_;
    Prompter& prompter_;
};

} // namespace gainbook
