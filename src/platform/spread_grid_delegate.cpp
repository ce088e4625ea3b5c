#include "platform/spread_grid_delegate.h"

#include "platform/sheet_model.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>

namespace gainbook {

namespace {

CellKind kindOf(const QModelIndex& index) {
    return CellKind(index.data(SheetModel::KindRole).toInt());
}

} // namespace

void SpreadGridDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const quint32 rgb = index.data(SheetModel::TextColorRole).toUInt();
    if (rgb != 0) {
        option->palette.setColor(QPalette::Text, QColor::fromRgba(rgb));
        option->palette.setColor(QPalette::HighlightedText, QColor::fromRgba(rgb));
    }
}

void SpreadGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
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

QWidget* SpreadGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
    if (kindOf(index) != CellKind::DropDown)
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* combo = new QComboBox(parent);
    combo->addItems(index.data(SheetModel::ChoicesRole).toStringList());
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
