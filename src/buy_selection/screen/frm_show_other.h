#pragma once

#include "buy_selection/buy_columns.h"
#include "widgets/record_table_model.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLabel;
class QPushButton;

namespace gainbook {

class Prompter;
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

    // How many links the screen's Applies have written while it was open.
    qint64 linksWritten() const { return linksWritten_; }

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
    bool isMarked(int gridRow) const;
    bool hasMarks() const;
    // Apply and Done follow the marks not yet applied.
    void updateApplyButtons();
    // Draws the row red while it holds the refusal; an empty one clears it.
    void markRefused(int gridRow, const QString& refusal);
    // Links the marked rows; false (message shown) when nothing was written.
    bool apply();

    Prompter& prompter_;
    QPointer<QWidget> processScreen_;
    BuySelection selection_;
    qint64 sellId_;
    std::optional<TxnRecord> sell_;

    QLabel* filterLabel_ = nullptr;                // Label2
    QComboBox* filterList_ = nullptr;              // Combo1
    QLabel* heading_ = nullptr;                    // Label1
    RecordTableModel<BuyRow>* buyTable_ = nullptr; // the rows of vaSpread1
    SpreadGrid* buyGrid_ = nullptr;                // vaSpread1
    QPushButton* newBuyButton_ = nullptr;          // cmdNew
    QPushButton* applyButton_ = nullptr;           // cmdAdd
    QPushButton* doneButton_ = nullptr;            // cmdDone
    QPushButton* closeButton_ = nullptr;           // cmdExit
    QLabel* status_ = nullptr;                     // Status
    qint64 linksWritten_ = 0;
    int lastSortCol_ = 0;
    int sortDirection_ = 0;
};

} // namespace gainbook
