// The shell's entry point: the application object first, then the shell inside its lifetime.
#include <QApplication>

#include "Application.h"

int main(int argc, char** argv) {
    // Qt WebEngine shares its GL contexts with the widgets; this must be said before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The name places the profile's data on disk, so it is set before anything asks for it.
    QCoreApplication::setApplicationName(QStringLiteral("qz-shell"));
    QApplication application(argc, argv);
    // The process ends with the main window, which a close request only hides.
    QApplication::setQuitOnLastWindowClosed(false);
    Q_INIT_RESOURCE(qz);

    qz::Application shell;
    return shell.run();
}
