#pragma once

#include "buy_selection/buy_selection.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLabel;
class QPushButton;

namespace gainbook {

class Prompter;
class SheetModel;
class SpreadGrid;
class StatusHints;

// "Processing Record" for one sell: lists buys by the chosen filter, lets
// the user mark them or enter a missing one, and links the marked buys to
// the sell. The work is BuySelection's; this window wires the controls.
class frmShowOther : public QDialog {
    Q_OBJECT

public:
    frmShowOther(QSqlDatabase db, Prompter& prompter, qint64 sellId, const QString& account,
                 QWidget* processScreen = nullptr);
    ~frmShowOther() override;

    // Places the window, reads the sell and lists the buys of the first
    // filter; false when the account has no buy at all and there is nothing
    // to show.
    bool Form_Load();

    QLabel* Label2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label1 = nullptr;
    SpreadGrid* vaSpread1 = nullptr;
    SheetModel* sheet = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdAdd = nullptr;  // "&Apply"
    QPushButton* cmdDone = nullptr; // "&Done"
    QPushButton* cmdExit = nullptr; // "&Close"
    QLabel* Status = nullptr;

    BuySelection& selection() { return selection_; }
    StatusHints& hints() { return *hints_; }

public slots:
    void Combo1_Click();
    void vaSpread1_Click(int col, int row);
    void vaSpread1_Change(int col, int row);
    void cmdNew_Click();
    void CmdAdd_Click();
    void cmdDone_Click();
    void cmdExit_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void setHints();
    // Lists the buys of the selected filter; false when the screen closes.
    bool FillGrid();
    // Apply and Done follow the marks not yet applied.
    void updateApplyButtons();
    // Links the marked rows; false (message shown) when nothing was written.
    bool apply();

    Prompter& prompter_;
    QPointer<QWidget> processScreen_;
    BuySelection selection_;
    StatusHints* hints_ = nullptr;
    int lastSortCol_ = 0;
    int sortDirection_ = 0;
};

} // namespace gainbook
