#pragma once

#include <QTreeWidget>
#include <QVector>

namespace gainbook {

// The outline control: a list of items, each with a text and a level, where
// the items of level 2 that follow an item of level 1 show as its children.
// Items are addressed by their position in the list, from 0; -1 is "none".
class Outline : public QTreeWidget {
    Q_OBJECT

public:
    explicit Outline(QWidget* parent = nullptr);

    void clearItems();
    void addItem(const QString& text, int level);

    int listCount() const { return int(items_.size()); }
    int listIndex() const;
    void setListIndex(int index);
    QString itemText(int index) const;
    int itemLevel(int index) const;
    bool isItemExpanded(int index) const;
    void setItemExpanded(int index, bool expanded);

    // Opens or closes the item where it stands: the view scrolls so that
    // the item stays under the mouse that clicked it, and what the next
    // click lands on is what the user saw.
    void toggleInPlace(int index);

signals:
    // The user clicked an item (or pressed Return on it).
    void listClicked(int index);
    // The item's own plus/minus opened or closed it.
    void expandedOrCollapsed(int index);
    void keyDown(int key, Qt::KeyboardModifiers shift);
    void mouseMoved();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int indexOf(const QTreeWidgetItem* item) const;

    QVector<QTreeWidgetItem*> items_;
    QTreeWidgetItem* lastTop_ = nullptr;
    // The second press of a double click is not a click of its own: the
    // first one may have moved another item under the mouse.
    bool swallowRelease_ = false;
};

} // namespace gainbook
