#include "input/merovin.h"
#include "platform/system.h"

#include <QApplication>
#include <QByteArray>

namespace {

// Chromium, which renders the input window's web view, refuses to start as root with its sandbox on. Only then is
// the sandbox turned off, and any flags the user has set are kept.
void allowTheWebViewToRunAsRoot() {
    if (!claimcheck::platform::runsAsSuperuser())
        return;
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.split(' ').contains("--no-sandbox"))
        return;
    if (!flags.isEmpty())
        flags += ' ';
    flags += "--no-sandbox";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

} // namespace

int main(int argc, char* argv[]) {
    allowTheWebViewToRunAsRoot();
    // The web view of the input window shares the application's OpenGL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // The title of the program's own message boxes. Set as the application name only: a display name would be
    // appended to every window caption.
    QApplication::setApplicationName(QStringLiteral("claimcheck"));
    // The menu entry's name, which Wayland desktops match with the program's windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.claimcheck.claimcheck"));

    claimcheck::merovin window;
    window.show();
    return QApplication::exec();
}
