#pragma once

#include "platform/record_columns.h"

#include <QAbstractTableModel>

#include <memory>

namespace gainbook {

// The grid model over typed records that every record grid builds on.
//
// A grid of records is made of two halves. The core describes a record's
// columns once, as a RecordColumns<Record>: the layout, the text of a cell,
// how a typed text is read back into the record, the sort key, and cells
// that differ from their column. This model holds the rows, each a
// RecordRow: the record and, beside it, its RowState (new, changed,
// refused). It formats in data() and parses in setData(): a text that cannot
// be read stays on show as typed, its row turns red, and the record keeps
// its value; the refusal is in the row's state for the screen to show.
//
//     RecordTableModel<TxnRecord> model(std::make_unique<TxnColumns>());
//     model.setRecords(records);                    // stored rows
//     grid->setGridModel(&model);                   // a SpreadGrid shows it
//     model.updateRows([&](QVector<RecordRow<TxnRecord>>& rows) {
//         return saveChangedRows(rows, ...);        // a core command on the rows
//     });
//
// It answers the GridRole roles, so SpreadGrid and its delegate draw it,
// and its cellEdited signal tells the user's edits from the program's own
// writes. In this class's functions rows and columns are numbered from 1,
// as the grid numbers them; the QAbstractItemModel indexes count from 0.
//
// To put another grid on this base, write its RecordColumns in the core
// beside the commands that use its rows (TxnColumns in main_window/txn_view.h
// is one), read typed cells with platform/cell_readers.h so every grid
// refuses the same texts the same way, and give its commands the rows.
//
// RecordTableModelBase is the part that does not depend on the record type
// (and carries the signal); RecordTableModel<Record> below fills it in.
class RecordTableModelBase : public QAbstractTableModel {
    Q_OBJECT

public:
    int rows() const { return rowCount(); }
    int columns() const { return int(layout_.size()); }
    const GridColumn& column(int col) const { return layout_[col - 1]; }

    virtual const RowState& state(int row) const = 0;
    // The text the cell shows.
    QString text(int row, int col) const { return cellText(row, col); }
    bool isChanged(int row) const { return state(row).changed; }
    // What the cell is drawn as: a row may differ from its column.
    CellKind kind(int row, int col) const { return cellKind(row, col); }
    // Red for a refused row, amber for a row with a note, 0 for the normal
    // colour.
    quint32 textColor(int row) const;
    // The row's note (RecordColumns::rowNote), its tooltip.
    virtual QString rowNote(int row) const = 0;
    // A cell's own tooltip (RecordColumns::cellTip), where the row has no note.
    virtual QString cellTip(int row, int col) const = 0;
    // A word shown after the cell's text (RecordColumns::cellMark).
    virtual QString cellMark(int row, int col) const = 0;

    void clear();
    void removeRowAt(int row);

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Stable: rows that tie keep their order. Dates sort by date, numbers by
    // value, text without regard to case; the current cell stays on its row.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // The user changed a cell (through a view's editor or check box).
    void cellEdited(int row, int col);

protected:
    RecordTableModelBase(QVector<GridColumn> layout, QObject* parent);

    // The record-typed half, rows and columns from 1.
    virtual int count() const = 0;
    virtual QString cellText(int row, int col) const = 0;
    virtual CellKind cellKind(int row, int col) const = 0;
    virtual bool cellLocked(int row, int col) const = 0;
    virtual QStringList cellChoices(int row, int col) const = 0;
    virtual void editCellText(int row, int col, const QString& text) = 0;
    virtual QVector<int> sortedRows(int col, Qt::SortOrder order) const = 0;
    virtual void reorder(const QVector<int>& order) = 0;
    virtual void eraseRow(int row) = 0;
    virtual void eraseAll() = 0;

