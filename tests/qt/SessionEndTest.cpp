#include <csignal>
#include <string>
#include <vector>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/qt/host/SessionEnd.h"

namespace qz {
namespace {

// A window like the shell's main window: asked to close, it refuses until the session has ended.
class HidingWindow final : public QWidget {
public:
    explicit HidingWindow(std::vector<std::string>& events)
        : m_events(events) {}

    bool sessionEnded = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        m_events.push_back(sessionEnded ? "close accepted" : "close refused");
        event->setAccepted(sessionEnded);
        if (!sessionEnded)
            hide();
    }

private:
    std::vector<std::string>& m_events;
};

TEST(SessionEnd, APlatformQuitEndsTheSessionBeforeWindowsAreAskedToClose) {
    // As in the shell: only the session's end quits, never the last window closing.
    const bool quitOnLastWindowClosed = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    std::vector<std::string> events;
    HidingWindow window(events);
    window.show();
    SessionEnd sessionEnd;
    QObject::connect(&sessionEnd, &SessionEnd::ended, [&] {
        if (!window.sessionEnded)
            events.push_back("ended");
        window.sessionEnded = true;
    });

    QTimer quitRequest;
    quitRequest.setSingleShot(true);
    QObject::connect(&quitRequest, &QTimer::timeout,
        [] { QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit)); });
    quitRequest.start(0);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    giveUp.start(5000);

    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(events, std::vector<std::string>({ "ended", "close accepted" }));
    QGuiApplication::setQuitOnLastWindowClosed(quitOnLastWindowClosed);
}

TEST(SessionEnd, ATerminationSignalEndsTheSession) {
    SessionEnd sessionEnd;
    int ended = 0;
    QObject::connect(&sessionEnd, &SessionEnd::ended, [&] { ++ended; });
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_TRUE(test::waitFor([&] { return ended > 0; }));
    EXPECT_EQ(ended, 1);
}

} // namespace
} // namespace qz
