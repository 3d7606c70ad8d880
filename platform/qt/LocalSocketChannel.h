#pragma once
// The instance channel on per-user local sockets in the runtime folder, one per service and
// topic: a line of UTF-8 in, "ok" or "refused" back. Owns its server, its lock file and the
// connections being read.

#include "platform/IInstanceChannel.h"

#include <QObject>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace scrivlet {

class LocalSocketChannel final : public QObject, public IInstanceChannel
{
    Q_OBJECT
public:
    // The longest command taken, in bytes with its closing line break.
    static constexpr qint64 kMaxCommand = 64 * 1024;
    // The most connections read at once; more are dropped as they come, so that a burst of
    // clients cannot take every file descriptor the program has.
    static constexpr int kMaxConnections = 256;

    // service: this program's name as a server; runtimeDir: the folder of the sockets, normally
    // defaultRuntimeDir().
    LocalSocketChannel(QString service, QString runtimeDir, QObject *parent = nullptr);
    ~LocalSocketChannel() override;

    // $XDG_RUNTIME_DIR, or where there is none, the folder Qt makes for this user instead.
    static QString defaultRuntimeDir();
    // The socket of a service and topic; empty when runtimeDir is not a folder of this user's
    // that only this user can enter.
    static QString socketPath(const QString &runtimeDir, const QString &service,
                              const QString &topic);
    // Whether the process at the other end of a connected local socket runs as this user.
    static bool peerIsThisUser(qintptr socketDescriptor);

    Serving serve(const QString &topic, Execute execute) override;
    Reply send(const QString &application, const QString &topic, const QString &command,
               int timeoutMs) override;

    bool serving() const;
    QString servedPath() const { return m_path; }

private:
    void takeConnection();
    void listenAgainIfClosed();
    void readCommand(QLocalSocket *socket);

    QString m_service;
    QString m_runtimeDir;
    QString m_path;
    Execute m_execute;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    int m_connections = 0;
};

} // namespace scrivlet
