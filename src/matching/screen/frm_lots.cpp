#include "matching/screen/frm_lots.h"

#include "matching/screen/long_term_chart.h"
#include "matching/trade_changes.h"
#include "platform/date_text.h"
#include "platform/instrument_name.h"
#include "platform/number_text.h"
#include "platform/prompter.h"
#include "store/store_error.h"
#include "store/store_fault.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace gainbook {

namespace {

// The account leads each row; the listing's columns follow.
constexpr int kLotFirstField = 1;

QString askPricesFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Prices"), QString(),
                                        QStringLiteral("Prices (*.csv *.txt);;All files (*)"));
}

} // namespace

int frmLots::priceColumn() {
    return kLotFirstField + int(openLotHeading().indexOf(QStringLiteral("Price")));
}

frmLots::frmLots(QSqlDatabase db, Prompter& prompter, const QStringList& accounts,
                 const QString& account, QWidget* parent)
    : QDialog(parent), db_(std::move(db)), prompter_(prompter), accounts_(accounts) {
    setObjectName(QStringLiteral("frmLots"));
    setWindowTitle(QStringLiteral("Open lots and their dates"));
    choosePricesFile = askPricesFile;

    cboAccount = new QComboBox(this);
    cboAccount->setObjectName(QStringLiteral("cboAccount"));
    cboAccount->addItem(QStringLiteral("All accounts"), QString());
    for (const QString& name : accounts)
        cboAccount->addItem(name, name);
    dtpOn = new QDateEdit(QDate::currentDate(), this);
    dtpOn->setObjectName(QStringLiteral("dtpOn"));
    dtpOn->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    dtpOn->setCalendarPopup(true);
    cmdPrices = new QPushButton(QStringLiteral("Load &Prices..."), this);
    cmdPrices->setObjectName(QStringLiteral("cmdPrices"));
    const QStringList heading = QStringList{QStringLiteral("Account")} + openLotHeading();
    tblLots = new QTableWidget(0, int(heading.size()), this);
    tblLots->setObjectName(QStringLiteral("tblLots"));
    tblLots->setHorizontalHeaderLabels(heading);
    tblLots->verticalHeader()->hide();
    tblLots->horizontalHeader()->setStretchLastSection(true);
    tblLots->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    lblTotals = new QLabel(this);
    lblTotals->setObjectName(QStringLiteral("lblTotals"));
    lblTotals->setTextInteractionFlags(Qt::TextSelectableByMouse);
    chtLongTerm = new LongTermChart(this);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Account"), this));
    top->addWidget(cboAccount, 1);
    top->addWidget(new QLabel(QStringLiteral("On"), this));
    top->addWidget(dtpOn);
    top->addWidget(cmdPrices);
    auto* hint = new QLabel(QStringLiteral("Type a price a share in the Price column of any lot "
                                           "of a symbol, or load a file of symbol,price lines."),
                            this);
    hint->setWordWrap(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblTotals, 1);
    bottom->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(hint);
    layout->addWidget(tblLots, 1);
    layout->addWidget(chtLongTerm);
    layout->addLayout(bottom);
    resize(980, 600);

    const int chosen = cboAccount->findData(account);
    cboAccount->setCurrentIndex(chosen >= 0 ? chosen : 0);
    connect(cboAccount, &QComboBox::currentIndexChanged, this, &frmLots::refresh);
    connect(dtpOn, &QDateEdit::dateChanged, this, &frmLots::refresh);
    connect(cmdPrices, &QPushButton::clicked, this, &frmLots::cmdPrices_Click);
    connect(tblLots, &QTableWidget::cellChanged, this, &frmLots::priceEdited);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    refresh();
}

void frmLots::refresh() {
    const QString account = cboAccount->currentData().toString();
    const QDate on = dtpOn->date();
    lots_.clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        lots_ = openLots(db_, account.isEmpty() ? accounts_ : QStringList{account}, on, prices_);
        processAgain_ = processAgainLine(db_);
    } catch (const StoreError& error) {
        QApplication::restoreOverrideCursor();
        fillTable();
        prompter_.message(QStringLiteral("The open lots could not be read: ") +
                          failureText(db_, error));
        return;
    }
    QApplication::restoreOverrideCursor();
    fillTable();
}

void frmLots::fillTable() {
    const QDate on = dtpOn->date();
    filling_ = true;
    tblLots->setRowCount(int(lots_.size()));
    for (int row = 0; row < lots_.size(); ++row) {
        const QStringList fields = QStringList{lots_[row].account} + openLotFields(lots_[row], on);
        for (int col = 0; col < fields.size(); ++col) {
            auto* item = new QTableWidgetItem(fields[col]);
            if (col != priceColumn())
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (col > kLotFirstField && col < int(fields.size()) - 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tblLots->setItem(row, col, item);
        }
    }
    tblLots->resizeColumnsToContents();
    filling_ = false;
    // The lots are what the last runs left: a run still owed is said.
    const QString totals =
        lots_.isEmpty() ? QStringLiteral("No open lots") : unrealizedTotalsText(lots_, on);
    lblTotals->setText(processAgain_.isEmpty() ? totals : totals + u'\n' + processAgain_);
    chtLongTerm->setMonths(longTermCalendar(lots_, on));
}

void frmLots::priceEdited(int row, int col) {
    if (filling_ || col != priceColumn() || row < 0 || row >= lots_.size())
        return;
    const QString text = tblLots->item(row, col)->text().trimmed();
    const QString key = instrumentKey(lots_[row].symbol);
    if (text.isEmpty()) {
        prices_.remove(key);
    } else {
        QString plain = text;
        const std::optional<double> price = typedNumber(plain.remove(u'$'));
        if (!price || *price < 0 || !Money::isRepresentable(*price)) {
            prompter_.message(QStringLiteral("Not a price: %1").arg(text));
            fillTable();
            return;
        }
        prices_.insert(key, Money::fromDouble(*price));
    }
    // The cell's own edit is done before the table it sits in is rebuilt.
    QMetaObject::invokeMethod(this, &frmLots::refresh, Qt::QueuedConnection);
}

void frmLots::cmdPrices_Click() {
    const QString path = choosePricesFile ? choosePricesFile(this) : QString();
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        prompter_.message(
            QStringLiteral("Cannot read the prices file %1: %2").arg(path, file.errorString()));
        return;
    }
    QStringList bad;
    const QHash<QString, Money> read = pricesFromCsv(QString::fromUtf8(file.read(1 << 24)), bad);
    for (auto it = read.cbegin(); it != read.cend(); ++it)
        prices_.insert(it.key(), it.value());
    if (!bad.isEmpty())
        prompter_.message(QStringLiteral("Not a symbol and price: ") +
                          bad.join(QStringLiteral("\n")));
    refresh();
}

} // namespace gainbook
