#pragma once
// The channel on which a running instance takes commands from the desktop and from a second
// start of the program: a server under a service and a topic name, and the client that sends it
// one command. Owns nothing.

#include <QString>

#include <functional>

namespace scrivlet {

class IInstanceChannel
{
public:
    // Unavailable: the channel cannot carry the command at all (the system offers no private
    // place for it, or the command holds a line break), whether an instance runs or not.
    enum class Reply { NoServer, Refused, Accepted, Unavailable };
    // Whether serving began; AnotherServes: an instance living now holds the service.
    enum class Serving { Started, AnotherServes, Unavailable };
    // Runs one command; true when it is refused.
    using Execute = std::function<bool(const QString &command)>;

    virtual ~IInstanceChannel() = default;

    // Starts serving topic under this program's service name for as long as the channel lives;
    // Unavailable when the system offers no private place for it.
    virtual Serving serve(const QString &topic, Execute execute) = 0;
    // Sends one command to whoever serves application and topic (names compared without regard
    // to case) and waits up to timeoutMs for the answer.
    virtual Reply send(const QString &application, const QString &topic, const QString &command,
                       int timeoutMs) = 0;
};

} // namespace scrivlet
