#include "capture/screen/frm_reconcile.h"

#include "platform/prompter.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

namespace gainbook {

namespace {

// "4 matched, 1 differs, 1 only in the file, 2 only in the records"
QString summaryOf(const QVector<ReconcileRow>& rows) {
    int counts[4] = {0, 0, 0, 0};
    for (const ReconcileRow& row : rows)
        ++counts[int(row.status)];
    return QStringLiteral("%1 matched, %2 differ, %3 only in the file, %4 only in the records")
        .arg(counts[0])
        .arg(counts[1])
        .arg(counts[2])
        .arg(counts[3]);
}

} // namespace

frmReconcile::frmReconcile(const QString& account, const QString& file, QVector<ReconcileRow> rows,
                           Prompter& prompter, QWidget* parent)
    : QDialog(parent), rows_(std::move(rows)), prompter_(prompter) {
    setObjectName(QStringLiteral("frmReconcile"));
    setWindowTitle(QStringLiteral("Reconcile %1 with %2").arg(account, file));
    setSizeGripEnabled(true);

    summary = new QLabel(summaryOf(rows_), this);
    summary->setObjectName(QStringLiteral("summary"));
    const QStringList headings = reconcileHeadings();
    grid = new QTableWidget(int(rows_.size()), int(headings.size()), this);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setHorizontalHeaderLabels(headings);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->verticalHeader()->hide();
    for (int r = 0; r < rows_.size(); ++r) {
        const QStringList cells = reconcileCells(rows_[r]);
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 2 || c == 5 || c == 6 || c == 7 || c == 10)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->setItem(r, c, item);
        }
    }
    grid->resizeColumnsToContents();
    grid->horizontalHeader()->setStretchLastSection(true);

    saveButton = new QPushButton(QStringLiteral("Save as CSV..."), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    chooseSaveFile = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save the reconciliation"),
                                            QString(), QStringLiteral("CSV files (*.csv)"));
    };
    connect(saveButton, &QPushButton::clicked, this, &frmReconcile::save);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary, 1);
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);
    resize(980, 480);
}

void frmReconcile::save() {
    const QString path = chooseSaveFile ? chooseSaveFile() : QString();
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        QTextStream out(&file);
        writeReconcileCsv(out, rows_);
        if (file.commit())
            return;
    }
    prompter_.message(QStringLiteral("The file %1 could not be written: %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
}

} // namespace gainbook
