#pragma once

#include "gains/reconcile.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace gainbook {

class Prompter;

// "Reconcile": a broker's realized-gain file beside the account's own tax
// records, one grid row per lot or record, and the grid saved as CSV.
class frmReconcile : public QDialog {
    Q_OBJECT

public:
    frmReconcile(const QString& account, const QString& file, QVector<ReconcileRow> rows,
                 Prompter& prompter, QWidget* parent = nullptr);

    QTableWidget* grid = nullptr;
    QLabel* summary = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* closeButton = nullptr;

    // The save dialog: the chosen file, or empty. Tests replace it.
    std::function<QString()> chooseSaveFile;

public slots:
    void save();

private:
    QVector<ReconcileRow> rows_;
    Prompter& prompter_;
};

} // namespace gainbook
