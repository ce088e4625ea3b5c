#include "capture/screen/attach_capture_screen.h"

#include "capture/screen/frm_capture.h"
#include "main_window/screen/frm_main.h"
#include "main_window/screen/main_commands.h"

#include <QPointer>

namespace gainbook {

frmCapture* attachCaptureScreen(frmMain& window, AppContext& context, Prompter& prompter) {
    auto* screen = new frmCapture(context, prompter, &window);
    QPointer<frmMain> main(&window);
    QPointer<frmCapture> capture(screen);
    window.commands().setCaptureScreen([main, capture] {
        if (!capture)
            return;
        capture->showModal();
        // The window system may not tell the main window it is active again
        // (no focus change offscreen, or the screen opened before the main
        // window was shown), so the rows just written are shown here.
        if (main)
            main->Form_Activate();
    });
    QObject::connect(screen, &frmCapture::captureFinished, &window, [main](int added) {
        if (main && added > 0)
            main->recordsAdded();
    });
    return screen;
}

} // namespace gainbook
