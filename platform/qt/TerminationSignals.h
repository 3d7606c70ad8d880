#pragma once
// SIGTERM, SIGHUP and SIGINT as a request to end the program, delivered in the event loop. A
// closed terminal, a session's end or a plain kill otherwise ended the program on the spot,
// and every unsaved page went with it; as a request, the program asks about each one as its
// Exit command does. Owns the signal handlers while it lives, and the pipe they write to.

#include <QObject>

class QSocketNotifier;

namespace scrivlet {

class TerminationSignals final : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    // Emitted once no dialog is open, so that the request never closes a window underneath its
    // own dialog; further signals until then are one request.
    void requested(int signal);

private:
    void readSignal();
    void deliver();

    QSocketNotifier *m_notifier = nullptr;
    int m_pending = 0;
};

} // namespace scrivlet
