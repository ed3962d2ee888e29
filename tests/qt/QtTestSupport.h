#pragma once

#include <functional>
#include <ostream>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QThread>
#include <QTimer>

// gtest shows QStrings in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QPoint& point, std::ostream* out) {
    *out << '(' << point.x() << ", " << point.y() << ')';
}
inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << 'x' << size.height();
}
inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << rect.width() << 'x' << rect.height() << '+' << rect.x() << '+' << rect.y();
}

namespace qz::test {

// Runs the event loop until the condition holds or the time is up; whether it holds.
inline bool waitFor(const std::function<bool()>& condition, int milliseconds = 3000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    return true;
}

// Runs the event loop for the given time, for checks that something does not happen.
inline void runEvents(int milliseconds) {
    waitFor([] { return false; }, milliseconds);
}

// QCoreApplication::exit ends every running loop and every loop started after it, until the
// application's own loop has run once; a test that ends the loops runs it to clean up.
inline void clearApplicationExit() {
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

// Objects given to deleteLater go now.
inline void flushDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace qz::test
