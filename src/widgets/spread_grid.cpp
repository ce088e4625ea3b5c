#include "widgets/spread_grid.h"

#include "platform/grid_column.h"
#include "widgets/spread_grid_delegate.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace gainbook {

SpreadRowHeader::SpreadRowHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {
    setSectionsClickable(true);
    setHighlightSections(true);
}

void SpreadRowHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    // The base leaves the painter clipped to nothing: keep our own state.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    const QAbstractItemModel* m = model();
    if (!m || m->columnCount() == 0)
        return;
    if (!m->index(logicalIndex, 0).data(GridRole::Changed).toBool())
        return;
    // A drawn marker rather than a glyph: it needs no particular font.
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(200, 0, 0));
    const int size = std::max(6, rect.height() / 3);
    const QPointF tip(rect.right() - 4, rect.center().y());
    const QPointF marker[] = {tip, tip + QPointF(-size, -size / 2.0),
                              tip + QPointF(-size, size / 2.0)};
    painter->drawPolygon(marker, 3);
    painter->restore();
}

SpreadGrid::SpreadGrid(QWidget* parent) : QTableView(parent) {
    setVerticalHeader(new SpreadRowHeader(this));
    setItemDelegate(new SpreadGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setMouseTracking(true);
    setWordWrap(false);
    setSortingEnabled(false); // the program sorts the model itself
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // Fixed row heights let the view place 100,000 rows without measuring them.
    const int rowHeight = fontMetrics().height() + 6;
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("999999")) +
                                      12);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    // No dead grey band right of the last column on a wide window.
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setFixedHeight(rowHeight + 4);
    QPalette headingText = horizontalHeader()->palette();
    headingText.setColor(QPalette::ButtonText, QColor(0, 0, 255));
    horizontalHeader()->setPalette(headingText);

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit cellClicked(section + 1, 0); });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        emit cellClicked(index.column() + 1, index.row() + 1);
    });
}

void SpreadGrid::setGridModel(QAbstractItemModel* model) {
    if (model_)
        disconnect(model_, nullptr, this, nullptr);
    model_ = model;
    setModel(model);
    if (!model)
        return;
    connect(model, &QAbstractItemModel::modelReset, this, &SpreadGrid::applyLayout);
    // The row heading shows the changed mark, which the header does not
    // learn about from cell changes on its own.
    connect(model, &QAbstractItemModel::dataChanged, verticalHeader()->viewport(),
            [this] { verticalHeader()->viewport()->update(); });
    if (model->metaObject()->indexOfSignal("cellEdited(int,int)") >= 0)
        connect(model, SIGNAL(cellEdited(int, int)), this, SLOT(relayCellEdited(int, int)));
    applyLayout();
}

int SpreadGrid::charactersToPixels(int characters) const {
    // Widths count digits, the widest of the common cell characters.
    return fontMetrics().horizontalAdvance(QLatin1Char('0')) * (characters + 2) + 8;
}

int SpreadGrid::layoutWidth() const {
    // An empty grid's row heading has no size of its own yet, only its minimum.
    const int rowHeading =
        std::max(verticalHeader()->sizeHint().width(), verticalHeader()->minimumWidth());
    int width = rowHeading + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
    for (int col = 0; col < columns(); ++col) {
        if (!isColumnHidden(col))
            width += columnWidth(col);
    }
    return width;
}

void SpreadGrid::applyLayout() {
    // A model reset may bring another layout; only then do widths and hidden
    // flags need to be applied, not on every change of a cell.
    for (int col = 0; col < columns(); ++col) {
        const bool hidden =
            model_->headerData(col, Qt::Horizontal, GridRole::ColumnHidden).toBool();
        setColumnHidden(col, hidden);
        const QVariant width = model_->headerData(col, Qt::Horizontal, GridRole::ColumnWidth);
        if (hidden || !width.isValid())
            continue;
        const QString heading = model_->headerData(col, Qt::Horizontal).toString();
        setColumnWidth(col, std::max(charactersToPixels(width.toInt()),
                                     fontMetrics().horizontalAdvance(heading) + 12));
    }
}

int SpreadGrid::currentRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

int SpreadGrid::currentCol() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() + 1 : 0;
}

void SpreadGrid::setCurrentCell(int col, int row) {
    if (!model_ || row < 1 || row > rows() || col < 1 || col > columns())
        return;
    setCurrentIndex(model_->index(row - 1, col - 1));
}

void SpreadGrid::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event->key(), event->modifiers());
    // Delete removes records, not cell texts: it must not also open an editor.
    if (event->key() == Qt::Key_Delete)
        return;
    QTableView::keyPressEvent(event);
}

void SpreadGrid::mouseMoveEvent(QMouseEvent* event) {
    const QModelIndex i = indexAt(event->position().toPoint());
    emit mouseMoved(i.isValid() ? i.column() + 1 : 0, i.isValid() ? i.row() + 1 : 0);
    QTableView::mouseMoveEvent(event);
}

} // namespace gainbook
