// Files that reach a running program from outside: commands on the instance channel, and drops
// on the frame's empty area.

#include "shell/Opening.h"
#include "platform/qt/LocalSocketChannel.h"
#include "tests/shell/AppDriver.h"

#include <QDeadlineTimer>
#include <QDropEvent>
#include <QLocalSocket>
#include <QMimeData>
#include <QProcess>

#include <csignal>
#include <future>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

namespace scrivlet::test {

using Reply = IInstanceChannel::Reply;
using Serving = IInstanceChannel::Serving;
constexpr auto ignore = [](const QString &) {
    return false;
};

// The answer to a client in a thread of its own, as another process would be, while this one
// serves.
Reply sendFrom(const QString &runtimeDir, const QString &command)
{
    std::future<Reply> reply = std::async(std::launch::async, [=] {
        return LocalSocketChannel(QString(), runtimeDir)
            .send(u"SCRIVLET"_s, u"system"_s, command, 10000);
    });
    while (reply.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return reply.get();
}

TEST(InstanceCommand, VerbsArgumentsAndRefusals)
{
    for (const DataRow &row : readDataRows(SCRIVLET_TEST_DATA "/instance-commands.txt", 3)) {
        bool refused = row[1] != "refused";
        EXPECT_EQ(CommandPaths(field(row, 0), &refused), joined(row[2])) << row[0];
        EXPECT_EQ(refused, row[1] == "refused") << row[0];
    }
}

// A drag event whose source proposes a move, as a file manager does within one disk.
template<class Event>
struct MoveProposed : Event
{
    template<class... Args>
    explicit MoveProposed(Args &&...args) : Event(std::forward<Args>(args)...)
    {
        this->m_defaultAction = Qt::MoveAction;
    }
};

// Drops through the real event handling of the document area and of the text; the frame's Tool
// menu opens the options modally (a document window's, the options journey checks).
TEST(Frame, OpensDroppedFilesAndTheOptionsModally)
{
    AppDriver app;
    const QString a = app.writePage(u"a.html"_s, u"A"_s), b = app.writePage(u"b.html"_s, u"B"_s);
    const QString c = app.writePage(u"c.html"_s, u"C"_s), d = app.writePage(u"d.html"_s, u"D"_s);
    app.start({u"/O"_s});
    // A drag entering the widget and dropped there, from a file manager that offers a move
    // too; whether the drag was accepted. A path, or a URL as the file manager encodes it.
    const auto drop = [](QWidget *target, const QStringList &paths,
                         Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QMimeData data;
        const auto url = [](const QString &path) {
            return path.startsWith(u"file:"_s) ? QUrl::fromEncoded(path.toLatin1())
                                               : QUrl::fromLocalFile(path);
        };
        paths.isEmpty() ? data.setText(u"/w/a.html"_s) // text is no file
                        : data.setUrls(mapped(paths, url));
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        MoveProposed<QDragEnterEvent> enter(QPoint(5, 5), offered, &data, Qt::LeftButton,
                                            Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        MoveProposed<QDropEvent> dropped(QPointF(5, 5), offered, &data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(target, &dropped);
        // A move would be the file manager's leave to delete the file.
        EXPECT_TRUE(!dropped.isAccepted() || dropped.dropAction() == Qt::CopyAction);
        return enter.isAccepted();
    };
    QString seen;
    QTimer::singleShot(0, qApp, [&seen] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            seen = modal->objectName() + u' ' + modal->windowTitle();
            QTest::mouseClick(modal->findChild<QPushButton *>(u"cmdCancel"_s), Qt::LeftButton);
        }
    });
    app.frame().mnuTool[3]->trigger();
    EXPECT_EQ(seen, u"frmOption ｵﾌﾟｼｮﾝ"_s);
    QWidget *area = app.frame().findChild<QMdiArea *>(u"mdiArea"_s)->viewport();
    EXPECT_FALSE(drop(area, {}));
    EXPECT_TRUE(app.windows().isEmpty());
    // A file of another host, or a name that a NUL would cut to another file's, is no file.
    EXPECT_TRUE(drop(area, {a, app.pagePath(QString()), c + QChar(0) + u"x.html"_s, b,
                            u"//elsewhere"_s + d, u"//localhost"_s + c}));
    EXPECT_EQ(app.captions(), (QStringList{c, b, a}));
    EXPECT_EQ(app.active()->windowTitle(), a) << "the first file ends up in front";
    // Files dropped on the text open in windows of their own, the first in front.
    drop(app.active()->textEdit()->viewport(), {c, d});
    EXPECT_EQ(app.captions(), (QStringList{c, b, a, d, c}));
    drop(app.active()->textEdit()->viewport(), {u"//elsewhere"_s + d}); // its link goes in
    // A name that cannot be read as a path opens nothing, and its link does not go in.
    const QString before = app.active()->control().Text();
    for (QWidget *target : {area, app.active()->textEdit()->viewport()})
        EXPECT_FALSE(drop(target, {u"file:///w/%93%FA%96%7B.html"_s}));
    EXPECT_EQ(app.active()->control().Text(), before);
    // With Shift they go into the text instead, as one change.
    QPlainTextEdit *text = app.active()->textEdit();
    drop(text->viewport(), {c, d}, Qt::ShiftModifier);
    EXPECT_EQ(text->toPlainText().size(), before.size() + 2);
    EXPECT_TRUE(text->toPlainText().contains(u"CD"_s));
    app.click(app.active()->mnuEdit[0]);
    EXPECT_EQ(text->toPlainText(), before);
    EXPECT_EQ(app.messages.texts(), QStringList());
}

TEST(InstanceChannel, TheRunningFrameOpensWhatItIsSentAndDropsWhatIsMalformed)
{
    QTemporaryDir runtime; // made with mode 0700
    LocalSocketChannel channel{u"Scrivlet"_s, runtime.path()};
    AppDriver app;
    app.platform().instances = &channel;
    app.start({u"/O"_s});
    ASSERT_TRUE(channel.serving());
    for (const QByteArray &bytes :
         {QByteArray(LocalSocketChannel::kMaxCommand + 10, 'a'), QByteArray("edit \xff\xfe.html\n"),
          QByteArray("edit a\0.html\n", 13)}) {
        QLocalSocket socket;
        socket.connectToServer(channel.servedPath());
        socket.write(bytes);
        // The server drops the connection without an answer.
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; }));
        EXPECT_EQ(socket.readAll(), QByteArray());
    }
    EXPECT_TRUE(app.windows().isEmpty());
    const auto send = [&runtime](const QString &command) {
        return sendFrom(runtime.path(), command);
    };
    const QString a = app.writePage(u"a b.html"_s, u"A"_s), b = app.writePage(u"b.htm"_s, u"B"_s);
    EXPECT_EQ(send(u"Edit \""_s + a + u'"'), Reply::Accepted);
    EXPECT_EQ(send(u"print \""_s + b + u'"'), Reply::Refused);
    EXPECT_EQ(send(u"edit \"%1\" \"%2\""_s.arg(b, a)), Reply::Accepted);
    // A relative path names a file in this program's folder, not the sender's: none opens.
    EXPECT_EQ(send(u"edit \"%1\" \"rel.html\""_s.arg(a.chopped(5))), Reply::Accepted);
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.windows().size() == 3; }));
    EXPECT_EQ(app.captions(), (QStringList{a, b, a}));
    EXPECT_EQ(app.messages.texts(), QStringList());
    // A second instance cannot take the socket.
    EXPECT_EQ(LocalSocketChannel(u"scrivlet"_s, runtime.path()).serve(u"System"_s, ignore),
              Serving::AnotherServes);
    EXPECT_EQ(send(u"edit"_s), Reply::Accepted);

    // A file that cannot be read keeps its box up while the user reads it. The request was
    // answered before the box, and one sent meanwhile is answered at once but opens only after
    // the box: never a window made inside the making of another.
    const QString gone = app.pagePath(u"gone.html"_s);
    qsizetype windowsWhileBoxUp = -1;
    Reply laterAnswer = Reply::NoServer;
    app.messages.whileShown = [&] {
        if (windowsWhileBoxUp >= 0)
            return;
        laterAnswer = sendFrom(runtime.path(), u"edit \""_s + b + u'"');
        QTest::qWait(50);
        windowsWhileBoxUp = app.windows().size();
    };
    EXPECT_EQ(send(u"edit \""_s + gone + u'"'), Reply::Accepted);
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.windows().size() == 5; }));
    EXPECT_EQ(std::pair(laterAnswer, windowsWhileBoxUp), std::pair(Reply::Accepted, qsizetype(4)));
    EXPECT_EQ(app.captions().mid(3), (QStringList{gone, b}));
    EXPECT_EQ(app.messages.texts(), QStringList{gone + u"を開けませんでした。"_s});
}

