#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace gainbook {

// Shown on every start: the main window opens only after "I agree"
// (accepted); "Do not Agree" (rejected) ends the program.
class frmDisclaim : public QDialog {
    Q_OBJECT

public:
    explicit frmDisclaim(QWidget* parent = nullptr);

    QPlainTextEdit* Text1 = nullptr;
    QLabel* Picture1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

public slots:
    void Command1_Click();
    void Command2_Click();
};

} // namespace gainbook
