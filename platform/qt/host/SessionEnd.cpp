#include "SessionEnd.h"

#include <QCoreApplication>
#include <QEvent>

namespace qz {

SessionEnd::SessionEnd(QObject* parent)
    : QObject(parent) {
    QCoreApplication* application = QCoreApplication::instance();
    connect(&m_signals, &TerminationSignals::received, this, &SessionEnd::ended);
    application->installEventFilter(this);
    connect(application, &QCoreApplication::aboutToQuit, this, &SessionEnd::ended);
}

// The session manager's save-yourself (commitDataRequest) is not watched: a checkpoint sends it
// too, and a log-off may still be cancelled after it.
bool SessionEnd::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance())
        emit ended();
    return QObject::eventFilter(watched, event);
}

} // namespace qz
