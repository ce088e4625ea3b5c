#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QWidget;

namespace gainbook {

class SettingsStore;

// Remembers where a window was left: its size and place are stored in the
// settings each time it is hidden or closed, and given back the first time
// it is shown again, after the window placed itself. A stored place that no
// longer lies on any screen (a screen since unplugged) is not used.
class WindowPlacement final : public QObject {
    Q_OBJECT

public:
    // key names the window in the settings; its object name when empty.
    WindowPlacement(QWidget* window, SettingsStore& settings, QString key = {});

    // Whether the stored place was given back at the first showing.
    bool restored() const { return restored_; }

    // Gives the window the stored geometry when the top of its frame lands
    // on a screen; otherwise leaves it where it is. True when used.
    static bool restoreOnScreen(QWidget* window, const QByteArray& geometry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void store();

    QWidget* window_;
    SettingsStore& settings_;
    QString key_;
    bool shown_ = false;
    bool restored_ = false;
};

// Makes the window no larger than the room the screen it opens on leaves
// (the screen under its centre, else the primary) and moves it onto that
// room whole: a window sized for a large screen still opens whole on a
// small one.
void fitToScreen(QWidget* window);

// Puts the window just right of `beside` when it fits there on the same
// screen, else as far right as it fits; then fits it to the screen. The
// main window stays in sight beside the window opened from it.
void placeBeside(QWidget* window, const QWidget* beside);

} // namespace gainbook
