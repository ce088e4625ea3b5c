#pragma once

#include "platform/grid_column.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

namespace gainbook {

// The sheets keep the name their layouts have always had.
using SheetColumn = GridColumn;

// The data of a spreadsheet grid: cell texts with their kinds and locks, a
// changed mark and a text colour per row; it answers the GridRole roles,
// so a SpreadGrid shows it. Rows and columns are numbered from
// 1 as the grid shows them (row 0 is the heading row); the Qt model indexes
// underneath count from 0. Hidden columns are in the model; views hide them.
class SheetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit SheetModel(QObject* parent = nullptr);

    // Sets the layout and empties the grid.
    void setColumns(QVector<SheetColumn> columns);
    int columns() const { return int(columns_.size()); }
    int rows() const { return int(rows_.size()); }
    const SheetColumn& column(int col) const { return columns_[col - 1]; }
    const QVector<SheetColumn>& layout() const { return columns_; }

    // Removes every data row; the layout stays.
    void clear();

    // Adds a row at the bottom (texts from column 1 on) and returns its number.
    int appendRow(const QStringList& texts);
    // Adds many rows at once, for fills of many records.
    void appendRows(const QVector<QStringList>& rows);
    // Inserts an empty row so that it becomes row number `row`.
    void insertRowAt(int row);
    void removeRowAt(int row);

    QString text(int row, int col) const;
    QStringList rowTexts(int row) const;
    // A change by the program: no cellEdited signal.
    void setText(int row, int col, const QString& text);

    CellKind kind(int row, int col) const;
    void setCellKind(int row, int col, CellKind kind);
    bool isLocked(int row, int col) const;
    void setLocked(int row, int col, bool locked);
    QStringList choices(int row, int col) const;
    void setChoices(int row, int col, const QStringList& choices);

    bool isChanged(int row) const { return rows_[row - 1].changed; }
    void setChanged(int row, bool changed);
    quint32 textColor(int row) const { return rows_[row - 1].color; }
    void setTextColor(int row, quint32 rgb);

    // Stable sort of all rows by one column: dates by date, numbers by value,
    // text without regard to case. Rows that tie keep their order.
    void sortRows(int col, Qt::SortOrder order);
    // The same for a view, columns counted from 0.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override {
        sortRows(column + 1, order);
    }

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // The user changed a cell (through a view's editor or check box).
    void cellEdited(int row, int col);

private:
    struct Cell {
        QString text;
        qint8 kind = -1;   // -1: the column's kind
        qint8 locked = -1; // -1: the column's lock
        QStringList choices;
    };
    struct Row {
        QVector<Cell> cells;
        bool changed = false;
        quint32 color = 0;
    };

    Row makeRow(const QStringList& texts) const;
    Cell& cell(int row, int col) { return rows_[row - 1].cells[col - 1]; }
    const Cell& cell(int row, int col) const { return rows_[row - 1].cells[col - 1]; }
    void emitRowChanged(int row);

    QVector<SheetColumn> columns_;
    QVector<Row> rows_;
};

} // namespace gainbook
