#include "widgets/record_table_model.h"

#include "platform/number_text.h"

namespace gainbook {

RecordTableModelBase::RecordTableModelBase(QVector<GridColumn> layout, QObject* parent)
    : QAbstractTableModel(parent), layout_(std::move(layout)) {}

quint32 RecordTableModelBase::textColor(int row) const {
    if (!state(row).error.isEmpty())
        return kErrorTextColor;
    return rowNote(row).isEmpty() ? 0 : kNoteTextColor;
}

void RecordTableModelBase::clear() {
    if (count() == 0)
        return;
    beginResetModel();
    eraseAll();
    endResetModel();
}

void RecordTableModelBase::removeRowAt(int row) {
    beginRemoveRows({}, row - 1, row - 1);
    eraseRow(row);
    endRemoveRows();
}

void RecordTableModelBase::allRowsChanged() {
    if (count() > 0 && columns() > 0)
        emit dataChanged(index(0, 0), index(count() - 1, columns() - 1));
}

int RecordTableModelBase::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int RecordTableModelBase::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns();
}

QVariant RecordTableModelBase::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole: {
        if (cellKind(row, col) == CellKind::CheckBox)
            return {};
        const QString mark = cellMark(row, col);
        return mark.isEmpty() ? cellText(row, col) : cellText(row, col) + u' ' + mark;
    }
    case Qt::EditRole:
        return cellText(row, col);
    case Qt::CheckStateRole:
        if (cellKind(row, col) != CellKind::CheckBox)
            return {};
        return numberFromText(cellText(row, col)) != 0 ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        return int(column(col).alignment | Qt::AlignVCenter);
    case GridRole::TextColor:
        return textColor(row);
    case Qt::ToolTipRole: {
        QString note = rowNote(row);
        if (note.isEmpty())
            note = cellTip(row, col);
        return note.isEmpty() ? QVariant() : QVariant(note);
    }
    case GridRole::Changed:
        return state(row).changed;
    case GridRole::Kind:
        return int(cellKind(row, col));
    case GridRole::Choices:
        return cellChoices(row, col);
    default:
        return {};
    }
}

QVariant RecordTableModelBase::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= columns())
        return {};
    const GridColumn& c = layout_[section];
    switch (role) {
    case Qt::DisplayRole:
        return c.heading;
    case GridRole::ColumnWidth:
        return c.width;
    case GridRole::ColumnHidden:
        return c.hidden;
    default:
        return {};
    }
}

Qt::ItemFlags RecordTableModelBase::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    if (cellLocked(row, col))
        return f;
    switch (cellKind(row, col)) {
    case CellKind::CheckBox:
        return f | Qt::ItemIsUserCheckable;
    case CellKind::Button:
        return f;
    default:
        return f | Qt::ItemIsEditable;
    }
}

bool RecordTableModelBase::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    QString text;
    if (role == Qt::CheckStateRole)
        text = value.toInt() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
    else if (role == Qt::EditRole)
        text = value.toString();
    else
        return false;
    if (text == cellText(row, col))
        return true;
    editCellText(row, col, text);
    // The whole row: its colour and changed mark, and cells worked out from
    // the edited one, may all show something else now.
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columns() - 1));
    emit cellEdited(row, col);
    return true;
}

void RecordTableModelBase::sort(int column, Qt::SortOrder order) {
    if (count() < 2 || column < 0 || column >= columns())
        return;
    const QVector<int> sorted = sortedRows(column + 1, order);
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QVector<int> movedTo(sorted.size());
    for (int i = 0; i < sorted.size(); ++i)
        movedTo[sorted[i]] = i;
    reorder(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after.append(index(movedTo[i.row()], i.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace gainbook
