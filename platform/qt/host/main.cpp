// The shell's entry point: the application object first, then the shell inside its lifetime.
#include <optional>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "Application.h"
#include "AssistiveTechnology.h"
#include "DisplayPlatform.h"
#include "FileChooserDetails.h"
#include "InputMethod.h"
#include "InstanceGuard.h"
#include "ProxyChoice.h"
#include "QtTextCorrections.h"
#include "RenderingPath.h"
#include "SessionBus.h"
#include "TerminationSignals.h"
#include "WritableStorage.h"

int main(int argc, char** argv) {
    // A termination signal at any moment from here on ends the shell in order, never by default.
    qz::TerminationSignals::catchEarly();
    qz::chooseDisplayPlatform(argc, argv);
    // Before the engine and Qt Quick start, which read the path from the environment.
    qz::RenderingPath::settle();
    // Before the engine starts too, which takes its proxy from its flags then.
    const qz::ProxyInUse proxy = qz::ProxyChoice::settle();
    {
        // Both are read from the environment when the toolkit and the engine start; the bus's
        // connection goes before Qt makes its own.
        qz::SessionBus bus;
        qz::exposePageToAssistiveTechnology(bus);
        qz::chooseInputMethod(bus);
    }
    // Qt WebEngine shares its GL contexts with the widgets; this must be said before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The name places the profile's data on disk, so it is set before anything asks for it.
    QCoreApplication::setApplicationName(QStringLiteral("qz-shell"));
    const qz::WritableStorage storage = qz::WritableStorage::settle();
    QApplication application(argc, argv);
    // The process ends with the main window, which a close request only hides.
    QApplication::setQuitOnLastWindowClosed(false);

    // A later start only brings the running shell's window back. That is settled before the window, the
    // browser engine or the tray icon exist, so that such a start costs little.
    std::optional<qz::InstanceGuard> instance;
    if (const QString folder = qz::InstanceGuard::defaultDirectory(); folder.isEmpty()) {
        qWarning("qz-shell: neither the runtime folder nor the profile's folder is the user's own; "
                 "starting without the lock that keeps to one shell");
    } else {
        instance.emplace(folder, qz::InstanceGuard::defaultName());
        instance->cancelWhen(&qz::TerminationSignals::pending);
        switch (instance->claim()) {
        case qz::InstanceGuard::Role::Second:
        case qz::InstanceGuard::Role::Cancelled:
            return 0;
        case qz::InstanceGuard::Role::Unanswered:
            return 1;
        case qz::InstanceGuard::Role::First:
        case qz::InstanceGuard::Role::Unguarded:
            break;
        }
    }
    Q_INIT_RESOURCE(qz);

    // Every text the user sees is Simplified Chinese, the toolkit's own dialogs, the engine's error pages
    // and the page's context menu included, whatever the system's language.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    QTranslator qtTexts;
    QTranslator engineTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"), translations))
        QCoreApplication::installTranslator(&qtTexts);
    if (engineTexts.load(QStringLiteral("qtwebengine_zh_CN"), translations))
        QCoreApplication::installTranslator(&engineTexts);
    // Asked before the catalogues, so it goes in last.
    qz::QtTextCorrections corrections(qtTexts);
    QCoreApplication::installTranslator(&corrections);
    qz::FileChooserDetails fileChooserDetails;
    application.installEventFilter(&fileChooserDetails);

    qz::Application shell(storage, proxy);
    if (instance)
        instance->onShowRequest([&shell] { return shell.showFromTray(); });
    return shell.run();
}
