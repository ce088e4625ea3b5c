#include "widgets/window_placement.h"

#include "platform/settings_store.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace gainbook {

namespace {

const QString kSection = QStringLiteral("Windows");
// How much of the title bar must show for the window to be grabbed there.
constexpr int kGrabWidth = 80;
constexpr int kTitleHeight = 24;

QRect roomOf(const QWidget* window) {
    const QScreen* screen = QGuiApplication::screenAt(window->frameGeometry().center());
    if (!screen)
        screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

bool titleOnAScreen(const QRect& frame) {
    const QRect title(frame.left(), frame.top(), frame.width(), kTitleHeight);
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersected(title).width() >= kGrabWidth)
            return true;
    }
    return false;
}

} // namespace

WindowPlacement::WindowPlacement(QWidget* window, SettingsStore& settings, QString key)
    : QObject(window), window_(window), settings_(settings),
      key_(key.isEmpty() ? window->objectName() : std::move(key)) {
    window_->installEventFilter(this);
}

bool WindowPlacement::restoreOnScreen(QWidget* window, const QByteArray& geometry) {
    if (geometry.isEmpty())
        return false;
    const QRect before = window->geometry();
    if (!window->restoreGeometry(geometry))
        return false;
    if (titleOnAScreen(window->frameGeometry()))
        return true;
    window->setGeometry(before);
    return false;
}

void WindowPlacement::store() {
    settings_.setValue(kSection, key_, QString::fromLatin1(window_->saveGeometry().toBase64()));
}

void fitToScreen(QWidget* window) {
    const QRect room = roomOf(window);
    if (!room.isValid())
        return;
    // The frame (title bar and borders) needs room too.
    const QRect frame = window->frameGeometry();
    const QSize extra = frame.size() - window->geometry().size();
    const QSize most = (room.size() - extra).expandedTo(window->minimumSize());
    if (window->width() > most.width() || window->height() > most.height())
        window->resize(window->size().boundedTo(most));
    QRect placed = window->frameGeometry();
    placed.moveLeft(std::clamp(placed.left(), room.left(),
                               std::max(room.left(), room.right() - placed.width() + 1)));
    placed.moveTop(std::clamp(placed.top(), room.top(),
                              std::max(room.top(), room.bottom() - placed.height() + 1)));
    window->move(placed.topLeft());
}

void placeBeside(QWidget* window, const QWidget* beside) {
    const QRect room = roomOf(beside);
    const QRect next = beside->frameGeometry();
    window->move(next.right() + 1, next.top());
    if (room.isValid() && window->frameGeometry().right() > room.right())
        window->move(std::max(room.left(), room.right() - window->frameGeometry().width() + 1),
                     next.top());
    fitToScreen(window);
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        if (event->type() == QEvent::Show && !shown_) {
            shown_ = true;
            const QString stored = settings_.value(kSection, key_, QString());
            restored_ = restoreOnScreen(window_, QByteArray::fromBase64(stored.toLatin1()));
            fitToScreen(window_);
        } else if (event->type() == QEvent::Hide && shown_) {
            store();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace gainbook
