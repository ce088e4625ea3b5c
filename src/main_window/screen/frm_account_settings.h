#pragma once

#include "platform/form8949_box.h"
#include "store/account_settings_table.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace gainbook {

class AppContext;
class Prompter;

// "Account Settings": whether each account's broker reports the cost basis
// to the IRS, which picks the Form 8949 box of the account's tax records,
// and how the account takes part in wash-sale detection.
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
    QDialogButtonBox* buttons = nullptr;

    // The accounts of the store, by name; empty when it holds none (the
    // dialog then has nothing to set).
    bool hasAccounts() const;
    BasisReporting chosenBasis() const;
    WashSettings chosenWash() const;

public slots:
    // Shows the setting of the account now chosen.
    void cboAccount_Changed();
    // Keeps the chosen setting for the chosen account and closes; a
    // database that refuses the write is told and the dialog stays.
    void accept() override;

private:
    AppContext& context_;
    Prompter& prompter_;
};

} // namespace gainbook
