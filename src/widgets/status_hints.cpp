#include "widgets/status_hints.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QLabel>

namespace gainbook {

StatusHints::StatusHints(QLabel* status, QObject* parent) : QObject(parent), status_(status) {}

void StatusHints::add(QWidget* control, const QString& hint) {
    hints_.insert(control, hint);
    control->installEventFilter(this);
    // Lists and grids receive the pointer in their viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
        hints_.insert(area->viewport(), hint);
        area->viewport()->installEventFilter(this);
    }
}

bool StatusHints::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
        status_->setText(hints_.value(watched));
        break;
    case QEvent::Leave:
        // A hint goes with the pointer; a message from a command stays.
        if (status_->text() == hints_.value(watched))
            status_->clear();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace gainbook
