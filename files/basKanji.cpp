#include "files/basKanji.h"

#include "files/Messages.h"
#include "files/ProgramPaths.h"
#include "platform/Globals.h"
#include "platform/IMessageService.h"
#include "unkanj/unkanj.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

#include <dlfcn.h>

namespace scrivlet::basKanji {

namespace {

const QString kLibraryName = QStringLiteral("UNKANJ.DLL");
// The library fills this much text, which nothing reads; its size is part of the contract.
constexpr int kBufferSize = 10240;

struct Library
{
    void *handle = nullptr;
    ccGetRunningFunction getRunning = nullptr;
    ccCommandFunction command = nullptr;
};

// The library stays loaded once found: loading it for each conversion would cost more than the
// conversion of a page.
Library &loadedLibrary()
{
    static Library library;
    return library;
}

const Library *library()
{
    Library &lib = loadedLibrary();
    if (lib.handle)
        return &lib;
    const QString path = FindLibrary();
    if (path.isEmpty())
        return nullptr;
    void *handle = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    auto getRunning = reinterpret_cast<ccGetRunningFunction>(::dlsym(handle, "ccGetRunning"));
    auto command = reinterpret_cast<ccCommandFunction>(::dlsym(handle, "ccCommand"));
    if (!getRunning || !command) {
        ::dlclose(handle);
        return nullptr;
    }
    lib = {handle, getRunning, command};
    return &lib;
}

// The path as the command carries it; empty when the converter could not read it back. It
// reads a bare path up to a blank, and a quoted one up to a quote that a blank or the end
// follows, so a quote elsewhere in a path is the path's own.
QByteArray quoted(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.isEmpty() || bytes.contains('\0'))
        return {};
    if (!bytes.contains(' ') && !bytes.contains(',') && !bytes.contains('\t'))
        return bytes.startsWith('"') ? QByteArray() : bytes;
    if (bytes.endsWith('"') || bytes.contains("\" ") || bytes.contains("\"\t"))
        return {};
    return '"' + bytes + '"';
}

// Where the links to paths the command cannot carry go: beside the work file, or, when the
// program's own folder is such a path, in the user's private runtime folder, named for this
// process.
QString linkStem()
{
    const QString beside =
        QFileInfo(files::workFilePath()).absolutePath() + QStringLiteral("/.Convert.");
    if (!quoted(beside).isEmpty())
        return beside;
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
           QStringLiteral("/.Scrivlet-%1.").arg(QCoreApplication::applicationPid());
}

// A path as the converter's command can carry it: the path itself, or a link to it (see
// linkStem), named with the same extension (the converter tells a style sheet by its name),
// removed again with this object.
class CarriedPath
{
public:
    CarriedPath(const QString &path, const QString &role) : m_path(path)
    {
        if (path.isEmpty() || !quoted(path).isEmpty())
            return;
        // An extension that is a word; the quote and blank may be in the extension too.
        const QString extension = QFileInfo(path).suffix();
        const bool word = std::all_of(extension.begin(), extension.end(),
                                      [](QChar c) { return c.isLetterOrNumber(); });
        m_link = linkStem() + role + (extension.isEmpty() || !word ? QString() : u'.' + extension);
        QFile::remove(m_link);
        if (QFile::link(QFileInfo(path).absoluteFilePath(), m_link))
            m_path = m_link;
        else
            m_link.clear();
    }
    ~CarriedPath()
    {
        if (!m_link.isEmpty())
            QFile::remove(m_link);
    }
    CarriedPath(const CarriedPath &) = delete;
    CarriedPath &operator=(const CarriedPath &) = delete;

    const QString &path() const { return m_path; }

private:
    QString m_path;
    QString m_link;
};

} // namespace

// The program directory, then PATH. Never the current directory: the file dialogs move the
// process into the folders of the user's pages, and a library found there would run as the
// program.
QString FindLibrary()
{
    QStringList folders{gProgramDirectory};
    folders += qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        const QString candidate = QDir(folder).filePath(kLibraryName);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

void UnloadLibraryForTests()
{
    Library &lib = loadedLibrary();
    if (lib.handle)
        ::dlclose(lib.handle);
    lib = {};
}

QByteArray BuildCommand(const QString &codeOption, const QString &lineOption, const QString &source,
                        const QString &destination, const QString &sourceCodeOption)
{
    const QByteArray from = quoted(source);
    const QByteArray to = quoted(destination);
    if (from.isEmpty() || to.isEmpty())
        return {};
    QByteArray options = codeOption.toLatin1() + ' ' + lineOption.toLatin1();
    if (!sourceCodeOption.isEmpty())
        options += ' ' + sourceCodeOption.toLatin1();
    return "t " + options + ' ' + from + ' ' + to;
}

bool ConvertKanjiFile(IMessageService &messages, const QString &source, const QString &destination,
                      const QString &codeOption, const QString &lineOption,
                      const QString &sourceCodeOption)
{
    const Library *lib = library();
    if (!lib) {
        messages.libraryError(files::msg::kLibraryMissing);
        return false;
    }
    if (lib->getRunning() != 0) {
        messages.libraryError(files::msg::kLibraryBusy);
        return false;
    }
    // A path the command cannot carry (a quote before a blank) goes as a link beside the work
    // file: the converter reads through it and replaces the file it points to.
    const CarriedPath from(source, QStringLiteral("from")), to(destination, QStringLiteral("to"));
    const QByteArray command =
        BuildCommand(codeOption, lineOption, from.path(), to.path(), sourceCodeOption);
    if (command.isEmpty())
        return false;
    QByteArray buffer(kBufferSize, '\0');
    return lib->command(nullptr, command.constData(), buffer.data(), kBufferSize) == 0;
}

} // namespace scrivlet::basKanji
