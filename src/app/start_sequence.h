#pragma once

#include "startup/screen/frm_browse.h"

#include <QObject>
#include <QPointer>

#include <functional>

namespace gainbook {

class AppContext;
class Prompter;

// The way from start to the main window: the component step, the splash
// page for five seconds, the disclaimer, then the main window. The steps
// that show windows or end the program are handed in, so tests can drive
// the sequence without waiting or real dialogs.
class StartSequence : public QObject {
    Q_OBJECT

public:
    struct Steps {
        std::function<bool()> checkComponents; // false ends the program
        std::function<bool()> askDisclaimer;   // true for "I agree"
        std::function<void()> showMain;
        std::function<void(int exitCode)> endProgram;
    };

    StartSequence(AppContext& context, Steps steps, QObject* parent = nullptr);

    // Shows the splash page with its timer on (or off, for tests that fire
    // it themselves). False when the component step ended the program.
    bool Main(bool timerOn = true);

    frmBrowse* splash() const { return splash_; }

    // The defaults of the desktop program.
    static std::function<bool()> componentStep(AppContext& context, Prompter& prompter);
    static bool showDisclaimer();

protected:
    // A click or a key anywhere on the splash ends it at once.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void splashDone();

    AppContext& context_;
    Steps steps_;
    QPointer<frmBrowse> splash_;
};

} // namespace gainbook
