#include "platform/sheet_model.h"

#include "platform/date_text.h"
#include "platform/number_text.h"
#include "platform/record_columns.h"

#include <algorithm>

namespace gainbook {

SheetModel::SheetModel(QObject* parent) : QAbstractTableModel(parent) {}

void SheetModel::setColumns(QVector<SheetColumn> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    rows_.clear();
    endResetModel();
}

void SheetModel::clear() {
    if (rows_.isEmpty())
        return;
    beginResetModel();
    rows_.clear();
    endResetModel();
}

SheetModel::Row SheetModel::makeRow(const QStringList& texts) const {
    Row row;
    row.cells.resize(columns_.size());
    const qsizetype n = std::min(texts.size(), columns_.size());
    for (qsizetype i = 0; i < n; ++i)
        row.cells[i].text = texts[i];
    return row;
}

int SheetModel::appendRow(const QStringList& texts) {
    const int r = rows();
    beginInsertRows({}, r, r);
    rows_.append(makeRow(texts));
    endInsertRows();
    return r + 1;
}

void SheetModel::appendRows(const QVector<QStringList>& rows) {
    if (rows.isEmpty())
        return;
    const int first = this->rows();
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    rows_.reserve(first + rows.size());
    for (const QStringList& texts : rows)
        rows_.append(makeRow(texts));
    endInsertRows();
}

void SheetModel::insertRowAt(int row) {
    beginInsertRows({}, row - 1, row - 1);
    rows_.insert(row - 1, makeRow({}));
    endInsertRows();
}

void SheetModel::removeRowAt(int row) {
    beginRemoveRows({}, row - 1, row - 1);
    rows_.removeAt(row - 1);
    endRemoveRows();
}

QString SheetModel::text(int row, int col) const {
    return cell(row, col).text;
}

QStringList SheetModel::rowTexts(int row) const {
    QStringList texts;
    texts.reserve(columns_.size());
    for (const Cell& c : rows_[row - 1].cells)
        texts << c.text;
    return texts;
}

void SheetModel::setText(int row, int col, const QString& text) {
    cell(row, col).text = text;
    const QModelIndex i = index(row - 1, col - 1);
    emit dataChanged(i, i);
}

CellKind SheetModel::kind(int row, int col) const {
    const qint8 k = cell(row, col).kind;
    return k < 0 ? column(col).kind : CellKind(k);
}

void SheetModel::setCellKind(int row, int col, CellKind kind) {
    cell(row, col).kind = qint8(kind);
    const QModelIndex i = index(row - 1, col - 1);
    emit dataChanged(i, i);
}

bool SheetModel::isLocked(int row, int col) const {
    const qint8 l = cell(row, col).locked;
    return l < 0 ? column(col).locked : l != 0;
}

void SheetModel::setLocked(int row, int col, bool locked) {
    cell(row, col).locked = locked ? 1 : 0;
}

QStringList SheetModel::choices(int row, int col) const {
    return cell(row, col).choices;
}

void SheetModel::setChoices(int row, int col, const QStringList& choices) {
    cell(row, col).choices = choices;
}

void SheetModel::setChanged(int row, bool changed) {
    rows_[row - 1].changed = changed;
    emitRowChanged(row);
}

void SheetModel::setTextColor(int row, quint32 rgb) {
    rows_[row - 1].color = rgb;
    emitRowChanged(row);
}

void SheetModel::emitRowChanged(int row) {
    if (columns_.isEmpty())
        return;
    emit dataChanged(index(row - 1, 0), index(row - 1, columns() - 1));
}

void SheetModel::sortRows(int col, Qt::SortOrder order) {
    if (rows_.size() < 2 || col < 1 || col > columns())
        return;

    // Keys are computed once per row, not per comparison.
    const CellKind k = column(col).kind;
    const bool byText = sortsByText(k);
    QVector<SortKey> keys;
    keys.reserve(rows_.size());
    for (const Row& r : rows_) {
        const QString& t = r.cells[col - 1].text;
        if (byText)
            keys.append({0, t.toCaseFolded()});
        else if (k == CellKind::Date)
            keys.append(sortByDate(dateFromText(t)));
        else // a text that is no number sorts by the number it begins with
            keys.append(sortByValue(typedNumber(t).value_or(numberFromText(t))));
    }
    const QVector<int> perm = sortedOrder(keys, byText, order);

    beginResetModel();
    QVector<Row> sorted;
    sorted.reserve(rows_.size());
    for (int i : perm)
        sorted.append(std::move(rows_[i]));
    rows_ = std::move(sorted);
    endResetModel();
}

int SheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows();
}

int SheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns();
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    const CellKind k = kind(row, col);
    switch (role) {
    case Qt::DisplayRole:
        return k == CellKind::CheckBox ? QVariant() : QVariant(text(row, col));
    case Qt::EditRole:
        return text(row, col);
    case Qt::CheckStateRole:
        if (k != CellKind::CheckBox)
            return {};
        return numberFromText(text(row, col)) != 0 ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        return int(column(col).alignment | Qt::AlignVCenter);
    case GridRole::TextColor:
        return rows_[index.row()].color;
    case GridRole::Changed:
        return rows_[index.row()].changed;
    case GridRole::Kind:
        return int(k);
    case GridRole::Choices:
        return choices(row, col);
    default:
        return {};
    }
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= columns())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return columns_[section].heading;
    case GridRole::ColumnWidth:
        return columns_[section].width;
    case GridRole::ColumnHidden:
        return columns_[section].hidden;
    default:
        return {};
    }
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    if (isLocked(row, col))
        return f;
    switch (kind(row, col)) {
    case CellKind::CheckBox:
        return f | Qt::ItemIsUserCheckable;
    case CellKind::Button:
        return f;
    default:
        return f | Qt::ItemIsEditable;
    }
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    QString newText;
    if (role == Qt::CheckStateRole)
        newText = value.toInt() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
    else if (role == Qt::EditRole)
        newText = value.toString();
    else
        return false;
    if (newText == text(row, col))
        return true;
    cell(row, col).text = newText;
    emit dataChanged(index, index);
    emit cellEdited(row, col);
    return true;
}

} // namespace gainbook
