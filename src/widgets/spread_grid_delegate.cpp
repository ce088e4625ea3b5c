#include "widgets/spread_grid_delegate.h"

#include "platform/grid_column.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace gainbook {

namespace {

CellKind kindOf(const QModelIndex& index) {
    return CellKind(index.data(GridRole::Kind).toInt());
}

QStyle* styleOf(const QStyleOptionViewItem& option) {
    return option.widget ? option.widget->style() : QApplication::style();
}

} // namespace

void SpreadGridDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const quint32 rgb = index.data(GridRole::TextColor).toUInt();
    if (rgb != 0) {
        option->palette.setColor(QPalette::Text, QColor::fromRgba(rgb));
        option->palette.setColor(QPalette::HighlightedText, QColor::fromRgba(rgb));
    }
}

void SpreadGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (kindOf(index) == CellKind::CheckBox) {
        paintCheckBox(painter, option, index);
        return;
    }
    if (kindOf(index) != CellKind::Button) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionButton button;
    button.rect = option.rect.adjusted(1, 1, -1, -1);
    button.text = index.data(Qt::EditRole).toString();
    button.state = option.state | QStyle::State_Raised;
    button.palette = option.palette;
    button.fontMetrics = option.fontMetrics;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_PushButton, &button, painter, widget);
}

void SpreadGridDelegate::paintCheckBox(QPainter* painter, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    QStyle* style = styleOf(cell);
    const QSize box =
        style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &cell, cell.widget).size();
    // The style would put the box at the cell's left edge whatever the
    // column's alignment; the cell is drawn without it and the box placed here.
    cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
    QStyleOptionViewItem check = cell;
    check.rect = QStyle::alignedRect(cell.direction, cell.displayAlignment, box, option.rect);
    check.state &= ~QStyle::State_HasFocus;
    check.state |= cell.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, cell.widget);
}

bool SpreadGridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                     const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (kindOf(index) != CellKind::CheckBox)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    const Qt::ItemFlags flags = model->flags(index);
    if (!(flags & Qt::ItemIsUserCheckable) || !(flags & Qt::ItemIsEnabled))
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint()))
            return false;
        break;
    }
    case QEvent::MouseButtonDblClick:
        return true; // the release before it has toggled the box already
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return false;
        break;
    }
    default:
        return false;
    }
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

QWidget* SpreadGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
    if (kindOf(index) != CellKind::DropDown)
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* combo = new QComboBox(parent);
    combo->addItems(index.data(GridRole::Choices).toStringList());
    // A choice is a complete edit: write it at once rather than on focus loss.
    connect(combo, &QComboBox::activated, this, [this, combo] {
        emit const_cast<SpreadGridDelegate*>(this)->commitData(combo);
        emit const_cast<SpreadGridDelegate*>(this)->closeEditor(combo);
    });
    return combo;
}

void SpreadGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void SpreadGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                      const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, combo->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

} // namespace gainbook
