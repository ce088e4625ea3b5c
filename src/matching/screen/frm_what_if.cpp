#include "matching/screen/frm_what_if.h"

#include "platform/prompter.h"
#include "store/store_error.h"
#include "store/store_fault.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace gainbook {

frmWhatIf::frmWhatIf(QSqlDatabase db, Prompter& prompter, const QStringList& accounts,
                     const QString& account, TaxYear year, QWidget* parent)
    : QDialog(parent), db_(std::move(db)), prompter_(prompter), year_(year) {
    setObjectName(QStringLiteral("frmWhatIf"));
    setWindowTitle(QStringLiteral("What-if: lot methods"));

    cboAccount = new QComboBox(this);
    cboAccount->setObjectName(QStringLiteral("cboAccount"));
    cboAccount->addItem(QStringLiteral("All accounts"), QString());
    for (const QString& name : accounts)
        cboAccount->addItem(name, name);
    lblYear = new QLabel(QStringLiteral("Tax year %1, as processing under each method would "
                                        "give it; nothing is written.")
                             .arg(year.year),
                         this);
    lblYear->setObjectName(QStringLiteral("lblYear"));
    lblYear->setWordWrap(true);
    tblMethods = new QTableWidget(0, int(methodFiguresHeading().size()), this);
    tblMethods->setObjectName(QStringLiteral("tblMethods"));
    tblMethods->setHorizontalHeaderLabels(methodFiguresHeading());
    tblMethods->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblMethods->verticalHeader()->hide();
    tblMethods->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Account"), this));
    top->addWidget(cboAccount, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblYear);
    layout->addWidget(tblMethods, 1);
    layout->addLayout(bottom);
    resize(620, 300);

    const int chosen = cboAccount->findData(account);
    cboAccount->setCurrentIndex(chosen >= 0 ? chosen : 0);
    connect(cboAccount, &QComboBox::currentIndexChanged, this, &frmWhatIf::cboAccount_Changed);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    cboAccount_Changed();
}

void frmWhatIf::cboAccount_Changed() {
    tblMethods->setRowCount(0);
    figures_.clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        figures_ = compareLotMethods(db_, cboAccount->currentData().toString(), year_);
    } catch (const StoreError& error) {
        QApplication::restoreOverrideCursor();
        prompter_.message(QStringLiteral("The what-if could not be worked out: ") +
                          failureText(db_, error));
        return;
    }
    QApplication::restoreOverrideCursor();
    tblMethods->setRowCount(int(figures_.size()));
    for (int row = 0; row < figures_.size(); ++row) {
        const QStringList fields = methodFiguresFields(figures_[row]);
        for (int col = 0; col < fields.size(); ++col) {
            auto* item = new QTableWidgetItem(fields[col]);
            if (col > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tblMethods->setItem(row, col, item);
        }
    }
}

} // namespace gainbook
