// The start-up benchmark's baseline: the least an engine-based program must do for the shell's
// start-up job. One view loads the start page; the first title of the form caption@width@height
// sizes the window to width x height, centres it and shows the caption. No menu, timer or tray.
#include <cstdio>

#include <QApplication>
#include <QScreen>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// The shell keeps a named profile on disk; the baseline pays for the same kind of profile.
constexpr char kStorageName[] = "qz-bare-engine";
// The shell's window before the page sizes it.
constexpr QSize kInitialSize(333, 234);

void centre(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    window.move(
        area.x() + (area.width() - window.width()) / 2, area.y() + (area.height() - window.height()) / 2);
}

// Applies a title of the form caption@width@height; anything else leaves the window alone.
bool applyTitle(QWidget& window, const QString& title) {
    const QStringList parts = title.split(u'@');
    if (parts.size() < 3)
        return false;
    bool widthOk = false;
    bool heightOk = false;
    const int width = parts[1].toInt(&widthOk);
    const int height = parts[2].toInt(&heightOk);
    if (!widthOk || !heightOk || width < 1 || height < 1)
        return false;
    window.setWindowTitle(parts[0]);
    window.resize(width, height);
    centre(window);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // As the shell: the engine shares its GL contexts with the widgets, and the name places the profile.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setApplicationName(QStringLiteral("qz-bare-engine"));
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: qz-bare-engine URL\n");
        return 2;
    }

    auto* profile = new QWebEngineProfile(QString::fromLatin1(kStorageName), &application);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);

    // The view, and the page it owns, go before the application object and so before the profile.
    QWebEngineView view;
    view.setPage(new QWebEnginePage(profile, &view));
    view.resize(kInitialSize);
    centre(view);
    bool sized = false;
    QObject::connect(
        view.page(), &QWebEnginePage::titleChanged, &view, [&view, &sized](const QString& title) {
            if (!sized)
                sized = applyTitle(view, title);
        });
    view.load(QUrl::fromUserInput(arguments[1]));
    view.show();
    return QApplication::exec();
}