    // Every cell of every row may show something else now.
    void allRowsChanged();

private:
    QVector<GridColumn> layout_;
};

template <class Record> class RecordTableModel : public RecordTableModelBase {
public:
    using Row = RecordRow<Record>;

    explicit RecordTableModel(std::unique_ptr<const RecordColumns<Record>> columns,
                              QObject* parent = nullptr)
        : RecordTableModelBase(columns->layout(), parent), columns_(std::move(columns)) {}

    const RecordColumns<Record>& recordColumns() const { return *columns_; }
    const QVector<Row>& rowList() const { return rows_; }
    const Row& row(int row) const { return rows_[row - 1]; }
    const Record& record(int row) const { return rows_[row - 1].record; }
    const RowState& state(int row) const override { return rows_[row - 1].state; }

    // Shows stored records, in this order, in place of every row.
    void setRecords(QVector<Record> records) { setRecords(std::move(records), nullptr); }
    // The same through other columns of the same layout (columns that know
    // more of the records now on show), or the present ones when null.
    void setRecords(QVector<Record> records, std::unique_ptr<const RecordColumns<Record>> columns) {
        beginResetModel();
        if (columns)
            columns_ = std::move(columns);
        rows_.clear();
        rows_.reserve(records.size());
        for (Record& record : records)
            rows_.append(Row{std::move(record), {}});
        endResetModel();
    }

    // Shows stored records that fill(rows) writes straight into the emptied
    // rows, in place of every row: a large read is then held once, not also
    // in a list of records on its way in. Rethrows what fill throws, with
    // no rows left.
    template <class Fill> void fillRecords(Fill&& fill) { fillRecords(fill, nullptr); }
    // The same through other columns of the same layout, or the present
    // ones when null.
    template <class Fill>
    void fillRecords(Fill&& fill, std::unique_ptr<const RecordColumns<Record>> columns) {
        beginResetModel();
        if (columns)
            columns_ = std::move(columns);
        rows_.clear();
        try {
            std::forward<Fill>(fill)(rows_);
        } catch (...) {
            rows_.clear();
            endResetModel();
            throw;
        }
        endResetModel();
    }

    // Inserts a record not stored yet so that it becomes row number `row`.
    void insertNewRecord(int row, Record record) {
        beginInsertRows({}, row - 1, row - 1);
        Row added{std::move(record), {}};
        added.state.isNew = true;
        rows_.insert(row - 1, std::move(added));
        endInsertRows();
    }

    // Hands every row to a command of the core (which writes records and
    // marks their states) and shows the outcome. The command may change
    // rows but not add, remove or reorder them. Returns what it returns.
    template <class Command> decltype(auto) updateRows(Command&& command) {
        const Refresh refresh(*this);
        return std::forward<Command>(command)(rows_);
    }

protected:
    int count() const override { return int(rows_.size()); }
    QString cellText(int row, int col) const override {
        return gainbook::cellText(*columns_, rows_[row - 1], col);
    }
    CellKind cellKind(int row, int col) const override {
        return columns_->kind(rows_[row - 1], col, column(col).kind);
    }
    bool cellLocked(int row, int col) const override {
        return columns_->locked(rows_[row - 1], col, column(col).locked);
    }
    QStringList cellChoices(int row, int col) const override {
        return columns_->choices(rows_[row - 1], col);
    }

public:
    QString rowNote(int row) const override { return columns_->rowNote(rows_[row - 1].record); }
    QString cellTip(int row, int col) const override {
        return columns_->cellTip(rows_[row - 1].record, col);
    }
    QString cellMark(int row, int col) const override {
        return columns_->cellMark(rows_[row - 1].record, col);
    }

protected:
    void editCellText(int row, int col, const QString& text) override {
        editCell(*columns_, rows_[row - 1], col, text);
    }
    QVector<int> sortedRows(int col, Qt::SortOrder order) const override {
        return sortedOrder(
            *columns_, count(), [this](int i) -> const Record& { return rows_[i].record; }, col,
            order);
    }
    void reorder(const QVector<int>& order) override {
        QVector<Row> sorted;
        sorted.reserve(rows_.size());
        for (int i : order)
            sorted.append(std::move(rows_[i]));
        rows_ = std::move(sorted);
    }
    void eraseRow(int row) override { rows_.removeAt(row - 1); }
    void eraseAll() override { rows_.clear(); }

private:
    struct Refresh {
        explicit Refresh(RecordTableModel& model) : model(model) {}
        ~Refresh() { model.allRowsChanged(); }
        RecordTableModel& model;
    };

    std::unique_ptr<const RecordColumns<Record>> columns_;
    QVector<Row> rows_;
};

} // namespace gainbook
