#pragma once

#include "matching/open_lots.h"

#include <QDialog>
#include <QSqlDatabase>

#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;

namespace gainbook {

class LongTermChart;
class Prompter;

// "Open lots and their dates": each open lot of an account (or of all) as
// processing left it, with its cost, date acquired and the day it turns
// long term; prices typed per symbol in the Price column or loaded from a
// prices file give the unrealized gains and, for a lot at a loss, whether
// selling it now is a wash sale and the first day it may be bought back.
// The figures are openLots' own, the ones `gainbook-cli lots` prints.
class frmLots : public QDialog {
    Q_OBJECT

public:
    frmLots(QSqlDatabase db, Prompter& prompter, const QStringList& accounts,
            const QString& account, QWidget* parent = nullptr);

    QComboBox* cboAccount = nullptr; // "All accounts", then each account
    QDateEdit* dtpOn = nullptr;      // the day the lots are looked at, today at first
    QPushButton* cmdPrices = nullptr;
    QTableWidget* tblLots = nullptr;
    QLabel* lblTotals = nullptr;
    LongTermChart* chtLongTerm = nullptr;
    QPushButton* cmdClose = nullptr;

    const QVector<OpenLot>& lots() const { return lots_; }

    // Asks for the prices file; tests replace it.
    std::function<QString(QWidget*)> choosePricesFile;

    // The column of the price a share, the one the user types in.
    static int priceColumn();

public slots:
    // The lots read again for the account and day chosen, at the prices
    // typed so far.
    void refresh();
    // Prices from a "symbol,price" file, added to those typed.
    void cmdPrices_Click();

private:
    void priceEdited(int row, int col);
    void fillTable();

    QSqlDatabase db_;
    Prompter& prompter_;
    QStringList accounts_;
    QHash<QString, Money> prices_; // by instrumentKey
    QVector<OpenLot> lots_;
    QString processAgain_; // the accounts whose lots are out of date
    bool filling_ = false;
};

} // namespace gainbook
