#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace gainbook {

// Tells a screen that it is the active window again after another screen of
// the program was in front, so it can show fresh data. Message boxes, file
// dialogs, menus and pop-ups come and go inside the screen's own commands
// and do not count; neither, when asked, do windows the screen owns.
class ActivationWatcher : public QObject {
    Q_OBJECT

public:
    enum class OwnWindows { Count, DoNotCount };

    ActivationWatcher(QWidget* screen, OwnWindows ownWindows, std::function<void()> onReturn);

private:
    bool countsAsOtherScreen(const QWidget* window) const;

    QWidget* screen_;
    OwnWindows ownWindows_;
    std::function<void()> onReturn_;
    bool otherScreenWasActive_ = false;
};

} // namespace gainbook
