#pragma once

#include "matching/lot_methods.h"

#include <QDialog>
#include <QSqlDatabase>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace gainbook {

class Prompter;

// "What-if: lot methods": the tax year's short-term and long-term gain,
// wash-sale adjustment and total of an account (or of every account) under
// each lot method, side by side. Nothing is written: each method is run on
// the account's trades read once into memory (compareLotMethods).
class frmWhatIf : public QDialog {
    Q_OBJECT

public:
    // Opens on the account given ("All accounts" for an empty one) and
    // works its figures out at once.
    frmWhatIf(QSqlDatabase db, Prompter& prompter, const QStringList& accounts,
              const QString& account, TaxYear year, QWidget* parent = nullptr);

    QComboBox* cboAccount = nullptr; // "All accounts", then each account
    QLabel* lblYear = nullptr;
    QTableWidget* tblMethods = nullptr;
    QPushButton* cmdClose = nullptr;

    const QVector<MethodFigures>& figures() const { return figures_; }

public slots:
    // The figures of the account now chosen; a failure of the database is
    // told and leaves the table empty.
    void cboAccount_Changed();

private:
    QSqlDatabase db_;
    Prompter& prompter_;
    TaxYear year_;
    QVector<MethodFigures> figures_;
};

} // namespace gainbook
