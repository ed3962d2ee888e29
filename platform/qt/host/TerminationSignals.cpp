#include "TerminationSignals.h"

#include <cerrno>
#include <csignal>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace qz {

namespace {
constexpr int kSignals[] = { SIGTERM, SIGINT, SIGHUP };

// Shared with the signal handler, which can reach nothing else.
std::array<int, 2> signalPipe { -1, -1 };
volatile std::sig_atomic_t unreported = 0;

void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    unreported = 1;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a pending request; losing this one changes nothing.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}
} // namespace

void TerminationSignals::catchEarly() {
    if (signalPipe[0] != -1)
        return;
    if (::pipe2(signalPipe.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "termination signal pipe");
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

bool TerminationSignals::pending() {
    return unreported != 0;
}

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent) {
    catchEarly();
    m_notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::drain);
}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::drain() {
    unsigned char byte = 0;
    while (::read(signalPipe[0], &byte, 1) == 1) {
        unreported = 0;
        emit received(byte);
    }
}

} // namespace qz
