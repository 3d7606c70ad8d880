#include "platform/qt/LocalSocketChannel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scrivlet {

namespace {

// A client that connects and says nothing is let go after this long.
constexpr int kReadTimeoutMs = 10000;
// How often a server closed under the program is looked for.
constexpr int kListenCheckMs = 2000;

const QByteArray kOk = QByteArrayLiteral("ok\n");
const QByteArray kRefused = QByteArrayLiteral("refused\n");

} // namespace

LocalSocketChannel::LocalSocketChannel(QString service, QString runtimeDir, QObject *parent)
    : QObject(parent), m_service(std::move(service)), m_runtimeDir(std::move(runtimeDir))
{}

LocalSocketChannel::~LocalSocketChannel()
{
    if (m_server) {
        m_server->close();
        QLocalServer::removeServer(m_path);
    }
}

QString LocalSocketChannel::defaultRuntimeDir()
{
    // Without $XDG_RUNTIME_DIR (su, ssh, a bare X session) Qt makes a folder of this user's in
    // the temporary folder, as it does for its own sockets; one another user made first is
    // refused by socketPath. A folder the variable names is taken as it is: Qt would change
    // the modes of one open to others, and the sockets would go where others had looked.
    const QString named = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return named.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                           : named;
}

QString LocalSocketChannel::socketPath(const QString &runtimeDir, const QString &service,
                                       const QString &topic)
{
    if (runtimeDir.isEmpty() || service.isEmpty() || topic.isEmpty())
        return {};
    struct stat info;
    if (::stat(QFile::encodeName(runtimeDir).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || (info.st_mode & 0077) != 0)
        return {};
    // Service and topic names are compared without regard to case.
    const QString name = service.toLower() + u'.' + topic.toLower();
    if (name.contains(u'/'))
        return {};
    return QDir(runtimeDir).filePath(QStringLiteral("scrivlet-dde.") + name);
}

bool LocalSocketChannel::peerIsThisUser(qintptr socketDescriptor)
{
    struct ucred peer
    {};
    socklen_t size = sizeof peer;
    if (::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return false;
    return peer.uid == ::getuid();
}

bool LocalSocketChannel::serving() const
{
    return m_server && m_server->isListening();
}

IInstanceChannel::Serving LocalSocketChannel::serve(const QString &topic, Execute execute)
{
    if (m_server)
        return Serving::Unavailable;
    const QString path = socketPath(m_runtimeDir, m_service, topic);
    if (path.isEmpty())
        return Serving::Unavailable;
    // Only the holder of the lock may clear a socket left by a killed instance and listen: a
    // listen over the socket of a live server would silently take its place.
    auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return Serving::AnotherServes;
    QLocalServer::removeServer(path);
    auto *server = new QLocalServer(this);
    if (!server->listen(path)) {
        delete server;
        return Serving::Unavailable;
    }
    m_lock = std::move(lock);
    m_server = server;
    m_path = path;
    m_execute = std::move(execute);
    connect(m_server, &QLocalServer::newConnection, this, &LocalSocketChannel::takeConnection);
    // A failed accept (the program out of file descriptors) makes the server close itself and
    // remove its socket, without a signal; it is opened again as soon as it can be.
    auto *check = new QTimer(this);
    connect(check, &QTimer::timeout, this, &LocalSocketChannel::listenAgainIfClosed);
    check->start(kListenCheckMs);
    return Serving::Started;
}

void LocalSocketChannel::listenAgainIfClosed()
{
    if (m_server->isListening())
        return;
    QLocalServer::removeServer(m_path); // the lock is still ours
    m_server->listen(m_path);
}

void LocalSocketChannel::takeConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (m_connections >= kMaxConnections || !peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            continue;
        }
        ++m_connections;
        connect(socket, &QObject::destroyed, this, [this] { --m_connections; });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readCommand(socket); });
        QTimer::singleShot(kReadTimeoutMs, socket, [socket] { socket->abort(); });
        readCommand(socket);
    }
}

void LocalSocketChannel::readCommand(QLocalSocket *socket)
{
    if (socket->property("taken").toBool())
        return;
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() >= kMaxCommand)
            socket->abort();
        return;
    }
    socket->setProperty("taken", true);
    QByteArray line = socket->readLine(kMaxCommand + 1);
    if (!line.endsWith('\n')) {
        socket->abort();
        return;
    }
    line.chop(1);
    // Only text is a command: a NUL or bytes that are not UTF-8 drop the connection.
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString command = decode(line);
    if (decode.hasError() || line.contains('\0')) {
        socket->abort();
        return;
    }
    // The command may open windows and run the event loop; the client may be gone after it.
    QPointer<QLocalSocket> alive(socket);
    const bool refused = m_execute ? m_execute(command) : true;
    if (!alive)
        return;
    alive->write(refused ? kRefused : kOk);
    alive->flush();
    alive->disconnectFromServer();
}

IInstanceChannel::Reply LocalSocketChannel::send(const QString &application, const QString &topic,
                                                 const QString &command, int timeoutMs)
{
    const QString path = socketPath(m_runtimeDir, application, topic);
    if (path.isEmpty() || command.contains(u'\n'))
        return Reply::Unavailable;
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return Reply::NoServer;
    socket.write(command.toUtf8() + '\n');
    socket.flush();
    QByteArray answer;
    while (!answer.endsWith('\n') && !deadline.hasExpired()) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        answer += socket.readAll();
    }
    answer += socket.readAll();
    if (answer == kOk)
        return Reply::Accepted;
    if (answer == kRefused)
        return Reply::Refused;
    return Reply::NoServer;
}

} // namespace scrivlet