// The built program: a copy the shell verb starts beside it ends, and its file goes to the
// serving one; killed while it serves, it leaves its socket behind, which is no obstacle.
TEST(InstanceChannel, TheVerbsSecondCopyEndsAndAKilledInstanceLeavesNoObstacle)
{
    QTemporaryDir home;
    const QString runtime = home.path();
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    env.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(SCRIVLET_PROGRAM_DIR "/scrivlet"), {u"/O"_s});
    LocalSocketChannel client(QString(), runtime);
    const auto send = [&client](int ms) {
        return client.send(u"Scrivlet"_s, u"System"_s, u"edit"_s, ms);
    };
    const QDeadlineTimer deadline(60000);
    while (send(10000) != Reply::Accepted && !deadline.hasExpired())
        QThread::msleep(50);
    ASSERT_FALSE(deadline.hasExpired()) << "the program never served";
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(SCRIVLET_PROGRAM_DIR "/scrivlet"), {u"/O"_s});
    EXPECT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(std::pair(second.exitStatus(), second.exitCode()),
              std::pair(QProcess::NormalExit, 0));
    second.kill();
    program.kill();
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_TRUE(QFile::exists(LocalSocketChannel::socketPath(runtime, u"Scrivlet"_s, u"System"_s)))
        << "a killed instance leaves its socket";
    EXPECT_EQ(send(2000), Reply::NoServer);
    EXPECT_EQ(LocalSocketChannel(u"Scrivlet"_s, runtime).serve(u"System"_s, ignore),
              Serving::Started);
}

