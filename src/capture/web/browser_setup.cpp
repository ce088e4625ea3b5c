#include "capture/web/browser_setup.h"

#include <QCoreApplication>
#include <QLoggingCategory>
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

    quietBrowserEngine();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void quietBrowserEngine() {
    // The engine's own notes (its start-up report, the pages' console lines,
    // Chromium's log) are for developers: they reach standard error only
    // when GAINBOOK_DEBUG is set, so a capture prints the system's messages
    // and nothing else.
    if (qEnvironmentVariableIsSet("GAINBOOK_DEBUG"))
        return;
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webengine*=false\njs=false"));
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--log-level") && !flags.contains("--enable-logging")) {
        flags += flags.isEmpty() ? "" : " ";
        flags += "--disable-logging --log-level=3";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }
}

} // namespace gainbook
