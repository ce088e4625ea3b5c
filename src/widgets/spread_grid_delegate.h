#pragma once

#include <QStyledItemDelegate>

namespace gainbook {

// Draws and edits the cells of a SpreadGrid by their kind: a button shows
// its text as the caption, a drop-down edits through a combo box of the
// cell's entries, a check box sits where the column aligns its cells and
// toggles on a click anywhere in its cell, and a row's text colour comes
// from the model (the GridRole roles).
class SpreadGridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    void paintCheckBox(QPainter* painter, const QStyleOptionViewItem& option,
                       const QModelIndex& index) const;
};

} // namespace gainbook
