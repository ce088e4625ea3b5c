#pragma once

#include <QHeaderView>
#include <QTableView>

namespace gainbook {

// The spreadsheet grid: a view over any table model that answers the
// GridRole roles (a SheetModel of texts, a RecordTableModel of records).
// Rows and columns are numbered from 1 as the grid numbers them; row 0 is
// the heading row, so a click on a heading reports row 0. Column widths,
// hidden columns, locked cells, row colours and the changed mark all come
// from the model. A model that tells the user's edits from the program's
// writes does so with a signal cellEdited(int row, int col), which the grid
// passes on as cellChanged.
class SpreadGrid : public QTableView {
    Q_OBJECT

public:
    explicit SpreadGrid(QWidget* parent = nullptr);

    void setGridModel(QAbstractItemModel* model);

    // The current cell; 0 when there is none.
    int currentRow() const;
    int currentCol() const;
    void setCurrentCell(int col, int row);

    // Pixel width of a column that is the given number of characters wide.
    int charactersToPixels(int characters) const;
    // Pixel width that shows every visible column without scrolling.
    int layoutWidth() const;

signals:
    void cellClicked(int col, int row);
    // The user changed a cell's text or check box.
    void cellChanged(int col, int row);
    void keyDown(int key, Qt::KeyboardModifiers shift);
    // Row 0 / column 0 when the pointer is over no cell.
    void mouseMoved(int col, int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private slots:
    void relayCellEdited(int row, int col) { emit cellChanged(col, row); }

private:
    void applyLayout();
    int rows() const { return model_ ? model_->rowCount() : 0; }
    int columns() const { return model_ ? model_->columnCount() : 0; }

    QAbstractItemModel* model_ = nullptr;
};

// The row heading column: the row number, with a mark on rows holding edits
// that are not saved yet.
class SpreadRowHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit SpreadRowHeader(QWidget* parent = nullptr);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

} // namespace gainbook
