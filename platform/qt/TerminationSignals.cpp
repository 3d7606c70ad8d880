#include "platform/qt/TerminationSignals.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

namespace scrivlet {

namespace {

constexpr int kSignals[] = {SIGHUP, SIGINT, SIGTERM};

// The handler may only write to a descriptor, and gets nothing but the signal's number to find
// it by, hence a global (one object at a time owns it). The handler writes to the first end,
// the notifier reads the second; everything else happens in the event loop.
int gSignalPipe[2] = {-1, -1};

void onSignal(int signal)
{
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(gSignalPipe[0], &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0)
        return;
    // A burst of signals must never block the handler, nor reading them all the event loop.
    for (const int end : gSignalPipe)
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (const int signal : kSignals)
        std::signal(signal, SIG_DFL);
    ::close(gSignalPipe[0]);
    ::close(gSignalPipe[1]);
    gSignalPipe[0] = gSignalPipe[1] = -1;
}

void TerminationSignals::readSignal()
{
    char byte = 0;
    while (::read(gSignalPipe[1], &byte, 1) == 1) {
        if (m_pending == 0)
            QTimer::singleShot(0, this, &TerminationSignals::deliver);
        m_pending = byte;
    }
}

void TerminationSignals::deliver()
{
    // A message box, a file dialog or a drag of text runs its own loop: closing windows from
    // inside it would pull them from under it. The request waits until that loop is done.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget() ||
        QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(200, this, &TerminationSignals::deliver);
        return;
    }
    const int signal = std::exchange(m_pending, 0);
    Q_EMIT requested(signal);
}

} // namespace scrivlet
