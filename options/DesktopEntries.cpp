#include "options/DesktopEntries.h"

#include "options/ShellExec.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

namespace scrivlet::options {

namespace {

// The lines of a desktop-style file, without their line ends; empty when it cannot be read.
QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n');
}

bool writeText(const QString &path, const QString &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

// The value of key in group, or nothing.
std::optional<QString> valueIn(const QStringList &lines, const QString &group, const QString &key)
{
    bool inGroup = false;
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == u'[' + group + u']';
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed();
    }
    return std::nullopt;
}

QStringList idList(const std::optional<QString> &value)
{
    return value ? value->split(u';', Qt::SkipEmptyParts) : QStringList();
}

// Sets key in group, keeping every other line as it was.
QStringList withValue(QStringList lines, const QString &group, const QString &key,
                      const QString &value)
{
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    const QString entry = key + u'=' + value;
    qsizetype groupAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(u'[')) {
            if (groupAt >= 0) {
                lines.insert(i, entry);
                return lines;
            }
            if (line == u'[' + group + u']')
                groupAt = i;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (groupAt >= 0 && eq > 0 && line.left(eq).trimmed() == key) {
            lines[i] = entry;
            return lines;
        }
    }
    if (groupAt < 0)
        lines << u'[' + group + u']';
    lines << entry;
    return lines;
}

bool isOurs(const QString &id)
{
    return id.startsWith(kEntryPrefix);
}

bool installed(const DesktopPlaces &places, const QString &id)
{
    if (QFile::exists(places.applications + u'/' + id))
        return true;
    for (const QString &dir : places.otherApplications) {
        if (QFile::exists(dir + u'/' + id))
            return true;
    }
    return false;
}

// The application a double-click on a file of this type starts now, as the desktop chooses it:
// a default of the association files, then their added associations, then the MIME caches.
QString currentDefault(const DesktopPlaces &places, const QString &type)
{
    const QStringList lists =
        places.desktopMimeapps + QStringList{places.mimeappsList} + places.otherMimeapps;
    for (const char *group : {"Default Applications", "Added Associations"}) {
        for (const QString &list : lists) {
            for (const QString &id :
                 idList(valueIn(readLines(list), QString::fromLatin1(group), type))) {
                if (!isOurs(id) && installed(places, id))
                    return id;
            }
        }
    }
    for (const QString &dir : QStringList{places.applications} + places.otherApplications) {
        const auto ids = idList(valueIn(readLines(dir + QStringLiteral("/mimeinfo.cache")),
                                        QStringLiteral("MIME Cache"), type));
        for (const QString &id : ids) {
            if (!isOurs(id) && installed(places, id))
                return id;
        }
    }
    return {};
}

bool pinDefault(const DesktopPlaces &places, const QString &type)
{
    const QStringList lines = readLines(places.mimeappsList);
    if (!idList(valueIn(lines, QStringLiteral("Default Applications"), type)).isEmpty())
        return true;
    const QString id = currentDefault(places, type);
    if (id.isEmpty())
        return true;
    return writeText(
        places.mimeappsList,
        withValue(lines, QStringLiteral("Default Applications"), type, id + u';').join(u'\n') +
            u'\n');
}

// The MIME cache of one applications folder, as update-desktop-database writes it.
bool writeMimeCache(const QString &dir)
{
    QMap<QString, QStringList> byType;
    const QStringList files =
        QDir(dir).entryList({QStringLiteral("*.desktop")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const QStringList lines = readLines(dir + u'/' + file);
        if (valueIn(lines, QStringLiteral("Desktop Entry"), QStringLiteral("Hidden")) ==
            QStringLiteral("true"))
            continue;
        for (const QString &type :
             idList(valueIn(lines, QStringLiteral("Desktop Entry"), QStringLiteral("MimeType"))))
            byType[type].append(file);
    }
    QString text = QStringLiteral("[MIME Cache]\n");
    for (auto it = byType.cbegin(); it != byType.cend(); ++it)
        text += it.key() + u'=' + it.value().join(u';') + QStringLiteral(";\n");
    return writeText(dir + QStringLiteral("/mimeinfo.cache"), text);
}

bool refreshMimeCache(const QString &dir)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!tool.isEmpty()) {
        QProcess process;
        process.start(tool, {QStringLiteral("-q"), dir});
        if (process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
            process.exitCode() == 0)
            return true;
    }
    return writeMimeCache(dir);
}