TEST(InstanceChannel, ServesOnlyInAPrivateFolderAndOnlyItsOwnUser)
{
    QTemporaryDir dir;
    EXPECT_FALSE(LocalSocketChannel::socketPath(dir.path(), u"S"_s, u"T"_s).isEmpty());
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther);
    EXPECT_TRUE(LocalSocketChannel::socketPath(dir.path(), u"S"_s, u"T"_s).isEmpty());
    EXPECT_TRUE(LocalSocketChannel::socketPath(QString(), u"S"_s, u"T"_s).isEmpty());
    EXPECT_EQ(LocalSocketChannel(u"S"_s, dir.path()).serve(u"T"_s, ignore), Serving::Unavailable);
    // A session without $XDG_RUNTIME_DIR (su, ssh) still has a private folder to serve in.
    const QByteArray runtimeVariable = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    const QString fallback = LocalSocketChannel::defaultRuntimeDir();
    qputenv("XDG_RUNTIME_DIR", runtimeVariable);
    if (runtimeVariable.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_FALSE(LocalSocketChannel::socketPath(fallback, u"S"_s, u"T"_s).isEmpty())
        << fallback.toStdString();
    // No instance can be reached there: the sender knows, and so does one whose command the
    // channel cannot carry.
    EXPECT_EQ(LocalSocketChannel(QString(), dir.path()).send(u"S"_s, u"T"_s, u"edit"_s, 100),
              Reply::Unavailable);
    QTemporaryDir runtime;
    EXPECT_EQ(LocalSocketChannel(QString(), runtime.path())
                  .send(u"S"_s, u"T"_s, u"edit \"a\nb.html\""_s, 100),
              Reply::Unavailable);
    // The peer check: a connected pair of this process is this user; a pipe is no socket.
    int pair[2], pipeEnds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) | ::pipe(pipeEnds), 0);
    EXPECT_TRUE(LocalSocketChannel::peerIsThisUser(pair[0]));
    EXPECT_FALSE(LocalSocketChannel::peerIsThisUser(pipeEnds[0]));
    for (const int fd : {pair[0], pair[1], pipeEnds[0], pipeEnds[1]})
        ::close(fd);
}

