#include "capture/web/browser_setup.h"

#include <QCoreApplication>
#include <QStringList>

#include <unistd.h>

namespace gainbook {

void prepareBrowserEngine() {
    const bool noDisplay =
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && noDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool offscreen = qgetenv("QT_QPA_PLATFORM") == "offscreen";

    const bool root = ::geteuid() == 0;
    // Honoured even when the flags below were set by hand without the
    // sandbox switch, which would otherwise end the engine at start-up.
    if (root && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS")) {
        QStringList flags;
        if (root)
            flags << QStringLiteral("--no-sandbox");
        if (offscreen)
            flags << QStringLiteral("--disable-gpu");
        if (!flags.isEmpty())
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.join(u' ').toUtf8());
    }

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace gainbook
