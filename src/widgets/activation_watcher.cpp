#include "widgets/activation_watcher.h"

#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>
#include <QWindow>

namespace gainbook {

ActivationWatcher::ActivationWatcher(QWidget* screen, OwnWindows ownWindows,
                                     std::function<void()> onReturn)
    : QObject(screen), screen_(screen), ownWindows_(ownWindows), onReturn_(std::move(onReturn)) {
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
        if (!window)
            return;
        if (window == screen_->windowHandle()) {
            if (otherScreenWasActive_) {
                otherScreenWasActive_ = false;
                onReturn_();
            }
            return;
        }
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->windowHandle() == window && countsAsOtherScreen(widget))
                otherScreenWasActive_ = true;
        }
    });
}

bool ActivationWatcher::countsAsOtherScreen(const QWidget* window) const {
    if (qobject_cast<const QMessageBox*>(window) || qobject_cast<const QFileDialog*>(window) ||
        qobject_cast<const QMenu*>(window) || window->windowType() == Qt::Popup ||
        window->windowType() == Qt::ToolTip)
        return false;
    if (ownWindows_ == OwnWindows::DoNotCount) {
        for (const QWidget* w = window; w; w = w->parentWidget()) {
            if (w == screen_)
                return false;
        }
    }
    return true;
}

} // namespace gainbook
