#include "input/merovin.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // The web view of the input window shares the application's OpenGL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // The title of the program's own message boxes. Set as the application name only: a display name would be
    // appended to every window caption.
    QApplication::setApplicationName(QStringLiteral("claimcheck"));

    claimcheck::merovin window;
    window.show();
    return QApplication::exec();
}
