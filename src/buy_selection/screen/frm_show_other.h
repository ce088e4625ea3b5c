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

// "Processing Record" for one sell: lists buys by the chosen filter, lets
// the user mark them or enter a missing one, and links the marked buys to
// the sell. The work is BuySelection's; this window shows its typed rows
// and turns the marks and typed cells into choices. The controls keep
// their designer names as object names (Combo1, vaSpread1, cmdAdd, ...).
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
    // A row of the grid as it was filled: the buy it shows, and whether that
    // buy was entered here and is not stored yet.
    struct ShownBuy {
        BuyRow row;
        bool unsaved = false;
    };

    void buildLayout();
    void setHints();
    // Lists the buys of the selected filter; false when the screen closes.
    bool FillGrid();
    // Shows one typed row at the given grid row and keeps it beside the grid.
    void showRow(int gridRow, const ShownBuy& shown);
    const ShownBuy& shownAt(int gridRow) const;
    ShownBuy& shownAt(int gridRow);
    bool isMarked(int gridRow) const;
    bool hasMarks() const;
    // Apply and Done follow the marks not yet applied.
    void updateApplyButtons();
    // The first cell of the row that is not a number or a date where one is
    // needed; an empty text when the row reads well.
    QString refusedCell(int gridRow) const;
    void markRefused(int gridRow, const QString& refusal);
    // Links the marked rows; false (message shown) when nothing was written.
    bool apply();

    Prompter& prompter_;
    QPointer<QWidget> processScreen_;
    BuySelection selection_;
    qint64 sellId_;
    std::optional<TxnRecord> sell_;
    QVector<ShownBuy> shown_; // each grid row's key is its index here

    QLabel* filterLabel_ = nullptr;       // Label2
    QComboBox* filterList_ = nullptr;     // Combo1
    QLabel* heading_ = nullptr;           // Label1
    SheetModel* buySheet_ = nullptr;      // the data of vaSpread1
    SpreadGrid* buyGrid_ = nullptr;       // vaSpread1
    QPushButton* newBuyButton_ = nullptr; // cmdNew
    QPushButton* applyButton_ = nullptr;  // cmdAdd
    QPushButton* doneButton_ = nullptr;   // cmdDone
    QPushButton* closeButton_ = nullptr;  // cmdExit
    QLabel* status_ = nullptr;            // Status
    int lastSortCol_ = 0;
    int sortDirection_ = 0;
};

} // namespace gainbook
