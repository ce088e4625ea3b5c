#pragma once

#include "capture/column_mapping.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace gainbook {

// "Map Columns": shown when "Other" finds no heading row. The sheet's first
// rows with a drop-down above each column (Date, Type, Symbol, Quantity,
// Amount, or ignore), the first data row, a name to save the mapping
// under, and a preview of the rows the mapping would store.
class frmColumnMapping : public QDialog {
    Q_OBJECT

public:
    // takenNames: the broker entries and saved mappings a new name must not
    // repeat (a saved mapping's own name may be given to replace it).
    frmColumnMapping(const SheetDocument& sheet, const CaptureSettings& settings,
                     QStringList takenNames, QWidget* parent = nullptr);

    // The mapping as the controls stand.
    ColumnMapping mapping() const;

    QLineEdit* nameEdit = nullptr;
    QSpinBox* firstRow = nullptr;
    QTableWidget* sheetGrid = nullptr;
    QVector<QComboBox*> roles; // one per sheet column shown
    QTableWidget* preview = nullptr;
    QLabel* note = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

    // The texts of the drop-downs, in their order.
    static QStringList roleNames();

private slots:
    void refresh();

private:
    const SheetDocument& sheet_;
    CaptureSettings settings_;
    QStringList takenNames_;
};

} // namespace gainbook