// A value of a desktop entry's key: backslashes and line breaks escaped.
QString escapedValue(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

QString quotedArgument(QString argument)
{
    argument.replace(u'%', QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool plain =
        !argument.isEmpty() && std::none_of(argument.begin(), argument.end(),
                                            [](QChar c) { return reserved.contains(c); });
    if (plain)
        return argument;
    QString out = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

struct Wanted
{
    QString fileClass;
    QString verb;
    QString program; // the copy of the program that added the verb, if it is still there
};

// The program a stored verb command starts, when it is a copy of this program that still
// exists: each verb's entry keeps running the copy that added it, so that adding another verb
// from elsewhere, and deleting that copy later, leaves it working.
QString verbProgram(const QByteArray &command, const QString &program)
{
    const qsizetype nul = command.indexOf('\0');
    const QString stored =
        SplitCommandLine(QString::fromUtf8(nul < 0 ? command : command.left(nul))).value(0);
    const QFileInfo info(stored);
    return info.isAbsolute() && info.isFile() && info.isExecutable() &&
                   info.fileName() == QFileInfo(program).fileName()
               ? stored
               : QString();
}

QList<Wanted> wantedEntries(const IRegistry &registry, const QString &program)
{
    QList<Wanted> out;
    for (const QString &cls :
         registry.subKeyNames(hkey::ClassesRoot, QString()).value_or(QStringList())) {
        // Only a class that is a MIME type can be named to the desktop.
        if (cls.startsWith(u'.') || !cls.contains(u'/'))
            continue;
        const QString shell = cls + QStringLiteral("\\shell");
        for (const QString &verb :
             registry.subKeyNames(hkey::ClassesRoot, shell).value_or(QStringList())) {
            const auto command = registry.value(
                hkey::ClassesRoot, shell + u'\\' + verb + QStringLiteral("\\command"), QString());
            if (command && !command->data.isEmpty() && command->data.at(0) != '\0')
                out.append({cls, verb, verbProgram(command->data, program)});
        }
    }
    return out;
}

} // namespace

DesktopPlaces DesktopPlaces::fromEnvironment()
{
    DesktopPlaces places;
    places.applications = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                          QStringLiteral("/applications");
    places.mimeappsList = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                          QStringLiteral("/mimeapps.list");
    // Distributions put their default browser in a desktop's own list (gnome-mimeapps.list);
    // missing it would pin another program over it.
    QStringList desktops;
    for (const QString &name : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':'))
        if (!name.isEmpty())
            desktops << name.toLower() + QStringLiteral("-mimeapps.list");
    const auto listsIn = [&desktops](const QString &dir) {
        QStringList lists;
        for (const QString &name : desktops + QStringList{QStringLiteral("mimeapps.list")})
            lists << dir + u'/' + name;
        return lists;
    };
    const QStringList configs =
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    places.desktopMimeapps = listsIn(configs.value(0));
    places.desktopMimeapps.removeLast(); // mimeapps.list itself
    for (const QString &dir : configs.mid(1))
        places.otherMimeapps << listsIn(dir);
    const QStringList data = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    places.otherMimeapps << listsIn(data.value(0) + QStringLiteral("/applications"));
    for (const QString &dir : data.mid(1)) {
        places.otherApplications << dir + QStringLiteral("/applications");
        places.otherMimeapps << listsIn(dir + QStringLiteral("/applications"));
    }
    return places;
}

QString EntryFileName(const QString &fileClass, const QString &verb)
{
    QString readable;
    for (const QChar c : fileClass)
        readable += (c.isLetterOrNumber() && c.unicode() < 128) ? c.toLower() : u'-';
    const QByteArray hash =
        QCryptographicHash::hash((fileClass.toLower() + u'\n' + verb.toLower()).toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return kEntryPrefix + readable + u'-' + QString::fromLatin1(hash) + QStringLiteral(".desktop");
}

QString ExecLine(const QString &program, const QStringList &arguments)
{
    QStringList parts{quotedArgument(program)};
    for (const QString &argument : arguments)
        parts << quotedArgument(argument);
    // The file's field code stands outside any quotes.
    parts << QStringLiteral("%f");
    return escapedValue(parts.join(u' '));
}

bool ProjectShellVerbs(const IRegistry &registry, const DesktopPlaces &places,
                       const QString &program)
{
    const QDir dir(places.applications);
    const QStringList existing =
        dir.exists() ? dir.entryList({kEntryPrefix + u'*'}, QDir::Files) : QStringList();
    QSet<QString> typesWithEntries;
    for (const QString &file : existing) {
        for (const QString &type :
             idList(valueIn(readLines(dir.filePath(file)), QStringLiteral("Desktop Entry"),
                            QStringLiteral("MimeType"))))
            typesWithEntries.insert(type.toLower());
    }

    bool ok = true;
    bool changed = false;
    QSet<QString> keep;
    for (const Wanted &w : wantedEntries(registry, program)) {
        const QString name = EntryFileName(w.fileClass, w.verb);
        keep.insert(name);
        const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=") +
                             escapedValue(w.verb) + QStringLiteral("\nNoDisplay=true\nMimeType=") +
                             escapedValue(w.fileClass) + QStringLiteral(";\nExec=") +
                             ExecLine(w.program.isEmpty() ? program : w.program,
                                      {QStringLiteral("--shell-exec"), w.fileClass, w.verb}) +
                             QStringLiteral("\nX-Scrivlet-Class=") + escapedValue(w.fileClass) +
                             QStringLiteral("\nX-Scrivlet-Verb=") + escapedValue(w.verb) + u'\n';
        QFile old(dir.filePath(name));
        if (old.open(QIODevice::ReadOnly) && old.readAll() == text.toUtf8())
            continue;
        if (!typesWithEntries.contains(w.fileClass.toLower()))
            ok = pinDefault(places, w.fileClass) && ok;
        typesWithEntries.insert(w.fileClass.toLower());
        ok = writeText(places.applications + u'/' + name, text) && ok;
        changed = true;
    }
    for (const QString &file : existing) {
        if (!keep.contains(file)) {
            ok = QFile::remove(dir.filePath(file)) && ok;
            changed = true;
        }
    }
    if (changed)
        ok = refreshMimeCache(places.applications) && ok;
    return ok;
}

} // namespace scrivlet::options
