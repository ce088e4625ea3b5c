#include "widgets/window_placement.h"

#include "platform/settings_store.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace gainbook {

namespace {

const QString kSection = QStringLiteral("Windows");
// How much of the title bar must show for the window to be grabbed there.
constexpr int kGrabWidth = 80;
constexpr int kTitleHeight = 24;

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

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        if (event->type() == QEvent::Show && !shown_) {
            shown_ = true;
            const QString stored = settings_.value(kSection, key_, QString());
            restored_ = restoreOnScreen(window_, QByteArray::fromBase64(stored.toLatin1()));
        } else if (event->type() == QEvent::Hide && shown_) {
            store();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace gainbook