// A program out of file descriptors cannot take a connection, and Qt's server then closes; it
// listens again as soon as it can. Of clients that connect and say nothing, those past the most
// read at once are dropped and the others stay.
TEST(InstanceChannel, ABurstOfClientsNeverEndsTheService)
{
    QTemporaryDir runtime;
    LocalSocketChannel channel{u"Scrivlet"_s, runtime.path()};
    ASSERT_EQ(channel.serve(u"System"_s, ignore), Serving::Started);
    sockaddr_un address{AF_UNIX, {}};
    const QByteArray path = QFile::encodeName(channel.servedPath());
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    std::vector<int> clients;
    // Served one by one, or all waiting at once (a few: the queue of a listening socket is
    // short, and a connect to a full one waits).
    const auto connectClients = [&](int count, bool served) {
        for (int fd; count-- > 0 && (fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) >= 0;) {
            clients.push_back(fd);
            ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
            if (served)
                QCoreApplication::processEvents();
        }
    };
    const auto closeClients = [&] {
        for (const int fd : clients)
            ::close(fd);
        clients.clear();
    };
    const auto hungUp = [](int fd) {
        pollfd end{fd, POLLIN, 0};
        char byte;
        return ::poll(&end, 1, 0) == 1 && ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
    };
    // Every descriptor taken, by copies and by clients waiting to be served. The limit stays
    // above the event loop's own poll, which fails past it.
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    const int lowest = ::dup(0);
    ::close(lowest);
    const rlimit scarce{rlim_t(lowest + 64), limit.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &scarce);
    std::vector<int> copies;
    for (int fd; (fd = ::dup(0)) >= 0;)
        copies.push_back(fd);
    for (int i = 0; i < 4; ++i, copies.pop_back())
        ::close(copies.back());
    connectClients(4, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !channel.serving(); }));
    closeClients();
    for (const int fd : copies)
        ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_TRUE(QTest::qWaitFor([&] { return channel.serving(); }));

    connectClients(LocalSocketChannel::kMaxConnections + 1, true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return hungUp(clients.back()); }));
    EXPECT_FALSE(hungUp(clients.front()));
    closeClients();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return sendFrom(runtime.path(), u"edit"_s) == Reply::Accepted; }));
}

// Root can be another user for a moment: a child that has dropped to "nobody" connects, and the
// server's check sees a stranger.
TEST(InstanceChannel, AConnectionFromAnotherUserIsNotThisUser)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "only root can connect as another user here";
    // An abstract address: no file whose permissions would keep the other user out.
    sockaddr_un address{AF_UNIX, {}};
    const QByteArray name = "scrivlet-peer-test-" + QByteArray::number(::getpid());
    std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
    const auto where = reinterpret_cast<sockaddr *>(&address);
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(server, where, sizeof address), 0);
    ASSERT_EQ(::listen(server, 1), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) { // only calls that are safe after a fork; the peer is whoever connects
        const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
        char byte;
        if (::setgid(65534) != 0 || ::setuid(65534) != 0 ||
            ::connect(client, where, sizeof address))
            ::_exit(2);
        ::_exit(::read(client, &byte, 1) < 0 ? 3 : 0);
    }
    // A child that could not connect must not leave this test waiting.
    pollfd ready{server, POLLIN, 0};
    const int connection = ::poll(&ready, 1, 10000) == 1 ? ::accept(server, nullptr, nullptr) : -1;
    const bool stranger = connection >= 0 && !LocalSocketChannel::peerIsThisUser(connection);
    if (connection < 0)
        ::kill(child, SIGKILL);
    ::close(connection);
    ::close(server);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_GE(connection, 0) << "no connection from the child";
    EXPECT_TRUE(stranger);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace scrivlet::test
