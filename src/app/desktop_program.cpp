#include "app/desktop_program.h"

#include "app/start_sequence.h"
#include "capture/screen/attach_capture_screen.h"
#include "capture/web/browser_setup.h"
#include "main_window/screen/account_outline_pane.h"
#include "main_window/screen/frm_main.h"
#include "main_window/screen/main_commands.h"
#include "matching/screen/frm_process.h"
#include "platform/installed_files.h"
#include "platform/settings_store.h"
#include "startup/app_context.h"
#include "startup/screen/database_chooser.h"
#include "widgets/message_box_prompter.h"

#include <QApplication>
#include <QDir>
#include <QPointer>

#include <unistd.h>

namespace gainbook {

int runDesktopProgram(int argc, char** argv) {
    // The browser engine refuses to start its sandbox as root; a root user
    // (a container, a live system) still wants to see the help pages.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
    quietBrowserEngine();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Gainbook"));
    QApplication::setOrganizationName(QStringLiteral("Gainbook"));
    // Only the end of the main window or the start sequence ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    QtSettingsStore settings;
    AppContext context(QDir::currentPath(), settings);
    // A locked file is told within a second, with the offer to try again,
    // rather than freezing the window for ten.
    context.database().setLockWait(1000);
    // The help pages of this program, wherever it was started from.
    const QString docs =
        findHelpFolder(QCoreApplication::applicationDirPath(), QDir::currentPath());
    if (!docs.isEmpty())
        context.setDocsFolder(docs);
    MessageBoxPrompter prompter;
    QPointer<frmMain> mainWindow;

    const auto endProgram = [](int code) { QCoreApplication::exit(code); };
    StartSequence::Steps steps;
    steps.checkComponents = StartSequence::componentStep(context, prompter);
    steps.askDisclaimer = &StartSequence::showDisclaimer;
    steps.endProgram = endProgram;
    steps.showMain = [&] {
        frmMain::Services services;
        services.chooseFile = [&] {
            return chooseDatabaseFile(mainWindow, context.applicationDirectory());
        };
        services.endProgram = endProgram;
        mainWindow = new frmMain(context, prompter, services);
        mainWindow->setAttribute(Qt::WA_DeleteOnClose);
        // Before the load, which opens it on an empty database.
        attachCaptureScreen(*mainWindow, context, prompter);
        QPointer<frmMain> outlineOf = mainWindow.data();
        mainWindow->commands().setProcessScreen(
            processScreenOpener(context, prompter, mainWindow.data(), [outlineOf] {
                return outlineOf ? outlineOf->outline().selection().account : QString();
            }));
        if (!mainWindow->Form_Load()) {
            delete mainWindow;
            endProgram(1);
            return;
        }
        mainWindow->show();
    };

    StartSequence start(context, steps);
    if (!start.Main())
        return 0;
    const int code = QApplication::exec();
    delete mainWindow;
    return code;
}

} // namespace gainbook
