#pragma once

#include "store/records.h"

#include <QDialog>
#include <QVector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace gainbook {

class AppContext;
class Prompter;

// "Corporate Actions": the splits and symbol changes of the whole store,
// listed by date, with fields to add one, change the one chosen in the
// list, or delete it. A refused entry is told by name and nothing is kept;
// a kept one names the processed accounts it changes, to process again.
class frmCorpActions : public QDialog {
    Q_OBJECT

public:
    frmCorpActions(AppContext& context, Prompter& prompter, QWidget* parent = nullptr);

    QTableWidget* grdActions = nullptr;
    QLineEdit* txtSymbol = nullptr;
    QLineEdit* txtDate = nullptr;
    QComboBox* cboKind = nullptr;
    QLineEdit* txtRatio = nullptr;
    QLineEdit* txtNewSymbol = nullptr;
    QLineEdit* txtNote = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClose = nullptr;

    // The actions as listed, in row order.
    const QVector<CorpActionRecord>& actions() const { return actions_; }

public slots:
    // Reads the store's actions into the list.
    void FillList();
    // Shows the chosen action in the fields.
    void grdActions_SelectionChanged();
    // Empties the fields for a new action.
    void cmdNew_Click();
    // Adds the fields as a new action, or changes the chosen one.
    void cmdSave_Click();
    // Deletes the chosen action after a question.
    void cmdDelete_Click();
    void cboKind_Changed();

private:
    // The fields as an action; false (after telling why) when the date or
    // the ratio cannot be read.
    bool readFields(CorpActionRecord& action);
    qint64 chosenId() const;

    AppContext& context_;
    Prompter& prompter_;
    QVector<CorpActionRecord> actions_;
};

} // namespace gainbook
