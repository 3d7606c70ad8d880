#include "options/ShellExec.h"

#include "options/clsRegEdit.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

namespace scrivlet::options {

namespace {

bool isProgram(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

QStringList splitArguments(const QString &text)
{
    QStringList out;
    QString current;
    bool quoted = false;
    bool any = false;
    for (const QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (c == u' ' && !quoted) {
            if (any)
                out << current;
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        out << current;
    return out;
}

} // namespace

QStringList SplitCommandLine(const QString &commandLine)
{
    const QString line = commandLine.trimmed();
    if (line.startsWith(u'"')) {
        const qsizetype close = line.indexOf(u'"', 1);
        if (close < 0)
            return {line.mid(1)};
        return QStringList{line.mid(1, close - 1)} + splitArguments(line.mid(close + 1));
    }
    // The first prefix that names a program; else the whole line if it does; else the first
    // word.
    qsizetype end = -2;
    for (qsizetype at = line.indexOf(u' '); at >= 0 && end == -2; at = line.indexOf(u' ', at + 1)) {
        if (isProgram(line.left(at)))
            end = at;
    }
    if (end == -2)
        end = isProgram(line) ? -1 : line.indexOf(u' ');
    if (end < 0)
        return {line};
    return QStringList{line.left(end)} + splitArguments(line.mid(end + 1));
}

int ShellExec(IRegistry &registry, IInstanceChannel &channel, const StartProgram &start,
              const QString &fileClass, const QString &verb, const QString &file, int waitMs)
{
    const QString base = fileClass + QStringLiteral("\\shell\\") + verb;
    clsRegEdit reg(registry);
    reg.setRegKey(hkey::ClassesRoot);
    auto read = [&reg, &base](const QString &below, const QString &fallback) {
        reg.setSubKey(below.isEmpty() ? base : base + u'\\' + below);
        return reg.GetString(QString(), fallback);
    };
    const QString command = read(QStringLiteral("command"), QString());
    QString dde = read(QStringLiteral("ddeexec"), QString());
    const QString application =
        read(QStringLiteral("ddeexec\\Application"),
             QFileInfo(SplitCommandLine(command).value(0)).completeBaseName());
    const QString topic = read(QStringLiteral("ddeexec\\Topic"), QStringLiteral("System"));
    dde.replace(QStringLiteral("%1"), file);

    auto handOver = [&](int timeoutMs) {
        return channel.send(application, topic, dde, timeoutMs);
    };
    using Reply = IInstanceChannel::Reply;
    const auto answered = [](Reply reply) {
        return reply == Reply::Accepted || reply == Reply::Refused;
    };
    // The receiver splits a quoted argument at every " " into several paths, so a name holding
    // one would arrive as pieces, each opened or dropped on its own: it goes on a new
    // instance's command line instead, as a name the channel cannot carry does.
    const bool carried = !file.contains(QStringLiteral("\" \""));
    const Reply first = dde.isEmpty() ? Reply::NoServer
                        : carried     ? handOver(10000)
                                      : Reply::Unavailable;
    if (answered(first))
        return first == Reply::Accepted ? 0 : 1;
    if (command.isEmpty())
        return 1;
    // The file goes into the arguments once the line is split: put in before, a quote or blank
    // in its name would split it too, and a "%1" in the program's own folder would take it.
    QStringList line = SplitCommandLine(command);
    if (line.isEmpty())
        return 1;
    for (qsizetype i = 1; i < line.size(); ++i)
        line[i].replace(QStringLiteral("%1"), file);
    // A file the channel cannot carry goes to a new instance on its command line instead: the
    // command's own arguments tell it to wait for the file over the channel, which would never
    // bring it, and the verb left an empty window behind.
    if (first == Reply::Unavailable)
        return start(line.first(), {file}) ? 0 : 1;
    if (!start(line.first(), line.mid(1)))
        return 1;
    if (dde.isEmpty())
        return 0;
    // The new instance opens nothing by itself; it gets the file once it serves.
    const QDeadlineTimer deadline(waitMs);
    while (!deadline.hasExpired()) {
        QThread::msleep(100);
        const Reply reply = handOver(10000);
        if (answered(reply))
            return reply == Reply::Accepted ? 0 : 1;
    }
    return 1;
}

} // namespace scrivlet::options
