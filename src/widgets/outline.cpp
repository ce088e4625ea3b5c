#include "widgets/outline.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <utility>

namespace gainbook {

namespace {

constexpr int kIndexRole = Qt::UserRole + 1;
constexpr int kLevelRole = Qt::UserRole + 2;

} // namespace

Outline::Outline(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A click toggles an item already; a double click must not toggle twice.
    setExpandsOnDoubleClick(false);
    setMouseTracking(true);
    // By pixels, so that an item can be held exactly where it was.
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { emit listClicked(indexOf(item)); });
    const auto selectItem = [this](QTreeWidgetItem* item) {
        if (currentItem() != item)
            setCurrentItem(item);
        emit expandedOrCollapsed(indexOf(item));
    };
    connect(this, &QTreeWidget::itemExpanded, this, selectItem);
    connect(this, &QTreeWidget::itemCollapsed, this, selectItem);
}

void Outline::clearItems() {
    clear();
    items_.clear();
    lastTop_ = nullptr;
}

void Outline::addItem(const QString& text, int level) {
    QTreeWidgetItem* item = nullptr;
    if (level > 1 && lastTop_) {
        item = new QTreeWidgetItem(lastTop_, {text});
    } else {
        item = new QTreeWidgetItem(this, {text});
        if (level <= 1)
            lastTop_ = item;
    }
    item->setData(0, kIndexRole, int(items_.size()));
    item->setData(0, kLevelRole, level);
    items_.append(item);
}

int Outline::indexOf(const QTreeWidgetItem* item) const {
    return item ? item->data(0, kIndexRole).toInt() : -1;
}

int Outline::listIndex() const {
    return indexOf(currentItem());
}

void Outline::setListIndex(int index) {
    setCurrentItem(index >= 0 && index < listCount() ? items_[index] : nullptr);
}

QString Outline::itemText(int index) const {
    return index >= 0 && index < listCount() ? items_[index]->text(0) : QString();
}

int Outline::itemLevel(int index) const {
    return index >= 0 && index < listCount() ? items_[index]->data(0, kLevelRole).toInt() : 0;
}

bool Outline::isItemExpanded(int index) const {
    return index >= 0 && index < listCount() && items_[index]->isExpanded();
}

void Outline::setItemExpanded(int index, bool expanded) {
    if (index >= 0 && index < listCount())
        items_[index]->setExpanded(expanded);
}

void Outline::toggleInPlace(int index) {
    if (index < 0 || index >= listCount())
        return;
    QTreeWidgetItem* item = items_[index];
    const int before = visualItemRect(item).top();
    item->setExpanded(!item->isExpanded());
    // Only the items below it move, as far as the scroll range allows: at
    // the very end of a scrolled list a closing item still slides down.
    if (const int shift = visualItemRect(item).top() - before; shift != 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + shift);
}

void Outline::mousePressEvent(QMouseEvent* event) {
    swallowRelease_ = false;
    QTreeWidget::mousePressEvent(event);
}

void Outline::mouseDoubleClickEvent(QMouseEvent* event) {
    swallowRelease_ = true;
    event->accept();
}

void Outline::mouseReleaseEvent(QMouseEvent* event) {
    if (std::exchange(swallowRelease_, false)) {
        event->accept();
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void Outline::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event->key(), event->modifiers());
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && listIndex() >= 0) {
        emit listClicked(listIndex());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void Outline::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved();
    QTreeWidget::mouseMoveEvent(event);
}

} // namespace gainbook
